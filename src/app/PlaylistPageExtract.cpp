// Extract… on the PLAYLIST page: the dialog's choice planned and run through the core, with
// the window's progress display and Cancel.
#include "app/PlaylistPage.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <algorithm>

#include "app/PlaylistExtractDialog.h"
#include "app/QSettingsStore.h"
#include "shell/Session.h"
#include "stream/PlaylistExtract.h"

namespace corvane {

namespace {

// The output folder last used, kept beside the settings table.
constexpr const char* ExtractFolderKey = "ExtractFolder";

} // namespace

void PlaylistPage::updateExtractEnabled() {
    bExtractPL->setEnabled(!m_extracting && !m_session.mplsName.empty() && !m_session.BDMVdir.empty() &&
                           !m_session.mpls.PlayList.PlayItems.empty());
}

void PlaylistPage::bExtractPLClick() {
    if (m_extracting || !bExtractPL->isEnabled() || !runExtractDialog) return;
    QSettingsStore store;
    QString folder = store.settings().value(QLatin1String(ExtractFolderKey)).toString();
    if (folder.isEmpty()) folder = QString::fromStdString(m_session.options.WorkDir);
    const int item = std::max(selectedPlayItem(), 0);
    PlaylistExtractDialog dialog(m_session.mpls, QString::fromStdString(m_session.mplsName),
                                 static_cast<std::size_t>(item), folder, this);
    if (!runExtractDialog(dialog)) return;
    folder = QDir::toNativeSeparators(QDir(dialog.folder()).absolutePath());
    store.settings().setValue(QLatin1String(ExtractFolderKey), folder);

    // The plan copies what it needs: the playlist may be read again while the walk serves events.
    Reporter& reporter = m_session.reporter;
    const PlaylistPlan plan =
        planPlaylistExtract(m_session.mpls, m_session.mplsName, m_session.BDMVdir + "STREAM", dialog.angle(),
                            dialog.choices(), folder.toStdString(), m_session.options);
    if (!plan.error.empty()) {
        reporter.erlog(plan.error);
        return;
    }
    // A folder made here goes again when nothing came into it.
    const bool made = !QFileInfo(folder).isDir();
    if (made && !QDir().mkpath(folder)) {
        reporter.fileError("The folder " + folder.toStdString() + " could not be made.");
        return;
    }
    m_extracting = true;
    updateExtractEnabled();
    const PlaylistExtractResult saved = savePlaylist(reporter, plan);
    if (!saved.ok) {
        if (made) QDir().rmdir(folder);
        // A file that failed ends the action on the errors status too.
        reporter.slogR();
    }
    m_extracting = false;
    updateExtractEnabled();
}

} // namespace corvane
