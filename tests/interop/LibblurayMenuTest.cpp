// A menu built through the core operations, muxed with its clip information file and playlist into a small
// disc, played by an independent library: libbluray must read the whole stream, its IG
// decoder must draw the page, and its key navigation must follow the neighbours our
// simulation follows, page change by SetButtonPage included.

#include <gtest/gtest.h>

#include <libbluray/bluray.h>
#include <libbluray/keys.h>
#include <libbluray/overlay.h>

#include <png.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>

#include "graphics/PngFile.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "menu/IGMenu.h"
#include "menu/MenuEdit.h"
#include "menu/MenuLimits.h"
#include "menu/MenuSimulator.h"
#include "menu/MenuStructure.h"
#include "navigation/CommandText.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "navigation/Registers.h"
#include "playlist/PlayListWriter.h"
#include "shell/Reporter.h"
#include "stream/ClipInfo.h"
#include "stream/ClipInfoWriter.h"
#include "stream/MenuClip.h"
#include "stream/Mux.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t ObjectWidth = 200;
constexpr std::uint16_t ObjectHeight = 60;

// PlayPL 2; SetButtonPage with immediate button and page (effects skipped), as hex words.
constexpr std::array<const char*, 3> PlayPL2{"22800000", "00000002", "00000000"};
std::array<std::string, 3> setButtonPage(std::uint16_t button, std::uint8_t page) {
    return {"51C00003", hexText(0x80000000u | button, 8), hexText(0xC0000000u | page, 8)};
}

// Artwork as an author draws it: an RGBA PNG. The normal art is white striped grey a pixel
// wide (so the stream spans several aligned units) with a half-transparent red border; the
// selected art is red. Both begin with their own colour.
std::vector<std::uint8_t> artwork(bool selected) {
    std::vector<std::uint8_t> pixels(std::size_t{ObjectWidth} * ObjectHeight * 4);
    for (std::size_t y = 0; y < ObjectHeight; ++y)
        for (std::size_t x = 0; x < ObjectWidth; ++x) {
            std::uint8_t* p = &pixels[(y * ObjectWidth + x) * 4];
            const bool border = y == ObjectHeight - 1;
            const std::array<std::uint8_t, 4> colour = selected ? std::array<std::uint8_t, 4>{255, 0, 0, 255}
                                                       : border ? std::array<std::uint8_t, 4>{255, 0, 0, 128}
                                                       : x % 2
                                                           ? std::array<std::uint8_t, 4>{128, 128, 128, 255}
                                                           : std::array<std::uint8_t, 4>{255, 255, 255, 255};
            std::copy(colour.begin(), colour.end(), p);
        }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = ObjectWidth;
    png.height = ObjectHeight;
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&png, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&png, out.data(), &size, 0, pixels.data(), 0, nullptr));
    out.resize(size);
    return out;
}

// Built as an author builds it, through the core operations: Create Menu, a second page,
// three BOGs of one button on each page (page 0 in a triangle, page 1 in a row), the RGBA
// artwork imported (the selected art into the normal art's palette), the buttons' cells and
// command lines typed in.
TMenu builtMenu() {
    TMenu menu = createMenu();
    menu.IGSc.stream_ui_model = 2; // not multiplexed, always-on
    std::string error;
    const auto normal = importObjectPng(menu, artwork(false), error);
    EXPECT_TRUE(normal) << error;
    const auto selected = importObjectPng(menu, artwork(true), error, PngImportOptions{std::uint16_t{0}});
    EXPECT_TRUE(selected) << error;
    EXPECT_EQ(menu.IGPalettes.size(), 1u);

    EXPECT_TRUE(insertPage(menu, 1));
    for (std::size_t page = 0; page < 2; ++page) {
        EXPECT_TRUE(insertBog(menu, page, 1));
        EXPECT_TRUE(insertBog(menu, page, 2));
    }
    struct Spot {
        int x, y, up, down, left, right;
    };
    const std::array<std::array<Spot, 3>, 2> layout{
        {{{{200, 200, 0, 1, 0, 2}, {200, 400, 0, 1, 1, 2}, {600, 400, 0, 2, 1, 2}}},
         {{{200, 700, 0, 0, 0, 1}, {600, 700, 1, 1, 0, 2}, {1000, 700, 2, 2, 1, 2}}}}};
    const auto hex4 = [](int value) { return hexText(static_cast<std::uint32_t>(value), 4); };
    for (std::size_t page = 0; page < 2; ++page) {
        EXPECT_TRUE(setDefaultSelectedButton(menu, page, "0000"));
        // Create Menu's BOG has no default valid button; a BOG without one shows nothing.
        EXPECT_TRUE(setBogCell(menu, page, 0, 1, "0000", NoButton));
        for (std::size_t bog = 0; bog < 3; ++bog) {
            const Spot& spot = layout[page][bog];
            const auto cell = [&](int column, const std::string& text) {
                setButtonCell(menu, page, bog, 0, column, text, 0);
                EXPECT_EQ(std::stoi(buttonCellText(menu.IGSc.pages[page].BOGs[bog].buttons[0], column),
                                    nullptr, column == ColX || column == ColY ? 10 : 16),
                          std::stoi(text, nullptr, column == ColX || column == ColY ? 10 : 16))
                    << "page " << page << " BOG " << bog << " column " << column;
            };
            cell(ColX, std::to_string(spot.x));
            cell(ColY, std::to_string(spot.y));
            cell(ColUpper, hex4(spot.up));
            cell(ColLower, hex4(spot.down));
            cell(ColLeft, hex4(spot.left));
            cell(ColRight, hex4(spot.right));
            for (int column : {ColNormalStart, ColNormalEnd}) cell(column, hex4(*normal));
            for (int column : {ColSelectedStart, ColSelectedEnd, ColActivatedStart, ColActivatedEnd})
                cell(column, hex4(*selected));
        }
    }
    const auto command = [&menu](std::size_t page, std::size_t bog, const auto& words) {
        EXPECT_TRUE(insertButtonCommand(menu, page, bog, 0, -1));
        for (int column = 1; column <= 3; ++column)
            setCommandCell(menu, page, bog, 0, 0, column, std::string(words[column - 1]));
        const TNavCommand& typed = menu.IGSc.pages[page].BOGs[bog].buttons[0].navigation_commands.at(0);
        EXPECT_EQ(hexText(typed.opcode, 8) + hexText(typed.destination, 8) + hexText(typed.source, 8),
                  std::string(words[0]) + words[1] + words[2]);
    };
    command(0, 1, PlayPL2);
    command(0, 2, setButtonPage(1, 1));
    command(1, 2, setButtonPage(0, 0));
    EXPECT_EQ(
        commandLine(menu.IGSc.pages[0].BOGs[2].buttons[0].navigation_commands[0], CommandContext::Button)
            .substr(0, 13),
        "SetButtonPage");
    return menu;
}

// The palette entries each state's art begins with: what libbluray's overlay names.
std::uint8_t firstEntry(const TMenu& menu, std::uint16_t object) {
    return menu.IGObjects[object].index_picture->pixels[0];
}

// What libbluray's IG plane shows: the colour drawn last at each object position.
struct Plane {
    std::map<std::pair<int, int>, std::uint8_t> shown;
    int draws = 0;
    bool flushed = false;
    std::uint8_t selectedEntry = 0;
    // The position drawn in the selected art (a single one is expected).
    std::vector<std::pair<int, int>> selected() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& [at, colour] : shown)
            if (colour == selectedEntry) out.push_back(at);
        return out;
    }
};

void overlay(void* handle, const BD_OVERLAY* ov) {
    auto* plane = static_cast<Plane*>(handle);
    if (!ov || ov->plane != BD_OVERLAY_IG) return;
    switch (ov->cmd) {
    case BD_OVERLAY_CLEAR:
    case BD_OVERLAY_CLOSE:
        plane->shown.clear();
        break;
    case BD_OVERLAY_WIPE:
        plane->shown.erase({ov->x, ov->y});
        break;
    case BD_OVERLAY_DRAW:
        ++plane->draws;
        if (ov->img) plane->shown[{ov->x, ov->y}] = ov->img[0].color;
        break;
    case BD_OVERLAY_FLUSH:
        plane->flushed = true;
        break;
    default:
        break;
    }
}

class LibblurayMenu : public ::testing::Test {
protected:
    void SetUp() override {
        m_disc =
            fs::temp_directory_path() / ("corvane-interop-menu-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_disc);
        for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "BACKUP"})
            fs::create_directories(bdmv() / folder);
        // First Play, Top Menu and every title run movie object 0: PlayPL 1.
        std::string error;
        const auto indexBytes =
            readWholeFile(std::string(CORVANE_TEST_DATA) + "/interop-disc1/BDMV/index.bdmv", error);
        ASSERT_TRUE(indexBytes) << error;
        IndexReadResult index = readIndex(*indexBytes);
        ASSERT_EQ(index.status, ReadStatus::Ok);
        index.index.Indexes.first_playback.mobj_id_ref = 0;
        index.index.Indexes.top_menu.mobj_id_ref = 0;
        for (TTitleEntry& title : index.index.Indexes.titles) title.mobj_id_ref = 0;
        write("index.bdmv", writeIndex(index.index));
        TMOBJ mobj;
        Tmobject object;
        object.navigation_commands = {{0x22800000, 1, 0}};
        object.number_of_navigation_commands = 1;
        mobj.MovieObjects.mobjs = {object};
        mobj.MovieObjects.number_of_mobjs = 1;
        mobj.MovieObjects.mobjs_length = 4 + 2 + 4 + 12;
        EXPECT_EQ(commandLine(object.navigation_commands[0], CommandContext::MovieObject).substr(0, 9),
                  "Play PL 1");
        write("MovieObject.bdmv", writeMovieObject(mobj));
    }
    void TearDown() override { fs::remove_all(m_disc); }

    fs::path bdmv() const { return m_disc / "BDMV"; }
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const FileResult written = writeWholeFile((bdmv() / name).string(), bytes);
        ASSERT_TRUE(written.ok) << written.error;
    }

    // Mux writes STREAM/00001.m2ts, CLIPINF/00001.clpi and PLAYLIST/00001.mpls; 00002.mpls
    // (the Play PL target) plays the same clip.
    void putMenu(const TMenu& menu) {
        NullSink sink;
        Reporter reporter(&sink);
        ASSERT_TRUE(Mux(reporter, menu,
                        MuxFiles{(bdmv() / "STREAM" / "00001.m2ts").string(),
                                 (bdmv() / "CLIPINF" / "00001.clpi").string(),
                                 (bdmv() / "PLAYLIST" / "00001.mpls").string(), "00001", ""}));
        fs::copy_file(bdmv() / "PLAYLIST" / "00001.mpls", bdmv() / "PLAYLIST" / "00002.mpls");
    }

    // Opens the disc, plays First Play and reads until the still at the playlist's end.
    // Returns the bytes read.
    std::uint64_t playToStill() {
        m_bd = bd_open(m_disc.string().c_str(), nullptr);
        EXPECT_NE(m_bd, nullptr);
        if (!m_bd) return 0;
        bd_register_overlay_proc(m_bd, &m_plane, overlay);
        EXPECT_EQ(bd_play(m_bd), 1);
        std::uint64_t total = 0;
        std::vector<unsigned char> buffer(6144);
        for (int i = 0; i < 2000; ++i) {
            BD_EVENT event{};
            const int got = bd_read_ext(m_bd, buffer.data(), static_cast<int>(buffer.size()), &event);
            if (got < 0) break;
            total += static_cast<std::uint64_t>(got);
            if (event.event == BD_EVENT_STILL_TIME || event.event == BD_EVENT_STILL) {
                m_still = true;
                break;
            }
            if (got == 0 && event.event == BD_EVENT_NONE && m_plane.flushed) break;
        }
        return total;
    }

    // Presses a key and lets libbluray's graphics controller answer; the button commands it
    // queues run in its navigation loop, driven by the reads that follow. (A time stamp of -1,
    // "unknown", crashes libbluray 1.3.4 here; 0 is taken as the still picture's time.)
    void press(std::uint32_t key) {
        bd_user_input(m_bd, 0, key);
        std::vector<unsigned char> buffer(6144);
        for (int i = 0; i < 20; ++i) {
            BD_EVENT event{};
            const int got = bd_read_ext(m_bd, buffer.data(), static_cast<int>(buffer.size()), &event);
            if (event.event == BD_EVENT_PLAYLIST) m_playlists.push_back(event.param);
            if (got <= 0 && event.event == BD_EVENT_NONE) break;
        }
    }

    void closeDisc() {
        if (m_bd) bd_close(m_bd);
        m_bd = nullptr;
    }

    fs::path m_disc;
    BLURAY* m_bd = nullptr;
    Plane m_plane;
    bool m_still = false;
    std::vector<std::uint32_t> m_playlists;
};

// Our simulation of the same menu, with the button selected after each step.
struct Simulation {
    explicit Simulation(TMenu m) : menu(std::move(m)), sim(menu, interp, options, nullptr) {
        options.PreLoad = false;
        sim.renderer().setBackground(RgbaImage(PageWidth, PageHeight));
        sim.renderer().hooks.nowMs = [this] { return clock; };
        sim.renderer().hooks.wait = [this](int ms) { clock += ms; };
        interp.regs.PSR[PSR_SELECTED_BUTTON] = NoButton;
        sim.choosePage(0);
        sim.start();
    }
    std::uint32_t selected() const { return interp.regs.PSR[PSR_SELECTED_BUTTON]; }
    std::uint32_t page() const { return interp.regs.PSR[PSR_PAGE]; }

    TMenu menu;
    Interpreter interp;
    Options options;
    MenuSimulator sim;
    std::int64_t clock = 0;
};

// The position of each button on its page, to name what libbluray draws selected.
std::map<std::pair<int, int>, std::uint16_t> buttonsAt(const TMenu& menu, std::size_t page) {
    std::map<std::pair<int, int>, std::uint16_t> at;
    for (const TBOG& bog : menu.IGSc.pages[page].BOGs)
        for (const TIGbutton& b : bog.buttons)
            at[{b.button_horizontal_position, b.button_vertical_position}] = b.button_id;
    return at;
}

TEST_F(LibblurayMenu, DrawsThePageAndNavigatesAsOurSimulation) {
    const TMenu menu = builtMenu();
    m_plane.selectedEntry = firstEntry(menu, 1);
    ASSERT_NE(firstEntry(menu, 0), m_plane.selectedEntry);
    EXPECT_FALSE(menuLimitsRefuse(menuLimitFindings(menu)));
    for (const auto& finding : menuLimitFindings(menu)) ADD_FAILURE() << finding.text();
    putMenu(menu);
    std::string error;
    const auto stream = readWholeFile((bdmv() / "STREAM" / "00001.m2ts").string(), error);
    ASSERT_TRUE(stream) << error;
    ASSERT_GT(stream->size(), 6144u);

    // With the clip information written by Mux, libbluray reads the whole stream.
    EXPECT_EQ(playToStill(), stream->size());
    ASSERT_TRUE(m_bd);
    EXPECT_TRUE(m_still);
    ASSERT_GT(m_plane.draws, 0) << "libbluray's IG decoder drew nothing";
    EXPECT_EQ(m_plane.shown.size(), 3u); // page 0: three buttons

    Simulation ours(menu);
    auto libbluraySelected = [&](std::size_t page) -> int {
        const auto selected = m_plane.selected();
        if (selected.size() != 1) return -1;
        const auto at = buttonsAt(menu, page);
        const auto found = at.find(selected[0]);
        return found == at.end() ? -1 : found->second;
    };
    ASSERT_EQ(ours.selected(), 0u);
    EXPECT_EQ(libbluraySelected(0), 0);

    const std::vector<std::pair<std::uint32_t, NavDirection>> keys{
        {BD_VK_DOWN, NavDirection::Down},   {BD_VK_RIGHT, NavDirection::Right},
        {BD_VK_LEFT, NavDirection::Left},   {BD_VK_UP, NavDirection::Up},
        {BD_VK_DOWN, NavDirection::Down},   {BD_VK_RIGHT, NavDirection::Right},
        {BD_VK_RIGHT, NavDirection::Right}, {BD_VK_UP, NavDirection::Up}};
    for (const auto& [key, direction] : keys) {
        press(key);
        ours.sim.move(direction);
        EXPECT_EQ(libbluraySelected(0), static_cast<int>(ours.selected())) << "after key " << key;
    }

    // Button 2 runs SetButtonPage(1, page 1): both show page 1 with its button 1 selected.
    press(BD_VK_DOWN);
    press(BD_VK_RIGHT);
    ours.sim.move(NavDirection::Down);
    ours.sim.move(NavDirection::Right);
    ASSERT_EQ(ours.selected(), 2u);
    press(BD_VK_ENTER);
    ours.sim.activate();
    EXPECT_EQ(ours.page(), 1u);
    EXPECT_EQ(ours.selected(), 1u);
    EXPECT_EQ(libbluraySelected(1), 1);
    for (const auto& [key, direction] :
         std::vector<std::pair<std::uint32_t, NavDirection>>{{BD_VK_LEFT, NavDirection::Left},
                                                             {BD_VK_RIGHT, NavDirection::Right},
                                                             {BD_VK_RIGHT, NavDirection::Right}}) {
        press(key);
        ours.sim.move(direction);
        EXPECT_EQ(libbluraySelected(1), static_cast<int>(ours.selected())) << "after key " << key;
    }

    // Page 1's button 2 goes back to page 0 at button 0.
    press(BD_VK_ENTER);
    ours.sim.activate();
    EXPECT_EQ(ours.page(), 0u);
    EXPECT_EQ(libbluraySelected(0), static_cast<int>(ours.selected()));
    // Button 1 runs Play PL 2. libbluray runs it but refuses a playlist change from a button
    // command ("not allowed in interactive composition"): the menu stays, button 1 selected.
    press(BD_VK_DOWN);
    ours.sim.move(NavDirection::Down);
    ASSERT_EQ(libbluraySelected(0), 1);
    press(BD_VK_ENTER);
    EXPECT_EQ(std::find(m_playlists.begin(), m_playlists.end(), 2u), m_playlists.end());
    EXPECT_EQ(libbluraySelected(0), 1);
    closeDisc();
}

// The clip information file is what lets a player read past the first aligned unit: with a
// clip that counts only 32 packets, libbluray stops after 6,144 bytes.
TEST_F(LibblurayMenu, ThePacketCountOfTheClipBoundsTheRead) {
    putMenu(builtMenu());
    std::string error;
    const auto clipBytes = readWholeFile((bdmv() / "CLIPINF" / "00001.clpi").string(), error);
    ASSERT_TRUE(clipBytes) << error;
    ClipReadResult clip = readClipInfo(*clipBytes, "00001.clpi", true);
    ASSERT_EQ(clip.status, ReadStatus::Ok);
    clip.clpi.ClipInfo.number_of_source_packets = 32;
    write("CLIPINF/00001.clpi", writeClipInfo(clip.clpi));
    EXPECT_EQ(playToStill(), 6144u);
    closeDisc();
}

} // namespace
} // namespace corvane
