#!/bin/sh
# corvane-cli build: a dump's JSON back into the same bytes; a fault is one error line with
# its JSON pointer and nothing is written
. "$(dirname "$0")/../lib.sh"

for f in "$ROOT/samples/SAMPLE/BDMV/index.bdmv" "$ROOT/tests/data/navigation/bdj-sdk-index-0100-extdata.bdmv" \
         "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" "$ROOT/fuzz/corpus/extensiondata/two_entries.exd" \
         "$ROOT/tests/data/playlist/bdpl-disc5-00001-0300-extdata.mpls"; do
  "$CLI" dump "$f" --quiet > "$TMP/file.json"
  for keep in "" --keep-lengths; do
    expect_status 0 "$CLI" build "$TMP/file.json" -o "$TMP/built" $keep
    cmp -s "$f" "$TMP/built" || fail "build $keep of the dump of $f changed bytes"
  done
done

# a script edit: the first object's resume flag set, everything else as it was
"$CLI" dump "$ROOT/samples/SAMPLE/BDMV/MovieObject.bdmv" --quiet |
  sed '0,/"resume_intention_flag": 0/s//"resume_intention_flag": 1/' > "$TMP/edit.json"
expect_status 0 "$CLI" build "$TMP/edit.json" -o "$TMP/edit.bdmv"
expect_status 0 "$CLI" dump "$TMP/edit.bdmv" --quiet
grep -m1 '"resume_intention_flag"' "$TMP/out" | grep -q ': 1' || fail "the edited flag was not built"

# faults
sed '0,/"resume_intention_flag": 1/s//"resume_intention_flag": "abc"/' "$TMP/edit.json" > "$TMP/bad.json"
expect_status 1 "$CLI" build "$TMP/bad.json" -o "$TMP/never"
expect_err_only "error: $TMP/bad.json: /MovieObjects/mobjs/0/resume_intention_flag: expected an integer 0..1, found \"abc\""
[ -e "$TMP/never" ] && fail "a refused build wrote its output"
"$CLI" dump "$ROOT/tests/data/clipinf/bdpl-disc1-00002-5pg.clpi" --quiet > "$TMP/clip.json"
expect_status 1 "$CLI" build "$TMP/clip.json" -o "$TMP/never"
expect_err "/type_indicator: expected a type build writes"
printf '{"a": ' > "$TMP/cut.json"
expect_status 1 "$CLI" build "$TMP/cut.json" -o "$TMP/never"
expect_err "not JSON: "
[ -e "$TMP/never" ] && fail "a refused build wrote its output"
expect_status 2 "$CLI" build "$TMP/edit.json" -o "$TMP/edit.json"

finish
