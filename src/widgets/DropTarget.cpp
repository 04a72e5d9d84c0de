#include "widgets/DropTarget.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Error.h"
#include "widgets/ErrorReport.h"

namespace tavrin {
namespace {

constexpr int kScrollIntervalMs = 100;

// Which window takes drops for which target: a window takes them for one target at a time.
struct Registration {
    QPointer<QWidget> window;
    QPointer<TDropTarget> target;
};

std::vector<Registration>& Registrations() {
    static std::vector<Registration> registrations;
    std::erase_if(registrations, [](const Registration& r) { return !r.window || !r.target; });
    return registrations;
}

Registration* FindRegistration(const QWidget* window) {
    auto& registrations = Registrations();
    auto found = std::find_if(registrations.begin(), registrations.end(),
                              [window](const Registration& r) { return r.window == window; });
    return found == registrations.end() ? nullptr : &*found;
}

std::string NameOf(const QWidget* control) {
    return control->objectName().toStdString();
}

}  // namespace

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

TDropTarget::TDropTarget(QObject* owner, const TickTimerFactory& timers)
    : QObject(owner), scrollTimer_(timers()) {
    scrollTimer_->SetInterval(kScrollIntervalMs);
    scrollTimer_->SetEnabled(false);
    scrollTimer_->OnTick = [this] { AutoScrollStep(); };
}

TDropTarget::~TDropTarget() {
    scrollTimer_->SetEnabled(false);
    try {
        Unregister();
    } catch (const Error&) {
        // The window was taken over by another target; there is nothing left to undo.
    }
}

void TDropTarget::Register(QWidget* control) {
    if (control == target_)
        return;
    if (target_)
        Unregister();
    target_ = control;
    if (!control)
        return;
    if (Registration* other = FindRegistration(control); other && other->target != this) {
        throw Error(FormatMessage("Failed to Register %s", NameOf(control)));
    }
    Registrations().push_back({control, this});
    control->installEventFilter(this);
    control->setAcceptDrops(true);
}

void TDropTarget::Unregister() {
    QWidget* control = target_;
    if (!control)
        return;
    Registration* registration = FindRegistration(control);
    if (!registration || registration->target != this) {
        throw Error(FormatMessage("Failed to Unregister %s", NameOf(control)));
    }
    registration->target = nullptr;
    control->removeEventFilter(this);
    control->setAcceptDrops(false);
    target_ = nullptr;
}

DropEffect TDropTarget::ChooseDropEffect(TShiftState shift, QPoint point, DropEffect offered) {
    DropEffect allowed = offered;
    if (!(dragTypes_ & dtCopy))
        allowed &= ~DROPEFFECT_COPY;
    if (!(dragTypes_ & dtMove))
        allowed &= ~DROPEFFECT_MOVE;
    if (!(dragTypes_ & dtLink))
        allowed &= ~DROPEFFECT_LINK;
    if (OnGetDropEffect) {
        DropEffect effect = allowed;
        OnGetDropEffect(shift, point, effect);
        return effect;
    }

    const TShiftState keys = shift & (ssShift | ssCtrl);
    DropEffect result = DROPEFFECT_NONE;
    if (keys == (ssShift | ssCtrl) && (allowed & DROPEFFECT_LINK)) {
        result = DROPEFFECT_LINK;
    } else if (keys == ssShift && (allowed & DROPEFFECT_MOVE)) {
        result = DROPEFFECT_MOVE;
    } else if (allowed & DROPEFFECT_COPY) {
        result = DROPEFFECT_COPY;
    } else if (allowed & DROPEFFECT_MOVE) {
        result = DROPEFFECT_MOVE;
    } else if (allowed & DROPEFFECT_LINK) {
        result = DROPEFFECT_LINK;
    }

    if (scrollDirections_ != 0 && target_) {
        const int width = target_->width();
        const int height = target_->height();
        if ((scrollDirections_ & Horizontal) &&
            (point.x() < scrollMargin_ || point.x() > width - scrollMargin_)) {
            return result | DROPEFFECT_SCROLL;
        }
        if ((scrollDirections_ & Vertical) &&
            (point.y() < scrollMargin_ || point.y() > height - scrollMargin_)) {
            result |= DROPEFFECT_SCROLL;
        }
    }
    return result;
}

DropEffect TDropTarget::DragEnter(const QMimeData* data, TShiftState shift, QPoint point,
                                  DropEffect offered) {
    ResetData();
    data_ = data;
    holdingData_ = data != nullptr;
    if (!data || !AcceptsData(*data)) {
        LetGoOfData();
        return DROPEFFECT_NONE;
    }

    scrollDirections_ = 0;
    scrollMargin_ = 0;
    if (target_) {
        scrollMargin_ = std::abs(QFontInfo(target_->font()).pixelSize());
        if (auto* area = qobject_cast<QAbstractScrollArea*>(target_.data())) {
            if (area->horizontalScrollBar()->isVisible())
                scrollDirections_ |= Horizontal;
            if (area->verticalScrollBar()->isVisible())
                scrollDirections_ |= Vertical;
        }
    }
    if (getDataOnEnter_)
        FetchData(*data);

    lastPoint_ = point;
    DropEffect effect = ChooseDropEffect(shift, point, offered);
    if (OnEnter)
        OnEnter(shift, point, effect);
    return effect;
}

DropEffect TDropTarget::DragOver(TShiftState shift, QPoint point, DropEffect offered) {
    DropEffect effect = DROPEFFECT_NONE;
    if (holdingData_) {
        effect = ChooseDropEffect(shift, point, offered);
        if (OnDragOver)
            OnDragOver(shift, point, effect);
        scrolling_ = scrollDirections_ != 0 && (effect & DROPEFFECT_SCROLL);
    } else {
        scrolling_ = false;
    }
    scrollTimer_->SetEnabled(scrolling_);
    lastPoint_ = point;
    return effect;
}

void TDropTarget::DragLeave() {
    ResetData();
    scrollTimer_->SetEnabled(false);
    scrolling_ = false;
    LetGoOfData();
    if (OnLeave)
        OnLeave();
}

DropEffect TDropTarget::Drop(const QMimeData* data, TShiftState shift, QPoint point,
                             DropEffect offered) {
    if (!holdingData_)
        return DROPEFFECT_NONE;
    scrollTimer_->SetEnabled(false);
    scrolling_ = false;
    // The data seen at the enter is read; should it be gone by now, the data delivered with the
    // drop (the same data on every platform we know of) takes its place.
    const QMimeData* held = data_ ? data_.data() : data;
    DropEffect effect = ChooseDropEffect(shift, point, offered);
    // The lists are emptied and the data let go also when a handler raises an error.
    struct Cleanup {
        TDropTarget& target;
        ~Cleanup() {
            target.ResetData();
            target.LetGoOfData();
        }
    } cleanup{*this};
    // A drop that can have no effect is refused, as the platform refuses it where the pointer
    // showed no-drop; Qt may deliver it all the same.
    bool haveData = (effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)) != 0;
    if (haveData && !getDataOnEnter_)
        haveData = held && FetchData(*held);
    if (!haveData) {
        effect = DROPEFFECT_NONE;
    } else if (OnDrop) {
        OnDrop(shift, point, effect);
    }
    return effect;
}

void TDropTarget::LetGoOfData() {
    data_ = nullptr;
    holdingData_ = false;
}

void TDropTarget::AutoScrollStep() {
    auto* area = qobject_cast<QAbstractScrollArea*>(target_.data());
    if (!area)
        return;
    QScrollBar* vertical = area->verticalScrollBar();
    if (lastPoint_.y() < scrollMargin_) {
        vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (lastPoint_.y() > area->height() - scrollMargin_) {
        vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    QScrollBar* horizontal = area->horizontalScrollBar();
    if (lastPoint_.x() < scrollMargin_) {
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (lastPoint_.x() > area->width() - scrollMargin_) {
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
}

QString TDropTarget::FindFormat(const QMimeData& data, const QString& name) {
    const QString windowsFormat =
        QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(name);
    for (const QString& format : data.formats()) {
        if (format == name || format == windowsFormat)
            return format;
    }
    return {};
}

DropEffect TDropTarget::ReadClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return DROPEFFECT_NONE;
    if (const QString format = FindFormat(*data, QStringLiteral("Preferred DropEffect"));
        !format.isEmpty()) {
        const QByteArray bytes = data->data(format);
        if (bytes.size() < 4)
            return DROPEFFECT_NONE;
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
        return DropEffect(b[0]) | DropEffect(b[1]) << 8 | DropEffect(b[2]) << 16 |
               DropEffect(b[3]) << 24;
    }
    // File managers on Linux mark a cut with these formats instead.
    if (data->hasFormat(QStringLiteral("x-special/gnome-copied-files"))) {
        const QByteArray first = data->data(QStringLiteral("x-special/gnome-copied-files"))
                                     .split('\n')
                                     .value(0)
                                     .trimmed();
        if (first == "cut")
            return DROPEFFECT_MOVE;
        if (first == "copy")
            return DROPEFFECT_COPY;
    }
    if (data->data(QStringLiteral("application/x-kde-cutselection")).startsWith('1')) {
        return DROPEFFECT_MOVE;
    }
    return DROPEFFECT_NONE;
}

void TDropTarget::Answer(QDropEvent& event, DropEffect effect, bool keepTarget) {
    Qt::DropAction action = Qt::IgnoreAction;
    if (effect & DROPEFFECT_COPY) {
        action = Qt::CopyAction;
    } else if (effect & DROPEFFECT_MOVE) {
        action = Qt::MoveAction;
    } else if (effect & DROPEFFECT_LINK) {
        action = Qt::LinkAction;
    }
    event.setDropAction(action);
    // Qt sends the moves, the drop and the leave of a drag only to a widget that took its enter,
    // so the enter is always taken; the moves then tell the platform whether a drop may come.
    event.setAccepted(keepTarget || action != Qt::IgnoreAction);
}

bool TDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::DragLeave &&
        type != QEvent::Drop) {
        return false;
    }
    // An error from a handler cannot travel through Qt's event delivery; it goes to the
    // application's error report, and the drag ends with no effect.
    try {
        HandleDragEvent(*event);
    } catch (const Error& error) {
        if (type != QEvent::DragLeave)
            Answer(static_cast<QDropEvent&>(*event), DROPEFFECT_NONE, type == QEvent::DragEnter);
        ReportErrorLater(error);
    }
    return true;
}

void TDropTarget::HandleDragEvent(QEvent& event) {
    switch (event.type()) {
        case QEvent::DragEnter: {
            auto& enter = static_cast<QDragEnterEvent&>(event);
            Answer(enter,
                   DragEnter(enter.mimeData(), ShiftStateOf(enter.modifiers(), enter.buttons()),
                             enter.position().toPoint(), enter.possibleActions()),
                   true);
            break;
        }
        case QEvent::DragMove: {
            auto& move = static_cast<QDragMoveEvent&>(event);
            Answer(move,
                   DragOver(ShiftStateOf(move.modifiers(), move.buttons()),
                            move.position().toPoint(), move.possibleActions()),
                   false);
            break;
        }
        case QEvent::DragLeave:
            event.accept();
            DragLeave();
            break;
        case QEvent::Drop: {
            auto& drop = static_cast<QDropEvent&>(event);
            Answer(drop,
                   Drop(drop.mimeData(), ShiftStateOf(drop.modifiers(), drop.buttons()),
                        drop.position().toPoint(), drop.possibleActions()),
                   false);
            break;
        }
        default:
            break;
    }
}

}  // namespace tavrin
