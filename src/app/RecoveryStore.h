#pragma once
// Recovery files: while a file has unsaved edits, the bytes its Save would write are kept
// every minute under the user's data folder, in recovery/<process id>/ with a small
// manifest. A file saved or discarded loses its copy at once; a clean exit removes the
// folder. A folder whose process is gone is what a crash left: the next start offers it.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <optional>
#include <vector>

#include "app/EditHistory.h"

namespace corvane {

struct Session;

// What a program that did not close left behind.
struct RecoverySet {
    QString directory; // recovery/<pid>/
    QString folder;    // the BDMV folder it worked on (ending with the separator); may be empty
    QString playlist;  // the playlist's name without extension, when it is among the files
    QString menuName;  // the menu's file name, when it is among the files
    QStringList names; // the files as the question lists them
    std::vector<EditedFile> files;
    std::vector<std::vector<std::uint8_t>> bytes; // parallel to `files`
};

class RecoveryStore : public QObject {
    Q_OBJECT
public:
    RecoveryStore(Session& session, EditHistory& history, QObject* parent = nullptr);
    // An orderly end (the close asked about every unsaved file) leaves nothing behind.
    ~RecoveryStore() override { removeAll(); }

    static constexpr int DefaultInterval = 60'000; // milliseconds
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    // Writes every modified file now (and drops the copies of files that are not).
    void writeNow();
    // A clean exit: nothing is left to recover.
    void removeAll();

    // recovery/ under the user's data folder.
    static QString rootFolder();
    // The newest set left by a process that no longer runs; none when there is none.
    static std::optional<RecoverySet> findAbandoned();
    static void remove(const QString& directory);

    // The file's record from recovered bytes; false when they do not read whole.
    static bool restoreInto(Session& session, EditedFile file, const std::vector<std::uint8_t>& bytes);

private:
    QString directory() const;
    // The bytes Save would write; none when the file cannot be written in its state.
    std::optional<std::vector<std::uint8_t>> bytesOf(EditedFile file) const;
    void dropUnmodified();
    // The timer's write: only after a step was made, undone or redone since the last one (a
    // large menu takes a while to encode).
    void writeIfChanged();

    Session& m_session;
    EditHistory& m_history;
    QTimer m_timer;
    bool m_changed = false;
};

} // namespace corvane
