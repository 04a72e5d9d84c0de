#pragma once

#include <QLineEdit>

#include "widgets/GridColumn.h"

namespace tavrin {

class TDataGrid;
class TPopupListbox;

// The in-place editor of a TDataGrid. Every change of its text goes to its cell at once. By
// the cell's column it shows an ellipsis button or a drop-down button with a pick list, and it
// checks cfNumber and cfDate texts when the edit ends.
class TDataGridInplaceEdit : public QLineEdit {
    Q_OBJECT

public:
    TDataGridInplaceEdit(TDataGrid& grid, QWidget* parent);

    TDataGrid& Grid() const { return grid_; }
    int Col() const { return col_; }
    int Row() const { return row_; }
    EditStyle Style() const { return editStyle_; }
    int ButtonWidth() const;
    QRect ButtonRect() const;
    bool ListVisible() const { return listVisible_; }
    bool Pressed() const { return pressed_; }
    TPopupListbox* PickList() const { return pickList_; }
    const QString& TextAtEditStart() const { return textAtStart_; }
    bool Modified() const { return modified_; }

    // Moves the editor to cell (col, row): style, maximum length, mask, text.
    void StartEditing(int col, int row);
    // Shows the cell's text again after the cell store changed under the editor.
    void RefreshFromCell();
    // The check when the edit ends: rewrites a number or date, or beeps and restores.
    void CheckEditEnd();

    void OpenList();
    // Hides the list; with `accept` the selected entry goes into the cell.
    void CloseList(bool accept);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TextEdited(const QString& text);
    void TakeValue(const QString& value);
    bool PickByFirstCharacter(const QString& typed);
    bool ButtonOrListClick();
    void UpdateMargins();

    TDataGrid& grid_;
    int col_ = -1;
    int row_ = -1;
    EditStyle editStyle_ = EditStyle::None;
    TPopupListbox* pickList_ = nullptr;
    bool listVisible_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
    bool modified_ = false;
    QString textAtStart_;
};

}  // namespace tavrin
