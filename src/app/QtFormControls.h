#pragma once

#include <QString>
#include <array>
#include <functional>
#include <string>

#include "platform/Controls.h"
#include "platform/StatusPanels.h"

class QAbstractButton;
class QAction;
class QGroupBox;
class QLabel;
class QTimer;
class QWidget;

namespace tavrin {

class TIntegerEdit;
class TSpinEdit;

QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

// The common part of every widget adapter: enabled and visible states. A control counts as
// visible when the program has not hidden it, also while its window is not shown yet.
class WidgetControl : public Control {
public:
    explicit WidgetControl(QWidget& widget) : widget_(widget) {}
    bool checked() const override { return false; }
    void setChecked(bool) override {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    bool visible() const override;
    void setVisible(bool visible) override;
    std::string caption() const override { return {}; }
    void setCaption(const std::string&) override {}

private:
    QWidget& widget_;
};

// Check boxes, radio buttons and push buttons. The window connects the button's toggled signal
// to its click handler, so that a checked state changed by the program runs the handler exactly
// as a user's click does.
class ButtonControl : public WidgetControl {
public:
    explicit ButtonControl(QAbstractButton& button);
    bool checked() const override;
    void setChecked(bool checked) override;
    std::string caption() const override;
    void setCaption(const std::string& caption) override;

private:
    QAbstractButton& button_;
};

class LabelControl : public WidgetControl {
public:
    explicit LabelControl(QLabel& label);
    std::string caption() const override;
    void setCaption(const std::string& caption) override;

private:
    QLabel& label_;
};

class GroupBoxControl : public WidgetControl {
public:
    explicit GroupBoxControl(QGroupBox& box);
    std::string caption() const override;
    void setCaption(const std::string& caption) override;

private:
    QGroupBox& box_;
};

// A menu item. Setting its check mark from the program runs no handler: menu commands run only
// when the item is chosen (its triggered signal).
class ActionControl : public Control {
public:
    explicit ActionControl(QAction& action) : action_(action) {}
    bool checked() const override;
    void setChecked(bool checked) override;
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    bool visible() const override;
    void setVisible(bool visible) override;
    std::string caption() const override;
    void setCaption(const std::string& caption) override;

private:
    QAction& action_;
};

// The hour and minute edits. Writing a different value sets the edit's number, whose change
// event runs the change handler.
class IntegerEditControl : public ValueControl {
public:
    explicit IntegerEditControl(TIntegerEdit& edit);
    bool checked() const override { return false; }
    void setChecked(bool) override {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    bool visible() const override;
    void setVisible(bool visible) override;
    std::string caption() const override;
    void setCaption(const std::string&) override {}
    int value() const override;
    void setValue(int value) override;

private:
    TIntegerEdit& edit_;
};

class SpinEditControl : public ValueControl {
public:
    explicit SpinEditControl(TSpinEdit& edit);
    bool checked() const override { return false; }
    void setChecked(bool) override {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    bool visible() const override;
    void setVisible(bool visible) override;
    std::string caption() const override;
    void setCaption(const std::string&) override {}
    int value() const override;
    void setValue(int value) override;

private:
    TSpinEdit& edit_;
};

// The four panels of the window's status bar, each a label.
class PanelStatusBar : public StatusBar {
public:
    explicit PanelStatusBar(std::array<QLabel*, status_panel::kCount> panels) : panels_(panels) {}
    std::string panel(int index) const override;
    void setPanel(int index, const std::string& text) override;

private:
    std::array<QLabel*, status_panel::kCount> panels_;
};

class QtTimerControl : public Timer {
public:
    explicit QtTimerControl(QTimer& timer) : timer_(timer) {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    int interval() const override;
    void setInterval(int milliseconds) override;

private:
    QTimer& timer_;
};

}  // namespace tavrin
