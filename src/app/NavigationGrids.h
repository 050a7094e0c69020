#pragma once
// The three grids of the BDMV page as views over the session's records: titles,
// movie objects and the command lines of one object. Cell texts come from the
// core (indline, objline, comm2str) when a cell is drawn, so a program of tens of
// thousands of lines shows at once.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <cstddef>

#include "app/GridView.h"
#include "navigation/CommandText.h"

namespace corvane {

struct TINDX;
struct TMOBJ;
struct TNavCommand;

// The title grid: "No.", "object t.", "title search", "playback t.", "OID/file".
class TitleTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TitleTableModel(const TINDX& index, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    int titleCount() const;
    // After titles were added or removed.
    void reload();
    // After fields of titles changed.
    void refreshRows(int first, int last);

private:
    const TINDX& m_index;
};

// The object grid: "No.", "resume", "menu call", "title search", "commands".
class ObjectTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ObjectTableModel(const TMOBJ& mobj, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    int objectCount() const;
    void reload();
    void refreshRows(int first, int last);

private:
    const TMOBJ& m_mobj;
};

// The command grid of one object: "No.", "Opcode", "Destinat.", "Source", "Command line",
// coloured by the line's class and the operands in use.
class CommandTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Role of the command line's comment start (int, -1 without a comment).
    static constexpr int CommentStartRole = Qt::UserRole + 1;
    // Role telling the line is invalid or forbidden (bool): its highlight takes the line colour.
    static constexpr int MarkedLineRole = Qt::UserRole + 2;

    CommandTableModel(const TMOBJ& mobj, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The object shown; -1 for none.
    void setObject(int object);
    int object() const { return m_object; }
    int lineCount() const;
    const TNavCommand* command(int line) const;
    void reload();
    void refreshRows(int first, int last);
    // Edit mode: the three hex words can be typed into their cells.
    void setEditable(bool editable) { m_editable = editable; }
    bool editable() const { return m_editable; }

signals:
    // A hex cell was typed into: word 0 opcode, 1 destination, 2 source.
    void wordTyped(int line, int word, quint32 value);

private:
    // The cells of the row drawn last: every role of a cell asks for the same row.
    const CommandCells& cellsOf(int line) const;
    void forgetCells() { m_cachedLine = -1; }

    const TMOBJ& m_mobj;
    int m_object = -1;
    bool m_editable = false;
    mutable int m_cachedLine = -1;
    mutable CommandCells m_cached;
};

// Draws a command line with its comment part in italic (green unless selected) and a
// marked line's selection in the line's own colour.
class CommandLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// A grid with whole-line selection and the keys of the navigation tables.
class NavGridView : public GridView {
    Q_OBJECT
public:
    explicit NavGridView(const QString& name, QWidget* parent = nullptr);
    // Selects one row, makes it current and scrolls it into view.
    void selectRow(int row);

signals:
    void nopKey();

protected:
    bool gridKey(int key, Qt::KeyboardModifiers modifiers) override;
};

} // namespace corvane
