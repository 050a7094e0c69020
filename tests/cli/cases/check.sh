#!/bin/sh
# corvane-cli check: the required files of a disc folder
. "$(dirname "$0")/../lib.sh"

# check on the sample disc: the folder holding BDMV and BDMV itself both work
expect_status 0 "$CLI" check "$ROOT/tests/data/small-disc"
expect_out "Checking required files and directories..."
expect_out "BACKUP folder: OK"
expect_out "MovieObject.bdmv: OK"
expect_out "  Found 0 AV streams"
expect_status 0 "$CLI" check "$ROOT/tests/data/small-disc/BDMV"
expect_status 1 "$CLI" check "$ROOT/tests/data/small-disc" --83
expect_out "INDEX.BDM: missing"
expect_out "ERROR: Check failed."

# the bundled sample disc passes the disc check without a finding
expect_status 0 "$CLI" lint "$ROOT/samples/SAMPLE"
expect_out "0 errors, 0 warnings"

# check and find on the playlists and clips of a UHD disc (0300) in a disc folder: no error line
U="$TMP/uhd/BDMV"
mkdir -p "$U/PLAYLIST" "$U/CLIPINF" "$U/BACKUP" "$U/STREAM"
cp "$ROOT/tests/data/small-disc/BDMV/index.bdmv" "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" "$U/"
cp "$ROOT/tests/data/playlist/disc5/"*.mpls "$U/PLAYLIST/"
cp "$ROOT/tests/data/clipinf/disc5/"*.clpi "$U/CLIPINF/"
expect_status 0 "$CLI" check "$TMP/uhd"
expect_out "  Found 16 playlists."
expect_out "  Found 23 clipinfos."
grep -q "ERROR" "$TMP/out" && fail "check of the UHD playlists and clips: $(grep ERROR "$TMP/out")"
expect_status 0 "$CLI" find "$TMP/uhd" --clip-refs
expect_out "00021: 01001 p 00001; 01001 p 00002; 01001 p 00003;"
expect_out "00010: 00002 s 00000; 00003 s 00000; 00004 s 00000; 00005 s 00000; 00006 s 00000; 00007 s 00000; 00008 s 00000; 00009 s 00000; 00010 s 00000; 00011 s 00000;"

# check on a folder without BACKUP, and on no folder at all
mkdir -p "$TMP/disc/BDMV/PLAYLIST" "$TMP/disc/BDMV/CLIPINF"
cp "$ROOT/tests/data/small-disc/BDMV/index.bdmv" "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" "$TMP/disc/BDMV/"
expect_status 1 "$CLI" check "$TMP/disc"
expect_out "BACKUP folder: missing"
expect_status 1 "$CLI" check "$TMP/nowhere"
expect_err "error: "

# check: an index.bdmv that cannot be opened fails the check like a format error. Root opens
# any file, so then the case runs as nobody (skipped without setpriv).
mkdir -p "$TMP/locked"
cp -r "$ROOT/tests/data/small-disc/BDMV" "$TMP/locked/"
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

finish
