#!/usr/bin/python3
"""Zips one Windows layout so that the same files give the same bytes.

    make_zip.py <layout folder> <top folder in the zip> <zip>

Every file of the layout goes under the top folder, in the order of their
names; each entry carries the time SOURCE_DATE_EPOCH (UTC, which must be set),
mode 644 (755 where the file has an execute bit) and no other metadata, deflated.
"""
import os
import sys
import time
import zipfile


def entries(folder):
    """The layout's files as (name inside the layout, path), sorted by name."""
    found = []
    for root, dirs, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            found.append((os.path.relpath(path, folder).replace(os.sep, "/"), path))
    return sorted(found)


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    folder, top, out = sys.argv[1:]
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not epoch.isdigit():
        print("make_zip.py: SOURCE_DATE_EPOCH must be set to the time in seconds", file=sys.stderr)
        return 2
    # A zip's times run from 1980 on, in two-second steps.
    stamp = time.gmtime(max(int(epoch), 315532800))[:6]
    with zipfile.ZipFile(out, "w") as archive:
        for name, path in entries(folder):
            info = zipfile.ZipInfo(f"{top}/{name}", stamp)
            info.create_system = 3  # Unix, so that the mode below is read
            executable = os.stat(path).st_mode & 0o111
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(info, data.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main())
