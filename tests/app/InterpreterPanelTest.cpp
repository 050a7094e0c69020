// The interpreter on the BDMV page of the sample disc: runs and traces of movie objects as
// the user sees them (register panel, status bar, selected line, Start's caption),
// Cancel ending a trace, the register panel's edits and the Status page's register buttons.

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ExecutePanel.h"
#include "app/MainWindow.h"
#include "app/MessageLog.h"
#include "app/NavigationGrids.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/QSettingsStore.h"
#include "app/RegisterPanel.h"
#include "app/StatusPage.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane::test {

namespace {

// A status panel's text as the panel holds it: the text between two blanks.
QString panel(const QString& text) {
    return QLatin1Char(' ') + text + QLatin1Char(' ');
}

} // namespace

class InterpreterPanelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MainWindow> m_window;

    BdmvPage* page() { return m_window->bdmvPage; }
    ExecutePanel* execute() { return m_window->pExecute; }
    RegisterPanel* registers() { return m_window->pRegisters; }
    Session& session() { return m_window->session(); }
    QString statusText(int index) { return m_window->StatusBar->panelText(index); }
    QString logText() {
        return m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->toPlainText();
    }

    void setActiDelay(int milliseconds) {
        child<TIntEdit>(m_window->optionsPage, "ieActiDelay")->setText(QString::number(milliseconds));
    }
    void runObject(int object) {
        page()->setObjectSG(object);
        execute()->bStart->click();
    }
    // The value the register panel shows for a register picked by typing its number.
    QString shownPSR(int number) {
        registers()->iePSR->clear();
        QTest::keyClicks(registers()->iePSR, QString::number(number));
        return registers()->hePSRval->text();
    }
    QString shownGPR(int number) {
        registers()->ieGPR->clear();
        QTest::keyClicks(registers()->ieGPR, QString::number(number));
        return registers()->heGPRval->text();
    }
    void clickLine(int line) {
        QTableView* grid = child<NavGridView>(page(), "sgCommands");
        const QRect cell = grid->visualRect(grid->model()->index(line, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void init() {
        QSettingsStore store;
        store.settings().clear();
        store.sync();
        m_root = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<MainWindow>();
        page()->setFolder(copySampleDisc(m_root->path()).toStdString());
        m_window->bReadBDMVClick();
        setActiDelay(0);
    }
    void cleanup() {
        m_window.reset();
        m_root.reset();
    }

    void panelsByNameAndPageRules() {
        for (const char* name : {"pExecute", "pRegisters"})
            QVERIFY2(m_window->findChild<QWidget*>(QLatin1String(name)), name);
        QVERIFY(m_window->findChild<QPushButton*>(QStringLiteral("bStart")));
        QVERIFY(m_window->findChild<QCheckBox*>(QStringLiteral("cbTrace")));
        QVERIFY(m_window->findChild<TIntEdit*>(QStringLiteral("ieProgramLine")));
        QVERIFY(m_window->findChild<QComboBox*>(QStringLiteral("cbObject")));
        for (const char* name : {"iePSR", "ieGPR"})
            QVERIFY2(m_window->findChild<TIntEdit*>(QLatin1String(name)), name);
        for (const char* name : {"hePSRval", "heGPRval"})
            QVERIFY2(m_window->findChild<THexEdit*>(QLatin1String(name)), name);
        QCOMPARE(registers()->iePSR->toolTip(), QStringLiteral("PSR number"));
        QCOMPARE(registers()->heGPRval->toolTip(), QStringLiteral("GPR value"));
        QCOMPARE(m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bPSRs"))->text(),
                 QStringLiteral("PS&Rs"));
        QCOMPARE(m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bGPRs"))->text(),
                 QStringLiteral("&GPRs"));
        QCOMPARE(m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bResetRegs"))->text(),
                 QStringLiteral("Re&set Regs"));

        QCOMPARE(m_window->PageControl->currentWidget(), page());
        QVERIFY(!execute()->isHidden());
        QVERIFY(!registers()->isHidden());
        m_window->PageControl->setCurrentWidget(m_window->statusPage);
        QVERIFY(execute()->isHidden());
        QVERIFY(!registers()->isHidden());
        QVERIFY(!execute()->bStart->isEnabled());
        m_window->PageControl->setCurrentWidget(m_window->optionsPage);
        QVERIFY(execute()->isHidden());
        QVERIFY(registers()->isHidden());

        // A progress display hides the panels; its end restores them as a page change does.
        m_window->PageControl->setCurrentWidget(page());
        session().reporter.PrBarOn();
        QVERIFY(execute()->isHidden());
        QVERIFY(registers()->isHidden());
        session().reporter.PrBarOff();
        QVERIFY(!execute()->isHidden());
        QVERIFY(!registers()->isHidden());
        QVERIFY(execute()->bStart->isEnabled());
    }

    void objectPickerAndStart() {
        QComboBox* objects = execute()->cbObject;
        QCOMPARE(objects->count(), 4);
        QCOMPARE(objects->itemText(0), QStringLiteral("0000"));
        QCOMPARE(objects->itemText(3), QStringLiteral("0003"));
        page()->setObjectSG(3);
        QCOMPARE(objects->currentText(), QStringLiteral("0003"));
        QVERIFY(execute()->bStart->isEnabled());
        // A new object has no commands: nothing to start.
        page()->bbObinsClick();
        QCOMPARE(objects->count(), 5);
        QCOMPARE(page()->selectedObject(), 4);
        QCOMPARE(objects->currentText(), QStringLiteral("0004"));
        QVERIFY(!execute()->bStart->isEnabled());
        // Choosing in the picker selects the object.
        objects->setCurrentIndex(1);
        emit objects->activated(1);
        QCOMPARE(page()->selectedObject(), 1);
        QVERIFY(execute()->bStart->isEnabled());
    }

    void runObjectZero() {
        runObject(0);
        // Play PL 0, then Jump Title 1 ends the run on line 3.
        QCOMPARE(shownPSR(4), QStringLiteral("00000001"));
        QCOMPARE(shownPSR(6), QStringLiteral("00000000"));
        QCOMPARE(statusText(0), panel(QStringLiteral("Ready. ")));
        QCOMPARE(statusText(1), panel(QString()));
        QCOMPARE(page()->selectedLine(), 3);
        QCOMPARE(execute()->ieProgramLine->text(), QStringLiteral("0003"));
        QVERIFY(!session().interpreter.TraceActive);
        QVERIFY(!m_window->bCancel->isEnabled());
        QVERIFY(!execute()->traceRunning());
    }

    void reportsHeldForActiDelay() {
        setActiDelay(25);
        QStringList shown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const QString text = statusText(1);
            if (shown.isEmpty() || shown.last() != text) shown << text;
        });
        watch.start(1);
        QElapsedTimer clock;
        clock.start();
        runObject(0);
        const qint64 elapsed = clock.elapsed();
        watch.stop();
        // The timer fired during the pauses: the window stayed responsive.
        QVERIFY2(shown.contains(panel(QStringLiteral("Play PL 0"))), qPrintable(shown.join('|')));
        QVERIFY2(shown.contains(panel(QStringLiteral("Jump Title 1"))), qPrintable(shown.join('|')));
        QVERIFY(shown.indexOf(panel(QStringLiteral("Play PL 0"))) <
                shown.indexOf(panel(QStringLiteral("Jump Title 1"))));
        QVERIFY2(elapsed >= 50, qPrintable(QString::number(elapsed)));
        QCOMPARE(statusText(1), panel(QString()));
    }

    void traceObjectThreeStepByStep() {
        execute()->cbTrace->click();
        runObject(3);
        // The first click prepares: nothing executed, line 0 waits.
        QCOMPARE(session().interpreter.regs.GPR[2], 0u);
        QVERIFY(session().interpreter.TraceActive);
        QCOMPARE(statusText(0), panel(QStringLiteral("Running trace...")));
        QCOMPARE(statusText(1),
                 panel(QStringLiteral("Line 0000 : 50400003 00000002  00000001  : Add GPR2, 1")));
        QVERIFY(execute()->traceRunning());
        QVERIFY(m_window->bCancel->isEnabled());
        QCOMPARE(page()->selectedLine(), 0);
        QCOMPARE(execute()->ieProgramLine->text(), QStringLiteral("0000"));
        QCOMPARE(registers()->ieGPR->text(), QStringLiteral("0002"));
        QCOMPARE(registers()->heGPRval->text(), QStringLiteral("00000000"));

        execute()->bStart->click(); // Add GPR2, 1
        QCOMPARE(registers()->heGPRval->text(), QStringLiteral("00000001"));
        QCOMPARE(page()->selectedLine(), 1);
        QVERIFY(statusText(1).startsWith(
            QStringLiteral(" Line 0001 : 48400200 80000004  00000002  : EQ PSR4, 2")));
        QCOMPARE(registers()->iePSR->text(), QStringLiteral("004"));
        QCOMPARE(registers()->hePSRval->text(), QStringLiteral("0000FFFF"));

        execute()->bStart->click(); // EQ PSR4, 2 is false: Play PL 3 is skipped
        QCOMPARE(page()->selectedLine(), 3);
        QCOMPARE(execute()->ieProgramLine->text(), QStringLiteral("0003"));
        QCOMPARE(statusText(1),
                 panel(QStringLiteral("Line 0003 : 21830000 00000001  00000000 : Call Title 1")));

        execute()->bStart->click(); // Call Title 1
        QCOMPARE(session().interpreter.regs.PSR[PSR_TITLE], 1u);
        QCOMPARE(registers()->hePSRval->text(), QStringLiteral("00000001"));
        QCOMPARE(page()->selectedLine(), 4);
        QCOMPARE(statusText(1), panel(QStringLiteral("Line 0004 : 01040000 00000000 00000000 : Resume")));
        QVERIFY(execute()->traceRunning());

        execute()->bStart->click(); // Resume, the last line: the trace ends
        QVERIFY(!session().interpreter.TraceActive);
        QCOMPARE(statusText(0), panel(QStringLiteral("Ready. ")));
        QCOMPARE(statusText(1), panel(QString()));
        QVERIFY(!execute()->traceRunning());
        QVERIFY(!m_window->bCancel->isEnabled());
        QCOMPARE(session().interpreter.regs.PSR[PSR_PLAYLIST], 0u);
    }

    void clickedLineRunsWhileTracing() {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // Without the trace a click only selects the line.
        page()->setObjectSG(3);
        clickLine(3);
        QCOMPARE(session().interpreter.regs.PSR[PSR_TITLE], 0xFFFFu);
        QCOMPARE(page()->selectedLine(), 3);

        execute()->cbTrace->click();
        execute()->bStart->click();
        QCOMPARE(page()->selectedLine(), 0);
        clickLine(3); // Call Title 1, then line 4 waits
        QCOMPARE(session().interpreter.regs.PSR[PSR_TITLE], 1u);
        QCOMPARE(session().interpreter.regs.GPR[2], 0u);
        QCOMPARE(page()->selectedLine(), 4);
        QCOMPARE(execute()->ieProgramLine->text(), QStringLiteral("0004"));
        QVERIFY(session().interpreter.TraceActive);
        QCOMPARE(statusText(1), panel(QStringLiteral("Line 0004 : 01040000 00000000 00000000 : Resume")));
    }

    void cancelEndsTrace() {
        execute()->cbTrace->click();
        runObject(3);
        execute()->bStart->click(); // Add GPR2, 1
        QCOMPARE(session().interpreter.regs.GPR[2], 1u);
        QVERIFY(m_window->bCancel->isEnabled());

        m_window->bCancel->click();
        QVERIFY(!session().interpreter.TraceActive);
        QVERIFY(!m_window->bCancel->isEnabled());
        QVERIFY(!execute()->traceRunning());
        QCOMPARE(statusText(0), panel(QStringLiteral("Ready. ")));
        QCOMPARE(statusText(1), panel(QString()));
        QVERIFY(!session().reporter.CancelRequested);
        QCOMPARE(session().interpreter.regs.GPR[2], 1u);

        // The next Start prepares a new trace from line 0 and executes nothing.
        execute()->bStart->click();
        QVERIFY(session().interpreter.TraceActive);
        QCOMPARE(page()->selectedLine(), 0);
        QCOMPARE(session().interpreter.regs.GPR[2], 1u);
        execute()->bStart->click();
        QCOMPARE(session().interpreter.regs.GPR[2], 2u);
    }

    void typedLineIsTheNextStep() {
        execute()->cbTrace->click();
        runObject(3);
        QTest::keyClicks(execute()->ieProgramLine, QStringLiteral("3"));
        QCOMPARE(execute()->ieProgramLine->text(), QStringLiteral("0003"));
        QTest::keyClick(execute()->ieProgramLine, Qt::Key_Return);
        QCOMPARE(session().interpreter.CurrentLine, 3);
        execute()->bStart->click(); // Call Title 1
        QCOMPARE(session().interpreter.regs.PSR[PSR_TITLE], 1u);
        QCOMPARE(session().interpreter.regs.GPR[2], 0u);
        QCOMPARE(page()->selectedLine(), 4);
    }

    void tickingTraceStopsEndlessRun() {
        // Object 1 plays PlayList 1 over and over (GoTo 3 after Play PL 1).
        QTimer::singleShot(50, execute()->cbTrace, &QCheckBox::click);
        runObject(1);
        QVERIFY(execute()->cbTrace->isChecked());
        QVERIFY(session().interpreter.TraceActive);
        QCOMPARE(statusText(0), panel(QStringLiteral("Running trace...")));
        QVERIFY(execute()->traceRunning());
        QCOMPARE(session().interpreter.regs.GPR[1], 1u);
        QCOMPARE(session().interpreter.regs.PSR[PSR_PLAYLIST], 1u);
        const int line = page()->selectedLine();
        QVERIFY2(line == 3 || line == 4, qPrintable(QString::number(line)));
        QCOMPARE(execute()->ieProgramLine->text(), ExecutePanel::lineText(line));
    }

    void closingTheWindowStopsRun() {
        QTimer::singleShot(50, m_window.get(), &QWidget::close);
        runObject(1);
        QVERIFY(!execute()->cbTrace->isChecked());
        QVERIFY(session().interpreter.TraceActive);
    }

    void untickedTraceRunsToTheEnd() {
        execute()->cbTrace->click();
        QVERIFY(execute()->bStart->toolTip().isEmpty());
        runObject(3);
        execute()->bStart->click(); // Add GPR2, 1
        execute()->cbTrace->click();
        QCOMPARE(execute()->bStart->toolTip().isEmpty(), false);
        execute()->bStart->click(); // run mode starts over from line 0
        QCOMPARE(session().interpreter.regs.GPR[2], 2u);
        QCOMPARE(session().interpreter.regs.PSR[PSR_TITLE], 1u);
        QVERIFY(!session().interpreter.TraceActive);
        QVERIFY(!execute()->traceRunning());
    }

    void registerPanelEdits() {
        QCOMPARE(shownPSR(200), QStringLiteral("00000001")); // refused: PSR0
        QCOMPARE(registers()->iePSR->text(), QStringLiteral("0"));
        QCOMPARE(shownPSR(19), QStringLiteral("00005553"));

        shownGPR(7);
        registers()->heGPRval->setText(QStringLiteral("2a"));
        QTest::keyClick(registers()->heGPRval, Qt::Key_Return);
        QCOMPARE(session().interpreter.regs.GPR[7], 0x2Au);
        QCOMPARE(registers()->heGPRval->text(), QStringLiteral("0000002A"));

        shownPSR(4);
        registers()->hePSRval->setText(QStringLiteral("3"));
        QTest::keyClick(registers()->hePSRval, Qt::Key_Return);
        QCOMPARE(session().interpreter.regs.PSR[PSR_TITLE], 3u);
        // A Jump Title reads the register as edited.
        runObject(0);
        QCOMPARE(registers()->hePSRval->text(), QStringLiteral("00000001"));
        QCOMPARE(shownGPR(7), QStringLiteral("0000002A"));
    }

    void listingsInTheLog() {
        shownGPR(7);
        registers()->heGPRval->setText(QStringLiteral("2A"));
        QTest::keyClick(registers()->heGPRval, Qt::Key_Return);
        shownGPR(4095);
        registers()->heGPRval->setText(QStringLiteral("FFFFFFFF"));
        QTest::keyClick(registers()->heGPRval, Qt::Key_Return);

        m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bGPRs"))->click();
        QVERIFY2(
            logText().contains(QStringLiteral("GPR7: 0000002A (42)   GPR4095: FFFFFFFF (4294967295)   ")),
            qPrintable(logText().right(400)));
        QVERIFY(!logText().contains(QStringLiteral("GPR0:")));

        m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bPSRs"))->click();
        const QString log = logText();
        QVERIFY(log.contains(QStringLiteral("PSR4: 0000FFFF (65535) - ")));
        QVERIFY(log.contains(QStringLiteral("PSR20: 00000001 (1) - ")));
        QVERIFY(log.contains(QStringLiteral("PSR29: 00000003 (3) - ")));
        QVERIFY(!log.contains(QStringLiteral("PSR21:")));
        QVERIFY(log.contains(QStringLiteral("PSR43: 0000FFFF (65535)   PSR48: FFFFFFFF (4294967295)   ")));
    }

    void resetRegsFromOptions() {
        runObject(0);
        shownGPR(1);
        registers()->heGPRval->setText(QStringLiteral("77"));
        QTest::keyClick(registers()->heGPRval, Qt::Key_Return);
        QCOMPARE(shownPSR(4), QStringLiteral("00000001"));

        m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bResetRegs"))->click();
        QCOMPARE(registers()->hePSRval->text(), QStringLiteral("0000FFFF"));
        QCOMPARE(registers()->heGPRval->text(), QStringLiteral("00000000"));

        // The options choose the initial values.
        child<QCheckBox>(m_window->optionsPage, "cbInitPSR")->setChecked(true);
        child<RadioGroup>(m_window->optionsPage, "rgRegion")->setItemIndex(2);
        m_window->statusPage->findChild<QPushButton*>(QStringLiteral("bResetRegs"))->click();
        QCOMPARE(registers()->hePSRval->text(), QStringLiteral("00000000"));
        QCOMPARE(shownPSR(1), QStringLiteral("00000001"));
        QCOMPARE(shownPSR(20), QStringLiteral("00000004"));
    }
};

static RegisterGuiTest<InterpreterPanelTest> registerInterpreterPanelTest;

} // namespace corvane::test

#include "InterpreterPanelTest.moc"
