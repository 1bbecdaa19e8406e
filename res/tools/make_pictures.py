#!/usr/bin/env python3
"""Draws the program's pictures and writes them into res/: one 32-bit BMP (premultiplied alpha) per
picture and size in res/pictures/, the program icon Orvandel.ico (16, 32, 48, 128 px), resource.h with the IDs, and
pictures.rc2 with the resource lines that Orvandel.rc includes.

Run from anywhere: python3 res/tools/make_pictures.py [--preview out.png]
The order of PICTURES must stay the order of enum ui::Picture (ui/Pictures.h).
"""
import math
import os
import struct
import sys
sys.dont_write_bytecode = True  # keep res/tools free of caches
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import Canvas, hexcolor, mix, bmp32, ico  # noqa: E402

RES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))

INK = hexcolor('34404f')
PAGE = hexcolor('ffffff')
PAGE_EDGE = hexcolor('4d6585')
LINE = hexcolor('7fa7dc')
BLUE = hexcolor('2a6bd1')
GREEN = hexcolor('2c9f45')
DARK_GREEN = hexcolor('1d6e2f')
RED = hexcolor('d8352a')
DARK_RED = hexcolor('8f1d16')
ORANGE = hexcolor('f28a17')
YELLOW = hexcolor('f5c542')
FOLDER = hexcolor('f3b63a')
FOLDER_DARK = hexcolor('c98b17')
GREY = hexcolor('8793a1')
STEEL = hexcolor('b9c3cf')
WHITE = hexcolor('ffffff')


def vertical(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, min(max((y - y0) / (y1 - y0), 0.0), 1.0))


# -- parts -------------------------------------------------------------------------------------
def page(c, x0, y0, x1, y1, lines=True, edge=PAGE_EDGE, fill=PAGE, w=2.5):
    fold = (x1 - x0) * 0.3
    outer = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    c.fill(outer, edge)
    inner = [(x0 + w, y0 + w), (x1 - fold - w * 0.4, y0 + w), (x1 - w, y0 + fold + w * 0.4),
             (x1 - w, y1 - w), (x0 + w, y1 - w)]
    c.fill(inner, fill)
    c.fill([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], edge)
    if lines:
        y = y0 + fold + 4
        while y < y1 - 6:
            c.rect(x0 + 5, y, x1 - 5, y + 2.2, LINE)
            y += 6


def folder(c, x0, y0, x1, y1):
    tab = (x1 - x0) * 0.38
    c.fill([(x0, y0 + 4), (x0 + 2, y0), (x0 + tab, y0), (x0 + tab + 4, y0 + 5), (x1, y0 + 5), (x1, y1), (x0, y1)],
           FOLDER_DARK)
    c.fill([(x0 + 2.5, y0 + 10), (x1 - 2.5, y0 + 10), (x1 - 2.5, y1 - 2.5), (x0 + 2.5, y1 - 2.5)],
           vertical(hexcolor('ffd970'), FOLDER, y0 + 10, y1))


def plus(c, cx, cy, size, width, color, outline=None):
    if outline is not None:
        c.line(cx - size, cy, cx + size, cy, width + 3, outline)
        c.line(cx, cy - size, cx, cy + size, width + 3, outline)
    c.line(cx - size, cy, cx + size, cy, width, color)
    c.line(cx, cy - size, cx, cy + size, width, color)


def circle_arrows(c, cx, cy, radius, width, color):
    c.arc(cx, cy, radius, 200, 330, width, color)
    c.arrow_head((cx + radius * math.cos(math.radians(335)) + 1, cy + radius * math.sin(math.radians(335)) + 3),
                 70, width * 1.6, width * 1.2, color)
    c.arc(cx, cy, radius, 20, 150, width, color)
    c.arrow_head((cx + radius * math.cos(math.radians(155)) - 1, cy + radius * math.sin(math.radians(155)) - 3),
                 250, width * 1.6, width * 1.2, color)


def disc(c, color, dark):
    c.circle(32, 32, 29, vertical(mix(color, WHITE, 0.25), color, 4, 60), outline=dark, width=2.5)


def magnifier(c, cx, cy, r, width):
    c.line(cx + r * 0.7, cy + r * 0.7, cx + r * 1.75, cy + r * 1.75, width * 1.5, INK)
    c.circle(cx, cy, r, hexcolor('dff0ff', 0.85))
    c.ring(cx, cy, r, r - width, INK)


def pencil(c, x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    nx, ny = -uy * width / 2, ux * width / 2
    tip = length * 0.2
    bx, by = x1 - ux * tip, y1 - uy * tip
    c.fill([(x0 + nx, y0 + ny), (bx + nx, by + ny), (bx - nx, by - ny), (x0 - nx, y0 - ny)], INK)
    c.fill([(x0 + nx * 0.6 + ux * 6, y0 + ny * 0.6 + uy * 6), (bx + nx * 0.6, by + ny * 0.6),
            (bx - nx * 0.6, by - ny * 0.6), (x0 - nx * 0.6 + ux * 6, y0 - ny * 0.6 + uy * 6)], YELLOW)
    c.fill([(x0 + nx, y0 + ny), (x0 + ux * 6 + nx, y0 + uy * 6 + ny), (x0 + ux * 6 - nx, y0 + uy * 6 - ny),
            (x0 - nx, y0 - ny)], hexcolor('e98aa0'))
    c.fill([(bx + nx, by + ny), (x1, y1), (bx - nx, by - ny)], hexcolor('f1d3a6'))
    c.fill([(x1 - ux * tip * 0.4 + nx * 0.4, y1 - uy * tip * 0.4 + ny * 0.4), (x1, y1),
            (x1 - ux * tip * 0.4 - nx * 0.4, y1 - uy * tip * 0.4 - ny * 0.4)], INK)


# -- the five operations ---------------------------------------------------------------------------
def draw_copy(c):
    page(c, 8, 4, 40, 46)
    page(c, 24, 18, 56, 60, edge=BLUE)


def draw_cut(c):
    blade = STEEL
    c.fill([(27, 36), (47, 4), (52, 6), (35, 38)], INK)
    c.fill([(29, 35), (47.5, 6.5), (50, 7.5), (33.5, 36.5)], blade)
    c.fill([(37, 36), (17, 4), (12, 6), (29, 38)], INK)
    c.fill([(35, 35), (16.5, 6.5), (14, 7.5), (30.5, 36.5)], blade)
    for cx in (19, 45):
        c.ring(cx, 48, 12, 6.5, DARK_RED)
        c.ring(cx, 48, 10, 8, RED)
    c.line(26, 41, 30, 37, 6, DARK_RED)
    c.line(38, 41, 34, 37, 6, DARK_RED)
    c.circle(32, 32, 3.5, INK)


def draw_trash(c):
    c.rounded_rect(10, 12, 54, 20, 2, hexcolor('6f8fb3'), outline=INK, width=2)
    c.rounded_rect(25, 7, 39, 14, 2, hexcolor('6f8fb3'), outline=INK, width=2)
    c.fill([(13, 20), (51, 20), (47, 60), (17, 60)], INK)
    c.fill([(15.5, 22), (48.5, 22), (45, 57.5), (19, 57.5)], vertical(hexcolor('9fbbd9'), hexcolor('6f8fb3'), 22, 58))
    circle_arrows(c, 32, 40, 10, 4.2, GREEN)


def draw_delete(c):
    page(c, 8, 4, 44, 54)
    c.circle(44, 44, 17, RED, outline=DARK_RED, width=2.5)
    c.line(37, 37, 51, 51, 5.5, WHITE)
    c.line(51, 37, 37, 51, 5.5, WHITE)


def draw_crush(c):
    page(c, 18, 2, 46, 30, lines=True)
    for i, x in enumerate(range(16, 46, 6)):
        length = 58 - (i % 2) * 6
        c.rect(x, 38, x + 4.5, length, PAGE_EDGE)
        c.rect(x + 1, 38, x + 3.5, length - 1, PAGE)
    c.rounded_rect(6, 24, 58, 42, 4, vertical(hexcolor('5c6675'), hexcolor('2d333c'), 24, 42), outline=INK, width=2)
    c.rect(14, 30, 50, 33, hexcolor('15191f'))
    c.circle(52, 37, 2.5, hexcolor('ff5a3c'))


# -- buttons ----------------------------------------------------------------------------------------
def draw_begin(c):
    disc(c, GREEN, DARK_GREEN)
    c.fill([(24, 16), (48, 32), (24, 48)], WHITE)


def draw_cancel(c):
    disc(c, RED, DARK_RED)
    c.line(21, 21, 43, 43, 8, WHITE)
    c.line(43, 21, 21, 43, 8, WHITE)


def draw_pause(c):
    disc(c, ORANGE, hexcolor('a85a07'))
    c.rounded_rect(19, 17, 28, 47, 2, WHITE)
    c.rounded_rect(36, 17, 45, 47, 2, WHITE)


def draw_go_on(c):
    disc(c, BLUE, hexcolor('173f80'))
    c.rounded_rect(17, 18, 24, 46, 2, WHITE)
    c.fill([(29, 16), (51, 32), (29, 48)], WHITE)


def draw_stop_searching(c):
    magnifier(c, 25, 25, 17, 6)
    c.fill([(40, 32), (52, 32), (60, 40), (60, 52), (52, 60), (40, 60), (32, 52), (32, 40)], DARK_RED)
    c.fill([(41, 35), (51, 35), (57, 41), (57, 51), (51, 57), (41, 57), (35, 51), (35, 41)], RED)
    c.rect(38, 44, 54, 48, WHITE)


def draw_add(c):
    plus(c, 32, 32, 22, 12, GREEN, outline=DARK_GREEN)


def draw_remove(c):
    c.line(10, 32, 54, 32, 15, DARK_RED)
    c.line(10, 32, 54, 32, 12, RED)


def draw_overwrite(c):
    page(c, 8, 14, 46, 60)
    c.line(44, 6, 44, 34, 9, hexcolor('a85a07'))
    c.line(44, 6, 44, 30, 6.5, ORANGE)
    c.arrow_head((44, 50), 90, 18, 13, hexcolor('a85a07'))
    c.arrow_head((44, 47), 90, 14, 9.5, ORANGE)


def draw_skip(c):
    page(c, 22, 30, 42, 58, lines=False)
    c.arc(32, 36, 22, 195, 330, 6.5, BLUE)
    c.arrow_head((54, 40), 75, 14, 9, BLUE)


def draw_update(c):
    circle_arrows(c, 32, 32, 20, 7, GREEN)


def draw_auto_rename(c):
    c.rounded_rect(4, 22, 60, 46, 3, WHITE, outline=PAGE_EDGE, width=2.5)
    c.rect(10, 30, 30, 38, LINE)
    c.rect(33, 27, 35.5, 41, INK)
    pencil(c, 56, 6, 36, 44, 9)


def draw_replace(c):
    folder(c, 4, 10, 52, 52)
    c.circle(46, 44, 16, WHITE)
    circle_arrows(c, 46, 44, 10, 4.5, ORANGE)


def draw_options(c):
    teeth = 8
    outer = []
    for i in range(teeth * 4):
        angle = 2 * math.pi * i / (teeth * 4) - math.pi / (teeth * 4)
        radius = 29 if (i % 4) in (1, 2) else 22
        outer.append((32 + radius * math.cos(angle), 32 + radius * math.sin(angle)))
    hole = [(32 + 9 * math.cos(2 * math.pi * i / 32), 32 + 9 * math.sin(2 * math.pi * i / 32)) for i in range(32)]
    c.fill([outer, hole], INK)
    inner = [(32 + (x - 32) * 0.88, 32 + (y - 32) * 0.88) for x, y in outer]
    hole2 = [(32 + 11 * math.cos(2 * math.pi * i / 32), 32 + 11 * math.sin(2 * math.pi * i / 32)) for i in range(32)]
    c.fill([inner, hole2], vertical(hexcolor('c7d0da'), GREY, 4, 60))


def draw_about(c):
    disc(c, BLUE, hexcolor('173f80'))
    c.circle(32, 17, 5, WHITE)
    c.rounded_rect(27, 26, 37, 50, 2, WHITE)


def draw_folder(c):
    folder(c, 4, 10, 60, 54)


def draw_new_folder(c):
    folder(c, 2, 8, 52, 50)
    c.circle(46, 46, 15, WHITE)
    plus(c, 46, 46, 9, 6, GREEN, outline=DARK_GREEN)


def draw_ok(c):
    c.polyline([(10, 34), (26, 50), (55, 14)], 13, DARK_GREEN)
    c.polyline([(10, 34), (26, 50), (55, 14)], 8.5, GREEN)


def draw_program_icon(c):
    c.rounded_rect(2, 2, 62, 62, 13, vertical(hexcolor('2f86e0'), hexcolor('1b4e9e'), 2, 62),
                   outline=hexcolor('123a78'), width=2)
    page(c, 10, 9, 36, 43, lines=True)
    page(c, 28, 21, 54, 55, lines=True, edge=BLUE)
    c.line(8, 49, 36, 49, 8, hexcolor('8a4a00'))
    c.line(8, 49, 36, 49, 5, ORANGE)
    c.arrow_head((52, 49), 0, 16, 11, hexcolor('8a4a00'))
    c.arrow_head((50, 49), 0, 13, 8, ORANGE)


# Order = enum ui::Picture; sizes drawn for each.
OPERATION_SIZES = (24, 64)
GLYPH_SIZES = (16, 24)
PICTURES = [
    ('copy', draw_copy, OPERATION_SIZES),
    ('cut', draw_cut, OPERATION_SIZES),
    ('trash', draw_trash, OPERATION_SIZES),
    ('delete', draw_delete, OPERATION_SIZES),
    ('crush', draw_crush, OPERATION_SIZES),
    ('begin', draw_begin, GLYPH_SIZES),
    ('cancel', draw_cancel, GLYPH_SIZES),
    ('pause', draw_pause, GLYPH_SIZES),
    ('go_on', draw_go_on, GLYPH_SIZES),
    ('stop_searching', draw_stop_searching, GLYPH_SIZES),
    ('add', draw_add, GLYPH_SIZES),
    ('remove', draw_remove, GLYPH_SIZES),
    ('overwrite', draw_overwrite, GLYPH_SIZES),
    ('skip', draw_skip, GLYPH_SIZES),
    ('update', draw_update, GLYPH_SIZES),
    ('auto_rename', draw_auto_rename, GLYPH_SIZES),
    ('replace', draw_replace, GLYPH_SIZES),
    ('options', draw_options, GLYPH_SIZES),
    ('about', draw_about, GLYPH_SIZES),
    ('folder', draw_folder, GLYPH_SIZES),
    ('new_folder', draw_new_folder, GLYPH_SIZES),
    ('ok', draw_ok, GLYPH_SIZES),
]
SLOTS = {16: 1, 24: 2, 64: 3}
ICON_SIZES = (16, 32, 48, 128)
PICTURE_BASE = 1000


def render(draw, size):
    canvas = Canvas(size, size)
    draw(canvas)
    return canvas.pixels()


def png(pixels_rows, path):
    """Writes straight-alpha RGBA rows (0..255 tuples) as a PNG."""
    h, w = len(pixels_rows), len(pixels_rows[0])
    raw = b''.join(b'\x00' + bytes(v for px in row for v in px) for row in pixels_rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def preview(rendered, icon_images, path):
    """A contact sheet: every picture on two panel colours of the window, at 2x."""
    backgrounds = [(204, 255, 170), (255, 204, 170)]
    cell = 140
    items = [(name, size, px) for name, sizes, px_by_size in rendered for size, px in px_by_size.items()]
    items += [('icon', s, icon_images[s]) for s in ICON_SIZES]
    columns = 8
    rows_n = (len(items) + columns - 1) // columns
    width, height = columns * cell, rows_n * cell
    sheet = [[(255, 255, 255, 255)] * width for _ in range(height)]
    for index, (name, size, px) in enumerate(items):
        cx, cy = (index % columns) * cell, (index // columns) * cell
        bg = backgrounds[index % 2]
        zoom = 2 if size <= 64 else 1
        for y in range(cell):
            for x in range(cell):
                sheet[cy + y][cx + x] = bg + (255,)
        ox, oy = cx + (cell - size * zoom) // 2, cy + (cell - size * zoom) // 2
        for y in range(size):
            for x in range(size):
                r, g, b, a = px[y][x]
                out = tuple(int(round(min(1.0, c + bgc / 255.0 * (1 - a)) * 255)) for c, bgc in zip((r, g, b), bg))
                for dy in range(zoom):
                    for dx in range(zoom):
                        sheet[oy + y * zoom + dy][ox + x * zoom + dx] = out + (255,)
    png(sheet, path)


def main():
    os.makedirs(os.path.join(RES, 'pictures'), exist_ok=True)
    rendered = []
    header = ['// Written by res/tools/make_pictures.py: do not edit.',
              '#pragma once', '',
              '#define IDI_ORVANDEL 1',
              '// Picture n of enum ui::Picture at size slot s (1: 16 px, 2: 24 px, 3: 64 px).',
              '#define IDB_PICTURE_BASE %d' % PICTURE_BASE]
    rc = ['// Written by res/tools/make_pictures.py: do not edit.',
          'IDI_ORVANDEL ICON "Orvandel.ico"']
    for index, (name, draw, sizes) in enumerate(PICTURES):
        by_size = {}
        for size in sizes:
            pixels = render(draw, size)
            by_size[size] = pixels
            file_name = 'pictures/%s_%d.bmp' % (name, size)
            with open(os.path.join(RES, file_name), 'wb') as f:
                f.write(bmp32(pixels))
            ident = 'IDB_%s_%d' % (name.upper(), size)
            number = PICTURE_BASE + 10 * index + SLOTS[size]
            header.append('#define %s %d' % (ident, number))
            rc.append('%s BITMAP "%s"' % (ident, file_name))
        rendered.append((name, sizes, by_size))
    icon_images = {size: render(draw_program_icon, size) for size in ICON_SIZES}
    with open(os.path.join(RES, 'Orvandel.ico'), 'wb') as f:
        f.write(ico(icon_images))
    with open(os.path.join(RES, 'resource.h'), 'w', newline='\n') as f:
        f.write('\n'.join(header) + '\n')
    with open(os.path.join(RES, 'pictures.rc2'), 'w', newline='\n') as f:
        f.write('\n'.join(rc) + '\n')
    if len(sys.argv) == 3 and sys.argv[1] == '--preview':
        preview(rendered, icon_images, sys.argv[2])


if __name__ == '__main__':
    main()
