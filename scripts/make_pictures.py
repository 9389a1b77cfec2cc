#!/usr/bin/env python3
"""Draws the main window's pictures as XPM files, and the menu entry's icon as PNG.

    scripts/make_pictures.py            # rewrites src/forms/pictures/*.xpm
    scripts/make_pictures.py --theme-icons DIR NAME SIZE...
                                        # the window icon's ball for the icon theme:
                                        # DIR/hicolor/SxS/apps/NAME.png (the build runs this)

ball.xpm        28 x 26: a shaded soccer ball on a light blue square (possession icons)
arrow_right.xpm 32 x 32: an arrow pointing right, shaded grey with a black outline (mirrored
                for the left one)
icon.xpm        32 x 32: a black-and-white soccer ball (the window icon), 16-colour palette
NAME.png        S x S: the same ball with smoothed edges on a transparent
                background (the menu entry's icon), one file for each SIZE

Everything is computed here; the output is deterministic, so re-running the
script leaves the committed files unchanged.
"""
import math
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "forms", "pictures")

# --- the ball: a truncated icosahedron seen from slightly above -------------

PHI = (1 + 5 ** 0.5) / 2


def normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def icosahedron_vertices():
    vs = []
    for a in (-1, 1):
        for b in (-PHI, PHI):
            vs += [(0, a, b), (a, b, 0), (b, 0, a)]
    return [normalise(v) for v in vs]


def icosahedron_face_centres(vertices):
    centres = []
    n = len(vertices)
    edge = min(
        math.dist(vertices[i], vertices[j]) for i in range(n) for j in range(i + 1, n))
    for i in range(n):
        for j in range(i + 1, n):
            for k in range(j + 1, n):
                a, b, c = vertices[i], vertices[j], vertices[k]
                if all(abs(math.dist(p, q) - edge) < 1e-6 for p, q in ((a, b), (b, c), (a, c))):
                    centres.append(normalise(tuple(a[t] + b[t] + c[t] for t in range(3))))
    return centres


def rotate(v, ax, ay):
    x, y, z = v
    y, z = y * math.cos(ax) - z * math.sin(ax), y * math.sin(ax) + z * math.cos(ax)
    x, z = x * math.cos(ay) + z * math.sin(ay), -x * math.sin(ay) + z * math.cos(ay)
    return (x, y, z)


PENTAGONS = [rotate(v, 0.35, 0.2) for v in icosahedron_vertices()]
HEXAGONS = [rotate(v, 0.35, 0.2) for v in icosahedron_face_centres(icosahedron_vertices())]
LIGHT = normalise((-0.5, -0.6, 0.65))  # from the upper left, in front
FACES = PENTAGONS + HEXAGONS
ICON_SEAM = 0.007  # how near two faces count as their seam, on the window icon


def surface_kind(p, seam):
    """The ball's surface at the unit vector p: 'black' on a pentagon, 'seam'
    where two faces meet (within `seam`), else 'white'."""
    dots = [p[0] * c[0] + p[1] * c[1] + p[2] * c[2] for c in FACES]
    if max(dots[:len(PENTAGONS)]) > 0.93:
        return "black"
    first = second = -2.0
    for v in dots:
        if v > first:
            first, second = v, first
        elif v > second:
            second = v
    return "seam" if first - second < seam else "white"


def ball_pixel(px, py, cx, cy, r, seam=0.025, thin_seams=False, samples=4):
    """Returns (coverage, kind, shade) of one pixel: kind is 'black', 'white' or 'seam'."""
    hits = []
    for sy in range(samples):
        for sx in range(samples):
            x = (px + (sx + 0.5) / samples - cx) / r
            y = (py + (sy + 0.5) / samples - cy) / r
            d = x * x + y * y
            if d >= 1:
                continue
            z = math.sqrt(1 - d)
            p = (x, y, z)
            lambert = max(0.0, sum(a * b for a, b in zip(p, LIGHT)))
            hits.append((surface_kind(p, seam), lambert, p))
    coverage = len(hits) / (samples * samples)
    if not hits:
        return 0.0, None, 0.0
    kinds = [h[0] for h in hits]
    kind = max(set(kinds), key=kinds.count)
    if thin_seams and kinds.count("seam") >= len(kinds) / 4:
        kind = "seam"
    shade = sum(h[1] for h in hits) / len(hits)
    return coverage, kind, shade


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def shaded_ball(width, height, back):
    """The possession icon: a shaded ball on a square of `back`."""
    cx, cy, r = width / 2, height / 2, min(width, height) / 2 - 1.5
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            coverage, kind, light = ball_pixel(x, y, cx, cy, r)
            if kind is None:
                row.append(back)
                continue
            level = 0.35 + 0.65 * light
            if kind == "black":
                colour = mix((0, 0, 0), (90, 90, 90), light ** 3)
            elif kind == "seam":
                colour = mix((60, 60, 60), (150, 150, 150), level)
            else:
                colour = mix((110, 110, 120), (255, 255, 255), level)
            # A dark rim where the sphere turns away.
            colour = mix(back, colour, coverage)
            row.append(colour)
        pixels.append(row)
    return pixels


def icon_ball(size):
    """The window icon: black pentagons and outline on white, transparent around."""
    cx = cy = size / 2
    r = size / 2 - 1
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            coverage, kind, _ = ball_pixel(x, y, cx, cy, r, seam=ICON_SEAM, thin_seams=True)
            if kind is None or coverage < 0.3:
                row.append(None)
                continue
            rim = math.hypot(x + 0.5 - cx, y + 0.5 - cy) > r - 1.2
            if rim or kind in ("black", "seam"):
                row.append((0, 0, 0))
            else:
                row.append((255, 255, 255))
        pixels.append(row)
    return pixels


def icon_point(x, y, cx, cy, r, rim):
    """The window icon at one point: None outside the ball, else 'black' (a
    pentagon, a seam or the outline `rim` wide) or 'white'."""
    dx, dy = (x - cx) / r, (y - cy) / r
    d = dx * dx + dy * dy
    if d >= 1:
        return None
    if math.sqrt(d) * r > r - rim:
        return "black"
    kind = surface_kind((dx, dy, math.sqrt(1 - d)), ICON_SEAM)
    return "white" if kind == "white" else "black"


SOLID_RGBA = {None: bytes((0, 0, 0, 0)), "black": bytes((0, 0, 0, 255)),
              "white": bytes((255, 255, 255, 255))}


def theme_icon(size):
    """The window icon's ball at `size` pixels as RGBA rows: white with black
    pentagons, seams and outline, edges smoothed by 4 x 4 samples a pixel.
    Above 64 pixels a seam is wider than a pixel, so a pixel whose four
    corners agree is taken as uniform and only the others are sampled (which
    keeps the build quick)."""
    cx = cy = size / 2
    r = size / 2 - max(1.0, size / 32)
    rim = max(1.2, size * 0.012)
    corners = None
    if size > 64:
        corners = [[icon_point(x, y, cx, cy, r, rim) for x in range(size + 1)]
                   for y in range(size + 1)]
    samples = 4
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            # Near the outline the seams run edge-on, thinner than a pixel, and
            # can pass between four agreeing corners: always sampled there.
            near_rim = abs(math.hypot(px + 0.5 - cx, py + 0.5 - cy) - (r - rim)) < 6
            if corners is not None and not near_rim:
                k = {corners[py][px], corners[py][px + 1], corners[py + 1][px],
                     corners[py + 1][px + 1]}
                if len(k) == 1:
                    row += SOLID_RGBA[k.pop()]
                    continue
            white = inside = 0
            for sy in range(samples):
                for sx in range(samples):
                    kind = icon_point(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples,
                                      cx, cy, r, rim)
                    if kind is not None:
                        inside += 1
                        white += kind == "white"
            if inside == 0:
                row += SOLID_RGBA[None]
            else:
                grey = round(255 * white / inside)
                row += bytes((grey, grey, grey, round(255 * inside / (samples * samples))))
        rows.append(bytes(row))
    return rows


def write_png(path, rows):
    """An 8-bit RGBA PNG; deterministic, so a rebuild writes the same bytes."""
    height, width = len(rows), len(rows[0]) // 4

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def write_theme_icons(out_dir, name, sizes):
    for size in sizes:
        apps = os.path.join(out_dir, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(apps, exist_ok=True)
        write_png(os.path.join(apps, name + ".png"), theme_icon(size))


# --- the arrows ---------------------------------------------------------------

def arrow(size, pointing_right):
    """A block arrow: grey body lit from above, darker below, black outline."""
    shaft_top, shaft_bottom = 11, 20
    head_start, tip = 15, 30
    tail = 2
    mid = 15.5

    def inside(x, y):
        if tail <= x < head_start and shaft_top <= y <= shaft_bottom:
            return True
        if head_start <= x <= tip:
            half = (tip - x) * 13.5 / (tip - head_start)
            return abs(y - mid) <= half
        return False

    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            ax = x if pointing_right else size - 1 - x
            if not inside(ax, y):
                row.append(None)
                continue
            edge = any(not inside(ax + dx, y + dy) for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))
            if edge:
                row.append((0, 0, 0))
                continue
            t = (y - 1) / (size - 2)
            grey = round(225 - 150 * t)
            row.append((grey, grey, grey))
        pixels.append(row)
    return pixels


# --- XPM output ---------------------------------------------------------------

CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789#$%&*+-=@"


def quantise(pixels, levels, keep):
    """Fewer shades, so the palette stays small; `keep` (the square) stays exact."""
    step = 256 // levels

    def level(c):
        return c if c in (0, 255) else min(255, (c // step) * step + step // 2)

    return [[p if p is None or p == keep else tuple(level(c) for c in p) for p in row]
            for row in pixels]


def write_xpm(name, pixels):
    colours = sorted({p for row in pixels for p in row if p is not None})
    transparent = any(p is None for row in pixels for p in row)
    per_char = 1 if len(colours) + 1 <= len(CHARS) else 2
    codes = {}
    for i, c in enumerate(colours):
        codes[c] = CHARS[i] if per_char == 1 else CHARS[i // len(CHARS)] + CHARS[i % len(CHARS)]
    blank = " " * per_char
    height, width = len(pixels), len(pixels[0])
    ident = name.replace(".xpm", "").replace("-", "_")
    lines = ["/* XPM */", f"static const char *{ident}[] = {{",
             f'"{width} {height} {len(colours) + transparent} {per_char}",']
    if transparent:
        lines.append(f'"{blank} c None",')
    for c in colours:
        lines.append(f'"{codes[c]} c #{c[0]:02X}{c[1]:02X}{c[2]:02X}",')
    for y, row in enumerate(pixels):
        text = "".join(blank if p is None else codes[p] for p in row)
        lines.append(f'"{text}"' + ("," if y < height - 1 else ""))
    lines.append("};")
    with open(os.path.join(OUT, name), "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    if len(sys.argv) > 4 and sys.argv[1] == "--theme-icons":
        write_theme_icons(sys.argv[2], sys.argv[3], [int(s) for s in sys.argv[4:]])
        return
    if len(sys.argv) != 1:
        sys.exit(__doc__)
    os.makedirs(OUT, exist_ok=True)
    light_blue = (153, 153, 255)
    write_xpm("ball.xpm", quantise(shaded_ball(28, 26, light_blue), 16, light_blue))
    write_xpm("arrow_right.xpm", arrow(32, True))
    write_xpm("icon.xpm", icon_ball(32))


if __name__ == "__main__":
    main()
