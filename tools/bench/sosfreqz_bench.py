#!/usr/bin/python3
"""Times scipy's sosfreqz on the graph grids the response benchmark uses.

For comparison with quavix_bench: the same pages (17 bands over 2048 columns,
7 bands over 600 columns), each band one or two second-order sections, the
responses summed in dB. Only the evaluation is timed; the designs are made
once, as the engine's sum makes them per call (a small part of its time).
"""

import timeit

import numpy as np
from scipy import signal

FS = 48000.0


def grid(width):
    """Column frequencies of a graph width columns wide, 10 Hz .. 25 kHz."""
    f32 = np.float32
    per_decade = f32(width / (float(f32(np.log10(25000.0))) - float(f32(np.log10(10.0)))))
    offset = -int(per_decade)
    x = np.arange(50, width)
    t = ((x - offset) / float(per_decade)).astype(np.float32)
    return (10.0 ** t.astype(np.float64)).astype(np.float32).astype(np.float64)


def peak_sos(f0, q, gain_db):
    a_lin = 10.0 ** (gain_db / 40.0)
    w0 = 2.0 * np.pi * f0 / FS
    alpha = np.sin(w0) / (2.0 * q)
    b = [1 + alpha * a_lin, -2 * np.cos(w0), 1 - alpha * a_lin]
    a = [1 + alpha / a_lin, -2 * np.cos(w0), 1 - alpha / a_lin]
    return signal.tf2sos(b, a)


def page(peaks, low_pass, high_pass):
    soses = [peak_sos(f, q, g) for f, q, g in peaks]
    soses.append(signal.butter(4, low_pass, 'lowpass', output='sos', fs=FS))
    soses.append(signal.butter(2, high_pass, 'highpass', output='sos', fs=FS))
    return soses


def evaluate(soses, freqs):
    total = np.zeros_like(freqs)
    for sos in soses:
        _, h = signal.sosfreqz(sos, worN=freqs, fs=FS)
        total += 20.0 * np.log10(np.abs(h))
    return total


def best_ms(soses, freqs, repeat=20, number=10):
    t = timeit.repeat(lambda: evaluate(soses, freqs), repeat=repeat, number=number)
    return min(t) / number * 1000.0


def main():
    music = page([(31, 1.4, 3), (50, 0.7, -4.5), (80, 2, 6), (125, 4.3, -3), (200, 1, 1.5),
                  (315, 3, -6), (500, 1.4, 4.5), (800, 10, -12), (1250, 0.7, 3),
                  (2000, 1.4, -1.5), (3150, 4.3, 9), (5000, 1, -4.5), (8000, 1.4, 6),
                  (12500, 0.7, -3), (16000, 2, 4.5)], 18000, 40)
    reverb = page([(100, 1.4, 3), (400, 1, -6), (1600, 4.3, 9), (4000, 0.7, -3),
                   (10000, 1.4, 4.5)], 12000, 120)
    print(f'scipy sosfreqz, 17 bands x 2048 columns: {best_ms(music, grid(2048)):.3f} ms')
    print(f'scipy sosfreqz,  7 bands x  600 columns: {best_ms(reverb, grid(600)):.3f} ms')


if __name__ == '__main__':
    main()
