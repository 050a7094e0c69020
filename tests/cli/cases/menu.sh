#!/bin/sh
# corvane-cli menu: a new menu, and a page rendered as a PNG
. "$(dirname "$0")/../lib.sh"

# menu new: one page, one button, no objects
expect_status 0 "$CLI" menu new -o "$TMP/new.mnu"
[ "$(head -c 2 "$TMP/new.mnu")" = IG ] || fail "menu new does not write IG segments"
expect_status 2 "$CLI" menu

# menu render: a 1920 x 1080 RGB PNG of the page, the background options, bad pages and ids
make_menus
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
# FFFF: the page with no button selected
expect_status 0 "$CLI" menu render "$TMP/real.mnu" --select FFFF -o "$TMP/none.png"
expect_err "PSR10: FFFF (65535)"
expect_status 2 "$CLI" menu render "$TMP/real.mnu" --background-color navy -o "$TMP/x.png"
expect_status 2 "$CLI" menu render "$TMP/real.mnu" -o "$TMP/real.mnu"
expect_status 1 "$CLI" menu render "$TMP/cut.mnu" -o "$TMP/x.png"
[ -e "$TMP/x.png" ] && fail "a refused render wrote a picture"

finish
