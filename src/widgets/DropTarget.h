#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

#include "widgets/TickTimer.h"

class QDropEvent;
class QMimeData;

namespace tavrin {

// A drop effect: the bits of the effects a drag may have, plus the scroll bit.
using DropEffect = std::uint32_t;
inline constexpr DropEffect DROPEFFECT_NONE = 0;
inline constexpr DropEffect DROPEFFECT_COPY = 1;
inline constexpr DropEffect DROPEFFECT_MOVE = 2;
inline constexpr DropEffect DROPEFFECT_LINK = 4;
inline constexpr DropEffect DROPEFFECT_SCROLL = 0x80000000;

// The effects a target allows, as a set of bits with the values of the matching drop effects.
enum TDragType : unsigned { dtCopy = 1, dtMove = 2, dtLink = 4 };
using TDragTypes = unsigned;

// The keys and mouse buttons held during a drag.
enum TShiftKey : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32
};
using TShiftState = unsigned;

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// Called with the keys held, the pointer in the target's coordinates and the effect, which the
// handler may change.
using TDropTargetEvent = std::function<void(TShiftState shift, QPoint point, DropEffect& effect)>;

// Makes one window a drop target: chooses the drop effect from the keys held and Dragtypes,
// scrolls a scrollable window while the pointer is near its edges, and reports the drag through
// OnEnter, OnDragOver, OnLeave and OnDrop. Derived classes say which data they take.
class TDropTarget : public QObject {
    Q_OBJECT

public:
    explicit TDropTarget(QObject* owner = nullptr, const TickTimerFactory& timers = QtTickTimers());
    ~TDropTarget() override;

    // Makes `control` the window that takes drops; none unregisters the current one. Raises
    // "Failed to Register <name>" when the window already takes drops for another target.
    void Register(QWidget* control);
    // Raises "Failed to Unregister <name>" when the window no longer takes drops for this target.
    void Unregister();
    QWidget* Target() const { return target_; }

    TDragTypes Dragtypes() const { return dragTypes_; }
    void SetDragtypes(TDragTypes types) { dragTypes_ = types; }
    bool GetDataOnEnter() const { return getDataOnEnter_; }
    void SetGetDataOnEnter(bool getDataOnEnter) { getDataOnEnter_ = getDataOnEnter; }

    TDropTargetEvent OnEnter;
    TDropTargetEvent OnDragOver;
    std::function<void()> OnLeave;
    TDropTargetEvent OnDrop;
    // Replaces the built-in choice of the effect (keys, Dragtypes and scroll zones) when set.
    TDropTargetEvent OnGetDropEffect;

    // The notifications of one drag over the target window, each returning the effect.
    DropEffect DragEnter(const QMimeData* data, TShiftState shift, QPoint point,
                         DropEffect offered);
    DropEffect DragOver(TShiftState shift, QPoint point, DropEffect offered);
    void DragLeave();
    DropEffect Drop(const QMimeData* data, TShiftState shift, QPoint point, DropEffect offered);

    virtual DropEffect ChooseDropEffect(TShiftState shift, QPoint point, DropEffect offered);
    // The effect that the program that put data on the clipboard prefers: copy or move
    // (cut), or none when it says nothing.
    virtual DropEffect ReadClipboard();

    bool Scrolling() const { return scrolling_; }
    int ScrollMargin() const { return scrollMargin_; }

protected:
    // Reads the drag's data into the target's own fields; true when usable data was read.
    virtual bool FetchData(const QMimeData& data) = 0;
    // Empties what FetchData filled.
    virtual void ResetData() = 0;
    // Does the data offer a format that this target takes?
    virtual bool AcceptsData(const QMimeData& data) const = 0;

    // The format of `data` that carries the named platform format, or an empty string.
    static QString FindFormat(const QMimeData& data, const QString& name);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum ScrollDirection : unsigned { Horizontal = 1, Vertical = 2 };

    void HandleDragEvent(QEvent& event);
    void AutoScrollStep();
    void LetGoOfData();
    static void Answer(QDropEvent& event, DropEffect effect, bool keepTarget);

    QPointer<QWidget> target_;
    QPointer<const QMimeData> data_;
    bool holdingData_ = false;
    TDragTypes dragTypes_ = 0;
    bool getDataOnEnter_ = false;
    QPoint lastPoint_;
    int scrollMargin_ = 0;
    unsigned scrollDirections_ = 0;
    bool scrolling_ = false;
    std::unique_ptr<TickTimer> scrollTimer_;
};

}  // namespace tavrin
