// The session's file steps: reading and saving through the session's reporter, with its
// log lines, cancel and file errors.

#include <gtest/gtest.h>

#include <filesystem>

#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"
#include "navigation/MovieObject.h"
#include "navigation/NavTestUtil.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListTestUtil.h"
#include "shell/CaptureSink.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"

namespace corvane {
namespace {

using testing::readPlaylistSample;
using testing::readSample;

TEST(MovieObjectFile, ReadsThroughTheSessionAndReports) {
    const auto folder = std::filesystem::temp_directory_path() / "corvane-mobj-test";
    std::filesystem::create_directories(folder);
    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);
    session.BDMVdir = folder.string() + "/";

    writeWholeFile(session.BDMVdir + session.names.MovieObjectName,
                   readSample("bdpl-disc3-MovieObject.bdmv"));
    TMOBJ mobj;
    EXPECT_EQ(readMovieObjectFile(session, mobj), ReadStatus::Ok);
    EXPECT_EQ(mobj.MovieObjects.mobjs.size(), 3u);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"  Found 3 objects, 0 extended entry."}));
    EXPECT_EQ(sink.beeps, 0);

    auto unknownVersion = readSample("bdpl-disc5-MovieObject-0300.bdmv");
    unknownVersion[5] = '4';
    writeWholeFile(session.BDMVdir + session.names.MovieObjectName, unknownVersion);
    sink.lines.clear();
    EXPECT_EQ(readMovieObjectFile(session, mobj), ReadStatus::FormatError);
    EXPECT_TRUE(mobj.MovieObjects.mobjs.empty());
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"ERROR: Format error MovieObject.bdmv"}));
    EXPECT_TRUE(session.reporter.ErrorRaised);

    std::filesystem::remove_all(folder);
    EXPECT_EQ(readMovieObjectFile(session, mobj), ReadStatus::FileError);
    EXPECT_EQ(sink.fileErrors.size(), 1u);
}

TEST(PlayListRobust, ReadsThroughTheSessionAndKeepsThePreviousOnError) {
    const auto folder = std::filesystem::temp_directory_path() / "corvane-playlist-test";
    std::filesystem::create_directories(folder / "PLAYLIST");
    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);
    session.BDMVdir = folder.string() + "/";
    const std::string path = session.BDMVdir + "PLAYLIST/00001" + session.names.PlayListExt;

    writeWholeFile(path, readPlaylistSample("bdpl-disc1-00002-subpath-17marks.mpls"));
    TMPLS mpls;
    EXPECT_EQ(readPlayListFile(session, "00001", mpls), ReadStatus::Ok);
    EXPECT_EQ(mpls.PlayList.PlayItems.size(), 4u);
    EXPECT_EQ(sink.texts(),
              (std::vector<std::string>{"Reading 00001.mpls",
                                        "4 PlayItem(s), 1 SubPath(s) and 17 PlayListMark(s) found.", ""}));
    EXPECT_EQ(sink.status[0], "Ready.");

    auto unknownVersion = readPlaylistSample("bdpl-disc5-00001-0300-extdata.mpls");
    unknownVersion[5] = '4';
    writeWholeFile(path, unknownVersion);
    sink.lines.clear();
    EXPECT_EQ(readPlayListFile(session, "00001", mpls, true), ReadStatus::FormatError);
    EXPECT_EQ(mpls.PlayList.PlayItems.size(), 4u);
    EXPECT_EQ(sink.texts(),
              (std::vector<std::string>{"Reading 00001.mpls", "ERROR: Invalid format: 00001.mpls"}));
    EXPECT_TRUE(session.reporter.ErrorRaised);

    auto cut = readPlaylistSample("bdpl-disc1-00000-no-subpath.mpls");
    cut.resize(100);
    writeWholeFile(path, cut);
    EXPECT_EQ(readPlayListFile(session, "00001", mpls), ReadStatus::Damaged);
    EXPECT_EQ(mpls.PlayList.PlayItems.size(), 4u);

    // Save writes the model back with its backup beside it.
    EXPECT_TRUE(plsave(session, "00001", mpls));
    std::string error;
    const auto saved = readWholeFile(path, error);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(testing::byteDifference(readPlaylistSample("bdpl-disc1-00002-subpath-17marks.mpls"), *saved),
              "");

    std::filesystem::remove_all(folder);
    EXPECT_EQ(readPlayListFile(session, "00001", mpls), ReadStatus::FileError);
    EXPECT_EQ(sink.fileErrors.size(), 1u);
}

TEST(IGSession, LoadAndSaveThroughTheReporter) {
    const auto folder = std::filesystem::temp_directory_path() / "corvane-menu-test";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "menu.mnu").string();
    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);

    const TMenu original = testing::sampleMenu();
    ASSERT_TRUE(saveIGSFile(session, original, path));
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"Saving IGS menu...", "menu.mnu saved."}));
    EXPECT_EQ(sink.status[0], "Ready.");

    sink.lines.clear();
    TMenu menu;
    EXPECT_EQ(loadMNUFile(session, path, menu), ReadStatus::Ok);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"Reading menu.mnu", "1 ICS, 5 OCS, 2 PCS found."}));
    EXPECT_TRUE(menu.IGSc.pages == original.IGSc.pages);
    EXPECT_FALSE(session.reporter.ErrorRaised);

    // A cancelled extraction leaves its flag set: objects are read, pages are not parsed.
    session.reporter.CancelRequested = true;
    EXPECT_EQ(loadMNUFile(session, path, menu), ReadStatus::Cancelled);
    EXPECT_TRUE(menu.IGSc.pages.empty());
    session.reporter.CancelRequested = false;

    sink.lines.clear();
    EXPECT_EQ(loadMNUFile(session, (folder / "missing.mnu").string(), menu), ReadStatus::FileError);
    EXPECT_EQ(sink.fileErrors.size(), 1u);

    auto bytes = saveIGS(original, IGSaveMode::Mnu).bytes;
    bytes[bytes.size() - 13] = 'X'; // the END frame: what came before is still shown
    writeWholeFile(path, bytes);
    sink.lines.clear();
    EXPECT_EQ(loadMNUFile(session, path, menu), ReadStatus::FormatError);
    EXPECT_TRUE(sink.contains("ERROR: File format error"));
    EXPECT_TRUE(session.reporter.ErrorRaised);
    EXPECT_TRUE(menu.IGSc.pages == original.IGSc.pages);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace corvane
