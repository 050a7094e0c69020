// Undo and redo on the PLAYLIST page: every kind of edit made through the page's controls
// is one step that undoes to the bytes before it and redoes to the bytes after it, the
// page is redrawn from the model each time, and undoing all or redoing all saves the
// original or the edited file. The tab mark and the question before another playlist
// replaces unsaved edits.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <algorithm>
#include <functional>
#include <memory>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/EditHistory.h"
#include "app/ExtDatDialog.h"
#include "app/MainWindow.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "io/TextUtil.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

QString playlistData(const char* file) {
    return QDir(QStringLiteral(CORVANE_SAMPLE_BDMV "/../../playlist")).filePath(QLatin1String(file));
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList texts(const GridRow& row) {
    QStringList cells;
    for (const std::string& cell : row) cells << q(cell);
    return cells;
}

// The cells a grid row shows, as many as the model-made row has.
QStringList shown(const QAbstractItemView* grid, int row, const GridRow& cells) {
    return rowTexts(grid, row).mid(0, qsizetype(cells.size()));
}

// Makes an item current as a click on it does.
void pick(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
}

int otherItem(const QComboBox* box) {
    return (std::max(box->currentIndex(), 0) + 1) % box->count();
}

} // namespace

class UndoPlaylistTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_bdmv;

    PlaylistPage* page() { return m_window->playlistPage; }
    template <typename Widget> Widget* control(const char* name) {
        return child<Widget>(page(), QLatin1String(name));
    }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    TMPLS& mpls() { return m_window->session().mpls; }
    QUndoStack* stack() { return m_window->history().stack(EditedDocument::Playlist); }
    QByteArray written() {
        const std::vector<std::uint8_t> bytes = writePlayList(mpls());
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    QString path(const char* name) {
        return m_bdmv + QStringLiteral("PLAYLIST/%1.mpls").arg(QLatin1String(name));
    }
    QString tab() { return m_window->PageControl->tabText(m_window->PageControl->indexOf(page())); }

    void read(const char* name) {
        chooseText(control<QComboBox>("cbPlaylist"), QLatin1String(name));
        page()->clickRead();
    }

    void typeIntoCell(PlaylistGrid* grid, int row, int column, const QString& text) {
        grid->setCurrentCell(row, column);
        editCell(grid, row, column);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
        QVERIFY(editor);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->indexWidget(grid->model()->index(row, column)));
    }

    void typeInto(QLineEdit* edit, const QString& text, bool enter) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
        if (enter) QTest::keyClick(edit, Qt::Key_Return);
    }

    // The page shows what the model holds (an undo or redo redrew it).
    void verifyShown() {
        const TMPLS& model = mpls();
        const auto& items = model.PlayList.PlayItems;
        QCOMPARE(grid("sgPLitem")->dataRows(), int(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i)
            QCOMPARE(shown(grid("sgPLitem"), int(i), playItemRow(items[i], i)),
                     texts(playItemRow(items[i], i)));
        const int item = page()->selectedPlayItem();
        QVERIFY(item >= 0);
        const GridRow counts = stnCountRow(items[std::size_t(item)].STN);
        QCOMPARE(shown(grid("sgSTN"), 0, counts), texts(counts));
        const std::vector<GridRow> entries =
            streamEntryRows(items[std::size_t(item)].STN, page()->selectedStnList());
        QCOMPARE(grid("sgStreamEntry")->dataRows(), int(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i)
            QCOMPARE(shown(grid("sgStreamEntry"), int(i), entries[i]), texts(entries[i]));
        const auto& paths = model.PlayList.SubPaths;
        QCOMPARE(grid("sgSubPath")->dataRows(), int(paths.size()));
        for (std::size_t i = 0; i < paths.size(); ++i)
            QCOMPARE(shown(grid("sgSubPath"), int(i), subPathRow(paths[i], i)),
                     texts(subPathRow(paths[i], i)));
        if (const int path = page()->selectedSubPath(); path >= 0) {
            const auto& subs = paths[std::size_t(path)].SubPlayItems;
            for (std::size_t i = 0; i < subs.size(); ++i)
                QCOMPARE(shown(grid("sgSubPlayItem"), int(i), subPlayItemRow(subs[i], i)),
                         texts(subPlayItemRow(subs[i], i)));
        }
        const auto& marks = model.PlayListMark.marks;
        QCOMPARE(grid("sgPlayListMark")->dataRows(), int(marks.size()));
        for (std::size_t i = 0; i < marks.size(); ++i)
            QCOMPARE(shown(grid("sgPlayListMark"), int(i), PLMline(marks[i], i)),
                     texts(PLMline(marks[i], i)));
        QCOMPARE(control<THexEdit>("heAIUO")->text(), q(hexText(model.UO_mask_table1, 8)));
        QCOMPARE(control<THexEdit>("heAIUO2")->text(), q(hexText(model.UO_mask_table2, 8)));
        QCOMPARE(control<QCheckBox>("cbUO3")->isChecked(), ((model.UO_mask_table1 >> 3) & 1) != 0);
        QCOMPARE(control<QCheckBox>("cbAIRA")->isChecked(), model.PlayList_random_access_flag != 0);
        QCOMPARE(control<TIntEdit>("ieAIpbc")->value(), int(model.playback_count));
        QCOMPARE(control<QLabel>("lMExtDat")->text(), q(ExtDatCap(model.ExtensionData)));
    }

    // Where the user is, with the rows of the grids that may shrink under it.
    struct Place {
        int item, list, entry, path, mark;
        int entries, paths, marks;
    };
    Place place() {
        return {page()->selectedPlayItem(),    page()->selectedStnList(),
                page()->selectedEntry(),       page()->selectedSubPath(),
                page()->selectedMark(),        grid("sgStreamEntry")->dataRows(),
                grid("sgSubPath")->dataRows(), grid("sgPlayListMark")->dataRows()};
    }
    // A redraw kept the place: a row stays selected when its grid kept its rows.
    static bool kept(const Place& was, const Place& now) {
        return was.item == now.item && was.list == now.list &&
               (was.entries != now.entries || was.entry == now.entry) &&
               (was.paths != now.paths || was.path == now.path) &&
               (was.marks != now.marks || was.mark == now.mark);
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
        m_root = std::make_unique<QTemporaryDir>();
        m_bdmv = copySampleDisc(m_root->path());
        QVERIFY(QFile::copy(playlistData("bdpl-disc1-00002-subpath-17marks.mpls"), path("00002")));
        QVERIFY(QFile::copy(playlistData("bdpl-disc1-00000-no-subpath.mpls"), path("00000")));
        QFile unknown(path("00400")); // a version no reader knows
        QVERIFY(unknown.open(QIODevice::WriteOnly));
        unknown.write(QByteArray("MPLS0400") + QByteArray(60, '\0'));
        unknown.close();
        m_window = std::make_unique<MainWindow>();
        m_window->bdmvPage->setFolder(m_bdmv.toStdString());
        m_window->bReadBDMVClick();
        m_window->session().options.ChapterFormat = 0;
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void everyEditUndoesAndRedoesToItsBytes() {
        read("00002");
        QCOMPARE(page()->loadedName(), std::string("00002"));
        m_window->PageControl->setCurrentWidget(page());
        const QByteArray original = fileBytes(path("00002"));
        QCOMPARE(written(), original);
        page()->askYesNo = [](const QString&) { return true; };
        const QString chapters = m_root->filePath(QStringLiteral("chapters.txt"));
        page()->chooseChapterFile = [&](bool, const QString&, const QString&, const QString&) {
            return chapters;
        };
        QFile file(chapters);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0\r\n45000\r\n90000\r\n");
        file.close();

        auto entries = [this](int item, int list, int entry) {
            page()->selectPlayItem(item);
            grid("sgSTN")->setCurrentCell(0, list);
            page()->selectEntry(entry);
        };
        auto changeLang = [this] {
            QComboBox* lang = control<QComboBox>("coLang");
            const QString code =
                lang->currentText() == QStringLiteral("fra") ? QStringLiteral("deu") : QStringLiteral("fra");
            pick(lang, lang->findText(code));
        };
        const std::pair<const char*, std::function<void()>> edits[] = {
            // AppInfo.
            {"playback type",
             [this] { pick(control<QComboBox>("cbAIpbt"), otherItem(control<QComboBox>("cbAIpbt"))); }},
            {"playback count",
             [this] { typeInto(control<TIntEdit>("ieAIpbc"), QStringLiteral("123"), false); }},
            {"UO mask", [this] { typeInto(control<THexEdit>("heAIUO"), QStringLiteral("80000001"), false); }},
            {"UO mask 2",
             [this] { typeInto(control<THexEdit>("heAIUO2"), QStringLiteral("40000001"), true); }},
            {"UO box", [this] { control<QCheckBox>("cbUO3")->click(); }},
            {"UO2 box", [this] { control<QCheckBox>("cbUO2_30")->click(); }},
            {"random access", [this] { control<QCheckBox>("cbAIRA")->click(); }},
            {"audio mix", [this] { control<QCheckBox>("cbAIAM")->click(); }},
            {"bypass mixer", [this] { control<QCheckBox>("cbAIBM")->click(); }},
            // PlayItem cells, the IN time with its whole cascade.
            {"clip name",
             [this] {
                 page()->setGridEditable(grid("sgPLitem"), true);
                 typeIntoCell(grid("sgPLitem"), 1, 1, QStringLiteral("00099"));
             }},
            {"OUT time",
             [this] {
                 typeIntoCell(grid("sgPLitem"), 1, 4,
                              q(timeText45(mpls().PlayList.PlayItems[1].OUT_time + 45000)));
             }},
            {"PlayItem UO", [this] { typeIntoCell(grid("sgPLitem"), 2, 6, QStringLiteral("0000F00F")); }},
            {"IN time",
             [this] {
                 typeIntoCell(grid("sgPLitem"), 0, 3,
                              q(timeText45(mpls().PlayList.PlayItems[0].IN_time + 90000)));
             }},
            // The STN table: insert, delete, every editor of an audio and a video entry.
            {"insert audio",
             [=, this] {
                 entries(1, 1, 0);
                 control<QToolButton>("bbInsSTN")->click();
             }},
            {"audio language", changeLang},
            {"audio coding",
             [this] { pick(control<QComboBox>("coAudio"), otherItem(control<QComboBox>("coAudio"))); }},
            {"audio type",
             [this] { pick(control<QComboBox>("coAuType"), otherItem(control<QComboBox>("coAuType"))); }},
            {"audio frequency",
             [this] { pick(control<QComboBox>("coFreq"), otherItem(control<QComboBox>("coFreq"))); }},
            {"main PID",
             [this] {
                 control<THexEdit>("heMainPID")->setText(QStringLiteral("1123"));
                 emit control<THexEdit>("heMainPID")->editingFinished();
             }},
            {"delete audio", [this] { QTest::keyClick(grid("sgStreamEntry"), Qt::Key_Delete); }},
            {"video coding",
             [=, this] {
                 entries(0, 0, 0);
                 pick(control<QComboBox>("coVideo"), otherItem(control<QComboBox>("coVideo")));
             }},
            {"resolution",
             [this] { pick(control<QComboBox>("coResol"), otherItem(control<QComboBox>("coResol"))); }},
            {"frame rate",
             [this] { pick(control<QComboBox>("coFrmRate"), otherItem(control<QComboBox>("coFrmRate"))); }},
            {"dynamic range",
             [this] { pick(control<QComboBox>("coDynRange"), otherItem(control<QComboBox>("coDynRange"))); }},
            {"colour space",
             [this] { pick(control<QComboBox>("coColSpace"), otherItem(control<QComboBox>("coColSpace"))); }},
            {"CR flag", [this] { control<QCheckBox>("cxCRflag")->click(); }},
            {"HDR10+ flag", [this] { control<QCheckBox>("cxHDRplus")->click(); }},
            {"entry type", [this] { pick(control<QComboBox>("coEntryType"), 2); }},
            {"SubPath id",
             [this] {
                 control<TIntEdit>("ieSubPath")->setText(QStringLiteral("1"));
                 emit control<TIntEdit>("ieSubPath")->editingFinished();
             }},
            {"subClip id",
             [this] {
                 control<TIntEdit>("ieSubClip")->setText(QStringLiteral("2"));
                 emit control<TIntEdit>("ieSubClip")->editingFinished();
             }},
            {"sub PID",
             [this] {
                 control<THexEdit>("heSubPID")->setText(QStringLiteral("1200"));
                 emit control<THexEdit>("heSubPID")->editingFinished();
             }},
            {"PG language",
             [=] {
                 entries(2, 2, 1);
                 changeLang();
             }},
            // SubPaths and SubPlayItems.
            {"SubPlayItem conn",
             [this] {
                 page()->selectSubPath(0);
                 page()->setGridEditable(grid("sgSubPlayItem"), true);
                 typeIntoCell(grid("sgSubPlayItem"), 0, 3,
                              mpls().PlayList.SubPaths[0].SubPlayItems[0].SP_connection_condition == 6
                                  ? QStringLiteral("5")
                                  : QStringLiteral("6"));
             }},
            {"SubPlayItem multi",
             [this] {
                 typeIntoCell(grid("sgSubPlayItem"), 0, 4,
                              mpls().PlayList.SubPaths[0].SubPlayItems[0].is_multi_Clip_entries
                                  ? QStringLiteral("N")
                                  : QStringLiteral("Y"));
             }},
            {"insert SubPath", [this] { control<QToolButton>("bbSPins")->click(); }},
            {"SubPath type", [this] { pick(control<QComboBox>("cbSubPathType"), 2); }},
            {"SubPath repeat", [this] { pick(control<QComboBox>("cbSPrepeat"), 1); }},
            {"delete SubPath", [this] { QTest::keyClick(grid("sgSubPath"), Qt::Key_Delete); }},
            // Marks.
            {"insert mark",
             [this] {
                 page()->selectMark(3);
                 control<QToolButton>("bbPLMins")->click();
             }},
            {"mark type",
             [this] { pick(control<QComboBox>("cmPLMtype"), otherItem(control<QComboBox>("cmPLMtype"))); }},
            {"mark PlayItem",
             [this] { typeInto(control<TIntEdit>("iePLMPI"), QStringLiteral("12"), false); }},
            {"mark hour", [this] { typeInto(control<TIntEdit>("iePLMhour"), QStringLiteral("12"), false); }},
            {"mark minutes", [this] { typeInto(control<TIntEdit>("iePLMmin"), QStringLiteral("34"), true); }},
            {"mark milliseconds",
             [this] { typeInto(control<TIntEdit>("iePLMms"), QStringLiteral("567"), true); }},
            {"delete marks",
             [this] {
                 page()->selectMark(5);
                 grid("sgPlayListMark")->selectCells(6, 1, 8, grid("sgPlayListMark")->columnCount() - 1);
                 control<QToolButton>("bbPLMdel")->click();
             }},
            {"import chapters", [this] { control<QToolButton>("bbLoadChap")->click(); }},
            {"ExtensionData",
             [this] {
                 QTimer::singleShot(0, this, [this] {
                     m_window->fExtDat->setBlock(twoEntryBlock());
                     m_window->fExtDat->Button1->click();
                 });
                 control<QPushButton>("bMExtDatEdit")->click();
             }},
        };

        for (const auto& [name, edit] : edits) {
            const QByteArray before = written();
            const int steps = stack()->count();
            edit();
            if (QTest::currentTestFailed()) return;
            const QByteArray after = written();
            const Place at = place();
            QVERIFY2(after != before, name);
            // One step, however many keystrokes or questions it took.
            QVERIFY2(stack()->count() == steps + 1, name);
            stack()->undo();
            QVERIFY2(written() == before, name);
            verifyShown();
            const Place undone = place();
            QVERIFY2(kept(at, undone), name);
            stack()->redo();
            QVERIFY2(written() == after, name);
            verifyShown();
            QVERIFY2(kept(undone, place()), name);
            if (QTest::currentTestFailed()) QFAIL(name);
        }

        // The IN time step took the marks along; the import replaced them.
        QCOMPARE(mpls().PlayListMark.marks.size(), std::size_t(3));
        const QByteArray edited = written();
        m_window->bSaveClick();
        QCOMPARE(fileBytes(path("00002")), edited);

        while (stack()->canUndo()) stack()->undo();
        QCOMPARE(written(), original);
        verifyShown();
        m_window->bSaveClick();
        QCOMPARE(fileBytes(path("00002")), original);

        while (stack()->canRedo()) stack()->redo();
        verifyShown();
        m_window->bSaveClick();
        QCOMPARE(fileBytes(path("00002")), edited);
    }

    void modifiedMarkAndTheQuestionBeforeAnotherRead() {
        read("00002");
        m_window->PageControl->setCurrentWidget(page());
        const TMPLS original = mpls();
        QCOMPARE(tab(), QStringLiteral("PLAYLIST"));
        control<QCheckBox>("cbAIRA")->click();
        QCOMPARE(tab(), QStringLiteral("PLAYLIST*"));
        QVERIFY(m_window->windowTitle().startsWith(QLatin1Char('*')));
        auto* undo = child<QAction>(m_window.get(), "actUndo");
        QCOMPARE(undo->text(), QStringLiteral("Undo Change random access flag"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        grid("sgPLitem")->setFocus();
        QTest::keySequence(grid("sgPLitem"), QKeySequence::Undo);
        QVERIFY(mpls() == original);
        QCOMPARE(tab(), QStringLiteral("PLAYLIST"));
        QCOMPARE(control<QCheckBox>("cbAIRA")->isChecked(), original.PlayList_random_access_flag != 0);
        child<QAction>(m_window.get(), "actRedo")->trigger();
        QCOMPARE(tab(), QStringLiteral("PLAYLIST*"));
        m_window->bSaveClick();
        QCOMPARE(tab(), QStringLiteral("PLAYLIST"));
        const QByteArray saved = fileBytes(path("00002"));
        QCOMPARE(saved, written());

        // Cancel: the playlist stays in memory with its edits, and the picker on it.
        control<QCheckBox>("cbAIAM")->click();
        const TMPLS edited = mpls();
        QStringList asked;
        int answer = QMessageBox::Cancel;
        m_window->askUnsaved = [&](const QStringList& files) {
            asked = files;
            return answer;
        };
        read("00000");
        QCOMPARE(asked, QStringList{QStringLiteral("00002.mpls")});
        QCOMPARE(page()->loadedName(), std::string("00002"));
        QCOMPARE(page()->chosenName(), QStringLiteral("00002"));
        QVERIFY(mpls() == edited);
        QCOMPARE(tab(), QStringLiteral("PLAYLIST*"));
        QVERIFY(page()->canSave());
        QVERIFY(stack()->canUndo());

        // Discard, but the other file is refused: the edits stay in memory, still unsaved.
        answer = QMessageBox::Discard;
        read("00400");
        QCOMPARE(page()->loadedName(), std::string("00002"));
        QVERIFY(mpls() == edited);
        QCOMPARE(tab(), QStringLiteral("PLAYLIST*"));

        // Discard: the other playlist is read, the file keeps what was saved.
        read("00000");
        QCOMPARE(page()->loadedName(), std::string("00000"));
        QCOMPARE(tab(), QStringLiteral("PLAYLIST"));
        QCOMPARE(stack()->count(), 0);
        QCOMPARE(fileBytes(path("00002")), saved);

        // Save all: the edits are written before the other playlist is read.
        asked.clear();
        control<QCheckBox>("cbAIBM")->click();
        const QByteArray edits = written();
        answer = QMessageBox::SaveAll;
        read("00002");
        QCOMPARE(asked, QStringList{QStringLiteral("00000.mpls")});
        QCOMPARE(fileBytes(path("00000")), edits);
        QCOMPARE(page()->loadedName(), std::string("00002"));
        QCOMPARE(tab(), QStringLiteral("PLAYLIST"));

        // Nothing unsaved: no question.
        asked.clear();
        read("00000");
        QVERIFY(asked.isEmpty());
        QCOMPARE(page()->loadedName(), std::string("00000"));
    }
};

static RegisterGuiTest<UndoPlaylistTest> registerUndoPlaylistTest;

} // namespace corvane::test

#include "UndoPlaylistTest.moc"
