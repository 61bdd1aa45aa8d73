#!/usr/bin/env python3
"""The alpha channel of a window dump, as `xwd -id ID` writes it for a 32-bit
TrueColor window (ZPixmap, 32 bits per pixel).

    xwd_alpha.py FILE

Prints "pixels P lit L min_alpha A lit_min_alpha B max_alpha C": every pixel,
the lit ones (any colour above 0) and the least and greatest alpha among them
(B is - with no lit pixel). Status 1 when the dump is not of that kind.
"""
import struct
import sys

Z_PIXMAP = 2


def main():
    data = open(sys.argv[1], "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red, green, blue, ncolors = fields[14], fields[15], fields[16], fields[19]
    if pixmap_format != Z_PIXMAP or depth != 32 or bits_per_pixel != 32:
        print(f"not a 32-bit window dump: format {pixmap_format}, depth {depth}, {bits_per_pixel} bits per pixel")
        return 1
    alpha_mask = 0xFFFFFFFF & ~(red | green | blue)
    shift = (alpha_mask & -alpha_mask).bit_length() - 1
    start = header_size + 12 * ncolors
    order = "<" if byte_order == 0 else ">"
    lit = 0
    least = lit_least = 255
    most = 0
    for y in range(height):
        row = data[start + y * bytes_per_line:start + y * bytes_per_line + 4 * width]
        for (pixel,) in struct.iter_unpack(order + "I", row):
            alpha = (pixel & alpha_mask) >> shift
            least = min(least, alpha)
            most = max(most, alpha)
            if pixel & (red | green | blue):
                lit += 1
                lit_least = min(lit_least, alpha)
    print(f"pixels {width * height} lit {lit} min_alpha {least} lit_min_alpha {lit_least if lit else '-'} "
          f"max_alpha {most}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
