#!/usr/bin/env python3
"""Draws the program's four small animations and writes them as uncompressed 8-bit AVI files
(one video stream, no sound: what the animation control plays) into res/:

  a0.avi  copying: a paper flies from one folder to another (48 x 48)
  a1.avi  searching: a magnifier circles over a page (24 x 24, it sits in a 24-pixel header box)
  a2.avi  deleting: a page is struck out and crumbles away (48 x 48)
  a3.avi  moving to the trash: a paper drops into the bin (48 x 48)

The top-left pixel of every frame is the key colour that the control shows as see-through, so
shapes have hard outer edges (anti-aliasing against a key colour would leave a fringe).
Run from anywhere: python3 res/tools/make_animations.py
"""
import math
import os
import struct
import sys
sys.dont_write_bytecode = True  # keep res/tools free of caches
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import Canvas, hexcolor  # noqa: E402
import make_pictures as pics  # noqa: E402

RES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
KEY = (255, 0, 255)
FRAMES = 20
FRAME_MS = 100


def small_page(c, cx, cy, w, h, angle=0.0, edge=pics.PAGE_EDGE):
    """A page centred at (cx, cy), turned by angle degrees."""
    a = math.radians(angle)
    ca, sa = math.cos(a), math.sin(a)

    def t(x, y):
        return (cx + x * ca - y * sa, cy + x * sa + y * ca)
    hw, hh = w / 2, h / 2
    fold = w * 0.32
    c.fill([t(-hw, -hh), t(hw - fold, -hh), t(hw, -hh + fold), t(hw, hh), t(-hw, hh)], edge)
    b = 1.6
    c.fill([t(-hw + b, -hh + b), t(hw - fold - b * 0.3, -hh + b), t(hw - b, -hh + fold + b * 0.3), t(hw - b, hh - b),
            t(-hw + b, hh - b)], pics.PAGE)
    y = -hh + fold + 2.5
    while y < hh - 3:
        c.fill([t(-hw + 3, y), t(hw - 3, y), t(hw - 3, y + 1.6), t(-hw + 3, y + 1.6)], pics.LINE)
        y += 4


def frame_copy(c, i):
    pics.folder(c, 1, 30, 21, 47)
    pics.folder(c, 27, 30, 47, 47)
    t = i / (FRAMES - 1)
    x = 11 + 26 * t
    y = 34 - 26 * math.sin(math.pi * t)
    small_page(c, x, y, 11, 14, angle=-25 + 50 * t)


def frame_search(c, i):
    small_page(c, 12, 12, 14, 18)
    a = 2 * math.pi * i / FRAMES
    cx, cy = 10.5 + 3.5 * math.cos(a), 10.5 + 3.5 * math.sin(a)
    c.line(cx + 3.5, cy + 3.5, cx + 8.5, cy + 8.5, 3.2, pics.INK)
    c.circle(cx, cy, 5.6, hexcolor('d8ecff'))
    c.ring(cx, cy, 5.6, 4.0, pics.INK)


def frame_delete(c, i):
    if i < 14:
        small_page(c, 24, 24, 26, 34)
    if 6 <= i < 14:
        s = min((i - 5) / 4.0, 1.0)
        r = 13 * s
        c.line(24 - r, 24 - r, 24 + r, 24 + r, 6, pics.DARK_RED)
        c.line(24 + r, 24 - r, 24 - r, 24 + r, 6, pics.DARK_RED)
        c.line(24 - r, 24 - r, 24 + r, 24 + r, 4, pics.RED)
        c.line(24 + r, 24 - r, 24 - r, 24 + r, 4, pics.RED)
    if i >= 14:  # crumbs falling apart
        k = i - 13
        for n in range(6):
            angle = math.radians(60 * n + 20)
            d = 4 + 5 * k
            x, y = 24 + d * math.cos(angle), 24 + d * math.sin(angle) + k * k * 0.5
            size = max(5 - k * 0.6, 1.5)
            c.rect(x - size, y - size, x + size, y + size, pics.PAGE_EDGE)
            c.rect(x - size + 1, y - size + 1, x + size - 1, y + size - 1, pics.PAGE)


def frame_trash(c, i):
    t = min(i / 13.0, 1.0)
    if i < 15:
        small_page(c, 24 + 4 * math.sin(t * 3), 4 + 26 * t * t, 13, 16, angle=30 * t)
    c.fill([(8, 22), (40, 22), (36, 47), (12, 47)], pics.INK)
    c.fill([(10, 24), (38, 24), (34.5, 45.5), (13.5, 45.5)], hexcolor('8eabcc'))
    for x in (17, 24, 31):
        c.rect(x - 1, 27, x + 1, 43, hexcolor('6f8fb3'))
    lid = -25 if 3 <= i < 15 else 0
    a = math.radians(lid)
    px, py = 7, 21

    def t2(x, y):
        return (px + (x - px) * math.cos(a) - (y - py) * math.sin(a), py + (x - px) * math.sin(a) + (y - py) * math.cos(a))
    c.fill([t2(6, 16), t2(42, 16), t2(42, 21), t2(6, 21)], pics.INK)
    c.fill([t2(7, 17), t2(41, 17), t2(41, 20), t2(7, 20)], hexcolor('6f8fb3'))


CLIPS = [
    ('a0.avi', 48, frame_copy),
    ('a1.avi', 24, frame_search),
    ('a2.avi', 48, frame_delete),
    ('a3.avi', 48, frame_trash),
]


def render_frames(size, draw):
    frames = []
    for i in range(FRAMES):
        canvas = Canvas(size, size, design=size)
        draw(canvas, i)
        rows = []
        for row in canvas.pixels():
            out = []
            for r, g, b, a in row:
                if a < 0.5:
                    out.append(KEY)
                else:
                    out.append(tuple(max(0, min(255, int(round(v / a * 255)))) for v in (r, g, b)))
            rows.append(out)
        rows[0][0] = KEY  # the see-through colour is read from here
        frames.append(rows)
    return frames


def build_palette(frames):
    counts = Counter()
    for frame in frames:
        for row in frame:
            for px in row:
                if px != KEY:
                    counts[tuple(v & ~7 for v in px)] += 1
    palette = [KEY] + [c for c, _ in counts.most_common(255)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette


def index_frames(frames, palette):
    cache = {KEY: 0}

    def nearest(px):
        if px in cache:
            return cache[px]
        best = min(range(1, 256), key=lambda j: sum((a - b) ** 2 for a, b in zip(px, palette[j])))
        cache[px] = best
        return best
    return [[[nearest(px) for px in row] for row in frame] for frame in frames]


def avi(size, indexed, palette):
    stride = (size + 3) & ~3
    frame_bytes = []
    for frame in indexed:
        data = b''
        for row in reversed(frame):  # bottom-up DIB rows
            data += bytes(row) + b'\x00' * (stride - size)
        frame_bytes.append(data)
    image_size = stride * size

    def chunk(fourcc, data):
        return fourcc + struct.pack('<I', len(data)) + data + (b'\x00' if len(data) % 2 else b'')

    def list_(kind, data):
        return b'LIST' + struct.pack('<I', len(data) + 4) + kind + data
    avih = struct.pack('<IIIIIIIIII4I', FRAME_MS * 1000, image_size * 1000 // FRAME_MS, 0, 0x10, len(indexed), 0, 1,
                       image_size, size, size, 0, 0, 0, 0)
    strh = b'vids' + b'DIB ' + struct.pack('<IHHIIIIIIIIhhhh', 0, 0, 0, 0, 1, 1000 // FRAME_MS, 0, len(indexed),
                                           image_size, 0xFFFFFFFF, 0, 0, 0, size, size)
    bih = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 8, 0, image_size, 0, 0, 256, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    hdrl = list_(b'hdrl', chunk(b'avih', avih) + list_(b'strl', chunk(b'strh', strh) + chunk(b'strf', bih + pal)))
    movi_data = b''
    index = b''
    for data in frame_bytes:
        offset = 4 + len(movi_data)  # from the 'movi' fourcc
        movi_data += chunk(b'00db', data)
        index += b'00db' + struct.pack('<III', 0x10, offset, len(data))
    body = b'AVI ' + hdrl + list_(b'movi', movi_data) + chunk(b'idx1', index)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def main():
    for name, size, draw in CLIPS:
        frames = render_frames(size, draw)
        palette = build_palette(frames)
        with open(os.path.join(RES, name), 'wb') as f:
            f.write(avi(size, index_frames(frames, palette), palette))


if __name__ == '__main__':
    main()
