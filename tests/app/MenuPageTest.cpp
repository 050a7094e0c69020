// The Menu page over real compositions and menus written by the core: the head and the
// tables of a page, the Objects tab (pictures, palette chart and readout, PNG export and
// import), Create Menu, Save, and "-> Menu" from a clip whose m2ts carries the menu.

#include "graphics/ObjectPicture.h"
#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGMenu.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "navigation/CommandText.h"
#include "playlist/PlayListReader.h"
#include "stream/ClipInfo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include "GuiTest.h"
#include "app/BdmvPage.h"
#include "app/ClipInfoPage.h"
#include "app/EditHistory.h"
#include "app/MainWindow.h"
#include "app/MenuPage.h"
#include "app/MessageLog.h"
#include "app/OptionsPage.h"
#include "app/PageTabs.h"
#include "app/PanelStatusBar.h"
#include "app/PlaylistPageGrid.h"
#include "app/QSettingsStore.h"
#include "app/StatusPage.h"
#include "widgets/EditControls.h"

namespace corvane::test {

namespace {

QString data(const char* path) {
    return QStringLiteral(CORVANE_TEST_DATA_DIR "/") + QLatin1String(path);
}

std::vector<std::uint8_t> bytesOf(const QString& path) {
    std::string error;
    auto bytes = readWholeFile(path.toStdString(), error);
    return bytes ? *bytes : std::vector<std::uint8_t>{};
}

void writeBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QVERIFY(writeWholeFile(path.toStdString(), bytes).ok);
}

// A created menu with two objects imported from the stripes PNG (palettes 0 and 1); the
// button shows object 0 normally and object 1 when selected.
TMenu stripesMenu() {
    TMenu menu = createMenu();
    std::string error;
    const auto png = bytesOf(data("menu/stripes-24x10-pal8.png"));
    importObjectPng(menu, png, error);
    importObjectPng(menu, png, error);
    TIGbutton& button = menu.IGSc.pages[0].BOGs[0].buttons[0];
    button.normal_start_object_id_ref = button.normal_end_object_id_ref = 0;
    button.selected_start_object_id_ref = button.selected_end_object_id_ref = 1;
    button.number_of_navigation_commands = 1;
    button.navigation_commands.push_back(TNavCommand{0x21810000, 0x00000002, 0x00000000});
    menu.IGSc.pages[0].palette_id_ref = 1;
    menu.PageButtons[0] = buildPageButtons(menu.IGSc.pages[0]);
    return menu;
}

// The PES packets of a mode-1 stream as 192-byte source packets of `pid`, the last packet of
// each PES padded by an adaptation field.
std::vector<std::uint8_t> sourcePackets(const std::vector<std::uint8_t>& pes, std::uint16_t pid) {
    std::vector<std::uint8_t> out;
    std::uint8_t counter = 0;
    std::size_t start = 0;
    while (start + 6 <= pes.size()) {
        const std::size_t length = 6 + (std::size_t(pes[start + 4]) << 8 | pes[start + 5]);
        const std::size_t end = std::min(pes.size(), start + length);
        for (std::size_t pos = start; pos < end;) {
            const std::size_t n = std::min<std::size_t>(184, end - pos);
            out.insert(out.end(),
                       {0, 0, 0, 0, 0x47, std::uint8_t((pos == start ? 0x40 : 0) | (pid >> 8)),
                        std::uint8_t(pid & 0xFF), std::uint8_t((n < 184 ? 0x30 : 0x10) | (counter++ & 0xF))});
            if (n < 184) {
                out.push_back(std::uint8_t(183 - n));
                if (n < 183) {
                    out.push_back(0);
                    out.insert(out.end(), 182 - n, 0xFF);
                }
            }
            out.insert(out.end(), pes.begin() + static_cast<std::ptrdiff_t>(pos),
                       pes.begin() + static_cast<std::ptrdiff_t>(pos + n));
            pos += n;
        }
        start = end;
    }
    return out;
}

} // namespace

class MenuPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_asked; // "title|proposed|filter" of every file dialog
    QString m_answer;    // what the file dialog returns

    MenuPage* page() { return m_window->menuPage; }
    // The page's controls by objectName.
    template <typename T> T* control(const char* name) { return child<T>(page(), QLatin1String(name)); }
    PlaylistGrid* grid(const char* name) { return control<PlaylistGrid>(name); }
    QString file(const char* name) const { return m_root.filePath(QLatin1String(name)); }
    bool logHas(const QString& line) {
        return findLine(m_window->statusPage->findChild<MessageLog*>(QStringLiteral("reMessage"))->document(),
                        line)
            .isValid();
    }
    QString status(int panel) { return m_window->StatusBar->panelText(panel).trimmed(); }
    void loadMenu(const QString& path) {
        m_answer = path;
        QTest::mouseClick(control<QPushButton>("bLoadMenu"), Qt::LeftButton);
    }
    QImage shownObject() {
        return control<PictureBox>("iObject")->pixmap().toImage().convertToFormat(QImage::Format_RGBA8888);
    }
    void moveOver(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private slots:
    void init() {
        {
            QSettingsStore store;
            store.settings().clear();
            store.sync();
        }
        m_asked.clear();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        page()->chooseFile = [this](bool save, const QString& title, const QString& proposed,
                                    const QString& filter) {
            m_asked << QStringLiteral("%1|%2|%3|%4").arg(save ? "save" : "open", title, proposed, filter);
            return m_answer;
        };
    }
    void cleanup() { m_window.reset(); }

    void realCompositionFillsTheHeadAndTables() {
        const auto body = bytesOf(data("menu/bdpl-disc8-ics-always-on-6pages.bin"));
        QVERIFY(!body.empty());
        writeBytes(file("disc8.mnu"), wrapComposition(body, 90000));
        const TMenu expected = loadMNU(wrapComposition(body, 90000)).menu;
        QVERIFY(!control<QPushButton>("bLoadMenu")->toolTip().isEmpty());
        QVERIFY(!control<QTabWidget>("pcMenu")->isEnabled());

        // Cancelling the dialog reads nothing.
        loadMenu(QString());
        QVERIFY(!page()->hasMenu());
        loadMenu(file("disc8.mnu"));
        QCOMPARE(m_asked.last(), QStringLiteral("open|Load Menu||Menu (*.mnu)"));
        QVERIFY(page()->hasMenu());
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(page()));
        QVERIFY(m_window->bSave->isVisible() && m_window->bSave->isEnabled());
        QVERIFY(logHas(QStringLiteral("1 ICS, 0 OCS, 0 PCS found.")));

        QCOMPARE(control<QComboBox>("cbPage")->count(), 6);
        QCOMPARE(control<QLabel>("lPagenum")->text(), QStringLiteral("(6)"));
        QCOMPARE(control<QComboBox>("cbVideo")->currentText(), QStringLiteral("1920x1080"));
        QCOMPARE(control<QComboBox>("cbFrame")->currentIndex(), int(expected.IGSc.frame_rate_id));
        QCOMPARE(control<QLineEdit>("meIGInTime")->text(), QStringLiteral("0:00:01.000"));
        QCOMPARE(control<QLineEdit>("eUTO")->text(),
                 QString::fromStdString(menuTimeOutText(expected.IGSc.user_time_out_duration)));

        // Every page: its head fields, BOG table, the buttons of its first BOG and the
        // commands of the first button; PSR11 follows the page.
        for (int p = 0; p < 6; ++p) {
            control<QComboBox>("cbPage")->setCurrentIndex(p);
            const TPage& want = expected.IGSc.pages[static_cast<std::size_t>(p)];
            QCOMPARE(control<QComboBox>("cbPage")->currentText(), QString::number(want.page_id));
            QCOMPARE(m_window->session().interpreter.regs.PSR[PSR_PAGE], std::uint32_t(p));
            QCOMPARE(control<THexEdit>("heUO1")->text(),
                     QString::fromStdString(hexText(want.UO_mask_table[0], 8)));
            QCOMPARE(control<THexEdit>("heDefSelButt")->text(),
                     QString::fromStdString(hexText(want.default_selected_button_id_ref, 4)));
            QCOMPARE(control<THexEdit>("hePalette")->text(),
                     QString::fromStdString(hexText(want.palette_id_ref, 2)));
            QCOMPARE(control<TIntEdit>("ieFramerate")->value(), int(want.animation_frame_rate_code));
            QCOMPARE(control<TIntEdit>("ieBOGs")->value(), int(want.BOGs.size()));
            QCOMPARE(control<TIntEdit>("ieInEffEff")->value(), int(want.effect_sequences[0].effects.size()));
            QCOMPARE(control<BogGrid>("sgBOG")->columnCount(), std::max(1, int(want.BOGs.size())));
            if (want.BOGs.empty()) continue;
            QCOMPARE(cellText(control<QTableView>("sgBOG"), 2, 0),
                     QString::number(want.BOGs[0].buttons.size()));
            QCOMPARE(grid("sgButton")->dataRows(), int(want.BOGs[0].buttons.size()));
            const TIGbutton& button = want.BOGs[0].buttons[0];
            QCOMPARE(cellText(grid("sgButton"), 0, 0), QString::fromStdString(hexText(button.button_id, 4)));
            QCOMPARE(cellText(grid("sgButton"), 0, 19), QString::number(button.navigation_commands.size()));
            QCOMPARE(grid("sgMCommands")->dataRows(), int(button.navigation_commands.size()));
            if (!button.navigation_commands.empty())
                QCOMPARE(cellText(grid("sgMCommands"), 0, 4),
                         QString::fromStdString(
                             commandLine(button.navigation_commands[0], CommandContext::Button)));
        }
        // A menu without objects: nothing to show or save on the Objects tab.
        QCOMPARE(grid("sgIGObjects")->dataRows(), 0);
        QVERIFY(!control<QToolButton>("bbSaveIGObj")->isEnabled());
        QVERIFY(!control<QGroupBox>("gbObjPal")->isEnabled());
    }

    void bogPictureFollowsTheBogTable() {
        // BOG 0's button shows object 0 (24 x 10); BOG 1's button has no normal object.
        TMenu source = stripesMenu();
        TPage& first = source.IGSc.pages[0];
        TBOG second = first.BOGs[0];
        second.buttons[0].button_id = 1;
        second.buttons[0].normal_start_object_id_ref = second.buttons[0].normal_end_object_id_ref =
            NoIGObject;
        first.BOGs.push_back(second);
        first.number_of_BOGs = 2;
        source.PageButtons[0] = buildPageButtons(first);
        writeBytes(file("bogs.mnu"), saveIGS(source, IGSaveMode::Mnu).bytes);
        loadMenu(file("bogs.mnu"));
        QVERIFY(page()->hasMenu());
        QCOMPARE(control<QTabWidget>("pcMenu")->currentIndex(), 0);
        auto shownSize = [this] { return control<PictureBox>("iBOG")->pixmap().size(); };
        QCOMPARE(shownSize(), QSize(24, 10)); // the first BOG's first button after loading
        control<BogGrid>("sgBOG")->setCurrentCell(0, 1);
        QCOMPARE(shownSize(), QSize(1, 1)); // "No object assigned", not the other BOG's picture
        control<BogGrid>("sgBOG")->setCurrentCell(0, 0);
        QCOMPARE(shownSize(), QSize(24, 10));
    }

    void severalCompositionsArePickedFrom() {
        TMenu one = stripesMenu();
        writeBytes(file("one.mnu"), saveIGS(one, IGSaveMode::Mnu).bytes);
        TMenu two = stripesMenu();
        two.MenuInTime = 1800000;
        two.IGSc.composition_number = 1;
        two.IGSc.pages.push_back(two.IGSc.pages[0]);
        two.IGSc.pages[1].page_id = 1;
        two.IGSc.number_of_pages = 2;
        two.PageButtons.push_back(two.PageButtons[0]);
        std::vector<std::uint8_t> stream = saveIGS(one, IGSaveMode::Mnu).bytes;
        const auto more = saveIGS(two, IGSaveMode::Mnu).bytes;
        stream.insert(stream.end(), more.begin(), more.end());
        writeBytes(file("two.mnu"), stream);

        auto* picker = control<QComboBox>("cbComposition");
        loadMenu(file("one.mnu"));
        QVERIFY(!picker->isVisible());
        loadMenu(file("two.mnu"));
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->count(), 2);
        QCOMPARE(picker->currentIndex(), 0);
        QCOMPARE(control<QComboBox>("cbPage")->count(), 1);
        picker->setCurrentIndex(1);
        emit picker->activated(1);
        QCOMPARE(control<QComboBox>("cbPage")->count(), 2);
        QCOMPARE(page()->menu().IGSc.composition_number, 1);
        QCOMPARE(picker->currentIndex(), 1);
        QVERIFY(picker->isVisible());
        loadMenu(file("one.mnu"));
        QVERIFY(!picker->isVisible());
    }

    void objectsTabShowsObjectsAndPalettes() {
        TMenu source = stripesMenu();
        writeBytes(file("stripes.mnu"), saveIGS(source, IGSaveMode::Mnu).bytes);
        loadMenu(file("stripes.mnu"));
        TMenu& menu = page()->menu();
        // Nothing is decoded before it is shown.
        QVERIFY(!objectPictureCached(menu, 0, 0));

        PlaylistGrid* grid = this->grid("sgIGObjects");
        QCOMPARE(grid->dataRows(), 2);
        QCOMPARE(rowTexts(grid, 0), (QStringList{"0000", "24", "10", "0:0n"}));
        QCOMPARE(rowTexts(grid, 1), (QStringList{"0001", "24", "10", "0:0s"}));
        QVERIFY(grid->model()->index(0, 3).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
        QCOMPARE(control<QLabel>("lIGObjnum")->text(), QStringLiteral("2 objects"));
        QCOMPARE(control<QComboBox>("cbPalettes")->count(), 2);
        QCOMPARE(control<QComboBox>("cbObjects")->toolTip(), QStringLiteral("2 objects"));
        QVERIFY(control<QGroupBox>("gbObjPal")->isEnabled());

        control<QTabWidget>("pcMenu")->setCurrentIndex(2);
        QImage shown = shownObject();
        QCOMPARE(shown.size(), QSize(24, 10));
        QVERIFY(objectPictureCached(menu, 0, 0));
        QVERIFY(!objectPictureCached(menu, 1, 0));
        QCOMPARE(status(1), QString::fromStdString(objectDescription(menu.IGObjects[0], 0)));
        // Each pixel: the palette entry over the object background (silver), by its opacity.
        const auto index = objectPicture(menu, 0);
        const RgbaPalette palette = id2pal(menu, 0);
        int opaque = 0, clear = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 24; ++x) {
                const PaletteEntry& e = palette[index->at(x, y)];
                const QColor pixel = shown.pixelColor(x, y);
                if (e[3] == 255) {
                    ++opaque;
                    QCOMPARE(pixel, QColor(e[0], e[1], e[2]));
                } else if (e[3] == 0) {
                    ++clear;
                    QCOMPARE(pixel, QColor(192, 192, 192));
                }
            }
        QVERIFY(opaque > 0 && clear > 0);

        // A row click picks the object and the palette of its first reference (the page's).
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellRect(grid, 1, 1).center());
        QCOMPARE(control<QComboBox>("cbObjects")->currentText(), QStringLiteral("0001"));
        QCOMPARE(control<QComboBox>("cbPalettes")->currentText(), QStringLiteral("01"));
        QVERIFY(objectPictureCached(menu, 1, 1));
        control<QComboBox>("cbObjects")->setCurrentIndex(0);
        QCOMPARE(grid->currentRow(), 0);

        // Palette only: the chart, and the readout of the entry under the pointer.
        control<QCheckBox>("cbPalOnly")->click();
        QCOMPARE(shownObject().size(), QSize(350, 180));
        QCOMPARE(status(1), QStringLiteral("Palette: 01 (1)"));
        moveOver(control<PictureBox>("iObject"), {181, 11});
        const RgbaPalette chart = id2pal(menu, 1);
        QVERIFY(status(1).startsWith(QStringLiteral("Palette: 01 (1)      Color: 00 (0)      RGB: #")));
        QVERIFY(status(1).endsWith(QStringLiteral("Transparency: FF (255)  100%")));
        QCOMPARE(chart[0][3], 0);
        QCOMPARE(control<PictureBox>("iObject")->cursor().shape(), Qt::PointingHandCursor);
        moveOver(control<PictureBox>("iObject"), {5, 5});
        QCOMPARE(status(1), QStringLiteral("Palette: 01 (1)"));
        QCOMPARE(control<PictureBox>("iObject")->cursor().shape(), Qt::ArrowCursor);
        control<QCheckBox>("cbPalOnly")->click();
        QCOMPARE(shownObject().size(), QSize(24, 10));
    }

    void objectsGoToAndComeFromPngFiles() {
        writeBytes(file("stripes.mnu"), saveIGS(stripesMenu(), IGSaveMode::Mnu).bytes);
        loadMenu(file("stripes.mnu"));
        child<QLineEdit>(m_window->optionsPage, "eWorkDir")->setText(m_root.path());
        m_window->session().options.WorkDir = m_root.path().toStdString();
        control<QTabWidget>("pcMenu")->setCurrentIndex(2);
        control<QComboBox>("cbObjects")->setCurrentIndex(1);
        control<QComboBox>("cbPalettes")->setCurrentIndex(0);

        // Export: the index picture with the chosen palette's colours and opacities.
        m_answer = file("exported");
        QTest::mouseClick(control<QToolButton>("bbSaveIGObj"), Qt::LeftButton);
        QCOMPARE(m_asked.last(), QStringLiteral("save|Save image|") + file("IGobject_0001_pal_00.png") +
                                     QStringLiteral("|PNG (*.png)"));
        std::string error;
        const auto png = readIndexPng(bytesOf(file("exported.png")), error);
        QVERIFY2(png.has_value(), error.c_str());
        QCOMPARE(png->picture, *objectPicture(page()->menu(), 1));
        QCOMPARE(png->palette, id2pal(page()->menu(), 0));

        // Import: a new object with a palette of its own, shown at once.
        m_answer = file("exported.png");
        QTest::mouseClick(control<QToolButton>("bbLoadIGObj"), Qt::LeftButton);
        QCOMPARE(grid("sgIGObjects")->dataRows(), 3);
        QCOMPARE(rowTexts(grid("sgIGObjects"), 2), (QStringList{"0002", "24", "10", ""}));
        QCOMPARE(control<QComboBox>("cbObjects")->currentText(), QStringLiteral("0002"));
        QCOMPARE(control<QComboBox>("cbPalettes")->currentText(), QStringLiteral("02"));
        QCOMPARE(control<QComboBox>("cbPalettes")->toolTip(), QStringLiteral("3 palettes"));
        QCOMPARE(*objectPicture(page()->menu(), 2), png->picture);
        QCOMPARE(shownObject().size(), QSize(24, 10));

        // A file that is no PNG is refused with the reason and changes nothing.
        m_answer = data("menu/SOURCES.md");
        QTest::mouseClick(control<QToolButton>("bbLoadIGObj"), Qt::LeftButton);
        QVERIFY(logHas(QStringLiteral("ERROR: Not a PNG file")));
        QCOMPARE(grid("sgIGObjects")->dataRows(), 3);
        QCOMPARE(page()->menu().IGPalettes.size(), std::size_t(3));
    }

    // RGBA artwork through the import button (a reduced palette of its own) and its menu (the
    // nearest colours of the chosen palette): one undo step each, kept by Save.
    void rgbaArtworkImportsAsOneStepAndSurvivesSave() {
        writeBytes(file("stripes.mnu"), saveIGS(stripesMenu(), IGSaveMode::Mnu).bytes);
        loadMenu(file("stripes.mnu"));
        control<QTabWidget>("pcMenu")->setCurrentIndex(2);
        QImage art(40, 20, QImage::Format_RGBA8888);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                art.setPixelColor(x, y, QColor(x * 6, y * 12, 200, x < 4 ? 0 : 255 - y * 4));
        QVERIFY(art.save(file("art.png"), "PNG"));
        m_answer = file("art.png");
        QUndoStack* stack = m_window->history().stack(EditedDocument::Menu);
        const int steps = stack->count();

        QTest::mouseClick(control<QToolButton>("bbLoadIGObj"), Qt::LeftButton);
        TMenu& menu = page()->menu();
        QCOMPARE(menu.IGObjects.size(), std::size_t(3));
        QCOMPARE(menu.IGPalettes.size(), std::size_t(3));
        QCOMPARE(control<QComboBox>("cbPalettes")->currentText(), QStringLiteral("02"));
        const IndexPicture reduced = *objectPicture(menu, 2);
        QCOMPARE(reduced.at(0, 0), std::uint8_t(255));
        QVERIFY(Obj2Pic(menu, 2, 2)->pixel(30, 10)[3] > 200);

        control<QComboBox>("cbPalettes")->setCurrentIndex(0);
        QMenu* choices = control<QToolButton>("bbLoadIGObj")->menu();
        emit choices->aboutToShow();
        auto* into = child<QAction>(choices, QLatin1String("actPngIntoPalette"));
        QCOMPARE(into->text(), QStringLiteral("Into palette 00"));
        into->trigger();
        QCOMPARE(menu.IGObjects.size(), std::size_t(4));
        QCOMPARE(menu.IGPalettes.size(), std::size_t(3));
        QCOMPARE(control<QComboBox>("cbObjects")->currentText(), QStringLiteral("0003"));
        QCOMPARE(control<QComboBox>("cbPalettes")->currentText(), QStringLiteral("00"));
        const IndexPicture mapped = *objectPicture(menu, 3);
        QCOMPARE(stack->count(), steps + 2);
        QCOMPARE(stack->undoText(), QStringLiteral("Import PNG"));

        stack->undo();
        QCOMPARE(menu.IGObjects.size(), std::size_t(3));
        QCOMPARE(grid("sgIGObjects")->dataRows(), 3);
        stack->undo();
        QCOMPARE(menu.IGObjects.size(), std::size_t(2));
        QCOMPARE(menu.IGPalettes.size(), std::size_t(2));
        QCOMPARE(control<QComboBox>("cbPalettes")->count(), 2);
        stack->redo();
        stack->redo();
        QCOMPARE(menu.IGObjects.size(), std::size_t(4));

        m_answer = file("art");
        QTest::mouseClick(m_window->bSave, Qt::LeftButton);
        QVERIFY(logHas(QStringLiteral("art.mnu saved.")));
        loadMenu(file("art.mnu"));
        TMenu& again = page()->menu();
        QCOMPARE(again.IGObjects.size(), std::size_t(4));
        QCOMPARE(again.IGPalettes.size(), std::size_t(3));
        QCOMPARE(*objectPicture(again, 2), reduced);
        QCOMPARE(*objectPicture(again, 3), mapped);
        QCOMPARE(Obj2Pic(again, 2, 2)->pixel(0, 0)[3], std::uint8_t(0));
    }

    void createMenuThenSaveReadsBackTheSame() {
        QVERIFY(!control<QPushButton>("bMux")->isEnabled());
        QTest::mouseClick(child<QPushButton>(m_window->optionsPage, "bCreateMenu"), Qt::LeftButton);
        QVERIFY(control<QPushButton>("bMux")->isEnabled());
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(page()));
        QCOMPARE(control<QComboBox>("cbPage")->count(), 1);
        QCOMPARE(control<QComboBox>("cbPage")->currentText(), QStringLiteral("0"));
        QCOMPARE(control<QLabel>("lPagenum")->text(), QStringLiteral("(1)"));
        QCOMPARE(control<QLineEdit>("meIGInTime")->text(), QStringLiteral("0:00:02.000"));
        QCOMPARE(cellText(control<QTableView>("sgBOG"), 1, 0), QStringLiteral("FFFF"));
        QCOMPARE(rowTexts(grid("sgButton"), 0),
                 (QStringList{"0000", "FFFF", "No", "0",    "0",    "0000", "0000", "0000", "0000", "FFFF",
                              "FFFF", "No",   "FF", "FFFF", "FFFF", "No",   "FF",   "FFFF", "FFFF", "0"}));
        QCOMPARE(grid("sgIGObjects")->dataRows(), 0);
        QVERIFY(control<QToolButton>("bbLoadIGObj")->isEnabled());

        // An object into the new menu, then Save: the file reads back to the same model.
        control<QTabWidget>("pcMenu")->setCurrentIndex(2);
        m_answer = data("menu/stripes-24x10-pal8.png");
        QTest::mouseClick(control<QToolButton>("bbLoadIGObj"), Qt::LeftButton);
        QCOMPARE(grid("sgIGObjects")->dataRows(), 1);
        QVERIFY(m_window->bSave->isEnabled());
        m_answer = QString();
        QTest::mouseClick(m_window->bSave, Qt::LeftButton);
        QCOMPARE(m_asked.last(), QStringLiteral("save|Save Menu|mymenu.mnu|Menu (*.mnu)"));
        QVERIFY(!QFileInfo::exists(file("saved.mnu")));
        // A menu a decoder cannot read is refused, naming the record; nothing is written.
        page()->menu().IGSc.pages[0].BOGs.resize(256);
        m_answer = file("refused");
        QTest::mouseClick(m_window->bSave, Qt::LeftButton);
        QVERIFY(logHas(QStringLiteral("ERROR: page 0: It holds 256 BOGs; the format counts at most 255.")));
        QVERIFY(logHas(QStringLiteral("ERROR: Save refused: a decoder could not read the menu.")));
        QVERIFY(!QFileInfo::exists(file("refused.mnu")));
        page()->menu().IGSc.pages[0].BOGs.resize(1);
        m_answer = file("saved");
        QTest::mouseClick(m_window->bSave, Qt::LeftButton);
        QVERIFY(logHas(QStringLiteral("saved.mnu saved.")));
        const MnuReadResult again = loadMNU(bytesOf(file("saved.mnu")));
        QCOMPARE(again.status, ReadStatus::Ok);
        TMenu& held = page()->menu();
        QVERIFY(again.menu.IGSc.pages == held.IGSc.pages);
        QCOMPARE(again.menu.MenuInTime, held.MenuInTime);
        QCOMPARE(again.menu.IGObjects.size(), std::size_t(1));
        QCOMPARE(*objectPicture(again.menu, 0), *objectPicture(held, 0));
        // Colours come back through the YCrCb conversion, opacities unchanged.
        for (std::size_t entry = 0; entry < 256; ++entry) {
            const PaletteEntry& mine = held.IGPalettes[0].entries[entry];
            const PaletteEntry& read = again.menu.IGPalettes[0].entries[entry];
            const auto ycrcb = RGBToYCrCb(mine[0], mine[1], mine[2]);
            const auto rgb = YCrCbToRGB(ycrcb[0], ycrcb[1], ycrcb[2]);
            QCOMPARE((PaletteEntry{read[0], read[1], read[2], read[3]}),
                     (PaletteEntry{rgb[0], rgb[1], rgb[2], mine[3]}));
        }

        // Mux: a transport stream of whole aligned units, beginning with the PAT.
        m_answer = QString();
        QTest::mouseClick(control<QPushButton>("bMux"), Qt::LeftButton);
        QCOMPARE(m_asked.last(), QStringLiteral("save|Mux Menu|mymenu.m2ts|m2ts (*.m2ts)"));
        m_answer = file("muxed");
        QTest::mouseClick(control<QPushButton>("bMux"), Qt::LeftButton);
        QVERIFY(logHas(QStringLiteral("Muxing menu...")));
        const auto stream = bytesOf(file("muxed.m2ts"));
        QVERIFY(!stream.empty());
        QCOMPARE(stream.size() % 6144, std::size_t(0));
        QCOMPARE(stream[4], std::uint8_t(0x47));
        QCOMPARE(stream[5] & 0x1F, 0); // PID 0x0000
        QCOMPARE(stream[6], std::uint8_t(0x00));
        // The clip information beside it counts every packet; the playlist question got a name.
        QVERIFY(m_asked.last().startsWith(QStringLiteral("save|Mux Menu: playlist")));
        const ClipReadResult clip = readClipInfo(bytesOf(file("muxed.clpi")), "muxed.clpi", true);
        QCOMPARE(clip.status, ReadStatus::Ok);
        QCOMPARE(std::size_t(clip.clpi.ClipInfo.number_of_source_packets) * 192, stream.size());
        const PlsReadResult list = readPlayList(bytesOf(file("muxed.mpls")), "muxed.mpls", true);
        QCOMPARE(list.status, ReadStatus::Ok);
        QCOMPARE(list.mpls.PlayList.PlayItems.at(0).Clip_Information_file_name, std::string("muxed"));
    }

    void loadToMenuExtractsTheClipsIgStream() {
        const QString bdmv = copySampleDisc(m_root.filePath(QStringLiteral("disc")));
        QVERIFY(QFile::copy(data("clipinf/bdpl-disc1-00003-ig-menu.clpi"),
                            bdmv + QStringLiteral("CLIPINF/00004.clpi")));
        const IGSaveResult pes = saveIGS(stripesMenu(), IGSaveMode::Pes);
        QVERIFY(pes.ok);
        writeBytes(bdmv + QStringLiteral("STREAM/00004.m2ts"), sourcePackets(pes.bytes, 0x1400));
        m_window->bdmvPage->setFolder(bdmv.toStdString());
        m_window->bReadBDMVClick();
        ClipInfoPage* clips = m_window->clipInfoPage;
        m_window->PageControl->setCurrentWidget(clips);
        chooseText(child<QComboBox>(clips, "cbClipinf"), QStringLiteral("00004"));
        clips->bReadCIClick();
        QTest::mouseClick(child<PlaylistGrid>(clips, "sgCI")->viewport(), Qt::LeftButton, {},
                          cellRect(child<PlaylistGrid>(clips, "sgCI"), 0, 1).center());
        QVERIFY(child<QPushButton>(clips, "bLoadToMenu")->isEnabled());
        m_window->session().interpreter.regs.PSR[PSR_PAGE] = 7;

        QTest::mouseClick(child<QPushButton>(clips, "bLoadToMenu"), Qt::LeftButton);
        QVERIFY(QFileInfo::exists(QString::fromStdString(tempFolder()) + QStringLiteral("Corvane_MENU.tmp")));
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(page()));
        QCOMPARE(grid("sgIGObjects")->dataRows(), 2);
        QCOMPARE(rowTexts(grid("sgIGObjects"), 1), (QStringList{"0001", "24", "10", "0:0s"}));
        QCOMPARE(grid("sgMCommands")->dataRows(), 1);
        QCOMPARE(m_window->session().interpreter.regs.PSR[PSR_PAGE], 0u);
        QVERIFY(logHas(QStringLiteral("1 ICS, 2 OCS, 2 PCS found.")));
    }

    void loadToMenuOfSeveralDisplaySetsOffersThemAll() {
        const QString bdmv = copySampleDisc(m_root.filePath(QStringLiteral("disc-sets")));
        QVERIFY(QFile::copy(data("clipinf/bdpl-disc1-00003-ig-menu.clpi"),
                            bdmv + QStringLiteral("CLIPINF/00004.clpi")));
        TMenu later = stripesMenu();
        later.MenuInTime = 1800000;
        later.IGSc.composition_number = 1;
        later.IGSc.pages.push_back(later.IGSc.pages[0]);
        later.IGSc.pages[1].page_id = 1;
        later.IGSc.number_of_pages = 2;
        later.PageButtons.push_back(later.PageButtons[0]);
        std::vector<std::uint8_t> pes = saveIGS(stripesMenu(), IGSaveMode::Pes).bytes;
        const auto more = saveIGS(later, IGSaveMode::Pes).bytes;
        pes.insert(pes.end(), more.begin(), more.end());
        writeBytes(bdmv + QStringLiteral("STREAM/00004.m2ts"), sourcePackets(pes, 0x1400));
        m_window->bdmvPage->setFolder(bdmv.toStdString());
        m_window->bReadBDMVClick();
        ClipInfoPage* clips = m_window->clipInfoPage;
        m_window->PageControl->setCurrentWidget(clips);
        chooseText(child<QComboBox>(clips, "cbClipinf"), QStringLiteral("00004"));
        clips->bReadCIClick();
        QTest::mouseClick(child<PlaylistGrid>(clips, "sgCI")->viewport(), Qt::LeftButton, {},
                          cellRect(child<PlaylistGrid>(clips, "sgCI"), 0, 1).center());
        QTest::mouseClick(child<QPushButton>(clips, "bLoadToMenu"), Qt::LeftButton);
        QCOMPARE(m_window->PageControl->currentWidget(), static_cast<QWidget*>(page()));

        auto* picker = control<QComboBox>("cbComposition");
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->count(), 2);
        QCOMPARE(control<QComboBox>("cbPage")->count(), 1);
        picker->setCurrentIndex(1);
        emit picker->activated(1);
        QCOMPARE(control<QComboBox>("cbPage")->count(), 2);
        QCOMPARE(page()->menu().MenuInTime, 1800000u);
    }
};

static RegisterGuiTest<MenuPageTest> registerMenuPageTest;

} // namespace corvane::test

#include "MenuPageTest.moc"
