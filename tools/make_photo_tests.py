#!/usr/bin/python3
"""Make the small phone-format pictures the tests deal: tests/data/fotos/.

Every picture is a plain colour with a blue block in its top left corner as it
is meant to be seen, so a test can tell whether it is shown upright.

  plano.heic        320x240 HEIC, no thumbnail
  miniatura.heic    320x240 HEIC whose 160x120 thumbnail is green, not the
                    picture's red: a test sees which of the two was decoded
  grande.heic       the same at 4000x3000: its picture takes long enough to decode
                    that a card is turned while only the thumbnail is ready
  girado.heic       seen 240x320: stored 320x240 and turned by an irot box
  plano.avif        320x240 AVIF
  girado.avif       seen 240x320: stored 320x240, turned the other way
  miniatura.jpg     320x240 JPEG with a green 160x120 EXIF thumbnail
  miniatura-girada.jpg seen 240x320: picture and thumbnail stored 320x240
                    and 160x120, turned by the EXIF orientation 6
  miniatura-rota.jpg the same as miniatura.jpg with an EXIF thumbnail that ends after its
                    header: readable size, no picture
  cortado.heic      plano.heic cut short inside its coded picture (its
                    header boxes whole)
  enorme.heic       plano.heic claiming 60000x60000 pixels

The HEIF files are encoded by heif-enc; the thumbnail reference and the
rotation are written into the boxes here (heif-enc 1.15 writes neither from a
picture of our own), and every turned file is decoded again with heif-convert
to check that it comes out upright.

Debian packages needed:
    apt-get install libheif-examples libimage-exiftool-perl python3-pil
Run from the repository root:
    /usr/bin/python3 tools/make_photo_tests.py
"""
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw

OUT = os.path.join("tests", "data", "fotos")
BLUE = (20, 30, 200)


def picture(size, colour):
    """A plain picture with the blue block in its top left corner."""
    im = Image.new("RGB", size, colour)
    ImageDraw.Draw(im).rectangle([0, 0, size[0] // 4, size[1] // 4], fill=BLUE)
    return im


def boxes(data, start, end):
    """(type, start, size) of the boxes laid between start and end."""
    while start + 8 <= end:
        size, kind = struct.unpack(">I4s", data[start:start + 8])
        yield kind.decode("latin-1"), start, size
        start += size


def find(data, kind, start=0, end=None):
    for k, s, n in boxes(data, start, len(data) if end is None else end):
        if k == kind:
            return s, n
    sys.exit("no %s box" % kind)


def box(kind, payload):
    return struct.pack(">I4s", 8 + len(payload), kind.encode()) + payload


def shift_iloc(iloc, delta):
    """The iloc box with every file offset moved by delta (the data moves when the header grows)."""
    b = bytearray(iloc)
    version = b[8]
    sizes = b[12]
    offset_size, length_size = sizes >> 4, sizes & 15
    base_size, index_size = b[13] >> 4, (b[13] & 15 if version else 0)
    p = 14
    if version < 2:
        count, p = struct.unpack(">H", b[p:p + 2])[0], p + 2
    else:
        count, p = struct.unpack(">I", b[p:p + 4])[0], p + 4

    def field(at, n):
        return int.from_bytes(b[at:at + n], "big") if n else 0

    for _ in range(count):
        p += 2 if version < 2 else 4
        if version:
            p += 2  # construction method
        p += 2  # data reference index
        base = p
        p += base_size
        extents, p = struct.unpack(">H", b[p:p + 2])[0], p + 2
        if base_size:
            b[base:base + base_size] = (field(base, base_size) + delta).to_bytes(base_size, "big")
        for _ in range(extents):
            p += index_size
            if not base_size:
                b[p:p + offset_size] = (field(p, offset_size) + delta).to_bytes(offset_size, "big")
            p += offset_size + length_size
    return bytes(b)


def edit_meta(data, edit):
    """Rewrites the meta box's children with edit(children) and moves the data offsets."""
    ms, mn = find(data, "meta")
    children = [[k, data[s:s + n]] for k, s, n in boxes(data, ms + 12, ms + mn)]
    edit(children)
    body = b"".join(c for _, c in children)
    delta = len(body) + 12 - mn
    body = b"".join(shift_iloc(c, delta) if k == "iloc" else c for k, c in children)
    meta = struct.pack(">I4s", 12 + len(body), b"meta") + data[ms + 8:ms + 12] + body
    return data[:ms] + meta + data[ms + mn:]


def add_rotation(data, quarter_turns):
    """Gives every image item an irot property of quarter_turns × 90° anticlockwise."""
    def edit(children):
        for child in children:
            if child[0] != "iprp":
                continue
            iprp = child[1]
            cs, cn = find(iprp, "ipco", 8)
            ps, pn = find(iprp, "ipma", 8)
            ipco = iprp[cs:cs + cn]
            index = len(list(boxes(ipco, 8, len(ipco)))) + 1
            ipco = ipco[:4] + b"ipco" + ipco[8:] + box("irot", bytes([quarter_turns & 3]))
            ipco = struct.pack(">I", len(ipco)) + ipco[4:]
            ipma = bytearray(iprp[ps:ps + pn])
            version, wide = ipma[8], ipma[11] & 1
            count = struct.unpack(">I", ipma[12:16])[0]
            out, p = bytearray(ipma[:16]), 16
            for _ in range(count):
                id_len = 4 if version else 2
                out += ipma[p:p + id_len]
                n = ipma[p + id_len]
                assoc = ipma[p + id_len + 1:p + id_len + 1 + n * (2 if wide else 1)]
                p += id_len + 1 + len(assoc)
                extra = struct.pack(">H", 0x8000 | index) if wide else bytes([0x80 | index])
                out += bytes([n + 1]) + assoc + extra
            out[0:4] = struct.pack(">I", len(out))
            rest = [iprp[s:s + n] for k, s, n in boxes(iprp, 8, len(iprp))
                    if k not in ("ipco", "ipma")]
            body = ipco + bytes(out) + b"".join(rest)
            child[1] = box("iprp", body)
    return edit_meta(data, edit)


def make_thumbnail(data, thumb_id, main_id):
    """Turns top-level item thumb_id into the thumbnail of item main_id (an iref thmb box)."""
    ref = box("thmb", struct.pack(">HHH", thumb_id, 1, main_id))
    iref = struct.pack(">I4sI", 12 + len(ref), b"iref", 0) + ref

    def edit(children):
        if any(k == "iref" for k, _ in children):
            sys.exit("iref already there")
        at = next(i for i, (k, _) in enumerate(children) if k == "iprp")
        children.insert(at, ["iref", iref])
    return edit_meta(data, edit)


def heif_enc(tmp, images, out):
    paths = []
    for i, im in enumerate(images):
        paths.append(os.path.join(tmp, "in%d.png" % i))
        im.save(paths[-1])
    subprocess.run(["heif-enc", "-q", "40", "-o", out] + paths, check=True,
                   stdout=subprocess.DEVNULL)
    with open(out, "rb") as f:
        return f.read()


def check_upright(tmp, path, expected):
    png = os.path.join(tmp, "check.png")
    subprocess.run(["heif-convert", path, png], check=True, stdout=subprocess.DEVNULL)
    got = Image.open(png).convert("RGB")
    if got.size != expected.size:
        sys.exit("%s: seen as %s, meant %s" % (path, got.size, expected.size))
    w, h = got.size
    for x, y in ((w // 8, h // 8), (w // 2, h // 2)):
        if max(abs(a - b) for a, b in zip(got.getpixel((x, y)), expected.getpixel((x, y)))) > 40:
            sys.exit("%s: not upright at %d,%d" % (path, x, y))


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        scratch = os.path.join(tmp, "x.heic")
        plain = heif_enc(tmp, [picture((320, 240), (230, 140, 30))], scratch)
        write("plano.heic", plain)

        two = heif_enc(tmp, [picture((320, 240), (200, 30, 30)),
                             picture((160, 120), (30, 180, 60))], scratch)
        write("miniatura.heic", make_thumbnail(two, 2, 1))
        large = heif_enc(tmp, [picture((4000, 3000), (200, 30, 30)),
                               picture((160, 120), (30, 180, 60))], scratch)
        write("grande.heic", make_thumbnail(large, 2, 1))

        for name, colour, turns in (("girado.heic", (150, 60, 170), 1),
                                    ("girado.avif", (40, 160, 170), 3)):
            upright = picture((240, 320), colour)
            # Stored so that turning it quarter_turns × 90° anticlockwise shows it upright.
            stored = upright.rotate(-90 * turns, expand=True)
            target = os.path.join(tmp, name)
            data = add_rotation(heif_enc(tmp, [stored], target), turns)
            write(name, data)
            with open(target, "wb") as f:
                f.write(data)
            check_upright(tmp, target, upright)

        write("plano.avif", heif_enc(tmp, [picture((320, 240), (90, 140, 40))],
                                     os.path.join(tmp, "p.avif")))

        main_jpg = os.path.join(tmp, "m.jpg")
        picture((320, 240), (200, 30, 30)).save(main_jpg, quality=70)
        thumb = os.path.join(tmp, "t.jpg")
        picture((160, 120), (30, 180, 60)).save(thumb, quality=70)
        with open(thumb, "rb") as f:
            t = f.read()
        sof = t.find(b"\xff\xc0")
        cut = os.path.join(tmp, "cut.jpg")
        with open(cut, "wb") as f:
            f.write(t[:sof + 2 + struct.unpack(">H", t[sof + 2:sof + 4])[0]])
        # Stored a quarter turn anticlockwise: orientation 6 turns it a quarter clockwise.
        turned_jpg = os.path.join(tmp, "g.jpg")
        picture((240, 320), (200, 30, 30)).rotate(90, expand=True).save(turned_jpg, quality=70)
        turned_thumb = os.path.join(tmp, "gt.jpg")
        picture((120, 160), (30, 180, 60)).rotate(90, expand=True).save(turned_thumb, quality=70)
        for name, main, source, orientation in (
                ("miniatura.jpg", main_jpg, thumb, 1),
                ("miniatura-girada.jpg", turned_jpg, turned_thumb, 6),
                ("miniatura-rota.jpg", main_jpg, cut, 1)):
            out = os.path.join(OUT, name)
            with open(main, "rb") as f:
                write(name, f.read())
            subprocess.run(["exiftool", "-q", "-overwrite_original", "-n",
                            "-Orientation=%d" % orientation, "-ThumbnailImage<=" + source, out],
                           check=True)

        ds, dn = find(plain, "mdat")
        write("cortado.heic", plain[:ds + dn // 2])
        huge = bytearray(plain)
        at = huge.find(b"ispe")
        huge[at + 8:at + 16] = struct.pack(">II", 60000, 60000)
        write("enorme.heic", bytes(huge))


if __name__ == "__main__":
    main()
