#include "navigation/MovieObject.h"

#include <algorithm>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"

namespace corvane {

const std::array<std::string_view, 2> ResumeNames = {"discard", "suspend"};
const std::array<std::string_view, 2> MaskNames = {"enable", "disable"};

namespace {

template <std::size_t N> void readFixed(ByteReader& in, std::array<std::uint8_t, N>& out) {
    const auto bytes = in.readbytes(N);
    out.fill(0);
    std::copy(bytes.begin(), bytes.end(), out.begin());
}

// The objects, one after the other. Stops where the data ends: after every command and
// every object the position is compared with the size, and what is left stays zero.
// Returns whether something the counts promised was missing.
bool readObjects(ByteReader& in, TObjects& objects, std::string& progress) {
    objects.mobjs.assign(objects.number_of_mobjs, Tmobject{});
    bool cut = false;
    for (std::size_t i = 0; i < objects.mobjs.size(); ++i) {
        Tmobject& object = objects.mobjs[i];
        const std::uint32_t flags = in.readword();
        object.resume_intention_flag = static_cast<std::uint8_t>((flags >> 15) & 1);
        object.menu_call_mask = static_cast<std::uint8_t>((flags >> 14) & 1);
        object.title_search_mask = static_cast<std::uint8_t>((flags >> 13) & 1);
        object.number_of_navigation_commands = static_cast<std::uint16_t>(in.readword());
        // A 16-bit count: at most 65535 zero commands for the one object the data cuts short.
        object.navigation_commands.assign(object.number_of_navigation_commands, TNavCommand{});
        for (std::size_t line = 0; line < object.navigation_commands.size(); ++line) {
            TNavCommand& command = object.navigation_commands[line];
            command.opcode = in.readlword();
            command.destination = in.readlword();
            command.source = in.readlword();
            if (in.pos() == in.size()) {
                if (line + 1 < object.navigation_commands.size()) cut = true;
                break;
            }
        }
        if (in.pos() == in.size()) {
            if (i + 1 < objects.mobjs.size()) cut = true;
            break;
        }
        progress = std::to_string(in.pos()) + "/" + std::to_string(in.size());
    }
    return cut || in.overrun();
}

} // namespace

MobjReadResult readMovieObject(const std::vector<std::uint8_t>& bytes, std::string_view name) {
    MobjReadResult result;
    TMOBJ& mobj = result.mobj;
    ByteReader in(bytes);

    mobj.type_indicator = in.readstring(4);
    mobj.version_number = in.readstring(4);
    if (mobj.type_indicator != "MOBJ" ||
        (mobj.version_number != "0100" && mobj.version_number != "0200" && mobj.version_number != "0300")) {
        result.status = ReadStatus::FormatError;
        result.problemAt = in.pos();
        result.messages.push_back({ReadMessage::Kind::Error, "Format error " + std::string(name)});
        result.mobj = TMOBJ{};
        return result;
    }

    mobj.ExtensionData_start_address = in.readlword();
    readFixed(in, mobj.reserved);
    TObjects& objects = mobj.MovieObjects;
    objects.mobjs_length = in.readlword();
    objects.reserved = in.readlword();
    objects.number_of_mobjs = static_cast<std::uint16_t>(in.readword());

    result.endedEarly = readObjects(in, objects, result.progress);

    if (mobj.ExtensionData_start_address != 0) {
        // The block normally follows the last object. When the address lies further on
        // inside the file, the bytes in between are kept and the block is read there.
        const std::size_t address = mobj.ExtensionData_start_address;
        if (address > in.pos() && address <= in.size())
            mobj.padding_before_extension = in.readbytes(address - in.pos());
        const bool before = in.overrun();
        ReadExtensionData(in, mobj.ExtensionData);
        if (!before && in.overrun()) result.endedEarly = true;
    }
    if (result.endedEarly) {
        result.problemAt = in.overrun() ? in.overrunAt() : in.pos();
        result.messages.push_back({ReadMessage::Kind::Log, "  " + std::string(name) + " ends early at $" +
                                                               hexText(result.problemAt, 8) +
                                                               ": missing commands read as NOP."});
    }
    result.messages.push_back({ReadMessage::Kind::Log, mobjFoundLine(mobj)});
    return result;
}

std::uint16_t objectFlagWord(const Tmobject& object) {
    const unsigned flags = (object.resume_intention_flag & 1u) * 4 + (object.menu_call_mask & 1u) * 2 +
                           (object.title_search_mask & 1u);
    return static_cast<std::uint16_t>(flags << 13);
}

void appendNavCommand(ByteWriter& out, const TNavCommand& command) {
    out.appendlword(command.opcode);
    out.appendlword(command.destination);
    out.appendlword(command.source);
}

void appendMovieObject(ByteWriter& out, const Tmobject& object) {
    // The count written is the count of commands held, so the file always matches itself.
    const std::size_t lines = std::min<std::size_t>(object.navigation_commands.size(), 0xFFFF);
    out.appendword(objectFlagWord(object));
    out.appendword(static_cast<std::uint32_t>(lines));
    for (std::size_t line = 0; line < lines; ++line) appendNavCommand(out, object.navigation_commands[line]);
}

void appendMovieObjectContents(ByteWriter& out, const TMOBJ& mobj) {
    out.appendstring(mobj.type_indicator, 4);
    out.appendstring(mobj.version_number, 4);
    out.appendlword(mobj.ExtensionData_start_address);
    out.appendbytes(mobj.reserved);

    const TObjects& objects = mobj.MovieObjects;
    const std::size_t objectCount = std::min(objects.mobjs.size(), MaxMovieObjects);
    out.appendlword(objects.mobjs_length);
    out.appendlword(objects.reserved);
    out.appendword(static_cast<std::uint32_t>(objectCount));
    for (std::size_t i = 0; i < objectCount; ++i) appendMovieObject(out, objects.mobjs[i]);
}

std::vector<std::uint8_t> writeMovieObject(const TMOBJ& mobj) {
    ByteWriter out;
    appendMovieObjectContents(out, mobj);

    if (mobj.ExtensionData_start_address != 0) {
        out.appendbytes(mobj.padding_before_extension);
        // The address written is where the block lands, so the file always agrees with itself;
        // for every file read whole and every edit that kept it in step, that is the held value.
        out.putlword(static_cast<std::uint32_t>(out.fill()), 8);
        WriteExtensionData(out, mobj.ExtensionData);
    }
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    return bytes;
}

std::array<std::string, 5> objline(const TMOBJ& mobj, std::size_t i) {
    const auto& objects = mobj.MovieObjects.mobjs;
    if (i >= objects.size()) return {zeroPad(i, 3), "", "", "", ""};
    const Tmobject& object = objects[i];
    auto pick = [](const std::array<std::string_view, 2>& names, std::uint8_t value) {
        return value < names.size() ? std::string(names[value]) : std::string();
    };
    return {zeroPad(i, 3), pick(ResumeNames, object.resume_intention_flag),
            pick(MaskNames, object.menu_call_mask), pick(MaskNames, object.title_search_mask),
            std::to_string(object.navigation_commands.size())};
}

std::string objectCountLabel(const TMOBJ& mobj) {
    return std::to_string(mobj.MovieObjects.number_of_mobjs) + " objects";
}

std::string mobjFoundLine(const TMOBJ& mobj) {
    return "  Found [b]" + std::to_string(mobj.MovieObjects.number_of_mobjs) + "[/b] objects, [b]" +
           std::to_string(mobj.ExtensionData.ext_data_entries.size()) + "[/b] extended entry.";
}

} // namespace corvane
