#pragma once
// The disc folder: file names, the folder check, the read of a whole folder,
// the backup step of every writer and the temporary-file cleanup.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

class Reporter;
struct Session;

// The five names that depend on the "Use 8.3 filenames" option.
struct FileNameSet {
    std::string IndexName;
    std::string MovieObjectName;
    std::string PlayListExt;
    std::string ClipInfoExt;
    std::string StreamExt;
};
FileNameSet fileNameSet(bool use83names); // cb83namesClick

// One per clip information file, in clip-list order.
struct TAVStream {
    std::string stream_file_name;      // as the STREAM folder spells it; empty when missing
    std::int64_t stream_file_size = 0; // bytes; 0 when missing
};

// The folder chooser's pick to the BDMV folder path: the pick may be the BDMV
// folder itself or the folder that holds it. Always ends with the separator.
std::string bdmvFolderFromChosen(std::string chosen);
// Where the chooser starts: the BDMV folder without its last five characters.
std::string chooserStartFolder(const std::string& bdmvDir);
// The text in brackets in the caption: the name of the folder holding BDMV, or,
// when that folder is a mount point, its file system label (else its name) in upper case.
std::string disclabel(const std::string& bdmvDir);

// Logs one folder / file check line and returns whether it is there.
bool checkFolderLine(Reporter& reporter, const std::string& bdmvDir, const std::string& name);
bool checkFileLine(Reporter& reporter, const std::string& bdmvDir, const std::string& name);

// The required-item check: PLAYLIST, CLIPINF, BACKUP, index and MovieObject files,
// every item checked and logged; "Check failed." as an error when one is missing.
bool checkRequired(Session& session);
// Lists playlists, clips and BD-J objects and reads the navigation files.
void readall(Session& session);
// STREAM check and the clip-to-stream matching with its log lines.
void matchStreams(Session& session);

struct ReadFolderResult {
    bool checked = false;    // the required check passed and readall ran
    bool soundFound = false; // AUXDATA/sound.bdmv exists
};
// The whole folder read of the Read button, without its control changes.
ReadFolderResult readFolder(Session& session);

// The backup step of every disc-file writer, run once the new file is complete and on
// the disk: according to the options, the file about to be replaced is kept as
// name.backup (a second name of it, or a copy), or an old backup is removed first.
// Returns false (after "Cannot create backup file.") when the writer must not write.
// `onlyIfExists`: the sound writer's rule (a missing file is no error).
bool makebackup(Session& session, const std::string& folder, const std::string& name,
                bool onlyIfExists = false);
// Copies a just-written index or MovieObject file into BACKUP when the option is on.
void copyToBackupFolder(Session& session, const std::string& name);
// The whole tail of a disc-file writer: ErrorRaised cleared, "Saving name", the new file
// written beside the old one, the backup step, the rename, "name saved." and Ready.
// Any failure leaves the old file where it was.
// `copyToBackup`: index and MovieObject files go to BACKUP too when the option asks.
bool saveDiscFile(Session& session, const std::string& folder, const std::string& name,
                  const std::vector<std::uint8_t>& bytes, bool onlyIfExists = false,
                  bool copyToBackup = false);

// The BDMV folder of a file given on the command line: its folder, ending with the separator.
std::string bdmvFolderFromArgument(const std::string& file);

// Deletes the files of `folder` whose names begin with "Corvane_"; returns how many.
int cleanupTempFiles(const std::string& folder);

} // namespace corvane
