#pragma once

#include <QStyledItemDelegate>

namespace tavrin {

class TDataGrid;

// Draws the data cells of a TDataGrid by its column objects and creates its in-place editor.
class DataGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit DataGridDelegate(TDataGrid& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    TDataGrid& grid_;
};

}  // namespace tavrin
