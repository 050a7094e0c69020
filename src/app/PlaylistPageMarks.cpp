// PlayListMarks on the PLAYLIST page: the mark grid, its editors, inserting and
// deleting marks, and the chapter files.
#include "app/PlaylistPage.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

#include <algorithm>

#include "app/BdmvPageHelpers.h"
#include "app/EditHistory.h"
#include "app/PlaylistPageGrid.h"
#include "io/FileIO.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListMarks.h"
#include "shell/Session.h"
#include "widgets/EditControls.h"

namespace corvane {

using bdmvpage::indexOrNone;
using bdmvpage::qs;

namespace {

// Matroska XML chapters are .xml files, the other formats text files.
QString chapterFilter(ChapterFormat format) {
    return format == ChapterFormat::XML ? QStringLiteral("XML (*.xml)") : QStringLiteral("Text (*.txt)");
}
QString chapterSuffix(ChapterFormat format) {
    return format == ChapterFormat::XML ? QStringLiteral(".xml") : QStringLiteral(".txt");
}

// Runs of keystrokes in one mark field that become one step.
constexpr int MergeMarkPlayItem = 210;
constexpr int MergeMarkHour = 211;

// A time field as the time text shows it: "09", "005".
void showPadded(TIntEdit* edit, std::uint32_t value, int digits) {
    edit->setText(QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0')));
}

ChapterFormat chapterFormat(int setting) {
    return static_cast<ChapterFormat>(std::clamp(setting, 0, 4));
}

} // namespace

int PlaylistPage::selectedMark() const {
    return sgPlayListMark->selectedRange().first;
}

void PlaylistPage::selectMark(int mark) {
    if (mark < 0 || mark >= sgPlayListMark->dataRows()) return;
    sgPlayListMark->selectDataRow(mark);
    sgPlayListMarkClick(mark);
}

// Fills the mark grid and selects `select` (clamped to the list).
void PlaylistPage::fillMarks(int select) {
    const auto& marks = m_session.mpls.PlayListMark.marks;
    const bool section = !m_session.mplsName.empty() && m_session.mpls.PlayListMark_start_address != 0;
    std::vector<GridRow> rows;
    for (std::size_t i = 0; i < marks.size(); ++i) rows.push_back(PLMline(marks[i], i));
    sgPlayListMark->setRows(rows);
    sgPlayListMark->setEnabled(section && !marks.empty());
    bbPLMins->setEnabled(section && marks.size() < MaxMarks);
    bbPLMdel->setEnabled(section && !marks.empty());
    bbSaveChap->setEnabled(section && !marks.empty());
    bbLoadChap->setEnabled(section && !m_session.mpls.PlayList.PlayItems.empty());
    setMarkEditorsEnabled(section && !marks.empty());
    if (marks.empty()) {
        m_filling = true;
        cmPLMtype->setCurrentIndex(-1);
        for (TIntEdit* edit : {iePLMPI, iePLMhour, iePLMmin, iePLMsec, iePLMms}) edit->clear();
        m_filling = false;
    } else {
        selectMark(std::clamp(select, 0, static_cast<int>(marks.size()) - 1));
    }
}

void PlaylistPage::redrawMarks() {
    const auto& marks = m_session.mpls.PlayListMark.marks;
    for (std::size_t i = 0; i < marks.size(); ++i)
        sgPlayListMark->setRow(static_cast<int>(i), PLMline(marks[i], i));
    // The editors show the model too: a field left later must not write back an old time.
    sgPlayListMarkClick(selectedMark());
}

void PlaylistPage::setMarkEditorsEnabled(bool enabled) {
    for (QWidget* editor :
         std::initializer_list<QWidget*>{cmPLMtype, iePLMPI, iePLMhour, iePLMmin, iePLMsec, iePLMms})
        editor->setEnabled(enabled);
}

void PlaylistPage::sgPlayListMarkClick(int row) {
    const auto& marks = m_session.mpls.PlayListMark.marks;
    if (row < 0 || row >= static_cast<int>(marks.size())) return;
    const TMarkEntry& mark = marks[static_cast<std::size_t>(row)];
    const MarkTime time = markTime(mark.mark_time_stamp);
    m_filling = true;
    cmPLMtype->setCurrentIndex(indexOrNone(mark.mark_type - 1, cmPLMtype->count()));
    iePLMPI->setValue(mark.ref_to_PlayItem_id);
    showPadded(iePLMhour, time.hours, 2);
    showPadded(iePLMmin, time.minutes, 2);
    showPadded(iePLMsec, time.seconds, 2);
    showPadded(iePLMms, time.milliseconds, 3);
    m_filling = false;
}

// The four time editors, each clamped, become the mark time of the first selected mark.
void PlaylistPage::getmarktime(TIntEdit* edited) {
    const int row = selectedMark();
    if (m_filling || m_history.restoring() || row < 0) return;
    // The hour applies per keystroke, the other fields when they are left.
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit mark time"),
                   edited == iePLMhour ? MergeMarkHour : NoMerge);
    edit.keep([this, row]() -> TMarkEntry& {
        return m_session.mpls.PlayListMark.marks[static_cast<std::size_t>(row)];
    });
    auto field = [](TIntEdit* edit) { return static_cast<std::uint32_t>(std::max(0, edit->value())); };
    const MarkTime typed{field(iePLMhour), field(iePLMmin), field(iePLMsec), field(iePLMms)};
    const MarkTime time = clampMarkTime(typed);
    const std::pair<TIntEdit*, std::uint32_t> shown[] = {{iePLMhour, time.hours},
                                                         {iePLMmin, time.minutes},
                                                         {iePLMsec, time.seconds},
                                                         {iePLMms, time.milliseconds}};
    for (const auto& [edit, value] : shown)
        if (edit == edited && edit->value() != static_cast<int>(value))
            showPadded(edit, value, edit->maxLength());
    TMarkEntry& mark = m_session.mpls.PlayListMark.marks[static_cast<std::size_t>(row)];
    mark.mark_time_stamp = markTimeStamp(time);
    sgPlayListMark->setRow(row, PLMline(mark, static_cast<std::size_t>(row)));
}

void PlaylistPage::connectMarkEditors() {
    connect(cmPLMtype, &QComboBox::activated, this, [this](int item) {
        const int row = selectedMark();
        if (m_filling || row < 0 || item < 0) return;
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Change mark type"));
        edit.keep([this, row]() -> TMarkEntry& {
            return m_session.mpls.PlayListMark.marks[static_cast<std::size_t>(row)];
        });
        TMarkEntry& mark = m_session.mpls.PlayListMark.marks[static_cast<std::size_t>(row)];
        mark.mark_type = static_cast<std::uint8_t>(item + 1);
        sgPlayListMark->setRow(row, PLMline(mark, static_cast<std::size_t>(row)));
    });
    connect(iePLMPI, &QLineEdit::textEdited, this, [this] {
        const int row = selectedMark();
        if (m_filling || row < 0) return;
        EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Edit mark PlayItem"),
                       MergeMarkPlayItem);
        edit.keep([this, row]() -> TMarkEntry& {
            return m_session.mpls.PlayListMark.marks[static_cast<std::size_t>(row)];
        });
        TMarkEntry& mark = m_session.mpls.PlayListMark.marks[static_cast<std::size_t>(row)];
        mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(std::clamp(iePLMPI->value(), 0, 999));
        sgPlayListMark->setRow(row, PLMline(mark, static_cast<std::size_t>(row)));
    });
    // The hour applies at every change, the other fields when they are left.
    connect(iePLMhour, &QLineEdit::textEdited, this, [this] { getmarktime(iePLMhour); });
    for (TIntEdit* edit : {iePLMhour, iePLMmin, iePLMsec, iePLMms})
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { getmarktime(edit); });
    // Enter walks the editors: PlayItem, hours, minutes, seconds, milliseconds, type.
    const std::pair<QLineEdit*, QWidget*> chain[] = {{iePLMPI, iePLMhour},
                                                     {iePLMhour, iePLMmin},
                                                     {iePLMmin, iePLMsec},
                                                     {iePLMsec, iePLMms},
                                                     {iePLMms, cmPLMtype}};
    for (const auto& [from, to] : chain)
        connect(from, &QLineEdit::returnPressed, to, qOverload<>(&QWidget::setFocus));
}

void PlaylistPage::bbPLMinsClick() {
    if (!bbPLMins->isEnabled()) return;
    const int last = sgPlayListMark->selectedRange().second;
    const int item = selectedPlayItem();
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Insert mark"));
    keepMarkSection(edit);
    const auto inserted = insertMark(
        m_session.mpls, last >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(last)) : std::nullopt,
        static_cast<std::size_t>(std::max(item, 0)));
    if (!inserted) return;
    fillMarks(static_cast<int>(*inserted));
}

void PlaylistPage::bbPLMdelClick() {
    const auto [first, last] = sgPlayListMark->selectedRange();
    if (first < 0 || !bbPLMdel->isEnabled()) return;
    EditScope edit(&m_history, EditedDocument::Playlist,
                   last > first ? QStringLiteral("Delete marks") : QStringLiteral("Delete mark"));
    keepMarkSection(edit);
    const MarkDeleteResult result =
        deleteMarks(m_session.mpls, static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    if (result.removed == 0) return;
    fillMarks(result.select ? static_cast<int>(*result.select) : 0);
}

// ---- chapter files ----

QString PlaylistPage::chapterStartFolder(bool open) const {
    if (!m_session.options.WorkDir.empty()) return QString::fromStdString(m_session.options.WorkDir);
    return open ? QString::fromStdString(m_session.BDMVdir) : QString();
}

void PlaylistPage::bbSaveChapClick() {
    if (m_session.mplsName.empty()) return;
    const ChapterFormat format = chapterFormat(m_session.options.ChapterFormat);
    const QString proposed = QString::fromStdString(chapterFileName(m_session.mplsName, format));
    const QString folder = chapterStartFolder(false);
    QString path = chooseChapterFile(true, QStringLiteral("Save chapter file"),
                                     folder.isEmpty() ? proposed : QDir(folder).filePath(proposed),
                                     chapterFilter(format));
    sgPlayListMark->setFocus();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += chapterSuffix(format);
    const ChapterText chapters = chapterText(m_session.mpls, format);
    if (!chapters.error.empty()) {
        m_session.reporter.erlog(chapters.error);
        return;
    }
    // Checked to the end: a full disk shows only when the bytes are flushed.
    const std::string file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
    const FileResult written =
        writeWholeFile(file, std::vector<std::uint8_t>(chapters.text.begin(), chapters.text.end()));
    if (written.ok)
        m_session.reporter.log(file + " saved.");
    else
        m_session.reporter.fileError(written.error);
}

void PlaylistPage::bbLoadChapClick() {
    if (m_session.mplsName.empty() || !bbLoadChap->isEnabled()) return;
    const ChapterFormat format = chapterFormat(m_session.options.ChapterFormat);
    const QString proposed = QString::fromStdString(chapterFileName(m_session.mplsName, format));
    const QString folder = chapterStartFolder(true);
    const QString path = chooseChapterFile(false, QStringLiteral("Open chapter file"),
                                           folder.isEmpty() ? proposed : QDir(folder).filePath(proposed),
                                           chapterFilter(format));
    sgPlayListMark->setFocus();
    if (path.isEmpty()) return;
    std::string error;
    const auto bytes = readWholeFile(QDir::toNativeSeparators(path).toStdString(), error);
    if (!bytes) {
        m_session.reporter.fileError(error);
        return;
    }
    EditScope edit(&m_history, EditedDocument::Playlist, QStringLiteral("Import chapters"));
    keepMarkSection(edit);
    const ChapterImport imported =
        importChapters(m_session.mpls,
                       std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), format);
    for (const std::string& line : imported.refused) m_session.reporter.erlog(line);
    for (const std::string& line : imported.log) m_session.reporter.log(line);
    if (!imported.error.empty()) m_session.reporter.erlog(imported.error);
    if (imported.changed) fillMarks(0);
}

} // namespace corvane
