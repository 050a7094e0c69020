#!/bin/sh
# corvane-cli extract: streams by PID
. "$(dirname "$0")/../lib.sh"

# extract: the elementary streams equal what ffmpeg extracts; PES and refusals
S="$ROOT/tests/data/stream/ffmpeg-mpeg2-ac3"
expect_status 0 "$CLI" extract "$S.m2ts" --pid 1011 -o "$TMP/v.m2v"
cmp -s "$TMP/v.m2v" "$S.m2v" || fail "extract of the video PID differs from ffmpeg's"
expect_err "source packets saved."
expect_status 0 "$CLI" extract "$S.m2ts" --pid 0x1100 -o "$TMP/a.ac3" --quiet
cmp -s "$TMP/a.ac3" "$S.ac3" || fail "extract of the audio PID differs from ffmpeg's"
# "-" is the standard output, a pipe or a file the shell opened
"$CLI" extract "$S.m2ts" --pid 1100 -o - --quiet | cmp -s - "$S.ac3" || fail "extract -o - into a pipe"
"$CLI" extract "$S.m2ts" --pid 1100 -o - --quiet >"$TMP/redirected.ac3"
cmp -s "$TMP/redirected.ac3" "$S.ac3" || fail "extract -o - into a redirected file"
expect_status 0 "$CLI" extract "$S.m2ts" --pid 1100 --pes -o "$TMP/a.pes"
expect_err "69 source packets saved."
[ "$(head -c 3 "$TMP/a.pes" | od -An -tx1 | tr -d ' ')" = 000001 ] || fail "PES output starts with a start code"
expect_status 1 "$CLI" extract "$S.m2ts" --pid 1200 -o "$TMP/none.sup" --quiet
expect_err_only "error: PID 1200 not found in ffmpeg-mpeg2-ac3.m2ts"
[ -e "$TMP/none.sup" ] && fail "an absent PID left an output file"
expect_status 1 "$CLI" extract "$S.m2ts" --pid 1fff -o "$TMP/none.sup" --quiet
expect_err "PID 1FFF not found in ffmpeg-mpeg2-ac3.m2ts"
expect_status 1 "$CLI" extract "$S.ac3" --pid 1100 -o "$TMP/none.sup"
expect_err "ffmpeg-mpeg2-ac3.ac3 is no transport stream"
[ -e "$TMP/none.sup" ] && fail "a file that is no transport stream left an output file"
expect_status 1 "$CLI" extract "$TMP/missing.m2ts" --pid 1100 -o "$TMP/x"
expect_err "error: "
expect_status 1 "$CLI" extract "$S.m2ts" --pid 2000 -o "$TMP/x"
expect_status 2 "$CLI" extract "$S.m2ts" --pid xyz -o "$TMP/x"
expect_status 2 "$CLI" extract "$S.m2ts" --pid 1100 -o "$S.m2ts"
expect_status 2 "$CLI" extract "$S.m2ts" -o "$TMP/x"

# several PIDs in one read: -o is a folder (made when missing), the files named by clip, PID, coding
expect_status 0 "$CLI" extract "$S.m2ts" --pid 1011 --pid 0x1100 -o "$TMP/both"
cmp -s "$TMP/both/ffmpeg-mpeg2-ac3 1011 m2v.m2v" "$S.m2v" || fail "several PIDs: the video differs from ffmpeg's"
cmp -s "$TMP/both/ffmpeg-mpeg2-ac3 1100 ac3.ac3" "$S.ac3" || fail "several PIDs: the audio differs from ffmpeg's"
expect_err "ffmpeg-mpeg2-ac3 1100 ac3.ac3: 69 source packets saved."
# --all: the streams of the clip information beside the stream, with its codings
mkdir -p "$TMP/BDMV/STREAM" "$TMP/BDMV/CLIPINF"
cp "$S.m2ts" "$TMP/BDMV/STREAM/00000.m2ts"
cp "$ROOT/tests/data/clipinf/bdj-sdk-00000-extdata.clpi" "$TMP/BDMV/CLIPINF/00000.clpi"
expect_status 0 "$CLI" extract "$TMP/BDMV/STREAM/00000.m2ts" --all --quiet -o "$TMP/all"
[ "$(ls "$TMP/all" | tr '\n' '/')" = "00000 1011 h264.h264/00000 1100 ac3.ac3/" ] || fail "--all wrote $(ls "$TMP/all")"
cmp -s "$TMP/all/00000 1100 ac3.ac3" "$S.ac3" || fail "--all: the audio differs from ffmpeg's"
# without clip information the PMT lists them; --pes keeps the PES packets
expect_status 0 "$CLI" extract "$S.m2ts" --all --pes --quiet -o "$TMP/pmt"
[ "$(ls "$TMP/pmt" | wc -l)" = 2 ] || fail "--all from the PMT wrote $(ls "$TMP/pmt")"
[ "$(head -c 3 "$TMP/pmt/ffmpeg-mpeg2-ac3 1100 ac3.pes" | od -An -tx1 | tr -d ' ')" = 000001 ] || fail "--all --pes"
# a PID not in the stream: named, exit 1, no file and no folder left
expect_status 1 "$CLI" extract "$S.m2ts" --pid 1100 --pid 1200 --quiet -o "$TMP/bad"
expect_err_only "error: PID 1200 not found in ffmpeg-mpeg2-ac3.m2ts"
[ -e "$TMP/bad" ] && fail "an absent PID among several left $(ls "$TMP/bad")"
expect_status 2 "$CLI" extract "$S.m2ts" --all --pid 1100 -o "$TMP/x"
expect_status 2 "$CLI" extract "$S.m2ts" --pid 1011 --pid 1100 -o -
expect_status 1 "$CLI" extract "$S.ac3" --all -o "$TMP/x"
[ -e "$TMP/x" ] && fail "--all on a file that is no transport stream left $TMP/x"

# a playlist: its streams across three PlayItems by STN entry, the chapters beside them
P="$ROOT/tests/data/playlist-disc/BDMV"
expect_status 0 "$CLI" extract --playlist "$P/PLAYLIST/00800.mpls" --all -o "$TMP/pl"
[ "$(ls "$TMP/pl" | tr '\n' '/')" = "00800 1011 m2v.m2v/00800 1100 ac3 eng.ac3/chapter_00800_time.txt/" ] ||
  fail "--playlist --all wrote $(ls "$TMP/pl")"
expect_err "00800 1100 ac3 eng.ac3: 93 source packets saved."
[ "$(head -c 2 "$TMP/pl/00800 1100 ac3 eng.ac3" | od -An -tx1 | tr -d ' ')" = 0b77 ] ||
  fail "--playlist: the audio does not start with an AC-3 frame"
expect_status 0 "$CLI" extract --playlist "$P/PLAYLIST/00800.mpls" --stream audio:1 --quiet -o "$TMP/pl1"
cmp -s "$TMP/pl1/00800 1100 ac3 eng.ac3" "$TMP/pl/00800 1100 ac3 eng.ac3" || fail "--stream audio:1 differs from --all"
# refusals: one error line, exit 1, nothing left
mkdir -p "$TMP/disc/PLAYLIST" "$TMP/disc/STREAM"
cp "$P/PLAYLIST/00800.mpls" "$TMP/disc/PLAYLIST/"
cp "$P/STREAM/00001.m2ts" "$P/STREAM/00002.m2ts" "$TMP/disc/STREAM/"
expect_status 1 "$CLI" extract --playlist "$TMP/disc/PLAYLIST/00800.mpls" --all -o "$TMP/plbad"
expect_err_only "error: $TMP/disc/PLAYLIST/00800.mpls: clip 00003.m2ts of PlayItem 2 is missing in $TMP/disc/STREAM"
expect_status 1 "$CLI" extract --playlist "$P/PLAYLIST/00800.mpls" --stream audio:2 -o "$TMP/plbad"
expect_err "audio:2 is not in the STN of PlayItem 0 (1 audio stream)"
expect_status 1 "$CLI" extract --playlist "$P/PLAYLIST/00800.mpls" --angle 1 --all -o "$TMP/plbad"
expect_err "angle 1 does not exist"
[ -e "$TMP/plbad" ] && fail "a refused playlist extraction left $TMP/plbad"
expect_status 2 "$CLI" extract --playlist "$P/PLAYLIST/00800.mpls" --stream sub:1 -o "$TMP/plbad"
expect_status 2 "$CLI" extract "$S.m2ts" --playlist "$P/PLAYLIST/00800.mpls" --all -o "$TMP/plbad"
expect_status 2 "$CLI" extract --playlist "$P/PLAYLIST/00800.mpls" -o "$TMP/plbad"

finish
