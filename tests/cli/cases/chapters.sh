#!/bin/sh
# corvane-cli chapters: export and import of chapter lists
. "$(dirname "$0")/../lib.sh"

# chapters: export in the three formats, import back to the same file, bad input
P="$ROOT/tests/data/playlist/bdpl-disc1-00002-subpath-17marks.mpls"
expect_status 0 "$CLI" chapters export "$P" --format time
grep -q "^00:05:42.550.$" "$TMP/out" || fail "chapters export: no CR LF line 00:05:42.550"
[ "$(wc -l <"$TMP/out")" = 17 ] || fail "chapters export: 17 lines wanted"
expect_status 0 "$CLI" chapters export "$P" --format pts -o "$TMP/chapters.txt"
expect_status 0 "$CLI" chapters import "$P" "$TMP/chapters.txt" --format pts -o "$TMP/chapters.mpls"
cmp -s "$P" "$TMP/chapters.mpls" || fail "chapters import of the exported file changed the playlist"
printf '00:00:01.000\r\n' >"$TMP/one.txt"
expect_status 0 "$CLI" chapters import "$P" "$TMP/one.txt" --format time -o "$TMP/one.mpls"
expect_status 0 "$CLI" chapters export "$TMP/one.mpls" --format time
[ "$(cat "$TMP/out")" = "$(printf '00:00:01.000\r')" ] || fail "one chapter: $(cat "$TMP/out")"
printf '00:00:01.000\r\nabc\r\n' >"$TMP/bad-line.txt"
expect_status 1 "$CLI" chapters import "$P" "$TMP/bad-line.txt" --format time -o "$TMP/bad-line.mpls"
expect_err 'ERROR: Line 2 refused, not a time (hh:mm:ss.mmm): "abc"'
[ -f "$TMP/bad-line.mpls" ] || fail "chapters import: the readable line was not written"
: >"$TMP/empty.txt"
expect_status 1 "$CLI" chapters import "$P" "$TMP/empty.txt" --format pts -o "$TMP/x.mpls"
expect_err "nothing written"
expect_status 0 "$CLI" chapters export "$ROOT/tests/data/playlist/bdpl-disc5-00001-0300-extdata.mpls" --format pts
printf 'MPLS0400' > "$TMP/v4.mpls"
expect_status 1 "$CLI" chapters export "$TMP/v4.mpls" --format pts
expect_err "Invalid format: "
# ogm and xml: the entry-marks, read back onto the same marks; a broken XML file changes nothing
expect_status 0 "$CLI" chapters export "$P" --format ogm -o "$TMP/chapters_ogm.txt"
grep -q "^CHAPTER17NAME=Chapter 17.$" "$TMP/chapters_ogm.txt" || fail "chapters export ogm: no CHAPTER17NAME"
expect_status 0 "$CLI" chapters import "$P" "$TMP/chapters_ogm.txt" --format OGM -o "$TMP/ogm.mpls"
expect_status 0 "$CLI" chapters export "$P" --format xml -o "$TMP/chapters.xml"
grep -q "<ChapterTimeStart>00:05:42.550533333</ChapterTimeStart>" "$TMP/chapters.xml" ||
  fail "chapters export xml: no nanosecond time 00:05:42.550533333"
expect_status 0 "$CLI" chapters import "$P" "$TMP/chapters.xml" --format xml -o "$TMP/xml.mpls"
cmp -s "$P" "$TMP/xml.mpls" || fail "chapters import of the exported XML changed the playlist"
printf '<Chapters>\n<EditionEntry>\n</Chapters>\n' >"$TMP/broken.xml"
expect_status 1 "$CLI" chapters import "$P" "$TMP/broken.xml" --format xml -o "$TMP/broken.mpls"
expect_err "mismatched tag at line 3"
[ -f "$TMP/broken.mpls" ] && fail "chapters import of a broken XML file wrote a playlist"
expect_status 2 "$CLI" chapters export "$P" --format seconds
expect_status 2 "$CLI" chapters import "$P" "$TMP/one.txt" --format pts -o "$P"

finish
