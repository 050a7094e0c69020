#include "navigation/NavigationEdit.h"

#include <algorithm>

#include "io/TextUtil.h"
#include "shell/Reporter.h"

namespace corvane {

namespace {

// Record sizes, as their writers lay them out.
const std::uint32_t kCommandSize = static_cast<std::uint32_t>(writtenSize(TNavCommand{}, appendNavCommand));
const std::uint32_t kObjectHeadSize = static_cast<std::uint32_t>(writtenSize(Tmobject{}, appendMovieObject));
const std::uint32_t kEntrySize = static_cast<std::uint32_t>(writtenSize(TTitleEntry{}, appendTitleEntry));

// A length field moves by the bytes added (positive) or removed (negative); 32-bit
// wrap-around as the field holds.
void shiftLength(std::uint32_t& length, std::int64_t bytes) {
    length = static_cast<std::uint32_t>(length + bytes);
}

// A present ExtensionData block stays where the writer will put it. For every file read
// whole this moves the address by exactly the bytes added or removed; a block is never
// lost because an odd address reached 0.
void followExtension(TMOBJ& mobj) {
    if (mobj.ExtensionData_start_address != 0)
        mobj.ExtensionData_start_address = movieObjectExtensionAddress(mobj);
}
void followExtension(TINDX& index) {
    if (index.ExtensionData_start_address != 0)
        index.ExtensionData_start_address = indexExtensionAddress(index);
}

void syncObjectCount(TObjects& objects) {
    objects.number_of_mobjs = static_cast<std::uint16_t>(objects.mobjs.size());
}

void syncCommandCount(Tmobject& object) {
    object.number_of_navigation_commands = static_cast<std::uint16_t>(object.navigation_commands.size());
}

bool isHdmv(const TTitleEntry& entry) {
    return entry.object_type == ObjectTypeHDMV;
}

} // namespace

// ---- Movie objects -------------------------------------------------------------

bool insertMovieObject(TMOBJ& mobj, TINDX& index, std::size_t position) {
    TObjects& objects = mobj.MovieObjects;
    if (objects.mobjs.size() >= MaxMovieObjects) return false;
    const std::size_t oldCount = objects.mobjs.size();
    position = std::min(position, oldCount);
    objects.mobjs.insert(objects.mobjs.begin() + static_cast<std::ptrdiff_t>(position), Tmobject{});
    syncObjectCount(objects);
    shiftLength(objects.mobjs_length, kObjectHeadSize);
    followExtension(mobj);

    // References to the objects that moved down follow them.
    auto follow = [&](TTitleEntry& entry) {
        if (isHdmv(entry) && entry.mobj_id_ref >= position && entry.mobj_id_ref < oldCount)
            ++entry.mobj_id_ref;
    };
    follow(index.Indexes.first_playback);
    follow(index.Indexes.top_menu);
    for (auto& title : index.Indexes.titles) follow(title);
    return true;
}

ObjectDeletion deleteMovieObjects(TMOBJ& mobj, TINDX& index, std::size_t first, std::size_t last) {
    ObjectDeletion result;
    TObjects& objects = mobj.MovieObjects;
    if (objects.mobjs.empty() || first > last || first >= objects.mobjs.size()) return result;
    last = std::min(last, objects.mobjs.size() - 1);
    const std::size_t k = last - first + 1;
    for (std::size_t i = first; i <= last; ++i)
        result.commandsRemoved += objects.mobjs[i].navigation_commands.size();
    objects.mobjs.erase(objects.mobjs.begin() + static_cast<std::ptrdiff_t>(first),
                        objects.mobjs.begin() + static_cast<std::ptrdiff_t>(last + 1));
    result.removed = k;
    syncObjectCount(objects);
    shiftLength(objects.mobjs_length,
                -static_cast<std::int64_t>(kObjectHeadSize * k + kCommandSize * result.commandsRemoved));
    followExtension(mobj);

    // Returns whether the reference changed. 0xFFFF (no object) is never renumbered.
    auto follow = [&](TTitleEntry& entry) {
        if (!isHdmv(entry) || entry.mobj_id_ref == NoObject || entry.mobj_id_ref < first) return false;
        if (entry.mobj_id_ref <= last)
            entry.mobj_id_ref = NoObject;
        else
            entry.mobj_id_ref = static_cast<std::uint16_t>(entry.mobj_id_ref - k);
        return true;
    };
    if (follow(index.Indexes.first_playback)) {
        result.menuEntriesChanged = true;
        result.firstPlaybackLost = index.Indexes.first_playback.mobj_id_ref == NoObject;
    }
    if (follow(index.Indexes.top_menu)) {
        result.menuEntriesChanged = true;
        result.topMenuLost = index.Indexes.top_menu.mobj_id_ref == NoObject;
    }
    auto& titles = index.Indexes.titles;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (follow(titles[i])) result.changedTitles.push_back(i);
        if (isHdmv(titles[i]) && titles[i].mobj_id_ref >= objects.mobjs.size())
            result.invalidTitles.push_back(titles[i].title_number);
    }
    return result;
}

void reportInvalidReferences(Reporter& reporter, const ObjectDeletion& deletion) {
    if (deletion.firstPlaybackLost) reporter.erlog("Invalid object reference in First Playback");
    if (deletion.topMenuLost) reporter.erlog("Invalid object reference in Top Menu");
    for (std::int32_t number : deletion.invalidTitles)
        reporter.erlog("Invalid object reference in Title " + std::to_string(number));
    if (deletion.firstPlaybackLost || deletion.topMenuLost || !deletion.invalidTitles.empty())
        reporter.erslog("See Status");
}

void setObjectFlag(TMOBJ& mobj, std::size_t object, ObjectFlag flag, int item) {
    auto& objects = mobj.MovieObjects.mobjs;
    if (object >= objects.size() || item < 0 || item > 1) return;
    const auto value = static_cast<std::uint8_t>(item);
    switch (flag) {
    case ObjectFlag::Resume:
        objects[object].resume_intention_flag = value;
        break;
    case ObjectFlag::MenuCall:
        objects[object].menu_call_mask = value;
        break;
    case ObjectFlag::TitleSearch:
        objects[object].title_search_mask = value;
        break;
    }
}

// ---- Command lines -------------------------------------------------------------

std::vector<std::size_t> updategotos(std::span<TNavCommand> commands, std::int64_t after,
                                     std::int64_t delta) {
    std::vector<std::size_t> changed;
    for (std::size_t line = 0; line < commands.size(); ++line) {
        TNavCommand& command = commands[line];
        if (command.opcode != GoToImmediateOpcode) continue;
        const std::int64_t target = command.destination;
        if (target <= after) continue;
        command.destination =
            static_cast<std::uint32_t>(std::clamp<std::int64_t>(target + delta, 0, 0xFFFFFFFF));
        changed.push_back(line);
    }
    return changed;
}

std::vector<std::size_t> updategotos(Tmobject& object, std::int64_t after, std::int64_t delta) {
    return updategotos(std::span<TNavCommand>(object.navigation_commands), after, delta);
}

std::optional<LineEdit> insertCommandLine(TMOBJ& mobj, std::size_t object, std::int64_t after) {
    auto& objects = mobj.MovieObjects.mobjs;
    if (object >= objects.size()) return std::nullopt;
    Tmobject& target = objects[object];
    auto& commands = target.navigation_commands;
    if (commands.size() >= MaxCommandsPerObject) return std::nullopt;
    std::size_t line = 0;
    if (!commands.empty() && after >= 0)
        line = std::min(static_cast<std::size_t>(after) + 1, commands.size());
    commands.insert(commands.begin() + static_cast<std::ptrdiff_t>(line), TNavCommand{});
    syncCommandCount(target);
    shiftLength(mobj.MovieObjects.mobjs_length, kCommandSize);
    followExtension(mobj);
    LineEdit edit;
    edit.line = line;
    edit.changedGotos = updategotos(target, static_cast<std::int64_t>(line) - 1, 1);
    return edit;
}

std::optional<LineEdit> deleteCommandLines(TMOBJ& mobj, std::size_t object, std::size_t first,
                                           std::size_t last) {
    auto& objects = mobj.MovieObjects.mobjs;
    if (object >= objects.size()) return std::nullopt;
    Tmobject& target = objects[object];
    auto& commands = target.navigation_commands;
    if (commands.empty() || first > last || first >= commands.size()) return std::nullopt;
    last = std::min(last, commands.size() - 1);
    const std::size_t k = last - first + 1;
    commands.erase(commands.begin() + static_cast<std::ptrdiff_t>(first),
                   commands.begin() + static_cast<std::ptrdiff_t>(last + 1));
    syncCommandCount(target);
    shiftLength(mobj.MovieObjects.mobjs_length, -static_cast<std::int64_t>(kCommandSize * k));
    followExtension(mobj);
    LineEdit edit;
    edit.line = first > 0 ? first - 1 : 0;
    edit.changedGotos =
        updategotos(target, static_cast<std::int64_t>(first) - 1, -static_cast<std::int64_t>(k));
    return edit;
}

// ---- Titles --------------------------------------------------------------------

void renumberTitles(TINDX& index) {
    auto& titles = index.Indexes.titles;
    for (std::size_t i = 0; i < titles.size(); ++i) titles[i].title_number = static_cast<std::int32_t>(i + 1);
}

bool insertTitle(TINDX& index, std::size_t position) {
    auto& titles = index.Indexes.titles;
    if (titles.size() >= MaxTitles) return false;
    position = std::min(position, titles.size());
    TTitleEntry title;
    title.object_type = ObjectTypeHDMV;
    titles.insert(titles.begin() + static_cast<std::ptrdiff_t>(position), title);
    index.Indexes.number_of_titles = static_cast<std::uint16_t>(titles.size());
    shiftLength(index.Indexes.indexes_length, kEntrySize);
    followExtension(index);
    renumberTitles(index);
    return true;
}

std::size_t deleteTitles(TINDX& index, std::size_t first, std::size_t last) {
    auto& titles = index.Indexes.titles;
    if (titles.empty() || first > last || first >= titles.size()) return 0;
    last = std::min(last, titles.size() - 1);
    const std::size_t k = last - first + 1;
    titles.erase(titles.begin() + static_cast<std::ptrdiff_t>(first),
                 titles.begin() + static_cast<std::ptrdiff_t>(last + 1));
    index.Indexes.number_of_titles = static_cast<std::uint16_t>(titles.size());
    shiftLength(index.Indexes.indexes_length, -static_cast<std::int64_t>(kEntrySize * k));
    followExtension(index);
    renumberTitles(index);
    return k;
}

// ---- Entry fields --------------------------------------------------------------

void setEntryOn(TTitleEntry& entry, bool on, std::uint8_t objectType, std::uint16_t objectRef) {
    if (on) {
        entry.object_type = objectType;
        if (objectType == ObjectTypeHDMV) entry.mobj_id_ref = objectRef;
    } else {
        entry.object_type = ObjectTypeHDMV;
        entry.mobj_id_ref = NoObject;
    }
}

void setEntryObjectType(TTitleEntry& entry, int item, std::uint16_t objectRef) {
    if (item < 0 || item > 1) return;
    const auto type = static_cast<std::uint8_t>(item + 1);
    if (type == ObjectTypeHDMV && entry.object_type != ObjectTypeHDMV) entry.mobj_id_ref = objectRef;
    entry.object_type = type;
}

void setEntryObject(TTitleEntry& entry, std::uint16_t objectRef) {
    entry.mobj_id_ref = objectRef;
}

void setEntryPlaybackType(TTitleEntry& entry, int item) {
    if (item >= 0 && item <= 1) entry.playback_type = static_cast<std::uint8_t>(item);
}

void setEntryAccessType(TTitleEntry& entry, int item) {
    if (item >= 0 && item <= 2) entry.access_type = accessTypeFromPicker(item);
}

void setEntryBdjoFile(TTitleEntry& entry, std::string_view fileName) {
    entry.bdjo_file_name = std::string(fileName.substr(0, 5));
}

// ---- Content provider text ------------------------------------------------------

void setContentProvider(TINDX& index, std::string_view utf8) {
    index.content_provider_user_data = utf8ToLatin1(utf8, ContentProviderBytes);
}

std::string contentProviderText(const TINDX& index) {
    return latin1ToUtf8(index.content_provider_user_data);
}

// ---- ExtensionData -------------------------------------------------------------

std::uint32_t movieObjectExtensionAddress(const TMOBJ& mobj) {
    const std::size_t end = writtenSize(mobj, appendMovieObjectContents);
    return static_cast<std::uint32_t>(end + mobj.padding_before_extension.size());
}

std::uint32_t indexExtensionAddress(const TINDX& index) {
    const std::size_t end = writtenSize(index, appendIndexContents);
    return static_cast<std::uint32_t>(end + index.padding_before_extension.size());
}

void setIndexExtensionData(TINDX& index, const TExtensionData& block) {
    index.ExtensionData = block;
    index.padding_before_extension.clear();
    index.ExtensionData_start_address = block.length == 0 ? 0 : indexExtensionAddress(index);
}

void setMovieObjectExtensionData(TMOBJ& mobj, const TExtensionData& block) {
    mobj.ExtensionData = block;
    mobj.padding_before_extension.clear();
    mobj.ExtensionData_start_address = block.length == 0 ? 0 : movieObjectExtensionAddress(mobj);
}

} // namespace corvane
