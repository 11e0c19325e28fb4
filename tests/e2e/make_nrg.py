#!/usr/bin/env python3
"""Writes a Nero image of a raw image of 2352-byte sectors: an audio track (the bytes of AUDIO,
so that the file's start holds no data track of this game), two sectors of the data track's
index 0, the raw image as the data track, then a chunk list and the footer. Every number is
big-endian.

    make_nrg.py RAW OUT.nrg --footer ner5|nero [--audio AUDIO]

"ner5": the footer "NER5" with a 64-bit offset, the disc-at-once table "DAOX" (64-bit offsets);
"nero": the footer "NERO" with a 32-bit offset, the table "DAOI" (32-bit offsets).
"""
import argparse

SECTOR = 2352
AUDIO_MODE, RAW_MODE2 = 0x07, 0x06


def be(value, width):
    return value.to_bytes(width, 'big')


def chunk(name, body):
    return name + be(len(body), 4) + body


def main():
    args = argparse.ArgumentParser()
    args.add_argument('raw')
    args.add_argument('out')
    args.add_argument('--footer', choices=['ner5', 'nero'], required=True)
    args.add_argument('--audio')
    options = args.parse_args()
    width = 8 if options.footer == 'ner5' else 4
    audio = open(options.audio, 'rb').read() if options.audio else bytes(10 * SECTOR)
    raw = open(options.raw, 'rb').read()
    index0 = len(audio)
    start = index0 + 2 * SECTOR
    end = start + len(raw)

    def track(mode, first, begin, last):  # ISRC, sector size, mode and 3 bytes, index 0, index 1, end
        return bytes(12) + be(SECTOR, 2) + be(mode, 1) + bytes(3) + be(first, width) + be(begin, width) + be(last, width)

    # Header: the chunk's size again (little-endian), catalogue number, a byte, TOC type, first and last track.
    size = 22 + 2 * (18 + 3 * width)
    table = size.to_bytes(4, 'little') + bytes(13) + bytes(1) + be(0x20, 2) + be(1, 1) + be(2, 1)
    table += track(AUDIO_MODE, 0, 0, index0) + track(RAW_MODE2, index0, start, end)
    name = b'DAOX' if width == 8 else b'DAOI'
    chunks = chunk(b'SINF', be(2, 4)) + chunk(name, table) + chunk(b'MTYP', be(1, 4)) + chunk(b'END!', b'')
    with open(options.out, 'wb') as out:
        out.write(audio + bytes(2 * SECTOR) + raw + chunks)
        out.write((b'NER5' if width == 8 else b'NERO') + be(end, width))


main()
