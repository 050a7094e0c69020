// The sound group of the BDMV page: shown with the folder's sound.bdmv, Ins and
// Shift+Del, Save writing the file back, and "Create sound.bdmv" on the Options page.

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/MainWindow.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/SoundGroup.h"
#include "io/FileIO.h"
#include "shell/Session.h"
#include "sound/SoundFile.h"

namespace corvane::test {

namespace {

QTableView* sounds(const SoundGroup* group) {
    return group->findChild<QTableView*>(QStringLiteral("sgSounds"));
}

QToolButton* toolButton(const SoundGroup* group, const char* name) {
    return group->findChild<QToolButton*>(QLatin1String(name));
}

} // namespace

class SoundGroupTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    const QString m_wav = QStringLiteral(CORVANE_TEST_DATA_DIR "/sound/beep.wav");

    // A copy of the sample disc whose sound.bdmv holds the test WAV; empty when it cannot be written.
    QString discWithOneSound(const QString& name) {
        const QString bdmv = copySampleDisc(m_root.path() + QLatin1Char('/') + name);
        QDir().mkpath(bdmv + QStringLiteral("AUXDATA"));
        std::string error;
        TSND file = createSound();
        insertSound(file, std::nullopt, *importWav(*readWholeFile(m_wav.toStdString(), error)).entry);
        const bool written =
            writeWholeFile((bdmv + QStringLiteral("AUXDATA/sound.bdmv")).toStdString(), writeSound(file)).ok;
        return written ? bdmv : QString();
    }

    static void readFolder(MainWindow& window, const QString& bdmv) {
        window.bdmvPage->setFolder(bdmv.toStdString());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("bReadBDMV")), Qt::LeftButton);
    }

private slots:
    void editAndSave() {
        const QString bdmv = discWithOneSound(QStringLiteral("edit"));
        QVERIFY(!bdmv.isEmpty());
        std::string error;

        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        SoundGroup* group = window.bdmvPage->soundGroup();
        QVERIFY(group->isVisibleTo(&window));
        QCOMPARE(cellText(sounds(group), 0, 1), QStringLiteral("Stereo"));
        QVERIFY(toolButton(group, "bbSoundPlay")->isEnabled());
        QVERIFY(!child<QPushButton>(window.optionsPage, "bCreateSound")->isEnabled());

        group->chooseWavToOpen = [this](const QString&, const QString&) { return m_wav; };
        sounds(group)->selectRow(0);
        QTest::keyClick(sounds(group), Qt::Key_Insert);
        QCOMPARE(window.session().sound.SoundIndex.entries.size(), 2u);
        QCOMPARE(sounds(group)->model()->rowCount(), 2);
        QCOMPARE(cellText(sounds(group), 1, 0), QStringLiteral("001"));
        QTest::keyClick(sounds(group), Qt::Key_Delete); // without Shift: nothing
        QCOMPARE(window.session().sound.SoundIndex.entries.size(), 2u);
        QTest::keyClick(sounds(group), Qt::Key_Delete, Qt::ShiftModifier);
        QTest::keyClick(sounds(group), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(window.session().sound.SoundIndex.entries.size(), 0u);
        QCOMPARE(sounds(group)->model()->rowCount(), 1);
        QVERIFY(!toolButton(group, "bbSoundPlay")->isEnabled());
        QVERIFY(!toolButton(group, "bbSaveSound")->isEnabled());
        group->loadSound(std::nullopt);

        window.bdmvPage->bSaveClick();
        const auto saved = readWholeFile((bdmv + QStringLiteral("AUXDATA/sound.bdmv")).toStdString(), error);
        QVERIFY(saved);
        const SoundReadResult back = readSoundBytes(*saved);
        QCOMPARE(back.status, ReadStatus::Ok);
        QCOMPARE(back.sound.SoundIndex.entries.size(), 1u);
        QVERIFY(QFile::exists(bdmv + QStringLiteral("AUXDATA/sound.bdmv.backup")));

        // The entry goes out as the WAV it came from.
        const QString out = m_root.filePath(QStringLiteral("out.wav"));
        group->chooseWavToSave = [&](const QString& title, const QString&, const QString& proposed) {
            [&] {
                QCOMPARE(title, QStringLiteral("Save sound entry"));
                QVERIFY(proposed.endsWith(QStringLiteral("sound_000.wav")));
            }();
            return out;
        };
        sounds(group)->selectRow(0);
        group->bbSaveSoundClick();
        QCOMPARE(*readWholeFile(out.toStdString(), error), *readWholeFile(m_wav.toStdString(), error));
    }

    // At the default window size the length shows; Save carries a style icon; Insert and
    // Delete are buttons too.
    void lengthIconAndButtons() {
        const QString bdmv = discWithOneSound(QStringLiteral("buttons"));
        QVERIFY(!bdmv.isEmpty());
        std::string error;
        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        QCoreApplication::processEvents();
        SoundGroup* group = window.bdmvPage->soundGroup();
        QTableView* table = sounds(group);
        const QHeaderView* header = table->horizontalHeader();
        QVERIFY(header->sectionViewportPosition(4) + 40 <= table->viewport()->width());
        QVERIFY(toolButton(group, "bbSaveSound")->text().isEmpty());
        QVERIFY(!toolButton(group, "bbSaveSound")->icon().isNull());

        group->chooseWavToOpen = [this](const QString&, const QString&) { return m_wav; };
        table->selectRow(0);
        QTest::mouseClick(toolButton(group, "bbInsSound"), Qt::LeftButton);
        QCOMPARE(window.session().sound.SoundIndex.entries.size(), 2u);
        QTest::mouseClick(toolButton(group, "bbDelSound"), Qt::LeftButton);
        QCOMPARE(window.session().sound.SoundIndex.entries.size(), 1u);
    }

    void createForAFolderWithout() {
        const QString bdmv = copySampleDisc(m_root.path() + QStringLiteral("/create"));
        MainWindow window;
        window.show();
        readFolder(window, bdmv);
        SoundGroup* group = window.bdmvPage->soundGroup();
        QVERIFY(!group->isVisibleTo(&window));
        QVERIFY(child<QPushButton>(window.optionsPage, "bCreateSound")->isEnabled());

        group->chooseWavToOpen = [](const QString&, const QString&) { return QString(); };
        child<QPushButton>(window.optionsPage, "bCreateSound")->click();
        QVERIFY(!group->isVisibleTo(&window)); // cancelled
        QVERIFY(child<QPushButton>(window.optionsPage, "bCreateSound")->isEnabled());

        group->chooseWavToOpen = [this](const QString&, const QString&) { return m_wav; };
        child<QPushButton>(window.optionsPage, "bCreateSound")->click();
        QCOMPARE(window.PageControl->currentWidget(), static_cast<QWidget*>(window.bdmvPage));
        QVERIFY(group->isVisibleTo(&window));
        QVERIFY(!child<QPushButton>(window.optionsPage, "bCreateSound")->isEnabled());
        QVERIFY(QDir(bdmv + QStringLiteral("AUXDATA")).exists());
        window.bdmvPage->bSaveClick();
        std::string error;
        const auto saved = readWholeFile((bdmv + QStringLiteral("AUXDATA/sound.bdmv")).toStdString(), error);
        QVERIFY(saved);
        QCOMPARE(saved->size(), 46u + 10 + 1920);
    }
};

static RegisterGuiTest<SoundGroupTest> registerSoundGroupTest;

} // namespace corvane::test

#include "SoundGroupTest.moc"
