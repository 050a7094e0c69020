// The disc check and the disc report on a small disc of real clip information files:
// each planted fault gives exactly its own finding, nothing else.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "disc/DiscCheck.h"
#include "disc/DiscReport.h"
#include "io/FileIO.h"
#include "menu/IGMenu.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string Data = CORVANE_TEST_DATA;

std::string key(const Finding& f) {
    return f.code + "|" + f.file + "|" + f.where.text() + "|" + f.message;
}

// An object as a read menu holds it: fragments of run-length data, no picture.
TIGobject presentObject(std::uint16_t id, std::uint16_t width, std::uint16_t height) {
    TIGobject object;
    object.object_id = id;
    object.object_width = width;
    object.object_height = height;
    object.fragments.push_back({});
    return object;
}

class DiscCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root =
            fs::temp_directory_path() / ("corvane-disc-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::copy(Data + "/interop-disc1", m_root, fs::copy_options::recursive);
        fs::create_directories(bdmv() / "BACKUP");
        fs::copy_file(Data + "/playlist/bdpl-disc1-00002-subpath-17marks.mpls",
                      bdmv() / "PLAYLIST" / "00002.mpls");
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path bdmv() const { return m_root / "BDMV"; }

    // The disc as read, with every clip's stream file there and of the clip's size.
    DiscModel load() const {
        DiscModel disc = loadDisc(m_root.string());
        disc.streamFolderPresent = true;
        for (DiscClip& clip : disc.clips) {
            clip.stream.stream_file_name = clip.name + ".m2ts";
            clip.stream.stream_file_size =
                static_cast<std::int64_t>(clip.clpi.ClipInfo.number_of_source_packets) * 192;
        }
        DiscMenu menu;
        menu.clip = "00002";
        menu.pid = 0x1400;
        menu.read.status = ReadStatus::Ok;
        menu.menu = createMenu();
        disc.menus.push_back(menu);
        return disc;
    }

    // The findings `disc` has beyond those of `base`.
    static std::vector<Finding> added(const DiscModel& base, const DiscModel& disc) {
        std::set<std::string> before;
        for (const Finding& f : discCheck(base).findings) before.insert(key(f));
        std::vector<Finding> out;
        for (const Finding& f : discCheck(disc).findings)
            if (before.count(key(f)) == 0) out.push_back(f);
        return out;
    }

    fs::path m_root;
};

TEST_F(DiscCheckTest, EachPlantedFaultGivesExactlyItsFinding) {
    const DiscModel base = load();
    ASSERT_EQ(base.playlists.size(), 1u);
    ASSERT_TRUE(base.playlists[0].read.usable());
    ASSERT_TRUE(base.mobjRead.usable() && base.indexRead.usable());

    auto command = [](std::uint32_t opcode, std::uint32_t destination, std::uint32_t source = 0) {
        return TNavCommand{opcode, destination, source};
    };
    auto append = [](DiscModel& d, TNavCommand c) {
        d.mobj.MovieObjects.mobjs[0].navigation_commands.push_back(c);
    };
    auto items = [](DiscModel& d) -> std::vector<TPlayItem>& {
        return d.playlists[0].mpls.PlayList.PlayItems;
    };

    const std::vector<std::pair<std::string, std::function<void(DiscModel&)>>> faults = {
        {"object-ref-missing",
         [](DiscModel& d) {
             d.index.Indexes.titles.push_back(d.index.Indexes.titles[0]);
             d.index.Indexes.titles.back().mobj_id_ref = 999;
         }},
        {"bdjo-missing",
         [](DiscModel& d) {
             TTitleEntry title = d.index.Indexes.titles[0];
             title.object_type = ObjectTypeBDJ;
             title.bdjo_file_name = "00077";
             d.index.Indexes.titles.push_back(title);
         }},
        {"title-ref-missing", [&](DiscModel& d) { append(d, command(0x21810000, 999)); }},
        {"playlist-missing", [&](DiscModel& d) { append(d, command(0x22800000, 777)); }},
        {"playitem-ref-missing", [&](DiscModel& d) { append(d, command(0x42C10000, 2, 99)); }},
        {"mark-ref-missing", [&](DiscModel& d) { append(d, command(0x42C20000, 2, 99)); }},
        {"goto-past-end", [&](DiscModel& d) { append(d, command(0x20810000, 500)); }},
        {"command-invalid", [&](DiscModel& d) { append(d, command(0xFFFFFFFF, 0)); }},
        {"clip-missing",
         [&](DiscModel& d) {
             TPlayItem& item = items(d)[0];
             item.is_multi_angle = 1;
             item.multi_clip.angles = {{item.Clip_Information_file_name, "M2TS", 0}, {"99999", "M2TS", 0}};
         }},
        {"stream-file-missing", [](DiscModel& d) { d.clips[3].stream = {}; }},
        {"stream-size-mismatch", [](DiscModel& d) { d.clips[3].stream.stream_file_size += 1; }},
        {"stn-pid-not-in-clip",
         [&](DiscModel& d) { items(d)[0].STN.video[0].ref_to_stream_PID_of_mainClip = 0x1FFF; }},
        {"stn-coding-mismatch", [&](DiscModel& d) { items(d)[0].STN.video[0].stream_coding_type = 0x02; }},
        {"stn-subpath-missing",
         [&](DiscModel& d) {
             TStreamEntry& entry = items(d)[0].STN.audio[0];
             entry.stream_type = 3;
             entry.ref_to_SubPath_id = 50;
         }},
        {"playitem-empty",
         [&](DiscModel& d) {
             TPlayItem item = items(d)[0];
             item.OUT_time = item.IN_time;
             items(d).push_back(item);
         }},
        {"playitem-outside-clip",
         [&](DiscModel& d) {
             TPlayItem item = items(d)[0];
             const TCLPI& clip = d.clip(item.Clip_Information_file_name)->clpi;
             item.OUT_time =
                 clip.SequenceInfo.ATC_sequences[0].STC_sequences[0].presentation_end_time + 45000;
             items(d).push_back(item);
         }},
        {"mark-outside-playitems",
         [&](DiscModel& d) {
             TMarkEntry mark;
             mark.mark_type = 1;
             mark.mark_time_stamp = items(d)[0].OUT_time + 4500;
             d.playlists[0].mpls.PlayListMark.marks.push_back(mark);
         }},
        {"button-neighbour-missing",
         [](DiscModel& d) { d.menus[0].menu.IGSc.pages[0].BOGs[0].buttons[0].left_button_id_ref = 77; }},
        {"default-button-missing",
         [](DiscModel& d) { d.menus[0].menu.IGSc.pages[0].default_selected_button_id_ref = 55; }},
        {"sound-id-missing",
         [](DiscModel& d) {
             d.menus[0].menu.IGSc.pages[0].BOGs[0].buttons[0].selected_state_sound_id_ref = 3;
         }},
        {"menu-object-too-large",
         [](DiscModel& d) { d.menus[0].menu.IGObjects.push_back(presentObject(0, 4000, 10)); }},
        {"menu-objects-over-buffer",
         [](DiscModel& d) {
             for (std::uint16_t id = 0; id < 9; ++id)
                 d.menus[0].menu.IGObjects.push_back(presentObject(id, 1920, 1080));
         }},
        {"menu-object-outside-video",
         [](DiscModel& d) {
             d.menus[0].menu.IGObjects.push_back(presentObject(0, 10, 10));
             d.menus[0].menu.IGPalettes.emplace_back();
             TIGbutton& button = d.menus[0].menu.IGSc.pages[0].BOGs[0].buttons[0];
             button.normal_start_object_id_ref = button.normal_end_object_id_ref = 0;
             button.button_horizontal_position = 1915;
         }},
        {"menu-object-missing",
         [](DiscModel& d) {
             d.menus[0].menu.IGPalettes.emplace_back();
             TIGbutton& button = d.menus[0].menu.IGSc.pages[0].BOGs[0].buttons[0];
             button.selected_start_object_id_ref = button.selected_end_object_id_ref = 7;
         }},
        {"menu-palette-missing",
         [](DiscModel& d) {
             d.menus[0].menu.IGObjects.push_back(presentObject(0, 10, 10));
             TIGbutton& button = d.menus[0].menu.IGSc.pages[0].BOGs[0].buttons[0];
             button.normal_start_object_id_ref = button.normal_end_object_id_ref = 0;
         }},
        {"menu-palette-entry-reserved",
         [](DiscModel& d) {
             d.menus[0].menu.IGPalettes.emplace_back();
             d.menus[0].menu.IGPalettes[0].entries[255] = {10, 20, 30, 255};
         }},
        {"playlist-unreferenced",
         [](DiscModel& d) {
             DiscPlayList copy = d.playlists[0];
             copy.name = "00500";
             d.playlists.push_back(copy);
         }},
        {"clip-unreferenced",
         [](DiscModel& d) {
             DiscClip copy = d.clips.back();
             copy.name = "00500";
             d.clips.push_back(copy);
         }},
        {"object-unreferenced", [](DiscModel& d) { d.mobj.MovieObjects.mobjs.push_back({}); }},
    };
    std::set<std::string> planted;
    for (const auto& [code, plant] : faults) {
        SCOPED_TRACE(code);
        planted.insert(code);
        DiscModel disc = base;
        plant(disc);
        const auto found = added(base, disc);
        ASSERT_EQ(found.size(), 1u) << (found.empty() ? "none" : found[0].code + ", " + found.back().code);
        EXPECT_EQ(found[0].code, code) << found[0].message;
        EXPECT_FALSE(found[0].message.empty());
    }

    // Faults in the folder itself, read again from the files.
    const std::vector<std::pair<std::string, std::function<void()>>> files = {
        {"backup-file-in-scanned-folder",
         [&] {
             fs::copy_file(bdmv() / "PLAYLIST" / "00002.mpls", bdmv() / "PLAYLIST" / "00002.mpls.backup");
         }},
        {"file-name-invalid", [&] { std::ofstream(bdmv() / "CLIPINF" / "notes.txt") << "x"; }},
        {"name-set-mixed",
         [&] { fs::copy_file(bdmv() / "PLAYLIST" / "00002.mpls", bdmv() / "PLAYLIST" / "00009.MPL"); }},
        {"backup-folder-missing", [&] { fs::remove_all(bdmv() / "BACKUP"); }},
        {"required-file-missing", [&] { fs::remove(bdmv() / "index.bdmv"); }},
        {"file-refused",
         [&] {
             std::fstream f(bdmv() / "PLAYLIST" / "00002.mpls",
                            std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(0);
             f.write("XPLS", 4);
         }},
        {"file-damaged", [&] { fs::resize_file(bdmv() / "PLAYLIST" / "00002.mpls", 200); }},
    };
    const DiscModel before = loadDisc(m_root.string());
    for (const auto& [code, plant] : files) {
        SCOPED_TRACE(code);
        planted.insert(code);
        TearDown();
        SetUp();
        plant();
        const auto found = added(before, loadDisc(m_root.string()));
        ASSERT_EQ(found.size(), 1u) << (found.empty() ? "none" : found[0].code + ", " + found.back().code);
        EXPECT_EQ(found[0].code, code) << found[0].message;
    }
    // The folder without its STREAM folder says so once.
    EXPECT_EQ(discCheck(before).findings.front().code, "stream-folder-missing");
    planted.insert("stream-folder-missing");
    for (const FindingCode& code : FindingCodes)
        EXPECT_EQ(planted.count(std::string(code.code)), 1u) << code.code;
}

TEST_F(DiscCheckTest, ReportFollowsTitlesToTheirPlaylists) {
    DiscModel disc = load();
    const DiscReport report = discReport(disc);
    ASSERT_EQ(report.playlists.size(), 1u);
    const PlayListReport& playlist = report.playlists[0];
    EXPECT_EQ(report.mainPlaylist, "00002");
    EXPECT_TRUE(playlist.main);
    std::uint64_t duration = 0;
    for (const TPlayItem& item : disc.playlists[0].mpls.PlayList.PlayItems)
        duration += item.OUT_time - item.IN_time;
    EXPECT_EQ(playlist.duration, duration);
    EXPECT_EQ(playlist.chapters.size(), 17u);
    EXPECT_EQ(playlist.chapters[0].start, 0u);
    EXPECT_NE(std::find(playlist.referencedBy.begin(), playlist.referencedBy.end(), "title 1"),
              playlist.referencedBy.end());
    EXPECT_GT(playlist.size, 0);
    // A title that reaches the playing object through a Jump Object plays its playlist too.
    auto& objects = disc.mobj.MovieObjects.mobjs;
    const std::uint16_t player = disc.index.Indexes.titles[0].mobj_id_ref;
    objects.push_back({});
    objects.back().navigation_commands.push_back({0x21800000, player, 0});
    disc.index.Indexes.titles[1].mobj_id_ref = static_cast<std::uint16_t>(objects.size() - 1);
    const DiscReport jumped = discReport(disc);
    const auto& plays = jumped.titles[3].playlists; // First Playback, Top Menu, title 1, title 2
    EXPECT_NE(std::find(plays.begin(), plays.end(), "00002"), plays.end());
}

} // namespace
} // namespace corvane
