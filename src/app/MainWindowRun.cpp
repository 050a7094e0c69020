// The interpreter's front end on the main window: Start and the trace on the BDMV page,
// Cancel ending a trace, the object picker, the register panel's follow-up and the
// Status page's register buttons.
#include "app/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "app/BdmvPage.h"
#include "app/BusyGuard.h"
#include "app/ExecutePanel.h"
#include "app/GuiInterpreterHost.h"
#include "app/MenuPage.h"
#include "app/NavigationGrids.h"
#include "app/PageTabs.h"
#include "app/RegisterPanel.h"
#include "app/StatusPage.h"

namespace corvane {

namespace {
// CurrentLine after Cancel: past any list, and never shown.
constexpr int EndedTraceLine = 0xFFFF;
} // namespace

void MainWindow::connectInterpreter() {
    connect(pExecute->bStart, &QPushButton::clicked, this, &MainWindow::bStartClick);
    connect(pExecute, &ExecutePanel::lineEntered, this,
            [this](int line) { m_session.interpreter.CurrentLine = line; });
    connect(pExecute->cbObject, &QComboBox::activated, this, [this](int object) {
        if (object >= 0) bdmvPage->setObjectSG(object);
    });
    connect(bdmvPage, &BdmvPage::commandLineClicked, this, &MainWindow::sgCommandsTraceClick);

    // The object picker follows the object list and the object shown in the command grid.
    const auto objectsChanged = [this] {
        fillObjectPicker();
        updateStartEnabled();
    };
    connect(bdmvPage->objectModel, &QAbstractItemModel::modelReset, this, objectsChanged);
    connect(bdmvPage->objectModel, &QAbstractItemModel::rowsInserted, this, objectsChanged);
    connect(bdmvPage->objectModel, &QAbstractItemModel::rowsRemoved, this, objectsChanged);
    const auto programChanged = [this] {
        const int object = bdmvPage->selectedObject();
        if (object >= 0 && object < pExecute->cbObject->count()) pExecute->cbObject->setCurrentIndex(object);
        updateStartEnabled();
    };
    connect(bdmvPage->commandModel, &QAbstractItemModel::modelReset, this, programChanged);
    connect(bdmvPage->commandModel, &QAbstractItemModel::rowsInserted, this, programChanged);
    connect(bdmvPage->commandModel, &QAbstractItemModel::rowsRemoved, this, programChanged);

    connect(statusPage, &StatusPage::psrsRequested, this, &MainWindow::bPSRsClick);
    connect(statusPage, &StatusPage::gprsRequested, this, &MainWindow::bGPRsClick);
    connect(statusPage, &StatusPage::resetRegsRequested, this, &MainWindow::bResetRegsClick);
}

GuiInterpreterHost MainWindow::interpreterHost() {
    GuiInterpreterHost host(
        m_session.reporter,
        [this] {
            QWidget* page = PageControl->currentWidget();
            return page == bdmvPage   ? ActivePage::Bdmv
                   : page == menuPage ? ActivePage::Menu
                                      : ActivePage::Other;
        },
        *pExecute->cbTrace, [this] { return m_closing; });
    host.onPump = [this] { notePump(); };
    return host;
}

const std::vector<TNavCommand>& MainWindow::selectedProgram() const {
    static const std::vector<TNavCommand> none;
    const int object = bdmvPage->selectedObject();
    const auto& objects = m_session.mobj.MovieObjects.mobjs;
    return object >= 0 && static_cast<std::size_t>(object) < objects.size()
               ? objects[static_cast<std::size_t>(object)].navigation_commands
               : none;
}

void MainWindow::updateStartEnabled() {
    if (PageControl->currentWidget() != bdmvPage) return;
    pExecute->bStart->setEnabled(!selectedProgram().empty());
}

void MainWindow::fillObjectPicker() {
    pExecute->setObjectCount(static_cast<int>(m_session.mobj.MovieObjects.mobjs.size()));
    const int object = bdmvPage->selectedObject();
    if (object >= 0 && object < pExecute->cbObject->count()) pExecute->cbObject->setCurrentIndex(object);
}

void MainWindow::bStartClick() {
    if (m_running) return;
    if (PageControl->currentWidget() == menuPage) {
        m_running = true;
        const RunResult result = menuPage->bStartMenu();
        m_running = false;
        showRunResult(result);
        return;
    }
    if (PageControl->currentWidget() != bdmvPage) return;
    Interpreter& interpreter = m_session.interpreter;
    const bool stepping = pExecute->cbTrace->isChecked() && interpreter.TraceActive;
    const int object = bdmvPage->selectedObject();
    if (!stepping && object >= 0 && object < pExecute->cbObject->count())
        pExecute->cbObject->setCurrentIndex(object);
    const std::vector<TNavCommand> program = selectedProgram();
    GuiInterpreterHost host = interpreterHost();
    const BusyGuard::Operation operation(*m_busy);
    m_running = true;
    const RunResult result = interpreter.start(program, host);
    m_running = false;
    showRunResult(result);
}

void MainWindow::sgCommandsTraceClick(int line) {
    if (m_running || !pExecute->cbTrace->isChecked() || PageControl->currentWidget() != bdmvPage) return;
    const std::vector<TNavCommand> program = selectedProgram();
    if (line < 0 || static_cast<std::size_t>(line) >= program.size()) return;
    pExecute->showLine(line);
    GuiInterpreterHost host = interpreterHost();
    const BusyGuard::Operation operation(*m_busy);
    m_running = true;
    const RunResult result = m_session.interpreter.executeLine(program, line, host);
    m_running = false;
    showRunResult(result);
}

void MainWindow::endTrace() {
    if (m_running) return;
    const std::vector<TNavCommand> program = selectedProgram();
    GuiInterpreterHost host = interpreterHost();
    const BusyGuard::Operation operation(*m_busy);
    m_running = true;
    const RunResult result = m_session.interpreter.cancelTrace(program, host);
    m_running = false;
    showRunResult(result);
}

void MainWindow::showRunResult(const RunResult& result) {
    const Interpreter& interpreter = m_session.interpreter;
    const int line = interpreter.CurrentLine;
    if (line >= 0 && line < EndedTraceLine) pExecute->showLine(line);
    bCancel->setEnabled(interpreter.TraceActive);
    const bool tracing = interpreter.TraceActive && pExecute->cbTrace->isChecked();
    pExecute->setTraceRunning(tracing);
    const bool onBdmv = PageControl->currentWidget() == bdmvPage;
    // The trace line text is already on the status bar; the grid shows where it stands.
    if (tracing && onBdmv) bdmvPage->selectLine(line);
    if (tracing && PageControl->currentWidget() == menuPage) menuPage->showTraceLine(line);
    if (result.endLine >= 0 && onBdmv) bdmvPage->selectLine(result.endLine);
    pRegisters->refresh();
    if (result.followGPR >= 0) pRegisters->showGPR(result.followGPR);
    if (result.followPSR >= 0) pRegisters->showPSR(result.followPSR);
}

void MainWindow::bPSRsClick() {
    for (const std::string& line : psrListLines(m_session.interpreter.regs)) m_session.reporter.log(line);
}

void MainWindow::bGPRsClick() {
    for (const std::string& line : gprListLines(m_session.interpreter.regs)) m_session.reporter.log(line);
}

void MainWindow::bResetRegsClick() {
    m_session.interpreter.ResetRegs(registerDefaults(m_session.options));
    pRegisters->refresh();
}

} // namespace corvane
