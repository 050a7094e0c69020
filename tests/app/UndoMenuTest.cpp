// Undo and redo on the Menu page over a menu read from a .mnu file: every kind of edit made
// through the page's controls is one step that gives back the bytes before and after it,
// the tab shows what is unsaved, and a read or Create Menu asks before edits are lost.

#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "menu/IGWriter.h"
#include "menu/MenuEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <functional>
#include <vector>

#include "GuiTest.h"
#include "app/EditHistory.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

QString stripesPng() {
    return QStringLiteral(CORVANE_TEST_DATA_DIR "/menu/stripes-24x10-pal8.png");
}

Bytes bytesOf(const QString& path) {
    std::string error;
    auto bytes = readWholeFile(path.toStdString(), error);
    return bytes ? *bytes : Bytes{};
}

// Two pages alike: two BOGs of one button each (ids 0 and 1), the first button with two
// commands and objects from the stripes PNG, in effects whose second object is cropped.
TMenu undoMenu() {
    TMenu menu = createMenu();
    std::string error;
    const Bytes png = bytesOf(stripesPng());
    importObjectPng(menu, png, error);
    importObjectPng(menu, png, error);
    TPage& page = menu.IGSc.pages[0];
    page.palette_id_ref = 1;
    TIGbutton& first = page.BOGs[0].buttons[0];
    first.button_horizontal_position = 100;
    first.button_vertical_position = 50;
    first.upper_button_id_ref = 1;
    first.normal_start_object_id_ref = 0;
    first.normal_end_object_id_ref = 1;
    first.normal_repeat_flag = 1;
    first.selected_start_object_id_ref = first.selected_end_object_id_ref = 1;
    first.navigation_commands = {TNavCommand{0x20810000, 0x00000001, 0},  // GoTo 1
                                 TNavCommand{0x21810000, 0x00000002, 0}}; // Jump Title 2
    first.number_of_navigation_commands = 2;
    TBOG second;
    TIGbutton other = defaultButton();
    other.button_id = 1;
    second.buttons.push_back(other);
    second.number_of_buttons = 1;
    page.BOGs.push_back(second);
    page.number_of_BOGs = 2;

    Teffectseq& in = page.effect_sequences[0];
    in.windows.push_back(TEffWindow{0, 100, 100, 200, 100});
    in.number_of_windows = 1;
    Teffect effect;
    effect.effect_duration = 900; // 10 ms: played on every page change
    TCompObject whole;
    whole.composition_object_horizontal_position = 110;
    whole.composition_object_vertical_position = 110;
    TCompObject cropped = whole;
    cropped.object_id_ref = 1;
    cropped.composition_flags = 0x2;
    cropped.object_cropping_horizontal_position = 10;
    cropped.object_cropping_vertical_position = 2;
    cropped.object_cropping_width = 8;
    cropped.object_cropping_height = 5;
    effect.composition_objects = {whole, cropped};
    effect.number_of_composition_objects = 2;
    in.effects.push_back(effect);
    in.number_of_effects = 1;

    TPage copy = page;
    copy.page_id = 1;
    menu.IGSc.pages.push_back(copy);
    menu.IGSc.number_of_pages = 2;
    menu.PageButtons = {buildPageButtons(menu.IGSc.pages[0]), buildPageButtons(menu.IGSc.pages[1])};
    return menu;
}

} // namespace

class UndoMenuTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<MainWindow> m_window;
    QString m_answer; // what the page's file dialog returns

    MenuPage* page() { return m_window->menuPage; }
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    QString file(const char* name) const { return m_root.filePath(QLatin1String(name)); }
    QUndoStack* stack() { return m_window->history().stack(EditedDocument::Menu); }
    QString tabText() { return m_window->PageControl->tabText(m_window->PageControl->indexOf(page())); }
    // What Save would write now.
    Bytes written() { return saveIGS(page()->menu(), IGSaveMode::Mnu).bytes; }
    TPage& shownPage() { return page()->menu().IGSc.pages[1]; }

    void loadMenu(const QString& path) {
        m_answer = path;
        QTest::mouseClick(control<QPushButton>("bLoadMenu"), Qt::LeftButton);
    }
    void save(const QString& path) {
        m_answer = path;
        QTest::mouseClick(m_window->bSave, Qt::LeftButton);
    }
    void typeInto(QLineEdit* field, const QString& text) {
        field->clear();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // "Edit mode" from a table's pop-up menu.
    void editMode(QTableView* table) {
        emit table->customContextMenuRequested(QPoint(4, 4));
        auto* popup = page()->findChild<QMenu*>(QStringLiteral("PopupMenu"));
        QVERIFY(popup);
        auto* action = popup->findChild<QAction*>(QStringLiteral("miEdit"));
        QVERIFY(action);
        action->trigger();
        popup->hide();
    }
    // Types into a cell's editor; the delegate commits from the event loop.
    void typeCell(QTableView* table, int row, int column, const QString& text) {
        table->setCurrentIndex(table->model()->index(row, column));
        editCell(table, row, column);
        auto* editor = table->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!table->viewport()->findChild<QLineEdit*>());
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
        QVERIFY(
            writeWholeFile(file("undo.mnu").toStdString(), saveIGS(undoMenu(), IGSaveMode::Mnu).bytes).ok);
        loadMenu(file("undo.mnu"));
        QVERIFY(page()->hasMenu());
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(page()));
        control<QComboBox>("cbPage")->setCurrentIndex(1);
        QCOMPARE(tabText(), QStringLiteral("Menu"));
    }
    void cleanup() { m_window.reset(); }

    void everyEditIsOneStepBackToItsBytes() {
        // Not saved first: the objects decoded for the page view are no edit.
        const Bytes asRead = written();
        QVERIFY(!asRead.empty());
        BogGrid* bogs = control<BogGrid>("sgBOG");
        auto* pcMenu = control<QTabWidget>("pcMenu");
        auto* undo = child<QAction>(m_window.get(), "actUndo");

        struct Edit {
            const char* step;
            std::function<void()> make;
            std::function<void()> undone; // the page shows the model again, in the same place
        };
        const std::vector<Edit> edits{
            {"Edit UO mask", [&] { typeInto(control<THexEdit>("heUO1"), QStringLiteral("8000000F")); },
             [&] { QCOMPARE(control<THexEdit>("heUO1")->text(), QStringLiteral("00000000")); }},
            // Typed digit by digit, taken over as typed: one step.
            {"Edit animation frame rate",
             [&] {
                 control<TIntEdit>("ieFramerate")->setFocus();
                 control<TIntEdit>("ieFramerate")->clear();
                 QTest::keyClicks(control<TIntEdit>("ieFramerate"), QStringLiteral("123"));
                 QCOMPARE(shownPage().animation_frame_rate_code, std::uint8_t(123));
                 QTest::keyClick(control<TIntEdit>("ieFramerate"), Qt::Key_Return);
             },
             [&] { QCOMPARE(control<TIntEdit>("ieFramerate")->text(), QStringLiteral("1")); }},
            {"Edit default selected button",
             [&] { typeInto(control<THexEdit>("heDefSelButt"), QStringLiteral("1")); },
             {}},
            {"Edit default activated button",
             [&] { typeInto(control<THexEdit>("heDefActButt"), QStringLiteral("0")); },
             {}},
            {"Edit page palette", [&] { typeInto(control<THexEdit>("hePalette"), QStringLiteral("0")); },
             [&] { QCOMPARE(control<THexEdit>("hePalette")->text(), QStringLiteral("01")); }},
            {"Edit time-out", [&] { typeInto(control<QLineEdit>("eUTO"), QStringLiteral("0:01:30")); },
             [&] { QCOMPARE(control<QLineEdit>("eUTO")->text(), QStringLiteral("0:00:00")); }},
            {"Edit BOG",
             [&] {
                 editMode(bogs);
                 typeCell(bogs, 1, 0, QStringLiteral("0001"));
             },
             [&] { QCOMPARE(cellText(bogs, 1, 0), QStringLiteral("FFFF")); }},
            {"Edit button",
             [&] {
                 bogs->setCurrentCell(1, 1);
                 editMode(grid("sgButton"));
                 typeCell(grid("sgButton"), 0, ColX, QStringLiteral("1919"));
             },
             [&] {
                 QCOMPARE(bogs->currentColumn(), 1);
                 QCOMPARE(cellText(grid("sgButton"), 0, ColId), QStringLiteral("0001"));
                 QCOMPARE(cellText(grid("sgButton"), 0, ColX), QStringLiteral("0"));
             }},
            {"Edit command",
             [&] {
                 bogs->setCurrentCell(1, 0);
                 editMode(grid("sgMCommands"));
                 typeCell(grid("sgMCommands"), 1, 2, QStringLiteral("00000007"));
             },
             [&] {
                 QCOMPARE(bogs->currentColumn(), 0);
                 QCOMPARE(grid("sgMCommands")->currentRow(), 1);
                 QCOMPARE(cellText(grid("sgMCommands"), 1, 2).trimmed(), QStringLiteral("00000002"));
             }},
            {"Edit cropping",
             [&] {
                 pcMenu->setCurrentIndex(1);
                 grid("sgEffCompObjects")->setCurrentCell(1, 1);
                 typeInto(control<TIntEdit>("neCropW"), QStringLiteral("12"));
             },
             [&] {
                 QCOMPARE(grid("sgEffCompObjects")->currentRow(), 1);
                 QCOMPARE(control<TIntEdit>("neCropW")->text(), QStringLiteral("8"));
             }},
            {"Import PNG",
             [&] {
                 pcMenu->setCurrentIndex(2);
                 m_answer = stripesPng();
                 QTest::mouseClick(control<QToolButton>("bbLoadIGObj"), Qt::LeftButton);
                 QCOMPARE(control<QComboBox>("cbObjects")->count(), 3);
             },
             [&] {
                 QCOMPARE(control<QComboBox>("cbObjects")->count(), 2);
                 QCOMPARE(control<QComboBox>("cbPalettes")->count(), 2);
                 QCOMPARE(grid("sgIGObjects")->dataRows(), 2);
             }},
        };

        for (const Edit& edit : edits) {
            const QString step = QLatin1String(edit.step);
            const Bytes before = written();
            const int steps = stack()->count();
            edit.make();
            if (QTest::currentTestFailed()) return;
            QCOMPARE(stack()->count(), steps + 1);
            QCOMPARE(undo->text(), QStringLiteral("Undo ") + step);
            const Bytes edited = written();
            QVERIFY2(edited != before, edit.step);
            QCOMPARE(tabText(), QStringLiteral("Menu*"));

            undo->trigger();
            QVERIFY2(written() == before, edit.step);
            QCOMPARE(control<QComboBox>("cbPage")->currentIndex(), 1);
            if (edit.undone) edit.undone();
            if (QTest::currentTestFailed()) return;
            // Undoing the first edit is back at the menu as read.
            if (steps == 0) QCOMPARE(tabText(), QStringLiteral("Menu"));
            stack()->redo();
            QVERIFY2(written() == edited, edit.step);
            QCOMPARE(tabText(), QStringLiteral("Menu*"));
        }

        const Bytes afterEdits = written();
        save(file("edited.mnu"));
        QCOMPARE(bytesOf(file("edited.mnu")), afterEdits);
        QCOMPARE(tabText(), QStringLiteral("Menu"));

        while (stack()->canUndo()) stack()->undo();
        QCOMPARE(tabText(), QStringLiteral("Menu*"));
        save(file("undone.mnu"));
        QVERIFY(bytesOf(file("undone.mnu")) == asRead);
        QCOMPARE(tabText(), QStringLiteral("Menu"));

        while (stack()->canRedo()) stack()->redo();
        save(file("redone.mnu"));
        QVERIFY(bytesOf(file("redone.mnu")) == afterEdits);
        QCOMPARE(tabText(), QStringLiteral("Menu"));
    }

    void unsavedEditsAreAskedForAndHeldDuringLoops() {
        QVERIFY(
            writeWholeFile(file("other.mnu").toStdString(), saveIGS(createMenu(), IGSaveMode::Mnu).bytes).ok);
        typeInto(control<THexEdit>("heUO1"), QStringLiteral("8000000F"));
        const Bytes edited = written();
        QCOMPARE(tabText(), QStringLiteral("Menu*"));

        QStringList asked;
        int answer = QMessageBox::Cancel;
        m_window->askUnsaved = [&](const QStringList& files) {
            asked << files;
            return answer;
        };
        // Cancel keeps the menu with its edit and its history.
        loadMenu(file("other.mnu"));
        QCOMPARE(asked, QStringList{QStringLiteral("undo.mnu")});
        QTest::mouseClick(child<QPushButton>(m_window->optionsPage, "bCreateMenu"), Qt::LeftButton);
        QCOMPARE(asked.size(), 2);
        QVERIFY(written() == edited);
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(tabText(), QStringLiteral("Menu*"));

        // While a button animation pumps events, the menu cannot be undone under it.
        auto* undo = child<QAction>(m_window.get(), "actUndo");
        m_window->PageControl->setCurrentWidget(page());
        QVERIFY(undo->isEnabled());
        bool undoDuringLoop = true;
        QTimer::singleShot(100, [&] {
            undoDuringLoop = undo->isEnabled();
            m_window->session().reporter.CancelRequested = true;
        });
        page()->sgButtonDblClick(0, ColNormalEnd);
        QVERIFY(!undoDuringLoop);
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("Undo Edit UO mask"));

        // Discard reads the other menu; its history starts empty.
        answer = QMessageBox::Discard;
        loadMenu(file("other.mnu"));
        QCOMPARE(asked.size(), 3);
        QCOMPARE(page()->menu().IGSc.pages.size(), std::size_t(1));
        QCOMPARE(stack()->count(), 0);
        QCOMPARE(tabText(), QStringLiteral("Menu"));
        // Nothing unsaved: Create Menu asks nothing.
        QTest::mouseClick(child<QPushButton>(m_window->optionsPage, "bCreateMenu"), Qt::LeftButton);
        QCOMPARE(asked.size(), 3);

        // The animation code is taken over per key: each visit of the field is one step.
        auto* code = control<TIntEdit>("ieFramerate");
        for (const char* typed : {"25", "7"}) {
            code->setFocus();
            code->clear();
            QTest::keyClicks(code, QLatin1String(typed));
            QTest::keyClick(code, Qt::Key_Return);
        }
        QCOMPARE(stack()->count(), 2);
        stack()->undo();
        QCOMPARE(page()->menu().IGSc.pages[0].animation_frame_rate_code, std::uint8_t(25));
    }
};

static RegisterGuiTest<UndoMenuTest> registerUndoMenuTest;

} // namespace corvane::test

#include "UndoMenuTest.moc"
