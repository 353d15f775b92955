#!/usr/bin/env python3
"""Writes capacity.json: the simulated driver at the records' full capacity (64 devices,
256 input and 256 output channels, 16 synchronisation modes per device, 8 sampling rates,
4 plugs per device with 8 rates each). Deterministic; run it again after changing it."""
import json
import os

RATES = [32000, 44100, 48000, 64000, 88200, 96000, 176400, 192000]
SYNC_TYPES = [6, 2, 4, 1, 3, 5, 7, 8]


def device(index):
    number = index + 1
    return {
        "id": "0x%x" % (0x1001 + index),
        "rank": index,
        "name": "Capacity Interface %02d with a long name" % number,
        "serial": "SN-%06d" % (100000 + number),
        "syncModes": {
            "current": {"syncType": 6, "modeId": 1, "modeName": ""},
            "modes": [
                {"syncType": SYNC_TYPES[m % len(SYNC_TYPES)], "modeId": m + 1,
                 "modeName": "" if m == 0 else "Source %02d" % (m + 1)}
                for m in range(16)
            ],
        },
        "streams": {"plugs": [
            {"state": 3, "errorCode": 0, "streamNumber": p, "currentRate": 48000,
             "rates": RATES}
            for p in range(4)
        ]},
        "inputs": [
            {"id": "0x%x" % (0x200000 + index * 16 + c),
             "hardwareName": "Analog In %d of device %02d" % (c + 1, number),
             "channelName": "Input %02d.%d" % (number, c + 1)}
            for c in range(4)
        ],
        "outputs": [
            {"id": "0x%x" % (0x300000 + index * 16 + c),
             "hardwareName": "Analog Out %d of device %02d" % (c + 1, number),
             "channelName": "Output %02d.%d" % (number, c + 1)}
            for c in range(4)
        ],
    }


scenario = {
    "loaded": True,
    "clockMaster": {"reserved": 0, "masterType": 1, "masterDeviceId": "0x1001"},
    "sampleRate": {"reserved": 0, "currentRate": 48000, "rates": RATES},
    "devices": [device(i) for i in range(64)],
}
path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "capacity.json")
with open(path, "w") as out:
    json.dump(scenario, out, indent=1)
    out.write("\n")
