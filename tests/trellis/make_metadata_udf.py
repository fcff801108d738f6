#!/usr/bin/python3
"""Writes a UDF 2.60 image whose file set lives in a metadata partition, the
layout of Blu-ray discs. pycdlib writes the files; the image is then turned
into the metadata layout: a metadata partition map is added, the metadata
file and its mirror map the metadata partition onto the physical one (in
two extents, so that the lookup crosses an extent boundary), and the file
set, the root and every directory entry refer to the metadata partition.

usage: make_metadata_udf.py IMAGE [broken-main]
With "broken-main" the main metadata file is left unreadable, so that a
reader has to use the mirror."""
import io
import struct
import sys

import pycdlib

BLOCK = 2048


def make_files(path):
    iso = pycdlib.PyCdlib()
    iso.new(udf='2.60', interchange_level=3, vol_ident='META')
    iso.add_directory('/D1', udf_path='/Movies')
    iso.add_directory('/D1/D2', udf_path='/Movies/Extras')
    for name, udf, size in [('/A.TXT;1', '/index.bdmv', 300), ('/D1/B.BIN;1', '/Movies/00001.m2ts', 90000),
                            ('/D1/D2/C.TXT;1', "/Movies/Extras/it's.txt", 7)]:
        iso.add_fp(io.BytesIO(b'm' * size), size, name, udf_path=udf)
    iso.write(path)
    iso.close()


def checksum(data, at):
    tag = data[at:at + 16]
    data[at + 4] = (sum(tag[0:4]) + sum(tag[5:16])) & 0xFF


def u16(data, at):
    return struct.unpack_from('<H', data, at)[0]


def u32(data, at):
    return struct.unpack_from('<I', data, at)[0]


def main():
    path = sys.argv[1]
    broken_main = len(sys.argv) > 2 and sys.argv[2] == 'broken-main'
    make_files(path)
    data = bytearray(open(path, 'rb').read())
    # Both volume descriptor sequences (main and reserve) get the same change.
    sequences = []
    for pointer in (20, 28):
        vds = u32(data, 256 * BLOCK + pointer)
        lvd = pd = None
        for block in range(vds, vds + 16):
            tag = u16(data, block * BLOCK)
            if tag == 5 and pd is None:
                pd = block * BLOCK
            elif tag == 6:
                lvd = block * BLOCK
            elif tag == 8:
                break
        sequences.append((lvd, pd))
    lvd, pd = sequences[0]
    start, length = u32(data, pd + 188), u32(data, pd + 192)

    # Two blocks at the partition's end for the metadata file and its mirror.
    end = (start + length) * BLOCK
    if len(data) < end + 2 * BLOCK:
        data.extend(bytes(end + 2 * BLOCK - len(data)))
    for _, descriptor in sequences:
        struct.pack_into('<I', data, descriptor + 192, length + 2)
        checksum(data, descriptor)
    split = length // 3
    for index, (kind, location) in enumerate([(250, length), (251, length + 1)]):
        at = (start + location) * BLOCK
        fe = bytearray(BLOCK)
        struct.pack_into('<HHBBHHHI', fe, 0, 261, 3, 0, 0, 0, 0, 0, location)
        struct.pack_into('<IHHHBB', fe, 16, 0, 4, 0, 1, 0, kind)
        struct.pack_into('<H', fe, 34, 0)  # short allocation descriptors
        struct.pack_into('<Q', fe, 56, length * BLOCK)
        struct.pack_into('<II', fe, 168, 0, 16)
        struct.pack_into('<IIII', fe, 176, split * BLOCK, 0, (length - split) * BLOCK, split)
        checksum(fe, 0)
        if not (broken_main and index == 0):
            data[at:at + BLOCK] = fe

    # The metadata partition map, and the file set in that partition.
    table = u32(data, lvd + 264)
    entry = bytearray(64)
    entry[0], entry[1] = 2, 64
    entry[5:5 + 23] = b'*UDF Metadata Partition'
    struct.pack_into('<HHIIIIHB', entry, 36, 1, u16(data, pd + 22), length, length + 1, 0xFFFFFFFF, 32, 1, 0)
    for descriptor, _ in sequences:
        data[descriptor + 440 + table:descriptor + 440 + table + 64] = entry
        struct.pack_into('<II', data, descriptor + 264, table + 64, 2)
        struct.pack_into('<H', data, descriptor + 256, 1)
        struct.pack_into('<H', data, descriptor + 216 + 24, 0x0250)  # the domain's UDF revision
        checksum(data, descriptor)
    fsd = (start + u32(data, lvd + 252)) * BLOCK
    struct.pack_into('<H', data, fsd + 408, 1)
    checksum(data, fsd)

    # Every directory entry below the root now refers to the metadata partition.
    pending, seen = [u32(data, fsd + 404)], set()
    while pending:
        icb = pending.pop()
        if icb in seen:
            continue
        seen.add(icb)
        fe = (start + icb) * BLOCK
        tag = u16(data, fe)
        ea, ad = (168, 176) if tag == 261 else (208, 216)
        l_ea, l_ad = u32(data, fe + ea), u32(data, fe + ea + 4)
        kind = u16(data, fe + 34) & 7
        area = fe + ad + l_ea
        if kind == 3:
            spans = [(area, l_ad)]
        else:
            step = 8 if kind == 0 else 16
            spans = []
            for at in range(area, area + l_ad, step):
                size = u32(data, at) & 0x3FFFFFFF
                if size:
                    spans.append(((start + u32(data, at + 4)) * BLOCK, size))
        for begin, size in spans:
            at = begin
            while at + 38 <= begin + size and u16(data, at) == 257:
                characteristics, name_length = data[at + 18], data[at + 19]
                if not characteristics & 0x08:
                    struct.pack_into('<H', data, at + 28, 1)
                    checksum(data, at)
                    if characteristics & 0x02:
                        pending.append(u32(data, at + 24))
                at += (38 + u16(data, at + 36) + name_length + 3) & ~3
    open(path, 'wb').write(data)


main()
