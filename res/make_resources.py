#!/usr/bin/env python3
"""Turns the text art of art.txt into .cur and .ico files.

Cursors are 32 x 32 monochrome (AND and XOR masks, 1 bit per pixel);
the icon is 32 x 32, 32 bits per pixel with an AND mask for old readers.
"""
import struct
import sys


def read_art(path):
    items, cur = [], None
    for raw in open(path, encoding="ascii"):
        line = raw.rstrip("\n")
        if cur is None:
            if line.startswith("cursor ") or line.startswith("icon "):
                words = line.split()
                cur = {"kind": words[0], "name": words[1], "rows": [], "palette": {}}
                if words[0] == "cursor":
                    cur["hot"] = (int(words[3]), int(words[4]))
            continue
        if line == "end":
            if len(cur["rows"]) != 32 or any(len(r) != 32 for r in cur["rows"]):
                sys.exit(f"{cur['name']}: art must be 32 rows of 32 characters")
            items.append(cur)
            cur = None
        elif line.startswith("palette "):
            words = line.split()[1:]
            for k, v in zip(words[0::2], words[1::2]):
                cur["palette"][k] = int(v, 16)
        else:
            cur["rows"].append(line)
    return items


def mask_rows(rows, test):
    """1-bit rows, bottom-up, each padded to 4 bytes."""
    out = b""
    for row in reversed(rows):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if test(ch) else 0)
        out += struct.pack(">I", bits)
    return out


def cursor_image(rows):
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    # Opaque pixels: AND 0. XOR 1 makes white, 0 black; transparent: AND 1, XOR 0.
    xor = mask_rows(rows, lambda c: c == "o")
    and_ = mask_rows(rows, lambda c: c == ".")
    return header + palette + xor + and_


def icon_image(rows, palette):
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b""
    for row in reversed(rows):
        for ch in row:
            if ch == ".":
                pixels += b"\0\0\0\0"
            else:
                rgb = palette[ch]
                pixels += bytes([rgb & 255, (rgb >> 8) & 255, rgb >> 16, 255])
    and_ = mask_rows(rows, lambda c: c == ".")
    return header + pixels + and_


def write_file(path, kind, image, hot=(0, 0), bitcount=32):
    if kind == "cursor":
        head = struct.pack("<HHH", 0, 2, 1)
        entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hot[0], hot[1], len(image), 22)
    else:
        head = struct.pack("<HHH", 0, 1, 1)
        entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, bitcount, len(image), 22)
    with open(path, "wb") as f:
        f.write(head + entry + image)


def main():
    art, outdir = sys.argv[1], sys.argv[2]
    for item in read_art(art):
        target = f"{outdir}/{item['name']}"
        if item["kind"] == "cursor":
            write_file(target, "cursor", cursor_image(item["rows"]), item["hot"])
        else:
            write_file(target, "icon", icon_image(item["rows"], item["palette"]))


if __name__ == "__main__":
    main()
