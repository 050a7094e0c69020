#!/bin/sh
# corvane-cli resave: unchanged files come back byte for byte; refused files write nothing
. "$(dirname "$0")/../lib.sh"

# .exd files
expect_status 0 "$CLI" resave "$ROOT/fuzz/corpus/extensiondata/two_entries.exd" -o "$TMP/copy.exd"
cmp -s "$ROOT/fuzz/corpus/extensiondata/two_entries.exd" "$TMP/copy.exd" || fail "resave of an .exd changed bytes"
expect_status 2 "$CLI" resave "$TMP/copy.exd" -o "$TMP/copy.exd"

# index.bdmv and MovieObject.bdmv
for f in "$ROOT"/tests/data/small-disc/BDMV/index.bdmv "$ROOT"/tests/data/small-disc/BDMV/MovieObject.bdmv \
         "$ROOT"/tests/data/navigation/*index*.bdmv "$ROOT"/tests/data/navigation/*MovieObject*.bdmv; do
  expect_status 0 "$CLI" resave "$f" -o "$TMP/resaved" --quiet
  cmp -s "$f" "$TMP/resaved" || fail "resave changed $f"
done
head -c 60 "$ROOT/tests/data/small-disc/BDMV/index.bdmv" > "$TMP/cut.bdmv"
expect_status 1 "$CLI" resave "$TMP/cut.bdmv" -o "$TMP/never"
[ -e "$TMP/never" ] && fail "a rejected resave wrote its output"

# playlists
for f in "$ROOT"/tests/data/playlist/*.mpls "$ROOT"/tests/data/playlist/disc5/*.mpls; do
  expect_status 0 "$CLI" resave "$f" -o "$TMP/resaved.mpls" --quiet
  cmp -s "$f" "$TMP/resaved.mpls" || fail "resave changed $f"
done

# clip information files and BD-J objects are read only
expect_status 1 "$CLI" resave "$ROOT/tests/data/clipinf/bdpl-disc1-00002-5pg.clpi" -o "$TMP/never.clpi"
[ -e "$TMP/never.clpi" ] && fail "a clip information file was written"
expect_status 1 "$CLI" resave "$ROOT/tests/data/bdj/hdcookbook-bdjo-sample-00000.bdjo" -o "$TMP/x.bdjo"

# sound.bdmv
W="$ROOT/tests/data/sound/beep.wav"
"$CLI" sound new "$W" -o "$TMP/sound.bdmv" >/dev/null 2>&1
"$CLI" sound import "$TMP/sound.bdmv" "$W" --after 0 -o "$TMP/sound2.bdmv" >/dev/null 2>&1
expect_status 0 "$CLI" resave "$TMP/sound2.bdmv" -o "$TMP/sound3.bdmv" --quiet
cmp -s "$TMP/sound2.bdmv" "$TMP/sound3.bdmv" || fail "resave changed sound.bdmv"

# menus: the program's own come back byte for byte; a real disc's composition is written back
make_menus
expect_status 0 "$CLI" resave "$TMP/three.mnu" -o "$TMP/again.mnu"
cmp -s "$TMP/three.mnu" "$TMP/again.mnu" || fail "resave of a saved menu changed bytes"
expect_status 0 "$CLI" resave "$TMP/real.mnu" -o "$TMP/real2.mnu"
tail -c +14 "$TMP/real2.mnu" | head -c 3703 | cmp -s - "$D/bdpl-disc17-ics-popup-2pages.bin" ||
  fail "resave did not write the composition back"

finish
