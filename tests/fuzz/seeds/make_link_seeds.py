#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_dump_stream and fuzz_remote_receiver.

    tests/fuzz/seeds/make_link_seeds.py BUILD_DIR

Dump seeds are small generated readings files (ravik-make-sample from
BUILD_DIR) as the analyzer sends them: the header's five text lines, then
the records. Remote seeds are streams of the analyzer's replies. Each seed
starts with the control bytes the fuzz target reads first.
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    os.makedirs(os.path.join(HERE, target), exist_ok=True)
    with open(os.path.join(HERE, target, name), "wb") as seed:
        seed.write(data)


def dump_stream(readings_file):
    with open(readings_file, "rb") as f:
        data = f.read()
    return data[:256].split(b"\0")[0] + data[256:]


def dump_seeds(build):
    make_sample = os.path.join(build, "tools", "make-sample", "ravik-make-sample")
    files = [
        ("v60-mixed", ["--paint", "1", "--bulk", "1", "--alloy", "1", "--version", "6.0"]),
        ("v55-thin", ["--thin", "2", "--version", "5.5"]),
        ("v50-sign-locked", ["--sign", "1", "--paint", "1", "--version", "5.0", "--locked"]),
        ("empty", []),
    ]
    with tempfile.TemporaryDirectory() as work:
        for name, options in files:
            path = os.path.join(work, name + ".qvr")
            subprocess.run([make_sample, "file", path, "--compact", "--seed", "3"] + options, check=True,
                           stdout=subprocess.DEVNULL)
            stream = dump_stream(path)
            write("fuzz_dump_stream", name, b"\x05" + stream)
            write("fuzz_dump_stream", name + "-xoff-small-chunks", b"\x41" + stream + b"surplus bytes")


def le32(value):
    return struct.pack("<i", value)


def folded(value):
    return struct.pack("<q", value)


def reply(code, payload):
    return bytes([code]) + payload + b"\x1a"


def remote_seeds():
    screen = bytes([1]) + bytes((i * 7) & 0xFF for i in range(800)) + b"\x1a" * 20 + bytes(780)
    spectrum = struct.pack(">HH", 0, 500) + b"".join(le32(c * 3) for c in range(500))
    second = struct.pack(">HH", 0, 20) + folded(12345) + folded(2512345) + folded(0) + b"".join(le32(c) for c in range(20))
    status = folded(0) + b"".join(le32(v) for v in range(-8, 9))
    polls = (reply(142, folded(0x1A1A1A)) + reply(144, screen) + reply(146, folded(7)) + reply(148, spectrum)
             + reply(147, folded(9)) + reply(149, second))
    texts = (reply(150, b"Pb L=3,Pb K=1,Time=2.5,Live=2.3,") + reply(145, b"ALLOY ID,1st:316SS*\r\n2nd:304SS \r\n3rd:321 \r\n")
             + reply(143, b"\x00MAIN MENU") + reply(151, folded(2512345)) + reply(152, folded(-5))
             + reply(153, le32(2150)) + reply(154, status) + reply(156, bytes([0, 2]) + bytes(16)) + bytes([176]))
    write("fuzz_remote_receiver", "displays", bytes([0x38, 40]) + polls)
    write("fuzz_remote_receiver", "texts-autostart", bytes([0xE4, 3]) + texts)
    write("fuzz_remote_receiver", "faults", bytes([0x08, 0]) + reply(144, screen[:700]) + bytes([200, 7])
          + reply(148, struct.pack(">HH", 9, 2)) + reply(145, b"no values"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    dump_seeds(sys.argv[1])
    remote_seeds()
