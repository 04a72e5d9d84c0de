// The main window's controls: their classes, names, places, captions, hints and start states.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>

#include "app/TavrinUnit.h"
#include "joblist/JobList.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"
#include "widgets/IntegerEdit.h"
#include "widgets/SpinEdit.h"

namespace tavrin {

namespace {

template <typename W>
W* Place(W* widget, const char* name, const QRect& geometry, const char* hint = nullptr) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    if (hint)
        widget->setToolTip(QString::fromUtf8(hint));
    return widget;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const char* title, const QRect& rect) {
    return Place(new QGroupBox(QString::fromUtf8(title), parent), name, rect);
}

// Labels size themselves to their text, from the given top-left corner.
QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, QPoint at) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromUtf8(name));
    label->move(at);
    label->adjustSize();
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* text, const QRect& rect,
                        const char* hint) {
    return Place(new QCheckBox(QString::fromUtf8(text), parent), name, rect, hint);
}

QPushButton* MakeGlyphButton(QWidget* parent, const char* name, const char* text, const char* glyph,
                             const QRect& rect, const char* hint) {
    auto* button = Place(new QPushButton(QString::fromUtf8(text), parent), name, rect, hint);
    button->setIcon(QIcon(QString::fromUtf8(glyph)));
    button->setIconSize(QSize(16, 16));
    return button;
}

TIntegerEdit* MakeTimeEdit(QWidget* parent, const char* name, const QRect& rect, int value,
                           const char* hint) {
    auto* edit = Place(new TIntegerEdit(parent), name, rect, hint);
    edit->SetDisplayFormat("00");
    edit->SetEditFormat("00");
    edit->SetMaxLength(2);
    edit->SetValue(value);
    return edit;
}

}  // namespace

void TTavrinForm::CreateControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client_);

    configuration_ = MakeGroupBox(client_, "Configuration", "Output to", QRect(0, 5, 521, 49));
    label1_ = MakeLabel(configuration_, "Label1", "Printer / plotter", QPoint(8, 21));
    printerList_ = Place(new QComboBox(configuration_), "PrinterList", QRect(88, 17, 425, 21),
                         "Select the printer/plotter to which your files should be sent");

    groupBox1_ = MakeGroupBox(client_, "GroupBox1", "Print job", QRect(0, 56, 521, 235));
    uur_ = MakeTimeEdit(groupBox1_, "Uur", QRect(116, 11, 22, 21), 12, "Use 24 hrs based time");
    label2_ = MakeLabel(groupBox1_, "Label2", "Hrs", QPoint(140, 15));
    minuut_ = MakeTimeEdit(groupBox1_, "Minuut", QRect(163, 11, 22, 21), 0, nullptr);
    label4_ = MakeLabel(groupBox1_, "Label4", "Min", QPoint(187, 15));
    schedule_ = MakeCheckBox(groupBox1_, "Schedule", "Schedule", QRect(44, 13, 69, 17),
                             "Start the job at a later (scheduled) moment");
    jobAsSet_ = MakeCheckBox(groupBox1_, "JobAsSet", "Treat joblist as set",
                             QRect(229, 14, 111, 17), "Check to print files 1,2,3,...,n  x times");
    label3_ = Place(new QLabel(QStringLiteral("Global # of copies"), groupBox1_), "Label3",
                    QRect(380, 15, 86, 13));
    label3_->setAlignment(Qt::AlignRight | Qt::AlignTop);

    stringGrid1_ = Place(new TDataGrid(groupBox1_), "StringGrid1", QRect(8, 37, 504, 191),
                         "Drag and drop your files here, or use \"Select files\" button");
    LayOutJobListGrid(stringGrid1_->Grid());
    GridOptions gridOptions;
    gridOptions.rangeSelect = true;
    gridOptions.editing = true;
    gridOptions.tabs = true;
    stringGrid1_->SetOptions(gridOptions);
    stringGrid1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stringGrid1_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    spinEdit1_ = Place(new TSpinEdit(client_), "SpinEdit1", QRect(470, 67, 42, 22),
                       "All files same # of copies; edit the list for individual  copies");
    spinEdit1_->SetMinValue(1);
    spinEdit1_->SetMaxValue(99);
    spinEdit1_->SetValue(1);
    spinEdit1_->SetEditorEnabled(false);

    groupBox2_ = MakeGroupBox(client_, "GroupBox2", " Files in joblist", QRect(0, 295, 249, 64));
    repMode_ = Place(new QRadioButton(QStringLiteral("New"), groupBox2_), "RepMode",
                     QRect(96, 17, 45, 17));
    repMode_->setChecked(true);
    addMode_ = Place(new QRadioButton(QStringLiteral("Add"), groupBox2_), "AddMode",
                     QRect(96, 37, 45, 17));
    remove_ = MakeGlyphButton(groupBox2_, "Remove", "&Remove", ":/tavrin/resources/remove.png",
                              QRect(158, 19, 82, 33), "Remove files from the joblist");
    selectFiles_ =
        MakeGlyphButton(client_, "SelectFiles", "&Select", ":/tavrin/resources/select.png",
                        QRect(9, 314, 82, 34), "Select files to be sent to printer/plotter");

    groupBox3_ = MakeGroupBox(client_, "GroupBox3", "HP DesignJets only", QRect(251, 295, 115, 64));
    groupBox3_->setToolTip(
        QStringLiteral("Use options with care; sends a modified plot/printfile"));
    psCollate_ =
        MakeCheckBox(groupBox3_, "PSCollate", "Collate copies", QRect(6, 31, 90, 14),
                     "Copies sorted as 1,2,3,..1,2,3,...rather than 1,1,1,...2,2,2,...,3,3,3,...");
    smartReplots_ =
        MakeCheckBox(client_, "SmartReplots", "Copies by plotter", QRect(257, 311, 101, 14),
                     "Send file once; printer/plotter generates copies");
    smartReplots_->setEnabled(false);
    removeQL_ = MakeCheckBox(client_, "RemoveQL", "Quality on plotter", QRect(257, 341, 102, 14),
                             "Quality setting on plotter overrides software settings");
    removeQL_->setEnabled(false);
    fitToPage_ = MakeCheckBox(client_, "FitToPage", "Fit to page", QRect(257, 341, 101, 14),
                              "Make prints fit on selected papersize");

    groupBox4_ = MakeGroupBox(client_, "GroupBox4", "", QRect(368, 295, 153, 64));
    okPrint_ = MakeGlyphButton(client_, "OKPrint", "     &OK, Print!!",
                               ":/tavrin/resources/okprint.png", QRect(376, 308, 137, 44),
                               "Click when you're ready to send files to your printer/plotter");
    okPrint_->setDefault(true);

    // Controls that lie over a group box are in front of it.
    spinEdit1_->raise();
    selectFiles_->raise();
    smartReplots_->raise();
    removeQL_->raise();
    fitToPage_->raise();
    okPrint_->raise();

    statusBar1_ = Place(new QWidget(client_), "StatusBar1",
                        QRect(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight));
    int left = 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* panel = new QLabel(statusBar1_);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        panel->setGeometry(left, 2, kPanelWidths[i] - 2, kStatusBarHeight - 2);
        left += kPanelWidths[i];
        panels_[i] = panel;
    }

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);

    dropFileTarget1_ = new TDropFileTarget(this);
    dropFileTarget1_->setObjectName(QStringLiteral("DropFileTarget1"));
    dropFileTarget1_->SetDragtypes(dtCopy);

    folderBrowse1_.SetTitle("Path for temp files");
}

void TTavrinForm::SetTabOrder() {
    // Each parent's controls in their tab order, parents in the window's tab order.
    const std::vector<QWidget*> chain = {okPrint_,      stringGrid1_, uur_,         minuut_,
                                         schedule_,     jobAsSet_,    printerList_, spinEdit1_,
                                         selectFiles_,  repMode_,     addMode_,     remove_,
                                         smartReplots_, removeQL_,    psCollate_,   fitToPage_};
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

bool TTavrinForm::CaptionsFit() const {
    // Check boxes and radio buttons have their fixed width; labels end before their neighbour.
    const QAbstractButton* boxes[] = {schedule_, jobAsSet_, psCollate_, smartReplots_,
                                      removeQL_, repMode_,  addMode_};
    for (const QAbstractButton* box : boxes) {
        if (box->sizeHint().width() > box->width())
            return false;
    }
    const QString fitCaption = QStringLiteral("Fit to page: A4");
    const QFontMetrics metrics(fitToPage_->font());
    if (fitToPage_->sizeHint().width() - metrics.horizontalAdvance(fitToPage_->text()) +
            metrics.horizontalAdvance(fitCaption) >
        fitToPage_->width())
        return false;
    const std::pair<const QLabel*, int> labels[] = {
        {label1_, printerList_->x() - label1_->x() - 2},
        {label2_, minuut_->x() - label2_->x() - 1},
        {label4_, jobAsSet_->x() - label4_->x() - 1},
        {label3_, label3_->width()},
    };
    for (const auto& [label, room] : labels) {
        if (QFontMetrics(label->font()).horizontalAdvance(label->text()) > room)
            return false;
    }
    for (const QPushButton* button : {selectFiles_, remove_, okPrint_}) {
        const int text =
            QFontMetrics(button->font()).horizontalAdvance(button->text().remove(QLatin1Char('&')));
        if (text + button->iconSize().width() + 12 > button->width())
            return false;
    }
    return true;
}

bool TTavrinForm::CaptionsMayFit(const QFont& font) const {
    // A quick look with the font's measures alone, so that sizes that cannot fit are passed by
    // without restyling the window for each.
    const QFontMetrics metrics(font);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth);
    const QAbstractButton* boxes[] = {schedule_, jobAsSet_, psCollate_, smartReplots_,
                                      removeQL_, repMode_,  addMode_};
    for (const QAbstractButton* box : boxes) {
        if (indicator + metrics.horizontalAdvance(box->text()) > box->width())
            return false;
    }
    return metrics.horizontalAdvance(label1_->text()) <= printerList_->x() - label1_->x() - 2 &&
           metrics.horizontalAdvance(label3_->text()) <= label3_->width();
}

void TTavrinForm::FitFont() {
    // The platform's sans-serif font at the largest pixel size, from the 11 pixels of the
    // classic dialog font down, at which every caption fits its control.
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    constexpr int kLargest = 11;
    constexpr int kSmallest = 8;
    for (int pixels = kLargest; pixels >= kSmallest; --pixels) {
        font.setPixelSize(pixels);
        if (pixels > kSmallest && !CaptionsMayFit(font))
            continue;
        setFont(font);
        for (QLabel* label : {label1_, label2_, label4_})
            label->adjustSize();
        if (CaptionsFit())
            break;
    }
}

}  // namespace tavrin
