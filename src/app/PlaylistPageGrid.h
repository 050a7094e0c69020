#pragma once
// The string grids of the PLAYLIST page: a header row, rows of core-made texts
// (one empty row when there is nothing to show), the Ins/Del/Ctrl+A keys, and an
// edit mode in which masked columns can be typed into. A typed cell is handed to
// the page, which applies it to the model and redraws the row from it.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/GridView.h"

namespace corvane {

// The rows of texts a PlaylistGrid shows, with an id per row (Qt::UserRole) that the
// page keeps beside the texts so that nothing is read back from a cell.
class RowTextModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowTextModel(std::span<const std::string_view> headers, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Grows or shrinks to `rows` rows (at least one); rows that stay keep their place.
    void setRowTotal(int rows);
    void setRow(int row, const std::vector<std::string>& cells);
    void clearRow(int row);
    void setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    void setRowId(int row, const QVariant& id);
    QVariant rowId(int row) const;
    void setAlignment(Qt::Alignment alignment);
    void setEditableColumns(std::vector<int> columns) { m_editableColumns = std::move(columns); }

private:
    struct Row {
        QStringList cells;
        QVariant id;
    };
    QStringList m_headers;
    std::vector<Row> m_rows;
    QVariant m_alignment;
    std::vector<int> m_editableColumns;
};

class PlaylistGrid : public GridView {
    Q_OBJECT
public:
    PlaylistGrid(const char* name, std::span<const std::string_view> headers, QWidget* parent = nullptr);

    // Replaces every row; an empty list leaves one empty row.
    void setRows(const std::vector<std::vector<std::string>>& rows);
    void setRow(int row, const std::vector<std::string>& cells);
    void clearRows() { setRows({}); }
    // Rows that show something (the empty row does not count).
    int dataRows() const { return m_dataRows; }
    int rowCount() const { return m_model->rowCount(); }
    int columnCount() const { return m_model->columnCount(); }
    QString cellText(int row, int column) const { return m_model->text(row, column); }
    // Redraws one cell of a data row.
    void setCellText(int row, int column, const std::string& text);
    // The id of a row's record, kept in Qt::UserRole; setRows clears every id.
    void setRowId(int row, const QVariant& id) { m_model->setRowId(row, id); }
    QVariant rowId(int row) const { return m_model->rowId(row); }
    // Alignment of every cell's text.
    void setCellAlignment(Qt::Alignment alignment) { m_model->setAlignment(alignment); }

    int currentRow() const { return currentIndex().row(); }
    int currentColumn() const { return currentIndex().column(); }
    void setCurrentCell(int row, int column);
    // Adds the cells from (top, left) to (bottom, right) to the selection.
    void selectCells(int top, int left, int bottom, int right);

    // Selected rows as (first, last); (-1, -1) when nothing is selected.
    std::pair<int, int> selectedRange() const;
    // Makes a row current and selects it whole, without a signal of the page's own.
    void selectDataRow(int row);

    // Column widths in characters of the grid's font.
    void setColumnChars(std::initializer_list<int> chars);

    // Columns that take input in edit mode, with their input masks ("" for none).
    void setEditMasks(std::map<int, QString> masks);
    QString editMask(int column) const;
    bool columnEditable(int column) const { return m_masks.count(column) != 0; }
    void setEditable(bool editable);
    bool editable() const { return m_editable; }

signals:
    void selectAllKey();
    // A cell was typed into in edit mode; the model decides what it keeps.
    void cellEdited(int row, int column, const QString& text);
    void currentCellChanged(int row, int column, int previousRow, int previousColumn);
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);

protected:
    bool gridKey(int key, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    RowTextModel* m_model;
    int m_dataRows = 0;
    bool m_editable = false;
    std::map<int, QString> m_masks;
};

// Editor of a grid cell: a line edit with the column's input mask; what it holds
// goes to the grid's cellEdited instead of into the cell.
class MaskedCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MaskedCellDelegate(PlaylistGrid* grid);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    PlaylistGrid* m_grid;
};

} // namespace corvane
