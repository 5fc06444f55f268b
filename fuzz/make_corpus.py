#!/usr/bin/env python3
"""Writes the seed corpus of the BMP fuzz target: small files of every header
size, bit depth and compression, and damaged variants (truncated, huge or
negative dimensions, bad palettes, bad run-length codes, odd bit fields).
Run from the repository root: fuzz/make_corpus.py"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp")


def file_header(size, offset):
    return b"BM" + struct.pack("<IHHI", size, 0, 0, offset)


def info(header_size, w, h, bits, compression=0, image_size=0, colours=0, masks=None):
    body = struct.pack("<iiHHIIiiII", w, h, 1, bits, compression, image_size, 2835, 2835, colours, 0)
    extra = b""
    if header_size >= 52:
        m = masks or (0xF800, 0x07E0, 0x001F, 0)
        extra += struct.pack("<III", m[0], m[1], m[2])
    if header_size >= 56:
        extra += struct.pack("<I", (masks or (0, 0, 0, 0))[3])
    head = struct.pack("<I", header_size) + body + extra
    return head + b"\0" * (header_size - len(head))


def core(w, h, bits):
    return struct.pack("<IHHHH", 12, w, h, 1, bits)


def bmp(header, palette=b"", pixels=b"", trailing_masks=b""):
    offset = 14 + len(header) + len(trailing_masks) + len(palette)
    data = header + trailing_masks + palette + pixels
    return file_header(14 + len(data), offset) + data


def rows(w, h, bits, fill=0x5A):
    stride = (w * bits + 31) // 32 * 4
    return bytes([fill]) * (stride * abs(h))


def palette(n, quad=True):
    out = b""
    for i in range(n):
        out += bytes([i * 37 & 255, i * 91 & 255, i * 13 & 255]) + (b"\0" if quad else b"")
    return out


files = {}
for bits in (1, 4, 8, 16, 24, 32):
    pal = palette(1 << bits) if bits <= 8 else b""
    files[f"info40_{bits}bit.bmp"] = bmp(info(40, 5, 3, bits), pal, rows(5, 3, bits))
    files[f"info40_{bits}bit_topdown.bmp"] = bmp(info(40, 5, -3, bits), pal, rows(5, 3, bits))
    files[f"info40_{bits}bit_truncated.bmp"] = bmp(info(40, 5, 3, bits), pal, rows(5, 3, bits))[:-3]
for bits in (1, 4, 8, 24):
    pal = palette(1 << bits, quad=False) if bits <= 8 else b""
    files[f"core12_{bits}bit.bmp"] = bmp(core(4, 2, bits), pal, rows(4, 2, bits))
for size in (52, 56, 108, 124):
    files[f"v{size}_16bit_fields.bmp"] = bmp(info(size, 4, 2, 16, 3), b"", rows(4, 2, 16))
    files[f"v{size}_32bit.bmp"] = bmp(info(size, 4, 2, 32, 0), b"", rows(4, 2, 32))
# Bit fields after a 40-byte header, with odd masks.
for name, m in {"zero": (0, 0, 0), "overlap": (0xFFFF, 0xFFFF, 0xFFFF), "sparse": (0x8001, 0x0410, 0x0002)}.items():
    files[f"bitfields_{name}.bmp"] = bmp(info(40, 3, 3, 16, 3), b"", rows(3, 3, 16), struct.pack("<III", *m))
    files[f"bitfields32_{name}.bmp"] = bmp(info(40, 3, 3, 32, 3), b"", rows(3, 3, 32), struct.pack("<III", *m))
# Run-length data: good, unterminated, delta out of the picture, absolute run too long.
rle8 = bytes([3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 1])
files["rle8.bmp"] = bmp(info(40, 6, 2, 8, 1), palette(8), rle8)
files["rle8_unterminated.bmp"] = bmp(info(40, 6, 2, 8, 1), palette(8), rle8[:-4])
files["rle8_delta_far.bmp"] = bmp(info(40, 6, 2, 8, 1), palette(8), bytes([0, 2, 200, 200, 0, 1]))
files["rle8_absolute_long.bmp"] = bmp(info(40, 6, 2, 8, 1), palette(8), bytes([0, 255]) + b"\1" * 20)
files["rle4.bmp"] = bmp(info(40, 6, 2, 4, 2), palette(16), bytes([4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 0, 1]))
files["rle4_odd.bmp"] = bmp(info(40, 7, 3, 4, 2), palette(16), bytes([0, 3, 0x12, 0x30, 7, 0x11, 0, 1]))
# Palettes: none, too many colours, count beyond the file.
files["pal_missing.bmp"] = bmp(info(40, 4, 2, 8, colours=0), b"", rows(4, 2, 8))
files["pal_count_huge.bmp"] = bmp(info(40, 4, 2, 8, colours=0x7FFFFFFF), palette(2), rows(4, 2, 8))
files["pal_index_beyond.bmp"] = bmp(info(40, 4, 2, 8, colours=2), palette(2), rows(4, 2, 8, 0xFF))
# Dimensions: zero, negative width, huge, the extremes of int.
files["zero_width.bmp"] = bmp(info(40, 0, 3, 24), b"", b"")
files["zero_height.bmp"] = bmp(info(40, 3, 0, 24), b"", b"")
files["negative_width.bmp"] = bmp(info(40, -4, 2, 24), b"", rows(4, 2, 24))
files["huge_32bit.bmp"] = bmp(info(40, 0x7FFFFFFF, 0x7FFFFFFF, 32), b"", rows(1, 1, 32))
files["huge_min_height.bmp"] = bmp(info(40, 0x7FFFFFFF, -0x80000000, 24), b"", rows(1, 1, 24))
files["huge_rle.bmp"] = bmp(info(40, 30000, 30000, 8, 1), palette(2), bytes([0, 1]))
files["wide_1bit.bmp"] = bmp(info(40, 16385, 1, 1), palette(2), rows(16385, 1, 1))
# Headers: cut inside, unknown sizes, bad offsets and bit counts.
whole = bmp(info(40, 3, 2, 24), b"", rows(3, 2, 24))
for cut in (2, 6, 14, 18, 30, 53):
    files[f"cut_{cut}.bmp"] = whole[:cut]
for size in (0, 16, 39, 64, 200, 0xFFFFFFFF):
    h = bytearray(whole)
    h[14:18] = struct.pack("<I", size)
    files[f"header_size_{size}.bmp"] = bytes(h)
for offset in (0, 13, 0xFFFFFFFF):
    h = bytearray(whole)
    h[10:14] = struct.pack("<I", offset)
    files[f"offset_{offset}.bmp"] = bytes(h)
for bits in (0, 2, 7, 64, 0xFFFF):
    files[f"bits_{bits}.bmp"] = bmp(info(40, 3, 2, bits), b"", rows(3, 2, 24))
files["compression_unknown.bmp"] = bmp(info(40, 3, 2, 24, 9), b"", rows(3, 2, 24))
files["compression_jpeg.bmp"] = bmp(info(40, 3, 2, 24, 4), b"", b"\xff\xd8\xff")

os.makedirs(OUT, exist_ok=True)
for name, data in sorted(files.items()):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
print(len(files), "files in", OUT)
