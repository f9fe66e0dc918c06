#!/usr/bin/env python3
"""Makes the MP3 test fixtures of the audio engine in tests/fixtures/tones/.

Good files are sine tones written as WAV and encoded with lame (lame writes the gapless header,
so the decoded length is exact). Bad files are made byte by byte: empty, cut in half, text, noise.
Tagged files are a short tone with ID3 tags written byte by byte, so that each text encoding
(Latin-1, UTF-16 with a byte order mark, ID3v1's Latin-1) and the embedded picture are exactly
known.

Usage: scripts/make-tones.py [OUTPUT_DIR]   (default: tests/fixtures/tones beside this script)
Needs python3 and lame.
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import wave
import zlib


def write_wav(path, rate, channels):
    """Writes 16-bit samples (floats in -1..1), one list per channel, as a WAV file."""
    with wave.open(path, "wb") as w:
        w.setnchannels(len(channels))
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767))
                               for frame in zip(*channels) for s in frame))


def tone(rate, seconds, freq, amplitude=0.5, silent_head=0.0):
    """A sine tone; the first silent_head seconds are silence, so an onset marks a known time."""
    head = int(round(silent_head * rate))
    total = int(round(seconds * rate))
    return [0.0 if i < head else amplitude * math.sin(2 * math.pi * freq * (i - head) / rate)
            for i in range(total)]


def encode(samples, rate, out_path, bitrate, right=None):
    """Mono, or stereo when a right channel is given (kept apart from the left one)."""
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        write_wav(wav, rate, [samples] if right is None else [samples, right])
        mode = "m" if right is None else "s"
        subprocess.run(["lame", "--quiet", "-m", mode, "-b", str(bitrate), "--resample",
                        str(rate / 1000), wav, out_path], check=True)


def png(width, height, rgb):
    """A PNG of one colour."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def syncsafe(size):
    return bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])


def id3v23(frames):
    """An ID3v2.3 tag of (frame id, data) pairs."""
    body = b"".join(name + struct.pack(">I", len(data)) + b"\x00\x00" + data
                    for name, data in frames)
    return b"ID3\x03\x00\x00" + syncsafe(len(body)) + body


def latin1_text(text):
    return b"\x00" + text.encode("latin-1")


def utf16_text(text):
    return b"\x01" + text.encode("utf-16")  # with its byte order mark


def picture(mime, data):
    """APIC: Latin-1 MIME type, picture type 3 (front cover), empty description, the bytes."""
    return b"\x00" + mime.encode("latin-1") + b"\x00\x03\x00" + data


def id3v1(title, artist, album, track):
    """ID3v1.1: fixed Latin-1 fields, the track number in the comment's last byte."""
    field = lambda text, size: text.encode("latin-1")[:size].ljust(size, b"\x00")
    return (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + b"2001" +
            field("", 28) + b"\x00" + bytes([track]) + b"\xff")


def write_tagged(out):
    """Tiny tagged tracks: a quarter second of tone with the tags around it."""
    with tempfile.TemporaryDirectory() as tmp:
        audio_path = os.path.join(tmp, "tone.mp3")
        encode(tone(44100, 0.25, 440), 44100, audio_path, 64)
        with open(audio_path, "rb") as f:
            audio = f.read()
    cover = png(4, 4, (200, 40, 40))
    latin1 = id3v23([(b"TIT2", latin1_text("Café del Mar")), (b"TPE1", latin1_text("Zoë")),
                     (b"TALB", latin1_text("Früh")), (b"TRCK", latin1_text("7/12")),
                     (b"APIC", picture("image/png", cover))])
    utf16 = id3v23([(b"TIT2", utf16_text("東京の夜")), (b"TPE1", utf16_text("Кино")),
                    (b"TALB", utf16_text("Ночь")), (b"TRCK", utf16_text("3"))])
    with open(os.path.join(out, "tagged-latin1.mp3"), "wb") as f:
        f.write(latin1 + audio)
    with open(os.path.join(out, "tagged-utf16.mp3"), "wb") as f:
        f.write(utf16 + audio)
    with open(os.path.join(out, "tagged-v1.mp3"), "wb") as f:
        f.write(audio + id3v1("Caf\xe9 Uno", "Old Tagger", "Latin One", 5))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tests", "fixtures", "tones")
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)

    # Good files: exact lengths at the usual rate and at two others the engine must resample.
    # Bitrates are high enough for lame to write its gapless header into the first frame
    # (below 56 kbit/s at these rates it silently leaves it out).
    encode(tone(44100, 1.0, 440), 44100, p("tone-1s.mp3"), 64)
    encode(tone(44100, 3.0, 440), 44100, p("tone-3s.mp3"), 64)
    encode(tone(22050, 1.0, 440), 22050, p("tone-1s-22khz.mp3"), 64)
    encode(tone(48000, 1.0, 440), 48000, p("tone-1s-48khz.mp3"), 64)
    # Stereo with the tone on the left only: the channels must stay apart and in order.
    encode(tone(44100, 1.0, 440), 44100, p("left-only-1s.mp3"), 96, right=[0.0] * 44100)
    # One second of silence, then a tone: the onset shows where a seek really landed.
    encode(tone(44100, 2.0, 1000, silent_head=1.0), 44100, p("silence-then-tone.mp3"), 64)

    # Bad files.
    open(p("empty.mp3"), "wb").close()
    with open(p("tone-3s.mp3"), "rb") as f:
        whole = f.read()
    with open(p("truncated.mp3"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(p("text.mp3"), "w") as f:
        f.write("This is not music. It is a text file that somebody named .mp3.\n" * 20)
    rng = random.Random(20240601)
    with open(p("random.mp3"), "wb") as f:
        f.write(bytes(rng.getrandbits(8) for _ in range(16384)))
    # An ID3v2 tag with no audio after it.
    body = b"TIT2" + struct.pack(">I", 6) + b"\x00\x00" + b"\x00title"
    size = len(body)
    with open(p("tag-only.mp3"), "wb") as f:
        f.write(b"ID3\x03\x00\x00" + syncsafe(size) + body)

    write_tagged(out)


if __name__ == "__main__":
    main()
