#pragma once

#include <QPoint>
#include <QRect>

#include "app/PrintButtonCaptions.h"

namespace tavrin::captions {

// A control of the main window with a caption that has to fit the room the layout gives it.
struct Captioned {
    const char* name;
    const char* caption;
    QRect geometry;
    const char* hint;
};

// A label: it sizes itself to its caption from its top-left corner.
struct Label {
    const char* name;
    const char* caption;
    QPoint at;
};

inline constexpr Captioned kSchedule{"Schedule", "Schedule", QRect(44, 13, 69, 17),
                                     "Start the job at a later (scheduled) moment"};
inline constexpr Captioned kJobAsSet{"JobAsSet", "Treat joblist as set", QRect(229, 14, 111, 17),
                                     "Check to print files 1,2,3,...,n  x times"};
inline constexpr Captioned kPSCollate{
    "PSCollate", "Collate copies", QRect(6, 31, 90, 14),
    "Copies sorted as 1,2,3,..1,2,3,...rather than 1,1,1,...2,2,2,...,3,3,3,..."};
inline constexpr Captioned kSmartReplots{"SmartReplots", "Copies by plotter",
                                         QRect(257, 311, 101, 14),
                                         "Send file once; printer/plotter generates copies"};
inline constexpr Captioned kRemoveQL{"RemoveQL", "Quality on plotter", QRect(257, 341, 102, 14),
                                     "Quality setting on plotter overrides software settings"};
inline constexpr Captioned kFitToPage{"FitToPage", "Fit to page", QRect(257, 341, 101, 14),
                                      "Make prints fit on selected papersize"};
// The longest caption the page-size commands give FitToPage.
inline constexpr const char* kLongestFitCaption = "Fit to page: A4";
inline constexpr Captioned kRepMode{"RepMode", "New", QRect(96, 17, 45, 17), nullptr};
inline constexpr Captioned kAddMode{"AddMode", "Add", QRect(96, 37, 45, 17), nullptr};

inline constexpr Captioned kRemove{"Remove", "&Remove", QRect(158, 19, 82, 33),
                                   "Remove files from the joblist"};
inline constexpr Captioned kSelectFiles{"SelectFiles", "&Select", QRect(9, 314, 82, 34),
                                        "Select files to be sent to printer/plotter"};
inline constexpr Captioned kOKPrint{
    "OKPrint", kPrintCaptionAtStart, QRect(376, 308, 137, 44),
    "Click when you're ready to send files to your printer/plotter"};
// The glyphs of the three buttons are drawn at this size.
inline constexpr int kGlyphSize = 16;

inline constexpr Label kLabel1{"Label1", "Printer / plotter", QPoint(8, 21)};
inline constexpr Label kLabel2{"Label2", "Hrs", QPoint(140, 15)};
inline constexpr Label kLabel4{"Label4", "Min", QPoint(187, 15)};
// Label3 has a fixed size; its caption is right-aligned in it.
inline constexpr Captioned kLabel3{"Label3", "Global # of copies", QRect(380, 15, 86, 13), nullptr};

// The neighbours that end the room of the labels.
inline constexpr QRect kPrinterListGeometry(88, 17, 425, 21);
inline constexpr QRect kMinuutGeometry(163, 11, 22, 21);

}  // namespace tavrin::captions
