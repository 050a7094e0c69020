#include "app/NavigationGrids.h"

#include <QApplication>
#include <QFont>
#include <QPainter>

#include <algorithm>

#include "navigation/CommandEdit.h"
#include "navigation/CommandText.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"

namespace corvane {

namespace {

QVariant header(const char* const (&names)[5], int section, Qt::Orientation orientation, int role) {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= 5) return {};
    return QString::fromLatin1(names[section]);
}

// Every grid keeps one empty row when it has nothing to show.
int rowsFor(std::size_t count) {
    return std::max(1, static_cast<int>(std::min<std::size_t>(count, INT_MAX)));
}

const QColor InvalidColour(0xFF, 0x00, 0x00);
const QColor ForbiddenColour(0xFF, 0xAA, 0x00);
const QColor OperandColour(0x00, 0x00, 0xFF);
const QColor UnusedOperandColour(0xA0, 0xA0, 0xA4);
const QColor CommentColour(0x00, 0x80, 0x00);

} // namespace

// ---- titles ----

TitleTableModel::TitleTableModel(const TINDX& index, QObject* parent)
    : QAbstractTableModel(parent), m_index(index) {}

int TitleTableModel::titleCount() const {
    return static_cast<int>(m_index.Indexes.titles.size());
}

int TitleTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowsFor(m_index.Indexes.titles.size());
}

int TitleTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant TitleTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= titleCount()) return {};
    const auto cells = indline(m_index, static_cast<std::size_t>(index.row()));
    return QString::fromStdString(cells[static_cast<std::size_t>(index.column())]);
}

QVariant TitleTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const names[5] = {"No.", "object t.", "title search", "playback t.", "OID/file"};
    return header(names, section, orientation, role);
}

void TitleTableModel::reload() {
    beginResetModel();
    endResetModel();
}

void TitleTableModel::refreshRows(int first, int last) {
    emit dataChanged(this->index(first, 0), this->index(last, 4));
}

// ---- objects ----

ObjectTableModel::ObjectTableModel(const TMOBJ& mobj, QObject* parent)
    : QAbstractTableModel(parent), m_mobj(mobj) {}

int ObjectTableModel::objectCount() const {
    return static_cast<int>(m_mobj.MovieObjects.mobjs.size());
}

int ObjectTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowsFor(m_mobj.MovieObjects.mobjs.size());
}

int ObjectTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant ObjectTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= objectCount()) return {};
    const auto cells = objline(m_mobj, static_cast<std::size_t>(index.row()));
    return QString::fromStdString(cells[static_cast<std::size_t>(index.column())]);
}

QVariant ObjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const names[5] = {"No.", "resume", "menu call", "title search", "commands"};
    return header(names, section, orientation, role);
}

void ObjectTableModel::reload() {
    beginResetModel();
    endResetModel();
}

void ObjectTableModel::refreshRows(int first, int last) {
    emit dataChanged(index(first, 0), index(last, 4));
}

// ---- command lines ----

CommandTableModel::CommandTableModel(const TMOBJ& mobj, QObject* parent)
    : QAbstractTableModel(parent), m_mobj(mobj) {}

const CommandCells& CommandTableModel::cellsOf(int line) const {
    if (line != m_cachedLine) {
        m_cached = comm2str(*command(line), line, CommandContext::MovieObject);
        m_cachedLine = line;
    }
    return m_cached;
}

void CommandTableModel::setObject(int object) {
    beginResetModel();
    forgetCells();
    m_object = object;
    endResetModel();
}

int CommandTableModel::lineCount() const {
    const auto& objects = m_mobj.MovieObjects.mobjs;
    if (m_object < 0 || static_cast<std::size_t>(m_object) >= objects.size()) return 0;
    return static_cast<int>(objects[static_cast<std::size_t>(m_object)].navigation_commands.size());
}

const TNavCommand* CommandTableModel::command(int line) const {
    if (line < 0 || line >= lineCount()) return nullptr;
    return &m_mobj.MovieObjects.mobjs[static_cast<std::size_t>(m_object)]
                .navigation_commands[static_cast<std::size_t>(line)];
}

int CommandTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowsFor(static_cast<std::size_t>(lineCount()));
}

int CommandTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant CommandTableModel::data(const QModelIndex& index, int role) const {
    const TNavCommand* cmd = index.isValid() ? command(index.row()) : nullptr;
    if (!cmd) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ForegroundRole:
    case Qt::FontRole:
    case CommentStartRole:
    case MarkedLineRole:
        break;
    default:
        return {};
    }
    const CommandCells& cells = cellsOf(index.row());
    const bool marked = cells.lineClass != CommandLineClass::Valid;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        const std::string* texts[5] = {&cells.no, &cells.opcode, &cells.destination, &cells.source,
                                       &cells.line};
        return QString::fromStdString(*texts[column]);
    }
    case Qt::EditRole: {
        const std::string* texts[5] = {&cells.no, &cells.opcode, &cells.destination, &cells.source,
                                       &cells.line};
        return QString::fromStdString(*texts[column]).trimmed();
    }
    case Qt::ForegroundRole:
        if (cells.lineClass == CommandLineClass::Invalid) return InvalidColour;
        if (cells.lineClass == CommandLineClass::Forbidden) return ForbiddenColour;
        if (column == 1) return OperandColour;
        if (column == 2) return cells.destinationInUse ? OperandColour : UnusedOperandColour;
        if (column == 3) return cells.sourceInUse ? OperandColour : UnusedOperandColour;
        return {};
    case Qt::FontRole:
        if (column == 4 && marked) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case CommentStartRole: {
        if (column != 4) return -1;
        const std::size_t start = commentStart(cells.line);
        return start == std::string::npos ? -1 : static_cast<int>(start);
    }
    case MarkedLineRole:
        return marked;
    }
    return {};
}

QVariant CommandTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const names[5] = {"No.", "Opcode", "Destinat.", "Source", "Command line"};
    return header(names, section, orientation, role);
}

Qt::ItemFlags CommandTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_editable && command(index.row()) && index.column() >= 1 && index.column() <= 3)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CommandTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    // Hex digits only, at most eight; anything else leaves the cell as it was.
    const QString typed = value.toString().trimmed();
    bool ok = false;
    const quint32 word = typed.toUInt(&ok, 16);
    if (!ok || typed.size() > 8) return false;
    emit wordTyped(index.row(), index.column() - 1, word);
    return true;
}

void CommandTableModel::reload() {
    beginResetModel();
    forgetCells();
    endResetModel();
}

void CommandTableModel::refreshRows(int first, int last) {
    forgetCells();
    emit dataChanged(index(first, 0), index(last, 4));
}

// ---- drawing ----

void CommandLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool selected = opt.state & QStyle::State_Selected;
    const bool marked = index.data(CommandTableModel::MarkedLineRole).toBool();
    if (selected) opt.font.setBold(index.column() == 4 || opt.font.bold());
    if (selected && marked) {
        // The selection of a marked line takes the line's colour.
        const QColor lineColour = index.data(Qt::ForegroundRole).value<QColor>();
        opt.palette.setColor(QPalette::Highlight, lineColour);
        opt.palette.setColor(QPalette::HighlightedText, opt.palette.color(QPalette::HighlightedText));
    }
    const int start = index.data(CommandTableModel::CommentStartRole).toInt();
    if (index.column() != 4 || start < 0) {
        QStyledItemDelegate::paint(painter, opt, index);
        return;
    }
    // Background and selection without text, then the two parts of the line.
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QColor normal =
        selected ? opt.palette.color(QPalette::HighlightedText)
                 : (index.data(Qt::ForegroundRole).isValid() ? index.data(Qt::ForegroundRole).value<QColor>()
                                                             : opt.palette.color(QPalette::Text));
    const QRect area = opt.rect.adjusted(2, 0, -2, 0);
    painter->save();
    painter->setClipRect(area);
    painter->setFont(opt.font);
    painter->setPen(normal);
    const QString before = text.left(start);
    painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, before);
    const int offset = QFontMetrics(opt.font).horizontalAdvance(before);
    QFont italic = opt.font;
    italic.setItalic(true);
    painter->setFont(italic);
    painter->setPen(selected ? normal : CommentColour);
    painter->drawText(area.adjusted(offset, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text.mid(start));
    painter->restore();
}

// ---- the view ----

NavGridView::NavGridView(const QString& name, QWidget* parent) : GridView(name, parent) {
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setAlternatingRowColors(false);
}

void NavGridView::selectRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount()) return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

bool NavGridView::gridKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key != Qt::Key_N || modifiers != Qt::ShiftModifier) return false;
    emit nopKey();
    return true;
}

} // namespace corvane
