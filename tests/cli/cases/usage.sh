#!/bin/sh
# corvane-cli usage: the help text and the usage errors
. "$(dirname "$0")/../lib.sh"

# help
expect_status 0 "$CLI" --help
expect_status 2 "$CLI"
expect_status 2 "$CLI" nosuchcommand

finish
