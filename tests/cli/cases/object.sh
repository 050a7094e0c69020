#!/bin/sh
# corvane-cli object: a menu's objects from and to PNG files
. "$(dirname "$0")/../lib.sh"
"$CLI" menu new -o "$TMP/new.mnu" >/dev/null 2>&1

# object import: a palette PNG becomes object 0000 with palette 00; true colour gets a palette
# of its own or the nearest entries of a given one
expect_status 0 "$CLI" object import "$TMP/new.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/one.mnu"
expect_err "object 0000, palette 00 added"
expect_status 0 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/two.mnu"
expect_err "object 0001, palette 01 added"
expect_status 0 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-rgb.png" --exact -o "$TMP/rgb.mnu"
expect_err "object 0001, palette 01 added"
expect_status 0 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-rgb.png" --palette 0 -o "$TMP/rgb.mnu"
expect_err "object 0001 added in palette 00"
expect_status 1 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-rgb.png" --palette 3 -o "$TMP/x.mnu"
expect_err "stripes-24x10-rgb.png: there is no palette 03"
expect_status 1 "$CLI" object import "$TMP/one.mnu" "$D/SOURCES.md" -o "$TMP/x.mnu"
expect_err "SOURCES.md: not a PNG file"
[ -e "$TMP/x.mnu" ] && fail "a refused import wrote a menu"
expect_status 2 "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/one.mnu"

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
expect_status 1 "$CLI" object export "$TMP/missing.mnu" --object 0 --palette 0 -o "$TMP/x.png"
expect_err "error: "

finish
