#!/bin/sh
# corvane-cli command: the five cells of one command
. "$(dirname "$0")/../lib.sh"

# command: five cells, tab-separated
expect_status 0 "$CLI" command 0x20810000 7 0
expect_out "$(printf '0000\t20810000\t00000007 \t00000000\tGoTo 7')"
expect_status 0 "$CLI" command 0x31000004 0 0
expect_out "$(printf '0000\t31000004\t00000000 \t00000000\t*EnableButton GPR0  ; Forbidden opcode')"
expect_status 0 "$CLI" command 0x31000004 0 0 --context button
expect_out "$(printf '0000\t31000004\t00000000 \t00000000\tEnableButton GPR0')"
expect_status 2 "$CLI" command 0x1FFFFFFFF 0 0
expect_status 2 "$CLI" command 12 zz 0
expect_status 2 "$CLI" command 1 2 0 --context menu

finish
