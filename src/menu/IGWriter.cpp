#include "menu/IGWriter.h"

#include <algorithm>
#include <set>

#include "graphics/ObjectPicture.h"
#include "graphics/RleCodec.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"
#include "menu/IGReader.h"

namespace corvane {

namespace {

constexpr std::size_t IcsPayload = MaxSegmentLength - IcsFixedBytes; // 65510
constexpr std::size_t OdsPayload = MaxSegmentLength - OdsFixedBytes; // 65515
constexpr std::size_t OdsFirstPayload = OdsPayload - OdsFirstBytes;  // 65508
constexpr std::uint32_t Max24 = 0xFFFFFF;

// Objects not yet placed, so a range of ids costs the ids it finds, not its width.
class ObjectPlacer {
public:
    explicit ObjectPlacer(const TMenu& menu) {
        for (std::size_t id = 0; id < menu.IGObjects.size(); ++id)
            if (menu.IGObjects[id].present()) m_free.insert(static_cast<std::uint16_t>(id));
    }
    // The ids start .. end (inclusive, only when start <= end), 0xFFFF never.
    void placeRange(std::uint16_t start, std::uint16_t end) {
        if (start > end) return;
        auto it = m_free.lower_bound(start);
        while (it != m_free.end() && *it <= end && *it != NoIGObject) {
            m_order.push_back(*it);
            it = m_free.erase(it);
        }
    }
    void place(std::uint16_t id) { placeRange(id, id); }
    std::vector<std::uint16_t> finish() {
        m_order.insert(m_order.end(), m_free.begin(), m_free.end());
        m_free.clear();
        return std::move(m_order);
    }

private:
    std::set<std::uint16_t> m_free;
    std::vector<std::uint16_t> m_order;
};

void placeNormal(ObjectPlacer& placer, const TIGbutton& b) {
    placer.placeRange(b.normal_start_object_id_ref, b.normal_end_object_id_ref);
}
void placeSelected(ObjectPlacer& placer, const TIGbutton& b) {
    placer.placeRange(b.selected_start_object_id_ref, b.selected_end_object_id_ref);
}
void placeActivated(ObjectPlacer& placer, const TIGbutton& b) {
    placer.placeRange(b.activated_start_object_id_ref, b.activated_end_object_id_ref);
}

void writeEffectSequence(ByteWriter& out, const Teffectseq& sequence) {
    out.appendbyte(static_cast<std::uint32_t>(sequence.windows.size()));
    for (const auto& w : sequence.windows) {
        out.appendbyte(w.window_id);
        out.appendword(w.window_horizontal_position);
        out.appendword(w.window_vertical_position);
        out.appendword(w.window_width);
        out.appendword(w.window_height);
    }
    out.appendbyte(static_cast<std::uint32_t>(sequence.effects.size()));
    for (const auto& effect : sequence.effects) {
        out.append3byte(effect.effect_duration);
        out.appendbyte(effect.palette_id_ref);
        out.appendbyte(static_cast<std::uint32_t>(effect.composition_objects.size()));
        for (const auto& object : effect.composition_objects) {
            out.appendword(object.object_id_ref);
            out.appendbyte(object.window_id_ref);
            out.appendbyte(static_cast<std::uint32_t>(object.composition_flags & 0x3) << 6);
            out.appendword(object.composition_object_horizontal_position);
            out.appendword(object.composition_object_vertical_position);
            if (object.cropped()) {
                out.appendword(object.object_cropping_horizontal_position);
                out.appendword(object.object_cropping_vertical_position);
                out.appendword(object.object_cropping_width);
                out.appendword(object.object_cropping_height);
            }
        }
    }
}

void writeButton(ByteWriter& out, const TIGbutton& b) {
    out.appendword(b.button_id);
    out.appendword(b.button_numeric_select_value);
    out.appendbyte(b.auto_action_flag ? 0x80 : 0);
    out.appendword(b.button_horizontal_position);
    out.appendword(b.button_vertical_position);
    out.appendword(b.upper_button_id_ref);
    out.appendword(b.lower_button_id_ref);
    out.appendword(b.left_button_id_ref);
    out.appendword(b.right_button_id_ref);
    out.appendword(b.normal_start_object_id_ref);
    out.appendword(b.normal_end_object_id_ref);
    out.appendbyte(b.normal_repeat_flag ? 0x80 : 0);
    out.appendbyte(b.selected_state_sound_id_ref);
    out.appendword(b.selected_start_object_id_ref);
    out.appendword(b.selected_end_object_id_ref);
    out.appendbyte(b.selected_repeat_flag ? 0x80 : 0);
    out.appendbyte(b.activated_state_sound_id_ref);
    out.appendword(b.activated_start_object_id_ref);
    out.appendword(b.activated_end_object_id_ref);
    out.appendword(static_cast<std::uint32_t>(b.navigation_commands.size()));
    for (const auto& command : b.navigation_commands) {
        out.appendlword(command.opcode);
        out.appendlword(command.destination);
        out.appendlword(command.source);
    }
}

// Time stamps run back from the menu's IN time by the decoding time of `bytes` object
// bytes (9/600 ticks per byte); 32-bit arithmetic like the stream's own fields.
std::uint32_t before(std::uint32_t inTime, std::uint64_t bytes) {
    return inTime - static_cast<std::uint32_t>(bytes * 9 / 600);
}

// Segments behind their frame: "IG" + PTS + DTS, or a PES header.
class SegmentOut {
public:
    explicit SegmentOut(IGSaveMode mode) : m_mode(mode) {}

    void segment(SegmentType type, std::uint32_t pts, std::uint32_t dts,
                 const std::vector<std::uint8_t>& body) {
        if (m_mode == IGSaveMode::Mnu) {
            m_out.appendbyte('I');
            m_out.appendbyte('G');
            m_out.appendlword(pts);
            m_out.appendlword(dts);
        } else {
            const bool withDts = dts != 0;
            m_out.appendlword(0x000001BD);
            m_out.appendword(static_cast<std::uint32_t>(body.size() + 3 + (withDts ? 13 : 8)));
            m_out.appendbyte(0x84);
            m_out.appendbyte(withDts ? 0xC0 : 0x80);
            m_out.appendbyte(withDts ? 10 : 5);
            std::vector<std::uint8_t> stamps;
            appendPesTimeStamp(stamps, withDts ? 0x31 : 0x21, pts);
            if (withDts) appendPesTimeStamp(stamps, 0x11, dts);
            m_out.appendbytes(stamps);
        }
        m_out.appendbyte(static_cast<std::uint8_t>(type));
        m_out.appendword(static_cast<std::uint32_t>(body.size()));
        m_out.appendbytes(body);
    }
    std::vector<std::uint8_t> take() { return m_out.take(); }

private:
    IGSaveMode m_mode;
    ByteWriter m_out;
};

std::vector<std::uint8_t> paletteBody(std::size_t id, const TIGPalette& palette) {
    ByteWriter out;
    out.appendbyte(static_cast<std::uint32_t>(id));
    out.appendbyte(0);
    // Entry 255 is not written: it stays the fully transparent entry.
    for (std::uint32_t n = 0; n < 255; ++n) {
        const PaletteEntry& e = palette.entries[n];
        if (e[0] == 0 && e[1] == 0 && e[2] == 0 && e[3] == 0) continue;
        auto ycc = RGBToYCrCb(e[0], e[1], e[2]);
        if (palette.stored[n]) {
            const auto& read = palette.stored_YCrCb[n];
            const auto rgb = YCrCbToRGB(read[0], read[1], read[2]);
            if (rgb[0] == e[0] && rgb[1] == e[1] && rgb[2] == e[2]) ycc = read;
        }
        out.appendbyte(n);
        out.appendbyte(ycc[0]);
        out.appendbyte(ycc[1]);
        out.appendbyte(ycc[2]);
        out.appendbyte(e[3]);
    }
    return out.take();
}

// Why the composition cannot be stored: a list longer than its count field holds.
std::string compositionError(const TIGSc& ics) {
    if (ics.pages.size() > 255) return "The menu has more than 255 pages.";
    for (std::size_t p = 0; p < ics.pages.size(); ++p) {
        const TPage& page = ics.pages[p];
        const std::string where = "Page " + std::to_string(p) + " holds more than ";
        for (const auto& sequence : page.effect_sequences) {
            if (sequence.windows.size() > 255) return where + "255 windows in an effect sequence.";
            if (sequence.effects.size() > 255) return where + "255 effects in an effect sequence.";
            for (const auto& effect : sequence.effects)
                if (effect.composition_objects.size() > 255) return where + "255 objects in an effect.";
        }
        if (page.BOGs.size() > 255) return where + "255 BOGs.";
        for (const auto& bog : page.BOGs) {
            if (bog.buttons.size() > 255) return where + "255 buttons in a BOG.";
            for (const auto& button : bog.buttons)
                if (button.navigation_commands.size() > 0xFFFF) return where + "65535 commands in a button.";
        }
    }
    return {};
}

} // namespace

std::vector<std::uint16_t> objectOrder(const TMenu& menu) {
    ObjectPlacer placer(menu);
    const auto& pages = menu.IGSc.pages;
    if (!pages.empty()) {
        const TPage& page = pages[0];
        for (const auto& effect : page.effect_sequences[0].effects)
            for (const auto& object : effect.composition_objects) placer.place(object.object_id_ref);
        const std::size_t buttons =
            menu.PageButtons.empty() ? buildPageButtons(page).size() : menu.PageButtons[0].size();
        auto valid = [buttons](const TBOG& bog) { return bog.default_valid_button_id_ref < buttons; };
        for (auto state : {placeNormal, placeSelected, placeActivated})
            for (const auto& bog : page.BOGs)
                if (valid(bog))
                    for (const auto& b : bog.buttons) state(placer, b);
        for (const auto& bog : page.BOGs)
            if (!valid(bog))
                for (const auto& b : bog.buttons) {
                    placeNormal(placer, b);
                    placeSelected(placer, b);
                    placeActivated(placer, b);
                }
    }
    return placer.finish();
}

std::size_t compositionHeaderBytes(const TIGSc& ics) {
    // Length, model byte, the two time-outs of the multiplexed model, user time-out, page count.
    return ics.streamModel() ? 8 : 18;
}

std::uint32_t compositionLength(const TIGSc& ics) {
    return static_cast<std::uint32_t>(compositionBody(ics).size() + compositionHeaderBytes(ics) - 3);
}

std::vector<std::uint8_t> compositionBody(const TIGSc& ics) {
    ByteWriter out;
    for (const auto& page : ics.pages) {
        out.appendbyte(page.page_id);
        out.appendbyte(page.page_version_number);
        out.appendlword(page.UO_mask_table[0]);
        out.appendlword(page.UO_mask_table[1]);
        writeEffectSequence(out, page.effect_sequences[0]);
        writeEffectSequence(out, page.effect_sequences[1]);
        out.appendbyte(page.animation_frame_rate_code);
        out.appendword(page.default_selected_button_id_ref);
        out.appendword(page.default_activated_button_id_ref);
        out.appendbyte(page.palette_id_ref);
        out.appendbyte(static_cast<std::uint32_t>(page.BOGs.size()));
        for (const auto& bog : page.BOGs) {
            out.appendword(bog.default_valid_button_id_ref);
            out.appendbyte(static_cast<std::uint32_t>(bog.buttons.size()));
            for (const auto& button : bog.buttons) writeButton(out, button);
        }
    }
    return out.take();
}

void appendPesTimeStamp(std::vector<std::uint8_t>& out, std::uint8_t prefix, std::uint32_t value) {
    ByteWriter stamp;
    stamp.appendbyte(prefix | (value >> 29));
    stamp.appendword(((value >> 14) | 1) & 0xFFFF);
    stamp.appendword((value * 2 + 1) & 0xFFFF);
    stamp.flushbuffer(out);
}

IGSaveResult saveIGS(const TMenu& menu, IGSaveMode mode,
                     const std::function<void(const std::string&)>& status) {
    auto say = [&status](const char* text) {
        if (status) status(text);
    };
    IGSaveResult result;
    const TIGSc& ics = menu.IGSc;
    const std::uint32_t inTime = menu.MenuInTime;

    if (std::string error = compositionError(ics); !error.empty()) {
        result.ok = false;
        result.error = error;
        return result;
    }

    say("RLE decoding/encoding");
    const std::vector<std::uint16_t> order = objectOrder(menu);
    std::vector<std::vector<std::uint8_t>> rle(order.size());
    std::vector<std::pair<std::uint16_t, std::uint16_t>> sizes(order.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const TIGobject& object = menu.IGObjects[order[i]];
        sizes[i] = {object.object_width, object.object_height};
        if (const auto picture = objectPicture(menu, order[i])) {
            rle_encode(*picture, rle[i]);
            sizes[i] = {static_cast<std::uint16_t>(picture->width),
                        static_cast<std::uint16_t>(picture->height)};
        } else {
            rle[i] = objectRleData(menu, object); // too large to decode: its own bytes go back
        }
        if (rle[i].size() + 4 > Max24) {
            result.ok = false;
            result.error = "Object " + hexText(order[i], 4) + " is too large for an IG stream.";
            return result;
        }
        total += rle[i].size();
    }

    const std::vector<std::uint8_t> body = compositionBody(ics);
    const std::size_t header = compositionHeaderBytes(ics);
    if (body.size() + header > Max24) {
        result.ok = false;
        result.error = "The interactive composition is too large for an IG stream.";
        return result;
    }
    SegmentOut out(mode);

    say("Writing ICS");
    const std::uint32_t icsDts = before(inTime, total);
    std::size_t done = 0;
    do {
        const bool first = done == 0;
        const std::size_t room = first ? IcsPayload - header : IcsPayload;
        const std::size_t n = std::min(body.size() - done, room);
        const bool last = done + n == body.size();
        ByteWriter segment;
        segment.appendword(ics.video_width);
        segment.appendword(ics.video_height);
        segment.appendbyte(static_cast<std::uint32_t>(ics.frame_rate_id & 0xF) << 4);
        segment.appendword(ics.composition_number);
        segment.appendbyte(static_cast<std::uint32_t>(ics.composition_state & 0x3) << 6);
        segment.appendbyte((first ? 0x80u : 0u) | (last ? 0x40u : 0u));
        if (first) {
            segment.append3byte(static_cast<std::uint32_t>(body.size() + header - 3));
            segment.appendbyte(static_cast<std::uint32_t>(ics.stream_ui_model & 0x3) << 6);
            if (!ics.streamModel()) {
                segment.append5byte(ics.composition_time_out_pts);
                segment.append5byte(ics.selection_time_out_pts);
            }
            segment.append3byte(ics.user_time_out_duration);
            segment.appendbyte(static_cast<std::uint32_t>(ics.pages.size()));
        }
        segment.appendbytes(std::span(body).subspan(done, n));
        out.segment(SegmentType::ICS, inTime, icsDts, segment.take());
        done += n;
    } while (done < body.size());

    say("Writing palettes");
    for (std::size_t p = 0; p < menu.IGPalettes.size() && p < 256; ++p)
        out.segment(SegmentType::PDS, icsDts, 0, paletteBody(p, menu.IGPalettes[p]));

    say("Writing objects");
    std::uint64_t remaining = total; // R: this object's bytes and those of every later one
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::vector<std::uint8_t>& data = rle[i];
        const std::uint32_t dts = before(inTime, remaining);
        const std::uint32_t pts = before(inTime, remaining - data.size());
        std::size_t sent = 0;
        do {
            const bool first = sent == 0;
            const std::size_t n = std::min(data.size() - sent, first ? OdsFirstPayload : OdsPayload);
            const bool last = sent + n == data.size();
            ByteWriter segment;
            segment.appendword(order[i]);
            segment.appendbyte(0);
            segment.appendbyte((first ? 0x80u : 0u) | (last ? 0x40u : 0u));
            if (first) {
                segment.append3byte(static_cast<std::uint32_t>(data.size() + 4));
                segment.appendword(sizes[i].first);
                segment.appendword(sizes[i].second);
            }
            segment.appendbytes(std::span(data).subspan(sent, n));
            out.segment(SegmentType::ODS, pts, dts, segment.take());
            sent += n;
        } while (sent < data.size());
        remaining -= data.size();
    }

    const std::uint64_t lastBytes = order.empty() ? body.size() : rle.back().size();
    out.segment(SegmentType::END, before(inTime, lastBytes), 0, {});
    say("Ready.");
    result.bytes = out.take();
    return result;
}

} // namespace corvane
