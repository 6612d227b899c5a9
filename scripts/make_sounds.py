#!/usr/bin/env python3
"""Synthesises the demo's sound effects into demo/SCRIPT/SE/ as 16-bit stereo 44.1 kHz PCM WAV files
(the only layout the engine loads): a shot blip, a graze tick, the ship's hit, an enemy bursting and
the boss's charge. Pure standard library; the noise comes from a fixed-seed generator, so the files
are rewritten byte for byte the same. `--check` writes nothing and fails when a file differs.
"""
import io
import math
import os
import struct
import sys
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RATE = 44100


class Noise:
    """A small linear congruential generator: the same hiss on every machine."""

    def __init__(self, seed):
        self.state = seed

    def __call__(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x3FFFFFFF - 1.0


def render(seconds, sample):
    """sample(t, i) -> (left, right) in -1..1 for each sample."""
    frames = bytearray()
    count = int(seconds * RATE)
    for i in range(count):
        left, right = sample(i / RATE, i)
        fade = min(1.0, (count - i) / 200)  # no click at the end
        frames += struct.pack("<hh", *(int(max(-1.0, min(1.0, v * fade)) * 32767) for v in (left, right)))
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))
    return out.getvalue()


def shot():
    # A quick square blip falling from 1800 to 900 Hz, quiet: it repeats while Z is held.
    def at(t, _):
        f = 1800 - 900 * t / 0.05
        v = 0.18 * (1 if math.sin(2 * math.pi * f * t) > 0 else -1) * (1 - t / 0.05)
        return v, v
    return render(0.05, at)


def graze():
    noise = Noise(19)

    def at(t, _):
        v = 0.35 * noise() * math.exp(-t * 90) + 0.2 * math.sin(2 * math.pi * 3200 * t) * math.exp(-t * 60)
        return v, v * 0.8
    return render(0.06, at)


def hit():
    # A falling sweep over a burst of noise: the ship is down.
    noise = Noise(20)
    phase = [0.0]

    def at(t, _):
        f = 900 * math.exp(-t * 4)
        phase[0] += 2 * math.pi * f / RATE
        env = math.exp(-t * 5)
        v = 0.45 * math.sin(phase[0]) * env + 0.3 * noise() * math.exp(-t * 9)
        return v, v
    return render(0.6, at)


def burst():
    # Low-passed noise that dies away: an enemy bursts.
    noise = Noise(103)
    level = [0.0]

    def at(t, _):
        level[0] += (noise() - level[0]) * 0.25
        v = 0.8 * level[0] * math.exp(-t * 12)
        return v, v
    return render(0.3, at)


def charge():
    # A rising chord: the boss starts a new pattern.
    phases = [0.0, 0.0]

    def at(t, _):
        f = 220 + 660 * (t / 0.7) ** 2
        phases[0] += 2 * math.pi * f / RATE
        phases[1] += 2 * math.pi * f * 1.5 / RATE
        env = min(1.0, t / 0.05) * (1 - t / 0.7)
        return 0.3 * math.sin(phases[0]) * env, 0.3 * math.sin(phases[1]) * env
    return render(0.7, at)


def outputs():
    return {
        "demo/SCRIPT/SE/SHOT.WAV": shot(),
        "demo/SCRIPT/SE/GRAZE.WAV": graze(),
        "demo/SCRIPT/SE/HIT.WAV": hit(),
        "demo/SCRIPT/SE/BURST.WAV": burst(),
        "demo/SCRIPT/SE/CHARGE.WAV": charge(),
    }


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for relative, data in outputs().items():
        path = os.path.join(ROOT, relative)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() == data:
                        continue
            except OSError:
                pass
            stale.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if stale:
        print("make_sounds.py: out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
