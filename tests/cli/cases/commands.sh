#!/bin/sh
# corvane-cli commands: the program list of one object
. "$(dirname "$0")/../lib.sh"

# commands: the program list of one object
expect_status 0 "$CLI" commands "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" --object 0
tr -d '\r' < "$TMP/out" > "$TMP/lst" && mv "$TMP/lst" "$TMP/out"  # lines end with CR LF
expect_out "0003  [21810000,00000001 ,00000000]  Jump Title 1"
expect_status 0 "$CLI" commands "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" --object 0 --format bin -o "$TMP/p.bin"
[ "$(wc -c < "$TMP/p.bin")" = 48 ] || fail "binary program list holds the four commands"
expect_status 1 "$CLI" commands "$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv" --object 4
expect_err "there is no movie object 4"

finish
