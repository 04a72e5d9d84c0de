// SPDX-License-Identifier: GPL-3.0-or-later
#include "joblog/JobLogRecorder.h"

#include <cstdio>
#include <exception>

#include "platform/CurrentUser.h"
#include "platform/Utf8Path.h"
#include "printers/PrintFileFacts.h"

namespace tavrin {
namespace {

constexpr double kMillimetresPerPoint = 25.4 / 72;

std::optional<Millimetres> BoundingBoxSize(const std::string& box) {
    double left = 0, bottom = 0, right = 0, top = 0;
    if (std::sscanf(box.c_str(), "%lf %lf %lf %lf", &left, &bottom, &right, &top) != 4 ||
        right <= left || top <= bottom)
        return std::nullopt;
    return Millimetres{(right - left) * kMillimetresPerPoint,
                       (top - bottom) * kMillimetresPerPoint};
}

std::optional<Millimetres> NamedPageSize(const std::string& name) {
    static const std::pair<const char*, Millimetres> kPages[] = {
        {"A0", {841, 1189}},        {"A1", {594, 841}},        {"A2", {420, 594}},
        {"A3", {297, 420}},         {"A4", {210, 297}},        {"A5", {148, 210}},
        {"Letter", {215.9, 279.4}}, {"Legal", {215.9, 355.6}}, {"Ledger", {279.4, 431.8}}};
    for (const auto& [pageName, size] : kPages)
        if (name == pageName)
            return size;
    return std::nullopt;
}

// The size the file states: an HP-GL/2 plot's PS instruction (its length along the roll first),
// a PDF's first page, a PostScript bounding box, a PCL page size.
std::optional<Millimetres> StatedSize(const PrintFileFacts& facts) {
    if (facts.plotSize && facts.plotSize->width > 0 && facts.plotSize->height > 0)
        return facts.plotSize;
    if (facts.firstPage)
        return facts.firstPage;
    if (const auto box = BoundingBoxSize(facts.boundingBox))
        return box;
    return NamedPageSize(facts.pageSize);
}

}  // namespace

const char* KindWord(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::HpGl2:
            return "HP-GL/2";
        case DeviceKind::PostScript:
            return "PostScript";
        case DeviceKind::Oce:
            return "Oce";
        case DeviceKind::Other:
            break;
    }
    return "Other";
}

JobLogRecorder::JobLogRecorder(std::string frontEnd, std::filesystem::path file)
    : frontEnd_(std::move(frontEnd)),
      file_(std::move(file)),
      user_(CurrentUserName()),
      host_(CurrentHostName()) {}

JobRecord JobLogRecorder::RecordOf(const std::string& file, const std::string& printer,
                                   DeviceKind kind) const {
    JobRecord record;
    record.user = user_;
    record.host = host_;
    record.filePath = file;
    record.fileName = Utf8OfPath(PathFromUtf8(file).filename());
    record.printer = printer;
    record.deviceClass = KindWord(kind);
    record.frontEnd = frontEnd_;
    try {
        const PrintFileFacts facts = InspectPrintFile(file);
        record.bytes = facts.size;
        record.language = LanguageName(facts.language.language);
        if (const auto size = StatedSize(facts)) {
            record.widthMm = size->width;
            record.heightMm = size->height;
        }
    } catch (const std::exception&) {
        // A file gone since it was sent is still a job; its size stays unknown.
    }
    return record;
}

std::optional<std::int64_t> JobLogRecorder::Write(
    const std::function<std::int64_t(JobLog&)>& write) {
    std::lock_guard lock(mutex_);
    try {
        if (!log_) {
            log_ = std::make_unique<JobLog>(file_);
            if (log_->MovedAside())
                problem_ = "Job log was damaged: moved aside to " + log_->MovedAside()->string() +
                           "; a new one was started";
        }
        const std::int64_t row = write(*log_);
        told_ = false;
        return row;
    } catch (const std::exception& e) {
        log_.reset();  // opened afresh next time: the fault may pass
        if (problem_.empty() && !told_)
            problem_ = "Job log not written (" + file_.string() + "): " + e.what();
        return std::nullopt;
    }
}

std::optional<std::int64_t> JobLogRecorder::Sent(const TrackedJob& job) {
    JobRecord record = RecordOf(job.file, job.printerName, job.kind);
    record.sentAt = job.sentAt;
    record.jobId = job.jobId;
    record.copies = job.copies;
    record.deviceCopies = job.deviceCopies;
    if (job.bytes)
        record.bytes = job.bytes;
    const auto row = Write([&](JobLog& log) { return log.Add(record); });
    if (row) {
        std::lock_guard lock(mutex_);
        rows_[{job.printerName, job.jobId}] = *row;
    }
    return row;
}

void JobLogRecorder::Refused(const RefusedSend& send) {
    JobRecord record = RecordOf(send.file, send.printerName, send.kind);
    record.sentAt = std::time(nullptr);
    record.endedAt = record.sentAt;
    record.outcome = LoggedOutcome::Refused;
    record.reason = send.reason;
    Write([&](JobLog& log) { return log.Add(record); });
}

void JobLogRecorder::Ended(const TrackedJob& job) {
    std::optional<std::int64_t> row;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = rows_.find({job.printerName, job.jobId}); found != rows_.end())
            row = found->second;
    }
    if (!row)
        return;  // not sent from here, or its send could not be logged
    const LoggedOutcome outcome =
        job.verdict.outcome == JobOutcome::Printed      ? LoggedOutcome::Printed
        : job.verdict.outcome == JobOutcome::NotPrinted ? LoggedOutcome::NotPrinted
                                                        : LoggedOutcome::Open;
    Write([&](JobLog& log) {
        log.SetOutcome(*row, outcome, job.verdict.reason, job.endedAt);
        return *row;
    });
}

std::optional<std::int64_t> JobLogRecorder::Add(const JobRecord& record) {
    return Write([&](JobLog& log) { return log.Add(record); });
}

void JobLogRecorder::SetJobId(std::int64_t row, const std::string& printer, int jobId,
                              std::int64_t sentAt) {
    Write([&](JobLog& log) {
        log.SetJobId(row, printer, jobId, sentAt);
        return row;
    });
}

void JobLogRecorder::SetOutcome(std::int64_t row, LoggedOutcome outcome, const std::string& reason,
                                std::int64_t endedAt) {
    Write([&](JobLog& log) {
        log.SetOutcome(row, outcome, reason, endedAt);
        return row;
    });
}

std::optional<std::vector<JobRecord>> JobLogRecorder::RowsFor(const std::string& filePath) {
    std::vector<JobRecord> rows;
    if (!Write([&](JobLog& log) {
            rows = log.JobsFor(filePath);
            return std::int64_t{0};
        }))
        return std::nullopt;
    return rows;
}

std::string JobLogRecorder::TakeProblem() {
    std::lock_guard lock(mutex_);
    std::string problem = std::move(problem_);
    problem_.clear();
    if (!problem.empty())
        told_ = true;
    return problem;
}

void RecordingRunObserver::FileStarted(int index, const std::string& file) {
    inner_.FileStarted(index, file);
}

void RecordingRunObserver::Sent(const TrackedJob& job) {
    recorder_.Sent(job);
    inner_.Sent(job);
}

void RecordingRunObserver::Refused(const RefusedSend& send) {
    recorder_.Refused(send);
    inner_.Refused(send);
}

void RecordingRunObserver::WaitingForRoom(const std::string& printer, bool waiting) {
    inner_.WaitingForRoom(printer, waiting);
}

bool RecordingRunObserver::KeepWaitingForRoom(const std::string& printer, int secondsWaited) {
    return inner_.KeepWaitingForRoom(printer, secondsWaited);
}

void RecordingRunObserver::ListChanged() {
    inner_.ListChanged();
}

void RecordingRunObserver::Done(const SpoolRunReport& report, const std::string& error) {
    inner_.Done(report, error);
}

}  // namespace tavrin
