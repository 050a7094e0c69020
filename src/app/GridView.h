#pragma once
// The base of every record grid: a header row, fixed row heights, whole-row
// selection, and the Ins/Del keys (plus each grid's own) while no cell editor is open.

#include <QTableView>

#include <utility>

namespace corvane {

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(const QString& name, QWidget* parent = nullptr);
    // Selected rows as (first, last), else the current row; (-1, -1) when there is neither.
    std::pair<int, int> selectedRange() const;

signals:
    void insertKey();
    void deleteKey();
    // Up or Down moved the current row.
    void arrowMoved(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A key of the grid's own, outside the editor; true when it was taken.
    virtual bool gridKey(int key, Qt::KeyboardModifiers modifiers);
};

} // namespace corvane
