#!/usr/bin/env python3
"""Writes each fuzz target's seed inputs into a folder of its own name under
the given folder: for reply_fuzz a start byte, then reply frames a healthy
unit sends (a whole connect, every decoded reply, an upload chain); for each
file loader valid files of its kind, built here from the file layouts
independently of the program's own packing."""
import os
import struct
import sys


def reply(code, data=b""):
    n = len(data) + 1
    body = bytes([n & 0xFF, n >> 8, (~code) & 0xFF]) + data
    return b"\x55" + body + bytes([(-sum(body)) & 0xFF])


def connect():
    block = bytes((i * 7 + 3) & 0xFF for i in range(1131))
    header = bytes([2, 0x13, 1, 3, 5, 0, 0, 0x0B, 1, 0, 0, 0, 0, 0, 3])
    out = reply(0x1C, bytes([1, 0x10, 0, 0x13, 1]))
    out += reply(0x3F, header + bytes([1131 & 0xFF, 1131 >> 8, (-sum(block)) & 0xFF]))
    for offset in range(0, 1131, 58):
        out += reply(0x40, block[offset:offset + 58])
    return out


def results():
    out = b""
    for code in (0x01, 0x14, 0x16, 0x17, 0x33, 0x47):
        out += reply(code, b"\x00")
    for code in (0x2B, 0x2C, 0x2D, 0x2E):
        out += reply(code, b"\x01")
    out += reply(0x32, bytes(range(81)))
    out += reply(0x3A, bytes(range(17)))
    out += reply(0x44, b"\x00") + reply(0x44, b"\x03\xa0\xa1\xa2") + reply(0x44, b"\x09")
    return out


def upload():
    return reply(0x41, b"\x00") + reply(0x42, b"\x00") * 15 + reply(0x43, b"\x00")


def band(slope, kind, freq, q, gain):
    return struct.pack("<BBHHh", slope, kind, freq, q, gain)


def boost_preset(enable, bands):
    body = bytes([0x95, enable]) + b"".join(band(*b) for b in bands)
    checksum = (-(0x95 + sum(body))) & 0xFF
    return body + bytes([checksum, 0])


# src/model/boost_preset_file.h
def boost_seeds():
    plain = [(0, 0, f, 10, 0) for f in (125, 250, 1000, 2500, 8000) * 2 + (125, 250, 1000) * 2]
    shaped = [(i % 8, i % 3, 20 + 1249 * i, 4 + 66 * i, 240 - 32 * i) for i in range(16)]
    return {"defaults": boost_preset(0, plain), "shaped": boost_preset(0x0F, shaped)}


# src/model/pc_mode_file.h: where the ParamBytes that select something must
# stay, the bands' areas by record count, then the file.
MODE_RANGES = {6: (1, 10), 9: (0, 14), 80: (0, 2), 85: (0, 2), 94: (0, 3), 95: (0, 3),
               107: (0, 2), 108: (0, 5), 153: (0, 3), 154: (0, 3)}
MODE_RANGES.update({i: (0, 7) for i in (7, 8, 19, 20, 37, 38, 51, 52, 65, 66, 77, 78,
                                         122, 123, 130, 131, 138, 139, 146, 147)})
MODE_BAND_COUNTS = (17, 17, 17, 24, 24, 18, 14, 7, 7)


def mode_file(param_bytes, words, bands, flags, name, masks, power_on):
    out = bytearray(1488)
    out[0:4] = struct.pack("<HH", 34, 2)
    out[8:168] = bytes(param_bytes)
    out[168:262] = struct.pack("<47H", *words)
    out[262:1422] = b"".join(band(*b) for b in bands)
    out[1424:1432] = struct.pack("<II", *flags)
    out[1432:1448] = name.ljust(16).encode("ascii")
    out[1448:1468] = struct.pack("<10H", *masks)
    out[1468] = power_on
    out[1485] = -(out[0] + out[2] + sum(out[8:1469])) & 0xFF
    return bytes(out)


def mode_seeds():
    count = sum(MODE_BAND_COUNTS)
    plain = [0] * 160
    plain[6] = 1
    shaped = [(i * 37 + 11) & 0xFF for i in range(160)]
    for index, (low, high) in MODE_RANGES.items():
        shaped[index] = low + index % (high - low + 1)
    return {
        "plain": mode_file(plain, [0] * 47, [(0, 0, 1000, 10, 0)] * count, (0, 0), "",
                           [0xFFFF] * 10, 0),
        "shaped": mode_file(shaped, [(i * 433) & 0xFFFF for i in range(47)],
                            [(i % 8, i % 5, 20 + 97 * i, 4 + 5 * i, (i * 13) % 481 - 240)
                             for i in range(count)],
                            (0x0007FF00, 0x0001A800), "Seed mode z", [i * 4099 for i in range(10)],
                            10),
    }


def learn_table(codes, baud_index):
    body = b"".join(bytes([len(c)]) + bytes(c) + bytes(15 - len(c)) for c in codes)
    body += bytes([baud_index])
    return struct.pack("<Ii", 0x4C454152, 1) + body + bytes([~sum(body) & 0xFF])


# src/model/learn_table_file.h
def learn_seeds():
    learned = [bytes((slot * 17 + k) & 0xFF for k in range(slot % 9)) for slot in range(32)]
    return {"empty": learn_table([b""] * 32, 3), "learned": learn_table(learned, 9)}


def reply_seeds():
    return {
        "connect_usb": b"\x05" + connect(),
        "connect_wifi": b"\x15" + connect(),
        "connect_then_results": b"\x25" + connect() + results(),
        "connect_then_upload": b"\x21" + connect() + upload(),
        "results": b"\x24" + results(),
        "upload": b"\x21" + upload(),
    }


TARGETS = {
    "reply_fuzz": reply_seeds,
    "boost_preset_fuzz": boost_seeds,
    "mode_file_fuzz": mode_seeds,
    "learn_table_fuzz": learn_seeds,
}


def main():
    for target, seeds in TARGETS.items():
        folder = os.path.join(sys.argv[1], target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds().items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
