#include "app/ClipInfoPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

#include "app/ExtDatDialog.h"
#include "app/PickerRow.h"
#include "app/PlaylistPageGrid.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "stream/Demux.h"
#include "widgets/EditControls.h"

namespace corvane {

namespace {

template <std::size_t N>
std::vector<std::vector<std::string>> gridRows(const std::vector<std::array<std::string, N>>& rows) {
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size());
    for (const auto& row : rows) cells.emplace_back(row.begin(), row.end());
    return cells;
}

void showRows(PlaylistGrid* grid, const std::vector<std::vector<std::string>>& rows, bool enabled) {
    grid->setRows(rows);
    grid->setEnabled(enabled);
}

} // namespace

ClipInfoPage::ClipInfoPage(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("tsClipinf"));
    openFile = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    chooseWorkFolder = [this](const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(this, title, start);
    };
    buildLayout();
    connectControls();
    clearClip();
}

void ClipInfoPage::connectControls() {
    connect(bReadCI, &QPushButton::clicked, this, &ClipInfoPage::bReadCIClick);
    connect(cbClipinf, &QComboBox::activated, this, &ClipInfoPage::cbClipinfChange);
    connect(cbClipinf, &QComboBox::currentTextChanged, this, &ClipInfoPage::chosenNameChanged);
    connect(bPlay, &QPushButton::clicked, this, &ClipInfoPage::bPlayClick);
    connect(bSavePES, &QPushButton::clicked, this, &ClipInfoPage::bSavePESClick);
    connect(bLoadToMenu, &QPushButton::clicked, this, &ClipInfoPage::bLoadToMenuClick);
    connect(bCIExtDat, &QPushButton::clicked, this, &ClipInfoPage::bCIExtDatClick);
    connect(sgCI, &PlaylistGrid::currentCellChanged, this, [this](int row, int, int previous) {
        if (row != previous) sgCIClick();
    });
    connect(sgCI, &PlaylistGrid::cellDoubleClicked, this, [this](int row) { sgCIDblClick(row); });
    connect(sgCIRef, &PlaylistGrid::cellDoubleClicked, this, [this](int row) { sgCIRefDblClick(row); });
}

void ClipInfoPage::fillFromSession() {
    fillPicker(cbClipinf, m_session.clips);
    bReadCI->setEnabled(cbClipinf->count() > 0);
    fillReferences();
}

void ClipInfoPage::clear() {
    cbClipinf->clear();
    bReadCI->setEnabled(false);
    clearClip();
    lStreamname->setText(QStringLiteral("-"));
    lStreamsize->clear();
    lStreamname->setPalette(QPalette());
    lStreamsize->setPalette(QPalette());
    fillReferences();
}

int ClipInfoPage::chosenClip() const {
    const auto& clips = m_session.clips;
    const std::string name = cbClipinf->currentText().toStdString();
    const auto found = std::find(clips.begin(), clips.end(), name);
    return found == clips.end() ? -1 : static_cast<int>(found - clips.begin());
}

QString ClipInfoPage::chosenName() const {
    return cbClipinf->currentText();
}

bool ClipInfoPage::choose(const QString& name) {
    const int item = cbClipinf->findText(name);
    if (item < 0) return false;
    cbClipinf->setCurrentIndex(item);
    return true;
}

bool ClipInfoPage::canRead() const {
    return bReadCI->isEnabled();
}

bool ClipInfoPage::needsRead() const {
    return cbClipinf->currentIndex() >= 0 && cbClipinf->currentText().toStdString() != m_session.clpiTried;
}

// The stream file of the clip on show: the grids and the PIDs are that clip's.
std::string ClipInfoPage::streamPath() const {
    const auto& clips = m_session.clips;
    const auto found = std::find(clips.begin(), clips.end(), m_session.clpiName);
    const auto index = static_cast<std::size_t>(found - clips.begin());
    if (m_session.clpiName.empty() || found == clips.end() || index >= m_session.AVStreams.size()) return {};
    const TAVStream& stream = m_session.AVStreams[index];
    if (stream.stream_file_name.empty() || stream.stream_file_size == 0) return {};
    return m_session.BDMVdir + "STREAM" + pathSeparator() + stream.stream_file_name;
}

std::int64_t ClipInfoPage::streamSize() const {
    const auto& clips = m_session.clips;
    const auto found = std::find(clips.begin(), clips.end(), m_session.clpiName);
    const auto index = static_cast<std::size_t>(found - clips.begin());
    if (m_session.clpiName.empty() || found == clips.end() || index >= m_session.AVStreams.size()) return 0;
    return m_session.AVStreams[index].stream_file_size;
}

const TStreamCodingInfo* ClipInfoPage::streamOfRow(int row) const {
    if (!sgCI->isEnabled() || row < 0 || row >= sgCI->dataRows()) return nullptr;
    return clipStreamAt(m_session.clpi, static_cast<std::size_t>(row));
}

const TStreamCodingInfo* ClipInfoPage::selectedStream() const {
    return streamOfRow(sgCI->currentRow());
}

std::vector<TStreamCodingInfo> ClipInfoPage::selectedStreams() const {
    std::vector<int> rows;
    if (sgCI->selectionModel())
        for (const QModelIndex& index : sgCI->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<TStreamCodingInfo> streams;
    for (const int row : rows)
        if (const TStreamCodingInfo* stream = streamOfRow(row)) streams.push_back(*stream);
    if (streams.empty())
        if (const TStreamCodingInfo* stream = selectedStream()) streams.push_back(*stream);
    return streams;
}

const TCLPI& ClipInfoPage::clpi() const {
    return m_session.clpi;
}

const std::string& ClipInfoPage::loadedName() const {
    return m_session.clpiName;
}

// ---- reading ----

void ClipInfoPage::cbClipinfChange() {
    if (m_session.options.AutoRead && bReadCI->isEnabled()) bReadCIClick();
    fillReferences();
}

void ClipInfoPage::bReadCIClick() {
    if (cbClipinf->currentIndex() < 0 || m_session.BDMVdir.empty()) return;
    const std::string name = cbClipinf->currentText().toStdString();
    m_session.clpiTried = name;
    const ReadStatus status = readClipInfoFile(m_session, name, m_session.clpi);
    showStreamLabels();
    if (status == ReadStatus::Ok) {
        m_session.clpiName = name;
        showClip();
    } else {
        // The clip in memory stays the previous one; the page shows no streams of a clip
        // it could not read, so nothing is played or saved from it.
        clearClip();
    }
    cbClipinf->setFocus();
}

void ClipInfoPage::showStreamLabels() {
    const int index = chosenClip();
    const StreamLabels labels = streamLabels(
        m_session.AVStreams, index < 0 ? m_session.AVStreams.size() : static_cast<std::size_t>(index),
        cbClipinf->currentText().toStdString(), m_session.names.StreamExt);
    lStreamname->setText(QString::fromStdString(labels.name));
    lStreamsize->setText(QString::fromStdString(labels.size));
    QPalette colours;
    if (labels.missing) {
        // The inactive caption text colour of the desktop.
        colours.setColor(QPalette::WindowText, colours.color(QPalette::Disabled, QPalette::WindowText));
    }
    lStreamname->setPalette(colours);
    lStreamsize->setPalette(colours);
}

void ClipInfoPage::clearClip() {
    cbApplitype->setCurrentIndex(-1);
    cbisATCdelta->setChecked(false);
    ieRecRate->clear();
    iePackets->clear();
    for (PlaylistGrid* grid : {sgATCdelta, sgFontFiles, sgSequence, sgSTCseq, sgCI, sgEPmap})
        showRows(grid, {}, false);
    pATCdelta->hide();
    pFontfiles->hide();
    pSTCseq->hide();
    lCIExtdat->clear();
    for (QPushButton* button : {bPlay, bSavePES, bLoadToMenu, bCIExtDat}) button->setEnabled(false);
}

void ClipInfoPage::showClip() {
    const TClipInfo& info = m_session.clpi.ClipInfo;
    cbApplitype->setCurrentIndex(info.application_type < ApplicationTypeCount ? info.application_type : -1);
    cbisATCdelta->setChecked(info.is_ATC_delta != 0);
    ieRecRate->setText(QString::number(info.TS_recording_rate));
    iePackets->setText(QString::number(info.number_of_source_packets));

    const bool atcDelta = info.is_ATC_delta == 1;
    showRows(sgATCdelta,
             atcDelta ? gridRows(atcDeltaRows(m_session.clpi)) : std::vector<std::vector<std::string>>{},
             atcDelta);
    pATCdelta->setVisible(atcDelta);
    const bool fonts = info.application_type == 6;
    showRows(sgFontFiles,
             fonts ? gridRows(fontFileRows(m_session.clpi)) : std::vector<std::vector<std::string>>{}, fonts);
    pFontfiles->setVisible(fonts);

    const auto sequences = gridRows(sequenceRows(m_session.clpi));
    showRows(sgSequence, sequences, !sequences.empty());
    const auto stc = gridRows(stcRows(m_session.clpi));
    showRows(sgSTCseq, stc, !stc.empty());
    pSTCseq->setVisible(!stc.empty());

    showRows(sgCI, gridRows(clipStreamRows(m_session.clpi)), true);
    showRows(sgEPmap, gridRows(epMapRows(m_session.clpi)), m_session.clpi.CPI.CPI_length != 0);

    lCIExtdat->setText(QString::fromStdString(ExtDatCap(m_session.clpi.ExtensionData)));
    bCIExtDat->setEnabled(true);
    const bool present = streamSize() != 0;
    bPlay->setEnabled(present);
    bSavePES->setEnabled(present && !m_extracting);
    if (sgCI->dataRows() > 0) sgCI->selectDataRow(0);
    sgCIClick();
}

// ---- the stream ----

void ClipInfoPage::sgCIClick() {
    const TStreamCodingInfo* stream = selectedStream();
    bLoadToMenu->setEnabled(!m_extracting && stream && canLoadToMenu(streamSize(), stream->stream_PID));
}

void ClipInfoPage::sgCIDblClick(int row) {
    const TStreamCodingInfo* stream = streamOfRow(row);
    if (!stream) return;
    const std::uint16_t pid = stream->stream_PID;
    switch (streamRowAction(bPlay->isEnabled(), streamSize(), pid)) {
    case StreamRowAction::LoadMenu:
        if (!m_extracting) emit loadToMenuRequested(pid);
        break;
    case StreamRowAction::Play:
        bPlayClick();
        break;
    case StreamRowAction::Nothing:
        break;
    }
}

void ClipInfoPage::bPlayClick() {
    const std::string path = streamPath();
    if (path.empty() || !openFile) return;
    openFile(QString::fromStdString(path));
}

void ClipInfoPage::bLoadToMenuClick() {
    const TStreamCodingInfo* stream = selectedStream();
    if (!bLoadToMenu->isEnabled() || !stream) return;
    emit loadToMenuRequested(stream->stream_PID);
}

void ClipInfoPage::bSavePESClick() {
    // Copies: the clip in memory may be read again while the extraction serves events.
    const std::vector<TStreamCodingInfo> streams = selectedStreams();
    const std::string m2ts = streamPath();
    if (m_extracting || streams.empty() || m2ts.empty()) return;
    // Without a work folder the user picks one (it becomes the work folder); the log
    // names the output by its full path.
    QString folder = QString::fromStdString(m_session.options.WorkDir);
    if (folder.isEmpty()) {
        const QString start = QString::fromStdString(chooserStartFolder(m_session.BDMVdir));
        folder = chooseWorkFolder ? chooseWorkFolder(QStringLiteral("Select a directory"), start) : QString();
        if (folder.isEmpty()) return;
        folder = QDir::toNativeSeparators(folder);
        if (!folder.endsWith(QLatin1Char(pathSeparator()))) folder += QLatin1Char(pathSeparator());
        m_session.options.WorkDir = folder.toStdString();
        emit workFolderChosen(folder);
    }
    std::string workDir = QDir::toNativeSeparators(QDir(folder).absolutePath()).toStdString();
    if (workDir.empty() || workDir.back() != pathSeparator()) workDir += pathSeparator();
    m_extracting = true;
    bSavePES->setEnabled(false);
    bLoadToMenu->setEnabled(false);
    bool ok = true;
    if (streams.size() == 1) {
        const TStreamCodingInfo& stream = streams.front();
        const PidOutput output = pidOutput(workDir, m_session.clpiName, stream, m_session.options);
        ok = savePid(m_session.reporter, m2ts, output.fileName, stream.stream_PID, output.mode).ok;
    } else {
        // Several streams in one read, each named by clip, PID, coding and language.
        std::vector<DemuxTarget> targets;
        for (const TStreamCodingInfo& stream : streams) {
            const DemuxMode mode = pidMode(stream.stream_PID, m_session.options);
            targets.push_back(
                {stream.stream_PID, mode, workDir + streamFileName(m_session.clpiName, stream, mode)});
        }
        for (const DemuxResult& saved : saveStreams(m_session.reporter, m2ts, targets)) ok = ok && saved.ok;
    }
    // A file that failed ends the action on the errors status too.
    if (!ok) m_session.reporter.slogR();
    m_extracting = false;
    // The window stayed live: the clip on show may have changed meanwhile.
    bSavePES->setEnabled(bPlay->isEnabled() && streamSize() != 0);
    sgCIClick();
}

void ClipInfoPage::bCIExtDatClick() {
    if (!m_extDat || m_session.clpiName.empty()) return;
    // Clip files are not written: the dialog shows (and can save to .exd) a copy.
    TExtensionData block = m_session.clpi.ExtensionData;
    m_extDat->edit(m_session.clpiName + m_session.names.ClipInfoExt, block);
}

// ---- references ----

void ClipInfoPage::fillReferences() {
    const int index = chosenClip();
    const auto& all = m_session.CIRefs;
    const TCIRefs none;
    const TCIRefs& refs = index >= 0 && static_cast<std::size_t>(index) < all.size()
                              ? all[static_cast<std::size_t>(index)]
                              : none;
    const auto rows = ciRefRows(refs);
    showRows(sgCIRef, rows, !rows.empty());
}

void ClipInfoPage::findClipReferences() {
    if (m_session.BDMVdir.empty() || cbClipinf->count() == 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_session.CIRefs = clipReferencePass(m_session);
    QApplication::restoreOverrideCursor();
    if (m_session.options.AutoRead && bReadCI->isEnabled() && needsRead()) bReadCIClick();
    fillReferences();
}

void ClipInfoPage::sgCIRefDblClick(int row) {
    const int index = chosenClip();
    const auto& all = m_session.CIRefs;
    if (row < 0 || row >= sgCIRef->dataRows() || index < 0 || static_cast<std::size_t>(index) >= all.size())
        return;
    const TCIRefs& refs = all[static_cast<std::size_t>(index)];
    if (static_cast<std::size_t>(row) >= refs.size()) return;
    const TCIRef& ref = refs[static_cast<std::size_t>(row)];
    emit playlistRequested(QString::fromStdString(ciRefPlaylistName(ref)),
                           ref.ref_kind == "p" && ref.ref_item > 0 ? ref.ref_item : -1);
}

} // namespace corvane
