#include "shell/DiscFolder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"

namespace fs = std::filesystem;

namespace corvane {

FileNameSet fileNameSet(bool use83names) {
    if (use83names) return {"INDEX.BDM", "MOVIEOBJ.BDM", ".MPL", ".CLP", ".MTS"};
    return {"index.bdmv", "MovieObject.bdmv", ".mpls", ".clpi", ".m2ts"};
}

std::string bdmvFolderFromChosen(std::string chosen) {
    const char sep = pathSeparator();
    if (chosen.empty() || chosen.back() != sep) chosen += sep;
    if (chosen.size() < 5 || chosen.compare(chosen.size() - 5, 4, "BDMV") != 0)
        chosen += std::string("BDMV") + sep;
    return chosen;
}

std::string chooserStartFolder(const std::string& bdmvDir) {
    return bdmvDir.size() > 5 ? bdmvDir.substr(0, bdmvDir.size() - 5) : std::string();
}

std::string bdmvFolderFromArgument(const std::string& file) {
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(file), ec);
    if (ec) path = fs::path(file);
    std::string folder = path.parent_path().string();
    if (folder.empty() || folder.back() != pathSeparator()) folder += pathSeparator();
    return folder;
}

namespace {

// Mount tables escape blanks and a few other characters as \ooo.
std::string unescapeMountField(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// /dev/disk/by-label names escape characters as \xHH.
std::string unescapeLabel(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i + 4 <= name.size() && name.compare(i, 2, "\\x") == 0) {
            out += static_cast<char>(hexToNumber(name.substr(i + 2, 2)));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

bool isMountPoint(const fs::path& folder) {
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint;
        fields >> device >> mountPoint;
        if (unescapeMountField(mountPoint) == folder.string()) return true;
    }
    return false;
}

std::string volumeLabel(const fs::path& mountPoint) {
    std::ifstream mounts("/proc/self/mounts");
    std::string line, device;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string dev, point;
        fields >> dev >> point;
        if (unescapeMountField(point) == mountPoint.string()) device = dev;
    }
    if (device.empty() || device.rfind("/dev/", 0) != 0) return {};
    std::error_code ec;
    const fs::path deviceReal = fs::canonical(device, ec);
    if (ec) return {};
    for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (fs::canonical(it->path(), linkEc) == deviceReal && !linkEc)
            return unescapeLabel(it->path().filename().string());
    }
    return {};
}

} // namespace

std::string disclabel(const std::string& bdmvDir) {
    std::string folder = bdmvDir;
    while (folder.size() > 1 && folder.back() == pathSeparator()) folder.pop_back();
    const fs::path holder = fs::path(folder).parent_path();
    if (holder.empty()) return {};
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(holder, ec);
    if (!ec && isMountPoint(canonical)) {
        const std::string label = volumeLabel(canonical);
        return upperCase(label.empty() ? canonical.filename().string() : label);
    }
    return holder.filename().string();
}

bool checkFolderLine(Reporter& reporter, const std::string& bdmvDir, const std::string& name) {
    const bool found = directoryExists(bdmvDir + name);
    reporter.log("[bl]" + name + "[/bl] folder: " + (found ? "[b]OK[/b]" : "[re]missing[/re]"));
    return found;
}

bool checkFileLine(Reporter& reporter, const std::string& bdmvDir, const std::string& name) {
    const bool found = fileExists(bdmvDir + name);
    reporter.log(name + ": " + (found ? "[b]OK[/b]" : "[re]missing[/re]"));
    return found;
}

bool checkRequired(Session& session) {
    Reporter& r = session.reporter;
    r.log("Checking required files and directories...");
    bool ok = true;
    for (const char* folder : {"PLAYLIST", "CLIPINF", "BACKUP"})
        ok = checkFolderLine(r, session.BDMVdir, folder) && ok;
    ok = checkFileLine(r, session.BDMVdir, session.names.IndexName) && ok;
    ok = checkFileLine(r, session.BDMVdir, session.names.MovieObjectName) && ok;
    if (!ok) r.erlog("[b]Check failed.[/b]");
    return ok;
}

namespace {

bool endsWithNoCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[name.size() - suffix.size() + i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    }
    return true;
}

// Files of a folder matching an extension the way the disc's masks match (case-insensitive),
// in name order so the lists read the same on every file system.
std::vector<std::string> listByMask(Session& session, const std::string& folder,
                                    const std::string& extension) {
    std::vector<std::string> files;
    for (auto& name : listFiles(folder, "")) {
        if (name.empty() || name[0] == '.') continue; // hidden files are no disc files
        if (extension.empty() || endsWithNoCase(name, extension)) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> names;
    for (const auto& file : files) {
        session.reporter.slog("Checking " + file, 1);
        names.push_back(withoutExtension(file));
    }
    return names;
}

} // namespace

void readall(Session& session) {
    Reporter& r = session.reporter;
    const char sep = pathSeparator();

    r.dlog0("Reading " + session.names.MovieObjectName);
    session.mobjStatus = readMovieObjectFile(session, session.mobj);

    r.dlog0("Reading playlists");
    session.playlists = listByMask(session, session.BDMVdir + "PLAYLIST" + sep, session.names.PlayListExt);
    r.log("  Found [b]" + std::to_string(session.playlists.size()) + "[/b] playlists.");

    r.dlog0("Reading clipinfos");
    session.clips = listByMask(session, session.BDMVdir + "CLIPINF" + sep, session.names.ClipInfoExt);
    r.log("  Found [b]" + std::to_string(session.clips.size()) + "[/b] clipinfos.");
    session.CIRefs.assign(session.clips.size(), {});

    session.bdjoFiles.clear();
    if (directoryExists(session.BDMVdir + "BDJO"))
        session.bdjoFiles = listByMask(session, session.BDMVdir + "BDJO" + sep, "");

    r.dlog0("Reading " + session.names.IndexName);
    session.indexStatus = readIndexFile(session, session.index);
    // An impossible title count leaves the status bar as the reader left it.
    if (session.indexStatus != ReadStatus::TooManyTitles) r.slogR();
}

void matchStreams(Session& session) {
    Reporter& r = session.reporter;
    const std::string streamFolder = session.BDMVdir + "STREAM" + pathSeparator();
    checkFolderLine(r, session.BDMVdir, "STREAM");
    session.AVStreams.clear();
    std::size_t found = 0, missing = 0;
    for (const auto& clip : session.clips) {
        TAVStream stream;
        const std::string wanted = clip + session.names.StreamExt;
        const std::string actual =
            directoryExists(streamFolder) ? findFileCaseInsensitive(streamFolder, wanted) : "";
        if (!actual.empty()) {
            stream.stream_file_name = actual;
            stream.stream_file_size = std::max<std::int64_t>(0, fileSize(streamFolder + actual));
            ++found;
        } else {
            r.log("  Stream " + wanted + " " + "[re]missing[/re]");
            ++missing;
        }
        session.AVStreams.push_back(stream);
    }
    std::string summary = "  Found [b]" + std::to_string(found) + "[/b] AV streams";
    if (missing > 0) summary += ", [re]missing[/re] [b]" + std::to_string(missing) + "[/b]";
    r.log(summary);
}

ReadFolderResult readFolder(Session& session) {
    ReadFolderResult result;
    Reporter& r = session.reporter;
    session.clearFolderData();
    // Saves that were killed leave their temporary files behind.
    removeStaleTempFiles(session.BDMVdir);
    for (const char* folder : {"PLAYLIST", "CLIPINF", "AUXDATA", "BACKUP"})
        removeStaleTempFiles(session.BDMVdir + folder + pathSeparator());
    if (!checkRequired(session)) return result;

    r.slog("", 1);
    readall(session);
    result.checked = true;

    const std::string soundName = std::string("AUXDATA") + pathSeparator() + "sound.bdmv";
    if (checkFolderLine(r, session.BDMVdir, "AUXDATA"))
        result.soundFound = checkFileLine(r, session.BDMVdir, soundName);
    session.soundFound = result.soundFound;
    if (result.soundFound) readsound(session);

    session.discLabel = disclabel(session.BDMVdir);
    matchStreams(session);
    for (const char* folder : {"META", "BDJO", "JAR"}) checkFolderLine(r, session.BDMVdir, folder);
    r.log("");
    r.slogR();
    return result;
}

bool makebackup(Session& session, const std::string& folder, const std::string& name, bool onlyIfExists) {
    Reporter& r = session.reporter;
    if (!session.options.Backup) return true;
    const std::string file = folder + name;
    const std::string backup = file + ".backup";
    if (onlyIfExists && !fileExists(file)) return true;

    // The backup is a second name of the file being replaced: the file itself never goes.
    bool kept = true;
    switch (static_cast<BackupMode>(session.options.BackupMode)) {
    case BackupMode::Overwrite:
        // The old backup goes; the file being replaced becomes the new one.
        removeFile(backup);
        kept = linkOrCopyNoReplace(file, backup);
        break;
    case BackupMode::StopIfExists:
        kept = linkOrCopyNoReplace(file, backup);
        break;
    case BackupMode::OnlyFirst:
    default:
        if (!fileExists(backup)) kept = linkOrCopyNoReplace(file, backup);
        break;
    }
    if (!kept) r.erlog("Cannot create backup file.");
    return !r.ErrorRaised;
}

void copyToBackupFolder(Session& session, const std::string& name) {
    if (!session.options.SaveBACKUP) return;
    copyReplace(session.BDMVdir + name, session.BDMVdir + "BACKUP" + pathSeparator() + name);
}

bool saveDiscFile(Session& session, const std::string& folder, const std::string& name,
                  const std::vector<std::uint8_t>& bytes, bool onlyIfExists, bool copyToBackup) {
    Reporter& r = session.reporter;
    r.ErrorRaised = false;
    r.dlog0("Saving " + name);
    // The new file is whole and on the disk before the backup step and the rename.
    OutputFile out;
    const bool written = out.open(folder + name) && out.write(bytes.data(), bytes.size()) &&
                         out.commit([&] { return makebackup(session, folder, name, onlyIfExists); });
    if (!written) {
        if (!out.error().empty()) r.fileError(out.error());
        r.slogR();
        return false;
    }
    r.log(name + " saved.");
    r.slogR();
    if (copyToBackup) copyToBackupFolder(session, name);
    return true;
}

int cleanupTempFiles(const std::string& folder) {
    int removed = 0;
    for (const auto& name : listFiles(folder, "")) {
        if (name.rfind("Corvane_", 0) == 0 && removeFile(folder + name)) ++removed;
    }
    return removed;
}

} // namespace corvane
