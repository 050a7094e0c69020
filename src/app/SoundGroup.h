#pragma once
// The "sound.bdmv" group of the BDMV page: the sounds of AUXDATA/sound.bdmv with
// play, WAV export and import (Ins), delete (Shift+Del) and the ExtensionData editor.
// Edits change the session's record, one undo step each; the BDMV page's Save writes it.

#include <QGroupBox>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QToolButton;

namespace corvane {

struct Session;
class EditHistory;
class EditScope;
class PlaylistGrid;
class SoundPlayer;
class TfExtDat;

class SoundGroup : public QGroupBox {
    Q_OBJECT
public:
    SoundGroup(Session& session, EditHistory& history, SoundPlayer& player, QWidget* parent = nullptr);
    void setExtDatDialog(TfExtDat* dialog) { m_extDat = dialog; }

    // After a folder read: shown with the sounds when sound.bdmv was there, hidden otherwise.
    void fillFromSession();
    // After an undo or redo: the same, keeping the selected sound where it still exists.
    void refreshFromSession();
    // "Create sound.bdmv": a new file whose first sound comes from a WAV file; false when
    // the user cancelled (the group is hidden again).
    bool create();
    // Save on the BDMV page: written when the group is in use.
    bool inUse() const { return m_inUse; }
    bool save();

    void loadSound(std::optional<int> row);
    void deleteSelected();
    void bbSoundPlayClick();
    void bbSaveSoundClick();
    void bEditSndExtDatClick();

    // Dialog seams for the tests: (title, filter, proposed path) → chosen path, empty = cancel.
    std::function<QString(const QString&, const QString&)> chooseWavToOpen;
    std::function<QString(const QString&, const QString&, const QString&)> chooseWavToSave;

signals:
    void createdStateChanged(bool created); // the Options page's Create button follows

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PlaylistGrid* sgSounds;
    QToolButton* bbSoundPlay;
    QToolButton* bbSaveSound;
    QToolButton* bbInsSound;
    QToolButton* bbDelSound;
    QLabel* lSNDExtDat;
    QPushButton* bEditSndExtDat;

    void fillTable();
    void sgSoundsClick();
    int selectedRow() const;
    void keepSound(EditScope& edit);
    void layOut();

    Session& m_session;
    EditHistory& m_history;
    SoundPlayer& m_player;
    TfExtDat* m_extDat = nullptr;
    bool m_inUse = false;
    bool m_filling = false; // the table is being refilled
};

} // namespace corvane
