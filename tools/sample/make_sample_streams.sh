#!/bin/sh
# Encodes the movie streams of the sample disc with ffmpeg (Debian's build): 1080p24000/1001
# H.264 with two AC-3 tracks (English 440 Hz, French 660 Hz), in 192-byte source packets on
# the PIDs a disc uses. 00001/00002 are the feature's two parts, 00003/00004 two angles.
set -e
OUT=${1:?usage: make_sample_streams.sh FOLDER}
mkdir -p "$OUT"
clip() { # name seconds video-source
  ffmpeg -v error -y -f lavfi -i "$3" -f lavfi -i sine=frequency=440:sample_rate=48000 \
    -f lavfi -i sine=frequency=660:sample_rate=48000 -t "$2" -map 0:v -map 1:a -map 2:a \
    -c:v libx264 -preset veryfast -profile:v high -level 4.1 -b:v 300k -maxrate 2M -bufsize 2M -g 24 \
    -pix_fmt yuv420p -x264-params bluray-compat=1:nal-hrd=vbr -c:a ac3 -ac 2 -b:a 96k \
    -metadata:s:a:0 language=eng -metadata:s:a:1 language=fre \
    -streamid 0:0x1011 -streamid 1:0x1100 -streamid 2:0x1101 \
    -f mpegts -mpegts_m2ts_mode 1 -bitexact "$OUT/$1.m2ts"
}
clip 00001 4 testsrc2=size=1920x1080:rate=24000/1001
clip 00002 4 smptehdbars=size=1920x1080:rate=24000/1001
clip 00003 2 "color=c=0x204080:size=1920x1080:rate=24000/1001,drawgrid=w=120:h=120:t=4:c=white"
clip 00004 2 "color=c=0x804020:size=1920x1080:rate=24000/1001,drawgrid=w=160:h=90:t=4:c=yellow"
