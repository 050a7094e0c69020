// Editing the Menu page's tables: the page head, the BOG, button and command tables, the
// double click on a button cell, the effect tables with the crop fields, and the counts
// that lead to the Effects tab. Cells are typed through the grids' edit path.

#include "graphics/ObjectPicture.h"
#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGMenu.h"
#include "menu/MenuEdit.h"
#include "navigation/CommandText.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "GuiTest.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "widgets/EditControls.h"
#include "widgets/RadioGroup.h"

namespace corvane::test {

namespace {

// One page with two BOGs of one button each (ids 0 and 1), two objects from the stripes
// PNG, and in effects of one window and one effect whose second object is cropped.
TMenu tablesMenu() {
    TMenu menu = createMenu();
    std::string error;
    const auto png = readWholeFile(CORVANE_TEST_DATA_DIR "/menu/stripes-24x10-pal8.png", error);
    if (png) {
        importObjectPng(menu, *png, error);
        importObjectPng(menu, *png, error);
    }
    TPage& page = menu.IGSc.pages[0];
    page.palette_id_ref = 1;
    TIGbutton& first = page.BOGs[0].buttons[0];
    first.button_horizontal_position = 100;
    first.button_vertical_position = 50;
    first.upper_button_id_ref = 1;
    first.normal_start_object_id_ref = first.normal_end_object_id_ref = 0;
    first.selected_start_object_id_ref = first.selected_end_object_id_ref = 1;
    first.activated_start_object_id_ref = 0;
    first.activated_end_object_id_ref = 1;
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
    effect.effect_duration = 9000; // 100 ms: the page view plays it on every page change
    effect.palette_id_ref = 0;
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
    menu.PageButtons[0] = buildPageButtons(page);
    return menu;
}

QString cell(const QTableView* grid, int row, int column) {
    return cellText(grid, row, column);
}

} // namespace

class MenuTablesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

    MenuPage* page() { return m_window->menuPage; }
    // The page's controls by objectName.
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    TPage& model() { return page()->menu().IGSc.pages[0]; }
    TIGbutton& button(std::size_t bog) { return model().BOGs[bog].buttons[0]; }
    QString status(int panel) { return m_window->StatusBar->panelText(panel).trimmed(); }

    // "Edit mode" or "Read only" from the pop-up menu of a table.
    void chooseMode(QTableView* table, bool edit) {
        emit table->customContextMenuRequested(QPoint(4, 4));
        QMenu* popup = page()->findChild<QMenu*>(QStringLiteral("PopupMenu"));
        QVERIFY(popup);
        QAction* action =
            popup->findChild<QAction*>(edit ? QStringLiteral("miEdit") : QStringLiteral("miReadonly"));
        QVERIFY(action);
        action->trigger();
        popup->hide();
    }
    void typeInto(QLineEdit* field, const QString& text) {
        field->clear();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
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
        page()->menu() = tablesMenu();
        QCOMPARE(page()->menu().IGObjects.size(), std::size_t(2));
        page()->MenuOn();
    }
    void cleanup() { m_window.reset(); }

    void headFieldsTakeOverAndMoveOn() {
        QSignalSpy changed(page(), &MenuPage::headChanged);
        typeInto(control<THexEdit>("heUO1"), QStringLiteral("8000000F"));
        QCOMPARE(model().UO_mask_table[0], 0x8000000Fu);
        QCOMPARE(m_window->focusWidget(), static_cast<QWidget*>(control<THexEdit>("heUO2")));
        QCOMPARE(changed.count(), 1);

        // The animation code is taken over as it is typed; its low 8 bits are kept.
        control<TIntEdit>("ieFramerate")->clear();
        QTest::keyClicks(control<TIntEdit>("ieFramerate"), QStringLiteral("300"));
        QCOMPARE(model().animation_frame_rate_code, std::uint8_t(300 & 0xFF));
        QTest::keyClick(control<TIntEdit>("ieFramerate"), Qt::Key_Return);
        QCOMPARE(control<TIntEdit>("ieFramerate")->text(), QStringLiteral("44"));
        QCOMPARE(m_window->focusWidget(), static_cast<QWidget*>(control<THexEdit>("heDefSelButt")));

        typeInto(control<THexEdit>("heDefSelButt"), QStringLiteral("1"));
        QCOMPARE(model().default_selected_button_id_ref, std::uint16_t(1));
        QCOMPARE(control<THexEdit>("heDefSelButt")->text(), QStringLiteral("0001"));
        typeInto(control<THexEdit>("hePalette"), QStringLiteral("0"));
        QCOMPARE(model().palette_id_ref, std::uint8_t(0));
        QCOMPARE(control<THexEdit>("hePalette")->text(), QStringLiteral("00"));
        QCOMPARE(m_window->focusWidget(), static_cast<QWidget*>(control<QComboBox>("cbPage")));

        // The time-out: h:mm:ss in 90 kHz ticks; past the 24-bit field the held time stays.
        typeInto(control<QLineEdit>("eUTO"), QStringLiteral("0:01:30"));
        QCOMPARE(page()->menu().IGSc.user_time_out_duration, 90u * 90000u);
        typeInto(control<QLineEdit>("eUTO"), QStringLiteral("0:59:00"));
        QCOMPARE(page()->menu().IGSc.user_time_out_duration, 90u * 90000u);
        QCOMPARE(control<QLineEdit>("eUTO")->text(), QStringLiteral("0:01:30"));
        QVERIFY(control<TIntEdit>("ieBOGs")->isReadOnly());
        QCOMPARE(control<TIntEdit>("ieBOGs")->text(), QStringLiteral("2"));
    }

    void bogTableTakesTheDefaultValidButton() {
        BogGrid* bogs = control<BogGrid>("sgBOG");
        QVERIFY(bogs->isEnabled());
        QCOMPARE(bogs->columnCount(), 2);
        // At least 32 pixels, and wide enough for the four digits of a button id.
        QVERIFY(bogs->columnWidth(1) >= 32);
        QVERIFY(bogs->columnWidth(1) > bogs->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
        QCOMPARE(bogs->model()->headerData(1, Qt::Vertical).toString(),
                 QStringLiteral(" default valid button"));
        QCOMPARE(cell(bogs, 2, 1), QStringLiteral("1"));

        // Read only: no editor opens.
        bogs->setCurrentCell(1, 0);
        editCell(bogs, 1, 0);
        QVERIFY(!bogs->viewport()->findChild<QLineEdit*>());

        chooseMode(bogs, true);
        QVERIFY(page()->bogEditable());
        QSignalSpy changed(page(), &MenuPage::buttonsChanged);
        const auto typeCell = [bogs](int column, const QString& text) {
            bogs->setCurrentCell(1, column);
            editCell(bogs, 1, column);
            auto* editor = bogs->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClicks(editor, text);
            QTest::keyClick(editor, Qt::Key_Return);
            // The delegate commits from the event loop.
            QTRY_VERIFY(!bogs->viewport()->findChild<QLineEdit*>());
        };
        typeCell(0, QStringLiteral("0001"));
        QCOMPARE(model().BOGs[0].default_valid_button_id_ref, std::uint16_t(1));
        QCOMPARE(cell(bogs, 1, 0), QStringLiteral("0001"));
        QCOMPARE(changed.count(), 1);
        // The page has buttons 0 and 1 only: 5 is refused and the held id shows again.
        typeCell(0, QStringLiteral("0005"));
        QCOMPARE(model().BOGs[0].default_valid_button_id_ref, std::uint16_t(1));
        QCOMPARE(cell(bogs, 1, 0), QStringLiteral("0001"));
        typeCell(1, QStringLiteral("FFFF"));
        QCOMPARE(model().BOGs[1].default_valid_button_id_ref, NoButton);
        QCOMPARE(cell(bogs, 1, 1), QStringLiteral("FFFF"));
        // A number shorter than the mask goes in by Enter and is padded.
        typeCell(0, QStringLiteral("0"));
        QCOMPARE(model().BOGs[0].default_valid_button_id_ref, std::uint16_t(0));
        QCOMPARE(cell(bogs, 1, 0), QStringLiteral("0000"));
        typeCell(0, QStringLiteral("1"));
        // An incomplete mask is ignored; the count row takes nothing.
        page()->sgBOGSetEditText(1, 0, QStringLiteral("00 "));
        QCOMPARE(model().BOGs[0].default_valid_button_id_ref, std::uint16_t(1));
        page()->sgBOGSetEditText(2, 0, QStringLiteral("7"));
        QCOMPARE(cell(bogs, 2, 0), QStringLiteral("1"));

        // Another BOG shows its buttons.
        chooseMode(bogs, false);
        bogs->setCurrentCell(0, 1);
        QCOMPARE(grid("sgButton")->dataRows(), 1);
        QCOMPARE(cell(grid("sgButton"), 0, ColId), QStringLiteral("0001"));
        QCOMPARE(grid("sgMCommands")->dataRows(), 0);

        // Many BOGs need the scroll bar: the table grows; a page without BOGs keeps it for Ins.
        const int narrow = bogs->height();
        TPage& held = model();
        for (int i = 0; i < 60; ++i) held.BOGs.push_back(held.BOGs[1]);
        page()->MenuOn();
        QCOMPARE(bogs->columnCount(), 62);
        QVERIFY(bogs->height() > narrow);
        model().BOGs.clear();
        page()->MenuOn();
        QVERIFY(bogs->isEnabled());
        QCOMPARE(bogs->columnCount(), 1);
        QCOMPARE(cell(bogs, 1, 0), QString());
        QCOMPARE(grid("sgButton")->dataRows(), 0);
    }

    void buttonCellsKeepTheModelValid() {
        PlaylistGrid* grid = this->grid("sgButton");
        QVERIFY(!grid->columnEditable(ColId) && !grid->columnEditable(ColCommands));
        chooseMode(grid, true);
        QVERIFY(grid->editable());
        QSignalSpy changed(page(), &MenuPage::buttonsChanged);
        const auto type = [grid](int column, const char* text) {
            emit grid->cellEdited(0, column, QString::fromLatin1(text));
        };

        type(ColX, "1920"); // the video width itself is off the page
        QCOMPARE(button(0).button_horizontal_position, std::uint16_t(100));
        QCOMPARE(cell(grid, 0, ColX), QStringLiteral("100"));
        QCOMPARE(changed.count(), 0);
        type(ColX, "1919");
        QCOMPARE(button(0).button_horizontal_position, std::uint16_t(1919));
        QCOMPARE(page()->menu().PageButtons[0][0].button_horizontal_position, std::uint16_t(1919));
        QCOMPARE(changed.count(), 1);

        // Neighbours name existing buttons only; 0xFFFF is refused.
        type(ColUpper, "FFFF");
        QCOMPARE(cell(grid, 0, ColUpper), QStringLiteral("0001"));
        type(ColUpper, "0000");
        QCOMPARE(button(0).upper_button_id_ref, std::uint16_t(0));

        const QString referencesBefore = cell(this->grid("sgIGObjects"), 1, 3);
        // A start past the end moves the end; start = end clears the repeat flag.
        type(ColNormalEnd, "0001");
        type(ColNormalRepeat, "Y");
        QCOMPARE(cell(grid, 0, ColNormalRepeat), QStringLiteral("Yes"));
        type(ColNormalStart, "0001");
        QCOMPARE(button(0).normal_end_object_id_ref, std::uint16_t(1));
        QCOMPARE(cell(grid, 0, ColNormalEnd), QStringLiteral("0001"));
        QCOMPARE(cell(grid, 0, ColNormalRepeat), QStringLiteral("No"));
        type(ColNormalStart, "0002"); // only objects 0 and 1 exist
        QCOMPARE(cell(grid, 0, ColNormalStart), QStringLiteral("0001"));
        // The Objects tab lists the references as they are now.
        control<QTabWidget>("pcMenu")->setCurrentIndex(2);
        QCOMPARE(cell(this->grid("sgIGObjects"), 0, 3), QString::fromStdString(getobjref(page()->menu(), 0)));
        QCOMPARE(cell(this->grid("sgIGObjects"), 1, 3), QString::fromStdString(getobjref(page()->menu(), 1)));
        QVERIFY(cell(this->grid("sgIGObjects"), 1, 3) != referencesBefore);
        control<QTabWidget>("pcMenu")->setCurrentIndex(0);

        // Sounds: FF always, 00 only when sound.bdmv has an entry.
        m_window->session().sound.SoundIndex.entries.clear();
        type(ColSelectedSound, "00");
        QCOMPARE(cell(grid, 0, ColSelectedSound), QStringLiteral("FF"));
        type(ColSelectedSound, "FF");
        QCOMPARE(button(0).selected_state_sound_id_ref, std::uint16_t(0xFF));
        m_window->session().sound.SoundIndex.entries.resize(1);
        type(ColSelectedSound, "00");
        QCOMPARE(button(0).selected_state_sound_id_ref, std::uint16_t(0));
        QCOMPARE(cell(grid, 0, ColSelectedSound), QStringLiteral("00"));
        // An incompletely filled cell changes nothing.
        type(ColY, "12 ");
        QCOMPARE(cell(grid, 0, ColY), QStringLiteral("50"));
    }

    void commandWordsRecomputeTheText() {
        PlaylistGrid* commands = grid("sgMCommands");
        QCOMPARE(commands->dataRows(), 2);
        chooseMode(commands, true);
        emit commands->cellEdited(1, 2, QStringLiteral("00000007"));
        const TNavCommand edited{0x21810000, 0x00000007, 0};
        QCOMPARE(button(0).navigation_commands[1], edited);
        const CommandCells text = comm2str(edited, 1, CommandContext::Button);
        QCOMPARE(cell(commands, 1, 4), QString::fromStdString(text.line));
        QCOMPARE(cell(commands, 1, 2), QString::fromStdString(text.destination));
        // The text column only comes back; a word with a blank is refused.
        emit commands->cellEdited(1, 4, QStringLiteral("anything"));
        QCOMPARE(cell(commands, 1, 4), QString::fromStdString(text.line));
        emit commands->cellEdited(1, 1, QStringLiteral("2081 000"));
        QCOMPARE(button(0).navigation_commands[1], edited);
        QCOMPARE(cell(commands, 1, 1), QString::fromStdString(text.opcode));

        // Double click follows: GoTo 1 selects line 1; a title goes to the BDMV page.
        chooseMode(commands, false);
        commands->selectDataRow(0);
        page()->sgMCommandsDblClick(0);
        QCOMPARE(commands->currentRow(), 1);
        QSignalSpy title(page(), &MenuPage::titleRequested);
        page()->sgMCommandsDblClick(1);
        QCOMPARE(title.count(), 1);
        QCOMPARE(title.first().at(0).toInt(), 7);

        // SetButtonPage with an immediate button selects its BOG and row.
        button(0).navigation_commands.push_back(TNavCommand{0x51C00003, 0x80000001, 0x80000000});
        page()->sgMCommandsDblClick(2);
        QCOMPARE(control<BogGrid>("sgBOG")->currentColumn(), 1);
        QCOMPARE(grid("sgButton")->currentRow(), 0);
        QCOMPARE(cell(grid("sgButton"), 0, ColId), QStringLiteral("0001"));
    }

    void doubleClickAnimatesAStateAndEndsOnItsObject() {
        PlaylistGrid* grid = this->grid("sgButton");
        QSignalSpy cancel(page(), &MenuPage::cancelEnabled);

        page()->sgButtonDblClick(0, ColActivatedEnd);
        QCOMPARE(control<QComboBox>("cbObjects")->currentText(), QStringLiteral("0001"));
        QVERIFY(status(1).contains(QStringLiteral("Object: 0001")));
        QCOMPARE(control<PictureBox>("iBOG")->pixmap().size(), QSize(24, 10));
        page()->sgButtonDblClick(0, ColActivatedStart);
        QCOMPARE(control<QComboBox>("cbObjects")->currentText(), QStringLiteral("0000"));
        QVERIFY(!page()->animating());
        // Cancel is disabled at the end of every action.
        QCOMPARE(cancel.count(), 2);
        QCOMPARE(cancel.last().at(0).toBool(), false);

        // A repeating state runs until Cancel, then shows its end object.
        button(0).normal_end_object_id_ref = 1;
        button(0).normal_repeat_flag = 1;
        cancel.clear();
        QTimer::singleShot(200, [this] { m_window->session().reporter.CancelRequested = true; });
        page()->sgButtonDblClick(0, ColNormalEnd);
        QCOMPARE(cancel.count(), 2);
        QCOMPARE(cancel.first().at(0).toBool(), true);
        QCOMPARE(control<QComboBox>("cbObjects")->currentText(), QStringLiteral("0001"));
        QVERIFY(!m_window->session().reporter.CancelRequested);

        // Sounds play only when sound.bdmv has the id; edit mode ignores double clicks.
        QSignalSpy sound(page(), &MenuPage::soundRequested);
        button(0).activated_state_sound_id_ref = 1;
        page()->sgButtonDblClick(0, ColActivatedSound);
        QCOMPARE(sound.count(), 0);
        m_window->session().sound.SoundIndex.entries.resize(2);
        page()->sgButtonDblClick(0, ColActivatedSound);
        QCOMPARE(sound.count(), 1);
        chooseMode(grid, true);
        page()->sgButtonDblClick(0, ColActivatedSound);
        QCOMPARE(sound.count(), 1);
    }

    void effectTablesAndCropFields() {
        control<QTabWidget>("pcMenu")->setCurrentIndex(1);
        QVERIFY(grid("sgEffWindows")->isEnabled());
        QCOMPARE(grid("sgEffWindows")->dataRows(), 1);
        QCOMPARE(cell(grid("sgEffEffects"), 0, 1), QStringLiteral("0:00:00.100"));
        QCOMPARE(grid("sgEffCompObjects")->dataRows(), 2);
        // The first object is whole: the crop fields show 0 and are disabled.
        QVERIFY(!control<QCheckBox>("cbCropped")->isChecked());
        QVERIFY(!control<TIntEdit>("neCropX")->isEnabled());
        QCOMPARE(control<TIntEdit>("neCropX")->text(), QStringLiteral("0"));
        const QImage preview = control<PictureBox>("iEffect")->pixmap().toImage();
        QCOMPARE(preview.size(), QSize(1920, 1080));
        QCOMPARE(preview.pixelColor(50, 50), QColor(0, 0, 128));       // the page background
        QCOMPARE(preview.pixelColor(105, 105), QColor(192, 192, 192)); // the window

        grid("sgEffCompObjects")->setCurrentCell(1, 1);
        QVERIFY(control<QCheckBox>("cbCropped")->isChecked());
        QVERIFY(control<TIntEdit>("neCropW")->isEnabled());
        QCOMPARE(control<TIntEdit>("neCropX")->text(), QStringLiteral("10"));
        QCOMPARE(control<TIntEdit>("neCropW")->text(), QStringLiteral("8"));
        typeInto(control<TIntEdit>("neCropW"), QStringLiteral("12"));
        const TCompObject& object = model().effect_sequences[0].effects[0].composition_objects[1];
        QCOMPARE(object.object_cropping_width, std::uint16_t(12));
        // Negative and past-16-bit values are ignored; the field shows the held value.
        typeInto(control<TIntEdit>("neCropW"), QStringLiteral("-3"));
        QCOMPARE(object.object_cropping_width, std::uint16_t(12));
        QCOMPARE(control<TIntEdit>("neCropW")->text(), QStringLiteral("12"));
        typeInto(control<TIntEdit>("neCropH"), QStringLiteral("70000"));
        QCOMPARE(object.object_cropping_height, std::uint16_t(5));
        QCOMPARE(control<TIntEdit>("neCropH")->text(), QStringLiteral("5"));

        // The page has no out effects: empty tables, enabled to insert into.
        control<RadioGroup>("rgEffects")->setItemIndex(1);
        QCOMPARE(grid("sgEffEffects")->dataRows(), 0);
        QCOMPARE(grid("sgEffWindows")->dataRows(), 0);
        QVERIFY(!grid("sgEffCompObjects")->isEnabled());
        QCOMPARE(grid("sgEffCompObjects")->dataRows(), 0);
        QVERIFY(!control<TIntEdit>("neCropX")->isEnabled());
    }

    void countsLeadToTheEffectsTab() {
        QCOMPARE(control<QTabWidget>("pcMenu")->currentIndex(), 0);
        QCOMPARE(control<TIntEdit>("ieInEffEff")->text(), QStringLiteral("1"));
        // No out effects: the count is no link.
        QTest::mouseClick(control<TIntEdit>("ieOutEffEff"), Qt::LeftButton);
        QCOMPARE(control<QTabWidget>("pcMenu")->currentIndex(), 0);
        control<RadioGroup>("rgEffects")->setItemIndex(1);
        QTest::mouseClick(control<TIntEdit>("ieInEffWin"), Qt::LeftButton);
        QCOMPARE(control<QTabWidget>("pcMenu")->currentIndex(), 1);
        QCOMPARE(control<RadioGroup>("rgEffects")->itemIndex(), 0);
        QCOMPARE(grid("sgEffEffects")->dataRows(), 1);
        QCOMPARE(grid("sgEffCompObjects")->dataRows(), 2);
    }
};

static RegisterGuiTest<MenuTablesTest> registerMenuTablesTest;

} // namespace corvane::test

#include "MenuTablesTest.moc"
