#!/usr/bin/python3
"""Says where two builds of one package differ, down to the bytes.

    tests/reliability/package_diff.py <first file> <second file>

Opens what it knows inside each file (a .deb's ar members and tar archives, zips,
gzip, tar, the data of an NSIS installer) and compares member by member: which
members only one side has, whose order, time, mode or owner differ, and for a
member whose bytes differ the ranges of differing bytes and the ELF or PE
sections they fall in (a PE file also names its header time stamp and checksum). Prints "# " lines; exits 0 when the two
files are byte-identical, 1 when not.
"""
import gzip
import io
import lzma
import struct
import sys
import tarfile
import zipfile

import pefile  # Debian's python3-pefile, hence /usr/bin/python3 above


def ar_members(data):
    members, at = [], 8
    while at + 60 <= len(data):
        header = data[at:at + 60]
        size = int(header[48:58])
        name = header[:16].decode().strip().rstrip("/")
        members.append((name, {"mtime": int(header[16:28]), "owner": header[28:40].split(),
                               "mode": header[40:48].strip()}, data[at + 60:at + 60 + size]))
        at += 60 + size + size % 2
    return members


def nsis_payload(data):
    signature = b"\xef\xbe\xad\xdeNullsoftInst"
    at = next((o for o in range(0, len(data), 512) if data[o + 4:o + 20] == signature), None)
    if at is None:
        return None
    total = struct.unpack_from("<I", data, at + 24)[0]
    props, dict_size = data[at + 28], struct.unpack_from("<I", data, at + 29)[0]
    lzma1 = {"id": lzma.FILTER_LZMA1, "dict_size": dict_size, "lc": props % 9, "lp": props // 9 % 5, "pb": props // 45}
    try:
        return lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=[lzma1]).decompress(data[at + 33:at + total])
    except lzma.LZMAError:
        return None


def members(name, data):
    """[(member name, metadata, bytes)] of a container, or None for a plain file."""
    if data[:8] == b"!<arch>\n":
        return ar_members(data)
    if data[:4] == b"PK\x03\x04":
        with zipfile.ZipFile(io.BytesIO(data)) as archive:
            return [(i.filename, {"time": i.date_time, "mode": oct(i.external_attr >> 16), "extra": i.extra.hex()},
                     archive.read(i)) for i in archive.infolist()]
    if data[:2] == b"\x1f\x8b":
        return [(name.rsplit(".", 1)[0], {"gzip mtime": struct.unpack_from("<I", data, 4)[0]}, gzip.decompress(data))]
    if data[:2] == b"\xfd7" or name.endswith(".xz"):
        return [(name.rsplit(".", 1)[0], {}, lzma.decompress(data))]
    if len(data) > 262 and data[257:262] == b"ustar":
        with tarfile.open(fileobj=io.BytesIO(data)) as archive:
            return [(m.name, {"mtime": m.mtime, "mode": oct(m.mode), "owner": (m.uid, m.gid, m.uname, m.gname)},
                     archive.extractfile(m).read() if m.isfile() else b"") for m in archive.getmembers()]
    if data[:2] == b"MZ":
        payload = nsis_payload(data)
        if payload is not None:
            return [("(installer data)", {}, payload)]
    return None


def sections(data):
    """[(name, file offset, size)] of an ELF (64-bit, little-endian) or PE file; [] for others."""
    if data[:6] == b"\x7fELF\x02\x01":
        shoff, = struct.unpack_from("<Q", data, 0x28)
        entsize, count, names = struct.unpack_from("<HHH", data, 0x3a)
        headers = [struct.unpack_from("<IIQQQQ", data, shoff + i * entsize) for i in range(count)]
        table = headers[names][4] if names < count else 0
        return [(data[table + h[0]:data.index(b"\0", table + h[0])].decode(), h[4], h[5]) for h in headers
                if h[1] != 8]  # not SHT_NOBITS
    if data[:2] == b"MZ":
        try:
            pe = pefile.PE(data=data, fast_load=True)
        except pefile.PEFormatError:
            return []
        return [("PE headers", 0, pe.OPTIONAL_HEADER.SizeOfHeaders)] + [
            (s.Name.rstrip(b"\0").decode(errors="replace"), s.PointerToRawData, s.SizeOfRawData) for s in pe.sections]
    return []


def byte_ranges(a, b, limit=6):
    """The ranges [start, end) where a and b differ (the tail of the longer
    counts), with the sections of an ELF or PE file they fall in."""
    ranges, at, n = [], None, min(len(a), len(b))
    for i in range(n):
        if a[i] != b[i]:
            if at is None:
                at = i
        elif at is not None:
            ranges.append((at, i))
            at = None
    if at is not None:
        ranges.append((at, n))
    if len(a) != len(b):
        ranges.append((n, max(len(a), len(b))))
    shown = ", ".join(f"0x{s:x}-0x{e:x}" for s, e in ranges[:limit])
    more = ", ..." if len(ranges) > limit else ""
    inside = sorted({name for name, at, size in sections(a) for s, e in ranges if s < at + size and at < e})
    where = f", in {', '.join(inside)}" if inside else ""
    return f"{sum(e - s for s, e in ranges)} bytes in {len(ranges)} ranges ({shown}{more}){where}"


def pe_note(a, b):
    try:
        pa, pb = pefile.PE(data=a, fast_load=True), pefile.PE(data=b, fast_load=True)
    except pefile.PEFormatError:
        return ""
    return (f"; PE time stamp {pa.FILE_HEADER.TimeDateStamp} / {pb.FILE_HEADER.TimeDateStamp}, "
            f"checksum 0x{pa.OPTIONAL_HEADER.CheckSum:x} / 0x{pb.OPTIONAL_HEADER.CheckSum:x}")


def compare(name, a, b, depth=0):
    """Prints how a and b (both named `name`) differ; they are known to differ."""
    pad = "  " * depth
    inner_a, inner_b = members(name, a), members(name, b)
    if inner_a is None or inner_b is None:
        print(f"# {pad}{name}: {byte_ranges(a, b)}{pe_note(a, b) if a[:2] == b'MZ' else ''}")
        return
    names_a, names_b = [m[0] for m in inner_a], [m[0] for m in inner_b]
    only = sorted(set(names_a) ^ set(names_b))
    print(f"# {pad}{name}: container of {len(names_a)} / {len(names_b)} members")
    if only:
        print(f"# {pad}  only on one side: {', '.join(only)}")
    if names_a != names_b and not only:
        print(f"# {pad}  the same members in another order")
    by_name = {m[0]: m for m in inner_b}
    changes = {}  # "mtime 1 / 2": the members with that change
    differing = []
    for member, meta, data in inner_a:
        if member not in by_name:
            continue
        _, meta_b, data_b = by_name[member]
        changed = ", ".join(f"{k} {meta[k]} / {meta_b.get(k)}" for k in meta if meta[k] != meta_b.get(k))
        if changed:
            changes.setdefault(changed, []).append(member)
        if data != data_b:
            differing.append((member, data, data_b))
    for changed, names in changes.items():
        shown = ", ".join(names[:4]) + (f" and {len(names) - 4} more" if len(names) > 4 else "")
        print(f"# {pad}  {changed}: {shown}")
    for member, data, data_b in differing:
        compare(member, data, data_b, depth + 1)
    if not (only or changes or differing or names_a != names_b):
        print(f"# {pad}  the members are the same; the container's own bytes differ: {byte_ranges(a, b)}")


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    a, b = (open(path, "rb").read() for path in sys.argv[1:])
    if a == b:
        return 0
    compare(sys.argv[1].rsplit("/", 1)[-1], a, b)
    return 1


if __name__ == "__main__":
    sys.exit(main())
