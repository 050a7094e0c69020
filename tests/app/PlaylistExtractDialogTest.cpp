// Extract… on the PLAYLIST page over the three-clip playlist disc: the checked streams
// come out in one run into the chosen folder, and a plan the core refuses leaves nothing.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/MainWindow.h"
#include "app/MessageLog.h"
#include "app/PageTabs.h"
#include "app/PlaylistExtractDialog.h"
#include "app/PlaylistPage.h"
#include "app/QSettingsStore.h"
#include "app/StatusPage.h"

namespace corvane::test {

class PlaylistExtractDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;

    PlaylistPage* page() { return m_window->playlistPage; }
    bool logHas(const QString& line) {
        return findLine(m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document(),
                        line)
            .isValid();
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
        m_root = std::make_unique<QTemporaryDir>();
        // The navigation files of the small disc with the playlist and clips of the playlist disc.
        const QString bdmv = copySampleDisc(m_root->path());
        copySampleDisc(m_root->path(), QStringLiteral(CORVANE_TEST_DATA_DIR "/playlist-disc/BDMV"));
        m_window = std::make_unique<MainWindow>();
        m_window->bdmvPage->setFolder(bdmv.toStdString());
        m_window->bReadBDMVClick();
        m_window->PageControl->setCurrentWidget(page());
        QCOMPARE(page()->loadedName(), std::string("00800"));
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void extractsTheCheckedStreamsIntoTheFolder() {
        auto* extract = child<QPushButton>(page(), "bExtractPL");
        QVERIFY(extract->isEnabled());
        const QString out = m_root->filePath(QStringLiteral("out"));
        bool angleOffered = true;
        bool allChecked = false;
        page()->runExtractDialog = [&](PlaylistExtractDialog& dialog) {
            angleOffered = child<QComboBox>(&dialog, "cbExtractAngle") != nullptr;
            auto* video = child<QCheckBox>(&dialog, "cxStream_video:1");
            auto* audio = child<QCheckBox>(&dialog, "cxStream_audio:1");
            if (!video || !audio) return false;
            allChecked = video->isChecked() && audio->isChecked();
            video->click();
            child<QLineEdit>(&dialog, "eExtractDir")->setText(out);
            return child<QPushButton>(&dialog, "bExtractOK")->isEnabled();
        };
        extract->click();
        // No multi-angle PlayItem: no angle to choose.
        QVERIFY(!angleOffered);
        QVERIFY(allChecked);
        // The unchecked video is not there; the audio across the three clips and the chapters are.
        const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files, (QStringList{"00800 1100 ac3 eng.ac3", "chapter_00800_time.txt"}));
        for (const QString& file : files) QVERIFY2(QFileInfo(out + '/' + file).size() > 0, qPrintable(file));
        QVERIFY(logHas(QStringLiteral("Saved 3 PlayItems in one read each. (0:00:00)")));
        QVERIFY(extract->isEnabled());
        QVERIFY(!m_window->progressBar->isVisible());

        // A clip gone: the error is logged, and no folder or file is made. The dialog
        // starts in the folder used last.
        QVERIFY(QFile::remove(m_root->filePath(QStringLiteral("SAMPLE/BDMV/STREAM/00003.m2ts"))));
        const QString second = m_root->filePath(QStringLiteral("second"));
        QString started;
        page()->runExtractDialog = [&](PlaylistExtractDialog& dialog) {
            auto* folder = child<QLineEdit>(&dialog, "eExtractDir");
            started = folder->text();
            folder->setText(second);
            return true;
        };
        extract->click();
        QCOMPARE(started, QDir::toNativeSeparators(out));
        QVERIFY(logHas(QStringLiteral("ERROR: clip 00003.m2ts of PlayItem 2 is missing in ") +
                       m_root->filePath(QStringLiteral("SAMPLE/BDMV/STREAM"))));
        QVERIFY(!QFileInfo::exists(second));
    }
};

static RegisterGuiTest<PlaylistExtractDialogTest> registerPlaylistExtractDialogTest;

} // namespace corvane::test

#include "PlaylistExtractDialogTest.moc"
