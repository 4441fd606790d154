#!/usr/bin/env python3
"""Converts the framebuffer file of Xvfb -fbdir (XWD, 24-bit colour in 32-bit
pixels) into a PNG, with the standard library only."""
import struct
import sys
import zlib


def main(source, target):
    data = open(source, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    colormap_entries = fields[19]
    if depth != 24 or bits_per_pixel != 32:
        sys.exit("expected 24-bit colour in 32-bit pixels, got %d/%d" % (depth, bits_per_pixel))
    pixels = data[header_size + 12 * colormap_entries:]
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + 4 * width]
        # Byte order 0 is least significant byte first: B, G, R, unused.
        order = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
        rgb = bytearray(3 * width)
        for i, k in enumerate(order):
            rgb[i::3] = line[k::4]
        rows.append(b"\0" + bytes(rgb))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
    open(target, "wb").write(png)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
