#include "stream/PlaylistExtract.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>

#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "playlist/PlayListDisplay.h"
#include "playlist/PlayListMarks.h"

namespace corvane {

namespace {

struct KindName {
    StnKind kind;
    std::string_view name;
    std::string_view plural; // in "(2 audio streams)"
    StnList list;            // the column of the STN grid
};
constexpr std::array<KindName, 4> KindNames{{{StnKind::Video, "video", "video", ListPrimaryVideo},
                                             {StnKind::Audio, "audio", "audio", ListPrimaryAudio},
                                             {StnKind::PG, "pg", "PG", ListPG},
                                             {StnKind::IG, "ig", "IG", ListIG}}};

const std::vector<TStreamEntry>& entriesOf(const TSTN& stn, StnKind kind) {
    switch (kind) {
    case StnKind::Video:
        return stn.video;
    case StnKind::Audio:
        return stn.audio;
    case StnKind::PG:
        return stn.PG;
    case StnKind::IG:
        return stn.IG;
    }
    return stn.video;
}

std::string_view pluralOf(StnKind kind) {
    for (const KindName& k : KindNames)
        if (k.kind == kind) return k.plural;
    return {};
}

TStreamCodingInfo codingOf(const TStreamEntry& entry) {
    TStreamCodingInfo info;
    info.stream_PID = entry.ref_to_stream_PID_of_mainClip;
    info.stream_coding_type = entry.stream_coding_type;
    info.language_code = entry.language_code;
    return info;
}

// The stream of a clip in the STREAM folder, by the long name or the short one.
std::string clipStream(const std::string& folder, const std::string& clip) {
    namespace fs = std::filesystem;
    for (const char* extension : {".m2ts", ".MTS"}) {
        const std::string path = (fs::path(folder) / (clip + extension)).string();
        if (fileExists(path)) return path;
    }
    return {};
}

} // namespace

std::optional<StnChoice> parseStnChoice(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view kind = text.substr(0, colon);
    const std::string_view number = text.substr(colon + 1);
    if (number.empty() || number.size() > 3 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    StnChoice choice;
    choice.number = std::stoul(std::string(number));
    if (choice.number == 0) return std::nullopt;
    for (const KindName& k : KindNames) {
        if (k.name != kind) continue;
        choice.kind = k.kind;
        return choice;
    }
    return std::nullopt;
}

std::string stnChoiceText(const StnChoice& choice) {
    for (const KindName& k : KindNames)
        if (k.kind == choice.kind) return std::string(k.name) + ":" + std::to_string(choice.number);
    return {};
}

std::vector<StnStream> stnStreams(const TPlayItem& item) {
    std::vector<StnStream> streams;
    for (const KindName& k : KindNames) {
        const auto& entries = entriesOf(item.STN, k.kind);
        for (std::size_t n = 1; n <= entries.size(); ++n) {
            const TStreamEntry& entry = entries[n - 1];
            streams.push_back(
                {{k.kind, n}, codingOf(entry), attributeText(entry, k.list), entry.stream_type == 1});
        }
    }
    return streams;
}

std::size_t playlistAngleCount(const TMPLS& mpls) {
    std::size_t count = 0;
    bool multiAngle = false;
    for (const TPlayItem& item : mpls.PlayList.PlayItems) {
        if (item.is_multi_angle == 0) continue;
        count = multiAngle ? std::min(count, item.multi_clip.angles.size()) : item.multi_clip.angles.size();
        multiAngle = true;
    }
    return count;
}

PlaylistPlan planPlaylistExtract(const TMPLS& mpls, const std::string& playlistName,
                                 const std::string& streamFolder, std::size_t angle,
                                 std::span<const StnChoice> choices, const std::string& outFolder,
                                 const Options& options) {
    namespace fs = std::filesystem;
    PlaylistPlan plan;
    const auto refuse = [&plan](std::string error) {
        plan = PlaylistPlan{};
        plan.error = std::move(error);
        return plan;
    };
    const auto& items = mpls.PlayList.PlayItems;
    if (items.empty()) return refuse(playlistName + " has no PlayItem");

    // The angle: every multi-angle PlayItem must have it.
    bool multiAngle = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TPlayItem& item = items[i];
        if (item.is_multi_angle == 0) continue;
        multiAngle = true;
        if (item.multi_clip.angles.empty())
            return refuse("PlayItem " + std::to_string(i) + " is multi-angle but lists no angle");
        if (angle >= item.multi_clip.angles.size())
            return refuse("angle " + std::to_string(angle) + " does not exist in PlayItem " +
                          std::to_string(i) + " (angles 0 to " +
                          std::to_string(item.multi_clip.angles.size() - 1) + ")");
    }
    if (angle > 0 && !multiAngle)
        return refuse("angle " + std::to_string(angle) + " does not exist: " + playlistName +
                      " has no multi-angle PlayItem");

    std::vector<StnChoice> chosen(choices.begin(), choices.end());
    if (chosen.empty()) {
        for (const KindName& k : KindNames) {
            const auto& entries = entriesOf(items.front().STN, k.kind);
            for (std::size_t n = 1; n <= entries.size(); ++n)
                if (entries[n - 1].stream_type == 1) chosen.push_back({k.kind, n});
        }
        if (chosen.empty())
            return refuse("the first PlayItem of " + playlistName + " lists no stream of its clip");
    }

    std::uint64_t start = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TPlayItem& item = items[i];
        const std::string clip = item.is_multi_angle != 0 && angle > 0
                                     ? item.multi_clip.angles[angle].Clip_Information_file_name
                                     : item.Clip_Information_file_name;
        PlaylistPiece piece;
        piece.m2tsPath = clipStream(streamFolder, clip);
        if (piece.m2tsPath.empty())
            return refuse("clip " + clip + ".m2ts of PlayItem " + std::to_string(i) + " is missing in " +
                          streamFolder);
        if (item.OUT_time <= item.IN_time)
            return refuse("PlayItem " + std::to_string(i) + " ends before it starts (IN_time " +
                          std::to_string(item.IN_time) + ", OUT_time " + std::to_string(item.OUT_time) + ")");
        piece.IN_time = item.IN_time;
        piece.OUT_time = item.OUT_time;
        piece.start = start;
        start += item.OUT_time - item.IN_time;
        for (const StnChoice& choice : chosen) {
            const auto& entries = entriesOf(item.STN, choice.kind);
            if (choice.number > entries.size())
                return refuse(stnChoiceText(choice) + " is not in the STN of PlayItem " + std::to_string(i) +
                              " (" + std::to_string(entries.size()) + " " +
                              std::string(pluralOf(choice.kind)) +
                              (entries.size() == 1 ? " stream)" : " streams)"));
            const TStreamEntry& entry = entries[choice.number - 1];
            if (entry.stream_type != 1)
                return refuse(stnChoiceText(choice) + " of PlayItem " + std::to_string(i) +
                              " is not in its clip but in a sub path");
            piece.pids.push_back(entry.ref_to_stream_PID_of_mainClip);
        }
        plan.pieces.push_back(std::move(piece));
    }

    for (const StnChoice& choice : chosen) {
        PlaylistStream stream;
        stream.choice = choice;
        stream.info = codingOf(entriesOf(items.front().STN, choice.kind)[choice.number - 1]);
        stream.mode = pidMode(stream.info.stream_PID, options);
        stream.outPath =
            (fs::path(outFolder) / streamFileName(playlistName, stream.info, stream.mode)).string();
        plan.streams.push_back(std::move(stream));
    }
    if (!mpls.PlayListMark.marks.empty()) {
        const ChapterText chapters = chapterText(mpls, ChapterFormat::Time);
        if (chapters.error.empty()) {
            plan.chapterPath =
                (fs::path(outFolder) / chapterFileName(playlistName, ChapterFormat::Time)).string();
            plan.chapterText = chapters.text;
        }
    }
    return plan;
}

PlaylistExtractResult extractPlaylist(const PlaylistPlan& plan, Reporter& reporter,
                                      std::size_t blocksPerPump) {
    PlaylistExtractResult result;
    const std::size_t count = plan.streams.size();
    result.pidPackets.assign(count, 0);
    result.keptPackets.assign(count, 0);
    reporter.OperationStart = std::chrono::steady_clock::now();
    if (count == 0 || plan.pieces.empty()) return result;

    std::vector<OutputFile> outs(count);
    std::vector<OutputFile*> files;
    for (std::size_t i = 0; i < count; ++i) {
        if (!outs[i].open(plan.streams[i].outPath)) {
            reporter.fileError(outs[i].error());
            return result;
        }
        files.push_back(&outs[i]);
    }
    OutputFile chapters;
    if (!plan.chapterPath.empty() && (!chapters.open(plan.chapterPath) ||
                                      !chapters.write(plan.chapterText.data(), plan.chapterText.size()))) {
        reporter.fileError(chapters.error());
        return result;
    }

    std::uint64_t total = 0;
    for (const PlaylistPiece& piece : plan.pieces) {
        const std::int64_t size = fileSize(piece.m2tsPath);
        if (size > 0) total += static_cast<std::uint64_t>(size) / SourcePacketSize;
    }
    for (std::size_t p = 0; p < plan.pieces.size(); ++p) {
        const PlaylistPiece& piece = plan.pieces[p];
        // 33-bit times on their low 32 bits, as the PES header gives the PTS.
        const auto windowStart = static_cast<std::uint32_t>(std::uint64_t{piece.IN_time} * 2);
        const auto windowLength =
            static_cast<std::uint32_t>(std::uint64_t{piece.OUT_time - piece.IN_time} * 2);
        const auto reference =
            static_cast<std::uint32_t>(windowStart - static_cast<std::uint32_t>(piece.start * 2));
        std::vector<std::unique_ptr<Demuxer>> demuxers;
        std::vector<Demuxer*> walkers;
        for (std::size_t i = 0; i < count; ++i) {
            demuxers.push_back(std::make_unique<Demuxer>(piece.pids[i], plan.streams[i].mode, reporter));
            Demuxer& demuxer = *demuxers.back();
            demuxer.setWindow(windowStart, windowLength);
            demuxer.setReference(reference);
            if (i == 0)
                demuxer.setProgress(result.packetsRead, total);
            else
                demuxer.quietDamage();
            walkers.push_back(&demuxer);
        }
        const DemuxWalk walk = demuxWalk(piece.m2tsPath, walkers, files, reporter, blocksPerPump);
        result.cancelled = walk.cancelled;
        if (!walk.ok) return result;
        result.packetsRead += demuxers.front()->packetsRead();
        const std::string name = std::filesystem::path(piece.m2tsPath).filename().string();
        if (!walk.cancelled && demuxers.front()->noTransportStream()) {
            result.error = name + " of PlayItem " + std::to_string(p) + " is no transport stream";
            reporter.resultError(result.error);
            return result;
        }
        for (std::size_t i = 0; i < count; ++i) {
            result.pidPackets[i] += demuxers[i]->pidPackets();
            result.keptPackets[i] += demuxers[i]->keptPackets();
            if (!walk.cancelled && demuxers[i]->pidPackets() == 0)
                reporter.log("  " + stnChoiceText(plan.streams[i].choice) + ": PID " +
                             hexText(piece.pids[i], 4) + " not found in " + name);
        }
        if (walk.cancelled) break;
    }
    // Nothing to save is no success: the user hears why and no empty file is left.
    if (!result.cancelled) {
        bool missing = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (result.pidPackets[i] != 0) continue;
            const std::string error = stnChoiceText(plan.streams[i].choice) + " (PID " +
                                      hexText(plan.streams[i].info.stream_PID, 4) +
                                      ") is in none of the clips";
            if (result.error.empty()) result.error = error;
            reporter.resultError(error);
            missing = true;
        }
        if (missing) return result;
    }
    for (OutputFile& out : outs)
        if (!out.commit()) {
            reporter.fileError(out.error());
            return result;
        }
    if (!plan.chapterPath.empty() && !chapters.commit()) {
        reporter.fileError(chapters.error());
        return result;
    }
    result.ok = true;
    return result;
}

PlaylistExtractResult savePlaylist(Reporter& reporter, const PlaylistPlan& plan) {
    reporter.ConfirmCancel = true;
    reporter.PrBarOn();
    reporter.log("");
    for (const PlaylistStream& stream : plan.streams) reporter.dlog0("Saving " + stream.outPath + " ...");
    if (!plan.chapterPath.empty()) reporter.dlog0("Saving " + plan.chapterPath + " ...");
    const PlaylistExtractResult result = extractPlaylist(plan, reporter);
    if (result.ok) {
        if (reporter.CancelRequested) {
            reporter.log("Saving cancelled.");
        } else {
            reporter.slogR();
            const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::steady_clock::now() - reporter.OperationStart);
            for (std::size_t i = 0; i < plan.streams.size(); ++i)
                reporter.log(std::filesystem::path(plan.streams[i].outPath).filename().string() + ": " +
                             std::to_string(result.keptPackets[i]) + " source packets saved.");
            reporter.log("Saved " + std::to_string(plan.pieces.size()) + " PlayItems in one read each. (" +
                         longTimeText(elapsed) + ")");
        }
    }
    reporter.PrBarOff();
    return result;
}

} // namespace corvane
