// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/PlotBytes.h"

namespace tavrin {

// The next parameter of an instruction when it is a number: separators before it are taken,
// and so are quoted strings (BP, CO and the like carry them). HP-GL numbers have no exponent;
// digits past 1e15 are dropped.
bool ReadNumber(PlotBytes& bytes, double& value);

// One number of PE: digits least significant first (base 64, or base 32 in 7-bit mode), the last
// one from the terminator range; its lowest bit is the sign. False at ';', ESC or the end.
bool ReadEncodedNumber(PlotBytes& bytes, bool sevenBit, double& value);

}  // namespace tavrin
