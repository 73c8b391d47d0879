#!/usr/bin/python3
"""Compares the notes of two renderings of one channel: for each note given
(its time in each file and how long it rings unchanged), where its onset
lies in each and the pitch each plays, by autocorrelation.

usage: note_match.py KOVO.wav OTHER.wav < notes
notes: lines "KOVO_SECONDS OTHER_SECONDS LENGTH_SECONDS READ_PITCH [KIND]" (READ_PITCH
0 leaves the pitch unread, for notes whose pitch moves; KIND "note", the
default, or "moment": a pitch read over just that stretch, no onset, for a
pitch that moves around it); prints per line "onset_difference_ms
cents_difference", either "skip" when it cannot be told.
note_match.py --selftest checks the pitch tracker on pure tones."""
import sys
import wave

import numpy as np

RMS_HOP = 0.001


def read_mono(path):
    with wave.open(path, 'rb') as f:
        rate, channels, width = f.getframerate(), f.getnchannels(), f.getsampwidth()
        data = f.readframes(f.getnframes())
    dtype = {2: np.int16, 4: np.int32}[width]
    frames = np.frombuffer(data, dtype=dtype).reshape(-1, channels)
    # Channel by channel: a mean over the frames' axis costs several times
    # as much on a whole song.
    mono = frames[:, 0].astype(np.float64)
    for channel in range(1, channels):
        mono += frames[:, channel]
    return mono / (channels * np.iinfo(dtype).max), rate


def upsampled(window, factor):
    spectrum = np.fft.rfft(window)
    wider = np.zeros(len(window) * factor // 2 + 1, dtype=complex)
    wider[:len(spectrum)] = spectrum
    return np.fft.irfft(wider, len(window) * factor) * factor


def pitch_hz(window, rate, low=30.0, high=4000.0):
    """The fundamental by the normalised difference function (YIN's), with
    parabolic interpolation of the first dip below the threshold; a high
    one again on the window upsampled, where a lag of few frames is coarse."""
    found = lag_pitch(window, rate, low, high)
    if found is None or found < 500:
        return found
    return lag_pitch(upsampled(window - window.mean(), 8), rate * 8, found / 1.5, found * 1.5)


def lag_pitch(window, rate, low, high):
    window = window - window.mean()
    size = min(len(window) // 2, int(rate / low) + 2)
    lags = np.arange(1, size)
    span = len(window) - size
    # The squared differences at every lag at once: both parts' energies
    # less twice their correlation, which an FFT gives.
    head = window[:span]
    length = 1 << (len(window) + span).bit_length()
    correlation = np.fft.irfft(np.fft.rfft(window, length) * np.conj(np.fft.rfft(head, length)), length)
    energies = np.concatenate([[0.0], np.cumsum(window ** 2)])
    diff = np.sum(head ** 2) + energies[lags + span] - energies[lags] - 2 * correlation[lags]
    cumulative = diff * lags / np.maximum(np.cumsum(diff), 1e-12)
    first = max(1, int(rate / high))
    last = min(len(lags) - 1, int(rate / low))
    candidates = np.where(cumulative[first:last] < 0.15)[0]
    if len(candidates) == 0:
        return None
    i = candidates[0] + first
    while i + 1 < last and cumulative[i + 1] < cumulative[i]:
        i += 1
    a, b, c = cumulative[i - 1], cumulative[i], cumulative[i + 1]
    shift = 0.5 * (a - c) / (a - 2 * b + c) if a - 2 * b + c != 0 else 0
    return rate / (lags[i] + shift)


def rms_curve(samples, rate, span=12):
    """The level every millisecond over a window of span of them: longer
    than a bass note's cycle, so that the cycle does not ripple it."""
    hop = int(rate * RMS_HOP)
    frames = len(samples) // hop
    power = (samples[:frames * hop].reshape(frames, hop) ** 2).mean(axis=1)
    return np.sqrt(np.convolve(power, np.ones(span) / span, mode='same'))


def onset(curve, seconds, reach=0.06):
    """The moment of the steepest rise of the level within reach of the
    expected time; None when the level hardly rises there."""
    first = max(3, int((seconds - reach) / RMS_HOP))
    last = min(len(curve) - 3, int((seconds + reach) / RMS_HOP))
    if last <= first:
        return None
    smooth = np.convolve(curve, np.ones(3) / 3, mode='same')
    rise = smooth[first + 2:last + 2] - smooth[first - 2:last - 2]
    best = int(np.argmax(rise))
    if rise[best] < 0.1 * max(smooth[first:last + 4].max(), 1e-9):
        return None
    # A rise matched elsewhere in reach (a detuned pair's beating) leaves
    # the onset in doubt.
    others = np.concatenate([rise[:max(0, best - 10)], rise[best + 10:]])
    if len(others) and others.max() > 0.67 * rise[best]:
        return None
    return (first + best) * RMS_HOP


def note_pitch(samples, rate, start, length):
    # The first 10 ms and the end are left to the attack and the next note.
    begin = int((start + 0.01) * rate)
    end = int((start + min(length, 0.12) - 0.005) * rate)
    if end - begin < int(0.03 * rate):
        return None
    return pitch_hz(samples[begin:end], rate)


def moment_pitch(samples, rate, start, length):
    """The pitch over one short stretch, as a slide holds it for a tick."""
    begin, end = int(start * rate), int((start + length) * rate)
    return pitch_hz(samples[begin:end], rate) if end - begin >= int(0.008 * rate) else None


def compare(kovo_path, other_path, lines):
    kovo, kovo_rate = read_mono(kovo_path)
    other, other_rate = read_mono(other_path)
    kovo_curve, other_curve = rms_curve(kovo, kovo_rate), rms_curve(other, other_rate)
    for kovo_time, other_time, length, read_pitch, kind in lines:
        if kind == 'moment':
            pa = moment_pitch(kovo, kovo_rate, kovo_time, length)
            pb = moment_pitch(other, other_rate, other_time, length) if pa else None
            print('skip', 'skip' if pa is None or pb is None else '%.1f' % (1200 * np.log2(pb / pa)))
            continue
        a, b = onset(kovo_curve, kovo_time), onset(other_curve, other_time)
        moved = 'skip' if a is None or b is None else '%.1f' % (((b - other_time) - (a - kovo_time)) * 1000)
        pa = note_pitch(kovo, kovo_rate, kovo_time, length) if read_pitch else None
        pb = note_pitch(other, other_rate, other_time, length) if pa else None
        print(moved, 'skip' if pa is None or pb is None else '%.1f' % (1200 * np.log2(pb / pa)))


def selftest():
    rate = 48000
    t = np.arange(int(0.1 * rate)) / rate
    for hz in (65.4, 261.6, 440.0, 1318.5, 2637.0):
        for shape in (np.sin(2 * np.pi * hz * t), np.sign(np.sin(2 * np.pi * hz * t))):
            found = pitch_hz(shape, rate)
            print('%.1f Hz: %.2f cents' % (hz, 1200 * np.log2(found / hz)))


if __name__ == '__main__':
    if sys.argv[1:] == ['--selftest']:
        selftest()
    else:
        def line_of(fields):
            return tuple(map(float, fields[:4])) + (fields[4] if len(fields) > 4 else 'note',)
        compare(sys.argv[1], sys.argv[2], [line_of(line.split()) for line in sys.stdin if line.strip()])
