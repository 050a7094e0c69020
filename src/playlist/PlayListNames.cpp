#include "playlist/PlayListNames.h"

#include <array>

#include "io/TextUtil.h"

namespace corvane {

namespace {

template <std::size_t N>
std::string_view pick(const std::array<std::string_view, N>& names, std::uint8_t value) {
    return value < N ? names[value] : std::string_view();
}

constexpr std::array<std::string_view, 16> VideoFormatNames = {
    "-",     "480i", "576i", "480p", "1080i", "720p", "1080p", "576p",
    "2160p", "res.", "res.", "res.", "res.",  "res.", "res.",  "res."};
constexpr std::array<std::string_view, 16> FrameRateNames = {
    "-",    "23.976", "24",   "25",   "29.97", "-",    "50",   "59.94",
    "res.", "res.",   "res.", "res.", "res.",  "res.", "res.", "res."};
constexpr std::array<std::string_view, 16> AudioPresentationNames = {
    "-", "Mono", "-", "Stereo", "-",         "-",    "Multi-ch.", "-",
    "-", "-",    "-", "-",      "St.+M-ch.", "res.", "res.",      "res."};
constexpr std::array<std::string_view, 16> SamplingFrequencyNames = {"-",
                                                                     "48 kHz",
                                                                     "-",
                                                                     "-",
                                                                     "96 kHz",
                                                                     "192 kHz",
                                                                     "-",
                                                                     "-",
                                                                     "-",
                                                                     "-",
                                                                     "-",
                                                                     "-",
                                                                     "c:48/96, e:192 kHz",
                                                                     "-",
                                                                     "c:48, e:192 kHz",
                                                                     "res."};
constexpr std::array<std::string_view, 11> SubPathTypeNames = {"-",        "-",        "p. Audio",  "IG menu",
                                                               "Text sub", "OoM Sync", "OoM Async", "IM Sync",
                                                               "SS video", "-",        "DV EL"};
constexpr std::array<std::string_view, 4> DynamicRangeNames = {"SDR", "HDR10", "Dolby Vision", "HDR10+"};
constexpr std::array<std::string_view, 3> ColorSpaceNames = {"-", "BT.709", "BT.2020"};

} // namespace

AttributeKind attributeKind(std::uint8_t stream_coding_type) {
    switch (stream_coding_type) {
    case 0x02:
    case 0x1B:
    case 0x24:
    case 0xEA:
        return AttributeKind::Video;
    case 0x80:
    case 0x81:
    case 0x82:
    case 0x83:
    case 0x84:
    case 0x85:
    case 0x86:
    case 0xA1:
    case 0xA2:
        return AttributeKind::Audio;
    case 0x90:
    case 0x91:
        return AttributeKind::Graphics;
    case 0x92:
        return AttributeKind::Text;
    default:
        return AttributeKind::Unknown;
    }
}

bool isKnownEntryType(std::uint8_t stream_type) {
    return stream_type >= 1 && stream_type <= 4;
}

std::string_view entryTypeName(std::uint8_t stream_type) {
    switch (stream_type) {
    case 1:
        return "PlayItem";
    case 2:
        return "SubPath";
    case 3:
        return "IM PIP";
    case 4:
        return "DV EL";
    default:
        return {};
    }
}

std::string_view codingTypeName(std::uint8_t stream_coding_type) {
    switch (stream_coding_type) {
    case 0x02:
        return "MPEG-2";
    case 0x1B:
        return "AVC";
    case 0x24:
        return "HEVC";
    case 0xEA:
        return "VC1";
    case 0x80:
        return "LPCM";
    case 0x81:
        return "DD";
    case 0x82:
        return "DTS";
    case 0x83:
        return "Dolby Lossless";
    case 0x84:
        return "DD+";
    case 0x85:
        return "DTS-HD ex. XLL";
    case 0x86:
        return "DTS-HD XLL";
    case 0xA1:
        return "DD+";
    case 0xA2:
        return "DTS-HD";
    case 0x90:
        return "PG";
    case 0x91:
        return "IG";
    case 0x92:
        return "Text";
    default:
        return {};
    }
}

std::string_view videoFormatName(std::uint8_t video_format) {
    return pick(VideoFormatNames, video_format);
}
std::string_view dynamicRangeName(std::uint8_t value) {
    return pick(DynamicRangeNames, value);
}
std::string_view colorSpaceName(std::uint8_t value) {
    return pick(ColorSpaceNames, value);
}
std::string_view frameRateName(std::uint8_t frame_rate) {
    return pick(FrameRateNames, frame_rate);
}
std::string_view audioPresentationName(std::uint8_t value) {
    return pick(AudioPresentationNames, value);
}
std::string_view samplingFrequencyName(std::uint8_t value) {
    return pick(SamplingFrequencyNames, value);
}
std::string_view subPathTypeName(std::uint8_t SubPath_type) {
    return pick(SubPathTypeNames, SubPath_type);
}

std::string_view markTypeName(std::uint8_t mark_type) {
    switch (mark_type) {
    case 1:
        return "entry-mark";
    case 2:
        return "link point";
    default:
        return {};
    }
}

std::string timeText45(std::uint64_t ticks) {
    const std::uint64_t ms = ticks / 45;
    const std::uint64_t seconds = ms / 1000;
    return zeroPad(seconds / 3600, 2) + ":" + zeroPad(seconds / 60 % 60, 2) + ":" + zeroPad(seconds % 60, 2) +
           "." + zeroPad(ms % 1000, 3);
}

} // namespace corvane
