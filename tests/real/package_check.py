#!/usr/bin/python3
"""What the Windows packages in build/packages hold, checked without Windows.

    tests/real/package_check.py <build/packages> <version>

Each zip, <package>-<version>-win32.zip and -win64.zip, must hold one folder
named like the zip with exactly the savers' .scr files of its architecture,
sphere.3d, LICENSE.txt and README.txt (Windows line ends, telling how to
install); the installer <package>-<version>-setup.exe must be a 32-bit GUI
program, which runs on 32-bit and 64-bit Windows. Prints "ok - ..." or
"not ok - ..." per check, ends with "N passed, M failed" and exits non-zero
if any check failed.
"""
import os
import sys
import zipfile

import pefile  # Debian's python3-pefile, hence /usr/bin/python3 above

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import saver_list  # noqa: E402
from checks import check, finish  # noqa: E402

PACKAGE = "corvel-savers"
SAVERS = tuple(f"{name}.scr" for name in saver_list.names())
MACHINES = {"win32": (0x014C, 0x10B), "win64": (0x8664, 0x20B)}



def is_pe(data, machine, magic, subsystem=2):
    try:
        pe = pefile.PE(data=data, fast_load=True)
    except pefile.PEFormatError:
        return False
    return (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Magic, pe.OPTIONAL_HEADER.Subsystem) == (machine, magic,
                                                                                                 subsystem)


def check_zip(folder, version, arch):
    name = f"{PACKAGE}-{version}-{arch}"
    path = os.path.join(folder, name + ".zip")
    if not os.path.isfile(path):
        check(False, f"{name}.zip exists")
        return
    with zipfile.ZipFile(path) as archive:
        files = sorted(n for n in archive.namelist() if not n.endswith("/"))
        wanted = sorted(f"{name}/{f}" for f in SAVERS + ("sphere.3d", "README.txt", "LICENSE.txt"))
        check(files == wanted, f"{name}.zip holds {name}/ with the .scr files, sphere.3d, README.txt, LICENSE.txt "
              f"(found: {', '.join(files)})")
        machine, magic = MACHINES[arch]
        savers_ok = all(is_pe(archive.read(f"{name}/{saver}"), machine, magic) for saver in SAVERS
                        if f"{name}/{saver}" in files)
        check(savers_ok and all(f"{name}/{saver}" in files for saver in SAVERS),
              f"{name}.zip: the .scr files are {arch} GUI programs")
        check(f"{name}/sphere.3d" in files and archive.getinfo(f"{name}/sphere.3d").file_size > 4,
              f"{name}.zip: sphere.3d is not empty")
        readme = archive.read(f"{name}/README.txt") if f"{name}/README.txt" in files else b""
        text = readme.decode("utf-8", "replace")
        lines = readme.split(b"\n")[:-1]
        check(bool(lines) and all(line.endswith(b"\r") for line in lines) and "Install" in text and
              "System32" in text and version in text,
              f"{name}.zip: README.txt tells how to install (right-click Install, the system folder), "
              f"version {version}, Windows line ends")


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    folder, version = sys.argv[1], sys.argv[2]
    for arch in ("win32", "win64"):
        check_zip(folder, version, arch)
    setup = os.path.join(folder, f"{PACKAGE}-{version}-setup.exe")
    check(os.path.isfile(setup) and is_pe(open(setup, "rb").read(), *MACHINES["win32"]),
          f"{os.path.basename(setup)} is a 32-bit GUI program")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
