"""Writes COUNT one-disk D88 images into FOLDER, cut from the disks of the
images given (each disk's header says its size), each named on its header
by its number so that no two are alike. Usage: one_disk_images.py FOLDER
COUNT IMAGE..."""

import os
import struct
import sys


def disks(path):
    with open(path, "rb") as file:
        data = file.read()
    offset = 0
    while offset + 0x2b0 <= len(data):
        size = struct.unpack_from("<I", data, offset + 0x1c)[0]
        if size < 0x2b0 or offset + size > len(data):
            break
        yield data[offset:offset + size]
        offset += size


def main(folder, count, *images):
    found = [disk for image in images for disk in disks(image)]
    for i in range(int(count)):
        disk = bytearray(found[i % len(found)])
        disk[0:17] = b"DISK %03d".ljust(17, b"\0") % i
        with open(os.path.join(folder, "%03d.d88" % i), "wb") as out:
            out.write(disk)


main(*sys.argv[1:])
