// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavrin {

// The captions of the print button OKPrint. It starts with the form's own caption, five blanks
// first, and shows it again when the queue is cleared; a finished spool run leaves the caption
// without the blanks.
inline constexpr const char* kPrintCaptionAtStart = "     &OK, Print!!";
inline constexpr const char* kPrintCaptionAfterRun = "&OK, Print!!";
inline constexpr const char* kPrintCaptionBusy = "Busy!";

}  // namespace tavrin
