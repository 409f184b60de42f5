#!/usr/bin/env python3
"""Writes the photos of the built-in team directory: resources/jpeg/<id>.jpg.

Each is a small drawn badge, not a picture of anyone: a coloured ground, a
round head and shoulders in two tones, and a pattern of the member's own
(stripes, dots, rings or a frame). The images are drawn here pixel by pixel
and written as baseline JPEG (JFIF, 4:4:4, the standard tables) by the small
encoder below, so nothing beyond Python is needed."""

import math
import os
import struct
import sys

SIZE = 96

# id: (ground, head, body, accent, pattern)
PHOTOS = {
    3101: ((74, 127, 181), (240, 212, 176), (47, 79, 111), (214, 232, 250), "stripes"),
    3102: ((188, 96, 72), (226, 190, 150), (92, 48, 40), (246, 214, 196), "dots"),
    3103: ((86, 150, 104), (204, 164, 124), (36, 84, 52), (210, 240, 214), "rings"),
    3104: ((130, 100, 170), (250, 224, 196), (70, 52, 100), (230, 218, 246), "frame"),
    3105: ((200, 160, 60), (170, 122, 90), (110, 80, 30), (250, 236, 190), "dots"),
    3106: ((60, 140, 150), (236, 200, 170), (30, 70, 80), (200, 240, 240), "stripes"),
}


def draw(ground, head, body, accent, pattern):
    img = [[ground] * SIZE for _ in range(SIZE)]
    c = SIZE / 2
    for y in range(SIZE):
        for x in range(SIZE):
            px = ground
            if pattern == "stripes" and (x + y) // 8 % 2 == 0:
                px = blend(ground, accent, 0.35)
            elif pattern == "dots" and (x % 16 - 8) ** 2 + (y % 16 - 8) ** 2 < 9:
                px = blend(ground, accent, 0.5)
            elif pattern == "rings" and int(math.hypot(x - c, y - c)) // 6 % 2 == 0:
                px = blend(ground, accent, 0.3)
            elif pattern == "frame" and (x < 6 or y < 6 or x >= SIZE - 6 or y >= SIZE - 6):
                px = accent
            # shoulders: the upper half of an ellipse at the bottom edge
            if ((x - c) / 36.0) ** 2 + ((y - SIZE) / 30.0) ** 2 <= 1.0:
                px = body
            # neck and head
            if abs(x - c) < 7 and 52 <= y < 70:
                px = blend(head, body, 0.25)
            if math.hypot(x - c, y - 38) <= 19:
                px = head
            img[y][x] = px
    return img


def blend(a, b, t):
    return tuple(int(round(a[i] * (1 - t) + b[i] * t)) for i in range(3))


# ---- baseline JPEG encoder ----

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
]

Q_LUMA = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
Q_CHROMA = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32

DC_LUMA_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_CHROMA_BITS = [0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_LUMA_BITS = [0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D]
AC_LUMA_VALUES = bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f0"
    "2433627282090a161718191a25262728292a3435363738393a43444546474849"
    "4a535455565758595a636465666768696a737475767778797a838485868788898a"
    "92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7"
    "c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9fa")
AC_CHROMA_BITS = [0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77]
AC_CHROMA_VALUES = bytes.fromhex(
    "00 01 02 03 11 04 05 21 31 06 12 41 51 07 61 71 13 22 32 81 08 14 42 91 a1 b1 c1 09 23 33 52 f0"
    "15 62 72 d1 0a 16 24 34 e1 25 f1 17 18 19 1a 26 27 28 29 2a 35 36 37 38 39 3a 43 44 45 46 47 48"
    "49 4a 53 54 55 56 57 58 59 5a 63 64 65 66 67 68 69 6a 73 74 75 76 77 78 79 7a 82 83 84 85 86 87"
    "88 89 8a 92 93 94 95 96 97 98 99 9a a2 a3 a4 a5 a6 a7 a8 a9 aa b2 b3 b4 b5 b6 b7 b8 b9 ba c2 c3"
    "c4 c5 c6 c7 c8 c9 ca d2 d3 d4 d5 d6 d7 d8 d9 da e2 e3 e4 e5 e6 e7 e8 e9 ea f2 f3 f4 f5 f6 f7 f8 f9 fa")


def huffman_codes(bits, values):
    codes = {}
    code = 0
    k = 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def write(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc = 0
                self.n = 0

    def flush(self):
        while self.n:
            self.write(1, 1)


COS = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]


def fdct(block):
    out = [0.0] * 64
    for v in range(8):
        for u in range(8):
            s = 0.0
            for y in range(8):
                cy = COS[v][y]
                row = block[y * 8:y * 8 + 8]
                for x in range(8):
                    s += row[x] * COS[u][x] * cy
            cu = 1 / math.sqrt(2) if u == 0 else 1.0
            cv = 1 / math.sqrt(2) if v == 0 else 1.0
            out[v * 8 + u] = 0.25 * cu * cv * s
    return out


def magnitude(value):
    length = abs(value).bit_length()
    bits = value if value >= 0 else value + (1 << length) - 1
    return length, bits


def encode_block(writer, block, quant, previous_dc, dc_codes, ac_codes):
    coefficients = fdct(block)
    q = [int(round(coefficients[ZIGZAG[i]] / quant[ZIGZAG[i]])) for i in range(64)]
    diff = q[0] - previous_dc
    length, bits = magnitude(diff)
    writer.write(*dc_codes[length])
    if length:
        writer.write(bits, length)
    run = 0
    for i in range(1, 64):
        if q[i] == 0:
            run += 1
            continue
        while run > 15:
            writer.write(*ac_codes[0xF0])
            run -= 16
        length, bits = magnitude(q[i])
        writer.write(*ac_codes[(run << 4) | length])
        writer.write(bits, length)
        run = 0
    if run:
        writer.write(*ac_codes[0x00])
    return q[0]


def segment(marker, payload):
    return struct.pack(">HH", marker, len(payload) + 2) + payload


def encode_jpeg(img):
    height, width = len(img), len(img[0])
    planes = [[], [], []]
    for row in img:
        for r, g, b in row:
            planes[0].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
            planes[1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
            planes[2].append(0.5 * r - 0.418688 * g - 0.081312 * b)

    out = bytearray(b"\xFF\xD8")
    out += segment(0xFFE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += segment(0xFFDB, b"\x00" + bytes(Q_LUMA[z] for z in ZIGZAG)
                   + b"\x01" + bytes(Q_CHROMA[z] for z in ZIGZAG))
    out += segment(0xFFC0, struct.pack(">BHHB", 8, height, width, 3)
                   + b"\x01\x11\x00\x02\x11\x01\x03\x11\x01")
    tables = bytearray()
    for cls_id, bits, values in ((0x00, DC_LUMA_BITS, DC_VALUES), (0x10, AC_LUMA_BITS, AC_LUMA_VALUES),
                                 (0x01, DC_CHROMA_BITS, DC_VALUES), (0x11, AC_CHROMA_BITS, AC_CHROMA_VALUES)):
        assert sum(bits) == len(values)
        tables += bytes([cls_id]) + bytes(bits) + bytes(values)
    out += segment(0xFFC4, bytes(tables))
    out += segment(0xFFDA, b"\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00")

    luma = (Q_LUMA, huffman_codes(DC_LUMA_BITS, DC_VALUES), huffman_codes(AC_LUMA_BITS, AC_LUMA_VALUES))
    chroma = (Q_CHROMA, huffman_codes(DC_CHROMA_BITS, DC_VALUES), huffman_codes(AC_CHROMA_BITS, AC_CHROMA_VALUES))
    writer = BitWriter()
    dc = [0, 0, 0]
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            for c in range(3):
                block = [planes[c][min(by + y, height - 1) * width + min(bx + x, width - 1)]
                         for y in range(8) for x in range(8)]
                quant, dc_codes, ac_codes = luma if c == 0 else chroma
                dc[c] = encode_block(writer, block, quant, dc[c], dc_codes, ac_codes)
    writer.flush()
    out += writer.out
    out += b"\xFF\xD9"
    return bytes(out)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "jpeg")
    os.makedirs(root, exist_ok=True)
    for photo_id, (ground, head, body, accent, pattern) in sorted(PHOTOS.items()):
        path = os.path.join(root, "%d.jpg" % photo_id)
        with open(path, "wb") as f:
            f.write(encode_jpeg(draw(ground, head, body, accent, pattern)))
        print(path, file=sys.stderr)


if __name__ == "__main__":
    main()
