#pragma once
// File layer: whole-file reads and safe whole-file writes.
//
// Disc files are small enough to read at once; the readers then work on the
// bytes. Writes go to a temporary sibling that is renamed into place, so an
// interrupted save never leaves a half-written file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

struct FileResult {
    bool ok = false;
    std::string error;  // the system's text, naming the file
};

// Reads a whole file; on failure returns nothing and puts the reason into `error`.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::string& error);
// Writes a whole file through a temporary sibling and a rename.
FileResult writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// -1 when the file does not exist.
std::int64_t fileSize(const std::string& path);
// Fails when the target exists or the source is missing.
bool renameNoReplace(const std::string& from, const std::string& to);
// Copies, replacing the target.
bool copyReplace(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
// Names (not paths) of the regular files of a folder whose names end with `extension`
// (case-sensitive; empty = any), in the order the file system lists them.
std::vector<std::string> listFiles(const std::string& folder, const std::string& extension);
// The file's own spelling in its folder when a case-insensitive match exists; empty when none.
std::string findFileCaseInsensitive(const std::string& folder, const std::string& name);

// The platform separator, which ends every folder path of the program.
char pathSeparator();
std::string tempFolder();  // ends with the separator

} // namespace corvane
