// The window's side of unsaved edits: the question before a folder read, a menu from a
// clip or the close throws edits away, and the recovery of a program that was killed.

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/EditHistory.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "app/RecoveryStore.h"
#include "menu/IGWriter.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "navigation/NavigationEdit.h"
#include "playlist/PlayListWriter.h"

namespace corvane::test {

namespace {

QByteArray asBytes(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The sample disc with one playlist of a real disc, ready to be read.
QString discWithPlaylist(const QString& root) {
    const QString bdmv = copySampleDisc(root);
    QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/playlist/bdpl-disc6-00002-4audio-4pg.mpls"),
                bdmv + QStringLiteral("PLAYLIST/00000.mpls"));
    return bdmv;
}

void readFolder(MainWindow& window, const QString& bdmv) {
    window.bdmvPage->setFolder(bdmv.toStdString());
    window.bReadBDMVClick();
}

// Edits as the pages make them: one step each on their document's stack.
void insertTitleStep(MainWindow& window) {
    Session& session = window.session();
    EditScope edit(&window.history(), EditedDocument::Navigation, QStringLiteral("Insert title"));
    edit.keep([&session]() -> TINDX& { return session.index; });
    insertTitle(session.index, 0);
}

void editLineStep(MainWindow& window) {
    Session& session = window.session();
    EditScope edit(&window.history(), EditedDocument::Navigation, QStringLiteral("Edit command line"));
    edit.keep([&session]() -> Tmobject& { return session.mobj.MovieObjects.mobjs[0]; });
    session.mobj.MovieObjects.mobjs[0].navigation_commands[0].destination ^= 0x1234;
}

void playlistStep(MainWindow& window) {
    Session& session = window.session();
    EditScope edit(&window.history(), EditedDocument::Playlist, QStringLiteral("Edit playback count"));
    edit.keep([&session]() -> TMPLS& { return session.mpls; });
    session.mpls.playback_count ^= 3;
}

void menuStep(MainWindow& window) {
    Session& session = window.session();
    EditScope edit(&window.history(), EditedDocument::Menu, QStringLiteral("Edit time-out"));
    edit.keep([&session]() -> TIGSc& { return session.menu.IGSc; });
    session.menu.IGSc.user_time_out_duration += 90'000;
}

QString tabText(MainWindow& window, QWidget* page) {
    return window.PageControl->tabText(window.PageControl->indexOf(page));
}

} // namespace

class UndoWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_disc;
    QStringList m_asked;
    int m_answer = QMessageBox::Cancel;

    MainWindow& window() { return *m_window; }

private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        m_disc = discWithPlaylist(m_root->path());
        m_window = std::make_unique<MainWindow>();
        m_asked.clear();
        m_window->askUnsaved = [this](const QStringList& files) {
            m_asked = files;
            return m_answer;
        };
        readFolder(window(), m_disc);
        QVERIFY(window().playlistPage->choose(QStringLiteral("00000")));
        window().playlistPage->clickRead();
        QCOMPARE(window().session().mplsName, std::string("00000"));
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    // The marks follow the stack and the saved state; undo and redo go through the actions.
    void marksFollowEditsUndoAndSave() {
        insertTitleStep(window());
        QCOMPARE(tabText(window(), window().bdmvPage), QStringLiteral("BDMV*"));
        QVERIFY(window().windowTitle().startsWith(QLatin1Char('*')));
        window().PageControl->setCurrentWidget(window().bdmvPage);
        QCOMPARE(window().actUndo->text(), QStringLiteral("Undo Insert title"));
        window().actUndo->trigger();
        QCOMPARE(tabText(window(), window().bdmvPage), QStringLiteral("BDMV"));
        QVERIFY(!window().windowTitle().startsWith(QLatin1Char('*')));
        window().actRedo->trigger();
        QCOMPARE(window().session().index.Indexes.titles.size(), std::size_t{3});
        window().bdmvPage->bSaveClick();
        QCOMPARE(tabText(window(), window().bdmvPage), QStringLiteral("BDMV"));
        // Undoing past the save is an unsaved change again.
        window().actUndo->trigger();
        QCOMPARE(tabText(window(), window().bdmvPage), QStringLiteral("BDMV*"));
    }

    // Another folder: Cancel keeps the records, the edits and the folder field; Discard reads.
    void folderReadAsks() {
        insertTitleStep(window());
        playlistStep(window());
        const TINDX edited = window().session().index;
        const TMPLS editedPlaylist = window().session().mpls;
        const QString other = copySampleDisc(m_root->filePath(QStringLiteral("other")));
        window().bdmvPage->setFolder(other.toStdString());
        m_answer = QMessageBox::Cancel;
        window().bReadBDMVClick();
        QCOMPARE(m_asked, (QStringList{"index.bdmv", "00000.mpls"}));
        QVERIFY(window().session().index == edited);
        QVERIFY(window().session().mpls == editedPlaylist);
        QCOMPARE(QString::fromStdString(window().session().BDMVdir), m_disc);
        QCOMPARE(child<QLineEdit>(&window(), "eBDMVdir")->text(), m_disc);
        QVERIFY(window().history().stack(EditedDocument::Navigation)->canUndo());

        window().bdmvPage->setFolder(other.toStdString());
        m_answer = QMessageBox::Discard;
        window().bReadBDMVClick();
        QCOMPARE(QString::fromStdString(window().session().BDMVdir), other);
        QVERIFY(window().history().modifiedFiles().empty());
        QVERIFY(!window().history().stack(EditedDocument::Navigation)->canUndo());
        // The edited disc kept its files.
        QCOMPARE(fileBytes(m_disc + QStringLiteral("index.bdmv")),
                 fileBytes(other + QStringLiteral("index.bdmv")));
    }

    // Save all writes the files, then the read goes on; a failed save stops it.
    void saveAllSavesFirst() {
        editLineStep(window());
        const QByteArray edited = asBytes(writeMovieObject(window().session().mobj));
        const QString other = copySampleDisc(m_root->filePath(QStringLiteral("other")));
        m_answer = QMessageBox::SaveAll;
        window().bdmvPage->setFolder(other.toStdString());
        window().bReadBDMVClick();
        QCOMPARE(fileBytes(m_disc + QStringLiteral("MovieObject.bdmv")), edited);
        QCOMPARE(QString::fromStdString(window().session().BDMVdir), other);

        // A folder that cannot be written: the save fails and the edits stay in memory.
        editLineStep(window());
        const TMOBJ again = window().session().mobj;
        QVERIFY(QFile::remove(other + QStringLiteral("MovieObject.bdmv")));
        QVERIFY(QDir().mkdir(other + QStringLiteral("MovieObject.bdmv")));
        window().bdmvPage->setFolder(m_disc.toStdString());
        window().bReadBDMVClick();
        QVERIFY(window().session().mobj == again);
        QCOMPARE(QString::fromStdString(window().session().BDMVdir), other);
        QVERIFY(window().history().isModified(EditedFile::MovieObject));
    }

    // A menu from a clip and the close of the window ask too; Cancel keeps everything.
    void menuFromClipAndCloseAsk() {
        window().menuPage->bCreateMenuClick();
        menuStep(window());
        const TIGSc edited = window().session().menu.IGSc;
        m_answer = QMessageBox::Cancel;
        window().bLoadToMenuClick(0x1400);
        QCOMPARE(m_asked, (QStringList{"new menu"}));
        QVERIFY(window().session().menu.IGSc == edited);

        m_asked.clear();
        QCloseEvent close;
        QApplication::sendEvent(&window(), &close);
        QVERIFY(!close.isAccepted());
        QCOMPARE(m_asked, (QStringList{"new menu"}));
        QVERIFY(window().session().menu.IGSc == edited);

        m_answer = QMessageBox::Discard;
        QCloseEvent again;
        QApplication::sendEvent(&window(), &again);
        QVERIFY(again.isAccepted());
    }
};

// The killed program of recoveryAfterKill: reads the disc named in CORVANE_RECOVERY_DISC,
// edits every kind of file, writes the recovery copies and what Save would write, then
// waits to be killed. Runs only when the test below starts it.
class UndoRecoveryChild : public QObject {
    Q_OBJECT
private slots:
    void editAndWait() {
        const QString disc = qEnvironmentVariable("CORVANE_RECOVERY_DISC");
        if (disc.isEmpty()) QSKIP("started only by UndoRecoveryTest");
        MainWindow window;
        readFolder(window, disc);
        QVERIFY(window.playlistPage->choose(QStringLiteral("00000")));
        window.playlistPage->clickRead();
        window.menuPage->bCreateMenuClick();
        insertTitleStep(window);
        editLineStep(window);
        playlistStep(window);
        menuStep(window);
        const QString expected = qEnvironmentVariable("CORVANE_RECOVERY_EXPECTED");
        const Session& s = window.session();
        writeBytes(expected + QStringLiteral("/index.bdmv"), asBytes(writeIndex(s.index)));
        writeBytes(expected + QStringLiteral("/MovieObject.bdmv"), asBytes(writeMovieObject(s.mobj)));
        writeBytes(expected + QStringLiteral("/00000.mpls"), asBytes(writePlayList(s.mpls)));
        writeBytes(expected + QStringLiteral("/menu.mnu"), asBytes(saveIGS(s.menu, IGSaveMode::Mnu).bytes));
        window.recovery().writeNow();
        writeBytes(expected + QStringLiteral("/ready"), "1");
        QTest::qWait(120'000);
    }
};

class UndoRecoveryTest : public QObject {
    Q_OBJECT
    QByteArray m_home;

private slots:
    void init() {
        // The recovery folders of this test only.
        m_home = qgetenv("HOME");
    }
    void cleanup() { qputenv("HOME", m_home); }

    void recoveryAfterKill() {
        QTemporaryDir root;
        const QString home = root.filePath(QStringLiteral("home"));
        const QString expected = root.filePath(QStringLiteral("expected"));
        QDir().mkpath(home);
        QDir().mkpath(expected);
        qputenv("HOME", home.toLocal8Bit());
        const QString disc = discWithPlaylist(root.path());
        const QByteArray before = fileBytes(disc + QStringLiteral("index.bdmv"));

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("CORVANE_GUI_CLASS"), QStringLiteral("UndoRecoveryChild"));
        environment.insert(QStringLiteral("CORVANE_RECOVERY_DISC"), disc);
        environment.insert(QStringLiteral("CORVANE_RECOVERY_EXPECTED"), expected);
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(expected + QStringLiteral("/ready")) ||
                                     program.state() == QProcess::NotRunning,
                                 60'000);
        QVERIFY(QFile::exists(expected + QStringLiteral("/ready")));
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        // Nothing was saved by the killed program.
        QCOMPARE(fileBytes(disc + QStringLiteral("index.bdmv")), before);

        MainWindow window;
        QStringList offered;
        window.askRecovery = [&offered](const RecoverySet& set) {
            offered = set.names;
            return true;
        };
        QVERIFY(window.offerRecovery());
        QCOMPARE(offered, (QStringList{"index.bdmv", "MovieObject.bdmv", "00000.mpls", "new menu"}));
        for (QWidget* page :
             {static_cast<QWidget*>(window.bdmvPage), static_cast<QWidget*>(window.playlistPage),
              static_cast<QWidget*>(window.menuPage)})
            QVERIFY(tabText(window, page).endsWith(QLatin1Char('*')));
        // The restored records save to the bytes the killed program would have written.
        window.bdmvPage->bSaveClick();
        window.playlistPage->bSaveClick();
        QCOMPARE(fileBytes(disc + QStringLiteral("index.bdmv")),
                 fileBytes(expected + QStringLiteral("/index.bdmv")));
        QCOMPARE(fileBytes(disc + QStringLiteral("MovieObject.bdmv")),
                 fileBytes(expected + QStringLiteral("/MovieObject.bdmv")));
        QCOMPARE(fileBytes(disc + QStringLiteral("PLAYLIST/00000.mpls")),
                 fileBytes(expected + QStringLiteral("/00000.mpls")));
        QCOMPARE(asBytes(saveIGS(window.session().menu, IGSaveMode::Mnu).bytes),
                 fileBytes(expected + QStringLiteral("/menu.mnu")));
        // The old set is gone; the menu, still unsaved, has its copy under this process.
        window.recovery().writeNow();
        const QStringList left =
            QDir(RecoveryStore::rootFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(left, QStringList{QString::number(QCoreApplication::applicationPid())});
        QVERIFY(!RecoveryStore::findAbandoned());

        // Discarded at the close: nothing is left for the next start.
        window.askUnsaved = [](const QStringList&) { return int{QMessageBox::Discard}; };
        QVERIFY(window.close());
        QVERIFY(QDir(RecoveryStore::rootFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }
};

static RegisterGuiTest<UndoWindowTest> registerUndoWindowTest;
static RegisterGuiTest<UndoRecoveryChild, true> registerUndoRecoveryChild;
static RegisterGuiTest<UndoRecoveryTest> registerUndoRecoveryTest;

} // namespace corvane::test

#include "UndoWindowTest.moc"
