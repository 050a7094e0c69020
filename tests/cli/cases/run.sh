#!/bin/sh
# corvane-cli run: the interpreter
. "$(dirname "$0")/../lib.sh"

# run: reports, then the registers that changed
M="$ROOT/tests/data/small-disc/BDMV/MovieObject.bdmv"
expect_status 0 "$CLI" run "$M" --object 0
[ "$(cat "$TMP/out")" = "$(printf 'Play PL 0\nJump Title 1\nPSR4=00000001')" ] || fail "run object 0: $(cat "$TMP/out")"
expect_status 0 "$CLI" run "$M" --object 2
[ "$(cat "$TMP/out")" = "$(printf 'Play PLatPI 2, 0\nJump Object 1\nPSR6=00000002\nGPR0=00000001')" ] || fail "run object 2"
expect_status 0 "$CLI" run "$M" --object 3 --psr 4=2 --psr 9=0x5 --gpr 4095=0xFFFFFFFF
expect_out "Play PL 3"
expect_out "PSR9=00000005"
expect_out "GPR4095=FFFFFFFF"
expect_status 1 "$CLI" run "$M" --object 1 --max-steps 5
expect_out "stopped after 5 commands"
expect_status 1 "$CLI" run "$M" --object 9
expect_err "there is no movie object 9"
expect_status 1 "$CLI" run "$M" --object 0 --psr 128=1
expect_status 2 "$CLI" run "$M" --object 0 --region D
expect_status 2 "$CLI" run "$M"

finish
