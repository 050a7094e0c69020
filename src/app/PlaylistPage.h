#pragma once
// The PLAYLIST page: the playlist picker, AppInfoPlayList with its 33 UO boxes,
// the PlayItems with their angles and STN tables, the SubPaths with their
// SubPlayItems, the PlayListMarks with the chapter files, and the playlist's
// ExtensionData. The grids show core-made texts; every edit goes through a core
// operation (which keeps lengths and start addresses in step) and the touched
// rows are redrawn from the model.

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "playlist/PlayList.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QToolButton;

namespace corvane {

struct Session;
class EditHistory;
class EditScope;
struct TStreamEntry;
class PlaylistExtractDialog;
class PlaylistGrid;
class TfExtDat;
class THexEdit;
class TIntEdit;

class PlaylistPage : public QWidget {
    Q_OBJECT
public:
    PlaylistPage(Session& session, EditHistory& history, QWidget* parent = nullptr);

    // Fills the picker from the names the last folder read found.
    void fillFromSession();
    // Empties the picker, the model and every grid (a new folder is read).
    void clear();
    void setExtDatDialog(TfExtDat* dialog) { m_extDat = dialog; }

    // Reads the playlist chosen in cbPlaylist and shows it.
    void bReadPLClick();
    // A new choice in cbPlaylist: read at once with Auto Read.
    void cbPlaylistChange();
    // The chosen playlist is not the one in memory (switching to the page reads it then).
    bool needsRead() const;
    // Save: the chosen playlist is the one in memory, read whole, with a PlayItem.
    bool canSave() const;
    void bSaveClick();
    // The name of the playlist in memory (Session::mplsName).
    const std::string& loadedName() const;

    // Selections by model position; -1 for none.
    int selectedPlayItem() const;
    int selectedStnList() const { return m_list; }
    int selectedEntry() const;
    int selectedSubPath() const;
    int selectedSubPlayItem() const;
    int selectedMark() const;
    void selectPlayItem(int item);
    void selectEntry(int entry);
    // Shows STN list `list` (an index of StnHeaders) of the selected PlayItem.
    void selectStnList(int list);
    void selectSubPath(int path);
    void selectMark(int mark);

    void bbInsSTNClick();
    void bbDelSTNClick();
    void bbSPinsClick();
    void bbSPdelClick();
    void bbPLMinsClick();
    void bbPLMdelClick();
    void bbSaveChapClick();
    void bbLoadChapClick();
    void bMExtDatEditClick();
    // Extract…: the dialog, then the chosen streams of the playlist in memory across its
    // PlayItems into the dialog's folder, with the chapters.
    void bExtractPLClick();
    // An extraction is running (its events are being served).
    bool extracting() const { return m_extracting; }
    // The pop-up menu's two modes of sgPLitem and sgSubPlayItem.
    void setGridEditable(PlaylistGrid* grid, bool editable);

    // The Yes/No questions of the IN time cascade; a message box by default.
    std::function<bool(const QString& question)> askYesNo;
    // The chapter file dialogs: (save?, title, proposed path, filter) → path, empty on cancel.
    std::function<QString(bool save, const QString& title, const QString& proposed, const QString& filter)>
        chooseChapterFile;

    // Shows the Extract dialog; true on OK. The dialog's own loop by default.
    std::function<bool(PlaylistExtractDialog& dialog)> runExtractDialog;

    // The playlist chosen in the picker; choose() picks `name` (false when the folder has none such).
    QString chosenName() const;
    bool choose(const QString& name);
    // Read may be clicked; clickRead() clicks it (nothing while it is disabled).
    bool canRead() const;
    void clickRead();

private:
    QComboBox* cbPlaylist;
    QPushButton* bReadPL;
    QPushButton* bExtractPL;

    QGroupBox* gbAppInfo;
    QComboBox* cbAIpbt;
    TIntEdit* ieAIpbc;
    THexEdit* heAIUO;
    THexEdit* heAIUO2;
    QCheckBox* cbAIRA;
    QCheckBox* cbAIAM;
    QCheckBox* cbAIBM;
    std::array<QCheckBox*, 32> cbUO{}; // cbUO0 … cbUO31, by bit
    QCheckBox* cbUO2_30;

    QGroupBox* gbPLayList;
    PlaylistGrid* sgPLitem;
    PlaylistGrid* sgPIangles;
    PlaylistGrid* sgSTN;
    PlaylistGrid* sgStreamEntry;
    QComboBox* coEntryType;
    THexEdit* heMainPID;
    THexEdit* heSubPID;
    TIntEdit* ieSubPath;
    TIntEdit* ieSubClip;
    QComboBox* coVideo;
    QComboBox* coResol;
    QComboBox* coFrmRate;
    QComboBox* coAudio;
    QComboBox* coAuType;
    QComboBox* coFreq;
    QComboBox* coLang;
    QToolButton* bbInsSTN;
    QToolButton* bbDelSTN;

    QGroupBox* gbSubPath;
    PlaylistGrid* sgSubPath;
    PlaylistGrid* sgSubPlayItem;
    PlaylistGrid* sgAngles;
    QComboBox* cbSubPathType;
    QComboBox* cbSPrepeat;
    QToolButton* bbSPins;
    QToolButton* bbSPdel;

    QGroupBox* gbPlayListMark;
    PlaylistGrid* sgPlayListMark;
    QComboBox* cmPLMtype;
    TIntEdit* iePLMPI;
    TIntEdit* iePLMhour;
    TIntEdit* iePLMmin;
    TIntEdit* iePLMsec;
    TIntEdit* iePLMms;
    QToolButton* bbPLMins;
    QToolButton* bbPLMdel;
    QToolButton* bbLoadChap;
    QToolButton* bbSaveChap;

    QLabel* lMExtDat;
    QPushButton* bMExtDatEdit;
    QMenu* PopupMenu;
    QSplitter* groupSplitter;

signals:
    // Whether Save may be used changed.
    void saveStateChanged();
    // The picker shows another playlist name.
    void chosenNameChanged(const QString& name);
    // A clip row was double-clicked: choose it on the CLIPINF page, and read it when asked.
    void clipRequested(const QString& clip, bool read);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // PlaylistPageLayout.cpp
    void buildAppInfoGroup();
    void buildPlayItemGroup();
    void buildSubPathGroup();
    void buildMarkGroup();
    void buildPopupMenu();
    void connectControls();
    void connectEntryEditors();
    void connectMarkEditors();

    // PlaylistPage.cpp
    void showPlayList();
    // After an undo or redo: the whole page from the session, at the place the user was.
    void redrawKeepingPlace();
    // What an edit that resizes PlayList() moves: its length and the later start addresses.
    void keepPlayListLayout(EditScope& edit);
    // What a mark insert, delete or import changes: the section and the addresses it moves.
    void keepMarkSection(EditScope& edit);
    void clearPage();
    void setcbUOs();
    void uoBoxClicked(int bit, bool checked);
    void editPlayItem(int row, int column, const QString& text);
    void editInTime(int row, const QString& text);
    void sgPLitemClick(int row);

    // PlaylistPageStreams.cpp
    void sgSTNClick(int list);
    void sgStreamEntryClick(int row);
    void showEntryEditors();
    void hideEntryEditors();
    void placeEntryEditors();
    void entryEdited(int field, std::uint32_t value);
    void redrawEntries();
    void updateStnButtons();
    TStreamEntry* currentEntry();

    // PlaylistPageSubPaths.cpp
    void fillSubPaths(int select);
    void sgSubPathClick(int row);
    void sgSubPlayItemClick(int row);
    void cbSubPathTypeChange(int item);
    void cbSPrepeatChange(int item);
    void editSubPlayItem(int row, int column, const QString& text);
    void setSubPathControls();
    // What a SubPath insert or delete changes.
    void keepSubPathList(EditScope& edit);

    // PlaylistPageMarks.cpp
    void fillMarks(int select);
    void redrawMarks();
    void sgPlayListMarkClick(int row);
    void setMarkEditorsEnabled(bool enabled);
    void getmarktime(TIntEdit* edited);
    QString chapterStartFolder(bool open) const;

    // PlaylistPageExtract.cpp
    void updateExtractEnabled();

    // The UHD attributes of a video entry, laid over the "attrib" cell after the video pickers.
    QComboBox* m_coDynRange = nullptr;   // "coDynRange": dynamic_range_type
    QComboBox* m_coColSpace = nullptr;   // "coColSpace": color_space
    QCheckBox* m_cxCRflag = nullptr;     // "cxCRflag": cr_flag
    QCheckBox* m_cxHDRplus = nullptr;    // "cxHDRplus": HDR_plus_flag
    void buildUhdEditors(QWidget* over); // PlaylistPageStreams.cpp

    Session& m_session;
    EditHistory& m_history;
    TfExtDat* m_extDat = nullptr;
    bool m_filling = false;
    bool m_extracting = false;
    int m_list = 0; // the STN list selected in sgSTN
    PlaylistGrid* m_popupGrid = nullptr;
};

} // namespace corvane
