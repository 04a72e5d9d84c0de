#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>

#include "widgets/GridColumn.h"

class QMenu;

namespace tavrin {

class TDataGrid;

// The title settings of a TDataGrid column in Qt's types.
class TColumnTitle {
public:
    TColumnTitle(TDataGrid& grid, int col) : grid_(grid), col_(col) {}

    QString Caption() const;
    void SetCaption(const QString& caption);
    TextAlignment Alignment() const;
    void SetAlignment(TextAlignment alignment);
    QFont Font() const;
    QColor FontColor() const;
    void SetFont(const QFont& font, const QColor& color);
    QColor Color() const;
    void SetColor(const QColor& color);
    void RestoreDefaults();

private:
    GridColumnTitle& data() const;
    TDataGrid& grid_;
    int col_;
};

// One column of a TDataGrid in Qt's types; the settings live in the grid's GridModel.
class TColumn {
public:
    TColumn(TDataGrid& grid, int col) : grid_(grid), col_(col) {}

    GridColumn& Data() const;
    int Index() const { return col_; }

    QColor Color() const;
    void SetColor(const QColor& color);
    QFont Font() const;
    QColor FontColor() const;
    void SetFont(const QFont& font, const QColor& color);
    QStringList PickList() const;
    void SetPickList(const QStringList& entries);
    QMenu* PopupMenu() const;
    void SetPopupMenu(QMenu* menu);
    TColumnTitle Title() const { return TColumnTitle(grid_, col_); }

    TextAlignment Alignment() const { return Data().alignment(); }
    void SetAlignment(TextAlignment alignment) { Data().setAlignment(alignment); }
    bool ReadOnly() const { return Data().readOnly(); }
    void SetReadOnly(bool readOnly) { Data().setReadOnly(readOnly); }
    ColumnFormat Format() const { return Data().format(); }
    void SetFormat(ColumnFormat format) { Data().setFormat(format); }
    QString DisplayMask() const { return QString::fromStdString(Data().displayMask()); }
    void SetDisplayMask(const QString& mask) { Data().setDisplayMask(mask.toStdString()); }
    QString EditMask() const { return QString::fromStdString(Data().editMask()); }
    void SetEditMask(const QString& mask) { Data().setEditMask(mask.toStdString()); }
    int MaxLength() const { return Data().maxLength(); }
    void SetMaxLength(int length) { Data().setMaxLength(length); }
    bool LimitToList() const { return Data().limitToList(); }
    void SetLimitToList(bool limit) { Data().setLimitToList(limit); }
    ColumnButtonStyle ButtonStyle() const { return Data().buttonStyle(); }
    void SetButtonStyle(ColumnButtonStyle style) { Data().setButtonStyle(style); }
    unsigned DropDownRows() const { return Data().dropDownRows(); }
    void SetDropDownRows(unsigned rows) { Data().setDropDownRows(rows); }
    void RestoreDefaults() { Data().restoreDefaults(); }
    void Assign(const TColumn& other) { Data().assign(other.Data()); }

private:
    TDataGrid& grid_;
    int col_;
};

}  // namespace tavrin
