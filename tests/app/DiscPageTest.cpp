// The Disc page over a small disc of real playlist and clip files with one planted fault:
// the check after Read, the finding's double click, and the option that turns it off.

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/DiscPage.h"
#include "app/MainWindow.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPage.h"
#include "app/QSettingsStore.h"
#include "io/FileIO.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"

namespace corvane::test {

class DiscPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    // First Playback plays playlist 00000 (two real clips, their stream files of the clips'
    // size); the Top Menu's object 1 plays it too, and at line 1 plays 00007, which is missing.
    QString makeFaultDisc() {
        const QString bdmv = m_root.filePath(QStringLiteral("FAULT/BDMV/"));
        for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "BACKUP"})
            QDir().mkpath(bdmv + QLatin1String(folder));
        QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/playlist/bdpl-disc1-00000-no-subpath.mpls"),
                    bdmv + QStringLiteral("PLAYLIST/00000.mpls"));
        for (const auto& [clip, packets] : {std::pair{"00000", 367360}, std::pair{"00001", 842720}}) {
            QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/interop-disc1/BDMV/CLIPINF/") + clip +
                            QStringLiteral(".clpi"),
                        bdmv + QStringLiteral("CLIPINF/") + clip + QStringLiteral(".clpi"));
            QFile stream(bdmv + QStringLiteral("STREAM/") + clip + QStringLiteral(".m2ts"));
            stream.open(QIODevice::WriteOnly);
            stream.resize(qint64(packets) * 192); // sparse
        }
        const TNavCommand playPL0{0x22800000, 0, 0}, playPL7{0x22800000, 7, 0};
        TMOBJ mobj;
        for (const auto& program : {std::vector{playPL0}, std::vector{playPL0, playPL7}}) {
            Tmobject object;
            object.navigation_commands = program;
            object.number_of_navigation_commands = static_cast<std::uint16_t>(program.size());
            mobj.MovieObjects.mobjs.push_back(object);
        }
        mobj.MovieObjects.number_of_mobjs = 2;
        TINDX index;
        index.Indexes.first_playback.title_number = FirstPlaybackTitleNumber;
        index.Indexes.first_playback.mobj_id_ref = 0;
        index.Indexes.top_menu.title_number = TopMenuTitleNumber;
        index.Indexes.top_menu.mobj_id_ref = 1;
        for (const QString& name :
             {QStringLiteral("MovieObject.bdmv"), QStringLiteral("BACKUP/MovieObject.bdmv")})
            writeWholeFile((bdmv + name).toStdString(), writeMovieObject(mobj));
        for (const QString& name : {QStringLiteral("index.bdmv"), QStringLiteral("BACKUP/index.bdmv")})
            writeWholeFile((bdmv + name).toStdString(), writeIndex(index));
        return QDir::toNativeSeparators(bdmv);
    }

    static void doubleClick(QTableView* table, int row, int column) {
        const QPoint at = cellRect(table, row, column).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    }
    static QTableView* findings(const MainWindow& window) {
        return child<QTableView>(window.discPage, "sgFindings");
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
    }

    void checkAfterReadShowsTheFaultAndOpensItsRecord() {
        MainWindow window;
        window.resize(1366, 740);
        window.show();
        window.bdmvPage->setFolder(makeFaultDisc().toStdString());
        window.bReadBDMVClick();
        QTableView* list = findings(window);
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(rowTexts(list, 0),
                 (QStringList{"error", "playlist-missing", "MovieObject.bdmv", "object 1, line 1",
                              "object 1 plays playlist 00007, which is missing."}));
        QVERIFY(!list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(window.StatusBar->panelText(1).trimmed(),
                 QStringLiteral("Disc check: 1 errors, 0 warnings"));
        auto* playlists = child<QTableView>(window.discPage, "sgPlaylists");
        QCOMPARE(cellText(playlists, 0, 1), QStringLiteral("00:00:46.045"));

        window.PageControl->setCurrentWidget(window.discPage);
        doubleClick(list, 0, 3);
        QCOMPARE(window.PageControl->currentWidget(), window.bdmvPage);
        QCOMPARE(window.bdmvPage->selectedObject(), 1);
        QCOMPARE(window.bdmvPage->selectedLine(), 1);

        // A stream row of the report: the playlist's PlayItem 0 with its audio entry.
        window.PageControl->setCurrentWidget(window.discPage);
        auto* streams = child<QTableView>(window.discPage, "sgStreams");
        QCOMPARE(cellText(streams, 1, 0), QStringLiteral("audio 1"));
        doubleClick(streams, 1, 0);
        QCOMPARE(window.PageControl->currentWidget(), window.playlistPage);
        QCOMPARE(window.playlistPage->loadedName(), std::string("00000"));
        QCOMPARE(window.playlistPage->selectedPlayItem(), 0);
        QCOMPARE(window.playlistPage->selectedStnList(), 1);
        QCOMPARE(window.playlistPage->selectedEntry(), 0);
    }

    void optionOffMeansNoCheckAfterRead() {
        MainWindow window;
        window.show();
        auto* box = child<QCheckBox>(window.optionsPage, "cbCheckDisc");
        QVERIFY(box->isChecked());
        box->setChecked(false);
        window.bdmvPage->setFolder(makeFaultDisc().toStdString());
        window.bReadBDMVClick();
        QCOMPARE(findings(window)->model()->rowCount(), 0);
        QVERIFY(!window.discPage->checked());
        QVERIFY(!window.StatusBar->panelText(1).trimmed().startsWith(QStringLiteral("Disc check")));
        window.PageControl->setCurrentWidget(window.discPage);
        QTest::mouseClick(child<QPushButton>(window.discPage, "bCheckDisc"), Qt::LeftButton);
        QCOMPARE(findings(window)->model()->rowCount(), 1);
        window.close();
        QCOMPARE(QSettingsStore().settings().value(QStringLiteral("CheckAfterRead")).toInt(), 0);
    }
};

static RegisterGuiTest<DiscPageTest> registration;

} // namespace corvane::test

#include "DiscPageTest.moc"
