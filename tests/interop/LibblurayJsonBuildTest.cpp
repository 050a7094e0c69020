// A script's edit through the JSON of dump and build, checked by libbluray: a chapter added to
// the sample feature's marks (its counts and lengths left as they were) is a chapter at its
// time on the playlist's time line.
#include <gtest/gtest.h>

#include <libbluray/bluray.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "interop/LibblurayOpen.h"
#include "io/FileIO.h"
#include "playlist/PlayListReader.h"
#include "json/JsonBuild.h"
#include "json/JsonModel.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

TEST(LibblurayJsonBuild, ChapterAddedInTheJsonIsAChapterAtItsTime) {
    const fs::path disc = fs::temp_directory_path() / ("corvane-interop-json-" + std::to_string(::getpid()));
    fs::remove_all(disc);
    fs::create_directories(disc);
    fs::copy(fs::path(CORVANE_SAMPLE_DISC), disc / "BDMV", fs::copy_options::recursive);
    const fs::path file = disc / "BDMV" / "PLAYLIST" / "00001.mpls";
    std::string error;
    const auto bytes = readWholeFile(file.string(), error);
    ASSERT_TRUE(bytes) << error;
    const PlsReadResult read = readPlayList(*bytes, "00001.mpls", true);
    ASSERT_EQ(read.status, ReadStatus::Ok);

    // One second into the second PlayItem, between its two chapters.
    nlohmann::json dump = nlohmann::json::parse(json::toJson(read.mpls, false).dump());
    auto& marks = dump["PlayListMark"]["marks"];
    ASSERT_EQ(marks.size(), 4u);
    nlohmann::json mark = marks[2];
    mark["mark_time_stamp"] = mark["mark_time_stamp"].get<std::uint32_t>() + 45000;
    marks.insert(marks.begin() + 3, mark);
    const json::BuiltFile built = json::buildFile(dump, {});
    ASSERT_TRUE(built.ok) << built.error.text();
    ASSERT_TRUE(writeWholeFile(file.string(), built.bytes).ok);

    BLURAY* bd = testing::openDiscWithoutJava(disc);
    ASSERT_NE(bd, nullptr);
    BLURAY_TITLE_INFO* feature = bd_get_playlist_info(bd, 1, 0);
    ASSERT_NE(feature, nullptr);
    ASSERT_EQ(feature->chapter_count, 5u);
    // 90 kHz: the second PlayItem starts at 4.004 s.
    EXPECT_EQ(feature->chapters[2].start, 2u * 180180);
    EXPECT_EQ(feature->chapters[3].start, 2u * 180180 + 90000);
    EXPECT_EQ(feature->chapters[3].clip_ref, 1u);
    bd_free_title_info(feature);
    bd_close(bd);
    fs::remove_all(disc);
}

} // namespace
} // namespace corvane
