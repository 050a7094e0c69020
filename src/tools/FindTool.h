#pragma once
// Who uses what: the movie-object lines that play a playlist, and the playlists
// (PlayItems "p", SubPlayItems "s") that use each clip.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "navigation/MovieObject.h"
#include "playlist/PlayList.h"

namespace corvane {

struct Session;

// One movie-object line that plays a playlist by an immediate number.
struct CommandRef {
    std::size_t object = 0;
    std::size_t line = 0;
};
// The lines of Play PL, Play PL_PI and Play PL_MK with the playlist as immediate first operand.
std::vector<CommandRef> findPlayListCommands(const TMOBJ& mobj, std::uint32_t playlist);
// The command search as the log shows it: an empty line, "PlayList [b]name[/b] found in:",
// then "Object oooo, Command line llll" per match; without a match an empty line and
// "PlayList [b]name[/b] is played by no movie-object command.".
std::vector<std::string> playListSearchLines(const TMOBJ& mobj, const std::string& playlistName);

struct TCIRef {
    std::uint16_t ref_playlist = 0; // the playlist's file name as a number
    std::string ref_kind;           // "p" PlayItem, "s" SubPlayItem
    std::uint16_t ref_item = 0;     // PlayItem index, or SubPlayItem index within its SubPath
    bool operator==(const TCIRef&) const = default;
};
using TCIRefs = std::vector<TCIRef>;

// Adds the references of one playlist to the lists parallel to `clips`.
void addClipReferences(const TMPLS& mpls, std::uint16_t playlist, const std::vector<std::string>& clips,
                       std::vector<TCIRefs>& refs);
// The clip reference pass: every playlist of the session read in quiet mode (its "Reading"
// lines still logged); the result is parallel to session.clips. The session's playlist
// model is left alone.
std::vector<TCIRefs> clipReferencePass(Session& session);
// The playlist a reference names, as its row shows it ("00001").
std::string ciRefPlaylistName(const TCIRef& ref);
// The "Referenced by" rows: number from 1, playlist (5 digits), kind, item (5 digits).
std::vector<std::vector<std::string>> ciRefRows(const TCIRefs& refs);

} // namespace corvane
