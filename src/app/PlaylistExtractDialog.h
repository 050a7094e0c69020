#pragma once
// The PLAYLIST page's Extract dialog: which streams of the STN, which angle and which
// folder. It only chooses; the page plans and runs the extraction.

#include <QDialog>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "playlist/PlayList.h"
#include "stream/PlaylistExtract.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace corvane {

class PlaylistExtractDialog : public QDialog {
    Q_OBJECT
public:
    // The streams are those of PlayItem `playItem`'s STN, all checked; `folder` is the
    // output folder it starts with.
    PlaylistExtractDialog(const TMPLS& mpls, const QString& playlistName, std::size_t playItem,
                          const QString& folder, QWidget* parent = nullptr);

    // The checked streams in STN order.
    std::vector<StnChoice> choices() const;
    // 0 (the PlayItems' own clips) when the playlist has no multi-angle PlayItem.
    std::size_t angle() const;
    QString folder() const;

    // The browse button's folder chooser (start folder → folder, empty on cancel); a
    // folder dialog by default.
    std::function<QString(const QString& start)> chooseFolder;

private:
    void updateOk();

    std::vector<std::pair<QCheckBox*, StnChoice>> m_streams;
    QComboBox* m_angle = nullptr;
    QLineEdit* m_folder;
    QToolButton* m_browse;
    QPushButton* m_ok;
};

} // namespace corvane
