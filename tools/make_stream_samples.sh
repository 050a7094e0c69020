#!/bin/sh
# Makes the small transport streams of tests/data/stream with ffmpeg (Debian's build):
# a BD-style m2ts (192-byte source packets, video PID 0x1011, audio PID 0x1100) and
# the elementary streams ffmpeg itself takes out of it, which the extraction tests
# compare with ours. ffmpeg writes its video PES packets with PES_packet_length 0.
set -e
OUT=${1:-$(dirname "$0")/../tests/data/stream}
mkdir -p "$OUT"
ffmpeg -v error -y -f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 \
  -t 1 -map 0:v -map 1:a -c:v mpeg2video -b:v 300k -g 12 -c:a ac3 -b:a 96k \
  -streamid 0:0x1011 -streamid 1:0x1100 -f mpegts -mpegts_m2ts_mode 1 -bitexact "$OUT/ffmpeg-mpeg2-ac3.m2ts"
ffmpeg -v error -y -i "$OUT/ffmpeg-mpeg2-ac3.m2ts" -map 0:v -c copy -f mpeg2video "$OUT/ffmpeg-mpeg2-ac3.m2v"
ffmpeg -v error -y -i "$OUT/ffmpeg-mpeg2-ac3.m2ts" -map 0:a -c copy -f ac3 "$OUT/ffmpeg-mpeg2-ac3.ac3"
