#!/usr/bin/env python3
"""Compares two PNG pictures of the same size, channel by channel.

    compare-png.py [--limit L] A.png B.png [A2.png B2.png ...]

Prints, for each pair, the mean absolute difference of each channel in 0-255 units and
the largest single difference, and exits 1 when any channel's mean reaches the limit (1.0
by default: 1/255 of the range), 2 when a file cannot be read or the sizes differ. Reads
8-bit grey, RGB and RGBA PNGs that are not interlaced (what vantor-capture writes) with
the standard library alone.
"""
import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


class PngError(Exception):
    pass


def read_png(path):
    """Returns (width, height, channels, rows), rows a list of bytearrays."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise PngError(f"{path}: not a PNG file")
    pos = 8
    header = None
    compressed = bytearray()
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise PngError(f"{path}: truncated")
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    if header is None:
        raise PngError(f"{path}: no header")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in CHANNELS or interlace != 0:
        raise PngError(f"{path}: only 8-bit grey, RGB or RGBA without interlacing is read "
                       f"(depth {depth}, colour type {colour}, interlace {interlace})")
    channels = CHANNELS[colour]
    try:
        raw = zlib.decompress(bytes(compressed))
    except zlib.error as e:
        raise PngError(f"{path}: {e}")
    stride = width * channels
    if len(raw) < height * (stride + 1):
        raise PngError(f"{path}: image data too short")
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        row = bytearray(raw[start + 1:start + 1 + stride])
        unfilter(kind, row, previous, channels, path)
        rows.append(row)
        previous = row
    return width, height, channels, rows


def unfilter(kind, row, up, bpp, path):
    n = len(row)
    if kind == 0:
        return
    if kind == 1:
        for i in range(bpp, n):
            row[i] = (row[i] + row[i - bpp]) & 255
    elif kind == 2:
        for i in range(n):
            row[i] = (row[i] + up[i]) & 255
    elif kind == 3:
        for i in range(n):
            left = row[i - bpp] if i >= bpp else 0
            row[i] = (row[i] + ((left + up[i]) >> 1)) & 255
    elif kind == 4:
        for i in range(n):
            a = row[i - bpp] if i >= bpp else 0
            b = up[i]
            c = up[i - bpp] if i >= bpp else 0
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
            row[i] = (row[i] + pred) & 255
    else:
        raise PngError(f"{path}: unknown filter type {kind}")


def compare(path_a, path_b):
    wa, ha, ca, rows_a = read_png(path_a)
    wb, hb, cb, rows_b = read_png(path_b)
    if (wa, ha, ca) != (wb, hb, cb):
        raise PngError(f"{path_a} is {wa}x{ha}x{ca}, {path_b} is {wb}x{hb}x{cb}")
    sums = [0] * ca
    largest = 0
    for row_a, row_b in zip(rows_a, rows_b):
        for c in range(ca):
            diffs = [abs(x - y) for x, y in zip(row_a[c::ca], row_b[c::ca])]
            sums[c] += sum(diffs)
            largest = max(largest, max(diffs, default=0))
    return [s / (wa * ha) for s in sums], largest


def main(argv):
    limit = 1.0
    if len(argv) >= 2 and argv[0] == "--limit":
        limit = float(argv[1])
        argv = argv[2:]
    if not argv or len(argv) % 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    status = 0
    for a, b in zip(argv[0::2], argv[1::2]):
        try:
            means, largest = compare(a, b)
        except (OSError, PngError) as e:
            print(f"compare-png: {e}", file=sys.stderr)
            return 2
        verdict = "ok" if max(means) < limit else "DIFFERENT"
        figures = " ".join(f"{m:.5f}" for m in means)
        print(f"{a} vs {b}: mean abs difference per channel {figures} (of 255; "
              f"largest {largest}) {verdict}")
        if verdict != "ok":
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
