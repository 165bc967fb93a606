#!/usr/bin/python3
"""Reference magnitude responses for the equaliser bands, from scipy alone.

Usage: resp_reference.py INPUT OUTPUT

INPUT (text):
    columns N
    N angles in radians per sample, one per line
    cases M
    M lines "type slope freq q gain lp48" (freq in Hz, q and gain times 10)

OUTPUT (binary): M x N little-endian float64, case by case, the magnitude in
dB of each case at each angle (NaN where the response is exactly zero).

The designs are built from scipy's own functions: the peaking and shelf bands
are the cookbook analogue prototypes, scaled to the prewarped corner and put
through scipy.signal.bilinear; the pass filters come from scipy.signal.butter
and scipy.signal.bessel (norm='mag', the gain-normalised form). Above the
Nyquist frequency a digital response mirrors, so an angle past pi is evaluated
at the mirrored frequency fs - f.
"""

import sys

import numpy as np
from scipy import signal

FS = 48000.0

# Pass-filter slope: (scipy design, order, times its dB is counted).
PASS_SLOPES = {
    1: (signal.bessel, 2, 1),
    2: (signal.butter, 2, 1),
    3: (signal.bessel, 3, 1),
    4: (signal.butter, 3, 1),
    5: (signal.bessel, 4, 1),
    6: (signal.butter, 4, 1),
    7: (signal.butter, 2, 2),  # Linkwitz-Riley: a 2nd-order Butterworth twice
}


def analogue_prototype(kind, q, gain_db):
    """Numerator and denominator in descending powers of s, corner at 1 rad/s."""
    a_lin = 10.0 ** (gain_db / 40.0)
    root = np.sqrt(a_lin)
    if kind == 0:  # peaking
        return [1.0, a_lin / q, 1.0], [1.0, 1.0 / (a_lin * q), 1.0]
    if kind == 1:  # low shelf
        return ([a_lin, a_lin * root / q, a_lin * a_lin],
                [a_lin, root / q, 1.0])
    # high shelf
    return ([a_lin * a_lin, a_lin * root / q, a_lin],
            [1.0, root / q, a_lin])


def cookbook_db(kind, f0, q, gain_db, freqs):
    if gain_db == 0.0:
        return np.zeros_like(freqs)
    b, a = analogue_prototype(kind, q, gain_db)
    warped = 2.0 * FS * np.tan(np.pi * f0 / FS)
    scale = np.array([warped ** -2, warped ** -1, 1.0])
    bz, az = signal.bilinear(np.array(b) * scale, np.array(a) * scale, fs=FS)
    _, h = signal.freqz(bz, az, worN=freqs, fs=FS)
    return 20.0 * np.log10(np.abs(h))


def pass_db(high_pass, slope, f0, lp48, freqs):
    design, order, times = PASS_SLOPES[slope]
    if lp48 and slope == 7 and not high_pass:
        design, order, times = signal.butter, 4, 2
    btype = 'highpass' if high_pass else 'lowpass'
    kwargs = {'norm': 'mag'} if design is signal.bessel else {}
    sos = design(order, f0, btype=btype, analog=False, output='sos', fs=FS, **kwargs)
    _, h = signal.sosfreqz(sos, worN=freqs, fs=FS)
    return times * 20.0 * np.log10(np.abs(h))


def band_db(kind, slope, freq, q10, gain10, lp48, freqs):
    if kind in (0, 1, 2):
        return cookbook_db(kind, float(freq), q10 / 10.0, gain10 / 10.0, freqs)
    if kind in (3, 4) and 1 <= slope <= 7:
        return pass_db(kind == 4, slope, float(freq), lp48, freqs)
    raise ValueError(f'no reference for type {kind} slope {slope}')


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1]) as f:
        tokens = f.read().split()
    pos = 0
    if tokens[pos] != 'columns':
        raise ValueError('expected "columns"')
    n = int(tokens[pos + 1])
    pos += 2
    omegas = np.array([float(t) for t in tokens[pos:pos + n]])
    pos += n
    if tokens[pos] != 'cases':
        raise ValueError('expected "cases"')
    m = int(tokens[pos + 1])
    pos += 2
    freqs = omegas * FS / (2.0 * np.pi)
    freqs = np.where(freqs > FS / 2.0, FS - freqs, freqs)
    result = np.empty((m, n), dtype='<f8')
    with np.errstate(divide='ignore'):
        for i in range(m):
            kind, slope, freq, q10, gain10, lp48 = (int(t) for t in tokens[pos:pos + 6])
            pos += 6
            result[i] = band_db(kind, slope, freq, q10, gain10, bool(lp48), freqs)
    result[~np.isfinite(result)] = np.nan
    result.tofile(argv[2])
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
