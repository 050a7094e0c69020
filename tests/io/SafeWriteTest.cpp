// Saves on the file system as users meet it: links, FIFOs and device nodes as targets,
// a name planted at the temporary file's place, permission bits, write-protected files,
// a full file system and a writer killed in the middle of a save.
//
// Every node, link and mount lives in the test's own temporary folder.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "io/FileIO.h"
#include "shell/CaptureSink.h"
#include "shell/DiscFolder.h"
#include "shell/Session.h"

namespace fs = std::filesystem;

namespace corvane {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Names in a folder that a save may leave behind: its temporary files.
std::vector<std::string> hiddenFiles(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string()[0] == '.') names.push_back(entry.path().filename().string());
    return names;
}

class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("corvane-safewrite-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (!mounted.empty()) ::umount2(mounted.c_str(), MNT_DETACH);
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    // A small tmpfs inside the test folder; false when mounting is not permitted.
    bool mountTmpfs(const fs::path& at, const char* options) {
        fs::create_directories(at);
        if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options) != 0) return false;
        mounted = at.string();
        return true;
    }
    fs::path dir;
    std::string mounted;
};

TEST_F(SafeWrite, ALinkIsWrittenThroughToItsTarget) {
    fs::create_directories(dir / "store");
    writeText(dir / "store" / "index.bdmv", "OLD");
    // A chain of two links, the first relative.
    fs::create_symlink("store/index.bdmv", dir / "middle");
    fs::create_symlink(dir / "middle", dir / "index.bdmv");
    ASSERT_TRUE(writeWholeFile((dir / "index.bdmv").string(), bytesOf("NEW")).ok);
    EXPECT_TRUE(fs::is_symlink(dir / "index.bdmv"));
    EXPECT_TRUE(fs::is_symlink(dir / "middle"));
    EXPECT_EQ(readText(dir / "store" / "index.bdmv"), "NEW");
    EXPECT_TRUE(hiddenFiles(dir / "store").empty());

    // A link to a file not there yet makes that file.
    fs::create_symlink("store/new.mpls", dir / "dangling");
    ASSERT_TRUE(writeWholeFile((dir / "dangling").string(), bytesOf("N")).ok);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_EQ(readText(dir / "store" / "new.mpls"), "N");
}

TEST_F(SafeWrite, FifosAndDevicesAreWrittenStraightAndKept) {
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = readText(fifo); });
    const std::string big(300000, 'F'); // more than a pipe holds at once
    const FileResult written = writeWholeFile(fifo.string(), bytesOf(big));
    reader.join();
    EXPECT_TRUE(written.ok) << written.error;
    EXPECT_EQ(received, big);
    EXPECT_TRUE(fs::is_fifo(fifo));

    const fs::path null = dir / "null", full = dir / "full";
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "mknod not permitted";
    EXPECT_TRUE(writeWholeFile(null.string(), bytesOf(big)).ok);
    EXPECT_TRUE(fs::is_character_file(null));
    const FileResult refused = writeWholeFile(full.string(), bytesOf(big));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("No space left on device"), std::string::npos) << refused.error;
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_TRUE(hiddenFiles(dir).empty());
}

TEST_F(SafeWrite, DirectoriesAndOtherNodesAreRefused) {
    fs::create_directories(dir / "folder.mnu");
    const FileResult folder = writeWholeFile((dir / "folder.mnu").string(), bytesOf("x"));
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(folder.error, "Cannot create file \"" + (dir / "folder.mnu").string() + "\". Is a directory.");
    EXPECT_TRUE(fs::is_directory(dir / "folder.mnu"));

    const fs::path socketPath = dir / "socket";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", socketPath.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    const FileResult node = writeWholeFile(socketPath.string(), bytesOf("x"));
    ::close(fd);
    EXPECT_FALSE(node.ok);
    EXPECT_NE(node.error.find("Not a file, FIFO or character device."), std::string::npos) << node.error;
    EXPECT_TRUE(fs::is_socket(socketPath));
    EXPECT_TRUE(hiddenFiles(dir).empty());
}

TEST_F(SafeWrite, APlantedLinkCannotRedirectTheSave) {
    writeText(dir / "victim", "PRECIOUS");
    writeText(dir / "00000.mpls", "OLD");
    // The fixed temporary name of earlier versions, planted by someone else.
    fs::create_symlink(dir / "victim", dir / "00000.mpls.corvane-new");
    ASSERT_TRUE(writeWholeFile((dir / "00000.mpls").string(), bytesOf("NEW")).ok);
    EXPECT_EQ(readText(dir / "victim"), "PRECIOUS");
    EXPECT_FALSE(fs::is_symlink(dir / "00000.mpls"));
    EXPECT_EQ(readText(dir / "00000.mpls"), "NEW");
}

TEST_F(SafeWrite, PermissionBitsStayAndProtectedFilesAreRefused) {
    const fs::path secret = dir / "secret.mnu";
    writeText(secret, "OLD");
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeWholeFile(secret.string(), bytesOf("NEW")).ok);
    EXPECT_EQ(fs::status(secret).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const mode_t old = ::umask(022);
    ASSERT_TRUE(writeWholeFile((dir / "fresh").string(), bytesOf("x")).ok);
    ::umask(old);
    EXPECT_EQ(fs::status(dir / "fresh").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);

    // Read-only for everyone: refused even for root, and left as it was.
    const fs::path locked = dir / "locked.bdmv";
    writeText(locked, "KEEP");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read);
    const FileResult refused = writeWholeFile(locked.string(), bytesOf("NEW"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "Cannot create file \"" + locked.string() + "\". Permission denied.");
    EXPECT_EQ(readText(locked), "KEEP");
    EXPECT_TRUE(hiddenFiles(dir).empty());
}

// A disc folder's save path: saveDiscFile with the backup step.
class SafeSave : public SafeWrite {
protected:
    void SetUp() override {
        SafeWrite::SetUp();
        session.reporter.setSink(&sink);
        session.options.Backup = true;
        session.options.BackupMode = static_cast<int>(BackupMode::OnlyFirst);
    }
    testing::CaptureSink sink;
    Session session;
};

TEST_F(SafeSave, AFullFileSystemKeepsTheOriginal) {
    const fs::path aux = dir / "AUXDATA";
    if (!mountTmpfs(aux, "size=64k")) GTEST_SKIP() << "mount not permitted";
    const std::string old(20000, 'o');
    writeText(aux / "sound.bdmv", old);
    const std::string folder = aux.string() + "/";
    EXPECT_FALSE(saveDiscFile(session, folder, "sound.bdmv", std::vector<std::uint8_t>(100000, 'n'), true));
    EXPECT_EQ(readText(aux / "sound.bdmv"), old);
    EXPECT_FALSE(fs::exists(aux / "sound.bdmv.backup"));
    EXPECT_TRUE(hiddenFiles(aux).empty());
    ASSERT_EQ(sink.fileErrors.size(), 1u);
    EXPECT_NE(sink.fileErrors[0].find("No space left on device"), std::string::npos) << sink.fileErrors[0];

    // What fits is saved, the old file kept as the backup.
    EXPECT_TRUE(saveDiscFile(session, folder, "sound.bdmv", std::vector<std::uint8_t>(1000, 'n'), true));
    EXPECT_EQ(readText(aux / "sound.bdmv"), std::string(1000, 'n'));
    EXPECT_EQ(readText(aux / "sound.bdmv.backup"), old);
}

TEST_F(SafeSave, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
    // Two large versions of one file, told apart by their size and first byte.
    const std::string first(3u << 20, 'A'), second((2u << 20) + 7, 'B');
    const fs::path file = dir / "menu.mnu";
    writeText(file, first);
    const std::string folder = dir.string() + "/";
    ASSERT_TRUE(
        saveDiscFile(session, folder, "menu.mnu", std::vector<std::uint8_t>(first.begin(), first.end())));
    for (int round = 0; round < 24; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child saves back and forth until it is killed.
            NullSink quiet;
            Session own;
            own.reporter.setSink(&quiet);
            own.options = session.options;
            const std::vector<std::uint8_t> a(first.begin(), first.end()), b(second.begin(), second.end());
            for (int i = 0;; ++i) saveDiscFile(own, folder, "menu.mnu", i % 2 ? a : b);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500 + round * 1700));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = readText(file);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
        ASSERT_TRUE(readText(dir / "menu.mnu.backup") == first) << "round " << round;
    }
    // The leftovers of the killed writers go at the next start.
    removeStaleTempFiles(folder);
    EXPECT_TRUE(hiddenFiles(dir).empty());
}

} // namespace
} // namespace corvane
