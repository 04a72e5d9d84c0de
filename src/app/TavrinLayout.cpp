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

#include "app/CaptionFont.h"
#include "app/GlyphIcon.h"
#include "app/TavrinCaptions.h"
#include "app/TavrinUnit.h"
#include "spool/Schedule.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"
#include "widgets/IntegerEdit.h"
#include "widgets/JobListGrid.h"
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

template <typename W>
W* Place(W* widget, const captions::Captioned& item) {
    return Place(widget, item.name, item.geometry, item.hint);
}

// Labels size themselves to their text, from the given top-left corner.
QLabel* MakeLabel(QWidget* parent, const captions::Label& item) {
    auto* label = new QLabel(QString::fromUtf8(item.caption), parent);
    label->setObjectName(QString::fromUtf8(item.name));
    label->move(item.at);
    label->adjustSize();
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const captions::Captioned& item) {
    return Place(new QCheckBox(QString::fromUtf8(item.caption), parent), item);
}

QRadioButton* MakeRadioButton(QWidget* parent, const captions::Captioned& item) {
    return Place(new QRadioButton(QString::fromUtf8(item.caption), parent), item);
}

QPushButton* MakeGlyphButton(QWidget* parent, const captions::Captioned& item, const char* glyph) {
    auto* button = Place(new QPushButton(QString::fromUtf8(item.caption), parent), item);
    button->setIcon(GlyphIcon(glyph));
    button->setIconSize(QSize(captions::kGlyphSize, captions::kGlyphSize));
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
    using namespace captions;
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client_);

    configuration_ = MakeGroupBox(client_, "Configuration", "Output to", QRect(0, 5, 521, 49));
    label1_ = MakeLabel(configuration_, kLabel1);
    printerList_ = Place(new QComboBox(configuration_), "PrinterList", kPrinterListGeometry,
                         "Select the printer/plotter to which your files should be sent");

    groupBox1_ = MakeGroupBox(client_, "GroupBox1", "Print job", QRect(0, 56, 521, 235));
    uur_ = MakeTimeEdit(groupBox1_, "Uur", QRect(116, 11, 22, 21), 12, "Use 24 hrs based time");
    label2_ = MakeLabel(groupBox1_, kLabel2);
    minuut_ = MakeTimeEdit(groupBox1_, "Minuut", kMinuutGeometry, 0, nullptr);
    label4_ = MakeLabel(groupBox1_, kLabel4);
    schedule_ = MakeCheckBox(groupBox1_, kSchedule);
    jobAsSet_ = MakeCheckBox(groupBox1_, kJobAsSet);
    label3_ = Place(new QLabel(QString::fromUtf8(kLabel3.caption), groupBox1_), kLabel3);
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
    repMode_ = MakeRadioButton(groupBox2_, kRepMode);
    repMode_->setChecked(true);
    addMode_ = MakeRadioButton(groupBox2_, kAddMode);
    remove_ = MakeGlyphButton(groupBox2_, kRemove, ":/tavrin/resources/remove.png");
    selectFiles_ = MakeGlyphButton(client_, kSelectFiles, ":/tavrin/resources/select.png");

    groupBox3_ = MakeGroupBox(client_, "GroupBox3", "HP DesignJets only", QRect(251, 295, 115, 64));
    groupBox3_->setToolTip(
        QStringLiteral("Use options with care; sends a modified plot/printfile"));
    psCollate_ = MakeCheckBox(groupBox3_, kPSCollate);
    smartReplots_ = MakeCheckBox(client_, kSmartReplots);
    smartReplots_->setEnabled(false);
    removeQL_ = MakeCheckBox(client_, kRemoveQL);
    removeQL_->setEnabled(false);
    fitToPage_ = MakeCheckBox(client_, kFitToPage);

    groupBox4_ = MakeGroupBox(client_, "GroupBox4", "", QRect(368, 295, 153, 64));
    okPrint_ = MakeGlyphButton(client_, kOKPrint, ":/tavrin/resources/okprint.png");
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
    timer1_->setInterval(Schedule::kLookIntervalMs);

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

void TTavrinForm::ChooseFont() {
    // Set before the controls are made, so that they are made in it and measure their captions
    // in it from the start.
    setFont(CaptionFont(QApplication::font(), *style()));
}

}  // namespace tavrin
