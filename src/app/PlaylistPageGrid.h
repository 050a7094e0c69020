#pragma once
// The string grids of the PLAYLIST page: a header row, rows of core-made texts
// (one empty row when there is nothing to show), the Ins/Del/Ctrl+A keys, and an
// edit mode in which masked columns can be typed into. A typed cell is handed to
// the page, which applies it to the model and redraws the row from it.

#include <QStyledItemDelegate>
#include <QTableWidget>

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

class PlaylistGrid : public QTableWidget {
    Q_OBJECT
public:
    PlaylistGrid(const char* name, std::span<const std::string_view> headers, QWidget* parent = nullptr);

    // Replaces every row; an empty list leaves one empty row.
    void setRows(const std::vector<std::vector<std::string>>& rows);
    void setRow(int row, const std::vector<std::string>& cells);
    void clearRows() { setRows({}); }
    // Rows that show something (the empty row does not count).
    int dataRows() const { return m_dataRows; }

    // Selected rows as (first, last); (-1, -1) when nothing is selected.
    std::pair<int, int> selectedRange() const;
    // Makes a row current and selects it whole, without a signal of the page's own.
    void selectDataRow(int row);

    // Column widths in characters of the grid's font.
    void setColumnChars(std::initializer_list<int> chars);

    // Columns that take input in edit mode, with their input masks ("" for none).
    void setEditMasks(std::map<int, QString> masks) { m_masks = std::move(masks); }
    QString editMask(int column) const;
    bool columnEditable(int column) const { return m_masks.count(column) != 0; }
    void setEditable(bool editable);
    bool editable() const { return m_editable; }

signals:
    void insertKey();
    void deleteKey();
    void selectAllKey();
    // A cell was typed into in edit mode; the model decides what it keeps.
    void cellEdited(int row, int column, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
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
