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

finish
