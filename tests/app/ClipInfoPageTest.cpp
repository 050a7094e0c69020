// The CLIPINF page over real clip information files and a real transport stream:
// the grids and labels, the stream buttons and double clicks, saving a PID into the
// work folder (with Cancel), and the Find button on the CLIPINF and PLAYLIST pages.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ClipInfoPage.h"
#include "app/MainWindow.h"
#include "app/MessageLog.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "app/StatusPage.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

QString data(const char* path) {
    return QStringLiteral(CORVANE_TEST_DATA_DIR "/") + QLatin1String(path);
}

} // namespace

class ClipInfoPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_bdmv;
    QString m_work;
    std::unique_ptr<MainWindow> m_window;

    ClipInfoPage* page() { return m_window->clipInfoPage; }
    // The page's controls by objectName.
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    bool logHas(const QString& line) {
        return findLine(m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document(),
                        line)
            .isValid();
    }
    void choose(const QString& clip) { chooseText(control<QComboBox>("cbClipinf"), clip); }
    void read(const QString& clip) {
        choose(clip);
        QTest::mouseClick(control<QPushButton>("bReadCI"), Qt::LeftButton);
    }
    void clickRow(PlaylistGrid* grid, int row) {
        const QRect cell = cellRect(grid, row, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void doubleClickRow(PlaylistGrid* grid, int row) {
        clickRow(grid, row);
        const QRect cell = cellRect(grid, row, 1);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QString output(const char* name) const { return m_work + QLatin1String(name); }

private slots:
    // A disc of real files: two playlists (00002: PlayItems 00007…00010 and SubPlayItem 00004;
    // 00006: PlayItems 00006…00008 and SubPlayItem 00004), five clips, two stream files.
    void init() {
        {
            QSettingsStore store;
            store.settings().clear();
            store.sync();
        }
        static int disc = 0;
        m_bdmv = copySampleDisc(m_root.filePath(QStringLiteral("disc%1").arg(++disc)));
        const std::pair<const char*, const char*> files[] = {
            {"playlist/bdpl-disc1-00002-subpath-17marks.mpls", "PLAYLIST/00002.mpls"},
            {"playlist/bdpl-disc6-00002-4audio-4pg.mpls", "PLAYLIST/00006.mpls"},
            {"clipinf/bdj-sdk-00000-extdata.clpi", "CLIPINF/00000.clpi"},
            {"clipinf/bdpl-disc1-00003-ig-menu.clpi", "CLIPINF/00004.clpi"},
            {"clipinf/bdpl-disc1-00007-atc-delta.clpi", "CLIPINF/00007.clpi"},
            {"clipinf/bdpl-disc17-00007-slideshow.clpi", "CLIPINF/00008.clpi"},
            {"stream/ffmpeg-mpeg2-ac3.m2ts", "STREAM/00000.m2ts"},
            {"stream/ffmpeg-mpeg2-ac3.m2ts", "STREAM/00004.m2ts"},
        };
        for (const auto& [from, to] : files) QVERIFY(QFile::copy(data(from), m_bdmv + QLatin1String(to)));
        QFile bad(m_bdmv + QStringLiteral("CLIPINF/00009.clpi"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray("HDMV0400") + QByteArray(60, '\0'));
        bad.close();
        m_work = m_root.filePath(QStringLiteral("work%1/").arg(disc));
        QDir().mkpath(m_work);

        m_window = std::make_unique<MainWindow>();
        m_window->show();
        m_window->bdmvPage->setFolder(m_bdmv.toStdString());
        m_window->bReadBDMVClick();
        child<QLineEdit>(m_window->optionsPage, "eWorkDir")->setText(m_work);
        QCOMPARE(control<QComboBox>("cbClipinf")->count(), 5);
    }
    void cleanup() { m_window.reset(); }

    void showsEveryPartOfARealClip() {
        // Auto Read: changing to the page reads the chosen clip.
        m_window->PageControl->setCurrentWidget(page());
        QCOMPARE(page()->loadedName(), std::string("00000"));
        QVERIFY(m_window->bSave->isVisible());
        QVERIFY(!m_window->bSave->isEnabled());

        read(QStringLiteral("00007"));
        QCOMPARE(control<QComboBox>("cbApplitype")->currentText(), QStringLiteral("Main TS for a Movie"));
        QVERIFY(control<QCheckBox>("cbisATCdelta")->isChecked());
        QCOMPARE(control<TIntEdit>("ieRecRate")->text(), QStringLiteral("6000000"));
        QCOMPARE(control<TIntEdit>("iePackets")->text(), QStringLiteral("43086400"));
        QVERIFY(control<QWidget>("pATCdelta")->isVisible());
        QVERIFY(grid("sgATCdelta")->isEnabled());
        QCOMPARE(rowTexts(grid("sgATCdelta"), 0), (QStringList{"0", "01563777", "00008", "M2TS"}));
        QVERIFY(!control<QWidget>("pFontfiles")->isVisible());
        QCOMPARE(grid("sgSequence")->dataRows(), 1);
        QVERIFY(control<QWidget>("pSTCseq")->isVisible());
        QCOMPARE(grid("sgCI")->dataRows(), 7);
        QCOMPARE(rowTexts(grid("sgCI"), 0), (QStringList{"1", "1011", "AVC", "1080p, 23.976, 16:9"}));
        QCOMPARE(rowTexts(grid("sgCI"), 1), (QStringList{"2", "1100", "LPCM", "Stereo, 48 kHz, jpn"}));
        QCOMPARE(rowTexts(grid("sgCI"), 6).mid(1), (QStringList{"1204", "PG", "zho"}));
        QVERIFY(grid("sgEPmap")->isEnabled());
        QCOMPARE(rowTexts(grid("sgEPmap"), 0), (QStringList{"0", "1011", "1", "0222", "006C1", "0000000E"}));
        QVERIFY(logHas(QStringLiteral("7 Program stream(s) found.")));
        // No stream file: the expected name in grey, and nothing to play or save.
        QCOMPARE(control<QLabel>("lStreamname")->text(), QStringLiteral("00007.m2ts"));
        QCOMPARE(control<QLabel>("lStreamsize")->text(), QStringLiteral("missing file"));
        QVERIFY(control<QLabel>("lStreamname")->palette().color(QPalette::WindowText) !=
                m_window->palette().color(QPalette::WindowText));
        QVERIFY(!control<QPushButton>("bPlay")->isEnabled());
        QVERIFY(!control<QPushButton>("bSavePES")->isEnabled());

        // An IG menu clip: its own panels, no EP map.
        read(QStringLiteral("00004"));
        QCOMPARE(control<QComboBox>("cbApplitype")->currentText(),
                 QStringLiteral("Sub TS for a Interactive Graphics menu"));
        QVERIFY(!control<QWidget>("pATCdelta")->isVisible());
        QVERIFY(!control<QCheckBox>("cbisATCdelta")->isChecked());
        QVERIFY(!grid("sgEPmap")->isEnabled());
        QCOMPARE(rowTexts(grid("sgCI"), 0), (QStringList{"1", "1400", "IG", "jpn"}));
        QCOMPARE(control<QLabel>("lStreamname")->text(), QStringLiteral("00004.m2ts"));
        QCOMPARE(control<QLabel>("lStreamsize")->text(), QStringLiteral("135,168"));
        QCOMPARE(control<QLabel>("lCIExtdat")->text(), QStringLiteral("no ExtensionData()"));

        // A file of another version: an error, the page empty, the clip in memory kept.
        read(QStringLiteral("00009"));
        QVERIFY(logHas(QStringLiteral("ERROR: Invalid format: 00009.clpi")));
        QCOMPARE(page()->loadedName(), std::string("00004"));
        QCOMPARE(page()->clpi().ClipInfo.application_type, 5);
        QVERIFY(!grid("sgCI")->isEnabled());
        QCOMPARE(grid("sgCI")->dataRows(), 0);
        QVERIFY(!control<QPushButton>("bPlay")->isEnabled());
        QVERIFY(!control<QPushButton>("bSavePES")->isEnabled());
        QVERIFY(control<QComboBox>("cbApplitype")->currentText().isEmpty());
    }

    // A clip that cannot be read after one with every panel leaves the fields where they were.
    void unreadableClipKeepsTheLayout() {
        m_window->resize(1280, 690);
        m_window->PageControl->setCurrentWidget(page());
        read(QStringLiteral("00007"));
        QCoreApplication::processEvents();
        const auto top = [this](const char* name) {
            return control<QWidget>(name)->mapTo(page(), QPoint()).y();
        };
        const int type = top("cbApplitype");
        const int rate = top("ieRecRate");
        const int sequences = top("sgSequence");
        read(QStringLiteral("00009"));
        QCoreApplication::processEvents();
        QCOMPARE(top("cbApplitype"), type);
        QCOMPARE(top("ieRecRate"), rate);
        QCOMPARE(top("sgSequence"), sequences);
    }

    void streamButtonsFollowTheRow() {
        m_window->PageControl->setCurrentWidget(page());
        QStringList opened;
        page()->openFile = [&](const QString& path) { opened << path; };
        QSignalSpy menu(page(), &ClipInfoPage::loadToMenuRequested);

        // The IG stream: "-> Menu" is enabled and a double click loads the menu.
        read(QStringLiteral("00004"));
        QVERIFY(control<QPushButton>("bPlay")->isEnabled());
        QVERIFY(control<QPushButton>("bSavePES")->isEnabled());
        QVERIFY(control<QPushButton>("bLoadToMenu")->isEnabled());
        doubleClickRow(grid("sgCI"), 0);
        QCOMPARE(menu.count(), 1);
        QCOMPARE(menu.at(0).at(0).toInt(), 0x1400);
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(control<QPushButton>("bLoadToMenu"), Qt::LeftButton);
        QCOMPARE(menu.count(), 2);

        // Another stream: no menu; a double click plays the clip's m2ts.
        read(QStringLiteral("00000"));
        clickRow(grid("sgCI"), 1);
        QVERIFY(!control<QPushButton>("bLoadToMenu")->isEnabled());
        doubleClickRow(grid("sgCI"), 0);
        QCOMPARE(menu.count(), 2);
        QCOMPARE(opened, QStringList{m_bdmv + QStringLiteral("STREAM/00000.m2ts")});
        QTest::mouseClick(control<QPushButton>("bPlay"), Qt::LeftButton);
        QCOMPARE(opened.size(), 2);

        // Without the stream file a double click does nothing.
        read(QStringLiteral("00008"));
        QVERIFY(!control<QPushButton>("bPlay")->isEnabled());
        doubleClickRow(grid("sgCI"), 0);
        QCOMPARE(opened.size(), 2);
    }

    void savePidWritesTheStreamIntoTheWorkFolder() {
        m_window->PageControl->setCurrentWidget(page());
        read(QStringLiteral("00000"));

        // The audio PID as an elementary stream: the bytes ffmpeg copies out.
        clickRow(grid("sgCI"), 1);
        QTest::mouseClick(control<QPushButton>("bSavePES"), Qt::LeftButton);
        const QString audio = output("00000_PID1100_DD_Stereo_48_kHz_.aus");
        QVERIFY2(QFileInfo::exists(audio), qPrintable(audio));
        QCOMPARE(fileBytes(audio), fileBytes(data("stream/ffmpeg-mpeg2-ac3.ac3")));
        QVERIFY(logHas(QStringLiteral("Saving ") + audio + QStringLiteral(" ...")));
        QVERIFY(logHas(QStringLiteral("69 source packets saved. (0:00:00)")));
        QVERIFY(control<QPushButton>("bSavePES")->isEnabled());
        QVERIFY(!m_window->progressBar->isVisible());
        QVERIFY(!m_window->bCancel->isEnabled());
        QVERIFY(m_window->session().reporter.ConfirmCancel);

        // The video PID, whose PES packets have no length.
        clickRow(grid("sgCI"), 0);
        QTest::mouseClick(control<QPushButton>("bSavePES"), Qt::LeftButton);
        QCOMPARE(fileBytes(output("00000_PID1011_AVC_720p_24_16_9.vis")),
                 fileBytes(data("stream/ffmpeg-mpeg2-ac3.m2v")));

        // "Save PES stream": the PES packets with their headers.
        QTest::mouseClick(child<QCheckBox>(m_window->optionsPage, "cbSavePES"), Qt::LeftButton);
        QVERIFY(m_window->session().options.SavePES);
        clickRow(grid("sgCI"), 1);
        QTest::mouseClick(control<QPushButton>("bSavePES"), Qt::LeftButton);
        const QByteArray pes = fileBytes(output("00000_PID1100_DD_Stereo_48_kHz_.PES.aus"));
        QVERIFY(pes.startsWith(QByteArray("\x00\x00\x01", 3)));
        QVERIFY(pes.size() > fileBytes(audio).size());
    }

    void savePidTakesEverySelectedStreamInOneRead() {
        m_window->PageControl->setCurrentWidget(page());
        read(QStringLiteral("00000"));
        // Ctrl+click adds the audio row to the video row.
        clickRow(grid("sgCI"), 0);
        QTest::mouseClick(grid("sgCI")->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          cellRect(grid("sgCI"), 1, 1).center());
        QTest::mouseClick(control<QPushButton>("bSavePES"), Qt::LeftButton);
        QCOMPARE(fileBytes(output("00000 1011 h264.h264")), fileBytes(data("stream/ffmpeg-mpeg2-ac3.m2v")));
        QCOMPARE(fileBytes(output("00000 1100 ac3.ac3")), fileBytes(data("stream/ffmpeg-mpeg2-ac3.ac3")));
        QVERIFY(logHas(QStringLiteral("00000 1100 ac3.ac3: 69 source packets saved.")));
        QVERIFY(control<QPushButton>("bSavePES")->isEnabled());
        QVERIFY(!page()->extracting());
    }

    void cancelStopsTheExtraction() {
        m_window->PageControl->setCurrentWidget(page());
        read(QStringLiteral("00000"));
        int asked = 0;
        m_window->confirmStop = [&] {
            ++asked;
            return true;
        };
        // Cancel is pressed while the extraction serves the window's events.
        QTimer::singleShot(0, m_window.get(), [this] {
            QVERIFY(m_window->bCancel->isEnabled());
            QVERIFY(!control<QPushButton>("bSavePES")->isEnabled());
            QVERIFY(page()->extracting());
            m_window->bCancel->click();
        });
        clickRow(grid("sgCI"), 0);
        QTest::mouseClick(control<QPushButton>("bSavePES"), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(logHas(QStringLiteral("Saving cancelled.")));
        QVERIFY(!logHas(QStringLiteral("600 source packets saved. (0:00:00)")));
        const QString video = output("00000_PID1011_AVC_720p_24_16_9.vis");
        QVERIFY(QFileInfo::exists(video));
        QVERIFY(QFileInfo(video).size() < fileBytes(data("stream/ffmpeg-mpeg2-ac3.m2v")).size());
        QVERIFY(control<QPushButton>("bSavePES")->isEnabled());
        QVERIFY(!page()->extracting());
    }

    void findOnTheClipPageListsTheReferences() {
        m_window->PageControl->setCurrentWidget(m_window->bdmvPage);
        QVERIFY(!m_window->bFind->isVisible());
        m_window->PageControl->setCurrentWidget(page());
        QVERIFY(m_window->bFind->isVisible());
        QVERIFY(!grid("sgCIRef")->isEnabled());

        choose(QStringLiteral("00007"));
        QTest::mouseClick(m_window->bFind, Qt::LeftButton);
        QVERIFY(grid("sgCIRef")->isEnabled());
        QCOMPARE(grid("sgCIRef")->dataRows(), 2);
        QCOMPARE(rowTexts(grid("sgCIRef"), 0), (QStringList{"1", "00002", "p", "00000"}));
        QCOMPARE(rowTexts(grid("sgCIRef"), 1), (QStringList{"2", "00006", "p", "00001"}));
        // The pass reads the chosen clip with Auto Read.
        QCOMPARE(page()->loadedName(), std::string("00007"));

        // Choosing another clip shows its references.
        chooseText(control<QComboBox>("cbClipinf"), QStringLiteral("00004"));
        page()->cbClipinfChange();
        QCOMPARE(rowTexts(grid("sgCIRef"), 0), (QStringList{"1", "00002", "s", "00000"}));
        QCOMPARE(rowTexts(grid("sgCIRef"), 1), (QStringList{"2", "00006", "s", "00000"}));
        choose(QStringLiteral("00000"));
        page()->cbClipinfChange();
        QVERIFY(!grid("sgCIRef")->isEnabled());
        QCOMPARE(grid("sgCIRef")->dataRows(), 0);

        // A "p" reference opens the playlist at its PlayItem.
        choose(QStringLiteral("00008"));
        page()->cbClipinfChange();
        QCOMPARE(rowTexts(grid("sgCIRef"), 1), (QStringList{"2", "00006", "p", "00002"}));
        doubleClickRow(grid("sgCIRef"), 1);
        PlaylistPage* playlists = m_window->playlistPage;
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(playlists));
        QCOMPARE(child<QComboBox>(playlists, "cbPlaylist")->currentText(), QStringLiteral("00006"));
        QCOMPARE(playlists->loadedName(), std::string("00006"));
        QCOMPARE(playlists->selectedPlayItem(), 2);

        // Item 00000 opens the playlist and leaves its PlayItem selection alone.
        m_window->PageControl->setCurrentWidget(page());
        choose(QStringLiteral("00007"));
        page()->cbClipinfChange();
        doubleClickRow(grid("sgCIRef"), 0);
        QCOMPARE(child<QComboBox>(playlists, "cbPlaylist")->currentText(), QStringLiteral("00002"));
        QCOMPARE(playlists->loadedName(), std::string("00002"));
        playlists->selectPlayItem(3);
        m_window->PageControl->setCurrentWidget(page());
        doubleClickRow(grid("sgCIRef"), 0);
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(playlists));
        QCOMPARE(playlists->selectedPlayItem(), 3);
    }

    void findOnThePlaylistPageLogsTheLines() {
        PlaylistPage* playlists = m_window->playlistPage;
        m_window->PageControl->setCurrentWidget(playlists);
        QVERIFY(m_window->bFind->isVisible());
        chooseText(child<QComboBox>(playlists, "cbPlaylist"), QStringLiteral("00002"));
        QTest::mouseClick(m_window->bFind, Qt::LeftButton);
        // The sample disc's Title 1 plays PlayList 2 from its second line (Play PL_PI).
        QVERIFY(logHas(QStringLiteral("PlayList 00002 found in:")));
        QVERIFY(logHas(QStringLiteral("Object 0002, Command line 0001")));
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(m_window->statusPage));

        // A playlist no movie object plays: said so, no line listed.
        m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->clearLog();
        m_window->PageControl->setCurrentWidget(playlists);
        chooseText(child<QComboBox>(playlists, "cbPlaylist"), QStringLiteral("00006"));
        QTest::mouseClick(m_window->bFind, Qt::LeftButton);
        QVERIFY(logHas(QStringLiteral("PlayList 00006 is played by no movie-object command.")));
        const QString log =
            m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->toPlainText();
        QVERIFY2(!log.contains(QStringLiteral("Object ")), qPrintable(log));
    }

    void playlistDoubleClickOpensTheClip() {
        PlaylistPage* playlists = m_window->playlistPage;
        m_window->PageControl->setCurrentWidget(playlists);
        chooseText(child<QComboBox>(playlists, "cbPlaylist"), QStringLiteral("00002"));
        playlists->bReadPLClick();

        // Auto Read: the PlayItem's clip is read on the CLIPINF page.
        emit child<PlaylistGrid>(playlists, "sgPLitem")->cellDoubleClicked(1, 1);
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(page()));
        QCOMPARE(control<QComboBox>("cbClipinf")->currentText(), QStringLiteral("00008"));
        QCOMPARE(page()->loadedName(), std::string("00008"));
        QCOMPARE(control<QComboBox>("cbApplitype")->currentText(),
                 QStringLiteral("Main TS for a Browsable slide show"));

        // Without Auto Read the clip is only chosen.
        m_window->session().options.AutoRead = false;
        m_window->PageControl->setCurrentWidget(playlists);
        emit child<PlaylistGrid>(playlists, "sgPLitem")->cellDoubleClicked(0, 1);
        QCOMPARE(control<QComboBox>("cbClipinf")->currentText(), QStringLiteral("00007"));
        QCOMPARE(page()->loadedName(), std::string("00008"));
        QVERIFY(page()->needsRead());
    }
};

static RegisterGuiTest<ClipInfoPageTest> registerClipInfoPageTest;

} // namespace corvane::test

#include "ClipInfoPageTest.moc"
