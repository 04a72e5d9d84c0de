#include "widgets/PopupListbox.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include "widgets/DataGridInplaceEdit.h"

namespace tavrin {

namespace {
qint64 SteadyMilliseconds() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}
}  // namespace

TPopupListbox::TPopupListbox(TDataGridInplaceEdit& editor) : QListWidget(&editor), editor_(editor) {
    Clock = SteadyMilliseconds;
    // A window that is never activated, so the editor keeps the focus while the list shows.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TPopupListbox::Search(const QString& character) {
    const qint64 now = Clock();
    if (now - lastSearchKey_ > kSearchPauseMs)
        searchText_.clear();
    lastSearchKey_ = now;
    if (searchText_.size() < kMaxSearchLength)
        searchText_ += character;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text().startsWith(searchText_, Qt::CaseInsensitive)) {
            setCurrentRow(i);
            return;
        }
    }
}

void TPopupListbox::KeyFromEditor(QKeyEvent* event) {
    keyPressEvent(event);
}

void TPopupListbox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Escape) {
        searchText_.clear();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() <= 255 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        Search(text);
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TPopupListbox::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    editor_.CloseList(rect().contains(event->position().toPoint()));
}

}  // namespace tavrin
