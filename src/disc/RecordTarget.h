#pragma once
// Where the desktop program shows a record of a finding or a report row: the page and
// the selections on it, from the record path (or, without one, the file).

#include <cstdint>
#include <string>

#include "disc/DiscRefs.h"

namespace corvane {

enum class RecordPage { None, Bdmv, PlayList, Clip, Menu, Bdjo };

struct RecordTarget {
    RecordPage page = RecordPage::None;
    std::string name; // the playlist, the clip (a menu's clip too) or the BD-J object
    // BDMV page, positions from 0; -1 for none.
    int title = -1;
    int object = -1;
    int line = -1;
    // PLAYLIST page, positions from 0; stnList indexes StnHeaders.
    int playItem = -1;
    int stnList = -1;
    int stnEntry = -1;
    int subPath = -1;
    int subPlayItem = -1;
    int mark = -1;
    // Menu page: the IG stream, and the page and button by their ids.
    std::uint16_t pid = 0;
    int menuPage = -1;
    int button = -1;
    bool operator==(const RecordTarget&) const = default;
};

// `file` is relative to the BDMV folder ("PLAYLIST/00001.mpls"); it names the page when the
// path is empty. A file that is no file of the disc (a backup copy) has no page.
RecordTarget recordTarget(const RecordPath& path, const std::string& file = {});

} // namespace corvane
