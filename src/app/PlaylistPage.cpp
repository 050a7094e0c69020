#include "app/PlaylistPage.h"

#include <QVBoxLayout>

#include "app/PickerRow.h"
#include "shell/Session.h"

namespace corvane {

PlaylistPage::PlaylistPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsPlaylist"));
    cbPlaylist = new QComboBox(this);
    cbPlaylist->setObjectName(QStringLiteral("cbPlaylist"));
    bReadPL = new QPushButton(QStringLiteral("Read"), this);
    bReadPL->setObjectName(QStringLiteral("bReadPL"));
    bReadPL->setToolTip(QStringLiteral("Read the selected playlist"));
    bReadPL->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pickerRow(this, QStringLiteral("PlayList"), cbPlaylist, bReadPL));
    layout->addStretch(1);
}

void PlaylistPage::fillFromSession() {
    fillPicker(cbPlaylist, m_session.playlists);
}

void PlaylistPage::clear() {
    cbPlaylist->clear();
    bReadPL->setEnabled(false);
}

} // namespace corvane
