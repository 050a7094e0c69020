#pragma once
// The disc as a whole: every navigation file of a BDMV folder read with the format
// readers, each with how its read went, the stream files beside the clips, the IG
// menus of the clips' IG streams and the files the folders hold beside the disc's own.
// The report and the check (DiscReport.h, DiscCheck.h) work over this model only.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bdj/BdjObject.h"
#include "io/ReadResult.h"
#include "menu/IGMenu.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayList.h"
#include "shell/DiscFolder.h"
#include "sound/SoundFile.h"
#include "stream/ClipInfo.h"

namespace corvane {

// How a file of the disc was read.
struct DiscFileRead {
    ReadStatus status = ReadStatus::FileError;
    std::string message; // the reader's first error line, tags removed; empty when read whole
    // The type indicator was right and only the version is one the reader does not know.
    bool unknownVersion = false;
    // MovieObject.bdmv: read under the early-end rule, the data ended before its counts.
    bool endedEarly = false;
    bool usable() const { return status == ReadStatus::Ok; }
};

struct DiscPlayList {
    std::string name; // "00001", without extension
    DiscFileRead read;
    TMPLS mpls;
};

struct DiscClip {
    std::string name; // "00001", without extension
    DiscFileRead read;
    TCLPI clpi;
    TAVStream stream; // the m2ts beside it; empty name when missing
};

struct DiscBdjo {
    std::string name; // "00000", without extension
    DiscFileRead read;
    TBDJO bdjo;
};

// The IG menu of one IG stream of a clip, read from its m2ts.
struct DiscMenu {
    std::string clip;
    std::uint16_t pid = 0;
    DiscFileRead read;
    TMenu menu;
};

// A file in PLAYLIST, CLIPINF, STREAM or BDJO that is no file of the disc's name set.
struct DiscStrayFile {
    std::string folder; // "PLAYLIST", …
    std::string name;   // as the folder spells it
};

struct DiscModel {
    std::string BDMVdir; // ends with the separator
    FileNameSet names = fileNameSet(false);
    bool indexPresent = false;
    bool mobjPresent = false;
    std::vector<std::string> missingFolders; // of PLAYLIST, CLIPINF, BACKUP
    bool streamFolderPresent = false;
    DiscFileRead indexRead;
    TINDX index;
    DiscFileRead mobjRead;
    TMOBJ mobj;
    std::vector<DiscPlayList> playlists; // in name order
    std::vector<DiscClip> clips;         // in name order
    std::vector<DiscBdjo> bdjos;         // in name order
    bool soundPresent = false;
    DiscFileRead soundRead;
    TSND sound;
    std::vector<DiscMenu> menus;
    std::vector<DiscStrayFile> strayFiles;
    // Names of the other name set found beside this one (index.bdmv beside INDEX.BDM, …).
    std::vector<std::string> otherNameSetFiles;

    const DiscPlayList* playlist(const std::string& name) const;
    const DiscClip* clip(const std::string& name) const;
    const DiscBdjo* bdjo(const std::string& name) const;
};

struct DiscLoadOptions {
    bool use83names = false;
    bool readMenus = true; // demux the IG streams of the clips whose m2ts is there
};

// Reads the disc in `chosen` (the BDMV folder or the folder that holds it). Never fails:
// a missing or refused file is recorded in the model.
DiscModel loadDisc(const std::string& chosen, const DiscLoadOptions& options = {});

// The five-digit name of a playlist or clip number.
std::string discFileNumber(std::uint32_t number);

} // namespace corvane
