// The find tool: command search by exact opcode words, and the clip reference pass
// over a disc folder of real playlists.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "navigation/MovieObject.h"
#include "shell/Session.h"
#include "tools/FindTool.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

TEST(FindTool, CommandSearchMatchesImmediatePlayListOnly) {
    TMOBJ mobj;
    Tmobject first;
    first.navigation_commands = {{0x22800000, 3, 0},  // Play PL 3
                                 {0x22800000, 4, 0},  // another playlist
                                 {0x22C00000, 3, 0},  // playlist number in a register: no match
                                 {0x42C10000, 3, 1}}; // Play PL_PI 3, 1
    Tmobject second;
    second.navigation_commands = {{0x50400001, 3, 0},
                                  {0x42820000, 3, 0x80000002}}; // Move; Play PL_MK 3, PSR2
    mobj.MovieObjects.mobjs = {first, second};
    const auto found = findPlayListCommands(mobj, 3);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].line, 0u);
    EXPECT_EQ(found[1].line, 3u);
    EXPECT_EQ(found[2].object, 1u);
    EXPECT_EQ(
        playListSearchLines(mobj, "00003"),
        (std::vector<std::string>{"", "PlayList [b]00003[/b] found in:", "Object 0000, Command line 0000",
                                  "Object 0000, Command line 0003", "Object 0001, Command line 0001"}));
    EXPECT_EQ(playListSearchLines(mobj, "00009").back(),
              "PlayList [b]00009[/b] is played by no movie-object command.");
}

TEST(FindTool, ClipReferencePass) {
    const fs::path disc = fs::temp_directory_path() / ("corvane-find-" + std::to_string(::getpid()));
    fs::remove_all(disc);
    fs::create_directories(disc / "PLAYLIST");
    const std::string data = CORVANE_TEST_DATA;
    fs::copy_file(data + "/playlist/bdpl-disc1-00000-no-subpath.mpls", disc / "PLAYLIST" / "00001.mpls");
    fs::copy_file(data + "/playlist/bdpl-disc1-00002-subpath-17marks.mpls", disc / "PLAYLIST" / "00002.mpls");
    fs::copy_file(data + "/playlist/bdpl-disc5-00001-0300-extdata.mpls", disc / "PLAYLIST" / "00004.mpls");
    std::ofstream(disc / "PLAYLIST" / "00003.mpls", std::ios::binary) << "MPLS0400" << std::string(60, '\0');

    Session session;
    session.BDMVdir = disc.string() + "/";
    session.playlists = {"00001", "00002", "00003", "00004"};
    session.clips = {"00000", "00001", "00002", "00003", "00004", "99999"};
    const std::vector<TCIRefs> refs = clipReferencePass(session);
    fs::remove_all(disc);
    ASSERT_EQ(refs.size(), session.clips.size());
    // 00001.mpls plays clips 00000 and 00001; 00002.mpls four PlayItems and an IG menu SubPath.
    for (std::size_t c = 0; c < refs.size(); ++c)
        for (const TCIRef& ref : refs[c])
            EXPECT_NE(ref.ref_playlist, 3) << "a refused playlist gives no reference";
    EXPECT_TRUE(refs[5].empty());
    bool sawSub = false;
    for (const auto& list : refs)
        for (const TCIRef& ref : list) sawSub = sawSub || (ref.ref_kind == "s" && ref.ref_playlist == 2);
    EXPECT_TRUE(sawSub);
    // The UHD playlist (0300) plays clips 00002 and 00005.
    bool sawUhd = false;
    for (const TCIRef& ref : refs[2]) sawUhd = sawUhd || (ref.ref_kind == "p" && ref.ref_playlist == 4);
    EXPECT_TRUE(sawUhd);
    ASSERT_FALSE(refs[0].empty());
    EXPECT_EQ(ciRefRows(refs[0])[0], (std::vector<std::string>{"1", "00001", "p", "00000"}));
}

TEST(FindTool, ReferencesOfOnePlaylist) {
    TMPLS mpls;
    TPlayItem item;
    item.Clip_Information_file_name = "00001";
    mpls.PlayList.PlayItems = {item};
    TSubPath path;
    TSubPlayItem sub;
    sub.Clip_Information_file_name = "00002";
    path.SubPlayItems = {sub};
    mpls.PlayList.SubPaths = {path};
    std::vector<TCIRefs> refs;
    addClipReferences(mpls, 1, {"00001", "00002"}, refs);
    mpls.PlayList.SubPaths[0].SubPlayItems[0].Clip_Information_file_name = "00001";
    addClipReferences(mpls, 2, {"00001", "00002"}, refs);
    EXPECT_EQ(refs[0], (TCIRefs{{1, "p", 0}, {2, "p", 0}, {2, "s", 0}}));
    EXPECT_EQ(refs[1], (TCIRefs{{1, "s", 0}}));
    EXPECT_EQ(ciRefRows(refs[0])[2], (std::vector<std::string>{"3", "00002", "s", "00000"}));
}

} // namespace
} // namespace corvane
