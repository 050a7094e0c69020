#pragma once
// The session's file steps: each reads (or writes) one file of the disc folder
// through the format's pure reader (or writer) and reports through the session's
// reporter. The format folders know nothing of the session; this layer is the one
// place where a format meets the program state.

#include <string>
#include <vector>

#include "io/ReadResult.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"

namespace corvane {

struct Session;
struct TBDJO;
struct TCLPI;
struct TINDX;
struct TMenu;
struct TMOBJ;
struct TMPLS;

// The folder-read step: reads session.BDMVdir + MovieObjectName into `mobj` and reports
// its lines. A file that cannot be read goes to Reporter::fileError and leaves `mobj` empty.
ReadStatus readMovieObjectFile(Session& session, TMOBJ& mobj);

// The folder-read step: reads session.BDMVdir + IndexName into `index` and reports its
// lines. Only Ok leaves a model that may be saved. A file that cannot be read goes to
// Reporter::fileError and leaves `index` empty.
ReadStatus readIndexFile(Session& session, TINDX& index);

// The Read step of a playlist (and of the quiet pass over every playlist): "Reading
// [bl]name[/bl]", the file session.BDMVdir + "PLAYLIST" + name + PlayListExt, its lines
// and positions. Only a playlist read whole replaces `mpls`.
ReadStatus readPlayListFile(Session& session, const std::string& name, TMPLS& mpls, bool quiet = false);
// The Save step of the PLAYLIST page: backup, then PLAYLIST/name + PlayListExt.
// False when the backup or the write failed (already reported).
bool plsave(Session& session, const std::string& name, const TMPLS& mpls);

// The Read step: "Reading [bl]name[/bl]", the file session.BDMVdir + "CLIPINF" + name +
// ClipInfoExt, its lines, "Ready.". Only a file read whole replaces `clpi`.
ReadStatus readClipInfoFile(Session& session, const std::string& name, TCLPI& clpi, bool quiet = false);

// The Load step of a menu: reads composition `composition` of `path` through the session's
// reporter with cancel and progress. Every outcome but FileError replaces `menu`;
// `compositions` receives the list of the stream's compositions.
ReadStatus loadMNUFile(Session& session, const std::string& path, TMenu& menu, std::size_t composition = 0,
                       std::vector<CompositionEntry>* compositions = nullptr);
// Save on the Menu page: "Saving IGS menu...", the stream written to `path`, "Ready.".
bool saveIGSFile(Session& session, const TMenu& menu, const std::string& path,
                 IGSaveMode mode = IGSaveMode::Mnu);

// The Read step of the BDJO page: "Reading [bl]name.bdjo[/bl]", BDJO/name + ".bdjo" of the
// disc folder. The model is replaced by what was read (empty for a format error).
ReadStatus readBDJOFile(Session& session, const std::string& name, TBDJO& bdjo);

// The sound steps: read AUXDATA/sound.bdmv into the session, and write it back after
// its backup (false when the backup or write failed, or the sound file may not be written).
ReadStatus readsound(Session& session);
bool soundsave(Session& session);

} // namespace corvane
