// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/JobLogDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "app/DialogFont.h"
#include "app/ErrorBox.h"
#include "app/QtText.h"
#include "platform/AtomicFileWrite.h"
#include "platform/Error.h"

namespace tavrin {
namespace {

constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

constexpr const char* kAllPrinters = "All printers";
constexpr const char* kUnknown = "unknown";

struct Column {
    const char* title;
    int width;
    bool number;  // right-aligned
};
constexpr Column kJobColumns[] = {
    {"Sent", 118, false},    {"Printer", 100, false}, {"File", 140, false},
    {"Copies", 48, true},    {"Outcome", 74, false},  {"Size (mm)", 84, true},
    {"Area (m²)", 64, true}, {"Roll (m)", 58, true},  {"Reason", 160, false},
};
constexpr Column kTotalsColumns[] = {
    {"Period", 100, false}, {"Printer", 120, false}, {"Jobs", 60, true},
    {"Copies", 60, true},   {"Area (m²)", 80, true}, {"Roll (m)", 80, true},
};

// The choices of the Totals box, in its order: none, then the periods.
constexpr const char* kPeriodCaptions[] = {"None", "Day", "Week", "Month"};
constexpr TotalsPeriod kPeriods[] = {TotalsPeriod::Day, TotalsPeriod::Week, TotalsPeriod::Month};

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

bool RollPrinter(const JobRecord& job) {
    return job.deviceClass == KindWord(DeviceKind::HpGl2) ||
           job.deviceClass == KindWord(DeviceKind::Oce);
}

QStringList JobTexts(const JobRecord& job) {
    const bool sized = job.widthMm && job.heightMm;
    const std::optional<double> area = AreaSquareMetres(job);
    const std::optional<double> roll = RollMetres(job);
    QString rollText;
    if (roll)
        rollText = Fixed(*roll, 2);
    else if (RollPrinter(job))
        rollText = QString::fromUtf8(kUnknown);
    return {QDateTime::fromSecsSinceEpoch(job.sentAt).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
            ToQt(job.printer),
            ToQt(job.fileName),
            QString::number(job.copies),
            QString::fromUtf8(OutcomeWord(job.outcome)),
            sized ? Fixed(*job.widthMm, 0) + QStringLiteral(" × ") + Fixed(*job.heightMm, 0)
                  : QString::fromUtf8(kUnknown),
            area ? Fixed(*area, 2) : QString::fromUtf8(kUnknown),
            rollText,
            ToQt(job.reason)};
}

QStringList TotalsTexts(const JobTotals& totals) {
    // Jobs of unknown size add nothing; a line of only such jobs has no paper to tell.
    const bool unknown = totals.unknownSize == totals.jobs;
    const auto paper = [unknown](double value) {
        return unknown ? QString::fromUtf8(kUnknown) : Fixed(value, 2);
    };
    return {ToQt(totals.period),          ToQt(totals.printer),
            QString::number(totals.jobs), QString::number(totals.copies),
            paper(totals.squareMetres),   paper(totals.rollMetres)};
}

// The last column takes the room left when it holds text.
template <std::size_t N>
void SetColumns(QTreeWidget& table, const Column (&columns)[N]) {
    table.header()->setStretchLastSection(!columns[N - 1].number);
    QStringList titles;
    for (const Column& column : columns)
        titles << QString::fromUtf8(column.title);
    table.clear();
    table.setColumnCount(static_cast<int>(N));
    table.setHeaderLabels(titles);
    for (std::size_t i = 0; i < N; ++i) {
        table.setColumnWidth(static_cast<int>(i), columns[i].width);
        table.headerItem()->setTextAlignment(static_cast<int>(i),
                                             columns[i].number ? Qt::AlignRight | Qt::AlignVCenter
                                                               : Qt::AlignLeft | Qt::AlignVCenter);
    }
}

template <std::size_t N>
QTreeWidgetItem* AddRow(QTreeWidget& table, const Column (&columns)[N], const QStringList& texts) {
    auto* item = new QTreeWidgetItem(&table, texts);
    for (std::size_t i = 0; i < N; ++i)
        if (columns[i].number)
            item->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString Counted(std::size_t count, const char* one, const char* many) {
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

}  // namespace

JobLogDialog::JobLogDialog(QWidget* mainWindow,
                           std::function<void(const QString& text)> showMessage)
    : QDialog(mainWindow, kDialogFlags), showMessage_(std::move(showMessage)) {
    setObjectName(QStringLiteral("JobLog"));
    setWindowTitle(QStringLiteral("Job log"));
    setFont(DialogFont(font()));
    setModal(true);

    const QDate today = QDate::currentDate();
    const auto dateEdit = [this](const char* name, const QDate& date) {
        auto* edit = new QDateEdit(date, this);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
        // The whole date beside the popup's button, whatever the style's own hint says.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) +
                              edit->style()->pixelMetric(QStyle::PM_ScrollBarExtent) * 2 + 16);
        return edit;
    };
    const auto checkBox = [this](const char* name, const char* caption) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(QString::fromUtf8(name));
        return box;
    };
    sinceOn_ = checkBox("SinceOn", "&Since");
    since_ = dateEdit("Since", QDate(today.year(), today.month(), 1));
    untilOn_ = checkBox("UntilOn", "&Until");
    until_ = dateEdit("Until", today);
    printer_ = new QComboBox(this);
    printer_->setObjectName(QStringLiteral("Printer"));
    printer_->setMinimumContentsLength(14);
    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("Totals"));
    for (const char* caption : kPeriodCaptions)
        period_->addItem(QString::fromUtf8(caption));
    auto* printerLabel = new QLabel(QStringLiteral("&Printer:"), this);
    printerLabel->setBuddy(printer_);
    auto* periodLabel = new QLabel(QStringLiteral("&Totals:"), this);
    periodLabel->setBuddy(period_);

    table_ = new QTreeWidget(this);
    table_->setObjectName(QStringLiteral("Jobs"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAllColumnsShowFocus(true);
    table_->setMinimumSize(940, 320);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("Count"));

    auto* exportButton = new QPushButton(QStringLiteral("&Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("Export"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);

    auto* filters = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{
             sinceOn_, since_, untilOn_, until_, printerLabel, printer_, periodLabel, period_})
        filters->addWidget(widget);
    filters->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_);
    buttons->addStretch();
    buttons->addWidget(exportButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_);
    layout->addLayout(buttons);

    const auto showLog = [this] {
        try {
            ShowLog();
        } catch (const std::exception& error) {
            showMessage_(ToQt(ErrorBoxText(error)));
        }
    };
    for (auto [on, edit] : {std::pair{sinceOn_, since_}, std::pair{untilOn_, until_}}) {
        connect(on, &QCheckBox::toggled, edit, &QWidget::setEnabled);
        connect(on, &QCheckBox::toggled, this, showLog);
        connect(edit, &QDateEdit::dateChanged, this, showLog);
    }
    connect(printer_, &QComboBox::currentIndexChanged, this, showLog);
    connect(period_, &QComboBox::currentIndexChanged, this, showLog);
    connect(exportButton, &QPushButton::clicked, this, [this] {
        RunGuarded([this] { ExportClick(); },
                   [this](const std::string& text) { showMessage_(ToQt(text)); });
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // The log is not kept open between showings: other programs write it meanwhile.
    connect(this, &QDialog::finished, this, [this] { log_.reset(); });
    if (mainWindow)
        mainWindow->installEventFilter(this);
}

void JobLogDialog::Open(const std::filesystem::path& file, FileDialogs& fileDialogs) {
    log_ = std::make_unique<JobLog>(file);
    fileDialogs_ = &fileDialogs;
    // Every printer the log knows, by name.
    std::set<std::string> printers;
    for (const JobTotals& totals : log_->Totals({}, TotalsPeriod::Month))
        printers.insert(totals.printer);
    {
        const QSignalBlocker blocker(printer_);
        const QString chosen = printer_->currentText();
        printer_->clear();
        printer_->addItem(QString::fromUtf8(kAllPrinters));
        for (const std::string& printer : printers)
            printer_->addItem(ToQt(printer));
        printer_->setCurrentIndex(std::max(0, printer_->findText(chosen)));
    }
    ShowLog();
    if (log_->MovedAside())
        showMessage_(ToQt("The job log was damaged: it was moved aside to " +
                          log_->MovedAside()->string() + " and a new one was started."));
    table_->setFocus();
    show();
    raise();
    activateWindow();
}

JobLogFilter JobLogDialog::Filter() const {
    JobLogFilter filter;
    if (sinceOn_->isChecked())
        filter.since = since_->date().startOfDay().toSecsSinceEpoch();
    // Until the end of the day shown.
    if (untilOn_->isChecked())
        filter.until = until_->date().addDays(1).startOfDay().toSecsSinceEpoch();
    if (printer_->currentIndex() > 0)
        filter.printer = FromQt(printer_->currentText());
    return filter;
}

void JobLogDialog::ShowLog() {
    if (!log_)
        return;
    const int period = period_->currentIndex();
    showingTotals_ = period > 0;
    if (showingTotals_) {
        totals_ = log_->Totals(Filter(), kPeriods[period - 1]);
        ShowTotals();
    } else {
        jobs_ = log_->Jobs(Filter());
        ShowJobs();
    }
}

void JobLogDialog::ShowJobs() {
    SetColumns(*table_, kJobColumns);
    for (const JobRecord& job : jobs_) {
        QTreeWidgetItem* item = AddRow(*table_, kJobColumns, JobTexts(job));
        item->setToolTip(2, ToQt(job.filePath));
        item->setToolTip(8, ToQt(job.reason));
    }
    count_->setText(Counted(jobs_.size(), "job", "jobs") + QStringLiteral(" in ") +
                    ToQt(log_->File().string()));
}

void JobLogDialog::ShowTotals() {
    SetColumns(*table_, kTotalsColumns);
    std::int64_t jobs = 0;
    for (const JobTotals& totals : totals_) {
        QTreeWidgetItem* item = AddRow(*table_, kTotalsColumns, TotalsTexts(totals));
        jobs += totals.jobs;
        if (totals.unknownSize > 0) {
            const QString note = Counted(static_cast<std::size_t>(totals.unknownSize),
                                         "job of unknown size is", "jobs of unknown size are") +
                                 QStringLiteral(" not counted");
            item->setToolTip(4, note);
            item->setToolTip(5, note);
        }
    }
    count_->setText(Counted(static_cast<std::size_t>(jobs), "job", "jobs") +
                    QStringLiteral(" in ") + Counted(totals_.size(), "line", "lines"));
}

void JobLogDialog::ExportClick() {
    FileDialogRequest request;
    request.fileName = QString::fromUtf8(showingTotals_ ? "job-totals.csv" : "job-log.csv");
    request.filters =
        QStringList{QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")};
    request.defaultSuffix = QStringLiteral("csv");
    const std::optional<FileDialogAnswer> answer = fileDialogs_->Save(this, request);
    if (!answer || answer->files.isEmpty())
        return;
    QString name = answer->files.front();
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".csv");
    const std::string csv = showingTotals_ ? TotalsAsCsv(totals_) : JobsAsCsv(jobs_);
    try {
        WriteFileAtomically(FromQt(name), csv);
    } catch (const std::exception& error) {
        throw Error(FormatMessage("Unable to write to %s", FromQt(name)) + ": " + error.what());
    }
}

bool JobLogDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Hide && !event->spontaneous() &&
        isVisible())
        reject();
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavrin
