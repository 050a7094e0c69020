#pragma once
// Who refers to what on a disc: the record paths of findings and report rows, and
// every reference the navigation files make (index entries, movie-object and button
// commands, BD-J accessible playlists).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disc/DiscModel.h"
#include "navigation/NavCommand.h"

namespace corvane {

// One step of a record path: a kind ("playlist", "PlayItem", "STN audio", "mark", "title",
// "object", "line", "clip", "menu", "page", "button", "sound", "bdjo", "SubPath",
// "SubPlayItem", "angle", "file") with its number or its name.
struct RecordStep {
    std::string kind;
    std::int64_t index = -1; // the record's number; -1 when it goes by name
    std::string name;        // "00001", "First Playback", …; empty when it goes by number
    bool operator==(const RecordStep&) const = default;
};

// Where a record is, from the file down; the desktop view opens the page at it.
struct RecordPath {
    std::vector<RecordStep> steps;
    RecordPath then(std::string kind, std::int64_t index) const;
    RecordPath then(std::string kind, std::string name) const;
    // "playlist 00001, PlayItem 2, STN audio 1"
    std::string text() const;
    bool operator==(const RecordPath&) const = default;
};

enum class RefTarget { PlayList, Object, Title, Bdjo };

// A reference by an immediate number (or a BD-J file name).
struct DiscReference {
    RefTarget target = RefTarget::PlayList;
    std::uint32_t number = 0;          // playlist, object or title number
    std::string bdjoName;              // RefTarget::Bdjo
    std::optional<std::uint32_t> item; // Play PL at PI: the PlayItem, immediate
    std::optional<std::uint32_t> mark; // Play PL at Mark: the mark, immediate
    std::string file;                  // the file holding the reference
    RecordPath where;                  // the record holding it
    std::string by;                    // "title 1", "object 5", "menu 00003 button 2", "bdjo 00000"
    // For the index entries: the movie object or title the reference starts from.
    std::optional<std::size_t> fromObject;
};

// Every command-holding record of the disc with its context.
struct CommandSite {
    const std::vector<TNavCommand>* commands = nullptr;
    CommandContext context = CommandContext::MovieObject;
    std::string file;
    RecordPath where;                  // down to the object or the button
    std::string by;                    // "object 5", "menu 00003 button 2"
    std::optional<std::size_t> object; // the movie object number
};
std::vector<CommandSite> commandSites(const DiscModel& disc);

struct DiscReferences {
    std::vector<DiscReference> refs;
    // A Play PL command names its playlist through a register somewhere: an unreferenced
    // playlist may still be played.
    bool playlistByRegister = false;
    bool objectByRegister = false;
};
DiscReferences collectReferences(const DiscModel& disc);

// The label of a menu: "menu 00003 PID 1400".
std::string menuLabel(const DiscMenu& menu);
// "First Playback", "Top Menu", "title 3".
std::string titleLabel(std::int32_t title_number);

} // namespace corvane
