#include "menu/MenuTestUtil.h"

#include <memory>
#include <stdexcept>

#include "io/ByteReader.h"

namespace corvane::testing {

void addObject(TMenu& menu, std::uint16_t id, const IndexPicture& picture) {
    if (menu.IGObjects.size() < id + 1u) menu.IGObjects.resize(id + 1u);
    TIGobject& object = menu.IGObjects[id];
    object.object_id = id;
    object.object_width = static_cast<std::uint16_t>(picture.width);
    object.object_height = static_cast<std::uint16_t>(picture.height);
    object.rle_data_length = static_cast<std::uint32_t>(picture.pixels.size());
    object.index_picture = std::make_shared<const IndexPicture>(picture);
}

std::vector<Segment> splitMnu(const std::vector<std::uint8_t>& bytes) {
    std::vector<Segment> segments;
    ByteReader in(bytes);
    while (!in.atEnd()) {
        Segment s;
        if (in.readbyte() != 'I' || in.readbyte() != 'G') throw std::runtime_error("no IG frame");
        s.pts = in.readlword();
        s.dts = in.readlword();
        s.type = static_cast<std::uint8_t>(in.readbyte());
        s.body = in.readbytes(in.readword());
        if (in.overrun()) throw std::runtime_error("segment cut short");
        segments.push_back(std::move(s));
    }
    return segments;
}

namespace {
std::uint32_t pesTime(ByteReader& in) {
    const std::uint64_t high = in.readbyte(), mid = in.readword(), low = in.readword();
    return static_cast<std::uint32_t>(((high >> 1) & 0x7) << 30 | (mid >> 1) << 15 | (low >> 1));
}
} // namespace

std::vector<Segment> splitPes(const std::vector<std::uint8_t>& bytes) {
    std::vector<Segment> segments;
    ByteReader in(bytes);
    while (!in.atEnd()) {
        if (in.readlword() != 0x000001BD) throw std::runtime_error("no private stream 1 start code");
        ByteReader packet = in.sub(in.readword());
        Segment s;
        packet.readbyte();
        s.pesDts = packet.readbyte() == 0xC0;
        const std::uint32_t headerLength = packet.readbyte();
        if (headerLength != (s.pesDts ? 10u : 5u)) throw std::runtime_error("PES header length");
        s.pts = pesTime(packet);
        if (s.pesDts) s.dts = pesTime(packet);
        s.type = static_cast<std::uint8_t>(packet.readbyte());
        s.body = packet.readbytes(packet.readword());
        if (packet.overrun() || !packet.atEnd() || in.overrun())
            throw std::runtime_error("PES length mismatch");
        segments.push_back(std::move(s));
    }
    return segments;
}

TMenu menuWithBodyLength(std::size_t length) {
    if (length < 119) throw std::invalid_argument("body too short to shape");
    TMenu menu = createMenu();
    TPage& page = menu.IGSc.pages[0];
    // 59 bytes as created (page 21, BOG 3, button 35); commands add 12, empty BOGs 3, empty effects 5.
    const std::size_t rest = length - 59;
    const std::size_t commands = (rest - 60) / 12;
    std::size_t left = rest - commands * 12;
    std::size_t effects = 0;
    while ((left - 5 * effects) % 3 != 0) ++effects;
    const std::size_t bogs = (left - 5 * effects) / 3;
    page.BOGs[0].buttons[0].navigation_commands.resize(commands);
    page.BOGs[0].buttons[0].number_of_navigation_commands = static_cast<std::uint16_t>(commands);
    page.BOGs.resize(1 + bogs);
    page.number_of_BOGs = static_cast<std::uint8_t>(page.BOGs.size());
    page.effect_sequences[0].effects.resize(effects);
    page.effect_sequences[0].number_of_effects = static_cast<std::uint8_t>(effects);
    menu.PageButtons = {buildPageButtons(page)};
    return menu;
}

IndexPicture pictureEncodingTo(std::size_t bytes) {
    IndexPicture picture(static_cast<int>(bytes - 2), 1);
    for (std::size_t x = 0; x < picture.pixels.size(); ++x)
        picture.pixels[x] = static_cast<std::uint8_t>(1 + x % 2);
    return picture;
}

TMenu sampleMenu() {
    TMenu menu = createMenu();
    menu.MenuInTime = 900000;
    TIGSc& ics = menu.IGSc;
    ics.frame_rate_id = 4;
    ics.composition_number = 7;
    ics.composition_state = 2;
    ics.stream_ui_model = 1; // stream model 0: the time-outs are stored
    ics.composition_time_out_pts = 0x0012345678ull;
    ics.selection_time_out_pts = 0x00000ABCDEull;
    ics.user_time_out_duration = 270000;

    TPage first;
    first.page_id = 0;
    first.page_version_number = 3;
    first.UO_mask_table = {0x80000000u, 0x00000001u};
    Teffectseq& in = first.effect_sequences[0];
    for (std::uint8_t w = 0; w < 3; ++w)
        in.windows.push_back(
            {w, static_cast<std::uint16_t>(10 * w), 20, 300, static_cast<std::uint16_t>(40 + w)});
    in.number_of_windows = 3;
    Teffect fade;
    fade.effect_duration = 4500;
    fade.palette_id_ref = 1;
    TCompObject plain{4, 0, 1, 5, 6};
    TCompObject cropped{3, 1, 3, 7, 8, 1, 2, 30, 40};
    fade.composition_objects = {plain, cropped};
    fade.number_of_composition_objects = 2;
    in.effects = {fade};
    in.number_of_effects = 1;
    Teffectseq& out = first.effect_sequences[1];
    out.windows = {{0, 0, 0, 1920, 1080}};
    out.number_of_windows = 1;
    out.effects = {Teffect{9000, 0, 0, {}}};
    out.number_of_effects = 1;
    first.animation_frame_rate_code = 2;
    first.default_selected_button_id_ref = 1;
    first.default_activated_button_id_ref = NoButton;
    first.palette_id_ref = 0;
    TBOG shown;
    shown.default_valid_button_id_ref = 0;
    shown.buttons = {makeButton(0, 0, 1, 2), makeButton(1, 1, 1, 0)};
    shown.number_of_buttons = 2;
    TBOG hidden;
    hidden.default_valid_button_id_ref = NoButton;
    hidden.buttons = {makeButton(10, 2, 2, 3)};
    hidden.number_of_buttons = 1;
    first.BOGs = {shown, hidden};
    first.number_of_BOGs = 2;

    TPage second;
    second.page_id = 1;
    second.palette_id_ref = 1;
    second.effect_sequences[0].effects = {Teffect{100, 1, 1, {TCompObject{3, 0, 0, 0, 0}}}};
    second.effect_sequences[0].number_of_effects = 1;
    TBOG only;
    only.default_valid_button_id_ref = 0;
    only.buttons = {makeButton(0, 2, 2, 1)};
    only.number_of_buttons = 1;
    second.BOGs = {only};
    second.number_of_BOGs = 1;

    ics.pages = {first, second};
    ics.number_of_pages = 2;
    menu.PageButtons = {buildPageButtons(first), buildPageButtons(second)};

    addObject(menu, 0, patternPicture(64, 20, 0));
    addObject(menu, 1, patternPicture(300, 7, 1));
    addObject(menu, 2, patternPicture(1, 5, 2));
    addObject(menu, 3, patternPicture(2, 3, 3));
    addObject(menu, 4, patternPicture(200, 120, 4));

    menu.IGPalettes.resize(2);
    for (std::uint16_t p = 0; p < 2; ++p) {
        menu.IGPalettes[p].palette_id = p;
        for (int n = 1; n < 255; ++n)
            menu.IGPalettes[p].entries[static_cast<std::size_t>(n)] = {
                static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(255 - n),
                static_cast<std::uint8_t>((n * 7 + p * 50) % 256),
                static_cast<std::uint8_t>(n % 3 == 0 ? 128 : 255)};
    }
    return menu;
}

} // namespace corvane::testing
