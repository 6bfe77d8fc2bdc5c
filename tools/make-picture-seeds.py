#!/usr/bin/env python3
"""Writes the small hand-made pictures of the picture fuzzer's seed folder.

Each file exercises one corner of the decoder: the packaged marker, run-length escapes, bit
fields, the old core header, top-down rows, a file cut short. Run from the repository root:
    tools/make-picture-seeds.py fuzz/seeds/fuzz_picture
"""
import os
import struct
import sys


def bitmap(width, height, bits, pixels, compression=0, palette=(), header_size=40,
           masks=(), colours_used=0, marker=False):
    if header_size == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
        table = b''.join(struct.pack('<BBB', b, g, r) for r, g, b in palette)
    else:
        info = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, bits, compression,
                           len(pixels), 2835, 2835, colours_used, 0)
        if header_size >= 52:
            info += b''.join(struct.pack('<I', m) for m in masks)
            info = info.ljust(header_size, b'\0')
        else:
            info = info.ljust(header_size, b'\0') + b''.join(struct.pack('<I', m) for m in masks)
        table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    offset = 14 + len(info) + len(table)
    head = b'BM' + struct.pack('<III', offset + len(pixels), 0, offset)
    return (b'ZQ' if marker else b'') + head + info + table + bytes(pixels)


GREYS = [(i * 17, i * 17, i * 17) for i in range(16)]

SEEDS = {
    # Width 9: odd rows; an encoded run, end of line, delta, an absolute run with its pad byte.
    'packaged_rle4_odd_width.sb1': bitmap(
        9, 4, 4, [9, 0x12, 0, 0, 0, 2, 3, 1, 0, 5, 0xAB, 0xCD, 0xE0, 0, 4, 0x77, 0, 1],
        compression=2, palette=GREYS, marker=True),
    # A run that wraps into the next row, a delta, an end of line in mid-row, end of bitmap.
    'rle8_wrap_delta.bmp': bitmap(
        6, 4, 8, [8, 1, 0, 2, 1, 1, 2, 2, 0, 0, 0, 3, 4, 5, 6, 0, 0, 1],
        compression=1, palette=GREYS + [(255, 0, 0)], colours_used=17),
    'rle8_cut_short.bmp': bitmap(
        6, 4, 8, [3, 1, 0, 9, 1, 2, 3], compression=1, palette=GREYS),
    'bitfields_v5_32bit.bmp': bitmap(
        2, 2, 32, [0x30, 0x20, 0x10, 0xAA] * 4, compression=3, header_size=124,
        masks=(0x000000FF, 0x0000FF00, 0x00FF0000)),
    'bitfields_444_16bit.bmp': bitmap(
        3, 1, 16, [0x5F, 0x0A, 0, 0x0F, 0xFF, 0xFF, 0, 0], compression=3,
        masks=(0x0F00, 0x00F0, 0x000F)),
    'rgb555_16bit.bmp': bitmap(2, 2, 16, [0xFF, 0x7F, 0x00, 0x02, 0x00, 0x04, 0x01, 0x00]),
    'core_header_1bit.bmp': bitmap(
        10, 2, 1, [0xA0, 0xC0, 0, 0, 0xFF, 0x40, 0, 0], header_size=12,
        palette=[(0, 0, 255), (255, 255, 255)]),
    'topdown_24bit.bmp': bitmap(1, -2, 24, [0, 0, 0xFF, 0, 0xFF, 0x80, 0, 0]),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else 'fuzz/seeds/fuzz_picture'
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
