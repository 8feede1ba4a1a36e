#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes TikkoClock's default ring, shell/resources/alarm.wav (or the path given).

Four rising chimes (C6 E6 G6 C7) ring out together, four times, each phrase a little louder
than the one before, so the ring starts gently and still reaches someone across the room.
The chimes are bell-like: a few partials, each decaying on its own, with a slow, shallow
tremolo. 9 seconds, 44.1 kHz, 16-bit mono, peaks at -3 dBFS. Only the standard library is
used, and the output is the same on every run.
"""

import math
import struct
import sys
import wave
from pathlib import Path

RATE = 44100
LENGTH_S = 9.0
PEAK_DBFS = -3.0

NOTES_HZ = [1046.50, 1318.51, 1567.98, 2093.00]  # C6 E6 G6 C7
NOTE_STEP_S = 0.2  # between the chimes of a phrase
PHRASE_S = 2.0
PHRASE_GAINS = [0.55, 0.7, 0.85, 1.0]
# (frequency ratio, amplitude, decay time in seconds) of each partial
PARTIALS = [(1.0, 1.0, 0.9), (2.0, 0.30, 0.45), (3.0, 0.12, 0.25), (4.16, 0.06, 0.12)]
ATTACK_S = 0.004
TREMOLO_HZ, TREMOLO_DEPTH = 5.0, 0.08
FADE_OUT_S = 0.4
RING_S = 4.0  # a chime ends here, tapered over its last TAPER_S so that nothing clicks
TAPER_S = 1.0


def render():
    total = int(RATE * LENGTH_S)
    samples = [0.0] * total
    for phrase, gain in enumerate(PHRASE_GAINS):
        for index, frequency in enumerate(NOTES_HZ):
            start = int(RATE * (phrase * PHRASE_S + index * NOTE_STEP_S))
            # The last chime of a phrase sounds a little fuller.
            level = gain * (1.2 if index == len(NOTES_HZ) - 1 else 1.0)
            for n in range(min(int(RATE * RING_S), total - start)):
                t = n / RATE
                attack = 0.5 - 0.5 * math.cos(math.pi * t / ATTACK_S) if t < ATTACK_S else 1.0
                if t > RING_S - TAPER_S:
                    attack *= 0.5 + 0.5 * math.cos(math.pi * (t - RING_S + TAPER_S) / TAPER_S)
                value = 0.0
                for ratio, amplitude, decay in PARTIALS:
                    value += (amplitude * math.exp(-t / decay) *
                              math.sin(2 * math.pi * frequency * ratio * t))
                samples[start + n] += level * attack * value
    for n in range(total):
        t = n / RATE
        samples[n] *= 1.0 - TREMOLO_DEPTH * (0.5 - 0.5 * math.cos(2 * math.pi * TREMOLO_HZ * t))
        remaining = LENGTH_S - t
        if remaining < FADE_OUT_S:
            samples[n] *= 0.5 - 0.5 * math.cos(math.pi * remaining / FADE_OUT_S)
    return samples


def write(path, samples):
    peak = max(abs(s) for s in samples)
    scale = 32767 * 10 ** (PEAK_DBFS / 20) / peak
    frames = b"".join(struct.pack("<h", round(s * scale)) for s in samples)
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    default = Path(__file__).resolve().parent.parent / "shell" / "resources" / "alarm.wav"
    path = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    write(path, render())
    print(f"wrote {path}")


if __name__ == "__main__":
    main()
