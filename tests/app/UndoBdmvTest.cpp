// Undo and redo on the BDMV page: every kind of edit of index.bdmv, MovieObject.bdmv and
// sound.bdmv through the page's controls is one step that undoes to the bytes before it and
// redoes to the bytes after it; undoing all saves the files as read, redoing all as edited.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <functional>
#include <memory>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/CommandEditor.h"
#include "app/EditHistory.h"
#include "app/ExtDatDialog.h"
#include "app/MainWindow.h"
#include "app/NavigationGrids.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/QSettingsStore.h"
#include "app/SoundGroup.h"
#include "io/FileIO.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "sound/SoundFile.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

// A two-item picker shows its other item.
void toggle(QComboBox* box) {
    box->setCurrentIndex(1 - box->currentIndex());
}

QByteArray bytesOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// The three files as the session's records would be written now.
struct NavigationBytes {
    QByteArray index, movieObject, sound;
    bool operator==(const NavigationBytes&) const = default;
};

} // namespace

class UndoBdmvTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_bdmv;
    const QString m_wav = QStringLiteral(CORVANE_TEST_DATA_DIR "/sound/beep.wav");

    BdmvPage* page() { return m_window->bdmvPage; }
    Session& session() { return m_window->session(); }
    QUndoStack* stack() { return m_window->history().stack(EditedDocument::Navigation); }
    template <typename Widget> Widget* control(const char* name) {
        return child<Widget>(m_window.get(), name);
    }
    NavGridView* grid(const char* name) { return control<NavGridView>(name); }
    QString tabText() { return m_window->PageControl->tabText(m_window->PageControl->indexOf(page())); }

    NavigationBytes recordBytes() {
        return {bytesOf(writeIndex(session().index)), bytesOf(writeMovieObject(session().mobj)),
                bytesOf(writeSound(session().sound))};
    }
    NavigationBytes savedBytes() {
        return {fileBytes(m_bdmv + QStringLiteral("index.bdmv")),
                fileBytes(m_bdmv + QStringLiteral("MovieObject.bdmv")),
                fileBytes(m_bdmv + QStringLiteral("AUXDATA/sound.bdmv"))};
    }

    void readFolder(const QString& bdmv) {
        m_bdmv = bdmv;
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        page()->setFolder(bdmv.toStdString());
        m_window->bReadBDMVClick();
    }
    // The sample disc with two BD-J object files and a sound.bdmv of one sound.
    QString sampleWithSound() {
        const QString bdmv = copySampleDisc(m_root->path());
        for (const char* name : {"BDJO/00001.bdjo", "BDJO/00002.bdjo"}) {
            QFile bdjo(bdmv + QLatin1String(name));
            bdjo.open(QIODevice::WriteOnly);
        }
        QDir().mkpath(bdmv + QStringLiteral("AUXDATA"));
        std::string error;
        TSND file = createSound();
        insertSound(file, std::nullopt, *importWav(*readWholeFile(m_wav.toStdString(), error)).entry);
        writeWholeFile((bdmv + QStringLiteral("AUXDATA/sound.bdmv")).toStdString(), writeSound(file));
        return bdmv;
    }
    // The ExtensionData dialog answers with a two-entry block.
    void answerExtDat() {
        QTimer::singleShot(0, this, [this] {
            m_window->fExtDat->setBlock(twoEntryBlock());
            m_window->fExtDat->Button1->click();
        });
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
        m_root = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void everyEditIsOneStepBackAndForth() {
        readFolder(sampleWithSound());
        QVERIFY(session().soundFound);
        SoundGroup* sounds = page()->soundGroup();
        sounds->chooseWavToOpen = [this](const QString&, const QString&) { return m_wav; };
        CommandEditor* editor = control<CommandEditor>("pCommandEditor");
        auto* commands = grid("sgCommands");
        auto* soundGrid = sounds->findChild<QTableView*>(QStringLiteral("sgSounds"));
        const NavigationBytes original = savedBytes();
        QCOMPARE(recordBytes(), original);
        QCOMPARE(tabText(), QStringLiteral("BDMV"));

        const std::vector<std::pair<const char*, std::function<void()>>> edits{
            {"content provider typed",
             [&] { QTest::keyClicks(control<QLineEdit>("eContent"), QStringLiteral("Abc")); }},
            {"First Playback object", [&] { control<QComboBox>("cbFPBObject")->setCurrentIndex(2); }},
            {"First Playback playback type",
             [&] { control<QComboBox>("cbFPBTitlePBtype")->setCurrentIndex(1); }},
            {"Top Menu type", [&] { control<QComboBox>("cbTMtype")->setCurrentIndex(1); }},
            {"Top Menu off", [&] { control<QCheckBox>("cbTMon")->click(); }},
            {"title insert",
             [&] {
                 page()->selectTitle(0);
                 control<QToolButton>("bbTiins")->click();
             }},
            {"title delete",
             [&] {
                 page()->selectTitle(2);
                 control<QToolButton>("bbTidel")->click();
             }},
            {"title access type",
             [&] {
                 page()->selectTitle(1);
                 control<QComboBox>("cbTitleAT")->setCurrentIndex(2);
             }},
            {"title playback type", [&] { control<QComboBox>("cbTitlePBT")->setCurrentIndex(1); }},
            {"title object", [&] { control<QComboBox>("cbTitleOID")->setCurrentIndex(3); }},
            {"title object type", [&] { control<QComboBox>("cbTitleOT")->setCurrentIndex(1); }},
            {"title BD-J file",
             [&] {
                 auto* files = control<QComboBox>("cbTitleFN");
                 files->setCurrentIndex(files->currentIndex() == 1 ? 0 : 1);
             }},
            {"UHD field",
             [&] { control<QComboBox>("cbUhd_initial_dynamic_range_type")->setCurrentIndex(1); }},
            {"object insert",
             [&] {
                 page()->setObjectSG(1);
                 control<QToolButton>("bbObins")->click();
             }},
            {"object delete",
             [&] {
                 page()->setObjectSG(3); // First Playback's object: index.bdmv follows
                 control<QToolButton>("bbObdel")->click();
             }},
            {"resume flag",
             [&] {
                 page()->setObjectSG(1);
                 toggle(control<QComboBox>("cbResume"));
             }},
            {"menu call mask", [&] { toggle(control<QComboBox>("cbMenuCall")); }},
            {"title search mask", [&] { toggle(control<QComboBox>("cbTitleSearch")); }},
            {"line insert",
             [&] {
                 page()->selectLine(0);
                 control<QToolButton>("bbNCins")->click(); // GoTo targets move
             }},
            {"line delete",
             [&] {
                 page()->selectLine(2);
                 QTest::keyClick(commands, Qt::Key_Delete);
             }},
            {"word typed into the grid",
             [&] {
                 page()->setCommandsEditable(true);
                 QVERIFY(commands->model()->setData(commands->model()->index(0, 2),
                                                    QStringLiteral("00000007"), Qt::EditRole));
                 page()->setCommandsEditable(false);
             }},
            {"editor group",
             [&] {
                 page()->selectLine(3);
                 editor->cbCmdGrp->setCurrentIndex(editor->cbCmdGrp->currentIndex() == 2 ? 1 : 2);
             }},
            {"editor sub-group",
             [&] { editor->cbCmdSGrp->setCurrentIndex(editor->cbCmdSGrp->currentIndex() == 0 ? 1 : 0); }},
            {"editor option",
             [&] { editor->cbCmd->setCurrentIndex(editor->cbCmd->currentIndex() == 0 ? 1 : 0); }},
            {"editor destination type",
             [&] { editor->cbOP1->setCurrentIndex(editor->cbOP1->currentIndex() == 1 ? 0 : 1); }},
            {"editor destination value",
             [&] {
                 editor->ieOp1->setText(QStringLiteral("5"));
                 emit editor->ieOp1->editingFinished();
             }},
            {"editor source hex",
             [&] {
                 editor->heSOH->setText(QStringLiteral("00000009"));
                 emit editor->heSOH->editingFinished();
             }},
            {"editor destination off", [&] { editor->cbOP1on->click(); }},
            {"NOP line", [&] { QTest::keyClick(commands, Qt::Key_N, Qt::ShiftModifier); }},
            {"index ExtensionData",
             [&] {
                 answerExtDat();
                 control<QPushButton>("bIndExDatEdit")->click();
             }},
            {"MovieObject ExtensionData",
             [&] {
                 answerExtDat();
                 control<QPushButton>("bObjExtDatEdit")->click();
             }},
            {"sound import",
             [&] {
                 soundGrid->selectRow(0);
                 QTest::keyClick(soundGrid, Qt::Key_Insert);
             }},
            {"sound delete",
             [&] {
                 soundGrid->selectRow(0);
                 QTest::keyClick(soundGrid, Qt::Key_Delete, Qt::ShiftModifier);
             }},
            {"sound ExtensionData",
             [&] {
                 answerExtDat();
                 control<QPushButton>("bEditSndExtDat")->click();
             }},
        };

        for (const auto& [kind, edit] : edits) {
            const int steps = stack()->count();
            const NavigationBytes before = recordBytes();
            edit();
            const NavigationBytes after = recordBytes();
            QVERIFY2(!(after == before), kind);
            QVERIFY2(stack()->count() == steps + 1, kind);
            QCOMPARE(tabText(), QStringLiteral("BDMV*"));
            stack()->undo();
            QVERIFY2(recordBytes() == before, kind);
            if (steps == 0) QCOMPARE(tabText(), QStringLiteral("BDMV")); // undone back to the read state
            stack()->redo();
            QVERIFY2(recordBytes() == after, kind);
        }
        // The place is kept through an undo and a redo: the title, the object and the line.
        page()->selectTitle(1);
        page()->setObjectSG(1);
        page()->selectLine(2);
        editor->ieOp2->setText(QStringLiteral("4"));
        emit editor->ieOp2->editingFinished();
        stack()->undo();
        QCOMPARE(page()->selectedTitle(), 1);
        QCOMPARE(page()->selectedObject(), 1);
        QCOMPARE(page()->selectedLine(), 2);
        stack()->redo();
        QCOMPARE(editor->ieOp2->text(), QStringLiteral("4"));
        QCOMPARE(stack()->undoText(), QStringLiteral("Edit command line"));

        m_window->bSave->click();
        QCOMPARE(tabText(), QStringLiteral("BDMV"));
        const NavigationBytes edited = savedBytes();
        QCOMPARE(edited, recordBytes());

        // Ctrl+Z once, then the rest.
        m_window->PageControl->setCurrentWidget(page());
        m_window->activateWindow(); // the ExtensionData dialog was the active window
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const int saved = stack()->index();
        commands->setFocus();
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(stack()->index(), saved - 1);
        QCOMPARE(tabText(), QStringLiteral("BDMV*"));
        while (stack()->canUndo()) stack()->undo();
        QCOMPARE(recordBytes(), original);
        m_window->bSave->click();
        QCOMPARE(tabText(), QStringLiteral("BDMV"));
        QCOMPARE(savedBytes(), original);

        while (stack()->canRedo()) stack()->redo();
        QCOMPARE(tabText(), QStringLiteral("BDMV*"));
        m_window->bSave->click();
        QCOMPARE(savedBytes(), edited);
        // Back to the state of that save, past the sound edit before the last step: no mark.
        stack()->undo();
        stack()->undo();
        QCOMPARE(stack()->undoText(), QStringLiteral("Delete sound"));
        stack()->redo();
        stack()->redo();
        QCOMPARE(tabText(), QStringLiteral("BDMV"));
    }

    void creatingSoundUndoesToNoFile() {
        readFolder(copySampleDisc(m_root->path()));
        SoundGroup* sounds = page()->soundGroup();
        auto* create = child<QPushButton>(m_window->optionsPage, "bCreateSound");
        sounds->chooseWavToOpen = [this](const QString&, const QString&) { return m_wav; };
        create->click();
        QVERIFY(sounds->isVisibleTo(m_window.get()));
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(tabText(), QStringLiteral("BDMV*"));
        const QByteArray created = bytesOf(writeSound(session().sound));

        stack()->undo();
        QVERIFY(!sounds->isVisibleTo(m_window.get()));
        QVERIFY(create->isEnabled());
        QCOMPARE(tabText(), QStringLiteral("BDMV"));
        m_window->bSave->click();
        QVERIFY(!QFile::exists(m_bdmv + QStringLiteral("AUXDATA/sound.bdmv")));

        stack()->redo();
        QVERIFY(sounds->isVisibleTo(m_window.get()));
        QVERIFY(!create->isEnabled());
        m_window->bSave->click();
        QCOMPARE(fileBytes(m_bdmv + QStringLiteral("AUXDATA/sound.bdmv")), created);
    }

    // Not a pass/fail check: how long a step and its undo take on 50,000 lines (in the log).
    void largeProgramStaysResponsive() {
        const auto readProgram = [this](const char* name, TMOBJ big) {
            std::size_t length = 10 - 4;
            for (const auto& o : big.MovieObjects.mobjs) length += 4 + 12 * o.navigation_commands.size();
            big.MovieObjects.mobjs_length = static_cast<std::uint32_t>(length);
            big.MovieObjects.number_of_mobjs = static_cast<std::uint16_t>(big.MovieObjects.mobjs.size());
            const QString bdmv = copySampleDisc(m_root->path() + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(writeWholeFile((bdmv + QStringLiteral("MovieObject.bdmv")).toStdString(),
                                   writeMovieObject(big))
                        .ok);
            readFolder(bdmv);
        };
        const auto time = [this](const char* what, int object, int lines, const char* button) {
            page()->setObjectSG(object);
            QCOMPARE(page()->commandModel->lineCount(), lines);
            page()->selectLine(10);
            const NavigationBytes before = recordBytes();
            QElapsedTimer timer;
            timer.start();
            control<QToolButton>(button)->click();
            const qint64 edit = timer.nsecsElapsed();
            QCOMPARE(stack()->count(), 1);
            timer.restart();
            stack()->undo();
            const qint64 undo = timer.nsecsElapsed();
            timer.restart();
            stack()->redo();
            const qint64 redo = timer.nsecsElapsed();
            stack()->undo();
            QCOMPARE(recordBytes(), before);
            qInfo("%s, %s: %.2f ms, undo %.2f ms, redo %.2f ms", what, button, edit / 1e6, undo / 1e6,
                  redo / 1e6);
        };
        TMOBJ many;
        for (int o = 0; o < 1000; ++o) {
            Tmobject object;
            object.navigation_commands.resize(50, TNavCommand{0x20810000, 3, 0});
            object.number_of_navigation_commands = 50;
            many.MovieObjects.mobjs.push_back(object);
        }
        readProgram("many", many);
        time("1000 objects x 50 lines", 500, 50, "bbNCins");
        time("1000 objects x 50 lines", 500, 50, "bbObins");
        TMOBJ one;
        one.MovieObjects.mobjs.resize(4);
        one.MovieObjects.mobjs[2].navigation_commands.resize(50000, TNavCommand{0x20810000, 3, 0});
        one.MovieObjects.mobjs[2].number_of_navigation_commands = 50000;
        readProgram("one", one);
        // An object past 9999 lines takes no further line: a deletion is timed there.
        time("one object of 50000 lines", 2, 50000, "bbNCdel");
        time("one object of 50000 lines", 2, 50000, "bbObins");
    }
};

static RegisterGuiTest<UndoBdmvTest> registerUndoBdmvTest;

} // namespace corvane::test

#include "UndoBdmvTest.moc"
