// The BDMV page's AppInfoBDMV / Ultra HD group over an Ultra HD disc: the fields shown by
// name with their values named, edits written by Save, and an index without the UHD entry.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/MainWindow.h"
#include "app/QSettingsStore.h"

namespace corvane::test {

class BdmvPageUhdTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_bdmv;

    QComboBox* uhd(const char* field) {
        return m_window->findChild<QComboBox*>(QStringLiteral("cbUhd_") + QLatin1String(field));
    }
    // The sample disc with disc5's index.bdmv and MovieObject.bdmv when `ultraHd`.
    void readDisc(bool ultraHd) {
        m_root = std::make_unique<QTemporaryDir>();
        m_bdmv = copySampleDisc(m_root->path());
        if (ultraHd) {
            const QString data = QStringLiteral(CORVANE_TEST_DATA_DIR "/navigation/");
            for (const auto& [from, to] :
                 {std::pair{"bdpl-disc5-index-0300.bdmv", "index.bdmv"},
                  std::pair{"bdpl-disc5-MovieObject-0300.bdmv", "MovieObject.bdmv"}}) {
                QFile::remove(m_bdmv + QLatin1String(to));
                QVERIFY(QFile::copy(data + QLatin1String(from), m_bdmv + QLatin1String(to)));
            }
        }
        m_window = std::make_unique<MainWindow>();
        m_window->bdmvPage->setFolder(m_bdmv.toStdString());
        m_window->bReadBDMVClick();
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void ultraHdFieldsShownEditedAndSaved() {
        readDisc(true);
        QCOMPARE(uhd("disc_type")->currentText(), QStringLiteral("5"));
        QCOMPARE(uhd("exist_4k_flag")->currentText(), QStringLiteral("1 yes"));
        QCOMPARE(uhd("hdr_flags")->currentText(), QStringLiteral("11"));
        QCOMPARE(uhd("initial_dynamic_range_type")->currentText(), QStringLiteral("0 SDR"));
        QCOMPARE(uhd("initial_output_mode_preference")->itemText(1), QStringLiteral("1 3D"));
        QCOMPARE(uhd("video_format")->count(), 16); // every 4-bit value and nothing beyond
        QCOMPARE(uhd("video_format")->itemText(8), QStringLiteral("8 2160p"));
        QVERIFY(uhd("dv_flag")->isEnabled());
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("lUhdReserved"))->text(),
                 QStringLiteral("kept bits: AppInfoBDMV 0 0, UHD 000 00000000 000 0 00000000 00000000"));

        const QByteArray before = fileBytes(m_bdmv + QStringLiteral("index.bdmv"));
        uhd("initial_dynamic_range_type")->setCurrentIndex(1); // HDR10
        uhd("dv_flag")->setCurrentIndex(1);
        QVERIFY(m_window->bSave->isEnabled());
        m_window->bSave->click();
        QByteArray expected = before;
        expected[44] = 0x01;
        expected[0xFC + 24 + 4 + 2] = 0x07; // the UHD entry's HDR byte: dv_flag set, hdr_flags kept
        QCOMPARE(fileBytes(m_bdmv + QStringLiteral("index.bdmv")).toHex(), expected.toHex());
        QCOMPARE(
            fileBytes(m_bdmv + QStringLiteral("MovieObject.bdmv")),
            fileBytes(QStringLiteral(CORVANE_TEST_DATA_DIR "/navigation/bdpl-disc5-MovieObject-0300.bdmv")));
    }

    void indexWithoutTheUhdEntry() {
        readDisc(false);
        QVERIFY(uhd("initial_dynamic_range_type")->isEnabled());
        QCOMPARE(uhd("initial_dynamic_range_type")->currentText(), QStringLiteral("0 SDR"));
        for (const char* field : {"disc_type", "exist_4k_flag", "hdrplus_flag", "dv_flag", "hdr_flags"}) {
            QVERIFY2(!uhd(field)->isEnabled(), field);
            QCOMPARE(uhd(field)->currentIndex(), -1);
        }
    }
};

static RegisterGuiTest<BdmvPageUhdTest> registerBdmvPageUhdTest;

} // namespace corvane::test

#include "BdmvPageUhdTest.moc"
