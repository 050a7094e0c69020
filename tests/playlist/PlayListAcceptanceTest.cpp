// Every playlist of the acceptance sample set, when that set is present beside the
// repository: version 0100/0200/0300 files come back byte for byte, others are refused
// with "Invalid format: ", and chapter files of their marks go back to the same marks.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "TestBytes.h"
#include "io/FileIO.h"
#include "playlist/PlayListMarks.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> acceptancePlaylists() {
    std::vector<fs::path> files;
    std::error_code error;
    const fs::path root = CORVANE_ACCEPTANCE_DATA;
    if (!fs::is_directory(root, error)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (entry.is_regular_file() && ext == ".mpls") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The playlists of a UHD disc, shipped with the tests: each comes back byte for byte as 0300.
TEST(PlayListAcceptance, UhdDiscComesBackByteForByte) {
    std::size_t files = 0, hevc = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(CORVANE_TEST_DATA) / "playlist" / "disc5")) {
        SCOPED_TRACE(entry.path().string());
        std::string error;
        const auto bytes = readWholeFile(entry.path().string(), error);
        ASSERT_TRUE(bytes) << error;
        const PlsReadResult result = readPlayList(*bytes, entry.path().filename().string());
        ASSERT_EQ(result.status, ReadStatus::Ok) << (result.messages.empty() ? "" : result.messages[0].text);
        EXPECT_EQ(result.mpls.version_number, "0300");
        EXPECT_EQ(testing::byteDifference(*bytes, writePlayList(result.mpls)), "");
        ++files;
        for (const auto& item : result.mpls.PlayList.PlayItems)
            for (const auto& video : item.STN.video)
                hevc += video.stream_coding_type == 0x24 && video.video_format == 8;
    }
    EXPECT_EQ(files, 16u);
    EXPECT_GE(hevc, 16u);
}

TEST(PlayListAcceptance, EveryPlaylistComesBack) {
    const auto files = acceptancePlaylists();
    if (files.empty()) GTEST_SKIP() << "acceptance sample set not present";
    std::size_t exact = 0, refused = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        std::string error;
        const auto bytes = readWholeFile(path.string(), error);
        ASSERT_TRUE(bytes) << error;
        ASSERT_GE(bytes->size(), 8u);
        const std::string version(bytes->begin() + 4, bytes->begin() + 8);
        PlsReadResult result = readPlayList(*bytes, path.filename().string());
        if (version != "0100" && version != "0200" && version != "0300") {
            EXPECT_EQ(result.status, ReadStatus::FormatError);
            ASSERT_FALSE(result.messages.empty());
            EXPECT_EQ(result.messages.back().text.find("Invalid format: "), 0u);
            ++refused;
            continue;
        }
        ASSERT_EQ(result.status, ReadStatus::Ok) << (result.messages.empty() ? "" : result.messages[0].text);
        EXPECT_EQ(testing::byteDifference(*bytes, writePlayList(result.mpls)), "");
        ++exact;

        TMPLS mpls = result.mpls;
        if (mpls.PlayListMark.marks.empty() || mpls.PlayList.PlayItems.empty()) continue;
        // Marks inside their PlayItems go out to a chapter file and come back where they were.
        bool inside = true;
        for (const auto& mark : mpls.PlayListMark.marks) {
            const auto& items = mpls.PlayList.PlayItems;
            inside = inside && mark.ref_to_PlayItem_id < items.size() &&
                     mark.mark_time_stamp >= items[mark.ref_to_PlayItem_id].IN_time &&
                     mark.mark_time_stamp < items[mark.ref_to_PlayItem_id].OUT_time &&
                     (mark.ref_to_PlayItem_id == 0 ||
                      mark.mark_time_stamp > items[mark.ref_to_PlayItem_id].IN_time);
        }
        if (!inside) continue;
        ASSERT_TRUE(
            importChapters(mpls, chapterText(mpls, ChapterFormat::PTS).text, ChapterFormat::PTS).changed);
        for (std::size_t i = 0; i < mpls.PlayListMark.marks.size(); ++i) {
            EXPECT_EQ(mpls.PlayListMark.marks[i].ref_to_PlayItem_id,
                      result.mpls.PlayListMark.marks[i].ref_to_PlayItem_id);
            EXPECT_EQ(mpls.PlayListMark.marks[i].mark_time_stamp,
                      result.mpls.PlayListMark.marks[i].mark_time_stamp);
        }
    }
    RecordProperty("exact", static_cast<int>(exact));
    RecordProperty("refused", static_cast<int>(refused));
    std::cout << "acceptance playlists: " << files.size() << ", byte-exact " << exact << ", refused "
              << refused << "\n";
    EXPECT_GT(exact, 0u);
}

} // namespace
} // namespace corvane
