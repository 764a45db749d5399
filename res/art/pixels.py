"""Small pictures drawn in code, written as Windows icon and bitmap files.

Only the Python 3 standard library is used, and the same script always gives
the same bytes, so the pictures can be made again and compared with the ones
in the repository.

Public: Canvas (fill_shape, rounded_rect, circle, polygon, rgba), write_ico(),
write_bmp().
"""

import struct

# Each pixel is sampled on a grid of SAMPLES x SAMPLES points; the share of
# points inside a shape is its coverage there (anti-aliasing).
SAMPLES = 4


class Canvas:
    """A square picture of RGBA pixels, drawn on in a unit space of 0..1."""

    def __init__(self, size):
        self.size = size
        self.pixels = [(0, 0, 0, 0)] * (size * size)

    def fill_shape(self, inside, colour, box=(0.0, 0.0, 1.0, 1.0)):
        """Paints colour (r, g, b[, a]) where inside(x, y) holds, x and y in
        0..1; only pixels that meet the box (x0, y0, x1, y1) are looked at."""
        r, g, b = colour[:3]
        a = colour[3] if len(colour) > 3 else 255
        n = self.size
        first_x, last_x = max(0, int(box[0] * n)), min(n, int(box[2] * n) + 1)
        first_y, last_y = max(0, int(box[1] * n)), min(n, int(box[3] * n) + 1)
        for py in range(first_y, last_y):
            for px in range(first_x, last_x):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        x = (px + (sx + 0.5) / SAMPLES) / n
                        y = (py + (sy + 0.5) / SAMPLES) / n
                        if inside(x, y):
                            hits += 1
                if hits:
                    self._blend(px, py, (r, g, b), a * hits // (SAMPLES * SAMPLES))

    def rounded_rect(self, x0, y0, x1, y1, radius, colour):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
        self.fill_shape(inside, colour, (x0, y0, x1, y1))

    def circle(self, cx, cy, radius, colour):
        self.fill_shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2, colour,
                        (cx - radius, cy - radius, cx + radius, cy + radius))

    def polygon(self, points, colour):
        """A polygon given by its corners (x, y), filled by the even-odd rule."""
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill_shape(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def rgba(self, x, y):
        return self.pixels[y * self.size + x]

    def _blend(self, x, y, rgb, alpha):
        # Source over destination, in whole numbers so that every run agrees.
        dr, dg, db, da = self.pixels[y * self.size + x]
        out_a = alpha + da * (255 - alpha) // 255
        if out_a == 0:
            return
        def mix(s, d):
            return (s * alpha + d * da * (255 - alpha) // 255) // out_a
        self.pixels[y * self.size + x] = (mix(rgb[0], dr), mix(rgb[1], dg), mix(rgb[2], db), out_a)


def _dib(canvas):
    """The icon image of one canvas: a BITMAPINFOHEADER, 32-bit BGRA rows
    from the bottom up, and the 1-bit AND mask (set where fully transparent)."""
    n = canvas.size
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = bytearray()
    for y in range(n - 1, -1, -1):
        for x in range(n):
            r, g, b, a = canvas.rgba(x, y)
            rows += bytes((b, g, r, a))
    mask = bytearray()
    stride = ((n + 31) // 32) * 4
    for y in range(n - 1, -1, -1):
        row = bytearray(stride)
        for x in range(n):
            if canvas.rgba(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(rows) + bytes(mask)


def write_ico(path, canvases):
    """An .ico file holding one 32-bit image per canvas (sizes up to 255)."""
    images = [_dib(c) for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack('<BBBBHHII', canvas.size, canvas.size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, 'wb') as f:
        f.write(bytes(out))


def write_bmp(path, canvas, background=(255, 0, 255)):
    """A 24-bit .bmp of the canvas over a flat background colour (magenta by
    default, the colour menus and image lists usually treat as transparent)."""
    n = canvas.size
    stride = (n * 3 + 3) & ~3
    rows = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray()
        for x in range(n):
            r, g, b, a = canvas.rgba(x, y)
            row += bytes(((b * a + background[2] * (255 - a)) // 255,
                          (g * a + background[1] * (255 - a)) // 255,
                          (r * a + background[0] * (255 - a)) // 255))
        rows += row + bytes(stride - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, n, n, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + bytes(rows))
