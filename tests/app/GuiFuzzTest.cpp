// A seeded random walk over the window with a real disc folder and a real menu loaded:
// clicks on buttons, check boxes and tabs, picks in combo boxes, key presses, and cell edits
// in edit mode, on every page. It passes when the walk ends without a crash.
// CORVANE_FUZZ_SEED and CORVANE_FUZZ_STEPS change the walk; the seed is printed first.

#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "menu/IGReader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <random>

#include "GuiTest.h"
#include "app/BdmvPage.h"

#include "app/ClipInfoPage.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/PageTabs.h"
#include "app/PlaylistPage.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "app/SoundGroup.h"

namespace corvane::test {

namespace {

// Fields and switches that reach outside the test's folder (the disc path, the work folder,
// the background picture, the desktop file association).
bool offLimits(const QWidget* widget) {
    static const QStringList names{"eBDMVdir", "eWorkDir", "eBackPic", "cbAssoc"};
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (names.contains(w->objectName())) return true;
    return false;
}

template <typename Widget> std::vector<Widget*> usable(QWidget* root) {
    std::vector<Widget*> found;
    for (Widget* w : root->findChildren<Widget*>())
        if (w->isVisible() && w->isEnabled() && !offLimits(w)) found.push_back(w);
    return found;
}

} // namespace

class GuiFuzzTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<MainWindow> m_window;
    std::mt19937 m_random;

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    template <typename Item> Item* pickOf(const std::vector<Item*>& items) {
        return items.empty() ? nullptr
                             : items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
    }

    QString copyDisc() {
        const QString source = QStringLiteral(CORVANE_TEST_DATA_DIR "/interop-disc1/BDMV");
        const QString target = m_root.filePath(QStringLiteral("DISC/BDMV"));
        QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString copy = target + file.mid(source.size());
            QDir().mkpath(QFileInfo(copy).path());
            QFile::copy(file, copy);
        }
        for (const char* folder : {"PLAYLIST", "STREAM", "BACKUP", "BDJO"})
            QDir().mkpath(target + QLatin1Char('/') + QLatin1String(folder));
        QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/playlist/bdpl-disc1-00002-subpath-17marks.mpls"),
                    target + QStringLiteral("/PLAYLIST/00002.mpls"));
        QFile::copy(QStringLiteral(CORVANE_TEST_DATA_DIR "/playlist/bdpl-disc1-00000-no-subpath.mpls"),
                    target + QStringLiteral("/PLAYLIST/00000.mpls"));
        return QDir::toNativeSeparators(target) + QDir::separator();
    }

    // The six-page composition of a real disc as a .mnu, with short in-effects on two pages.
    QString writeMenu() {
        std::string error;
        const auto body =
            readWholeFile(CORVANE_TEST_DATA_DIR "/menu/bdpl-disc8-ics-always-on-6pages.bin", error);
        if (!body) return {};
        const QString path = m_root.filePath(QStringLiteral("disc8.mnu"));
        if (!writeWholeFile(path.toStdString(), wrapComposition(*body, 90000)).ok) return {};
        return path;
    }

    void addInEffects() {
        TMenu& menu = m_window->menuPage->menu();
        for (std::size_t p = 0; p < std::min<std::size_t>(2, menu.IGSc.pages.size()); ++p) {
            Teffectseq& in = menu.IGSc.pages[p].effect_sequences[0];
            if (!in.effects.empty()) continue;
            in.windows = {TEffWindow{0, 200, 200, 300, 100}};
            in.number_of_windows = 1;
            TCompObject object;
            object.composition_object_horizontal_position = 200;
            object.composition_object_vertical_position = 200;
            in.effects = {Teffect{90 * 120, 0, 1, {object}}, Teffect{90 * 80, 0, 1, {object}}};
            in.number_of_effects = 2;
        }
    }

    // One random action on what the window shows.
    void step() {
        MainWindow& w = *m_window;
        QWidget* page = w.PageControl->currentWidget();
        switch (pick(10)) {
        case 0: { // another main page
            // The Menu page, with its effects, runs and tables, gets half of the visits.
            QTabBar* tabs = w.PageControl->tabBar();
            const int tab = pick(2) ? w.PageControl->indexOf(w.menuPage) : pick(tabs->count());
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
            break;
        }
        case 1:
        case 2: { // a button or check box of the page or the bottom row
            std::vector<QAbstractButton*> buttons = usable<QAbstractButton>(page);
            for (QAbstractButton* b : usable<QAbstractButton>(w.centralWidget()))
                if (!page->isAncestorOf(b) && !w.PageControl->isAncestorOf(b)) buttons.push_back(b);
            if (page == w.menuPage && child<PictureBox>(w.menuPage, "iFullpage")->isVisible() &&
                pick(4) == 0) {
                QWidget* view = child<PictureBox>(w.menuPage, "iFullpage");
                QTest::mouseClick(view, Qt::LeftButton, {},
                                  QPoint(pick(view->width()), pick(view->height())));
            } else if (QAbstractButton* b = pickOf(buttons)) {
                QTest::mouseClick(b, Qt::LeftButton);
            }
            break;
        }
        case 3: { // a choice in a picker
            if (QComboBox* box = pickOf(usable<QComboBox>(page)); box && box->count() > 0)
                box->setCurrentIndex(pick(box->count()));
            break;
        }
        case 4: { // a tab of the page's own tabs
            if (QTabWidget* tabs = pickOf(usable<QTabWidget>(page)))
                tabs->setCurrentIndex(pick(tabs->count()));
            break;
        }
        case 5:
        case 6: { // keys to whatever has the focus
            static const std::array<int, 14> keys{
                Qt::Key_0,      Qt::Key_1,         Qt::Key_5,      Qt::Key_A,    Qt::Key_F,
                Qt::Key_Return, Qt::Key_Tab,       Qt::Key_Up,     Qt::Key_Down, Qt::Key_Left,
                Qt::Key_Right,  Qt::Key_Backspace, Qt::Key_Escape, Qt::Key_Space};
            QWidget* target = QApplication::focusWidget();
            if (!target || !target->isVisible() || offLimits(target)) target = page;
            const int key = keys[static_cast<std::size_t>(pick(static_cast<int>(keys.size())))];
            QTest::keyClick(target, static_cast<Qt::Key>(key));
            break;
        }
        default: // a cell edit in edit mode
            editCell(page);
            break;
        }
    }

    void editCell(QWidget* page) {
        QTableView* table = pickOf(usable<QTableView>(page));
        if (!table || !table->model() || table->model()->rowCount() == 0 ||
            table->model()->columnCount() == 0)
            return;
        if (auto* grid = qobject_cast<PlaylistGrid*>(table))
            grid->setEditable(true);
        else if (table == child<QTableView>(m_window->menuPage, "sgBOG"))
            m_window->menuPage->setBogEditable(true);
        else
            table->setEditTriggers(QAbstractItemView::AllEditTriggers);
        const QModelIndex cell =
            table->model()->index(pick(table->model()->rowCount()), pick(table->model()->columnCount()));
        table->setFocus();
        table->setCurrentIndex(cell);
        static const std::array<const char*, 6> texts{"0250", "1", "FFFF", "00", "7", "ABCD"};
        const QString text =
            QLatin1String(texts[static_cast<std::size_t>(pick(static_cast<int>(texts.size())))]);
        QTest::keyClick(table, text.at(0).toLatin1());
        for (QLineEdit* editor : table->viewport()->findChildren<QLineEdit*>()) {
            if (!editor->isVisible()) continue;
            QTest::keyClicks(editor, text.mid(1));
            QTest::keyClick(editor, pick(2) ? Qt::Key_Return : Qt::Key_Tab);
            break;
        }
    }

private slots:
    void init() {
        {
            QSettingsStore store;
            store.settings().clear();
            store.sync();
        }
        QVERIFY(m_root.isValid());
        m_window = std::make_unique<MainWindow>();
        MainWindow& w = *m_window;
        // No dialog may wait for an answer: files are never chosen, questions are answered.
        w.confirmStop = [] { return true; };
        w.menuPage->chooseFile = [](bool, const QString&, const QString&, const QString&) {
            return QString();
        };
        w.playlistPage->chooseChapterFile = [](bool, const QString&, const QString&, const QString&) {
            return QString();
        };
        w.playlistPage->askYesNo = [](const QString&) { return false; };
        w.bdmvPage->chooseProgramListFile = [](const QString&, const QString&, QString*) {
            return QString();
        };
        w.bdmvPage->soundGroup()->chooseWavToOpen = [](const QString&, const QString&) { return QString(); };
        w.bdmvPage->soundGroup()->chooseWavToSave = [](const QString&, const QString&, const QString&) {
            return QString();
        };
        w.clipInfoPage->openFile = [](const QString&) {};
        w.resize(1200, 900);
        w.show();
        QApplication::setActiveWindow(&w);
    }
    void cleanup() { m_window.reset(); }

    void randomWalkEndsWithoutACrash() {
        bool seeded = false;
        const unsigned seed = qEnvironmentVariableIntValue("CORVANE_FUZZ_SEED", &seeded);
        bool counted = false;
        const int steps = qEnvironmentVariableIntValue("CORVANE_FUZZ_STEPS", &counted);
        m_random.seed(seeded ? seed : 20261209u);
        qInfo("GUI walk: seed %u, %d steps", seeded ? seed : 20261209u, counted ? steps : 500);

        MainWindow& w = *m_window;
        w.bdmvPage->setFolder(copyDisc().toStdString());
        w.bReadBDMVClick();
        QVERIFY(child<QComboBox>(w.playlistPage, "cbPlaylist")->count() > 0);
        const QString menu = writeMenu();
        QVERIFY(!menu.isEmpty());
        QVERIFY(w.menuPage->loadMenuFile(menu));
        addInEffects();
        if (!child<QCheckBox>(w.menuPage, "cbInEffect")->isChecked())
            child<QCheckBox>(w.menuPage, "cbInEffect")->click();
        w.session().reporter.ActiDelay = 30;

        // Any box or pop-up menu that opens is closed again.
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, this, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        closer.start();

        // Each step is a timer event and the next one is due before it runs: a step whose
        // loop processes events (effects, a run, an extraction) meets the next one inside it,
        // as the user's next click or key would.
        int remaining = counted ? steps : 500;
        int running = 0;
        std::function<void()> next;
        next = [&] {
            if (remaining <= 0) return;
            --remaining;
            QTimer::singleShot(pick(4) == 0 ? 40 : 2, this, next);
            ++running;
            step();
            --running;
        };
        QTimer::singleShot(0, this, next);
        QTRY_VERIFY_WITH_TIMEOUT(remaining == 0 && running == 0, 240000);
        closer.stop();
        QTest::qWait(50);
    }
};

static RegisterGuiTest<GuiFuzzTest, true> registerGuiFuzzTest;

} // namespace corvane::test

#include "GuiFuzzTest.moc"
