#!/usr/bin/env python3
"""Packs the release zip so that the same files always give the same bytes.

    pack.py ZIP FILE...

Adds SHA256SUMS of the files, then writes ZIP with every entry in name order, stamped with
the time in SOURCE_DATE_EPOCH (else 1980-01-01), mode 0644, no extra fields and no comment,
and writes ZIP.sha256 beside it. Text files (.txt, .ini) get Windows line ends.
"""
import hashlib
import os
import sys
import time
import zipfile

TEXT_SUFFIXES = (".txt", ".ini")
ZIP_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC, the earliest time a zip entry can hold


def entry_time(epoch):
    # A zip entry holds local time with two-second steps and no zone: use UTC, rounded down.
    stamp = time.gmtime(max(epoch, ZIP_EPOCH))
    return stamp[:5] + (stamp.tm_sec - stamp.tm_sec % 2,)


def content(path):
    with open(path, "rb") as source:
        data = source.read()
    if path.endswith(TEXT_SUFFIXES):
        data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return data


def sha256sums(files):
    lines = [f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in sorted(files.items())]
    return "".join(lines).encode("ascii")


def write_zip(path, files, epoch):
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in sorted(files.items()):
            info = zipfile.ZipInfo(name, date_time=entry_time(epoch))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below is read
            info.external_attr = 0o100644 << 16
            archive.writestr(info, data, compresslevel=9)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    zip_path = argv[1]
    files = {}
    for path in argv[2:]:
        name = os.path.basename(path)
        if name in files or name == "SHA256SUMS":
            sys.exit(f"pack.py: {name} given twice")
        files[name] = content(path)
    files["SHA256SUMS"] = sha256sums(files)
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", ZIP_EPOCH))
    write_zip(zip_path, files, epoch)
    with open(zip_path, "rb") as archive:
        digest = hashlib.sha256(archive.read()).hexdigest()
    with open(zip_path + ".sha256", "w", encoding="ascii") as checksum:
        checksum.write(f"{digest}  {os.path.basename(zip_path)}\n")


if __name__ == "__main__":
    main(sys.argv)
