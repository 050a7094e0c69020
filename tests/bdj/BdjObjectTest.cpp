// BD-J object reader: real files, the alignment steps, the key bits, and damaged input.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "bdj/BdjObject.h"

namespace corvane {
namespace {

std::vector<std::uint8_t> sample(const std::string& name) {
    std::ifstream file(std::string(CORVANE_TEST_DATA) + "/bdj/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(BdjObject, RealFile) {
    const BdjoReadResult result = readBDJO(sample("hdcookbook-bdjo-sample-00000.bdjo"), "00000.bdjo");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_TRUE(result.messages.empty());
    const TBDJO& bdjo = result.bdjo;
    EXPECT_EQ(bdjo.default_font, "*****");
    EXPECT_EQ(bdjo.initial_HAVi_configuration_id, 1);
    EXPECT_EQ(appCacheRows(bdjo), (std::vector<BdjoRow>{{"0", "1", "00000", "*.*"}}));
    EXPECT_EQ(accessiblePlayListRows(bdjo), (std::vector<BdjoRow>{{"0", "00001"}}));
    EXPECT_EQ(bdjo.TableOfAccessiblePlayLists.access_to_all_flag, 1);
    ASSERT_EQ(bdjo.ApplicationManagementTable.applications.size(), 1u);
    const Tapplication& app = bdjo.ApplicationManagementTable.applications[0];
    const auto rows = applicationRows(bdjo);
    EXPECT_EQ(rows[0], (BdjoRow{"0", "1", "16", "FFFF0001", "4000", "00", "1", "3", "1", "", "00000",
                                "/00000", "com.hdcookbook.gunbunny.GunBunnyXlet", "1", "0", "0"}));
    EXPECT_EQ(profileRows(app), (std::vector<BdjoRow>{{"1", "0001", "1.0.0"}}));
    EXPECT_EQ(bdjo.KeyInterestTable, 0xFFE00000u);
    EXPECT_EQ(bdjo.FileAccessInfo.directory_paths, ".");

    const BdjoReadResult other = readBDJO(sample("bdj-sdk-00000.bdjo"), "00000.bdjo");
    EXPECT_EQ(other.status, ReadStatus::Ok);
    EXPECT_FALSE(other.bdjo.ApplicationManagementTable.applications.empty());

    // A version 0300 object reads like its 0200 body and keeps its version.
    const BdjoReadResult uhd = readBDJO(sample("hdcookbook-bdjo-sample-00000-0300.bdjo"), "00000.bdjo");
    ASSERT_EQ(uhd.status, ReadStatus::Ok);
    EXPECT_EQ(uhd.bdjo.version_number, "0300");
    TBDJO relabelled = uhd.bdjo;
    relabelled.version_number = "0200";
    EXPECT_TRUE(relabelled == bdjo);
}

TEST(BdjObject, KeyBoxesCoverBits31To21) {
    int bit = 31;
    for (const KeyBox& box : KeyInterestBoxes) EXPECT_EQ(box.bit, bit--);
    EXPECT_EQ(KeyInterestBoxes[5].caption, "Prev.");
}

// An application built byte by byte: names, an odd icon locator, parameters.
TEST(BdjObject, ApplicationFieldsAndAlignment) {
    std::vector<std::uint8_t> file = {'B', 'D', 'J', 'O', '0', '2', '0', '0'};
    auto lword = [&](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) file.push_back(static_cast<std::uint8_t>(v >> s));
    };
    for (std::uint32_t address : {48u, 0u, 0u, 62u, 0u, 0u}) lword(address);
    file.resize(48, 0);
    lword(10);
    for (char c : std::string("font1")) file.push_back(static_cast<std::uint8_t>(c));
    file.push_back(0x2C); // HAVi 2, menu call and title search masks
    lword(0);
    // Application management table at 62.
    lword(0);
    file.insert(file.end(), {1, 0});
    file.insert(file.end(), {2, 1, 0, 0, 0, 7, 0x40, 0x01, 0x00, 0x00});
    lword(0);
    lword(0);
    file.insert(file.end(), {0x20, 0x00, 0x00, 0x01, 2, 0, 1, 0, 0x00, 0x02, 3, 0, 5, 0});
    file.push_back(5);    // priority
    file.push_back(0x10); // binding 0, visibility 1
    // Pad bytes (0xEE) where the reader must skip one to reach an even offset.
    auto align = [&] {
        if (file.size() % 2) file.push_back(0xEE);
    };
    file.insert(file.end(), {0, 7, 'e', 'n', 'g', 3, 'A', 'p', 'p'});
    align();
    file.insert(file.end(), {3, 'i', 'c', 'o'});
    align();
    file.insert(file.end(), {0x12, 0x34, 2, 'b', 'd'});
    align();
    file.insert(file.end(), {1, 'c'});
    align();
    file.insert(file.end(), {4, 'M', 'a', 'i', 'n'});
    align();
    file.insert(file.end(), {6, 2, 'p', '1', 2, 'p', '2'});
    align();
    EXPECT_GE(std::count(file.begin(), file.end(), 0xEE), 3);
    const BdjoReadResult result = readBDJO(file, "test.bdjo");
    ASSERT_EQ(result.status, ReadStatus::Ok) << (result.messages.empty() ? "" : result.messages[0].text);
    EXPECT_EQ(result.bdjo.default_font, "font1");
    EXPECT_EQ(result.bdjo.initial_HAVi_configuration_id, 2);
    EXPECT_EQ(result.bdjo.menu_call_mask, 1);
    EXPECT_EQ(result.bdjo.title_search_mask, 1);
    const Tapplication& app = result.bdjo.ApplicationManagementTable.applications.at(0);
    EXPECT_EQ(profileRows(app), (std::vector<BdjoRow>{{"1", "0001", "2.0.1"}, {"2", "0002", "3.0.5"}}));
    EXPECT_EQ(nameRows(app), (std::vector<BdjoRow>{{"1", "eng", "App"}}));
    EXPECT_EQ(app.icon_locator, "ico");
    EXPECT_EQ(app.icon_flags, 0x1234);
    EXPECT_EQ(app.base_directory, "bd");
    EXPECT_EQ(app.classpath_extension, "c");
    EXPECT_EQ(app.initial_class_name, "Main");
    EXPECT_EQ(parameterRows(app), (std::vector<BdjoRow>{{"1", "p1"}, {"2", "p2"}}));
    EXPECT_EQ(app.application_binding, 0);
    EXPECT_EQ(app.visibility, 1);
}

TEST(BdjObject, BadInput) {
    EXPECT_EQ(readBDJO({}, "x.bdjo").status, ReadStatus::FormatError);
    auto file = sample("hdcookbook-bdjo-sample-00000.bdjo");
    auto version = file;
    version[5] = '4';
    const BdjoReadResult wrong = readBDJO(version, "x.bdjo");
    EXPECT_EQ(wrong.status, ReadStatus::FormatError);
    EXPECT_TRUE(wrong.bdjo == TBDJO{});
    ASSERT_EQ(wrong.messages.size(), 1u);
    EXPECT_EQ(wrong.messages[0].text, "Invalid format: x.bdjo");
    // Every cut and random bytes: no crash, a damaged file says where.
    for (std::size_t size = 8; size < file.size() - 1; ++size) { // the last byte is a pad nobody reads
        const BdjoReadResult cut =
            readBDJO(std::vector<std::uint8_t>(file.begin(), file.begin() + size), "x.bdjo");
        EXPECT_EQ(cut.status, ReadStatus::Damaged) << size;
        EXPECT_FALSE(cut.messages.empty());
        // Offsets in hexadecimal and the file named once, as every reader gives them.
        for (const auto& message : cut.messages) {
            EXPECT_EQ(message.text.rfind("x.bdjo ends inside ", 0), 0u) << message.text;
            EXPECT_NE(message.text.find(" at $0000"), std::string::npos) << message.text;
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        auto noisy = file;
        for (int k = 0; k < 6; ++k)
            noisy[8 + random() % (noisy.size() - 8)] = static_cast<std::uint8_t>(random());
        readBDJO(noisy, "x.bdjo");
    }
}

} // namespace
} // namespace corvane
