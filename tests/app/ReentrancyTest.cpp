// Loops that process events (effect playback, button commands) against the edits that would
// change what they walk: a cell commit never plays effects, and the editing controls are
// disabled while such a loop runs.

#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "menu/MenuEdit.h"
#include "menu/PageRender.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ExecutePanel.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/NavigationGrids.h"
#include "app/PageTabs.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"

namespace corvane::test {

namespace {

// Where the in-effect draws its object, away from the button.
constexpr int EffectX = 1000;
constexpr int EffectY = 500;

// A created menu whose page has a one-effect in-sequence of `ms` milliseconds showing
// object 0 (24 x 10 stripes) in a window at (EffectX, EffectY).
TMenu menuWithInEffect(int ms) {
    TMenu menu = createMenu();
    std::string error;
    if (auto png = readWholeFile(CORVANE_TEST_DATA_DIR "/menu/stripes-24x10-pal8.png", error))
        importObjectPng(menu, *png, error);
    Teffectseq& in = menu.IGSc.pages[0].effect_sequences[0];
    in.windows = {TEffWindow{0, EffectX, EffectY, 24, 10}};
    in.number_of_windows = 1;
    TCompObject object;
    object.composition_object_horizontal_position = EffectX;
    object.composition_object_vertical_position = EffectY;
    in.effects = {Teffect{static_cast<std::uint32_t>(ms) * 90, 0, 1, {object}}};
    in.number_of_effects = 1;
    return menu;
}

// The page picture's pixel as 0xRRGGBB.
std::uint32_t pixelAt(const RgbaImage& picture, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * PageWidth + static_cast<std::size_t>(x)) * 4;
    return std::uint32_t(picture.pixels[at]) << 16 | std::uint32_t(picture.pixels[at + 1]) << 8 |
           picture.pixels[at + 2];
}

} // namespace

class ReentrancyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

    MenuPage* page() { return m_window->menuPage; }
    // The page's controls by objectName.
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    void openMenu(int effectMs) {
        if (!control<QCheckBox>("cbInEffect")->isChecked()) control<QCheckBox>("cbInEffect")->click();
        page()->menu() = menuWithInEffect(effectMs);
        page()->MenuOn();
        m_window->PageControl->setCurrentWidget(page());
    }
    // Types `text` into the current cell of an edit-mode grid and presses Enter.
    static void typeCell(PlaylistGrid* grid, const QString& text) {
        QTest::keyClick(grid, text.at(0).toLatin1()); // opens the editor with the first key
        QLineEdit* editor = nullptr;
        for (QLineEdit* line : grid->viewport()->findChildren<QLineEdit*>())
            if (line->isVisible()) editor = line;
        if (!editor) return;
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }

private slots:
    void init() {
        {
            QSettingsStore store;
            store.settings().clear();
            store.sync();
        }
        m_window = std::make_unique<MainWindow>();
        m_window->resize(1200, 900);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
    }
    void cleanup() { m_window.reset(); }

    void cellEditsDuringInEffectsNeitherReplayNorCrash() {
        openMenu(1500);
        control<QTabWidget>("pcMenu")->setCurrentIndex(0);
        PlaylistGrid* grid = control<PlaylistGrid>("sgButton");
        grid->setEditable(true);
        grid->setFocus();
        grid->setCurrentCell(0, ColX);
        const std::uint32_t background =
            pixelAt(page()->simulator().renderer().background(), EffectX, EffectY);

        // X, then Y typed while the first commit would still be waiting in a replayed effect.
        bool effectShownDuringCommit = false;
        bool second = false;
        QTimer::singleShot(300, grid, [&] {
            effectShownDuringCommit =
                pixelAt(page()->simulator().renderer().page(), EffectX, EffectY) != background;
            grid->setCurrentCell(0, ColY);
            typeCell(grid, QStringLiteral("0100"));
            second = true;
        });
        typeCell(grid, QStringLiteral("0250"));
        QTRY_VERIFY_WITH_TIMEOUT(second, 5000);
        QTest::qWait(100);
        QVERIFY(!effectShownDuringCommit);

        const TIGbutton& button = page()->menu().IGSc.pages[0].BOGs[0].buttons[0];
        QCOMPARE(button.button_horizontal_position, 250);
        QCOMPARE(button.button_vertical_position, 100);
        QCOMPARE(cellText(grid, 0, ColX), QStringLiteral("250"));
        // The page view shows the edit: the picture was drawn again, without the effect.
        QCOMPARE(pixelAt(page()->simulator().renderer().page(), EffectX, EffectY), background);
    }

    void editingControlsAreDisabledWhileEffectsOrCommandsRun() {
        openMenu(600);
        QWidget* bogsTab = control<QTabWidget>("pcMenu")->widget(0);
        QVERIFY(bogsTab->isEnabled());
        QVERIFY(control<QComboBox>("cbPage")->isEnabled());
        bool tablesWhilePlaying = true, pickerWhilePlaying = true, loadWhilePlaying = true;
        bool saveWhilePlaying = true, tabsWhilePlaying = true, cancelWhilePlaying = false;
        QTimer::singleShot(200, page(), [&] {
            tablesWhilePlaying =
                control<PlaylistGrid>("sgButton")->isEnabled() || control<QTableView>("sgBOG")->isEnabled();
            pickerWhilePlaying = control<QComboBox>("cbPage")->isEnabled();
            loadWhilePlaying = control<QPushButton>("bLoadMenu")->isEnabled();
            saveWhilePlaying = m_window->bSave->isEnabled();
            tabsWhilePlaying = m_window->PageControl->isTabEnabled(0);
            cancelWhilePlaying = m_window->bCancel->isEnabled();
        });
        // Start plays the in-effects of the page.
        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QVERIFY(!tablesWhilePlaying);
        QVERIFY(!pickerWhilePlaying);
        QVERIFY(!loadWhilePlaying);
        QVERIFY(!saveWhilePlaying);
        QVERIFY(!tabsWhilePlaying);
        QVERIFY(cancelWhilePlaying);
        // Afterwards everything is as it was.
        QVERIFY(control<PlaylistGrid>("sgButton")->isEnabled());
        QVERIFY(control<QComboBox>("cbPage")->isEnabled());
        QVERIFY(control<QPushButton>("bLoadMenu")->isEnabled());
        QVERIFY(m_window->bSave->isEnabled());
        QVERIFY(m_window->PageControl->isTabEnabled(0));
        QVERIFY(!m_window->bCancel->isEnabled());

        // A button's commands held by the report pause: the BDMV grids are not reachable either.
        page()->menu().IGSc.pages[0].effect_sequences[0] = {};
        TIGbutton& button = page()->menu().IGSc.pages[0].BOGs[0].buttons[0];
        button.navigation_commands = {TNavCommand{0x22800000, 1, 0}}; // Play PL 1
        button.number_of_navigation_commands = 1;
        page()->menu().PageButtons[0] = buildPageButtons(page()->menu().IGSc.pages[0]);
        m_window->session().reporter.ActiDelay = 400;
        page()->cbPageChange();
        regsSelect(0);
        bool tablesWhileRunning = true, tabsWhileRunning = true;
        QTimer::singleShot(150, page(), [&] {
            tablesWhileRunning = control<PlaylistGrid>("sgButton")->isEnabled();
            tabsWhileRunning = m_window->PageControl->isTabEnabled(0);
        });
        page()->bNavSelClick();
        QVERIFY(!tablesWhileRunning);
        QVERIFY(!tabsWhileRunning);
        QVERIFY(control<PlaylistGrid>("sgButton")->isEnabled());

        // A movie object run on the BDMV page (Play PL 0, then Jump Title 1): its grids and
        // Read wait for it.
        QTemporaryDir root;
        BdmvPage* bdmv = m_window->bdmvPage;
        bdmv->setFolder(copySampleDisc(root.path()).toStdString());
        m_window->bReadBDMVClick();
        m_window->PageControl->setCurrentWidget(bdmv);
        bdmv->setObjectSG(0);
        bool gridsWhileRunning = true, readWhileRunning = true;
        QTimer::singleShot(150, bdmv, [&] {
            gridsWhileRunning = child<NavGridView>(bdmv, "sgCommands")->isEnabled() ||
                                child<NavGridView>(bdmv, "sgObject")->isEnabled();
            readWhileRunning = child<QPushButton>(bdmv, "bReadBDMV")->isEnabled();
        });
        m_window->pExecute->bStart->click();
        QVERIFY(!gridsWhileRunning);
        QVERIFY(!readWhileRunning);
        QVERIFY(child<NavGridView>(bdmv, "sgCommands")->isEnabled());
        QVERIFY(child<QPushButton>(bdmv, "bReadBDMV")->isEnabled());
    }

private:
    void regsSelect(std::uint32_t id) { m_window->session().interpreter.regs.PSR[PSR_SELECTED_BUTTON] = id; }
};

static RegisterGuiTest<ReentrancyTest> registerReentrancyTest;

} // namespace corvane::test

#include "ReentrancyTest.moc"
