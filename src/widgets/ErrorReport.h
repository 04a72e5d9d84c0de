#pragma once

#include <functional>

#include "platform/Error.h"

namespace tavrin {

// The application's default error report: how an error that no command caught reaches the user.
// The main window installs its own; until then a plain message box shows the text.
using ErrorReportHandler = std::function<void(const Error&)>;

void SetErrorReport(ErrorReportHandler handler);

// Shows `error` through the installed report.
void ReportError(const Error& error);

// Reports `error` once the events now being handled are done, so that a message box never opens
// in the middle of a focus change.
void ReportErrorLater(const Error& error);

// The text as the message box shows it: with a full stop when it ends in a letter or digit.
std::string ReportText(const Error& error);

}  // namespace tavrin
