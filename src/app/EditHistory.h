#pragma once
// The undo history of the files in memory. A user edit keeps the records it may change,
// runs the core operation on the session, and becomes one step of its document's stack
// that holds each kept record before and after; undo and redo put a copy back and let the
// page redraw. The core knows nothing of this.
//
// A document is what one Save writes: the BDMV page's index.bdmv, MovieObject.bdmv and
// sound.bdmv (an object insert or delete renumbers the titles, so they share one stack),
// the playlist, the menu. A file is modified while its record differs from the one last
// read or saved, so undoing back to the saved state clears the mark.

#include <QObject>
#include <QString>
#include <QUndoCommand>
#include <QUndoGroup>
#include <QUndoStack>

#include <array>
#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "shell/Session.h"

namespace corvane {

enum class EditedDocument { Navigation, Playlist, Menu };
enum class EditedFile { Index, MovieObject, Sound, Playlist, Menu };

inline constexpr std::array<EditedFile, 5> AllEditedFiles{
    EditedFile::Index, EditedFile::MovieObject, EditedFile::Sound, EditedFile::Playlist, EditedFile::Menu};

EditedDocument documentOf(EditedFile file);

// Whether two records hold the same content (the menu leaves out its caches and the
// simulation's button states).
template <class T> bool sameRecord(const T& a, const T& b) {
    if constexpr (std::equality_comparable<T>)
        return a == b;
    else
        return false;
}
template <> bool sameRecord<TMenu>(const TMenu& a, const TMenu& b);

// One kept record of a step: found again through its locator whenever it is used, since
// later steps may have moved it (a vector that grew); the stack's order guarantees the
// locator finds the same place then.
class KeptRecord {
public:
    virtual ~KeptRecord() = default;
    virtual void takeAfter() = 0;
    virtual bool changed() const = 0;
    virtual void putBefore() = 0;
    virtual void putAfter() = 0;
    virtual const void* address() = 0;
    virtual const std::type_info& recordType() const = 0;
    // A later step on the same record: its after state becomes this one's.
    virtual void absorb(const KeptRecord& later) = 0;
    bool sameRecordAs(KeptRecord& other) {
        return recordType() == other.recordType() && address() == other.address();
    }
};

template <class T> class KeptValue : public KeptRecord {
public:
    void takeAfter() override { m_after = locate(); }
    bool changed() const override { return !sameRecord(m_before, m_after); }
    void putBefore() override { locate() = m_before; }
    void putAfter() override { locate() = m_after; }
    const void* address() override { return &locate(); }
    const std::type_info& recordType() const override { return typeid(T); }
    void absorb(const KeptRecord& later) override { m_after = static_cast<const KeptValue&>(later).m_after; }

protected:
    virtual T& locate() = 0;
    T m_before;
    T m_after;
};

template <class T, class Locate> class KeptRecordOf final : public KeptValue<T> {
public:
    explicit KeptRecordOf(Locate locate) : m_locate(std::move(locate)) { this->m_before = m_locate(); }

protected:
    T& locate() override { return m_locate(); }

private:
    Locate m_locate;
};

class EditHistory;

// One step on a document's stack.
class RecordCommand : public QUndoCommand {
public:
    RecordCommand(EditHistory& history, EditedDocument document, const QString& text, int mergeId,
                  std::vector<std::unique_ptr<KeptRecord>> records);
    void undo() override;
    void redo() override;
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    EditHistory& m_history;
    EditedDocument m_document;
    int m_mergeId;
    bool m_applied = true; // pushed after the edit ran: the first redo has nothing to do
    std::vector<std::unique_ptr<KeptRecord>> m_records;
};

// A step that never merges; the pages give ids of their own to a run of edits of one control
// (typing in a field) so that it becomes one step: BDMV page 100-199, PLAYLIST 200-299, Menu 300-399.
inline constexpr int NoMerge = -1;

class EditScope;

class EditHistory : public QObject {
    Q_OBJECT
public:
    explicit EditHistory(Session& session, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoGroup* group() { return &m_group; }
    QUndoStack* stack(EditedDocument document) { return m_stacks[static_cast<int>(document)]; }
    // The page redraws its document from the session after an undo or redo.
    void setRefresh(EditedDocument document, std::function<void()> refresh);
    // The stack answering Ctrl+Z: the current page's, none on a page without a document.
    void setActiveDocument(const std::optional<EditedDocument>& document);

    // A read (or a new record) replaced the document's records: its history starts over and
    // what is in memory now is the saved state. Nothing is asked here.
    void documentReplaced(EditedDocument document);
    // A Save wrote the file: its record is the saved state now.
    void fileSaved(EditedFile file);
    // The file's saved state is taken from `from`.
    void setSavedState(EditedFile file, const Session& from);
    // The page of `document` redraws from the session (after its records were replaced).
    void redraw(EditedDocument document);

    // The name the question and the marks show: "index.bdmv", "00800.mpls", the menu's file name.
    QString fileName(EditedFile file) const;
    void setMenuName(const QString& name) { m_menuName = name; }
    // Asked before a read replaces documents that have unsaved edits (the window's question);
    // true when the read may go on. Without a window it always may.
    bool confirmDiscard(const std::vector<EditedDocument>& documents) const {
        return !m_confirmDiscard || m_confirmDiscard(documents);
    }
    void setConfirmDiscard(std::function<bool(const std::vector<EditedDocument>&)> confirm) {
        m_confirmDiscard = std::move(confirm);
    }

    bool isModified(EditedFile file) const { return m_modified[static_cast<int>(file)]; }
    bool isModified(EditedDocument document) const;
    std::vector<EditedFile> modifiedFiles() const;
    // Compares the files of `document` with their saved states; modifiedChanged when one flipped.
    void updateModified(EditedDocument document);
    // While a step is put back, the page redraws and its controls' signals must not become edits.
    bool restoring() const { return m_restoring > 0; }

    // Called by RecordCommand: puts a step back, redraws the document, updates the marks.
    void replay(EditedDocument document, const std::function<void()>& put);

signals:
    void modifiedChanged();

private:
    friend class EditScope;
    Session& m_session;
    QUndoGroup m_group;
    std::array<QUndoStack*, 3> m_stacks{};
    std::array<std::function<void()>, 3> m_refresh;
    std::array<bool, 5> m_modified{};
    int m_restoring = 0;
    QString m_menuName = QStringLiteral("menu");
    std::function<bool(const std::vector<EditedDocument>&)> m_confirmDiscard;
    EditScope* m_open = nullptr; // the outermost scope under way
    // The records as last read or saved.
    TINDX m_index;
    TMOBJ m_mobj;
    TSND m_sound;
    TMPLS m_mpls;
    TMenu m_menu;
};

// One user edit: keep() every record the edit may change, run the edit; when the scope
// ends, the step goes onto the document's stack if a kept record changed. A scope opened
// while another is under way adds its records to that one (one step for the whole action);
// one opened while a step is being put back records nothing.
class EditScope {
public:
    EditScope(EditHistory* history, EditedDocument document, const QString& text, int mergeId = NoMerge);
    ~EditScope();
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

    // `locate` returns the record (T&) each time it is called.
    template <class Locate> void keep(Locate locate) {
        if (!m_active) return;
        using T = std::remove_reference_t<std::invoke_result_t<Locate&>>;
        EditScope& owner = m_outer != nullptr ? *m_outer : *this;
        auto record = std::make_unique<KeptRecordOf<T, Locate>>(std::move(locate));
        for (const auto& kept : owner.m_records)
            if (kept->sameRecordAs(*record)) return;
        owner.m_records.push_back(std::move(record));
    }
    // The edit was refused half-way: the kept records go back, no step is made.
    void cancel();

private:
    EditHistory* m_history;
    EditedDocument m_document;
    QString m_text;
    int m_mergeId;
    bool m_active = false;
    EditScope* m_outer = nullptr;
    std::vector<std::unique_ptr<KeptRecord>> m_records;
};

} // namespace corvane
