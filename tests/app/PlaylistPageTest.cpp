// The PLAYLIST page over real playlists copied into a sample disc: what the grids
// show after a read, Auto Read on the page change, STN, UO, IN time, SubPath and
// mark edits through the controls with their size upkeep, chapter files, the
// jump to a clip, and saving a file the reader takes back.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ClipInfoPage.h"
#include "app/ExtDatDialog.h"
#include "app/MainWindow.h"
#include "app/MessageLog.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "app/StatusPage.h"
#include "io/TextUtil.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListReader.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

QString playlistData(const char* file) {
    return QDir(QStringLiteral(CORVANE_SAMPLE_BDMV "/../../playlist")).filePath(QLatin1String(file));
}

QString cell(const QTableView* grid, int row, int column) {
    return cellText(grid, row, column);
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

class PlaylistPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_bdmv;

    PlaylistPage* page() { return m_window->playlistPage; }
    // The page's controls by objectName.
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    TMPLS& mpls() { return m_window->session().mpls; }
    QString logText() {
        return m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->toPlainText();
    }

    void read(const char* name) {
        chooseText(control<QComboBox>("cbPlaylist"), QLatin1String(name));
        QVERIFY(control<QComboBox>("cbPlaylist")->currentIndex() >= 0);
        control<QPushButton>("bReadPL")->click();
        QCOMPARE(page()->loadedName(), std::string(name));
    }

    // Types into a cell of a grid in edit mode and enters it with Enter; a text its mask
    // takes as incomplete is refused by Enter and goes in by leaving the cell instead.
    void typeIntoCell(PlaylistGrid* grid, int row, int column, const QString& text, bool enter = true) {
        grid->setCurrentCell(row, column);
        editCell(grid, row, column);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
        QVERIFY(editor);
        editor->setText(text);
        if (enter) {
            QTest::keyClick(editor, Qt::Key_Return);
        } else {
            emit grid->itemDelegate()->commitData(editor);
            emit grid->itemDelegate()->closeEditor(editor);
        }
        // The view commits a typed cell and closes its editor on a later round of events.
        QTRY_VERIFY(!grid->indexWidget(grid->model()->index(row, column)));
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
        m_root = std::make_unique<QTemporaryDir>();
        m_bdmv = copySampleDisc(m_root->path());
        const std::pair<const char*, const char*> files[] = {
            {"bdpl-disc1-00000-no-subpath.mpls", "00000"},
            {"bdpl-disc1-00002-subpath-17marks.mpls", "00002"},
            {"bdpl-disc6-00002-4audio-4pg.mpls", "00006"},
            {"bdpl-disc5-00001-0300-extdata.mpls", "00300"}};
        for (const auto& [source, name] : files)
            QVERIFY(QFile::copy(playlistData(source), m_bdmv + QStringLiteral("PLAYLIST/%1.mpls").arg(name)));
        // A version no reader knows.
        QFile unknown(m_bdmv + QStringLiteral("PLAYLIST/00400.mpls"));
        QVERIFY(unknown.open(QIODevice::WriteOnly));
        unknown.write(QByteArray("MPLS0400") + QByteArray(60, '\0'));
        unknown.close();
        m_window = std::make_unique<MainWindow>();
        m_window->bdmvPage->setFolder(m_bdmv.toStdString());
        m_window->bReadBDMVClick();
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void readShowsEveryGroup() {
        QVERIFY(control<QPushButton>("bReadPL")->isEnabled());
        QVERIFY(!grid("sgPLitem")->isEnabled());
        read("00002");
        const TPlayList& list = mpls().PlayList;
        QCOMPARE(list.PlayItems.size(), std::size_t(4));
        QVERIFY(
            findLine(m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document(),
                     QStringLiteral("4 PlayItem(s), 1 SubPath(s) and 17 PlayListMark(s) found."))
                .isValid());

        // AppInfo.
        QCOMPARE(control<THexEdit>("heAIUO")->text(), q(hexText(mpls().UO_mask_table1, 8)));
        QCOMPARE(control<QCheckBox>("cbUO29")->isChecked(), ((mpls().UO_mask_table1 >> 29) & 1) != 0);
        QVERIFY(control<QCheckBox>("cbUO0")->isEnabled());
        QCOMPARE(control<QCheckBox>("cbUO26")->toolTip(), QStringLiteral("Skip back to previous point "));
        QCOMPARE(control<QComboBox>("cbAIpbt")->currentIndex(), mpls().PlayList_playback_type - 1);

        // PlayItems and the STN table of the first one.
        QCOMPARE(grid("sgPLitem")->dataRows(), 4);
        QCOMPARE(grid("sgPLitem")->model()->headerData(5, Qt::Horizontal).toString(),
                 QStringLiteral("length"));
        const TPlayItem& first = list.PlayItems[0];
        QCOMPARE(rowTexts(grid("sgPLitem"), 0).mid(0, 5),
                 (QStringList{"000", q(first.Clip_Information_file_name), "M2TS",
                              q(timeText45(first.IN_time)), q(timeText45(first.OUT_time))}));
        QCOMPARE(page()->selectedPlayItem(), 0);
        QVERIFY(grid("sgPIangles")->isHidden());
        QCOMPARE(cell(grid("sgSTN"), 0, 2), QStringLiteral("5"));
        grid("sgSTN")->setCurrentCell(0, 2);
        QCOMPARE(grid("sgStreamEntry")->dataRows(), 5);
        QCOMPARE(cell(grid("sgStreamEntry"), 0, 1), QStringLiteral("PlayItem"));
        QCOMPARE(cell(grid("sgStreamEntry"), 0, 2),
                 q(hexText(first.STN.PG[0].ref_to_stream_PID_of_mainClip, 4)));
        QVERIFY(!control<QComboBox>("coLang")->isHidden());
        QVERIFY(control<THexEdit>("heSubPID")->isHidden());
        QCOMPARE(control<QComboBox>("coLang")->currentText(), q(first.STN.PG[0].language_code));

        // The IG-menu SubPath.
        QCOMPARE(grid("sgSubPath")->dataRows(), 1);
        QCOMPARE(cell(grid("sgSubPath"), 0, 1), QStringLiteral("IG menu"));
        QCOMPARE(control<QComboBox>("cbSubPathType")->currentIndex(), 3);
        QVERIFY(control<QComboBox>("cbSubPathType")->isEnabled());
        QVERIFY(!control<QComboBox>("cbSPrepeat")->isEnabled());
        QVERIFY(control<QToolButton>("bbSPdel")->isEnabled());
        QCOMPARE(grid("sgSubPlayItem")->dataRows(), int(list.SubPaths[0].SubPlayItems.size()));

        // Marks.
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 17);
        QCOMPARE(cell(grid("sgPlayListMark"), 0, 1), QStringLiteral("entry-mark"));
        QVERIFY(control<TIntEdit>("iePLMhour")->isEnabled());
        QCOMPARE(control<QLabel>("lMExtDat")->text(), QStringLiteral("no ExtensionData()"));

        // Without SubPaths the SubPath pickers are off; inserting stays possible.
        read("00000");
        QCOMPARE(grid("sgSubPath")->dataRows(), 0);
        QCOMPARE(rowTexts(grid("sgSubPath"), 0), (QStringList{"", "", "", ""}));
        QVERIFY(!control<QComboBox>("cbSubPathType")->isEnabled());
        QCOMPARE(control<QComboBox>("cbSubPathType")->currentIndex(), -1);
        QVERIFY(control<QToolButton>("bbSPins")->isEnabled());
        QVERIFY(!control<QToolButton>("bbSPdel")->isEnabled());

        // A version 0400 playlist is refused; the one shown stays.
        chooseText(control<QComboBox>("cbPlaylist"), QStringLiteral("00400"));
        control<QPushButton>("bReadPL")->click();
        QVERIFY(logText().contains(QStringLiteral("Invalid format: 00400.mpls")));
        QCOMPARE(page()->loadedName(), std::string("00000"));
        QCOMPARE(grid("sgPLitem")->dataRows(), 2);
        QVERIFY(!page()->canSave());
    }

    // A UHD playlist: its HEVC entry shows the UHD attributes by name and they are edited in place.
    void uhdVideoEntryShowsAndEditsItsAttributes() {
        read("00300");
        page()->selectPlayItem(0);
        grid("sgSTN")->setCurrentCell(0, 0);
        page()->selectEntry(0);
        QCOMPARE(cell(grid("sgStreamEntry"), 0, 6), QStringLiteral("HEVC, 2160p, 23.976, HDR10, BT.2020"));
        QCOMPARE(control<QComboBox>("coVideo")->currentText(), QStringLiteral("HEVC"));
        QCOMPARE(control<QComboBox>("coResol")->currentText(), QStringLiteral("2160p"));
        auto* range = control<QComboBox>("coDynRange");
        auto* space = control<QComboBox>("coColSpace");
        auto* plus = control<QCheckBox>("cxHDRplus");
        QVERIFY(range && space && plus);
        QVERIFY(!range->isHidden());
        QCOMPARE(range->currentText(), QStringLiteral("HDR10"));
        const int dolby = range->findText(QStringLiteral("Dolby Vision"));
        range->setCurrentIndex(dolby);
        emit range->activated(dolby);
        const int bt709 = space->findText(QStringLiteral("BT.709"));
        space->setCurrentIndex(bt709);
        emit space->activated(bt709);
        plus->click();
        const TStreamEntry& video = mpls().PlayList.PlayItems[0].STN.video[0];
        QCOMPARE(video.dynamic_range_type, 2);
        QCOMPARE(video.color_space, 1);
        QCOMPARE(video.HDR_plus_flag, 1);
        QCOMPARE(cell(grid("sgStreamEntry"), 0, 6),
                 QStringLiteral("HEVC, 2160p, 23.976, Dolby Vision, BT.709, HDR10+ flag"));
        QCOMPARE(grid("sgSTN")->columnCount(), 8);
    }

    void autoReadOnPageChangeKeepsEdits() {
        chooseText(control<QComboBox>("cbPlaylist"), QStringLiteral("00006"));
        m_window->PageControl->setCurrentWidget(page());
        QCOMPARE(page()->loadedName(), std::string("00006"));
        QVERIFY(m_window->bSave->isEnabled());
        QCOMPARE(m_window->bSave->toolTip(), QStringLiteral("Save 00006.mpls"));

        // Leaving and coming back keeps the playlist in memory with its edits.
        mpls().playback_count = 7;
        m_window->PageControl->setCurrentIndex(0);
        m_window->PageControl->setCurrentWidget(page());
        QCOMPARE(mpls().playback_count, 7);

        // Choosing another name: Save is off until that one is read.
        chooseText(control<QComboBox>("cbPlaylist"), QStringLiteral("00000"));
        QVERIFY(!m_window->bSave->isEnabled());
        QCOMPARE(m_window->bSave->toolTip(), QStringLiteral("Save 00000.mpls"));
        page()->cbPlaylistChange();
        QCOMPARE(page()->loadedName(), std::string("00000"));
        QVERIFY(m_window->bSave->isEnabled());
        mpls().playback_count = 9;
        page()->cbPlaylistChange();
        QCOMPARE(mpls().playback_count, 9);
    }

    void audioEntryInsertAndDelete() {
        read("00006");
        const TMPLS before = mpls();
        page()->selectPlayItem(1);
        grid("sgSTN")->setCurrentCell(0, 1);
        QCOMPARE(grid("sgStreamEntry")->dataRows(), 4);
        QVERIFY(control<QToolButton>("bbInsSTN")->isEnabled());
        QVERIFY(control<QToolButton>("bbDelSTN")->isEnabled());
        page()->selectEntry(1);

        control<QToolButton>("bbInsSTN")->click();
        const TPlayItem& item = mpls().PlayList.PlayItems[1];
        QCOMPARE(item.STN.audio.size(), std::size_t(5));
        QCOMPARE(cell(grid("sgSTN"), 0, 1), QStringLiteral("5"));
        QCOMPARE(grid("sgStreamEntry")->dataRows(), 5);
        QCOMPARE(page()->selectedEntry(), 2);
        QCOMPARE(rowTexts(grid("sgStreamEntry"), 2),
                 (QStringList{"003", "PlayItem", "1100", "", "", "", "DD, Multi-ch., 48 kHz, eng"}));
        QCOMPARE(item.STN.STN_length, before.PlayList.PlayItems[1].STN.STN_length + 16);
        QCOMPARE(item.PlayItem_length, before.PlayList.PlayItems[1].PlayItem_length + 16);
        QCOMPARE(mpls().PlayList.PlayList_length, before.PlayList.PlayList_length + 16);
        QCOMPARE(mpls().PlayListMark_start_address, before.PlayListMark_start_address + 16);
        // Its editors lie over its row.
        QVERIFY(!control<QComboBox>("coAudio")->isHidden());
        QCOMPARE(control<QComboBox>("coAudio")->currentText(), QStringLiteral("DD"));
        QCOMPARE(control<THexEdit>("heMainPID")->text(), QStringLiteral("1100"));
        QCOMPARE(control<QComboBox>("coAudio")->geometry().top(),
                 grid("sgStreamEntry")->rowViewportPosition(2));

        // The editors change the entry and its row.
        const int french = control<QComboBox>("coLang")->findText(QStringLiteral("fra"));
        control<QComboBox>("coLang")->setCurrentIndex(french);
        emit control<QComboBox>("coLang")->activated(french);
        control<THexEdit>("heMainPID")->setText(QStringLiteral("1102"));
        emit control<THexEdit>("heMainPID")->editingFinished();
        QCOMPARE(item.STN.audio[2].language_code, std::string("fra"));
        QCOMPARE(item.STN.audio[2].ref_to_stream_PID_of_mainClip, 0x1102);
        QCOMPARE(cell(grid("sgStreamEntry"), 2, 2), QStringLiteral("1102"));
        QVERIFY(cell(grid("sgStreamEntry"), 2, 6).endsWith(QStringLiteral(", fra")));
        QCOMPARE(page()->selectedEntry(), 2);

        // Del removes it again; the sizes come back.
        QTest::keyClick(grid("sgStreamEntry"), Qt::Key_Delete);
        QCOMPARE(grid("sgStreamEntry")->dataRows(), 4);
        QCOMPARE(page()->selectedEntry(), 1);
        QCOMPARE(mpls().PlayList.PlayList_length, before.PlayList.PlayList_length);
        QCOMPARE(mpls().PlayList.PlayItems[1].STN.audio, before.PlayList.PlayItems[1].STN.audio);

        // Primary video offers neither button.
        grid("sgSTN")->setCurrentCell(0, 0);
        QVERIFY(!control<QToolButton>("bbInsSTN")->isEnabled());
        QVERIFY(!control<QToolButton>("bbDelSTN")->isEnabled());
        QVERIFY(!control<QComboBox>("coVideo")->isHidden());
    }

    void uoBoxesAndMaskFields() {
        read("00000");
        const std::uint32_t mask = mpls().UO_mask_table1;
        QCheckBox* box = control<QCheckBox>("cbUO29");
        const bool was = box->isChecked();
        box->click();
        QCOMPARE(box->isChecked(), !was);
        QCOMPARE(mpls().UO_mask_table1, mask ^ (1U << 29));
        QCOMPARE(control<THexEdit>("heAIUO")->text(), q(hexText(mask ^ (1U << 29), 8)));

        // Typing a mask sets the boxes.
        control<THexEdit>("heAIUO")->selectAll();
        QTest::keyClicks(control<THexEdit>("heAIUO"), QStringLiteral("80000001"));
        QCOMPARE(mpls().UO_mask_table1, 0x80000001u);
        QVERIFY(control<QCheckBox>("cbUO31")->isChecked());
        QVERIFY(control<QCheckBox>("cbUO0")->isChecked());
        QVERIFY(!control<QCheckBox>("cbUO29")->isChecked());

        // The second word keeps only its bit 30.
        control<THexEdit>("heAIUO2")->setFocus();
        control<THexEdit>("heAIUO2")->selectAll();
        QTest::keyClicks(control<THexEdit>("heAIUO2"), QStringLiteral("40000001"));
        QTest::keyClick(control<THexEdit>("heAIUO2"), Qt::Key_Return);
        QCOMPARE(control<THexEdit>("heAIUO2")->text(), QStringLiteral("40000000"));
        QCOMPARE(mpls().UO_mask_table2, 0x40000000u);
        QVERIFY(control<QCheckBox>("cbUO2_30")->isChecked());
        control<QCheckBox>("cbUO2_30")->click();
        QCOMPARE(mpls().UO_mask_table2, 0u);
        QCOMPARE(control<THexEdit>("heAIUO2")->text(), QStringLiteral("00000000"));
    }

    void inTimeCascadeAsksAndShifts() {
        read("00002");
        const TMPLS before = mpls();
        QStringList asked;
        QList<bool> answers{true, false, true};
        page()->askYesNo = [&](const QString& question) {
            asked << question;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        // Read only: a double click opens no editor.
        grid("sgPLitem")->setCurrentCell(0, 3);
        QTest::mouseDClick(grid("sgPLitem")->viewport(), Qt::LeftButton, {},
                           cellRect(grid("sgPLitem"), 0, 3).center());
        QVERIFY(!grid("sgPLitem")->indexWidget(grid("sgPLitem")->model()->index(0, 3)));

        // Edit mode from the grid's pop-up menu.
        emit grid("sgPLitem")->customContextMenuRequested(QPoint(4, 4));
        QVERIFY(control<QMenu>("PopupMenu")->isVisible());
        control<QMenu>("PopupMenu")->actions().at(0)->trigger();
        control<QMenu>("PopupMenu")->hide();
        QVERIFY(grid("sgPLitem")->editable());
        QVERIFY(!grid("sgSubPlayItem")->editable());
        page()->selectMark(5);
        const TPlayItem& old = before.PlayList.PlayItems[0];
        const QString typed = q(timeText45(old.IN_time + 45000));
        const std::uint32_t newIn = *parseTimeText(typed.toStdString());
        const std::uint32_t shift = newIn - old.IN_time;
        typeIntoCell(grid("sgPLitem"), 0, 3, typed);
        QCOMPARE(asked, (QStringList{q(std::string(AskUpdateOut)), q(std::string(AskUpdateSubPlayItems)),
                                     q(std::string(AskUpdateMarks))}));
        const TPlayItem& item = mpls().PlayList.PlayItems[0];
        QCOMPARE(item.IN_time, newIn);
        QCOMPARE(item.OUT_time, old.OUT_time + shift);
        QCOMPARE(cell(grid("sgPLitem"), 0, 3), typed);
        QCOMPARE(cell(grid("sgPLitem"), 0, 4), q(timeText45(item.OUT_time)));
        QCOMPARE(mpls().PlayList.SubPaths, before.PlayList.SubPaths);
        QCOMPARE(mpls().PlayListMark.marks[5].mark_time_stamp,
                 before.PlayListMark.marks[5].mark_time_stamp + shift);
        QCOMPARE(cell(grid("sgPlayListMark"), 5, 3),
                 q(timeText45(mpls().PlayListMark.marks[5].mark_time_stamp)));
        // The editors of the selected mark follow it; a field typed in then keeps the new time.
        const MarkTime shifted = markTime(mpls().PlayListMark.marks[5].mark_time_stamp);
        QCOMPARE(control<TIntEdit>("iePLMsec")->value(), int(shifted.seconds));
        QCOMPARE(control<TIntEdit>("iePLMmin")->value(), int(shifted.minutes));
        control<TIntEdit>("iePLMms")->setFocus();
        control<TIntEdit>("iePLMms")->selectAll();
        QTest::keyClicks(control<TIntEdit>("iePLMms"), QStringLiteral("7"));
        QTest::keyClick(control<TIntEdit>("iePLMms"), Qt::Key_Return);
        QCOMPARE(mpls().PlayListMark.marks[5].mark_time_stamp,
                 markTimeStamp({shifted.hours, shifted.minutes, shifted.seconds, 7}));
        mpls().PlayListMark.marks[5].mark_time_stamp = before.PlayListMark.marks[5].mark_time_stamp + shift;

        // All No: only the IN time and the length change.
        asked.clear();
        const TMPLS middle = mpls();
        typeIntoCell(grid("sgPLitem"), 0, 3, q(timeText45(old.IN_time)));
        QCOMPARE(asked.size(), 3);
        QCOMPARE(item.OUT_time, middle.PlayList.PlayItems[0].OUT_time);
        QCOMPARE(cell(grid("sgPLitem"), 0, 5), q(timeText45(item.OUT_time - item.IN_time)));
        QCOMPARE(mpls().PlayListMark.marks, middle.PlayListMark.marks);

        // A text without the time layout changes nothing and asks nothing.
        asked.clear();
        typeIntoCell(grid("sgPLitem"), 1, 3, QStringLiteral("12:3"), false);
        QVERIFY(asked.isEmpty());
        QCOMPARE(mpls().PlayList.PlayItems[1].IN_time, before.PlayList.PlayItems[1].IN_time);
        QCOMPARE(cell(grid("sgPLitem"), 1, 3), q(timeText45(before.PlayList.PlayItems[1].IN_time)));

        // The UO2 column keeps bit 30 only.
        typeIntoCell(grid("sgPLitem"), 1, 7, QStringLiteral("40000001"));
        QCOMPARE(mpls().PlayList.PlayItems[1].UO_mask_table2, 0x40000000u);
        QCOMPARE(cell(grid("sgPLitem"), 1, 7), QStringLiteral("40000000"));
    }

    void subPathInsertTypeAndRepeat() {
        read("00000");
        control<QToolButton>("bbSPins")->click();
        QCOMPARE(grid("sgSubPath")->dataRows(), 1);
        QCOMPARE(rowTexts(grid("sgSubPath"), 0), (QStringList{"000", "IG menu", "No", "1"}));
        QVERIFY(control<QComboBox>("cbSubPathType")->isEnabled());
        QVERIFY(control<QToolButton>("bbSPdel")->isEnabled());
        QCOMPARE(cell(grid("sgSubPlayItem"), 0, 1),
                 q(mpls().PlayList.PlayItems[0].Clip_Information_file_name));

        control<QComboBox>("cbSubPathType")->setCurrentIndex(2);
        emit control<QComboBox>("cbSubPathType")->activated(2);
        QVERIFY(control<QComboBox>("cbSPrepeat")->isEnabled());
        control<QComboBox>("cbSPrepeat")->setCurrentIndex(1);
        emit control<QComboBox>("cbSPrepeat")->activated(1);
        QCOMPARE(cell(grid("sgSubPath"), 0, 2), QStringLiteral("Yes"));
        QCOMPARE(mpls().PlayList.SubPaths[0].SubPath_flags, 1);
        control<QComboBox>("cbSubPathType")->setCurrentIndex(3);
        emit control<QComboBox>("cbSubPathType")->activated(3);
        QCOMPARE(cell(grid("sgSubPath"), 0, 2), QStringLiteral("No"));
        QCOMPARE(control<QComboBox>("cbSPrepeat")->currentIndex(), 0);
        QVERIFY(!control<QComboBox>("cbSPrepeat")->isEnabled());

        // A SubPlayItem cell in edit mode: "conn" 4 becomes 1, 6 stays.
        page()->setGridEditable(grid("sgSubPlayItem"), true);
        typeIntoCell(grid("sgSubPlayItem"), 0, 3, QStringLiteral("4"));
        QCOMPARE(cell(grid("sgSubPlayItem"), 0, 3), QStringLiteral("1"));
        typeIntoCell(grid("sgSubPlayItem"), 0, 3, QStringLiteral("6"));
        QCOMPARE(mpls().PlayList.SubPaths[0].SubPlayItems[0].SP_connection_condition, 6);

        QTest::keyClick(grid("sgSubPath"), Qt::Key_Delete);
        QCOMPARE(grid("sgSubPath")->dataRows(), 0);
        QVERIFY(!control<QToolButton>("bbSPdel")->isEnabled());
        QVERIFY(!control<QComboBox>("cbSubPathType")->isEnabled());
    }

    void markInsertDeleteAndEditors() {
        read("00000");
        const std::uint32_t length = mpls().PlayListMark.PlayListMark_length;
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 3);
        page()->selectMark(1);
        control<QToolButton>("bbPLMins")->click();
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 4);
        QCOMPARE(page()->selectedMark(), 2);
        // The new mark starts at the selected PlayItem's IN time, not at 0.
        const std::uint32_t in = mpls().PlayList.PlayItems[0].IN_time;
        QVERIFY(in != 0);
        QCOMPARE(mpls().PlayListMark.marks[2].mark_time_stamp, in);
        QCOMPARE(rowTexts(grid("sgPlayListMark"), 2),
                 (QStringList{"002", "entry-mark", "000", q(timeText45(in)), "FFFF", "0"}));
        QCOMPARE(cell(grid("sgPlayListMark"), 3, 0), QStringLiteral("003"));
        QCOMPARE(control<TIntEdit>("iePLMms")->text(),
                 QStringLiteral("%1").arg(markTime(in).milliseconds, 3, 10, QLatin1Char('0')));
        QCOMPARE(mpls().PlayListMark.PlayListMark_length, length + 14);

        // The time editors: the hour at once, the others when left, each clamped.
        control<TIntEdit>("iePLMhour")->selectAll();
        QTest::keyClicks(control<TIntEdit>("iePLMhour"), QStringLiteral("1"));
        control<TIntEdit>("iePLMmin")->setFocus();
        control<TIntEdit>("iePLMmin")->selectAll();
        QTest::keyClicks(control<TIntEdit>("iePLMmin"), QStringLiteral("75"));
        QTest::keyClick(control<TIntEdit>("iePLMmin"), Qt::Key_Return);
        QCOMPARE(control<TIntEdit>("iePLMmin")->text(), QStringLiteral("59"));
        const MarkTime start = markTime(in);
        QCOMPARE(mpls().PlayListMark.marks[2].mark_time_stamp,
                 markTimeStamp({1, 59, start.seconds, start.milliseconds}));
        QCOMPARE(cell(grid("sgPlayListMark"), 2, 3), QStringLiteral("01:59:%1.%2")
                                                         .arg(start.seconds, 2, 10, QLatin1Char('0'))
                                                         .arg(start.milliseconds, 3, 10, QLatin1Char('0')));

        // Every mark selected and deleted: grid and editors off, insert still on.
        QTest::keyClick(grid("sgPlayListMark"), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(grid("sgPlayListMark")->selectedRange(), std::make_pair(0, 3));
        control<QToolButton>("bbPLMdel")->click();
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 0);
        QCOMPARE(mpls().PlayListMark.PlayListMark_length, length - 3 * 14);
        QVERIFY(!grid("sgPlayListMark")->isEnabled());
        QVERIFY(!control<TIntEdit>("iePLMhour")->isEnabled());
        QVERIFY(!control<QToolButton>("bbPLMdel")->isEnabled());
        QVERIFY(control<QToolButton>("bbPLMins")->isEnabled());
        control<QToolButton>("bbPLMins")->click();
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 1);
        QCOMPARE(page()->selectedMark(), 0);
        QVERIFY(control<TIntEdit>("iePLMhour")->isEnabled());
        QVERIFY(control<QComboBox>("cmPLMtype")->isEnabled());
    }

    void chapterFilesOutAndIn() {
        read("00000");
        m_window->session().options.ChapterFormat = 0;
        QString proposed;
        const QString out = m_root->filePath(QStringLiteral("chapters"));
        page()->chooseChapterFile = [&](bool save, const QString& title, const QString& start,
                                        const QString&) {
            proposed = title + QLatin1Char('|') + QFileInfo(start).fileName();
            return save ? out : out + QStringLiteral(".txt");
        };
        control<QToolButton>("bbSaveChap")->click();
        QCOMPARE(proposed, QStringLiteral("Save chapter file|chapter_00000_PTS.txt"));
        const QByteArray saved = fileBytes(out + QStringLiteral(".txt"));
        QCOMPARE(saved.count("\r\n"), 3);
        QVERIFY(saved.startsWith("0\r\n"));

        // Two PTS points replace the three marks; the PlayItem search is logged.
        QFile file(out + QStringLiteral(".txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("0\r\n45000\r\n");
        file.close();
        control<QToolButton>("bbLoadChap")->click();
        QCOMPARE(proposed, QStringLiteral("Open chapter file|chapter_00000_PTS.txt"));
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 2);
        const TPlayItem& first = mpls().PlayList.PlayItems[0];
        QCOMPARE(mpls().PlayListMark.marks[1].mark_time_stamp, first.IN_time + 45000);
        QCOMPARE(cell(grid("sgPlayListMark"), 1, 3), q(timeText45(first.IN_time + 45000)));
        QVERIFY(logText().contains(QStringLiteral("0, 00:00:00.000")));

        // A cancelled dialog changes nothing.
        page()->chooseChapterFile = [](bool, const QString&, const QString&, const QString&) {
            return QString();
        };
        control<QToolButton>("bbLoadChap")->click();
        QCOMPARE(grid("sgPlayListMark")->dataRows(), 2);

        // Matroska XML: an .xml file, read back to the same marks.
        m_window->session().options.ChapterFormat = 4;
        const auto marks = mpls().PlayListMark.marks;
        QString filter;
        page()->chooseChapterFile = [&](bool save, const QString&, const QString& start, const QString& f) {
            proposed = QFileInfo(start).fileName();
            filter = f;
            return save ? out : out + QStringLiteral(".xml");
        };
        control<QToolButton>("bbSaveChap")->click();
        QCOMPARE(proposed, QStringLiteral("chapter_00000_matroska.xml"));
        QCOMPARE(filter, QStringLiteral("XML (*.xml)"));
        QVERIFY(fileBytes(out + QStringLiteral(".xml")).contains("<ChapterTimeStart>00:00:01.000000000<"));
        mpls().PlayListMark.marks[1].mark_time_stamp += 90000;
        control<QToolButton>("bbLoadChap")->click();
        QVERIFY(mpls().PlayListMark.marks == marks);
    }

    void doubleClickChoosesTheClip() {
        read("00000");
        const QString clip = q(mpls().PlayList.PlayItems[0].Clip_Information_file_name);
        // Not in the folder: nothing happens.
        m_window->PageControl->setCurrentWidget(page());
        emit grid("sgPLitem")->cellDoubleClicked(0, 1);
        QCOMPARE(m_window->PageControl->currentWidget(), page());

        QFile info(m_bdmv + QStringLiteral("CLIPINF/") + clip + QStringLiteral(".clpi"));
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.close();
        m_window->bReadBDMVClick();
        read("00000");
        emit grid("sgPLitem")->cellDoubleClicked(0, 1);
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(m_window->clipInfoPage));
        QCOMPARE(child<QComboBox>(m_window->clipInfoPage, "cbClipinf")->currentText(), clip);

        // A multi-angle PlayItem shows its angles; a double click chooses an angle's clip.
        TPlayItem& item = mpls().PlayList.PlayItems[1];
        item.is_multi_angle = 1;
        item.multi_clip.number_of_angles = 2;
        item.multi_clip.angles = {{item.Clip_Information_file_name, "M2TS", 0},
                                  {clip.toStdString(), "M2TS", 1}};
        page()->selectPlayItem(1);
        QVERIFY(!grid("sgPIangles")->isHidden());
        QCOMPARE(rowTexts(grid("sgPIangles"), 1), (QStringList{"002", clip, "M2TS", "1"}));
        page()->selectPlayItem(0);
        QVERIFY(grid("sgPIangles")->isHidden());
        page()->selectPlayItem(1);
        m_window->PageControl->setCurrentWidget(page());
        child<QComboBox>(m_window->clipInfoPage, "cbClipinf")->setCurrentIndex(-1);
        emit grid("sgPIangles")->cellDoubleClicked(1, 0);
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(m_window->clipInfoPage));
        QCOMPARE(child<QComboBox>(m_window->clipInfoPage, "cbClipinf")->currentText(), clip);
    }

    void saveWritesWhatTheReaderTakesBack() {
        read("00006");
        m_window->PageControl->setCurrentWidget(page());
        const QString path = m_bdmv + QStringLiteral("PLAYLIST/00006.mpls");
        const QByteArray original = fileBytes(path);

        // Unchanged, the file comes back byte for byte.
        m_window->bSaveClick();
        QCOMPARE(fileBytes(path), original);

        page()->selectPlayItem(0);
        grid("sgSTN")->setCurrentCell(0, 1);
        control<QToolButton>("bbInsSTN")->click();
        page()->selectMark(0);
        control<QToolButton>("bbPLMins")->click();
        control<QToolButton>("bbSPins")->click();
        // ExtensionData() goes last; nothing before it moves.
        QTimer::singleShot(0, this, [this] {
            m_window->fExtDat->setBlock(twoEntryBlock());
            m_window->fExtDat->Button1->click();
        });
        control<QPushButton>("bMExtDatEdit")->click();
        QCOMPARE(control<QLabel>("lMExtDat")->text(), q(ExtDatCap(twoEntryBlock())));
        m_window->bSaveClick();
        QVERIFY(QFile::exists(path + QStringLiteral(".backup")));
        const QByteArray written = fileBytes(path);
        QCOMPARE(written.size(), original.size() + 16 + 14 + 40 + 4 + qsizetype(twoEntryBlock().length));
        const PlsReadResult back =
            readPlayList(std::vector<std::uint8_t>(written.begin(), written.end()), "00006.mpls");
        QCOMPARE(int(back.status), int(ReadStatus::Ok));
        QVERIFY(back.mpls == mpls());
        QCOMPARE(back.mpls.PlayList.PlayItems[0].STN.audio.size(), std::size_t(5));
        QCOMPARE(back.mpls.ExtensionData, twoEntryBlock());
    }
};

static RegisterGuiTest<PlaylistPageTest> registerPlaylistPageTest;

} // namespace corvane::test

#include "PlaylistPageTest.moc"
