#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "CaptureSink.h"
#include "io/FileIO.h"
#include "shell/DiscFolder.h"
#include "shell/Session.h"

namespace fs = std::filesystem;

namespace corvane {
namespace {

using testing::CaptureSink;

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A disc folder in a fresh temporary directory: <tmp>/<label>/BDMV/…
class DiscFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root = fs::temp_directory_path() / ("corvane-test-" + std::to_string(rd()));
        bdmv = root / "MY_DISC" / "BDMV";
        for (const char* dir : {"PLAYLIST", "CLIPINF", "BACKUP", "STREAM"})
            fs::create_directories(bdmv / dir);
        // The navigation files of the bundled sample disc.
        const fs::path sample = CORVANE_SAMPLE_DISC;
        fs::copy_file(sample / "index.bdmv", bdmv / "index.bdmv");
        fs::copy_file(sample / "MovieObject.bdmv", bdmv / "MovieObject.bdmv");
        indexBytes = readText(bdmv / "index.bdmv");
        mobjBytes = readText(bdmv / "MovieObject.bdmv");
        session.reporter.setSink(&sink);
        session.BDMVdir = bdmv.string() + "/";
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root, bdmv;
    std::string indexBytes, mobjBytes;
    CaptureSink sink;
    Session session;
};

TEST_F(DiscFolderTest, CheckLinesOfACompleteFolder) {
    writeText(bdmv / "PLAYLIST" / "00001.mpls", "x");
    writeText(bdmv / "PLAYLIST" / "00000.mpls", "x");
    writeText(bdmv / "PLAYLIST" / "notes.txt", "x");
    writeText(bdmv / "CLIPINF" / "00000.clpi", "x");
    writeText(bdmv / "CLIPINF" / "00001.clpi", "x");
    writeText(bdmv / "STREAM" / "00000.m2ts", std::string(192 * 3, 'G'));
    const auto result = readFolder(session);
    EXPECT_TRUE(result.checked);
    EXPECT_FALSE(session.reporter.ErrorRaised);

    const auto lines = sink.texts();
    const std::vector<std::string> head(lines.begin(), lines.begin() + 6);
    EXPECT_EQ(head,
              (std::vector<std::string>{"Checking required files and directories...", "PLAYLIST folder: OK",
                                        "CLIPINF folder: OK", "BACKUP folder: OK", "index.bdmv: OK",
                                        "MovieObject.bdmv: OK"}));
    EXPECT_TRUE(sink.contains("  Found 2 playlists."));
    EXPECT_TRUE(sink.contains("  Found 2 clipinfos."));
    EXPECT_TRUE(sink.contains("AUXDATA folder: missing"));
    EXPECT_TRUE(sink.contains("  Stream 00001.m2ts missing"));
    EXPECT_TRUE(sink.contains("  Found 1 AV streams, missing 1"));
    EXPECT_TRUE(sink.contains("JAR folder: missing"));
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(session.playlists, (std::vector<std::string>{"00000", "00001"}));

    // A missing stream keeps its place in the list with an empty name and size 0.
    ASSERT_EQ(session.AVStreams.size(), 2u);
    EXPECT_EQ(session.AVStreams[0].stream_file_name, "00000.m2ts");
    EXPECT_EQ(session.AVStreams[0].stream_file_size, 576);
    EXPECT_EQ(session.AVStreams[1].stream_file_name, "");
    EXPECT_EQ(session.AVStreams[1].stream_file_size, 0);
    EXPECT_EQ(session.discLabel, "MY_DISC");

    // The folder name is blue and OK bold; missing is red.
    const auto* ok = sink.find("PLAYLIST folder: OK");
    ASSERT_NE(ok, nullptr);
    ASSERT_EQ(ok->spans.size(), 2u);
    EXPECT_EQ(ok->spans[0].style.rgb, 0x0000FFu);
    EXPECT_TRUE(ok->spans[1].style.bold);
    const auto* missing = sink.find("AUXDATA folder: missing");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->spans.back().style.rgb, 0xFF0000u);
}

TEST_F(DiscFolderTest, ReadingAFolderLoadsMovieObjectsThenTheIndex) {
    ASSERT_TRUE(readFolder(session).checked);
    EXPECT_TRUE(session.navigationReadable());
    EXPECT_EQ(session.mobj.MovieObjects.mobjs.size(), 4u);
    EXPECT_EQ(session.index.Indexes.titles.size(), 2u);
    const auto lines = sink.texts();
    const auto at = [&](const std::string& text) {
        return std::find(lines.begin(), lines.end(), text) - lines.begin();
    };
    EXPECT_LT(at("Reading MovieObject.bdmv"), at("  Found 4 objects, 0 extended entry."));
    EXPECT_LT(at("  Found 4 objects, 0 extended entry."), at("Reading playlists"));
    EXPECT_LT(at("  Found 0 clipinfos."), at("Reading index.bdmv"));
    EXPECT_LT(at("Reading index.bdmv"), at("  Found 2 titles, 0 extended entry."));
    EXPECT_LT(at("  Found 2 titles, 0 extended entry."), static_cast<std::ptrdiff_t>(lines.size()));
}

TEST_F(DiscFolderTest, FormatErrorsAreReportedAndTheReadGoesOn) {
    writeText(bdmv / "MovieObject.bdmv", "XOBJ0200");
    writeText(bdmv / "index.bdmv", "INDX0200"); // cut short after its header
    ASSERT_TRUE(readFolder(session).checked);
    EXPECT_TRUE(sink.contains("ERROR: Format error MovieObject.bdmv"));
    EXPECT_TRUE(sink.contains("  Found 0 playlists."));
    bool indexError = false;
    for (const auto& text : sink.texts())
        indexError = indexError || text.rfind("ERROR: index.bdmv format error at $", 0) == 0;
    EXPECT_TRUE(indexError);
    EXPECT_FALSE(session.navigationReadable());
}

TEST_F(DiscFolderTest, MissingBackupFailsTheCheck) {
    fs::remove_all(bdmv / "BACKUP");
    const auto result = readFolder(session);
    EXPECT_FALSE(result.checked);
    EXPECT_TRUE(sink.contains("BACKUP folder: missing"));
    EXPECT_TRUE(sink.contains("MovieObject.bdmv: OK")); // every item is still checked
    EXPECT_EQ(sink.lines.back().text, "ERROR: Check failed.");
    EXPECT_TRUE(session.reporter.ErrorRaised);
    EXPECT_TRUE(sink.badge);
    EXPECT_TRUE(session.playlists.empty());
}

TEST_F(DiscFolderTest, EightThreeNames) {
    session.options.use83names = true;
    session.applyOptions();
    writeText(bdmv / "INDEX.BDM", "x");
    writeText(bdmv / "MOVIEOBJ.BDM", "x");
    writeText(bdmv / "PLAYLIST" / "00000.MPL", "x");
    writeText(bdmv / "CLIPINF" / "00000.CLP", "x");
    writeText(bdmv / "STREAM" / "00000.MTS", "x");
    fs::create_directories(bdmv / "AUXDATA");
    writeText(bdmv / "AUXDATA" / "sound.bdmv", "x");
    const auto result = readFolder(session);
    EXPECT_TRUE(result.checked);
    EXPECT_TRUE(result.soundFound); // sound.bdmv keeps its long name
    EXPECT_TRUE(sink.contains("INDEX.BDM: OK"));
    EXPECT_TRUE(sink.contains("MOVIEOBJ.BDM: OK"));
    EXPECT_TRUE(sink.contains("  Found 1 playlists."));
    EXPECT_TRUE(sink.contains("  Found 1 AV streams"));
    EXPECT_EQ(session.AVStreams[0].stream_file_name, "00000.MTS");
}

TEST_F(DiscFolderTest, ChooserAndLabelRules) {
    const std::string holder = (root / "MY_DISC").string();
    EXPECT_EQ(bdmvFolderFromChosen(holder), holder + "/BDMV/");
    EXPECT_EQ(bdmvFolderFromChosen(holder + "/"), holder + "/BDMV/");
    EXPECT_EQ(bdmvFolderFromChosen(holder + "/BDMV"), holder + "/BDMV/");
    EXPECT_EQ(bdmvFolderFromChosen(holder + "/bdmv"), holder + "/bdmv/BDMV/"); // case-sensitive
    EXPECT_EQ(chooserStartFolder(holder + "/BDMV/"), holder + "/");
    EXPECT_EQ(bdmvFolderFromArgument((bdmv / "index.bdmv").string()), bdmv.string() + "/");
    EXPECT_EQ(disclabel(holder + "/BDMV/"), "MY_DISC");
}

TEST_F(DiscFolderTest, BackupOnlyFirstKeepsTheFirstBackup) {
    session.options.BackupMode = static_cast<int>(BackupMode::OnlyFirst);
    const std::string folder = session.BDMVdir;
    ASSERT_TRUE(saveDiscFile(session, folder, "index.bdmv", {'N', '1'}));
    EXPECT_EQ(readText(bdmv / "index.bdmv.backup"), indexBytes);
    ASSERT_TRUE(saveDiscFile(session, folder, "index.bdmv", {'N', '2'}));
    EXPECT_EQ(readText(bdmv / "index.bdmv.backup"), indexBytes);
    EXPECT_EQ(readText(bdmv / "index.bdmv"), "N2");
    EXPECT_TRUE(sink.contains("Saving index.bdmv"));
    EXPECT_TRUE(sink.contains("index.bdmv saved."));
}

TEST_F(DiscFolderTest, BackupOverwriteReplacesTheBackup) {
    session.options.BackupMode = static_cast<int>(BackupMode::Overwrite);
    ASSERT_TRUE(saveDiscFile(session, session.BDMVdir, "index.bdmv", {'N', '1'}));
    ASSERT_TRUE(saveDiscFile(session, session.BDMVdir, "index.bdmv", {'N', '2'}));
    EXPECT_EQ(readText(bdmv / "index.bdmv.backup"), "N1");
    EXPECT_EQ(readText(bdmv / "index.bdmv"), "N2");
}

TEST_F(DiscFolderTest, BackupStopIfExistsRefusesToWrite) {
    session.options.BackupMode = static_cast<int>(BackupMode::StopIfExists);
    writeText(bdmv / "index.bdmv.backup", "OLD");
    EXPECT_FALSE(saveDiscFile(session, session.BDMVdir, "index.bdmv", {'N', '1'}));
    EXPECT_EQ(readText(bdmv / "index.bdmv"), indexBytes);
    EXPECT_EQ(readText(bdmv / "index.bdmv.backup"), "OLD");
    EXPECT_TRUE(sink.contains("ERROR: Cannot create backup file."));
    // The next writer of the same Save still runs.
    EXPECT_TRUE(saveDiscFile(session, session.BDMVdir, "MovieObject.bdmv", {'M'}));
    EXPECT_EQ(readText(bdmv / "MovieObject.bdmv.backup"), mobjBytes);
}

TEST_F(DiscFolderTest, BackupsOffAndTheBackupFolderCopy) {
    session.options.Backup = false;
    session.options.SaveBACKUP = true;
    ASSERT_TRUE(saveDiscFile(session, session.BDMVdir, "index.bdmv", {'N'}, false, true));
    EXPECT_FALSE(fs::exists(bdmv / "index.bdmv.backup"));
    EXPECT_EQ(readText(bdmv / "BACKUP" / "index.bdmv"), "N");

    // The sound writer makes a new file without a backup error.
    session.options.Backup = true;
    fs::create_directories(bdmv / "AUXDATA");
    const std::string aux = session.BDMVdir + "AUXDATA/";
    EXPECT_TRUE(saveDiscFile(session, aux, "sound.bdmv", {'S'}, true));
    EXPECT_FALSE(session.reporter.ErrorRaised);
    EXPECT_FALSE(fs::exists(bdmv / "BACKUP" / "sound.bdmv"));
}

TEST_F(DiscFolderTest, AWriteThatCannotCreateItsFileReportsIt) {
    session.options.Backup = false;
    EXPECT_FALSE(saveDiscFile(session, session.BDMVdir + "NOFOLDER/", "index.bdmv", {'N'}));
    ASSERT_EQ(sink.fileErrors.size(), 1u);
    EXPECT_NE(sink.fileErrors[0].find("index.bdmv"), std::string::npos);
}

TEST_F(DiscFolderTest, TemporaryFileCleanupTouchesOnlyItsOwnFiles) {
    const fs::path temp = root / "tmp";
    writeText(temp / "Corvane_menu_resource.tmp", "x");
    writeText(temp / "Corvane_IGSsave", "x");
    writeText(temp / "_Corvane_tmppes", "x");
    writeText(temp / "other.tmp", "x");
    EXPECT_EQ(cleanupTempFiles(temp.string() + "/"), 2);
    EXPECT_TRUE(fs::exists(temp / "_Corvane_tmppes"));
    EXPECT_TRUE(fs::exists(temp / "other.tmp"));
    EXPECT_FALSE(fs::exists(temp / "Corvane_IGSsave"));
}

TEST_F(DiscFolderTest, AFolderThatDoesNotExistFailsCleanly) {
    session.BDMVdir = (root / "nowhere" / "BDMV").string() + "/";
    EXPECT_FALSE(readFolder(session).checked);
    EXPECT_TRUE(sink.contains("PLAYLIST folder: missing"));
}

} // namespace
} // namespace corvane
