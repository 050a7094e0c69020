// Reading .mnu files: segments, counts, fragments, the composition fields and damaged input.

#include <gtest/gtest.h>

#include <random>

#include "graphics/ObjectPicture.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

using testing::MnuBuilder;

std::string lastLine(const MnuReadResult& result) {
    return result.messages.empty() ? std::string() : result.messages.back().text;
}

bool hasError(const MnuReadResult& result, const std::string& text) {
    for (const auto& m : result.messages)
        if (m.kind == ReadMessage::Kind::Error && m.text == text) return true;
    return false;
}

// A page serialised the way the writer does it.
std::vector<std::uint8_t> pagesOf(const std::vector<TPage>& pages) {
    TIGSc ics;
    ics.pages = pages;
    return compositionBody(ics);
}

TPage pageWithButtons(const std::vector<std::uint16_t>& ids) {
    TPage page;
    TBOG bog;
    for (auto id : ids) bog.buttons.push_back(testing::makeButton(id, 0, 0));
    bog.number_of_buttons = static_cast<std::uint8_t>(ids.size());
    page.BOGs = {bog};
    page.number_of_BOGs = 1;
    return page;
}

TEST(IGReader, CountsAreSlotsNotSegments) {
    MnuBuilder mnu;
    mnu.palette(1, 0).palette(1, 1).palette(0, 0);
    mnu.object(11, true, true, {0, 0}, 1, 1)
        .object(0, true, true, {0, 0}, 1, 1)
        .object(5, true, true, {0, 0}, 1, 1);
    mnu.end();
    const MnuReadResult result = loadMNU(mnu.bytes());
    EXPECT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(lastLine(result), "[b]1[/b] ICS, [b]12[/b] OCS, [b]2[/b] PCS found.");
    ASSERT_EQ(result.menu.IGObjects.size(), 12u);
    for (int gap : {1, 2, 3, 4, 6, 10}) {
        const TIGobject& slot = result.menu.IGObjects[static_cast<std::size_t>(gap)];
        EXPECT_EQ(slot.object_id, 0);
        EXPECT_EQ(slot.object_width, 0);
        EXPECT_EQ(slot.object_height, 0);
        EXPECT_FALSE(slot.present());
    }
    EXPECT_EQ(result.menu.IGObjects[5].object_id, 5);
    EXPECT_EQ(result.menu.IGPalettes[1].palette_version_number, 1);
}

TEST(IGReader, PalettesConvertAndKeepUnsetEntriesZero) {
    MnuBuilder mnu;
    mnu.palette(0, 0, {{0, 235, 128, 128, 255}, {255, 16, 128, 128, 7}});
    mnu.palette(0, 1); // segment_length 2: id and version only
    mnu.end();
    const MnuReadResult result = loadMNU(mnu.bytes());
    ASSERT_EQ(result.menu.IGPalettes.size(), 1u);
    const auto& p = result.menu.IGPalettes[0];
    EXPECT_EQ(p.palette_version_number, 1);
    EXPECT_EQ(p.entries[0], (PaletteEntry{255, 255, 255, 255}));
    EXPECT_EQ(p.entries[255], (PaletteEntry{0, 0, 0, 7}));
    for (int n = 1; n < 255; ++n)
        EXPECT_EQ(p.entries[static_cast<std::size_t>(n)], (PaletteEntry{0, 0, 0, 0}));
}

TEST(IGReader, FragmentedObjectDecodesLikeWholeOne) {
    // 4 x 2: line 0 = 5 5 0 0, line 1 = 7 7 7 7, split across two ODS segments.
    const std::vector<std::uint8_t> rle{0x05, 0x05, 0x00, 0x00, 0x00, 0x84, 0x07, 0x00, 0x00};
    MnuBuilder mnu;
    mnu.object(3, true, false, {rle.begin(), rle.begin() + 4}, 4, 2, 9);
    mnu.object(3, false, true, {rle.begin() + 4, rle.end()});
    mnu.end();
    MnuReadResult result = loadMNU(mnu.bytes());
    const TIGobject& object = result.menu.IGObjects[3];
    ASSERT_EQ(object.fragment_count, 2);
    EXPECT_EQ(object.fragments[0].data_length + object.fragments[1].data_length, object.rle_data_length);
    EXPECT_EQ(object.fragments[0].sequence_flags, FirstInSequence);
    EXPECT_EQ(object.fragments[1].sequence_flags, LastInSequence);
    EXPECT_FALSE(object.index_picture) << "pixels are decoded on first use only";
    const IndexPicture* picture = rle_decode(result.menu, 3);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels, (std::vector<std::uint8_t>{5, 5, 0, 0, 7, 7, 7, 7}));
}

TEST(IGReader, LaterCopiesOfAnObjectDoNotReplaceTheFirst) {
    MnuBuilder mnu;
    mnu.object(0, true, true, {0x05, 0x00, 0x00}, 1, 1);
    mnu.object(1, true, true, {0x06, 0x00, 0x00}, 1, 1);
    mnu.object(0, true, true, {0x09, 0x09, 0x00, 0x00}, 2, 1); // next display set
    mnu.end();
    MnuReadResult result = loadMNU(mnu.bytes());
    EXPECT_EQ(result.menu.IGObjects[0].fragment_count, 1);
    EXPECT_EQ(result.menu.IGObjects[0].object_width, 1);
    EXPECT_EQ(rle_decode(result.menu, 0)->pixels, (std::vector<std::uint8_t>{5}));
}

TEST(IGReader, EveryCompositionIsListedAndTheChosenOneIsRead) {
    // Two display sets: the sample menu (2 pages, epoch start), then an epoch start of one
    // page whose object 0 is another picture and which has objects 0 and 1 only.
    TMenu first = testing::sampleMenu();
    TMenu second = testing::sampleMenu();
    second.MenuInTime = 1800000;
    second.IGSc.composition_number = 8;
    second.IGSc.pages.resize(1);
    second.IGSc.number_of_pages = 1;
    second.PageButtons.resize(1);
    second.IGSc.pages[0].effect_sequences = {};
    second.IGObjects.resize(2);
    const IndexPicture other = testing::patternPicture(30, 20, 99);
    testing::addObject(second, 0, other);
    const IGSaveResult a = saveIGS(first, IGSaveMode::Mnu), b = saveIGS(second, IGSaveMode::Mnu);
    ASSERT_TRUE(a.ok && b.ok) << a.error << b.error;
    std::vector<std::uint8_t> stream = a.bytes;
    stream.insert(stream.end(), b.bytes.begin(), b.bytes.end());
    const std::vector<CompositionEntry> both{{900000, 7, 2}, {1800000, 8, 2}};

    MnuReadResult read = loadMNU(stream);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.compositions, both);
    EXPECT_EQ(read.menu.IGSc.pages.size(), 2u);
    EXPECT_EQ(read.menu.IGObjects.size(), first.IGObjects.size());
    EXPECT_EQ(*rle_decode(read.menu, 0), *rle_decode(first, 0));
    EXPECT_EQ(read.menu.MenuInTime, 900000u);

    read = loadMNU(stream, {}, 1);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.compositions, both);
    EXPECT_EQ(read.menu.IGSc.composition_number, 8);
    ASSERT_EQ(read.menu.IGSc.pages.size(), 1u);
    EXPECT_EQ(read.menu.IGSc.pages[0].BOGs.size(), second.IGSc.pages[0].BOGs.size());
    EXPECT_EQ(read.menu.IGSc.ics_fragments.size(), 1u);
    EXPECT_EQ(read.menu.MenuInTime, 1800000u);
    EXPECT_EQ(read.menu.IGObjects.size(), 2u) << "the epoch start drops the objects before it";
    EXPECT_EQ(rle_decode(read.menu, 0)->pixels, other.pixels);
    EXPECT_EQ(compositionTitle(1, read.compositions[1]),
              "1: " + menuInTimeText(1800000) + ", number 8, epoch start");
}

TEST(IGReader, CompositionFieldsFlagsAndButtonTables) {
    TPage page = pageWithButtons({0, 1, 2, 10});
    auto bytes = pagesOf({page});
    // auto-action and repeat bytes: 0x80 reads 1, 0x7F reads 0.
    const std::size_t button0 = 21 + 3;
    bytes[button0 + 4] = 0x80;
    bytes[button0 + 21] = 0x7F;
    bytes[button0 + 27] = 0x80;
    MnuBuilder mnu;
    mnu.segment(0x18, testing::icsBody(1, bytes), 0).end(90000);
    const MnuReadResult result = loadMNU(mnu.bytes());
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.menu.MenuInTime, 90000u) << "the first non-zero PTS";
    const TIGSc& ics = result.menu.IGSc;
    EXPECT_EQ(ics.video_width, 1920);
    EXPECT_EQ(ics.frame_rate_id, 4);
    EXPECT_EQ(ics.composition_state, 2);
    EXPECT_EQ(ics.stream_ui_model, 3);
    EXPECT_EQ(ics.user_time_out_duration, 90000u);
    ASSERT_EQ(ics.ics_fragments.size(), 1u);
    EXPECT_EQ(ics.ics_fragments[0].data_position, 13u + 17u) << "stream model 1: 17 header bytes";
    ASSERT_EQ(ics.pages.size(), 1u);
    const TIGbutton& b = ics.pages[0].BOGs[0].buttons[0];
    EXPECT_EQ(b.auto_action_flag, 1);
    EXPECT_EQ(b.normal_repeat_flag, 0);
    EXPECT_EQ(b.selected_repeat_flag, 1);
    ASSERT_EQ(result.menu.PageButtons.size(), 1u);
    const TPageButton& table = result.menu.PageButtons[0];
    ASSERT_EQ(table.size(), 11u);
    for (std::size_t id = 3; id < 10; ++id) {
        EXPECT_EQ(table[id].button_id, NoButton);
        EXPECT_EQ(table[id].normal_start_object_id_ref, 0);
    }
    EXPECT_EQ(table[10].button_id, 10);
    EXPECT_EQ(table[10].navigation_commands, ics.pages[0].BOGs[0].buttons[3].navigation_commands);
}

TEST(IGReader, StreamModelZeroReadsTimeOuts) {
    MnuBuilder mnu;
    mnu.segment(0x18, testing::icsBody(1, pagesOf({pageWithButtons({0})}), false)).end();
    const MnuReadResult result = loadMNU(mnu.bytes());
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.menu.IGSc.composition_time_out_pts, 0x1234567890ull);
    EXPECT_EQ(result.menu.IGSc.selection_time_out_pts, 0x0A0B0C0D0Eull);
    EXPECT_EQ(result.menu.IGSc.ics_fragments[0].data_position, 13u + 27u);
    EXPECT_EQ(result.menu.IGSc.pages.size(), 1u);
}

TEST(IGReader, MoreThanTwoWindowsAreKept) {
    TPage page = pageWithButtons({0});
    for (std::uint8_t w = 0; w < 5; ++w) page.effect_sequences[1].windows.push_back({w, w, w, w, w});
    page.effect_sequences[1].number_of_windows = 5;
    const auto body = pagesOf({page});
    MnuBuilder mnu;
    mnu.segment(0x18, testing::icsBody(1, body)).end();
    const MnuReadResult result = loadMNU(mnu.bytes());
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.menu.IGSc.pages[0].effect_sequences[1], page.effect_sequences[1]);
    EXPECT_EQ(compositionBody(result.menu.IGSc), body);
}

TEST(IGReader, BadFrameUnknownSegmentAndMissingEnd) {
    MnuBuilder good;
    good.palette(0, 0).segment(0x16, {1, 2, 3}).object(0, true, true, {1, 0, 0}, 1, 1);
    MnuReadResult result = loadMNU(good.bytes());
    EXPECT_EQ(result.status, ReadStatus::Ok) << "a file may end without END";
    EXPECT_TRUE(hasError(result, "Unknow segment!"));
    EXPECT_EQ(result.unknownSegments, 1u);
    EXPECT_EQ(result.menu.IGObjects.size(), 1u) << "reading goes on after an unknown segment";

    auto bytes = good.bytes();
    const std::size_t cut = bytes.size();
    bytes.insert(bytes.end(), {'P', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0x14, 0, 2, 5, 0});
    MnuBuilder tail;
    tail.palette(5, 0);
    const auto more = tail.bytes();
    bytes.insert(bytes.end(), more.begin(), more.end());
    result = loadMNU(bytes);
    EXPECT_EQ(result.status, ReadStatus::FormatError);
    EXPECT_EQ(result.problemAt, cut);
    EXPECT_TRUE(hasError(result, "File format error"));
    EXPECT_EQ(result.menu.IGPalettes.size(), 1u) << "nothing after the bad frame is read";
    EXPECT_EQ(lastLine(result), "[b]1[/b] ICS, [b]1[/b] OCS, [b]1[/b] PCS found.");
}

TEST(IGReader, CancelLeavesPagesUnparsed) {
    MnuBuilder mnu;
    mnu.segment(0x18, testing::icsBody(1, pagesOf({pageWithButtons({0})}))).palette(0, 0).end();
    MenuReadHooks hooks;
    int asked = 0;
    hooks.cancelled = [&asked] { return ++asked > 1; };
    const MnuReadResult result = loadMNU(mnu.bytes(), hooks);
    EXPECT_EQ(result.status, ReadStatus::Cancelled);
    EXPECT_TRUE(result.menu.IGSc.pages.empty());

    std::vector<int> percents;
    MenuReadHooks progress;
    progress.page = [&percents](int percent, const std::string&) { percents.push_back(percent); };
    EXPECT_EQ(loadMNU(mnu.bytes(), progress).status, ReadStatus::Ok);
    EXPECT_EQ(percents, std::vector<int>{100});
}

TEST(IGReader, WrappedLongCompositionComesBackInFragments) {
    TMenu menu = testing::sampleMenu();
    TPage& page = menu.IGSc.pages[1];
    page.BOGs[0].buttons[0].navigation_commands.resize(9000); // 108 000 bytes of commands
    page.BOGs[0].buttons[0].number_of_navigation_commands = 9000;
    const auto saved = saveIGS(menu, IGSaveMode::Mnu);
    MnuReadResult first = loadMNU(saved.bytes);
    ASSERT_EQ(first.status, ReadStatus::Ok);
    ASSERT_EQ(first.menu.IGSc.ics_fragments.size(), 2u);
    // The same composition captured as one body and wrapped again.
    std::vector<std::uint8_t> body{saved.bytes.begin() + 13, saved.bytes.begin() + 13 + 9};
    body[8] = 0xC0;
    const auto composition = firstCompositionBody(first.menu);
    const std::ptrdiff_t headerLength = menu.IGSc.streamModel() ? 8 : 18;
    std::vector<std::uint8_t> header{saved.bytes.begin() + 13 + 9,
                                     saved.bytes.begin() + 13 + 9 + headerLength};
    body.insert(body.end(), header.begin(), header.end());
    body.insert(body.end(), composition.begin(), composition.end());
    MnuReadResult again = loadMNU(wrapComposition(body));
    ASSERT_EQ(again.status, ReadStatus::Ok);
    EXPECT_EQ(again.menu.IGSc.pages, first.menu.IGSc.pages);
}

// Damaged input: every cut of a real menu and random byte flips read without a crash and
// never report a partial read as whole.
TEST(IGReaderRobust, TruncatedAndFlippedInputReadsSafely) {
    const auto bytes = saveIGS(testing::sampleMenu(), IGSaveMode::Mnu).bytes;
    for (std::size_t cut = 0; cut < bytes.size(); cut += 1 + cut / 500) {
        std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        MnuReadResult result = loadMNU(part);
        ASSERT_FALSE(result.messages.empty());
        for (std::size_t id = 0; id < result.menu.IGObjects.size() && id < 8; ++id)
            rle_decode(result.menu, static_cast<std::uint16_t>(id));
        if (result.status == ReadStatus::Ok) {
            EXPECT_EQ(result.menu.IGSc.pages.size(), result.menu.IGSc.number_of_pages);
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        auto damaged = bytes;
        for (int flips = 0; flips < 4; ++flips)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        MnuReadResult result = loadMNU(damaged);
        for (std::size_t id = 0; id < result.menu.IGObjects.size() && id < 8; ++id)
            Obj2Pic(result.menu, static_cast<std::uint16_t>(id), 0);
        if (result.status == ReadStatus::Ok) {
            EXPECT_TRUE(saveIGS(result.menu, IGSaveMode::Mnu).ok);
        }
    }
}

TEST(IGReaderRobust, HugeCountsAreCappedByTheData) {
    // 255 pages declared over a body of a few bytes; BOG, button and command counts at maximum.
    std::vector<std::uint8_t> pages(21, 0);
    pages[20] = 255; // number_of_BOGs
    pages.insert(pages.end(), {0xFF, 0xFF, 255});
    MnuBuilder mnu;
    mnu.segment(0x18, testing::icsBody(255, pages)).end();
    const MnuReadResult result = loadMNU(mnu.bytes());
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_LE(result.menu.IGSc.pages.size(), 1u);
    EXPECT_EQ(result.menu.IGSc.number_of_pages, 255);

    // One object claiming 65535 x 65535 pixels from a handful of bytes is never decoded.
    MnuBuilder big;
    big.object(0xFFFE, true, true, {0, 0xC0 | 0x3F, 0xFF, 1}, 0xFFFF, 0xFFFF).end();
    MnuReadResult huge = loadMNU(big.bytes());
    EXPECT_EQ(huge.menu.IGObjects.size(), 0xFFFFu);
    EXPECT_EQ(rle_decode(huge.menu, 0xFFFE), nullptr);
    EXPECT_EQ(Obj2Pic(huge.menu, 0xFFFE, 0), nullptr);
    const auto saved = saveIGS(huge.menu, IGSaveMode::Mnu);
    EXPECT_TRUE(saved.ok) << "an undecodable object goes back with its own bytes";

    // A page button table with ids up to 0xFFFE stays two bytes per slot.
    const TPageButton table = buildPageButtons(pageWithButtons({0, 0xFFFE}));
    ASSERT_EQ(table.size(), 0xFFFFu);
    EXPECT_EQ(table[0xFFFE].button_id, 0xFFFE);
    EXPECT_FALSE(table.holds(0x8000));
}

TEST(IGReaderRobust, CountsBeyondTheDataMarkTheReadDamaged) {
    std::string error;
    const auto bytes =
        readWholeFile(std::string(CORVANE_TEST_DATA) + "/menu/bog-count-beyond-data.mnu", error);
    ASSERT_TRUE(bytes) << error;
    const MnuReadResult result = loadMNU(*bytes);
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_TRUE(hasError(result, "The interactive composition ends early in page 0."));
    ASSERT_EQ(result.menu.IGSc.pages.size(), 1u);
    EXPECT_EQ(result.menu.IGSc.pages[0].number_of_BOGs, 255);
    EXPECT_LT(result.menu.IGSc.pages[0].BOGs.size(), 255u);
}

TEST(IGReaderRobust, EmptyAndTinyFiles) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        ReadStatus status;
        std::size_t objects;
    };
    const std::vector<Case> cases{
        {{}, ReadStatus::Ok, 0},
        {{'I'}, ReadStatus::FormatError, 0},
        {{'I', 'G', 0, 0}, ReadStatus::Damaged, 0},
        {{'I', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0x15, 0xFF, 0xFF, 0}, ReadStatus::Damaged, 1},
    };
    for (const auto& c : cases) {
        const MnuReadResult result = loadMNU(c.bytes);
        EXPECT_EQ(result.status, c.status) << c.bytes.size();
        EXPECT_EQ(result.menu.IGObjects.size(), c.objects);
        EXPECT_EQ(lastLine(result),
                  "[b]1[/b] ICS, [b]" + std::to_string(c.objects) + "[/b] OCS, [b]0[/b] PCS found.");
    }
}

} // namespace
} // namespace corvane
