#!/bin/sh
# corvane-cli mux: a menu as a transport stream
. "$(dirname "$0")/../lib.sh"
make_menus
"$CLI" resave "$TMP/real.mnu" -o "$TMP/real2.mnu" >/dev/null 2>&1

# mux: whole 6144-byte units starting with the PAT; extracting PID 1400 gives back the segments
expect_status 0 "$CLI" mux "$TMP/real.mnu" -o "$TMP/real.m2ts"
expect_err "Muxing menu..."
[ $(($(wc -c <"$TMP/real.m2ts") % 6144)) = 0 ] || fail "mux did not write whole 6144-byte units"
[ "$(head -c 7 "$TMP/real.m2ts" | od -An -tx1 | tr -d ' \n')" = 10000000474000 ] || fail "mux does not begin with the PAT"
expect_status 0 "$CLI" extract "$TMP/real.m2ts" --pid 1400 -o "$TMP/back.mnu" --quiet
cmp -s "$TMP/back.mnu" "$TMP/real2.mnu" || fail "the muxed menu does not extract to its segments"
expect_status 0 "$CLI" mux "$TMP/three.mnu" -o "$TMP/three.m2ts" --quiet
[ -s "$TMP/err" ] && fail "mux --quiet wrote log lines"
expect_status 2 "$CLI" mux "$TMP/real.mnu" -o "$TMP/real.mnu"
expect_status 2 "$CLI" mux "$TMP/real.mnu" -o "$TMP/y.m2ts" --clpi "$TMP/real.mnu"

# --clpi / --mpls: the clip counts every packet of the stream, the playlist plays that clip
expect_status 0 "$CLI" mux "$TMP/three.mnu" -o "$TMP/00003.m2ts" --clpi "$TMP/00003.clpi" --mpls "$TMP/00001.mpls"
expect_err "Playlist written."
expect_status 0 "$CLI" dump "$TMP/00003.clpi"
expect_part "\"number_of_source_packets\": $(($(wc -c <"$TMP/00003.m2ts") / 192))"
expect_part '"application_type": 5'
expect_status 0 "$CLI" dump "$TMP/00001.mpls"
expect_part '"Clip_Information_file_name": "00003"'
expect_part '"number_of_IG_stream_entries": 1'
expect_status 1 "$CLI" mux "$TMP/cut.mnu" -o "$TMP/x.m2ts"
[ -e "$TMP/x.m2ts" ] && fail "a refused mux wrote a stream"

finish
