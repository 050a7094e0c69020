// SubPaths and their SubPlayItems on the PLAYLIST page.
#include "app/PlaylistPage.h"

#include <QComboBox>
#include <QToolButton>

#include <algorithm>

#include "app/BdmvPageHelpers.h"
#include "app/EditHistory.h"
#include "app/PlaylistPageGrid.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListNames.h"
#include "shell/Session.h"

namespace corvane {

using bdmvpage::indexOrNone;
using bdmvpage::qs;

int PlaylistPage::selectedSubPath() const {
    const int row = sgSubPath->currentRow();
    return row >= 0 && row < static_cast<int>(m_session.mpls.PlayList.SubPaths.size()) ? row : -1;
}

int PlaylistPage::selectedSubPlayItem() const {
    const int path = selectedSubPath();
    const int row = sgSubPlayItem->currentRow();
    if (path < 0 || row < 0) return -1;
    return row < static_cast<int>(
                     m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(path)].SubPlayItems.size())
               ? row
               : -1;
}

void PlaylistPage::selectSubPath(int path) {
    if (path < 0 || path >= static_cast<int>(m_session.mpls.PlayList.SubPaths.size())) return;
    sgSubPath->selectDataRow(path);
    sgSubPathClick(path);
}

// Fills the SubPath grid and selects `select` (clamped to the list).
void PlaylistPage::fillSubPaths(int select) {
    const auto& paths = m_session.mpls.PlayList.SubPaths;
    std::vector<GridRow> rows;
    for (std::size_t i = 0; i < paths.size(); ++i) rows.push_back(subPathRow(paths[i], i));
    sgSubPath->setRows(rows);
    if (paths.empty()) {
        sgSubPlayItem->clearRows();
        sgAngles->clearRows();
        sgAngles->hide();
        m_filling = true;
        cbSubPathType->setCurrentIndex(-1);
        cbSPrepeat->setCurrentIndex(-1);
        m_filling = false;
    } else {
        selectSubPath(std::clamp(select, 0, static_cast<int>(paths.size()) - 1));
    }
    setSubPathControls();
}

void PlaylistPage::setSubPathControls() {
    const auto& paths = m_session.mpls.PlayList.SubPaths;
    const bool has = !paths.empty();
    const int path = selectedSubPath();
    for (QWidget* control :
         std::initializer_list<QWidget*>{sgSubPath, sgSubPlayItem, sgAngles, cbSubPathType})
        control->setEnabled(has);
    cbSPrepeat->setEnabled(path >= 0 && paths[static_cast<std::size_t>(path)].SubPath_type == 2);
    bbSPins->setEnabled(!m_session.mplsName.empty() && paths.size() < MaxSubPaths &&
                        !m_session.mpls.PlayList.PlayItems.empty());
    bbSPdel->setEnabled(has);
}

void PlaylistPage::sgSubPathClick(int row) {
    if (row < 0 || row >= static_cast<int>(m_session.mpls.PlayList.SubPaths.size())) return;
    const TSubPath& path = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(row)];
    std::vector<GridRow> rows;
    for (std::size_t i = 0; i < path.SubPlayItems.size(); ++i)
        rows.push_back(subPlayItemRow(path.SubPlayItems[i], i));
    sgSubPlayItem->setRows(rows);
    m_filling = true;
    cbSubPathType->setCurrentIndex(indexOrNone(path.SubPath_type, SubPathTypeCount));
    cbSPrepeat->setCurrentIndex(path.SubPath_flags == 0 ? 0 : 1);
    m_filling = false;
    cbSubPathType->setToolTip(qs(subPathTypeHint(path.SubPath_type)));
    cbSPrepeat->setEnabled(path.SubPath_type == 2);
    if (rows.empty()) {
        sgAngles->clearRows();
        sgAngles->hide();
    } else {
        sgSubPlayItem->selectDataRow(0);
        sgSubPlayItemClick(0);
    }
}

void PlaylistPage::sgSubPlayItemClick(int row) {
    const int path = selectedSubPath();
    if (path < 0) return;
    const auto& items = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(path)].SubPlayItems;
    if (row < 0 || row >= static_cast<int>(items.size())) return;
    const std::vector<GridRow> clips = clipEntryRows(items[static_cast<std::size_t>(row)]);
    sgAngles->setRows(clips);
    sgAngles->setVisible(!clips.empty());
}

void PlaylistPage::cbSubPathTypeChange(int item) {
    const int row = selectedSubPath();
    if (m_filling || row < 0 || item < 0) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Change SubPath type"));
    edit.keep([this, row]() -> TSubPath& {
        return m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(row)];
    });
    TSubPath& path = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(row)];
    setSubPathType(path, static_cast<std::uint8_t>(item));
    sgSubPath->setRow(row, subPathRow(path, static_cast<std::size_t>(row)));
    m_filling = true;
    cbSPrepeat->setCurrentIndex(path.SubPath_flags == 0 ? 0 : 1);
    m_filling = false;
    cbSPrepeat->setEnabled(path.SubPath_type == 2);
    cbSubPathType->setToolTip(qs(subPathTypeHint(path.SubPath_type)));
}

void PlaylistPage::cbSPrepeatChange(int item) {
    const int row = selectedSubPath();
    if (m_filling || row < 0 || item < 0) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Change SubPath repeat"));
    edit.keep([this, row]() -> TSubPath& {
        return m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(row)];
    });
    TSubPath& path = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(row)];
    setSubPathRepeat(path, item == 1);
    sgSubPath->setRow(row, subPathRow(path, static_cast<std::size_t>(row)));
}

void PlaylistPage::editSubPlayItem(int row, int column, const QString& text) {
    const int path = selectedSubPath();
    if (path < 0 || row < 0) return;
    const auto& items = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(path)].SubPlayItems;
    if (row >= static_cast<int>(items.size())) return;
    // The "multi" column resizes the SubPath and moves what follows it.
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit SubPlayItem"));
    edit.keep([this, path]() -> TSubPath& {
        return m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(path)];
    });
    keepPlayListLayout(edit);
    editSubPlayItemCell(m_session.mpls, static_cast<std::size_t>(path), static_cast<std::size_t>(row), column,
                        text.toStdString());
    sgSubPlayItem->setRow(
        row, subPlayItemRow(items[static_cast<std::size_t>(row)], static_cast<std::size_t>(row)));
    if (row == selectedSubPlayItem()) sgSubPlayItemClick(row);
}

void PlaylistPage::keepSubPathList(EditScope& edit) {
    edit.keep([this]() -> std::vector<TSubPath>& { return m_session.mpls.PlayList.SubPaths; });
    edit.keep([this]() -> std::uint16_t& { return m_session.mpls.PlayList.number_of_SubPaths; });
    keepPlayListLayout(edit);
}

void PlaylistPage::bbSPinsClick() {
    if (!bbSPins->isEnabled()) return;
    const int after = selectedSubPath();
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Insert SubPath"));
    keepSubPathList(edit);
    const auto inserted =
        insertSubPath(m_session.mpls, after >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(after))
                                                 : std::nullopt);
    if (!inserted) return;
    fillSubPaths(static_cast<int>(*inserted));
}

void PlaylistPage::bbSPdelClick() {
    const int path = selectedSubPath();
    if (path < 0) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Delete SubPath"));
    keepSubPathList(edit);
    const SubPathDeleteResult result = deleteSubPath(m_session.mpls, static_cast<std::size_t>(path));
    if (!result.deleted) return;
    fillSubPaths(result.select ? static_cast<int>(*result.select) : 0);
}

} // namespace corvane
