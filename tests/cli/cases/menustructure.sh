#!/bin/sh
# corvane-cli menu insert / delete / format: the structure of a menu, its references and limits
. "$(dirname "$0")/../lib.sh"
make_menus
count() { "$CLI" dump "$1" 2>/dev/null | grep -o "\"$2\": *[0-9]*" | head -n "${3:-1}" | tail -n 1 | grep -o '[0-9]*$'; }

expect_status 0 "$CLI" menu insert "$TMP/new.mnu" page -o "$TMP/p2.mnu"
[ "$(count "$TMP/p2.mnu" number_of_pages)" = 2 ] || fail "menu insert page does not add a page"
expect_status 0 "$CLI" menu insert "$TMP/p2.mnu" bog --page 1 --at 0 -o "$TMP/b.mnu"
expect_status 0 "$CLI" menu insert "$TMP/b.mnu" button --page 1 --bog 0 -o "$TMP/bb.mnu"
expect_status 0 "$CLI" menu insert "$TMP/bb.mnu" window --page 1 --out -o "$TMP/w.mnu"
expect_status 0 "$CLI" menu insert "$TMP/w.mnu" effect --page 1 --out -o "$TMP/e.mnu"
expect_status 0 "$CLI" menu insert "$TMP/e.mnu" object --page 1 --out --effect 0 -o "$TMP/o.mnu"
# Deleting the window lists the object in it; the file is written all the same.
expect_status 0 "$CLI" menu delete "$TMP/o.mnu" window --page 1 --out --at 0 -o "$TMP/d.mnu"
expect_err "warning: Invalid window reference in page 1, effect 0: out effect object 00"
expect_status 0 "$CLI" menu delete "$TMP/d.mnu" button --page 1 --bog 0 --at 1 -o "$TMP/d2.mnu"
expect_status 0 "$CLI" menu delete "$TMP/d2.mnu" page --at 0 -o "$TMP/one.mnu"
[ "$(count "$TMP/one.mnu" number_of_pages)" = 1 ] || fail "menu delete page does not remove a page"
# The only page stays; a BOG that is not there, a place past the end.
expect_status 1 "$CLI" menu delete "$TMP/new.mnu" page --at 0 -o "$TMP/x.mnu"
expect_err "there is no such page to delete"
expect_status 1 "$CLI" menu delete "$TMP/new.mnu" bog --page 0 --at 3 -o "$TMP/x.mnu"
expect_status 1 "$CLI" menu insert "$TMP/new.mnu" button --page 0 --bog 0 --at 5 -o "$TMP/x.mnu"
expect_err "no button can be inserted there"
expect_status 2 "$CLI" menu insert "$TMP/new.mnu" palette -o "$TMP/x.mnu"
expect_status 2 "$CLI" menu delete "$TMP/new.mnu" page -o "$TMP/x.mnu"

expect_status 0 "$CLI" menu format "$TMP/new.mnu" --video 720x576 --frame-rate 25 -o "$TMP/f.mnu"
[ "$(count "$TMP/f.mnu" video_height)" = 576 ] || fail "menu format does not set the video size"
[ "$(count "$TMP/f.mnu" frame_rate_id)" = 3 ] || fail "menu format does not set the frame rate"
expect_status 2 "$CLI" menu format "$TMP/new.mnu" --frame-rate - -o "$TMP/x.mnu"
expect_status 2 "$CLI" menu format "$TMP/new.mnu" --video 640x480 -o "$TMP/x.mnu"

finish
