#!/usr/bin/env python3
"""Writes the bundled sample disc folder samples/SAMPLE/BDMV.

The navigation files are laid out field by field from the Blu-ray index and
movie-object formats, independently of the program's own writers, so the
program's readers are tested against files it did not make itself.

Usage: tools/make_sample_disc.py [OUTPUT_BDMV_FOLDER]
"""
import os
import struct
import sys

HDMV = 1
MOVIE, INTERACTIVE = 0, 1


def command(opcode, destination=0, source=0):
    return struct.pack(">III", opcode, destination, source)


# Opcode words of the commands the sample programs use.
MOVE_IMM = 0x50400001        # Move GPRd, immediate
ADD_IMM = 0x50400003         # Add GPRd, immediate
EQ_REG_IMM = 0x48400200      # EQ register, immediate
GOTO = 0x20810000            # GoTo line
JUMP_OBJECT = 0x21800000     # Jump Object n
PLAY_PL = 0x22800000         # Play PL n
PLAY_PL_MK = 0x42C20000      # Play PL_MK playlist, mark
SET_STREAM = 0x51C00001      # SetStream, immediate operands
AUDIO = 0x80000000           # SetStream: primary audio number in bits 16..27

# Playlists: 00000 the menu, 00001 the feature (two clips, chapters, two audio tracks,
# subtitles), 00002 two angles.
# (resume, menu call mask, title search mask, commands)
OBJECTS = [
    # 0: First Playback: clear the chapter request, show the menu
    (0, 0, 1, [command(MOVE_IMM, 0, 0), command(JUMP_OBJECT, 1)]),
    # 1: Top Menu: the menu playlist; its buttons jump to the titles
    (0, 1, 1, [command(PLAY_PL, 0)]),
    # 2: Title 1: the feature, from chapter 2 when the menu set GPR0 to 2, then the menu
    (1, 0, 0, [command(EQ_REG_IMM, 0, 2), command(GOTO, 4), command(PLAY_PL, 1),
               command(JUMP_OBJECT, 1), command(MOVE_IMM, 0, 0), command(PLAY_PL_MK, 1, 1),
               command(JUMP_OBJECT, 1)]),
    # 3: Title 2: the angles
    (1, 0, 0, [command(PLAY_PL, 2), command(JUMP_OBJECT, 1)]),
    # 4: Title 3: the feature in French, counting how often it was asked for
    (1, 0, 0, [command(ADD_IMM, 2, 1), command(SET_STREAM, AUDIO | (2 << 16), 0),
               command(PLAY_PL, 1), command(JUMP_OBJECT, 1)]),
]

BDJ_ENTRY = 2
# (object type, access type, playback type, movie object or BD-J object name)
FIRST_PLAYBACK = (HDMV, 0, MOVIE, 0)
TOP_MENU = (HDMV, 0, INTERACTIVE, 1)
BDJ_MOVIE = 2
TITLES = [(HDMV, 0, MOVIE, 2), (HDMV, 0, MOVIE, 3), (HDMV, 0, MOVIE, 4), (BDJ_ENTRY, 0, BDJ_MOVIE, "00000")]


def movie_object_file():
    objects = b""
    for resume, menu_call, title_search, commands in OBJECTS:
        flags = (resume << 15) | (menu_call << 14) | (title_search << 13)
        objects += struct.pack(">HH", flags, len(commands)) + b"".join(commands)
    body = struct.pack(">IH", 0, len(OBJECTS)) + objects
    header = b"MOBJ" + b"0200" + struct.pack(">I", 0) + bytes(28)
    return header + struct.pack(">I", len(body)) + body


def index_entry(entry, is_title):
    object_type, access, playback, mobj = entry
    word = object_type << 30
    if is_title:
        word |= access << 28
    if object_type == BDJ_ENTRY:
        return struct.pack(">IH", word, playback << 14) + mobj.encode("ascii") + bytes(1)
    return struct.pack(">IHH", word, playback << 14, mobj) + bytes(4)


def index_file():
    provider = b"Corvane sample disc".ljust(32, b"\0")
    app_info = struct.pack(">IH", 34, 0) + provider
    indexes_start = 40 + len(app_info)
    titles = b"".join(index_entry(t, True) for t in TITLES)
    indexes = (index_entry(FIRST_PLAYBACK, False) + index_entry(TOP_MENU, False) +
               struct.pack(">H", len(TITLES)) + titles)
    header = b"INDX" + b"0200" + struct.pack(">II", indexes_start, 0) + bytes(24)
    return header + app_info + struct.pack(">I", len(indexes)) + indexes


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    bdmv = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "samples", "SAMPLE", "BDMV")
    for folder in ("PLAYLIST", "CLIPINF", "STREAM", "BACKUP", "BDJO", "JAR", "META", "AUXDATA"):
        os.makedirs(os.path.join(bdmv, folder), exist_ok=True)
    files = {"index.bdmv": index_file(), "MovieObject.bdmv": movie_object_file()}
    for name, data in files.items():
        for path in (os.path.join(bdmv, name), os.path.join(bdmv, "BACKUP", name)):
            with open(path, "wb") as out:
                out.write(data)
    # Git keeps no empty folders; a hidden marker keeps them (listings skip hidden files).
    for folder in ("PLAYLIST", "CLIPINF", "STREAM", "BDJO", "JAR", "META", "AUXDATA"):
        path = os.path.join(bdmv, folder)
        if not [n for n in os.listdir(path) if not n.startswith(".")]:
            open(os.path.join(path, ".keep"), "w").close()


if __name__ == "__main__":
    main()
