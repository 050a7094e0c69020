#!/bin/sh
# corvane-cli dump: every file type as JSON, and the refusals
. "$(dirname "$0")/../lib.sh"

# .exd files
printf '\000\000\000\000' > "$TMP/empty.exd"
expect_status 0 "$CLI" dump "$TMP/empty.exd"
grep -q '"length": 0' "$TMP/out" || fail "dump of an empty block"
expect_status 0 "$CLI" dump "$ROOT/fuzz/corpus/extensiondata/two_entries.exd" --no-data
grep -q '"ext_data_block": 76' "$TMP/out" || fail "dump --no-data shows the data length"
: > "$TMP/zero.exd"
expect_status 1 "$CLI" dump "$TMP/zero.exd"
expect_err "error: "
expect_status 1 "$CLI" dump "$TMP/missing.exd"
expect_err "error: "
mkdir -p "$TMP/dir.exd"
expect_status 1 "$CLI" dump "$TMP/dir.exd"
expect_err "Is a directory"

# index.bdmv and MovieObject.bdmv
expect_status 0 "$CLI" dump "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" --quiet
grep -q '"text": "Jump Title 1"' "$TMP/out" || fail "dump of MovieObject.bdmv shows command texts"
expect_status 0 "$CLI" dump "$ROOT/tests/data/small-disc/BDMV/index.bdmv"
expect_err "  Found 2 titles, 0 extended entry."
grep -q '"content_provider_user_data": "Corvane sample disc"' "$TMP/out" || fail "dump of index.bdmv"
# the content provider text is Latin-1: byte E9 is dumped as the UTF-8 of "é"
cp "$ROOT/tests/data/small-disc/BDMV/index.bdmv" "$TMP/latin1.bdmv"
{ printf 'Caf\351'; printf '%028d' 0 | tr 0 '\000'; } | dd of="$TMP/latin1.bdmv" bs=1 seek=46 conv=notrunc 2>/dev/null
expect_status 0 "$CLI" dump "$TMP/latin1.bdmv" --quiet
grep -q "\"content_provider_user_data\": \"Caf$(printf '\303\251')\"" "$TMP/out" || fail "dump of a Latin-1 content provider text"
printf 'MOBJ0400' > "$TMP/v4.bdmv"
expect_status 1 "$CLI" dump "$TMP/v4.bdmv"
expect_err "error: "
# an Ultra HD index: the AppInfoBDMV fields and the UHD disc-type entry by name
expect_status 0 "$CLI" dump "$ROOT/tests/data/navigation/bdpl-disc5-index-0300.bdmv" --quiet
expect_out '  "version_number": 808661040,'
expect_out '  "initial_dynamic_range_type": 0,'
expect_out '  "video_format": 0,'
expect_out '    "disc_type": 5,'
expect_out '    "exist_4k_flag": 1,'
expect_out '    "hdr_flags": 3,'
expect_status 0 "$CLI" dump "$ROOT/tests/data/navigation/bdpl-disc5-MovieObject-0300.bdmv" --quiet
expect_out '  "version_number": "0300",'

# playlists, the UHD version (0300) with its HEVC attributes too
expect_status 0 "$CLI" dump "$ROOT/tests/data/playlist/bdpl-disc1-00002-subpath-17marks.mpls" --quiet
grep -q '"number_of_PlayList_marks": 17' "$TMP/out" || fail "dump of a playlist shows its marks"
expect_status 0 "$CLI" dump "$ROOT/tests/data/playlist/bdpl-disc5-00001-0300-extdata.mpls" --quiet
grep -q '"version_number": "0300"' "$TMP/out" || fail "dump of a UHD playlist shows its version"
grep -q '"dynamic_range_type": 1' "$TMP/out" || fail "dump of a UHD playlist shows the dynamic range"
grep -q '"number_of_DV_EL_stream_entries": 0' "$TMP/out" || fail "dump of a UHD playlist shows the DV EL count"

# clip information files, damaged input
C="$ROOT/tests/data/clipinf"
expect_status 0 "$CLI" dump "$C/bdpl-disc1-00002-5pg.clpi"
expect_err "7 Program stream(s) found."
grep -q '"details": "1080p, 23.976, 16:9"' "$TMP/out" || fail "dump of a clip shows the stream details"
grep -q '"number_of_ATC_delta_entries": 1' "$TMP/out" && fail "a clip without ATC deltas"
expect_status 0 "$CLI" dump "$C/bdpl-disc1-00007-atc-delta.clpi" --quiet
grep -q '"following_Clip_Information_file_name": "00008"' "$TMP/out" || fail "dump of the ATC delta entry"
[ -s "$TMP/err" ] && fail "--quiet left log lines"
head -c 300 "$C/bdpl-disc1-00002-5pg.clpi" > "$TMP/cut.clpi"
expect_status 1 "$CLI" dump "$TMP/cut.clpi"
expect_err "ends early"
printf 'HDMV0400' > "$TMP/v4.clpi"
expect_status 1 "$CLI" dump "$TMP/v4.clpi"
expect_err "Invalid format: v4.clpi"
expect_status 0 "$CLI" dump "$C/disc5/00002.clpi" --quiet
grep -q '"details": "2160p, 23.976, 16:9, HDR10, BT.2020"' "$TMP/out" || fail "dump of a UHD clip names its HEVC attributes"
grep -q '"color_space": 2' "$TMP/out" || fail "dump of a UHD clip shows the colour space"

# sound.bdmv (made by the sound commands) and a BD-J object
W="$ROOT/tests/data/sound/beep.wav"
"$CLI" sound new "$W" -o "$TMP/sound.bdmv" >/dev/null 2>&1
"$CLI" sound import "$TMP/sound.bdmv" "$W" --after 0 -o "$TMP/sound2.bdmv" >/dev/null 2>&1
expect_status 0 "$CLI" dump "$TMP/sound2.bdmv" --no-data --quiet
expect_out '    "number_of_sound_entries": 2,'
expect_status 0 "$CLI" dump "$ROOT/tests/data/bdj/hdcookbook-bdjo-sample-00000.bdjo" --quiet
expect_out '  "KeyInterestTable": 4292870144,'

# an ERROR line while reading makes the exit status 1, quiet or not; the JSON is still printed
C="$ROOT/fuzz/corpus/menu/created.mnu"
{ head -c 89 "$C"; printf 'IG\000\000\000\000\000\000\000\000\231\000\002\000\000'; tail -c 13 "$C"; } >"$TMP/unknown-segment.mnu"
expect_status 1 "$CLI" dump "$TMP/unknown-segment.mnu"
expect_err "ERROR: Unknow segment!"
expect_out '  "MenuInTime": 180000,'
expect_status 1 "$CLI" dump "$TMP/unknown-segment.mnu" --quiet
# a menu's objects are listed without decoding them: 256 objects declared 4096 x 4096 take no
# more memory than the bare menu (decoding one took 16 MB)
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f %M -o "$TMP/rss0" "$CLI" dump "$C" >/dev/null 2>&1
  /usr/bin/time -f %M -o "$TMP/rss1" "$CLI" dump "$ROOT/fuzz/corpus/menu/256-objects-of-4096x4096-without-data.mnu" >/dev/null 2>&1
  [ $(($(tail -n 1 "$TMP/rss1") - $(tail -n 1 "$TMP/rss0"))) -lt 8192 ] || fail "dump decoded the objects it lists"
fi

# menus
make_menus
expect_status 0 "$CLI" dump "$TMP/new.mnu"
expect_part '"number_of_pages": 1,'
expect_part '"MenuInTime": 180000,'
expect_part '"IGObjects": [],'
expect_err "1 ICS, 0 OCS, 0 PCS found."
expect_status 0 "$CLI" dump "$TMP/new.mnu" --quiet
[ -s "$TMP/err" ] && fail "dump --quiet wrote log lines"
expect_status 0 "$CLI" dump "$TMP/two.mnu" --quiet
expect_part '"object_width": 24,'
expect_part '"object_height": 10,'
expect_part '128'
expect_status 0 "$CLI" dump "$TMP/real.mnu"
expect_part '"number_of_pages": 2,'
expect_part '"MenuInTime": 90000,'
expect_part '"text": "EnableButton 14"'
expect_status 1 "$CLI" dump "$TMP/cut.mnu"
expect_err "error: $TMP/cut.mnu: The file ends inside the segment at \$00000000."
printf 'IGxx' >"$TMP/tiny.mnu"
expect_status 1 "$CLI" dump "$TMP/tiny.mnu"
expect_err "error: "

finish
