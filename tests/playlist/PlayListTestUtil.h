#pragma once
// Helpers of the playlist tests: samples, the acceptance set, and models built in
// code with their lengths and start addresses laid out as a file would hold them.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "playlist/PlayList.h"
#include "playlist/PlayListWriter.h"

namespace corvane::testing {

inline std::vector<std::uint8_t> readPlaylistSample(const std::string& name) {
    const std::string path = std::string(CORVANE_TEST_DATA) + "/playlist/" + name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing sample " << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::size_t refListSize(std::size_t count) {
    return 2 + count + count % 2;
}

// The two length bytes of an entry from the bytes it holds.
inline void setEntryLengths(TStreamEntry& entry) {
    entry.entry_length = static_cast<std::uint8_t>(
        (entry.stream_type >= 1 && entry.stream_type <= 4 ? 9 : 1) + entry.entry_rest.size());
    const std::size_t attributes = streamEntrySize(entry) - 1 - entry.entry_length - 1;
    entry.attributes_length = static_cast<std::uint8_t>(attributes);
}

// Sets every count, length and start address from the content, back to back.
inline void layOut(TMPLS& mpls) {
    mpls.AppInfo_length = 14;
    TPlayList& list = mpls.PlayList;
    std::size_t listLength = 6;
    for (TPlayItem& item : list.PlayItems) {
        TSTN& stn = item.STN;
        std::size_t stnLength = 14;
        for (auto* group : {&stn.video, &stn.audio, &stn.PG, &stn.IG, &stn.DV_EL})
            for (TStreamEntry& entry : *group) {
                setEntryLengths(entry);
                stnLength += streamEntrySize(entry);
            }
        for (TSecAudio& secondary : stn.sec_audio) setEntryLengths(secondary.entry);
        for (TSecVideo& secondary : stn.sec_video) setEntryLengths(secondary.entry);
        for (TSecAudio& secondary : stn.sec_audio) {
            secondary.number_of_primary_audio_ref_entries =
                static_cast<std::uint8_t>(secondary.primary_audio_refs.size());
            stnLength += streamEntrySize(secondary.entry) + refListSize(secondary.primary_audio_refs.size());
        }
        for (TSecVideo& secondary : stn.sec_video) {
            secondary.number_of_secondary_audio_ref_entries =
                static_cast<std::uint8_t>(secondary.secondary_audio_refs.size());
            secondary.number_of_PiP_PG_textST_ref_entries =
                static_cast<std::uint8_t>(secondary.PiP_PG_textST_refs.size());
            stnLength += streamEntrySize(secondary.entry) +
                         refListSize(secondary.secondary_audio_refs.size()) +
                         refListSize(secondary.PiP_PG_textST_refs.size());
        }
        stn.number_of_primary_video_stream_entries = static_cast<std::uint8_t>(stn.video.size());
        stn.number_of_primary_audio_stream_entries = static_cast<std::uint8_t>(stn.audio.size());
        stn.number_of_PiP_PG_textST_stream_entries_plus =
            static_cast<std::uint8_t>(stn.PG.size() - stn.number_of_PG_textST_stream_entries);
        stn.number_of_IG_stream_entries = static_cast<std::uint8_t>(stn.IG.size());
        stn.number_of_secondary_audio_stream_entries = static_cast<std::uint8_t>(stn.sec_audio.size());
        stn.number_of_secondary_video_stream_entries = static_cast<std::uint8_t>(stn.sec_video.size());
        stn.number_of_DV_EL_stream_entries = static_cast<std::uint8_t>(stn.DV_EL.size());
        stn.STN_length = static_cast<std::uint16_t>(stnLength + stn.STN_rest.size());
        std::size_t itemLength = 32 + 2 + stn.STN_length + item.PlayItem_rest.size();
        if (item.is_multi_angle) {
            item.multi_clip.number_of_angles = static_cast<std::uint8_t>(item.multi_clip.angles.size());
            itemLength += 2 + 10 * (item.multi_clip.angles.empty() ? 0 : item.multi_clip.angles.size() - 1);
        }
        item.PlayItem_length = static_cast<std::uint16_t>(itemLength);
        listLength += 2 + itemLength;
    }
    for (TSubPath& path : list.SubPaths) {
        std::size_t pathLength = 6 + path.SubPath_rest.size();
        for (TSubPlayItem& item : path.SubPlayItems) {
            std::size_t itemLength = 28 + item.SubPlayItem_rest.size();
            if (item.is_multi_Clip_entries) {
                item.number_of_Clip_entries = static_cast<std::uint8_t>(item.Clip_entries.size());
                itemLength += 2 + 10 * (item.Clip_entries.empty() ? 0 : item.Clip_entries.size() - 1);
            }
            item.SubPlayItem_length = static_cast<std::uint16_t>(itemLength);
            pathLength += 2 + itemLength;
        }
        path.number_of_SubPlayItems = static_cast<std::uint8_t>(path.SubPlayItems.size());
        path.SubPath_length = static_cast<std::uint32_t>(pathLength);
        listLength += 4 + pathLength;
    }
    list.number_of_PlayItems = static_cast<std::uint16_t>(list.PlayItems.size());
    list.number_of_SubPaths = static_cast<std::uint16_t>(list.SubPaths.size());
    listLength += list.PlayList_rest.size();
    list.PlayList_length = static_cast<std::uint32_t>(listLength);
    mpls.PlayList_start_address = static_cast<std::uint32_t>(58 + mpls.padding_before_PlayList.size());
    TPlayListMark& marks = mpls.PlayListMark;
    marks.number_of_PlayList_marks = static_cast<std::uint16_t>(marks.marks.size());
    marks.PlayListMark_length =
        static_cast<std::uint32_t>(2 + 14 * marks.marks.size() + marks.PlayListMark_rest.size());
    mpls.PlayListMark_start_address = static_cast<std::uint32_t>(
        mpls.PlayList_start_address + 4 + listLength + mpls.padding_before_PlayListMark.size());
    mpls.ExtensionData_start_address =
        mpls.ExtensionData.length == 0
            ? 0
            : static_cast<std::uint32_t>(mpls.PlayListMark_start_address + 4 + marks.PlayListMark_length +
                                         mpls.padding_before_extension.size());
}

inline TStreamEntry primaryEntry(std::uint8_t type, std::uint16_t pid, std::uint8_t coding) {
    TStreamEntry entry;
    entry.stream_type = type;
    entry.ref_to_stream_PID_of_mainClip = pid;
    entry.stream_coding_type = coding;
    return entry;
}

inline TClipEntry clip(const std::string& name, std::uint8_t stc = 0) {
    return {name, "M2TS", stc};
}

} // namespace corvane::testing
