#include "menu/IGReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "graphics/ObjectPicture.h"
#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"

namespace corvane {

namespace {

constexpr std::size_t FrameSize = 13; // "IG", PTS, DTS, segment_type, segment_length

// Smallest stored sizes, used to cap counts by the bytes that remain.
constexpr std::size_t MinWindow = 9;
constexpr std::size_t MinEffect = 5;
constexpr std::size_t MinCompObject = 8;
constexpr std::size_t MinBOG = 3;
constexpr std::size_t MinButton = 35;
constexpr std::size_t CommandSize = 12;

ReadMessage errorLine(std::string text) {
    return {ReadMessage::Kind::Error, std::move(text)};
}

std::uint8_t topBit(std::uint32_t byte) {
    return static_cast<std::uint8_t>(byte >> 7);
}

// Reads the segments of one file into the model, which grows as they arrive.
class SegmentReader {
public:
    SegmentReader(MnuReadResult& result, const MenuReadHooks& hooks, std::size_t wanted)
        : m_result(result), m_hooks(hooks), m_wanted(wanted) {}
    void run();

private:
    void readPalette(ByteReader& body);
    void readObject(ByteReader& body, std::size_t bodyStart);
    void readComposition(ByteReader& body, std::size_t bodyStart, std::uint32_t pts);
    void damaged(std::size_t at, std::string text) {
        m_result.status = ReadStatus::Damaged;
        m_result.problemAt = at;
        m_result.messages.push_back(errorLine(std::move(text)));
    }

    MnuReadResult& m_result;
    const MenuReadHooks& m_hooks;
    std::size_t m_wanted = 0;             // the composition read
    bool m_compositionStarted = false;    // its ICS sequence has begun
    bool m_compositionDone = false;       // ... and ended
    bool m_setDone = false;               // its display set has ended: later segments are only listed
    std::size_t m_displaySet = 0;         // display sets ended so far
    std::vector<std::size_t> m_objectSet; // per object id: the display set its copy came in
};

void SegmentReader::run() {
    TMenu& menu = m_result.menu;
    ByteReader file(*menu.MenuDataFile);
    while (!file.atEnd()) {
        if (m_hooks.cancelled && m_hooks.cancelled()) {
            m_result.status = ReadStatus::Cancelled;
            return;
        }
        const std::size_t start = file.pos();
        const std::uint32_t i = file.readbyte();
        const std::uint32_t g = file.readbyte();
        if (i != 'I' || g != 'G') {
            if (m_setDone) return; // what follows the menu read is only listed
            m_result.status = ReadStatus::FormatError;
            m_result.problemAt = start;
            m_result.messages.push_back(errorLine("File format error"));
            return;
        }
        const std::uint32_t pts = file.readlword();
        file.readlword(); // DTS: not used when reading
        const auto type = static_cast<std::uint8_t>(file.readbyte());
        const std::uint32_t length = file.readword();
        if (file.overrun()) {
            if (m_setDone) return;
            damaged(start, "The file ends inside the segment header at $" + hexText(start, 8) + ".");
            return;
        }
        if (menu.MenuInTime == 0 && !m_setDone) menu.MenuInTime = pts;
        const std::size_t bodyStart = start + FrameSize;
        ByteReader body = file.sub(length);
        switch (static_cast<SegmentType>(type)) {
        case SegmentType::PDS:
            if (!m_setDone) readPalette(body);
            break;
        case SegmentType::ODS:
            if (!m_setDone) readObject(body, bodyStart);
            break;
        case SegmentType::ICS:
            readComposition(body, bodyStart, pts);
            break;
        case SegmentType::END:
            ++m_displaySet;
            if (m_compositionStarted) m_setDone = true;
            break;
        default:
            if (m_setDone) break;
            ++m_result.unknownSegments;
            m_result.messages.push_back(errorLine("Unknow segment!"));
            break;
        }
        if (file.overrun()) {
            if (m_setDone) return;
            damaged(start, "The file ends inside the segment at $" + hexText(start, 8) + ".");
            return;
        }
    }
}

void SegmentReader::readPalette(ByteReader& body) {
    auto& palettes = m_result.menu.IGPalettes;
    const std::uint32_t id = body.readbyte();
    const auto version = static_cast<std::uint8_t>(body.readbyte());
    if (palettes.size() < id + 1) palettes.resize(id + 1);
    TIGPalette& palette = palettes[id];
    palette.palette_id = static_cast<std::uint16_t>(id);
    palette.palette_version_number = version;
    if (body.size() <= 2) return;
    palette.entries = RgbaPalette{};
    palette.stored.reset();
    for (std::size_t n = body.remaining() / 5; n > 0; --n) {
        const std::uint32_t entry = body.readbyte();
        const std::uint32_t y = body.readbyte(), cr = body.readbyte(), cb = body.readbyte();
        const auto rgb = YCrCbToRGB(static_cast<int>(y), static_cast<int>(cr), static_cast<int>(cb));
        palette.entries[entry] = {rgb[0], rgb[1], rgb[2], static_cast<std::uint8_t>(body.readbyte())};
        palette.stored_YCrCb[entry] = {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(cr),
                                       static_cast<std::uint8_t>(cb)};
        palette.stored.set(entry);
    }
}

void SegmentReader::readObject(ByteReader& body, std::size_t bodyStart) {
    auto& objects = m_result.menu.IGObjects;
    const std::uint32_t id = body.readword();
    TObjFragment fragment;
    fragment.object_version_number = static_cast<std::uint8_t>(body.readbyte());
    fragment.sequence_flags = static_cast<std::uint8_t>(body.readbyte() >> 6);
    if (objects.size() < id + 1) objects.resize(id + 1);
    TIGobject& object = objects[id];
    object.object_id = static_cast<std::uint16_t>(id);
    // One menu holds one version of an object: once an object's sequence is complete, later
    // copies in the same display set are not used; a later display set's copy replaces it.
    // An unfinished sequence is replaced by a new first fragment.
    if (m_objectSet.size() < id + 1) m_objectSet.resize(id + 1);
    const bool complete =
        !object.fragments.empty() && (object.fragments.back().sequence_flags & LastInSequence);
    const bool first = (fragment.sequence_flags & FirstInSequence) != 0;
    if (complete && (m_objectSet[id] == m_displaySet || !first)) return;
    m_objectSet[id] = m_displaySet;
    if (first) {
        object.fragments.clear();
        const std::uint32_t dataLength = body.read3byte();
        object.rle_data_length = dataLength >= 4 ? dataLength - 4 : 0;
        object.object_width = static_cast<std::uint16_t>(body.readword());
        object.object_height = static_cast<std::uint16_t>(body.readword());
    }
    fragment.data_position = static_cast<std::uint32_t>(bodyStart + body.pos());
    fragment.data_length = static_cast<std::uint32_t>(body.remaining());
    object.fragments.push_back(fragment);
    object.fragment_count = static_cast<std::uint16_t>(object.fragments.size());
}

void SegmentReader::readComposition(ByteReader& body, std::size_t bodyStart, std::uint32_t pts) {
    TMenu& menu = m_result.menu;
    TIGSc header;
    header.video_width = static_cast<std::uint16_t>(body.readword());
    header.video_height = static_cast<std::uint16_t>(body.readword());
    header.frame_rate_id = static_cast<std::uint8_t>(body.readbyte() >> 4);
    header.composition_number = static_cast<std::uint16_t>(body.readword());
    header.composition_state = static_cast<std::uint8_t>(body.readbyte() >> 6);
    TIcsFragment fragment;
    fragment.sequence_flags = static_cast<std::uint8_t>(body.readbyte() >> 6);
    const bool first = (fragment.sequence_flags & FirstInSequence) != 0;
    if (first) {
        header.interactive_composition_length = body.read3byte();
        header.stream_ui_model = static_cast<std::uint8_t>(body.readbyte() >> 6);
        if (!header.streamModel()) {
            header.composition_time_out_pts = body.read5byte();
            header.selection_time_out_pts = body.read5byte();
        }
        header.user_time_out_duration = body.read3byte();
        header.number_of_pages = static_cast<std::uint8_t>(body.readbyte());
    }
    fragment.data_position = static_cast<std::uint32_t>(bodyStart + body.pos());
    fragment.data_length = static_cast<std::uint32_t>(body.remaining());
    const std::size_t index = m_result.compositions.size();
    if (first) m_result.compositions.push_back({pts, header.composition_number, header.composition_state});
    if (m_setDone) return;
    const bool wanted = first && index == m_wanted && !m_compositionStarted;
    if (wanted && index > 0) {
        // Earlier compositions' fragments are not this menu's; an epoch start drops the
        // palettes and objects of the epochs before it.
        menu.IGSc.ics_fragments.clear();
        if (pts != 0) menu.MenuInTime = pts;
    }
    if (first && index <= m_wanted && index > 0 && header.composition_state == 2) {
        menu.IGObjects.clear();
        menu.IGPalettes.clear();
        m_objectSet.clear();
    }
    menu.IGSc.ics_fragments.push_back(fragment);

    // The composition read; its header comes from its first fragment.
    if (m_compositionDone || (!m_compositionStarted && !wanted)) return;
    if (wanted) {
        header.ics_fragments = std::move(menu.IGSc.ics_fragments);
        menu.IGSc = std::move(header);
        m_compositionStarted = true;
    }
    if (fragment.sequence_flags & LastInSequence) m_compositionDone = true;
}

// Reads the page list of the composition body.
class PageParser {
public:
    explicit PageParser(std::span<const std::uint8_t> body) : m_in(body) {}

    TPage page();
    // The data ended before a field, or before the items a count declares.
    bool overrun() const { return m_in.overrun() || m_cut; }
    bool atEnd() const { return m_in.atEnd(); }

private:
    // A count capped by the bytes that remain; a cut count marks the data as short.
    std::size_t fit(std::size_t count, std::size_t itemSize) {
        const std::size_t n = m_in.capCount(count, itemSize);
        if (n < count) m_cut = true;
        return n;
    }
    void effectSequence(Teffectseq& sequence);
    TIGbutton button();
    ByteReader m_in;
    bool m_cut = false;
};

void PageParser::effectSequence(Teffectseq& sequence) {
    sequence.number_of_windows = static_cast<std::uint8_t>(m_in.readbyte());
    sequence.windows.resize(fit(sequence.number_of_windows, MinWindow));
    for (auto& window : sequence.windows) {
        window.window_id = static_cast<std::uint8_t>(m_in.readbyte());
        window.window_horizontal_position = static_cast<std::uint16_t>(m_in.readword());
        window.window_vertical_position = static_cast<std::uint16_t>(m_in.readword());
        window.window_width = static_cast<std::uint16_t>(m_in.readword());
        window.window_height = static_cast<std::uint16_t>(m_in.readword());
    }
    sequence.number_of_effects = static_cast<std::uint8_t>(m_in.readbyte());
    sequence.effects.resize(fit(sequence.number_of_effects, MinEffect));
    for (auto& effect : sequence.effects) {
        effect.effect_duration = m_in.read3byte();
        effect.palette_id_ref = static_cast<std::uint8_t>(m_in.readbyte());
        effect.number_of_composition_objects = static_cast<std::uint8_t>(m_in.readbyte());
        effect.composition_objects.resize(fit(effect.number_of_composition_objects, MinCompObject));
        for (auto& object : effect.composition_objects) {
            object.object_id_ref = static_cast<std::uint16_t>(m_in.readword());
            object.window_id_ref = static_cast<std::uint8_t>(m_in.readbyte());
            object.composition_flags = static_cast<std::uint8_t>(m_in.readbyte() >> 6);
            object.composition_object_horizontal_position = static_cast<std::uint16_t>(m_in.readword());
            object.composition_object_vertical_position = static_cast<std::uint16_t>(m_in.readword());
            if (object.cropped()) {
                object.object_cropping_horizontal_position = static_cast<std::uint16_t>(m_in.readword());
                object.object_cropping_vertical_position = static_cast<std::uint16_t>(m_in.readword());
                object.object_cropping_width = static_cast<std::uint16_t>(m_in.readword());
                object.object_cropping_height = static_cast<std::uint16_t>(m_in.readword());
            }
        }
    }
}

TIGbutton PageParser::button() {
    TIGbutton b;
    b.button_id = static_cast<std::uint16_t>(m_in.readword());
    b.button_numeric_select_value = static_cast<std::uint16_t>(m_in.readword());
    b.auto_action_flag = topBit(m_in.readbyte());
    b.button_horizontal_position = static_cast<std::uint16_t>(m_in.readword());
    b.button_vertical_position = static_cast<std::uint16_t>(m_in.readword());
    b.upper_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.lower_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.left_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.right_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.normal_start_object_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.normal_end_object_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.normal_repeat_flag = topBit(m_in.readbyte());
    b.selected_state_sound_id_ref = static_cast<std::uint16_t>(m_in.readbyte());
    b.selected_start_object_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.selected_end_object_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.selected_repeat_flag = topBit(m_in.readbyte());
    b.activated_state_sound_id_ref = static_cast<std::uint16_t>(m_in.readbyte());
    b.activated_start_object_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.activated_end_object_id_ref = static_cast<std::uint16_t>(m_in.readword());
    b.number_of_navigation_commands = static_cast<std::uint16_t>(m_in.readword());
    b.navigation_commands.resize(fit(b.number_of_navigation_commands, CommandSize));
    for (auto& command : b.navigation_commands) {
        command.opcode = m_in.readlword();
        command.destination = m_in.readlword();
        command.source = m_in.readlword();
    }
    return b;
}

TPage PageParser::page() {
    TPage page;
    page.page_id = static_cast<std::uint8_t>(m_in.readbyte());
    page.page_version_number = static_cast<std::uint8_t>(m_in.readbyte());
    page.UO_mask_table[0] = m_in.readlword();
    page.UO_mask_table[1] = m_in.readlword();
    effectSequence(page.effect_sequences[0]);
    effectSequence(page.effect_sequences[1]);
    page.animation_frame_rate_code = static_cast<std::uint8_t>(m_in.readbyte());
    page.default_selected_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
    page.default_activated_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
    page.palette_id_ref = static_cast<std::uint8_t>(m_in.readbyte());
    page.number_of_BOGs = static_cast<std::uint8_t>(m_in.readbyte());
    page.BOGs.resize(fit(page.number_of_BOGs, MinBOG));
    for (auto& bog : page.BOGs) {
        bog.default_valid_button_id_ref = static_cast<std::uint16_t>(m_in.readword());
        bog.number_of_buttons = static_cast<std::uint8_t>(m_in.readbyte());
        const std::size_t buttons = fit(bog.number_of_buttons, MinButton);
        bog.buttons.reserve(buttons);
        for (std::size_t b = 0; b < buttons; ++b) bog.buttons.push_back(button());
    }
    return page;
}

} // namespace

std::vector<std::uint8_t> firstCompositionBody(const TMenu& menu) {
    std::vector<std::uint8_t> body;
    if (!menu.MenuDataFile) return body;
    const auto& data = *menu.MenuDataFile;
    const auto& fragments = menu.IGSc.ics_fragments;
    // The fragments of the first sequence: from the first one flagged first_in_sequence to
    // the next one flagged last_in_sequence.
    auto it = std::find_if(fragments.begin(), fragments.end(),
                           [](const TIcsFragment& f) { return (f.sequence_flags & FirstInSequence) != 0; });
    for (; it != fragments.end(); ++it) {
        const std::size_t start = std::min<std::size_t>(it->data_position, data.size());
        const std::size_t end = std::min<std::size_t>(start + it->data_length, data.size());
        body.insert(body.end(), data.begin() + static_cast<std::ptrdiff_t>(start),
                    data.begin() + static_cast<std::ptrdiff_t>(end));
        if (it->sequence_flags & LastInSequence) break;
    }
    return body;
}

bool getIGS(TMenu& menu, std::vector<ReadMessage>& messages, const MenuReadHooks& hooks) {
    const std::vector<std::uint8_t> body = firstCompositionBody(menu);
    PageParser parser(body);
    TIGSc& ics = menu.IGSc;
    ics.pages.clear();
    menu.PageButtons.clear();
    const std::size_t count = ics.number_of_pages;
    for (std::size_t i = 0; i < count; ++i) {
        if (hooks.cancelled && hooks.cancelled()) return false;
        if (parser.atEnd()) {
            messages.push_back(errorLine("The interactive composition ends before page " + std::to_string(i) +
                                         " of " + std::to_string(count) + "."));
            return false;
        }
        TPage page = parser.page();
        if (hooks.page)
            hooks.page(static_cast<int>((20 * (i + 1)) / count + 80),
                       "Reading page " + std::to_string(page.page_id));
        menu.PageButtons.push_back(buildPageButtons(page));
        ics.pages.push_back(std::move(page));
        if (parser.overrun()) {
            messages.push_back(
                errorLine("The interactive composition ends early in page " + std::to_string(i) + "."));
            return false;
        }
    }
    return true;
}

MnuReadResult loadMNU(std::vector<std::uint8_t> bytes, const MenuReadHooks& hooks, std::size_t composition) {
    MnuReadResult result;
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        result.status = ReadStatus::FormatError;
        result.messages.push_back(errorLine("File format error"));
        return result;
    }
    result.menu.MenuDataFile = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    SegmentReader(result, hooks, composition).run();
    if (result.status == ReadStatus::Cancelled) return result;
    if (!result.menu.IGSc.ics_fragments.empty() && !getIGS(result.menu, result.messages, hooks)) {
        if (hooks.cancelled && hooks.cancelled()) {
            result.status = ReadStatus::Cancelled;
            return result;
        }
        if (result.status == ReadStatus::Ok) result.status = ReadStatus::Damaged;
    }
    result.messages.push_back({ReadMessage::Kind::Log, menuFoundLine(result.menu)});
    return result;
}

std::string menuFoundLine(const TMenu& menu) {
    return "[b]1[/b] ICS, [b]" + std::to_string(menu.IGObjects.size()) + "[/b] OCS, [b]" +
           std::to_string(menu.IGPalettes.size()) + "[/b] PCS found.";
}

std::string compositionTitle(std::size_t index, const CompositionEntry& entry) {
    static constexpr std::array<const char*, 4> States{"normal case", "acquisition point", "epoch start",
                                                       "state 3"};
    return std::to_string(index) + ": " + menuInTimeText(entry.pts) + ", number " +
           std::to_string(entry.number) + ", " + States[entry.state & 3];
}

std::vector<std::uint8_t> wrapComposition(std::span<const std::uint8_t> body, std::uint32_t pts) {
    constexpr std::size_t Fixed = 9; // video_descriptor, composition_descriptor, sequence byte
    constexpr std::size_t MaxBody = 0xFFFF;
    ByteWriter out;
    auto frame = [&](SegmentType type, std::size_t length) {
        out.appendbyte('I');
        out.appendbyte('G');
        out.appendlword(pts);
        out.appendlword(0);
        out.appendbyte(static_cast<std::uint8_t>(type));
        out.appendword(static_cast<std::uint32_t>(length));
    };
    if (body.size() <= MaxBody || body.size() < Fixed) {
        frame(SegmentType::ICS, std::min(body.size(), MaxBody));
        out.appendbytes(body.first(std::min(body.size(), MaxBody)));
    } else {
        // Longer bodies go out in fragments, each repeating the fixed fields with its own flags.
        const auto rest = body.subspan(Fixed);
        for (std::size_t done = 0; done < rest.size();) {
            const std::size_t n = std::min(rest.size() - done, MaxBody - Fixed);
            frame(SegmentType::ICS, n + Fixed);
            out.appendbytes(body.first(Fixed - 1));
            out.appendbyte((done == 0 ? 0x80u : 0u) | (done + n == rest.size() ? 0x40u : 0u));
            out.appendbytes(rest.subspan(done, n));
            done += n;
        }
    }
    frame(SegmentType::END, 0);
    return out.take();
}

} // namespace corvane
