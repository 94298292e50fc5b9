#!/usr/bin/env python3
"""Draws the viewer's skin images (dark, flat, no text) and the resource script that names them.

Usage: make_skin.py OUTPUT_FOLDER. Writes <id>.png for every skin id and SkinImages.rc, a
resource script fragment of "PNG" resources with absolute paths. Standard library only, so that
any build host can run it.
"""
import math
import os
import struct
import sys
import zlib

BACKGROUND = (28, 29, 32)
PANEL = (40, 42, 46)
EDGE = (70, 73, 80)
TEXT = (205, 208, 214)
ACCENT = (72, 150, 230)
GREEN = (70, 180, 110)
AMBER = (235, 170, 50)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [list(fill) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b = colour[:3]
        a = (colour[3] / 255.0 if len(colour) > 3 else 1.0) * coverage
        p = self.pixels[y * self.width + x]
        da = p[3] / 255.0
        oa = a + da * (1.0 - a)
        if oa <= 0.0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = int(round((c * a + p[i] * da * (1.0 - a)) / oa))
        p[3] = int(round(oa * 255))

    def shape(self, distance, colour, box=None):
        """Fills where the signed distance (pixels, negative inside) is below 0, anti-aliased."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(max(0, int(y0) - 1), min(self.height, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(self.width, int(x1) + 2)):
                self.blend(x, y, colour, clamp01(0.5 - distance(x + 0.5, y + 0.5)))

    def gradient(self, top, bottom, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            colour = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
            for x in range(x0, x1):
                self.blend(x, y, colour, 1.0)

    def png(self):
        raw = b"".join(b"\0" + bytes(v for p in self.pixels[y * self.width:(y + 1) * self.width] for v in p)
                       for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return distance


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def ring(cx, cy, radius, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - radius) - width / 2


def segment(ax, ay, bx, by, width):
    def distance(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = clamp01((px * dx + py * dy) / (dx * dx + dy * dy))
        return math.hypot(px - dx * t, py - dy * t) - width / 2
    return distance


def polyline(points, width):
    parts = [segment(*a, *b, width) for a, b in zip(points, points[1:])]
    return lambda x, y: min(p(x, y) for p in parts)


def polygon(points):
    def distance(x, y):
        inside = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        edge = min(segment(*a, *b, 0)(x, y) for a, b in zip(points, points[1:] + points[:1]))
        return -edge if inside else edge
    return distance


def lighter(colour, amount):
    return tuple(min(255, int(c + (255 - c) * amount)) for c in colour)


def button(width, height, state):
    """One button face: 0 normal, 1 hot, 2 pushed, 3 disabled."""
    canvas = Canvas(width, height)
    face = {0: PANEL, 1: lighter(PANEL, 0.12), 2: (30, 32, 36), 3: (34, 35, 38)}[state]
    edge = {0: EDGE, 1: ACCENT, 2: ACCENT, 3: (52, 54, 58)}[state]
    canvas.shape(rounded_rect(0.5, 0.5, width - 0.5, height - 0.5, 5), edge)
    canvas.shape(rounded_rect(1.5, 1.5, width - 1.5, height - 1.5, 4), face)
    return canvas


def strip(frame_width, height, glyph):
    canvas = Canvas(frame_width * 4, height)
    for state in range(4):
        face = button(frame_width, height, state)
        for y in range(height):
            canvas.pixels[y * canvas.width + state * frame_width:y * canvas.width + (state + 1) * frame_width] = \
                face.pixels[y * frame_width:(y + 1) * frame_width]
        if glyph:
            colour = TEXT if state != 3 else (90, 92, 98)
            glyph(canvas, state * frame_width + frame_width / 2, height / 2, colour)
    return canvas


def menu_glyph(canvas, cx, cy, colour):
    for dy in (-5, 0, 5):
        canvas.shape(segment(cx - 8, cy + dy, cx + 8, cy + dy, 2), colour, (cx - 10, cy - 8, cx + 10, cy + 8))


def panel(width, height):
    canvas = Canvas(width, height)
    canvas.gradient(lighter(BACKGROUND, 0.06), BACKGROUND)
    canvas.shape(lambda x, y: -rounded_rect(0.5, 0.5, width - 0.5, height - 0.5, 0)(x, y) - 1, EDGE)
    return canvas


def bar(width, height):
    canvas = Canvas(width, height)
    canvas.gradient(lighter(BACKGROUND, 0.08), BACKGROUND)
    canvas.shape(segment(0, 0.5, width, 0.5, 1), EDGE)
    return canvas


def separator(width, height):
    canvas = Canvas(width, height)
    canvas.shape(segment(width / 2, 5, width / 2, height - 5, 1), EDGE)
    return canvas


def placeholder(width, height):
    """A page with a folded corner, crossed out: the picture could not be shown."""
    canvas = Canvas(width, height)
    page = [(8, 8), (width - 24, 8), (width - 8, 24), (width - 8, height - 8), (8, height - 8)]
    canvas.shape(polyline(page + page[:1], 3), EDGE)
    canvas.shape(polyline([(width - 24, 8), (width - 24, 24), (width - 8, 24)], 2), EDGE)
    cx, cy = width / 2, height / 2 + 4
    canvas.shape(segment(cx - 14, cy - 14, cx + 14, cy + 14, 4), (200, 80, 70))
    canvas.shape(segment(cx - 14, cy + 14, cx + 14, cy - 14, 4), (200, 80, 70))
    return canvas


def aperture(canvas, cx, cy, radius, colour):
    canvas.shape(ring(cx, cy, radius, 3), colour)
    for i in range(6):
        a = i * math.pi / 3
        canvas.shape(segment(cx + math.cos(a) * radius * 0.35, cy + math.sin(a) * radius * 0.35,
                             cx + math.cos(a + 1.1) * radius, cy + math.sin(a + 1.1) * radius, 2), colour,
                     (cx - radius - 2, cy - radius - 2, cx + radius + 2, cy + radius + 2))


def empty_view(width, height, accent):
    canvas = Canvas(width, height)
    canvas.shape(rounded_rect(0.5, 0.5, width - 0.5, height - 0.5, 10), PANEL)
    aperture(canvas, height / 2, height / 2, height * 0.32, accent)
    for i, length in enumerate((0.62, 0.45, 0.3)):
        y = height * (0.35 + i * 0.15)
        canvas.shape(segment(height, y, height + (width - height - 20) * length, y, 4), EDGE)
    return canvas


def copied_stamp(size):
    canvas = Canvas(size, size)
    canvas.shape(circle(size / 2, size / 2, size / 2 - 2), GREEN + (200,))
    canvas.shape(polyline([(size * 0.28, size * 0.52), (size * 0.44, size * 0.68), (size * 0.74, size * 0.34)],
                          size * 0.09), (255, 255, 255, 235))
    return canvas


def mark_stamp(size):
    canvas = Canvas(size, size)
    canvas.shape(circle(size / 2, size / 2, size / 2 - 2), AMBER + (210,))
    points = []
    for i in range(10):
        r = size * (0.32 if i % 2 == 0 else 0.14)
        a = -math.pi / 2 + i * math.pi / 5
        points.append((size / 2 + math.cos(a) * r, size / 2 + math.sin(a) * r))
    canvas.shape(polygon(points), (255, 255, 255, 235))
    return canvas


def marker(width, height, pointing_left):
    canvas = Canvas(width, height)
    tip, base = (0.0, float(width)) if pointing_left else (float(width), 0.0)
    canvas.shape(polygon([(base, 0.0), (base, float(height)), (tip, height / 2)]), (0, 0, 0))
    return canvas


def dialog_background(width, height):
    canvas = panel(width, height)
    canvas.shape(segment(12, 40.5, width - 12, 40.5, 1), EDGE)
    aperture(canvas, 24, 20, 10, ACCENT)
    return canvas


def program_icon(size):
    canvas = Canvas(size, size)
    canvas.shape(rounded_rect(0.5, 0.5, size - 0.5, size - 0.5, size * 0.2), BACKGROUND + (255,))
    aperture(canvas, size / 2, size / 2, size * 0.36, ACCENT + (255,))
    return canvas


# A program window: the editors window shows it for a program that has no icon of its own.
def editor_icon(size):
    canvas = Canvas(size, size)
    canvas.shape(rounded_rect(1.5, 2.5, size - 1.5, size - 2.5, size * 0.08), TEXT + (255,))
    canvas.shape(rounded_rect(3.5, size * 0.28, size - 3.5, size - 4.5, size * 0.04), BACKGROUND + (255,))
    return canvas


# An icon file whose images are PNG-compressed, one per size.
def icon_file(draw, sizes):
    pictures = [draw(size).png() for size in sizes]
    header = struct.pack("<HHH", 0, 1, len(sizes))
    offset = len(header) + 16 * len(sizes)
    entries = b""
    for size, picture in zip(sizes, pictures):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(picture), offset)
        offset += len(picture)
    return header + entries + b"".join(pictures)


def images():
    return {
        200: button(90, 28, 1), 201: button(90, 28, 2), 202: button(90, 28, 3), 219: button(90, 28, 0),
        203: bar(640, 30),
        204: button(158, 28, 2), 205: button(158, 28, 1), 206: button(158, 28, 0),
        207: panel(186, 245),
        218: dialog_background(281, 185), 221: dialog_background(281, 185),
        220: separator(16, 30),
        222: placeholder(72, 100),
        223: empty_view(386, 96, ACCENT), 224: empty_view(386, 96, GREEN), 225: empty_view(386, 96, TEXT),
        239: empty_view(386, 96, AMBER),
        226: strip(90, 28, None), 243: strip(90, 28, menu_glyph),
        227: bar(632, 28), 228: strip(90, 28, None),
        229: dialog_background(281, 185),
        230: marker(5, 9, True), 231: marker(5, 9, False),
        232: copied_stamp(96),
        233: bar(88, 80), 234: panel(88, 100), 235: bar(88, 65),
        236: mark_stamp(40),
        250: button(90, 28, 0),
    }


def main():
    folder = os.path.abspath(sys.argv[1])
    os.makedirs(folder, exist_ok=True)
    lines = ["// Made by make_skin.py: the skin images and the icon of the program file."]
    for number, canvas in sorted(images().items()):
        path = os.path.join(folder, f"{number}.png")
        with open(path, "wb") as f:
            f.write(canvas.png())
        lines.append(f'{number} PNG "{path}"')
    # The program's icon (the window class's and the tray notice's), id 102.
    icon = os.path.join(folder, "102.ico")
    with open(icon, "wb") as f:
        f.write(icon_file(program_icon, [16, 32, 48]))
    lines.append(f'102 ICON "{icon}"')
    # The editors window's icon for a program without one, id 248.
    icon = os.path.join(folder, "248.ico")
    with open(icon, "wb") as f:
        f.write(icon_file(editor_icon, [16, 32]))
    lines.append(f'248 ICON "{icon}"')
    with open(os.path.join(folder, "SkinImages.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
