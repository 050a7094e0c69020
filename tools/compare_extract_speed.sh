#!/bin/sh
# Side-by-side speed of extraction by PID on a page-cached m2ts: a plain read
# (cat > /dev/null), corvane-cli's extraction of the audio PID and of the video PID,
# and ffmpeg's stream copy of the same streams. Each is run five times; the best
# time counts.
#
# usage: tools/compare_extract_speed.sh CORVANE_CLI [M2TS]
# Without M2TS a file of about 1 GB (MPEG-2 video on PID 0x1011, AC-3 on 0x1100) is
# made in the temporary folder with ffmpeg and removed afterwards.
set -e
CLI=${1:?usage: $0 CORVANE_CLI [M2TS]}
FILE=$2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/corvane_speed.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM

if [ -z "$FILE" ]; then
  FILE="$WORK/speed.m2ts"
  # A short clip at a high bit rate, then copied over and over into one m2ts.
  ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=50 -f lavfi -i sine=frequency=440:sample_rate=48000 \
    -t 10 -map 0:v -map 1:a -c:v mpeg2video -q:v 2 -g 25 -c:a ac3 -b:a 448k -f mpegts "$WORK/clip.ts"
  clip=$(stat -c %s "$WORK/clip.ts")
  loops=$(( (1000000000 + clip - 1) / clip - 1 ))
  ffmpeg -v error -y -stream_loop "$loops" -i "$WORK/clip.ts" -map 0 -c copy \
    -f mpegts -mpegts_m2ts_mode 1 "$FILE"
  rm -f "$WORK/clip.ts"
fi
SIZE=$(stat -c %s "$FILE")

# Seconds of the best of three runs of a command.
best() {
  b=""
  for run in 1 2 3 4 5; do
    rm -f "$WORK/out"
    s=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    e=$(date +%s.%N)
    b=$(echo "$s $e $b" | awk '{t = $2 - $1; if (NF == 3 && $3 < t) t = $3; printf "%.3f", t}')
  done
  echo "$b"
}
plain_read() { cat "$FILE" > /dev/null; }

cat "$FILE" > /dev/null; cat "$FILE" > /dev/null  # into the page cache
CAT=$(best plain_read)
OUR_A=$(best "$CLI" extract "$FILE" --pid 1100 -o "$WORK/out" --quiet)
FF_A=$(best ffmpeg -v error -y -i "$FILE" -map 0:a -c copy -f data "$WORK/out")
OUR_V=$(best "$CLI" extract "$FILE" --pid 1011 -o "$WORK/out" --quiet)
FF_V=$(best ffmpeg -v error -y -i "$FILE" -map 0:v -c copy -f data "$WORK/out")
rm -f "$WORK/out"

awk -v size="$SIZE" -v cat="$CAT" -v oa="$OUR_A" -v fa="$FF_A" -v ov="$OUR_V" -v fv="$FF_V" 'BEGIN {
  mb = size / 1e6
  printf "file: %.0f MB\n", mb
  printf "%-28s %8s %10s\n", "", "seconds", "MB/s"
  printf "%-28s %8.3f %10.0f\n", "cat > /dev/null", cat, mb / cat
  printf "%-28s %8.3f %10.0f\n", "corvane extract audio PID", oa, mb / oa
  printf "%-28s %8.3f %10.0f\n", "ffmpeg copy audio", fa, mb / fa
  printf "%-28s %8.3f %10.0f\n", "corvane extract video PID", ov, mb / ov
  printf "%-28s %8.3f %10.0f\n", "ffmpeg copy video", fv, mb / fv
  printf "audio: %.0f%% of the speed of cat, %.1f times as fast as ffmpeg\n", 100 * cat / oa, fa / oa
  printf "video: %.1f times as fast as ffmpeg\n", fv / ov
}'
