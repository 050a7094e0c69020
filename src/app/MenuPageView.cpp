// The Page view of the Menu page: the page picture 1:1 or fitted, the menu simulation
// driven by the navigation keys, the pointer and the two timers, and the overlay options.

#include "app/MenuPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include "app/BusyGuard.h"
#include "app/PictureConvert.h"
#include "app/PlaylistPageGrid.h"
#include "menu/MenuEdit.h"
#include "shell/Session.h"
#include "sound/SoundFile.h"

namespace corvane {

template <typename F> auto MenuPage::withHost(F&& f) {
    std::unique_ptr<InterpreterHost> host = makeHost ? makeHost() : nullptr;
    m_sim->setOuterHost(host.get());
    m_sim->renderer().soundCount = m_session.sound.SoundIndex.entries.size(); // sound.bdmv may have changed
    const BusyGuard::Operation operation(*m_busy);
    struct Reset {
        MenuPage* page;
        ~Reset() { page->m_sim->setOuterHost(nullptr); }
    } reset{this};
    return f();
}

void MenuPage::setupSimulator() {
    m_sim = std::make_unique<MenuSimulator>(m_session.menu, m_session.interpreter, m_session.options);
    PageRenderer& renderer = m_sim->renderer();
    renderer.hooks.refresh = [this] { showPagePicture(); };
    renderer.hooks.wait = [this](int ms) { waitMs(ms); };
    renderer.hooks.cancelled = [this] { return m_session.reporter.CancelRequested; };
    renderer.hooks.status = [this](const std::string& text) { m_session.reporter.slog(text, 1); };
    renderer.hooks.playSound = [this](std::uint16_t sound) { emit soundRequested(sound); };

    MenuSimulatorCallbacks& calls = m_sim->callbacks;
    calls.refresh = [this] { showPagePicture(); };
    calls.pageChanged = [this](std::size_t page) {
        // A command chose the page: the picker and the tables follow, the picture is drawn.
        if (page >= static_cast<std::size_t>(cbPage->count())) return;
        {
            const QSignalBlocker quiet(cbPage);
            cbPage->setCurrentIndex(static_cast<int>(page));
        }
        fillHead(static_cast<int>(page));
        fillBOGs(static_cast<int>(page));
        fillEffects();
    };
    calls.buttonsListed = [this] { emit buttonListChanged(); };
    calls.buttonChosen = [this](std::size_t id) { emit buttonChosen(id); };
    calls.programLine = [this](int line) { emit programLine(line); };
    calls.runFinished = [this](const RunResult& result) { emit simulationRan(result); };
    calls.animationTimer = [this](bool run, int intervalMs) {
        m_animationWanted = run && intervalMs > 0;
        if (intervalMs > 0) tDrawRep->setInterval(intervalMs);
        if (m_animationWanted && isVisible())
            tDrawRep->start();
        else
            tDrawRep->stop();
    };
    calls.userTimeOutTimer = [this](bool run, int intervalMs) {
        if (run && intervalMs > 0) {
            tUserTO->start(intervalMs);
        } else {
            tUserTO->stop();
        }
    };
}

void MenuPage::connectPageView() {
    connect(iFullpage, &PictureBox::pressed, this, &MenuPage::iFullpagePress);
    connect(iFullpage, &PictureBox::pointerMoved, this, &MenuPage::iFullpageMove);
    connect(tDrawRep, &QTimer::timeout, this, &MenuPage::tDrawRepTimer);
    connect(tUserTO, &QTimer::timeout, this, &MenuPage::tUserTOTimer);
    connect(cbFullScreen, &QCheckBox::toggled, this, &MenuPage::applyFullScreen);
    // Button edits show at once; head fields count from the next page change or Start.
    connect(this, &MenuPage::buttonsChanged, this, &MenuPage::redrawPage);
    for (QCheckBox* overlay : {cbButtonId, cbObjectId, cbButtonFrame, cbWindowFrame})
        connect(overlay, &QCheckBox::toggled, this, [this] {
            if (gbInfos->isVisible()) redrawPage();
        });
    connect(pcMenu, &QTabWidget::currentChanged, this, [this](int) {
        QWidget* tab = pcMenu->currentWidget();
        const bool view = tab == tsFullpage;
        gbInfos->setVisible(view || pcMenu->currentIndex() == 1); // Effects and Page view
        gbEffectOptions->setVisible(view);
        if (view) applyFullScreen();
    });
}

void MenuPage::showPagePicture() {
    iFullpage->setPixmap(toPixmap(m_sim->renderer().page()));
}

void MenuPage::waitMs(int ms) {
    // Effects and activated animations run at their real pace; the window stays alive.
    const BusyGuard::Operation operation(*m_busy);
    m_busy->pumping();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(ms - clock.elapsed()));
        if (clock.elapsed() < ms) QThread::msleep(1);
    }
}

void MenuPage::showPageInView(int page) {
    if (page < 0 || m_busy->running()) return;
    m_sim->renderer().soundCount = m_session.sound.SoundIndex.entries.size();
    const BusyGuard::Operation operation(*m_busy); // the in-effects
    m_sim->choosePage(static_cast<std::size_t>(page));
    showPagePicture();
    emit pageShown(page);
}

void MenuPage::stopAnimation() {
    tDrawRep->stop();
}

void MenuPage::resumeAnimation() {
    if (m_animationWanted && m_session.options.ShowButtonAnimation && cbPage->isEnabled()) tDrawRep->start();
}

bool MenuPage::pageViewShown() const {
    return isVisible() && pcMenu->currentWidget() == tsFullpage;
}

RunResult MenuPage::bStartMenu() {
    if (!m_session.menuOpen || m_busy->running()) return {};
    return withHost([this] { return m_sim->start(); });
}

void MenuPage::chooseTraceButton(std::size_t id) {
    m_sim->chooseButton(id);
}

void MenuPage::bNavClick(NavDirection direction) {
    if (!m_session.menuOpen || m_busy->running()) return;
    withHost([this, direction] { return m_sim->move(direction); });
}

void MenuPage::bNavSelClick() {
    if (!m_session.menuOpen || m_busy->running()) return;
    withHost([this] { return m_sim->activate(); });
}

void MenuPage::redrawPage() {
    // Edits commit through here: the page is drawn without its in-effects, which play on
    // Start and page changes only.
    if (!m_session.menuOpen || !cbPage->isEnabled() || m_busy->running()) return;
    m_sim->renderer().RedrawPage();
    showPagePicture();
}

void MenuPage::backchange() {
    const std::string error = m_sim->renderer().backchange();
    if (!error.empty()) m_session.reporter.erlog(error);
    applyFullScreen(); // the box colour follows colBackground in 1:1 mode
    if (m_session.menuOpen && cbPage->isEnabled())
        redrawPage();
    else
        showPagePicture();
}

void MenuPage::applyFullScreen() {
    const bool fit = cbFullScreen->isChecked();
    sbFullpage->setFit(fit);
    sbFullpage->setBoxColour(fit ? QColor(Qt::black)
                                 : QColor(QRgb(colourToRgb(m_session.options.colBackground))));
}

void MenuPage::setObjectBoxColour(const QColor& colour) {
    for (QLabel* picture : {static_cast<QLabel*>(iBOG), static_cast<QLabel*>(iObject)}) {
        // The picture sits in a scroll area's viewport.
        QWidget* viewport = picture->parentWidget();
        if (viewport == nullptr) continue;
        QPalette colours = viewport->palette();
        colours.setColor(QPalette::Window, colour);
        viewport->setPalette(colours);
        viewport->setAutoFillBackground(true);
    }
}

void MenuPage::iFullpagePress(const QPoint& position) {
    if (!m_session.menuOpen || m_busy->running()) return;
    const std::optional<PagePoint> at = viewToPage(sbFullpage->geometryNow(), position.x(), position.y());
    if (!at) return;
    withHost([this, at] { return m_sim->mouseDown(at->x, at->y); });
}

void MenuPage::iFullpageMove(const QPoint& position) {
    if (!m_session.menuOpen || m_busy->running()) return;
    const std::optional<PagePoint> at = viewToPage(sbFullpage->geometryNow(), position.x(), position.y());
    if (!at) return;
    const bool hand = withHost([this, at] { return m_sim->mouseMove(at->x, at->y); });
    iFullpage->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void MenuPage::tDrawRepTimer() {
    // Frames are drawn only where they can be seen.
    if (!pageViewShown() || m_busy->running()) return;
    if (m_sim->animationTick()) showPagePicture();
}

void MenuPage::tUserTOTimer() {
    if (!m_session.menuOpen || m_busy->running()) return;
    withHost([this] {
        m_sim->userTimeOut();
        return 0;
    });
}

void MenuPage::showTraceLine(int line) {
    const std::size_t id = m_sim->chosenButton();
    const auto& states = m_session.menu.ButtonStates;
    if (id >= states.size() || line < 0) return;
    const int bog = states[id].bog_index;
    const int row = states[id].button_index;
    if (bog >= sgBOG->columnCount()) return;
    sgBOG->setCurrentCell(1, bog);
    sgBOGClick(bog);
    if (row >= sgButton->dataRows()) return;
    sgButton->setCurrentCell(row, ColCommands);
    sgButtonClick(row);
    if (line < sgMCommands->dataRows()) sgMCommands->selectDataRow(line);
}

} // namespace corvane
