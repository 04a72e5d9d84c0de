#pragma once

#include <QListWidget>

#include <functional>

namespace tavrin {

class TDataGridInplaceEdit;

// The pick list of the in-place editor: a top-level list that never takes the focus. Typing in
// it searches the entries by their beginning.
class TPopupListbox : public QListWidget {
    Q_OBJECT

public:
    static constexpr int kMaxSearchLength = 32;
    static constexpr qint64 kSearchPauseMs = 2000;

    explicit TPopupListbox(TDataGridInplaceEdit& editor);

    const QString& SearchText() const { return searchText_; }
    // Milliseconds of a steady clock; tests set their own.
    std::function<qint64()> Clock;

    // A key the editor hands on while the list is open.
    void KeyFromEditor(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Search(const QString& character);

    TDataGridInplaceEdit& editor_;
    QString searchText_;
    qint64 lastSearchKey_ = 0;
};

}  // namespace tavrin
