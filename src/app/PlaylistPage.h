#pragma once
// The PLAYLIST page: the playlist picker of the folder read.

#include <QWidget>

class QComboBox;
class QPushButton;

namespace corvane {

struct Session;

class PlaylistPage : public QWidget {
    Q_OBJECT
public:
    explicit PlaylistPage(Session& session, QWidget* parent = nullptr);

    // Fills the picker from the names the last folder read found.
    void fillFromSession();
    void clear();

    QComboBox* cbPlaylist;
    QPushButton* bReadPL;

private:
    Session& m_session;
};

} // namespace corvane
