// Writing menus: round trips through the reader, fragment limits, time stamps, the PES
// framing, the object order, the created menu and object references.

#include <gtest/gtest.h>

#include "TestBytes.h"
#include "graphics/ObjectPicture.h"
#include "graphics/RleCodec.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "menu/MenuTestUtil.h"

namespace corvane {
namespace {

using testing::Segment;

MnuReadResult reread(const TMenu& menu, IGSaveMode mode = IGSaveMode::Mnu) {
    const IGSaveResult saved = saveIGS(menu, mode);
    EXPECT_TRUE(saved.ok) << saved.error;
    return loadMNU(saved.bytes);
}

// Everything a save keeps, compared field by field; palettes through the colour conversion.
void expectSameMenu(const TMenu& original, TMenu& read) {
    const TIGSc& a = original.IGSc;
    const TIGSc& b = read.IGSc;
    EXPECT_EQ(b.video_width, a.video_width);
    EXPECT_EQ(b.video_height, a.video_height);
    EXPECT_EQ(b.frame_rate_id, a.frame_rate_id);
    EXPECT_EQ(b.composition_number, a.composition_number);
    EXPECT_EQ(b.composition_state, a.composition_state);
    EXPECT_EQ(b.stream_ui_model, a.stream_ui_model);
    EXPECT_EQ(b.composition_time_out_pts, a.composition_time_out_pts);
    EXPECT_EQ(b.selection_time_out_pts, a.selection_time_out_pts);
    EXPECT_EQ(b.user_time_out_duration, a.user_time_out_duration);
    EXPECT_EQ(b.number_of_pages, a.number_of_pages);
    EXPECT_TRUE(b.pages == a.pages);
    EXPECT_TRUE(read.PageButtons == original.PageButtons);
    EXPECT_EQ(read.MenuInTime, original.MenuInTime);
    ASSERT_EQ(read.IGPalettes.size(), original.IGPalettes.size());
    for (std::size_t p = 0; p < original.IGPalettes.size(); ++p)
        for (std::size_t n = 0; n < 255; ++n) {
            const PaletteEntry& e = original.IGPalettes[p].entries[n];
            const auto ycc = RGBToYCrCb(e[0], e[1], e[2]);
            const auto rgb = YCrCbToRGB(ycc[0], ycc[1], ycc[2]);
            const bool zero = e == PaletteEntry{0, 0, 0, 0};
            const PaletteEntry expected = zero ? e : PaletteEntry{rgb[0], rgb[1], rgb[2], e[3]};
            ASSERT_EQ(read.IGPalettes[p].entries[n], expected) << "palette " << p << " entry " << n;
        }
    ASSERT_EQ(read.IGObjects.size(), original.IGObjects.size());
    for (std::size_t id = 0; id < original.IGObjects.size(); ++id) {
        if (!original.IGObjects[id].present()) continue;
        const auto want = objectPicture(original, static_cast<std::uint16_t>(id));
        const IndexPicture* got = rle_decode(read, static_cast<std::uint16_t>(id));
        ASSERT_TRUE(want && got);
        EXPECT_TRUE(*got == *want) << "object " << id;
    }
}

TEST(IGWriter, SavedMenuReadsBackTheSame) {
    TMenu menu = testing::sampleMenu();
    MnuReadResult read = reread(menu);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    expectSameMenu(menu, read.menu);
    // The second save is the first one again.
    EXPECT_EQ(testing::byteDifference(saveIGS(menu, IGSaveMode::Mnu).bytes,
                                      saveIGS(read.menu, IGSaveMode::Mnu).bytes),
              "");
}

TEST(IGWriter, LargeObjectsAndCompositionsSplitAndComeBack) {
    TMenu menu = testing::sampleMenu();
    IndexPicture noisy(1920, 300);
    for (std::size_t i = 0; i < noisy.pixels.size(); ++i)
        noisy.pixels[i] = static_cast<std::uint8_t>(i * 7919 % 251 + 1);
    testing::addObject(menu, 6, noisy);
    menu.IGSc.pages[1].BOGs[0].buttons[0].navigation_commands.resize(12000);
    menu.IGSc.pages[1].BOGs[0].buttons[0].number_of_navigation_commands = 12000;
    menu.PageButtons[1] = buildPageButtons(menu.IGSc.pages[1]);
    ASSERT_GT(rle_encode(*menu.IGObjects[6].index_picture).size(), 2 * 65515u);
    const auto segments = testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes);
    std::size_t ics = 0, ods6 = 0;
    for (const auto& s : segments) {
        EXPECT_LE(s.body.size(), MaxSegmentLength);
        ics += s.type == 0x18;
        ods6 += s.type == 0x15 && s.body[1] == 6;
    }
    EXPECT_EQ(ics, 3u);
    EXPECT_GE(ods6, 3u);
    MnuReadResult read = reread(menu);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    expectSameMenu(menu, read.menu);
}

TEST(IGWriter, CompositionFragmentsAtTheLimit) {
    // Stream model 1: 8 header bytes, so 65502 body bytes fill one segment exactly.
    const TMenu fits = testing::menuWithBodyLength(65502);
    ASSERT_EQ(compositionBody(fits.IGSc).size(), 65502u);
    auto segments = testing::splitMnu(saveIGS(fits, IGSaveMode::Mnu).bytes);
    ASSERT_EQ(segments.front().type, 0x18);
    ASSERT_EQ(segments.front().body.size(), 65519u);
    EXPECT_EQ(segments.front().body[8], 0xC0);
    EXPECT_EQ(segments[1].type, 0x80);

    const TMenu over = testing::menuWithBodyLength(65503);
    segments = testing::splitMnu(saveIGS(over, IGSaveMode::Mnu).bytes);
    ASSERT_EQ(segments[0].type, 0x18);
    ASSERT_EQ(segments[1].type, 0x18);
    ASSERT_EQ(segments[0].body.size(), 65519u);
    EXPECT_EQ(segments[0].body[8], 0x80);
    ASSERT_EQ(segments[1].body.size(), 9u + 1u);
    EXPECT_EQ(segments[1].body[8], 0x40);
    // interactive_composition_length: the body plus 5.
    EXPECT_EQ((segments[0].body[9] << 16) | (segments[0].body[10] << 8) | segments[0].body[11], 65503 + 5);
    MnuReadResult read = reread(over);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_TRUE(read.menu.IGSc.pages == over.IGSc.pages);
}

TEST(IGWriter, ObjectFragmentsAtTheLimit) {
    for (const std::size_t size : {std::size_t{65508}, std::size_t{65509}}) {
        TMenu menu = createMenu();
        const IndexPicture picture = testing::pictureEncodingTo(size);
        ASSERT_EQ(rle_encode(picture).size(), size);
        testing::addObject(menu, 0, picture);
        std::vector<Segment> ods;
        for (auto& s : testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes))
            if (s.type == 0x15) ods.push_back(s);
        if (size == 65508) {
            ASSERT_EQ(ods.size(), 1u);
            ASSERT_EQ(ods[0].body.size(), 65519u);
            EXPECT_EQ(ods[0].body[3], 0xC0);
        } else {
            ASSERT_EQ(ods.size(), 2u);
            ASSERT_EQ(ods[0].body.size(), 65519u);
            EXPECT_EQ(ods[0].body[3], 0x80);
            ASSERT_EQ(ods[1].body.size(), 5u);
            EXPECT_EQ(ods[1].body[3], 0x40);
        }
        MnuReadResult read = reread(menu);
        EXPECT_TRUE(*rle_decode(read.menu, 0) == picture);
    }
}

TEST(IGWriter, ListsLongerThanTheirCountFieldsAreRefused) {
    TMenu menu = createMenu();
    menu.IGSc.pages[0].BOGs[0].buttons.resize(256);
    IGSaveResult saved = saveIGS(menu, IGSaveMode::Mnu);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, "Page 0 holds more than 255 buttons in a BOG.");
    EXPECT_TRUE(saved.bytes.empty());
    menu = createMenu();
    menu.IGSc.pages[0].effect_sequences[1].windows.resize(256);
    EXPECT_EQ(saveIGS(menu, IGSaveMode::Mnu).error,
              "Page 0 holds more than 255 windows in an effect sequence.");
}

TEST(IGWriter, PaletteSegments) {
    TMenu menu = createMenu();
    menu.IGPalettes.resize(2);
    menu.IGPalettes[1].entries[4] = {255, 0, 0, 200};
    menu.IGPalettes[1].entries[2] = {0, 0, 255, 0};
    menu.IGPalettes[1].entries[255] = {9, 9, 9, 9};
    std::vector<Segment> pds;
    for (auto& s : testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes))
        if (s.type == 0x14) pds.push_back(s);
    ASSERT_EQ(pds.size(), 2u);
    EXPECT_EQ(pds[0].body, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(pds[1].body, (std::vector<std::uint8_t>{1, 0, 2, 41, 111, 240, 0, 4, 82, 240, 91, 200}));
}

TEST(IGWriter, UnchangedPaletteEntriesKeepTheirStoredValues) {
    // (100, 100, 100) and (50, 200, 60) do not survive YCrCb -> RGB -> YCrCb unchanged.
    testing::MnuBuilder mnu;
    mnu.palette(0, 0, {{1, 100, 100, 100, 255}, {2, 50, 200, 60, 128}}).end();
    MnuReadResult read = loadMNU(mnu.bytes());
    const std::vector<std::uint8_t> asRead{0, 0, 1, 100, 100, 100, 255, 2, 50, 200, 60, 128};
    auto pdsOf = [](const TMenu& menu) {
        for (auto& s : testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes))
            if (s.type == 0x14) return s.body;
        return std::vector<std::uint8_t>{};
    };
    EXPECT_EQ(pdsOf(read.menu), asRead);
    // An edited entry is converted from its new colour.
    read.menu.IGPalettes[0].entries[2] = {255, 0, 0, 128};
    EXPECT_EQ(pdsOf(read.menu),
              (std::vector<std::uint8_t>{0, 0, 1, 100, 100, 100, 255, 2, 82, 240, 91, 128}));
}

TEST(IGWriter, TimeStampsRunBackFromTheInTime) {
    TMenu menu = createMenu();
    menu.IGPalettes.resize(1);
    testing::addObject(menu, 0, testing::pictureEncodingTo(40000));
    testing::addObject(menu, 1, testing::pictureEncodingTo(20000));
    // Object 1 is the page's normal object, so it goes first.
    menu.IGSc.pages[0].BOGs[0].buttons[0].normal_start_object_id_ref = 1;
    menu.IGSc.pages[0].BOGs[0].buttons[0].normal_end_object_id_ref = 1;
    menu.PageButtons = {buildPageButtons(menu.IGSc.pages[0])};
    for (IGSaveMode mode : {IGSaveMode::Mnu, IGSaveMode::Pes}) {
        const auto bytes = saveIGS(menu, mode).bytes;
        const auto segments = mode == IGSaveMode::Mnu ? testing::splitMnu(bytes) : testing::splitPes(bytes);
        ASSERT_EQ(segments.size(), 5u);
        EXPECT_EQ(segments[0].pts, 180000u);
        EXPECT_EQ(segments[0].dts, 179100u) << "T = 60000 bytes of objects";
        EXPECT_EQ(segments[1].pts, 179100u);
        EXPECT_EQ(segments[1].dts, 0u);
        EXPECT_EQ(segments[2].body[1], 1);
        EXPECT_EQ(segments[2].dts, 180000u - 60000u * 9 / 600);
        EXPECT_EQ(segments[2].pts, 180000u - 40000u * 9 / 600);
        EXPECT_EQ(segments[3].body[1], 0);
        EXPECT_EQ(segments[3].dts, 180000u - 40000u * 9 / 600);
        EXPECT_EQ(segments[3].pts, 180000u);
        EXPECT_EQ(segments[4].type, 0x80);
        EXPECT_EQ(segments[4].pts, 180000u - 40000u * 9 / 600) << "END: the last object's bytes";
        if (mode == IGSaveMode::Pes) {
            EXPECT_TRUE(segments[0].pesDts);
            EXPECT_FALSE(segments[1].pesDts);
            EXPECT_FALSE(segments[4].pesDts);
        }
    }
}

TEST(IGWriter, PesFramingMatchesTheMnuSegments) {
    const TMenu menu = testing::sampleMenu();
    const auto mnu = testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes);
    const auto pes = testing::splitPes(saveIGS(menu, IGSaveMode::Pes).bytes);
    ASSERT_EQ(mnu.size(), pes.size());
    for (std::size_t i = 0; i < mnu.size(); ++i) {
        EXPECT_EQ(pes[i].type, mnu[i].type);
        EXPECT_EQ(pes[i].body, mnu[i].body);
        EXPECT_EQ(pes[i].pts, mnu[i].pts);
        EXPECT_EQ(pes[i].dts, mnu[i].dts);
        EXPECT_EQ(pes[i].pesDts, mnu[i].dts != 0);
    }
    std::vector<std::uint8_t> stamp;
    appendPesTimeStamp(stamp, 0x31, 0xC0000000u + 0x12345u);
    EXPECT_EQ(stamp, (std::vector<std::uint8_t>{0x37, 0x00, 0x05, 0x46, 0x8B}));
    stamp.clear();
    appendPesTimeStamp(stamp, 0x11, 0);
    EXPECT_EQ(stamp, (std::vector<std::uint8_t>{0x11, 0x00, 0x01, 0x00, 0x01}));
}

TEST(IGWriter, CreatedMenuWritesCompositionAndEndOnly) {
    const TMenu menu = createMenu();
    EXPECT_EQ(menu.IGSc.video_width, 1920);
    EXPECT_EQ(menu.IGSc.stream_ui_model, 3);
    EXPECT_EQ(menu.MenuInTime, 180000u);
    ASSERT_EQ(menu.PageButtons.size(), 1u);
    EXPECT_EQ(menu.PageButtons[0][0].selected_state_sound_id_ref, 255);
    const auto segments = testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].type, 0x18);
    EXPECT_EQ(segments[1].type, 0x80);
    EXPECT_TRUE(segments[1].body.empty());
    EXPECT_EQ(segments[1].pts, 180000u - 59u * 9 / 600) << "END without objects: the body length";
    MnuReadResult read = loadMNU(saveIGS(menu, IGSaveMode::Mnu).bytes);
    expectSameMenu(menu, read.menu);
    EXPECT_EQ(menu.IGSc.interactive_composition_length, read.menu.IGSc.interactive_composition_length)
        << "a new menu shows the length its file will hold";
}

TEST(IGWriter, StreamModelZeroWritesTimeOuts) {
    TMenu menu = createMenu();
    menu.IGSc.stream_ui_model = 0;
    menu.IGSc.composition_time_out_pts = 0x0102030405ull;
    menu.IGSc.selection_time_out_pts = 0x0A0B0C0D0Eull;
    const auto segments = testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes);
    const auto& body = segments[0].body;
    EXPECT_EQ((body[9] << 16) | (body[10] << 8) | body[11], 59 + 15);
    EXPECT_EQ(body[12], 0x00);
    EXPECT_EQ(std::vector<std::uint8_t>(body.begin() + 13, body.begin() + 23),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E}));
    EXPECT_EQ(body.size(), 9u + 18u + 59u);
}

TEST(IGWriter, ObjectOrderFollowsTheFirstPage) {
    TMenu menu = createMenu();
    for (std::uint16_t id = 0; id < 12; ++id) testing::addObject(menu, id, IndexPicture(1, 1));
    menu.IGObjects[11] = TIGobject{}; // a gap: never written
    TPage& page = menu.IGSc.pages[0];
    page.effect_sequences[0].effects = {Teffect{1, 0, 1, {TCompObject{9}}}};
    TBOG valid;
    valid.default_valid_button_id_ref = 0;
    valid.buttons = {testing::makeButton(0, 3, 4), testing::makeButton(1, 7, 7)};
    valid.buttons[0].selected_start_object_id_ref = 6;
    valid.buttons[0].selected_end_object_id_ref = 5; // start > end: nothing
    valid.buttons[1].activated_start_object_id_ref = 2;
    valid.buttons[1].activated_end_object_id_ref = 2;
    TBOG other;
    other.default_valid_button_id_ref = NoButton;
    other.buttons = {testing::makeButton(5, 8, 8)};
    other.buttons[0].selected_start_object_id_ref = 10;
    other.buttons[0].selected_end_object_id_ref = 10;
    page.BOGs = {other, valid};
    menu.PageButtons = {buildPageButtons(page)};
    // in effect 9; valid BOG normal 3 4 7, selected (3), (7), activated 2; other BOG 8 10;
    // then the rest: 0 1 5 6.
    EXPECT_EQ(objectOrder(menu), (std::vector<std::uint16_t>{9, 3, 4, 7, 2, 8, 10, 0, 1, 5, 6}));
    std::size_t ods = 0;
    for (auto& s : testing::splitMnu(saveIGS(menu, IGSaveMode::Mnu).bytes)) ods += s.type == 0x15;
    EXPECT_EQ(ods, 11u) << "the gap slot is not written as object 0000";
}

TEST(IGMenuModel, MenuHeadTexts) {
    TIGSc ics;
    ics.video_width = 1920;
    ics.video_height = 1080;
    EXPECT_EQ(videoFormatIndex(ics), 0);
    ics.video_width = 720;
    ics.video_height = 576;
    EXPECT_EQ(videoFormatIndex(ics), 2);
    ics.video_width = 1280;
    ics.video_height = 480;
    EXPECT_EQ(videoFormatIndex(ics), 3) << "a later match wins";
    ics.video_width = 640;
    ics.video_height = 360;
    EXPECT_EQ(videoFormatIndex(ics), -1);
    EXPECT_EQ(menuInTimeText(90000), "0:00:01.000");
    EXPECT_EQ(menuInTimeText(180000), "0:00:02.000");
    EXPECT_EQ(menuInTimeText(90u * 3723456u), "1:02:03.456");
    EXPECT_EQ(menuTimeOutText(90000u * 3725 + 89999), "1:02:05");
}

TEST(IGMenuModel, ObjectReferences) {
    TMenu menu = createMenu();
    TPage page;
    TBOG bog;
    bog.buttons = {testing::makeButton(0, 9, 9), testing::makeButton(1, 9, 9), testing::makeButton(2, 5, 6),
                   testing::makeButton(3, 0, 0)};
    bog.buttons[2].selected_start_object_id_ref = NoIGObject;
    bog.buttons[2].selected_end_object_id_ref = NoIGObject;
    bog.buttons[3].selected_start_object_id_ref = 4;
    bog.buttons[3].selected_end_object_id_ref = 6;
    bog.buttons[3].activated_start_object_id_ref = 5;
    bog.buttons[3].activated_end_object_id_ref = 5;
    bog.buttons.push_back(testing::makeButton(7, 0, 0)); // slots 4-6 stay empty
    page.BOGs = {bog};
    TPage second;
    second.effect_sequences[0].effects = {Teffect{1, 0, 1, {TCompObject{5}}}};
    menu.IGSc.pages = {page, second};
    menu.PageButtons = {buildPageButtons(page), buildPageButtons(second)};
    EXPECT_EQ(getobjref(menu, 5), "0:2n,3sa 1i");
    EXPECT_EQ(getobjref(menu, 42), "");
    EXPECT_EQ(getobjref(menu, 0), "0:3n,7ns") << "empty slots 4-6 hold no button";
}

TEST(IGMenuModel, ObjectPaletteComesFromTheFirstUse) {
    TMenu menu = createMenu();
    TPage first;
    first.palette_id_ref = 3;
    TBOG bog;
    bog.buttons = {testing::makeButton(0, 5, 5)};
    first.BOGs = {bog};
    TPage second;
    second.palette_id_ref = 4;
    bog.buttons = {testing::makeButton(0, 9, 9)};
    second.BOGs = {bog};
    second.effect_sequences[0].effects = {Teffect{1, 1, 1, {TCompObject{8}}},
                                          Teffect{1, 2, 1, {TCompObject{7}}}};
    second.effect_sequences[1].effects = {Teffect{1, 6, 1, {TCompObject{7}}},
                                          Teffect{1, 7, 1, {TCompObject{9}}}};
    menu.IGSc.pages = {first, second};
    menu.PageButtons = {buildPageButtons(first), buildPageButtons(second)};
    EXPECT_EQ(objectPalette(menu, 5), std::optional<std::uint8_t>(3)) << "a button: its page's palette";
    EXPECT_EQ(objectPalette(menu, 8), std::optional<std::uint8_t>(2)) << "in effects: the last one's palette";
    EXPECT_EQ(objectPalette(menu, 9), std::optional<std::uint8_t>(6))
        << "out effects before the page's buttons";
    EXPECT_EQ(objectPalette(menu, 42), std::nullopt);
}

} // namespace
} // namespace corvane
