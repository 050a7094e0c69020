#include "shell/SessionFiles.h"

#include <filesystem>
#include <utility>

#include "bdj/BdjObject.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/DiscFolder.h"
#include "shell/Session.h"
#include "sound/SoundFile.h"
#include "stream/ClipInfo.h"

namespace corvane {

ReadStatus readMovieObjectFile(Session& session, TMOBJ& mobj) {
    mobj = TMOBJ{};
    std::string error;
    const auto bytes = readWholeFile(session.BDMVdir + session.names.MovieObjectName, error);
    if (!bytes) {
        session.reporter.fileError(error);
        return ReadStatus::FileError;
    }
    MobjReadResult result = readMovieObject(*bytes, session.names.MovieObjectName);
    showReadMessages(session.reporter, result.messages);
    if (result.status == ReadStatus::Ok && !result.progress.empty())
        session.reporter.slog(result.progress, 1);
    mobj = std::move(result.mobj);
    return result.status;
}

ReadStatus readIndexFile(Session& session, TINDX& index) {
    std::string error;
    const auto bytes = readWholeFile(session.BDMVdir + session.names.IndexName, error);
    if (!bytes) {
        index = TINDX{};
        session.reporter.fileError(error);
        return ReadStatus::FileError;
    }
    IndexReadResult result = readIndex(*bytes, session.names.IndexName);
    showReadMessages(session.reporter, result.messages);
    if (!result.progress.empty()) session.reporter.slog(result.progress, 1);
    index = std::move(result.index);
    return result.status;
}

ReadStatus readPlayListFile(Session& session, const std::string& name, TMPLS& mpls, bool quiet) {
    const std::string fileName = name + session.names.PlayListExt;
    session.reporter.dlog0("Reading [bl]" + fileName + "[/bl]");
    std::string error;
    const auto bytes =
        readWholeFile(session.BDMVdir + "PLAYLIST" + std::string(1, pathSeparator()) + fileName, error);
    if (!bytes) {
        session.reporter.fileError(error);
        return ReadStatus::FileError;
    }
    PlsReadResult result = readPlayList(*bytes, fileName, quiet);
    if (!result.progress.empty()) session.reporter.slog(result.progress, 1);
    showReadMessages(session.reporter, result.messages);
    if (result.status == ReadStatus::Ok) mpls = std::move(result.mpls);
    session.reporter.slogR();
    return result.status;
}

bool plsave(Session& session, const std::string& name, const TMPLS& mpls) {
    const std::string folder = session.BDMVdir + "PLAYLIST" + std::string(1, pathSeparator());
    return saveDiscFile(session, folder, name + session.names.PlayListExt, writePlayList(mpls));
}

ReadStatus readClipInfoFile(Session& session, const std::string& name, TCLPI& clpi, bool quiet) {
    const std::string fileName = name + session.names.ClipInfoExt;
    session.reporter.dlog0("Reading [bl]" + fileName + "[/bl]");
    std::string error;
    const auto bytes =
        readWholeFile(session.BDMVdir + "CLIPINF" + std::string(1, pathSeparator()) + fileName, error);
    if (!bytes) {
        session.reporter.fileError(error);
        return ReadStatus::FileError;
    }
    ClipReadResult result = readClipInfo(*bytes, fileName, quiet);
    showReadMessages(session.reporter, result.messages);
    if (result.status == ReadStatus::Ok) clpi = std::move(result.clpi);
    session.reporter.slogR();
    return result.status;
}

ReadStatus loadMNUFile(Session& session, const std::string& path, TMenu& menu, std::size_t composition,
                       std::vector<CompositionEntry>* compositions) {
    Reporter& reporter = session.reporter;
    reporter.dlog0("Reading [bl]" + std::filesystem::path(path).filename().string() + "[/bl]");
    std::string error;
    auto bytes = readWholeFile(path, error);
    if (!bytes) {
        reporter.fileError(error);
        return ReadStatus::FileError;
    }
    MenuReadHooks hooks;
    hooks.cancelled = [&reporter] {
        reporter.sink().pumpEvents();
        return reporter.CancelRequested;
    };
    hooks.page = [&reporter](int percent, const std::string& text) {
        reporter.slog(text, 1);
        reporter.sink().progress(percent, text);
    };
    MnuReadResult result = loadMNU(std::move(*bytes), hooks, composition);
    showReadMessages(reporter, result.messages);
    menu = std::move(result.menu);
    if (compositions) *compositions = std::move(result.compositions);
    reporter.slogR();
    return result.status;
}

bool saveIGSFile(Session& session, const TMenu& menu, const std::string& path, IGSaveMode mode) {
    Reporter& reporter = session.reporter;
    reporter.ErrorRaised = false;
    reporter.dlog0("Saving IGS menu...");
    reporter.slog("Preparing data", 0);
    IGSaveResult saved =
        saveIGS(menu, mode, [&reporter](const std::string& text) { reporter.slog(text, 0); });
    if (!saved.ok) {
        reporter.erlog(saved.error);
        return false;
    }
    const FileResult written = writeWholeFile(path, saved.bytes);
    if (!written.ok) {
        reporter.fileError(written.error);
        return false;
    }
    reporter.log(std::filesystem::path(path).filename().string() + " saved.");
    reporter.slogR();
    return true;
}

ReadStatus readsound(Session& session) {
    Reporter& r = session.reporter;
    r.dlog0("Reading sound.bdmv");
    std::string error;
    const auto bytes =
        readWholeFile(session.BDMVdir + "AUXDATA" + std::string(1, pathSeparator()) + "sound.bdmv", error);
    if (!bytes) {
        r.fileError(error);
        session.sound = TSND{};
        session.soundStatus = ReadStatus::FileError;
        return session.soundStatus;
    }
    SoundReadResult result = readSoundBytes(*bytes);
    showReadMessages(r, result.messages);
    session.sound = std::move(result.sound);
    session.soundStatus = result.status;
    r.slogR();
    return result.status;
}

bool soundsave(Session& session) {
    Reporter& r = session.reporter;
    if (session.soundStatus != ReadStatus::Ok) {
        r.erlog("sound.bdmv was not read whole; it is not written.");
        return false;
    }
    const std::string folder = session.BDMVdir + "AUXDATA" + std::string(1, pathSeparator());
    if (!saveDiscFile(session, folder, "sound.bdmv", writeSound(session.sound), true)) return false;
    layOutSound(session.sound); // the addresses now are those of the file
    return true;
}

ReadStatus readBDJOFile(Session& session, const std::string& name, TBDJO& bdjo) {
    const std::string fileName = name + ".bdjo";
    session.reporter.dlog0("Reading [bl]" + fileName + "[/bl]");
    std::string error;
    const auto bytes =
        readWholeFile(session.BDMVdir + "BDJO" + std::string(1, pathSeparator()) + fileName, error);
    if (!bytes) {
        session.reporter.fileError(error);
        bdjo = TBDJO{};
        session.reporter.slogR();
        return ReadStatus::FileError;
    }
    BdjoReadResult result = readBDJO(*bytes, fileName);
    showReadMessages(session.reporter, result.messages);
    bdjo = std::move(result.bdjo);
    session.reporter.slogR();
    return result.status;
}

} // namespace corvane
