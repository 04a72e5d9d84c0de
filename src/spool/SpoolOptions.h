#pragma once

#include <optional>
#include <string>

namespace tavrin {

enum class PageSize { A5, A4, A3, A2, A1, A0 };

// The options a spool run and the rewriters read, each at the moment of use, and the printer the
// next job goes to. Whoever runs the spool run answers them: a window from its boxes, menu check
// marks and settings as they are at that moment, tavrin-cli from its flags.
class SpoolOptions {
public:
    virtual ~SpoolOptions() = default;

    virtual bool SmartReplots() const = 0;  // "Copies by plotter" / "Copies by printer"
    virtual bool RemoveQL() const = 0;      // "Quality on plotter"
    virtual bool PSCollate() const = 0;     // "Collate copies"
    virtual bool FitToPage() const = 0;     // "Fit to page: A4"
    // The first checked item of the "PS fit to size:" menu in the order A5..A0, if any.
    virtual std::optional<PageSize> CheckedPageSize() const = 0;

    virtual bool JobAsSet() const = 0;            // "Treat joblist as set"
    virtual bool ClearAfterSpooling() const = 0;  // "C&lear list after spooling"
    virtual bool ReverseSet() const = 0;          // "Re&verse set order"
    virtual int GlobalCopies() const = 0;         // SpinEdit1: copies, or sets in set mode

    virtual int FromStart() const = 0;              // head window for "QL"
    virtual int FromEnd() const = 0;                // tail window for "PG;"
    virtual std::string TempFilesPath() const = 0;  // folder of the temporary file

    virtual std::string PrinterName() const = 0;  // the spooler's name of the printer
};

}  // namespace tavrin
