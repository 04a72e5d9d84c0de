#pragma once

#include <functional>
#include <string>

#include "platform/StatusPanels.h"

namespace tavrin {

// A control of the main window as the engine sees it: check box, radio button, menu item,
// label, group box or button. The engine reads and sets these states at the moment it needs
// them; the window binds them to its real widgets, tavrin-cli and the tests to PlainControl.
//
// For check boxes and radio buttons, setting the checked state to a value different from the
// current one runs the control's click handler, exactly as a user's click does; setting it to the
// value it already has runs nothing. A menu item's check mark set by the program runs no command:
// menu commands run only when the user chooses the item.
class Control {
public:
    virtual ~Control() = default;
    virtual bool checked() const = 0;
    virtual void setChecked(bool checked) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
};

// An integer-valued control (spin edit, integer edit). caption() is the text it shows.
// Writing a value runs the control's change handler when the value changes.
class ValueControl : public Control {
public:
    virtual int value() const = 0;
    virtual void setValue(int value) = 0;
};

// The four panels of the status bar.
class StatusBar {
public:
    virtual ~StatusBar() = default;
    virtual std::string panel(int index) const = 0;
    virtual void setPanel(int index, const std::string& text) = 0;
};

// A periodic timer delivering ticks on the window's thread.
class Timer {
public:
    virtual ~Timer() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual int interval() const = 0;
    virtual void setInterval(int milliseconds) = 0;
};

// Plain in-memory implementations, used by tavrin-cli and by tests of the engine logic.
class PlainControl : public Control {
public:
    explicit PlainControl(std::string caption = {}, bool checked = false, bool enabled = true,
                          bool visible = true)
        : caption_(std::move(caption)), checked_(checked), enabled_(enabled), visible_(visible) {}

    // Runs after a change of the checked state, as a click handler does.
    std::function<void()> onClick;

    bool checked() const override { return checked_; }
    void setChecked(bool checked) override {
        if (checked == checked_)
            return;
        checked_ = checked;
        if (onClick)
            onClick();
    }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& caption) override { caption_ = caption; }

private:
    std::string caption_;
    bool checked_;
    bool enabled_;
    bool visible_;
};

class PlainValueControl : public ValueControl {
public:
    explicit PlainValueControl(int value = 0) : value_(value) {}

    // Runs after a change of the value.
    std::function<void()> onChange;

    bool checked() const override { return false; }
    void setChecked(bool) override {}
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }
    std::string caption() const override { return std::to_string(value_); }
    void setCaption(const std::string&) override {}
    int value() const override { return value_; }
    void setValue(int value) override {
        if (value == value_)
            return;
        value_ = value;
        if (onChange)
            onChange();
    }

private:
    int value_;
    bool enabled_ = true;
    bool visible_ = true;
};

class PlainStatusBar : public StatusBar {
public:
    std::string panel(int index) const override {
        return index >= 0 && index < status_panel::kCount ? panels_[index] : std::string();
    }
    void setPanel(int index, const std::string& text) override {
        if (index >= 0 && index < status_panel::kCount)
            panels_[index] = text;
    }

private:
    std::string panels_[status_panel::kCount];
};

class PlainTimer : public Timer {
public:
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    int interval() const override { return interval_; }
    void setInterval(int milliseconds) override { interval_ = milliseconds; }

private:
    bool enabled_ = false;
    int interval_ = 1000;
};

}  // namespace tavrin
