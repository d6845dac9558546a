#!/usr/bin/env python3
"""Draws the program's icons as PNG files: the application icon (two
counter-rotating rings with four stations) and the three indicator lamps
(green, grey, red). Run it in this folder to rebuild them; it needs nothing
beyond the Python standard library."""
import math
import struct
import zlib

SUPERSAMPLE = 4


def write_png(path, size, pixels):
    raw = b"".join(
        b"\x00" + bytes(v for px in pixels[y * size:(y + 1) * size] for v in px)
        for y in range(size))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def render(size, shade):
    """shade(x, y) -> (r, g, b, a) with x, y in 0..1; averaged over a grid."""
    out = []
    n = SUPERSAMPLE
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = shade((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] > 0:
                px_rgb = [min(255, round(acc[i] / acc[3])) for i in range(3)]
            else:
                px_rgb = [0, 0, 0]
            out.append((*px_rgb, min(255, round(alpha * 255))))
    return out


def lamp(colour):
    def shade(x, y):
        dx, dy = x - 0.5, y - 0.5
        d = math.hypot(dx, dy)
        if d > 0.44:
            return (0, 0, 0, 0)
        if d > 0.38:
            return (40, 40, 40, 1)  # rim
        # A highlight towards the top left gives the lamp its dome.
        hl = max(0.0, 1.0 - math.hypot(x - 0.38, y - 0.36) / 0.22)
        r, g, b = colour
        k = 0.75 + 0.25 * (1 - d / 0.38)
        return (min(255, r * k + 255 * hl * 0.6), min(255, g * k + 255 * hl * 0.6),
                min(255, b * k + 255 * hl * 0.6), 1)
    return shade


def application(x, y):
    dx, dy = x - 0.5, y - 0.5
    d = math.hypot(dx, dy)
    # Four stations sit on the rings at the diagonals.
    for k in range(4):
        ang = math.pi / 4 + k * math.pi / 2
        sx, sy = 0.5 + 0.34 * math.cos(ang), 0.5 + 0.34 * math.sin(ang)
        if abs(x - sx) < 0.09 and abs(y - sy) < 0.09:
            if abs(x - sx) > 0.065 or abs(y - sy) > 0.065:
                return (20, 20, 20, 1)
            return (235, 235, 235, 1)
    if 0.39 < d < 0.46:
        return (20, 70, 170, 1)    # primary ring
    if 0.24 < d < 0.30:
        return (230, 130, 20, 1)   # secondary ring
    if d < 0.15:
        return (20, 70, 170, 1)
    return (0, 0, 0, 0)


if __name__ == "__main__":
    write_png("application.png", 32, render(32, application))
    write_png("application_64.png", 64, render(64, application))
    write_png("led_green.png", 16, render(16, lamp((40, 200, 60))))
    write_png("led_grey.png", 16, render(16, lamp((150, 150, 150))))
    write_png("led_red.png", 16, render(16, lamp((220, 40, 30))))
