#!/usr/bin/env python3
"""Levels of a raw capture of the game's mixer output, second by second.

The game mixes to unsigned 8-bit mono at 22050 Hz. SDL 1.2 sums 8-bit
channels through a table that tops out at 254, so a clipped peak reads 0 or
254 (255 is counted too, for a mixer that reaches it). A second "sounds"
when its RMS passes the floor; the median is taken over those seconds.
Exits 1 when a second clips more than allowed or the game is too quiet.

Classic SDL 1.2 writes that mix as it is (--encoding u8, the default). SDL
1.2 over SDL2 converts it to its device's format first, e.g. --encoding s16
--channels 2 --rate 44100: the channels are averaged and the samples put
back on the 8-bit scale, where the mix's clipped peaks still read 0 and 254.
"""
import argparse
import array
import math
import statistics
import sys


def samples(data, encoding, channels):
    """The capture as mono samples on the 8-bit scale (0 to 255, 128 silent)."""
    if encoding == "u8":
        values = list(data)
    else:
        pcm = array.array("h")
        pcm.frombytes(data[: len(data) // 2 * 2])
        if sys.byteorder != "little":
            pcm.byteswap()
        values = [v / 256 + 128 for v in pcm]
    if channels == 1:
        return values
    frames = len(values) // channels
    return [sum(values[i * channels : (i + 1) * channels]) / channels for i in range(frames)]


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("raw", help="raw capture (SDL's disk audio driver)")
    p.add_argument("--from", dest="start", type=int, default=0, help="first byte")
    p.add_argument("--to", dest="end", type=int, default=None, help="byte after the last")
    p.add_argument("--encoding", choices=["u8", "s16"], default="u8",
                   help="unsigned 8-bit, or signed 16-bit little-endian")
    p.add_argument("--channels", type=int, default=1)
    p.add_argument("--rate", type=int, default=22050)
    p.add_argument("--floor", type=float, default=0.01, help="RMS of a sounding second")
    p.add_argument("--max-clip", type=float, default=0.001, help="clipped share allowed")
    p.add_argument("--min-rms", type=float, default=0.06, help="median RMS required")
    a = p.parse_args()

    frame = a.channels * (1 if a.encoding == "u8" else 2)
    start = a.start // frame * frame  # a byte count read mid-write may split a frame
    with open(a.raw, "rb") as f:
        data = samples(f.read()[start : a.end], a.encoding, a.channels)
    seconds = len(data) // a.rate
    if seconds == 0:
        print(f"{a.raw}: less than a second of sound", file=sys.stderr)
        return 1

    print("second  clipped%    rms   peak")
    sounding, worst = [], (0.0, 0.0, 0)
    for k in range(seconds):
        block = data[k * a.rate : (k + 1) * a.rate]
        clipped = sum(1 for s in block if s < 0.5 or s > 253.5) / a.rate
        rms = math.sqrt(sum((s - 128) ** 2 for s in block) / a.rate) / 128
        peak = max(abs(s - 128) for s in block) / 128
        print(f"{k + 1:6d}  {100 * clipped:8.3f}  {rms:.4f}  {peak:.3f}")
        if rms > a.floor:
            sounding.append(rms)
        worst = max(worst, (clipped, peak, k + 1))

    median = statistics.median(sounding) if sounding else 0.0
    print(f"{len(data) / a.rate:.1f} s analysed, {len(sounding)} seconds sounding (RMS > {a.floor})")
    print(f"median RMS of the sounding seconds: {median:.4f} (at least {a.min_rms})")
    print(f"worst second: {worst[2]}, {100 * worst[0]:.3f}% clipped (at most {100 * a.max_clip}%),"
          f" peak {worst[1]:.3f}")
    ok = worst[0] <= a.max_clip and median >= a.min_rms
    print("PASS" if ok else "FAIL")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
