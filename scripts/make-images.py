#!/usr/bin/env python3
"""Draws the program's images into resources/: toolbar images by command id,
status-bar icons, the splash and tips bitmaps, the waiting animation and the
progress window's animations.

Run it after changing a drawing; the images it writes are committed."""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[list(bg) for _ in range(w)] for _ in range(h)]

    def _cover(self, inside, box=None):
        """Blends a shape given as inside(x, y) in pixel units."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                n = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            n += 1
                if n:
                    yield x, y, n / (SS * SS)

    def blend(self, x, y, color, a):
        r, g, b = color[:3]
        ca = (color[3] / 255.0 if len(color) > 3 else 1.0) * a
        p = self.px[y][x]
        da = p[3] / 255.0
        oa = ca + da * (1 - ca)
        if oa <= 0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * ca + p[i] * da * (1 - ca)) / oa
        p[3] = oa * 255

    def shape(self, inside, color, box=None):
        for x, y, a in list(self._cover(inside, box)):
            self.blend(x, y, color, a)

    def rect(self, x0, y0, x1, y1, color):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, (x0, y0, x1, y1))

    def frame(self, x0, y0, x1, y1, color, t=1):
        self.rect(x0, y0, x1, y0 + t, color)
        self.rect(x0, y1 - t, x1, y1, color)
        self.rect(x0, y0, x0 + t, y1, color)
        self.rect(x1 - t, y0, x1, y1, color)

    def circle(self, cx, cy, r, color):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color, (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, t, color, a0=0, a1=360):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if not (r - t <= d <= r):
                return False
            ang = math.degrees(math.atan2(-(y - cy), x - cx)) % 360
            return a0 <= ang <= a1 if a0 <= a1 else (ang >= a0 or ang <= a1)
        self.shape(inside, color, (cx - r, cy - r, cx + r, cy + r))

    def poly(self, pts, color):
        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.shape(inside, color, (min(xs), min(ys), max(xs) + 1, max(ys) + 1))

    def line(self, xa, ya, xb, yb, t, color):
        dx, dy = xb - xa, yb - ya
        ln = math.hypot(dx, dy) or 1
        def inside(x, y):
            u = ((x - xa) * dx + (y - ya) * dy) / (ln * ln)
            u = max(0.0, min(1.0, u))
            px, py = xa + u * dx, ya + u * dy
            return math.hypot(x - px, y - py) <= t / 2
        self.shape(inside, color, (min(xa, xb) - t, min(ya, yb) - t, max(xa, xb) + t, max(ya, yb) + t))

    def gradient(self, top, bottom):
        for y in range(self.h):
            f = y / max(1, self.h - 1)
            c = [top[i] * (1 - f) + bottom[i] * f for i in range(3)]
            for x in range(self.w):
                self.px[y][x] = [c[0], c[1], c[2], 255]

    def rows(self):
        for row in self.px:
            yield bytes(b for p in row for b in (int(round(min(255, max(0, v)))) for v in p))

    def png(self, path):
        raw = b"".join(b"\x00" + r for r in self.rows())
        def chunk(tag, data):
            return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
        data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


# Colours.
INK = (40, 48, 64)
BLUE = (45, 110, 190)
LIGHTBLUE = (120, 175, 235)
GREEN = (50, 150, 80)
LEAF = (110, 190, 90)
RED = (200, 55, 45)
YELLOW = (240, 190, 40)
PAPER = (250, 250, 245)
GREY = (140, 145, 155)
BROWN = (150, 100, 55)


def page(c, x0=3, y0=1, x1=13, y1=15):
    c.rect(x0, y0, x1, y1, PAPER)
    c.frame(x0, y0, x1, y1, GREY)


def server(c, x=2, y=2):
    c.rect(x, y, x + 11, y + 12, (90, 100, 120))
    for i in range(3):
        c.rect(x + 1, y + 1 + i * 4, x + 10, y + 4 + i * 4, (170, 180, 195))
        c.rect(x + 7, y + 2 + i * 4, x + 9, y + 3 + i * 4, LEAF)


def arrow(c, direction, color=BLUE):
    if direction == "left":
        c.poly([(2, 8), (8, 2), (8, 5.5), (14, 5.5), (14, 10.5), (8, 10.5), (8, 14)], color)
    elif direction == "right":
        c.poly([(14, 8), (8, 2), (8, 5.5), (2, 5.5), (2, 10.5), (8, 10.5), (8, 14)], color)
    elif direction == "up":
        c.poly([(8, 2), (14, 8), (10.5, 8), (10.5, 14), (5.5, 14), (5.5, 8), (2, 8)], color)


def star(c, cx, cy, r, color):
    pts = []
    for i in range(10):
        a = math.radians(-90 + i * 36)
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    c.poly(pts, color)


def funnel(c, color=BLUE):
    c.poly([(1.5, 2), (14.5, 2), (9.5, 8), (9.5, 14), (6.5, 12), (6.5, 8)], color)


def tiny_tree(c, x, y, s=1.0):
    """A root with two children, the program's emblem."""
    c.line(x + 8 * s, y + 4 * s, x + 4 * s, y + 12 * s, 1.2 * s, INK)
    c.line(x + 8 * s, y + 4 * s, x + 12 * s, y + 12 * s, 1.2 * s, INK)
    c.circle(x + 8 * s, y + 4 * s, 2.6 * s, GREEN)
    c.circle(x + 4 * s, y + 12 * s, 2.3 * s, LEAF)
    c.circle(x + 12 * s, y + 12 * s, 2.3 * s, LEAF)


def draw_command(cid):
    c = Canvas(16, 16)
    if cid == 32845:  # new server profile
        server(c, 1, 3)
        c.rect(10, 0, 16, 6, (0, 0, 0, 0))
        c.rect(12, 0, 14, 7, YELLOW)
        c.rect(9.5, 2.5, 16, 4.5, YELLOW)
    elif cid == 57635:  # cut
        c.line(4, 1, 11, 10, 1.6, GREY)
        c.line(12, 1, 5, 10, 1.6, GREY)
        c.ring(4, 12.5, 3, 1.4, RED)
        c.ring(12, 12.5, 3, 1.4, RED)
    elif cid == 57634:  # copy
        page(c, 1, 1, 10, 12)
        page(c, 6, 4, 15, 15)
        for i in range(3):
            c.rect(8, 7 + 2.5 * i, 13, 8 + 2.5 * i, LIGHTBLUE)
    elif cid == 57637:  # paste
        c.rect(2, 2, 12, 15, BROWN)
        c.rect(5, 1, 9, 4, GREY)
        page(c, 7, 6, 15, 15)
    elif cid == 32833:  # delete
        c.line(3, 3, 13, 13, 3, RED)
        c.line(13, 3, 3, 13, 3, RED)
    elif cid == 32842:  # properties
        page(c)
        for i in range(4):
            c.rect(5, 3.5 + 3 * i, 7, 5.5 + 3 * i, BLUE)
            c.rect(8, 4 + 3 * i, 11.5, 5 + 3 * i, GREY)
    elif cid == 32832:  # refresh
        c.ring(8, 8, 6.5, 2, GREEN, 20, 300)
        c.poly([(10, 1), (15, 5), (9.5, 7)], GREEN)
    elif cid == 32861:  # abort
        c.poly([(5, 1), (11, 1), (15, 5), (15, 11), (11, 15), (5, 15), (1, 11), (1, 5)], RED)
        c.rect(4, 7, 12, 9, PAPER)
    elif cid == 32899:  # back
        arrow(c, "left")
    elif cid == 32900:  # forward
        arrow(c, "right")
    elif cid == 32863:  # up one level
        arrow(c, "up", GREEN)
    elif cid == 32870:  # favourites
        star(c, 8, 8.5, 7.5, YELLOW)
    elif cid == 32866:  # go to DN
        tiny_tree(c, 0, 0)
        c.poly([(9, 9), (15, 12), (12, 12.5), (13.5, 15.5), (12, 16), (10.5, 13), (9, 15)], INK)
    elif cid == 57664:  # about
        c.circle(8, 8, 7, BLUE)
        c.rect(7, 7, 9, 13, PAPER)
        c.circle(8, 4.5, 1.2, PAPER)
    elif cid == 32855:  # export LDIF
        page(c, 1, 1, 11, 15)
        for i in range(4):
            c.rect(3, 4 + 2.5 * i, 9, 5 + 2.5 * i, GREY)
        c.poly([(16, 9), (11, 4), (11, 7), (7, 7), (7, 11), (11, 11), (11, 14)], GREEN)
    elif cid == 32849:  # entry templates
        page(c)
        c.frame(5, 3, 11, 7, BLUE)
        c.frame(5, 9, 11, 13, BLUE)
    elif cid == 32850:  # rename
        c.rect(1, 5, 15, 11, PAPER)
        c.frame(1, 5, 15, 11, GREY)
        c.rect(3, 7, 8, 9, INK)
        c.rect(10, 3, 11, 13, INK)
    elif cid == 32922:  # apply filter
        funnel(c)
    elif cid == 32925:  # remove filter
        funnel(c, GREY)
        c.line(9, 9, 15, 15, 2, RED)
        c.line(15, 9, 9, 15, 2, RED)
    elif cid in (32928, 32927):  # sort ascending / descending
        small, big = (2, 7) if cid == 32928 else (7, 2)
        c.rect(2, 1, 4, 15, INK)
        c.poly([(0, 11), (6, 11), (3, 15)], INK)
        for i, w in enumerate((3, 5, 7)):
            ww = w if cid == 32928 else 10 - w
            c.rect(7, 2 + 4.5 * i, 7 + ww, 4.5 + 4.5 * i, BLUE)
    elif cid == 32929:  # schema viewer
        c.rect(1, 1, 15, 15, PAPER)
        c.frame(1, 1, 15, 15, GREY)
        c.rect(1, 1, 15, 4, BLUE)
        for i in range(3):
            c.rect(3, 6 + 3 * i, 5, 7.5 + 3 * i, GREEN)
            c.rect(6, 6.3 + 3 * i, 13, 7.2 + 3 * i, GREY)
    else:
        raise SystemExit("no drawing for command %d" % cid)
    return c


COMMANDS = [32845, 57635, 57634, 57637, 32833, 32842, 32832, 32861, 32899, 32900, 32863, 32870,
            32866, 57664, 32855, 32849, 32850, 32922, 32925, 32928, 32927, 32929]


def lock(closed):
    c = Canvas(16, 16)
    if closed:
        c.ring(8, 6.5, 4.5, 1.8, GREY, 0, 180)
        c.rect(3.5, 6.5, 5.3, 8, GREY)
        c.rect(10.7, 6.5, 12.5, 8, GREY)
    else:
        c.ring(11, 5, 4, 1.8, GREY, 0, 180)
        c.rect(13.2, 5, 15, 8, GREY)
    c.rect(2, 8, 14, 15, YELLOW if closed else (200, 200, 200))
    c.frame(2, 8, 14, 15, BROWN if closed else GREY)
    c.rect(7.2, 10, 8.8, 13, INK)
    return c


def list_button(iid):
    """The edit list's caption-bar buttons, 13 by 12."""
    c = Canvas(13, 12)
    if iid == 312:  # new
        c.rect(2, 1, 9, 11, PAPER)
        c.frame(2, 1, 9, 11, GREY)
        c.rect(8, 5, 13, 7, GREEN)
        c.rect(9.5, 3.5, 11.5, 8.5, GREEN)
    elif iid == 310:  # edit
        c.line(2.5, 10, 10.5, 2, 2.4, BLUE)
        c.poly([(1, 11.5), (1.5, 8.5), (4, 11)], INK)
    elif iid == 314:  # delete
        c.line(3, 2, 10, 10, 2, RED)
        c.line(10, 2, 3, 10, 2, RED)
    elif iid in (317, 320):  # move up / down
        up = iid == 317
        pts = [(6.5, 1), (12, 6.5), (8.5, 6.5), (8.5, 11), (4.5, 11), (4.5, 6.5), (1, 6.5)]
        if not up:
            pts = [(x, 12 - y) for x, y in pts]
        c.poly(pts, BLUE)
    else:
        raise SystemExit("no drawing for list button %d" % iid)
    return c


LIST_BUTTONS = [310, 312, 314, 317, 320]


def server_icon():
    c = Canvas(16, 16)
    server(c, 2, 2)
    return c


def app_icon(size):
    c = Canvas(size, size)
    s = size / 16.0
    c.circle(size / 2, size / 2, size / 2 - 0.5, (235, 242, 250))
    tiny_tree(c, 0, 0.5 * s, s)
    return c


# A 5 x 7 font for the splash texts.
FONT = {
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "2": ["01110", "10001", "00001", "00110", "01000", "10000", "11111"],
    "0": ["01110", "10011", "10101", "10101", "11001", "10001", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text(c, x, y, s, scale, color):
    for ch in s:
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == "1":
                    c.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale - 0.01 * scale,
                           y + (gy + 1) * scale, color)
        x += 6 * scale
    return x


def text_width(s, scale):
    return len(s) * 6 * scale - scale


def splash():
    w, h = 440, 260
    c = Canvas(w, h)
    c.gradient((28, 60, 110), (60, 130, 190))
    # A directory tree spreading from the root.
    nodes = {0: (355, 60), 1: (310, 130), 2: (400, 130), 3: (285, 200), 4: (335, 200), 5: (380, 200), 6: (420, 200)}
    for a, b in ((0, 1), (0, 2), (1, 3), (1, 4), (2, 5), (2, 6)):
        c.line(*nodes[a], *nodes[b], 3, (210, 230, 250, 200))
    for i, (x, y) in nodes.items():
        c.circle(x, y, 13 if i == 0 else 10, (250, 250, 250))
        c.circle(x, y, 10 if i == 0 else 7.5, GREEN if i == 0 else LEAF)
    text(c, 30, 70, "ARBOLITE", 5, (255, 255, 255))
    text(c, 32, 130, "LDAP DIRECTORY CLIENT", 2, (215, 230, 250))
    text(c, 32, 225, "VELLUMAR", 2, (190, 210, 235))
    c.frame(0, 0, w, h, (20, 40, 80))
    return c


def tips_bitmap():
    c = Canvas(48, 48)
    c.circle(24, 20, 14, YELLOW)
    c.circle(20, 16, 5, (255, 235, 150))
    c.rect(18, 32, 30, 36, GREY)
    c.rect(18, 37, 30, 40, GREY)
    c.rect(21, 41, 27, 44, INK)
    return c


def gif_frames(frames, w, h, palette, path):
    """Writes an animated GIF; LZW with a clear code before the code table grows."""
    def lzw(indices, min_size=8):
        clear, end = 1 << min_size, (1 << min_size) + 1
        size = min_size + 1
        out, bits, nbits = bytearray(), 0, 0
        def put(code):
            nonlocal bits, nbits
            bits |= code << nbits
            nbits += size
            while nbits >= 8:
                out.append(bits & 0xFF)
                bits >>= 8
                nbits -= 8
        put(clear)
        for i, v in enumerate(indices):
            put(v)
            if i % 250 == 249:
                put(clear)
        put(end)
        if nbits:
            out.append(bits & 0xFF)
        blocks = bytearray()
        for i in range(0, len(out), 255):
            part = out[i:i + 255]
            blocks += bytes([len(part)]) + part
        return bytes([min_size]) + bytes(blocks) + b"\x00"

    pal = bytearray()
    for col in palette + [(0, 0, 0)] * (256 - len(palette)):
        pal += bytes(col)
    data = b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF7, 0, 0) + bytes(pal)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for f in frames:
        data += b"\x21\xF9\x04\x00" + struct.pack("<H", 8) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0) + lzw(f)
    data += b"\x3B"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as fh:
        fh.write(data)


def waiting_animation():
    w, h, n = 48, 48, 12
    bg = (236, 236, 236)
    shades = [bg] + [tuple(int(bg[i] + (BLUE[i] - bg[i]) * k / 7) for i in range(3)) for k in range(1, 8)]
    frames = []
    for f in range(n):
        c = Canvas(w, h, bg + (255,))
        for i in range(n):
            age = (f - i) % n
            k = max(1, 7 - age) if age < 7 else 1
            a = math.radians(i * 360 / n - 90)
            c.circle(24 + 16 * math.cos(a), 24 + 16 * math.sin(a), 4, shades[k] + (255,))
        idx = []
        for row in c.px:
            for p in row:
                best = min(range(len(shades)), key=lambda j: sum((p[t] - shades[j][t]) ** 2 for t in range(3)))
                idx.append(best)
        frames.append(idx)
    gif_frames(frames, w, h, shades, os.path.join(ROOT, "animation", "392.gif"))


def quantized(c, palette):
    """The canvas's pixels as indexes of the nearest palette colours."""
    idx = []
    for row in c.px:
        for p in row:
            idx.append(min(range(len(palette)), key=lambda j: sum((p[t] - palette[j][t]) ** 2 for t in range(3))))
    return idx


def palette_of(colours, bg, steps=4):
    """The colours with their blends into the background (for smooth edges)."""
    pal = [bg]
    for col in colours:
        for k in range(1, steps + 1):
            pal.append(tuple(int(bg[i] + (col[i] - bg[i]) * k / steps) for i in range(3)))
    return pal


PC = (90, 100, 120)
SCREEN = (170, 200, 235)


def connecting_animation():
    """A computer reaching a server: dots run along the wire between them."""
    w, h, n = 48, 48, 8
    bg = (236, 236, 236)
    pal = palette_of([PC, SCREEN, (170, 180, 195), LEAF, BLUE, GREY], bg)
    frames = []
    for f in range(n):
        c = Canvas(w, h, bg + (255,))
        c.rect(2, 14, 16, 25, PC)
        c.rect(4, 16, 14, 23, SCREEN)
        c.rect(7, 25, 11, 28, PC)
        c.rect(4, 28, 14, 30, PC)
        server(c, 33, 12)
        c.rect(33, 24, 44, 34, PC)
        c.rect(34, 25, 43, 28, (170, 180, 195))
        c.rect(40, 26, 42, 27, LEAF)
        for i in range(5):
            c.circle(19 + i * 3, 22, 1.3, BLUE if (i - f) % n in (0, n - 1) else GREY)
        frames.append(quantized(c, pal))
    gif_frames(frames, w, h, pal, os.path.join(ROOT, "animation", "218.gif"))


def folder(c, x0, y0, color):
    c.poly([(x0, y0 + 3), (x0 + 6, y0 + 3), (x0 + 8, y0 + 5), (x0 + 16, y0 + 5), (x0 + 16, y0 + 16),
            (x0, y0 + 16)], color)
    c.rect(x0 + 1, y0 + 7, x0 + 15, y0 + 15, tuple(min(255, v + 40) for v in color))


def copying_animation():
    """Pages fly from one folder to the other."""
    w, h, n = 48, 48, 10
    bg = (236, 236, 236)
    pal = palette_of([YELLOW, (250, 230, 150), PAPER, GREY, INK], bg)
    frames = []
    for f in range(n):
        c = Canvas(w, h, bg + (255,))
        folder(c, 1, 26, YELLOW)
        folder(c, 31, 26, YELLOW)
        t = f / (n - 1)
        x = 5 + 28 * t
        y = 26 - 18 * math.sin(math.pi * t)
        c.rect(x, y, x + 9, y + 11, PAPER)
        c.frame(x, y, x + 9, y + 11, GREY)
        for k in range(3):
            c.rect(x + 2, y + 3 + k * 2.5, x + 7, y + 4 + k * 2.5, INK)
        frames.append(quantized(c, pal))
    gif_frames(frames, w, h, pal, os.path.join(ROOT, "animation", "198.gif"))


def exporting_animation():
    """A page fills line by line with text, then starts again."""
    w, h, n = 48, 48, 9
    bg = (236, 236, 236)
    pal = palette_of([PAPER, GREY, INK, BLUE], bg)
    frames = []
    for f in range(n):
        c = Canvas(w, h, bg + (255,))
        c.rect(10, 4, 38, 44, PAPER)
        c.frame(10, 4, 38, 44, GREY)
        for k in range(min(f, 8)):
            length = (24, 16, 20, 12, 22, 18, 14, 20)[k]
            c.rect(14, 9 + k * 4, 14 + length * (0.6 if k == 0 else 1) , 11 + k * 4, BLUE if k == 0 else INK)
        frames.append(quantized(c, pal))
    gif_frames(frames, w, h, pal, os.path.join(ROOT, "animation", "368.gif"))


def entry_icon(loaded):
    """The entry page's icon: a card with lines, greyed while its children
    are not loaded."""
    c = Canvas(32, 32)
    ink = BLUE if loaded else GREY
    c.rect(4, 5, 28, 27, PAPER)
    c.frame(4, 5, 28, 27, ink, 1.5)
    c.rect(4, 5, 28, 10, ink)
    for i in range(3):
        c.rect(8, 13 + i * 4, 24 - i * 4, 15 + i * 4, GREY)
    if not loaded:
        c.circle(24, 23, 6, YELLOW)
        c.rect(23, 19, 25, 24, INK)
        c.rect(23, 25, 25, 27, INK)
    return c


def attribute_icon(kind):
    """The value page's icon: a tag, plain, operational (a gear) or binary."""
    c = Canvas(32, 32)
    color = {"text": BLUE, "operational": GREY, "binary": GREEN}[kind]
    c.poly([(3, 10), (10, 4), (29, 4), (29, 28), (10, 28), (3, 22)], color)
    c.circle(9, 16, 2.2, PAPER)
    if kind == "binary":
        text(c, 12, 10.5, "01", 1.6, PAPER)
    elif kind == "operational":
        c.ring(20, 16, 5, 2.5, PAPER)
        for i in range(6):
            a = math.radians(i * 60)
            c.line(20 + 5 * math.cos(a), 16 + 5 * math.sin(a), 20 + 8 * math.cos(a), 16 + 8 * math.sin(a), 2.2, PAPER)
    else:
        text(c, 14, 11, "A", 2, PAPER)
    return c


def message_icon(error):
    """The message pages' icons: an error's red cross, an information's i."""
    c = Canvas(32, 32)
    c.circle(16, 16, 13, RED if error else BLUE)
    if error:
        c.line(10.5, 10.5, 21.5, 21.5, 3.2, PAPER)
        c.line(21.5, 10.5, 10.5, 21.5, 3.2, PAPER)
    else:
        c.circle(16, 9.5, 2, PAPER)
        c.rect(14.3, 13, 17.7, 24, PAPER)
    return c


def flag_images():
    """The value page's flag list: image 0 the flag does not hold, image 1
    it holds; white is the mask colour."""
    c = Canvas(32, 16, (255, 255, 255, 255))
    c.line(4.5, 8, 11.5, 8, 1.6, GREY)
    c.line(19, 8.5, 22, 11.5, 2, GREEN)
    c.line(22, 11.5, 28, 4.5, 2, GREEN)
    return c


def main():
    for cid in COMMANDS:
        draw_command(cid).png(os.path.join(ROOT, "image", "%d.png" % cid))
    lock(True).png(os.path.join(ROOT, "icon", "300.png"))
    lock(False).png(os.path.join(ROOT, "icon", "302.png"))
    server_icon().png(os.path.join(ROOT, "icon", "384.png"))
    for iid in LIST_BUTTONS:
        list_button(iid).png(os.path.join(ROOT, "icon", "%d.png" % iid))
    app_icon(32).png(os.path.join(ROOT, "icon", "138.png"))
    splash().png(os.path.join(ROOT, "bitmap", "381.png"))
    entry_icon(True).png(os.path.join(ROOT, "icon", "270.png"))
    entry_icon(False).png(os.path.join(ROOT, "icon", "294.png"))
    attribute_icon("text").png(os.path.join(ROOT, "icon", "432.png"))
    attribute_icon("operational").png(os.path.join(ROOT, "icon", "434.png"))
    attribute_icon("binary").png(os.path.join(ROOT, "icon", "436.png"))
    flag_images().png(os.path.join(ROOT, "bitmap", "362.png"))
    message_icon(True).png(os.path.join(ROOT, "icon", "274.png"))
    message_icon(False).png(os.path.join(ROOT, "icon", "276.png"))
    tips_bitmap().png(os.path.join(ROOT, "bitmap", "1170.png"))
    waiting_animation()
    connecting_animation()
    copying_animation()
    exporting_animation()


if __name__ == "__main__":
    main()
