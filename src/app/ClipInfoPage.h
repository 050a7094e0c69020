#pragma once
// The CLIPINF page: one clip information file of the folder shown field by field
// (ClipInfo, ATC/STC sequences, program streams, EP map, ExtensionData), the clip's
// m2ts played with the desktop's player, one stream of it saved by PID, and the
// playlists that use the clip ("Referenced by"). Clip files are only read.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "stream/ClipInfo.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace corvane {

struct Session;
class PlaylistGrid;
class TfExtDat;
class TIntEdit;

class ClipInfoPage : public QWidget {
    Q_OBJECT
public:
    explicit ClipInfoPage(Session& session, QWidget* parent = nullptr);

    // Fills the picker from the names the last folder read found.
    void fillFromSession();
    // Empties the picker, the clip in memory and every grid (a new folder is read).
    void clear();
    void setExtDatDialog(TfExtDat* dialog) { m_extDat = dialog; }

    // Reads the clip chosen in cbClipinf and shows it.
    void bReadCIClick();
    // A new choice in cbClipinf: read at once with Auto Read; the references of the clip.
    void cbClipinfChange();
    // The chosen clip is not the one last read (switching to the page reads it then).
    bool needsRead() const;
    // The clip reference pass over every playlist of the folder, then the chosen clip's rows.
    void findClipReferences();

    void bPlayClick();
    // Saves the stream of the selected sgCI row into the work folder (ES, PES, SUP or MNU).
    void bSavePESClick();
    void bLoadToMenuClick();
    void bCIExtDatClick();
    // A stream row became the selected one: bLoadToMenu follows its PID.
    void sgCIClick();
    void sgCIDblClick(int row);
    void sgCIRefDblClick(int row);

    // The clip last read whole, and its name without extension ("" before a read).
    const TCLPI& clpi() const;
    const std::string& loadedName() const;
    // An extraction is running (its events are being served).
    bool extracting() const { return m_extracting; }

    // Opens a file with the desktop's default application; QDesktopServices by default.
    std::function<void(const QString& path)> openFile;
    // Asks for the work folder when none is set (Save PID); empty when the user cancels.
    // A folder chooser by default.
    std::function<QString(const QString& title, const QString& start)> chooseWorkFolder;

    // The clip chosen in the picker; choose() picks `name` (false when the folder has none such).
    QString chosenName() const;
    bool choose(const QString& name);
    // Read may be clicked.
    bool canRead() const;

private:
    QComboBox* cbClipinf;
    QPushButton* bReadCI;
    QLabel* lStreamname;
    QLabel* lStreamsize;
    QPushButton* bPlay;
    QPushButton* bSavePES;
    QPushButton* bLoadToMenu;

    QGroupBox* gbClipInfo;
    QComboBox* cbApplitype;
    QCheckBox* cbisATCdelta;
    TIntEdit* ieRecRate;
    TIntEdit* iePackets;
    QWidget* pATCdelta;
    PlaylistGrid* sgATCdelta;
    QWidget* pFontfiles;
    PlaylistGrid* sgFontFiles;
    PlaylistGrid* sgSequence;
    QWidget* pSTCseq;
    PlaylistGrid* sgSTCseq;
    PlaylistGrid* sgCI;
    PlaylistGrid* sgEPmap;
    QLabel* lCIExtdat;
    QPushButton* bCIExtDat;
    PlaylistGrid* sgCIRef;

signals:
    // The picker shows another clip name.
    void chosenNameChanged(const QString& name);
    // The IG stream of the selected row (PID 0x1400..0x14FF) is to be loaded into the Menu page.
    void loadToMenuRequested(int pid);
    // A "Referenced by" row: open the playlist; `playItem` is -1 when no PlayItem is to be selected.
    void playlistRequested(const QString& name, int playItem);
    // Save PID asked for the work folder: `folder` (ending with the separator) is the new one.
    void workFolderChosen(const QString& folder);

private:
    void buildLayout();
    void connectControls();
    // Every grid emptied and disabled, the ClipInfo fields blank, the buttons off.
    void clearClip();
    void showClip();
    void showStreamLabels();
    void fillReferences();
    // The chosen clip's position in the folder lists, or -1.
    int chosenClip() const;
    // Size of the chosen clip's m2ts in bytes (0 when it is missing).
    std::int64_t streamSize() const;
    // The chosen clip's m2ts path; empty when the folder has none for it.
    std::string streamPath() const;
    // The stream of a row of sgCI, of the selected one; null without one.
    const TStreamCodingInfo* streamOfRow(int row) const;
    const TStreamCodingInfo* selectedStream() const;
    // The streams of the selected rows in row order (the current row when none is selected).
    std::vector<TStreamCodingInfo> selectedStreams() const;

    Session& m_session;
    TfExtDat* m_extDat = nullptr;
    bool m_extracting = false;
};

} // namespace corvane
