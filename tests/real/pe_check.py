#!/usr/bin/python3
"""Static checks of the Windows programs, with no Windows or Wine needed.

    tests/real/pe_check.py win32|win64 <build/win32/bin | build/win64/bin>

Each of amber.scr, cobalt.scr, jade.scr and opal.scr must be a PE of the named
architecture (win32: PE32 for i386; win64: PE32+ for x86-64), a GUI program, and
import only DLLs that every Windows has (the C++ runtime is linked in); in the
32-bit build the functions Windows calls back must be __stdcall. sphere.3d must
lie beside them. Prints "ok - ..." or "not ok - ..." per check,
ends with "N passed, M failed" and exits non-zero if any check failed.
"""
import os
import re
import subprocess
import sys

import pefile  # Debian's python3-pefile, hence /usr/bin/python3 above

SAVERS = ("amber", "cobalt", "jade", "opal")
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

passed = 0
failed = 0


def check(ok, what):
    global passed, failed
    print(("ok - " if ok else "not ok - ") + what)
    if ok:
        passed += 1
    else:
        failed += 1


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
    if arch == "win32":
        check_stdcall(path)


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
    for saver in SAVERS:
        check_program(os.path.join(folder, saver + ".scr"), arch)
    sphere = os.path.join(folder, "sphere.3d")
    check(os.path.isfile(sphere) and os.path.getsize(sphere) > 4, "sphere.3d lies beside the programs")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
