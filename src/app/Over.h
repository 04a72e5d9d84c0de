#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QShowEvent;

namespace tavrin {

// The About box: the program's name and motto, credits, the build date and contact lines.
// Modeless; "&Fine, seen" and the close box hide it.
class TOverTavrin : public QDialog {
    Q_OBJECT

public:
    explicit TOverTavrin(QWidget* mainWindow);

    // The main window's "&About": places the box over the main window and shows it.
    void About2Click();
    void BitBtn1Click();

    QFrame* Bevel1() const { return bevel1_; }
    QLabel* NameLine() const { return nameLine_; }
    QLabel* Motto() const { return motto_; }
    QLabel* Label4() const { return label4_; }
    QPushButton* BitBtn1() const { return bitBtn1_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QWidget* mainWindow_;
    QFrame* bevel1_;
    QLabel* nameLine_;
    QLabel* motto_;
    QLabel* label4_;
    QPushButton* bitBtn1_;
};

}  // namespace tavrin
