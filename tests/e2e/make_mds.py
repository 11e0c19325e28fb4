#!/usr/bin/env python3
"""Writes an ".mds" descriptor and its ".mdf" image for a raw image of 2352-byte mode 2 sectors:
first AUDIO sectors of an audio track (track 1, when AUDIO is not 0), then the raw image as the
data track. The descriptor names its image "*.mdf": the ".mdf" of its own name.

    make_mds.py RAW.bin OUT.mds [AUDIO]

The descriptor, all numbers little-endian: a header of 0x58 bytes ("MEDIA DESCRIPTOR", version,
medium type, session count at 0x14, offset of the session block at 0x50); one session block of
0x18 bytes (start and end sector, number, block count at 0x0A, count of lead-in blocks, first and
last track, offset of the track blocks at 0x14); track blocks of 0x50 bytes, the lead-in's points
A0h to A2h then the tracks (mode at 0, subchannels, ADR/control, point at 4, start as minutes,
seconds, frames at 9, offset of the index block at 0x0C, sector size at 0x10, start sector at
0x24, start offset in the image at 0x28, name count at 0x30, offset of the name block at 0x34);
index blocks of 8 bytes (sectors of index 0 and of index 1); a name block of 0x10 bytes (offset of
the name, 0 for 8-bit characters); the name.
"""
import os
import struct
import sys

AUDIO_MODE, MODE2_MODE, SECTOR = 0xA9, 0xAB, 2352


def msf(lba):
    frame = lba + 150
    return bytes([frame // 4500, frame // 75 % 60, frame % 75])


def main():
    raw = open(sys.argv[1], 'rb').read()
    out = sys.argv[2]
    audio = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    data = len(raw) // SECTOR
    tracks = ([(AUDIO_MODE, 0x10, 0, audio)] if audio else []) + [(MODE2_MODE, 0x14, audio, data)]
    blocks = 3 + len(tracks)
    blocks_at = 0x58 + 0x18
    index_at = blocks_at + blocks * 0x50
    name_block = index_at + blocks * 8
    name_at = name_block + 0x10
    end = audio + data

    mds = bytearray(name_at)
    mds[0:16] = b'MEDIA DESCRIPTOR'
    struct.pack_into('<BBHH', mds, 0x10, 1, 5, 0, 1)  # version 1.5, CD-ROM, one session
    struct.pack_into('<I', mds, 0x50, 0x58)
    struct.pack_into('<iiHBBHHII', mds, 0x58, -150, end, 1, blocks, 3, 1, len(tracks), 0, blocks_at)
    lead_in = [(0xA0, bytes([1, 0x20, 0])), (0xA1, bytes([len(tracks), 0, 0])), (0xA2, msf(end))]
    for i, (point, pmsf) in enumerate(lead_in):  # first track and disc type, last track, lead-out
        at = blocks_at + i * 0x50
        mds[at + 2], mds[at + 4] = 0x14, point
        mds[at + 9:at + 12] = pmsf
    for n, (mode, control, start, sectors) in enumerate(tracks):
        at = blocks_at + (3 + n) * 0x50
        mds[at], mds[at + 2], mds[at + 4] = mode, control, n + 1
        mds[at + 9:at + 12] = msf(start)
        struct.pack_into('<IHB', mds, at + 0x0C, index_at + (3 + n) * 8, SECTOR, 2)
        struct.pack_into('<IQII', mds, at + 0x24, start, start * SECTOR, 1, name_block)
        struct.pack_into('<II', mds, index_at + (3 + n) * 8, 0, sectors)
    struct.pack_into('<I', mds, name_block, name_at)
    mds += b'*.mdf\0'
    open(out, 'wb').write(mds)
    audio_bytes = bytes((i * 37) & 0xFF for i in range(SECTOR)) * audio  # a tone, no sync pattern
    open(os.path.splitext(out)[0] + '.mdf', 'wb').write(audio_bytes + raw)


main()
