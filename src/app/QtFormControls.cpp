#include "app/QtFormControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "widgets/IntegerEdit.h"
#include "widgets/SpinEdit.h"

namespace tavrin {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}
std::string FromQt(const QString& text) {
    return text.toStdString();
}

bool WidgetControl::enabled() const {
    return widget_.isEnabled();
}
void WidgetControl::setEnabled(bool enabled) {
    widget_.setEnabled(enabled);
}
bool WidgetControl::visible() const {
    return !widget_.isHidden();
}
void WidgetControl::setVisible(bool visible) {
    widget_.setVisible(visible);
}

ButtonControl::ButtonControl(QAbstractButton& button) : WidgetControl(button), button_(button) {}
bool ButtonControl::checked() const {
    return button_.isChecked();
}
void ButtonControl::setChecked(bool checked) {
    button_.setChecked(checked);
}
std::string ButtonControl::caption() const {
    return FromQt(button_.text());
}
void ButtonControl::setCaption(const std::string& caption) {
    button_.setText(ToQt(caption));
}

LabelControl::LabelControl(QLabel& label) : WidgetControl(label), label_(label) {}
std::string LabelControl::caption() const {
    return FromQt(label_.text());
}
void LabelControl::setCaption(const std::string& caption) {
    label_.setText(ToQt(caption));
}

GroupBoxControl::GroupBoxControl(QGroupBox& box) : WidgetControl(box), box_(box) {}
std::string GroupBoxControl::caption() const {
    return FromQt(box_.title());
}
void GroupBoxControl::setCaption(const std::string& caption) {
    box_.setTitle(ToQt(caption));
}

bool ActionControl::checked() const {
    return action_.isChecked();
}
void ActionControl::setChecked(bool checked) {
    action_.setChecked(checked);
}
bool ActionControl::enabled() const {
    return action_.isEnabled();
}
void ActionControl::setEnabled(bool enabled) {
    action_.setEnabled(enabled);
}
bool ActionControl::visible() const {
    return action_.isVisible();
}
void ActionControl::setVisible(bool visible) {
    action_.setVisible(visible);
}
std::string ActionControl::caption() const {
    return FromQt(action_.text());
}
void ActionControl::setCaption(const std::string& caption) {
    action_.setText(ToQt(caption));
}

IntegerEditControl::IntegerEditControl(TIntegerEdit& edit) : edit_(edit) {}
bool IntegerEditControl::enabled() const {
    return edit_.isEnabled();
}
void IntegerEditControl::setEnabled(bool enabled) {
    edit_.setEnabled(enabled);
}
bool IntegerEditControl::visible() const {
    return !edit_.isHidden();
}
void IntegerEditControl::setVisible(bool visible) {
    edit_.setVisible(visible);
}
std::string IntegerEditControl::caption() const {
    return FromQt(edit_.text());
}
int IntegerEditControl::value() const {
    return edit_.Value();
}
void IntegerEditControl::setValue(int value) {
    if (value != edit_.Value())
        edit_.SetValue(value);
}

SpinEditControl::SpinEditControl(TSpinEdit& edit) : edit_(edit) {}
bool SpinEditControl::enabled() const {
    return edit_.isEnabled();
}
void SpinEditControl::setEnabled(bool enabled) {
    edit_.setEnabled(enabled);
}
bool SpinEditControl::visible() const {
    return !edit_.isHidden();
}
void SpinEditControl::setVisible(bool visible) {
    edit_.setVisible(visible);
}
std::string SpinEditControl::caption() const {
    return FromQt(edit_.text());
}
int SpinEditControl::value() const {
    return edit_.Value();
}
void SpinEditControl::setValue(int value) {
    edit_.SetValue(value);
}

std::string PanelStatusBar::panel(int index) const {
    if (index < 0 || index >= static_cast<int>(panels_.size()))
        return {};
    return FromQt(panels_[static_cast<std::size_t>(index)]->text());
}

void PanelStatusBar::setPanel(int index, const std::string& text) {
    if (index < 0 || index >= static_cast<int>(panels_.size()))
        return;
    panels_[static_cast<std::size_t>(index)]->setText(ToQt(text));
}

bool QtTimerControl::enabled() const {
    return timer_.isActive();
}
void QtTimerControl::setEnabled(bool enabled) {
    if (enabled == timer_.isActive())
        return;
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}
int QtTimerControl::interval() const {
    return timer_.interval();
}
void QtTimerControl::setInterval(int milliseconds) {
    timer_.setInterval(milliseconds);
}

}  // namespace tavrin
