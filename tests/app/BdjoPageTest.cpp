// The BDJO page over a real BD-J object: fields, tables, key boxes, the details of
// the selected application, and the accessible playlist double click.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTest.h"
#include "app/BdjoPage.h"
#include "app/BdmvPage.h"
#include "app/MainWindow.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"

namespace corvane::test {

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
        QCOMPARE(page->cbBDJO->count(), 1);
        QVERIFY(page->bReadBDJO->isEnabled());
        QTest::mouseClick(page->bReadBDJO, Qt::LeftButton);

        QCOMPARE(page->eDefaultFont->text(), QStringLiteral("*****"));
        QCOMPARE(page->heInitHAVi->text(), QStringLiteral("1"));
        QCOMPARE(page->sgAppCacheInf->item(0, 2)->text(), QStringLiteral("00000"));
        QVERIFY(page->cbAccesAll->isChecked());
        QCOMPARE(page->sgAccPLs->item(0, 1)->text(), QStringLiteral("00001"));
        QCOMPARE(page->sgAppManage->rowCount(), 1);
        QVERIFY(!page->sgAppManage->isEnabled()); // one application: nothing to choose
        QCOMPARE(page->sgAppManage->item(0, 3)->text(), QStringLiteral("FFFF0001"));
        QCOMPARE(page->sgAppManage->item(0, 12)->text(), QStringLiteral("com.hdcookbook.gunbunny.GunBunnyXlet"));
        QCOMPARE(page->sgProfiles->item(0, 2)->text(), QStringLiteral("1.0.0"));
        // Keys 0xFFE00000: all eleven boxes.
        for (QCheckBox* box : page->keyBoxes) QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        QVERIFY(page->findChild<QCheckBox*>(QStringLiteral("cbVK_PGtext")));
        QCOMPARE(page->eDirectoryPath->text(), QStringLiteral("."));

        // The accessible playlist opens on the PLAYLIST page.
        const QRect cell = page->sgAccPLs->visualItemRect(page->sgAccPLs->item(0, 1));
        QTest::mouseClick(page->sgAccPLs->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(page->sgAccPLs->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window.PageControl->currentWidget(), static_cast<QWidget*>(window.playlistPage));
        QCOMPARE(window.playlistPage->cbPlaylist->currentText(), QStringLiteral("00001"));
    }

    void wrongFileEmptiesThePage() {
        const QString bdmv = copySampleDisc(m_root.path() + QStringLiteral("/bad"));
        QFile bad(bdmv + QStringLiteral("BDJO/00007.bdjo"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("BDJO0300 not a version we read");
        bad.close();
        MainWindow window;
        window.bdmvPage->setFolder(bdmv.toStdString());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("bReadBDMV")), Qt::LeftButton);
        window.bdjoPage->bReadBDJOClick();
        QVERIFY(window.bdjoPage->eDefaultFont->text().isEmpty());
        QVERIFY(window.bdjoPage->heInitHAVi->text().isEmpty());
        QVERIFY(!window.bdjoPage->sgAppManage->isEnabled());
        QVERIFY(window.session().reporter.ErrorRaised);
    }
};

static RegisterGuiTest<BdjoPageTest> registerBdjoPageTest;

} // namespace corvane::test

#include "BdjoPageTest.moc"
