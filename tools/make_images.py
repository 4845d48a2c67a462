#!/usr/bin/env python3
"""Draw Tavro's toolbar glyphs and application icon into res/, and the
extension's icon for the stores into extension/.

Plain Python 3, no imaging libraries, so the build needs nothing extra.
Run from anywhere: python3 tools/make_images.py [outdir [extensiondir]]
"""
import math
import os
import struct
import sys
import zlib

# Toolbar loaders treat the bottom-left pixel as transparent; magenta never
# appears in the artwork, so it is safe as the key colour.
KEY = (255, 0, 255)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
LIGHT = (224, 224, 224)
NAVY = (0, 0, 128)
BLUE = (0, 64, 224)
SKY = (64, 144, 255)
RED = (224, 0, 0)
DARKRED = (128, 0, 0)
FOLDER_HI = (255, 240, 160)
FOLDER = (240, 200, 80)
FOLDER_LO = (192, 144, 32)
FOLDER_EDGE = (128, 88, 0)


# ---------------------------------------------------------------- masks ---
# Shapes are rasterised to sets of pixels first; painting a set with an
# outline then gives one clean border around unions of several shapes.

def poly(pts):
    """Even-odd scanline fill, sampling at pixel centres."""
    out = set()
    ys = [p[1] for p in pts]
    n = len(pts)
    for y in range(int(math.floor(min(ys))), int(math.ceil(max(ys))) + 1):
        sy = y + 0.5
        xs = []
        for i in range(n):
            (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
            if (y0 <= sy < y1) or (y1 <= sy < y0):
                xs.append(x0 + (sy - y0) * (x1 - x0) / (y1 - y0))
        xs.sort()
        for a, b in zip(xs[0::2], xs[1::2]):
            for x in range(int(math.ceil(a - 0.5)), int(math.ceil(b - 0.5))):
                out.add((x, y))
    return out


def ellipse(cx, cy, rx, ry):
    out = set()
    for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
        for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
            dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
            if dx * dx + dy * dy <= 1.0:
                out.add((x, y))
    return out


def rect(x0, y0, x1, y1):
    """Inclusive pixel rectangle."""
    return {(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)}


def quad(p0, p1, w0, w1=None):
    """Band of width w0 at p0 tapering to w1 at p1."""
    w1 = w0 if w1 is None else w1
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    ln = math.hypot(dx, dy) or 1.0
    nx, ny = -dy / ln, dx / ln
    return poly([(p0[0] + nx * w0 / 2, p0[1] + ny * w0 / 2),
                 (p1[0] + nx * w1 / 2, p1[1] + ny * w1 / 2),
                 (p1[0] - nx * w1 / 2, p1[1] - ny * w1 / 2),
                 (p0[0] - nx * w0 / 2, p0[1] - ny * w0 / 2)])


def thick(pts, w):
    """Polyline of width w with round joins."""
    out = set()
    for a, b in zip(pts, pts[1:]):
        out |= quad(a, b, w)
    for p in pts:
        out |= ellipse(p[0], p[1], w / 2, w / 2)
    return out


def ribbon(pts, w):
    """Smooth band of width w along a curve (one polygon, no lumpy joins)."""
    left, right = [], []
    for i, (x, y) in enumerate(pts):
        (ax, ay), (bx, by) = pts[max(i - 1, 0)], pts[min(i + 1, len(pts) - 1)]
        ln = math.hypot(bx - ax, by - ay) or 1.0
        nx, ny = -(by - ay) / ln * w / 2, (bx - ax) / ln * w / 2
        left.append((x + nx, y + ny))
        right.append((x - nx, y - ny))
    return poly(left + right[::-1])


def line(pts):
    """One-pixel Bresenham polyline through pixel-centre coordinates."""
    out = set()
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        x0, y0, x1, y1 = (int(math.floor(v)) for v in (x0, y0, x1, y1))
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x1 > x0 else -1), (1 if y1 > y0 else -1)
        err = dx + dy
        while True:
            out.add((x0, y0))
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy
    return out


def bezier(p0, p1, p2, p3, steps=16):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append(tuple(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                         for a, b, c, d in zip(p0, p1, p2, p3)))
    return pts


def border(mask):
    return {(x, y) for (x, y) in mask
            if not {(x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)} <= mask}


def arrow(path, width, head_len, head_w):
    """Curved shaft along path with a triangular head at the last point."""
    bx, by = path[-1]
    shaft = [p for p in path[:-1] if math.hypot(p[0] - bx, p[1] - by) > head_len + 1.5]
    # Aim the head along the last stretch of shaft so the two meet squarely.
    ax, ay = shaft[-1]
    ln = math.hypot(bx - ax, by - ay)
    ux, uy = (bx - ax) / ln, (by - ay) / ln
    base = (bx - ux * head_len, by - uy * head_len)
    m = ribbon(shaft + [(base[0] + ux, base[1] + uy)], width)
    m |= poly([(bx + ux, by + uy),
               (base[0] - uy * head_w / 2, base[1] + ux * head_w / 2),
               (base[0] + uy * head_w / 2, base[1] - ux * head_w / 2)])
    return m


# --------------------------------------------------------------- canvas ---

class Canvas:
    def __init__(self, w, h, bg=KEY):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def put(self, pixels, colour):
        if isinstance(colour, list):
            colour = ramp(colour, pixels)
        for x, y in pixels:
            if 0 <= x < self.w and 0 <= y < self.h:
                self.px[y][x] = colour(x, y) if callable(colour) else colour

    def shape(self, mask, fill, edge=BLACK):
        if fill is not None:
            self.put(mask, fill)
        if edge is not None:
            self.put(border(mask), edge)

    def paste(self, other, ox, oy, key=KEY):
        for y in range(other.h):
            for x in range(other.w):
                c = other.px[y][x]
                if c != key:
                    self.put([(ox + x, oy + y)], c)


def ramp(colours, mask):
    """Stepped diagonal light from the top-left across the shape's extent.

    Stepped rather than smooth keeps the palette small and the look flat.
    """
    lo = min(x + y for x, y in mask)
    hi = max(x + y for x, y in mask)
    n = len(colours)

    def f(x, y):
        t = (x + y - lo) / max(1, hi - lo)
        return colours[min(n - 1, int(t * n))]
    return f


def palette_of(canvases):
    cols = []
    for cv in canvases:
        for row in cv.px:
            for c in row:
                if c not in cols:
                    cols.append(c)
    if len(cols) > 256:
        raise ValueError("more than 256 colours")
    return cols


# -------------------------------------------------------------- writers ---

def dib(cv, pal, mask_of=None):
    """BITMAPINFOHEADER + palette + bottom-up rows (+ AND mask); 4 bits a
    pixel where 16 colours do, which halves the resources."""
    bpp = 4 if len(pal) <= 16 else 8
    index = {c: i for i, c in enumerate(pal)}
    stride = ((cv.w * bpp + 31) // 32) * 4
    rows = []
    for y in range(cv.h - 1, -1, -1):
        row = bytearray(stride)
        for x, c in enumerate(cv.px[y]):
            if bpp == 8:
                row[x] = index[c]
            else:
                row[x >> 1] |= index[c] << (0 if x & 1 else 4)
        rows.append(bytes(row))
    pixels = b''.join(rows)
    mask = b''
    if mask_of is not None:
        mstride = ((cv.w + 31) // 32) * 4
        for y in range(cv.h - 1, -1, -1):
            bits = bytearray(mstride)
            for x in range(cv.w):
                if mask_of.px[y][x] == KEY:
                    bits[x >> 3] |= 0x80 >> (x & 7)
            mask += bytes(bits)
    height = cv.h * 2 if mask_of is not None else cv.h
    colours = 1 << bpp
    hdr = struct.pack('<IiiHHIIiiII', 40, cv.w, height, 1, bpp, 0,
                      len(pixels) + len(mask), 0 if mask else 2835,
                      0 if mask else 2835, colours, 0)
    quads = b''.join(bytes((b, g, r, 0)) for r, g, b in pal)
    quads += b'\0' * (4 * (colours - len(pal)))
    return hdr + quads + pixels + mask


def write_bmp(path, cv):
    # Key colour first, so index 0 is the background too.
    key = cv.px[-1][0]
    pal = [key] + [c for c in palette_of([cv]) if c != key]
    body = dib(cv, pal)
    with open(path, 'wb') as f:
        colours = struct.unpack_from('<I', body, 32)[0]
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(body), 0, 0,
                                    14 + 40 + 4 * colours))
        f.write(body)


def write_ico(path, canvases):
    blobs = []
    for cv in canvases:
        # Masked-out pixels must be black in the colour bitmap.
        xor = Canvas(cv.w, cv.h)
        xor.px = [[BLACK if c == KEY else c for c in row] for row in cv.px]
        pal = [BLACK] + [c for c in palette_of([xor]) if c != BLACK]
        blobs.append((cv, dib(xor, pal, mask_of=cv)))
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for cv, blob in blobs:
        bpp, colours = struct.unpack_from('<H', blob, 14)[0], struct.unpack_from('<I', blob, 32)[0]
        out += struct.pack('<BBBBHHII', cv.w % 256, cv.h % 256, colours % 256,
                           0, 1, bpp, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(b for _, b in blobs))


def write_png(path, cv):
    """Palette PNG with the key colour fully transparent."""
    pal = [KEY] + [c for c in palette_of([cv]) if c != KEY]
    index = {c: i for i, c in enumerate(pal)}
    rows = b''.join(b'\0' + bytes(index[c] for c in row) for row in cv.px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack(
            '>I', zlib.crc32(body))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n'
                + chunk(b'IHDR', struct.pack('>IIBBBBB', cv.w, cv.h, 8, 3,
                                             0, 0, 0))
                + chunk(b'PLTE', b''.join(bytes(c) for c in pal))
                + chunk(b'tRNS', b'\0')
                + chunk(b'IDAT', zlib.compress(rows, 9))
                + chunk(b'IEND', b''))


# ---------------------------------------------------------------- parts ---

def page(cv, x0, y0, x1, y1, fold=4):
    """Sheet of paper with a dog-eared top-right corner and some text."""
    body = {(x, y) for (x, y) in rect(x0, y0, x1, y1) if (x1 - x) + (y - y0) >= fold}
    cv.shape(body, WHITE)
    ear = {(x, y) for (x, y) in rect(x1 - fold, y0, x1, y0 + fold)
           if (x1 - x) + (y - y0) >= fold}
    cv.shape(ear, LIGHT)
    for y in range(y0 + fold + 2, y1 - 1, 2):
        cv.put(rect(x0 + 2, y, x1 - 2 - (3 if y % 4 == 0 else 0), y), GREY)


def folder(cv, x0, y0, x1, y1, open_=False):
    """Manila folder; the open one has its front flap tipped to the right."""
    tab = x0 + (x1 - x0) // 3
    back = rect(x0, y0 + 2, x1, y1) | poly([(x0, y0), (tab, y0), (tab + 2, y0 + 2.5),
                                             (x0, y0 + 2.5)])
    if not open_:
        cv.shape(back, [FOLDER_HI, FOLDER, FOLDER, FOLDER_LO], FOLDER_EDGE)
        cv.put(rect(x0 + 1, y0 + 3, x1 - 1, y0 + 3), FOLDER_HI)
        return
    cv.shape(back, FOLDER_LO, FOLDER_EDGE)
    top = y0 + (y1 - y0) * 2 // 5
    slant = (y1 - top) // 2
    flap = poly([(x0, y1 + 1), (x0 + slant, top), (x1 + 1 + slant, top), (x1 + 1, y1 + 1)])
    cv.shape(flap, [FOLDER_HI, FOLDER, FOLDER, FOLDER], FOLDER_EDGE)


def blue_arrow(cv, path, width=3.6, head_len=6, head_w=11):
    cv.shape(arrow(path, width, head_len, head_w), [SKY, BLUE, BLUE], NAVY)


# --------------------------------------------------------------- glyphs ---

def draw_add():
    cv = Canvas(42, 35)
    folder(cv, 1, 15, 24, 33, open_=True)
    page(cv, 27, 1, 39, 21)
    blue_arrow(cv, bezier((28, 8), (19, 0), (9, 2), (11, 19)))
    return cv


def draw_edit():
    cv = Canvas(42, 35)
    page(cv, 26, 2, 39, 32)
    folder(cv, 1, 17, 21, 33)
    blue_arrow(cv, bezier((9, 17), (8, 4), (18, 3), (31, 13)))
    return cv


def draw_delete():
    cv = Canvas(42, 35)
    page(cv, 11, 1, 30, 33, fold=5)
    x = thick([(10, 7), (32, 29)], 5) | thick([(32, 7), (10, 29)], 5)
    cv.shape(x, [(255, 72, 72), RED, RED, (192, 0, 0)], DARKRED)
    return cv


def draw_save():
    cv = Canvas(42, 35)
    # The writing: two wavy strokes, the lower one ending at the pencil tip.
    for base, end in ((22, 15), (30, 15)):
        pts = [(x / 2 + 0.5, base + 0.5 + 1.7 * math.sin(x / 2 * 0.85))
               for x in range(4, 2 * end + 1)]
        cv.put(line(pts), NAVY)
    tip, tail = (16.5, 29), (40, 3.5)
    dx, dy = tail[0] - tip[0], tail[1] - tip[1]
    ln = math.hypot(dx, dy)
    ux, uy = dx / ln, dy / ln

    def at(d):
        return (tip[0] + ux * d, tip[1] + uy * d)
    w = 7
    whole = quad(at(0), at(6), 1, w) | quad(at(6), at(ln), w)
    cv.put(whole, (230, 190, 140))                                   # bare wood
    cv.put(quad(at(6), at(ln - 8), w), (230, 40, 40))
    cv.put(quad(at(6), at(ln - 8), w * 0.35), (255, 120, 110))       # lit facet
    cv.put(quad(at(ln - 8), at(ln - 4), w), SILVER)                   # ferrule
    cv.put(quad(at(ln - 4), at(ln), w), (255, 160, 180))             # eraser
    cv.put(quad(at(0), at(3), 1, 3.5), (40, 40, 40))                 # lead
    cv.put(border(whole), BLACK)
    return cv


def draw_exit():
    cv = Canvas(42, 35)
    wood_edge = (96, 56, 16)
    cv.shape(rect(8, 2, 26, 33), (160, 112, 64), wood_edge)          # frame
    cv.put(rect(11, 5, 23, 32), [(120, 120, 150), (64, 64, 96), (32, 32, 64), (16, 16, 40)])
    cv.put(rect(10, 4, 24, 4) | rect(24, 4, 24, 33), wood_edge)
    # Door swung out towards the viewer, hinged on the left post.
    door = poly([(11, 5), (2, 1), (2, 35), (11, 34)])
    cv.shape(door, [(224, 176, 112), (192, 136, 72), (160, 104, 48)], wood_edge)
    cv.put(border(poly([(9, 8), (4.5, 5.5), (4.5, 17), (9, 17.5)])), wood_edge)
    cv.put(border(poly([(9, 21), (4.5, 21), (4.5, 31), (9, 30)])), wood_edge)
    cv.put(ellipse(8, 19.5, 1.1, 1.1), (255, 224, 0))
    bolt = poly([(31, 1), (40, 1), (35, 12), (40, 12), (27, 34), (31, 18), (26, 18)])
    cv.shape(bolt, [(255, 255, 160), (255, 236, 0), (255, 200, 0), (240, 160, 0)],
             (144, 72, 0))
    return cv


def draw_load():
    cv = Canvas(42, 35)
    cv.shape(rect(18, 1, 40, 22), [WHITE, LIGHT, LIGHT, SILVER])
    cv.shape(rect(21, 4, 37, 18), [(96, 208, 208), (0, 128, 128), (0, 128, 128), (0, 96, 112)],
             (64, 64, 64))
    cv.shape(rect(26, 23, 32, 25), SILVER)
    cv.shape(rect(21, 26, 37, 28), [WHITE, LIGHT, SILVER])
    folder(cv, 1, 21, 17, 33)
    blue_arrow(cv, bezier((8, 21), (6, 6), (12, 4), (27, 10)))
    return cv


def draw_clean():
    cv = Canvas(42, 35)
    cx, cy = 21, 17.5
    ring = ellipse(cx, cy, 17, 17)
    inside = ellipse(cx, cy, 13.5, 13.5)
    cv.put(inside, WHITE)
    # Beetle, head up: legs and feelers first so the body hides their roots.
    for side in (-1, 1):
        for y0, y1, reach in ((14, 10, 6), (19, 19, 8), (23, 28, 6)):
            cv.put(line([(cx + side * 2, y0 + 0.5), (cx + side * reach, y0 + 0.5),
                         (cx + side * (reach + 1.5), y1 + 0.5)]), BLACK)
        cv.put(line([(cx + side * 1, 8.5), (cx + side * 3, 5.5), (cx + side * 5, 5.5)]), BLACK)
    cv.shape(ellipse(cx, 9, 2.5, 2.2), (40, 32, 24), None)
    cv.shape(ellipse(cx, 12.5, 4, 2.5), (56, 40, 24), BLACK)
    shell = ellipse(cx, 20.5, 5.5, 7.5)
    cv.shape(shell, [(144, 96, 48), (104, 68, 32), (72, 44, 20), (72, 44, 20)], BLACK)
    cv.put(line([(cx + 0.5, 14.5), (cx + 0.5, 27.5)]), BLACK)
    sign = (ring - inside) | quad((cx - 10, cy - 10), (cx + 10, cy + 10), 4.5)
    cv.shape(sign, [(255, 80, 80), RED, RED, (192, 0, 0)], DARKRED)
    return cv


def chevron(up, fill, edge):
    cv = Canvas(16, 16)
    pts = [(8, 3), (15, 10), (12.5, 12.5), (8, 8), (3.5, 12.5), (1, 10)]
    if not up:
        pts = [(x, 16 - y) for x, y in pts]
    m = poly(pts)
    cv.shape(m, fill, edge)
    return cv


def strip(up, colours):
    cv = Canvas(32, 16)
    cv.paste(chevron(up, *colours), 0, 0)
    cv.paste(chevron(up, None, GREY), 16, 0)
    return cv


def draw_icon(size):
    cv = Canvas(size, size)
    s = size / 32.0
    sq = rect(0, 0, size - 1, size - 1) if size == 16 else rect(1, 1, size - 2, size - 2)
    cv.shape(sq, (214, 232, 250), (120, 160, 210))
    oval = (150, 196, 240)
    edge = (60, 110, 190)
    cv.shape(ellipse(16 * s, 22 * s, 9.5 * s, 7.5 * s), oval, edge)
    cv.shape(ellipse(16 * s, 10 * s, 6 * s, 5 * s), oval, edge)
    return cv


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'res')
    ext = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, 'extension')
    os.makedirs(out, exist_ok=True)
    os.makedirs(ext, exist_ok=True)
    images = {
        'add': draw_add(), 'edit': draw_edit(), 'delete': draw_delete(),
        'save': draw_save(), 'exit': draw_exit(), 'load': draw_load(),
        'clean': draw_clean(),
        'up': strip(True, ((255, 160, 32), (176, 88, 0))),
        'down': strip(False, (SKY, NAVY)),
    }
    for name, cv in images.items():
        assert cv.px[-1][0] == KEY, name
        write_bmp(os.path.join(out, name + '.bmp'), cv)
    write_ico(os.path.join(out, 'tavro.ico'), [draw_icon(16), draw_icon(32)])
    # The Chrome Web Store wants 128 pixels with the artwork in the middle
    # 96 and the margin transparent.
    store = Canvas(128, 128)
    store.paste(draw_icon(96), 16, 16)
    write_png(os.path.join(ext, 'icon128.png'), store)


if __name__ == '__main__':
    main()
