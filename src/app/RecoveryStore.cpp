#include "app/RecoveryStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <array>
#include <cerrno>
#include <csignal>

#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/Session.h"
#include "sound/SoundFile.h"

namespace corvane {

namespace {
constexpr const char* ManifestName = "recovery.ini";

// The key of a file in the manifest, also its copy's name.
const char* keyOf(EditedFile file) {
    switch (file) {
    case EditedFile::Index:
        return "index";
    case EditedFile::MovieObject:
        return "movieobject";
    case EditedFile::Sound:
        return "sound";
    case EditedFile::Playlist:
        return "playlist";
    case EditedFile::Menu:
        return "menu";
    }
    return "";
}

QString copyPath(const QString& directory, EditedFile file) {
    return QDir(directory).filePath(QLatin1String(keyOf(file)) + QStringLiteral(".bin"));
}

bool processRuns(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}
} // namespace

RecoveryStore::RecoveryStore(Session& session, EditHistory& history, QObject* parent)
    : QObject(parent), m_session(session), m_history(history) {
    m_timer.setInterval(DefaultInterval);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryStore::writeIfChanged);
    for (EditedDocument document :
         {EditedDocument::Navigation, EditedDocument::Playlist, EditedDocument::Menu})
        connect(history.stack(document), &QUndoStack::indexChanged, this, [this] { m_changed = true; });
    m_timer.start();
    // Saved or discarded: the copy goes at once, not a minute later.
    connect(&history, &EditHistory::modifiedChanged, this, &RecoveryStore::dropUnmodified);
}

QString RecoveryStore::rootFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString RecoveryStore::directory() const {
    return QDir(rootFolder()).filePath(QString::number(QCoreApplication::applicationPid()));
}

std::optional<std::vector<std::uint8_t>> RecoveryStore::bytesOf(EditedFile file) const {
    const Session& s = m_session;
    switch (file) {
    case EditedFile::Index:
        if (s.indexStatus != ReadStatus::Ok) return std::nullopt;
        return writeIndex(s.index);
    case EditedFile::MovieObject:
        if (s.mobjStatus != ReadStatus::Ok) return std::nullopt;
        return writeMovieObject(s.mobj);
    case EditedFile::Sound:
        if (s.soundStatus != ReadStatus::Ok) return std::nullopt;
        return writeSound(s.sound);
    case EditedFile::Playlist:
        if (s.mplsName.empty()) return std::nullopt;
        return writePlayList(s.mpls);
    case EditedFile::Menu: {
        if (!s.menuOpen) return std::nullopt;
        IGSaveResult saved = saveIGS(s.menu, IGSaveMode::Mnu);
        if (!saved.ok) return std::nullopt;
        return std::move(saved.bytes);
    }
    }
    return std::nullopt;
}

void RecoveryStore::writeIfChanged() {
    if (m_changed) writeNow();
}

void RecoveryStore::writeNow() {
    m_changed = false;
    const std::vector<EditedFile> modified = m_history.modifiedFiles();
    if (modified.empty()) {
        removeAll();
        return;
    }
    const QString dir = directory();
    QDir().mkpath(dir);
    QStringList written;
    for (EditedFile file : modified) {
        const auto bytes = bytesOf(file);
        if (!bytes || !writeWholeFile(copyPath(dir, file).toStdString(), *bytes).ok) continue;
        written << QLatin1String(keyOf(file));
    }
    QSettings manifest(QDir(dir).filePath(QLatin1String(ManifestName)), QSettings::IniFormat);
    manifest.clear();
    manifest.setValue(QStringLiteral("folder"), QString::fromStdString(m_session.BDMVdir));
    manifest.setValue(QStringLiteral("playlist"), QString::fromStdString(m_session.mplsName));
    manifest.setValue(QStringLiteral("menu"), m_history.fileName(EditedFile::Menu));
    manifest.setValue(QStringLiteral("files"), written);
    manifest.setValue(QStringLiteral("time"), QDateTime::currentDateTime());
    manifest.sync();
    dropUnmodified();
}

void RecoveryStore::dropUnmodified() {
    const QString dir = directory();
    if (!QFileInfo::exists(dir)) return;
    if (m_history.modifiedFiles().empty()) {
        removeAll();
        return;
    }
    QSettings manifest(QDir(dir).filePath(QLatin1String(ManifestName)), QSettings::IniFormat);
    QStringList files = manifest.value(QStringLiteral("files")).toStringList();
    for (EditedFile file : AllEditedFiles) {
        if (m_history.isModified(file)) continue;
        QFile::remove(copyPath(dir, file));
        files.removeAll(QLatin1String(keyOf(file)));
    }
    manifest.setValue(QStringLiteral("files"), files);
}

void RecoveryStore::removeAll() {
    remove(directory());
}

void RecoveryStore::remove(const QString& directory) {
    if (!directory.isEmpty()) QDir(directory).removeRecursively();
}

std::optional<RecoverySet> RecoveryStore::findAbandoned() {
    std::optional<RecoverySet> newest;
    QDateTime newestTime;
    const QDir root(rootFolder());
    for (const QString& entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == QCoreApplication::applicationPid() || processRuns(pid)) continue;
        const QString dir = root.filePath(entry);
        QSettings manifest(QDir(dir).filePath(QLatin1String(ManifestName)), QSettings::IniFormat);
        RecoverySet set;
        set.directory = dir;
        set.folder = manifest.value(QStringLiteral("folder")).toString();
        set.playlist = manifest.value(QStringLiteral("playlist")).toString();
        set.menuName = manifest.value(QStringLiteral("menu")).toString();
        const QStringList keys = manifest.value(QStringLiteral("files")).toStringList();
        for (EditedFile file : AllEditedFiles) {
            if (!keys.contains(QLatin1String(keyOf(file)))) continue;
            std::string error;
            auto bytes = readWholeFile(copyPath(dir, file).toStdString(), error);
            if (!bytes) continue;
            set.files.push_back(file);
            set.bytes.push_back(std::move(*bytes));
        }
        if (set.files.empty()) {
            // Nothing left to offer (a crash before the first copy): tidy up.
            remove(dir);
            continue;
        }
        const QDateTime time = manifest.value(QStringLiteral("time")).toDateTime();
        if (!newest || time > newestTime) {
            newest = std::move(set);
            newestTime = time;
        }
    }
    return newest;
}

bool RecoveryStore::restoreInto(Session& session, EditedFile file, const std::vector<std::uint8_t>& bytes) {
    switch (file) {
    case EditedFile::Index: {
        IndexReadResult read = readIndex(bytes, session.names.IndexName);
        if (read.status != ReadStatus::Ok) return false;
        session.index = std::move(read.index);
        return true;
    }
    case EditedFile::MovieObject: {
        MobjReadResult read = readMovieObject(bytes, session.names.MovieObjectName);
        if (read.status != ReadStatus::Ok) return false;
        session.mobj = std::move(read.mobj);
        return true;
    }
    case EditedFile::Sound: {
        SoundReadResult read = readSoundBytes(bytes);
        if (read.status != ReadStatus::Ok) return false;
        session.sound = std::move(read.sound);
        session.soundStatus = ReadStatus::Ok;
        // Also a sound.bdmv created in memory and never saved.
        session.soundFound = true;
        return true;
    }
    case EditedFile::Playlist: {
        PlsReadResult read = readPlayList(bytes, session.mplsName, true);
        if (read.status != ReadStatus::Ok) return false;
        session.mpls = std::move(read.mpls);
        return true;
    }
    case EditedFile::Menu: {
        MnuReadResult read = loadMNU(bytes);
        if (read.status != ReadStatus::Ok) return false;
        session.menu = std::move(read.menu);
        session.menuOpen = true;
        return true;
    }
    }
    return false;
}

} // namespace corvane
