#!/usr/bin/env python3
"""Writes the regression seeds of the PNG and menu fuzz targets that are built rather than
captured: inputs whose declared sizes are far beyond what their bytes hold.

    tools/make_fuzz_seeds.py [REPO]     (default: the folder above this script)
"""
import os
import struct
import sys
import zlib


def chunk(kind, data, claimed=None):
    length = len(data) if claimed is None else claimed
    body = kind + data
    return struct.pack(">I", length) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_claiming(width, height, colour_type):
    """A PNG whose IHDR claims width x height over an IDAT of a few bytes."""
    ihdr = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    plte = chunk(b"PLTE", bytes(3)) if colour_type == 3 else b""
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + plte +
            chunk(b"IDAT", zlib.compress(bytes(100))) + chunk(b"IEND", b""))


def segment(kind, body, pts=0x2BF20, dts=0):
    return b"IG" + struct.pack(">IIBH", pts, dts, kind, len(body)) + body


def menu_of_huge_objects(created, count):
    """The minimal menu with `count` objects of 4096 x 4096 carrying no run-length data:
    a reader or dump that decodes them does 16 M pixels of work per 24 bytes of file."""
    end = created.rfind(b"IG")
    objects = b"".join(
        segment(0x15, struct.pack(">HBB", n, 0, 0xC0) + (4).to_bytes(3, "big") + struct.pack(">HH", 4096, 4096),
                dts=0x2BF20)
        for n in range(count))
    return created[:end] + objects + created[end:]


def main():
    repo = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    corpus = os.path.join(repo, "fuzz", "corpus")
    with open(os.path.join(corpus, "menu", "created.mnu"), "rb") as f:
        created = f.read()
    seeds = {
        os.path.join(corpus, "png", "png-ihdr-claims-8000x8000-rgba.png"): png_claiming(8000, 8000, 6),
        os.path.join(corpus, "png", "png-ihdr-claims-4096x4096-palette.png"): png_claiming(4096, 4096, 3),
        os.path.join(corpus, "menu", "256-objects-of-4096x4096-without-data.mnu"): menu_of_huge_objects(created, 256),
    }
    for path, data in seeds.items():
        with open(path, "wb") as f:
            f.write(data)
        print(path, len(data))


if __name__ == "__main__":
    main()
