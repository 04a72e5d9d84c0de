#include "widgets/NumEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include "widgets/ErrorReport.h"
#include "widgets/FocusReasons.h"
#include "widgets/TypedCharacter.h"

namespace tavrin {
namespace {

// Refuses edits by the user that would make the text longer than the limit. Text set by the
// program is not validated by QLineEdit, so it is never cut.
class LengthLimit : public QValidator {
public:
    LengthLimit(const int& limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& input, int&) const override {
        return limit_ > 0 && input.size() > limit_ ? Invalid : Acceptable;
    }

private:
    const int& limit_;
};

}  // namespace

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new LengthLimit(maxLength_, this));
    // Files dragged over the edit go on to the window beneath, which takes them.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange();
    });
}

NumberSeparators TNumEdit::LocaleSeparators() {
    QLocale locale;
    return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}

std::string TNumEdit::Formatted(const std::string& pattern) const {
    return FormatFloat(pattern, value_, LocaleSeparators());
}

void TNumEdit::SetDisplayFormat(const std::string& pattern) {
    displayFormat_ = pattern;
    setText(QString::fromStdString(Formatted(displayFormat_)));
}

void TNumEdit::SetEditFormat(const std::string& pattern) {
    editFormat_ = pattern;
}

void TNumEdit::SetMaxLength(int maxLength) {
    maxLength_ = std::max(maxLength, 0);
}

double TNumEdit::Accepted(double parsed, const std::string&) const {
    return parsed;
}

double TNumEdit::ReadText() const {
    const std::string typed = text().toStdString();
    if (text().trimmed().isEmpty())
        return 0;
    const NumberSeparators separators = LocaleSeparators();
    const std::string plain = RemoveAll(typed, separators.thousands);
    const std::optional<double> parsed = TextToFloat(plain, separators.decimalPoint);
    if (!parsed)
        throw Error(FormatMessage("'%s' is not a valid floating point value", plain));
    return Accepted(*parsed, plain);
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
    const std::optional<char32_t> typed = TypedCharacter(*event);
    if (maxLength_ > 0 && typed && *typed >= 32 &&
        text().size() - selectedText().size() >= maxLength_) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TNumEdit::focusInEvent(QFocusEvent* event) {
    if (reclaimingFocus_ || !displayMode_) {
        QLineEdit::focusInEvent(event);
        return;
    }
    displayMode_ = false;
    if (value_ != 0)
        setText(QString::fromStdString(Formatted(editFormat_)));
    QLineEdit::focusInEvent(event);
    if (autoSelect_ && event->reason() != Qt::MouseFocusReason) {
        selectAll();
    } else if (!autoSelect_) {
        deselect();
    }
    update();
    if (OnEnter)
        OnEnter();
}

void TNumEdit::focusOutEvent(QFocusEvent* event) {
    if (reclaimingFocus_ || displayMode_ || IsPassingFocusChange(event->reason())) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    try {
        value_ = ReadText();
        setText(QString::fromStdString(Formatted(displayFormat_)));
    } catch (const Error& error) {
        QLineEdit::focusOutEvent(event);
        if (isVisible() && isEnabled()) {
            reclaimingFocus_ = true;
            setFocus(Qt::OtherFocusReason);
            reclaimingFocus_ = false;
        }
        selectAll();
        ReportErrorLater(error);
        return;
    }
    QLineEdit::focusOutEvent(event);
    setCursorPosition(0);
    displayMode_ = true;
    update();
    if (OnExit)
        OnExit();
}

void TNumEdit::paintEvent(QPaintEvent* event) {
    if (!displayMode_) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    painter.fillRect(
        area, palette().brush(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Base));
    area.adjust(2, 0, -2, 0);
    const QString shown = text().left(255);
    const QFontMetrics metrics(font());
    // Right-aligned with a 3-pixel gap, at the height where the edit itself puts its text.
    const int x = area.left() + area.width() - metrics.horizontalAdvance(shown) - 3;
    const int y = area.top() + (area.height() - metrics.height() + 1) / 2;
    painter.setClipRect(area);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(QPoint(x, y + metrics.ascent()), shown);
}

void TNumEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick) {
        OnClick();
    }
}

}  // namespace tavrin
