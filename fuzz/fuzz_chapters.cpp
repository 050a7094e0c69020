// libFuzzer target of the chapter-file reader: the input's first byte picks the format,
// the rest is the chapter file loaded into a three-PlayItem playlist. Loading must not
// crash, every mark must land on a PlayItem, and the sizes must describe the written file.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

namespace {

corvane::TMPLS basePlayList() {
    corvane::TMPLS mpls;
    mpls.AppInfo_length = 14;
    mpls.PlayList_start_address = 58;
    std::uint32_t in = 45000;
    for (int i = 0; i < 3; ++i) {
        corvane::TPlayItem item;
        item.Clip_Information_file_name = "0000" + std::to_string(i);
        item.Clip_codec_identifier = "M2TS";
        item.IN_time = in;
        item.OUT_time = in + 900000u * static_cast<std::uint32_t>(i + 1);
        in += 1000000;
        corvane::TStreamEntry video;
        video.stream_type = 1;
        video.stream_coding_type = 0x1B;
        video.frame_rate = 4;
        item.STN.video.push_back(video);
        item.STN.number_of_primary_video_stream_entries = 1;
        item.STN.STN_length = 14 + 16;
        item.PlayItem_length = 34 + 32 - 2;
        mpls.PlayList.PlayItems.push_back(item);
    }
    mpls.PlayList.number_of_PlayItems = 3;
    mpls.PlayList.PlayList_length = 6 + 3 * (2 + 64);
    mpls.PlayListMark_start_address = 58 + 4 + mpls.PlayList.PlayList_length;
    mpls.PlayListMark.PlayListMark_length = 2;
    return mpls;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const corvane::TMPLS base = basePlayList();
    corvane::TMPLS mpls = base;
    const auto format = static_cast<corvane::ChapterFormat>(data[0] % 3);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const corvane::ChapterImport result = corvane::importChapters(mpls, text, format);
    if (!result.changed) return 0;
    for (const auto& mark : mpls.PlayListMark.marks)
        if (mark.ref_to_PlayItem_id >= mpls.PlayList.PlayItems.size()) __builtin_trap();
    const corvane::PlsReadResult back = corvane::readPlayList(corvane::writePlayList(mpls), "fuzz.mpls");
    if (back.status != corvane::ReadStatus::Ok || !(back.mpls == mpls)) __builtin_trap();
    return 0;
}
