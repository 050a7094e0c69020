// The window's side of the undo history: the undo and redo actions and buttons, the history
// view, the modified marks, and the question before unsaved edits would be lost.

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QUndoView>
#include <QVBoxLayout>

#include <algorithm>

#include "app/BdmvPage.h"
#include "app/EditHistory.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "app/RecoveryStore.h"

namespace corvane {

namespace {
// The page that edits each document, with the tab text it has without a mark.
struct DocumentPage {
    EditedDocument document;
    QWidget* page;
    const char* caption;
};
std::array<DocumentPage, 3> documentPages(const MainWindow& window) {
    return {{{EditedDocument::Navigation, window.bdmvPage, "BDMV"},
             {EditedDocument::Playlist, window.playlistPage, "PLAYLIST"},
             {EditedDocument::Menu, window.menuPage, "Menu"}}};
}

QToolButton* editButton(QWidget* parent, QAction* action, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}
} // namespace

void MainWindow::buildEditActions() {
    QUndoGroup* group = m_history->group();
    actUndo = group->createUndoAction(this, QStringLiteral("Undo"));
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcut(QKeySequence::Undo);
    actUndo->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    actRedo = group->createRedoAction(this, QStringLiteral("Redo"));
    actRedo->setObjectName(QStringLiteral("actRedo"));
    actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    actRedo->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    actHistory = new QAction(QStringLiteral("Undo History..."), this);
    actHistory->setObjectName(QStringLiteral("actHistory"));
    actHistory->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    actHistory->setToolTip(QStringLiteral("Show the edits that can be undone and redone"));
    connect(actHistory, &QAction::triggered, this, &MainWindow::showUndoHistory);
    // The buttons' tips name the step, as the menu entries do.
    for (QAction* action : {actUndo, actRedo})
        connect(action, &QAction::changed, action, [action] { action->setToolTip(action->text()); });

    // The buttons sit in the free end of the tab row: the window keeps its size, and the
    // shortcuts work on every page since the actions belong to the window.
    addAction(actUndo);
    addAction(actRedo);
    auto* corner = new QWidget(PageControl);
    corner->setObjectName(QStringLiteral("pEdit"));
    auto* row = new QHBoxLayout(corner);
    row->setContentsMargins(0, 0, 2, 0);
    row->setSpacing(0);
    row->addWidget(editButton(corner, actUndo, "bUndo"));
    row->addWidget(editButton(corner, actRedo, "bRedo"));
    row->addWidget(editButton(corner, actHistory, "bHistory"));
    PageControl->setCornerWidget(corner, Qt::TopRightCorner);

    askUnsaved = [this](const QStringList& files) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QStringLiteral("These files have unsaved edits:\n\n") + files.join(QLatin1Char('\n')),
                        QMessageBox::SaveAll | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec();
    };
    askRecovery = [this](const RecoverySet& set) {
        QString text =
            QStringLiteral("Corvane did not close properly. Restore the unsaved edits of these files?\n\n") +
            set.names.join(QLatin1Char('\n'));
        if (!set.folder.isEmpty()) text += QStringLiteral("\n\nin ") + set.folder;
        return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
    m_history->setConfirmDiscard(
        [this](const std::vector<EditedDocument>& documents) { return confirmDiscard(documents); });
    connect(m_history, &EditHistory::modifiedChanged, this, &MainWindow::updateModifiedMarks);
    connect(PageControl, &QTabWidget::currentChanged, this, [this] {
        std::optional<EditedDocument> document;
        for (const DocumentPage& edits : documentPages(*this))
            if (edits.page == PageControl->currentWidget()) document = edits.document;
        m_history->setActiveDocument(document);
    });
    m_history->setActiveDocument(EditedDocument::Navigation);
}

void MainWindow::updateModifiedMarks() {
    for (const DocumentPage& tab : documentPages(*this)) {
        const int at = PageControl->indexOf(tab.page);
        if (at < 0) continue;
        QString text = QLatin1String(tab.caption);
        if (m_history->isModified(tab.document)) text += QLatin1Char('*');
        PageControl->setTabText(at, text);
    }
    const bool modified = !m_history->modifiedFiles().empty();
    setWindowTitle((modified ? QStringLiteral("*") : QString()) +
                   captionFor(QString::fromStdString(m_session.discLabel)));
}

void MainWindow::showUndoHistory() {
    if (m_historyView == nullptr) {
        m_historyView = new QDialog(this);
        m_historyView->setObjectName(QStringLiteral("fUndoHistory"));
        m_historyView->setWindowTitle(QStringLiteral("Undo History"));
        auto* layout = new QVBoxLayout(m_historyView);
        auto* view = new QUndoView(m_history->group(), m_historyView);
        view->setObjectName(QStringLiteral("lvUndoHistory"));
        view->setEmptyLabel(QStringLiteral("<as read>"));
        layout->addWidget(view);
        m_historyView->resize(320, 400);
    }
    m_historyView->show();
    m_historyView->raise();
    m_historyView->activateWindow();
}

bool MainWindow::saveDocument(EditedDocument document) {
    switch (document) {
    case EditedDocument::Navigation:
        bdmvPage->bSaveClick();
        break;
    case EditedDocument::Playlist:
        playlistPage->bSaveClick();
        break;
    case EditedDocument::Menu:
        menuPage->bSaveClick();
        break;
    }
    return !m_history->isModified(document);
}

bool MainWindow::confirmDiscard(const std::vector<EditedDocument>& documents) {
    QStringList files;
    std::vector<EditedDocument> modified;
    for (EditedDocument document : documents) {
        if (!m_history->isModified(document)) continue;
        modified.push_back(document);
        for (EditedFile file : AllEditedFiles)
            if (documentOf(file) == document && m_history->isModified(file))
                files << m_history->fileName(file);
    }
    if (modified.empty()) return true;
    switch (askUnsaved(files)) {
    case QMessageBox::SaveAll:
        // A Save that fails (or is cancelled in its dialog) keeps the edits and the action waits.
        for (EditedDocument document : modified)
            if (!saveDocument(document)) return false;
        return true;
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool MainWindow::offerRecovery() {
    std::optional<RecoverySet> set = RecoveryStore::findAbandoned();
    if (!set) return false;
    for (EditedFile file : set->files) {
        QString name = file == EditedFile::Playlist
                           ? set->playlist + QString::fromStdString(m_session.names.PlayListExt)
                       : file == EditedFile::Menu ? set->menuName
                                                  : m_history->fileName(file);
        set->names << name;
    }
    if (!askRecovery(*set)) {
        RecoveryStore::remove(set->directory);
        return false;
    }
    const auto inFolder = [](EditedFile file) { return documentOf(file) != EditedDocument::Menu; };
    const bool needsFolder = std::any_of(set->files.begin(), set->files.end(), inFolder);
    const std::string folder = set->folder.toStdString();
    if (needsFolder && folder != m_readFolder) {
        bdmvPage->setFolder(folder);
        bReadBDMVClick();
    }
    const bool folderRead = m_readFolder == folder && !folder.empty();
    bool restored = false;
    for (std::size_t i = 0; i < set->files.size(); ++i) {
        const EditedFile file = set->files[i];
        if (inFolder(file) && !folderRead) {
            m_session.reporter.erlog("The folder " + folder +
                                     " cannot be read: its unsaved edits are not restored");
            continue;
        }
        if (file == EditedFile::Playlist) {
            // The playlist as the disc holds it, then the edits over it.
            if (!playlistPage->choose(set->playlist)) continue;
            playlistPage->clickRead();
            if (m_session.mplsName != set->playlist.toStdString()) continue;
        }
        if (!RecoveryStore::restoreInto(m_session, file, set->bytes[i])) {
            m_session.reporter.erlog("The recovered copy of " +
                                     set->names[static_cast<int>(i)].toStdString() + " cannot be read");
            continue;
        }
        if (file == EditedFile::Menu) {
            // No saved state is known for a recovered menu: it stays marked until saved.
            m_history->setMenuName(set->menuName);
            const TMenu recovered = m_session.menu;
            menuPage->menuRead(ReadStatus::Ok);
            m_session.menu = TMenu{};
            m_history->setSavedState(EditedFile::Menu, m_session);
            m_session.menu = recovered;
        }
        m_history->redraw(documentOf(file));
        restored = true;
    }
    RecoveryStore::remove(set->directory);
    if (restored) m_recovery->writeNow();
    return restored;
}

} // namespace corvane
