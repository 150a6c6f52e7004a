#!/usr/bin/python3
"""Draw the card back, data/fondo.jpg (400x400 JPEG), and the same back at
double density, data/fondo@2x.jpg (800x800), for screens with two device
pixels to the pixel.

The game paints this picture unscaled from the top-left corner of every card
slot and cuts it off at the slot's edges, so the design is a seamless
repeating lattice with no centred motif: deep blue ground, a light blue
diagonal double-line lattice, small gold four-pointed stars where the lines
cross and pale dots in the middle of each diamond.  Any top-left crop of any
size looks like a complete card back.  One lattice period is 60 px and the
picture starts on a star, so the top-left corner of every card carries one.

The drawing is computed at 4x size and reduced, for smooth edges.

Debian packages needed:
    apt-get install python3-pil python3-numpy
Run from the repository root:
    /usr/bin/python3 tools/make_back.py
"""
import os

import numpy as np
from PIL import Image

SIZE = 400
PERIOD = 60          # spacing of the lattice along each axis, in pixels
SS = 4               # supersampling factor
OUT = os.path.join("data", "fondo.jpg")
OUT_2X = os.path.join("data", "fondo@2x.jpg")

GROUND = np.array([18, 36, 96], np.float32)
GROUND_DEEP = np.array([12, 24, 70], np.float32)
LINE = np.array([96, 146, 222], np.float32)
STAR = np.array([240, 200, 96], np.float32)
DOT = np.array([160, 190, 240], np.float32)


def coverage(dist, half_width):
    """Anti-aliased coverage (0..1) of a shape whose signed edge distance in
    output pixels is `dist` - `half_width`."""
    return np.clip(half_width - dist + 0.5, 0.0, 1.0)


def draw(scale, path):
    n = SIZE * scale * SS
    c = (np.arange(n, dtype=np.float32) + 0.5) / (SS * scale)
    x, y = np.meshgrid(c, c)
    p = float(PERIOD)

    # distance (in output px) to the nearest line of each diagonal family
    def line_dist(s, offset=0.0):
        t = (s - offset) / p
        return np.abs(t - np.round(t)) * p / np.sqrt(2.0)

    a = x + y
    b = x - y
    img = np.empty((n, n, 3), np.float32)

    # ground: slightly darker inside each diamond, lighter near the lines,
    # which gives the lattice a soft embossed look
    da, db = line_dist(a), line_dist(b)
    near = np.minimum(da, db) / (p / (2 * np.sqrt(2.0)))     # 0 on a line, 1 at the centre
    img[:] = GROUND + (GROUND_DEEP - GROUND) * (near ** 1.5)[..., None]

    def paint(mask, colour, strength=1.0):
        m = (mask * strength)[..., None]
        img[:] = img * (1 - m) + colour * m

    # double lines: a main line plus two thin companions either side
    for d in (da, db):
        paint(coverage(d, 1.1), LINE)
        paint(coverage(np.abs(d - 5.5), 0.4), LINE, 0.6)

    # crossing points lie where both families meet: stars
    u = x / (p / 2)
    v = y / (p / 2)
    iu, iv = np.round(u), np.round(v)
    crossing = ((iu + iv) % 2 == 0)
    dx = np.abs(x - iu * p / 2)
    dy = np.abs(y - iv * p / 2)
    astroid = np.sqrt(dx) + np.sqrt(dy)                 # four-pointed star shape
    star = np.clip((np.sqrt(13.0) - astroid) * 2.5, 0, 1) * crossing
    ring = coverage(np.abs(np.hypot(dx, dy) - 6.5), 0.5) * crossing
    paint(ring, GROUND_DEEP, 0.8)
    paint(star, STAR)

    # the other half of those points are diamond centres: small dots
    centre = ~crossing
    dot = coverage(np.hypot(dx, dy), 2.3) * centre
    halo = coverage(np.hypot(dx, dy), 4.5) * centre
    paint(halo, GROUND_DEEP, 0.6)
    paint(dot, DOT)

    side = SIZE * scale
    small = img.reshape(side, SS, side, SS, 3).mean(axis=(1, 3))
    out = Image.fromarray(np.clip(small + 0.5, 0, 255).astype(np.uint8), "RGB")
    out.save(path, quality=92, optimize=True)
    print("wrote %s (%dx%d)" % (path, side, side))


def main():
    draw(1, OUT)
    draw(2, OUT_2X)


if __name__ == "__main__":
    main()
