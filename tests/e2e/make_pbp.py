#!/usr/bin/env python3
"""Packs disc images into a package of the handheld's PlayStation player (".pbp"), as public
descriptions of the format give it: the header's eight part offsets, PARAM.SFO with the title,
and DATA.PSAR with one disc ("PSISOIMG0000") or a table of several ("PSTITLEIMG000000"), each
disc's raw 2352-byte sectors in blocks of 16, raw-deflated or stored when deflating gains nothing.

    make_pbp.py OUT.pbp TITLE DISC_ID DISC [DISC...]

A DISC of 2048-byte sectors (an ISO 9660 image) is turned into raw mode 2 sectors first.
"""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SYNC = b'\x00' + b'\xff' * 10 + b'\x00'
BLOCK = 16 * 2352
INDEX, DATA = 0x4000, 0x100000


def raw_sectors(path):
    data = open(path, 'rb').read()
    if data.startswith(SYNC) and len(data) % 2352 == 0:
        return data
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, 'raw.bin')
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), '..', 'raw_sectors.py'), path, out], check=True)
        return open(out, 'rb').read()


def sfo(entries):
    """PARAM.SFO: the header, 16-byte index entries, the keys, then the values (text, 4-aligned)."""
    index, keys, values = b'', b'', b''
    for key, value in sorted(entries.items()):
        text = value.encode('utf-8') + b'\0'
        room = (len(text) + 3) // 4 * 4
        index += struct.pack('<HHIII', len(keys), 0x0204, len(text), room, len(values))
        keys += key.encode('ascii') + b'\0'
        values += text + bytes(room - len(text))
    keys += bytes(-len(keys) % 4)
    head = struct.pack('<4sIIII', b'\0PSF', 0x0101, 20 + len(index), 20 + len(index) + len(keys), len(entries))
    return head + index + keys + values


def disc_part(raw, disc_id):
    """One disc: the tag, its identifier at 0x400, the block index at 0x4000, the blocks at 0x100000."""
    raw += bytes(-len(raw) % BLOCK)
    count = len(raw) // BLOCK
    if count > (DATA - INDEX) // 32:
        sys.exit('the disc is too large for the block index')
    head = bytearray(DATA)
    head[0:12] = b'PSISOIMG0000'
    head[0x400:0x40B] = ('_' + disc_id[:4] + '_' + disc_id[4:9]).encode('ascii')
    blocks = b''
    for b in range(count):
        sectors = raw[b * BLOCK:(b + 1) * BLOCK]
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(sectors) + packer.flush()
        if len(packed) >= BLOCK:
            packed = sectors
        entry = struct.pack('<IHH', len(blocks), len(packed), 1) + hashlib.sha1(sectors).digest()[:16]
        head[INDEX + 32 * b:INDEX + 32 * b + len(entry)] = entry
        blocks += packed
    return bytes(head) + blocks


def main():
    out, title, disc_id, discs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    if not 1 <= len(discs) <= 5:
        sys.exit(__doc__)
    parts = [disc_part(raw_sectors(path), disc_id) for path in discs]
    if len(parts) == 1:
        psar = parts[0]
    else:
        psar = bytearray(b'PSTITLEIMG000000' + bytes(0x8000 - 16))
        for number, part in enumerate(parts):
            struct.pack_into('<I', psar, 0x200 + 4 * number, len(psar))
            psar += part + bytes(-len(part) % 0x8000)
    param = sfo({'CATEGORY': 'ME', 'DISC_ID': disc_id, 'TITLE': title})
    param += bytes(-len(param) % 16)
    offsets = [40] + [40 + len(param)] * 7  # no icons, pictures, sound or program
    with open(out, 'wb') as pbp:
        pbp.write(b'\0PBP' + struct.pack('<I8I', 0x00010000, *offsets) + param + bytes(psar))


main()
