"""The installer package under Wine's msiexec: install with a host, log on with the installed
exe, upgrades, a refused downgrade, removal; and the package itself."""
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from logonapp import (LOGON, REDIRECT1, REDIRECT2, WEBAPP, AppTest, LogonApp,  # noqa: E402
                      start_suite, stop_suite)
from winetools import BUILD, WINE, Install, driver, host_path, wine, wine_env, windows_path  # noqa: E402

BUILD_MSI = Path(__file__).resolve().parents[2] / "tools" / "release" / "build_msi.py"
FILE_VERSION = (BUILD / "tarnftp-file-version.txt").read_text().strip()
BUILT_MSI = BUILD / f"tarnftp-{(BUILD / 'tarnftp-version.txt').read_text().strip()}.msi"
REFUSED = "Install Failed"  # the caption of Wine's box
DOWNGRADE = ("A newer version of TarnGroup FTP Logon is already installed. Remove it first to install "
             "this older one.")


def setUpModule():
    start_suite({"alice": "wonder1"})


def tearDownModule():
    stop_suite()


def build_msi(folder, commits_later):
    *base, count = FILE_VERSION.split(".")
    msi = Path(folder) / f"tarnftp-{commits_later}.msi"
    subprocess.run([sys.executable, BUILD_MSI, msi, BUILD / "tarnftp.exe", BUILD / "installer_actions.dll",
                    ".".join([*base, str(int(count) + commits_later)])], check=True, timeout=120)
    return msi


def product_version(msi):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True, text=True, check=True)
    return dict(line.split("\t", 1) for line in table.stdout.splitlines()[3:]).get("ProductVersion")


def msiexec(*args):
    return wine("msiexec", *args, "/qn", timeout=240).returncode


def prefix_folder(variable):
    return host_path(wine("cmd", "/c", "echo", f"%{variable}%", check=True).stdout.decode().strip())


def entries():
    """(version, publisher, no modify, no repair) of each installed-programs entry of tarnftp;
    Wine keeps a per-user package's entry under HKLM."""
    found = []
    for root in ("HKCU", "HKLM"):
        listing = wine("reg", "query", rf"{root}\Software\Microsoft\Windows\CurrentVersion\Uninstall", "/s")
        for block in listing.stdout.decode("utf-8", "replace").split("\nHKEY_"):
            values = dict(re.findall(r"^ +(\w+) +REG_\w+ +([^\r\n]*)", block, re.M))
            if values.get("DisplayName") == "TarnGroup FTP Logon":
                found.append(tuple(values[v] for v in ("DisplayVersion", "Publisher", "NoModify", "NoRepair")))
    return found


class Installer(AppTest):
    def setUp(self):
        super().setUp()
        self.folder = prefix_folder("LOCALAPPDATA") / "Programs" / "tarnftp"
        self.shortcut = (prefix_folder("APPDATA") / "Microsoft/Windows/Start Menu/Programs"
                         / "TarnGroup FTP Logon.lnk")
        self.scratch = Path(self.enterContext(tempfile.TemporaryDirectory()))

    def assert_hosts(self, *hosts):
        text = (self.folder / "tarnftp.ini").read_text()
        self.assertEqual(re.findall(r"^Host\d=.*$", text, re.M),
                         [f"Host{i}={host}" for i, host in enumerate(hosts, 1)])

    def test_install_log_on_upgrade_refuse_downgrade_and_remove(self):
        self.assertEqual(msiexec("/i", windows_path(BUILT_MSI), f"HOST1={REDIRECT1}"), 0)
        self.assertEqual((self.folder / "tarnftp.exe").read_bytes(), (BUILD / "tarnftp.exe").read_bytes())
        self.assert_hosts(REDIRECT1)
        self.assertIn(b"\\AppData\\Local\\Programs\\tarnftp\\tarnftp.exe",
                      self.shortcut.read_bytes().replace(b"\0", b""))
        self.assertEqual(entries(), [(product_version(BUILT_MSI), "TarnGroup", "0x1", "0x1")])

        app = LogonApp(self, install=Install.existing(self.folder))
        app.enter("alice", "wonder1")
        app.click(LOGON)
        self.assertEqual(app.wait_closed(), 0)
        self.assert_explorer_opened_on(f"ftp://alice:wonder1@{WEBAPP}")

        later, latest = build_msi(self.scratch, 1), build_msi(self.scratch, 2)
        self.assertEqual(msiexec("/i", windows_path(later)), 0)
        self.assert_hosts(REDIRECT1)
        self.assertEqual([entry[0] for entry in entries()], [product_version(later)])
        self.assertEqual(msiexec("/i", windows_path(latest), f"HOST1={REDIRECT2}"), 0)
        self.assert_hosts(REDIRECT2)

        before = (self.folder / "tarnftp.ini").read_bytes(), entries()
        downgrade = subprocess.Popen([WINE, "msiexec", "/i", windows_path(BUILT_MSI), "/qb"], env=wine_env())
        self.addCleanup(lambda: downgrade.poll() is None and downgrade.kill())
        self.assertEqual(driver("wait", REFUSED, "60000")[0], 0, "no box refuses the downgrade")
        self.assertEqual(driver("text", REFUSED, "65535")[1], DOWNGRADE)
        driver("answer", REFUSED, "1")
        self.assertNotEqual(downgrade.wait(timeout=60), 0)
        self.assertEqual(((self.folder / "tarnftp.ini").read_bytes(), entries()), before)

        saved = self.saved.write("alice", "wonder1")
        self.assertEqual(msiexec("/x", windows_path(latest)), 0)
        self.assertFalse(self.folder.exists() or self.shortcut.exists())
        self.assertEqual(entries(), [])
        self.assertEqual(self.saved.read(), saved)

    def test_package_is_per_user_reproducible_and_free_of_build_paths(self):
        summary = subprocess.run(["msiinfo", "suminfo", BUILT_MSI], capture_output=True, text=True,
                                 check=True).stdout
        self.assertIn("Source: 10 (a)", summary)  # compressed, no elevation needed
        self.assertEqual(build_msi(self.scratch, 0).read_bytes(), BUILT_MSI.read_bytes())
        (self.scratch / "tables").mkdir()
        subprocess.run(["msidump", "-d", "tables", "-t", BUILT_MSI], check=True, capture_output=True,
                       cwd=self.scratch)  # it writes the tables' streams in the current folder
        tables = b"".join(table.read_bytes() for table in (self.scratch / "tables").glob("*.idt"))
        for path in (BUILD, BUILD_MSI.parents[2], Path(tempfile.gettempdir())):
            self.assertNotIn(str(path).encode(), tables)


if __name__ == "__main__":
    unittest.main()
