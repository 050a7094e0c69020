// build, the inverse of dump: every real index and movie object file comes back byte for
// byte from its JSON (lengths recomputed and kept), script edits come out as files the
// readers take, and faults are named by their JSON pointer.

#include <gtest/gtest.h>

#include <filesystem>

#include "navigation/NavTestUtil.h"
#include "playlist/PlayListReader.h"
#include "json/JsonBuild.h"
#include "json/JsonModel.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// The JSON exactly as dump prints it, read back as build reads a file.
template <class Model> nlohmann::json dumped(const Model& model) {
    return nlohmann::json::parse(json::toJson(model, false).dump(2));
}

std::vector<fs::path> filesNamed(const std::string& lowerName, const std::string& sampleWord) {
    auto files = testing::acceptanceFiles(lowerName);
    for (const auto& entry : fs::directory_iterator(fs::path(CORVANE_TEST_DATA) / "navigation"))
        if (entry.path().filename().string().find(sampleWord) != std::string::npos)
            files.push_back(entry.path());
    return files;
}

template <class Read> void expectRoundTrips(const std::vector<fs::path>& files, Read read) {
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const auto bytes = testing::readPath(path);
        const nlohmann::json value = read(bytes);
        for (bool keep : {false, true}) {
            const auto built = json::buildFile(value, json::BuildOptions{keep});
            ASSERT_TRUE(built.ok) << built.error.text();
            EXPECT_EQ(testing::byteDifference(bytes, built.bytes), "") << (keep ? "--keep-lengths" : "");
        }
    }
    std::cout << files.size() << " files rebuilt from their JSON\n";
}

TEST(JsonBuild, IndexFilesComeBackFromTheirDump) {
    expectRoundTrips(filesNamed("index.bdmv", "index"), [](const std::vector<std::uint8_t>& bytes) {
        const auto read = readIndex(bytes);
        EXPECT_EQ(read.status, ReadStatus::Ok);
        return dumped(read.index);
    });
}

TEST(JsonBuild, MovieObjectFilesComeBackFromTheirDump) {
    expectRoundTrips(filesNamed("movieobject.bdmv", "MovieObject"),
                     [](const std::vector<std::uint8_t>& bytes) {
                         const auto read = readMovieObject(bytes);
                         EXPECT_EQ(read.status, ReadStatus::Ok);
                         return dumped(read.mobj);
                     });
}

TEST(JsonBuild, PlaylistsComeBackFromTheirDump) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const fs::path& root : {testing::acceptanceFolder(), fs::path(CORVANE_TEST_DATA) / "playlist"}) {
        if (!fs::is_directory(root, ec)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
            std::string ext = entry.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (entry.is_regular_file() && ext == ".mpls") files.push_back(entry.path());
        }
    }
    expectRoundTrips(files, [](const std::vector<std::uint8_t>& bytes) {
        const auto read = readPlayList(bytes, "x.mpls");
        EXPECT_EQ(read.status, ReadStatus::Ok);
        return dumped(read.mpls);
    });
}

// A script adds a title and a command without touching a length or a count: the file
// comes out consistent and reads back with them.
TEST(JsonBuild, ScriptEditsGetTheirLengthsRecomputed) {
    auto index = dumped(readIndex(testing::readSample("bdpl-disc1-index.bdmv")).index);
    const std::size_t titles = index["Indexes"]["titles"].size();
    index["Indexes"]["titles"].push_back(index["Indexes"]["titles"][0]);
    index["Indexes"]["titles"].back()["mobj_id_ref"] = 7;
    const auto builtIndex = json::buildFile(index, {});
    ASSERT_TRUE(builtIndex.ok) << builtIndex.error.text();
    const auto readBack = readIndex(builtIndex.bytes);
    ASSERT_EQ(readBack.status, ReadStatus::Ok);
    ASSERT_EQ(readBack.index.Indexes.titles.size(), titles + 1);
    EXPECT_EQ(readBack.index.Indexes.titles.back().mobj_id_ref, 7);
    EXPECT_EQ(readBack.index.Indexes.indexes_length, 26 + 12 * (titles + 1));
    // With the lengths kept, the stale count is refused.
    const auto kept = json::buildFile(index, json::BuildOptions{true});
    EXPECT_FALSE(kept.ok);
    EXPECT_EQ(kept.error.pointer, "/Indexes/number_of_titles");

    auto mobj = dumped(readMovieObject(testing::readSample("bdj-sdk-MovieObject.bdmv")).mobj);
    auto& commands = mobj["MovieObjects"]["mobjs"][0]["navigation_commands"];
    const std::size_t lines = commands.size();
    commands.push_back({{"opcode", 0x21810000u}, {"destination", 2}, {"source", 0}});
    const auto builtMobj = json::buildFile(mobj, {});
    ASSERT_TRUE(builtMobj.ok) << builtMobj.error.text();
    const auto objects = readMovieObject(builtMobj.bytes);
    ASSERT_EQ(objects.status, ReadStatus::Ok);
    EXPECT_FALSE(objects.endedEarly);
    ASSERT_EQ(objects.mobj.MovieObjects.mobjs[0].navigation_commands.size(), lines + 1);
    EXPECT_EQ(objects.mobj.MovieObjects.mobjs[0].navigation_commands.back().opcode, 0x21810000u);
    EXPECT_EQ(builtMobj.bytes.size(), testing::readSample("bdj-sdk-MovieObject.bdmv").size() + 12);

    // A playlist loses its first PlayItem and gains a mark: the sections after move up.
    const auto original =
        testing::readPath(fs::path(CORVANE_TEST_DATA) / "playlist" / "bdpl-disc1-00002-subpath-17marks.mpls");
    const TMPLS before = readPlayList(original, "x.mpls").mpls;
    ASSERT_GE(before.PlayList.PlayItems.size(), 2u);
    auto mpls = dumped(before);
    mpls["PlayList"]["PlayItems"].erase(0);
    mpls["PlayListMark"]["marks"].push_back(mpls["PlayListMark"]["marks"][0]);
    mpls["PlayListMark"]["marks"].back()["mark_time_stamp"] = 123456;
    const auto builtMpls = json::buildFile(mpls, {});
    ASSERT_TRUE(builtMpls.ok) << builtMpls.error.text();
    const auto list = readPlayList(builtMpls.bytes, "x.mpls");
    ASSERT_EQ(list.status, ReadStatus::Ok);
    EXPECT_EQ(list.mpls.PlayList.PlayItems.size(), before.PlayList.PlayItems.size() - 1);
    EXPECT_EQ(list.mpls.PlayList.PlayItems[0], before.PlayList.PlayItems[1]);
    ASSERT_EQ(list.mpls.PlayListMark.marks.size(), before.PlayListMark.marks.size() + 1);
    EXPECT_EQ(list.mpls.PlayListMark.marks.back().mark_time_stamp, 123456u);
    EXPECT_EQ(list.mpls.PlayListMark_start_address,
              before.PlayListMark_start_address - 2 - before.PlayList.PlayItems[0].PlayItem_length);
    EXPECT_EQ(list.mpls.PlayListMark.PlayListMark_length, before.PlayListMark.PlayListMark_length + 14);
}

TEST(JsonBuild, FaultsAreNamedByTheirPointer) {
    const auto index = dumped(readIndex(testing::readSample("bdpl-disc1-index.bdmv")).index);
    const auto mobj = dumped(readMovieObject(testing::readSample("bdpl-disc1-MovieObject.bdmv")).mobj);
    const auto mpls = dumped(readPlayList(testing::readPath(fs::path(CORVANE_TEST_DATA) / "playlist" /
                                                            "bdpl-disc1-00002-subpath-17marks.mpls"),
                                          "x.mpls")
                                 .mpls);
    struct Case {
        nlohmann::json value;
        std::string text;
    };
    std::vector<Case> cases;
    auto edit = [&](nlohmann::json value, const std::string& pointer, nlohmann::json to, std::string text) {
        value[nlohmann::json::json_pointer(pointer)] = std::move(to);
        cases.push_back({std::move(value), std::move(text)});
    };
    edit(mpls, "/PlayList/PlayItems/1/IN_time", "abc",
         "/PlayList/PlayItems/1/IN_time: expected an integer 0..4294967295, found \"abc\"");
    edit(mpls, "/PlayList/PlayItems/0/STN/audio/0/language_code", "engl",
         "/PlayList/PlayItems/0/STN/audio/0/language_code: expected Latin-1 text of at most 3 characters, "
         "found "
         "\"engl\"");
    edit(mpls, "/PlayList/PlayItems/0/STN/number_of_PiP_PG_textST_stream_entries_plus", 200,
         "/PlayList/PlayItems/0/STN/number_of_PiP_PG_textST_stream_entries_plus: expected at most 5 (the PG "
         "entries "
         "listed), found 200");
    edit(mobj, "/MovieObjects/mobjs/0/navigation_commands/0/opcode", "abc",
         "/MovieObjects/mobjs/0/navigation_commands/0/opcode: expected an integer 0..4294967295, found "
         "\"abc\"");
    edit(mobj, "/MovieObjects/mobjs/0/menu_call_mask", 2,
         "/MovieObjects/mobjs/0/menu_call_mask: expected an integer 0..1, found 2");
    edit(mobj, "/MovieObjects/mobjs/0/IN_tme", 1,
         "/MovieObjects/mobjs/0/IN_tme: expected a field of this record (no field has that name), found 1");
    edit(mobj, "/reserved", "00", "/reserved: expected 28 bytes as hex, found \"00\"");
    edit(mobj, "/version_number", "0400",
         "/version_number: expected \"0100\", \"0200\" or \"0300\", found \"0400\"");
    edit(index, "/Indexes/titles/0/access_type", -1,
         "/Indexes/titles/0/access_type: expected an integer 0..3, found -1");
    edit(index, "/content_provider_user_data", "\xE2\x82\xAC",
         "/content_provider_user_data: expected Latin-1 text of at most 32 characters, found "
         "\"\xE2\x82\xAC\"");
    edit(index, "/ExtensionData/ext_data_block", 76,
         "/ExtensionData/ext_data_block: expected bytes as a hex string (a dump made without --no-data), "
         "found 76");
    edit(index, "/type_indicator", "HDMV",
         "/type_indicator: expected a type build writes: \"INDX\", \"MOBJ\", \"MPLS\" or an ExtensionData() "
         "block, "
         "found "
         "\"HDMV\"");
    nlohmann::json missing = index;
    missing["Indexes"].erase("top_menu");
    cases.push_back({missing, "/Indexes/top_menu: expected an object, found nothing"});
    for (const auto& c : cases) {
        const auto built = json::buildFile(c.value, {});
        EXPECT_FALSE(built.ok);
        EXPECT_TRUE(built.bytes.empty());
        EXPECT_EQ(built.error.text(), c.text);
    }
}

} // namespace
} // namespace corvane
