#include "io/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

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

FileResult writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FileResult result;
    const std::string temp = path + ".corvane-new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            result.error = "Cannot create file \"" + path + "\". " + std::strerror(errno) + ".";
            return result;
        }
        if (!bytes.empty()) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            result.error = "Cannot write file \"" + path + "\". " + std::strerror(errno) + ".";
            std::error_code ec;
            fs::remove(temp, ec);
            return result;
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        result.error = "Cannot create file \"" + path + "\". " + ec.message() + ".";
        fs::remove(temp, ec);
        return result;
    }
    result.ok = true;
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

bool copyReplace(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    return !ec;
}

bool removeFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec);
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
            (name.size() < extension.size() || name.compare(name.size() - extension.size(), extension.size(), extension) != 0))
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

char pathSeparator() { return static_cast<char>(fs::path::preferred_separator); }

std::string tempFolder() {
    std::error_code ec;
    std::string dir = fs::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = ".";
    if (dir.back() != pathSeparator()) dir += pathSeparator();
    return dir;
}

} // namespace corvane
