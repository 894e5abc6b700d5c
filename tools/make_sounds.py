#!/usr/bin/env python3
"""Synthesises the eleven built-in alarm sounds as 16-bit mono PCM WAV files at 44.1 kHz.

Standard library only, and deterministic: the noise comes from our own generator with fixed seeds, so
every run writes the same bytes. Usage: make_sounds.py OUTPUT_FOLDER [NAME ...]
"""

import math
import os
import struct
import sys
import wave

RATE = 44100
TAU = 2.0 * math.pi
PEAK_DBFS = -2.0
FADE_SECONDS = 0.008


# ----------------------------------------------------------------------------------------- basics


class Noise:
    """xorshift32 white noise in [-1, 1): the same sequence on every machine and Python version."""

    def __init__(self, seed):
        self.state = (seed * 2654435761) & 0xFFFFFFFF or 1

    def next_u32(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def uniform(self, low=-1.0, high=1.0):
        return low + (high - low) * (self.next_u32() / 4294967296.0)

    def samples(self, count):
        return [self.uniform() for _ in range(count)]


def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def mix_into(target, source, at_seconds, gain=1.0):
    start = int(round(at_seconds * RATE))
    if start + len(source) > len(target):
        target.extend([0.0] * (start + len(source) - len(target)))
    for i, v in enumerate(source):
        target[start + i] += gain * v


def envelope(points, count):
    """Piecewise-linear curve through (seconds, value) points, sampled `count` times."""
    out = [0.0] * count
    j = 0
    for i in range(count):
        t = i / RATE
        while j + 1 < len(points) - 1 and t > points[j + 1][0]:
            j += 1
        (t0, v0), (t1, v1) = points[j], points[min(j + 1, len(points) - 1)]
        if t1 <= t0:
            out[i] = v1
        else:
            a = min(1.0, max(0.0, (t - t0) / (t1 - t0)))
            out[i] = v0 + (v1 - v0) * a
    return out


def lowpass(signal, cutoff):
    """One-pole low-pass; `cutoff` is a number or a per-sample list."""
    out = [0.0] * len(signal)
    y = 0.0
    for i, x in enumerate(signal):
        c = cutoff[i] if isinstance(cutoff, list) else cutoff
        a = 1.0 - math.exp(-TAU * c / RATE)
        y += a * (x - y)
        out[i] = y
    return out


def highpass(signal, cutoff):
    low = lowpass(signal, cutoff)
    return [x - l for x, l in zip(signal, low)]


class Biquad:
    """RBJ cookbook band-pass (constant peak gain) with coefficients that may be changed per sample."""

    def __init__(self):
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0
        self.set(1000.0, 1.0)

    def set(self, freq, q):
        w = TAU * freq / RATE
        alpha = math.sin(w) / (2.0 * q)
        a0 = 1.0 + alpha
        self.b0, self.b2 = alpha / a0, -alpha / a0
        self.a1, self.a2 = -2.0 * math.cos(w) / a0, (1.0 - alpha) / a0

    def step(self, x):
        y = self.b0 * x + self.b2 * self.x2 - self.a1 * self.y1 - self.a2 * self.y2
        self.x2, self.x1 = self.x1, x
        self.y2, self.y1 = self.y1, y
        return y


def bandpass(signal, freq, q):
    f = Biquad()
    f.set(freq, q)
    return [f.step(x) for x in signal]


def modes(freqs_amps_decays, seconds, start_phase=0.0):
    """A struck body: a sum of exponentially decaying sine partials (freq, amplitude, decay seconds)."""
    count = int(round(seconds * RATE))
    out = [0.0] * count
    for freq, amp, decay in freqs_amps_decays:
        if freq >= RATE / 2:
            continue
        # Rotating phasor: one multiply per sample instead of a sine call.
        c, s = math.cos(TAU * freq / RATE), math.sin(TAU * freq / RATE)
        k = math.exp(-1.0 / (decay * RATE))
        re, im = math.cos(start_phase), math.sin(start_phase)
        a = amp
        for i in range(count):
            out[i] += a * im
            re, im = re * c - im * s, re * s + im * c
            a *= k
    return out


def harmonic_tone(f0_curve, amp_curve, harmonic_gain, max_freq=9000.0, noise=None, jitter=0.0):
    """A pitched tone from summed harmonics following a per-sample f0; harmonic_gain(n, f0) -> gain."""
    count = len(f0_curve)
    out = [0.0] * count
    phase = 0.0
    table_n = 1 + int(max_freq / max(1.0, min(f0_curve)))
    for i in range(count):
        f0 = f0_curve[i]
        if noise is not None and jitter:
            f0 *= 1.0 + jitter * noise.uniform()
        phase += TAU * f0 / RATE
        if phase > TAU * 1000.0:
            phase -= TAU * 1000.0
        v = 0.0
        for n in range(1, table_n + 1):
            if n * f0 >= max_freq:
                break
            g = harmonic_gain(n, f0)
            if g:
                v += g * math.sin(n * phase)
        out[i] = v * amp_curve[i]
    return out


def finish(signal, drive=0.0):
    """Removes DC, fades both ends and scales the peak to PEAK_DBFS; returns 16-bit integers.

    A `drive` above 0 first rounds off the highest peaks (tanh saturation), so that sounds made of
    sharp hits are heard about as loud as the sustained ones."""
    if drive > 0.0:
        peak = max(abs(x) for x in signal)
        signal = [math.tanh(drive * x / peak) for x in signal]
    signal = highpass(signal, 18.0)
    mean = sum(signal) / len(signal)
    signal = [x - mean for x in signal]
    fade = int(FADE_SECONDS * RATE)
    n = len(signal)
    for i in range(fade):
        g = 0.5 - 0.5 * math.cos(math.pi * i / fade)
        signal[i] *= g
        signal[n - 1 - i] *= g
    peak = max(abs(x) for x in signal)
    scale = 32767.0 * 10 ** (PEAK_DBFS / 20.0) / peak
    return [int(round(x * scale)) for x in signal]


def write_wav(path, samples):
    data = struct.pack("<%dh" % len(samples), *samples)
    tmp = path + ".tmp"
    with wave.open(tmp, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)
    os.replace(tmp, path)


# ----------------------------------------------------------------------------------------- sounds


def rooster():
    """Cock-a-doodle-doo: four raspy, harmonic-rich syllables, the last one long and held high."""
    noise = Noise(1)
    # (start, length, f0 points relative to the syllable, loudness)
    syllables = [
        (0.05, 0.16, [(0.0, 430), (0.08, 620), (0.16, 560)], 0.75),
        (0.25, 0.12, [(0.0, 520), (0.12, 600)], 0.65),
        (0.42, 0.30, [(0.0, 560), (0.12, 760), (0.30, 700)], 0.9),
        (0.78, 1.25, [(0.0, 640), (0.15, 820), (0.85, 800), (1.1, 700), (1.25, 560)], 1.0),
    ]
    out = silence(2.3)
    for start, length, f0_points, loud in syllables:
        count = int(length * RATE)
        f0 = envelope(f0_points, count)
        # A quick vibrato and a rough 45 Hz flutter make the crow hoarse rather than whistled.
        f0 = [f * (1.0 + 0.012 * math.sin(TAU * 7.0 * i / RATE)) for i, f in enumerate(f0)]
        attack = min(0.03, length / 4)
        amp = envelope([(0.0, 0.0), (attack, 1.0), (length * 0.8, 0.85), (length, 0.0)], count)
        amp = [a * (0.75 + 0.25 * math.sin(TAU * 45.0 * i / RATE)) for i, a in enumerate(amp)]

        def gain(n, f, length=length):
            freq = n * f
            # Beak and throat resonances near 1.5, 2.6 and 4 kHz over a falling source spectrum.
            formant = (math.exp(-((freq - 1500) / 700) ** 2) + 0.8 * math.exp(-((freq - 2600) / 600) ** 2)
                       + 0.45 * math.exp(-((freq - 4000) / 900) ** 2))
            return (0.25 + formant) / n ** 0.6

        tone = harmonic_tone(f0, amp, gain, max_freq=7000.0, noise=noise, jitter=0.004)
        rasp = lowpass(lowpass(bandpass(noise.samples(count), 2400.0, 0.9), 5000.0), 5000.0)
        tone = [t + 1.2 * r * a for t, r, a in zip(tone, rasp, amp)]
        mix_into(out, tone, start, loud)
    return out


def cuckoo():
    """Two calls of the two-note cuckoo, a soft hooted major third falling."""
    out = silence(2.2)
    for call in (0.05, 1.05):
        for offset, freq, length, loud in ((0.0, 698.0, 0.22, 1.0), (0.3, 554.0, 0.42, 0.9)):
            count = int(length * RATE)
            amp = envelope([(0.0, 0.0), (0.03, 1.0), (0.09, 0.8), (length * 0.7, 0.55), (length, 0.0)], count)
            glide = envelope([(0.0, 1.015), (0.05, 1.0), (length, 0.985)], count)
            phase = 0.0
            note = [0.0] * count
            for i in range(count):
                phase += TAU * freq * glide[i] / RATE
                note[i] = amp[i] * (math.sin(phase) + 0.12 * math.sin(2 * phase) + 0.04 * math.sin(3 * phase))
            mix_into(out, note, call + offset, loud)
    breath = lowpass(Noise(2).samples(len(out)), 1500.0)
    level = max(abs(x) for x in out)
    return [x + 0.01 * level * b for x, b in zip(out, breath)]


def alarm_bell():
    """A mechanical alarm clock: a hammer striking a steel bell 18 times a second, in two bursts."""
    noise = Noise(3)
    bell = [(2093.0, 1.0, 0.35), (2093.0 * 2.76, 0.5, 0.18), (2093.0 * 1.51, 0.35, 0.3),
            (2093.0 * 3.9, 0.25, 0.1), (2093.0 * 5.4, 0.15, 0.06)]
    strike = modes(bell, 0.45)
    click = [noise.uniform() * math.exp(-i / (0.0015 * RATE)) for i in range(int(0.01 * RATE))]
    click = lowpass(highpass(click, 3000.0), 8000.0)
    out = silence(3.0)
    for burst_start, burst_length in ((0.02, 1.25), (1.55, 1.25)):
        t = burst_start
        k = 0
        while t < burst_start + burst_length:
            # The hammer swings between two bells: every other blow strikes a slightly different one.
            loud = 0.8 + 0.2 * noise.uniform(0.0, 1.0)
            if k % 2:
                mix_into(out, modes([(f * 1.06, a, d) for f, a, d in bell], 0.45, 1.0), t, loud * 0.9)
            else:
                mix_into(out, strike, t, loud)
            mix_into(out, click, t, 0.6)
            t += 1.0 / 18.0
            k += 1
    return out[: int(3.0 * RATE)]


def clapping():
    """Applause of a small room: a dozen people clapping, each at their own pace, swelling and fading."""
    noise = Noise(4)
    duration = 3.0
    out = silence(duration + 0.1)
    for person in range(12):
        rate = 3.6 + 2.2 * noise.uniform(0.0, 1.0)
        centre = 900.0 + 1700.0 * noise.uniform(0.0, 1.0)
        t = 0.03 + 0.25 * noise.uniform(0.0, 1.0)
        while t < duration - 0.15:
            count = int(0.05 * RATE)
            burst = [noise.uniform() * math.exp(-i / (0.006 * RATE)) for i in range(count)]
            clap = bandpass(burst, centre * (0.9 + 0.2 * noise.uniform(0.0, 1.0)), 1.4)
            swell = min(1.0, t / 0.4) * min(1.0, (duration - t) / 0.9)
            mix_into(out, clap, t, swell * (0.6 + 0.4 * noise.uniform(0.0, 1.0)))
            t += (1.0 / rate) * (0.92 + 0.16 * noise.uniform(0.0, 1.0))
    return out


def explosion():
    """A blast: a sharp crack, a deep thump and a rumble that darkens as it dies away."""
    noise = Noise(5)
    count = int(3.4 * RATE)
    raw = noise.samples(count)
    cutoff = envelope([(0.0, 6000.0), (0.05, 1800.0), (0.4, 500.0), (1.5, 180.0), (3.4, 90.0)], count)
    rumble = lowpass(lowpass(raw, cutoff), cutoff)
    # Slow random swells make the rumble roll instead of hiss.
    roll = lowpass(lowpass(Noise(6).samples(count), 6.0), 6.0)
    roll_peak = max(abs(x) for x in roll)
    amp = envelope([(0.0, 0.0), (0.004, 1.0), (0.25, 0.75), (1.2, 0.35), (3.4, 0.0)], count)
    out = [r * a * (0.7 + 0.6 * q / roll_peak) * 4.0 for r, a, q in zip(rumble, amp, roll)]
    thump_f = envelope([(0.0, 90.0), (0.3, 45.0), (1.0, 32.0)], count)
    phase = 0.0
    for i in range(count):
        phase += TAU * thump_f[i] / RATE
        out[i] += 0.9 * math.sin(phase) * math.exp(-i / (0.35 * RATE)) * min(1.0, i / (0.003 * RATE))
    crack = highpass([noise.uniform() * math.exp(-i / (0.012 * RATE)) for i in range(int(0.08 * RATE))], 1500.0)
    mix_into(out, crack, 0.0, 1.6)
    return out


def glass():
    """Breaking glass: a crunching impact, then a shower of bright shards tinkling as they land."""
    noise = Noise(7)
    out = silence(2.2)
    impact = [noise.uniform() * math.exp(-i / (0.03 * RATE)) for i in range(int(0.25 * RATE))]
    mix_into(out, highpass(impact, 2500.0), 0.02, 1.0)
    crack_partials = [(3100.0, 0.6, 0.08), (4700.0, 0.5, 0.07), (6900.0, 0.4, 0.05), (8800.0, 0.3, 0.04)]
    mix_into(out, modes(crack_partials, 0.3), 0.02, 0.6)
    # Shards: each a small inharmonic ring; they fall thickly at first and then one by one.
    t = 0.05
    while t < 1.85:
        base = 2500.0 + 4000.0 * noise.uniform(0.0, 1.0)
        shard = modes([(base, 1.0, 0.025 + 0.04 * noise.uniform(0.0, 1.0)),
                       (base * 1.63, 0.6, 0.02), (base * 2.41, 0.35, 0.015)], 0.18)
        tick = highpass([noise.uniform() * math.exp(-i / (0.0008 * RATE)) for i in range(200)], 4000.0)
        loud = (0.25 + 0.5 * noise.uniform(0.0, 1.0)) * math.exp(-(t - 0.05) / 0.9)
        mix_into(out, shard, t, loud)
        mix_into(out, tick, t, loud * 0.7)
        t += 0.004 + 0.06 * noise.uniform(0.0, 1.0) * (t + 0.1)
    return out[: int(2.2 * RATE)]


def moo():
    """A cow's moo: a low, buzzing voice that opens from a hummed 'mm' to a long 'ooo' and sinks."""
    noise = Noise(8)
    length = 2.3
    count = int(length * RATE)
    f0 = envelope([(0.0, 118.0), (0.35, 150.0), (1.2, 145.0), (1.9, 118.0), (length, 100.0)], count)
    amp = envelope([(0.0, 0.0), (0.12, 0.55), (0.45, 1.0), (1.7, 0.9), (length, 0.0)], count)
    # The mouth: closed (nasal hum) at first, then open, then closing again towards the end.
    openness = envelope([(0.0, 0.0), (0.25, 0.05), (0.7, 1.0), (1.5, 0.9), (length, 0.35)], count)

    def gain(n, f):
        return 1.0 / n  # a buzzing glottal source, shaped below by the mouth filters

    source = harmonic_tone(f0, amp, gain, max_freq=5000.0, noise=noise, jitter=0.003)
    f1, f2, f3 = Biquad(), Biquad(), Biquad()
    out = [0.0] * count
    breath = noise.samples(count)
    for i in range(count):
        o = openness[i]
        if i % 64 == 0:
            f1.set(250.0 + 450.0 * o, 4.0)
            f2.set(700.0 + 400.0 * o, 6.0)
            f3.set(2300.0, 8.0)
        x = source[i] + 0.05 * breath[i] * amp[i]
        out[i] = f1.step(x) + (0.15 + 0.55 * o) * f2.step(x) + 0.12 * o * f3.step(x)
    return lowpass(out, 3500.0)


def ricochet():
    """A bullet's ricochet: a hard crack and a whining whistle that falls as it flies off, twice."""
    noise = Noise(9)
    out = silence(1.9)
    for start, top, bottom, length, loud in ((0.02, 3400.0, 900.0, 0.95, 1.0), (1.15, 2800.0, 1100.0, 0.6, 0.45)):
        count = int(length * RATE)
        crack = highpass([noise.uniform() * math.exp(-i / (0.004 * RATE)) for i in range(int(0.04 * RATE))], 1200.0)
        mix_into(out, crack, start, 1.3 * loud)
        # The pitch falls like a passing source (Doppler), with a flutter from the tumbling bullet.
        freq = [bottom + (top - bottom) / (1.0 + 7.0 * i / count) ** 1.3 for i in range(count)]
        amp = envelope([(0.0, 0.0), (0.015, 1.0), (length * 0.4, 0.6), (length, 0.0)], count)
        whine = [0.0] * count
        phase = 0.0
        airy = bandpass(noise.samples(count), 2000.0, 0.8)
        for i in range(count):
            phase += TAU * freq[i] * (1.0 + 0.02 * math.sin(TAU * 38.0 * i / RATE)) / RATE
            whine[i] = amp[i] * (math.sin(phase) + 0.2 * math.sin(2 * phase) + 0.25 * airy[i])
        mix_into(out, whine, start + 0.01, 0.55 * loud)
    return out


def car_horn():
    """A two-tone car horn: two buzzing horns a major third apart, a short toot and a long blast."""
    out = silence(2.0)
    for start, length in ((0.03, 0.35), (0.55, 1.35)):
        count = int(length * RATE)
        amp = envelope([(0.0, 0.0), (0.02, 1.0), (length - 0.03, 1.0), (length, 0.0)], count)
        tone = [0.0] * count
        for freq in (415.0, 523.0):
            phase = 0.0
            for i in range(count):
                phase += TAU * freq / RATE
                # A diaphragm horn: a clipped, rasping wave rich in odd and even harmonics.
                v = math.sin(phase) + 0.6 * math.sin(2 * phase + 0.3) + 0.4 * math.sin(3 * phase)
                tone[i] += math.tanh(2.5 * v) * amp[i]
        tone = bandpass(tone, 1600.0, 0.7)
        mix_into(out, tone, start)
    return out


def doorbell():
    """A ding-dong chime: two struck tone bars, a major third apart, ringing out."""
    out = silence(2.8)
    for start, freq, loud in ((0.02, 659.3, 1.0), (0.6, 523.3, 1.0)):
        bar = [(freq, 1.0, 1.1), (freq * 2.0, 0.25, 0.6), (freq * 2.76, 0.2, 0.35), (freq * 5.4, 0.08, 0.12)]
        note = modes(bar, 2.8 - start)
        hit = highpass([Noise(int(freq)).uniform() * math.exp(-i / (0.0015 * RATE)) for i in range(400)], 2000.0)
        mix_into(out, note, start, loud)
        mix_into(out, hit, start, 0.4)
    return out[: int(2.8 * RATE)]


def drum_roll():
    """A snare drum roll: fast strokes swelling from soft to loud, ended by one hard stroke."""
    noise = Noise(10)
    out = silence(2.6)
    body = modes([(190.0, 1.0, 0.06), (330.0, 0.5, 0.04)], 0.25)

    def stroke(loud, decay=0.022):
        count = int(12 * decay * RATE)
        wires = [noise.uniform() * math.exp(-i / (decay * RATE)) for i in range(count)]
        wires = lowpass(highpass(wires, 1500.0), 9000.0)
        return [loud * (w + 0.8 * (body[i] if i < len(body) else 0.0)) for i, w in enumerate(wires)]

    t = 0.02
    while t < 1.9:
        loud = 0.25 + 0.55 * (t / 1.9) ** 1.5
        mix_into(out, stroke(loud * (0.85 + 0.15 * noise.uniform(0.0, 1.0))), t)
        t += 1.0 / 22.0 * (0.93 + 0.14 * noise.uniform(0.0, 1.0))
    final = stroke(1.4, 0.09)
    mix_into(out, final, 1.95)
    tail = modes([(190.0, 1.0, 0.25), (330.0, 0.4, 0.15)], 0.6)
    mix_into(out, tail, 1.95, 0.5)
    return out[: int(2.6 * RATE)]


# File name: (generator, drive of the final peak rounding).
SOUNDS = {
    "Rooster.wav": (rooster, 0.0),
    "Cuckoo.wav": (cuckoo, 0.0),
    "Alarmrng.wav": (alarm_bell, 0.0),
    "Clap.wav": (clapping, 2.0),
    "Explode.wav": (explosion, 3.0),
    "Glass.wav": (glass, 1.5),
    "Moo.wav": (moo, 0.0),
    "Ricochet.wav": (ricochet, 1.0),
    "Carhorn.wav": (car_horn, 0.0),
    "Doorbell.wav": (doorbell, 0.0),
    "Drumroll.wav": (drum_roll, 2.0),
}


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    names = argv[2:] or list(SOUNDS)
    os.makedirs(folder, exist_ok=True)
    for name in names:
        if name not in SOUNDS:
            sys.stderr.write("unknown sound %s\n" % name)
            return 2
        generate, drive = SOUNDS[name]
        samples = finish(generate(), drive)
        write_wav(os.path.join(folder, name), samples)
        print("%-14s %.2f s" % (name, len(samples) / RATE))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
