#!/usr/bin/env python3
"""The release zip packer: the same files give the same bytes, and every file can be checked."""

import hashlib
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest
import zipfile

PACK = pathlib.Path(__file__).resolve().parents[2] / "tools" / "release" / "pack.py"


def pack(folder, names, epoch="1765200000"):
    archive = folder / "tarnftp-test.zip"
    environment = dict(os.environ, SOURCE_DATE_EPOCH=epoch)
    subprocess.run([sys.executable, PACK, archive, *(folder / name for name in names)],
                   env=environment, check=True)
    return archive


class ReleasePackTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.addCleanup(self.scratch.cleanup)
        root = pathlib.Path(self.scratch.name)
        self.first, self.second = root / "first", root / "second-folder"
        for folder, mode, stamp in ((self.first, 0o644, 1e9), (self.second, 0o600, 2e9)):
            folder.mkdir()
            (folder / "tarnftp.exe").write_bytes(bytes(range(256)) * 40 + b"\n\r\n")
            (folder / "GUIDE.txt").write_bytes(b"line one\nline two\r\n")
            (folder / "tarnftp.ini").write_bytes(b"[RedirectHosts]\nHost1=a\n")
            for path in folder.iterdir():
                path.chmod(mode)
                os.utime(path, (stamp, stamp))

    def test_same_files_give_the_same_zip_whatever_their_order_times_modes_and_folder(self):
        names = ["tarnftp.exe", "GUIDE.txt", "tarnftp.ini"]
        first = pack(self.first, names)
        second = pack(self.second, list(reversed(names)))
        self.assertEqual(first.read_bytes(), second.read_bytes())
        digest = hashlib.sha256(first.read_bytes()).hexdigest()
        self.assertEqual(pathlib.Path(f"{first}.sha256").read_text(), f"{digest}  {first.name}\n")
        self.assertNotEqual(first.read_bytes(), pack(self.second, names, epoch="1765200002")
                            .read_bytes(), "the commit time does not reach the entries")

    def test_entries_are_sorted_fixed_and_listed_in_sha256sums(self):
        with zipfile.ZipFile(pack(self.first, ["tarnftp.ini", "tarnftp.exe", "GUIDE.txt"])) as zip:
            infos = zip.infolist()
            self.assertEqual([info.filename for info in infos],
                             ["GUIDE.txt", "SHA256SUMS", "tarnftp.exe", "tarnftp.ini"])
            for info in infos:
                self.assertEqual(info.date_time, (2025, 12, 8, 13, 20, 0))
                self.assertEqual(info.external_attr >> 16, 0o100644)
                self.assertEqual(info.extra, b"")
            contents = {info.filename: zip.read(info) for info in infos}
        # The exe keeps its bytes; text files get Windows line ends, once.
        self.assertEqual(contents["tarnftp.exe"], (self.first / "tarnftp.exe").read_bytes())
        self.assertEqual(contents["GUIDE.txt"], b"line one\r\nline two\r\n")
        sums = {name: digest for digest, name in
                (line.split("  ") for line in contents["SHA256SUMS"].decode().splitlines())}
        self.assertEqual(sums, {name: hashlib.sha256(data).hexdigest()
                                for name, data in contents.items() if name != "SHA256SUMS"})


if __name__ == "__main__":
    unittest.main()
