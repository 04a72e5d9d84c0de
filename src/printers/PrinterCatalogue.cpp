#include "printers/PrinterCatalogue.h"

namespace tavrin {

void PrinterCatalogue::Read(PrintSpooler& spooler) {
    names_ = spooler.PrinterNames();
    readError_ = spooler.LastError();
}

}  // namespace tavrin
