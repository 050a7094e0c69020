#!/usr/bin/env python3
"""Writes the small test disc of tests/data/playlist-disc/BDMV: three clips made with
ffmpeg (MPEG-2 video on PID 0x1011, AC-3 on PID 0x1100, in the second clip on 0x1101)
and a playlist 00800.mpls of three PlayItems whose IN/OUT times lie inside the clips,
with two entry marks. The playlist is laid out field by field from the playlist format,
independently of the program's writer.

Usage: tools/make_playlist_disc.py [OUTPUT_BDMV_FOLDER]
"""
import json
import os
import struct
import subprocess
import sys

VIDEO_PID = 0x1011
AUDIO_PIDS = [0x1100, 0x1101, 0x1100]
# Where each clip's stream times start (seconds), and the cut inside it (45 kHz after the start).
OFFSETS = [10, 100, 1000]
CUTS = [(9000, 36000), (4500, 40500), (13500, 31500)]


def make_clip(path, audio_pid, offset, tone):
    subprocess.run(
        ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25", "-f", "lavfi",
         "-i", "sine=frequency=%d:sample_rate=48000" % tone, "-t", "1", "-map", "0:v", "-map", "1:a",
         "-c:v", "mpeg2video", "-b:v", "150k", "-g", "12", "-c:a", "ac3", "-b:a", "64k",
         "-streamid", "0:%d" % VIDEO_PID, "-streamid", "1:%d" % audio_pid, "-metadata:s:a:0", "language=eng",
         "-output_ts_offset", str(offset), "-f", "mpegts", "-mpegts_m2ts_mode", "1", "-bitexact", path],
        check=True)


def first_video_pts(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                          "stream=start_pts", "-of", "json", path], check=True, capture_output=True).stdout
    return int(json.loads(out)["streams"][0]["start_pts"])


def stream_entry(pid, coding, attributes):
    entry = struct.pack(">BBH6x", 9, 1, pid)
    attrs = struct.pack(">B", coding) + attributes
    return entry + struct.pack(">B", len(attrs)) + attrs


def play_item(clip, in_time, out_time, audio_pid):
    video = stream_entry(VIDEO_PID, 0x02, bytes([0x43, 0, 0, 0]))           # 1080i, 25 Hz
    audio = stream_entry(audio_pid, 0x81, bytes([0x31]) + b"eng")          # stereo, 48 kHz
    stn_body = struct.pack(">2x8B4x", 1, 1, 0, 0, 0, 0, 0, 0) + video + audio
    stn = struct.pack(">H", len(stn_body)) + stn_body
    body = (clip.encode() + b"M2TS" + struct.pack(">HBII8sBBH", 1, 0, in_time, out_time, bytes(8), 0, 0, 0)
            + stn)
    return struct.pack(">H", len(body)) + body


def playlist_file(items, marks):
    app_info = struct.pack(">I", 14) + struct.pack(">xBH8sH", 1, 0, bytes(8), 0)
    play_items = b"".join(items)
    playlist = struct.pack(">2xHH", len(items), 0) + play_items
    playlist = struct.pack(">I", len(playlist)) + playlist
    mark_body = struct.pack(">H", len(marks)) + b"".join(
        struct.pack(">BBHIHI", 0, 1, item, stamp, VIDEO_PID, 0) for item, stamp in marks)
    mark_section = struct.pack(">I", len(mark_body)) + mark_body
    playlist_at = 40 + len(app_info)
    mark_at = playlist_at + len(playlist)
    header = b"MPLS0200" + struct.pack(">III", playlist_at, mark_at, 0) + bytes(20)
    return header + app_info + playlist + mark_section


def main():
    bdmv = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "tests", "data",
                                                               "playlist-disc", "BDMV")
    for folder in ("STREAM", "PLAYLIST"):
        os.makedirs(os.path.join(bdmv, folder), exist_ok=True)
    items = []
    marks = []
    for n, (pid, offset, (cut_in, cut_out)) in enumerate(zip(AUDIO_PIDS, OFFSETS, CUTS)):
        clip = "%05d" % (n + 1)
        path = os.path.join(bdmv, "STREAM", clip + ".m2ts")
        make_clip(path, pid, offset, 440 + 220 * n)
        start = first_video_pts(path) // 2  # 90 kHz to 45 kHz
        items.append(play_item(clip, start + cut_in, start + cut_out, pid))
        if n < 2:
            marks.append((n, start + cut_in + 4500 * n))
    with open(os.path.join(bdmv, "PLAYLIST", "00800.mpls"), "wb") as f:
        f.write(playlist_file(items, marks))


if __name__ == "__main__":
    main()
