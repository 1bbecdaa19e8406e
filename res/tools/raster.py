"""A very small anti-aliased rasteriser (standard library only) for the project's pictures.

Shapes are filled polygons (even-odd over all contours), sampled at SS x SS points per pixel.
Coordinates are given on a design grid of `design` units that is scaled to the canvas size,
so one drawing serves 16, 24, 64 and 128 pixel pictures.
"""
import math
import struct

SS = 4


def hexcolor(text, alpha=1.0):
    text = text.lstrip('#')
    return (int(text[0:2], 16) / 255.0, int(text[2:4], 16) / 255.0, int(text[4:6], 16) / 255.0, alpha)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


class Canvas:
    def __init__(self, width, height, design=64.0):
        self.w, self.h = width, height
        self.sw, self.sh = width * SS, height * SS
        self.scale = width / design
        n = self.sw * self.sh
        self.r = [0.0] * n
        self.g = [0.0] * n
        self.b = [0.0] * n
        self.a = [0.0] * n

    # -- filling -----------------------------------------------------------------------------
    def fill(self, contours, color):
        """Fills contours (lists of (x, y) in design units); color is RGBA or f(x, y) -> RGBA
        with x, y in design units."""
        if contours and isinstance(contours[0][0], (int, float)):
            contours = [contours]
        k = self.scale * SS
        edges = []
        ymin, ymax = 1e9, -1e9
        for contour in contours:
            pts = [(x * k, y * k) for x, y in contour]
            for i in range(len(pts)):
                x0, y0 = pts[i]
                x1, y1 = pts[(i + 1) % len(pts)]
                if y0 == y1:
                    continue
                edges.append((x0, y0, x1, y1))
                ymin = min(ymin, y0, y1)
                ymax = max(ymax, y0, y1)
        if not edges:
            return
        row0 = max(int(math.floor(ymin)), 0)
        row1 = min(int(math.ceil(ymax)), self.sh - 1)
        constant = not callable(color)
        if constant:
            cr, cg, cb, ca = color
        for row in range(row0, row1 + 1):
            yc = row + 0.5
            xs = []
            for x0, y0, x1, y1 in edges:
                if (y0 <= yc < y1) or (y1 <= yc < y0):
                    xs.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            if not xs:
                continue
            xs.sort()
            base = row * self.sw
            for i in range(0, len(xs) - 1, 2):
                c0 = max(int(math.ceil(xs[i] - 0.5)), 0)
                c1 = min(int(math.ceil(xs[i + 1] - 0.5)), self.sw)
                for col in range(c0, c1):
                    if not constant:
                        cr, cg, cb, ca = color((col + 0.5) / k, yc / k)
                    j = base + col
                    inv = 1.0 - ca
                    self.r[j] = cr * ca + self.r[j] * inv
                    self.g[j] = cg * ca + self.g[j] * inv
                    self.b[j] = cb * ca + self.b[j] * inv
                    self.a[j] = ca + self.a[j] * inv

    # -- shapes (design units) ---------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, color):
        self.fill([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color)

    def rounded_rect(self, x0, y0, x1, y1, radius, color, outline=None, width=0.0):
        if outline is not None:
            self.fill(rounded_rect_points(x0, y0, x1, y1, radius), outline)
            x0, y0, x1, y1, radius = x0 + width, y0 + width, x1 - width, y1 - width, max(radius - width, 0)
        self.fill(rounded_rect_points(x0, y0, x1, y1, radius), color)

    def circle(self, cx, cy, radius, color, outline=None, width=0.0):
        if outline is not None:
            self.fill(ellipse_points(cx, cy, radius, radius), outline)
            radius -= width
        self.fill(ellipse_points(cx, cy, radius, radius), color)

    def ring(self, cx, cy, outer, inner, color):
        self.fill([ellipse_points(cx, cy, outer, outer), ellipse_points(cx, cy, inner, inner)], color)

    def line(self, x0, y0, x1, y1, width, color, caps=True):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.fill([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)
        if caps:
            self.fill(ellipse_points(x0, y0, width / 2, width / 2, 16), color)
            self.fill(ellipse_points(x1, y1, width / 2, width / 2, 16), color)

    def polyline(self, points, width, color):
        """A stroked path as one shape (so a translucent stroke does not darken its joints)."""
        contours = []
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            dx, dy = x1 - x0, y1 - y0
            length = math.hypot(dx, dy) or 1.0
            nx, ny = -dy / length * width / 2, dx / length * width / 2
            contours.append([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])
        for contour in contours:  # separate fills: even-odd would cut the overlaps
            self.fill(contour, color)
        for x, y in points:
            self.fill(ellipse_points(x, y, width / 2, width / 2, 16), color)

    def arc(self, cx, cy, radius, start_deg, end_deg, width, color, steps=40):
        pts = [(cx + radius * math.cos(math.radians(start_deg + (end_deg - start_deg) * i / steps)),
                cy + radius * math.sin(math.radians(start_deg + (end_deg - start_deg) * i / steps)))
               for i in range(steps + 1)]
        outer = [(cx + (radius + width / 2) * math.cos(math.radians(start_deg + (end_deg - start_deg) * i / steps)),
                  cy + (radius + width / 2) * math.sin(math.radians(start_deg + (end_deg - start_deg) * i / steps)))
                 for i in range(steps + 1)]
        inner = [(cx + (radius - width / 2) * math.cos(math.radians(start_deg + (end_deg - start_deg) * i / steps)),
                  cy + (radius - width / 2) * math.sin(math.radians(start_deg + (end_deg - start_deg) * i / steps)))
                 for i in range(steps + 1)]
        self.fill(outer + inner[::-1], color)
        return pts

    def arrow_head(self, tip, direction_deg, length, half_width, color):
        d = math.radians(direction_deg)
        bx, by = tip[0] - length * math.cos(d), tip[1] - length * math.sin(d)
        nx, ny = -math.sin(d) * half_width, math.cos(d) * half_width
        self.fill([tip, (bx + nx, by + ny), (bx - nx, by - ny)], color)

    # -- output ------------------------------------------------------------------------------
    def pixels(self):
        """Rows top to bottom of premultiplied (r, g, b, a) floats, averaged over the samples."""
        out = []
        n = SS * SS
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r = g = b = a = 0.0
                for sy in range(SS):
                    base = (y * SS + sy) * self.sw + x * SS
                    for sx in range(SS):
                        j = base + sx
                        r += self.r[j]
                        g += self.g[j]
                        b += self.b[j]
                        a += self.a[j]
                row.append((r / n, g / n, b / n, a / n))
            out.append(row)
        return out


def rounded_rect_points(x0, y0, x1, y1, radius, steps=8):
    radius = max(min(radius, (x1 - x0) / 2, (y1 - y0) / 2), 0)
    pts = []
    corners = [(x1 - radius, y0 + radius, -90), (x1 - radius, y1 - radius, 0),
               (x0 + radius, y1 - radius, 90), (x0 + radius, y0 + radius, 180)]
    for cx, cy, start in corners:
        for i in range(steps + 1):
            t = math.radians(start + 90 * i / steps)
            pts.append((cx + radius * math.cos(t), cy + radius * math.sin(t)))
    return pts


def ellipse_points(cx, cy, rx, ry, steps=48):
    return [(cx + rx * math.cos(2 * math.pi * i / steps), cy + ry * math.sin(2 * math.pi * i / steps))
            for i in range(steps)]


def to_bytes(value):
    return max(0, min(255, int(round(value * 255))))


def bgra_rows_premultiplied(pixels):
    """32-bit BGRA rows (premultiplied alpha), top to bottom."""
    rows = []
    for row in pixels:
        rows.append(b''.join(struct.pack('<BBBB', to_bytes(b), to_bytes(g), to_bytes(r), to_bytes(a))
                             for r, g, b, a in row))
    return rows


def bmp32(pixels):
    """A 32-bit bottom-up BMP file with premultiplied alpha (for AlphaBlend)."""
    h, w = len(pixels), len(pixels[0])
    data = b''.join(reversed(bgra_rows_premultiplied(pixels)))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def ico(images):
    """An .ico file from {size: pixels}: 32-bit entries with straight alpha and an AND mask."""
    sizes = sorted(images)
    blobs = []
    for size in sizes:
        pixels = images[size]
        rows = []
        mask_rows = []
        for row in pixels:
            line = b''
            bits = []
            for r, g, b, a in row:
                if a > 0:
                    r, g, b = r / a, g / a, b / a
                line += struct.pack('<BBBB', to_bytes(b), to_bytes(g), to_bytes(r), to_bytes(a))
                bits.append(0 if a >= 0.5 else 1)
            rows.append(line)
            mask = bytearray((size + 31) // 32 * 4)
            for i, bit in enumerate(bits):
                if bit:
                    mask[i // 8] |= 0x80 >> (i % 8)
            mask_rows.append(bytes(mask))
        data = b''.join(reversed(rows)) + b''.join(reversed(mask_rows))
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(data), 0, 0, 0, 0)
        blobs.append(info + data)
    header = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    entries = b''
    for size, blob in zip(sizes, blobs):
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return header + entries + b''.join(blobs)
