#pragma once
// The Disc page: the disc report as tables (titles, playlists with the chapters and streams
// of the selected one, clips, menus, BD-J objects, sounds) and the findings of the disc
// check as a sortable list. A double click on a row opens the page at its record.

#include <QWidget>

#include <vector>

#include "disc/DiscCheck.h"
#include "disc/DiscReport.h"
#include "disc/RecordTarget.h"

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace corvane {

class DiscPage : public QWidget {
    Q_OBJECT
public:
    explicit DiscPage(QWidget* parent = nullptr);

    // Shows the report and the findings of one check.
    void showResult(const DiscReport& report, const DiscCheckResult& check);
    // No disc checked (a new folder was read).
    void clear();
    bool checked() const { return m_checked; }
    // The record of a row of one of the tables; page None for none.
    RecordTarget rowTarget(const QTableView* table, int row) const;

signals:
    void checkRequested();
    void recordRequested(const RecordTarget& target);

private:
    QTableView* table(QWidget* parent, const char* name, const QStringList& headers);
    void fillPlaylistDetails(int row);

    QPushButton* bCheckDisc;
    QLabel* lSummary;
    QTabWidget* pcReport;
    QTableView* sgTitles;
    QTableView* sgPlaylists;
    QTableView* sgChapters;
    QTableView* sgStreams;
    QTableView* sgClips;
    QTableView* sgMenus;
    QTableView* sgBdjos;
    QTableView* sgSounds;
    QTableView* sgFindings;
    std::vector<RecordTarget> m_targets;       // the rows' records, by the index column 0 holds
    std::vector<RecordTarget> m_detailTargets; // of sgChapters and sgStreams
    std::vector<PlayListReport> m_playlists;
    bool m_checked = false;
};

} // namespace corvane
