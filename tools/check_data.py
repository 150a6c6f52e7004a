#!/usr/bin/python3
"""Check the shipped data files against what the game expects of them.

  data/idioma/idioma.txt  20 lines, Windows-1252, every line ended by CR LF,
                          no empty line
  data/sonidos/           abrir, cerrar, ganador, empate and 1..12 as mono
                          16-bit 22050 Hz WAV, with the lengths each needs,
                          peaks between -6 and -1 dBFS, silent first and last
                          samples, and no two files alike
  data/graficos/<set>/    at least three sets of at least 24 .gif/.jpg
                          pictures each, lower-case names unique in the set,
                          UTF-8 names, about 256 px on the long side, both
                          GIF and JPEG in use
  data/fondo.jpg          a JPEG at least 250x250 px

Uses only the standard library (picture sizes are read from the file
headers).  Run from the repository root:
    /usr/bin/python3 tools/check_data.py
Prints one line per problem and exits 1 if there was any, else prints a
summary and exits 0.
"""
import hashlib
import math
import os
import struct
import sys
import wave

DATA = "data"
problems = []


def problem(msg):
    problems.append(msg)
    print("FAIL:", msg)


def check_language():
    path = os.path.join(DATA, "idioma", "idioma.txt")
    try:
        raw = open(path, "rb").read()
    except OSError as e:
        return problem("%s: %s" % (path, e))
    if not raw.endswith(b"\r\n"):
        problem("%s: last line is not ended by CR LF" % path)
    body = raw[:-2] if raw.endswith(b"\r\n") else raw
    lines = body.split(b"\r\n")
    if len(lines) != 20:
        problem("%s: %d lines, expected 20" % (path, len(lines)))
    for n, line in enumerate(lines, 1):
        if b"\r" in line or b"\n" in line:
            problem("%s: line %d has a stray CR or LF" % (path, n))
        if not line.strip():
            problem("%s: line %d is empty" % (path, n))
        try:
            text = line.decode("cp1252")
        except UnicodeDecodeError:
            problem("%s: line %d is not Windows-1252" % (path, n))
            continue
        # UTF-8 written by mistake shows up as 'Ã' followed by another byte
        if "Ã" in text:
            problem("%s: line %d looks like UTF-8, not Windows-1252" % (path, n))
    return len(lines)


SOUND_LENGTHS = {"abrir": (0.05, 0.4), "cerrar": (0.05, 0.4),
                 "ganador": (1.0, 3.0), "empate": (1.0, 3.0)}
SOUND_LENGTHS.update({str(k): (0.3, 1.0) for k in range(1, 13)})


def check_sounds():
    folder = os.path.join(DATA, "sonidos")
    digests = {}
    for name, (lo, hi) in SOUND_LENGTHS.items():
        path = os.path.join(folder, name + ".wav")
        try:
            w = wave.open(path, "rb")
        except (OSError, wave.Error, EOFError) as e:
            problem("%s: %s" % (path, e))
            continue
        with w:
            fmt = (w.getnchannels(), w.getsampwidth(), w.getframerate())
            frames = w.readframes(w.getnframes())
        if fmt != (1, 2, 22050):
            problem("%s: channels/bytes/rate %s, expected (1, 2, 22050)" % (path, fmt))
            continue
        count = len(frames) // 2
        if count == 0:
            problem("%s: no samples" % path)
            continue
        samples = struct.unpack("<%dh" % count, frames[:count * 2])
        length = count / 22050.0
        if not lo <= length <= hi:
            problem("%s: lasts %.3f s, expected %.2f-%.2f s" % (path, length, lo, hi))
        peak = max(abs(s) for s in samples) / 32768.0
        peak_db = 20 * math.log10(peak) if peak > 0 else -999
        if not -6.0 <= peak_db <= -1.0:
            problem("%s: peak %.1f dBFS, expected -6 to -1" % (path, peak_db))
        if abs(samples[0]) > 64 or abs(samples[-1]) > 64:
            problem("%s: does not start and end near silence (click)" % path)
        digest = hashlib.sha1(frames).hexdigest()
        if digest in digests:
            problem("%s: same sound as %s" % (path, digests[digest]))
        digests[digest] = path
    return len(digests)


def gif_size(data):
    if data[:6] not in (b"GIF87a", b"GIF89a"):
        return None
    return struct.unpack("<HH", data[6:10])


def jpeg_size(data):
    if data[:2] != b"\xff\xd8":
        return None
    i = 2
    while i + 9 < len(data):
        if data[i] != 0xFF:
            return None
        marker = data[i + 1]
        if marker in (0xD8, 0x01) or 0xD0 <= marker <= 0xD7:
            i += 2
            continue
        seglen = struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC6, 0xC7,
                      0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF):
            h, w = struct.unpack(">HH", data[i + 5:i + 9])
            return w, h
        i += 2 + seglen
    return None


def picture_size(path):
    data = open(path, "rb").read(1 << 16)
    if path.endswith(".gif"):
        return gif_size(data)
    return jpeg_size(data)


def check_pictures():
    root = os.path.join(DATA, "graficos")
    try:
        sets = sorted(d for d in os.listdir(root)
                      if os.path.isdir(os.path.join(root, d)))
    except OSError as e:
        problem("%s: %s" % (root, e))
        return {}
    if len(sets) < 3:
        problem("%s: %d picture sets, expected at least 3" % (root, len(sets)))
    kinds = set()
    counts = {}
    for s in sets:
        folder = os.path.join(root, s)
        names = sorted(os.listdir(folder))
        pictures = [n for n in names if n.endswith((".gif", ".jpg"))]
        for n in names:
            if n not in pictures:
                problem("%s: unexpected file %r (only lower-case .gif/.jpg)" % (folder, n))
        if len(pictures) < 24:
            problem("%s: %d pictures, expected at least 24" % (folder, len(pictures)))
        stems = [os.path.splitext(n)[0] for n in pictures]
        if len(set(stems)) != len(stems):
            problem("%s: two pictures share a name" % folder)
        for n in pictures:
            path = os.path.join(folder, n)
            if n != n.lower():
                problem("%s: name is not lower case" % path)
            try:
                n.encode("utf-8")
            except UnicodeEncodeError:
                problem("%r: file name is not valid UTF-8" % path)
                continue
            size = picture_size(path)
            if size is None:
                problem("%s: not a readable %s file" % (path, n[-3:].upper()))
                continue
            kinds.add(n[-3:])
            if not 200 <= max(size) <= 400 or min(size) < 120:
                problem("%s: %dx%d is not card sized" % (path, size[0], size[1]))
        counts[s] = len(pictures)
    if kinds != {"gif", "jpg"}:
        problem("%s: pictures should use both GIF and JPEG, found %s" % (root, sorted(kinds)))
    return counts


def check_back():
    path = os.path.join(DATA, "fondo.jpg")
    try:
        size = jpeg_size(open(path, "rb").read(1 << 16))
    except OSError as e:
        return problem("%s: %s" % (path, e))
    if size is None:
        problem("%s: not a JPEG" % path)
    elif min(size) < 250:
        problem("%s: %dx%d is smaller than the largest card slot" % (path, size[0], size[1]))


def main():
    lines = check_language()
    sounds = check_sounds()
    counts = check_pictures()
    check_back()
    if problems:
        print("%d problem(s) found" % len(problems))
        return 1
    print("data ok: %s language lines, %d sounds, picture sets %s"
          % (lines, sounds, ", ".join("%s=%d" % kv for kv in counts.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
