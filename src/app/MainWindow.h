#pragma once
// The main window: the pages over one session, the Save button, the execution and
// register panels, the status bar, the progress display, and the start-up and close
// sequence.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

#include "shell/Reporter.h"
#include "shell/Session.h"

class QAction;
class QDialog;
class QHBoxLayout;
class QProgressBar;
class QPushButton;

namespace corvane {

class AboutPage;
class BdjoPage;
class BusyGuard;
class BdmvPage;
class ClipInfoPage;
class DiscPage;
class EditHistory;
class RecoveryStore;
struct RecoverySet;
enum class EditedDocument;
class ExecutePanel;
class GuiInterpreterHost;
class MenuPage;
class NavigatePanel;
class OptionsPage;
class PageTabWidget;
class PanelStatusBar;
class PlaylistPage;
class RegisterPanel;
class StatusPage;
class TfExtDat;
struct RecordTarget;

class MainWindow : public QMainWindow, public MessageSink {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& session() { return m_session; }
    EditHistory& history() { return *m_history; }

    // Before unsaved edits of `documents` would be lost: a question lists their files with
    // Save all, Discard and Cancel. True when the action may go on (saved or discarded).
    bool confirmDiscard(const std::vector<EditedDocument>& documents);
    // The files a program that did not close left with unsaved edits: offered once at start.
    // True when they were restored (their pages show them, marked as unsaved).
    bool offerRecovery();
    std::function<bool(const RecoverySet& set)> askRecovery;
    RecoveryStore& recovery() { return *m_recovery; }
    // The question itself: the files → QMessageBox::SaveAll, Discard or Cancel; a box by default.
    std::function<int(const QStringList& files)> askUnsaved;

    // Shows the window as the settings left it (normal, minimised or maximised).
    void showFromSettings();
    // The command-line rule: one argument names a file whose folder is read at
    // once; otherwise the remembered folder is read when Auto Read is on.
    void openFromArguments(const QStringList& arguments);

    void bReadBDMVClick();
    void PageControlChange();
    // Save writes what the current page shows.
    void bSaveClick();
    void bCancelClick();
    // Find: the movie-object lines that play the chosen playlist (PLAYLIST page), or
    // the playlists that use each clip (CLIPINF page).
    void bFindClick();
    // "-> Menu" on the CLIPINF page: the IG stream `pid` of the clip's m2ts is extracted
    // into the temporary "Corvane_MENU.tmp" and read into the Menu page.
    void bLoadToMenuClick(int pid);
    void loadDiscMenu();
    void loadMenuStream(const std::string& clip, std::uint16_t pid);
    // Opens playlist `name` on the PLAYLIST page from another page: reads it when it is not
    // the one in memory (with `read` false, only as the picker's choice does under Auto Read),
    // then selects its PlayItem `playItem` when one is named. Nothing when the folder has no
    // such playlist.
    void openPlaylist(const QString& name, int playItem, bool read = true);
    // A clicked line of the message log: a find result opens the command line or playlist it names.
    void openFindResult(const QString& line);

    // The disc report and the disc check of the folder read, on the Disc page; the status bar
    // counts the errors and warnings (MainWindowDisc.cpp).
    void checkDisc();
    // A record of the Disc page: its page shows it.
    void openRecord(const RecordTarget& target);

    // The interpreter on the BDMV page: Start runs the selected object, prepares a
    // trace or takes its next step; a click on a line while tracing executes it.
    void bStartClick();
    void sgCommandsTraceClick(int line);
    // The Status page's register buttons.
    void bPSRsClick();
    void bGPRsClick();
    void bResetRegsClick();

    // The caption: "Corvane v" + version, and " [label]" once a folder was read.
    static QString captionFor(const QString& discLabel);

    // MessageSink
    void appendLine(const StyledLine& line) override;
    void setStatus(int panel, const std::string& text) override;
    void showErrorBadge(const std::string& text) override;
    void showErrorStatus(const std::string& state, const std::string& details) override;
    void beep() override;
    // The error box of the file layer, over the window or the dialog in front.
    void fileError(const std::string& message) override;
    void pause(int milliseconds) override;
    void pumpEvents() override;
    void progressStart() override;
    void progress(int percent, const std::string& text) override;
    // A packet walk: the bar shows the percent, the speed and the time left.
    void packetProgress(const ProgressReport& report) override;
    void progressEnd() override;

    // Asks before a cancel once cancelling needs a confirmation; a box by default.
    std::function<bool()> confirmStop;
    // Shows a file-layer error (the system's text); QMessageBox::critical by default.
    std::function<void(const QString& text)> showFileError;

    PageTabWidget* PageControl;
    BdmvPage* bdmvPage;
    PlaylistPage* playlistPage;
    ClipInfoPage* clipInfoPage;
    MenuPage* menuPage;
    BdjoPage* bdjoPage;
    DiscPage* discPage;
    OptionsPage* optionsPage;
    StatusPage* statusPage;
    AboutPage* aboutPage;

    QPushButton* bSave;
    QAction* actUndo;
    QAction* actRedo;
    QAction* actHistory;
    QPushButton* bFind;
    ExecutePanel* pExecute;
    RegisterPanel* pRegisters;
    NavigatePanel* pNavigate;
    QProgressBar* progressBar;
    QPushButton* bCancel;
    PanelStatusBar* StatusBar;
    TfExtDat* fExtDat;

protected:
    void closeEvent(QCloseEvent* event) override;
    // While the Page view is shown, every key pressed shows its virtual key code.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A folder, or a file inside one, dropped on the window opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWindow();
    // The undo and redo actions and buttons over the stacks of the files in memory, the
    // modified marks of the tabs and the caption (MainWindowEdit.cpp).
    void buildEditActions();
    void updateModifiedMarks();
    void showUndoHistory();
    // Save of one document, as its page's Save does; true when it is saved afterwards.
    bool saveDocument(EditedDocument document);
    void readSettings();
    void FormClose();
    void storeWindowPlacement();
    void clearFolderPickers();
    void fillFolderPickers();
    void setSaveHint(const QString& name, const std::string& extension);
    // The last folders read, newest first, kept in the settings.
    void rememberFolder(const QString& folder);

    void connectInterpreter();
    // The Menu page's simulation: navigation panel, button picker, options twins, sounds.
    void connectMenuSimulation();
    GuiInterpreterHost interpreterHost();
    // The program of the object selected in sgObject; empty without one.
    const std::vector<TNavCommand>& selectedProgram() const;
    void showRunResult(const RunResult& result);
    void endTrace();
    void updateStartEnabled();
    void fillObjectPicker();

    // Long operations of the window (interpreter runs on the BDMV page, progress loops):
    // while they pump, the current page, Save and Find are disabled (MainWindowBusy.cpp).
    void connectBusyGuards();
    std::vector<QWidget*> busyControls();
    // Before any loop processes events.
    void notePump();
    // The other pages cannot be chosen while a loop of this page runs (counted).
    void lockPages(bool locked);

    Session m_session;
    EditHistory* m_history = nullptr;
    RecoveryStore* m_recovery = nullptr;
    std::string m_readFolder; // the folder whose files are in memory (the field may name another)
    QDialog* m_historyView = nullptr;
    BusyGuard* m_busy = nullptr;
    int m_pageLocks = 0;
    std::vector<int> m_lockedTabs;
    bool m_running = false; // a run is under way; Start and line clicks wait for it
    bool m_closing = false; // the window closes: a run under way stops
    int m_serving = 0;      // events served from inside an action (pumpEvents, pause)
};

} // namespace corvane
