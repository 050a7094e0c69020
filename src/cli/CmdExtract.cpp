// extract: streams of a transport stream by PID, as the "Save PID" button does; several
// streams (or all of the clip) in one read of the file, each to its own file in a folder;
// or a playlist's streams across its PlayItems, each joined into one file.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "playlist/PlayListReader.h"
#include "shell/Options.h"
#include "stream/Demux.h"
#include "stream/PlaylistExtract.h"

namespace corvane::cli {

namespace {

// The streams the clip information beside the stream lists, else the ones of the PMT.
std::vector<TStreamCodingInfo> knownStreams(const std::string& m2ts, std::string& error) {
    if (const std::optional<TCLPI> clpi = clipInfoOfStream(m2ts)) {
        std::vector<TStreamCodingInfo> streams;
        for (const auto& sequence : clpi->ProgramInfo.program_sequences)
            for (const auto& stream : sequence.streams)
                if (std::none_of(streams.begin(), streams.end(), [&stream](const TStreamCodingInfo& known) {
                        return known.stream_PID == stream.stream_PID;
                    }))
                    streams.push_back(stream);
        if (!streams.empty()) return streams;
    }
    return transportStreamPrograms(m2ts, error);
}

struct PlaylistArguments {
    std::string playlist;
    std::string angle;
    std::vector<std::string> streams;
    bool all = false;
    std::string output;
    Options options;
    bool quiet = false;
};

// The playlist's streams: the clips in ../STREAM of the PLAYLIST folder, the files into -o.
int extractPlaylistStreams(const PlaylistArguments& args) {
    namespace fs = std::filesystem;
    if (args.streams.empty() && !args.all) {
        printError(args.playlist, "--stream or --all is required");
        return Usage;
    }
    std::vector<StnChoice> choices;
    for (const std::string& text : args.streams) {
        const auto choice = parseStnChoice(text);
        if (!choice) {
            printError(args.playlist,
                       "the stream '" + text + "' is not TYPE:N (video, audio, pg or ig, N from 1)");
            return Usage;
        }
        if (std::find(choices.begin(), choices.end(), *choice) == choices.end()) choices.push_back(*choice);
    }
    int result = Success;
    std::uint64_t angle = 0;
    if (!args.angle.empty()) {
        const auto value = numberOption("--angle", args.angle, result);
        if (!value) return result;
        angle = *value;
    }
    if (args.output == StandardOutputName) {
        printError(args.playlist, "a playlist's streams go into a folder, not to the standard output");
        return Usage;
    }
    std::string error;
    const auto bytes = readWholeFile(args.playlist, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        return Rejected;
    }
    PlsReadResult read = readPlayList(*bytes, fs::path(args.playlist).filename().string(), true);
    if (!reportRead(args.playlist, read.messages, read.status == ReadStatus::Ok,
                    "not a playlist this program reads", args.quiet, result))
        return result;
    const fs::path bdmv = fs::absolute(args.playlist).parent_path().parent_path();
    const std::string name = fs::path(args.playlist).stem().string();
    const PlaylistPlan plan =
        planPlaylistExtract(read.mpls, name, (bdmv / "STREAM").string(), static_cast<std::size_t>(angle),
                            choices, args.output, args.options);
    if (!plan.error.empty()) {
        printError(args.playlist, plan.error);
        return Rejected;
    }
    std::error_code failed;
    bool madeFolder = false;
    if (!fs::is_directory(args.output, failed)) {
        madeFolder = fs::create_directories(args.output, failed);
        if (!madeFolder) {
            printError(args.output, "the folder could not be made: " + failed.message());
            return Rejected;
        }
    }
    PlainSink sink(std::cerr, args.quiet);
    Reporter reporter(&sink);
    const PlaylistExtractResult saved = savePlaylist(reporter, plan);
    if (!saved.ok && !saved.error.empty()) printError(args.playlist, saved.error);
    if (!saved.ok && madeFolder) fs::remove(args.output, failed); // only when it stayed empty
    return saved.ok ? Success : Rejected;
}

} // namespace

void addExtractCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("extract", "Extract streams of an m2ts by PID, several in one read");
    auto input = std::make_shared<std::string>();
    auto pidTexts = std::make_shared<std::vector<std::string>>();
    auto output = std::make_shared<std::string>();
    auto all = std::make_shared<bool>(false);
    auto pes = std::make_shared<bool>(false);
    auto noSup = std::make_shared<bool>(false);
    auto noMnu = std::make_shared<bool>(false);
    auto quiet = std::make_shared<bool>(false);
    auto playlist = std::make_shared<std::string>();
    auto angle = std::make_shared<std::string>();
    auto streamTexts = std::make_shared<std::vector<std::string>>();
    auto* inputOption = cmd->add_option(
        "M2TS", *input, "The transport stream (192-byte source packets); not with --playlist");
    auto* pidOption = cmd->add_option("--pid", *pidTexts,
                                      "A PID, hexadecimal with or without 0x; may be given several times");
    auto* playlistOption =
        cmd->add_option(
               "--playlist", *playlist,
               "A playlist (BDMV/PLAYLIST/NAME.mpls): its streams across its PlayItems, cut at IN/OUT "
               "and joined, the clips from ../STREAM")
            ->excludes(inputOption)
            ->excludes(pidOption);
    cmd->add_option("--angle", *angle,
                    "With --playlist: the angle of multi-angle PlayItems (0: their own clip)")
        ->needs(playlistOption);
    auto* streamOption =
        cmd->add_option("--stream", *streamTexts,
                        "With --playlist: a stream by its STN entry, TYPE:N with TYPE video, "
                        "audio, pg or ig and N from 1; may be given several times")
            ->needs(playlistOption);
    cmd->add_flag("--all", *all,
                  "Every stream of the clip information beside the stream, else of the PMT; with --playlist "
                  "every stream of the first PlayItem's STN")
        ->excludes(pidOption)
        ->excludes(streamOption);
    cmd->add_flag("--pes", *pes, "Save the PES packets, not the elementary stream");
    cmd->add_flag("--no-sup", *noSup, "A PG stream as its bare segments, not a SUP file");
    cmd->add_flag("--no-mnu", *noMnu, "An IG stream as its bare segments, not a .mnu file");
    cmd->add_option("-o,--output", *output,
                    "The file to write; a folder with several --pid, --all or --playlist")
        ->required();
    cmd->add_flag("--quiet", *quiet, "No log lines on stderr");
    cmd->callback([&result, input, pidTexts, output, all, pes, noSup, noMnu, quiet, playlist, angle,
                   streamTexts] {
        if (!playlist->empty()) {
            PlaylistArguments args{*playlist, *angle, *streamTexts, *all, *output, {}, *quiet};
            args.options.SavePES = *pes;
            args.options.SaveSUP = !*noSup;
            args.options.SaveMNU = !*noMnu;
            result = extractPlaylistStreams(args);
            return;
        }
        if (input->empty()) {
            std::cerr << "error: an M2TS or --playlist is required\n";
            result = Usage;
            return;
        }
        if (pidTexts->empty() && !*all) {
            printError(*input, "--pid or --all is required");
            result = Usage;
            return;
        }
        std::vector<std::uint16_t> pids;
        for (const std::string& text : *pidTexts) {
            const auto pid = parseHexId(text);
            if (!pid) {
                printError(*input, "the PID '" + text + "' is not a hexadecimal number");
                result = Usage;
                return;
            }
            if (*pid > 0x1FFF) {
                printError(*input, "the PID " + text + " is out of range (0 to 1FFF)");
                result = Rejected;
                return;
            }
            const auto value = static_cast<std::uint16_t>(*pid);
            if (std::find(pids.begin(), pids.end(), value) == pids.end()) pids.push_back(value);
        }
        if (sameFile(*input, *output)) {
            printError(*output, "the output file may not be the input file");
            result = Usage;
            return;
        }
        if (!fileExists(*input)) {
            printError(*input, "file not found");
            result = Rejected;
            return;
        }
        Options options;
        options.SavePES = *pes;
        options.SaveSUP = !*noSup;
        options.SaveMNU = !*noMnu;

        namespace fs = std::filesystem;
        std::error_code failed;
        // One PID names its file, unless -o is a folder that exists.
        const bool toFolder = *all || pids.size() > 1 || fs::is_directory(*output, failed);
        if (toFolder && *output == StandardOutputName) {
            printError(*input, "several streams go into a folder, not to the standard output");
            result = Usage;
            return;
        }
        std::string error;
        const std::vector<TStreamCodingInfo> known =
            toFolder ? knownStreams(*input, error) : std::vector<TStreamCodingInfo>{};
        if (!error.empty()) {
            std::cerr << "error: " << error << '\n';
            result = Rejected;
            return;
        }
        std::vector<TStreamCodingInfo> streams;
        if (*all) {
            streams = known;
            if (streams.empty()) {
                printError(*input, "no streams listed for " + fs::path(*input).filename().string());
                result = Rejected;
                return;
            }
        } else {
            for (const std::uint16_t pid : pids) {
                const auto found =
                    std::find_if(known.begin(), known.end(),
                                 [pid](const TStreamCodingInfo& stream) { return stream.stream_PID == pid; });
                TStreamCodingInfo stream;
                stream.stream_PID = pid;
                streams.push_back(found != known.end() ? *found : stream);
            }
        }

        std::vector<DemuxTarget> targets;
        const std::string clip = fs::path(*input).stem().string();
        for (const TStreamCodingInfo& stream : streams) {
            const DemuxMode mode = pidMode(stream.stream_PID, options);
            targets.push_back(
                {stream.stream_PID, mode,
                 toFolder ? (fs::path(*output) / streamFileName(clip, stream, mode)).string() : *output});
        }
        bool madeFolder = false;
        if (toFolder && !fs::is_directory(*output, failed)) {
            madeFolder = fs::create_directories(*output, failed);
            if (!madeFolder) {
                printError(*output, "the folder could not be made: " + failed.message());
                result = Rejected;
                return;
            }
        }
        PlainSink sink(std::cerr, *quiet);
        Reporter reporter(&sink);
        const std::vector<DemuxResult> saved =
            targets.size() == 1 ? std::vector<DemuxResult>{savePid(reporter, *input, targets[0].outPath,
                                                                   targets[0].pid, targets[0].mode)}
                                : saveStreams(reporter, *input, targets);
        // A file step has printed its own error line; the stream's reasons are printed here.
        bool ok = true;
        for (const DemuxResult& one : saved) {
            if (!one.ok && !one.error.empty()) printError(*input, one.error);
            ok = ok && one.ok;
        }
        if (!ok && madeFolder) fs::remove(*output, failed); // only when it stayed empty
        result = ok ? Success : Rejected;
    });
}

} // namespace corvane::cli
