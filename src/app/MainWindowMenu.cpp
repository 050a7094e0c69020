// The menu simulation on the main window: the navigation panel, the button picker of the
// execution panel, the Menu page's option boxes and their Options-page twins, the
// background and colour options, button sounds, and the key display of the Page view.
#include "app/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/BdmvPage.h"
#include "app/ExecutePanel.h"
#include "app/GuiInterpreterHost.h"
#include "app/MenuPage.h"
#include "app/NavigatePanel.h"
#include "app/NavigationGrids.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/SoundPlayer.h"
#include "sound/WavePlayer.h"

namespace corvane {

namespace {

// The key codes of the keyboards the program was first written for.
int virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Pause:
        return 0x13;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return static_cast<int>(event.nativeVirtualKey());
    }
}

// A Menu-page box and its Options-page twin: a click on the first copies its state to the
// second; the twin (loaded from the settings or clicked) sets the first without a click.
void twin(QCheckBox* box, QCheckBox* optionsTwin) {
    QObject::connect(box, &QCheckBox::clicked, optionsTwin,
                     [optionsTwin](bool on) { optionsTwin->setChecked(on); });
    QObject::connect(optionsTwin, &QCheckBox::toggled, box, [box](bool on) {
        if (box->isChecked() != on) box->setChecked(on);
    });
    box->setChecked(optionsTwin->isChecked());
}

} // namespace

void MainWindow::connectMenuSimulation() {
    menuPage->makeHost = [this] { return std::make_unique<GuiInterpreterHost>(interpreterHost()); };
    connect(menuPage, &MenuPage::buttonListChanged, this,
            [this] { pExecute->setButtonTexts(menuPage->simulator().buttonList()); });
    connect(menuPage, &MenuPage::buttonChosen, this, [this](std::size_t id) {
        const QSignalBlocker quiet(pExecute->cbButton);
        pExecute->selectButtonId(id);
    });
    connect(menuPage, &MenuPage::programLine, pExecute, &ExecutePanel::showLine);
    connect(menuPage, &MenuPage::simulationRan, this, &MainWindow::showRunResult);
    connect(pExecute->cbButton, &QComboBox::activated, this, [this] {
        const int id = pExecute->chosenButtonId();
        if (id >= 0) menuPage->chooseTraceButton(static_cast<std::size_t>(id));
    });
    connect(menuPage, &MenuPage::soundRequested, this,
            [this](std::uint16_t sound) { plWav(bdmvPage->player->player(), m_session.sound, sound); });

    // The button-animation Cancel of the BOGs tab, and commands followed to other pages.
    connect(menuPage, &MenuPage::cancelEnabled, bCancel, &QPushButton::setEnabled);
    connect(menuPage, &MenuPage::titleRequested, this, [this](int title, bool select) {
        if (!select || title < 1 || title > bdmvPage->titleModel->titleCount()) return;
        PageControl->setCurrentWidget(bdmvPage);
        bdmvPage->selectTitle(title - 1);
        bdmvPage->selectLine(0);
    });
    connect(menuPage, &MenuPage::playlistRequested, bdmvPage, &BdmvPage::playlistRequested);

    connect(pNavigate->bNavUp, &QPushButton::clicked, this,
            [this] { menuPage->bNavClick(NavDirection::Up); });
    connect(pNavigate->bNavDown, &QPushButton::clicked, this,
            [this] { menuPage->bNavClick(NavDirection::Down); });
    connect(pNavigate->bNavLeft, &QPushButton::clicked, this,
            [this] { menuPage->bNavClick(NavDirection::Left); });
    connect(pNavigate->bNavRight, &QPushButton::clicked, this,
            [this] { menuPage->bNavClick(NavDirection::Right); });
    connect(pNavigate->bNavSel, &QPushButton::clicked, menuPage, &MenuPage::bNavSelClick);
    // The keys work once a page is shown.
    connect(menuPage, &MenuPage::pageShown, this, [this](int page) { pNavigate->setKeysEnabled(page >= 0); });

    using enum MenuPage::ViewOption;
    twin(menuPage->viewOptionBox(ButtonId), optionsPage->menuViewBox("cbButtonIdO"));
    twin(menuPage->viewOptionBox(ObjectId), optionsPage->menuViewBox("cbObjectIdO"));
    twin(menuPage->viewOptionBox(ButtonFrame), optionsPage->menuViewBox("cbButtonFrameO"));
    twin(menuPage->viewOptionBox(WindowFrame), optionsPage->menuViewBox("cbWindowFrameO"));
    twin(menuPage->viewOptionBox(InEffect), optionsPage->menuViewBox("cbInEffectO"));
    twin(menuPage->viewOptionBox(OutEffect), optionsPage->menuViewBox("cbOutEffectO"));
    twin(menuPage->viewOptionBox(Animate), optionsPage->menuViewBox("cbAnimateO"));
    twin(menuPage->viewOptionBox(FullScreen), optionsPage->menuViewBox("cbFullScreenO"));
    twin(menuPage->viewOptionBox(PlaySound), optionsPage->menuViewBox("cbPlaySoundO"));
    // Button animation runs while ticked and a page is shown.
    connect(optionsPage->menuViewBox("cbAnimateO"), &QCheckBox::toggled, this, [this](bool on) {
        if (!on)
            menuPage->stopAnimation();
        else if (PageControl->currentWidget() == menuPage)
            menuPage->resumeAnimation();
    });

    // Background and colours: the page picture follows.
    connect(optionsPage, &OptionsPage::backgroundChanged, menuPage, &MenuPage::backchange);
    connect(optionsPage, &OptionsPage::objectBackgroundChanged, menuPage, &MenuPage::setObjectBoxColour);
    menuPage->setObjectBoxColour(QColor(QRgb(colourToRgb(m_session.options.colObjectBackground))));
    connect(optionsPage, &OptionsPage::pageColourChanged, menuPage, &MenuPage::redrawPage);

    qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A click or key press starts a new action, unless it answers a box or a dialog of
    // the running one, or reaches the window while a long operation serves its events.
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
         type == QEvent::KeyPress) &&
        watched->isWidgetType() && m_serving == 0 && !QApplication::activeModalWidget() &&
        static_cast<QWidget*>(watched)->window() == this)
        m_session.reporter.beginAction();
    if (event->type() == QEvent::KeyPress && PageControl->currentWidget() == menuPage &&
        menuPage->pageViewShown() && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->isAutoRepeat()) m_session.reporter.slog(std::to_string(virtualKeyCode(*key)), 1);
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace corvane
