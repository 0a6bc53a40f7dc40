#!/usr/bin/env python3
"""The .deb as a user's machine gets it, checked without installing it here: its files and
control fields, apt resolving its dependencies, and the binary taken out of it starting and
showing its window under a private X server."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from xsession import APP_TITLE, Desktop, XServer, running  # noqa: E402

DEB = Path(os.environ["TARN_DEB"])
SOURCE = Path(os.environ["TARN_SOURCE_DIR"])
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
METAINFO = "example.tarngroup.tarnftp.metainfo.xml"


def dpkg_deb(*args):
    return subprocess.run(["dpkg-deb", *args, DEB], capture_output=True, check=True,
                          text=True).stdout


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tree = Path(tempfile.mkdtemp(prefix="tarn-deb-"))
        subprocess.run(["dpkg-deb", "-x", DEB, cls.tree], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tree, ignore_errors=True)

    def test_files_and_fields(self):
        documents = ("applications/tarnftp.desktop", "doc/tarnftp/copyright",
                     "doc/tarnftp/changelog.gz", "man/man1/tarnftp.1.gz", f"metainfo/{METAINFO}",
                     *(f"icons/hicolor/{n}x{n}/apps/tarnftp.png" for n in ICON_SIZES))
        expected = {"./etc/tarnftp/tarnftp.ini": "-rw-r--r--", "./usr/bin/tarnftp": "-rwxr-xr-x",
                    **{f"./usr/share/{path}": "-rw-r--r--" for path in documents}}
        files = {}
        for line in dpkg_deb("-c").splitlines():
            mode, owner, _, _, _, path = line.split(None, 5)
            self.assertEqual(owner, "root/root", path)
            if not mode.startswith("d"):
                files[path] = mode
        self.assertEqual(files, expected)

        fields = dict(line.split(": ", 1) for line in
                      dpkg_deb("-f").splitlines() if ": " in line and line[0] != " ")
        self.assertEqual(fields["Package"], "tarnftp")
        self.assertEqual(DEB.name, f"tarnftp_{fields['Version']}_{fields['Architecture']}.deb")
        self.assertRegex(fields["Version"], r"^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$")
        depends = [re.sub(r" \(.*\)$", "", d.strip()) for d in fields["Depends"].split(",")]
        # From dpkg-shlibdeps: the libraries the binary links; then the two named by hand.
        for package in ("libc6", "libcurl4", "libqt6widgets6", "ca-certificates", "xdg-utils"):
            self.assertIn(package, depends)
        self.assertEqual(fields["Section"], "net")
        # dpkg keeps an administrator's edits of the system's tarnftp.ini over upgrades.
        conffiles = subprocess.run(["dpkg-deb", "-I", DEB, "conffiles"], capture_output=True,
                                   check=True, text=True).stdout
        self.assertEqual(conffiles.split(), ["/etc/tarnftp/tarnftp.ini"])

    def test_apt_resolves_the_dependencies(self):
        done = subprocess.run(["apt-get", "install", "--simulate", "--no-install-recommends",
                               str(DEB.resolve())], capture_output=True, text=True,
                              env={**os.environ, "LC_ALL": "C"})
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertRegex(done.stdout, r"(?m)^Inst tarnftp ")

    def test_installed_files(self):
        binary = self.tree / "usr/bin/tarnftp"
        described = subprocess.run(["file", "-b", binary], capture_output=True, text=True,
                                   check=True).stdout
        self.assertIn("ELF 64-bit", described)
        self.assertIn(", stripped", described)
        entry = self.tree / "usr/share/applications/tarnftp.desktop"
        validated = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
        self.assertEqual((validated.returncode, validated.stdout), (0, ""))
        self.assertIn("Exec=tarnftp\n", entry.read_text())
        for icon in (self.tree / "usr/share/icons/hicolor").glob("*/apps/tarnftp.png"):
            size = int(icon.parts[-3].split("x")[0])
            header = icon.read_bytes()[:24]
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual((int.from_bytes(header[16:20], "big"),
                              int.from_bytes(header[20:24], "big")), (size, size))

    def test_debian_checks_pass(self):
        # lintian's warnings cover the manual page and compressed files that carry a time.
        lintian = subprocess.run(["lintian", "--pedantic", DEB], capture_output=True, text=True)
        self.assertEqual(re.findall(r"(?m)^[EW]: .*", lintian.stdout + lintian.stderr), [])
        appstream = subprocess.run(["appstreamcli", "validate", "--no-net",
                                    self.tree / "usr/share/metainfo" / METAINFO],
                                   capture_output=True, text=True)
        self.assertEqual(appstream.returncode, 0, appstream.stdout)

    def test_extracted_binary_shows_its_window(self):
        entry = (self.tree / "usr/share/applications/tarnftp.desktop").read_text()
        wm_class = re.search(r"(?m)^StartupWMClass=(.*)$", entry).group(1)
        with XServer() as xserver:
            desktop = Desktop(xserver)
            try:
                with running(self.tree / "usr/bin/tarnftp", desktop) as program:
                    window = desktop.window(APP_TITLE)
                    self.assertIsNotNone(window, "the logon window did not show")
                    # The desktop ties the window to its entry (and its icon) by the class.
                    shown = subprocess.run(["xprop", "-id", window, "WM_CLASS"], env=desktop.env(),
                                           capture_output=True, text=True, check=True).stdout
                    self.assertEqual(shown.split("=")[1].split(",")[-1].strip(), f'"{wm_class}"')
                    desktop.xdotool("windowfocus", "--sync", window, "key", "Escape")
                    program.wait(timeout=10)
                self.assertTrue(desktop.gone(APP_TITLE))
            finally:
                desktop.close()


if __name__ == "__main__":
    unittest.main()
