#pragma once
// The Menu page: the interactive-graphics menu in memory with its head (page, masks,
// defaults, palette, video format, time-out, IN time), the BOGs, Effects and Page view
// tabs (read-only tables of the chosen page) and the Objects tab, where each object is
// looked at in any palette, a palette's chart is read under the pointer, and objects are
// exchanged with PNG files. Pictures are decoded only when shown.

#include <QLabel>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace corvane {

struct Session;
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

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

class MenuPage : public QWidget {
    Q_OBJECT
public:
    explicit MenuPage(Session& session, QWidget* parent = nullptr);
    ~MenuPage() override;

    TMenu& menu();
    // A menu is open (read or created).
    bool hasMenu() const { return m_hasMenu; }

    // Open dialog for a .mnu file, then loadMenuFile.
    void bLoadMenuClick();
    // Reads a .mnu file into the model and fills the page; false when nothing was shown.
    bool loadMenuFile(const QString& path);
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

    // File dialogs: (save?, title, proposed path, filter) → path, empty on cancel.
    std::function<QString(bool save, const QString& title, const QString& proposed, const QString& filter)>
        chooseFile;

    QPushButton* bLoadMenu;
    QPushButton* bMux;
    QGroupBox* gbMenuHead;
    QComboBox* cbPage;
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
    QTableWidget* sgBOG;
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
    PictureBox* iObject;
    // Page view tab
    QLabel* iPage;

signals:
    // A menu was read or created: the window shows this page.
    void menuOpened();

private:
    void buildLayout();
    void connectControls();
    // Empties every table and list of the page (a new menu comes).
    void clearMenuPage();
    // Fills every control from the model and shows the first page.
    void fillPage();
    void fillObjectList();
    void fillHead(int page);
    void fillBOGs(int page);
    void sgBOGClick(int column);
    void sgButtonClick(int row);
    void fillEffects();
    void sgEffEffectsClick(int row);
    void showPicture(std::uint16_t objectId, std::uint16_t palette);
    void iObjectMouseMove(const QPoint& position);
    int currentPage() const;
    // The ids picked in cbObjects and cbPalettes (read as hex from the item text).
    std::uint16_t chosenObject() const;
    std::uint16_t chosenPalette() const;
    std::uint32_t objectBackground() const;

    Session& m_session;
    std::unique_ptr<TMenu> m_menu; // the IG menu last read or created
    bool m_hasMenu = false;
};

} // namespace corvane
