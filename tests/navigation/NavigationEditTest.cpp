#include <gtest/gtest.h>

#include <random>

#include "navigation/NavTestUtil.h"
#include "navigation/NavigationEdit.h"
#include "shell/CaptureSink.h"

namespace corvane {
namespace {

constexpr std::uint32_t kGoTo = 0x20810000;
constexpr std::uint32_t kGoToRegister = 0x20010000;
constexpr std::uint32_t kMove = 0x50400001;

// One object per program, every line a Move unless given; lengths consistent; an
// ExtensionData block present when asked.
TMOBJ makeMobj(const std::vector<std::vector<TNavCommand>>& programs, bool withExtension = false) {
    TMOBJ mobj;
    mobj.type_indicator = "MOBJ";
    mobj.version_number = "0200";
    std::uint32_t length = 6;
    for (const auto& program : programs) {
        Tmobject object;
        object.navigation_commands = program;
        object.number_of_navigation_commands = static_cast<std::uint16_t>(program.size());
        length += 4 + 12 * static_cast<std::uint32_t>(program.size());
        mobj.MovieObjects.mobjs.push_back(object);
    }
    mobj.MovieObjects.number_of_mobjs = static_cast<std::uint16_t>(programs.size());
    mobj.MovieObjects.mobjs_length = length;
    if (withExtension) {
        mobj.ExtensionData.length = 8;
        mobj.ExtensionData.ext_data_block = {0xAB, 0xCD};
        mobj.ExtensionData_start_address = 44 + length;
    }
    return mobj;
}

std::vector<TNavCommand> moves(std::size_t count) {
    std::vector<TNavCommand> program(count, TNavCommand{kMove, 1, 2});
    return program;
}

TINDX makeIndex(const std::vector<std::uint16_t>& objectRefs, bool withExtension = false) {
    TINDX index;
    index.indexes_start_address = 78;
    index.Indexes.first_playback = {FirstPlaybackTitleNumber, ObjectTypeHDMV, 0, 0, 0, ""};
    index.Indexes.top_menu = {TopMenuTitleNumber, ObjectTypeHDMV, 0, 1, 1, ""};
    for (std::size_t i = 0; i < objectRefs.size(); ++i)
        index.Indexes.titles.push_back(
            {static_cast<std::int32_t>(i + 1), ObjectTypeHDMV, 0, 0, objectRefs[i], ""});
    index.Indexes.number_of_titles = static_cast<std::uint16_t>(objectRefs.size());
    index.Indexes.indexes_length = static_cast<std::uint32_t>(26 + 12 * objectRefs.size());
    if (withExtension) {
        index.ExtensionData.length = 8;
        index.ExtensionData_start_address = 78 + 4 + index.Indexes.indexes_length;
    }
    return index;
}

std::vector<std::uint32_t> targets(const Tmobject& object) {
    std::vector<std::uint32_t> out;
    for (const auto& command : object.navigation_commands) out.push_back(command.destination);
    return out;
}

std::size_t blockSize(const TExtensionData& block) {
    return block.length == 0 ? 4 : 12 + 12 * block.ext_data_entries.size() + block.ext_data_block.size();
}

// The held lengths and addresses match the layout the writer produces.
void expectLengthsInStep(const TMOBJ& mobj) {
    const auto bytes = writeMovieObject(mobj);
    const std::size_t extension = mobj.ExtensionData_start_address == 0 ? 0 : blockSize(mobj.ExtensionData);
    EXPECT_EQ(mobj.MovieObjects.mobjs_length, bytes.size() - extension - 44);
    if (mobj.ExtensionData_start_address != 0) {
        EXPECT_EQ(mobj.ExtensionData_start_address, bytes.size() - extension);
    }
    EXPECT_EQ(mobj.MovieObjects.number_of_mobjs, mobj.MovieObjects.mobjs.size());
    for (const auto& object : mobj.MovieObjects.mobjs)
        EXPECT_EQ(object.number_of_navigation_commands, object.navigation_commands.size());
}

void expectLengthsInStep(const TINDX& index) {
    const auto bytes = writeIndex(index);
    const std::size_t extension = index.ExtensionData_start_address == 0 ? 0 : blockSize(index.ExtensionData);
    EXPECT_EQ(index.Indexes.indexes_length, bytes.size() - extension - 82);
    if (index.ExtensionData_start_address != 0) {
        EXPECT_EQ(index.ExtensionData_start_address, bytes.size() - extension);
    }
    EXPECT_EQ(index.Indexes.number_of_titles, index.Indexes.titles.size());
    for (std::size_t i = 0; i < index.Indexes.titles.size(); ++i)
        EXPECT_EQ(index.Indexes.titles[i].title_number, static_cast<std::int32_t>(i + 1));
}

TEST(CommandLineEdit, InsertMovesLaterGoTosAndAddsANop) {
    auto program = moves(6);
    program[0] = {kGoTo, 5, 0};
    program[1] = {kGoTo, 2, 0};
    program[2] = {kGoToRegister, 5, 0}; // a register operand is not a line number
    TMOBJ mobj = makeMobj({program, {{kGoTo, 5, 0}}}, true);
    const std::uint32_t length = mobj.MovieObjects.mobjs_length, address = mobj.ExtensionData_start_address;

    const auto edit = insertCommandLine(mobj, 0, 3);
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->line, 4u);
    EXPECT_EQ(edit->changedGotos, (std::vector<std::size_t>{0}));
    const Tmobject& object = mobj.MovieObjects.mobjs[0];
    ASSERT_EQ(object.navigation_commands.size(), 7u);
    EXPECT_EQ(targets(object)[0], 6u);
    EXPECT_EQ(targets(object)[1], 2u);
    EXPECT_EQ(targets(object)[2], 5u);
    EXPECT_EQ(object.navigation_commands[4], TNavCommand{});
    EXPECT_EQ(mobj.MovieObjects.mobjs[1].navigation_commands[0].destination, 5u); // other objects untouched
    EXPECT_EQ(mobj.MovieObjects.mobjs_length, length + 12);
    EXPECT_EQ(mobj.ExtensionData_start_address, address + 12);
    expectLengthsInStep(mobj);

    // An object without commands gets line 0; a zero address stays zero.
    TMOBJ empty = makeMobj({{}});
    const auto first = insertCommandLine(empty, 0, 7);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->line, 0u);
    EXPECT_EQ(empty.ExtensionData_start_address, 0u);
    expectLengthsInStep(empty);
}

TEST(CommandLineEdit, DeleteLowersTargetsAtOrAfterTheRange) {
    auto program = moves(10);
    program[0] = {kGoTo, 7, 0};
    program[1] = {kGoTo, 1, 0};
    program[4] = {kGoTo, 2, 0};
    program[5] = {kGoTo, 3, 0};
    TMOBJ mobj = makeMobj({program}, true);
    const std::uint32_t length = mobj.MovieObjects.mobjs_length;

    const auto edit = deleteCommandLines(mobj, 0, 2, 3);
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->line, 1u);
    // The GoTos that were on lines 4 and 5 are now on lines 2 and 3.
    EXPECT_EQ(targets(mobj.MovieObjects.mobjs[0]), (std::vector<std::uint32_t>{5, 1, 0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(edit->changedGotos, (std::vector<std::size_t>{0, 2, 3}));
    EXPECT_EQ(mobj.MovieObjects.mobjs_length, length - 24);
    expectLengthsInStep(mobj);
}

TEST(CommandLineEdit, DeletingTheFirstLinesLowersEveryTargetButNeverBelowZero) {
    auto program = moves(6);
    program[2] = {kGoTo, 5, 0};
    program[3] = {kGoTo, 0, 0};
    program[4] = {kGoTo, 1, 0};
    TMOBJ mobj = makeMobj({program});
    ASSERT_TRUE(deleteCommandLines(mobj, 0, 0, 1));
    EXPECT_EQ(targets(mobj.MovieObjects.mobjs[0]), (std::vector<std::uint32_t>{3, 0, 0, 1}));
    // Nothing to delete: no change.
    TMOBJ empty = makeMobj({{}});
    EXPECT_FALSE(deleteCommandLines(empty, 0, 0, 0));
    EXPECT_FALSE(deleteCommandLines(mobj, 5, 0, 0));
}

TEST(CommandLineEdit, NineThousandNineHundredNinetyNineIsTheMost) {
    TMOBJ mobj = makeMobj({moves(9998)});
    EXPECT_TRUE(insertCommandLine(mobj, 0, 0));
    const TMOBJ full = mobj;
    EXPECT_FALSE(insertCommandLine(mobj, 0, 0));
    EXPECT_EQ(mobj, full);
}

TEST(ObjectEdit, InsertAddsAFourByteObjectAndReferencesFollow) {
    TMOBJ mobj = makeMobj({moves(1), moves(2), moves(3)}, true);
    TINDX index = makeIndex({0, 1, 2, NoObject});
    index.Indexes.top_menu.mobj_id_ref = 2;
    const std::uint32_t address = mobj.ExtensionData_start_address;
    const std::size_t size = writeMovieObject(mobj).size();

    ASSERT_TRUE(insertMovieObject(mobj, index, 1));
    ASSERT_EQ(mobj.MovieObjects.mobjs.size(), 4u);
    EXPECT_EQ(mobj.MovieObjects.mobjs[1], Tmobject{});
    EXPECT_EQ(mobj.MovieObjects.mobjs[2].navigation_commands.size(), 2u);
    EXPECT_EQ(mobj.ExtensionData_start_address, address + 4);
    EXPECT_EQ(writeMovieObject(mobj).size(), size + 4);
    expectLengthsInStep(mobj);
    EXPECT_EQ(index.Indexes.first_playback.mobj_id_ref, 0);
    EXPECT_EQ(index.Indexes.top_menu.mobj_id_ref, 3);
    EXPECT_EQ(index.Indexes.titles[0].mobj_id_ref, 0);
    EXPECT_EQ(index.Indexes.titles[1].mobj_id_ref, 2);
    EXPECT_EQ(index.Indexes.titles[2].mobj_id_ref, 3);
    EXPECT_EQ(index.Indexes.titles[3].mobj_id_ref, NoObject);
}

TEST(ObjectEdit, DeleteRenumbersReferencesAndReportsLostOnes) {
    std::vector<std::vector<TNavCommand>> programs;
    for (std::size_t i = 0; i < 10; ++i) programs.push_back(moves(i));
    TMOBJ mobj = makeMobj(programs, true);
    TINDX index = makeIndex({4, 7, 2, NoObject, 3});
    index.Indexes.first_playback.mobj_id_ref = 3;
    index.Indexes.top_menu.mobj_id_ref = 9;
    const std::uint32_t length = mobj.MovieObjects.mobjs_length, address = mobj.ExtensionData_start_address;

    const ObjectDeletion deletion = deleteMovieObjects(mobj, index, 3, 4);
    EXPECT_EQ(deletion.removed, 2u);
    EXPECT_EQ(deletion.commandsRemoved, 7u);
    EXPECT_EQ(mobj.MovieObjects.number_of_mobjs, 8);
    EXPECT_EQ(mobj.MovieObjects.mobjs_length, length - 8 - 12 * 7);
    EXPECT_EQ(mobj.ExtensionData_start_address, address - 8 - 12 * 7);
    expectLengthsInStep(mobj);

    const auto& titles = index.Indexes.titles;
    EXPECT_EQ(titles[0].mobj_id_ref, NoObject);
    EXPECT_EQ(indline(index, 0)[4], "??");
    EXPECT_EQ(titles[1].mobj_id_ref, 5);
    EXPECT_EQ(indline(index, 1)[4], "5");
    EXPECT_EQ(titles[2].mobj_id_ref, 2);
    EXPECT_EQ(titles[3].mobj_id_ref, NoObject); // already without an object: not lowered
    EXPECT_EQ(titles[4].mobj_id_ref, NoObject);
    EXPECT_EQ(deletion.changedTitles, (std::vector<std::size_t>{0, 1, 4}));
    EXPECT_EQ(deletion.invalidTitles, (std::vector<std::int32_t>{1, 4, 5}));
    EXPECT_EQ(index.Indexes.first_playback.mobj_id_ref, NoObject); // its object is gone: off
    EXPECT_EQ(index.Indexes.top_menu.mobj_id_ref, 7);
    EXPECT_TRUE(deletion.menuEntriesChanged);

    testing::CaptureSink sink;
    Reporter reporter(&sink);
    reportInvalidReferences(reporter, deletion);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"ERROR: Invalid object reference in First Playback",
                                                      "ERROR: Invalid object reference in Title 1",
                                                      "ERROR: Invalid object reference in Title 4",
                                                      "ERROR: Invalid object reference in Title 5"}));
    EXPECT_TRUE(sink.badge);
    EXPECT_EQ(sink.status[1], "See Status");

    // Top Menu alone losing its object is reported as well, with the badge.
    testing::CaptureSink menuSink;
    Reporter menuReporter(&menuSink);
    reportInvalidReferences(menuReporter, deleteMovieObjects(mobj, index, 7, 7));
    EXPECT_EQ(index.Indexes.top_menu.mobj_id_ref, NoObject);
    ASSERT_FALSE(menuSink.texts().empty());
    EXPECT_EQ(menuSink.texts().front(), "ERROR: Invalid object reference in Top Menu");
    EXPECT_TRUE(menuSink.badge);

    // Deleting everything leaves an empty list; nothing more to delete.
    deleteMovieObjects(mobj, index, 0, 100);
    EXPECT_TRUE(mobj.MovieObjects.mobjs.empty());
    expectLengthsInStep(mobj);
    EXPECT_EQ(deleteMovieObjects(mobj, index, 0, 0).removed, 0u);
}

TEST(IndexEdit, ContentProviderIsLatin1LimitedByBytes) {
    TINDX index = makeIndex({0});
    setContentProvider(index, "Caf\xC3\xA9 \xE2\x9C\x93"); // "Café ✓"
    EXPECT_EQ(index.content_provider_user_data, "Caf\xE9 ?");
    EXPECT_EQ(contentProviderText(index), "Caf\xC3\xA9 ?");
    std::string many;
    for (int i = 0; i < 40; ++i) many += "\xC3\xA9";
    setContentProvider(index, many);
    EXPECT_EQ(index.content_provider_user_data, std::string(ContentProviderBytes, '\xE9'));
    // The file holds one byte per character.
    const auto bytes = writeIndex(index);
    EXPECT_EQ(bytes[46], 0xE9);
    EXPECT_EQ(bytes[77], 0xE9);
    EXPECT_EQ(readIndex(bytes).index.content_provider_user_data, index.content_provider_user_data);
}

TEST(TitleEdit, InsertAndDeleteRenumberAndKeepLengths) {
    TINDX index = makeIndex({10, 11, 12, 13, 14}, true);
    const std::uint32_t length = index.Indexes.indexes_length, address = index.ExtensionData_start_address;

    ASSERT_TRUE(insertTitle(index, 3)); // below title 3: becomes title 4
    const auto& titles = index.Indexes.titles;
    ASSERT_EQ(titles.size(), 6u);
    EXPECT_EQ(titles[3], (TTitleEntry{4, ObjectTypeHDMV, 0, 0, 0, ""}));
    EXPECT_EQ(titles[4].mobj_id_ref, 13);
    EXPECT_EQ(titles[5].title_number, 6);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(indline(index, i)[0], zeroPad(i + 1, 3));
    EXPECT_EQ(index.Indexes.indexes_length, length + 12);
    EXPECT_EQ(index.ExtensionData_start_address, address + 12);
    expectLengthsInStep(index);

    EXPECT_EQ(deleteTitles(index, 1, 2), 2u); // titles 2 and 3
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(titles[1].mobj_id_ref, 0);
    EXPECT_EQ(index.Indexes.indexes_length, length - 12);
    expectLengthsInStep(index);

    EXPECT_EQ(deleteTitles(index, 0, 99), 4u);
    EXPECT_TRUE(titles.empty());
    EXPECT_EQ(deleteTitles(index, 0, 0), 0u);
    ASSERT_TRUE(insertTitle(index, 5));
    EXPECT_EQ(titles[0], (TTitleEntry{1, ObjectTypeHDMV, 0, 0, 0, ""}));
    expectLengthsInStep(index);
}

TEST(TitleEdit, NineHundredNinetyNineIsTheMost) {
    TINDX index = makeIndex(std::vector<std::uint16_t>(998, 0));
    EXPECT_TRUE(insertTitle(index, 0));
    EXPECT_FALSE(insertTitle(index, 0));
    EXPECT_EQ(index.Indexes.titles.size(), 999u);
    EXPECT_EQ(readIndex(writeIndex(index)).status, ReadStatus::Ok);
}

TEST(EntryEdit, OnOffTypeAndPickers) {
    TINDX index = makeIndex({0});
    TTitleEntry& topMenu = index.Indexes.top_menu;
    setEntryOn(topMenu, false, ObjectTypeHDMV, 3);
    EXPECT_EQ(topMenu.mobj_id_ref, NoObject);
    auto bytes = writeIndex(index);
    EXPECT_EQ(bytes[78 + 16 + 6], 0xFF);
    EXPECT_EQ(bytes[78 + 16 + 7], 0xFF);
    setEntryOn(topMenu, true, ObjectTypeHDMV, 3);
    EXPECT_EQ(topMenu.mobj_id_ref, 3);

    // A BD-J First Playback turned off is written as HDMV 0xFFFF; turned on again it is BD-J with its file.
    TTitleEntry& firstPlayback = index.Indexes.first_playback;
    firstPlayback = {FirstPlaybackTitleNumber, ObjectTypeBDJ, 0, 0, 0, "90000"};
    setEntryOn(firstPlayback, false, ObjectTypeBDJ, 0);
    EXPECT_FALSE(entryIsOn(firstPlayback));
    const auto reread = readIndex(writeIndex(index));
    ASSERT_EQ(reread.status, ReadStatus::Ok);
    EXPECT_FALSE(entryIsOn(reread.index.Indexes.first_playback));
    setEntryOn(firstPlayback, true, ObjectTypeBDJ, 0);
    EXPECT_EQ(firstPlayback.object_type, ObjectTypeBDJ);
    EXPECT_EQ(firstPlayback.bdjo_file_name, "90000");

    TTitleEntry& title = index.Indexes.titles[0];
    setEntryObjectType(title, 1, 4);
    setEntryBdjoFile(title, "12345.bdjo");
    EXPECT_EQ(indline(index, 0)[1], "BD-J");
    EXPECT_EQ(indline(index, 0)[4], "12345");
    setEntryObjectType(title, 0, 4); // back to HDMV: takes the object shown
    EXPECT_EQ(indline(index, 0)[4], "4");
    setEntryObject(title, 6);
    setEntryPlaybackType(title, 1);
    EXPECT_EQ(indline(index, 0)[3], "Interactive");
    for (int item : {0, 1, 2}) {
        setEntryAccessType(title, item);
        EXPECT_EQ(title.access_type, accessTypeFromPicker(item));
        EXPECT_EQ(accessPickerIndex(title.access_type), item);
        EXPECT_EQ(indline(index, 0)[2], AccessTypeNames[static_cast<std::size_t>(item)]);
    }
    EXPECT_EQ(title.access_type, 3);
}

TEST(ExtensionDataEdit, AddressFollowsTheLayoutOrIsZero) {
    TMOBJ mobj = makeMobj({moves(2), moves(1)});
    TExtensionData block;
    block.length = 8;
    block.ext_data_block = {1, 2, 3};
    setMovieObjectExtensionData(mobj, block);
    EXPECT_EQ(mobj.ExtensionData_start_address, 44 + mobj.MovieObjects.mobjs_length);
    const auto read = readMovieObject(writeMovieObject(mobj));
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.mobj, mobj);
    setMovieObjectExtensionData(mobj, TExtensionData{});
    EXPECT_EQ(mobj.ExtensionData_start_address, 0u);

    TINDX index = makeIndex({0, 1});
    setIndexExtensionData(index, block);
    EXPECT_EQ(index.ExtensionData_start_address, 78 + 4 + index.Indexes.indexes_length);
    const auto reindex = readIndex(writeIndex(index));
    ASSERT_EQ(reindex.status, ReadStatus::Ok);
    EXPECT_EQ(reindex.index.ExtensionData, block);
    setIndexExtensionData(index, TExtensionData{});
    EXPECT_EQ(index.ExtensionData_start_address, 0u);
}

TEST(ExtensionDataEdit, AnOddAddressNeverDropsTheBlock) {
    // A file whose address points before the end of the objects: the block is read right
    // after them. Taking 12 from that address would give 0, which would mean "no block".
    TMOBJ mobj = makeMobj({moves(2)});
    setMovieObjectExtensionData(mobj, TExtensionData{8, 0, 0, {}, {5, 6}});
    auto bytes = writeMovieObject(mobj);
    bytes[8] = bytes[9] = bytes[10] = 0;
    bytes[11] = 12;
    auto read = readMovieObject(bytes);
    ASSERT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.mobj.ExtensionData.ext_data_block, (std::vector<std::uint8_t>{5, 6}));
    ASSERT_TRUE(deleteCommandLines(read.mobj, 0, 0, 0));
    EXPECT_EQ(read.mobj.ExtensionData_start_address, movieObjectExtensionAddress(read.mobj));
    const auto again = readMovieObject(writeMovieObject(read.mobj));
    ASSERT_EQ(again.status, ReadStatus::Ok);
    EXPECT_EQ(again.mobj.ExtensionData.ext_data_block, (std::vector<std::uint8_t>{5, 6}));
}

TEST(NavigationEdit, RandomEditsKeepTheFilesConsistent) {
    auto mobjRead = readMovieObject(testing::readSample("bdpl-disc1-MovieObject.bdmv"));
    auto indexRead = readIndex(testing::readSample("bdpl-disc1-index.bdmv"));
    ASSERT_EQ(mobjRead.status, ReadStatus::Ok);
    ASSERT_EQ(indexRead.status, ReadStatus::Ok);
    TMOBJ& mobj = mobjRead.mobj;
    TINDX& index = indexRead.index;
    setMovieObjectExtensionData(mobj, TExtensionData{8, 0, 0, {}, {9, 9}});
    setIndexExtensionData(index, TExtensionData{8, 0, 0, {}, {7}});
    std::mt19937 random(42);
    for (int step = 0; step < 400; ++step) {
        const std::size_t objects = mobj.MovieObjects.mobjs.size();
        const std::size_t object = objects ? random() % objects : 0;
        const std::size_t lines = objects ? mobj.MovieObjects.mobjs[object].navigation_commands.size() : 0;
        switch (random() % 6) {
        case 0:
            insertMovieObject(mobj, index, random() % (objects + 1));
            break;
        case 1:
            if (objects > 3) deleteMovieObjects(mobj, index, object, object + random() % 2);
            break;
        case 2:
            insertCommandLine(mobj, object, static_cast<std::int64_t>(random() % (lines + 1)) - 1);
            break;
        case 3:
            if (lines) deleteCommandLines(mobj, object, random() % lines, random() % lines);
            break;
        case 4:
            insertTitle(index, random() % (index.Indexes.titles.size() + 1));
            break;
        case 5:
            deleteTitles(index, random() % 12, random() % 12);
            break;
        }
    }
    expectLengthsInStep(mobj);
    expectLengthsInStep(index);
    const auto mobjAgain = readMovieObject(writeMovieObject(mobj));
    ASSERT_EQ(mobjAgain.status, ReadStatus::Ok);
    EXPECT_EQ(mobjAgain.mobj, mobj);
    const auto indexAgain = readIndex(writeIndex(index));
    ASSERT_EQ(indexAgain.status, ReadStatus::Ok);
    EXPECT_EQ(indexAgain.index, index);
    // New titles play object 0, which the walk keeps (it never deletes the last two objects).
    for (const auto& title : index.Indexes.titles) {
        if (title.mobj_id_ref != NoObject) {
            EXPECT_LT(title.mobj_id_ref, mobj.MovieObjects.mobjs.size());
        }
    }
}

} // namespace
} // namespace corvane
