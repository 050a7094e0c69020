// The main window as the user sees it: pages, controls, reading a disc
// folder, the log, the status bar, the Save button rules and the progress display.

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ExtDatDialog.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/MessageLog.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPage.h"
#include "app/QSettingsStore.h"
#include "app/StatusPage.h"
#include "shell/Markup.h"
#include "tools/FindTool.h"

namespace corvane::test {

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    static void freshSettings() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
    }
    static QColor red() { return QColor(255, 0, 0); }

private slots:
    void init() { freshSettings(); }

    void pagesAndControlsByName() {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v0.29b"));
        auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl"));
        QVERIFY(pages);
        QStringList captions;
        for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
        QCOMPARE(captions, (QStringList{"BDMV", "PLAYLIST", "CLIPINF", "Menu", "BDJO", "Disc", "Options",
                                        "Status", "About"}));
        QCOMPARE(pages->currentIndex(), 0);

        for (const char* name : {"eBDMVdir", "eWorkDir", "eBackPic"})
            QVERIFY2(window.findChild<QLineEdit*>(QLatin1String(name)), name);
        for (const char* name :
             {"bReadBDMV", "bReadPL", "bReadCI", "bReadBDJO", "bSave", "bCancel", "bClear"})
            QVERIFY2(window.findChild<QPushButton*>(QLatin1String(name)), name);
        for (const char* name : {"bbOpenDir", "bbWorkdir", "bbBackPic"})
            QVERIFY2(window.findChild<QToolButton*>(QLatin1String(name)), name);
        for (const char* name : {"cbPlaylist", "cbClipinf", "cbBDJO"})
            QVERIFY2(window.findChild<QComboBox*>(QLatin1String(name)), name);
        QVERIFY(window.findChild<MessageLog*>(QStringLiteral("reMessage")));
        QVERIFY(window.findChild<PanelStatusBar*>(QStringLiteral("StatusBar")));
        QCOMPARE(window.findChildren<TfExtDat*>().size(), 1);
        QVERIFY(window.findChild<TfExtDat*>(QStringLiteral("fExtDat")) == window.fExtDat);

        QVERIFY(
            !window.findChild<QLineEdit*>(QStringLiteral("eBDMVdir"))->isReadOnly()); // takes a typed path
        for (const char* name : {"bReadPL", "bReadCI", "bReadBDJO", "bCancel"})
            QVERIFY2(!window.findChild<QPushButton*>(QLatin1String(name))->isEnabled(), name);
        QVERIFY(!window.progressBar->isVisibleTo(&window));
        QCOMPARE(window.StatusBar->panelText(0), QStringLiteral(" Ready. "));
    }

    void failedCheckReportsMissingBackup() {
        const QString folder = makeDisc(m_root.path(), QStringLiteral("NoBackup"), false);
        MainWindow window;
        window.show();
        window.bdmvPage->setFolder(folder.toStdString());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("bReadBDMV")), Qt::LeftButton);

        const QTextDocument* log = window.findChild<MessageLog*>(QStringLiteral("reMessage"))->document();
        const QTextBlock backup = findLine(log, QStringLiteral("BACKUP folder: missing"));
        QVERIFY(backup.isValid());
        QCOMPARE(fragmentFormat(backup, QStringLiteral("missing"))->foreground().color(), red());
        QCOMPARE(fragmentFormat(backup, QStringLiteral("BACKUP"))->foreground().color(), QColor(0, 0, 255));
        QVERIFY(findLine(log, QStringLiteral("PLAYLIST folder: OK")).isValid());

        const QTextBlock failed = findLine(log, QStringLiteral("ERROR: Check failed."));
        QVERIFY(failed.isValid());
        QCOMPARE(fragmentFormat(failed, QStringLiteral("ERROR:"))->foreground().color(), red());
        QCOMPARE(fragmentFormat(failed, QStringLiteral("Check failed."))->fontWeight(), int(QFont::Bold));

        QVERIFY(window.StatusBar->errorBadgeShown());
        QCOMPARE(window.StatusBar->toolTip(), QStringLiteral("Check failed."));
        const QImage badge = window.StatusBar->panel(0)->grab().toImage();
        QCOMPARE(badge.pixelColor(2, 2), red());

        // Nothing was read: no pickers, caption without a label, Read usable again.
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cbPlaylist"))->count(), 0);
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v0.29b"));
        QVERIFY(child<QPushButton>(window.bdmvPage, "bReadBDMV")->isEnabled());
        QVERIFY(window.session().reporter.ErrorRaised);

        // The badge stays until the next status text of a later action.
        window.session().reporter.beginAction();
        window.session().reporter.slogR();
        QVERIFY(!window.StatusBar->errorBadgeShown());
    }

    // 1366x768 less a taskbar: every page fits, and the Page view does not widen the window.
    void fitsASmallScreen() {
        MainWindow window;
        QVERIFY(window.height() <= 728 - 30); // the title bar above it
        window.bdmvPage->setFolder(copySampleDisc(m_root.path() + QStringLiteral("/fit")).toStdString());
        window.bReadBDMVClick();
        window.resize(1100, 690);
        window.show();
        for (int i = 0; i < window.PageControl->count(); ++i) {
            window.PageControl->setCurrentIndex(i);
            QVERIFY(window.minimumSizeHint().width() <= 1366 && window.minimumSizeHint().height() <= 728);
        }
        window.PageControl->setCurrentWidget(window.menuPage);
        window.menuPage->bCreateMenuClick();
        auto* tabs = child<QTabWidget>(window.menuPage, "pcMenu");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            QCOMPARE(window.width(), 1100);
        }
    }

    // A typed path read with Enter, a dropped file inside a folder, and the Recent drop-down.
    void typedDroppedAndRecentFolders() {
        const QString first = makeDisc(m_root.path(), QStringLiteral("Typed"), true);
        const QString second = makeDisc(m_root.path(), QStringLiteral("Dropped"), true);
        MainWindow window;
        auto* field = child<QLineEdit>(&window, "eBDMVdir");
        field->setText(QFileInfo(first).dir().absolutePath()); // the folder that holds BDMV
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(window.session().BDMVdir), first);
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v0.29b [Typed]"));

        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(second + QStringLiteral("index.bdmv"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QCOMPARE(QString::fromStdString(window.session().BDMVdir), second);

        const QList<QAction*> recent = child<QMenu>(&window, "mRecentDirs")->actions();
        QCOMPARE(recent.size(), 2);
        QCOMPARE(recent[0]->text(), second);
        recent[1]->trigger();
        QCOMPARE(QString::fromStdString(window.session().BDMVdir), first);
        // Kept in the settings for the next start.
        MainWindow next;
        QCOMPARE(child<QMenu>(&next, "mRecentDirs")->actions().size(), 2);
        delete data;
    }

    // A find result on the Status page opens the command line it names.
    void findResultOpensTheLine() {
        MainWindow window;
        window.bdmvPage->setFolder(copySampleDisc(m_root.path() + QStringLiteral("/find")).toStdString());
        window.bReadBDMVClick();
        window.resize(1100, 690);
        window.show();
        const std::vector<std::string> lines = playListSearchLines(window.session().mobj, "00002");
        QVERIFY(lines.size() >= 3);
        for (const std::string& line : lines) window.session().reporter.log(line);
        window.PageControl->setCurrentWidget(window.statusPage);
        window.bdmvPage->setObjectSG(3);
        auto* log = window.statusPage->messageLog();
        const QString found = QString::fromStdString(lines.back()); // "Object oooo, Command line llll"
        const QTextBlock block = findLine(log->document(), found);
        QVERIFY(block.isValid());
        log->ensureCursorVisible();
        QTextCursor cursor(block);
        log->setTextCursor(cursor);
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, log->cursorRect(cursor).center());
        QCOMPARE(window.PageControl->currentWidget(), window.bdmvPage);
        QCOMPARE(window.bdmvPage->selectedObject(), found.mid(7, 4).toInt());
        QCOMPARE(window.bdmvPage->selectedLine(), found.right(4).toInt());
    }

    void readFillsPickersAndCaption() {
        const QString folder = makeDisc(m_root.path(), QStringLiteral("Holiday"), true);
        MainWindow window;
        window.openFromArguments({folder + QStringLiteral("index.bdmv")});
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("eBDMVdir"))->text(), folder);
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v0.29b [Holiday]"));
        auto* playlists = window.findChild<QComboBox*>(QStringLiteral("cbPlaylist"));
        QStringList names;
        for (int i = 0; i < playlists->count(); ++i) names << playlists->itemText(i);
        names.sort();
        QCOMPARE(names, (QStringList{"00000", "00001"}));
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cbClipinf"))->currentText(),
                 QStringLiteral("00001"));
        QVERIFY(window.findChild<QPushButton*>(QStringLiteral("bReadPL"))->isEnabled());
        QVERIFY(findLine(window.statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document(),
                         QStringLiteral("  Found 2 playlists."))
                    .isValid());

        // A second read of a failing folder empties the pickers first.
        const QString broken = makeDisc(m_root.path(), QStringLiteral("Broken"), false);
        window.bdmvPage->setFolder(broken.toStdString());
        window.bReadBDMVClick();
        QCOMPARE(playlists->count(), 0);
    }

    // The bundled sample disc fills the pickers of every page it has files for.
    void bundledSampleFillsThePages() {
        const QString folder = copySampleDisc(m_root.path(), QStringLiteral(CORVANE_BUNDLED_SAMPLE));
        MainWindow window;
        window.openFromArguments({folder + QStringLiteral("index.bdmv")});
        const auto count = [&window](const char* name) {
            return window.findChild<QComboBox*>(QLatin1String(name))->count();
        };
        QCOMPARE(count("cbPlaylist"), 3);
        QCOMPARE(count("cbClipinf"), 5);
        QCOMPARE(count("cbBDJO"), 1);
        // The disc's menu is on the Menu page at once; the BDMV page stays in front.
        QVERIFY(window.menuPage->hasMenu());
        QCOMPARE(count("cbPage"), 2);
        QCOMPARE(window.PageControl->currentWidget(), window.bdmvPage);
        const QTextDocument* log =
            window.statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document();
        for (const char* line :
             {"  Found 5 objects, 0 extended entry.", "  Found 4 titles, 0 extended entry.",
              " Found 2 sound entries", "  Found 5 AV streams"})
            QVERIFY2(findLine(log, QLatin1String(line)).isValid(), line);
        for (QTextBlock block = log->begin(); block.isValid(); block = block.next())
            QVERIFY2(!block.text().startsWith(QStringLiteral("ERROR")), qPrintable(block.text()));
    }

    void saveButtonFollowsThePage() {
        const QString folder = makeDisc(m_root.path(), QStringLiteral("Pages"), true);
        MainWindow window;
        window.show();
        window.bdmvPage->setFolder(folder.toStdString());
        window.bReadBDMVClick();
        QPushButton* save = window.bSave;
        auto page = [&](int index) { window.PageControl->setCurrentIndex(index); };

        page(0);
        QVERIFY(save->isVisible());
        QVERIFY(!save->isEnabled());
        QCOMPARE(save->toolTip(), QStringLiteral("Save the bdmv files"));
        page(1);
        QVERIFY(save->isVisible());
        QCOMPARE(save->toolTip(), QStringLiteral("Save ") +
                                      child<QComboBox>(window.playlistPage, "cbPlaylist")->currentText() +
                                      QStringLiteral(".mpls"));
        child<QComboBox>(window.playlistPage, "cbPlaylist")->setCurrentText(QStringLiteral("00001"));
        QCOMPARE(save->toolTip(), QStringLiteral("Save 00001.mpls"));
        page(2);
        QCOMPARE(save->toolTip(), QStringLiteral("Save 00001.clpi"));
        QVERIFY(!save->isEnabled());
        page(3);
        QCOMPARE(save->toolTip(), QStringLiteral("Save the IGS menu (*.mnu)"));
        QVERIFY(save->isVisible());
        page(4);
        QVERIFY(save->isVisible());
        QCOMPARE(save->toolTip(), QStringLiteral("Save"));
        for (int index : {5, 6, 7}) {
            page(index);
            QVERIFY(!save->isVisible());
            QCOMPARE(save->toolTip(), QStringLiteral("Save"));
        }

        // The 8.3 name set changes the extension in the hint.
        window.session().options.use83names = true;
        window.session().applyOptions();
        page(1);
        QCOMPARE(save->toolTip(), QStringLiteral("Save 00001.MPL"));
    }

    void activeTabCarriesTheStripe() {
        MainWindow window;
        window.show();
        QTabBar* bar = window.PageControl->tabBar();
        for (int index : {0, 5}) {
            window.PageControl->setCurrentIndex(index);
            const QImage picture = bar->grab().toImage();
            const QRect stripe = PageTabBar::stripeRect(bar->tabRect(index));
            QCOMPARE(picture.pixelColor(stripe.center()), PageTabBar::stripeColour());
            const QRect other = PageTabBar::stripeRect(bar->tabRect(index == 0 ? 1 : 0));
            QVERIFY(picture.pixelColor(other.center()) != PageTabBar::stripeColour());
        }
    }

    void logStylesSpansOnly() {
        MessageLog log;
        log.appendLine(parseMarkup("  Found [b]3[/b] playlists."));
        log.appendLine(parseMarkup(""));
        log.appendLine(parseMarkup("[zz]small[/zz] after"));
        QCOMPARE(log.document()->blockCount(), 3);
        const QTextBlock found = log.document()->firstBlock();
        QCOMPARE(found.text(), QStringLiteral("  Found 3 playlists."));
        QCOMPARE(fragmentFormat(found, QStringLiteral("3"))->fontWeight(), int(QFont::Bold));
        QCOMPARE(fragmentFormat(found, QStringLiteral("  Found "))->fontWeight(), int(QFont::Normal));
        QCOMPARE(fragmentFormat(found, QStringLiteral(" playlists."))->fontWeight(), int(QFont::Normal));
        QCOMPARE(found.next().text(), QString());
        const QTextBlock small = found.next().next();
        QCOMPARE(fragmentFormat(small, QStringLiteral("small"))->fontPointSize(), 8.0);
        QCOMPARE(fragmentFormat(small, QStringLiteral(" after"))->fontPointSize(), 9.0);
        // The view follows the newest line.
        QCOMPARE(log.textCursor().position(), log.document()->characterCount() - 1);
    }

    void clearEmptiesTheLog() {
        MainWindow window;
        window.session().reporter.log("one");
        window.session().reporter.log("two");
        QTest::mouseClick(window.statusPage->findChild<QPushButton*>(QStringLiteral("bClear")),
                          Qt::LeftButton);
        QVERIFY(
            window.statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document()->isEmpty());
        window.session().reporter.log("three");
        QCOMPARE(
            window.statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document()->blockCount(),
            1);
        QCOMPARE(window.statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))
                     ->document()
                     ->firstBlock()
                     .text(),
                 QStringLiteral("three"));
    }

    void statusPanelsFitTheirText() {
        MainWindow window;
        PanelStatusBar* bar = window.StatusBar;
        window.session().reporter.slog("Checking 00001.mpls", 1);
        QCOMPARE(bar->panelText(1), QStringLiteral(" Checking 00001.mpls "));
        QCOMPARE(bar->toolTip(), QStringLiteral("Checking 00001.mpls"));
        const QFontMetrics fm(bar->panel(1)->font());
        QCOMPARE(bar->panelWidth(1), fm.horizontalAdvance(QStringLiteral(" Checking 00001.mpls m")));
        window.session().reporter.slog("Busy", 0);
        QCOMPARE(bar->toolTip(), QStringLiteral("Checking 00001.mpls")); // only panel 1 sets it
        window.session().reporter.erlog("Cannot create backup file.");
        QVERIFY(bar->errorBadgeShown());
        QVERIFY(bar->panel(1)->font().bold());
        QCOMPARE(bar->panelText(1), QStringLiteral(" Cannot create backup file."));
        QVERIFY(bar->panelWidth(0) >= 55);
        window.session().reporter.beginAction(); // a later action's status text removes the badge
        window.session().reporter.slog("Ready.", 0);
        QVERIFY(!bar->errorBadgeShown());
        QVERIFY(!bar->panel(1)->font().bold());
    }

    void progressAndCancel() {
        MainWindow window;
        window.show();
        Reporter& reporter = window.session().reporter;
        int questions = 0;
        bool answer = false;
        window.confirmStop = [&] {
            ++questions;
            return answer;
        };

        reporter.PrBarOn();
        QVERIFY(window.progressBar->isVisible());
        QVERIFY(window.bCancel->isEnabled());
        reporter.showPacketProgress(32768, 1000000);
        QCOMPARE(window.progressBar->value(), 3);
        QTest::mouseClick(window.bCancel, Qt::LeftButton);
        QVERIFY(reporter.CancelRequested);
        QCOMPARE(questions, 0);

        // Once cancelling asks first, No leaves the operation running.
        reporter.PrBarOn();
        QVERIFY(!reporter.CancelRequested);
        reporter.ConfirmCancel = true;
        QTest::mouseClick(window.bCancel, Qt::LeftButton);
        QCOMPARE(questions, 1);
        QVERIFY(!reporter.CancelRequested);
        answer = true;
        QTest::mouseClick(window.bCancel, Qt::LeftButton);
        QVERIFY(reporter.CancelRequested);
        QCOMPARE(window.StatusBar->panelText(1), QStringLiteral(" Cancelled. "));

        reporter.PrBarOff();
        QVERIFY(!window.progressBar->isVisible());
        QVERIFY(!window.bCancel->isEnabled());
        QVERIFY(window.bSave->isVisible()); // the BDMV page's bottom controls are back
    }
};

static RegisterGuiTest<MainWindowTest> registration;

} // namespace corvane::test

#include "MainWindowTest.moc"
