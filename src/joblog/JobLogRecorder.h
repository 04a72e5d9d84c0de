// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "joblog/JobLog.h"
#include "spool/JobTracker.h"
#include "spool/SpoolRun.h"

namespace tavrin {

// Records in the job log what a front end sends and how its jobs end, from any thread. It never
// throws and never holds up printing: when the log cannot be written, the jobs still go, and the
// first failure since the front end last asked is kept for it to report once (TakeProblem).
class JobLogRecorder {
public:
    // `frontEnd`: "window", "cli", or a hot folder's path. The log is opened at the first record.
    explicit JobLogRecorder(std::string frontEnd, std::filesystem::path file = JobLogFile());

    // A job the spooler took: its listed file is inspected (head and tail only) for its
    // language and plot size. Returns the row id, or nothing when the log could not be written.
    std::optional<std::int64_t> Sent(const TrackedJob& job);
    void Refused(const RefusedSend& send);
    // A tracked job ended, or got stuck (an open job with a reason).
    void Ended(const TrackedJob& job);

    // A row written before its job is sent (job id 0), for a sender that must know after a crash
    // whether the job went; then its job id, and its end. The row's record is made by RecordOf.
    std::optional<std::int64_t> Add(const JobRecord& record);
    void SetJobId(std::int64_t row, const std::string& printer, int jobId, std::int64_t sentAt);
    void SetOutcome(std::int64_t row, LoggedOutcome outcome, const std::string& reason,
                    std::int64_t endedAt);
    // Every row of a file, oldest first; nothing when the log cannot be read.
    std::optional<std::vector<JobRecord>> RowsFor(const std::string& filePath);
    // A record of `file` sent by this front end: who, where, and what inspection finds in it.
    JobRecord RecordOf(const std::string& file, const std::string& printer, DeviceKind kind) const;

    // "Job log not written (<path>): <why>" for the first failure since the last call, once;
    // also when the log was found corrupt and moved aside. Empty when there is nothing to tell.
    std::string TakeProblem();
    // The log's file.
    const std::filesystem::path& File() const { return file_; }

private:
    std::optional<std::int64_t> Write(const std::function<std::int64_t(JobLog&)>& write);

    std::string frontEnd_;
    std::filesystem::path file_;
    std::string user_;
    std::string host_;
    std::mutex mutex_;
    std::unique_ptr<JobLog> log_;
    std::map<std::pair<std::string, int>, std::int64_t> rows_;  // (printer, job id) -> row
    std::string problem_;
    bool told_ = false;  // a problem was reported and nothing has been written since
};

// A run observer that records every send in the job log and then tells the front end's own.
class RecordingRunObserver final : public RunObserver {
public:
    RecordingRunObserver(RunObserver& inner, JobLogRecorder& recorder)
        : inner_(inner), recorder_(recorder) {}
    void FileStarted(int index, const std::string& file) override;
    void Sent(const TrackedJob& job) override;
    void Refused(const RefusedSend& send) override;
    void WaitingForRoom(const std::string& printer, bool waiting) override;
    bool KeepWaitingForRoom(const std::string& printer, int secondsWaited) override;
    void ListChanged() override;
    void Done(const SpoolRunReport& report, const std::string& error) override;

private:
    RunObserver& inner_;
    JobLogRecorder& recorder_;
};

// The words a log row keeps for a device class.
const char* KindWord(DeviceKind kind);

}  // namespace tavrin
