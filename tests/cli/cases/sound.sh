#!/bin/sh
# corvane-cli sound: sound.bdmv from WAV files and back
. "$(dirname "$0")/../lib.sh"

# sound: a new file from a WAV, an insert, an export that gives the WAV back, refusals
W="$ROOT/tests/data/sound/beep.wav"
expect_status 0 "$CLI" sound new "$W" -o "$TMP/sound.bdmv"
expect_status 0 "$CLI" sound import "$TMP/sound.bdmv" "$W" --after 0 -o "$TMP/sound2.bdmv"
expect_status 0 "$CLI" sound export "$TMP/sound2.bdmv" --entry 1 -o "$TMP/back.wav"
cmp -s "$W" "$TMP/back.wav" || fail "sound export did not give the imported WAV back"
expect_status 1 "$CLI" sound import "$TMP/sound.bdmv" "$ROOT/tests/data/sound/beep-44k.wav" --after 0 -o "$TMP/x.bdmv"
expect_err "Wave format error! (Mandatory 48 kHz, 16 bit, PCM)"
expect_status 1 "$CLI" sound export "$TMP/sound.bdmv" --entry 3 -o "$TMP/x.wav"
expect_err "there is no sound entry 3"
expect_status 1 "$CLI" sound export "$W" --entry 0 -o "$TMP/x.wav"
expect_status 2 "$CLI" sound new "$W" -o "$W"

finish
