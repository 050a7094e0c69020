#include "playlist/PlayListMarks.h"

#include <algorithm>
#include <cctype>

#include "io/TextUtil.h"
#include "playlist/ChapterFiles.h"
#include "playlist/PlayListNames.h"
#include "playlist/PlayListWriter.h"

namespace corvane {

namespace {

struct FrameRatePair {
    std::uint64_t N = 0, D = 0;
};

// The frame rate of the first primary video entry of PlayItem 0. 23.976 uses 24000/1001 both
// ways so that, as for the other rates, a value read back gives the time written.
std::optional<FrameRatePair> frameRatePair(const TMPLS& mpls) {
    const auto& items = mpls.PlayList.PlayItems;
    if (items.empty() || items[0].STN.video.empty()) return std::nullopt;
    switch (items[0].STN.video[0].frame_rate) {
    case 1:
        return FrameRatePair{24000, 1001};
    case 2:
        return FrameRatePair{24000, 1000};
    case 3:
        return FrameRatePair{25000, 1000};
    case 4:
        return FrameRatePair{30000, 1001};
    case 6:
        return FrameRatePair{50000, 1000};
    case 7:
        return FrameRatePair{60000, 1001};
    default:
        return std::nullopt;
    }
}

constexpr std::string_view NoFrameRate =
    "The frame format needs the frame rate of the first video stream of PlayItem 000 "
    "(23.976, 24, 25, 29.97, 50 or 59.94).";

// The Frame format needs a frame rate; false with the reason when there is none.
bool formatReady(const TMPLS& mpls, ChapterFormat format, std::optional<FrameRatePair>& rate,
                 std::string& error) {
    if (format != ChapterFormat::Frame) return true;
    rate = frameRatePair(mpls);
    if (!rate) error = NoFrameRate;
    return rate.has_value();
}

std::uint32_t duration(const TPlayItem& item) {
    return item.OUT_time - item.IN_time;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A whole text of decimal digits; nothing for anything else or past 32 bits.
std::optional<std::uint64_t> decimalNumber(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return value;
}

// hh:mm:ss.mmm exactly, minutes and seconds below 60.
std::optional<std::uint64_t> timeTicks(std::string_view text) {
    if (text.size() != 12 || text[2] != ':' || text[5] != ':' || text[8] != '.') return std::nullopt;
    const auto hours = decimalNumber(text.substr(0, 2));
    const auto minutes = decimalNumber(text.substr(3, 2));
    const auto seconds = decimalNumber(text.substr(6, 2));
    const auto milliseconds = decimalNumber(text.substr(9, 3));
    if (!hours || !minutes || !seconds || !milliseconds || *minutes > 59 || *seconds > 59)
        return std::nullopt;
    return *hours * 162000000 + *minutes * 2700000 + *seconds * 45000 + *milliseconds * 45;
}

// The playlist time of one chapter line, nothing when the line is not in the format.
std::optional<std::uint32_t> chapterTime(std::string_view line, ChapterFormat format,
                                         const FrameRatePair* rate) {
    const std::string_view text = trimmed(line);
    std::optional<std::uint64_t> ticks;
    switch (format) {
    case ChapterFormat::PTS:
        ticks = decimalNumber(text);
        break;
    case ChapterFormat::Frame:
        if (const auto frames = decimalNumber(text)) ticks = *frames * 45 * rate->D / rate->N;
        break;
    default:
        ticks = timeTicks(text);
        break;
    }
    if (!ticks || *ticks > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(*ticks);
}

std::string formatWord(ChapterFormat format) {
    switch (format) {
    case ChapterFormat::Frame:
        return "frame number";
    case ChapterFormat::Time:
        return "time (hh:mm:ss.mmm)";
    case ChapterFormat::OGM:
        return "CHAPTERnn=hh:mm:ss.mmm chapter";
    case ChapterFormat::XML:
        return "Matroska ChapterAtom with a ChapterTimeStart";
    default:
        return "PTS value";
    }
}

// The mark list grows or shrinks by `delta` marks: its length and the ExtensionData address.
void resizeMarks(TMPLS& mpls, std::int64_t delta) {
    const std::int64_t bytes = delta * static_cast<std::int64_t>(writtenSize(TMarkEntry{}, appendMark));
    mpls.PlayListMark.PlayListMark_length =
        static_cast<std::uint32_t>(mpls.PlayListMark.PlayListMark_length + bytes);
    if (mpls.ExtensionData_start_address != 0)
        mpls.ExtensionData_start_address =
            static_cast<std::uint32_t>(mpls.ExtensionData_start_address + bytes);
}

// A playlist read without a PlayListMark() section gets an empty one after PlayList(), so that
// the marks added are written.
void ensureMarkSection(TMPLS& mpls) {
    if (mpls.PlayListMark_start_address != 0) return;
    const std::size_t listEnd = std::size_t{mpls.PlayList_start_address} + 4 + mpls.PlayList.PlayList_length +
                                mpls.padding_before_PlayListMark.size();
    mpls.PlayListMark_start_address = static_cast<std::uint32_t>(listEnd);
    mpls.PlayListMark = TPlayListMark{};
    const std::size_t bytes = writtenSize(mpls.PlayListMark, appendPlayListMark);
    mpls.PlayListMark.PlayListMark_length = static_cast<std::uint32_t>(bytes - 4); // the bytes after it
    if (mpls.ExtensionData_start_address != 0)
        mpls.ExtensionData_start_address =
            static_cast<std::uint32_t>(mpls.ExtensionData_start_address + bytes);
}

// One line of a chapter file: playlist time t in the format.
std::string chapterLine(std::uint32_t t, ChapterFormat format, const FrameRatePair* rate) {
    switch (format) {
    case ChapterFormat::Frame:
        return std::to_string(std::uint64_t{t} * rate->N / rate->D / 45);
    case ChapterFormat::PTS:
        return std::to_string(t);
    default:
        return timeText45(t);
    }
}

bool lineFormat(ChapterFormat format) {
    return format == ChapterFormat::PTS || format == ChapterFormat::Frame || format == ChapterFormat::Time;
}

// The time of a mark on the playlist's axis (unsigned 32-bit arithmetic).
std::uint32_t playlistTime(const TMPLS& mpls, const TMarkEntry& mark) {
    const auto& items = mpls.PlayList.PlayItems;
    std::uint32_t t = mark.mark_time_stamp;
    if (mark.ref_to_PlayItem_id < items.size()) t -= items[mark.ref_to_PlayItem_id].IN_time;
    for (std::size_t i = 0; i < std::min<std::size_t>(mark.ref_to_PlayItem_id, items.size()); ++i)
        t += duration(items[i]);
    return t;
}

TMarkEntry entryMark() {
    TMarkEntry mark;
    mark.mark_type = 1;
    mark.entry_ES_PID = 0xFFFF;
    return mark;
}

} // namespace

MarkTime markTime(std::uint32_t mark_time_stamp) {
    const std::uint32_t ms = mark_time_stamp / 45;
    return {ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
}

MarkTime clampMarkTime(MarkTime time) {
    time.hours = std::min<std::uint32_t>(time.hours, 25);
    time.minutes = std::min<std::uint32_t>(time.minutes, 59);
    time.seconds = std::min<std::uint32_t>(time.seconds, 59);
    time.milliseconds = std::min<std::uint32_t>(time.milliseconds, 999);
    return time;
}

std::uint32_t markTimeStamp(const MarkTime& time) {
    const MarkTime t = clampMarkTime(time);
    return t.hours * 162000000u + t.minutes * 2700000u + t.seconds * 45000u + t.milliseconds * 45u;
}

std::optional<std::size_t> insertMark(TMPLS& mpls, std::optional<std::size_t> after, std::size_t playItem) {
    auto& marks = mpls.PlayListMark.marks;
    if (marks.size() >= MaxMarks) return std::nullopt;
    ensureMarkSection(mpls);
    const std::size_t at = after ? std::min(*after + 1, marks.size()) : 0;
    // Time stamp 0 lies outside the PlayItems of most discs: the mark starts at its PlayItem.
    TMarkEntry mark = entryMark();
    const auto& items = mpls.PlayList.PlayItems;
    if (!items.empty()) {
        playItem = std::min(playItem, items.size() - 1);
        mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(playItem);
        mark.mark_time_stamp = items[playItem].IN_time;
    }
    marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(at), mark);
    mpls.PlayListMark.number_of_PlayList_marks = static_cast<std::uint16_t>(marks.size());
    resizeMarks(mpls, 1);
    return at;
}

MarkDeleteResult deleteMarks(TMPLS& mpls, std::size_t first, std::size_t last) {
    MarkDeleteResult result;
    auto& marks = mpls.PlayListMark.marks;
    if (marks.empty() || first >= marks.size() || last < first) return result;
    last = std::min(last, marks.size() - 1);
    result.removed = last - first + 1;
    marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(first),
                marks.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    mpls.PlayListMark.number_of_PlayList_marks = static_cast<std::uint16_t>(marks.size());
    resizeMarks(mpls, -static_cast<std::int64_t>(result.removed));
    if (!marks.empty()) result.select = std::min(first > 0 ? first - 1 : 0, marks.size() - 1);
    return result;
}

std::optional<ChapterFormat> chapterFormatFromName(std::string_view name) {
    std::string lower(name);
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "pts") return ChapterFormat::PTS;
    if (lower == "frame") return ChapterFormat::Frame;
    if (lower == "time") return ChapterFormat::Time;
    if (lower == "ogm") return ChapterFormat::OGM;
    if (lower == "xml") return ChapterFormat::XML;
    return std::nullopt;
}

std::string chapterFileName(const std::string& playlist, ChapterFormat format) {
    switch (format) {
    case ChapterFormat::Frame:
        return "chapter_" + playlist + "_frame.txt";
    case ChapterFormat::Time:
        return "chapter_" + playlist + "_time.txt";
    case ChapterFormat::OGM:
        return "chapter_" + playlist + "_ogm.txt";
    case ChapterFormat::XML:
        return "chapter_" + playlist + "_matroska.xml";
    default:
        return "chapter_" + playlist + "_PTS.txt";
    }
}

ChapterText chapterText(const TMPLS& mpls, ChapterFormat format) {
    ChapterText result;
    std::optional<FrameRatePair> rate;
    if (!formatReady(mpls, format, rate, result.error)) return result;
    if (lineFormat(format)) {
        for (const TMarkEntry& mark : mpls.PlayListMark.marks)
            result.text += chapterLine(playlistTime(mpls, mark), format, rate ? &*rate : nullptr) + "\r\n";
        return result;
    }
    std::vector<std::uint32_t> times;
    for (const TMarkEntry& mark : mpls.PlayListMark.marks)
        if (mark.mark_type == 1) times.push_back(playlistTime(mpls, mark));
    if (times.empty())
        result.error = "The PlayList has no entry-mark to write as a chapter.";
    else
        result.text = format == ChapterFormat::OGM ? ogmChapterText(times) : xmlChapterText(times);
    return result;
}

ChapterImport importChapters(TMPLS& mpls, std::string_view fileText, ChapterFormat format) {
    ChapterImport result;
    if (fileText.substr(0, 3) == "\xEF\xBB\xBF") fileText.remove_prefix(3); // a UTF-8 byte-order mark
    std::vector<std::string_view> lines;
    if (lineFormat(format)) {
        for (std::size_t start = 0; start < fileText.size();) {
            std::size_t end = fileText.find('\n', start);
            if (end == std::string_view::npos) end = fileText.size();
            std::string_view line = fileText.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines.push_back(line);
            start = end + 1;
        }
        if (lines.empty()) return result;
    } else if (fileText.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return result;
    const auto& items = mpls.PlayList.PlayItems;
    if (items.empty()) {
        result.error = "The PlayList has no PlayItem to put chapters on.";
        return result;
    }
    std::optional<FrameRatePair> rate;
    if (!formatReady(mpls, format, rate, result.error)) return result;

    // Frames and milliseconds are coarser than ticks: a line that reads as a PlayItem start
    // written in the format is that start, not a point a few ticks before it. OGM and XML files
    // may come from other programs' millisecond times: any point in the millisecond before a
    // start is that start.
    const FrameRatePair* ratePair = rate ? &*rate : nullptr;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> starts; // read back, exact
    std::uint64_t start = 0;
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        start += duration(items[i]);
        if (start > 0xFFFFFFFFull) break;
        const auto exact = static_cast<std::uint32_t>(start);
        if (!lineFormat(format))
            starts.emplace_back(exact, exact);
        else if (const auto back = chapterTime(chapterLine(exact, format, ratePair), format, ratePair))
            starts.emplace_back(*back, exact);
    }
    auto atStart = [&](std::uint32_t t) {
        const auto found = std::find_if(starts.begin(), starts.end(), [&](const auto& entry) {
            return lineFormat(format) ? entry.first == t : t <= entry.first && entry.first - t < 45;
        });
        return found != starts.end() ? found->second : t;
    };

    std::vector<std::uint32_t> times;
    if (lineFormat(format)) {
        // Every line must read in the chosen format; the others are refused by their number.
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (const auto t = chapterTime(lines[i], format, ratePair))
                times.push_back(*t);
            else
                result.refused.push_back("Line " + std::to_string(i + 1) + " refused, not a " +
                                         formatWord(format) + ": " + quotedChapterLine(lines[i]));
        }
    } else {
        ChapterPoints points =
            format == ChapterFormat::OGM ? readOgmChapters(fileText) : readXmlChapters(fileText);
        result.refused = std::move(points.refused);
        if (!points.error.empty()) {
            result.error = points.error + " Nothing changed.";
            return result;
        }
        times = std::move(points.times);
        result.names = std::move(points.names);
    }
    for (auto& t : times) t = atStart(t);
    if (times.empty()) {
        result.error = "No " + std::string(lineFormat(format) ? "line" : "chapter") +
                       " of the chapter file is a " + formatWord(format) + "; nothing changed.";
        return result;
    }
    if (times.size() > 0xFFFF) {
        result.error = "Too many chapters: " + std::to_string(times.size()) + ".";
        result.names.clear();
        return result;
    }

    ensureMarkSection(mpls);
    auto& marks = mpls.PlayListMark.marks;
    resizeMarks(mpls, static_cast<std::int64_t>(times.size()) - static_cast<std::int64_t>(marks.size()));
    marks.assign(times.size(), entryMark());
    mpls.PlayListMark.number_of_PlayList_marks = static_cast<std::uint16_t>(marks.size());
    result.changed = true;

    for (std::size_t i = 0; i < times.size(); ++i) {
        const std::uint32_t t = times[i];
        // Which PlayItem holds t: s runs over the PlayItems' durations.
        std::uint64_t s = 0;
        std::size_t p = 0;
        if (t == 0) p = 1;
        while (t > s && p < items.size()) {
            s += duration(items[p]);
            ++p;
            if (t == s) ++p;
            result.log.push_back(std::to_string(p) + ": " + timeText45(t) + " " + timeText45(s) + "   " +
                                 hexText(t, 8) + " " + hexText(s, 8));
        }
        TMarkEntry& mark = marks[i];
        if (t > s || p > items.size()) {
            // At or past the end of the last PlayItem: the chapter goes to its end.
            const std::size_t r = items.size() - 1;
            mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(r);
            mark.mark_time_stamp = items[r].OUT_time;
            result.log.push_back(std::to_string(r) + ", " + timeText45(s - duration(items[r])) +
                                 " (chapter at or past the end of the PlayList)");
            continue;
        }
        const std::size_t r = p - 1;
        if (t != s) s -= duration(items[r]);
        result.log.push_back(std::to_string(r) + ", " + timeText45(s));
        mark.ref_to_PlayItem_id = static_cast<std::uint16_t>(r);
        const std::uint32_t stamp = items[r].IN_time + static_cast<std::uint32_t>(t - s);
        mark.mark_time_stamp = std::max(stamp, items[r].IN_time);
    }
    return result;
}

} // namespace corvane
