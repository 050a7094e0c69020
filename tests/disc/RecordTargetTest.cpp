// The page and the selections a record path leads the desktop program to.

#include <gtest/gtest.h>

#include "disc/RecordTarget.h"

namespace corvane {
namespace {

TEST(RecordTarget, EveryKindLeadsToItsPageAndRecord) {
    const RecordPath playlist = RecordPath{}.then("playlist", "00001");
    RecordTarget t = recordTarget(playlist.then("PlayItem", 2).then("STN Au", 3), "PLAYLIST/00001.mpls");
    EXPECT_EQ(t.page, RecordPage::PlayList);
    EXPECT_EQ(t.name, "00001");
    EXPECT_EQ(t.playItem, 2);
    EXPECT_EQ(t.stnList, 1);
    EXPECT_EQ(t.stnEntry, 2); // STN entries count from 1
    t = recordTarget(playlist.then("SubPath", 1).then("SubPlayItem", 0));
    EXPECT_EQ(std::make_pair(t.subPath, t.subPlayItem), std::make_pair(1, 0));
    EXPECT_EQ(recordTarget(playlist.then("mark", 4)).mark, 4);

    t = recordTarget(RecordPath{}.then("object", 5).then("line", 12), "MovieObject.bdmv");
    EXPECT_EQ(t.page, RecordPage::Bdmv);
    EXPECT_EQ(std::make_pair(t.object, t.line), std::make_pair(5, 12));
    t = recordTarget(RecordPath{}.then("title", 3));
    EXPECT_EQ(std::make_pair(t.title, t.object), std::make_pair(2, -1)); // title 3 is the third row
    t = recordTarget(RecordPath{}.then("title", "First Playback").then("object", 0));
    EXPECT_EQ(std::make_pair(t.title, t.object), std::make_pair(-1, 0));

    t = recordTarget(RecordPath{}.then("menu", "00003 PID 1401").then("page", 2).then("button", 7));
    EXPECT_EQ(t.page, RecordPage::Menu);
    EXPECT_EQ(t.name, "00003");
    EXPECT_EQ(t.pid, 0x1401);
    EXPECT_EQ(std::make_pair(t.menuPage, t.button), std::make_pair(2, 7));

    t = recordTarget(RecordPath{}.then("clip", "00007"));
    EXPECT_EQ(std::make_pair(t.page, t.name), std::make_pair(RecordPage::Clip, std::string("00007")));
    t = recordTarget(RecordPath{}.then("bdjo", "00000").then("accessible playlist", 1));
    EXPECT_EQ(std::make_pair(t.page, t.name), std::make_pair(RecordPage::Bdjo, std::string("00000")));
}

TEST(RecordTarget, WithoutAPathTheFileNamesThePage) {
    EXPECT_EQ(recordTarget({}, "PLAYLIST/00002.mpls").name, "00002");
    EXPECT_EQ(recordTarget({}, "PLAYLIST/00002.mpls").page, RecordPage::PlayList);
    EXPECT_EQ(recordTarget({}, "CLIPINF/00004.CPI").page, RecordPage::Clip);
    EXPECT_EQ(recordTarget({}, "STREAM/00004.m2ts").name, "00004");
    EXPECT_EQ(recordTarget({}, "BDJO/00000.bdjo").page, RecordPage::Bdjo);
    EXPECT_EQ(recordTarget({}, "INDEX.BDM").page, RecordPage::Bdmv);
    EXPECT_EQ(recordTarget({}, "AUXDATA/sound.bdmv").page, RecordPage::Bdmv);
    // Copies a player would list are no file of the disc: no page opens on them.
    EXPECT_EQ(recordTarget({}, "PLAYLIST/00002.mpls.backup").page, RecordPage::None);
    EXPECT_EQ(recordTarget({}, "STREAM/00001 (copy).m2ts").page, RecordPage::None);
    EXPECT_EQ(recordTarget({}, "").page, RecordPage::None);
}

} // namespace
} // namespace corvane
