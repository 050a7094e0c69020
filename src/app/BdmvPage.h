#pragma once
// The BDMV page: the disc folder with its Read button, index.bdmv (content
// provider text, First Playback, Top Menu, titles) and MovieObject.bdmv (movie
// objects, the command lines of the selected object and the command editor).
// The grids are views over the session's records; every edit goes through a
// core operation, is one step of the undo history, and the grids are refreshed
// from the records.

#include <QStringList>
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace corvane {

struct Session;
class EditHistory;
class EditScope;
struct TTitleEntry;
class CommandEditor;
class CommandTableModel;
class IndexUhdGroup;
class NavGridView;
class ObjectTableModel;
class TantAngleLabel;
class TfExtDat;
class SoundGroup;
class SoundPlayer;
class TitleTableModel;

class BdmvPage : public QWidget {
    Q_OBJECT
public:
    BdmvPage(Session& session, EditHistory& history, QWidget* parent = nullptr);

    // Makes `bdmvDir` the session's folder and shows it.
    void setFolder(const std::string& bdmvDir);
    // The folder chooser; reads at once when Auto Read is on.
    void bbOpenDirClick();
    // A typed, dropped or remembered path: a BDMV folder, the folder that holds one,
    // or a file inside one. Makes it the folder and asks for the read.
    void openPath(const QString& path);
    // The folders of the Recent drop-down, newest first.
    void setRecentFolders(const QStringList& folders);
    // The dialog the two ExtensionData buttons open.
    void setExtDatDialog(TfExtDat* dialog);

    // Fills every control from the session after a folder read (or its failure).
    void fillFromSession();
    // After an undo or redo: the page and the sound group from the session, keeping the place.
    void refreshFromHistory();
    // Save on this page: both files read, and at least one movie object or title.
    bool canSave() const;
    // Writes index.bdmv, then MovieObject.bdmv, each with its backup.
    void bSaveClick();

    // Selections by model position (title i, object i, line i); -1 for none.
    int selectedTitle() const;
    int selectedObject() const;
    int selectedLine() const;
    void selectTitle(int title);
    void setObjectSG(int object);
    void selectLine(int line);

    // The grid operations behind the buttons and keys.
    void bbTiinsClick();
    void bbTidelClick();
    void refreshAfterObjectChange();
    void bbObinsClick();
    void bbObdelClick();
    void bbNCinsClick();
    void bbNCdelClick();
    void nopSelectedLine();
    void sgCommandsDblClick(int line);
    void sgTitlesDblClick(int title);
    void bbSaveCommandsClick();
    void bIndExDatEditClick();
    void bObjExtDatEditClick();
    // The pop-up menu's two modes of the command grid.
    void setCommandsEditable(bool editable);

    // Asks for the program list file: (start folder, dialog filter, selected filter in/out) → path.
    std::function<QString(const QString&, const QString&, QString*)> chooseProgramListFile;
    // The warning when Up or Down lands on an invalid line; the system beep by default.
    std::function<void()> invalidLineBeep;

    // The sound.bdmv group; the Options page's Create button works on it.
    SoundGroup* soundGroup() const { return gbSound; }
    // Read is off while a folder is being read.
    void setReadEnabled(bool enabled);
    bool readEnabled() const;

    SoundPlayer* player; // plays the button sounds of this page and of the menu view
    TitleTableModel* titleModel;
    ObjectTableModel* objectModel;
    CommandTableModel* commandModel;

private:
    QLineEdit* eBDMVdir;
    QToolButton* bbOpenDir;
    QToolButton* bRecentDirs;
    QMenu* m_recentMenu;
    QPushButton* bReadBDMV;

    QLineEdit* eContent;
    QCheckBox* cbFPBon;
    QComboBox* cbFPBtype;
    QComboBox* cbFPBTitlePBtype;
    QComboBox* cbFPBObject;
    QComboBox* cbFPBFile;
    QCheckBox* cbTMon;
    QComboBox* cbTMtype;
    QComboBox* cbTMObject;
    QComboBox* cbTMFile;

    NavGridView* sgTitles;
    QComboBox* cbTitleNo;
    QComboBox* cbTitleOT;
    QComboBox* cbTitleAT;
    QComboBox* cbTitlePBT;
    QComboBox* cbTitleOID;
    QComboBox* cbTitleFN;
    QToolButton* bbTiins;
    QToolButton* bbTidel;
    TantAngleLabel* lTitlenum;
    QLabel* lIndexExtDat;
    QPushButton* bIndExDatEdit;

    NavGridView* sgObject;
    QComboBox* cbResume;
    QComboBox* cbMenuCall;
    QComboBox* cbTitleSearch;
    QToolButton* bbObins;
    QToolButton* bbObdel;
    TantAngleLabel* lObjects;
    QLabel* lObjExtDat;
    QPushButton* bObjExtDatEdit;

    NavGridView* sgCommands;
    QToolButton* bbNCins;
    QToolButton* bbNCdel;
    QToolButton* bbSaveCommands;
    CommandEditor* commandEditor;
    SoundGroup* gbSound;
    QMenu* PopupMenu;

signals:
    void readRequested();
    // Whether Save may be used changed.
    void saveStateChanged();
    // A command line points at a playlist (five-digit name) and maybe one of its PlayItems.
    void playlistRequested(const QString& name, int playItem);
    // A BD-J title was double-clicked: the BD-J object file at this position of cbTitleFN.
    void bdjoRequested(int position);
    // A click on a line of the command grid (the trace starts there).
    void commandLineClicked(int line);

private:
    void buildIndexGroup(QWidget* box);
    void buildObjectGroup(QWidget* box);
    void connectControls();
    void fillIndex();
    void fillObjects();
    void fillObjectPickers();
    void fillTitlePickerNumbers();
    void showMenuEntry(const TTitleEntry& entry, QCheckBox* on, QComboBox* type, QComboBox* object,
                       QComboBox* file, QComboBox* playback);
    void menuEntryChanged(bool firstPlayback);
    void keepMenuEntry(EditScope& edit, bool firstPlayback);
    void titleClick(int title);
    void cbTitleNoChange();
    void titlePickerChanged(QComboBox* picker, int item);
    void updateTitlePickerStates();
    void objectClick(int object);
    void objectFlagChanged(QComboBox* picker, int item);
    void updateObjectPickerStates();
    void sgCommandsClick(int line);
    void storeCommand(int line, const struct TNavCommand& command, const QString& step);
    void labels();

    Session& m_session;
    EditHistory& m_history;
    IndexUhdGroup* m_uhdGroup = nullptr; // gbIndexUhd: AppInfoBDMV and the UHD disc-type entry
    TfExtDat* m_extDat = nullptr;
    bool m_filling = false;
};

} // namespace corvane
