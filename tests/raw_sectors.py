#!/usr/bin/env python3
"""Turns an ISO 9660 image of 2048-byte sectors into raw 2352-byte mode 2 form 1 sectors: sync,
address, mode, subheader, data, and room for the error codes, which no reader of the image's
files needs.

    raw_sectors.py IN.iso OUT.bin [MEGABYTES]

With MEGABYTES the image is padded with sectors of a little data each, to that size.
"""
import sys


def bcd(n):
    return bytes([n // 10 * 16 + n % 10])


def main():
    data = open(sys.argv[1], 'rb').read()
    sectors = len(data) // 2048
    if len(sys.argv) > 3:
        sectors = max(sectors, int(sys.argv[3]) * 1024 * 1024 // 2352)
    with open(sys.argv[2], 'wb') as out:
        for lba in range(sectors):
            frame = lba + 150
            header = bcd(frame // 4500) + bcd(frame // 75 % 60) + bcd(frame % 75) + b'\x02'
            user = data[lba * 2048:(lba + 1) * 2048] if lba * 2048 < len(data) else bytes([lba % 251]) * 16 + bytes(2032)
            out.write(b'\x00' + b'\xff' * 10 + b'\x00' + header + b'\x00\x00\x08\x00' * 2 + user + bytes(280))


main()
