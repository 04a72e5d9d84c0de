#pragma once

namespace tavrin {

// The printer chosen at start-up from the stored index: an index outside 0..count-1 selects the
// first printer. With no printers at all there is nothing to choose and the index is kept.
inline int StartupPrinterIndex(int storedIndex, int printerCount) {
    if (printerCount <= 0)
        return storedIndex;
    if (storedIndex < 0 || storedIndex > printerCount - 1)
        return 0;
    return storedIndex;
}

}  // namespace tavrin
