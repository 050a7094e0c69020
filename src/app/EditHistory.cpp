#include "app/EditHistory.h"

#include <algorithm>

namespace corvane {

EditedDocument documentOf(EditedFile file) {
    switch (file) {
    case EditedFile::Playlist:
        return EditedDocument::Playlist;
    case EditedFile::Menu:
        return EditedDocument::Menu;
    default:
        return EditedDocument::Navigation;
    }
}

template <> bool sameRecord<TMenu>(const TMenu& a, const TMenu& b) {
    return sameMenuContent(a, b);
}

// ---- RecordCommand ----

RecordCommand::RecordCommand(EditHistory& history, EditedDocument document, const QString& text, int mergeId,
                             std::vector<std::unique_ptr<KeptRecord>> records)
    : QUndoCommand(text), m_history(history), m_document(document), m_mergeId(mergeId),
      m_records(std::move(records)) {}

void RecordCommand::undo() {
    m_history.replay(m_document, [this] {
        for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) (*it)->putBefore();
    });
}

void RecordCommand::redo() {
    if (m_applied) {
        m_applied = false;
        m_history.updateModified(m_document);
        return;
    }
    m_history.replay(m_document, [this] {
        for (const auto& record : m_records) record->putAfter();
    });
}

bool RecordCommand::mergeWith(const QUndoCommand* other) {
    const auto* later = dynamic_cast<const RecordCommand*>(other);
    if (later == nullptr || later->m_document != m_document || later->m_records.size() != m_records.size())
        return false;
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (!m_records[i]->sameRecordAs(*later->m_records[i])) return false;
    for (std::size_t i = 0; i < m_records.size(); ++i) m_records[i]->absorb(*later->m_records[i]);
    // Typed back to where the run started: the step is no step at all.
    if (std::none_of(m_records.begin(), m_records.end(),
                     [](const auto& record) { return record->changed(); }))
        setObsolete(true);
    return true;
}

// ---- EditHistory ----

EditHistory::EditHistory(Session& session, QObject* parent) : QObject(parent), m_session(session) {
    for (int i = 0; i < 3; ++i) {
        m_stacks[i] = new QUndoStack(this);
        m_group.addStack(m_stacks[i]);
    }
}

EditHistory::~EditHistory() = default;

void EditHistory::setRefresh(EditedDocument document, std::function<void()> refresh) {
    m_refresh[static_cast<int>(document)] = std::move(refresh);
}

void EditHistory::setActiveDocument(const std::optional<EditedDocument>& document) {
    m_group.setActiveStack(document ? stack(*document) : nullptr);
}

void EditHistory::replay(EditedDocument document, const std::function<void()>& put) {
    ++m_restoring;
    put();
    if (const auto& refresh = m_refresh[static_cast<int>(document)]) refresh();
    --m_restoring;
    updateModified(document);
}

void EditHistory::redraw(EditedDocument document) {
    replay(document, [] {});
}

void EditHistory::documentReplaced(EditedDocument document) {
    stack(document)->clear();
    switch (document) {
    case EditedDocument::Navigation:
        m_index = m_session.index;
        m_mobj = m_session.mobj;
        m_sound = m_session.sound;
        break;
    case EditedDocument::Playlist:
        m_mpls = m_session.mpls;
        break;
    case EditedDocument::Menu:
        m_menu = m_session.menu;
        break;
    }
    updateModified(document);
}

void EditHistory::fileSaved(EditedFile file) {
    setSavedState(file, m_session);
    // The stack's clean mark follows once every file of the document is saved.
    const EditedDocument document = documentOf(file);
    if (!isModified(document)) stack(document)->setClean();
}

void EditHistory::setSavedState(EditedFile file, const Session& from) {
    switch (file) {
    case EditedFile::Index:
        m_index = from.index;
        break;
    case EditedFile::MovieObject:
        m_mobj = from.mobj;
        break;
    case EditedFile::Sound:
        m_sound = from.sound;
        break;
    case EditedFile::Playlist:
        m_mpls = from.mpls;
        break;
    case EditedFile::Menu:
        m_menu = from.menu;
        break;
    }
    updateModified(documentOf(file));
}

QString EditHistory::fileName(EditedFile file) const {
    switch (file) {
    case EditedFile::Index:
        return QString::fromStdString(m_session.names.IndexName);
    case EditedFile::MovieObject:
        return QString::fromStdString(m_session.names.MovieObjectName);
    case EditedFile::Sound:
        return QStringLiteral("sound.bdmv");
    case EditedFile::Playlist:
        return QString::fromStdString(m_session.mplsName + m_session.names.PlayListExt);
    case EditedFile::Menu:
        return m_menuName;
    }
    return {};
}

bool EditHistory::isModified(EditedDocument document) const {
    for (EditedFile file : AllEditedFiles)
        if (documentOf(file) == document && isModified(file)) return true;
    return false;
}

std::vector<EditedFile> EditHistory::modifiedFiles() const {
    std::vector<EditedFile> files;
    for (EditedFile file : AllEditedFiles)
        if (isModified(file)) files.push_back(file);
    return files;
}

void EditHistory::updateModified(EditedDocument document) {
    const std::array<bool, 5> was = m_modified;
    auto set = [this](EditedFile file, bool modified) { m_modified[static_cast<int>(file)] = modified; };
    switch (document) {
    case EditedDocument::Navigation:
        set(EditedFile::Index, !sameRecord(m_index, m_session.index));
        set(EditedFile::MovieObject, !sameRecord(m_mobj, m_session.mobj));
        set(EditedFile::Sound, !sameRecord(m_sound, m_session.sound));
        break;
    case EditedDocument::Playlist:
        set(EditedFile::Playlist, !sameRecord(m_mpls, m_session.mpls));
        break;
    case EditedDocument::Menu:
        set(EditedFile::Menu, !sameRecord(m_menu, m_session.menu));
        break;
    }
    if (was != m_modified) emit modifiedChanged();
}

// ---- EditScope ----

EditScope::EditScope(EditHistory* history, EditedDocument document, const QString& text, int mergeId)
    : m_history(history), m_document(document), m_text(text), m_mergeId(mergeId) {
    if (m_history == nullptr || m_history->restoring()) return;
    m_active = true;
    if (m_history->m_open != nullptr)
        m_outer = m_history->m_open;
    else
        m_history->m_open = this;
}

void EditScope::cancel() {
    if (!m_active || m_outer != nullptr) return;
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) (*it)->putBefore();
    m_records.clear();
}

EditScope::~EditScope() {
    if (!m_active || m_outer != nullptr) return;
    m_history->m_open = nullptr;
    bool changed = false;
    for (const auto& record : m_records) {
        record->takeAfter();
        changed = changed || record->changed();
    }
    if (!changed) return;
    m_history->stack(m_document)
        ->push(new RecordCommand(*m_history, m_document, m_text, m_mergeId, std::move(m_records)));
}

} // namespace corvane
