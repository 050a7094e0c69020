// File errors as the user meets them: an unreadable file, a read-only folder and a full
// device each give the error box with the system's text, an "ERROR:" line naming the file
// and the badge, and the action ends on a status that says errors happened; later steps of
// the same action keep the badge; Save PID without a work folder asks for one.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ClipInfoPage.h"
#include "app/ExtDatDialog.h"
#include "app/MainWindow.h"
#include "app/MessageLog.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "app/StatusPage.h"
#include "io/FileIO.h"
#include "sound/SoundFile.h"
#include "widgets/RadioGroup.h"

namespace corvane::test {

class ErrorReportTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    static QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
    static bool logHas(MainWindow& window, const QString& line) {
        return findLine(window.statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document(),
                        line)
            .isValid();
    }
    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    static void readFolder(MainWindow& window, const QString& bdmv) {
        window.bdmvPage->setFolder(bdmv.toStdString());
        click(child<QPushButton>(window.bdmvPage, "bReadBDMV"));
    }
    // Every box names its file and gives the system's text, and its line is in the log.
    static void verifyBoxes(MainWindow& window, const QStringList& boxes, const QStringList& files,
                            int error) {
        QCOMPARE(boxes.size(), files.size());
        for (int i = 0; i < boxes.size(); ++i) {
            QVERIFY2(boxes[i].contains(files[i]), qPrintable(boxes[i]));
            QVERIFY2(boxes[i].contains(systemText(error)), qPrintable(boxes[i]));
            QVERIFY2(logHas(window, QStringLiteral("ERROR: ") + boxes[i]), qPrintable(boxes[i]));
        }
    }
    static void verifyErrorsStatus(MainWindow& window, int errors) {
        QVERIFY(window.StatusBar->errorBadgeShown());
        QCOMPARE(window.StatusBar->panelText(0), QStringLiteral(" Errors. "));
        QCOMPARE(
            window.StatusBar->panelText(1),
            QStringLiteral(" %1 %2, see the Status page").arg(errors).arg(errors == 1 ? "error" : "errors"));
    }
    // The CLIPINF page of a copied sample disc with one real clip and its stream.
    QString clipDisc(const QString& name) {
        const QString bdmv = copySampleDisc(m_root.filePath(name));
        const QString data = QStringLiteral(CORVANE_TEST_DATA_DIR "/");
        QFile::copy(data + QStringLiteral("clipinf/bdj-sdk-00000-extdata.clpi"),
                    bdmv + QStringLiteral("CLIPINF/00000.clpi"));
        QFile::copy(data + QStringLiteral("stream/ffmpeg-mpeg2-ac3.m2ts"),
                    bdmv + QStringLiteral("STREAM/00000.m2ts"));
        return bdmv;
    }
    static void chooseAudioRow(MainWindow& window) {
        ClipInfoPage* page = window.clipInfoPage;
        window.PageControl->setCurrentWidget(page);
        chooseText(child<QComboBox>(page, "cbClipinf"), QStringLiteral("00000"));
        click(child<QPushButton>(page, "bReadCI"));
        const QRect cell = cellRect(child<PlaylistGrid>(page, "sgCI"), 1, 1);
        QTest::mouseClick(child<PlaylistGrid>(page, "sgCI")->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void init() {
        errorBoxes().texts.clear();
        QSettingsStore store;
        store.settings().clear();
        store.sync();
    }

    void unreadableIndex() {
        const QString bdmv = copySampleDisc(m_root.filePath(QStringLiteral("unreadable")));
        const QString index = bdmv + QStringLiteral("index.bdmv");
        QVERIFY(::chmod(index.toLocal8Bit().constData(), 0) == 0);
        WithoutFileOverride asUser;
        if (!asUser.active) QSKIP("file permissions cannot be made to apply here");
        MainWindow window;
        window.show();
        QStringList& boxes = errorBoxes().texts;
        boxes.clear();
        readFolder(window, bdmv);
        verifyBoxes(window, boxes, {index}, EACCES);
        verifyErrorsStatus(window, 1);
    }

    void readOnlyFolder() {
        TmpfsMount device(m_root.filePath(QStringLiteral("ro")));
        if (!device.mounted) QSKIP("mounting is not permitted here");
        const QString bdmv = copySampleDisc(m_root.filePath(QStringLiteral("ro")));
        QVERIFY(device.remountReadOnly());
        MainWindow window;
        window.show();
        child<QCheckBox>(window.optionsPage, "cbOBackup")->setChecked(false);
        readFolder(window, bdmv);
        QStringList& boxes = errorBoxes().texts;
        boxes.clear();
        click(window.bSave);
        verifyBoxes(window, boxes,
                    {bdmv + QStringLiteral("index.bdmv"), bdmv + QStringLiteral("MovieObject.bdmv")}, EROFS);
        verifyErrorsStatus(window, 2);

        // The ExtensionData dialog reports through the same channel.
        const QString exd = bdmv + QStringLiteral("block.exd");
        QVERIFY(!window.fExtDat->saveToFile(exd));
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes[2].contains(exd));
        QVERIFY(logHas(window, QStringLiteral("ERROR: ") + boxes[2]));
    }

    void fullDevice() {
        const QString bdmv = clipDisc(QStringLiteral("full"));
        TmpfsMount device(m_root.filePath(QStringLiteral("full/work")));
        if (!device.mounted) QSKIP("mounting is not permitted here");
        QVERIFY(device.fill());
        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        child<QLineEdit>(window.optionsPage, "eWorkDir")
            ->setText(m_root.filePath(QStringLiteral("full/work/")));
        chooseAudioRow(window);
        QStringList& boxes = errorBoxes().texts;
        boxes.clear();
        click(child<QPushButton>(window.clipInfoPage, "bSavePES"));
        verifyBoxes(window, boxes, {QStringLiteral("00000_PID1100_DD_Stereo_48_kHz_.aus")}, ENOSPC);
        verifyErrorsStatus(window, 1);
        QVERIFY(child<QPushButton>(window.clipInfoPage, "bSavePES")->isEnabled());
    }

    // index.bdmv fails its backup step, MovieObject.bdmv is saved after it.
    void laterStepsKeepTheBadge() {
        const QString bdmv = copySampleDisc(m_root.filePath(QStringLiteral("later")));
        QVERIFY(QFile::copy(bdmv + QStringLiteral("index.bdmv"), bdmv + QStringLiteral("index.bdmv.backup")));
        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        child<RadioGroup>(window.optionsPage, "rgOBackup")->setItemIndex(2); // "Stop if exists"
        click(window.bSave);
        QVERIFY(logHas(window, QStringLiteral("ERROR: Cannot create backup file.")));
        QVERIFY(logHas(window, QStringLiteral("MovieObject.bdmv saved.")));
        verifyErrorsStatus(window, 1);

        // The next action starts clean.
        child<RadioGroup>(window.optionsPage, "rgOBackup")->setItemIndex(1); // "Overwrite"
        click(window.bSave);
        QVERIFY(!window.StatusBar->errorBadgeShown());
        QCOMPARE(window.StatusBar->panelText(0), QStringLiteral(" Ready. "));
    }

    void failedCheckAfterASoundFolder() {
        const QString bdmv = copySampleDisc(m_root.filePath(QStringLiteral("Sounds")));
        QDir().mkpath(bdmv + QStringLiteral("AUXDATA"));
        std::string error;
        TSND sound = createSound();
        const auto wav = readWholeFile(CORVANE_TEST_DATA_DIR "/sound/beep.wav", error);
        QVERIFY(wav);
        insertSound(sound, std::nullopt, *importWav(*wav).entry);
        QVERIFY(writeWholeFile((bdmv + QStringLiteral("AUXDATA/sound.bdmv")).toStdString(), writeSound(sound))
                    .ok);
        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v0.29b [SAMPLE]"));

        readFolder(window, makeDisc(m_root.path(), QStringLiteral("NoBackup"), false));
        QVERIFY(logHas(window, QStringLiteral("ERROR: Check failed.")));
        QVERIFY(window.StatusBar->errorBadgeShown());
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v0.29b"));
    }

    void savePidAsksForTheWorkFolder() {
        const QString bdmv = clipDisc(QStringLiteral("ask"));
        const QString work = m_root.filePath(QStringLiteral("ask/out"));
        QDir().mkpath(work);
        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        QVERIFY(child<QLineEdit>(window.optionsPage, "eWorkDir")->text().isEmpty());
        chooseAudioRow(window);
        QStringList answers{QString(), work};
        int asked = 0;
        window.clipInfoPage->chooseWorkFolder = [&](const QString&, const QString&) {
            ++asked;
            return answers.takeFirst();
        };
        const QString name = QStringLiteral("00000_PID1100_DD_Stereo_48_kHz_.aus");
        // Cancelled: nothing is written anywhere.
        click(child<QPushButton>(window.clipInfoPage, "bSavePES"));
        QCOMPARE(asked, 1);
        QVERIFY(!QFileInfo::exists(QDir::current().filePath(name)));
        QVERIFY(child<QLineEdit>(window.optionsPage, "eWorkDir")->text().isEmpty());

        click(child<QPushButton>(window.clipInfoPage, "bSavePES"));
        QCOMPARE(asked, 2);
        const QString written = QDir::toNativeSeparators(work) + QDir::separator() + name;
        QVERIFY(QFileInfo::exists(written));
        QVERIFY(logHas(window, QStringLiteral("Saving ") + written + QStringLiteral(" ...")));
        QCOMPARE(child<QLineEdit>(window.optionsPage, "eWorkDir")->text(),
                 QDir::toNativeSeparators(work) + QDir::separator());
        // Once chosen, the folder is not asked for again.
        click(child<QPushButton>(window.clipInfoPage, "bSavePES"));
        QCOMPARE(asked, 2);
    }
};

static RegisterGuiTest<ErrorReportTest> registerErrorReportTest;

} // namespace corvane::test

#include "ErrorReportTest.moc"
