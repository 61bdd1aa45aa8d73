#!/usr/bin/python3
"""The packages in build/packages as a release: licensed, stamped with the
commit's time, free of build paths. The quick guard of the reproducible build
(scripts/check-reproducible builds twice and compares the bytes).

    tests/real/release_check.py <build/packages> <source top>

<source top> is the clone the packages were built from; its build/linux/bin and
build/win32|win64/bin hold the programs as built. Checks:
  licence   the .deb's copyright file (License: Expat, LICENSE's text), LICENSE.txt
            in the zips and in the installer (also as its licence page), the
            copyright in every PE version block, the line in --help and the manual pages
  times     every member of the .deb, the zips and the source archive, and every
            shipped PE header, carries SOURCE_DATE_EPOCH (else the commit's
            time); zip members in name order; the PE headers as linked carry 0
  paths     no shipped file, and no program as built (debug information
            included), holds the path of the source top
  sums      SHA256SUMS lists every other file there with its hash; the source
            archive holds the commit's files
Prints "ok - ..." or "not ok - ..." per check, ends with "N passed, M failed"
and exits non-zero if any check failed.
"""
import glob
import gzip
import hashlib
import io
import lzma
import os
import struct
import subprocess
import sys
import tarfile
import time
import zipfile

import pefile  # Debian's python3-pefile, hence /usr/bin/python3 above

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import saver_list  # noqa: E402
from checks import check, finish  # noqa: E402

PACKAGE = "corvel-savers"
SAVERS = saver_list.names()



def one(folder, pattern):
    found = sorted(glob.glob(os.path.join(folder, pattern)))
    return found[0] if len(found) == 1 else None


def ar_members(data):
    """(name, mtime, bytes) of each member of a Debian ar archive."""
    members, at = [], 8
    while at + 60 <= len(data):
        header = data[at:at + 60]
        size = int(header[48:58])
        members.append((header[:16].decode().strip().rstrip("/"), int(header[16:28]), data[at + 60:at + 60 + size]))
        at += 60 + size + size % 2
    return members


def nsis_payload(data):
    """The uncompressed data of an NSIS installer made with SetCompressor /SOLID lzma."""
    signature = b"\xef\xbe\xad\xdeNullsoftInst"
    at = next((o for o in range(0, len(data), 512) if data[o + 4:o + 20] == signature), None)
    if at is None:
        return b""
    total = struct.unpack_from("<I", data, at + 24)[0]
    props, dict_size = data[at + 28], struct.unpack_from("<I", data, at + 29)[0]
    lzma1 = {"id": lzma.FILTER_LZMA1, "dict_size": dict_size, "lc": props % 9, "lp": props // 9 % 5, "pb": props // 45}
    try:
        return lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=[lzma1]).decompress(data[at + 33:at + total])
    except lzma.LZMAError:
        return b""


def version_strings(data):
    pe = pefile.PE(data=data)
    return {k.decode(): v.decode() for info in getattr(pe, "FileInfo", [[]])[0] if hasattr(info, "StringTable")
            for table in info.StringTable for k, v in table.entries.items()}


def licence_text(licence, copyright_line):
    """LICENSE after its copyright line: the licence itself."""
    return licence[licence.index(copyright_line) + len(copyright_line):].strip("\n")


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[4].strip(), file=sys.stderr)
        return 2
    folder, top = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    git = ["git", "-C", top]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or subprocess.check_output(git + ["log", "-1", "--format=%ct"]))
    licence = open(os.path.join(top, "LICENSE")).read()
    copyright_line = next(line for line in licence.splitlines() if line.startswith("Copyright "))
    licence_line = f"{copyright_line}. Released under the MIT licence."
    top_bytes = top.encode()
    print(f"# time stamps: {epoch} ({time.strftime('%Y-%m-%d %H:%M:%S', time.gmtime(epoch))} UTC); top: {top}")

    deb_path = one(folder, f"{PACKAGE}_*.deb")
    zips = [one(folder, f"{PACKAGE}-*-{arch}.zip") for arch in ("win32", "win64")]
    setup_path = one(folder, f"{PACKAGE}-*-setup.exe")
    source_path = one(folder, f"{PACKAGE}-*.tar.gz")
    check(None not in (deb_path, *zips, setup_path, source_path),
          "build/packages holds one .deb, the two zips, the installer and the source archive")
    if None in (deb_path, *zips, setup_path, source_path):
        return finish()

    # --- what each package holds ------------------------------------------------------
    deb = ar_members(open(deb_path, "rb").read())
    tars = {name: tarfile.open(fileobj=io.BytesIO(data)) for name, _, data in deb if ".tar" in name}
    data_tar = next(archive for name, archive in tars.items() if name.startswith("data.tar"))
    deb_files = {m.name: data_tar.extractfile(m).read() for m in data_tar.getmembers() if m.isfile()}
    zipped = {}  # zip name: (infos, {member: bytes})
    for path in zips:
        with zipfile.ZipFile(path) as archive:
            zipped[os.path.basename(path)] = (archive.infolist(), {n: archive.read(n) for n in archive.namelist()})
    setup = open(setup_path, "rb").read()
    payload = nsis_payload(setup)
    shipped_pe = [data for _, contents in zipped.values() for n, data in contents.items() if n.endswith(".scr")]

    # --- licence ------------------------------------------------------------------------
    copyright_file = deb_files.get(f"./usr/share/doc/{PACKAGE}/copyright", b"").decode()
    fields, _, text = copyright_file.partition("License: Expat\n")
    text = "\n".join("" if line == " ." else line[1:] for line in text.rstrip("\n").split("\n"))
    holders = copyright_line.replace("Copyright (c) ", "")
    check(f"\nCopyright: {holders}\n" in fields and text == licence_text(licence, copyright_line),
          f"the .deb's copyright file: Copyright: {holders}, License: Expat with LICENSE's text")
    pages = [f"./usr/share/man/man6/{saver}.6.gz" for saver in SAVERS]
    pages = [gzip.decompress(deb_files[page]) if page in deb_files else b"" for page in pages]
    built = os.path.join(top, "build", "linux", "bin")
    usage = subprocess.run([os.path.join(built, SAVERS[-1]), "--help"], capture_output=True, text=True).stdout
    check(all(f".SH COPYRIGHT\n{licence_line}\n".encode() in page for page in pages) and
          usage.endswith(f"\n{licence_line}\n"),
          f"the manual pages (section COPYRIGHT) and the end of --help say \"{licence_line}\"")
    crlf = licence.replace("\n", "\r\n")
    check(all(infos and contents.get(infos[0].filename.split("/")[0] + "/LICENSE.txt") == crlf.encode()
              for infos, contents in zipped.values()), "each zip holds LICENSE.txt: LICENSE with Windows line ends")
    check(crlf.encode() in payload and crlf.encode("utf-16-le") in payload,
          "the installer carries LICENSE.txt and shows it as its licence page")
    blocks = [version_strings(data).get("LegalCopyright") for data in shipped_pe + [setup]]
    check(len(blocks) == 2 * len(SAVERS) + 1 and set(blocks) == {copyright_line},
          f"the version blocks of the {len(blocks) - 1} .scr files and the installer have LegalCopyright "
          f"\"{copyright_line}\"")

    # --- times ----------------------------------------------------------------------------
    deb_times = {mtime for _, mtime, _ in deb}
    deb_times |= {member.mtime for archive in tars.values() for member in archive.getmembers()}
    check(deb_times == {epoch}, f"every member of the .deb is dated {epoch} (found {sorted(deb_times)})")
    stamp = time.gmtime(epoch)[:5] + (time.gmtime(epoch)[5] // 2 * 2,)
    check(all([i.filename for i in infos] == sorted(i.filename for i in infos) and
              {i.date_time for i in infos} == {stamp} for infos, _ in zipped.values()),
          f"the zips' members are in name order, each dated {time.strftime('%Y-%m-%d %H:%M:%S', stamp + (0,) * 3)}")
    stamps = sorted({pefile.PE(data=data, fast_load=True).FILE_HEADER.TimeDateStamp for data in shipped_pe})
    check(len(shipped_pe) == 2 * len(SAVERS) and stamps == [epoch],
          f"the PE headers of the {len(shipped_pe)} shipped .scr files carry {epoch} ({stamps})")
    linked = sorted(glob.glob(os.path.join(top, "build", "win*", "bin", "*.scr")))
    stamps = sorted({pefile.PE(path, fast_load=True).FILE_HEADER.TimeDateStamp for path in linked})
    check(len(linked) == 2 * len(SAVERS) and stamps == [0],
          f"the PE headers of the {len(linked)} .scr files as linked carry 0 ({stamps})")

    # --- build paths ----------------------------------------------------------------------
    holders_of_top = [os.path.basename(deb_path) + ":" + n for n, data in deb_files.items() if top_bytes in data]
    holders_of_top += [z + ":" + n for z, (_, contents) in zipped.items() for n, data in contents.items()
                       if top_bytes in data]
    holders_of_top += [os.path.basename(setup_path)] if top_bytes in payload or not payload else []
    check(not holders_of_top, f"no shipped file holds {top} ({', '.join(holders_of_top) or 'none does'})")
    programs = [os.path.join(built, saver) for saver in SAVERS] + linked
    leaks = [os.path.relpath(p, top) for p in programs if top_bytes in open(p, "rb").read()]
    check(len(programs) == 3 * len(SAVERS) and not leaks,
          f"the {len(programs)} programs as built hold no {top}, debug information included "
          f"({', '.join(leaks) or 'none does'})")

    # --- checksums and the source archive -----------------------------------------------
    listed = {}
    sums = os.path.join(folder, "SHA256SUMS")
    for line in (open(sums).read() if os.path.isfile(sums) else "").splitlines():
        digest, _, name = line.partition("  ")
        listed[name] = digest
    present = sorted(n for n in os.listdir(folder) if n != "SHA256SUMS" and os.path.isfile(os.path.join(folder, n)))
    actual = {n: hashlib.sha256(open(os.path.join(folder, n), "rb").read()).hexdigest() for n in present}
    check(listed == actual, f"SHA256SUMS gives the hash of each of the {len(present)} other files there")
    with tarfile.open(source_path) as source:
        members = source.getmembers()
        prefix = os.path.basename(source_path)[:-len(".tar.gz")] + "/"
        archived = sorted(m.name[len(prefix):] for m in members if m.isfile() and m.name.startswith(prefix))
        source_times = {m.mtime for m in members}
    committed = subprocess.check_output(git + ["ls-tree", "-r", "--name-only", "HEAD"], text=True)
    committed = sorted(committed.split("\n")[:-1])
    check(archived == committed and source_times == {epoch},
          f"the source archive holds the commit's {len(committed)} files under {prefix}, dated {epoch}")

    return finish()


if __name__ == "__main__":
    sys.exit(main())
