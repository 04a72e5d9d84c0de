#pragma once

#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <memory>

#include "widgets/DataGridColumn.h"
#include "widgets/GridModel.h"

namespace tavrin {

class DataGridTableModel;
class TDataGridInplaceEdit;

// The keyboard row operations a TDataGrid allows.
struct DataGridOptions {
    bool appendRow = false;  // dgoAppendRow: Tab in the last cell, Down in the last row
    bool insertRow = false;  // dgoInsertRow: Ctrl+Insert
    bool deleteRow = false;  // dgoDeleteRow: Ctrl+Delete

    bool operator==(const DataGridOptions&) const = default;
};

// The grid options that change how the grid behaves (lines are always drawn).
struct GridOptions {
    bool rangeSelect = false;
    bool rowSelect = false;
    bool editing = true;
    bool alwaysShowEditor = false;
    bool tabs = false;  // Tab moves between cells
    bool colSizing = true;
    bool colMoving = false;
};

// A grid of text cells with column objects, row operations, a background image and an in-place
// editor with an ellipsis button or a pick list. Its cells, counts and columns are a GridModel,
// which the engine works on directly (the job list's StringGrid1).
class TDataGrid : public QTableView {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(TDataGrid* sender)>;

    explicit TDataGrid(QWidget* parent = nullptr);
    ~TDataGrid() override;

    GridModel& Grid() { return grid_; }
    const GridModel& Grid() const { return grid_; }

    QString Version() const { return QStringLiteral("2.0"); }
    void SetVersion(const QString&) {}

    TColumn Columns(int col) { return TColumn(*this, col); }

    const GridOptions& Options() const { return options_; }
    void SetOptions(const GridOptions& options);
    const DataGridOptions& GetDataGridOptions() const { return dataGridOptions_; }
    void SetDataGridOptions(const DataGridOptions& options) { dataGridOptions_ = options; }
    int RowCountMin() const { return grid_.rowCountMin(); }
    void SetRowCountMin(int rows);
    const QPixmap& BGImage() const { return bgImage_; }
    void SetBGImage(const QPixmap& image);

    // The current column; writing it moves the current cell to that column in the current row.
    int SelectedIndex() const { return grid_.currentCol(); }
    void SetSelectedIndex(int col);

    void DeleteRow(int row);
    void InsertRow(int row);
    void AppendRow();

    NotifyEvent BeforeDelete;
    NotifyEvent BeforeInsert;
    NotifyEvent OnEditButtonClick;
    std::function<void(TDataGrid* sender, int col, int row, QString& mask)> OnGetEditMask;
    std::function<void(TDataGridInplaceEdit* sender)> OnUserChanged;
    // Called after the default drawing of a data cell.
    std::function<void(QPainter& painter, int col, int row, const QRect& rect)> OnDrawCell;
    bool DefaultDrawing = true;
    // The tooltip of a data cell, shown where the mouse rests on it; an empty text leaves the
    // grid's own tooltip.
    void SetCellHint(std::function<QString(int col, int row)> hint);
    // The system's beep; tests listen here.
    std::function<void()> Beep;

    // The grid's own popup menu, shown on a right click where the column has none.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* PopupMenu() const { return popupMenu_; }

    // The open in-place editor, if any.
    TDataGridInplaceEdit* InplaceEditor() const;

    // Hooks with the roles of their kind: after RowCountMin changes; the ellipsis notification.
    virtual void RowCountMinChanged() {}
    virtual void EditButtonClick();

    // Used by the editor and the drawing code.
    bool HandleRowOperationKey(QKeyEvent* event);
    void KeyFromEditor(TDataGridInplaceEdit* editor, QKeyEvent* event);
    void EditorChanged(TDataGridInplaceEdit* editor);
    void EditorCreated(TDataGridInplaceEdit* editor);
    void DrawCellText(QPainter& painter, const QRect& rect, const QString& text,
                      TextAlignment alignment) const;
    const QPixmap& InvertedBGImage() const { return invertedImage_; }
    QModelIndex IndexOf(int col, int row) const;
    int GridRow(const QModelIndex& index) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void ApplyLayout();
    void FollowCurrentCell();
    void SectionMoved(int logical, int oldVisual, int newVisual);
    void SectionResized(int logical, int oldSize, int newSize);

    GridModel grid_;
    std::unique_ptr<DataGridTableModel> model_;
    GridOptions options_;
    DataGridOptions dataGridOptions_;
    QPixmap bgImage_;
    QPixmap invertedImage_;
    QPointer<QMenu> popupMenu_;
    QPointer<TDataGridInplaceEdit> editor_;
    bool syncing_ = false;
};

}  // namespace tavrin
