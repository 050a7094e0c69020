// Building a menu's structure on the Menu page: pages, BOGs, buttons, command lines, effects,
// windows and composition objects through the tables' pop-ups and Ins / Del, the cropped flag
// and the video pickers; each is one step back to its bytes, references to a deleted button
// are reported, and Save and a new read keep every edit.

#include "menu/MenuStructure.h"
#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "menu/IGWriter.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <functional>
#include <vector>

#include "GuiTest.h"
#include "app/EditHistory.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/MessageLog.h"
#include "app/PageTabs.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "widgets/RadioGroup.h"

namespace corvane::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const QString& path) {
    std::string error;
    auto bytes = readWholeFile(path.toStdString(), error);
    return bytes ? *bytes : Bytes{};
}

// Two pages: page 0's button 0 is its default selected button, and page 1's button jumps to it.
TMenu structureMenu() {
    TMenu menu = createMenu();
    insertPage(menu, 1);
    menu.IGSc.pages[0].default_selected_button_id_ref = 0;
    TIGbutton& jump = menu.IGSc.pages[1].BOGs[0].buttons[0];
    jump.navigation_commands = {TNavCommand{0x51C00003u, 0x80000000u, 0x80000000u}}; // button 0 of page 0
    jump.number_of_navigation_commands = 1;
    menu.PageButtons = {buildPageButtons(menu.IGSc.pages[0]), buildPageButtons(menu.IGSc.pages[1])};
    return menu;
}

} // namespace

class MenuStructureTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_answer;

    MenuPage* page() { return m_window->menuPage; }
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    QString file(const char* name) const { return m_root.filePath(QLatin1String(name)); }
    QUndoStack* stack() { return m_window->history().stack(EditedDocument::Menu); }
    Bytes written() { return saveIGS(page()->menu(), IGSaveMode::Mnu).bytes; }
    TIGSc& composition() { return page()->menu().IGSc; }
    QString tabText() { return m_window->PageControl->tabText(m_window->PageControl->indexOf(page())); }
    QString logText() { return m_window->findChild<MessageLog*>(QStringLiteral("reMessage"))->toPlainText(); }

    void loadMenu(const QString& path) {
        m_answer = path;
        QTest::mouseClick(control<QPushButton>("bLoadMenu"), Qt::LeftButton);
    }
    // An item of the pop-up a widget opens (the tables' own or the structure pop-up).
    void popupItem(QWidget* widget, const char* menuName, const char* item) {
        emit widget->customContextMenuRequested(QPoint(4, 4));
        auto* popup = page()->findChild<QMenu*>(QLatin1String(menuName));
        QVERIFY(popup);
        auto* action = popup->findChild<QAction*>(QLatin1String(item));
        QVERIFY(action && action->isVisible());
        action->trigger();
        popup->hide();
    }
    void key(QWidget* widget, Qt::Key which) {
        widget->setFocus();
        QTest::keyClick(widget, which);
    }

private slots:
    void init() {
        {
            QSettingsStore store;
            store.settings().clear();
            store.sync();
        }
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        page()->chooseFile = [this](bool, const QString&, const QString&, const QString&) {
            return m_answer;
        };
        QVERIFY(writeWholeFile(file("structure.mnu").toStdString(),
                               saveIGS(structureMenu(), IGSaveMode::Mnu).bytes)
                    .ok);
        loadMenu(file("structure.mnu"));
        QVERIFY(page()->hasMenu());
    }
    void cleanup() { m_window.reset(); }

    void everyStructureEditIsOneStepAndSurvivesSave() {
        const Bytes asRead = written();
        auto* cbPage = control<QComboBox>("cbPage");
        auto* bogs = control<BogGrid>("sgBOG");
        auto* pcMenu = control<QTabWidget>("pcMenu");
        struct Edit {
            const char* step;
            std::function<void()> make;
        };
        const std::vector<Edit> edits{
            {"Insert page",
             [&] {
                 popupItem(cbPage, "pmStructure", "miInsertItem");
                 QCOMPARE(composition().pages.size(), std::size_t(3));
                 QCOMPARE(cbPage->count(), 3);
                 QCOMPARE(cbPage->currentIndex(), 1);
                 QCOMPARE(composition().pages[2].page_id, std::uint8_t(2));
             }},
            {"Insert BOG",
             [&] {
                 popupItem(bogs, "PopupMenu", "miInsertItem");
                 QCOMPARE(composition().pages[1].BOGs.size(), std::size_t(2));
                 QCOMPARE(bogs->columnCount(), 2);
                 QCOMPARE(bogs->currentColumn(), 1);
             }},
            {"Insert button",
             [&] {
                 bogs->setCurrentCell(0, 1);
                 key(grid("sgButton"), Qt::Key_Insert);
                 QCOMPARE(composition().pages[1].BOGs[1].buttons.size(), std::size_t(2));
                 QCOMPARE(grid("sgButton")->currentRow(), 1);
                 QCOMPARE(grid("sgButton")->dataRows(), 2);
                 QCOMPARE(composition().pages[1].BOGs[1].buttons[1].button_id, std::uint16_t(2));
             }},
            {"Delete button",
             [&] {
                 cbPage->setCurrentIndex(0);
                 bogs->setCurrentCell(0, 0);
                 grid("sgButton")->setCurrentCell(0, 0);
                 key(grid("sgButton"), Qt::Key_Delete);
                 QCOMPARE(composition().pages[0].BOGs[0].buttons.size(), std::size_t(0));
                 QCOMPARE(composition().pages[0].default_selected_button_id_ref, NoButton);
                 const QString log = logText();
                 QVERIFY(log.contains(QStringLiteral(
                     "ERROR: Removed button reference in page 0: default selected button (now none)")));
                 QVERIFY(log.contains(QStringLiteral("ERROR: Invalid button reference in page 2, button "
                                                     "0000, command 0: SetButtonPage 0000")));
             }},
            {"Insert window",
             [&] {
                 pcMenu->setCurrentIndex(1);
                 key(grid("sgEffWindows"), Qt::Key_Insert);
                 QCOMPARE(grid("sgEffWindows")->dataRows(), 1);
             }},
            {"Insert effect",
             [&] {
                 popupItem(grid("sgEffEffects"), "pmStructure", "miInsertItem");
                 QCOMPARE(grid("sgEffEffects")->dataRows(), 1);
             }},
            {"Insert object",
             [&] {
                 key(grid("sgEffCompObjects"), Qt::Key_Insert);
                 QCOMPARE(grid("sgEffCompObjects")->dataRows(), 1);
             }},
            {"Set cropped flag",
             [&] {
                 auto* cropped = control<QCheckBox>("cbCropped");
                 QVERIFY(cropped->isEnabled());
                 QTest::mouseClick(cropped, Qt::LeftButton, {}, QPoint(6, cropped->height() / 2));
                 QVERIFY(
                     composition().pages[0].effect_sequences[0].effects[0].composition_objects[0].cropped());
             }},
            {"Delete window",
             [&] {
                 grid("sgEffWindows")->setCurrentCell(0, 0);
                 key(grid("sgEffWindows"), Qt::Key_Delete);
                 QCOMPARE(grid("sgEffWindows")->dataRows(), 0);
                 QVERIFY(logText().contains(QStringLiteral(
                     "ERROR: Invalid window reference in page 0, effect 0: in effect object 00")));
             }},
            {"Change video format",
             [&] {
                 auto* video = control<QComboBox>("cbVideo");
                 QVERIFY(video->isEnabled());
                 video->setCurrentIndex(1);
                 emit video->activated(1);
                 QCOMPARE(composition().video_height, std::uint16_t(720));
             }},
            {"Change frame rate",
             [&] {
                 auto* frame = control<QComboBox>("cbFrame");
                 frame->setCurrentIndex(6);
                 emit frame->activated(6);
                 QCOMPARE(composition().frame_rate_id, std::uint8_t(6));
             }},
            {"Delete page",
             [&] {
                 cbPage->setCurrentIndex(1);
                 key(cbPage, Qt::Key_Delete);
                 QCOMPARE(cbPage->count(), 2);
                 QCOMPARE(composition().pages[1].page_id, std::uint8_t(1));
             }},
        };
        for (const Edit& edit : edits) {
            const Bytes before = written();
            const int steps = stack()->count();
            edit.make();
            if (QTest::currentTestFailed()) return;
            QCOMPARE(stack()->count(), steps + 1);
            QCOMPARE(stack()->undoText(), QString::fromLatin1(edit.step));
            const Bytes edited = written();
            QVERIFY2(edited != before, edit.step);
            stack()->undo();
            QVERIFY2(written() == before, edit.step);
            stack()->redo();
            QVERIFY2(written() == edited, edit.step);
        }
        QCOMPARE(cbPage->count(), 2);

        const Bytes afterEdits = written();
        QCOMPARE(tabText(), QStringLiteral("Menu*"));
        while (stack()->canUndo()) stack()->undo();
        QVERIFY(written() == asRead);
        QCOMPARE(tabText(), QStringLiteral("Menu")); // every record back as read, counts included
        QCOMPARE(cbPage->count(), 2);
        QCOMPARE(composition().pages[0].BOGs[0].buttons.size(), std::size_t(1));
        while (stack()->canRedo()) stack()->redo();
        QVERIFY(written() == afterEdits);

        m_answer = file("built.mnu");
        QTest::mouseClick(m_window->bSave, Qt::LeftButton);
        QVERIFY(bytesOf(file("built.mnu")) == afterEdits);
        loadMenu(file("built.mnu"));
        QVERIFY(written() == afterEdits);
        QCOMPARE(composition().pages.size(), std::size_t(2));
        QCOMPARE(composition().pages[0].BOGs.size(), std::size_t(1));
        QCOMPARE(composition().video_height, std::uint16_t(720));
    }

    void commandLinesComeAndGoAsSteps() {
        const Bytes asRead = written();
        control<QComboBox>("cbPage")->setCurrentIndex(1);
        PlaylistGrid* commands = grid("sgMCommands");
        QCOMPARE(commands->dataRows(), 1);
        commands->selectDataRow(0);
        key(commands, Qt::Key_Insert);
        QCOMPARE(stack()->undoText(), QStringLiteral("Insert command line"));
        auto lines = [this] { return composition().pages[1].BOGs[0].buttons[0].navigation_commands; };
        QCOMPARE(lines().size(), std::size_t(2));
        QCOMPARE(lines()[1], TNavCommand{});
        QCOMPARE(commands->dataRows(), 2);
        QCOMPARE(commands->currentRow(), 1);

        popupItem(commands, "PopupMenu", "miEdit");
        emit commands->cellEdited(1, 1, QStringLiteral("20810000"));
        QCOMPARE(lines()[1].opcode, 0x20810000u);
        QCOMPARE(page()->menu().PageButtons[1][0].navigation_commands, lines());
        QCOMPARE(stack()->count(), 2);

        // The pop-up deletes the selection and reports nothing for a line nobody jumps to.
        commands->selectDataRow(0);
        popupItem(commands, "PopupMenu", "miDeleteItem");
        QCOMPARE(stack()->undoText(), QStringLiteral("Delete command lines"));
        QCOMPARE(lines().size(), std::size_t(1));
        QCOMPARE(commands->dataRows(), 1);
        stack()->undo();
        QCOMPARE(commands->dataRows(), 2);

        stack()->undo();
        stack()->undo();
        QVERIFY(written() == asRead);
        QCOMPARE(commands->dataRows(), 1);
        QCOMPARE(tabText(), QStringLiteral("Menu"));
    }
};

static RegisterGuiTest<MenuStructureTest> registerMenuStructureTest;

} // namespace corvane::test

#include "MenuStructureTest.moc"
