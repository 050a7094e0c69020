#include "app/GridView.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace corvane {

GridView::GridView(const QString& name, QWidget* parent) : QTableView(parent) {
    setObjectName(name);
    verticalHeader()->hide();
    // Fixed row heights keep scrolling independent of the number of rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
}

std::pair<int, int> GridView::selectedRange() const {
    if (!selectionModel()) return {-1, -1};
    int first = -1;
    int last = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) first = range.top();
        if (range.bottom() > last) last = range.bottom();
    }
    if (first < 0 && currentIndex().isValid()) first = last = currentIndex().row();
    return {first, last};
}

bool GridView::gridKey(int, Qt::KeyboardModifiers) {
    return false;
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (state() == QAbstractItemView::EditingState) {
        QTableView::keyPressEvent(event);
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
    if (gridKey(event->key(), mods)) return;
    const int before = currentIndex().row();
    QTableView::keyPressEvent(event);
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && currentIndex().row() != before)
        emit arrowMoved(currentIndex().row());
}

} // namespace corvane
