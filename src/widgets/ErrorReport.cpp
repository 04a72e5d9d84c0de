#include "widgets/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>

#include <cctype>

namespace tavrin {
namespace {

ErrorReportHandler& Handler() {
    static ErrorReportHandler handler;
    return handler;
}

}  // namespace

void SetErrorReport(ErrorReportHandler handler) {
    Handler() = std::move(handler);
}

std::string ReportText(const Error& error) {
    std::string text = error.what();
    if (!text.empty() && std::isalnum(static_cast<unsigned char>(text.back())))
        text += '.';
    return text;
}

void ReportError(const Error& error) {
    if (Handler()) {
        Handler()(error);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                          QString::fromStdString(ReportText(error)));
}

void ReportErrorLater(const Error& error) {
    QMetaObject::invokeMethod(
        qApp, [error] { ReportError(error); }, Qt::QueuedConnection);
}

}  // namespace tavrin
