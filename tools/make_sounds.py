#!/usr/bin/python3
"""Synthesise the game's sound effects into data/sonidos/.

Files written (mono, 16-bit PCM, 22050 Hz):
  abrir.wav    a card is turned face up      (short soft rising pop)
  cerrar.wav   two cards are turned back     (short falling swoosh + two notes down)
  1.wav..12.wav  a pair was found            (twelve different happy arpeggios/chimes)
  ganador.wav  the game was won              (little fanfare)
  empate.wav   the game ended in a draw      (neutral two-chord phrase)

Every sound is built from simple oscillators (sine, soft triangle, FM bell,
plucked string, marimba, brass-like harmonic stack) shaped by smooth
envelopes, then normalised to a peak of -3 dBFS with short fades at both
ends so there are no clicks.  Noise uses random.Random with a fixed seed,
so running the script again gives byte-identical files.

Needs only the Python standard library.  Run from the repository root:
    /usr/bin/python3 tools/make_sounds.py
"""
import math
import os
import random
import struct
import wave

RATE = 22050
PEAK_DBFS = -3.0
OUT_DIR = os.path.join("data", "sonidos")
TWO_PI = 2.0 * math.pi

NOTE_INDEX = {"C": 0, "C#": 1, "Db": 1, "D": 2, "D#": 3, "Eb": 3, "E": 4,
              "F": 5, "F#": 6, "Gb": 6, "G": 7, "G#": 8, "Ab": 8, "A": 9,
              "A#": 10, "Bb": 10, "B": 11}


def freq(name):
    """Frequency of a note name such as 'C5', 'F#4' or 'Bb3' (A4 = 440 Hz)."""
    pitch, octave = name[:-1], int(name[-1])
    midi = 12 * (octave + 1) + NOTE_INDEX[pitch]
    return 440.0 * 2.0 ** ((midi - 69) / 12.0)


# ---------------------------------------------------------------- envelopes

def env_ad(t, dur, attack, decay_rate):
    """Raised-cosine attack, exponential decay, raised-cosine release over the
    last 30 ms (or less) of the note so it always ends at exactly zero."""
    if t < 0.0 or t >= dur:
        return 0.0
    if t < attack:
        a = 0.5 - 0.5 * math.cos(math.pi * t / attack)
    else:
        a = math.exp(-(t - attack) * decay_rate)
    rel = min(0.03, dur * 0.3)
    left = dur - t
    if left < rel:
        a *= 0.5 - 0.5 * math.cos(math.pi * left / rel)
    return a


# ---------------------------------------------------------------- timbres
# Each voice function returns a list of `dur * RATE` samples, roughly in -1..1.

def _n(dur):
    return int(round(dur * RATE))


def voice_sine(f, dur, attack=0.006, decay=4.0, octave=0.0):
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        s = math.sin(TWO_PI * f * t)
        if octave:
            s += octave * math.sin(TWO_PI * 2 * f * t) * math.exp(-t * 6.0)
        out.append(e * s)
    return out


def voice_triangle(f, dur, attack=0.008, decay=3.5):
    # Band-limited triangle: odd harmonics with 1/k^2 amplitude, alternating sign.
    harmonics = [(k, ((-1) ** ((k - 1) // 2)) / (k * k))
                 for k in (1, 3, 5, 7, 9) if k * f < RATE / 2.2]
    norm = 8.0 / (math.pi ** 2)
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        s = 0.0
        ph = TWO_PI * f * t
        for k, a in harmonics:
            s += a * math.sin(k * ph)
        out.append(e * s * norm)
    return out


def voice_bell(f, dur, ratio=1.4, index=3.0, attack=0.004, decay=3.0):
    # Two-operator FM; the modulation index fades out so the tone starts
    # bright and settles into a pure ring.
    # Keep the strong sidebands (about index + 1 of them) below 10 kHz so
    # high notes do not fold back as aliasing.
    limit = (10000.0 - f) / (f * ratio) - 1.0
    index = max(0.3, min(index, limit))
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        idx = index * math.exp(-t * 5.0)
        s = math.sin(TWO_PI * f * t + idx * math.sin(TWO_PI * f * ratio * t))
        out.append(e * s)
    return out


def voice_marimba(f, dur, attack=0.003, decay=7.0):
    top = 0.12 if 10.0 * f < 9000.0 else 0.0   # tenth partial only if well below Nyquist
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        s = (math.sin(TWO_PI * f * t)
             + 0.35 * math.sin(TWO_PI * 4.0 * f * t) * math.exp(-t * 25.0)
             + top * math.sin(TWO_PI * 10.0 * f * t) * math.exp(-t * 60.0))
        out.append(e * s / 1.3)
    return out


def voice_pluck(f, dur, attack=0.004, decay=4.5):
    # Harmonic stack in which the upper partials die away faster, like a string.
    parts = [(k, 1.0 / k, 3.0 * k) for k in range(1, 7) if k * f < RATE / 2.2]
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        s = 0.0
        for k, a, d in parts:
            s += a * math.exp(-t * d) * math.sin(TWO_PI * k * f * t)
        out.append(e * s / 1.6)
    return out


def voice_brass(f, dur, attack=0.04, decay=1.2):
    # Harmonic stack whose brightness follows the envelope, a gentle horn.
    parts = [(k, 1.0 / k) for k in range(1, 9) if k * f < RATE / 2.2]
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        bright = 0.35 + 0.65 * e
        s = 0.0
        for k, a in parts:
            s += a * (bright ** (k - 1)) * math.sin(TWO_PI * k * f * t)
        # 5 Hz vibrato-like shimmer on long notes only, very slight
        s *= 1.0 + 0.03 * math.sin(TWO_PI * 5.0 * t) * min(1.0, t * 2.0)
        out.append(e * s / 2.0)
    return out


def voice_organ(f, dur, attack=0.06, decay=0.6):
    out = []
    for i in range(_n(dur)):
        t = i / RATE
        e = env_ad(t, dur, attack, decay)
        ph = TWO_PI * f * t
        s = math.sin(ph) + 0.4 * math.sin(2 * ph) + 0.15 * math.sin(3 * ph)
        out.append(e * s / 1.55)
    return out


VOICES = {
    "sine": voice_sine,
    "triangle": voice_triangle,
    "bell": voice_bell,
    "marimba": voice_marimba,
    "pluck": voice_pluck,
    "brass": voice_brass,
    "organ": voice_organ,
}


# ---------------------------------------------------------------- mixing

def mix(buf, samples, start, gain=1.0):
    off = int(round(start * RATE))
    need = off + len(samples)
    if len(buf) < need:
        buf.extend([0.0] * (need - len(buf)))
    for i, s in enumerate(samples):
        buf[off + i] += gain * s


def finish(buf, total):
    """Trim/pad to `total` seconds, remove DC, fade the edges, normalise."""
    n = _n(total)
    buf = (buf + [0.0] * n)[:n]
    mean = sum(buf) / n
    buf = [s - mean for s in buf]
    fade_in, fade_out = _n(0.003), _n(0.02)
    for i in range(fade_in):
        buf[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_in)
    for i in range(fade_out):
        buf[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_out)
    peak = max(abs(s) for s in buf) or 1.0
    target = 10.0 ** (PEAK_DBFS / 20.0)
    return [s * target / peak for s in buf]


def write_wav(name, buf):
    path = os.path.join(OUT_DIR, name)
    frames = b"".join(struct.pack("<h", int(round(s * 32767.0))) for s in buf)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    print("wrote %s (%.2f s)" % (path, len(buf) / RATE))


def lowpass_noise(rng, n, cutoff_start, cutoff_end):
    """White noise through two cascaded one-pole low-passes whose cutoff
    glides from cutoff_start to cutoff_end (Hz): a soft 'swoosh'."""
    out, y1, y2 = [], 0.0, 0.0
    for i in range(n):
        x = rng.uniform(-1.0, 1.0)
        c = cutoff_start * (cutoff_end / cutoff_start) ** (i / max(1, n - 1))
        a = 1.0 - math.exp(-TWO_PI * c / RATE)
        y1 += a * (x - y1)
        y2 += a * (y1 - y2)
        out.append(y2)
    return out


# ---------------------------------------------------------------- sounds

def make_abrir():
    # Soft rising pop: a sine whose pitch glides up an octave in 50 ms.
    dur = 0.16
    buf = []
    phase = 0.0
    for i in range(_n(dur)):
        t = i / RATE
        f = 520.0 * 2.0 ** min(1.0, t / 0.05)
        phase += TWO_PI * f / RATE
        e = env_ad(t, dur, 0.004, 28.0)
        buf.append(e * (math.sin(phase) + 0.2 * math.sin(2 * phase)))
    # a faint second partial a fifth above gives it a little sparkle
    mix(buf, voice_sine(freq("G6"), 0.10, attack=0.01, decay=40.0), 0.03, 0.25)
    return finish(buf, dur)


def make_cerrar(rng):
    # Falling swoosh under two quick soft notes going down (E5 -> A4).
    dur = 0.34
    n = _n(dur)
    noise = lowpass_noise(rng, n, 2500.0, 200.0)
    buf = []
    for i, s in enumerate(noise):
        t = i / RATE
        buf.append(0.9 * s * env_ad(t, dur, 0.05, 9.0))
    # scale noise to a modest level relative to the notes
    npeak = max(abs(s) for s in buf) or 1.0
    buf = [0.45 * s / npeak for s in buf]
    mix(buf, voice_triangle(freq("E5"), 0.14, attack=0.006, decay=12.0), 0.0, 0.8)
    mix(buf, voice_triangle(freq("A4"), 0.20, attack=0.006, decay=10.0), 0.11, 0.8)
    return finish(buf, dur)


# The twelve "pair found" cues: (notes, voice, step between notes in s,
# length of each note in s, extra voice options, whether to end on a chord).
MATCH_CUES = [
    (["C5", "E5", "G5", "C6"], "bell", 0.075, 0.45, {"ratio": 1.4, "index": 2.5}, False),
    (["F4", "A4", "C5", "F5"], "triangle", 0.07, 0.40, {}, True),
    (["G5", "B5", "D6"], "marimba", 0.09, 0.40, {}, False),
    (["D5", "F#5", "A5", "D6", "A5"], "pluck", 0.065, 0.35, {}, False),
    (["A4", "C#5", "E5", "A5"], "sine", 0.08, 0.45, {"octave": 0.4}, True),
    (["E5", "G#5", "B5", "E6"], "bell", 0.06, 0.50, {"ratio": 3.5, "index": 1.8, "decay": 4.0}, False),
    (["Bb4", "D5", "F5", "Bb5", "D6"], "marimba", 0.055, 0.35, {}, False),
    (["Eb5", "F5", "G5", "Bb5", "C6", "Eb6"], "triangle", 0.05, 0.30, {"decay": 5.0}, False),
    (["Ab4", "C5", "Eb5", "Ab5"], "bell", 0.035, 0.65, {"ratio": 2.0, "index": 2.0, "decay": 2.5}, True),
    (["B4", "D#5", "F#5", "B5"], "pluck", 0.09, 0.40, {}, True),
    (["Db5", "Ab5", "Db6"], "sine", 0.11, 0.40, {"octave": 0.25, "decay": 5.0}, False),
    (["C5", "E5", "G5", "A5", "C6"], "marimba", 0.06, 0.40, {}, True),
]


def make_match(cue):
    notes, vname, step, length, opts, chord = cue
    voice = VOICES[vname]
    buf = []
    for k, name in enumerate(notes):
        mix(buf, voice(freq(name), length, **opts), k * step, 0.7)
    end = (len(notes) - 1) * step + length
    if chord:
        # close with the whole chord, softly, one octave lower for warmth
        t0 = len(notes) * step
        for name in notes[:3]:
            low = name[:-1] + str(int(name[-1]) - 1)
            mix(buf, voice_sine(freq(low), 0.45, attack=0.02, decay=4.0), t0, 0.25)
        end = max(end, t0 + 0.45)
    return finish(buf, min(0.95, max(0.32, end + 0.02)))


def make_ganador():
    # Little fanfare: three quick pick-up notes, then a held major chord with
    # a bell sparkle on top.
    buf = []
    pick = [("G4", 0.0), ("G4", 0.13), ("G4", 0.26)]
    for name, t in pick:
        mix(buf, voice_brass(freq(name), 0.12, attack=0.015, decay=6.0), t, 0.55)
    mix(buf, voice_brass(freq("C5"), 0.30, attack=0.02, decay=2.0), 0.40, 0.6)
    mix(buf, voice_brass(freq("E5"), 0.14, attack=0.015, decay=4.0), 0.72, 0.55)
    mix(buf, voice_brass(freq("D5"), 0.14, attack=0.015, decay=4.0), 0.86, 0.55)
    for name in ("C4", "E4", "G4", "C5", "E5"):
        mix(buf, voice_brass(freq(name), 1.15, attack=0.05, decay=1.6), 1.02, 0.4)
    for k, name in enumerate(("C6", "E6", "G6", "C7")):
        mix(buf, voice_bell(freq(name), 0.9, ratio=3.5, index=1.2, decay=3.5), 1.05 + 0.06 * k, 0.12)
    return finish(buf, 2.2)


def make_empate():
    # Neutral phrase: two soft organ chords, F major then C major, each with
    # its bass note, followed by a gentle decay.
    buf = []
    first = ("F3", "A3", "C4", "F4")
    second = ("E3", "G3", "C4", "G4")
    for name in first:
        mix(buf, voice_organ(freq(name), 0.75, attack=0.08, decay=0.8), 0.0, 0.4)
    mix(buf, voice_organ(freq("F2"), 0.75, attack=0.08, decay=0.8), 0.0, 0.35)
    for name in second:
        mix(buf, voice_organ(freq(name), 1.05, attack=0.08, decay=1.4), 0.70, 0.4)
    mix(buf, voice_organ(freq("C3"), 1.05, attack=0.08, decay=1.4), 0.70, 0.35)
    return finish(buf, 1.8)


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    rng = random.Random(20240611)
    write_wav("abrir.wav", make_abrir())
    write_wav("cerrar.wav", make_cerrar(rng))
    for k, cue in enumerate(MATCH_CUES, 1):
        write_wav("%d.wav" % k, make_match(cue))
    write_wav("ganador.wav", make_ganador())
    write_wav("empate.wav", make_empate())


if __name__ == "__main__":
    main()
