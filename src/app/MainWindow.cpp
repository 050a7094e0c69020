#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

#include "app/AboutPage.h"
#include "app/AppIcon.h"
#include "app/BdjoPage.h"
#include "app/BdmvPage.h"
#include "app/BusyGuard.h"
#include "app/ClipInfoPage.h"
#include "app/DiscPage.h"
#include "app/EditHistory.h"
#include "app/ExecutePanel.h"
#include "app/ExtDatDialog.h"
#include "app/FileAssociation.h"
#include "app/MenuPage.h"
#include "app/MessageLog.h"
#include "app/NavigatePanel.h"
#include "app/NavigationGrids.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPage.h"
#include "app/QSettingsStore.h"
#include "app/RecoveryStore.h"
#include "app/RegisterPanel.h"
#include "app/SoundGroup.h"
#include "app/StatusPage.h"
#include "io/FileIO.h"
#include "shell/ClipMenu.h"
#include "shell/DiscFolder.h"
#include "stream/Demux.h"

namespace corvane {

namespace {
constexpr const char* RecentFoldersKey = "RecentFolders";
constexpr int RecentFolderCount = 8;

QString droppedPath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fMain"));
    setWindowIcon(appIcon());
    m_session.reporter.setSink(this);
    // Start-up (and a folder read from the command line) is the first action.
    m_session.reporter.beginAction();
    confirmStop = [this] {
        return QMessageBox::question(this, windowTitle(), QStringLiteral("Are you sure to stop?"),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    showFileError = [this](const QString& text) {
        QWidget* front = QApplication::activeModalWidget();
        QMessageBox::critical(front ? front : this, windowTitle(), text);
    };
    m_history = new EditHistory(m_session, this);
    m_recovery = new RecoveryStore(m_session, *m_history, this);
    buildWindow();
    connectBusyGuards();
    connectInterpreter();
    connectMenuSimulation();
    fExtDat = new TfExtDat(m_session.options, this);
    fExtDat->setReporter(&m_session.reporter);
    bdmvPage->setExtDatDialog(fExtDat);
    playlistPage->setExtDatDialog(fExtDat);
    clipInfoPage->setExtDatDialog(fExtDat);

    readSettings();
    setAcceptDrops(true);
    if (m_session.options.Associate)
        RegisterFileType(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                         QCoreApplication::applicationFilePath());

    m_session.interpreter.ResetRegs(registerDefaults(m_session.options));
    pRegisters->refresh();
    m_session.reporter.slogR();
    updateModifiedMarks();
    PageControl->setCurrentWidget(bdmvPage);
    PageControlChange();
}

MainWindow::~MainWindow() {
    m_session.reporter.setSink(nullptr);
    // The pages go while the session they work on still exists, and their
    // removal must not run the page rules on a half-destroyed window.
    for (QObject* sender : {static_cast<QObject*>(PageControl), static_cast<QObject*>(playlistPage),
                            static_cast<QObject*>(clipInfoPage), static_cast<QObject*>(bdmvPage->objectModel),
                            static_cast<QObject*>(bdmvPage->commandModel)})
        disconnect(sender, nullptr, this, nullptr);
    delete takeCentralWidget();
}

QString MainWindow::captionFor(const QString& discLabel) {
    QString caption = QStringLiteral("Corvane v" CORVANE_VERSION);
    if (!discLabel.isEmpty()) caption += QStringLiteral(" [") + discLabel + QLatin1Char(']');
    return caption;
}

void MainWindow::buildWindow() {
    PageControl = new PageTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    bdmvPage = new BdmvPage(m_session, *m_history, PageControl);
    playlistPage = new PlaylistPage(m_session, *m_history, PageControl);
    clipInfoPage = new ClipInfoPage(m_session, PageControl);
    menuPage = new MenuPage(m_session, *m_history, PageControl);
    bdjoPage = new BdjoPage(m_session, PageControl);
    discPage = new DiscPage(PageControl);
    optionsPage = new OptionsPage(m_session, PageControl);
    statusPage = new StatusPage(PageControl);
    aboutPage = new AboutPage(PageControl);
    PageControl->addTab(bdmvPage, QStringLiteral("BDMV"));
    PageControl->addTab(playlistPage, QStringLiteral("PLAYLIST"));
    PageControl->addTab(clipInfoPage, QStringLiteral("CLIPINF"));
    PageControl->addTab(menuPage, QStringLiteral("Menu"));
    PageControl->addTab(bdjoPage, QStringLiteral("BDJO"));
    PageControl->addTab(discPage, QStringLiteral("Disc"));
    PageControl->addTab(optionsPage, QStringLiteral("Options"));
    PageControl->addTab(statusPage, QStringLiteral("Status"));
    PageControl->addTab(aboutPage, QStringLiteral("About"));

    bSave = new QPushButton(QStringLiteral("Save"), this);
    bSave->setObjectName(QStringLiteral("bSave"));
    bSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bFind = new QPushButton(QStringLiteral("Find"), this);
    bFind->setObjectName(QStringLiteral("bFind"));
    bFind->setToolTip(QStringLiteral("Find the references"));
    bFind->hide();

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setAlignment(Qt::AlignCenter);
    progressBar->setStyleSheet(QStringLiteral(
        "QProgressBar { font-weight: bold; border: 1px solid palette(mid); text-align: center; }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #FFFF00, stop:1 "
        "#FF0000); }"));
    progressBar->hide();

    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setEnabled(false);

    pExecute = new ExecutePanel(this);
    pRegisters = new RegisterPanel(m_session.interpreter.regs, this);
    pNavigate = new NavigatePanel(this);
    pNavigate->hide();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(bSave);
    bottom->addWidget(bFind);
    bottom->addWidget(pExecute);
    bottom->addSpacing(8);
    bottom->addWidget(pNavigate);
    bottom->addSpacing(8);
    bottom->addWidget(pRegisters);
    bottom->addStretch(1);
    bottom->addWidget(progressBar, 3);
    bottom->addWidget(bCancel);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->addWidget(PageControl, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);

    StatusBar = new PanelStatusBar(this);
    setStatusBar(StatusBar);

    buildEditActions();
    connect(PageControl, &QTabWidget::currentChanged, this, &MainWindow::PageControlChange);
    connect(bdmvPage, &BdmvPage::readRequested, this, &MainWindow::bReadBDMVClick);
    connect(discPage, &DiscPage::checkRequested, this, &MainWindow::checkDisc);
    connect(discPage, &DiscPage::recordRequested, this, &MainWindow::openRecord);
    connect(statusPage->messageLog(), &MessageLog::lineClicked, this, &MainWindow::openFindResult);
    connect(bCancel, &QPushButton::clicked, this, &MainWindow::bCancelClick);
    connect(bSave, &QPushButton::clicked, this, &MainWindow::bSaveClick);
    connect(bFind, &QPushButton::clicked, this, &MainWindow::bFindClick);
    connect(bdmvPage, &BdmvPage::saveStateChanged, this, [this] {
        if (PageControl->currentWidget() == bdmvPage) bSave->setEnabled(bdmvPage->canSave());
    });
    connect(bdmvPage, &BdmvPage::playlistRequested, this,
            [this](const QString& name, int playItem) { openPlaylist(name, playItem); });
    connect(playlistPage, &PlaylistPage::saveStateChanged, this, [this] {
        if (PageControl->currentWidget() == playlistPage) bSave->setEnabled(playlistPage->canSave());
    });
    // A clip of the playlist: choose it on the CLIPINF page; nothing when the folder has no such clip.
    connect(playlistPage, &PlaylistPage::clipRequested, this, [this](const QString& clip, bool read) {
        if (!clipInfoPage->choose(clip)) return;
        // Read before the page shows, so that Auto Read on the page change does not read again.
        if (read)
            clipInfoPage->bReadCIClick();
        else
            clipInfoPage->cbClipinfChange();
        PageControl->setCurrentWidget(clipInfoPage);
    });
    // A "Referenced by" row of the CLIPINF page: the playlist, and its PlayItem when one is named.
    connect(clipInfoPage, &ClipInfoPage::playlistRequested, this,
            [this](const QString& name, int playItem) { openPlaylist(name, playItem); });
    connect(bdmvPage, &BdmvPage::bdjoRequested, this, [this](int position) {
        if (position < 0 || position >= bdjoPage->objectCount()) return;
        PageControl->setCurrentWidget(bdjoPage);
        bdjoPage->readObject(position);
    });
    // "Create sound.bdmv": for a folder read without one.
    connect(optionsPage, &OptionsPage::createSoundRequested, this, [this] {
        PageControl->setCurrentWidget(bdmvPage);
        bdmvPage->soundGroup()->create();
    });
    connect(bdmvPage->soundGroup(), &SoundGroup::createdStateChanged, this, [this](bool created) {
        optionsPage->setCreateSoundEnabled(!created && !m_session.BDMVdir.empty() &&
                                           m_session.navigationReadable());
    });
    // "Create Menu", a menu read or created: the Menu page shows it with the registers reset.
    connect(optionsPage, &OptionsPage::createMenuRequested, menuPage, &MenuPage::bCreateMenuClick);
    connect(menuPage, &MenuPage::menuOpened, this, [this] {
        pRegisters->refresh();
        if (PageControl->currentWidget() == menuPage)
            PageControlChange();
        else
            PageControl->setCurrentWidget(menuPage);
    });
    connect(clipInfoPage, &ClipInfoPage::loadToMenuRequested, this, &MainWindow::bLoadToMenuClick);
    connect(clipInfoPage, &ClipInfoPage::workFolderChosen, optionsPage, &OptionsPage::setWorkDir);
    // An accessible playlist of a BD-J object: choose it on the PLAYLIST page.
    connect(bdjoPage, &BdjoPage::playlistRequested, this,
            [this](const QString& name) { openPlaylist(name, -1, false); });
    connect(playlistPage, &PlaylistPage::chosenNameChanged, this, [this](const QString& name) {
        if (PageControl->currentWidget() != playlistPage) return;
        setSaveHint(name, m_session.names.PlayListExt);
        bSave->setEnabled(playlistPage->canSave());
    });
    connect(clipInfoPage, &ClipInfoPage::chosenNameChanged, this, [this](const QString& name) {
        if (PageControl->currentWidget() == clipInfoPage) setSaveHint(name, m_session.names.ClipInfoExt);
    });
}

void MainWindow::openPlaylist(const QString& name, int playItem, bool read) {
    if (!playlistPage->choose(name)) return;
    PageControl->setCurrentWidget(playlistPage);
    if (!read)
        playlistPage->cbPlaylistChange();
    else if (playlistPage->needsRead())
        playlistPage->clickRead();
    playlistPage->selectPlayItem(playItem);
}

void MainWindow::readSettings() {
    QSettingsStore store;
    corvane::RegRead(m_session.options, store);
    optionsPage->loadFromOptions();
    bdmvPage->setFolder(m_session.options.BDMVdir);
    bdmvPage->setRecentFolders(store.settings().value(QLatin1String(RecentFoldersKey)).toStringList());
    const Options& options = m_session.options;
    move(options.Left, options.Top);
    resize(options.Width, options.Height);
}

void MainWindow::showFromSettings() {
    switch (m_session.options.WindowState) {
    case 2:
        showMaximized();
        break;
    case 1:
        showMinimized();
        break;
    default:
        show();
        break;
    }
}

void MainWindow::openFromArguments(const QStringList& arguments) {
    if (arguments.size() == 1) {
        const QFileInfo info(arguments.constFirst());
        // A folder given instead of a file is taken the way the folder chooser takes it.
        const std::string folder =
            info.isDir()
                ? bdmvFolderFromChosen(QDir::toNativeSeparators(info.absoluteFilePath()).toStdString())
                : QDir::toNativeSeparators(info.absolutePath()).toStdString() + pathSeparator();
        bdmvPage->setFolder(folder);
        bReadBDMVClick();
    } else if (m_session.options.AutoRead && !m_session.BDMVdir.empty()) {
        bReadBDMVClick();
    }
    PageControlChange();
}

void MainWindow::setSaveHint(const QString& name, const std::string& extension) {
    bSave->setToolTip(QStringLiteral("Save ") + name + QString::fromStdString(extension));
}

void MainWindow::rememberFolder(const QString& folder) {
    QSettingsStore store;
    QStringList folders = store.settings().value(QLatin1String(RecentFoldersKey)).toStringList();
    folders.removeAll(folder);
    folders.prepend(folder);
    while (folders.size() > RecentFolderCount) folders.removeLast();
    store.settings().setValue(QLatin1String(RecentFoldersKey), folders);
    bdmvPage->setRecentFolders(folders);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedPath(event->mimeData());
    if (path.isEmpty() || !bdmvPage->readEnabled()) return;
    event->acceptProposedAction();
    PageControl->setCurrentWidget(bdmvPage);
    bdmvPage->openPath(path);
}

void MainWindow::clearFolderPickers() {
    playlistPage->clear();
    clipInfoPage->clear();
    bdjoPage->clear();
}

void MainWindow::fillFolderPickers() {
    playlistPage->fillFromSession();
    clipInfoPage->fillFromSession();
    bdjoPage->fillFromSession();
}

void MainWindow::bReadBDMVClick() {
    // The folder field names the folder to read; the files in memory belong to the one read
    // before, and Save all writes them there.
    const std::string chosen = m_session.BDMVdir;
    if (!m_readFolder.empty()) m_session.BDMVdir = m_readFolder;
    const bool discard = confirmDiscard({EditedDocument::Navigation, EditedDocument::Playlist});
    m_session.BDMVdir = chosen;
    if (!discard) {
        bdmvPage->setFolder(m_readFolder);
        return;
    }
    bdmvPage->setReadEnabled(false);
    m_session.clearFolderData();
    clearFolderPickers();
    const ReadFolderResult result = readFolder(m_session);
    if (result.checked) {
        fillFolderPickers();
        rememberFolder(QString::fromStdString(m_session.BDMVdir));
    } else {
        // Nothing of the previous disc is shown any more, its name neither.
        m_session.discLabel.clear();
    }
    updateModifiedMarks();
    bdmvPage->fillFromSession();
    m_readFolder = m_session.BDMVdir;
    m_history->documentReplaced(EditedDocument::Navigation);
    m_history->documentReplaced(EditedDocument::Playlist);
    bdmvPage->setReadEnabled(true);
    discPage->clear();
    if (result.checked) loadDiscMenu();
    if (result.checked && m_session.options.CheckAfterRead) checkDisc();
}

void MainWindow::PageControlChange() {
    pExecute->bStart->setEnabled(false);
    pExecute->hide();
    pExecute->showButtonPicker(false);
    pRegisters->hide();
    pNavigate->hide();
    menuPage->stopAnimation();
    bSave->hide();
    bSave->setEnabled(false);
    bSave->setToolTip(QStringLiteral("Save"));
    bFind->hide();
    QWidget* page = PageControl->currentWidget();
    if (page == bdmvPage) {
        bSave->setToolTip(QStringLiteral("Save the bdmv files"));
        bSave->setEnabled(bdmvPage->canSave());
        bSave->show();
        pExecute->show();
        pRegisters->show();
        updateStartEnabled();
    } else if (page == playlistPage) {
        setSaveHint(playlistPage->chosenName(), m_session.names.PlayListExt);
        bSave->show();
        bFind->show();
        // Auto Read: the chosen playlist unless it is the one in memory, whose edits stay.
        if (m_session.options.AutoRead && playlistPage->canRead() && playlistPage->needsRead())
            playlistPage->bReadPLClick();
        bSave->setEnabled(playlistPage->canSave());
    } else if (page == clipInfoPage) {
        // Clip files are only read: Save stays disabled here.
        setSaveHint(clipInfoPage->chosenName(), m_session.names.ClipInfoExt);
        bSave->show();
        bFind->show();
        if (m_session.options.AutoRead && clipInfoPage->canRead() && clipInfoPage->needsRead() &&
            !clipInfoPage->extracting())
            clipInfoPage->bReadCIClick();
    } else if (page == menuPage) {
        bSave->setToolTip(QStringLiteral("Save the IGS menu (*.mnu)"));
        bSave->setEnabled(menuPage->hasMenu());
        bSave->show();
        pExecute->showButtonPicker(true);
        pExecute->bStart->setEnabled(menuPage->hasMenu());
        pExecute->show();
        pNavigate->show();
        pRegisters->show();
        menuPage->focusPagePicker();
        menuPage->resumeAnimation();
    } else if (page == bdjoPage) {
        bSave->show();
    } else if (page == statusPage) {
        pRegisters->show();
    }
}

void MainWindow::bSaveClick() {
    if (PageControl->currentWidget() == bdmvPage)
        bdmvPage->bSaveClick();
    else if (PageControl->currentWidget() == playlistPage)
        playlistPage->bSaveClick();
    else if (PageControl->currentWidget() == menuPage)
        menuPage->bSaveClick();
}

void MainWindow::bLoadToMenuClick(int pid) {
    loadMenuStream(m_session.clpiName, static_cast<std::uint16_t>(pid));
}

void MainWindow::loadMenuStream(const std::string& clip, std::uint16_t pid) {
    if (m_busy->running() || menuPage->busy().running()) return;
    if (!confirmDiscard({EditedDocument::Menu})) return;
    std::optional<ReadStatus> status;
    std::vector<CompositionEntry> compositions;
    {
        // The extraction and the read pump events; the menu is replaced at the end.
        const BusyGuard::Operation operation(menuPage->busy());
        status = loadStreamToMenu(m_session, clip, pid, &compositions);
    }
    if (status && menuPage->menuRead(*status))
        menuPage->showCompositions(QString::fromStdString(streamMenuFile()), compositions, 0);
}

// After a read, the disc's menu on the Menu page (a menu there with edits stays), as "-> Menu"
// of its clip would load it; the page on show stays. A menu clip of more than 64 MiB (a long
// background) is left for "-> Menu".
void MainWindow::loadDiscMenu() {
    constexpr std::int64_t MaxMenuClip = std::int64_t{64} << 20;
    if (m_history->isModified(EditedDocument::Menu) || menuPage->busy().running()) return;
    const std::optional<MenuStream> found = findMenuStream(m_session, MaxMenuClip);
    if (!found) return;
    QWidget* shown = PageControl->currentWidget();
    loadMenuStream(found->clip, found->pid);
    PageControl->setCurrentWidget(shown);
}

void MainWindow::bFindClick() {
    QWidget* page = PageControl->currentWidget();
    if (page == playlistPage) {
        const QString name = playlistPage->chosenName();
        if (name.isEmpty()) return;
        for (const std::string& line : playListSearchLines(m_session.mobj, name.toStdString()))
            m_session.reporter.log(line);
        PageControl->setCurrentWidget(statusPage);
    } else if (page == clipInfoPage) {
        clipInfoPage->findClipReferences();
    }
}

void MainWindow::openFindResult(const QString& line) {
    static const QRegularExpression commandLine(QStringLiteral("^Object (\\d{4}), Command line (\\d{4})$"));
    static const QRegularExpression playlist(QStringLiteral("^PlayList (\\d{5}) "));
    if (const QRegularExpressionMatch match = commandLine.match(line); match.hasMatch()) {
        const int object = match.captured(1).toInt();
        if (object >= static_cast<int>(m_session.mobj.MovieObjects.mobjs.size())) return;
        PageControl->setCurrentWidget(bdmvPage);
        bdmvPage->setObjectSG(object);
        bdmvPage->selectLine(match.captured(2).toInt());
    } else if (const QRegularExpressionMatch match = playlist.match(line); match.hasMatch()) {
        openPlaylist(match.captured(1), -1);
    }
}

void MainWindow::bCancelClick() {
    if (m_session.interpreter.TraceActive) {
        endTrace();
        return;
    }
    m_session.reporter.cancel(confirmStop);
}

// --- MessageSink ---

void MainWindow::appendLine(const StyledLine& line) {
    statusPage->messageLog()->appendLine(line);
}

void MainWindow::setStatus(int panel, const std::string& text) {
    StatusBar->setPanelText(panel, QString::fromStdString(text));
}

void MainWindow::showErrorBadge(const std::string& text) {
    StatusBar->showErrorBadge(QString::fromStdString(text));
}

void MainWindow::showErrorStatus(const std::string& state, const std::string& details) {
    StatusBar->showErrorStatus(QString::fromStdString(state), QString::fromStdString(details));
}

void MainWindow::fileError(const std::string& message) {
    if (showFileError) showFileError(QString::fromStdString(message));
}

void MainWindow::beep() {
    QApplication::beep();
}

void MainWindow::pause(int milliseconds) {
    ++m_serving;
    notePump();
    for (int i = 0; i < milliseconds; ++i) {
        QThread::msleep(1);
        QCoreApplication::processEvents();
    }
    --m_serving;
}

void MainWindow::pumpEvents() {
    ++m_serving;
    notePump();
    QCoreApplication::processEvents();
    --m_serving;
}

void MainWindow::progressStart() {
    m_busy->begin();
    pExecute->hide();
    pRegisters->hide();
    progressBar->setValue(0);
    progressBar->setFormat(QStringLiteral("%p%"));
    progressBar->show();
    bCancel->setEnabled(true);
}

void MainWindow::progress(int percent, const std::string&) {
    progressBar->setValue(qBound(0, percent, 100));
}

void MainWindow::packetProgress(const ProgressReport& report) {
    progressBar->setValue(qBound(0, report.percent, 100));
    progressBar->setFormat(QStringLiteral("%p%   %1 MB/s   %2 left")
                               .arg(report.megabytesPerSecond, 0, 'f', 1)
                               .arg(QString::fromStdString(longTimeText(report.remaining))));
}

void MainWindow::progressEnd() {
    m_busy->end();
    progressBar->hide();
    PageControlChange();
    bCancel->setEnabled(false);
}

// --- closing ---

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!confirmDiscard({EditedDocument::Navigation, EditedDocument::Playlist, EditedDocument::Menu})) {
        event->ignore();
        return;
    }
    m_closing = true;
    // A running extraction stops at its next safe point.
    m_session.reporter.CancelRequested = true;
    FormClose();
    event->accept();
}

void MainWindow::storeWindowPlacement() {
    Options& options = m_session.options;
    options.WindowState = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    if (options.WindowState == 2) return;
    options.Left = x();
    options.Top = y();
    options.Width = width();
    options.Height = height();
}

void MainWindow::FormClose() {
    storeWindowPlacement();
    m_session.options.BDMVdir = m_session.BDMVdir;
    {
        QSettingsStore store;
        corvane::RegWrite(m_session.options, store);
        store.sync();
    }
    cleanupTempFiles(tempFolder());
    // Saved or discarded by now: a clean exit leaves nothing to recover.
    m_recovery->removeAll();
}

} // namespace corvane
