#!/bin/sh
# corvane-cli on IG menus: dump, resave, menu new, object export and import, mux, and bad input.
CLI="$1"
ROOT="$2"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
failures=0
D="$ROOT/tests/data/menu"

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_status STATUS command...
expect_status() {
  want=$1; shift
  "$@" >"$TMP/out" 2>"$TMP/err"
  got=$?
  [ "$got" = "$want" ] || fail "exit $got (wanted $want): $*; stderr: $(cat "$TMP/err")"
}
expect_out() { grep -qF -- "$1" "$TMP/out" || fail "stdout lacks '$1'"; }
expect_err() { grep -qF -- "$1" "$TMP/err" || fail "stderr lacks '$1'"; }

# menu new: one page, one button, no objects
expect_status 0 "$CLI" menu new -o "$TMP/new.mnu"
[ "$(head -c 2 "$TMP/new.mnu")" = IG ] || fail "menu new does not write IG segments"
expect_status 0 "$CLI" dump "$TMP/new.mnu"
expect_out '"number_of_pages": 1,'
expect_out '"MenuInTime": 180000,'
expect_out '"IGObjects": [],'
expect_err "1 ICS, 0 OCS, 0 PCS found."
expect_status 0 "$CLI" dump "$TMP/new.mnu" --quiet
[ -s "$TMP/err" ] && fail "dump --quiet wrote log lines"
expect_status 2 "$CLI" menu

# object import: a palette PNG becomes object 0000 with palette 00; true colour is refused
expect_status 0 "$CLI" object import "$TMP/new.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/one.mnu"
expect_err "object 0000, palette 00 added"
expect_status 0 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/two.mnu"
expect_err "object 0001, palette 01 added"
expect_status 1 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-rgb.png" -o "$TMP/x.mnu"
expect_err "stripes-24x10-rgb.png: Not supported file format!"
[ -e "$TMP/x.mnu" ] && fail "a refused import wrote a menu"
expect_status 1 "$CLI" object import "$TMP/one.mnu" "$D/SOURCES.md" -o "$TMP/x.mnu"
expect_status 2 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/one.mnu"
expect_status 0 "$CLI" dump "$TMP/two.mnu" --quiet
expect_out '"object_width": 24,'
expect_out '"object_height": 10,'
expect_out '128'

# object export: both objects hold the same pixels, so in one palette they give the same PNG
expect_status 0 "$CLI" object export "$TMP/two.mnu" --object 0 --palette 0 -o "$TMP/o0.png"
expect_status 0 "$CLI" object export "$TMP/two.mnu" --object 0x0001 --palette 00 -o "$TMP/o1.png"
[ "$(head -c 4 "$TMP/o0.png" | tail -c 3)" = PNG ] || fail "object export does not write a PNG"
cmp -s "$TMP/o0.png" "$TMP/o1.png" || fail "the same object and palette gave different PNG files"
grep -q "Corvane v" "$TMP/o0.png" || fail "the PNG lacks the Software text"
expect_status 0 "$CLI" object import "$TMP/two.mnu" "$TMP/o0.png" -o "$TMP/three.mnu"
expect_err "object 0002, palette 02 added"
expect_status 1 "$CLI" object export "$TMP/two.mnu" --object 7 --palette 0 -o "$TMP/x.png"
expect_err "there is no object 0007"
expect_status 1 "$CLI" object export "$TMP/two.mnu" --object 0 --palette 5 -o "$TMP/x.png"
expect_err "there is no palette 05"
expect_status 1 "$CLI" object export "$TMP/two.mnu" --object 0 --palette 100 -o "$TMP/x.png"
expect_status 2 "$CLI" object export "$TMP/two.mnu" --object zz --palette 0 -o "$TMP/x.png"
expect_status 2 "$CLI" object export "$TMP/two.mnu" --object 0 -o "$TMP/x.png"

# resave: the program's own menus come back byte for byte
expect_status 0 "$CLI" resave "$TMP/three.mnu" -o "$TMP/again.mnu"
cmp -s "$TMP/three.mnu" "$TMP/again.mnu" || fail "resave of a saved menu changed bytes"

# a real disc's composition wrapped as a .mnu (PTS 90000, one ICS of 3703 bytes, END)
printf 'IG\000\001\137\220\000\000\000\000\030\016\167' >"$TMP/real.mnu"
cat "$D/bdpl-disc17-ics-popup-2pages.bin" >>"$TMP/real.mnu"
printf 'IG\000\000\000\000\000\000\000\000\200\000\000' >>"$TMP/real.mnu"
expect_status 0 "$CLI" dump "$TMP/real.mnu"
expect_out '"number_of_pages": 2,'
expect_out '"MenuInTime": 90000,'
expect_out '"text": "EnableButton 14"'
expect_status 0 "$CLI" resave "$TMP/real.mnu" -o "$TMP/real2.mnu"
tail -c +14 "$TMP/real2.mnu" | head -c 3703 | cmp -s - "$D/bdpl-disc17-ics-popup-2pages.bin" ||
  fail "resave did not write the composition back"

# damaged and foreign input
head -c 100 "$TMP/real.mnu" >"$TMP/cut.mnu"
expect_status 1 "$CLI" dump "$TMP/cut.mnu"
expect_err "error: $TMP/cut.mnu: The file ends inside the segment at \$00000000."
printf 'IGxx' >"$TMP/tiny.mnu"
expect_status 1 "$CLI" dump "$TMP/tiny.mnu"
expect_err "error: "
expect_status 1 "$CLI" object export "$TMP/missing.mnu" --object 0 --palette 0 -o "$TMP/x.png"
expect_err "error: "

# mux: whole 6144-byte units starting with the PAT; extracting PID 1400 gives back the segments
expect_status 0 "$CLI" mux "$TMP/real.mnu" -o "$TMP/real.m2ts"
expect_err "Muxing menu..."
[ $(($(wc -c <"$TMP/real.m2ts") % 6144)) = 0 ] || fail "mux did not write whole 6144-byte units"
[ "$(head -c 7 "$TMP/real.m2ts" | od -An -tx1 | tr -d ' \n')" = 10000000474000 ] || fail "mux does not begin with the PAT"
expect_status 0 "$CLI" extract "$TMP/real.m2ts" --pid 1400 -o "$TMP/back.mnu" --quiet
cmp -s "$TMP/back.mnu" "$TMP/real2.mnu" || fail "the muxed menu does not extract to its segments"
expect_status 0 "$CLI" mux "$TMP/three.mnu" -o "$TMP/three.m2ts" --quiet
[ -s "$TMP/err" ] && fail "mux --quiet wrote log lines"
expect_status 2 "$CLI" mux "$TMP/real.mnu" -o "$TMP/real.mnu"
expect_status 1 "$CLI" mux "$TMP/cut.mnu" -o "$TMP/x.m2ts"
[ -e "$TMP/x.m2ts" ] && fail "a refused mux wrote a stream"

# menu render: a 1920 x 1080 RGB PNG of the page, the background options, bad pages and ids
expect_status 0 "$CLI" menu render "$TMP/real.mnu" --page 1 --button-ids --button-frames -o "$TMP/p1.png"
expect_err "PSR11: 01 (1)"
[ "$(head -c 4 "$TMP/p1.png" | tail -c 3)" = PNG ] || fail "menu render does not write a PNG"
[ "$(od -An -tx1 -j16 -N10 "$TMP/p1.png" | tr -d ' \n')" = "00000780000004380802" ] ||
  fail "menu render does not write a 1920 x 1080 8-bit RGB PNG"
expect_status 0 "$CLI" menu render "$TMP/real.mnu" --quiet -o "$TMP/p0.png"
[ -s "$TMP/err" ] && fail "menu render --quiet wrote log lines"
expect_status 0 "$CLI" menu render "$TMP/real.mnu" --background-color 112233 -o "$TMP/c.png"
cmp -s "$TMP/p0.png" "$TMP/c.png" && fail "--background-color did not change the picture"
expect_status 0 "$CLI" menu render "$TMP/real.mnu" --background "$D/stripes-24x10-rgb.png" -o "$TMP/b.png"
cmp -s "$TMP/p0.png" "$TMP/b.png" && fail "--background did not change the picture"
expect_status 1 "$CLI" menu render "$TMP/real.mnu" --background "$TMP/missing.png" -o "$TMP/x.png"
expect_err "error: $TMP/missing.png"
expect_status 1 "$CLI" menu render "$TMP/real.mnu" --page 2 -o "$TMP/x.png"
expect_err "there is no page 2"
expect_status 1 "$CLI" menu render "$TMP/real.mnu" --select 0x7FF -o "$TMP/x.png"
expect_err "has no button 07FF"
expect_status 2 "$CLI" menu render "$TMP/real.mnu" --background-color navy -o "$TMP/x.png"
expect_status 2 "$CLI" menu render "$TMP/real.mnu" -o "$TMP/real.mnu"
expect_status 1 "$CLI" menu render "$TMP/cut.mnu" -o "$TMP/x.png"
[ -e "$TMP/x.png" ] && fail "a refused render wrote a picture"

[ "$failures" = 0 ] && echo "all menu CLI cases passed"
exit "$failures"
