#!/usr/bin/python3
"""Static checks of the Windows programs, with no Windows or Wine needed.

    tests/real/pe_check.py win32|win64 <build/win32/bin | build/win64/bin>

Each saver's .scr (the saver list, savers/list.cmake) must be a PE of the named
architecture (win32: PE32 for i386; win64: PE32+ for x86-64), a GUI program, and
import only DLLs that every Windows has (the C++ runtime is linked in), and carry
its resources: its name as string 1, the project's version (from the build's
CMakeCache.txt) and a per-monitor DPI-aware manifest. In the 32-bit build the
functions Windows calls back must be __stdcall. sphere.3d must lie beside them. Prints "ok - ..." or "not ok - ..." per check,
ends with "N passed, M failed" and exits non-zero if any check failed.
"""
import os
import re
import subprocess
import sys

import pefile  # Debian's python3-pefile, hence /usr/bin/python3 above

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import saver_list  # noqa: E402
from checks import check, finish  # noqa: E402

DISPLAY_NAMES = dict(saver_list.entries())
# Machine and optional-header magic per architecture.
ARCHES = {
    "win32": (0x014C, 0x10B, "PE32 for i386"),
    "win64": (0x8664, 0x20B, "PE32+ for x86-64"),
}
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "opengl32.dll",
               "user32.dll", "winmm.dll"}
GUI_SUBSYSTEM = 2
# The core's functions that Windows calls back; a 32-bit Windows calls them as
# __stdcall, whose symbols end in "@<argument bytes>".
CALLBACKS = ("ShellWindowProc", "DemoWindowProc", "ConfigureDialogProc", "FrameTimerTick")

RT_STRING = 6
RT_MANIFEST = 24
VERSION = None  # the project's, read from the build



def check_program(path, arch):
    name = os.path.basename(path)
    machine, magic, kind = ARCHES[arch]
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        check(False, f"{name} is a PE file ({error})")
        return
    check(pe.FILE_HEADER.Machine == machine and pe.OPTIONAL_HEADER.Magic == magic,
          f"{name} is {kind} (machine {pe.FILE_HEADER.Machine:#06x}, magic {pe.OPTIONAL_HEADER.Magic:#05x})")
    check(pe.OPTIONAL_HEADER.Subsystem == GUI_SUBSYSTEM,
          f"{name} is a GUI program (subsystem {pe.OPTIONAL_HEADER.Subsystem})")
    imports = sorted(entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []))
    foreign = [dll for dll in imports if dll not in SYSTEM_DLLS]
    check(imports and not foreign,
          f"{name} imports only system DLLs ({', '.join(foreign) if foreign else ', '.join(imports)})")
    check_resources(pe, name)
    if arch == "win32":
        check_stdcall(path)


def resource(pe, kind, number):
    """Resource `number` of type `kind` (its directory entry), or None."""
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return None
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == kind:
            return next((item for item in entry.directory.entries if item.id == number), None)
    return None


def check_resources(pe, name):
    saver = name[:-len(".scr")]
    strings = resource(pe, RT_STRING, 1)  # the block of strings 0 to 15
    title = strings.directory.strings.get(1) if strings is not None else None
    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    quad = (f"{fixed.FileVersionMS >> 16}.{fixed.FileVersionMS & 0xFFFF}.{fixed.FileVersionLS >> 16}."
            f"{fixed.FileVersionLS & 0xFFFF}" if fixed else None)
    texts = {}
    for info in getattr(pe, "FileInfo", [[]])[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                texts.update({k.decode(): v.decode() for k, v in table.entries.items()})
    manifest_entry = resource(pe, RT_MANIFEST, 1)
    manifest = ""
    if manifest_entry is not None:
        data = manifest_entry.directory.entries[0].data.struct
        manifest = pe.get_data(data.OffsetToData, data.Size).decode("utf-8", "replace")
    check(title == DISPLAY_NAMES[saver] and quad == f"{VERSION}.0" and texts.get("ProductVersion") == VERSION and
          texts.get("OriginalFilename") == name and ">PerMonitorV2, PerMonitor<" in manifest and
          ">true/pm<" in manifest and 'level="asInvoker"' in manifest,
          f"{name} carries its name ({title}), version {quad}, original name {texts.get('OriginalFilename')} "
          f"and a per-monitor DPI-aware manifest")


def check_stdcall(path):
    name = os.path.basename(path)
    listing = subprocess.run(["i686-w64-mingw32-nm", path], capture_output=True, text=True).stdout
    for callback in CALLBACKS:
        symbols = re.findall(r" T (__Z\d+%s\S*)" % callback, listing)
        check(symbols and all(symbol.endswith("@16") for symbol in symbols),
              f"{name}: {callback} is __stdcall ({', '.join(symbols) or 'no symbol'})")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ARCHES:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    arch, folder = sys.argv[1], sys.argv[2]
    global VERSION
    with open(os.path.join(folder, "..", "CMakeCache.txt"), encoding="utf-8") as cache:
        VERSION = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.*)$", cache.read(), re.M).group(1)
    for saver in DISPLAY_NAMES:
        check_program(os.path.join(folder, saver + ".scr"), arch)
    sphere = os.path.join(folder, "sphere.3d")
    check(os.path.isfile(sphere) and os.path.getsize(sphere) > 4, "sphere.3d lies beside the programs")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
