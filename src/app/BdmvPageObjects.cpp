// The MovieObject.bdmv half of the BDMV page: objects, command lines, program lists.
#include "app/BdmvPage.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <span>
#include <variant>

#include "app/BdmvPageHelpers.h"
#include "app/BdmvPageUhd.h"
#include "app/CommandEditor.h"
#include "app/EditHistory.h"
#include "app/ExtDatDialog.h"
#include "app/NavigationGrids.h"
#include "io/FileIO.h"
#include "navigation/CommandEdit.h"
#include "navigation/NavigationEdit.h"
#include "navigation/ProgramList.h"
#include "shell/Session.h"

namespace corvane {

using namespace bdmvpage;

namespace {

// What a step keeps is the least that holds the edit, so that a program of tens of thousands of
// lines is not copied for a changed line or flag.
Tmobject& movieObject(Session& session, std::size_t object) {
    return session.mobj.MovieObjects.mobjs[object];
}
// Lines that come or go change their object (its GoTo targets included), the object list's
// length and the ExtensionData address that follows it.
void keepObjectLines(EditScope& edit, Session& session, int object) {
    const auto at = static_cast<std::size_t>(object);
    edit.keep([&session, at]() -> Tmobject& { return movieObject(session, at); });
    edit.keep([&session]() -> std::uint32_t& { return session.mobj.MovieObjects.mobjs_length; });
    edit.keep([&session]() -> std::uint32_t& { return session.mobj.ExtensionData_start_address; });
}
// Objects that come or go renumber the references of index.bdmv.
void keepNavigation(EditScope& edit, Session& session) {
    edit.keep([&session]() -> TMOBJ& { return session.mobj; });
    edit.keep([&session]() -> TINDX& { return session.index; });
}

} // namespace

// ---- objects ----

int BdmvPage::selectedObject() const {
    const int object = commandModel->object();
    return object >= 0 && object < objectModel->objectCount() ? object : -1;
}

void BdmvPage::setObjectSG(int object) {
    if (object < 0 || object >= objectModel->objectCount()) {
        objectClick(-1);
        return;
    }
    m_filling = true;
    sgObject->selectRow(object);
    m_filling = false;
    objectClick(object);
}

void BdmvPage::objectClick(int object) {
    const bool valid = object >= 0 && object < objectModel->objectCount();
    m_filling = true;
    if (valid) {
        const Tmobject& entry = m_session.mobj.MovieObjects.mobjs[static_cast<std::size_t>(object)];
        cbResume->setCurrentIndex(entry.resume_intention_flag);
        cbMenuCall->setCurrentIndex(entry.menu_call_mask);
        cbTitleSearch->setCurrentIndex(entry.title_search_mask);
    }
    commandModel->setObject(valid ? object : -1);
    m_filling = false;
    bbSaveCommands->setEnabled(commandModel->lineCount() > 0);
    updateObjectPickerStates();
    selectLine(0);
}

void BdmvPage::updateObjectPickerStates() {
    const bool has = m_session.navigationReadable() && objectModel->objectCount() > 0;
    for (QComboBox* box : {cbResume, cbMenuCall, cbTitleSearch}) box->setEnabled(has);
    bbObdel->setEnabled(has);
    bbNCins->setEnabled(has);
    bbNCdel->setEnabled(has && commandModel->lineCount() > 0);
}

void BdmvPage::objectFlagChanged(QComboBox* box, int item) {
    const int object = sgObject->selectedRange().first;
    if (object < 0 || object >= objectModel->objectCount()) return;
    const ObjectFlag flag = box == cbResume     ? ObjectFlag::Resume
                            : box == cbMenuCall ? ObjectFlag::MenuCall
                                                : ObjectFlag::TitleSearch;
    EditScope edit(&m_history, EditedDocument::Navigation,
                   flag == ObjectFlag::Resume     ? QStringLiteral("Change resume flag")
                   : flag == ObjectFlag::MenuCall ? QStringLiteral("Change menu call mask")
                                                  : QStringLiteral("Change title search mask"));
    const auto at = static_cast<std::size_t>(object);
    edit.keep([this, at, flag]() -> std::uint8_t& {
        Tmobject& entry = movieObject(m_session, at);
        return flag == ObjectFlag::Resume     ? entry.resume_intention_flag
               : flag == ObjectFlag::MenuCall ? entry.menu_call_mask
                                              : entry.title_search_mask;
    });
    setObjectFlag(m_session.mobj, static_cast<std::size_t>(object), flag, item);
    objectModel->refreshRows(object, object);
}

// Objects were inserted or deleted: the object grid and pickers, and the title and menu
// references that moved with the objects they play.
void BdmvPage::refreshAfterObjectChange() {
    objectModel->reload();
    fillObjectPickers();
    titleModel->refreshRows(0, std::max(0, titleModel->titleCount() - 1));
    if (m_session.indexStatus == ReadStatus::Ok) {
        showMenuEntry(m_session.index.Indexes.first_playback, cbFPBon, cbFPBtype, cbFPBObject, cbFPBFile,
                      cbFPBTitlePBtype);
        showMenuEntry(m_session.index.Indexes.top_menu, cbTMon, cbTMtype, cbTMObject, cbTMFile, nullptr);
        cbTitleNoChange();
    }
}

void BdmvPage::bbObinsClick() {
    if (!m_session.navigationReadable()) return;
    const int count = objectModel->objectCount();
    const int last = count == 0 ? -1 : sgObject->selectedRange().second;
    const int position = last < 0 ? count : std::min(last + 1, count);
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Insert object"));
    keepNavigation(edit, m_session);
    if (!insertMovieObject(m_session.mobj, m_session.index, static_cast<std::size_t>(position))) return;
    refreshAfterObjectChange();
    setObjectSG(position);
    labels();
    emit saveStateChanged();
}

void BdmvPage::bbObdelClick() {
    const int count = objectModel->objectCount();
    if (!m_session.navigationReadable() || count == 0) return;
    auto [first, last] = sgObject->selectedRange();
    if (first < 0 || first >= count) return;
    last = std::min(last, count - 1);
    EditScope edit(&m_history, EditedDocument::Navigation,
                   first == last ? QStringLiteral("Delete object") : QStringLiteral("Delete objects"));
    keepNavigation(edit, m_session);
    const ObjectDeletion deletion = deleteMovieObjects(
        m_session.mobj, m_session.index, static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    refreshAfterObjectChange();
    reportInvalidReferences(m_session.reporter, deletion);
    setObjectSG(objectModel->objectCount() == 0 ? -1 : std::max(first - 1, 0));
    labels();
    emit saveStateChanged();
}

// ---- command lines ----

int BdmvPage::selectedLine() const {
    const QModelIndex current = sgCommands->currentIndex();
    return current.isValid() && current.row() < commandModel->lineCount() ? current.row() : -1;
}

void BdmvPage::selectLine(int line) {
    if (line < 0 || line >= commandModel->lineCount()) {
        sgCommands->clearSelection();
        sgCommandsClick(-1);
        return;
    }
    m_filling = true;
    sgCommands->selectRow(line);
    m_filling = false;
    sgCommandsClick(line);
}

void BdmvPage::sgCommandsClick(int line) {
    const TNavCommand* command = commandModel->command(line);
    commandEditor->showCommand(command ? std::optional<TNavCommand>(*command) : std::nullopt);
}

void BdmvPage::storeCommand(int line, const TNavCommand& command, const QString& step) {
    const int object = selectedObject();
    if (object < 0 || line < 0 || line >= commandModel->lineCount()) return;
    EditScope edit(&m_history, EditedDocument::Navigation, step);
    const auto at = static_cast<std::size_t>(object), index = static_cast<std::size_t>(line);
    edit.keep([this, at, index]() -> TNavCommand& {
        return movieObject(m_session, at).navigation_commands[index];
    });
    movieObject(m_session, at).navigation_commands[index] = command;
    commandModel->refreshRows(line, line);
}

void BdmvPage::bbNCinsClick() {
    const int object = selectedObject();
    if (object < 0) return;
    const int lines = commandModel->lineCount();
    const std::int64_t after = lines == 0 ? -1 : sgCommands->selectedRange().second;
    EditScope step(&m_history, EditedDocument::Navigation, QStringLiteral("Insert line"));
    keepObjectLines(step, m_session, object);
    const auto edit = insertCommandLine(m_session.mobj, static_cast<std::size_t>(object),
                                        after < 0 && lines > 0 ? lines - 1 : after);
    if (!edit) return;
    commandModel->reload();
    objectModel->refreshRows(object, object);
    bbSaveCommands->setEnabled(true);
    updateObjectPickerStates();
    selectLine(static_cast<int>(edit->line));
}

void BdmvPage::bbNCdelClick() {
    const int object = selectedObject();
    const int lines = commandModel->lineCount();
    if (object < 0 || lines == 0) return;
    auto [first, last] = sgCommands->selectedRange();
    if (first < 0 || first >= lines) return;
    last = std::min(last, lines - 1);
    EditScope step(&m_history, EditedDocument::Navigation,
                   first == last ? QStringLiteral("Delete line") : QStringLiteral("Delete lines"));
    keepObjectLines(step, m_session, object);
    const auto edit = deleteCommandLines(m_session.mobj, static_cast<std::size_t>(object),
                                         static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    if (!edit) return;
    commandModel->reload();
    objectModel->refreshRows(object, object);
    bbSaveCommands->setEnabled(commandModel->lineCount() > 0);
    updateObjectPickerStates();
    selectLine(std::min(static_cast<int>(edit->line), commandModel->lineCount() - 1));
}

void BdmvPage::nopSelectedLine() {
    const int line = selectedLine();
    if (line < 0) return;
    storeCommand(line, setOpcodeWord(*commandModel->command(line), 0), QStringLiteral("Clear line"));
    selectLine(line + 1 < commandModel->lineCount() ? line + 1 : line);
}

void BdmvPage::sgCommandsDblClick(int line) {
    const int object = selectedObject();
    if (object < 0) return;
    const auto& program =
        m_session.mobj.MovieObjects.mobjs[static_cast<std::size_t>(object)].navigation_commands;
    if (line < 0 || static_cast<std::size_t>(line) >= program.size()) return;
    const CommandReference target =
        followReference(std::span<const TNavCommand>(program), static_cast<std::size_t>(line), false);
    if (const auto* goTo = std::get_if<LineReference>(&target)) {
        selectLine(static_cast<int>(goTo->line));
    } else if (const auto* title = std::get_if<TitleReference>(&target)) {
        if (title->selectTitle && static_cast<int>(title->title) <= titleModel->titleCount()) {
            selectTitle(static_cast<int>(title->title) - 1);
            selectLine(0);
        }
    } else if (const auto* playlist = std::get_if<PlaylistReference>(&target)) {
        emit playlistRequested(QString::fromStdString(playlistItemName(playlist->playlist)),
                               playlist->playItem ? static_cast<int>(*playlist->playItem) : -1);
    }
}

void BdmvPage::setCommandsEditable(bool editable) {
    commandModel->setEditable(editable);
    if (editable) {
        sgCommands->setSelectionBehavior(QAbstractItemView::SelectItems);
        sgCommands->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::AnyKeyPressed);
        const QModelIndex current = sgCommands->currentIndex();
        if (current.isValid())
            sgCommands->selectionModel()->setCurrentIndex(current.siblingAtColumn(1),
                                                          QItemSelectionModel::ClearAndSelect);
    } else {
        sgCommands->setSelectionBehavior(QAbstractItemView::SelectRows);
        sgCommands->setEditTriggers(QAbstractItemView::NoEditTriggers);
        const int line = selectedLine();
        if (line >= 0) sgCommands->selectRow(line);
    }
}

void BdmvPage::bbSaveCommandsClick() {
    const int object = selectedObject();
    if (object < 0 || commandModel->lineCount() == 0) return;
    const QStringList filters = dialogFilters(ProgramListFilter);
    ProgramFormat format = programFormatFromSetting(m_session.options.ProgramFormat);
    QString selected = filters.value(format == ProgramFormat::Binary ? 1 : 0);
    QString start = QString::fromStdString(m_session.options.WorkDir);
    const QString baseName = QString::fromStdString(programListBaseName(static_cast<std::size_t>(object))) +
                             qs(programListExtension(format));
    start = start.isEmpty() ? baseName : QDir(start).filePath(baseName);
    QString path = chooseProgramListFile(start, filters.join(QStringLiteral(";;")), &selected);
    sgCommands->setFocus();
    if (path.isEmpty()) return;
    format = selected == filters.value(1) ? ProgramFormat::Binary : ProgramFormat::List;
    if (QFileInfo(path).suffix().isEmpty()) path += qs(programListExtension(format));
    const auto& commands =
        m_session.mobj.MovieObjects.mobjs[static_cast<std::size_t>(object)].navigation_commands;
    const std::vector<std::uint8_t> bytes = programListBytes(commands, format);
    // Checked to the end: a full disk shows only when the bytes are flushed.
    const std::string file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
    const FileResult written = writeWholeFile(file, bytes);
    if (written.ok)
        m_session.reporter.log(file + " saved.");
    else
        m_session.reporter.fileError(written.error);
}

// ---- ExtensionData ----

void BdmvPage::bIndExDatEditClick() {
    if (!m_extDat || m_session.indexStatus != ReadStatus::Ok) return;
    TExtensionData block = m_session.index.ExtensionData;
    if (!m_extDat->edit(m_session.names.IndexName, block)) return;
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Edit ExtensionData"));
    edit.keep([this]() -> TINDX& { return m_session.index; });
    setIndexExtensionData(m_session.index, block);
    lIndexExtDat->setText(qs(ExtDatCap(m_session.index.ExtensionData)));
    m_uhdGroup->fillFromSession();
}

void BdmvPage::bObjExtDatEditClick() {
    if (!m_extDat || !m_session.navigationReadable()) return;
    TExtensionData block = m_session.mobj.ExtensionData;
    if (!m_extDat->edit(m_session.names.MovieObjectName, block)) return;
    EditScope edit(&m_history, EditedDocument::Navigation, QStringLiteral("Edit ExtensionData"));
    // The block and where it lands, not the objects before it.
    edit.keep([this]() -> TExtensionData& { return m_session.mobj.ExtensionData; });
    edit.keep([this]() -> std::vector<std::uint8_t>& { return m_session.mobj.padding_before_extension; });
    edit.keep([this]() -> std::uint32_t& { return m_session.mobj.ExtensionData_start_address; });
    setMovieObjectExtensionData(m_session.mobj, block);
    lObjExtDat->setText(qs(ExtDatCap(m_session.mobj.ExtensionData)));
}

// ---- saving ----

} // namespace corvane
