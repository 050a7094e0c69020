#pragma once
// The records of one running program: options, the disc folder and the lists
// read from it, the flags of the reporter. Every front end works over one Session.

#include <string>
#include <vector>

#include "bdj/BdjObject.h"
#include "menu/IGMenu.h"
#include "navigation/IndexTable.h"
#include "navigation/Interpreter.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayList.h"
#include "shell/DiscFolder.h"
#include "shell/Options.h"
#include "shell/Reporter.h"
#include "sound/SoundFile.h"
#include "stream/ClipInfo.h"
#include "tools/FindTool.h"

namespace corvane {

struct Session {
    Session() {
        applyOptions();
        interpreter.ResetRegs(registerDefaults(options));
    }

    Options options;
    Reporter reporter;
    FileNameSet names = fileNameSet(false);

    std::string BDMVdir; // the BDMV folder, ending with the separator; empty before a choice
    std::string discLabel;
    std::vector<TAVStream> AVStreams;
    std::vector<std::string> playlists; // names without extension, in directory order
    std::vector<std::string> clips;
    std::vector<std::string> bdjoFiles;
    bool soundFound = false;

    Interpreter interpreter; // the register file and the run state, shared by every page

    TMOBJ mobj;  // MovieObject.bdmv as read and edited
    TINDX index; // index.bdmv as read and edited
    ReadStatus mobjStatus = ReadStatus::FileError;
    ReadStatus indexStatus = ReadStatus::FileError;
    std::vector<TCIRefs> CIRefs; // per clip, parallel to `clips`: filled by the clip reference pass
    TSND sound;                  // AUXDATA/sound.bdmv as read, created or edited
    // Ok once sound.bdmv was read whole or created; only then is it written back.
    ReadStatus soundStatus = ReadStatus::FileError;
    TMPLS mpls;            // the playlist last read whole, with the edits made since
    std::string mplsName;  // its name without extension; empty before a read
    TCLPI clpi;            // the clip information last read whole
    std::string clpiName;  // its name without extension; empty before a read
    std::string clpiTried; // the clip last read, whole or not
    TBDJO bdjo;            // the BD-J object last read
    // The IG menu last read or created; it outlives a new folder.
    TMenu menu;
    bool menuOpen = false; // a menu was read or created (a cancelled read closes it)

    // Save on the BDMV page needs both files read whole.
    bool navigationReadable() const { return mobjStatus == ReadStatus::Ok && indexStatus == ReadStatus::Ok; }

    // Re-derives what follows from the options (the file-name set, the report pause).
    void applyOptions() {
        names = fileNameSet(options.use83names);
        reporter.ActiDelay = options.ActiDelay;
    }
    // Empties everything read from a folder.
    void clearFolderData() {
        AVStreams.clear();
        playlists.clear();
        clips.clear();
        bdjoFiles.clear();
        soundFound = false;
        CIRefs.clear();
        sound = TSND{};
        soundStatus = ReadStatus::FileError;
        mobj = TMOBJ{};
        index = TINDX{};
        mobjStatus = ReadStatus::FileError;
        indexStatus = ReadStatus::FileError;
        mpls = TMPLS{};
        mplsName.clear();
        clpi = TCLPI{};
        clpiName.clear();
        clpiTried.clear();
        bdjo = TBDJO{};
    }
};

} // namespace corvane
