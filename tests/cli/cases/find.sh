#!/bin/sh
# corvane-cli find: the find passes
. "$(dirname "$0")/../lib.sh"

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

finish
