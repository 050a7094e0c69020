#pragma once
// The large files the benchmarks share, built in memory: a MovieObject.bdmv of 2,000 movie
// objects holding 50,000 commands (25 each), and a playlist of 999 PlayItems (a video, an
// audio and a PG entry each) with 999 marks.
#include "navigation/MovieObject.h"
#include "navigation/NavCommand.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListWriter.h"

#include <random>
#include <string>
#include <vector>

namespace corvane::bench {

inline constexpr std::size_t kObjects = 2000;
inline constexpr std::size_t kCommandsPerObject = 25;

inline const corvane::TMOBJ& largeMovieObject() {
    static const corvane::TMOBJ mobj = [] {
        std::mt19937 random(50000);
        corvane::TMOBJ out;
        out.type_indicator = "MOBJ";
        out.version_number = "0200";
        std::uint32_t length = 6;
        out.MovieObjects.mobjs.resize(kObjects);
        for (auto& object : out.MovieObjects.mobjs) {
            object.resume_intention_flag = random() & 1;
            object.menu_call_mask = random() & 1;
            object.number_of_navigation_commands = kCommandsPerObject;
            object.navigation_commands.resize(kCommandsPerObject);
            for (auto& command : object.navigation_commands)
                command = {corvane::ValidOpcodes[random() % corvane::ValidOpcodes.size()],
                           static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};
            length += 4 + 12 * kCommandsPerObject;
        }
        out.MovieObjects.number_of_mobjs = kObjects;
        out.MovieObjects.mobjs_length = length;
        return out;
    }();
    return mobj;
}

inline std::vector<std::uint8_t> largePlayList() {
    TMPLS mpls;
    mpls.AppInfo_length = 14;
    mpls.PlayList_start_address = 58;
    std::uint32_t listLength = 6;
    for (int i = 0; i < 999; ++i) {
        TPlayItem item;
        item.Clip_Information_file_name = std::to_string(10000 + i);
        item.Clip_codec_identifier = "M2TS";
        item.IN_time = 45000;
        item.OUT_time = 45000 + 45000u * 60;
        auto entry = [](std::uint16_t pid, std::uint8_t coding) {
            TStreamEntry stream;
            stream.stream_type = 1;
            stream.ref_to_stream_PID_of_mainClip = pid;
            stream.stream_coding_type = coding;
            stream.language_code = "eng";
            return stream;
        };
        const TStreamEntry video = entry(0x1011, 0x1B);
        const TStreamEntry audio = entry(0x1100, 0x81);
        const TStreamEntry pg = entry(0x1200, 0x90);
        item.STN.video = {video};
        item.STN.audio = {audio};
        item.STN.PG = {pg};
        item.STN.number_of_PG_textST_stream_entries = 1;
        item.STN.STN_length = 14 + 3 * 16;
        item.PlayItem_length = static_cast<std::uint16_t>(32 + 2 + item.STN.STN_length);
        listLength += 2 + item.PlayItem_length;
        mpls.PlayList.PlayItems.push_back(item);
    }
    mpls.PlayList.PlayList_length = listLength;
    mpls.PlayListMark_start_address = 58 + 4 + listLength;
    mpls.PlayListMark.PlayListMark_length = 2;
    for (std::size_t i = 0; i < 999; ++i) insertMark(mpls, i == 0 ? std::nullopt : std::optional(i - 1));
    return writePlayList(mpls);
}

} // namespace corvane::bench
