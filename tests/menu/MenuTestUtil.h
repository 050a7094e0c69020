#pragma once
// Builders of IG test data: .mnu segment files byte by byte, and menus made in code.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graphics/Picture.h"
#include "io/ByteWriter.h"
#include "menu/IGMenu.h"
#include "menu/IGReader.h"
#include "menu/PageRender.h"

namespace corvane::testing {

// A pixel as {R, G, B, A}, and an opaque 0xRRGGBB colour in the same form.
inline std::array<int, 4> px(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}
inline std::array<int, 4> rgb(std::uint32_t c) {
    return {static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF), 255};
}

inline constexpr std::uint32_t Navy = 0x000080;

// A page renderer over a menu on a plain navy background, without preloading.
struct NavyRenderer {
    explicit NavyRenderer(TMenu m) : menu(std::move(m)), renderer(menu, regs, options) {
        options.PreLoad = false;
        RgbaImage plain(PageWidth, PageHeight);
        plain.fill(Navy);
        renderer.setBackground(plain);
    }
    TMenu menu;
    RegisterFile regs;
    Options options;
    PageRenderer renderer;
};

// A .mnu file assembled segment by segment.
class MnuBuilder {
public:
    MnuBuilder& segment(std::uint8_t type, const std::vector<std::uint8_t>& body, std::uint32_t pts = 0,
                        std::uint32_t dts = 0) {
        m_out.appendbyte('I');
        m_out.appendbyte('G');
        m_out.appendlword(pts);
        m_out.appendlword(dts);
        m_out.appendbyte(type);
        m_out.appendword(static_cast<std::uint32_t>(body.size()));
        m_out.appendbytes(body);
        return *this;
    }
    // A PDS with the given (entry, Y, Cr, Cb, T) quintuples.
    MnuBuilder& palette(std::uint8_t id, std::uint8_t version,
                        const std::vector<std::array<std::uint8_t, 5>>& entries = {}, std::uint32_t pts = 0) {
        ByteWriter body;
        body.appendbyte(id);
        body.appendbyte(version);
        for (const auto& e : entries)
            for (auto b : e) body.appendbyte(b);
        return segment(0x14, body.take(), pts);
    }
    // An ODS; the first fragment carries object_data_length (rle bytes + 4), width and height.
    MnuBuilder& object(std::uint16_t id, bool first, bool last, const std::vector<std::uint8_t>& rle,
                       int width = 0, int height = 0, std::uint32_t totalRle = 0, std::uint32_t pts = 0) {
        ByteWriter body;
        body.appendword(id);
        body.appendbyte(0);
        body.appendbyte((first ? 0x80u : 0u) | (last ? 0x40u : 0u));
        if (first) {
            body.append3byte((totalRle ? totalRle : static_cast<std::uint32_t>(rle.size())) + 4);
            body.appendword(static_cast<std::uint32_t>(width));
            body.appendword(static_cast<std::uint32_t>(height));
        }
        body.appendbytes(rle);
        return segment(0x15, body.take(), pts);
    }
    MnuBuilder& end(std::uint32_t pts = 0) { return segment(0x80, {}, pts); }
    std::vector<std::uint8_t> bytes() const { return m_out.buffer(); }

private:
    ByteWriter m_out;
};

// An ICS segment body: the fixed fields, a first-and-last fragment, stream model 1 and `pages`
// (already serialised) counted as `pageCount`.
inline std::vector<std::uint8_t> icsBody(std::uint8_t pageCount, const std::vector<std::uint8_t>& pages,
                                         bool streamModel = true) {
    ByteWriter body;
    body.appendword(1920);
    body.appendword(1080);
    body.appendbyte(0x40);
    body.appendword(0);
    body.appendbyte(0x80);
    body.appendbyte(0xC0);
    body.append3byte(static_cast<std::uint32_t>(pages.size() + (streamModel ? 5 : 15)));
    body.appendbyte(streamModel ? 0xC0 : 0x40);
    if (!streamModel) {
        body.append5byte(0x1234567890ull);
        body.append5byte(0x0A0B0C0D0Eull);
    }
    body.append3byte(90000);
    body.appendbyte(pageCount);
    body.appendbytes(pages);
    return body.take();
}

// A button with its fields set from `id` so that two buttons differ everywhere.
inline TIGbutton makeButton(std::uint16_t id, std::uint16_t firstObject, std::uint16_t lastObject,
                            std::size_t commands = 1) {
    TIGbutton b;
    b.button_id = id;
    b.button_numeric_select_value = static_cast<std::uint16_t>(id + 1);
    b.auto_action_flag = id % 2;
    b.button_horizontal_position = static_cast<std::uint16_t>(100 + id);
    b.button_vertical_position = static_cast<std::uint16_t>(200 + id);
    b.upper_button_id_ref = id;
    b.lower_button_id_ref = id;
    b.left_button_id_ref = id;
    b.right_button_id_ref = id;
    b.normal_start_object_id_ref = firstObject;
    b.normal_end_object_id_ref = lastObject;
    b.normal_repeat_flag = 1;
    b.selected_state_sound_id_ref = 3;
    b.selected_start_object_id_ref = firstObject;
    b.selected_end_object_id_ref = firstObject;
    b.activated_state_sound_id_ref = 255;
    b.activated_start_object_id_ref = NoIGObject;
    b.activated_end_object_id_ref = NoIGObject;
    for (std::size_t i = 0; i < commands; ++i)
        b.navigation_commands.push_back({0x21810000u + static_cast<std::uint32_t>(i), id, 0});
    b.number_of_navigation_commands = static_cast<std::uint16_t>(b.navigation_commands.size());
    return b;
}

// A picture with a pattern of runs of every length class.
inline IndexPicture patternPicture(int width, int height, int seed) {
    IndexPicture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = (x / (1 + (y + seed) % 70)) % 4;
            picture.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(band == 0 ? 0 : (band * 37 + seed + y / 3) % 256);
        }
    return picture;
}

// One segment of a written stream.
struct Segment {
    std::uint8_t type = 0;
    std::uint32_t pts = 0;
    std::uint32_t dts = 0; // 0 when the frame carries none
    bool pesDts = false;   // PES framing: whether the header held a DTS
    std::vector<std::uint8_t> body;
};
// The segments of a .mnu file (mode 0) or a PES packet file (mode 1).
std::vector<Segment> splitMnu(const std::vector<std::uint8_t>& bytes);
std::vector<Segment> splitPes(const std::vector<std::uint8_t>& bytes);

// A created menu whose composition body is exactly `length` bytes (at least 119).
TMenu menuWithBodyLength(std::size_t length);
// A one-line picture whose run-length code is exactly `bytes` bytes (at least 3).
IndexPicture pictureEncodingTo(std::size_t bytes);

// A menu made in code: two pages, effects (one sequence with three windows, one cropped
// object), sparse button ids, five objects with pictures and two palettes.
TMenu sampleMenu();
// Adds an object with this picture in slot `id` (growing the list).
void addObject(TMenu& menu, std::uint16_t id, const IndexPicture& picture);

} // namespace corvane::testing
