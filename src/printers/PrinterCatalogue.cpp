#include "printers/PrinterCatalogue.h"

namespace tavrin {

PrinterCatalogue::PrinterCatalogue(PrintSpooler& spooler)
    : names_(spooler.PrinterNames()), readError_(spooler.LastError()) {}

}  // namespace tavrin
