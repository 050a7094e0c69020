#!/bin/sh
# Makes the bundled sample disc samples/SAMPLE/BDMV: streams encoded with ffmpeg, English
# subtitles written by corvane_make_sample and muxed in by ffmpeg, then the clip, playlist,
# menu and sound files (corvane_make_sample) and index.bdmv / MovieObject.bdmv
# (make_sample_disc.py). The BD-J object is the BD-J template disc's (tests/data/bdj).
#   tools/sample/make_sample.sh BUILD_DIR [BDMV]
set -e
BUILD=${1:?usage: make_sample.sh BUILD_DIR [BDMV]}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BDMV=${2:-$ROOT/samples/SAMPLE/BDMV}
MAKE=$BUILD/tools/sample/corvane_make_sample
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
"$ROOT/tools/sample/make_sample_streams.sh" "$WORK/av"
mkdir -p "$WORK/streams"
FIRST=$(ffprobe -v error -select_streams v -show_entries stream=start_pts -of csv=p=0 "$WORK/av/00001.m2ts")
"$MAKE" captions "$WORK/00001.sup" "$FIRST"
# -copyts and no mux delay keep both inputs' times, so the captions land 0.5 s and 2.2 s in.
ffmpeg -v error -y -copyts -i "$WORK/av/00001.m2ts" -i "$WORK/00001.sup" -map 0 -map 1 -c copy -muxdelay 0 -muxpreload 0 \
  -streamid 0:0x1011 -streamid 1:0x1100 -streamid 2:0x1101 -streamid 3:0x1200 \
  -metadata:s:s:0 language=eng -f mpegts -mpegts_m2ts_mode 1 -bitexact "$WORK/streams/00001.m2ts"
for n in 2 3 4; do mv "$WORK/av/0000$n.m2ts" "$WORK/streams/"; done
rm -rf "$BDMV"
"$MAKE" disc "$WORK/streams" "$BDMV"
python3 "$ROOT/tools/make_sample_disc.py" "$BDMV"
cp "$ROOT/tests/data/bdj/bdj-sdk-00000.bdjo" "$BDMV/BDJO/00000.bdjo"
find "$BDMV" -name .keep -delete
for folder in JAR META BACKUP; do [ -n "$(ls -A "$BDMV/$folder")" ] || touch "$BDMV/$folder/.keep"; done
