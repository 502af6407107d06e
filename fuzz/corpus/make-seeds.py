#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target: a few small, valid files of the kind the
target reads, from which the fuzzer mutates. Run from anywhere; rewrites the seeds."""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent


def u32(*values):
    return b"".join(struct.pack("<I", v) for v in values)


def archive_string(data):
    if len(data) < 255:
        return bytes([len(data)]) + data
    return b"\xff" + struct.pack("<H", len(data)) + data


def bank(name, instruments, drum_kits, samples=b""):
    header = b"\0" * 8 + name.ljust(8, b"\0") + b"\0" * 10
    records = lambda programs: b"".join(struct.pack("<HB", p, v) + b"\0\0\0" for p, v in programs)
    return header + records(instruments) + b"\xff\xff" + records(drum_kits) + b"\xff\xff" + samples


def card_state(total, banks):
    body = b"".join(u32(i, prio, size) + name.ljust(16, b"\0") for i, prio, size, name in banks)
    return b"KRVCARD\0" + u32(1, total, len(banks)) + body


def preset(banks, total, paths):
    body = u32(len(banks)) + b"".join(u32(prio, size) for prio, size in banks) + u32(total)
    return body + b"".join(archive_string(p) for p in paths + [b""] * (8 - len(paths)))


def options(startup, display, midi):
    return archive_string(startup) + u32(display) + archive_string(midi)


TEMPLATE = b"""<html><head><title>[IDS_KRVTITLE]</title></head><body>
[IDS_KRVPRESETFILENAME] [IDS_KRVCREATEDDATE] [IDS_KRVMEMORYUSED]
[KRV_TAG_STARTBANK]
<p>[IDS_KRVBANKFILENAME] [IDS_KRVBANKINTERNALNAME] [IDS_KRVBANKPRIORITY]</p>
[KRV_TAG_ENDBANK]
<h2>[IDS_KRVMIDIMAPPING]</h2>
[KRV_TAG_STARTNICEPROG]
<h3>[IDS_KRVBANKREALNAME] [IDS_KRVINSTRUMENT]</h3>
<td>[IDS_KRVBANKMIDIPROG]</td><td>[IDS_KRVBANKKVARIATION]</td>
[KRV_TAG_ENDNICEPROG]
<td>[IDS_KRVBANKCUBASEPROG]</td><td>[IDS_KRVBANKCUBASEBANK]</td>
[KRV_TAG_ENDPROG]
</body></html>
"""

SEEDS = {
    "bank_file_check_fuzzer": {
        "empty-lists": bank(b"EMPTY", [], []),
        "two-lists": bank(b"ORCHESTR", [(0, 0), (5, 8)], [(0, 127)], b"\xff" * 64),
        "latin-name": bank(b"\x80uro\xe9", [(1, 0)], []),
    },
    "card_state_fuzzer": {
        "new-card": card_state(8388608, []),
        "three-banks": card_state(8388608, [(0, 0, 4096, b"PIANO"), (1, 64, 8192, b"PADS"),
                                            (5, 127, 100, b"\x80uro")]),
    },
    "bank_file_info_fuzzer": {
        "two-lists": bank(b"ORCHESTR", [(0, 0), (5, 8)], [(0, 127)]),
        "cut-short": bank(b"CUT", [(0, 0), (1, 0)], [])[:35],
    },
    "preset_reader_fuzzer": {
        "empty": preset([], 0, []),
        "two-banks": preset([(0, 4096), (64, 8192)], 12288, [b"/banks/a.94b", b"/banks/latin\xff.94b"]),
    },
    "options_reader_fuzzer": {
        "defaults": options(b"", 0, b""),
        "tray": options(b"/presets/live.pre", 1, b"/midi/song.mid"),
    },
    "mapping_report_fuzzer": {
        "utf8": TEMPLATE,
        "windows-1252": TEMPLATE.replace(b"<body>", b"<body>\x80 caf\xe9"),
    },
}

for target, seeds in SEEDS.items():
    directory = HERE / target
    directory.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (directory / name).write_bytes(data)
