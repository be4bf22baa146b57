#!/usr/bin/env python3
"""Looks at what a virtual X screen shows (Xvfb's XWD picture, see with-display.sh).

  screen-check.py png XWD OUT.png
      writes the picture as a PNG.
  screen-check.py loading XWD [FRAMEWxFRAMEH]
      the loading picture: a bar over black. Passes when the bar sits where the frame
      (default 1920x1080), scaled to the screen with its shape kept, puts it.
  screen-check.py picture XWD [FRAMEWxFRAMEH]
      the show: passes when the picture covers the frame's rectangle on the screen (no
      cut-off side: each edge band of the rectangle has lit pixels) and the bars around it,
      if any, are black.

Prints what it measured; exit status 0 when the check passes, 1 when not, 2 on bad input.
"""
import struct
import sys
import zlib

BAR_COLOUR_MIN = 24  # a pixel brighter than this in any channel is lit


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel != 32 or depth < 24:
        raise ValueError(f"{path}: {bits_per_pixel} bits per pixel, depth {depth}: only 24-bit screens are read")
    start = header_size + ncolors * 12
    pixels = data[start:start + bytes_per_line * height]
    if len(pixels) < bytes_per_line * height:
        raise ValueError(f"{path}: the picture is cut short")
    # Rows top first, as RGB triples.
    rows = []
    for y in range(height):
        row = pixels[y * bytes_per_line:y * bytes_per_line + width * 4]
        if byte_order == 0:  # least significant byte first: B G R X
            rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, len(row), 4)])
        else:
            rows.append([(row[i + 1], row[i + 2], row[i + 3]) for i in range(0, len(row), 4)])
    return width, height, rows


def write_png(path, width, height, rows):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def fit(frame_w, frame_h, area_w, area_h):
    """Where the frame lands on the screen, top-down: x, y, width, height (as the show scales)."""
    if area_w * frame_h <= area_h * frame_w:
        w, h = area_w, (area_w * frame_h * 2 + frame_w) // (frame_w * 2)
    else:
        w, h = (area_h * frame_w * 2 + frame_h) // (frame_h * 2), area_h
    return (area_w - w) // 2, area_h - (area_h - h) // 2 - h, w, h


def lit(p):
    return max(p) > BAR_COLOUR_MIN


def lit_box(rows):
    xs, ys = [], []
    for y, row in enumerate(rows):
        for x, p in enumerate(row):
            if lit(p):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def check_loading(width, height, rows, frame):
    fw, fh = frame
    rx, ry, rw, rh = fit(fw, fh, width, height)
    s = rw / fw
    # The bar in frame pixels, bottom-up: the middle third, 1/10 below the centre.
    bar_w, bar_h = fw // 3, max(2, fh // 120)
    bx, by = (fw - bar_w) // 2, fh // 2 - fh // 10
    expect = (rx + bx * s, ry + (fh - by - bar_h) * s, rx + (bx + bar_w) * s, ry + (fh - by) * s)
    box = lit_box(rows)
    print(f"screen {width}x{height}, frame {fw}x{fh} shown at {rw}x{rh}+{rx}+{ry}")
    print("expected bar: %.1f,%.1f to %.1f,%.1f" % expect)
    if box is None:
        print("nothing lit: no loading bar on the screen")
        return False
    print("lit pixels:   %d,%d to %d,%d" % box)
    return all(abs(a - b) <= 2.0 for a, b in zip(box, expect))


def check_picture(width, height, rows, frame):
    rx, ry, rw, rh = fit(frame[0], frame[1], width, height)
    print(f"screen {width}x{height}, frame {frame[0]}x{frame[1]} shown at {rw}x{rh}+{rx}+{ry}")
    ok = True
    band = max(2, min(rw, rh) // 20)

    def share(x0, y0, x1, y1):
        total = hits = 0
        for y in range(max(0, y0), min(height, y1)):
            for x in range(max(0, x0), min(width, x1), 2):
                total += 1
                hits += lit(rows[y][x])
        return hits / total if total else 0.0

    edges = {
        "left": share(rx, ry, rx + band, ry + rh), "right": share(rx + rw - band, ry, rx + rw, ry + rh),
        "top": share(rx, ry, rx + rw, ry + band), "bottom": share(rx, ry + rh - band, rx + rw, ry + rh),
    }
    for name, value in edges.items():
        print(f"{name} band of the picture: {100 * value:.1f}% lit")
        ok = ok and value > 0.02
    bars = []
    if ry > 0:
        bars += [share(0, 0, width, ry), share(0, ry + rh, width, height)]
    if rx > 0:
        bars += [share(0, 0, rx, height), share(rx + rw, 0, width, height)]
    for value in bars:
        print(f"bar: {100 * value:.2f}% lit")
        ok = ok and value == 0.0
    return ok


def main(argv):
    if len(argv) < 3 or argv[1] not in ("png", "loading", "picture"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        width, height, rows = read_xwd(argv[2])
    except (OSError, ValueError, struct.error) as error:
        print(f"screen-check: {error}", file=sys.stderr)
        return 2
    if argv[1] == "png":
        write_png(argv[3], width, height, rows)
        return 0
    frame = (1920, 1080)
    if len(argv) > 3:
        frame = tuple(int(v) for v in argv[3].split("x"))
    ok = (check_loading if argv[1] == "loading" else check_picture)(width, height, rows, frame)
    print("ok" if ok else "FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
