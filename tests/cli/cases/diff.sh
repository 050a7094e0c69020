#!/bin/sh
# corvane-cli diff: two files of one type and two disc folders, field by field
. "$(dirname "$0")/../lib.sh"

P="$ROOT/tests/data/playlist/bdpl-disc6-00002-4audio-4pg.mpls"
expect_status 0 "$CLI" diff "$P" "$P" --quiet
[ -s "$TMP/out" ] && fail "a file differs from itself"
# IN_time of the second PlayItem (offset 292) from 188910000 to 188910999
cp "$P" "$TMP/edited.mpls"
printf '\013\102\215\227' | dd of="$TMP/edited.mpls" bs=1 seek=292 conv=notrunc 2>/dev/null
expect_status 1 "$CLI" diff "$P" "$TMP/edited.mpls" --quiet
[ "$(cat "$TMP/out")" = "/PlayList/PlayItems/1/IN_time: 188910000 -> 188910999" ] || fail "diff of one edited field: $(cat "$TMP/out")"
expect_status 1 "$CLI" diff "$P" "$TMP/edited.mpls" --quiet --json
expect_out '    "pointer": "/PlayList/PlayItems/1/IN_time",'
expect_out '    "kind": "changed",'
expect_out '    "new": 188910999'
# a byte of a kept byte array (MovieObject.bdmv's reserved bytes, offset 20)
cp "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" "$TMP/reserved.bdmv"
printf '\001' | dd of="$TMP/reserved.bdmv" bs=1 seek=20 conv=notrunc 2>/dev/null
expect_status 1 "$CLI" diff "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" "$TMP/reserved.bdmv" --quiet
expect_part '/reserved: "00000000000000'
# refusals: two types, a damaged file, a file against a folder, a missing operand
expect_status 1 "$CLI" diff "$P" "$ROOT/tests/data/small-disc/BDMV/index.bdmv" --quiet
expect_err_only "error: $ROOT/tests/data/small-disc/BDMV/index.bdmv: not the same type of file as $P"
head -c 100 "$P" > "$TMP/cut.mpls"
expect_status 1 "$CLI" diff "$P" "$TMP/cut.mpls" --quiet
expect_err "error: "
expect_status 1 "$CLI" diff "$P" "$ROOT/tests/data/small-disc"
expect_err "error: "
expect_status 2 "$CLI" diff "$P"

# two copies of the sample disc: a command's operand edited, a playlist added, a clip removed
cp -r "$ROOT/tests/data/small-disc" "$TMP/A"
cp -r "$ROOT/tests/data/small-disc" "$TMP/B"
expect_status 0 "$CLI" diff "$TMP/A" "$TMP/B/BDMV" --quiet
[ -s "$TMP/out" ] && fail "a disc differs from its copy"
printf '\002' | dd of="$TMP/B/BDMV/MovieObject.bdmv" bs=1 seek=97 conv=notrunc 2>/dev/null
cp "$P" "$TMP/B/BDMV/PLAYLIST/00002.mpls"
cp "$ROOT/tests/data/clipinf/bdpl-disc1-00002-5pg.clpi" "$TMP/A/BDMV/CLIPINF/00002.clpi"
expect_status 1 "$CLI" diff "$TMP/A" "$TMP/B" --quiet
expect_out 'MovieObject.bdmv /MovieObjects/mobjs/0/navigation_commands/3/destination: 1 -> 2'
expect_out 'MovieObject.bdmv /MovieObjects/mobjs/0/navigation_commands/3/text: "Jump Title 1" -> "Jump Title 2"'
expect_out 'PLAYLIST/00002.mpls: added'
expect_out 'CLIPINF/00002.clpi: removed'
[ "$(wc -l < "$TMP/out")" = 4 ] || fail "diff of two discs: $(cat "$TMP/out")"
expect_status 1 "$CLI" diff "$TMP/A" "$TMP/B" --quiet --json
expect_out '    "file": "PLAYLIST/00002.mpls",'
expect_status 1 "$CLI" diff "$TMP/A" "$TMP"
expect_err_only "error: $TMP: no BDMV folder"

finish
