// The JSON comparison over dumps of real files: what an edit changes, and that a record
// inserted into or deleted from a list is one difference.
#include "json/JsonDiff.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace corvane::json {
namespace {

using nlohmann::ordered_json;

ordered_json sample(const std::string& name) {
    std::ifstream in(std::string(CORVANE_TEST_DATA) + "/json/" + name);
    return ordered_json::parse(in);
}

std::string listed(const std::vector<JsonDifference>& differences) {
    std::string text;
    for (const auto& d : differences)
        text += std::string(diffKindName(d.kind)) + " " + d.pointer + " " + d.oldValue.dump() + " -> " +
                d.newValue.dump() + "\n";
    return text;
}

TEST(JsonDiff, EqualDumpsAndOneChangedField) {
    const ordered_json playlist = sample("bdpl-disc6-00002-4audio-4pg.mpls.json");
    EXPECT_TRUE(diffJson(playlist, ordered_json(playlist)).empty());

    ordered_json edited = playlist;
    edited["PlayList"]["PlayItems"][1]["IN_time"] = 188955000;
    auto differences = diffJson(playlist, edited);
    ASSERT_EQ(differences.size(), 1u) << listed(differences);
    EXPECT_EQ(differences[0].pointer, "/PlayList/PlayItems/1/IN_time");
    EXPECT_EQ(differences[0].kind, DiffKind::Changed);
    EXPECT_EQ(differences[0].oldValue, 188910000);
    EXPECT_EQ(differences[0].newValue, 188955000);

    // Keys holding "/" and "~" are escaped in the pointer; a key of one side only is added or removed.
    const ordered_json a = {{"a/b", 1}, {"m~n", {{"x", 1}}}};
    const ordered_json b = {{"a/b", 2}, {"m~n", {{"y", 1}}}};
    EXPECT_EQ(listed(diffJson(a, b)), "changed /a~1b 1 -> 2\n"
                                      "removed /m~0n/x 1 -> null\n"
                                      "added /m~0n/y null -> 1\n");
}

TEST(JsonDiff, DeletedPlayItemIsOneRemoval) {
    const ordered_json playlist = sample("bdpl-disc6-00002-4audio-4pg.mpls.json");
    ordered_json edited = playlist;
    edited["PlayList"]["PlayItems"].erase(1);
    edited["PlayList"]["number_of_PlayItems"] = 2;
    auto differences = diffJson(playlist, edited);
    EXPECT_EQ(listed(differences), "changed /PlayList/number_of_PlayItems 3 -> 2\n"
                                   "removed /PlayList/PlayItems/1 " +
                                       playlist["PlayList"]["PlayItems"][1].dump() + " -> null\n");

    // The PlayItem after the deleted one edited too: it is compared with its old self
    // (old index), not with the one deleted.
    edited["PlayList"]["PlayItems"][1]["OUT_time"] = 400000000;
    differences = diffJson(playlist, edited);
    ASSERT_EQ(differences.size(), 3u) << listed(differences);
    EXPECT_EQ(differences[1].kind, DiffKind::Removed);
    EXPECT_EQ(differences[1].pointer, "/PlayList/PlayItems/1");
    EXPECT_EQ(differences[2].kind, DiffKind::Changed);
    EXPECT_EQ(differences[2].pointer, "/PlayList/PlayItems/2/OUT_time");
}

TEST(JsonDiff, InsertedCommandIsOneAddition) {
    const ordered_json mobj = sample("bdpl-disc1-MovieObject.bdmv.json");
    ordered_json edited = mobj;
    auto& object = edited["MovieObjects"]["mobjs"][1];
    const ordered_json command = {
        {"opcode", 1346371585}, {"destination", 7}, {"source", 99}, {"text", "Move GPR7, 99"}};
    object["navigation_commands"].insert(object["navigation_commands"].begin() + 5, command);
    object["number_of_navigation_commands"] = 53;
    auto differences = diffJson(mobj, edited);
    EXPECT_EQ(listed(differences), "changed /MovieObjects/mobjs/1/number_of_navigation_commands 52 -> 53\n"
                                   "added /MovieObjects/mobjs/1/navigation_commands/5 null -> " +
                                       command.dump() + "\n");
}

TEST(JsonDiff, LongListsFarApartStillAlign) {
    // More than a thousand edits: the alignment anchors on the elements found once on each side.
    ordered_json a = ordered_json::array();
    for (int i = 0; i < 20000; ++i) a.push_back(i % 3 == 0 ? ordered_json(i) : ordered_json(i % 7));
    ordered_json b = a;
    for (int i = 1; i < 20000; i += 9) b[i] = -i; // 2,223 changed elements
    b.erase(b.begin() + 5002);                    // and one deleted (i % 7, repeated everywhere)
    std::size_t changed = 0;
    std::size_t removed = 0;
    for (const auto& d : diffJson(a, b)) {
        if (d.kind == DiffKind::Changed) ++changed;
        if (d.kind == DiffKind::Removed) ++removed;
        EXPECT_NE(d.kind, DiffKind::Added) << d.pointer;
    }
    EXPECT_EQ(removed, 1u);
    EXPECT_EQ(changed, 2223u);
}

} // namespace
} // namespace corvane::json
