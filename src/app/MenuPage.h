#pragma once
// The Menu page: the interactive-graphics menu in memory with its head (page, masks,
// defaults, palette, video format, time-out, IN time), the BOGs and Effects tabs (the
// tables of the chosen page, editable in edit mode), the Page view with the menu
// simulation, and the Objects tab, where each object is
// looked at in any palette, a palette's chart is read under the pointer, and objects are
// exchanged with PNG files. Pictures are decoded only when shown.

#include "menu/IGReader.h"
#include "menu/MenuSimulator.h"
#include "menu/PageRender.h"

#include <QAbstractTableModel>
#include <QLabel>
#include <QScrollArea>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/GridView.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;

namespace corvane {

class BusyGuard;
struct Session;
class EditHistory;
struct TMenu;
class PlaylistGrid;
class RadioGroup;
class THexEdit;
class TIntEdit;

// A picture box that reports the pointer position over its picture.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(const char* name, QWidget* parent = nullptr);
signals:
    void pointerMoved(const QPoint& position);
    void pressed(const QPoint& position);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// The page view's scroll box: the picture 1:1 with scroll bars, or fitted and centred.
class ViewBox : public QScrollArea {
    Q_OBJECT
public:
    explicit ViewBox(QLabel* picture, QWidget* parent = nullptr);
    void setFit(bool fit);
    bool fit() const { return m_fit; }
    // Where the picture sits and how large it is shown.
    ViewGeometry geometryNow() const;
    void setBoxColour(const QColor& colour);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();
    QLabel* m_picture;
    bool m_fit = false;
};

// The cells of the BOG table, which lies sideways: one column per BOG, its fields as rows
// under their labels.
class BogTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BogTableModel(std::span<const std::string_view> rowLabels, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every column; the columns that stay keep their place.
    void setColumns(const std::vector<std::array<std::string, 3>>& columns);
    // Redraws a column that is there.
    void setColumn(int column, const std::array<std::string, 3>& cells);

private:
    QStringList m_labels;
    std::vector<std::array<QString, 3>> m_columns;
};

// The BOG table: the row labels as its header column, whole columns selected, and the
// current cell reported like the other grids do.
class BogGrid : public GridView {
    Q_OBJECT
public:
    BogGrid(const char* name, std::span<const std::string_view> rowLabels, QWidget* parent = nullptr);
    void setColumns(const std::vector<std::array<std::string, 3>>& columns) { m_model->setColumns(columns); }
    void setColumn(int column, const std::array<std::string, 3>& cells) { m_model->setColumn(column, cells); }
    int columnCount() const { return m_model->columnCount(); }
    int currentColumn() const { return currentIndex().column(); }
    void setCurrentCell(int row, int column);

signals:
    void currentCellChanged(int row, int column, int previousRow, int previousColumn);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    BogTableModel* m_model;
};

class MenuPage : public QWidget {
    Q_OBJECT
public:
    MenuPage(Session& session, EditHistory& history, QWidget* parent = nullptr);
    ~MenuPage() override;

    TMenu& menu();
    // A menu is open (read or created).
    bool hasMenu() const;

    // Open dialog for a .mnu file, then loadMenuFile.
    void bLoadMenuClick();
    // Reads composition `composition` of a .mnu file into the model and fills the page; false
    // when nothing was shown. A stream of several compositions shows the composition picker.
    bool loadMenuFile(const QString& path, int composition = 0);
    // The composition picker over the compositions of the stream file `path`, `chosen` shown;
    // hidden for one composition.
    void showCompositions(const QString& path, const std::vector<CompositionEntry>& compositions, int chosen);
    // Shows the outcome of a menu read into the model: the page is filled (registers reset),
    // emptied after a cancel, or left as it was after a file error; false when nothing was shown.
    bool menuRead(ReadStatus status);
    // Fills the page from the model and resets the registers.
    void MenuOn();
    // "Create Menu": a new one-page menu replaces the one in memory.
    void bCreateMenuClick();
    // Save: the menu as a .mnu file chosen in a save dialog.
    void bSaveClick();
    // Mux: the menu as a stand-alone transport stream chosen in a save dialog.
    void bMuxClick();

    void cbPageChange();
    void sgIGObjectsClick(int row);
    void showObjectView();
    void bbSaveIGObjClick();
    void bbLoadIGObjClick();
    // Import PNG: a new object with a new palette, or mapped into an existing palette.
    void importPng(std::optional<std::uint16_t> intoPalette);
    // The import button's menu names the chosen palette.
    void updateImportMenu();

    // File dialogs: (save?, title, proposed path, filter) → path, empty on cancel.
    std::function<QString(bool save, const QString& title, const QString& proposed, const QString& filter)>
        chooseFile;

    // The Page view's option boxes, which the Options page's boxes twin.
    enum class ViewOption {
        ButtonId,
        ObjectId,
        ButtonFrame,
        WindowFrame,
        InEffect,
        OutEffect,
        Animate,
        FullScreen,
        PlaySound
    };
    QCheckBox* viewOptionBox(ViewOption option) const;
    // The page picker takes the focus when it is enabled.
    void focusPagePicker();

private:
    QPushButton* bLoadMenu;
    QPushButton* bMux;
    QGroupBox* gbMenuHead;
    QComboBox* cbPage;
    QComboBox* cbComposition; // the compositions of the stream read, when there are several
    QString m_menuPath;       // the file cbComposition reads from
    int m_composition = 0;    // ... and the composition shown
    QLabel* lPagenum;
    THexEdit* heUO1;
    THexEdit* heUO2;
    TIntEdit* ieFramerate;
    THexEdit* heDefSelButt;
    THexEdit* heDefActButt;
    THexEdit* hePalette;
    TIntEdit* ieInEffWin;
    TIntEdit* ieInEffEff;
    TIntEdit* ieOutEffWin;
    TIntEdit* ieOutEffEff;
    TIntEdit* ieBOGs;
    QGroupBox* gbIGSInfo;
    QComboBox* cbVideo;
    QComboBox* cbFrame;
    QLineEdit* eUTO;
    QLineEdit* meIGInTime;

    QTabWidget* pcMenu;
    // BOGs tab
    BogGrid* sgBOG;
    PlaylistGrid* sgButton;
    PlaylistGrid* sgMCommands;
    PictureBox* iBOG;
    // Effects tab
    RadioGroup* rgEffects;
    PlaylistGrid* sgEffWindows;
    PlaylistGrid* sgEffEffects;
    PlaylistGrid* sgEffCompObjects;
    // Objects tab
    PlaylistGrid* sgIGObjects;
    QLabel* lIGObjnum;
    QGroupBox* gbObjPal;
    QComboBox* cbObjects;
    QComboBox* cbPalettes;
    QCheckBox* cbPalOnly;
    QToolButton* bbSaveIGObj;
    QToolButton* bbLoadIGObj;
    QAction* actPngNewPalette;
    QAction* actPngIntoPalette;
    PictureBox* iObject;
    TIntEdit* neCropX;
    TIntEdit* neCropY;
    TIntEdit* neCropW;
    TIntEdit* neCropH;
    QCheckBox* cbCropped;
    PictureBox* iEffect;
    // Page view tab
    QWidget* tsFullpage;
    ViewBox* sbFullpage;
    PictureBox* iFullpage;
    QGroupBox* gbInfos;
    QCheckBox* cbButtonId;
    QCheckBox* cbObjectId;
    QCheckBox* cbButtonFrame;
    QCheckBox* cbWindowFrame;
    QGroupBox* gbEffectOptions;
    QCheckBox* cbInEffect;
    QCheckBox* cbOutEffect;
    QCheckBox* cbAnimate;
    QCheckBox* cbPlaySound;
    QCheckBox* cbFullScreen;
    QTimer* tDrawRep;
    QTimer* tUserTO;

public:
    // Table editing (MenuPageTables.cpp).
    // Edit mode of the BOG table ("Edit mode" / "Read only" of its pop-up menu).
    void setBogEditable(bool editable);
    bool bogEditable() const { return m_bogEditable; }
    // A typed cell of a table, as its grid hands it over; the model decides what it keeps.
    void sgBOGSetEditText(int row, int column, const QString& text);
    void sgButtonSetEditText(int row, int column, const QString& text);
    void sgMCommandsSetEditText(int row, int column, const QString& text);
    // Double clicks: animate a button state or play its sound; follow a command.
    void sgButtonDblClick(int row, int column);
    void sgMCommandsDblClick(int line);
    // Shows page `pageId` (by its id, -1 keeps the page) and selects its button `buttonId`.
    void selectPageButton(int pageId, int buttonId);
    // A header field was left: its text goes to the model and the field shows the model.
    void takeOverHead(QLineEdit* field);
    // The counts as links: the Effects tab with the in (0) or out (1) effects.
    void showEffectsOf(int sequence);
    void sgEffCompObjectsClick(int row);
    // A crop field (0 X, 1 Y, 2 W, 3 H) was left.
    void cropFieldLeft(int field);
    // A button state is being animated in the object view.
    bool animating() const { return m_animating; }

    // Structure (MenuPageStructure.cpp): insert and delete from the pop-ups and Ins / Del,
    // after the current item, each one step.
    void insertPage();
    void deletePage();
    void insertBog();
    void deleteBog();
    void insertButton();
    void deleteButton();
    // The selected button's command lines (sgMCommands): a NOP after the selection, or the
    // selected lines.
    void insertButtonLine();
    void deleteButtonLines();
    // On sgEffWindows, sgEffEffects or sgEffCompObjects.
    void insertEffectRow(QWidget* table);
    void deleteEffectRow(QWidget* table);
    void cbCroppedClick(bool cropped);
    void cbVideoChange(int item);
    void cbFrameChange(int item);

    // Effect playback, a button animation or a button's commands: while their loops process
    // events, busyControls() are disabled, and a second start is refused.
    BusyGuard& busy() { return *m_busy; }
    std::vector<QWidget*> busyControls() const;
    // The window's controls that change the menu too (Save); disabled with the page's.
    std::function<std::vector<QWidget*>()> windowBusyControls;

    // Page view and simulation (MenuPageView.cpp).
    // Stops tDrawRep (another main page is shown) and starts it again when the Menu page returns.
    void stopAnimation();
    void resumeAnimation();
    MenuSimulator& simulator() { return *m_sim; }
    // The window's interpreter host for button commands (reports, trace switch, event pump).
    std::function<std::unique_ptr<InterpreterHost>()> makeHost;
    // Start on the Menu page: the menu starts, or a trace of the chosen button goes on.
    RunResult bStartMenu();
    // The button picker chose this id (a trace continues with its commands).
    void chooseTraceButton(std::size_t id);
    void bNavClick(NavDirection direction);
    void bNavSelClick();
    // The page picture again, after an overlay or colour option changed.
    void redrawPage();
    // The background from the options again (picture file, colour), then the page.
    void backchange();
    // 1:1 or fit, from cbFullScreen.
    void applyFullScreen();
    // The boxes around the object views take the object background colour.
    void setObjectBoxColour(const QColor& colour);
    // The key display of the Page view: a key's virtual key code, or nothing on other tabs.
    bool pageViewShown() const;
    // A trace stands at `line` of the chosen button's commands: its BOG, button and line are shown.
    void showTraceLine(int line);

signals:
    // A menu was read or created: the window shows this page.
    void menuOpened();
    // A button or BOG of a page changed: the page view redraws.
    void buttonsChanged();
    // A header field of the page or the menu's time-out changed (interval, defaults, palette).
    void headChanged();
    // An animation that repeats until Cancel started (true) or ended (false).
    void cancelEnabled(bool enabled);
    // A button command leads to a title (select it when `select`) or to a playlist.
    void titleRequested(int title, bool select);
    void playlistRequested(const QString& name, int playItem);
    void soundRequested(std::uint16_t sound);
    // A page is shown: the navigation keys work.
    void pageShown(int page);
    void buttonListChanged();
    void buttonChosen(std::size_t id);
    void programLine(int line);
    void simulationRan(const RunResult& result);

private:
    void buildLayout();
    void connectControls();
    // Empties every table and list of the page (a new menu comes).
    void clearMenuPage();
    // Fills every control from the model and shows the first page.
    void fillPage();
    // After an undo or redo: every control from the model again, on the page, BOG, button,
    // command, effect and object the user had chosen where they still exist.
    void refreshFromModel();
    void fillObjectList();
    void fillHead(int page);
    void fillBOGs(int page);
    void sgBOGClick(int column);
    void sgButtonClick(int row);
    void fillEffects();
    void sgEffEffectsClick(int row);
    // `pick`: cbObjects and cbPalettes move to the object shown.
    void showPicture(std::uint16_t objectId, std::uint16_t palette, bool pick = true);
    void iObjectMouseMove(const QPoint& position);
    int currentPage() const;
    int bogColumnWidth() const;
    // The ids picked in cbObjects and cbPalettes (their item data).
    std::uint16_t chosenObject() const;
    std::uint16_t chosenPalette() const;
    std::uint32_t objectBackground() const;

    // Structure editing.
    void connectStructure();
    // The page picker, page count and video pickers from the model (the place kept or clamped).
    void refreshMenuHead();
    // After a structure edit: the page redrawn from the model on `page`, BOG and button (-1 keeps).
    void showStructure(int page, int bog, int button);
    QWidget* m_structureTable = nullptr; // the table the structure pop-up was opened on

    // Table editing.
    void connectTables();
    void fitBogHeight();
    void fillButtonCommands(int row);
    void showButtonCellObject(int row, int column, bool pick = true);
    void showCropFields(int row);
    void drawEffectPreview();
    void clearEffectPreview();
    void refreshObjectList();
    // Waits `ms` while the window stays responsive; false when Cancel was pressed.
    bool waitFrame(int ms);
    int effectSequence() const;
    int currentBog() const;
    bool m_bogEditable = false;
    bool m_animationVisit = false; // flips when ieFramerate takes the focus: its merge id
    bool m_animating = false;
    QWidget* m_tablePopup = nullptr; // the edit-mode pop-up menu
    QWidget* m_popupTable = nullptr; // the table it was opened on

    // Page view and simulation.
    // The shown page: PSR11, its button states, the animation interval, and the page drawn.
    void showPageInView(int page);
    void connectPageView();
    void setupSimulator();
    // Runs f with the window's host as the simulator's outer host.
    template <typename F> auto withHost(F&& f);
    void showPagePicture();
    void waitMs(int ms);
    void iFullpagePress(const QPoint& position);
    void iFullpageMove(const QPoint& position);
    void tDrawRepTimer();
    void tUserTOTimer();
    std::unique_ptr<MenuSimulator> m_sim;
    bool m_animationWanted = false; // tDrawRep runs while the Menu page is shown
    BusyGuard* m_busy = nullptr;
    bool m_undoHeld = false; // the menu's undo stack was set aside while a loop runs

    Session& m_session;
    EditHistory& m_history;
};

} // namespace corvane
