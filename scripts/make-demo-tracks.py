#!/usr/bin/env python3
"""Makes the demo tracks in data/demo/: short, soft tone melodies to try the player with.

Each track is a chord progression played as a pad, a bass line and an arpeggio of plucked notes
with gentle echo, mono at 22.05 kHz, encoded with lame (VBR, so that lame also writes its
gapless header). Deterministic: the same script makes the same files.

Usage: scripts/make-demo-tracks.py [OUTPUT_DIR]   (default: data/demo beside this script)
Needs python3 and lame.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
NOTE_NAMES = {"C": 0, "C#": 1, "Db": 1, "D": 2, "D#": 3, "Eb": 3, "E": 4, "F": 5, "F#": 6,
              "Gb": 6, "G": 7, "G#": 8, "Ab": 8, "A": 9, "A#": 10, "Bb": 10, "B": 11}
CHORD_SHAPES = {"": (0, 4, 7), "m": (0, 3, 7), "maj7": (0, 4, 7, 11), "m7": (0, 3, 7, 10),
                "7": (0, 4, 7, 10), "sus2": (0, 2, 7), "add9": (0, 4, 7, 14)}

# title, tempo (beats per minute), beats per chord, arpeggio pattern (chord-tone indices, one
# per eighth note; None is a rest), timbre (harmonic weights), chords
TRACKS = [
    ("Love in the Rain", 76, 4, [0, 1, 2, 3, 2, 1, 0, 2], (1.0, 0.25, 0.08),
     ["Am", "F", "C", "E7"]),
    ("Lovely Day", 104, 4, [0, 2, 1, 3, 0, 2, 1, 3], (1.0, 0.4, 0.15, 0.05),
     ["C", "G", "Am", "F", "G", "C"]),
    ("Midnight Drive", 92, 4, [0, None, 2, 0, 3, None, 2, 1], (1.0, 0.5, 0.3, 0.1),
     ["Dm", "Bb", "Gm", "A7", "Dm"]),
    ("Summer Breeze", 96, 3, [0, 1, 2, 3, 2, 1], (1.0, 0.2, 0.1),
     ["G", "Em", "C", "D", "Am", "D", "G"]),
    ("City Lights", 84, 4, [0, 2, 3, 4, 3, 2, 1, 2], (1.0, 0.3, 0.2, 0.05),
     ["Em7", "Cmaj7", "Am7", "B7", "Em7"]),
    ("Ocean Waves", 66, 4, [0, None, 1, None, 2, None, 3, None], (1.0, 0.15),
     ["F", "Bb", "C", "F"]),
    ("Morning Coffee", 100, 4, [0, 1, 2, 1, 3, 1, 2, 1], (1.0, 0.35, 0.12),
     ["Dsus2", "D", "Gadd9", "Bm", "A", "D"]),
]


def chord_notes(name, octave):
    """MIDI note numbers of a chord such as "Am", "Cmaj7", "Bb" from the given octave's C."""
    root = name[:2] if len(name) > 1 and name[1] in "#b" else name[:1]
    shape = CHORD_SHAPES[name[len(root):]]
    base = 12 * (octave + 1) + NOTE_NAMES[root]
    return [base + step for step in shape]


def frequency(midi):
    return 440.0 * 2 ** ((midi - 69) / 12)


def add_note(buffer, start, seconds, midi, level, harmonics, attack, decay):
    """Adds one note: a few harmonics, a soft attack and an exponential decay."""
    first = int(start * RATE)
    count = min(int(seconds * RATE), len(buffer) - first)
    f = frequency(midi)
    steps = [2 * math.pi * f * (h + 1) / RATE for h, _ in enumerate(harmonics)]
    release = int(0.05 * RATE)
    for i in range(count):
        t = i / RATE
        envelope = min(1.0, t / attack) * math.exp(-t / decay)
        if i > count - release:
            envelope *= (count - i) / release
        value = sum(w * math.sin(s * i) for w, s in zip(harmonics, steps))
        buffer[first + i] += level * envelope * value


def echo(buffer, delay, feedback):
    d = int(delay * RATE)
    for i in range(d, len(buffer)):
        buffer[i] += feedback * buffer[i - d]


def render(tempo, beats_per_chord, pattern, timbre, chords):
    beat = 60.0 / tempo
    chord_seconds = beats_per_chord * beat
    total = len(chords) * chord_seconds + 2.5  # room for the last notes and echoes to ring
    buffer = [0.0] * int(total * RATE)
    for index, name in enumerate(chords):
        start = index * chord_seconds
        pad = chord_notes(name, 4)
        for midi in pad:
            add_note(buffer, start, chord_seconds + 0.6, midi, 0.06, (1.0, 0.1), 0.4, 3.0)
        add_note(buffer, start, chord_seconds, chord_notes(name, 2)[0], 0.22, (1.0, 0.3), 0.02, 1.2)
        upper = chord_notes(name, 5)
        step = beat / 2
        for k in range(int(round(chord_seconds / step))):
            tone = pattern[k % len(pattern)]
            if tone is not None:
                add_note(buffer, start + k * step, 1.4, upper[tone % len(upper)], 0.12, timbre,
                         0.008, 0.45)
    echo(buffer, beat * 0.75, 0.3)
    fade_in, fade_out = int(0.3 * RATE), int(2.0 * RATE)
    for i in range(fade_in):
        buffer[i] *= i / fade_in
    for i in range(fade_out):
        buffer[-1 - i] *= i / fade_out
    peak = max(abs(s) for s in buffer)
    return [0.7 * s / peak for s in buffer]


def encode(samples, title, out_path):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "track.wav")
        with wave.open(wav, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))
        subprocess.run(["lame", "--quiet", "-m", "m", "--resample", "22.05", "-V", "6",
                        "--tt", title, "--ta", "melodrop", "--tl", "melodrop demo", wav,
                        out_path], check=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "demo")
    os.makedirs(out, exist_ok=True)
    for title, tempo, beats, pattern, timbre, chords in TRACKS:
        encode(render(tempo, beats, pattern, timbre, chords), title,
               os.path.join(out, title + ".mp3"))


if __name__ == "__main__":
    main()
