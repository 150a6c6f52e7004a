#!/usr/bin/python3
"""Draw the card pictures into data/graficos/<set>/.

Sets written:
  animales/  30 GIF, 256x256: animals on a soft green card
  comida/    30 GIF, 256x256: fruit, vegetables and food on a soft peach card
  objetos/   30 JPEG, photo-like scenes in three shapes (320x240, 240x320,
             256x256): vehicles, toys, tools and other things placed on
             outdoor, sky, sea or table-top backgrounds with light, depth
             of field, shadows, vignette and film grain

The artwork of every subject is a glyph of the Noto Color Emoji font (SIL Open
Font License 1.1); this script also copies the font's Debian copyright file,
which holds that licence, to data/LICENSE-emoji.txt.

The colour emoji font only renders at 109 px, so each glyph is drawn at that
size and resized with LANCZOS.  A glyph the font lacks renders as nothing;
the script stops with an error instead of writing an empty picture.
Randomness (noise, clouds, grain) comes from generators seeded with the file
name, so the output is the same on every run.

Debian packages needed:
    apt-get install python3-pil python3-numpy fonts-noto-color-emoji
Run from the repository root:
    /usr/bin/python3 tools/make_pictures.py
"""
import math
import os
import shutil
import sys
import unicodedata
import zlib

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_PATH = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf"
FONT_COPYRIGHT = "/usr/share/doc/fonts-noto-color-emoji/copyright"
FONT_SIZE = 109           # the only size the CBDT bitmaps are drawn at
OUT_ROOT = os.path.join("data", "graficos")
LICENSE_OUT = os.path.join("data", "LICENSE-emoji.txt")

# ------------------------------------------------------------------ contents
# (file name without extension, emoji)

ANIMALES = [
    ("perro", "\U0001F436"), ("gato", "\U0001F431"), ("ratón", "\U0001F42D"),
    ("conejo", "\U0001F430"), ("zorro", "\U0001F98A"), ("oso", "\U0001F43B"),
    ("panda", "\U0001F43C"), ("koala", "\U0001F428"), ("tigre", "\U0001F42F"),
    ("león", "\U0001F981"), ("vaca", "\U0001F42E"), ("cerdo", "\U0001F437"),
    ("rana", "\U0001F438"), ("mono", "\U0001F435"), ("gallina", "\U0001F414"),
    ("pingüino", "\U0001F427"), ("pollito", "\U0001F424"), ("búho", "\U0001F989"),
    ("caballo", "\U0001F434"), ("unicornio", "\U0001F984"), ("abeja", "\U0001F41D"),
    ("mariposa", "\U0001F98B"), ("caracol", "\U0001F40C"), ("mariquita", "\U0001F41E"),
    ("tortuga", "\U0001F422"), ("pulpo", "\U0001F419"), ("pez", "\U0001F420"),
    ("ballena", "\U0001F433"), ("elefante", "\U0001F418"), ("jirafa", "\U0001F992"),
]

COMIDA = [
    ("manzana", "\U0001F34E"), ("pera", "\U0001F350"), ("naranja", "\U0001F34A"),
    ("limón", "\U0001F34B"), ("plátano", "\U0001F34C"), ("sandía", "\U0001F349"),
    ("uvas", "\U0001F347"), ("fresa", "\U0001F353"), ("cerezas", "\U0001F352"),
    ("melocotón", "\U0001F351"), ("kiwi", "\U0001F95D"), ("coco", "\U0001F965"),
    ("aguacate", "\U0001F951"), ("tomate", "\U0001F345"), ("berenjena", "\U0001F346"),
    ("zanahoria", "\U0001F955"), ("maíz", "\U0001F33D"), ("brócoli", "\U0001F966"),
    ("pimiento", "\U0001FAD1"), ("pepino", "\U0001F952"), ("seta", "\U0001F344"),
    ("pan", "\U0001F35E"), ("queso", "\U0001F9C0"), ("huevo", "\U0001F95A"),
    ("pizza", "\U0001F355"), ("hamburguesa", "\U0001F354"), ("helado", "\U0001F366"),
    ("tarta", "\U0001F370"), ("galleta", "\U0001F36A"), ("rosquilla", "\U0001F369"),
]

# (name, emoji, scene, shape)   shape: L = 320x240, P = 240x320, S = 256x256
OBJETOS = [
    ("camión", "\U0001F69A", "road", "L"),
    ("coche", "\U0001F697", "road", "L"),
    ("autobús", "\U0001F68C", "road", "L"),
    ("tractor", "\U0001F69C", "field", "L"),
    ("bicicleta", "\U0001F6B2", "field", "S"),
    ("moto", "\U0001F3CD", "road", "L"),
    ("tren", "\U0001F682", "field", "L"),
    ("avión", "\u2708", "sky", "L"),
    ("helicóptero", "\U0001F681", "sky", "S"),
    ("cohete", "\U0001F680", "sky", "P"),
    ("globo", "\U0001F388", "sky", "P"),
    ("cometa", "\U0001FA81", "sky", "P"),
    ("barco", "\u26F5", "sea", "S"),
    ("pelota", "\u26BD", "field", "S"),
    ("paraguas", "\u2602", "table", "P"),
    ("reloj", "\u23F0", "table", "S"),
    ("guitarra", "\U0001F3B8", "table", "P"),
    ("trompeta", "\U0001F3BA", "table", "L"),
    ("tambor", "\U0001F941", "table", "S"),
    ("osito", "\U0001F9F8", "table", "P"),
    ("libro", "\U0001F4D5", "table", "S"),
    ("tijeras", "\u2702", "table", "L"),
    ("llave", "\U0001F511", "table", "L"),
    ("bombilla", "\U0001F4A1", "table", "P"),
    ("cámara", "\U0001F4F7", "table", "L"),
    ("gafas", "\U0001F453", "table", "L"),
    ("sombrero", "\U0001F3A9", "table", "S"),
    ("corona", "\U0001F451", "table", "S"),
    ("regalo", "\U0001F381", "table", "S"),
    ("trofeo", "\U0001F3C6", "table", "P"),
]

SHAPES = {"L": (320, 240), "P": (240, 320), "S": (256, 256)}

_font = None


def font():
    global _font
    if _font is None:
        if not os.path.exists(FONT_PATH):
            sys.exit("missing %s: apt-get install fonts-noto-color-emoji" % FONT_PATH)
        _font = ImageFont.truetype(FONT_PATH, FONT_SIZE)
    return _font


def seed_for(name):
    # Seeded by the name without its accents, so that spelling a name properly
    # does not change the picture drawn for it.
    plain = unicodedata.normalize("NFKD", name)
    plain = "".join(c for c in plain if not unicodedata.combining(c) or c == "\u0308")
    return zlib.crc32(unicodedata.normalize("NFC", plain).encode("utf-8"))


def render_emoji(char, box):
    """Return the glyph as an RGBA image, trimmed and scaled so its longer
    side is `box` pixels."""
    im = Image.new("RGBA", (FONT_SIZE * 3, FONT_SIZE * 3), (0, 0, 0, 0))
    ImageDraw.Draw(im).text((FONT_SIZE // 2, FONT_SIZE // 2), char,
                            font=font(), embedded_color=True)
    bbox = im.getchannel("A").getbbox()
    if bbox is None:
        sys.exit("the emoji font has no glyph for U+%04X" % ord(char[0]))
    im = im.crop(bbox)
    # A colour bitmap glyph has many shades; an outline fallback glyph would
    # come out in the single fill colour.
    rgb = np.asarray(im.convert("RGB")).reshape(-1, 3)
    opaque = np.asarray(im.getchannel("A")).reshape(-1) > 200
    if len(np.unique(rgb[opaque], axis=0)) < 4:
        sys.exit("glyph U+%04X rendered without colour" % ord(char[0]))
    w, h = im.size
    k = box / max(w, h)
    return im.resize((max(1, round(w * k)), max(1, round(h * k))), Image.LANCZOS)


def soft_shadow(sprite, blur, opacity, squash=1.0):
    """A blurred dark silhouette of `sprite` (RGBA), optionally squashed
    vertically, with some padding around it.  Returns (image, pad)."""
    pad = int(blur * 3) + 2
    a = sprite.getchannel("A")
    if squash != 1.0:
        a = a.resize((a.width, max(1, round(a.height * squash))), Image.LANCZOS)
    canvas = Image.new("L", (a.width + 2 * pad, a.height + 2 * pad), 0)
    canvas.paste(a, (pad, pad))
    canvas = canvas.filter(ImageFilter.GaussianBlur(blur))
    canvas = canvas.point(lambda v: int(v * opacity))
    shadow = Image.new("RGBA", canvas.size, (20, 20, 30, 0))
    shadow.putalpha(canvas)
    return shadow, pad


# ------------------------------------------------------------------ GIF sets

def card_gif(char, bg, disc, path):
    size, ss = 256, 4
    base = Image.new("RGB", (size * ss, size * ss), bg)
    d = ImageDraw.Draw(base)
    r = 112 * ss
    c = size * ss // 2
    d.ellipse((c - r, c - r, c + r, c + r), fill=disc)
    base = base.resize((size, size), Image.LANCZOS).convert("RGBA")
    sprite = render_emoji(char, 184)
    shadow, pad = soft_shadow(sprite, 5, 0.28)
    x = (size - sprite.width) // 2
    y = (size - sprite.height) // 2 - 2
    base.alpha_composite(shadow, (x - pad + 3, y - pad + 6))
    base.alpha_composite(sprite, (x, y))
    out = base.convert("RGB").quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                                       dither=Image.Dither.FLOYDSTEINBERG)
    out.save(path, optimize=True)


# ------------------------------------------------------------------ photo set

def lerp(a, b, t):
    a = np.asarray(a, dtype=np.float32)
    b = np.asarray(b, dtype=np.float32)
    return a + (b - a) * t[..., None]


def smooth_noise(rng, w, h, cell):
    """Value noise: random values on a coarse grid, smoothly enlarged."""
    gw, gh = max(2, w // cell + 2), max(2, h // cell + 2)
    grid = (rng.random((gh, gw)) * 255).astype(np.uint8)
    im = Image.fromarray(grid, "L").resize((gw * cell, gh * cell), Image.BICUBIC)
    return np.asarray(im.crop((0, 0, w, h)), dtype=np.float32) / 255.0


def fractal_noise(rng, w, h, cells=(64, 32, 16, 8)):
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    for cell in cells:
        total += amp * smooth_noise(rng, w, h, cell)
        norm += amp
        amp *= 0.5
    return total / norm


def sky(rng, w, h, horizon, top, low, clouds=0.5, sun=None):
    y = np.linspace(0.0, 1.0, h, dtype=np.float32)[:, None].repeat(w, 1)
    t = np.clip(y / max(horizon, 1e-3), 0, 1) ** 0.8
    img = lerp(top, low, t)
    if sun is not None:
        sx, sy = sun
        xx = np.arange(w, dtype=np.float32)[None, :] / w
        d = np.sqrt((xx - sx) ** 2 + ((y - sy) * h / w) ** 2)
        glow = np.exp(-d * 6.0)[..., None]
        img = img + glow * np.array([70, 55, 25], np.float32)
    if clouds > 0:
        n = fractal_noise(rng, w, h, (96, 48, 24, 12))
        cover = np.clip((n - (0.62 - 0.18 * clouds)) * 4.0, 0, 1)
        cover *= np.clip(1.1 - y / max(horizon, 1e-3), 0, 1)
        shade = 0.85 + 0.15 * (1.0 - y)
        white = np.stack([248 * shade, 248 * shade, 252 * shade], -1)
        img = img * (1 - cover[..., None] * 0.85) + white * cover[..., None] * 0.85
    return img


def ground(rng, w, h, y0, near, far, texture=0.18, stripe=None):
    """Colour rows y0..h with a far-to-near gradient plus texture; `stripe`
    is the colour of an optional dashed centre line narrowing towards the
    horizon."""
    rows = h - y0
    y = np.linspace(0.0, 1.0, rows, dtype=np.float32)[:, None].repeat(w, 1)
    img = lerp(far, near, y ** 0.7)
    n = fractal_noise(rng, w, rows, (32, 16, 8, 4))
    img *= (1.0 - texture / 2 + texture * n)[..., None]
    if stripe is not None:
        xx = np.arange(w, dtype=np.float32)[None, :]
        dash = ((np.arange(rows)[:, None] * (1 + 3 * y[:, :1]) // 12) % 2 == 0)
        lane = np.abs(xx - w / 2) < 1.0 + 6.0 * y
        paint = np.array(stripe, np.float32) * (0.75 + 0.25 * y[..., None])
        img = np.where((lane & dash)[..., None], paint, img)
    return img


def background(scene, rng, w, h):
    if scene == "sky":
        img = sky(rng, w, h, 1.15, (40, 95, 185), (175, 210, 240), clouds=0.9,
                  sun=(0.82, 0.12))
        return img, None
    if scene == "sea":
        hz = int(h * 0.52)
        img = sky(rng, w, h, hz / h, (60, 120, 200), (200, 222, 240), clouds=0.5,
                  sun=(0.2, 0.3))
        water = ground(rng, w, h, hz, (20, 70, 120), (95, 150, 195), texture=0.35)
        # sparkles on the water
        sp = fractal_noise(rng, w, h - hz, (8, 4, 2))
        water += (np.clip(sp - 0.66, 0, 1) * 500)[..., None]
        img[hz:] = water
        return img, hz
    if scene in ("road", "field"):
        hz = int(h * 0.5)
        img = sky(rng, w, h, hz / h, (70, 130, 205), (205, 225, 240), clouds=0.6,
                  sun=(0.75, 0.15))
        # distant hills
        xx = np.arange(w, dtype=np.float32)
        hills = hz - (10 + 8 * np.sin(xx / w * 5.0 + rng.random() * 6) +
                      5 * np.sin(xx / w * 13.0 + rng.random() * 6)) * h / 240
        yy = np.arange(h, dtype=np.float32)[:, None]
        hill_mask = (yy > hills[None, :]) & (yy < hz)
        img = np.where(hill_mask[..., None], np.array([110, 150, 120], np.float32), img)
        if scene == "road":
            grass = ground(rng, w, h, hz, (70, 130, 50), (130, 165, 105), texture=0.3)
            road = ground(rng, w, h, hz, (80, 80, 85), (140, 140, 145), texture=0.15,
                          stripe=(235, 235, 225))
            ry = np.linspace(0, 1, h - hz, dtype=np.float32)[:, None]
            half = w * (0.08 + 0.55 * ry)
            xx2 = np.abs(np.arange(w, dtype=np.float32)[None, :] - w / 2)
            on_road = (xx2 < half)[..., None]
            img[hz:] = np.where(on_road, road, grass)
        else:
            img[hz:] = ground(rng, w, h, hz, (75, 140, 45), (150, 180, 100), texture=0.35)
        return img, hz
    if scene == "table":
        hz = int(h * 0.58)
        y = np.linspace(0.0, 1.0, hz, dtype=np.float32)[:, None].repeat(w, 1)
        xx = np.linspace(-1.0, 1.0, w, dtype=np.float32)[None, :].repeat(hz, 0)
        hue = rng.integers(0, 3)
        wall_lit = [(238, 226, 205), (214, 228, 232), (232, 218, 222)][hue]
        wall_dark = [(170, 150, 125), (135, 155, 165), (160, 140, 148)][hue]
        light = np.clip(1.0 - np.sqrt((xx + 0.35) ** 2 * 0.6 + (y - 0.1) ** 2) * 0.9, 0, 1)
        wall = lerp(wall_dark, wall_lit, light)
        wall *= (0.96 + 0.08 * fractal_noise(rng, w, hz, (16, 8, 4)))[..., None]
        rows = h - hz
        ty = np.linspace(0.0, 1.0, rows, dtype=np.float32)[:, None]
        tx = np.linspace(-1.0, 1.0, w, dtype=np.float32)[None, :]
        # wood grain: stretched noise along x, converging with perspective
        persp = tx / (0.35 + 0.65 * ty)
        grain = np.sin(persp * 18.0 + 3.0 * fractal_noise(rng, w, rows, (24, 12, 6)) * 2.0)
        wood_light = np.array([186, 128, 78], np.float32)
        wood_dark = np.array([120, 74, 40], np.float32)
        t = (0.5 + 0.5 * grain) * 0.6 + 0.4 * ty
        table = lerp(wood_dark, wood_light, t)
        table *= (0.8 + 0.25 * np.clip(1.0 - np.abs(tx + 0.3) * 0.7, 0, 1))[..., None]
        # darker edge where the table meets the wall
        table[:3] *= 0.7
        img = np.concatenate([wall, table], axis=0)
        return img, hz
    raise ValueError(scene)


def vignette_and_grain(img, rng, strength=0.35, grain=4.5):
    h, w = img.shape[:2]
    yy = np.linspace(-1, 1, h, dtype=np.float32)[:, None]
    xx = np.linspace(-1, 1, w, dtype=np.float32)[None, :]
    v = 1.0 - strength * np.clip((xx ** 2 + yy ** 2) / 2.0, 0, 1) ** 1.2
    img = img * v[..., None]
    noise = rng.normal(0.0, grain, (h, w, 1)).astype(np.float32)
    img = img + noise + rng.normal(0.0, grain * 0.4, (h, w, 3)).astype(np.float32)
    return img


def photo_jpeg(name, char, scene, shape, path):
    w, h = SHAPES[shape]
    rng = np.random.default_rng(seed_for(name))
    bg, hz = background(scene, rng, w, h)
    bg_im = Image.fromarray(np.clip(bg, 0, 255).astype(np.uint8), "RGB")
    bg_im = bg_im.filter(ImageFilter.GaussianBlur(1.6))     # depth of field
    canvas = bg_im.convert("RGBA")

    box = {"L": int(w * 0.58), "P": int(w * 0.76), "S": int(w * 0.68)}[shape]
    sprite = render_emoji(char, box)
    x = (w - sprite.width) // 2
    if scene == "sky":
        y = (h - sprite.height) // 2
        shadow, pad = soft_shadow(sprite, 8, 0.22)
        canvas.alpha_composite(shadow, (x - pad + 10, y - pad + 14))
    else:
        # stand the subject on the ground / table a little below the horizon
        base_y = hz + int((h - hz) * 0.55)
        y = min(base_y - sprite.height, h - sprite.height - 6)
        y = max(y, 4)
        bottom = y + sprite.height
        shadow, pad = soft_shadow(sprite, 6, 0.45, squash=0.18)
        canvas.alpha_composite(shadow, (x - pad + 6, bottom - shadow.height // 2 - 2))
    canvas.alpha_composite(sprite, (x, y))
    # warm key light from the upper left, then lens vignette and grain
    arr = np.asarray(canvas.convert("RGB"), dtype=np.float32)
    yy = np.linspace(0, 1, h, dtype=np.float32)[:, None]
    xx = np.linspace(0, 1, w, dtype=np.float32)[None, :]
    key = (1.06 - 0.12 * (xx * 0.6 + yy * 0.4))[..., None]
    arr = arr * key * np.array([1.02, 1.0, 0.96], np.float32)
    arr = vignette_and_grain(arr, rng)
    out = Image.fromarray(np.clip(arr, 0, 255).astype(np.uint8), "RGB")
    out.save(path, quality=85, optimize=True, progressive=False)


# ------------------------------------------------------------------ main

def check_unique(items, setname):
    names = [n for n, *_ in items]
    if len(set(names)) != len(names):
        sys.exit("duplicate name in set %s" % setname)
    chars = [c for _, c, *_ in items]
    if len(set(chars)) != len(chars):
        sys.exit("the same picture twice in set %s" % setname)


def clean_dir(path):
    os.makedirs(path, exist_ok=True)
    for f in os.listdir(path):
        if f.lower().endswith((".gif", ".jpg")):
            os.remove(os.path.join(path, f))


def main():
    for items, setname in ((ANIMALES, "animales"), (COMIDA, "comida"), (OBJETOS, "objetos")):
        check_unique(items, setname)

    gif_sets = (
        ("animales", ANIMALES, (214, 236, 214), (236, 247, 232)),
        ("comida", COMIDA, (252, 226, 206), (255, 243, 232)),
    )
    for setname, items, bg, disc in gif_sets:
        folder = os.path.join(OUT_ROOT, setname)
        clean_dir(folder)
        for name, char in items:
            card_gif(char, bg, disc, os.path.join(folder, name + ".gif"))
        print("wrote %d pictures to %s" % (len(items), folder))

    folder = os.path.join(OUT_ROOT, "objetos")
    clean_dir(folder)
    for name, char, scene, shape in OBJETOS:
        photo_jpeg(name, char, scene, shape, os.path.join(folder, name + ".jpg"))
    print("wrote %d pictures to %s" % (len(OBJETOS), folder))

    shutil.copyfile(FONT_COPYRIGHT, LICENSE_OUT)
    print("copied %s to %s" % (FONT_COPYRIGHT, LICENSE_OUT))


if __name__ == "__main__":
    main()
