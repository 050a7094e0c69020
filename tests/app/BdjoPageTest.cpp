// The BDJO page over a real BD-J object: fields, tables, key boxes, the details of
// the selected application, and the accessible playlist double click.

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTest.h"
#include "app/BdjoPage.h"
#include "app/BdmvPage.h"
#include "app/MainWindow.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "bdj/BdjObject.h"

namespace corvane::test {

namespace {

QLineEdit* lineEdit(const QWidget* page, const char* name) {
    return page->findChild<QLineEdit*>(QLatin1String(name));
}

} // namespace

class BdjoPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

private slots:
    void readsEveryField() {
        const QString bdmv = copySampleDisc(m_root.path());
        QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/bdj/hdcookbook-bdjo-sample-00000.bdjo"),
                    bdmv + QStringLiteral("BDJO/00000.bdjo"));
        QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/playlist/bdpl-disc1-00000-no-subpath.mpls"),
                    bdmv + QStringLiteral("PLAYLIST/00001.mpls"));
        MainWindow window;
        window.show();
        window.bdmvPage->setFolder(bdmv.toStdString());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("bReadBDMV")), Qt::LeftButton);
        BdjoPage* page = window.bdjoPage;
        window.PageControl->setCurrentWidget(page);
        auto* cbBDJO = page->findChild<QComboBox*>(QStringLiteral("cbBDJO"));
        auto* bReadBDJO = page->findChild<QPushButton*>(QStringLiteral("bReadBDJO"));
        auto* sgAccPLs = page->findChild<QTableView*>(QStringLiteral("sgAccPLs"));
        auto* sgAppManage = page->findChild<QTableView*>(QStringLiteral("sgAppManage"));
        QVERIFY(cbBDJO && bReadBDJO && sgAccPLs && sgAppManage);
        QCOMPARE(cbBDJO->count(), 1);
        QVERIFY(bReadBDJO->isEnabled());
        QTest::mouseClick(bReadBDJO, Qt::LeftButton);

        QCOMPARE(lineEdit(page, "eDefaultFont")->text(), QStringLiteral("*****"));
        QCOMPARE(lineEdit(page, "heInitHAVi")->text(), QStringLiteral("1"));
        QCOMPARE(cellText(page->findChild<QTableView*>(QStringLiteral("sgAppCacheInf")), 0, 2),
                 QStringLiteral("00000"));
        QVERIFY(page->findChild<QCheckBox*>(QStringLiteral("cbAccesAll"))->isChecked());
        QCOMPARE(cellText(sgAccPLs, 0, 1), QStringLiteral("00001"));
        QCOMPARE(sgAppManage->model()->rowCount(), 1);
        QVERIFY(sgAppManage->isEnabled()); // one application, not greyed out
        QCOMPARE(cellText(sgAppManage, 0, 3), QStringLiteral("FFFF0001"));
        QCOMPARE(cellText(sgAppManage, 0, 12), QStringLiteral("com.hdcookbook.gunbunny.GunBunnyXlet"));
        QCOMPARE(cellText(page->findChild<QTableView*>(QStringLiteral("sgProfiles")), 0, 2),
                 QStringLiteral("1.0.0"));
        // The application has no names: that empty table's last column still reaches its edge.
        const auto* sgNames = page->findChild<QTableView*>(QStringLiteral("sgNames"));
        QVERIFY(sgNames->isEnabled() && cellText(sgNames, 0, 2).isEmpty());
        const QHeaderView* header = sgNames->horizontalHeader();
        QCOMPARE(header->sectionViewportPosition(2) + header->sectionSize(2), sgNames->viewport()->width());
        // Keys 0xFFE00000: all eleven boxes.
        for (const KeyBox& key : KeyInterestBoxes) {
            const std::string name(key.objectName);
            const auto* box = page->findChild<QCheckBox*>(QString::fromStdString(name));
            QVERIFY2(box && box->isChecked(), name.c_str());
        }
        QVERIFY(page->findChild<QCheckBox*>(QStringLiteral("cbVK_PGtext")));
        QCOMPARE(lineEdit(page, "eDirectoryPath")->text(), QStringLiteral("."));

        // The accessible playlist opens on the PLAYLIST page.
        const QRect cell = cellRect(sgAccPLs, 0, 1);
        QTest::mouseClick(sgAccPLs->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(sgAccPLs->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window.PageControl->currentWidget(), static_cast<QWidget*>(window.playlistPage));
        QCOMPARE(child<QComboBox>(window.playlistPage, "cbPlaylist")->currentText(), QStringLiteral("00001"));
        // So does a double click on the row's number.
        child<QComboBox>(window.playlistPage, "cbPlaylist")->setCurrentIndex(-1);
        window.PageControl->setCurrentWidget(page);
        const QRect number = cellRect(sgAccPLs, 0, 0);
        QTest::mouseClick(sgAccPLs->viewport(), Qt::LeftButton, {}, number.center());
        QTest::mouseDClick(sgAccPLs->viewport(), Qt::LeftButton, {}, number.center());
        QCOMPARE(child<QComboBox>(window.playlistPage, "cbPlaylist")->currentText(), QStringLiteral("00001"));
    }

    void wrongFileEmptiesThePage() {
        const QString bdmv = copySampleDisc(m_root.path() + QStringLiteral("/bad"));
        QFile bad(bdmv + QStringLiteral("BDJO/00007.bdjo"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("BDJO0400 not a version we read");
        bad.close();
        MainWindow window;
        window.bdmvPage->setFolder(bdmv.toStdString());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("bReadBDMV")), Qt::LeftButton);
        window.bdjoPage->bReadBDJOClick();
        QVERIFY(lineEdit(window.bdjoPage, "eDefaultFont")->text().isEmpty());
        QVERIFY(lineEdit(window.bdjoPage, "heInitHAVi")->text().isEmpty());
        QVERIFY(!window.bdjoPage->findChild<QTableView*>(QStringLiteral("sgAppManage"))->isEnabled());
        QVERIFY(window.session().reporter.ErrorRaised);
    }
};

static RegisterGuiTest<BdjoPageTest> registerBdjoPageTest;

} // namespace corvane::test

#include "BdjoPageTest.moc"
