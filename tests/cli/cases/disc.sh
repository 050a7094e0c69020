#!/bin/sh
# corvane-cli info and lint: the disc report and the disc check as a gate
. "$(dirname "$0")/../lib.sh"

mkdir -p "$TMP/disc/BDMV/PLAYLIST" "$TMP/disc/BDMV/BACKUP"
cp -r "$ROOT/tests/data/interop-disc1/BDMV/CLIPINF" "$TMP/disc/BDMV/"
cp "$ROOT/tests/data/interop-disc1/BDMV/index.bdmv" "$ROOT/tests/data/interop-disc1/BDMV/MovieObject.bdmv" "$TMP/disc/BDMV/"
cp "$ROOT/tests/data/playlist/bdpl-disc1-00002-subpath-17marks.mpls" "$TMP/disc/BDMV/PLAYLIST/00002.mpls"

expect_status 0 "$CLI" info "$TMP/disc" --json
expect_part '"main_playlist": "00002.mpls"'
expect_part '"ticks45k": '
expect_part '"pid_hex": "0x1011"'
expect_part '"referenced_by": ['
expect_status 0 "$CLI" info "$TMP/disc"
expect_part '* main playlist 00002'

# The objects play playlists the folder lacks: errors, exit 1.
expect_status 1 "$CLI" lint "$TMP/disc" --json
expect_part '"code": "playlist-missing"'
expect_part '"where": "object 1, line 47"'
expect_part '"errors": 10'
# Every playlist the objects play is there: no errors, only warnings (no STREAM folder, clips no playlist plays), which --strict fails.
for n in 00000 00001 00003 00004 00005 00006 00007 00008 00009 00010; do
  cp "$TMP/disc/BDMV/PLAYLIST/00002.mpls" "$TMP/disc/BDMV/PLAYLIST/$n.mpls"
done
expect_status 0 "$CLI" lint "$TMP/disc"
expect_part 'stream-folder-missing'
expect_status 1 "$CLI" lint "$TMP/disc" --strict
expect_status 1 "$CLI" lint "$TMP/nothing"
expect_err 'error: '
expect_status 2 "$CLI" lint
expect_status 2 "$CLI" info "$TMP/disc" --bogus

# A clip name that is no UTF-8 text still gives JSON (the byte replaced), not an abort.
printf '\264' | dd of="$TMP/disc/BDMV/PLAYLIST/00003.mpls" bs=1 seek=70 conv=notrunc 2>/dev/null
expect_status 0 "$CLI" info "$TMP/disc" --json
expect_part '"clips": ['
expect_status 1 "$CLI" lint "$TMP/disc" --json

finish
