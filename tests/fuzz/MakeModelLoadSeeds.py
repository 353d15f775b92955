#!/usr/bin/env python3
"""Writes the seed corpus of ModelLoadFuzzer: one file per hostile or ordinary driver reply set.

Each file holds, for the device list, device properties, channel list, channel properties and
sync-mode info in that order, a 2-byte little-endian length and that many reply bytes.
Run from this folder: ./MakeModelLoadSeeds.py
"""
import os
import struct


def chunk(b): return struct.pack('<H', len(b)) + b
def words(*w): return b''.join(struct.pack('<I', x) for x in w)
def text(t, n): return t.ljust(n, b'\0')[:n]
def devlist(count, ids): return words(count, *ids)
def props(did, name, serial): return words(did, 0) + text(name, 40) + text(serial, 384)
def chanprops(did, hw, nm): return words(0, did, 0) + text(hw, 40) + text(nm, 40)
def mode(t, m, n): return words(t, m) + text(n, 40)


def chanlist(inc, ins, outc, outs):
    return words(inc, *ins).ljust(1028, b'\0') + words(outc, *outs).ljust(1028, b'\0')


def syncinfo(did, cur, count, modes):
    return (words(did) + cur + words(count) + b''.join(modes)).ljust(824, b'\0')


NONE = chunk(b'')
SEEDS = {
    'empty': b'',
    'demo-ids': chunk(devlist(3, [0x1001, 0x1002, 0x1003])),
    'unknown-ids': chunk(devlist(2, [0xdead, 0x1002])) + NONE +
    chunk(chanlist(2, [0x2001, 0xbeef], 1, [0x3101])),
    'count-past-capacity': chunk(devlist(0xffffffff, [0x1001] * 64)) +
    chunk(props(0x1001, b'D' * 40, b'S' * 384)) +
    chunk(chanlist(0xffffffff, [0x2001] * 256, 257, [0x3001] * 256)) + chunk(b'C' * 92),
    'names-without-zero': NONE + chunk(b'A' * 432) + NONE + chunk(b'B' * 92) + chunk(b'C' * 824),
    'sync-mode-count': NONE * 4 +
    chunk(syncinfo(0x1001, mode(6, 1, b''), 0xffffffff, [mode(2, 2, b'M' * 40)] * 16)),
    'partial': chunk(words(1)) + chunk(words(0x1001)) + chunk(words(1, 0x2001)) +
    chunk(words(0, 0x1001)) + chunk(words(0x1001, 4)),
    'good-records': chunk(devlist(2, [0x1001, 0x1002])) + chunk(props(0x1001, b'Studio', b'SN-1')) +
    chunk(chanlist(1, [0x2001], 1, [0x3001])) + chunk(chanprops(0x1001, b'Analog In 1', b'In 1')) +
    chunk(syncinfo(0x1001, mode(4, 3, b'S/PDIF'), 2, [mode(6, 1, b''), mode(4, 3, b'S/PDIF')])),
}

if __name__ == '__main__':
    os.makedirs('corpus/ModelLoadFuzzer', exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join('corpus/ModelLoadFuzzer', name), 'wb') as f:
            f.write(data)
