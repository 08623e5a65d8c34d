#!/usr/bin/env python3
"""wav_levels.py WAV -- the loudest sample of each 10 ms frame of the replay
tool's sound (stereo 32-bit floats at 48000 a second), in dBFS, one line a
frame: "FRAME DB", frames from 1; -200 stands for digital silence."""

import math
import struct
import sys

FRAME = 480  # stereo samples of one frame


def main():
    data = open(sys.argv[1], "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit("wav_levels: not a WAV file: %s" % sys.argv[1])
    fmt = data.index(b"fmt ")
    tag, channels, rate = struct.unpack("<HHI", data[fmt + 8:fmt + 16])
    bits = struct.unpack("<H", data[fmt + 22:fmt + 24])[0]
    if (tag, channels, rate, bits) != (3, 2, 48000, 32):
        sys.exit("wav_levels: want float stereo 48000, got %s" % ((tag, channels, rate, bits),))
    at = data.index(b"data")
    size = struct.unpack("<I", data[at + 4:at + 8])[0]
    body = data[at + 8:at + 8 + size]
    if size % (FRAME * 8) != 0 or len(body) != size:
        sys.exit("wav_levels: %d bytes of samples, not whole 10 ms frames" % size)
    samples = struct.unpack("<%df" % (size // 4), body)
    for f in range(size // (FRAME * 8)):
        peak = max(abs(s) for s in samples[f * 2 * FRAME:(f + 1) * 2 * FRAME])
        print(f + 1, "%.1f" % (20 * math.log10(peak) if peak > 0 else -200.0))


main()
