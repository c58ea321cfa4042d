#!/usr/bin/env python3
"""Draws every picture resource of Quorvel and writes it under res/art/.

Standard library only. The output is deterministic: running the script again
produces the same bytes, so the generated files can live in the repository and
the build (windres) never needs Python.

    python3 tools/make_art.py            # writes res/art/ next to tools/
    python3 tools/make_art.py OUTDIR     # writes somewhere else

Drawing model: a Canvas holds straight (non-premultiplied) RGBA floats.
Shapes are described by signed distance functions (negative inside); a pixel's
coverage is derived from the distance at its centre, which gives cheap and
stable anti-aliasing. Pixel-art glyphs for the 16x16 tray icons are set
directly so they stay crisp.
"""

import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# Palette: warm paper, pale jade and a deep teal accent.
# --------------------------------------------------------------------------
PAPER = (252, 250, 243)
PAPER_LOW = (246, 242, 231)
JADE_PALE = (233, 244, 239)
JADE_LIGHT = (214, 235, 228)
JADE = (176, 214, 204)
TEAL_MID = (104, 166, 156)
TEAL = (46, 122, 114)
TEAL_DEEP = (28, 88, 84)
INK = (30, 38, 46)
RULE = (122, 176, 166)
WHITE = (255, 255, 255)
OUTLINE = (96, 108, 114)
RED = (214, 58, 50)
RED_DEEP = (150, 28, 26)
GREEN = (74, 178, 84)
GREEN_DEEP = (28, 112, 48)


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def mix(c0, c1, t):
    return (c0[0] + (c1[0] - c0[0]) * t,
            c0[1] + (c1[1] - c0[1]) * t,
            c0[2] + (c1[2] - c0[2]) * t)


def smoothstep(e0, e1, x):
    t = clamp01((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def hash01(x, y, seed=0):
    """Integer hash of a lattice point to [0, 1); stable across platforms."""
    n = (x * 374761393 + y * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    n ^= n >> 16
    return n / 4294967296.0


def value_noise(x, y, cell, seed):
    """Smooth value noise in [0, 1) with the given lattice spacing."""
    fx, fy = x / cell, y / cell
    ix, iy = int(math.floor(fx)), int(math.floor(fy))
    tx, ty = fx - ix, fy - iy
    tx = tx * tx * (3 - 2 * tx)
    ty = ty * ty * (3 - 2 * ty)
    a = hash01(ix, iy, seed)
    b = hash01(ix + 1, iy, seed)
    c = hash01(ix, iy + 1, seed)
    d = hash01(ix + 1, iy + 1, seed)
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty


# --------------------------------------------------------------------------
# Canvas
# --------------------------------------------------------------------------
class Canvas:
    """Drawn in logical pixels; `scale` makes the stored image that many times
    larger (the 150 % and 200 % sets). Shapes are evaluated at every stored
    pixel, so their edges stay sharp; a put() of one logical pixel covers its
    share of the stored ones."""

    def __init__(self, w, h, color=(0, 0, 0), alpha=0.0, scale=1.0):
        self.s = scale
        self.w, self.h = int(round(w * scale)), int(round(h * scale))
        n = self.w * self.h
        self.r = [float(color[0])] * n
        self.g = [float(color[1])] * n
        self.b = [float(color[2])] * n
        self.a = [float(alpha)] * n

    def put(self, x, y, col, a=1.0):
        """Composite colour `col` with opacity `a` over logical pixel (x, y)."""
        s = self.s
        if s == 1.0:
            self._put(x, y, col, a)
            return
        for py in range(int(math.floor(y * s)), int(math.ceil((y + 1) * s))):
            cy = min(py + 1, (y + 1) * s) - max(py, y * s)
            for px in range(int(math.floor(x * s)), int(math.ceil((x + 1) * s))):
                self._put(px, py, col, a * cy * (min(px + 1, (x + 1) * s) - max(px, x * s)))

    def _put(self, x, y, col, a=1.0):
        """Composite over stored pixel (x, y)."""
        if a <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        i = y * self.w + x
        if a >= 1.0:
            self.r[i], self.g[i], self.b[i], self.a[i] = col[0], col[1], col[2], 1.0
            return
        da = self.a[i]
        k = da * (1.0 - a)
        oa = a + k
        self.r[i] = (col[0] * a + self.r[i] * k) / oa
        self.g[i] = (col[1] * a + self.g[i] * k) / oa
        self.b[i] = (col[2] * a + self.b[i] * k) / oa
        self.a[i] = oa

    def get(self, x, y):
        i = y * self.w + x
        return (self.r[i], self.g[i], self.b[i], self.a[i])

    def clear(self, x, y):
        i = y * self.w + x
        self.r[i] = self.g[i] = self.b[i] = self.a[i] = 0.0

    def fill_rect(self, x0, y0, x1, y1, col, a=1.0):
        """Fill the integer pixel rectangle [x0, x1) x [y0, y1)."""
        for y in range(max(0, y0), y1):
            for x in range(max(0, x0), x1):
                self.put(x, y, col, a)

    def _box(self, bbox, pad):
        s = self.s
        bx0, by0, bx1, by1 = bbox
        return (max(0, int(math.floor((bx0 - pad) * s))), max(0, int(math.floor((by0 - pad) * s))),
                min(self.w, int(math.ceil((bx1 + pad) * s))), min(self.h, int(math.ceil((by1 + pad) * s))))

    def paint(self, shape, col, a=1.0):
        """Fill a shape (sdf, bbox). `col` may be a colour or f(x, y)."""
        sdf, bbox = shape
        x0, y0, x1, y1 = self._box(bbox, 1)
        s = self.s
        dyn = callable(col)
        for y in range(y0, y1):
            py = (y + 0.5) / s
            for x in range(x0, x1):
                px = (x + 0.5) / s
                cov = 0.5 - sdf(px, py) * s
                if cov <= 0.0:
                    continue
                if cov > 1.0:
                    cov = 1.0
                self._put(x, y, col(px, py) if dyn else col, cov * a)

    def paint_soft(self, shape, col, a, blur):
        """Fill a shape with a soft edge `blur` px wide (shadows, glows)."""
        sdf, bbox = shape
        x0, y0, x1, y1 = self._box(bbox, blur + 1)
        s = self.s
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = sdf((x + 0.5) / s, (y + 0.5) / s)
                cov = 1.0 - smoothstep(-blur * 0.5, blur * 0.5, d)
                if cov > 0.0:
                    self._put(x, y, col, cov * a)

    def composite_over(self, other):
        """Lays `other`, of the same size and scale, over this canvas."""
        for y in range(other.h):
            for x in range(other.w):
                r, g, b, a = other.get(x, y)
                if a > 0.0:
                    self._put(x, y, (r, g, b), a)


# --------------------------------------------------------------------------
# Shapes: (signed distance function, bounding box)
# --------------------------------------------------------------------------
def circle(cx, cy, r):
    return (lambda x, y: math.hypot(x - cx, y - cy) - r,
            (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    def sdf(x, y):
        dx, dy = (x - cx), (y - cy)
        k0 = math.sqrt((dx / rx) ** 2 + (dy / ry) ** 2)
        if k0 == 0.0:
            return -min(rx, ry)
        k1 = math.sqrt((dx / (rx * rx)) ** 2 + (dy / (ry * ry)) ** 2)
        return k0 * (k0 - 1.0) / k1
    return (sdf, (cx - rx, cy - ry, cx + rx, cy + ry))


def rrect(x0, y0, x1, y1, rad=0.0):
    cx, cy = (x0 + x1) * 0.5, (y0 + y1) * 0.5
    hx, hy = (x1 - x0) * 0.5 - rad, (y1 - y0) * 0.5 - rad

    def sdf(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - rad
    return (sdf, (x0, y0, x1, y1))


def _seg_dist(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0.0 else clamp01((wx * vx + wy * vy) / ll)
    return math.hypot(wx - vx * t, wy - vy * t)


def strokes(paths, width):
    """Round-capped strokes along polylines, united into one shape."""
    segs = []
    for p in paths:
        if len(p) == 1:
            segs.append((p[0][0], p[0][1], p[0][0], p[0][1]))
        for i in range(len(p) - 1):
            segs.append((p[i][0], p[i][1], p[i + 1][0], p[i + 1][1]))
    hw = width * 0.5
    xs = [s[0] for s in segs] + [s[2] for s in segs]
    ys = [s[1] for s in segs] + [s[3] for s in segs]

    def sdf(x, y):
        best = 1e9
        for ax, ay, bx, by in segs:
            d = _seg_dist(x, y, ax, ay, bx, by)
            if d < best:
                best = d
        return best - hw
    return (sdf, (min(xs) - hw, min(ys) - hw, max(xs) + hw, max(ys) + hw))


def polygon(pts):
    n = len(pts)

    def sdf(x, y):
        best = 1e9
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            d = _seg_dist(x, y, ax, ay, bx, by)
            if d < best:
                best = d
            if (ay > y) != (by > y):
                xi = ax + (y - ay) * (bx - ax) / (by - ay)
                if x < xi:
                    inside = not inside
        return -best if inside else best
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return (sdf, (min(xs), min(ys), max(xs), max(ys)))


def outline(shape, width, inset=True):
    """A line of `width` along the shape's edge, inside it when `inset`."""
    sdf, (x0, y0, x1, y1) = shape
    off = width * 0.5 if inset else 0.0
    return (lambda x, y: abs(sdf(x, y) + off) - width * 0.5,
            (x0 - width, y0 - width, x1 + width, y1 + width))




def union(*shapes):
    fs = [s[0] for s in shapes]
    return (lambda x, y: min(f(x, y) for f in fs),
            (min(s[1][0] for s in shapes), min(s[1][1] for s in shapes),
             max(s[1][2] for s in shapes), max(s[1][3] for s in shapes)))


def intersect(a, b):
    fa, fb = a[0], b[0]
    return (lambda x, y: max(fa(x, y), fb(x, y)), a[1])



def arc_points(cx, cy, rx, ry, a0, a1, step=12.0):
    """Points on an elliptical arc, angles in degrees, y pointing down."""
    n = max(2, int(math.ceil(abs(a1 - a0) / step)) + 1)
    pts = []
    for i in range(n):
        t = math.radians(a0 + (a1 - a0) * i / (n - 1))
        pts.append((cx + rx * math.cos(t), cy + ry * math.sin(t)))
    return pts


def vgrad(c0, c1, y0, y1):
    return lambda x, y: mix(c0, c1, clamp01((y - y0) / (y1 - y0)))


# --------------------------------------------------------------------------
# Digits
# --------------------------------------------------------------------------
def digit_paths(d, x0, y0, w, h):
    """Centre lines of digit `d` inside the box (x0, y0, w, h)."""
    cx = x0 + w * 0.5
    x1, y1 = x0 + w, y0 + h
    r = w * 0.5
    if d == 0:
        return [arc_points(cx, y0 + r, r, r, 180, 360)
                + arc_points(cx, y1 - r, r, r, 0, 180)
                + [(x0, y0 + r)]]
    if d == 1:
        sx = x0 + w * 0.58
        return [[(x0 + w * 0.12, y0 + h * 0.22), (sx, y0), (sx, y1)]]
    if d == 2:
        return [arc_points(cx, y0 + r * 1.0, r, r * 1.0, 175, 375)
                + [(x0, y1), (x1, y1)]]
    if d == 3:
        ru = h * 0.23
        rl = h * 0.27
        mid = y0 + 2 * ru
        return [arc_points(cx, y0 + ru, r * 0.92, ru, 200, 450)
                + [(cx - w * 0.18, mid)],
                [(cx - w * 0.18, mid)]
                + arc_points(cx, mid + rl, r, rl, 270, 520)]
    if d == 4:
        sx = x0 + w * 0.72
        by = y0 + h * 0.68
        return [[(sx, y1), (sx, y0), (x0, by), (x1, by)]]
    if d == 5:
        rb = h * 0.31
        bcy = y1 - rb
        return [[(x1 - w * 0.02, y0), (x0 + w * 0.1, y0), (x0 + w * 0.04, y0 + h * 0.45)]
                + arc_points(cx, bcy, r, rb, 222, 510)]
    if d == 6:
        rb = h * 0.3
        bcy = y1 - rb
        return [arc_points(cx, y0 + h * 0.5, r, h * 0.5, 305, 180) + [(x0, bcy)],
                arc_points(cx, bcy, r, rb, 0, 360)]
    if d == 7:
        return [[(x0, y0), (x1, y0), (x0 + w * 0.38, y1)]]
    if d == 8:
        ru, rl = h * 0.23, h * 0.27
        return [arc_points(cx, y0 + ru, r * 0.84, ru, 0, 360),
                arc_points(cx, y1 - rl, r, rl, 0, 360)]
    if d == 9:
        flipped = digit_paths(6, 0.0, 0.0, w, h)
        return [[(x0 + w - px, y0 + h - py) for px, py in p] for p in flipped]
    raise ValueError(d)


def number_shape(text, cx, cy, h, w, gap, stroke):
    """Stroke-font number centred on (cx, cy); digit cell w x h."""
    n = len(text)
    total = n * w + (n - 1) * gap
    x = cx - total * 0.5
    paths = []
    for ch in text:
        paths += digit_paths(int(ch), x, cy - h * 0.5, w, h)
        x += w + gap
    return strokes(paths, stroke)


# Bold pixel digits for the 16x16 tray icons. Drawn 4 px wide with 1 px
# strokes, then thickened by overlaying a copy one pixel to the right: this
# gives even 2 px verticals, which is what keeps them readable in the tray.
_PIXEL_DIGITS = {
    "0": [".##.", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."],
    "1": ["..#.", ".##.", "#.#.", "..#.", "..#.", "..#.", "..#.", "..#.", "..#."],
    "2": [".##.", "#..#", "...#", "...#", "..#.", ".#..", "#...", "#...", "####"],
    "3": [".##.", "#..#", "...#", "...#", ".##.", "...#", "...#", "#..#", ".##."],
    "4": ["...#", "..##", ".#.#", "#..#", "#..#", "####", "...#", "...#", "...#"],
    "5": ["####", "#...", "#...", "###.", "...#", "...#", "...#", "#..#", ".##."],
    "6": [".##.", "#...", "#...", "###.", "#..#", "#..#", "#..#", "#..#", ".##."],
    "7": ["####", "...#", "...#", "..#.", "..#.", ".#..", ".#..", ".#..", ".#.."],
    "8": [".##.", "#..#", "#..#", "#..#", ".##.", "#..#", "#..#", "#..#", ".##."],
    "9": [".##.", "#..#", "#..#", "#..#", "#..#", ".###", "...#", "...#", ".##."],
}


def pixel_digit(ch):
    """Set of (x, y) for the bold 5x9 glyph."""
    pts = set()
    for y, row in enumerate(_PIXEL_DIGITS[ch]):
        for x, c in enumerate(row):
            if c == "#":
                pts.add((x, y))
                pts.add((x + 1, y))
    return pts


# --------------------------------------------------------------------------
# File writers
# --------------------------------------------------------------------------
def q8(v):
    v = int(v + 0.5)
    return 0 if v < 0 else (255 if v > 255 else v)


def bmp24_bytes(c):
    """A BMP file: BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bpp, bottom-up."""
    row = (c.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(c.h - 1, -1, -1):
        line = bytearray()
        for x in range(c.w):
            r, g, b, a = c.get(x, y)
            # Flatten anything left transparent onto paper.
            r, g, b = mix(PAPER, (r, g, b), a)
            line += bytes((q8(b), q8(g), q8(r)))
        line += b"\0" * (row - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    return head + info + bytes(pixels)


def _split(pos):
    """Length bits and displacement bits of a back-reference at pos bytes into a chunk."""
    shift, i = 12, pos - 1
    while i >= 0x10:
        i >>= 1
        shift -= 1
    return shift

def lznt1_compress(data):
    """LZNT1, as the system's RtlDecompressBuffer reads it: 4 KB chunks, each a
    header and flag bytes over literals and back-references."""
    out = bytearray()
    for base in range(0, len(data), 4096):
        chunk = data[base:base + 4096]
        body = bytearray()
        heads = {}
        pos, n = 0, len(chunk)
        while pos < n:
            flag_at = len(body)
            body.append(0)
            for bit in range(8):
                if pos >= n:
                    break
                shift = _split(pos) if pos else 12
                max_len, max_disp = (1 << shift) - 1 + 3, 1 << (16 - shift)
                best_len = best_disp = 0
                if pos >= 1 and n - pos >= 3:
                    for start in reversed(heads.get(bytes(chunk[pos:pos + 3]), ())):
                        disp = pos - start
                        if disp > max_disp:
                            break
                        length = 0
                        limit = min(max_len, n - pos)
                        while length < limit and chunk[start + length] == chunk[pos + length]:
                            length += 1
                        if length > best_len:
                            best_len, best_disp = length, disp
                            if length == limit:
                                break
                if best_len >= 3:
                    body[flag_at] |= 1 << bit
                    body += struct.pack("<H", ((best_disp - 1) << shift) | (best_len - 3))
                    step = best_len
                else:
                    body.append(chunk[pos])
                    step = 1
                for p in range(pos, pos + step):
                    if p + 3 <= n:
                        heads.setdefault(bytes(chunk[p:p + 3]), []).append(p)
                pos += step
        if len(body) < len(chunk):
            out += struct.pack("<H", 0xB000 | (len(body) - 1)) + body
        else:  # stored as it is (only a whole chunk can be)
            assert len(chunk) == 4096 or base + len(chunk) == len(data)
            out += struct.pack("<H", 0x3000 | (len(chunk) - 1)) + chunk
    return bytes(out)

def lznt1_decompress(src):
    """The inverse, to check every compressed picture before it is written."""
    out = bytearray()
    i = 0
    while i + 2 <= len(src):
        head = struct.unpack_from("<H", src, i)[0]
        i += 2
        if head == 0:
            break
        size = (head & 0xFFF) + 1
        end = i + size
        start = len(out)
        if not head & 0x8000:
            out += src[i:end]
        else:
            while i < end:
                flags = src[i]; i += 1
                for bit in range(8):
                    if i >= end:
                        break
                    if flags >> bit & 1:
                        tok = struct.unpack_from("<H", src, i)[0]; i += 2
                        shift = _split(len(out) - start)
                        length, disp = (tok & ((1 << shift) - 1)) + 3, (tok >> shift) + 1
                        for _ in range(length):
                            out.append(out[-disp])
                    else:
                        out.append(src[i]); i += 1
        i = end
        if i < len(src) and (len(out) - start) < 4096:
            out += bytes(4096 - (len(out) - start))
    return bytes(out)


def dibz_bytes(bmp):
    """A packed DIB (the BMP file without its file header) compressed with LZNT1,
    after its size as 4 bytes: the program inflates it in well under a
    millisecond, without the imaging component a PNG needs."""
    dib = bmp[14:]
    packed = lznt1_compress(dib)
    assert lznt1_decompress(packed) == dib
    return struct.pack("<I", len(dib)) + packed


def png_bytes(c, alpha=False):
    """A PNG file: 8-bit RGB (flattened onto paper, as bmp24_bytes does) or, for
    icon images, RGBA with the icon's pixels. Each row takes the filter that
    leaves the smallest sum; deflate at its best. Lossless: the program gets
    the same pixels back as from the BMP."""
    if alpha:
        rows = [[v for p in icon_pixels(c)[y * c.w:(y + 1) * c.w] for v in p] for y in range(c.h)]
    else:
        rows = []
        for y in range(c.h):
            row = []
            for x in range(c.w):
                r, g, b, a = c.get(x, y)
                row += [q8(v) for v in mix(PAPER, (r, g, b), a)]
            rows.append(row)
    n = 4 if alpha else 3
    raw = bytearray()
    prev = [0] * (c.w * n)
    for row in rows:
        def paeth(i):
            a, b, cc = row[i - n] if i >= n else 0, prev[i], prev[i - n] if i >= n else 0
            p = a + b - cc
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - cc)
            return a if pa <= pb and pa <= pc else (b if pb <= pc else cc)
        candidates = [row,
                      [(row[i] - (row[i - n] if i >= n else 0)) & 255 for i in range(len(row))],
                      [(row[i] - prev[i]) & 255 for i in range(len(row))],
                      [(row[i] - (((row[i - n] if i >= n else 0) + prev[i]) >> 1)) & 255 for i in range(len(row))],
                      [(row[i] - paeth(i)) & 255 for i in range(len(row))]]
        kind = min(range(5), key=lambda k: sum(v if v < 128 else 256 - v for v in candidates[k]))
        raw += bytes([kind]) + bytes(candidates[kind])
        prev = row

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    head = struct.pack(">IIBBBBB", c.w, c.h, 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")



def flat_pixels(c):
    """The canvas's (r, g, b) bytes, top row first, flattened onto paper."""
    return [tuple(q8(v) for v in mix(PAPER, c.get(x, y)[:3], c.get(x, y)[3])) for y in range(c.h) for x in range(c.w)]


def median_cut(px, n):
    """px with at most n colours: the colour space is split, most populous
    spread first, at the median, and each part takes its weighted mean."""
    counts = {}
    for p in px:
        counts[p] = counts.get(p, 0) + 1
    boxes = [sorted(counts.items())]
    while len(boxes) < n:
        spans = [(max(p[k] for p, _ in b) - min(p[k] for p, _ in b), k, i)
                 for i, b in enumerate(boxes) if len(b) > 1 for k in range(3)]
        if not spans or max(spans)[0] == 0:
            break
        _, k, i = max(spans)
        box = sorted(boxes.pop(i), key=lambda pc: pc[0][k])
        half, acc, cut = sum(c for _, c in box) / 2.0, 0, 1
        for j, (_, c) in enumerate(box):
            acc += c
            if acc >= half:
                cut = min(max(j, 1), len(box) - 1)
                break
        boxes += [box[:cut], box[cut:]]
    mapping = {}
    for box in boxes:
        total = sum(c for _, c in box)
        mean = tuple(int(round(sum(p[k] * c for p, c in box) / total)) for k in range(3))
        for p, _ in box:
            mapping[p] = mean
    return [mapping[p] for p in px]


def png_palette_bytes(c, colours):
    """An indexed PNG of at most `colours` colours: the 150 % and 200 % sets,
    whose smooth shading needs few colours and must stay small."""
    px = median_cut(flat_pixels(c), colours)
    palette = sorted(set(px))
    index = {p: i for i, p in enumerate(palette)}
    raw = bytearray()
    for y in range(c.h):
        raw += b"\0" + bytes(index[p] for p in px[y * c.w:(y + 1) * c.w])

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    head = struct.pack(">IIBBBBB", c.w, c.h, 8, 3, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"PLTE", b"".join(bytes(p) for p in palette)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))

# Pixels fainter than this are dropped entirely. Anything kept is opaque in
# the AND mask, so images drawn through a 24-bit masked image list show the
# shape's own colours and no stray fringe.
ALPHA_CUTOFF = 0.3


def icon_pixels(c):
    """The icon's (r, g, b, a) bytes, top row first; dropped pixels are (0, 0, 0, 0)."""
    px = []
    for y in range(c.h):
        for x in range(c.w):
            r, g, b, a = c.get(x, y)
            px.append((0, 0, 0, 0) if a < ALPHA_CUTOFF else (q8(r), q8(g), q8(b), q8(a * 255.0)))
    return px


def and_mask(px, w, h):
    """The AND mask, bottom row first: set where the pixel is transparent."""
    row_bytes = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(row_bytes)
        for x in range(w):
            if px[y * w + x][3] == 0:
                bits[x >> 3] |= 0x80 >> (x & 7)
        out += bits
    return bytes(out)


def indexed_image_bytes(px, w, h, colours):
    """BITMAPINFOHEADER (double height), palette, 4- or 8-bit colour indices, AND mask.
    Transparent pixels index black, as an icon's colour image must hold there."""
    bpp = 4 if len(colours) <= 16 else 8
    palette = colours + [(0, 0, 0)] * ((1 << bpp) - len(colours))
    index = {col: i for i, col in enumerate(colours)}
    row_bytes = ((w * bpp + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(row_bytes)
        for x in range(w):
            r, g, b, _ = px[y * w + x]
            i = index[(r, g, b)]
            if bpp == 8:
                line[x] = i
            else:
                line[x >> 1] |= i << (0 if x & 1 else 4)
        xor += line
    mask = and_mask(px, w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette) + bytes(xor) + mask


def bgra_image_bytes(px, w, h):
    """BITMAPINFOHEADER (double height), 32-bit BGRA colour image, AND mask."""
    xor = b"".join(bytes((b, g, r, a)) for y in range(h - 1, -1, -1) for r, g, b, a in px[y * w:(y + 1) * w])
    mask = and_mask(px, w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def icon_image(c):
    """(bytes, bit count, colour count) of one icon image: with a palette when
    the image has at most 256 colours and each pixel is fully opaque or fully
    transparent, which draws exactly as the 32-bit image would; otherwise (soft,
    partly transparent edges, which a palette and a 1-bit mask cannot keep) as
    32-bit BGRA with its mask."""
    px = icon_pixels(c)
    opaque = sorted({p[:3] for p in px if p[3] == 255})
    if all(p[3] in (0, 255) for p in px):
        colours = opaque if (0, 0, 0) in opaque or len(px) == len(opaque) else opaque + [(0, 0, 0)]
        if len(colours) <= 256:
            blob = indexed_image_bytes(px, c.w, c.h, colours)
            return blob, 4 if len(colours) <= 16 else 8, 16 if len(colours) <= 16 else 0
    return bgra_image_bytes(px, c.w, c.h), 32, 0


def ico_bytes(images, png_sizes=()):
    """An icon file; images of the widths in png_sizes are stored as PNG (never
    drawn at this program's size, they cost little that way)."""
    images = sorted(images, key=lambda c: c.w)
    stored = [(png_bytes(c, alpha=True), 32, 0) if c.w in png_sizes else icon_image(c) for c in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    off = 6 + 16 * len(images)
    for c, (blob, bpp, ncolours) in zip(images, stored):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, ncolours, 0, 1, bpp, len(blob), off)
        off += len(blob)
    return out + b"".join(blob for blob, _, _ in stored)


# --------------------------------------------------------------------------
# Shared skin pieces
# --------------------------------------------------------------------------
def paper_texture(c, x0, y0, x1, y1, top, bottom, grain=1.6, seed=7):
    """Warm paper: vertical gradient, soft fibres and a little grain. The larger
    sets go without the fibres and the grain: pixel noise does not compress,
    and they must stay small inside the program."""
    if c.s != 1.0:
        grain = 0.0
    span = max(1, y1 - y0 - 1)
    for y in range(y0, y1):
        base = mix(top, bottom, (y - y0) / span)
        for x in range(x0, x1):
            fib = value_noise(x * 0.35, y, 9.0, seed) - 0.5
            n = (hash01(x, y, seed + 1) - 0.5) * 0.8 + fib * 1.6
            v = n * grain
            c.put(x, y, (base[0] + v, base[1] + v, base[2] + v * 1.1))


def faded_hline(c, x0, x1, y, col, a=1.0, fade=24):
    """A 1 px rule that fades out towards both ends."""
    for x in range(x0, x1):
        t = min(x - x0 + 0.5, x1 - x - 0.5) / fade
        c.put(x, y, col, a * smoothstep(0.0, 1.0, t))


def plum_blossom(c, cx, cy, r, petal, centre, a=1.0, turn=0.0, stamens=True):
    """Five round petals around a small centre."""
    petals = []
    for i in range(5):
        t = math.radians(turn + i * 72 - 90)
        petals.append(circle(cx + math.cos(t) * r * 0.55, cy + math.sin(t) * r * 0.55, r * 0.5))
    flower = union(*petals)
    c.paint(flower, petal, a)
    c.paint(outline(flower, 0.8), mix(petal, (150, 110, 110), 0.25), a * 0.6)
    c.paint(circle(cx, cy, r * 0.22), centre, a)
    for i in range(5 if stamens else 0):
        t = math.radians(turn + i * 72 - 54)
        c.paint(circle(cx + math.cos(t) * r * 0.32, cy + math.sin(t) * r * 0.32, r * 0.07),
                mix(centre, (160, 110, 60), 0.5), a)


def leaf(c, x0, y0, x1, y1, width, col, a=1.0):
    """A pointed leaf from (x0, y0) to (x1, y1), with a central vein."""
    dx, dy = x1 - x0, y1 - y0
    ln = math.hypot(dx, dy)
    nx, ny = -dy / ln, dx / ln
    pts = []
    for i in range(13):
        t = i / 12.0
        wv = math.sin(math.pi * t) ** 0.8 * width * 0.5
        pts.append((x0 + dx * t + nx * wv, y0 + dy * t + ny * wv))
    for i in range(11, 0, -1):
        t = i / 12.0
        wv = math.sin(math.pi * t) ** 0.8 * width * 0.5
        pts.append((x0 + dx * t - nx * wv, y0 + dy * t - ny * wv))
    c.paint(polygon(pts), col, a)
    c.paint(strokes([[(x0, y0), (x0 + dx * 0.85, y0 + dy * 0.85)]], 0.7),
            mix(col, WHITE, 0.45), a)


# --------------------------------------------------------------------------
# 144: main calendar window background, 414 x 268
# --------------------------------------------------------------------------
def draw_background(scale=1.0):
    W, H = 414, 268
    c = Canvas(W, H, PAPER, 1.0, scale)
    header_bottom = 45

    # Header band: pale jade, a touch deeper at the top.
    for y in range(0, header_bottom):
        col = mix((218, 237, 230), (238, 247, 243), smoothstep(0, 1, y / (header_bottom - 1)))
        for x in range(W):
            n = (value_noise(x, y * 0.5, 14.0, 3) - 0.5) * 1.2 if c.s == 1.0 else 0.0
            c.put(x, y, (col[0] + n, col[1] + n, col[2] + n))
    faded_hline(c, 4, W - 4, 3, WHITE, 0.7, 60)

    # Body: paper with soft fibres, slightly warmer towards the bottom.
    paper_texture(c, 0, header_bottom, W, H, PAPER, PAPER_LOW)

    # Rules under the header: an accent line with a light edge beneath it.
    faded_hline(c, 6, W - 6, header_bottom, TEAL_MID, 1.0, 50)
    faded_hline(c, 6, W - 6, header_bottom + 1, WHITE, 0.9, 50)

    # Weekday strip: a light jade band behind the names.
    strip = rrect(8, 49, W - 8, 68, 4)
    c.paint(strip, vgrad((236, 246, 242), (223, 239, 233), 49, 68))
    c.paint(outline(strip, 1.0), (206, 228, 221), 0.8)
    faded_hline(c, 8, W - 8, 68, RULE, 1.0, 40)
    faded_hline(c, 8, W - 8, 69, WHITE, 0.8, 40)

    # Faint dotted separators between the week rows.
    for r in range(1, 6):
        y = 69 + 30 * r
        for x in range(14, W - 14):
            if x % 3 == 0:
                t = smoothstep(0, 30, min(x - 14, W - 14 - x))
                c.put(x, y, (200, 192, 172), 0.35 * t)

    # Very faint plum branch in the lower right corner, like a watermark.
    wm = Canvas(W, H, scale=scale)
    branch = [(W - 2, 188), (W - 30, 205), (W - 56, 230), (W - 72, 252), (W - 80, H - 2)]
    wm.paint(strokes([branch], 2.2), (150, 120, 100))
    wm.paint(strokes([[(W - 40, 220), (W - 22, 232), (W - 8, 236)]], 1.4), (150, 120, 100))
    wm.paint(strokes([[(W - 62, 241), (W - 90, 236), (W - 104, 240)]], 1.2), (150, 120, 100))
    for (fx, fy, fr, turn) in [(W - 34, 200, 8, 10), (W - 12, 233, 6, 40),
                               (W - 60, 226, 7, 0), (W - 100, 238, 5, 20),
                               (W - 74, 256, 6, 30)]:
        plum_blossom(wm, fx, fy, fr, (222, 120, 130), (230, 190, 100), 1.0, turn)
    c.composite_over(_faded(wm, 0.09))

    # Frame: a dark outer line, a teal border with rounded inner corners,
    # and a light inner edge.
    inner = rrect(2, 2, W - 2, H - 2, 6)
    isdf = inner[0]
    border = (lambda x, y: -isdf(x, y), (0, 0, W, H))
    c.paint(border, (126, 178, 169))
    c.paint(outline(inner, 1.0, inset=True), WHITE, 0.55)
    for x in range(W):
        c.put(x, 0, (70, 126, 120))
        c.put(x, H - 1, (70, 126, 120))
    for y in range(H):
        c.put(0, y, (70, 126, 120))
        c.put(W - 1, y, (70, 126, 120))
    return c


def _faded(c, a):
    for i in range(len(c.a)):
        c.a[i] *= a
    return c


# --------------------------------------------------------------------------
# 136, 137: popup menu banner and selected-item highlight, 26 x 20
# --------------------------------------------------------------------------
def draw_menu_banner():
    W, H = 26, 20
    c = Canvas(W, H, PAPER, 1.0)
    left, right = (112, 172, 162), (218, 238, 231)
    for x in range(W):
        t = x / (W - 1)
        col = mix(left, right, t ** 0.85)
        for y in range(H):
            c.put(x, y, col)
    # A light column on the right edge separates the strip from the items.
    for y in range(H):
        c.put(W - 1, y, (240, 248, 245))
    return c


def draw_menu_highlight():
    W, H = 26, 20
    c = Canvas(W, H, PAPER, 1.0)
    top, bottom = (234, 246, 242), (186, 222, 212)
    for y in range(H):
        col = mix(top, bottom, smoothstep(0, 1, y / (H - 1)))
        if y == 0:
            col = mix(col, WHITE, 0.6)
        for x in range(W):
            c.put(x, y, col)
    return c


# --------------------------------------------------------------------------
# 147: clock dial, 98 x 93
# --------------------------------------------------------------------------
def draw_clock_dial(scale=1.0):
    W, H = 98, 93
    cx, cy = 50.0, 47.0
    c = Canvas(W, H, PAPER, 1.0, scale)
    paper_texture(c, 0, 0, W, H, PAPER, (248, 245, 236), seed=11)

    # Soft shadow, then the dial face.
    c.paint_soft(circle(cx + 0.8, cy + 1.4, 45.0), (90, 110, 100), 0.22, 3.0)

    def face(x, y):
        d = math.hypot(x - cx, y - cy)
        t = clamp01((d - 26.0) / 19.0)
        col = mix((240, 248, 245), (216, 236, 229), t)
        # Light from the upper left.
        s = ((x - cx) * -0.7 + (y - cy) * -0.7) / 45.0
        return mix(col, WHITE, clamp01(s * 0.35))
    c.paint(circle(cx, cy, 45.0), face)
    c.paint(outline(circle(cx, cy, 45.0), 1.6), TEAL)
    c.paint(outline(circle(cx, cy, 43.4), 0.8), WHITE, 0.7)

    # Minute and hour ticks near the rim.
    for i in range(60):
        t = math.radians(i * 6 - 90)
        ux, uy = math.cos(t), math.sin(t)
        if i % 15 == 0:
            continue
        if i % 5 == 0:
            c.paint(circle(cx + ux * 37.5, cy + uy * 37.5, 1.5), TEAL)
        else:
            r0, r1 = 40.2, 42.2
            c.paint(strokes([[(cx + ux * r0, cy + uy * r0), (cx + ux * r1, cy + uy * r1)]], 0.9),
                    TEAL_MID, 0.8)

    # 12, 3, 6 and 9.
    dh, dw, gap, sw = 9.0, 5.0, 1.6, 1.45
    rad = 33.6
    for text, ang in (("12", -90), ("3", 0), ("6", 90), ("9", 180)):
        t = math.radians(ang)
        px, py = cx + math.cos(t) * rad, cy + math.sin(t) * rad
        if text == "12":
            py += 0.5
        c.paint(number_shape(text, px, py, dh, dw, gap, sw), TEAL_DEEP)

    # The program paints the centre white; the ring hugs that circle.
    c.paint(circle(cx, cy, 26.6), WHITE)
    c.paint(outline(circle(cx, cy, 27.2), 1.0, inset=True), RULE)
    return c


# --------------------------------------------------------------------------
# 149: reminder notice background, 200 x 132
# --------------------------------------------------------------------------
def draw_notice(scale=1.0):
    W, H = 200, 132
    c = Canvas(W, H, PAPER, 1.0, scale)
    band = 30
    paper_texture(c, 0, band, W, H, PAPER, PAPER_LOW, seed=17)
    for y in range(band):
        col = mix((170, 210, 199), (196, 227, 218), smoothstep(0, 1, y / (band - 1)))
        for x in range(W):
            n = (value_noise(x, y * 0.5, 12.0, 5) - 0.5) * 1.4 if c.s == 1.0 else 0.0
            c.put(x, y, (col[0] + n, col[1] + n, col[2] + n))
    faded_hline(c, 2, W - 2, 1, WHITE, 0.55, 30)

    # Small pale blossoms at both ends of the band, clear of the title.
    for (fx, fy, fr, turn) in ((13, 15, 8.5, 0), (27, 22, 5.0, 30),
                               (W - 13, 15, 8.5, 36), (W - 27, 22, 5.0, 10)):
        plum_blossom(c, fx, fy, fr, (240, 250, 247), (214, 236, 228), 0.6, turn, False)

    faded_hline(c, 0, W, band, TEAL_MID, 1.0, 1)
    faded_hline(c, 0, W, band + 1, WHITE, 0.8, 1)

    # Frame.
    for x in range(W):
        c.put(x, 0, (70, 126, 120))
        c.put(x, H - 1, (70, 126, 120))
    for y in range(H):
        c.put(0, y, (70, 126, 120))
        c.put(W - 1, y, (70, 126, 120))
    c.paint(outline(rrect(1, 1, W - 1, H - 1, 0), 1.0), WHITE, 0.45)
    return c


# --------------------------------------------------------------------------
# 279: pale flowers behind the notice text, 190 x 93
# --------------------------------------------------------------------------
def draw_flowers(scale=1.0):
    W, H = 190, 93
    c = Canvas(W, H, PAPER, 1.0, scale)
    paper_texture(c, 0, 0, W, H, (253, 251, 245), (249, 246, 237), grain=1.2, seed=23)

    art = Canvas(W, H, scale=scale)
    wood = (176, 150, 128)
    art.paint(strokes([[(-4, 96), (30, 74), (62, 60), (98, 50), (140, 30), (196, -4)]], 2.6), wood)
    art.paint(strokes([[(62, 60), (74, 78), (82, 96)]], 1.8), wood)
    art.paint(strokes([[(98, 50), (112, 30), (116, 14)]], 1.6), wood)
    art.paint(strokes([[(140, 30), (160, 36), (176, 52)]], 1.5), wood)
    art.paint(strokes([[(30, 74), (22, 56), (26, 40)]], 1.4), wood)

    leafc = (120, 176, 140)
    for (a, b, cc, d, w) in [(34, 72, 48, 84, 7), (62, 60, 52, 44, 6), (100, 50, 122, 56, 7),
                             (140, 30, 132, 14, 6), (176, 52, 188, 66, 6), (82, 92, 96, 84, 6),
                             (116, 16, 126, 6, 5)]:
        leaf(art, a, b, cc, d, w, leafc)

    petal, centre = (232, 130, 142), (236, 196, 110)
    for (fx, fy, fr, turn) in [(26, 40, 9, 10), (70, 76, 10, 30), (112, 28, 9, 0),
                               (150, 34, 11, 20), (178, 54, 8, 45), (44, 66, 7, 60),
                               (92, 52, 7, 15), (128, 58, 6, 40), (160, 14, 6, 5)]:
        plum_blossom(art, fx, fy, fr, petal, centre, 1.0, turn)
    for (bx, by, br) in [(12, 16, 2.5), (52, 22, 2.2), (84, 14, 2.0), (170, 82, 2.5),
                         (140, 84, 2.0), (8, 60, 2.0), (120, 80, 1.8)]:
        art.paint(ellipse(bx, by, br * 1.3, br), petal)
    c.composite_over(_faded(art, 0.16))
    return c


# --------------------------------------------------------------------------
# Icons
# --------------------------------------------------------------------------
def band_colour(y, y0, y1):
    return mix((70, 150, 140), TEAL_DEEP, clamp01((y - y0) / max(1.0, y1 - y0)))


def day_icon_16(day):
    """Crisp 16x16 tray icon: teal band, white page, bold pixel digits."""
    c = Canvas(16, 16)
    band_rows = 4
    for y in range(16):
        for x in range(16):
            if y < band_rows:
                col = (64, 144, 134) if y == 0 else TEAL if y < 3 else TEAL_DEEP
            elif x == 0 or x == 15 or y == 15:
                col = (120, 132, 136)
            else:
                col = WHITE
            c.put(x, y, col)
    for x, y in ((0, 0), (15, 0), (0, 15), (15, 15)):
        c.clear(x, y)
    # Binding holes in the band.
    c.put(4, 1, (196, 228, 220))
    c.put(11, 1, (196, 228, 220))

    text = str(day)
    glyphs = [pixel_digit(ch) for ch in text]
    width = 5 * len(glyphs) + (len(glyphs) - 1)
    x = 1 + (14 - width) // 2 + (1 if len(glyphs) == 1 else 0)
    y0 = 5
    for g in glyphs:
        for gx, gy in g:
            c.put(x + gx, y0 + gy, INK)
        x += 6
    return c


def day_icon_32(day):
    c = Canvas(32, 32)
    page = rrect(1, 2, 31, 31, 3)
    c.paint(page, vgrad(WHITE, (236, 242, 241), 10, 31))
    band = intersect(page, rrect(0, 0, 32, 10, 0))
    c.paint(band, lambda x, y: band_colour(y, 2, 10))
    c.paint(strokes([[(2.5, 10.5), (29.5, 10.5)]], 1.0), (24, 70, 68), 0.5)
    c.paint(outline(page, 1.0), (90, 104, 108))
    for rx in (9.0, 23.0):
        c.paint(circle(rx, 6.0, 1.8), (22, 66, 64))
        c.paint(strokes([[(rx, 0.8), (rx, 5.6)]], 1.5), (150, 160, 166))
        c.paint(strokes([[(rx - 0.3, 1.0), (rx - 0.3, 4.6)]], 0.6), WHITE, 0.8)
    text = str(day)
    if len(text) == 1:
        c.paint(number_shape(text, 16.0, 20.8, 14.0, 9.0, 3.0, 2.8), INK)
    else:
        c.paint(number_shape(text, 16.0, 20.8, 13.0, 8.4, 2.8, 2.6), INK)
    return c


def app_icon_32():
    c = Canvas(32, 32)
    page = rrect(2, 3, 30, 30, 3)
    c.paint(page, vgrad(WHITE, (232, 240, 238), 11, 30))
    band = intersect(page, rrect(0, 0, 32, 11, 0))
    c.paint(band, lambda x, y: band_colour(y, 3, 11))
    c.paint(outline(page, 1.0), (84, 98, 102))
    # Calendar grid: 4 x 3 cells, one marked as today.
    for row in range(3):
        for col in range(4):
            x0 = 5.0 + col * 6.0
            y0 = 14.0 + row * 5.0
            cell = rrect(x0, y0, x0 + 4.0, y0 + 3.0, 0.6)
            if row == 1 and col == 2:
                c.paint(cell, RED)
            else:
                c.paint(cell, (150, 198, 188) if col != 3 else (236, 150, 150))
    for rx in (10.0, 22.0):
        c.paint(circle(rx, 7.0, 1.8), (22, 66, 64))
        c.paint(strokes([[(rx, 1.0), (rx, 6.6)]], 1.5), (150, 160, 166))
        c.paint(strokes([[(rx - 0.3, 1.2), (rx - 0.3, 5.6)]], 0.6), WHITE, 0.8)
    return c


def app_icon_16():
    c = Canvas(16, 16)
    for y in range(1, 16):
        for x in range(1, 16):
            if y < 6:
                col = TEAL if y < 4 else TEAL_DEEP
                if y == 1:
                    col = (64, 144, 134)
            elif x == 1 or x == 15 or y == 15:
                col = (110, 122, 126)
            else:
                col = WHITE
            c.put(x, y, col)
    for x, y in ((1, 1), (15, 1), (1, 15), (15, 15)):
        c.clear(x, y)
    for rx in (5, 11):
        c.put(rx, 0, (140, 150, 156))
        c.put(rx, 1, (140, 150, 156))
        c.put(rx, 2, (22, 66, 64))
    for row in range(3):
        for col in range(4):
            x0, y0 = 3 + col * 3, 7 + row * 3
            colr = (140, 192, 182) if col != 3 else (232, 140, 140)
            if row == 1 and col == 2:
                colr = RED
            c.fill_rect(x0, y0, x0 + 2, y0 + 2, colr)
    return c


def ok_icon_16():
    c = Canvas(16, 16)
    path = [[(3.2, 8.6), (6.6, 12.0), (13.0, 4.2)]]
    c.paint(strokes(path, 4.2), GREEN_DEEP)
    c.paint(strokes(path, 2.2), vgrad((120, 214, 118), (52, 160, 70), 4, 12))
    return c


def cancel_icon_16():
    c = Canvas(16, 16)
    paths = [[(4.2, 4.2), (11.8, 11.8)], [(11.8, 4.2), (4.2, 11.8)]]
    c.paint(strokes(paths, 4.2), RED_DEEP)
    c.paint(strokes(paths, 2.2), vgrad((246, 110, 96), (206, 46, 40), 4, 12))
    return c


def _page(c, s, x0=4.0, y0=2.0, x1=22.0, y1=30.0, lines=True):
    """A sheet with a folded top-right corner. `s` scales 32-px units."""
    f = 6.0
    lw = 1.0
    pts = [(x0 * s, y0 * s), ((x1 - f) * s, y0 * s), (x1 * s, (y0 + f) * s),
           (x1 * s, y1 * s), (x0 * s, y1 * s)]
    sheet = polygon(pts)
    c.paint(sheet, vgrad(WHITE, (228, 236, 236), y0 * s, y1 * s))
    c.paint(outline(sheet, lw), OUTLINE)
    fold = polygon([((x1 - f) * s, y0 * s), ((x1 - f) * s, (y0 + f) * s), (x1 * s, (y0 + f) * s)])
    c.paint(fold, (206, 220, 222))
    c.paint(outline(fold, lw), OUTLINE)
    if lines:
        step = 4.0 if s > 0.75 else 3.0 / s
        y = y0 + 9.0
        while y < y1 - 4:
            xe = x1 - 4.0 if y > y0 + f + 2 else x1 - f - 2.0
            yy = math.floor(y * s) + 0.5
            c.paint(strokes([[((x0 + 3) * s, yy), (xe * s, yy)]], 1.0), (150, 196, 188))
            y += step


def _badge(c, s, kind):
    small = s < 0.75
    if small:
        cx, cy, r = 11.5, 11.5, 4.4
    else:
        cx, cy, r = 22.5, 22.5, 8.0
    if kind == "plus":
        dark, top, bottom = GREEN_DEEP, (120, 210, 120), (40, 150, 64)
    else:
        dark, top, bottom = RED_DEEP, (244, 110, 96), (196, 40, 36)
    disk = circle(cx, cy, r)
    c.paint(disk, vgrad(top, bottom, cy - r, cy + r))
    c.paint(outline(disk, 1.0), dark)
    if small:
        # Pixel-exact glyph: a blurred 3 px sign would be unreadable.
        if kind == "plus":
            c.fill_rect(10, 11, 13, 12, WHITE)
            c.fill_rect(11, 10, 12, 13, WHITE)
        else:
            for d in (-1, 0, 1):
                c.put(11 + d, 11 + d, WHITE)
                c.put(11 + d, 11 - d, WHITE)
    elif kind == "plus":
        k = 3.8
        paths = [[(cx - k, cy), (cx + k, cy)], [(cx, cy - k), (cx, cy + k)]]
        c.paint(strokes(paths, 2.6), WHITE)
    else:
        k = 3.0
        paths = [[(cx - k, cy - k), (cx + k, cy + k)], [(cx + k, cy - k), (cx - k, cy + k)]]
        c.paint(strokes(paths, 2.6), WHITE)


def new_icon(size):
    s = size / 32.0
    c = Canvas(size, size)
    _page(c, s)
    _badge(c, s, "plus")
    return c


def delete_icon(size):
    s = size / 32.0
    c = Canvas(size, size)
    _page(c, s)
    _badge(c, s, "cross")
    return c


def modify_icon(size):
    s = size / 32.0
    c = Canvas(size, size)
    _page(c, s, x0=2.0, x1=20.0)
    # Pencil from lower left (tip) to upper right (eraser).
    ax, ay = 10.0, 27.0
    bx, by = 29.0, 8.0
    dx, dy = bx - ax, by - ay
    ln = math.hypot(dx, dy)
    ux, uy = dx / ln, dy / ln
    nx, ny = -uy, ux
    hw = 3.2 if s > 0.75 else 3.6

    def P(t, n):
        return ((ax + ux * t + nx * n) * s, (ay + uy * t + ny * n) * s)
    tip_len, eraser = 6.0, 4.0
    body = polygon([P(tip_len, -hw), P(ln - eraser, -hw), P(ln - eraser, hw), P(tip_len, hw)])
    c.paint(body, lambda x, y: mix((252, 206, 84), (226, 150, 40),
                                   clamp01(0.5 + ((x / s - ax) * nx + (y / s - ay) * ny) / (2 * hw))))
    if s > 0.75:
        c.paint(strokes([[P(tip_len, 0.0), P(ln - eraser, 0.0)]], 0.9), (214, 138, 30), 0.8)
    band = polygon([P(ln - eraser, -hw), P(ln - eraser + 1.4, -hw), P(ln - eraser + 1.4, hw),
                    P(ln - eraser, hw)])
    c.paint(band, (170, 176, 184))
    rub = polygon([P(ln - eraser + 1.4, -hw), P(ln, -hw), P(ln, hw), P(ln - eraser + 1.4, hw)])
    c.paint(rub, (236, 140, 150))
    wood = polygon([P(0.0, 0.0), P(tip_len, -hw), P(tip_len, hw)])
    c.paint(wood, (240, 214, 170))
    c.paint(polygon([P(0.0, 0.0), P(2.4, -hw * 0.4), P(2.4, hw * 0.4)]), (50, 50, 56))
    whole = polygon([P(0.0, 0.0), P(tip_len, -hw), P(ln, -hw), P(ln, hw), P(tip_len, hw)])
    c.paint(outline(whole, 1.0), (110, 76, 30))
    return c


def exit_icon(size):
    s = size / 32.0
    c = Canvas(size, size)
    # Door frame and the dark doorway.
    frame = rrect(2 * s, 2 * s, 18 * s, 30 * s, 0.5 * s)
    c.paint(frame, (116, 128, 134))
    c.paint(outline(frame, 1.0), (66, 76, 82))
    hole = rrect(4 * s, 4 * s, 16 * s, 30 * s, 0)
    c.paint(hole, vgrad((46, 58, 66), (80, 96, 104), 4 * s, 30 * s))
    # The door leaf swung open towards the viewer.
    leaf_pts = [(4 * s, 4 * s), (12 * s, 6.5 * s), (12 * s, 31.5 * s), (4 * s, 30 * s)]
    door = polygon(leaf_pts)
    c.paint(door, lambda x, y: mix((214, 160, 104), (168, 112, 62), clamp01((x / s - 4) / 8)))
    c.paint(outline(door, 1.0), (104, 66, 30))
    if s > 0.75:
        c.paint(circle(10.0, 18.5, 1.1), (250, 226, 150))
        c.paint(outline(circle(10.0, 18.5, 1.1), 0.7), (104, 66, 30))
    else:
        c.put(5, 9, (250, 226, 150))
    # Arrow leaving through the door.
    ay = 17.0
    arrow = polygon([(14 * s, (ay - 3) * s), (22 * s, (ay - 3) * s), (22 * s, (ay - 7) * s),
                     (30 * s, ay * s), (22 * s, (ay + 7) * s), (22 * s, (ay + 3) * s),
                     (14 * s, (ay + 3) * s)])
    c.paint(arrow, vgrad((120, 212, 120), (40, 150, 64), (ay - 7) * s, (ay + 7) * s))
    c.paint(outline(arrow, 1.0), GREEN_DEEP)
    return c


# --------------------------------------------------------------------------
# Main
# --------------------------------------------------------------------------
README = """# Artwork

Generated by `tools/make_art.py` (Python 3, standard library only).
Regenerate with:

    python3 tools/make_art.py

Do not edit these files by hand; change the script and run it again. The
output is deterministic, so an unchanged script gives identical files.

| file | what it is |
| --- | --- |
| 128_app.ico | application icon, 16x16 and 32x32 |
| 136_menu_banner.bmp | 26x20, 24 bpp: popup menu side banner tile (horizontal gradient, stretched vertically) |
| 137_menu_highlight.bmp | 26x20, 24 bpp: selected menu item background (vertical gradient) |
| 138_ok.ico | 16x16: OK button, green check mark |
| 139_cancel.ico | 16x16: Cancel button, red cross |
| 140_new.ico | 32x32 + 16x16: tool bar "new" (page with a plus) |
| 141_modify.ico | 32x32 + 16x16: tool bar "modify" (pencil over a page) |
| 142_delete.ico | 32x32 + 16x16: tool bar "delete" (page with a red cross) |
| 143_exit.ico | 32x32 + 16x16: tool bar "exit" (open door with an arrow) |
| 144_background.dibz | 414x268, 24 bpp: main calendar window background, a packed DIB compressed with LZNT1 (62 KB instead of 326 KB; the window needs it at start-up, before any imaging component) |
| 147_clock_dial.png | 98x93, RGB PNG (lossless, smaller than the 24-bit bitmap it replaces): clock dial ring with 12, 3, 6, 9 around (50,47) |
| 149_notice.png | 200x132, RGB PNG: reminder notice background with title band (y 0..30) |
| 279_notice_flowers.png | 190x93, RGB PNG: pale plum blossoms behind the notice text |
| 1144_background_150.png, 2144_background_200.png | the background at 150 % (621x402) and 200 % (828x536): indexed PNG, 32 colours, without the paper's grain |
| 2147_clock_dial_200.png | the clock dial at 200 % (196x186): indexed PNG, 48 colours |
| 2149_notice_200.png | the notice background at 200 % (400x264): indexed PNG, 32 colours |
| 248_day1.ico .. 278_day31.ico | tray icons showing the day of the month (247 + day), 16x16 and 32x32 (the 32x32 image as PNG: the tray shows the 16x16 one) |

Palette: paper #FCFAF3, pale jade #E9F4EF / #D6EBE4, teal accent #2E7A72,
deep teal #1C5854, ink #1E262E.

An icon image with at most 256 colours whose every pixel is either opaque
or transparent (the 16x16 tray and application images) is stored with a
palette, 4 or 8 bits a pixel, and draws exactly as a 32-bit image would. An
image with soft, partly transparent edges is 32-bit BGRA: a palette cannot
keep those edges, and a PNG image would lose the AND mask, which 24-bit
masked image lists draw with. A pixel is transparent in the mask exactly
when it is fully transparent (and then black) in the colour image, so
24-bit masked image lists draw them cleanly too.
"""


def build():
    """Return {file name: bytes} for every resource."""
    out = {}
    out["128_app.ico"] = ico_bytes([app_icon_16(), app_icon_32()])
    out["136_menu_banner.bmp"] = bmp24_bytes(draw_menu_banner())
    out["137_menu_highlight.bmp"] = bmp24_bytes(draw_menu_highlight())
    out["138_ok.ico"] = ico_bytes([ok_icon_16()])
    out["139_cancel.ico"] = ico_bytes([cancel_icon_16()])
    out["140_new.ico"] = ico_bytes([new_icon(16), new_icon(32)])
    out["141_modify.ico"] = ico_bytes([modify_icon(16), modify_icon(32)])
    out["142_delete.ico"] = ico_bytes([delete_icon(16), delete_icon(32)])
    out["143_exit.ico"] = ico_bytes([exit_icon(16), exit_icon(32)])
    out["144_background.dibz"] = dibz_bytes(bmp24_bytes(draw_background()))
    out["147_clock_dial.png"] = png_bytes(draw_clock_dial())
    out["149_notice.png"] = png_bytes(draw_notice())
    out["279_notice_flowers.png"] = png_bytes(draw_flowers())
    # Larger sets of the pictures whose lines and figures should stay sharp
    # on larger screens: 150 % under id + 1000, 200 % under id + 2000. The
    # program must stay within 800 KB, so only the window's skin has both; the
    # dial and the notice are drawn at 200 % and scaled down for 150 %, and the
    # pale flowers, soft by nature, are scaled up from 100 %.
    for base, name, draw, colours, scales in ((144, "background", draw_background, 32, (1.5, 2.0)),
                                              (147, "clock_dial", draw_clock_dial, 48, (2.0,)),
                                              (149, "notice", draw_notice, 32, (2.0,))):
        for scale in scales:
            out["%d_%s_%d.png" % (base + int(2000 * (scale - 1)), name, int(scale * 100))] = \
                png_palette_bytes(draw(scale), colours)
    for day in range(1, 32):
        out["%d_day%d.ico" % (247 + day, day)] = ico_bytes([day_icon_16(day), day_icon_32(day)], png_sizes=(32,))
    out["README.md"] = README.encode("utf-8")
    return out


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "res", "art")
    os.makedirs(outdir, exist_ok=True)
    files = build()
    for name in sorted(files):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(files[name])
    print("wrote %d files to %s" % (len(files), os.path.normpath(outdir)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
