// The menu simulation on the Menu page: Start, the navigation keys, activation with the
// button commands run in the interpreter, the pointer on the page view, the key display,
// the overlay twins and the fit mode.

#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "menu/PageRender.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "GuiTest.h"
#include "app/ExecutePanel.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/NavigatePanel.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"

namespace corvane::test {

namespace {

// Move GPRn, value.
TNavCommand moveGpr(std::uint32_t gpr, std::uint32_t value) {
    return TNavCommand{0x50400001, gpr, value};
}

// Two BOGs of one button each, both shown; button 0 at (100, 100) over button 1 at
// (100, 300). Objects: 0 normal, 1 selected (24 x 10 stripes).
TMenu twoButtonMenu() {
    TMenu menu = createMenu();
    std::string error;
    std::vector<std::uint8_t> png;
    {
        auto bytes = readWholeFile(CORVANE_TEST_DATA_DIR "/menu/stripes-24x10-pal8.png", error);
        if (bytes) png = *bytes;
    }
    importObjectPng(menu, png, error);
    importObjectPng(menu, png, error);
    TPage& page = menu.IGSc.pages[0];
    TIGbutton first = page.BOGs[0].buttons[0];
    first.button_id = 0;
    first.button_horizontal_position = 100;
    first.button_vertical_position = 100;
    first.upper_button_id_ref = 0;
    first.lower_button_id_ref = 1;
    first.left_button_id_ref = 0;
    first.right_button_id_ref = 0;
    first.normal_start_object_id_ref = first.normal_end_object_id_ref = 0;
    first.selected_start_object_id_ref = first.selected_end_object_id_ref = 1;
    first.activated_start_object_id_ref = first.activated_end_object_id_ref = 1;
    first.selected_state_sound_id_ref = first.activated_state_sound_id_ref = 0xFF;
    first.navigation_commands = {moveGpr(0, 7)};
    first.number_of_navigation_commands = 1;
    TIGbutton second = first;
    second.button_id = 1;
    second.button_vertical_position = 300;
    second.upper_button_id_ref = 0;
    second.lower_button_id_ref = 1;
    second.navigation_commands = {moveGpr(1, 9)};
    page.BOGs.resize(2);
    page.number_of_BOGs = 2;
    page.BOGs[0].buttons = {first};
    page.BOGs[0].default_valid_button_id_ref = 0;
    page.BOGs[0].number_of_buttons = 1;
    page.BOGs[1].buttons = {second};
    page.BOGs[1].default_valid_button_id_ref = 1;
    page.BOGs[1].number_of_buttons = 1;
    page.default_selected_button_id_ref = 0;
    page.default_activated_button_id_ref = NoButton;
    menu.PageButtons[0] = buildPageButtons(page);
    return menu;
}

} // namespace

class MenuSimulationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

    MenuPage* page() { return m_window->menuPage; }
    // The page's controls by objectName.
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    RegisterFile& regs() { return m_window->session().interpreter.regs; }
    QString status(int panel) { return m_window->StatusBar->panelText(panel).trimmed(); }
    void sendMouse(QEvent::Type type, QPoint at) {
        QWidget* view = control<PictureBox>("iFullpage");
        QMouseEvent event(type, at, view->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    }
    void openMenu() {
        page()->menu() = twoButtonMenu();
        page()->MenuOn();
        m_window->PageControl->setCurrentWidget(page());
        control<QTabWidget>("pcMenu")->setCurrentWidget(control<QWidget>("tsFullpage"));
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
    }
    void cleanup() { m_window.reset(); }

    void startKeysAndActivation() {
        openMenu();
        QVERIFY(m_window->pNavigate->isVisible());
        QVERIFY(m_window->pExecute->cbButton->isVisible());
        QVERIFY(!m_window->pExecute->cbObject->isVisible());
        QCOMPARE(m_window->pExecute->cbButton->count(), 2);
        QVERIFY(m_window->pExecute->bStart->isEnabled());
        QVERIFY(m_window->pNavigate->bNavDown->isEnabled());

        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 0u);
        QCOMPARE(regs().PSR[PSR_PAGE], 0u);
        // The page is drawn before the default button is selected; a second start shows it.
        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QCOMPARE(status(1), QStringLiteral("PSR10: 0000 (0), PSR11: 00 (0)"));

        // Up leads to the button itself: nothing moves.
        QTest::mouseClick(m_window->pNavigate->bNavUp, Qt::LeftButton);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 0u);
        QTest::mouseClick(m_window->pNavigate->bNavDown, Qt::LeftButton);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 1u);

        // Activation runs the selected button's commands.
        QTest::mouseClick(m_window->pNavigate->bNavSel, Qt::LeftButton);
        QCOMPARE(regs().GPR[1], 9u);
        QCOMPARE(regs().GPR[0], 0u);
        QCOMPARE(m_window->pExecute->chosenButtonId(), 1);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 1u);

        // The selected button is drawn in its selected state: object 1 at (100, 300).
        const RgbaImage& picture = page()->simulator().renderer().page();
        const RgbaImage& background = page()->simulator().renderer().background();
        const std::size_t at = (std::size_t(300) * PageWidth + 100) * 4;
        QVERIFY(!std::equal(picture.pixels.begin() + at, picture.pixels.begin() + at + 24 * 4,
                            background.pixels.begin() + at));
    }

    void statusTellsTheSelectionAfterStart() {
        openMenu();
        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 0u);
        QCOMPARE(status(1), QStringLiteral("PSR10: 0000 (0), PSR11: 00 (0)"));
    }

    void pointerFollowsNeighboursAndActivates() {
        openMenu();
        control<QCheckBox>("cbFullScreen")->setChecked(false);
        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QTest::mouseClick(m_window->pNavigate->bNavDown, Qt::LeftButton);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 1u);
        // Over button 0 (its upper neighbour): the selection follows; a press activates it.
        sendMouse(QEvent::MouseMove, QPoint(110, 105));
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 0u);
        sendMouse(QEvent::MouseMove, QPoint(111, 105)); // now inside the selected button
        QCOMPARE(control<PictureBox>("iFullpage")->cursor().shape(), Qt::PointingHandCursor);
        sendMouse(QEvent::MouseMove, QPoint(600, 600));
        QCOMPARE(control<PictureBox>("iFullpage")->cursor().shape(), Qt::ArrowCursor);
        sendMouse(QEvent::MouseButtonPress, QPoint(100, 100));
        QCOMPARE(regs().GPR[0], 7u);

        // Fit mode: pointer positions are page positions scaled by the shown size.
        control<QCheckBox>("cbFullScreen")->setChecked(true);
        QVERIFY(control<ViewBox>("sbFullpage")->fit());
        const ViewGeometry shown = control<ViewBox>("sbFullpage")->geometryNow();
        QCOMPARE(control<PictureBox>("iFullpage")->size(), QSize(shown.width, shown.height));
        regs().GPR[0] = 0;
        const PagePoint inside = pageToView(shown, 105, 102);
        sendMouse(QEvent::MouseButtonPress, QPoint(inside.x, inside.y));
        QCOMPARE(regs().GPR[0], 7u);
    }

    void traceStepsTheActivatedButton() {
        TMenu menu = twoButtonMenu();
        TIGbutton& first = menu.IGSc.pages[0].BOGs[0].buttons[0];
        first.navigation_commands.push_back(moveGpr(2, 5));
        first.number_of_navigation_commands = 2;
        menu.PageButtons[0] = buildPageButtons(menu.IGSc.pages[0]);
        page()->menu() = menu;
        page()->MenuOn();
        m_window->PageControl->setCurrentWidget(page());
        control<QTabWidget>("pcMenu")->setCurrentIndex(0); // the BOGs tab follows the trace
        m_window->pExecute->cbTrace->setChecked(true);
        Interpreter& interpreter = m_window->session().interpreter;

        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QCOMPARE(regs().PSR[PSR_SELECTED_BUTTON], 0u);
        // Activation prepares the trace; each Start executes one line.
        QTest::mouseClick(m_window->pNavigate->bNavSel, Qt::LeftButton);
        QVERIFY(interpreter.TraceActive);
        QCOMPARE(regs().GPR[0], 0u);
        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QCOMPARE(regs().GPR[0], 7u);
        QCOMPARE(regs().GPR[2], 0u);
        QCOMPARE(control<BogGrid>("sgBOG")->currentColumn(), 0);
        QCOMPARE(control<PlaylistGrid>("sgMCommands")->currentRow(), 1);
        QTest::mouseClick(m_window->pExecute->bStart, Qt::LeftButton);
        QCOMPARE(regs().GPR[2], 5u);
        QVERIFY(!interpreter.TraceActive);
    }

    void keyCodesAndTwins() {
        openMenu();
        QTest::keyClick(control<PictureBox>("iFullpage"), Qt::Key_Down);
        QCOMPARE(status(1), QStringLiteral("40"));
        QTest::keyClick(control<PictureBox>("iFullpage"), Qt::Key_A);
        QCOMPARE(status(1), QStringLiteral("65"));
        // Not on another tab.
        control<QTabWidget>("pcMenu")->setCurrentIndex(0);
        QTest::keyClick(control<QTabWidget>("pcMenu"), Qt::Key_B);
        QVERIFY(status(1) != QStringLiteral("66"));

        // A Menu-page box and its Options twin stay together, in both directions.
        const bool before = control<QCheckBox>("cbButtonId")->isChecked();
        QTest::mouseClick(control<QCheckBox>("cbButtonId"), Qt::LeftButton);
        QCOMPARE(child<QCheckBox>(m_window->optionsPage, "cbButtonIdO")->isChecked(), !before);
        QCOMPARE(m_window->session().options.ButtonId, !before);
        child<QCheckBox>(m_window->optionsPage, "cbAnimateO")->setChecked(true);
        QVERIFY(control<QCheckBox>("cbAnimate")->isChecked());
        child<QCheckBox>(m_window->optionsPage, "cbAnimateO")->setChecked(false);
        QVERIFY(!control<QCheckBox>("cbAnimate")->isChecked());
    }
};

static RegisterGuiTest<MenuSimulationTest> registration;

} // namespace corvane::test

#include "MenuSimulationTest.moc"
