#!/bin/sh
# corvane-cli usage: the help text and the usage errors
. "$(dirname "$0")/../lib.sh"

# help
expect_status 0 "$CLI" --help
expect_status 2 "$CLI"
expect_status 2 "$CLI" nosuchcommand
expect_err 'error: unknown subcommand "nosuchcommand"'
expect_status 0 "$CLI" --version
expect_out "corvane-cli $(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")b"
# numbers: a sign or more than 64 bits is a usage error, not a wrapped-around entry
S="$ROOT/tests/data/sound/hdcookbook-bookmenu-sound.bdmv"
expect_status 2 "$CLI" sound export "$S" --entry -1 -o "$TMP/x.wav"
expect_err_only "error: --entry: not a number: -1"
expect_status 2 "$CLI" sound export "$S" --entry 0x-1 -o "$TMP/x.wav"
expect_status 2 "$CLI" commands "$S" --object 99999999999999999999

# a file that cannot be read: one error line, naming the file once
head -c 20 "$ROOT/tests/data/small-disc/BDMV/index.bdmv" > "$TMP/t1.bdmv"
expect_status 1 "$CLI" dump "$TMP/t1.bdmv"
expect_err_only 'error: t1.bdmv format error at $00000014'
expect_status 1 "$CLI" commands "$TMP/t1.bdmv" --object 0
expect_err_only "error: $TMP/t1.bdmv: Format error MovieObject.bdmv"

finish
