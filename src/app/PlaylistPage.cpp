#include "app/PlaylistPage.h"

#include "app/EditHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/BdmvPageHelpers.h"
#include "app/ExtDatDialog.h"
#include "app/PickerRow.h"
#include "app/PlaylistExtractDialog.h"
#include "app/PlaylistPageGrid.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListEdit.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "widgets/EditControls.h"

namespace corvane {

using bdmvpage::indexOrNone;
using bdmvpage::qs;

namespace {

// Runs of keystrokes in one field that become one step.
constexpr int MergePlaybackCount = 200;
constexpr int MergeUOMask = 201;

} // namespace

PlaylistPage::PlaylistPage(Session& session, EditHistory& history, QWidget* parent)
    : QWidget(parent), m_session(session), m_history(history) {
    setObjectName(QStringLiteral("tsPlaylist"));
    cbPlaylist = new QComboBox(this);
    cbPlaylist->setObjectName(QStringLiteral("cbPlaylist"));
    bReadPL = new QPushButton(QStringLiteral("Read"), this);
    bReadPL->setObjectName(QStringLiteral("bReadPL"));
    bReadPL->setToolTip(QStringLiteral("Read the selected playlist"));
    bReadPL->setEnabled(false);
    bExtractPL = new QPushButton(QStringLiteral("Extract…"), this);
    bExtractPL->setObjectName(QStringLiteral("bExtractPL"));
    bExtractPL->setToolTip(QStringLiteral("Extract streams of the playlist across its PlayItems"));
    lMExtDat = new QLabel(this);
    lMExtDat->setObjectName(QStringLiteral("lMExtDat"));
    bMExtDatEdit = new QPushButton(QStringLiteral("ExtensionData"), this);
    bMExtDatEdit->setObjectName(QStringLiteral("bMExtDatEdit"));
    bMExtDatEdit->setToolTip(QStringLiteral("Edit the ExtensionData() of the playlist"));

    buildAppInfoGroup();
    buildPlayItemGroup();
    buildSubPathGroup();
    buildMarkGroup();
    buildPopupMenu();

    groupSplitter = new QSplitter(Qt::Vertical, this);
    groupSplitter->setObjectName(QStringLiteral("groupSplitter"));
    groupSplitter->setChildrenCollapsible(false);
    groupSplitter->addWidget(gbPLayList);
    groupSplitter->addWidget(gbSubPath);
    groupSplitter->addWidget(gbPlayListMark);
    const Options& options = m_session.options;
    groupSplitter->setSizes({options.PlayListHeight, options.SubPathHeight, options.PlayListMarkHeight});
    groupSplitter->setStretchFactor(0, 2);
    groupSplitter->setStretchFactor(1, 1);
    groupSplitter->setStretchFactor(2, 1);

    auto* top = pickerRow(this, QStringLiteral("PlayList"), cbPlaylist, bReadPL);
    top->insertWidget(3, bExtractPL);
    top->addWidget(lMExtDat);
    top->addWidget(bMExtDatEdit);
    // In a small window the groups keep their least heights and scroll.
    auto* groups = new QScrollArea(this);
    groups->setObjectName(QStringLiteral("sbPlayListGroups"));
    groups->setFrameShape(QFrame::NoFrame);
    groups->setWidgetResizable(true);
    groups->setWidget(groupSplitter);
    groups->setMinimumHeight(120);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(gbAppInfo);
    layout->addWidget(groups, 1);

    askYesNo = [this](const QString& question) {
        return QMessageBox::question(this, window()->windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
    runExtractDialog = [](PlaylistExtractDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    chooseChapterFile = [this](bool save, const QString& title, const QString& proposed,
                               const QString& filter) {
        return save ? QFileDialog::getSaveFileName(this, title, proposed, filter)
                    : QFileDialog::getOpenFileName(this, title, proposed, filter);
    };

    connectControls();
    clearPage();
    m_history.setRefresh(EditedDocument::Playlist, [this] { redrawKeepingPlace(); });
}

void PlaylistPage::fillFromSession() {
    fillPicker(cbPlaylist, m_session.playlists);
    bReadPL->setEnabled(cbPlaylist->count() > 0);
    emit saveStateChanged();
}

void PlaylistPage::clear() {
    cbPlaylist->clear();
    bReadPL->setEnabled(false);
    clearPage();
    emit saveStateChanged();
}

// ---- reading ----

void PlaylistPage::cbPlaylistChange() {
    // Choosing the playlist in memory again keeps its edits.
    if (m_session.options.AutoRead && bReadPL->isEnabled() && needsRead()) bReadPLClick();
    emit saveStateChanged();
}

const std::string& PlaylistPage::loadedName() const {
    return m_session.mplsName;
}

QString PlaylistPage::chosenName() const {
    return cbPlaylist->currentText();
}

bool PlaylistPage::choose(const QString& name) {
    const int item = cbPlaylist->findText(name);
    if (item < 0) return false;
    cbPlaylist->setCurrentIndex(item);
    return true;
}

bool PlaylistPage::canRead() const {
    return bReadPL->isEnabled();
}

void PlaylistPage::clickRead() {
    bReadPL->click();
}

bool PlaylistPage::needsRead() const {
    return cbPlaylist->currentIndex() >= 0 && cbPlaylist->currentText().toStdString() != m_session.mplsName;
}

void PlaylistPage::bReadPLClick() {
    if (cbPlaylist->currentIndex() < 0) return;
    const QString wanted = cbPlaylist->currentText();
    // While the question is asked the picker shows the playlist in memory: a Save all writes
    // that one, and a Cancel leaves the picker on it.
    if (m_history.isModified(EditedDocument::Playlist)) choose(QString::fromStdString(m_session.mplsName));
    if (!m_history.confirmDiscard({EditedDocument::Playlist})) return;
    choose(wanted);
    const std::string name = wanted.toStdString();
    const ReadStatus status = readPlayListFile(m_session, name, m_session.mpls);
    // A refused file leaves the playlist in memory as it was, its edits still unsaved.
    if (status == ReadStatus::Ok) {
        m_session.mplsName = name;
        showPlayList();
        m_history.documentReplaced(EditedDocument::Playlist);
    }
    cbPlaylist->setFocus();
    emit saveStateChanged();
}

void PlaylistPage::clearPage() {
    m_filling = true;
    cbAIpbt->setCurrentIndex(-1);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(ieAIpbc), static_cast<QLineEdit*>(heAIUO),
                            static_cast<QLineEdit*>(heAIUO2)})
        edit->clear();
    for (QCheckBox* box : cbUO) box->setChecked(false);
    for (QCheckBox* box : {cbUO2_30, cbAIRA, cbAIAM, cbAIBM}) box->setChecked(false);
    for (PlaylistGrid* grid :
         {sgPLitem, sgPIangles, sgSTN, sgStreamEntry, sgSubPath, sgSubPlayItem, sgAngles, sgPlayListMark})
        grid->clearRows();
    sgPIangles->hide();
    sgAngles->hide();
    hideEntryEditors();
    for (QComboBox* box : {cbSubPathType, cbSPrepeat, cmPLMtype}) box->setCurrentIndex(-1);
    for (TIntEdit* edit : {iePLMPI, iePLMhour, iePLMmin, iePLMsec, iePLMms}) edit->clear();
    lMExtDat->clear();
    m_filling = false;

    for (QWidget* control : std::initializer_list<QWidget*>{
             cbAIpbt,       ieAIpbc,  heAIUO,        heAIUO2,       cbUO2_30,    cbAIRA,   cbAIAM,
             cbAIBM,        sgPLitem, sgSTN,         sgStreamEntry, bbInsSTN,    bbDelSTN, sgSubPath,
             sgSubPlayItem, sgAngles, cbSubPathType, cbSPrepeat,    bbSPins,     bbSPdel,  sgPlayListMark,
             bbPLMins,      bbPLMdel, bbLoadChap,    bbSaveChap,    bMExtDatEdit})
        control->setEnabled(false);
    for (QCheckBox* box : cbUO) box->setEnabled(false);
    setMarkEditorsEnabled(false);
    bExtractPL->setEnabled(false);
}

void PlaylistPage::showPlayList() {
    const TPlayList& list = m_session.mpls.PlayList;
    m_filling = true;
    cbAIpbt->setCurrentIndex(m_session.mpls.PlayList_playback_type != 0
                                 ? indexOrNone(m_session.mpls.PlayList_playback_type - 1, 3)
                                 : -1);
    ieAIpbc->setValue(m_session.mpls.playback_count);
    heAIUO->setValue(m_session.mpls.UO_mask_table1);
    heAIUO2->setValue(m_session.mpls.UO_mask_table2);
    cbAIRA->setChecked(m_session.mpls.PlayList_random_access_flag != 0);
    cbAIAM->setChecked(m_session.mpls.audio_mix_app_flag != 0);
    cbAIBM->setChecked(m_session.mpls.lossless_may_bypass_mixer_flag != 0);
    m_filling = false;
    for (QWidget* control : std::initializer_list<QWidget*>{cbAIpbt, ieAIpbc, heAIUO, heAIUO2, cbAIRA, cbAIAM,
                                                            cbAIBM, sgSTN, sgStreamEntry, bMExtDatEdit})
        control->setEnabled(true);
    setcbUOs();

    std::vector<GridRow> rows;
    for (std::size_t i = 0; i < list.PlayItems.size(); ++i) rows.push_back(playItemRow(list.PlayItems[i], i));
    sgPLitem->setRows(rows);
    sgPLitem->setEnabled(true);
    if (list.PlayItems.empty()) {
        sgPIangles->hide();
        sgSTN->clearRows();
        sgStreamEntry->clearRows();
        hideEntryEditors();
    } else {
        selectPlayItem(0);
    }

    fillSubPaths(0);
    fillMarks(0);
    lMExtDat->setText(qs(ExtDatCap(m_session.mpls.ExtensionData)));
    updateExtractEnabled();
}

void PlaylistPage::redrawKeepingPlace() {
    if (m_session.mplsName.empty()) return;
    const int item = sgPLitem->currentRow();
    const int entry = sgStreamEntry->currentRow();
    const int path = sgSubPath->currentRow();
    const int subPlayItem = sgSubPlayItem->currentRow();
    const int mark = selectedMark() >= 0 ? selectedMark() : sgPlayListMark->currentRow();
    // The read's redraw puts every grid on its first row; the user's place is chosen again.
    showPlayList();
    auto last = [](int rows) { return rows - 1; };
    if (item > 0) selectPlayItem(std::min(item, last(sgPLitem->dataRows())));
    if (entry >= 0) selectEntry(std::min(entry, last(sgStreamEntry->dataRows())));
    if (path > 0) selectSubPath(std::min(path, last(sgSubPath->dataRows())));
    const int subRow = std::min(subPlayItem, last(sgSubPlayItem->dataRows()));
    if (selectedSubPath() >= 0 && subRow > 0) {
        sgSubPlayItem->selectDataRow(subRow);
        sgSubPlayItemClick(subRow);
    }
    if (mark > 0) selectMark(std::min(mark, last(sgPlayListMark->dataRows())));
    emit saveStateChanged();
}

void PlaylistPage::keepPlayListLayout(EditScope& edit) {
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.PlayList.PlayList_length; });
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.PlayListMark_start_address; });
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.ExtensionData_start_address; });
}

void PlaylistPage::keepMarkSection(EditScope& edit) {
    edit.keep([this]() -> TPlayListMark& { return m_session.mpls.PlayListMark; });
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.PlayListMark_start_address; });
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.ExtensionData_start_address; });
}

// ---- saving and ExtensionData ----

bool PlaylistPage::canSave() const {
    return !m_session.mplsName.empty() && cbPlaylist->currentText().toStdString() == m_session.mplsName &&
           !m_session.mpls.PlayList.PlayItems.empty();
}

void PlaylistPage::bSaveClick() {
    if (!canSave()) return;
    if (plsave(m_session, m_session.mplsName, m_session.mpls)) m_history.fileSaved(EditedFile::Playlist);
}

void PlaylistPage::bMExtDatEditClick() {
    if (!m_extDat || m_session.mplsName.empty()) return;
    TExtensionData block = m_session.mpls.ExtensionData;
    if (!m_extDat->edit(m_session.mplsName + m_session.names.PlayListExt, block)) return;
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit ExtensionData"));
    edit.keep([this]() -> TExtensionData& { return m_session.mpls.ExtensionData; });
    edit.keep([this]() -> std::vector<std::uint8_t>& { return m_session.mpls.padding_before_extension; });
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.ExtensionData_start_address; });
    setPlayListExtensionData(m_session.mpls, block);
    lMExtDat->setText(qs(ExtDatCap(m_session.mpls.ExtensionData)));
}

// ---- AppInfo ----

void PlaylistPage::setcbUOs() {
    const auto first = static_cast<std::uint32_t>(heAIUO->value());
    const auto second = static_cast<std::uint32_t>(heAIUO2->value());
    for (int bit = 0; bit < 32; ++bit) {
        QCheckBox* box = cbUO[static_cast<std::size_t>(bit)];
        box->setChecked((first >> bit) & 1U);
        box->setEnabled(true);
    }
    cbUO2_30->setChecked((second & UO2Bit30) != 0);
    cbUO2_30->setEnabled(true);
}

void PlaylistPage::uoBoxClicked(int bit, bool checked) {
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Change UO mask bit"));
    edit.keep([this]() -> std::uint32_t& { return m_session.mpls.UO_mask_table1; });
    m_session.mpls.UO_mask_table1 = withBit(m_session.mpls.UO_mask_table1, bit, checked);
    heAIUO->setValue(m_session.mpls.UO_mask_table1);
}

// ---- PlayItems ----

int PlaylistPage::selectedPlayItem() const {
    const int row = sgPLitem->currentRow();
    return row >= 0 && row < static_cast<int>(m_session.mpls.PlayList.PlayItems.size()) ? row : -1;
}

void PlaylistPage::selectPlayItem(int item) {
    if (item < 0 || item >= static_cast<int>(m_session.mpls.PlayList.PlayItems.size())) return;
    sgPLitem->selectDataRow(item);
    sgPLitemClick(item);
}

void PlaylistPage::sgPLitemClick(int row) {
    if (row < 0 || row >= static_cast<int>(m_session.mpls.PlayList.PlayItems.size())) return;
    const TPlayItem& item = m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(row)];
    const std::vector<GridRow> angles = angleRows(item);
    sgPIangles->setRows(angles);
    sgPIangles->setVisible(!angles.empty());
    sgSTN->setRow(0, stnCountRow(item.STN));
    sgSTNClick(m_list);
}

void PlaylistPage::editPlayItem(int row, int column, const QString& text) {
    if (row < 0 || row >= static_cast<int>(m_session.mpls.PlayList.PlayItems.size())) return;
    if (column == 3) {
        editInTime(row, text);
        return;
    }
    const QString step = column == 1   ? QStringLiteral("Edit clip name")
                         : column == 4 ? QStringLiteral("Edit OUT time")
                                       : QStringLiteral("Edit PlayItem UO mask");
    EditScope edit(&m_history, EditedDocument::Playlist, step);
    edit.keep([this, row]() -> TPlayItem& {
        return m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(row)];
    });
    TPlayItem& item = m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(row)];
    editPlayItemCell(item, column, text.toStdString());
    sgPLitem->setRow(row, playItemRow(item, static_cast<std::size_t>(row)));
    if (column == 1 && row == selectedPlayItem()) sgPIangles->setRows(angleRows(item));
}

void PlaylistPage::editInTime(int row, const QString& text) {
    const auto item = static_cast<std::size_t>(row);
    const std::string typed = text.toStdString();
    const auto ticks =
        typed.size() == 12 && typed.find(' ') == std::string::npos ? parseTimeText(typed) : std::nullopt;
    const InTimeQuestions questions =
        ticks ? inTimeQuestions(m_session.mpls, item, *ticks) : InTimeQuestions{};
    if (ticks && questions.changed) {
        // The new time with every shift its answers allow is one step.
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit IN time"));
        edit.keep([this, item]() -> TPlayItem& { return m_session.mpls.PlayList.PlayItems[item]; });
        edit.keep([this]() -> std::vector<TSubPath>& { return m_session.mpls.PlayList.SubPaths; });
        edit.keep([this]() -> std::vector<TMarkEntry>& { return m_session.mpls.PlayListMark.marks; });
        InTimeAnswers answers;
        answers.updateOut = askYesNo(qs(AskUpdateOut));
        if (questions.askSubPlayItems) answers.updateSubPlayItems = askYesNo(qs(AskUpdateSubPlayItems));
        if (questions.askMarks) answers.updateMarks = askYesNo(qs(AskUpdateMarks));
        applyInTime(m_session.mpls, item, *ticks, answers);
        if (answers.updateSubPlayItems) {
            const int subPlayItem = selectedSubPlayItem();
            sgSubPathClick(selectedSubPath());
            if (subPlayItem >= 0) {
                sgSubPlayItem->selectDataRow(subPlayItem);
                sgSubPlayItemClick(subPlayItem);
            }
        }
        if (answers.updateMarks) redrawMarks();
    }
    sgPLitem->setRow(row, playItemRow(m_session.mpls.PlayList.PlayItems[item], item));
}

// ---- connections ----

void PlaylistPage::connectControls() {
    connect(bReadPL, &QPushButton::clicked, this, &PlaylistPage::bReadPLClick);
    connect(bExtractPL, &QPushButton::clicked, this, &PlaylistPage::bExtractPLClick);
    connect(cbPlaylist, &QComboBox::activated, this, &PlaylistPage::cbPlaylistChange);
    connect(cbPlaylist, &QComboBox::currentTextChanged, this, &PlaylistPage::chosenNameChanged);
    connect(bMExtDatEdit, &QPushButton::clicked, this, &PlaylistPage::bMExtDatEditClick);

    // AppInfo.
    connect(cbAIpbt, &QComboBox::activated, this, [this](int item) {
        if (m_filling || item < 0) return;
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Change playback type"));
        edit.keep([this]() -> std::uint8_t& { return m_session.mpls.PlayList_playback_type; });
        m_session.mpls.PlayList_playback_type = static_cast<std::uint8_t>(item + 1);
    });
    connect(ieAIpbc, &QLineEdit::textEdited, this, [this] {
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit playback count"),
                       MergePlaybackCount);
        edit.keep([this]() -> std::uint16_t& { return m_session.mpls.playback_count; });
        m_session.mpls.playback_count = static_cast<std::uint16_t>(std::clamp(ieAIpbc->value(), 0, 0xFFFF));
    });
    connect(ieAIpbc, &QLineEdit::returnPressed, gbAppInfo, qOverload<>(&QWidget::setFocus));
    struct Flag {
        QCheckBox* box;
        std::uint8_t TMPLS::*field;
        const char* step;
    };
    const Flag flags[] = {{cbAIRA, &TMPLS::PlayList_random_access_flag, "Change random access flag"},
                          {cbAIAM, &TMPLS::audio_mix_app_flag, "Change audio mix flag"},
                          {cbAIBM, &TMPLS::lossless_may_bypass_mixer_flag, "Change bypass mixer flag"}};
    for (const Flag& flag : flags)
        connect(flag.box, &QCheckBox::clicked, this,
                [this, field = flag.field, step = QString::fromLatin1(flag.step)](bool checked) {
                    EditScope edit(&m_history, EditedDocument::Playlist, step);
                    edit.keep([this, field]() -> std::uint8_t& { return m_session.mpls.*field; });
                    m_session.mpls.*field = checked ? 1 : 0;
                });
    connect(heAIUO, &QLineEdit::textEdited, this, [this] {
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit UO mask"), MergeUOMask);
        edit.keep([this]() -> std::uint32_t& { return m_session.mpls.UO_mask_table1; });
        m_session.mpls.UO_mask_table1 = static_cast<std::uint32_t>(heAIUO->value());
        setcbUOs();
    });
    connect(heAIUO, &QLineEdit::returnPressed, gbAppInfo, qOverload<>(&QWidget::setFocus));
    connect(heAIUO2, &QLineEdit::textEdited, this, [this] { setcbUOs(); });
    // Only bit 30 of the second word has a meaning here: leaving the field keeps that bit alone.
    connect(heAIUO2, &QLineEdit::editingFinished, this, [this] {
        if (m_filling || m_history.restoring() || !heAIUO2->isEnabled()) return;
        const auto reduced = static_cast<std::uint32_t>(heAIUO2->value()) & UO2Bit30;
        heAIUO2->setValue(reduced);
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit UO mask"));
        edit.keep([this]() -> std::uint32_t& { return m_session.mpls.UO_mask_table2; });
        m_session.mpls.UO_mask_table2 = reduced;
        setcbUOs();
    });
    for (int bit = 0; bit < 32; ++bit)
        connect(cbUO[static_cast<std::size_t>(bit)], &QCheckBox::clicked, this,
                [this, bit](bool checked) { uoBoxClicked(bit, checked); });
    connect(cbUO2_30, &QCheckBox::clicked, this, [this](bool checked) {
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Change UO mask bit"));
        edit.keep([this]() -> std::uint32_t& { return m_session.mpls.UO_mask_table2; });
        m_session.mpls.UO_mask_table2 = withBit(m_session.mpls.UO_mask_table2, 30, checked);
        heAIUO2->setValue(m_session.mpls.UO_mask_table2);
    });

    // PlayItems.
    connect(sgPLitem, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (!m_filling && row != previous) sgPLitemClick(row);
    });
    connect(sgPLitem, &PlaylistGrid::cellEdited, this, &PlaylistPage::editPlayItem);
    connect(sgPLitem, &PlaylistGrid::cellDoubleClicked, this, [this](int row) {
        if (sgPLitem->editable() || row >= static_cast<int>(m_session.mpls.PlayList.PlayItems.size())) return;
        emit clipRequested(
            QString::fromStdString(
                m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(row)].Clip_Information_file_name),
            false);
    });
    connect(sgPIangles, &PlaylistGrid::cellDoubleClicked, this, [this](int row) {
        const int item = selectedPlayItem();
        if (item < 0) return;
        const auto& angles =
            m_session.mpls.PlayList.PlayItems[static_cast<std::size_t>(item)].multi_clip.angles;
        if (row < static_cast<int>(angles.size()))
            emit clipRequested(
                QString::fromStdString(angles[static_cast<std::size_t>(row)].Clip_Information_file_name),
                true);
    });

    // STN table.
    connect(sgSTN, &PlaylistGrid::currentCellChanged, this, [this](int, int column) {
        if (!m_filling && column >= 0) sgSTNClick(column);
    });
    connect(sgStreamEntry, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (!m_filling && row != previous) sgStreamEntryClick(row);
    });
    connect(sgStreamEntry, &PlaylistGrid::insertKey, this, &PlaylistPage::bbInsSTNClick);
    connect(sgStreamEntry, &PlaylistGrid::deleteKey, this, &PlaylistPage::bbDelSTNClick);
    connect(bbInsSTN, &QToolButton::clicked, this, &PlaylistPage::bbInsSTNClick);
    connect(bbDelSTN, &QToolButton::clicked, this, &PlaylistPage::bbDelSTNClick);
    connect(sgStreamEntry->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &PlaylistPage::placeEntryEditors);
    connect(sgStreamEntry->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &PlaylistPage::placeEntryEditors);
    connect(sgStreamEntry->horizontalHeader(), &QHeaderView::sectionResized, this,
            &PlaylistPage::placeEntryEditors);
    sgStreamEntry->viewport()->installEventFilter(this);
    connectEntryEditors();

    // SubPaths.
    connect(sgSubPath, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (!m_filling && row != previous) sgSubPathClick(row);
    });
    connect(sgSubPath, &PlaylistGrid::insertKey, this, &PlaylistPage::bbSPinsClick);
    connect(sgSubPath, &PlaylistGrid::deleteKey, this, &PlaylistPage::bbSPdelClick);
    connect(bbSPins, &QToolButton::clicked, this, &PlaylistPage::bbSPinsClick);
    connect(bbSPdel, &QToolButton::clicked, this, &PlaylistPage::bbSPdelClick);
    connect(cbSubPathType, &QComboBox::activated, this, &PlaylistPage::cbSubPathTypeChange);
    connect(cbSPrepeat, &QComboBox::activated, this, &PlaylistPage::cbSPrepeatChange);
    connect(sgSubPlayItem, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (!m_filling && row != previous) sgSubPlayItemClick(row);
    });
    connect(sgSubPlayItem, &PlaylistGrid::cellEdited, this, &PlaylistPage::editSubPlayItem);
    connect(sgSubPlayItem, &PlaylistGrid::cellDoubleClicked, this, [this](int row) {
        const int path = selectedSubPath();
        if (sgSubPlayItem->editable() || path < 0) return;
        const auto& items = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(path)].SubPlayItems;
        if (row < static_cast<int>(items.size()))
            emit clipRequested(
                QString::fromStdString(items[static_cast<std::size_t>(row)].Clip_Information_file_name),
                false);
    });
    connect(sgAngles, &PlaylistGrid::cellDoubleClicked, this, [this](int row) {
        const int path = selectedSubPath();
        const int item = selectedSubPlayItem();
        if (path < 0 || item < 0) return;
        const auto& clips = m_session.mpls.PlayList.SubPaths[static_cast<std::size_t>(path)]
                                .SubPlayItems[static_cast<std::size_t>(item)]
                                .Clip_entries;
        if (row < static_cast<int>(clips.size()))
            emit clipRequested(
                QString::fromStdString(clips[static_cast<std::size_t>(row)].Clip_Information_file_name),
                true);
    });

    // Marks.
    connect(sgPlayListMark, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (!m_filling && row != previous) sgPlayListMarkClick(row);
    });
    connect(sgPlayListMark, &PlaylistGrid::insertKey, this, &PlaylistPage::bbPLMinsClick);
    connect(sgPlayListMark, &PlaylistGrid::deleteKey, this, &PlaylistPage::bbPLMdelClick);
    connect(sgPlayListMark, &PlaylistGrid::selectAllKey, this, [this] {
        if (sgPlayListMark->dataRows() > 0)
            sgPlayListMark->selectCells(0, 1, sgPlayListMark->dataRows() - 1,
                                        sgPlayListMark->columnCount() - 1);
    });
    connect(bbPLMins, &QToolButton::clicked, this, &PlaylistPage::bbPLMinsClick);
    connect(bbPLMdel, &QToolButton::clicked, this, &PlaylistPage::bbPLMdelClick);
    connect(bbLoadChap, &QToolButton::clicked, this, &PlaylistPage::bbLoadChapClick);
    connect(bbSaveChap, &QToolButton::clicked, this, &PlaylistPage::bbSaveChapClick);
    connectMarkEditors();

    // The group heights are settings.
    connect(groupSplitter, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = groupSplitter->sizes();
        if (sizes.size() != 3) return;
        m_session.options.PlayListHeight = sizes[0];
        m_session.options.SubPathHeight = sizes[1];
        m_session.options.PlayListMarkHeight = sizes[2];
    });
}

bool PlaylistPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgStreamEntry->viewport() && event->type() == QEvent::Resize) placeEntryEditors();
    return QWidget::eventFilter(watched, event);
}

} // namespace corvane
