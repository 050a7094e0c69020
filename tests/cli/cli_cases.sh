#!/bin/sh
# corvane-cli end to end: output texts and exit statuses on the sample disc and on bad input.
CLI="$1"
ROOT="$2"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_status STATUS command...
expect_status() {
  want=$1; shift
  "$@" >"$TMP/out" 2>"$TMP/err"
  got=$?
  [ "$got" = "$want" ] || fail "exit $got (wanted $want): $*; stderr: $(cat "$TMP/err")"
}
expect_out() { grep -qxF -- "$1" "$TMP/out" || fail "stdout lacks line '$1'"; }
expect_err() { grep -qF -- "$1" "$TMP/err" || fail "stderr lacks '$1'"; }

# help
expect_status 0 "$CLI" --help
expect_status 2 "$CLI"
expect_status 2 "$CLI" nosuchcommand

# check on the sample disc: the folder holding BDMV and BDMV itself both work
expect_status 0 "$CLI" check "$ROOT/samples/SAMPLE"
expect_out "Checking required files and directories..."
expect_out "BACKUP folder: OK"
expect_out "MovieObject.bdmv: OK"
expect_out "  Found 0 AV streams"
expect_status 0 "$CLI" check "$ROOT/samples/SAMPLE/BDMV"
expect_status 1 "$CLI" check "$ROOT/samples/SAMPLE" --83
expect_out "INDEX.BDM: missing"
expect_out "ERROR: Check failed."

# check on a folder without BACKUP, and on no folder at all
mkdir -p "$TMP/disc/BDMV/PLAYLIST" "$TMP/disc/BDMV/CLIPINF"
cp "$ROOT/samples/SAMPLE/BDMV/index.bdmv" "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" "$TMP/disc/BDMV/"
expect_status 1 "$CLI" check "$TMP/disc"
expect_out "BACKUP folder: missing"
expect_status 1 "$CLI" check "$TMP/nowhere"
expect_err "error: "

# check: an index.bdmv that cannot be opened fails the check like a format error. Root opens
# any file, so then the case runs as nobody (skipped without setpriv).
mkdir -p "$TMP/locked"
cp -r "$ROOT/samples/SAMPLE/BDMV" "$TMP/locked/"
chmod 000 "$TMP/locked/BDMV/index.bdmv"
chmod 755 "$TMP"
AS_USER=""
[ "$(id -u)" = 0 ] && AS_USER="setpriv --reuid=65534 --regid=65534 --clear-groups"
if $AS_USER "$CLI" --help >/dev/null 2>&1; then
  expect_status 1 $AS_USER "$CLI" check "$TMP/locked"
  expect_out "index.bdmv: OK"
  expect_err "Permission denied"
else
  echo "skipped: check of an unreadable index.bdmv (cannot run as another user)"
fi

# command: five cells, tab-separated
expect_status 0 "$CLI" command 0x20810000 7 0
expect_out "$(printf '0000\t20810000\t00000007 \t00000000\tGoTo 7')"
expect_status 0 "$CLI" command 0x31000004 0 0
expect_out "$(printf '0000\t31000004\t00000000 \t00000000\t*EnableButton GPR0  ; Forbidden opcode')"
expect_status 0 "$CLI" command 0x31000004 0 0 --context button
expect_out "$(printf '0000\t31000004\t00000000 \t00000000\tEnableButton GPR0')"
expect_status 2 "$CLI" command 0x1FFFFFFFF 0 0
expect_status 2 "$CLI" command 12 zz 0
expect_status 2 "$CLI" command 1 2 0 --context menu

# .exd files: dump, resave byte for byte, refusals
printf '\000\000\000\000' > "$TMP/empty.exd"
expect_status 0 "$CLI" dump "$TMP/empty.exd"
grep -q '"length": 0' "$TMP/out" || fail "dump of an empty block"
expect_status 0 "$CLI" resave "$ROOT/fuzz/corpus/extensiondata/two_entries.exd" -o "$TMP/copy.exd"
cmp -s "$ROOT/fuzz/corpus/extensiondata/two_entries.exd" "$TMP/copy.exd" || fail "resave of an .exd changed bytes"
expect_status 0 "$CLI" dump "$TMP/copy.exd" --no-data
grep -q '"ext_data_block": 76' "$TMP/out" || fail "dump --no-data shows the data length"
: > "$TMP/zero.exd"
expect_status 1 "$CLI" dump "$TMP/zero.exd"
expect_err "error: "
expect_status 1 "$CLI" dump "$TMP/missing.exd"
expect_err "error: "
expect_status 2 "$CLI" resave "$TMP/copy.exd" -o "$TMP/copy.exd"
mkdir -p "$TMP/dir.exd"
expect_status 1 "$CLI" dump "$TMP/dir.exd"
expect_err "Is a directory"

# index.bdmv and MovieObject.bdmv: resave byte for byte, dump, refusals
for f in "$ROOT"/samples/SAMPLE/BDMV/index.bdmv "$ROOT"/samples/SAMPLE/BDMV/MovieObject.bdmv \
         "$ROOT"/tests/data/navigation/*index*.bdmv "$ROOT"/tests/data/navigation/*MovieObject*.bdmv; do
  case "$f" in *0300*) continue ;; esac
  expect_status 0 "$CLI" resave "$f" -o "$TMP/resaved" --quiet
  cmp -s "$f" "$TMP/resaved" || fail "resave changed $f"
done
expect_status 0 "$CLI" dump "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" --quiet
grep -q '"text": "Jump Title 1"' "$TMP/out" || fail "dump of MovieObject.bdmv shows command texts"
expect_status 0 "$CLI" dump "$ROOT/samples/SAMPLE/BDMV/index.bdmv"
expect_err "  Found 2 titles, 0 extended entry."
grep -q '"content_provider_user_data": "Corvane sample disc"' "$TMP/out" || fail "dump of index.bdmv"
printf 'MOBJ0300' > "$TMP/v3.bdmv"
expect_status 1 "$CLI" dump "$TMP/v3.bdmv"
expect_err "error: "
head -c 60 "$ROOT/samples/SAMPLE/BDMV/index.bdmv" > "$TMP/cut.bdmv"
expect_status 1 "$CLI" resave "$TMP/cut.bdmv" -o "$TMP/never"
[ -e "$TMP/never" ] && fail "a rejected resave wrote its output"

# playlists: resave byte for byte, dump, the UHD version refused
for f in "$ROOT"/tests/data/playlist/*.mpls; do
  case "$f" in *0300*) continue ;; esac
  expect_status 0 "$CLI" resave "$f" -o "$TMP/resaved.mpls" --quiet
  cmp -s "$f" "$TMP/resaved.mpls" || fail "resave changed $f"
done
expect_status 0 "$CLI" dump "$ROOT/tests/data/playlist/bdpl-disc1-00002-subpath-17marks.mpls" --quiet
grep -q '"number_of_PlayList_marks": 17' "$TMP/out" || fail "dump of a playlist shows its marks"
expect_status 1 "$CLI" dump "$ROOT/tests/data/playlist/bdpl-disc5-00001-0300-extdata.mpls"
expect_err "error: "

# commands: the program list of one object
expect_status 0 "$CLI" commands "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" --object 0
tr -d '\r' < "$TMP/out" > "$TMP/lst" && mv "$TMP/lst" "$TMP/out"  # lines end with CR LF
expect_out "0003  [21810000,00000001 ,00000000]  Jump Title 1"
expect_status 0 "$CLI" commands "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" --object 0 --format bin -o "$TMP/p.bin"
[ "$(wc -c < "$TMP/p.bin")" = 48 ] || fail "binary program list holds the four commands"
expect_status 1 "$CLI" commands "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" --object 4
expect_err "there is no movie object 4"

# run: reports, then the registers that changed
M="$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv"
expect_status 0 "$CLI" run "$M" --object 0
[ "$(cat "$TMP/out")" = "$(printf 'Play PL 0\nJump Title 1\nPSR4=00000001')" ] || fail "run object 0: $(cat "$TMP/out")"
expect_status 0 "$CLI" run "$M" --object 2
[ "$(cat "$TMP/out")" = "$(printf 'Play PLatPI 2, 0\nJump Object 1\nPSR6=00000002\nGPR0=00000001')" ] || fail "run object 2"
expect_status 0 "$CLI" run "$M" --object 3 --psr 4=2 --psr 9=0x5 --gpr 4095=0xFFFFFFFF
expect_out "Play PL 3"
expect_out "PSR9=00000005"
expect_out "GPR4095=FFFFFFFF"
expect_status 1 "$CLI" run "$M" --object 1 --max-steps 5
expect_out "stopped after 5 commands"
expect_status 1 "$CLI" run "$M" --object 9
expect_err "there is no movie object 9"
expect_status 1 "$CLI" run "$M" --object 0 --psr 128=1
expect_status 2 "$CLI" run "$M" --object 0 --region D
expect_status 2 "$CLI" run "$M"

# chapters: export in the three formats, import back to the same file, bad input
P="$ROOT/tests/data/playlist/bdpl-disc1-00002-subpath-17marks.mpls"
expect_status 0 "$CLI" chapters export "$P" --format time
grep -q "^00:05:42.550.$" "$TMP/out" || fail "chapters export: no CR LF line 00:05:42.550"
[ "$(wc -l <"$TMP/out")" = 17 ] || fail "chapters export: 17 lines wanted"
expect_status 0 "$CLI" chapters export "$P" --format pts -o "$TMP/chapters.txt"
expect_status 0 "$CLI" chapters import "$P" "$TMP/chapters.txt" --format pts -o "$TMP/chapters.mpls"
cmp -s "$P" "$TMP/chapters.mpls" || fail "chapters import of the exported file changed the playlist"
printf '00:00:01.000\r\n' >"$TMP/one.txt"
expect_status 0 "$CLI" chapters import "$P" "$TMP/one.txt" --format time -o "$TMP/one.mpls"
expect_status 0 "$CLI" chapters export "$TMP/one.mpls" --format time
[ "$(cat "$TMP/out")" = "$(printf '00:00:01.000\r')" ] || fail "one chapter: $(cat "$TMP/out")"
printf '00:00:01.000\r\nabc\r\n' >"$TMP/bad-line.txt"
expect_status 1 "$CLI" chapters import "$P" "$TMP/bad-line.txt" --format time -o "$TMP/bad-line.mpls"
expect_err 'ERROR: Line 2 refused, not a time (hh:mm:ss.mmm): "abc"'
[ -f "$TMP/bad-line.mpls" ] || fail "chapters import: the readable line was not written"
: >"$TMP/empty.txt"
expect_status 1 "$CLI" chapters import "$P" "$TMP/empty.txt" --format pts -o "$TMP/x.mpls"
expect_err "nothing written"
expect_status 1 "$CLI" chapters export "$ROOT/tests/data/playlist/bdpl-disc5-00001-0300-extdata.mpls" --format pts
expect_err "Invalid format: "
expect_status 2 "$CLI" chapters export "$P" --format seconds
expect_status 2 "$CLI" chapters import "$P" "$TMP/one.txt" --format pts -o "$P"

# clip information files: dump, no resave, damaged input
C="$ROOT/tests/data/clipinf"
expect_status 0 "$CLI" dump "$C/bdpl-disc1-00002-5pg.clpi"
expect_err "7 Program stream(s) found."
grep -q '"details": "1080p, 23.976, 16:9"' "$TMP/out" || fail "dump of a clip shows the stream details"
grep -q '"number_of_ATC_delta_entries": 1' "$TMP/out" && fail "a clip without ATC deltas"
expect_status 0 "$CLI" dump "$C/bdpl-disc1-00007-atc-delta.clpi" --quiet
grep -q '"following_Clip_Information_file_name": "00008"' "$TMP/out" || fail "dump of the ATC delta entry"
[ -s "$TMP/err" ] && fail "--quiet left log lines"
expect_status 1 "$CLI" resave "$C/bdpl-disc1-00002-5pg.clpi" -o "$TMP/never.clpi"
[ -e "$TMP/never.clpi" ] && fail "a clip information file was written"
head -c 300 "$C/bdpl-disc1-00002-5pg.clpi" > "$TMP/cut.clpi"
expect_status 1 "$CLI" dump "$TMP/cut.clpi"
expect_err "ends early"
printf 'HDMV0300' > "$TMP/v3.clpi"
expect_status 1 "$CLI" dump "$TMP/v3.clpi"
expect_err "Invalid format: v3.clpi"

# extract: the elementary streams equal what ffmpeg extracts; PES and refusals
S="$ROOT/tests/data/stream/ffmpeg-mpeg2-ac3"
expect_status 0 "$CLI" extract "$S.m2ts" --pid 1011 -o "$TMP/v.m2v"
cmp -s "$TMP/v.m2v" "$S.m2v" || fail "extract of the video PID differs from ffmpeg's"
expect_err "source packets saved."
expect_status 0 "$CLI" extract "$S.m2ts" --pid 0x1100 -o "$TMP/a.ac3" --quiet
cmp -s "$TMP/a.ac3" "$S.ac3" || fail "extract of the audio PID differs from ffmpeg's"
expect_status 0 "$CLI" extract "$S.m2ts" --pid 1100 --pes -o "$TMP/a.pes"
expect_err "69 source packets saved."
[ "$(head -c 3 "$TMP/a.pes" | od -An -tx1 | tr -d ' ')" = 000001 ] || fail "PES output starts with a start code"
expect_status 1 "$CLI" extract "$S.m2ts" --pid 1200 -o "$TMP/none.sup"
expect_err "error: $S.m2ts: PID 1200 not found in ffmpeg-mpeg2-ac3.m2ts"
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

# sound: a new file from a WAV, an insert, an export that gives the WAV back, refusals
W="$ROOT/tests/data/sound/beep.wav"
expect_status 0 "$CLI" sound new "$W" -o "$TMP/sound.bdmv"
expect_status 0 "$CLI" sound import "$TMP/sound.bdmv" "$W" --after 0 -o "$TMP/sound2.bdmv"
expect_status 0 "$CLI" sound export "$TMP/sound2.bdmv" --entry 1 -o "$TMP/back.wav"
cmp -s "$W" "$TMP/back.wav" || fail "sound export did not give the imported WAV back"
expect_status 1 "$CLI" sound import "$TMP/sound.bdmv" "$ROOT/tests/data/sound/beep-44k.wav" --after 0 -o "$TMP/x.bdmv"
expect_err "Wave format error! (Mandatory 48 kHz, 16 bit, PCM)"
expect_status 1 "$CLI" sound export "$TMP/sound.bdmv" --entry 3 -o "$TMP/x.wav"
expect_err "there is no sound entry 3"
expect_status 1 "$CLI" sound export "$W" --entry 0 -o "$TMP/x.wav"
expect_status 2 "$CLI" sound new "$W" -o "$W"

# dump and resave of sound.bdmv, dump of a BD-J object (read only)
expect_status 0 "$CLI" dump "$TMP/sound2.bdmv" --no-data --quiet
expect_out '    "number_of_sound_entries": 2,'
expect_status 0 "$CLI" resave "$TMP/sound2.bdmv" -o "$TMP/sound3.bdmv" --quiet
cmp -s "$TMP/sound2.bdmv" "$TMP/sound3.bdmv" || fail "resave changed sound.bdmv"
expect_status 0 "$CLI" dump "$ROOT/tests/data/bdj/hdcookbook-bdjo-sample-00000.bdjo" --quiet
expect_out '  "KeyInterestTable": 4292870144,'
expect_status 1 "$CLI" resave "$ROOT/tests/data/bdj/hdcookbook-bdjo-sample-00000.bdjo" -o "$TMP/x.bdjo"

# dump: an ERROR line while reading makes the exit status 1, quiet or not; the JSON is still printed
C="$ROOT/fuzz/corpus/menu/created.mnu"
{ head -c 89 "$C"; printf 'IG\000\000\000\000\000\000\000\000\231\000\002\000\000'; tail -c 13 "$C"; } >"$TMP/unknown-segment.mnu"
expect_status 1 "$CLI" dump "$TMP/unknown-segment.mnu"
expect_err "ERROR: Unknow segment!"
expect_out '  "MenuInTime": 180000,'
expect_status 1 "$CLI" dump "$TMP/unknown-segment.mnu" --quiet
# dump lists a menu's objects without decoding them: 256 objects declared 4096 x 4096 take no
# more memory than the bare menu (decoding one took 16 MB)
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f %M -o "$TMP/rss0" "$CLI" dump "$C" >/dev/null 2>&1
  /usr/bin/time -f %M -o "$TMP/rss1" "$CLI" dump "$ROOT/fuzz/corpus/menu/256-objects-of-4096x4096-without-data.mnu" >/dev/null 2>&1
  [ $(($(tail -n 1 "$TMP/rss1") - $(tail -n 1 "$TMP/rss0"))) -lt 8192 ] || fail "dump decoded the objects it lists"
fi

# find: needs a folder with playlists; the clip references and the command search
mkdir -p "$TMP/fdisc/BDMV/PLAYLIST" "$TMP/fdisc/BDMV/CLIPINF" "$TMP/fdisc/BDMV/BACKUP"
cp "$ROOT/tests/data/interop-disc1/BDMV/index.bdmv" "$ROOT/tests/data/interop-disc1/BDMV/MovieObject.bdmv" "$TMP/fdisc/BDMV/"
cp "$ROOT/tests/data/interop-disc1/BDMV/CLIPINF/"*.clpi "$TMP/fdisc/BDMV/CLIPINF/"
cp "$ROOT/tests/data/playlist/bdpl-disc1-00002-subpath-17marks.mpls" "$TMP/fdisc/BDMV/PLAYLIST/00002.mpls"
expect_status 0 "$CLI" find "$TMP/fdisc" --playlist 00002
expect_out "PlayList 00002 found in:"
expect_out "Object 0002, Command line 0020"
expect_status 0 "$CLI" find "$TMP/fdisc" --clip-refs
expect_out "00007: 00002 p 00000;"
expect_status 1 "$CLI" find "$TMP/fdisc" --playlist 00042
expect_err "there is no playlist 00042"
expect_status 2 "$CLI" find "$TMP/fdisc"
expect_status 2 "$CLI" find "$TMP/fdisc" --playlist 00002 --clip-refs

[ "$failures" = 0 ] && echo "all CLI cases passed"
exit "$failures"
