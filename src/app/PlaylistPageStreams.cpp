// The STN table of the selected PlayItem: the list picker, the entries with the
// editors laid over the selected row, and inserting and deleting entries.
#include "app/PlaylistPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QToolButton>

#include <algorithm>
#include <vector>

#include "app/BdmvPageHelpers.h"
#include "app/EditHistory.h"
#include "app/PlaylistPageGrid.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "shell/Session.h"
#include "widgets/EditControls.h"

namespace corvane {

using bdmvpage::qs;

namespace {

std::optional<std::size_t> rowOrNone(int row) {
    return row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt;
}

} // namespace

int PlaylistPage::selectedEntry() const {
    const int row = sgStreamEntry->currentRow();
    return row >= 0 && row < sgStreamEntry->dataRows() ? row : -1;
}

TStreamEntry* PlaylistPage::currentEntry() {
    const int item = selectedPlayItem();
    const int row = selectedEntry();
    if (item < 0 || row < 0) return nullptr;
    return stnEntry(m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].STN, m_list,
                    static_cast<std::size_t>(row));
}

void PlaylistPage::sgSTNClick(int list) {
    m_list = list;
    m_filling = true;
    if (sgSTN->currentColumn() != list) sgSTN->setCurrentCell(0, list);
    m_filling = false;
    const int item = selectedPlayItem();
    if (item < 0) {
        sgStreamEntry->clearRows();
        hideEntryEditors();
        return;
    }
    sgStreamEntry->setRows(
        streamEntryRows(m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].STN, list));
    updateStnButtons();
    selectEntry(0);
}

void PlaylistPage::selectStnList(int list) {
    if (list >= 0 && list < StnListCount) sgSTNClick(list);
}

void PlaylistPage::selectEntry(int entry) {
    if (entry < 0 || entry >= sgStreamEntry->dataRows()) {
        sgStreamEntry->clearSelection();
        hideEntryEditors();
        return;
    }
    sgStreamEntry->selectDataRow(entry);
    sgStreamEntryClick(entry);
}

void PlaylistPage::sgStreamEntryClick(int) {
    showEntryEditors();
}

void PlaylistPage::updateStnButtons() {
    const int item = selectedPlayItem();
    if (item < 0) {
        bbInsSTN->setEnabled(false);
        bbDelSTN->setEnabled(false);
        return;
    }
    const TSTN& stn = m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].STN;
    const bool canInsert = canInsertStreamEntry(stn, m_list);
    const bool canDelete = canDeleteStreamEntry(stn, m_list);
    // The buttons offer only what the list allows now, also for an empty list.
    const std::optional<StnButtons> buttons = stnButtons(stn, m_list);
    bbInsSTN->setEnabled(buttons ? buttons->insert && canInsert : canInsert);
    bbDelSTN->setEnabled(buttons ? buttons->remove && canDelete : false);
}

void PlaylistPage::buildUhdEditors(QWidget* over) {
    m_coDynRange = bdmvpage::picker(over, "coDynRange");
    m_coColSpace = bdmvpage::picker(over, "coColSpace");
    for (const auto& name : pickerItems(EntryField::DynamicRange)) m_coDynRange->addItem(qs(name));
    for (const auto& name : pickerItems(EntryField::ColorSpace)) m_coColSpace->addItem(qs(name));
    m_coDynRange->setToolTip(QStringLiteral("dynamic_range_type"));
    m_coColSpace->setToolTip(QStringLiteral("color_space"));
    m_cxCRflag = new QCheckBox(QStringLiteral("CR"), over);
    m_cxCRflag->setObjectName(QStringLiteral("cxCRflag"));
    m_cxCRflag->setToolTip(QStringLiteral("cr_flag"));
    m_cxHDRplus = new QCheckBox(QStringLiteral("HDR10+"), over);
    m_cxHDRplus->setObjectName(QStringLiteral("cxHDRplus"));
    m_cxHDRplus->setToolTip(QStringLiteral("HDR_plus_flag: HDR10+ metadata present"));
    auto flag = [this](QCheckBox* box, EntryField field) {
        connect(box, &QCheckBox::clicked, this,
                [this, field](bool on) { entryEdited(static_cast<int>(field), on ? 1u : 0u); });
    };
    flag(m_cxCRflag, EntryField::CRFlag);
    flag(m_cxHDRplus, EntryField::HDRPlusFlag);
}

void PlaylistPage::hideEntryEditors() {
    for (QWidget* editor :
         std::initializer_list<QWidget*>{coEntryType, heMainPID, heSubPID, ieSubPath, ieSubClip, coVideo,
                                         coResol, coFrmRate, coAudio, coAuType, coFreq, coLang})
        editor->hide();
    for (QWidget* editor :
         std::initializer_list<QWidget*>{m_coDynRange, m_coColSpace, m_cxCRflag, m_cxHDRplus})
        editor->hide();
}

void PlaylistPage::showEntryEditors() {
    const TStreamEntry* entry = currentEntry();
    if (!entry) {
        hideEntryEditors();
        return;
    }
    const EntryEditors shown = entryEditors(*entry, m_list);
    m_filling = true;
    coEntryType->setCurrentIndex(shown.typeIndex);
    coEntryType->setToolTip(qs(entryTypeHint(std::max(0, shown.typeIndex))));
    heMainPID->setValue(entry->ref_to_stream_PID_of_mainClip);
    heSubPID->setValue(entry->ref_to_stream_PID_of_subClip);
    ieSubPath->setValue(entry->ref_to_SubPath_id);
    ieSubClip->setValue(entry->ref_to_subClip_entry_id);
    coVideo->setCurrentIndex(shown.videoIndex);
    if (shown.videoIndex >= 0) coVideo->setToolTip(qs(videoHint(shown.videoIndex)));
    coResol->setCurrentIndex(shown.resolutionIndex);
    coFrmRate->setCurrentIndex(shown.frameRateIndex);
    coAudio->setCurrentIndex(shown.audioIndex);
    if (shown.audioIndex >= 0) coAudio->setToolTip(qs(audioHint(shown.audioIndex)));
    coAuType->setCurrentIndex(shown.audioTypeIndex);
    if (!audioTypeHint(shown.audioTypeIndex).empty())
        coAuType->setToolTip(qs(audioTypeHint(shown.audioTypeIndex)));
    coFreq->setCurrentIndex(shown.frequencyIndex);
    coLang->setCurrentIndex(shown.languageIndex);
    m_coDynRange->setCurrentIndex(shown.dynamicRangeIndex < m_coDynRange->count() ? shown.dynamicRangeIndex
                                                                                  : -1);
    m_coColSpace->setCurrentIndex(shown.colorSpaceIndex < m_coColSpace->count() ? shown.colorSpaceIndex : -1);
    m_cxCRflag->setChecked(shown.crFlag);
    m_cxHDRplus->setChecked(shown.hdrPlusFlag);
    m_filling = false;

    coEntryType->setVisible(shown.type);
    heMainPID->setVisible(shown.mainPID);
    ieSubPath->setVisible(shown.subPath);
    ieSubClip->setVisible(shown.subClip);
    heSubPID->setVisible(shown.subPID);
    for (QComboBox* box : {coVideo, coResol, coFrmRate}) box->setVisible(shown.video);
    for (QWidget* editor :
         std::initializer_list<QWidget*>{m_coDynRange, m_coColSpace, m_cxCRflag, m_cxHDRplus})
        editor->setVisible(shown.video);
    for (QComboBox* box : {coAudio, coAuType, coFreq}) box->setVisible(shown.audio);
    coLang->setVisible(shown.language);
    placeEntryEditors();
}

void PlaylistPage::placeEntryEditors() {
    PlaylistGrid* grid = sgStreamEntry;
    QHeaderView* header = grid->horizontalHeader();
    const int row = selectedEntry();
    // The attribute pickers get the widths their texts need: when the "attrib" cell is
    // narrower, it widens and the grid scrolls; otherwise it fills the grid as before.
    std::vector<QWidget*> parts;
    if (row >= 0 && !coVideo->isHidden())
        parts = {coVideo, coResol, coFrmRate, m_coDynRange, m_coColSpace, m_cxCRflag, m_cxHDRplus};
    else if (row >= 0 && !coAudio->isHidden())
        parts = {coAudio, coAuType, coFreq, coLang};
    int needed = 0;
    for (QWidget* part : parts) needed += std::max(40, part->sizeHint().width());
    const int available = grid->viewport()->width() - header->sectionPosition(6);
    const bool stretch = needed <= available;
    if (header->stretchLastSection() != stretch) header->setStretchLastSection(stretch);
    if (!stretch && grid->columnWidth(6) != needed) grid->setColumnWidth(6, needed);
    if (row < 0) return;

    const int top = grid->rowViewportPosition(row);
    const int height = grid->rowHeight(row);
    auto cell = [&](int column) {
        return QRect(grid->columnViewportPosition(column), top, grid->columnWidth(column), height);
    };
    coEntryType->setGeometry(cell(1));
    heMainPID->setGeometry(cell(2));
    ieSubPath->setGeometry(cell(3));
    ieSubClip->setGeometry(cell(4));
    heSubPID->setGeometry(cell(5));

    // The pickers share the cell by the widths they need.
    const QRect attrib = cell(6);
    int x = attrib.x();
    for (QWidget* part : parts) {
        const int width = std::max(40, part->sizeHint().width()) * attrib.width() / std::max(needed, 1);
        part->setGeometry(x, top, width, height);
        x += width;
    }
    if (parts.empty() && !coLang->isHidden())
        coLang->setGeometry(attrib.x(), top, std::min(attrib.width(), coLang->sizeHint().width()), height);
    for (QWidget* editor : std::initializer_list<QWidget*>{
             coEntryType, heMainPID, heSubPID, ieSubPath, ieSubClip, coVideo, coResol, coFrmRate, coAudio,
             coAuType, coFreq, coLang, m_coDynRange, m_coColSpace, m_cxCRflag, m_cxHDRplus})
        editor->raise();
}

void PlaylistPage::entryEdited(int field, std::uint32_t value) {
    if (m_filling || m_history.restoring()) return;
    TStreamEntry* entry = currentEntry();
    if (!entry) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit stream entry"));
    edit.keep([this, item = static_cast<std::size_t>(selectedPlayItem())]() -> TSTN& {
        return m_session.mpls.PlayList.PlayItems[item].STN;
    });
    setEntryField(*entry, static_cast<EntryField>(field), value);
    redrawEntries();
    showEntryEditors();
}

void PlaylistPage::redrawEntries() {
    const int item = selectedPlayItem();
    if (item < 0) return;
    const int row = selectedEntry();
    sgStreamEntry->setRows(
        streamEntryRows(m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].STN, m_list));
    sgStreamEntry->selectDataRow(row);
}

void PlaylistPage::connectEntryEditors() {
    const std::pair<QComboBox*, EntryField> pickers[] = {{coEntryType, EntryField::Type},
                                                         {coVideo, EntryField::Video},
                                                         {coResol, EntryField::Resolution},
                                                         {coFrmRate, EntryField::FrameRate},
                                                         {coAudio, EntryField::Audio},
                                                         {coAuType, EntryField::AudioType},
                                                         {coFreq, EntryField::Frequency},
                                                         {coLang, EntryField::Language},
                                                         {m_coDynRange, EntryField::DynamicRange},
                                                         {m_coColSpace, EntryField::ColorSpace}};
    for (const auto& picker : pickers)
        connect(picker.first, &QComboBox::activated, this, [this, field = picker.second](int item) {
            if (item >= 0) entryEdited(static_cast<int>(field), static_cast<std::uint32_t>(item));
        });
    // The number fields apply when they are left (or Enter is pressed).
    connect(heMainPID, &QLineEdit::editingFinished, this, [this] {
        if (!heMainPID->isHidden())
            entryEdited(static_cast<int>(EntryField::MainPID),
                        static_cast<std::uint32_t>(heMainPID->value()));
    });
    connect(heSubPID, &QLineEdit::editingFinished, this, [this] {
        if (!heSubPID->isHidden())
            entryEdited(static_cast<int>(EntryField::SubPID), static_cast<std::uint32_t>(heSubPID->value()));
    });
    connect(ieSubPath, &QLineEdit::editingFinished, this, [this] {
        if (!ieSubPath->isHidden())
            entryEdited(static_cast<int>(EntryField::SubPathId),
                        static_cast<std::uint32_t>(std::clamp(ieSubPath->value(), 0, 255)));
    });
    connect(ieSubClip, &QLineEdit::editingFinished, this, [this] {
        if (!ieSubClip->isHidden())
            entryEdited(static_cast<int>(EntryField::SubClipId),
                        static_cast<std::uint32_t>(std::clamp(ieSubClip->value(), 0, 255)));
    });
    for (QLineEdit* edit : {static_cast<QLineEdit*>(heMainPID), static_cast<QLineEdit*>(ieSubPath),
                            static_cast<QLineEdit*>(ieSubClip)})
        connect(edit, &QLineEdit::returnPressed, sgStreamEntry, qOverload<>(&QWidget::setFocus));
}

void PlaylistPage::bbInsSTNClick() {
    const int item = selectedPlayItem();
    if (item < 0) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Insert stream entry"));
    edit.keep([this, item]() -> TPlayItem& {
        return m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)];
    });
    keepPlayListLayout(edit);
    const auto inserted =
        insertStreamEntry(m_session.mpls, static_cast<std::size_t>(item), m_list, rowOrNone(selectedEntry()));
    if (!inserted) return;
    const TSTN& stn = m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].STN;
    sgSTN->setRow(0, stnCountRow(stn));
    sgStreamEntry->setRows(streamEntryRows(stn, m_list));
    selectEntry(static_cast<int>(*inserted));
    updateStnButtons();
}

void PlaylistPage::bbDelSTNClick() {
    const int item = selectedPlayItem();
    const int row = selectedEntry();
    if (item < 0 || row < 0) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Delete stream entry"));
    edit.keep([this, item]() -> TPlayItem& {
        return m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)];
    });
    keepPlayListLayout(edit);
    const StnDeleteResult result = deleteStreamEntry(m_session.mpls, static_cast<std::size_t>(item), m_list,
                                                     static_cast<std::size_t>(row));
    if (!result.deleted) return;
    const TSTN& stn = m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].STN;
    sgSTN->setRow(0, stnCountRow(stn));
    sgStreamEntry->setRows(streamEntryRows(stn, m_list));
    selectEntry(result.select ? static_cast<int>(*result.select) : -1);
    updateStnButtons();
}

} // namespace corvane
