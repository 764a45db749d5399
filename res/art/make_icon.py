#!/usr/bin/env python3
"""Draws Tarnvale's own pictures (see pixels.py for the drawing and the file
formats):

  tarnvale.ico   the program icon, 16 to 64 pixels: a USB stick on a blue
                 tile, with the start mark on its body

  make_icon.py [<folder>]  writes them into <folder> (default: res/)
  make_icon.py --check     draws them afresh and compares them with res/;
                           exit code 1 when a file differs

The logo, the menu pictures and the tune are made by make_art.py.
"""

import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pixels import Canvas, write_ico  # noqa: E402

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')

TILE = (31, 95, 150)       # the blue of the tile
STICK = (250, 250, 250)    # the stick's body
METAL = (200, 207, 214)    # its connector
SHADOW = (18, 56, 90)      # holes and edges


def program_icon(size):
    c = Canvas(size)
    c.rounded_rect(0.04, 0.04, 0.96, 0.96, 0.2, TILE)
    # The connector, with its two holes.
    c.rounded_rect(0.37, 0.10, 0.63, 0.36, 0.03, METAL)
    c.rounded_rect(0.42, 0.17, 0.48, 0.24, 0.01, SHADOW)
    c.rounded_rect(0.52, 0.17, 0.58, 0.24, 0.01, SHADOW)
    # The body, with the start mark.
    c.rounded_rect(0.28, 0.32, 0.72, 0.90, 0.08, STICK)
    c.polygon([(0.43, 0.47), (0.43, 0.77), (0.62, 0.62)], TILE)
    return c


def tarnvale_ico(path):
    write_ico(path, [program_icon(n) for n in (16, 24, 32, 48, 64)])


# File name (in res/) -> the function that writes it.
PICTURES = {
    'tarnvale.ico': tarnvale_ico,
}


def main(argv):
    if len(argv) > 1 and argv[1] == '--check':
        with tempfile.TemporaryDirectory() as fresh:
            differ = []
            for name, draw in PICTURES.items():
                draw(os.path.join(fresh, name))
                with open(os.path.join(fresh, name), 'rb') as a, open(os.path.join(RES, name), 'rb') as b:
                    if a.read() != b.read():
                        differ.append(name)
            for name in differ:
                print('res/%s differs from what res/art/make_icon.py draws; run it and commit the result' % name)
            return 1 if differ else 0
    folder = argv[1] if len(argv) > 1 else RES
    for name, draw in PICTURES.items():
        draw(os.path.join(folder, name))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
