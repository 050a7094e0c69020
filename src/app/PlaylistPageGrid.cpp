#include "app/PlaylistPageGrid.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

#include "io/TextUtil.h"
#include "widgets/EditControls.h"

namespace corvane {

// ---- rows of texts ----

RowTextModel::RowTextModel(std::span<const std::string_view> headers, QObject* parent)
    : QAbstractTableModel(parent), m_rows(1) {
    for (std::string_view header : headers)
        m_headers << QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
}

int RowTextModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RowTextModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant RowTextModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return m_alignment;
    case Qt::UserRole:
        return m_rows[static_cast<std::size_t>(index.row())].id;
    default:
        return {};
    }
}

QVariant RowTextModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < m_headers.size() &&
        (role == Qt::DisplayRole || role == Qt::EditRole))
        return m_headers[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RowTextModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (std::find(m_editableColumns.begin(), m_editableColumns.end(), index.column()) !=
        m_editableColumns.end())
        flags |= Qt::ItemIsEditable;
    return flags;
}

void RowTextModel::setRowTotal(int rows) {
    const int now = rowCount();
    rows = std::max(1, rows);
    if (rows < now) {
        beginRemoveRows({}, rows, now - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    } else if (rows > now) {
        beginInsertRows({}, now, rows - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        endInsertRows();
    }
}

void RowTextModel::setRow(int row, const std::vector<std::string>& cells) {
    if (row < 0 || row >= rowCount()) return;
    QStringList& texts = m_rows[static_cast<std::size_t>(row)].cells;
    texts.clear();
    for (int column = 0; column < columnCount(); ++column)
        texts << (static_cast<std::size_t>(column) < cells.size()
                      ? QString::fromStdString(cells[static_cast<std::size_t>(column)])
                      : QString());
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RowTextModel::clearRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    m_rows[static_cast<std::size_t>(row)].cells.clear();
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RowTextModel::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    QStringList& cells = m_rows[static_cast<std::size_t>(row)].cells;
    while (cells.size() < columnCount()) cells << QString();
    cells[column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

QString RowTextModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount()) return {};
    const QStringList& cells = m_rows[static_cast<std::size_t>(row)].cells;
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

void RowTextModel::setRowId(int row, const QVariant& id) {
    if (row < 0 || row >= rowCount()) return;
    m_rows[static_cast<std::size_t>(row)].id = id;
}

QVariant RowTextModel::rowId(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return m_rows[static_cast<std::size_t>(row)].id;
}

void RowTextModel::setAlignment(Qt::Alignment alignment) {
    m_alignment = static_cast<int>(alignment);
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::TextAlignmentRole});
}

// ---- the grid ----

PlaylistGrid::PlaylistGrid(const char* name, std::span<const std::string_view> headers, QWidget* parent)
    : GridView(QLatin1String(name), parent), m_model(new RowTextModel(headers, this)) {
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new MaskedCellDelegate(this));
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.row(), index.column()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit cellDoubleClicked(index.row(), index.column()); });
    clearRows();
}

void PlaylistGrid::setRows(const std::vector<std::vector<std::string>>& rows) {
    {
        const QSignalBlocker quiet(this);
        m_dataRows = static_cast<int>(rows.size());
        m_model->setRowTotal(m_dataRows);
        for (int row = 0; row < m_model->rowCount(); ++row) m_model->setRowId(row, {});
        m_model->clearRow(0);
        for (int row = 0; row < m_dataRows; ++row) setRow(row, rows[static_cast<std::size_t>(row)]);
        if (m_dataRows == 0) clearSelection();
    }
    viewport()->update();
}

void PlaylistGrid::setRow(int row, const std::vector<std::string>& cells) {
    const QSignalBlocker quiet(this);
    m_model->setRow(row, cells);
}

void PlaylistGrid::setCellText(int row, int column, const std::string& text) {
    if (row < 0 || row >= m_dataRows) return;
    m_model->setText(row, column, QString::fromStdString(text));
}

void PlaylistGrid::setCurrentCell(int row, int column) {
    setCurrentIndex(m_model->index(row, column));
}

void PlaylistGrid::selectCells(int top, int left, int bottom, int right) {
    selectionModel()->select(QItemSelection(m_model->index(top, left), m_model->index(bottom, right)),
                             QItemSelectionModel::Select);
}

std::pair<int, int> PlaylistGrid::selectedRange() const {
    if (m_dataRows == 0) return {-1, -1};
    const auto [first, last] = GridView::selectedRange();
    if (first >= m_dataRows) return {-1, -1};
    return {first, std::min(last, m_dataRows - 1)};
}

void PlaylistGrid::selectDataRow(int row) {
    if (row < 0 || row >= m_dataRows) return;
    {
        const QSignalBlocker quiet(this);
        const int column = m_editable ? std::clamp(currentColumn(), 1, columnCount() - 1) : 0;
        setCurrentCell(row, column);
        if (!m_editable) selectRow(row);
    }
    scrollTo(m_model->index(row, 0));
}

void PlaylistGrid::setColumnChars(std::initializer_list<int> chars) {
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    int column = 0;
    for (int count : chars) setColumnWidth(column++, digit * count + 6);
}

void PlaylistGrid::setEditMasks(std::map<int, QString> masks) {
    m_masks = std::move(masks);
    std::vector<int> columns;
    for (const auto& entry : m_masks) columns.push_back(entry.first);
    m_model->setEditableColumns(std::move(columns));
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

bool PlaylistGrid::gridKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key != Qt::Key_A || modifiers != Qt::ControlModifier) return false;
    emit selectAllKey();
    return true;
}

void PlaylistGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    GridView::currentChanged(current, previous);
    emit currentCellChanged(current.row(), current.column(), previous.row(), previous.column());
}

// ---- cell editor ----

MaskedCellDelegate::MaskedCellDelegate(PlaylistGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* MaskedCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    if (!m_grid->editable() || index.row() >= m_grid->dataRows() || !m_grid->columnEditable(index.column()))
        return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setInputMask(optionalInputMask(m_grid->editMask(index.column())));
    return editor;
}

void MaskedCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    line->setText(index.data(Qt::DisplayRole).toString());
    line->selectAll();
}

void MaskedCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    // The cell's shown text is redrawn from the model by the page; a short number is padded.
    emit m_grid->cellEdited(index.row(), index.column(),
                            QString::fromStdString(padShortCell(line->displayText().toStdString())));
}

} // namespace corvane
