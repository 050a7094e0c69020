#include "app/PlaylistPageGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace corvane {

PlaylistGrid::PlaylistGrid(const char* name, std::span<const std::string_view> headers, QWidget* parent)
    : QTableWidget(parent) {
    setObjectName(QLatin1String(name));
    setColumnCount(static_cast<int>(headers.size()));
    QStringList labels;
    for (std::string_view header : headers)
        labels << QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
    setHorizontalHeaderLabels(labels);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setItemDelegate(new MaskedCellDelegate(this));
    clearRows();
}

void PlaylistGrid::setRows(const std::vector<std::vector<std::string>>& rows) {
    const bool blocked = blockSignals(true);
    m_dataRows = static_cast<int>(rows.size());
    setRowCount(std::max(1, m_dataRows));
    for (int column = 0; column < columnCount(); ++column) {
        QTableWidgetItem* cell = item(0, column);
        if (cell) cell->setText(QString());
    }
    for (int row = 0; row < m_dataRows; ++row) setRow(row, rows[static_cast<std::size_t>(row)]);
    if (m_dataRows == 0) clearSelection();
    blockSignals(blocked);
    viewport()->update();
}

void PlaylistGrid::setRow(int row, const std::vector<std::string>& cells) {
    if (row < 0 || row >= rowCount()) return;
    const bool blocked = blockSignals(true);
    for (int column = 0; column < columnCount(); ++column) {
        const QString text = static_cast<std::size_t>(column) < cells.size()
                                 ? QString::fromStdString(cells[static_cast<std::size_t>(column)])
                                 : QString();
        QTableWidgetItem* cell = item(row, column);
        if (!cell) {
            cell = new QTableWidgetItem;
            setItem(row, column, cell);
        }
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (columnEditable(column)) flags |= Qt::ItemIsEditable;
        cell->setFlags(flags);
        cell->setText(text);
    }
    blockSignals(blocked);
}

std::pair<int, int> PlaylistGrid::selectedRange() const {
    if (m_dataRows == 0) return {-1, -1};
    int first = -1;
    int last = -1;
    for (const QTableWidgetSelectionRange& range : selectedRanges()) {
        if (first < 0 || range.topRow() < first) first = range.topRow();
        last = std::max(last, range.bottomRow());
    }
    if (first < 0 && currentRow() >= 0) first = last = currentRow();
    if (first >= m_dataRows) return {-1, -1};
    return {first, std::min(last, m_dataRows - 1)};
}

void PlaylistGrid::selectDataRow(int row) {
    if (row < 0 || row >= m_dataRows) return;
    const bool blocked = blockSignals(true);
    const int column = m_editable ? std::clamp(currentColumn(), 1, columnCount() - 1) : 0;
    setCurrentCell(row, column);
    if (!m_editable) selectRow(row);
    blockSignals(blocked);
    scrollToItem(item(row, 0));
}

void PlaylistGrid::setColumnChars(std::initializer_list<int> chars) {
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    int column = 0;
    for (int count : chars) setColumnWidth(column++, digit * count + 6);
}

QString PlaylistGrid::editMask(int column) const {
    const auto found = m_masks.find(column);
    return found == m_masks.end() ? QString() : found->second;
}

void PlaylistGrid::setEditable(bool editable) {
    m_editable = editable;
    const int row = currentRow();
    if (editable) {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
    } else {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        if (row >= 0) selectRow(row);
    }
}

void PlaylistGrid::keyPressEvent(QKeyEvent* event) {
    if (state() == QAbstractItemView::EditingState) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
        emit insertKey();
        return;
    }
    if (event->key() == Qt::Key_Delete && mods == Qt::NoModifier) {
        emit deleteKey();
        return;
    }
    if (event->key() == Qt::Key_A && mods == Qt::ControlModifier) {
        emit selectAllKey();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// ---- cell editor ----

MaskedCellDelegate::MaskedCellDelegate(PlaylistGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* MaskedCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    if (!m_grid->editable() || index.row() >= m_grid->dataRows() || !m_grid->columnEditable(index.column()))
        return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setInputMask(m_grid->editMask(index.column()));
    return editor;
}

void MaskedCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    line->setText(index.data(Qt::DisplayRole).toString());
    line->selectAll();
}

void MaskedCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    // The cell's shown text is redrawn from the model by the page.
    emit m_grid->cellEdited(index.row(), index.column(), line->displayText());
}

} // namespace corvane
