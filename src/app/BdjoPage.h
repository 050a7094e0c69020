#pragma once
// The BDJO page: every field of one BD-J object file, read on demand. A viewer;
// nothing here is edited or saved.

#include <QWidget>

#include <array>

#include "bdj/BdjObject.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane {

struct Session;
class PlaylistGrid;

class BdjoPage : public QWidget {
    Q_OBJECT
public:
    explicit BdjoPage(Session& session, QWidget* parent = nullptr);

    // Fills the picker from the names the last folder read found.
    void fillFromSession();
    void clear();

    // Reads the object chosen in cbBDJO and shows it.
    void bReadBDJOClick();
    const TBDJO& bdjo() const;
    // The objects the picker offers; reads the one at `position` without a second read
    // through the picker's change.
    int objectCount() const;
    void readObject(int position);

signals:
    // A double click on an accessible playlist: the PLAYLIST page opens it.
    void playlistRequested(const QString& name);

private:
    void cbBDJOChange();
    void showBdjo();
    void sgAppManageClick();
    void clearFields();

    QComboBox* cbBDJO;
    QPushButton* bReadBDJO;
    QLineEdit* eDefaultFont;
    QLineEdit* heInitHAVi;
    QCheckBox* cbMenuCallMask;
    QCheckBox* cbTitleSearchMask;
    PlaylistGrid* sgAppCacheInf;
    QCheckBox* cbAccesAll;
    QCheckBox* cbAutostartfPL;
    PlaylistGrid* sgAccPLs;
    PlaylistGrid* sgAppManage;
    PlaylistGrid* sgProfiles;
    PlaylistGrid* sgNames;
    PlaylistGrid* sgParams;
    std::array<QCheckBox*, 11> keyBoxes{};
    QLineEdit* eDirectoryPath;

    Session& m_session;
};

} // namespace corvane
