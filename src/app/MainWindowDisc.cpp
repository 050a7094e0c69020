// The Disc page's side of the window: the disc check over the folder read, run beside the
// event loop under the window's busy guard, and the pages opened at a record.
#include "app/MainWindow.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <future>
#include <utility>

#include "app/BdjoPage.h"
#include "app/BdmvPage.h"
#include "app/BusyGuard.h"
#include "app/ClipInfoPage.h"
#include "app/DiscPage.h"
#include "app/MenuPage.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "disc/DiscCheck.h"
#include "disc/DiscReport.h"

namespace corvane {

void MainWindow::checkDisc() {
    if (m_session.BDMVdir.empty() || m_busy->running() || menuPage->busy().running()) return;
    const std::string folder = m_session.BDMVdir;
    const DiscLoadOptions options{m_session.options.use83names, true};
    m_session.reporter.slog("Checking the disc", 0);
    std::pair<DiscReport, DiscCheckResult> result;
    {
        // The readers work on their own; the window keeps drawing, its controls disabled.
        const BusyGuard::Operation operation(*m_busy);
        auto work = std::async(std::launch::async, [folder, options] {
            const DiscModel disc = loadDisc(folder, options);
            return std::make_pair(discReport(disc), discCheck(disc));
        });
        while (work.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) pumpEvents();
        result = work.get();
    }
    discPage->showResult(result.first, result.second);
    const std::string counts = "Disc check: " + std::to_string(result.second.errors()) + " errors, " +
                               std::to_string(result.second.warnings()) + " warnings";
    m_session.reporter.slogR();
    // The errors of the read keep the status bar; the counts go to the Status page then.
    if (m_session.reporter.actionErrors() > 0)
        m_session.reporter.log(counts);
    else
        m_session.reporter.slog(counts, 1);
}

void MainWindow::openRecord(const RecordTarget& target) {
    const QString name = QString::fromStdString(target.name);
    switch (target.page) {
    case RecordPage::Bdmv:
        PageControl->setCurrentWidget(bdmvPage);
        if (target.title >= 0) bdmvPage->selectTitle(target.title);
        if (target.object >= 0) bdmvPage->setObjectSG(target.object);
        if (target.line >= 0) bdmvPage->selectLine(target.line);
        break;
    case RecordPage::PlayList:
        openPlaylist(name, target.playItem);
        if (PageControl->currentWidget() != playlistPage || playlistPage->loadedName() != target.name) return;
        if (target.stnList >= 0) {
            playlistPage->selectStnList(target.stnList);
            playlistPage->selectEntry(target.stnEntry);
        }
        if (target.subPath >= 0) playlistPage->selectSubPath(target.subPath);
        if (target.mark >= 0) playlistPage->selectMark(target.mark);
        break;
    case RecordPage::Clip:
    case RecordPage::Menu:
        if (!clipInfoPage->choose(name)) return;
        if (clipInfoPage->needsRead()) clipInfoPage->bReadCIClick();
        PageControl->setCurrentWidget(clipInfoPage);
        // The menu of the clip's IG stream: extracted from the m2ts into the Menu page.
        if (target.page == RecordPage::Menu && target.pid != 0 && !clipInfoPage->needsRead()) {
            bLoadToMenuClick(target.pid);
            if (menuPage->hasMenu() && PageControl->currentWidget() == menuPage)
                menuPage->selectPageButton(target.menuPage, target.button);
        }
        break;
    case RecordPage::Bdjo:
        for (std::size_t i = 0; i < m_session.bdjoFiles.size(); ++i)
            if (QString::fromStdString(m_session.bdjoFiles[i]).startsWith(name + QLatin1Char('.'))) {
                PageControl->setCurrentWidget(bdjoPage);
                bdjoPage->readObject(static_cast<int>(i));
                break;
            }
        break;
    case RecordPage::None:
        break;
    }
}

} // namespace corvane
