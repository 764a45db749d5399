#!/usr/bin/env python3
"""Draws Tarnvale's pictures and writes its tune, all from this script.

  make_art.py [--out <folder>]      writes the files (default: this folder)
  make_art.py --check               exits 1 when a committed file differs
                                    from what the script makes

Files:
  logo.bmp            64x64, the About window's logo: a mountain lake (a tarn
                      in its vale) in a round badge, on the window's colour
  menu_install.bmp    16x16 system-menu pictures; magenta is the see-through
  menu_about.bmp      colour that the program replaces with the menu's own
  menu_boot_test.bmp
  menu_options.bmp
  tune.mid            the About window's tune: a standard MIDI file, format 0,
                      eight bars at 150 beats per minute (12.8 seconds)

Only the standard library is used, and the output is the same on every run.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

WINDOW = (0xF0, 0xF0, 0xF0)  # the About window's back colour
KEY = (0xFF, 0x00, 0xFF)     # see-through colour of the menu pictures
SAMPLES = 4                  # supersampling per axis


# --- pictures -------------------------------------------------------------------

class Canvas:
    def __init__(self, size, background):
        self.size = size
        self.pixels = [[background for _ in range(size)] for _ in range(size)]

    def fill(self, inside, colour):
        """Blends `colour` over every pixel by the share of its samples for
        which inside(x, y) is true (x, y in pixel units, y downwards)."""
        n = SAMPLES
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(px + (sx + 0.5) / n, py + (sy + 0.5) / n):
                            hits += 1
                if hits:
                    a = hits / (n * n)
                    c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                    old = self.pixels[py][px]
                    self.pixels[py][px] = tuple(round(o + (v - o) * a) for o, v in zip(old, c))

    def fill_hard(self, inside, colour):
        """Like fill, without blending at the edges (for pictures whose
        background is a key colour, which must stay exact)."""
        for py in range(self.size):
            for px in range(self.size):
                if inside(px + 0.5, py + 0.5):
                    self.pixels[py][px] = colour

    def bmp(self):
        """A 24-bit Windows bitmap file, rows bottom-up."""
        size = self.size
        stride = (size * 3 + 3) & ~3
        rows = []
        for y in range(size - 1, -1, -1):
            row = b"".join(bytes((b, g, r)) for r, g, b in self.pixels[y])
            rows.append(row + b"\0" * (stride - len(row)))
        data = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
        return header + info + data


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def mix(c0, c1, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(round(a + (b - a) * t) for a, b in zip(c0, c1))


def logo():
    c = Canvas(64, WINDOW)
    badge = circle(32, 32, 30.5)
    # The ring, then the sky inside it, light towards the horizon.
    c.fill(badge, (0x1B, 0x4F, 0x72))
    sky = circle(32, 32, 28)
    c.fill(sky, lambda x, y: mix((0x6C, 0xB4, 0xE8), (0xE8, 0xF6, 0xFF), (y - 4) / 34))
    # A low sun behind the ridge.
    c.fill(both(sky, circle(44, 24, 6)), (0xFF, 0xD8, 0x6B))
    # Two ridges, the far one paler.
    far = polygon([(2, 40), (16, 22), (24, 28), (38, 14), (52, 27), (62, 36), (62, 44), (2, 44)])
    c.fill(both(sky, far), (0x7D, 0x93, 0xB0))
    snow = polygon([(33, 19), (38, 14), (43, 19), (40, 18), (38, 20), (36, 18)])
    c.fill(both(sky, snow), (0xFA, 0xFC, 0xFF))
    near = polygon([(2, 46), (12, 32), (20, 38), (28, 30), (40, 44), (62, 44), (62, 48), (2, 48)])
    c.fill(both(sky, near), (0x3E, 0x6B, 0x4F))
    # The tarn in the vale, with two light ripples.
    water = both(sky, rect(0, 44, 64, 64))
    c.fill(water, lambda x, y: mix((0x2C, 0x7D, 0xA0), (0x16, 0x4A, 0x6E), (y - 44) / 16))
    c.fill(both(water, ellipse(26, 50, 9, 0.9)), (0xB9, 0xE2, 0xF5))
    c.fill(both(water, ellipse(40, 55, 7, 0.8)), (0x8F, 0xC9, 0xE6))
    return c.bmp()


def menu_install():
    # A disk with a green arrow pointing into it.
    c = Canvas(16, KEY)
    c.fill_hard(rect(1, 9, 15, 15), (0x50, 0x50, 0x58))
    c.fill_hard(rect(2, 10, 14, 14), (0xB4, 0xB8, 0xC0))
    c.fill_hard(rect(11, 11, 13, 13), (0x20, 0xC0, 0x40))
    c.fill_hard(rect(6, 1, 10, 6), (0x1E, 0x90, 0x32))
    c.fill_hard(polygon([(3, 5.5), (13, 5.5), (8, 10.5)]), (0x1E, 0x90, 0x32))
    return c.bmp()


def menu_about():
    # A blue disc with a white "i".
    c = Canvas(16, KEY)
    c.fill_hard(circle(8, 8, 7.3), (0x1B, 0x5E, 0xB4))
    c.fill_hard(circle(8, 8, 6.2), (0x3A, 0x86, 0xDC))
    c.fill_hard(rect(7, 3, 9, 5), (0xFF, 0xFF, 0xFF))
    c.fill_hard(rect(7, 6, 9, 12), (0xFF, 0xFF, 0xFF))
    c.fill_hard(rect(6, 11, 10, 13), (0xFF, 0xFF, 0xFF))
    return c.bmp()


def menu_boot_test():
    # A screen on its stand, showing a green "start" triangle.
    c = Canvas(16, KEY)
    c.fill_hard(rect(1, 2, 15, 12), (0x30, 0x34, 0x3C))
    c.fill_hard(rect(2, 3, 14, 11), (0x12, 0x22, 0x3A))
    c.fill_hard(polygon([(5.5, 3.8), (5.5, 10.4), (11.6, 7.1)]), (0x3C, 0xD0, 0x5A))
    c.fill_hard(rect(7, 12, 9, 14), (0x50, 0x50, 0x58))
    c.fill_hard(rect(4, 14, 12, 15), (0x50, 0x50, 0x58))
    return c.bmp()


def menu_options():
    # A grey gear.
    c = Canvas(16, KEY)

    def gear(x, y):
        dx, dy = x - 8, y - 8
        r = math.hypot(dx, dy)
        angle = math.atan2(dy, dx)
        tooth = math.cos(angle * 8) > 0.2
        return r <= (7.2 if tooth else 5.6)
    c.fill_hard(gear, (0x5A, 0x60, 0x6C))
    c.fill_hard(circle(8, 8, 4.4), (0x9A, 0xA2, 0xB0))
    c.fill_hard(circle(8, 8, 2.0), KEY)
    return c.bmp()


# --- the tune ------------------------------------------------------------------

DIVISION = 480            # ticks per quarter note
TEMPO = 400000            # microseconds per quarter note: 150 beats per minute


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def tune():
    # (beats, note) per voice; 0 is a rest. Eight bars of four beats.
    melody = [
        (1, 76), (1, 79), (1, 81), (1, 79),
        (1, 76), (1, 74), (2, 72),
        (1, 74), (1, 76), (1, 79), (1, 76),
        (3, 74), (1, 0),
        (1, 76), (1, 79), (1, 81), (1, 84),
        (1, 83), (1, 81), (2, 79),
        (1, 81), (1, 79), (1, 76), (1, 74),
        (3, 72), (1, 0),
    ]
    roots = [(48, 55), (45, 52), (41, 48), (43, 50), (48, 55), (43, 50), (41, 43), (48, 43)]
    bass = []
    for first, second in roots:
        bass += [(2, first), (2, second)]

    events = []  # (tick, order, bytes): offs sort before ons at one tick
    for channel, voice, velocity in ((0, melody, 92), (1, bass, 72)):
        tick = 0
        for beats, note in voice:
            length = beats * DIVISION
            if note:
                events.append((tick, 1, bytes((0x90 | channel, note, velocity))))
                events.append((tick + length - 24, 0, bytes((0x80 | channel, note, 0))))
            tick += length
    end = 32 * DIVISION
    events.sort(key=lambda e: (e[0], e[1], e[2]))

    track = b""
    track += vlq(0) + b"\xFF\x03" + vlq(8) + b"Tarnvale"
    track += vlq(0) + b"\xFF\x51\x03" + TEMPO.to_bytes(3, "big")
    track += vlq(0) + b"\xFF\x58\x04" + bytes((4, 2, 24, 8))
    track += vlq(0) + bytes((0xC0, 10))   # music box
    track += vlq(0) + bytes((0xC1, 32))   # acoustic bass
    now = 0
    for tick, _, data in events:
        track += vlq(tick - now) + data
        now = tick
    track += vlq(end - now) + b"\xFF\x2F\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, DIVISION)
    return header + b"MTrk" + struct.pack(">I", len(track)) + track


FILES = {
    "logo.bmp": logo,
    "menu_install.bmp": menu_install,
    "menu_about.bmp": menu_about,
    "menu_boot_test.bmp": menu_boot_test,
    "menu_options.bmp": menu_options,
    "tune.mid": tune,
}


def main(argv):
    if argv[1:] == ["--check"]:
        wrong = []
        for name, make in FILES.items():
            path = os.path.join(HERE, name)
            try:
                with open(path, "rb") as f:
                    same = f.read() == make()
            except OSError:
                same = False
            if not same:
                wrong.append(name)
        if wrong:
            print("not what make_art.py makes (run it to write them again): " + ", ".join(wrong))
            return 1
        print("the pictures and the tune are what make_art.py makes")
        return 0
    out = HERE
    if len(argv) == 3 and argv[1] == "--out":
        out = argv[2]
    elif len(argv) != 1:
        print(__doc__)
        return 2
    os.makedirs(out, exist_ok=True)
    for name, make in FILES.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(make())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
