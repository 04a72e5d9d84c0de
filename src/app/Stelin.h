#pragma once

#include <QDialog>
#include <functional>

#include "settings/SearchWindows.h"
#include "settings/Settings.h"

class QLabel;
class QPushButton;
class QShowEvent;

namespace tavrin {

class TSpinEdit;

// The Configure dialog: edits how far into a plot file the HP-GL/2 rewriting searches, either
// FromStart (the head searched for the quality instruction, "QL mode") or FromEnd (the tail
// searched when the replot instruction is placed, "RP mode"). Modeless; closing it hides it.
class TConfigure : public QDialog {
    Q_OBJECT

public:
    TConfigure(QWidget* mainWindow, Settings& settings);

    // The main window's "HPGL/2 &QL from start" and "HPGL/2 &RP from end": switch the dialog to
    // that mode (also while it is open), show the stored value and show the dialog.
    void QLfromstart1Click();
    void RPfromend1Click();

    // Called once the dialog has stored a value.
    std::function<void()> OnStored;

    // "&OK": stores both values and closes.
    void Button1Click();
    // "&Default": stores and shows the default of the visible value at once.
    void Button2Click();

    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }
    TSpinEdit* SpinEdit1() const { return spinEdit1_; }
    TSpinEdit* SpinEdit2() const { return spinEdit2_; }
    QPushButton* Button1() const { return button1_; }
    QPushButton* Button2() const { return button2_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ShowMode(bool fromStart);
    void Present();

    QWidget* mainWindow_;
    Settings& settings_;
    QLabel* label1_;
    QLabel* label2_;
    TSpinEdit* spinEdit1_;
    TSpinEdit* spinEdit2_;
    QPushButton* button1_;
    QPushButton* button2_;
};

}  // namespace tavrin
