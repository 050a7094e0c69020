#include "io/FileIO.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace corvane {

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = "Cannot open file \"" + path + "\". Is a directory.";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot open file \"" + path + "\". " + std::strerror(errno) + ".";
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        error = "Cannot read file \"" + path + "\".";
        return std::nullopt;
    }
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = "Cannot read file \"" + path + "\". " + std::strerror(errno) + ".";
        return std::nullopt;
    }
    return bytes;
}

namespace {

constexpr int MaxLinkHops = 40;
// Temporary files are named ".<target>.<pid>.corvane-XXXXXX": the process id tells a
// later start whether the writer is still running.
constexpr const char* TempMarker = ".corvane-";
constexpr std::size_t TempRandomChars = 6;
constexpr std::size_t TempNameChars = 200; // of the target's name, within NAME_MAX
constexpr std::uint64_t WritebackChunk = 8u << 20;

std::string messageFor(const char* what, const std::string& path, int error) {
    return std::string(what) + " \"" + path + "\". " + std::strerror(error) + ".";
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string tempPrefix(const std::string& name) {
    return "." + name.substr(0, TempNameChars) + ".";
}

std::string randomChars() {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::string text(TempRandomChars, 'A');
    for (auto& c : text) c = alphabet[engine() % (sizeof(alphabet) - 1)];
    return text;
}

// The process id in a temporary file's name, or 0 when the name is none of ours.
long tempFileOwner(const std::string& name) {
    if (name.size() < 2 || name[0] != '.') return 0;
    const auto marker = name.rfind(TempMarker);
    if (marker == std::string::npos || marker == 0 ||
        name.size() - marker != std::strlen(TempMarker) + TempRandomChars)
        return 0;
    const auto dot = name.rfind('.', marker - 1);
    if (dot == std::string::npos || dot == 0 || dot + 1 == marker) return 0;
    long pid = 0;
    for (std::size_t i = dot + 1; i < marker; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || pid > 100000000L) return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

bool processGone(long pid) {
    return pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes all of `size` bytes, across short writes and signals.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A rename that fails when the target exists.
bool renameExclusive(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
#ifdef RENAME_NOREPLACE
    // File systems without hard links may still rename exclusively.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) return false;
#endif
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

OutputFile::~OutputFile() {
    abort();
}

bool OutputFile::fail(const char* what, int error) {
    m_error = messageFor(what, m_path, error);
    m_failed = true;
    return false;
}

bool OutputFile::open(const std::string& path) {
    abort();
    m_path = path;
    m_target.clear();
    m_direct = m_replacing = m_failed = false;
    m_size = m_started = 0;
    m_error.clear();
    if (path.empty()) return fail("Cannot create file", ENOENT);
    if (path == StandardOutputName) {
        // The command line's "-": the bytes go straight to the standard output.
        std::fflush(stdout);
        m_fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (m_fd < 0) return fail("Cannot write file", errno);
        m_target = path;
        m_direct = true;
        return true;
    }

    // Follow the chain of links: the file written is the one the last link names.
    std::string target = path;
    struct stat st {};
    bool exists = false;
    for (int hops = 0;; ++hops) {
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno != ENOENT) return fail("Cannot create file", errno);
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            break;
        }
        if (hops == MaxLinkHops) return fail("Cannot create file", ELOOP);
        std::vector<char> link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) return fail("Cannot create file", errno);
        const std::string next(link.data(), static_cast<std::size_t>(n));
        target = (!next.empty() && next[0] == '/') ? next : folderOf(target) + "/" + next;
    }
    m_target = target;

    if (exists) {
        if (S_ISDIR(st.st_mode)) return fail("Cannot create file", EISDIR);
        if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
            // Nothing to keep atomic: the bytes go straight into the node.
            do m_fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
            while (m_fd < 0 && errno == EINTR);
            if (m_fd < 0) return fail("Cannot create file", errno);
            m_direct = true;
            return true;
        }
        if (!S_ISREG(st.st_mode)) {
            m_error = "Cannot create file \"" + path + "\". Not a file, FIFO or character device.";
            m_failed = true;
            return false;
        }
        // access() lets root write anything: a file without any write bit counts as protected.
        if (::access(target.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return fail("Cannot create file", errno == EROFS ? EROFS : EACCES);
        m_replacing = true;
        m_mode = st.st_mode & 07777;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
    }

    const std::string folder = folderOf(target);
    const std::string name = nameOf(target);
    removeStaleTempFiles(folder + "/", name);
    const std::string stem = folder + "/" + tempPrefix(name) + std::to_string(::getpid()) + TempMarker;
    // Exclusive creation: a name planted by someone else is never opened or followed.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = stem + randomChars();
        m_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      m_replacing ? 0600 : 0666);
        if (m_fd >= 0) {
            m_temp = std::move(temp);
            return true;
        }
        if (errno != EEXIST) break;
    }
    return fail("Cannot create file", errno);
}

bool OutputFile::write(const void* data, std::size_t size) {
    if (m_fd < 0 || m_failed) return false;
    if (!writeAll(m_fd, static_cast<const std::uint8_t*>(data), size))
        return fail("Cannot write file", errno);
    m_size += size;
#ifdef SYNC_FILE_RANGE_WRITE
    // Large outputs go to the disk while the writer works on, so the flush at commit is short.
    if (!m_direct && m_size - m_started >= WritebackChunk) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_started), static_cast<off_t>(m_size - m_started),
                          SYNC_FILE_RANGE_WRITE);
        m_started = m_size;
    }
#endif
    return true;
}

bool OutputFile::truncate(std::uint64_t size) {
    if (m_fd < 0 || m_failed) return false;
    if (m_direct || size >= m_size) return true;
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0 ||
        ::lseek(m_fd, static_cast<off_t>(size), SEEK_SET) < 0)
        return fail("Cannot write file", errno);
    m_size = size;
    m_started = std::min(m_started, size);
    return true;
}

bool OutputFile::commit(const std::function<bool()>& beforeReplace, bool replace) {
    if (m_fd < 0 || m_failed) {
        if (m_error.empty()) m_error = messageFor("Cannot write file", m_path, EBADF);
        abort();
        return false;
    }
    if (m_direct) {
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (closed != 0 && errno != EINTR) return fail("Cannot write file", errno);
        return true;
    }
    if (::fsync(m_fd) != 0) {
        fail("Cannot write file", errno);
        abort();
        return false;
    }
    if (m_replacing) {
        // The owner first: a change of owner clears the set-id bits that fchmod then puts back.
        // Only root keeps the owner; others may keep the group; neither is an error.
        if (::fchown(m_fd, m_uid, m_gid) != 0 && ::fchown(m_fd, static_cast<uid_t>(-1), m_gid) != 0)
            errno = 0;
        if (::fchmod(m_fd, static_cast<mode_t>(m_mode)) != 0) {
            fail("Cannot write file", errno);
            abort();
            return false;
        }
    }
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0 && errno != EINTR) {
        fail("Cannot write file", errno);
        abort();
        return false;
    }
    if (beforeReplace && !beforeReplace()) {
        abort();
        return false;
    }
    const bool renamed =
        replace ? ::rename(m_temp.c_str(), m_target.c_str()) == 0 : renameExclusive(m_temp, m_target);
    if (!renamed) {
        fail("Cannot create file", errno);
        abort();
        return false;
    }
    m_temp.clear();
    syncFolder(folderOf(m_target));
    return true;
}

void OutputFile::abort() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

FileResult writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FileResult result;
    OutputFile out;
    result.ok = out.open(path) && out.write(bytes.data(), bytes.size()) && out.commit();
    if (!result.ok) result.error = out.error();
    return result;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool directoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::int64_t fileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

bool renameNoReplace(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (!fs::exists(from, ec) || fs::exists(fs::symlink_status(to, ec))) return false;
#ifndef _WIN32
    // link + unlink never replaces an existing target, even in a race.
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0) return true;
        ::unlink(to.c_str());
        return false;
    }
    if (errno == EEXIST) return false;
#endif
    fs::rename(from, to, ec);
    return !ec;
}

namespace {

// Copies `from` through OutputFile onto `to`.
bool copyFile(const std::string& from, const std::string& to, bool replace) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    OutputFile out;
    bool ok = out.open(to);
    std::vector<std::uint8_t> buffer(1u << 16);
    while (ok) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = out.write(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(in);
    return ok && out.commit({}, replace);
}

} // namespace

bool linkOrCopyNoReplace(const std::string& from, const std::string& to) {
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    switch (errno) {
    case EXDEV: // the link points to another file system
    case EPERM: // no hard links here (or protected links)
    case EMLINK:
    case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return copyFile(from, to, false);
    default:
        return false;
    }
}

bool copyReplace(const std::string& from, const std::string& to) {
    return copyFile(from, to, true);
}

bool removeFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec);
}

int removeStaleTempFiles(const std::string& folder, const std::string& name) {
    const std::string prefix = name.empty() ? "." : tempPrefix(name);
    const std::string dir = folder.empty() ? "." : folder;
    DIR* listing = ::opendir(dir.c_str());
    if (!listing) return 0;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string file = entry->d_name;
        if (file.compare(0, prefix.size(), prefix) != 0) continue;
        const long pid = tempFileOwner(file);
        if (pid > 0 && processGone(pid)) stale.push_back(file);
    }
    ::closedir(listing);
    int removed = 0;
    const std::string base = dir.back() == '/' ? dir : dir + "/";
    for (const auto& file : stale) {
        struct stat st {};
        if (::lstat((base + file).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::unlink((base + file).c_str()) == 0)
            ++removed;
    }
    return removed;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code statEc;
        if (!it->is_regular_file(statEc)) continue;
        std::string name = it->path().filename().string();
        if (!extension.empty() &&
            (name.size() < extension.size() ||
             name.compare(name.size() - extension.size(), extension.size(), extension) != 0))
            continue;
        names.push_back(std::move(name));
    }
    return names;
}

std::string findFileCaseInsensitive(const std::string& folder, const std::string& name) {
    auto lower = [](std::string s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    if (fileExists(folder + name)) return name;
    const std::string wanted = lower(name);
    for (const auto& candidate : listFiles(folder, "")) {
        if (lower(candidate) == wanted) return candidate;
    }
    return {};
}

char pathSeparator() {
    return static_cast<char>(fs::path::preferred_separator);
}

std::string tempFolder() {
    std::error_code ec;
    std::string dir = fs::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = ".";
    if (dir.back() != pathSeparator()) dir += pathSeparator();
    return dir;
}

} // namespace corvane
