// index.bdmv of an Ultra HD disc read by an independent library: libbluray must see the
// AppInfoBDMV fields and the UHD disc-type entry our reader sees, also after an edit made
// through the core and saved. The disc-type entry is not in libbluray's disc info; it reports
// the entry in its database log line, which the test reads.

#include <gtest/gtest.h>

#include <libbluray/bluray-version.h>
#include <libbluray/bluray.h>
#include <libbluray/log_control.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/FileIO.h"
#include "navigation/IndexTable.h"
#include "navigation/IndexUhd.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string g_log; // libbluray's log lines while a disc opens

void captureLog(const char* message) {
    g_log += message;
}

// What libbluray reports of a disc's index.bdmv.
struct LibblurayIndex {
    bool opened = false;
    BLURAY_DISC_INFO info{};
    bool uhdSeen = false;
    int disc_type = -1, exist_4k_flag = -1, hdr_flags = -1, hdrplus_flag = -1, dv_flag = -1;
};

class LibblurayIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
#if BLURAY_VERSION < BLURAY_VERSION_CODE(1, 2, 1)
        GTEST_SKIP() << "libbluray before 1.2.1 reads no Ultra HD fields";
#endif
        m_disc =
            fs::temp_directory_path() / ("corvane-interop-index-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_disc);
        for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "BACKUP"})
            fs::create_directories(m_disc / "BDMV" / folder);
        std::string error;
        const auto index =
            readWholeFile(std::string(CORVANE_TEST_DATA) + "/navigation/bdpl-disc5-index-0300.bdmv", error);
        ASSERT_TRUE(index) << error;
        m_bytes = *index;
        const auto mobj = readWholeFile(
            std::string(CORVANE_TEST_DATA) + "/navigation/bdpl-disc5-MovieObject-0300.bdmv", error);
        ASSERT_TRUE(mobj) << error;
        write("MovieObject.bdmv", *mobj);
    }
    void TearDown() override {
        fs::remove_all(m_disc);
    }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream((m_disc / "BDMV" / name).string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    LibblurayIndex openWith(const std::vector<std::uint8_t>& index) {
        write("index.bdmv", index);
        LibblurayIndex result;
        g_log.clear();
        const std::uint32_t mask = bd_get_debug_mask();
        bd_set_debug_handler(captureLog);
        bd_set_debug_mask(DBG_NAV | DBG_CRIT);
        BLURAY* bd = bd_open(m_disc.string().c_str(), nullptr);
        if (bd) {
            if (const BLURAY_DISC_INFO* info = bd_get_disc_info(bd)) result.info = *info;
            result.opened = true;
            bd_close(bd);
        }
        bd_set_debug_mask(mask);
        bd_set_debug_handler(nullptr);
        const auto at = g_log.find("UHD disc type:");
        result.uhdSeen =
            at != std::string::npos &&
            std::sscanf(g_log.c_str() + at,
                        "UHD disc type: %d, 4k: %d, HDR: %d, HDR10+: %d, Dolby Vision: %d", &result.disc_type,
                        &result.exist_4k_flag, &result.hdr_flags, &result.hdrplus_flag, &result.dv_flag) == 5;
        return result;
    }

    // Every field libbluray reports agrees with our model of the same bytes.
    void expectSameValues(const std::vector<std::uint8_t>& bytes) {
        const IndexReadResult ours = readIndex(bytes);
        ASSERT_EQ(ours.status, ReadStatus::Ok);
        const TINDX& index = ours.index;
        const LibblurayIndex theirs = openWith(bytes);
        ASSERT_TRUE(theirs.opened);
        ASSERT_TRUE(theirs.info.bluray_detected);
        EXPECT_EQ(theirs.info.num_titles, index.Indexes.titles.size());
        EXPECT_EQ(theirs.info.initial_output_mode_preference, index.initial_output_mode_preference);
        EXPECT_EQ(theirs.info.content_exist_3D, index.SS_content_exist_flag);
        EXPECT_EQ(theirs.info.initial_dynamic_range_type, index.initial_dynamic_range_type);
        EXPECT_EQ(theirs.info.video_format, index.video_format);
        EXPECT_EQ(theirs.info.frame_rate, index.frame_rate);
        EXPECT_EQ(0, std::memcmp(theirs.info.provider_data, bytes.data() + 46, 32));
        const auto uhd = readUhdDiscInfo(index.ExtensionData);
        ASSERT_TRUE(uhd.has_value());
        ASSERT_TRUE(theirs.uhdSeen) << g_log;
        EXPECT_EQ(theirs.disc_type, uhd->disc_type);
        EXPECT_EQ(theirs.exist_4k_flag, uhd->exist_4k_flag);
        EXPECT_EQ(theirs.hdr_flags, uhd->hdr_flags);
        EXPECT_EQ(theirs.hdrplus_flag, uhd->hdrplus_flag);
        EXPECT_EQ(theirs.dv_flag, uhd->dv_flag);
    }

    fs::path m_disc;
    std::vector<std::uint8_t> m_bytes;
};

TEST_F(LibblurayIndexTest, UltraHdDiscValuesAgree) {
    expectSameValues(m_bytes);
}

TEST_F(LibblurayIndexTest, EditedUhdFieldsAreReadBack) {
    TINDX index = readIndex(m_bytes).index;
    // Neighbouring bits get different values, so that a field read from its neighbour's bit shows.
    for (const auto& [field, value] :
         {std::pair{IndexUhdField::SS_content_exist_flag, 1u},
          std::pair{IndexUhdField::initial_dynamic_range_type, 1u},
          std::pair{IndexUhdField::video_format, 8u}, std::pair{IndexUhdField::frame_rate, 6u},
          std::pair{IndexUhdField::disc_type, 4u}, std::pair{IndexUhdField::exist_4k_flag, 0u},
          std::pair{IndexUhdField::dv_flag, 1u}, std::pair{IndexUhdField::hdr_flags, 2u}})
        ASSERT_TRUE(setUhdFieldValue(index, field, value));
    const auto written = writeIndex(index);
    expectSameValues(written);
    // And the values are the ones set, not merely the same misreading on both sides.
    const LibblurayIndex theirs = openWith(written);
    EXPECT_EQ(theirs.info.content_exist_3D, 1);
    EXPECT_EQ(theirs.info.initial_output_mode_preference, 0);
    EXPECT_EQ(theirs.info.initial_dynamic_range_type, BLURAY_DYNAMIC_RANGE_HDR10);
    EXPECT_EQ(theirs.info.video_format, BLURAY_VIDEO_FORMAT_2160P);
    EXPECT_EQ(theirs.info.frame_rate, BLURAY_VIDEO_RATE_50);
    EXPECT_EQ(theirs.disc_type, 4);
    EXPECT_EQ(theirs.exist_4k_flag, 0);
    EXPECT_EQ(theirs.hdrplus_flag, 0);
    EXPECT_EQ(theirs.dv_flag, 1);
    EXPECT_EQ(theirs.hdr_flags, 2);
}

} // namespace
} // namespace corvane
