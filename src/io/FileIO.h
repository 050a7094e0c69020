#pragma once
// File layer: whole-file reads and safe writes.
//
// Disc files are small enough to read at once; the readers then work on the
// bytes. Every write goes to a temporary file created beside its target, which
// is flushed to the disk before it replaces the target by a rename, so a save
// that fails or is killed leaves the old file or the new one, whole. A symbolic
// link is written through to its target; a FIFO or a character device is
// written straight into, never replaced.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

struct FileResult {
    bool ok = false;
    std::string error; // the system's text, naming the file
};

// One file being written.
// The output name that stands for the standard output.
inline constexpr const char* StandardOutputName = "-";

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile(); // an uncommitted file is dropped
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens `path`: symbolic links are followed to the final target. A regular or missing
    // target gets a temporary file in the target's folder, created exclusively; a FIFO or a
    // character device is opened straight. A directory, another kind of node or a file the
    // user may not write is refused. StandardOutputName ("-") writes straight to the
    // standard output. False with error() set.
    bool open(const std::string& path);
    bool write(const void* data, std::size_t size);
    // Cuts what was written back to `size` bytes; a FIFO or device keeps what it was given.
    bool truncate(std::uint64_t size);
    // Puts the file in place: flush to the disk, the replaced file's permission bits (and
    // owner where allowed), `beforeReplace` (the backup step: false stops the save and
    // leaves error() empty, the step having reported), then the rename and the folder flush.
    // `replace` false: fails when the target exists meanwhile. The temporary file never
    // outlives a failure.
    bool commit(const std::function<bool()>& beforeReplace = {}, bool replace = true);
    // Drops what was written; the target stays as it was.
    void abort();

    const std::string& error() const { return m_error; }
    bool direct() const { return m_direct; }               // a FIFO or device, written straight
    const std::string& target() const { return m_target; } // the final target of the links
    std::uint64_t size() const { return m_size; }

private:
    bool fail(const char* what, int error);

    int m_fd = -1;
    std::string m_path; // as given: the name in messages
    std::string m_target;
    std::string m_temp; // empty when writing straight
    bool m_direct = false;
    bool m_replacing = false; // the target exists: its mode and owner carry over
    unsigned m_mode = 0;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
    bool m_failed = false;
    std::uint64_t m_size = 0;
    std::uint64_t m_started = 0; // bytes whose writeback has been started
    std::string m_error;
};

// Reads a whole file; on failure returns nothing and puts the reason into `error`.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::string& error);
// Writes a whole file through OutputFile.
FileResult writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// -1 when the file does not exist.
std::int64_t fileSize(const std::string& path);
// Fails when the target exists or the source is missing.
bool renameNoReplace(const std::string& from, const std::string& to);
// Keeps the file `from` (a link followed) also as `to`, leaving `from` alone: a hard link,
// or a whole copy where the file system has none. Fails when `to` exists or `from` is missing.
bool linkOrCopyNoReplace(const std::string& from, const std::string& to);
// Copies, replacing the target (through OutputFile).
bool copyReplace(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
// Removes the temporary files that writers which are no longer running left in `folder`
// (only those of the file `name` when given); returns how many.
int removeStaleTempFiles(const std::string& folder, const std::string& name = {});
// Names (not paths) of the regular files of a folder whose names end with `extension`
// (case-sensitive; empty = any), in the order the file system lists them.
std::vector<std::string> listFiles(const std::string& folder, const std::string& extension);
// The file's own spelling in its folder when a case-insensitive match exists; empty when none.
std::string findFileCaseInsensitive(const std::string& folder, const std::string& name);

// The platform separator, which ends every folder path of the program.
char pathSeparator();
std::string tempFolder(); // ends with the separator

} // namespace corvane
