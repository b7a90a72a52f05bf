#!/usr/bin/env python3
"""Synthesises the game's nine WAVE sounds into resources/sounds/ (deterministic, standard library only).

Usage: make_sounds.py [--check] [output-dir]
  --check  compare with the files already in the output folder instead of writing; exit 1 on a difference.

The formats and lengths are fixed because the game's sound playback and its tests rely on them:
eight sounds are mono 16-bit at 20,000 Hz, the fanfare is stereo 8-bit at 22,050 Hz.
"""

import math
import struct
import sys
from pathlib import Path

TWO_PI = 2.0 * math.pi


class Noise:
    """xorshift32: the same white noise on every machine, unlike the random module's future."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 2147483648.0 - 1.0


def frames_for(ms, rate):
    # Whole frames, rounded down, so that the length in the header is exact arithmetic.
    return ms * rate // 1000


def silence(n):
    return [0.0] * n


def add(dst, src, at=0, gain=1.0):
    for i, v in enumerate(src):
        j = at + i
        if j >= len(dst):
            break
        dst[j] += gain * v


def decay_env(n, rate, attack_s, tau_s):
    """Fast linear attack, then an exponential decay with time constant tau."""
    a = max(1, int(attack_s * rate))
    return [i / a if i < a else math.exp(-(i - a) / (tau_s * rate)) for i in range(n)]


def hump_env(n, peak_pos):
    """Smooth rise to a peak at peak_pos (0..1 of the length) and fall to zero: a slide's swell."""
    p = max(1, int(n * peak_pos))
    out = []
    for i in range(n):
        if i < p:
            out.append(math.sin(0.5 * math.pi * i / p) ** 2)
        else:
            out.append(math.cos(0.5 * math.pi * (i - p) / max(1, n - p)) ** 2)
    return out


def glide_tone(n, rate, f0, f1, partials=((1, 1.0),), vibrato=0.0):
    """A tone whose pitch moves exponentially from f0 to f1; the phase is integrated so the glide has no steps."""
    out = []
    phase = 0.0
    for i in range(n):
        t = i / max(1, n - 1)
        f = f0 * (f1 / f0) ** t
        if vibrato:
            f *= 1.0 + vibrato * math.sin(TWO_PI * 5.5 * i / rate)
        phase += TWO_PI * f / rate
        out.append(sum(a * math.sin(k * phase) for k, a in partials))
    return out


def bandpass_noise(n, rate, seed, f0, f1, q):
    """White noise through a state-variable band-pass whose centre sweeps from f0 to f1: a soft swish."""
    noise = Noise(seed)
    low = band = 0.0
    out = []
    damp = 1.0 / q
    for i in range(n):
        t = i / max(1, n - 1)
        fc = f0 * (f1 / f0) ** t
        f = 2.0 * math.sin(math.pi * fc / rate)
        high = noise.next() - low - damp * band
        band += f * high
        low += f * band
        out.append(band)
    return out


def knock(rate, freq, tau_s, seed, length_s=0.08):
    """A small wooden knock: a damped partial pair with a breath of noise at the start."""
    n = int(length_s * rate)
    noise = Noise(seed)
    out = []
    for i in range(n):
        t = i / rate
        body = math.sin(TWO_PI * freq * t) + 0.4 * math.sin(TWO_PI * freq * 2.76 * t)
        env = math.exp(-t / tau_s)
        grit = noise.next() * math.exp(-t / 0.003)
        out.append(env * body * 0.8 + 0.5 * grit)
    return out


def bell(rate, freq, dur_s, tau_s):
    """A soft bell: a few inharmonic partials that die away at different speeds."""
    n = int(dur_s * rate)
    parts = ((1.0, 1.0, 1.0), (2.0, 0.35, 0.6), (3.01, 0.12, 0.35), (4.2, 0.05, 0.2))
    out = []
    for i in range(n):
        t = i / rate
        attack = min(1.0, t / 0.004)
        out.append(attack * sum(a * math.sin(TWO_PI * freq * k * t) * math.exp(-t / (tau_s * d))
                                for k, a, d in parts))
    return out


def fade(samples, rate, fade_in_s, fade_out_s):
    """Short ramps at both ends, so that no sound starts or stops with a click."""
    n = len(samples)
    fi = max(1, int(fade_in_s * rate))
    fo = max(1, int(fade_out_s * rate))
    for i in range(min(fi, n)):
        samples[i] *= i / fi
    for i in range(min(fo, n)):
        samples[n - 1 - i] *= i / fo
    return samples


def finish(samples, rate, peak, fade_in_s=0.002, fade_out_s=0.015):
    """Fades, then scaling to the wanted peak level."""
    fade(samples, rate, fade_in_s, fade_out_s)
    top = max(abs(v) for v in samples) or 1.0
    return [v * peak / top for v in samples]


# --- the sounds -------------------------------------------------------------------------------

def slide(ms, rate, f0, f1, seed, swish_lo, swish_hi, knock_freq, felt):
    """One tile sliding: a gliding tone under a swish, and a soft knock where the tile lands.
    felt weights the swish against the tone; the horizontal slides are more felt, less tone."""
    n = frames_for(ms, rate)
    body = int(n * 0.78)
    tone = glide_tone(body, rate, f0, f1, partials=((1, 1.0), (2, 0.18), (3, 0.05)))
    swish = bandpass_noise(body, rate, seed, swish_lo, swish_hi, q=2.5)
    env = hump_env(body, 0.35)
    out = silence(n)
    add(out, [env[i] * ((1.0 - felt) * tone[i] + felt * 1.2 * swish[i]) for i in range(body)])
    add(out, knock(rate, knock_freq, 0.018, seed + 1), at=int(n * 0.62), gain=0.55)
    return finish(out, rate, 0.55)


def sound_up(rate):
    return slide(280, rate, 392.0, 587.3, 11, 700.0, 1900.0, 880.0, felt=0.35)


def sound_down(rate):
    return slide(350, rate, 587.3, 392.0, 12, 1900.0, 700.0, 660.0, felt=0.35)


def sound_left(rate):
    return slide(300, rate, 329.6, 261.6, 13, 1400.0, 600.0, 740.0, felt=0.6)


def sound_right(rate):
    return slide(320, rate, 261.6, 329.6, 14, 600.0, 1400.0, 784.0, felt=0.6)


def sound_flup(rate):
    """A quick upward bubble, short enough to repeat as fast as keys can be pressed."""
    n = frames_for(80, rate)
    tone = glide_tone(n, rate, 280.0, 1150.0, partials=((1, 1.0), (2, 0.12)))
    env = decay_env(n, rate, 0.004, 0.028)
    return finish([tone[i] * env[i] for i in range(n)], rate, 0.5, fade_out_s=0.01)


def sound_reib(rate):
    """Several tiles rubbing past each other: a grainy scrape with a tick for each tile."""
    n = frames_for(370, rate)
    body = int(n * 0.85)
    scrape = bandpass_noise(body, rate, 21, 900.0, 1500.0, q=4.0)
    env = hump_env(body, 0.3)
    grain = [0.65 + 0.35 * math.sin(TWO_PI * 23.0 * i / rate) for i in range(body)]
    out = silence(n)
    add(out, [3.0 * scrape[i] * env[i] * grain[i] for i in range(body)])
    for k, at in enumerate((0.06, 0.16, 0.26)):
        add(out, knock(rate, 700.0 + 90.0 * k, 0.012, 22 + k), at=int(at * rate), gain=0.45)
    return finish(out, rate, 0.55)


def sound_ttt(rate):
    """Nothing moved: three soft ticks, each a little lower and quieter, then quiet."""
    n = frames_for(670, rate)
    out = silence(n)
    for k, (at, freq, gain) in enumerate(((0.0, 2100.0, 1.0), (0.13, 1900.0, 0.75), (0.26, 1700.0, 0.55))):
        add(out, knock(rate, freq, 0.006, 31 + k, length_s=0.05), at=int(at * rate), gain=gain)
        add(out, knock(rate, 190.0, 0.03, 41 + k, length_s=0.12), at=int(at * rate), gain=0.35 * gain)
    return finish(out, rate, 0.5)


def sound_buf(rate):
    """Goodbye: two bell notes falling a fifth."""
    n = frames_for(430, rate)
    out = silence(n)
    add(out, bell(rate, 659.3, 0.43, 0.12), at=0, gain=0.8)
    add(out, bell(rate, 440.0, 0.30, 0.14), at=int(0.13 * rate), gain=1.0)
    return finish(out, rate, 0.6, fade_out_s=0.04)


def brass(rate, freq, n, detune, seed_phase):
    """A bright brass-like note: harmonics with falling weights, a quick swell and a little vibrato."""
    out = []
    phase = seed_phase
    attack = int(0.02 * rate)
    for i in range(n):
        f = freq * detune * (1.0 + 0.004 * math.sin(TWO_PI * 5.0 * i / rate) * min(1.0, i / (0.15 * rate)))
        phase += TWO_PI * f / rate
        v = sum(math.sin(k * phase) / k ** 1.2 for k in range(1, 7) if k * freq < 0.45 * rate)
        env = min(1.0, i / attack) * (0.85 + 0.15 * math.exp(-i / (0.05 * rate)))
        out.append(v * env)
    return out


def sound_yea(rate):
    """The fanfare for a solved puzzle: a rising C major arpeggio into a held chord, spread in stereo."""
    n = frames_for(890, rate)
    left, right = silence(n), silence(n)
    notes = ((0.00, 523.25, -0.3), (0.11, 659.26, 0.3), (0.22, 783.99, -0.15))
    for at, freq, pan in notes:
        length = int(0.13 * rate)
        note = brass(rate, freq, length, 1.0, 0.0)
        env = [math.exp(-i / (0.09 * rate)) * min(1.0, (length - i) / (0.01 * rate)) for i in range(length)]
        note = [note[i] * env[i] for i in range(length)]
        add(left, note, at=int(at * rate), gain=0.5 * (1.0 - pan))
        add(right, note, at=int(at * rate), gain=0.5 * (1.0 + pan))
    start = int(0.33 * rate)
    held = n - start
    tail = [min(1.0, (held - i) / (0.25 * rate)) for i in range(held)]
    for freq, gl, gr in ((523.25, 0.35, 0.25), (659.26, 0.25, 0.35), (783.99, 0.3, 0.3), (1046.5, 0.45, 0.45)):
        # A hair of detune between the channels makes the chord wide instead of centred.
        add(left, [v * tail[i] for i, v in enumerate(brass(rate, freq, held, 0.9985, 0.3))], at=start, gain=gl)
        add(right, [v * tail[i] for i, v in enumerate(brass(rate, freq, held, 1.0015, 1.1))], at=start, gain=gr)
    fade(left, rate, 0.002, 0.03)
    fade(right, rate, 0.002, 0.03)
    # One scale for both channels keeps the balance between them.
    scale = 0.85 / (max(max(abs(v) for v in left), max(abs(v) for v in right)) or 1.0)
    return [v * scale for v in left], [v * scale for v in right]


# --- WAVE files -------------------------------------------------------------------------------

def wave_bytes(channels, rate, bits, frames):
    """frames: list of tuples of floats in -1..1, one per channel."""
    block = channels * bits // 8
    data = bytearray()
    for frame in frames:
        for v in frame:
            v = max(-1.0, min(1.0, v))
            if bits == 16:
                data += struct.pack('<h', int(round(v * 32767)))
            else:
                # 8-bit PCM is unsigned with its zero at 128.
                data.append(max(0, min(255, 128 + int(round(v * 127)))))
    header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVE'
    header += b'fmt ' + struct.pack('<IHHIIHH', 16, 1, channels, rate, rate * block, block, bits)
    header += b'data' + struct.pack('<I', len(data))
    return header + bytes(data)


MONO_RATE = 20000
STEREO_RATE = 22050


def all_sounds():
    mono = {
        'buf': sound_buf, 'down': sound_down, 'flup': sound_flup, 'left': sound_left,
        'right': sound_right, 'up': sound_up, 'reib': sound_reib, 'ttt': sound_ttt,
    }
    files = {}
    for name, make in mono.items():
        files[name + '.wav'] = wave_bytes(1, MONO_RATE, 16, [(v,) for v in make(MONO_RATE)])
    left, right = sound_yea(STEREO_RATE)
    files['yea.wav'] = wave_bytes(2, STEREO_RATE, 8, list(zip(left, right)))
    return files


def main(argv):
    check = '--check' in argv
    args = [a for a in argv if a != '--check']
    out_dir = Path(args[0]) if args else Path(__file__).resolve().parent.parent / 'resources' / 'sounds'
    files = all_sounds()
    if check:
        stale = [name for name, data in files.items()
                 if not (out_dir / name).is_file() or (out_dir / name).read_bytes() != data]
        for name in stale:
            print(f'{out_dir / name} differs from what {Path(__file__).name} generates', file=sys.stderr)
        return 1 if stale else 0
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (out_dir / name).write_bytes(data)
    print(f'{len(files)} sounds, {sum(len(d) for d in files.values())} bytes in {out_dir}')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
