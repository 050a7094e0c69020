// "-> Menu": the IG stream of the clip last read, extracted and read as the menu in memory.

#include <gtest/gtest.h>

#include <filesystem>

#include "io/FileIO.h"
#include "menu/MenuTestUtil.h"
#include "shell/CaptureSink.h"
#include "shell/ClipMenu.h"
#include "shell/Session.h"
#include "stream/Mux.h"

namespace corvane {
namespace {

TEST(ClipMenu, TheClipsIgStreamReplacesTheMenuInMemory) {
    const auto root = std::filesystem::temp_directory_path() / "corvane-clip-menu-test";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "BDMV" / "STREAM");
    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);
    session.BDMVdir = (root / "BDMV").string() + pathSeparator();
    const TMenu original = testing::sampleMenu();
    const std::string m2ts = session.BDMVdir + "STREAM" + pathSeparator() + "00004.m2ts";
    ASSERT_TRUE(Mux(session.reporter, original, m2ts));
    session.clips = {"00003", "00004"};
    session.AVStreams = {{"", 0},
                         {"00004.m2ts", static_cast<std::int64_t>(std::filesystem::file_size(m2ts))}};
    session.menu = createMenu();
    const TMenu created = session.menu;

    // Before a clip is read, and for a clip without its m2ts, nothing is extracted.
    EXPECT_EQ(loadStreamToMenu(session, MenuIgPid), std::nullopt);
    session.clpiName = "00003";
    EXPECT_EQ(loadStreamToMenu(session, MenuIgPid), std::nullopt);
    EXPECT_TRUE(session.menu.IGSc.pages == created.IGSc.pages);

    session.clpiName = "00004";
    sink.lines.clear();
    EXPECT_EQ(loadStreamToMenu(session, MenuIgPid), ReadStatus::Ok);
    EXPECT_TRUE(std::filesystem::exists(streamMenuFile()));
    EXPECT_TRUE(session.menu.IGSc.pages == original.IGSc.pages);
    EXPECT_EQ(session.menu.IGObjects.size(), original.IGObjects.size());
    EXPECT_TRUE(sink.contains("1 ICS, 5 OCS, 2 PCS found."));

    // A PID the stream does not carry: the extraction fails and the menu read stays.
    EXPECT_EQ(loadStreamToMenu(session, 0x1401), std::nullopt);
    EXPECT_TRUE(session.reporter.ErrorRaised);
    EXPECT_TRUE(session.menu.IGSc.pages == original.IGSc.pages);
    std::filesystem::remove_all(root);
}

} // namespace
} // namespace corvane
