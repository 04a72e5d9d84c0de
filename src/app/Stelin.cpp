#include "app/Stelin.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "app/DialogFont.h"
#include "widgets/SpinEdit.h"

namespace tavrin {
namespace {

// The client area inside the dialog's 216 x 129 outer size with a sizeable frame and caption.
constexpr int kClientWidth = 208;
constexpr int kClientHeight = 102;
constexpr int kEditLeft = 120;
constexpr int kLabelGap = 3;

// A label left of the spin edits, in a font that keeps it clear of them.
QLabel* MakeLabel(QWidget* parent, const char* caption, QPoint at) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->move(at);
    ShrinkToFit(*label, kEditLeft - kLabelGap - at.x());
    label->adjustSize();
    return label;
}

TSpinEdit* MakeSpinEdit(QWidget* parent, int minValue, int maxValue, int value, const char* hint) {
    auto* edit = new TSpinEdit(parent);
    edit->setGeometry(kEditLeft, 24, 57, 22);
    edit->SetMinValue(minValue);
    edit->SetMaxValue(maxValue);
    edit->SetValue(value);
    edit->setToolTip(QString::fromUtf8(hint));
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* caption, int left) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setGeometry(left, 64, 75, 25);
    // Enter in the spin edits must not press a button.
    button->setAutoDefault(false);
    return button;
}

// The edit's value as the edit itself shows it once it loses the focus: a number outside the
// range becomes the nearest bound. "&OK" may be pressed by its shortcut while the edit still
// holds a typed number, so the value is bounded before it is stored.
int BoundedValue(TSpinEdit& edit) {
    edit.SetValue(edit.Value());
    return edit.Value();
}

}  // namespace

TConfigure::TConfigure(QWidget* mainWindow, Settings& settings)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow),
      settings_(settings) {
    setObjectName(QStringLiteral("Configure"));
    setWindowTitle(QStringLiteral("Configure"));
    setFont(DialogFont(font()));
    setModal(false);
    resize(kClientWidth, kClientHeight);

    label1_ = MakeLabel(this, "QL pos. from start", QPoint(24, 28));
    label2_ = MakeLabel(this, "RP pos. from end", QPoint(24, 27));
    spinEdit1_ = MakeSpinEdit(this, kFromStartMin, kFromStartMax, kFromStartWhenKeyAbsent,
                              "Set number of chars in beginning of file to search for QL string");
    spinEdit2_ =
        MakeSpinEdit(this, kFromEndMin, kFromEndMax, kFromEndFirstRun,
                     "Set number of characters in tail of the plotfile to search for PG string");
    button1_ = MakeButton(this, "&OK", 120);
    button2_ = MakeButton(this, "&Default", 16);
    button2_->setToolTip(QStringLiteral("Set default value"));

    label1_->setObjectName(QStringLiteral("Label1"));
    label2_->setObjectName(QStringLiteral("Label2"));
    spinEdit1_->setObjectName(QStringLiteral("SpinEdit1"));
    spinEdit2_->setObjectName(QStringLiteral("SpinEdit2"));
    button1_->setObjectName(QStringLiteral("Button1"));
    button2_->setObjectName(QStringLiteral("Button2"));

    setTabOrder(spinEdit1_, spinEdit2_);
    setTabOrder(spinEdit2_, button1_);
    setTabOrder(button1_, button2_);

    ShowMode(false);
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(button2_, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void TConfigure::ShowMode(bool fromStart) {
    spinEdit1_->setVisible(fromStart);
    spinEdit2_->setVisible(!fromStart);
    label1_->setVisible(fromStart);
    label2_->setVisible(!fromStart);
}

void TConfigure::QLfromstart1Click() {
    ShowMode(true);
    spinEdit1_->SetValue(settings_.FromStart);
    Present();
}

void TConfigure::RPfromend1Click() {
    ShowMode(false);
    spinEdit2_->SetValue(settings_.FromEnd);
    Present();
}

void TConfigure::Present() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
}

void TConfigure::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored by the window system is not newly shown.
    if (!event->spontaneous())
        FormShow();
}

void TConfigure::FormShow() {
    if (mainWindow_)
        move(mainWindow_->pos() + QPoint(50, 30));
    spinEdit1_->SetValue(settings_.FromStart);
    spinEdit2_->SetValue(settings_.FromEnd);
}

void TConfigure::Button1Click() {
    settings_.FromStart = BoundedValue(*spinEdit1_);
    settings_.FromEnd = BoundedValue(*spinEdit2_);
    if (OnStored)
        OnStored();
    close();
}

void TConfigure::Button2Click() {
    if (!spinEdit1_->isHidden()) {
        settings_.FromStart = kFromStartFirstRun;
        spinEdit1_->SetValue(kFromStartFirstRun);
    } else if (!spinEdit2_->isHidden()) {
        settings_.FromEnd = kFromEndFirstRun;
        spinEdit2_->SetValue(kFromEndFirstRun);
    }
    if (OnStored)
        OnStored();
}

}  // namespace tavrin
