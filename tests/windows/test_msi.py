"""The installer package under Wine's msiexec: install with a host, log on with the installed
exe, upgrade with and without hosts, a refused downgrade, removal; and the package itself."""
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from logonapp import LOGON, REDIRECT1, REDIRECT2, WEBAPP, AppTest, LogonApp, start_suite, stop_suite  # noqa: E402
from winetools import BUILD, WINE, Install, driver, host_path, wine, wine_env, windows_path  # noqa: E402

BUILD_MSI = Path(__file__).resolve().parents[2] / "tools" / "release" / "build_msi.py"
FILE_VERSION = (BUILD / "tarnftp-file-version.txt").read_text().strip()
BUILT_MSI = BUILD / f"tarnftp-{(BUILD / 'tarnftp-version.txt').read_text().strip()}.msi"
NAME, PUBLISHER = "TarnGroup FTP Logon", "TarnGroup"
REFUSED = "Install Failed"  # the caption of Wine's box; Windows names the product there
DOWNGRADE = ("A newer version of TarnGroup FTP Logon is already installed. Remove it first to install "
             "this older one.")
UNINSTALL = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"


def setUpModule():
    start_suite({"alice": "wonder1"})


def tearDownModule():
    stop_suite()


def build_msi(folder, commits_later):
    """A package of the built exe, commits_later commits after this build's version."""
    *base, count = FILE_VERSION.split(".")
    msi = Path(folder) / f"tarnftp-{commits_later}.msi"
    subprocess.run([sys.executable, BUILD_MSI, msi, BUILD / "tarnftp.exe", BUILD / "installer_actions.dll",
                    ".".join([*base, str(int(count) + commits_later)])], check=True, timeout=120)
    return msi


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True, text=True, check=True)
    return dict(line.split("\t", 1) for line in table.stdout.splitlines()[3:])[name]


def msiexec(*args):
    return wine("msiexec", *args, "/qn", timeout=240).returncode


def prefix_folder(variable):
    return host_path(wine("cmd", "/c", "echo", f"%{variable}%", check=True).stdout.decode().strip())


def entries():
    """{product code: {value: data}} of every installed-programs entry named NAME. Wine keeps a
    per-user package's entry under HKLM, where Windows keeps it with the user's products."""
    found = {}
    for root in ("HKCU", "HKLM"):
        listing = wine("reg", "query", f"{root}\\{UNINSTALL}", "/s").stdout.decode("utf-8", "replace")
        for line in listing.splitlines():
            if line.startswith("HKEY_"):
                values = found.setdefault(line.rsplit("\\", 1)[-1], {})
            elif len(line.split(None, 2)) >= 2 and line.split()[1].startswith("REG_"):
                name, _, data = (line.split(None, 2) + [""])[:3]
                values[name] = data
    return {key: values for key, values in found.items() if values.get("DisplayName") == NAME}
    return found


class Installer(AppTest):
    def setUp(self):
        super().setUp()
        self.folder = prefix_folder("LOCALAPPDATA") / "Programs" / "tarnftp"
        self.shortcut = prefix_folder("APPDATA") / "Microsoft/Windows/Start Menu/Programs" / f"{NAME}.lnk"
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)

    def installed(self):
        ini = self.folder / "tarnftp.ini"
        return (ini.read_text() if ini.exists() else None, sorted(p.name for p in self.folder.glob("*")),
                entries())

    def assert_hosts(self, *hosts):
        text = (self.folder / "tarnftp.ini").read_text()
        self.assertEqual(re.findall(r"^Host\d=.*$", text, re.M), [f"Host{i}={h}" for i, h in enumerate(hosts, 1)])

    def test_install_log_on_upgrade_refuse_downgrade_and_remove(self):
        self.assertEqual(msiexec("/i", windows_path(BUILT_MSI), f"HOST1={REDIRECT1}"), 0)
        self.assertEqual((self.folder / "tarnftp.exe").read_bytes(), (BUILD / "tarnftp.exe").read_bytes())
        self.assert_hosts(REDIRECT1)
        link = self.shortcut.read_bytes()
        self.assertIn(b"\\AppData\\Local\\Programs\\tarnftp\\tarnftp.exe", link.replace(b"\0", b""))
        (entry,) = entries().values()
        self.assertEqual((entry["DisplayVersion"], entry["Publisher"]), (msi_property(BUILT_MSI, "ProductVersion"), PUBLISHER))
        self.assertEqual((entry["NoModify"], entry["NoRepair"]), ("0x1", "0x1"))

        app = LogonApp(self, install=Install.existing(self.folder))
        app.enter("alice", "wonder1")
        app.click(LOGON)
        self.assertEqual(app.wait_closed(), 0)
        self.assert_explorer_opened_on(f"ftp://alice:wonder1@{WEBAPP}")

        later, latest = build_msi(self.scratch, 1), build_msi(self.scratch, 2)
        self.assertEqual(msiexec("/i", windows_path(later)), 0)
        self.assert_hosts(REDIRECT1)
        self.assertEqual([e["DisplayVersion"] for e in entries().values()], [msi_property(later, "ProductVersion")])
        self.assertEqual(msiexec("/i", windows_path(latest), f"HOST1={REDIRECT2}"), 0)
        self.assert_hosts(REDIRECT2)
        self.assertEqual(len(entries()), 1)

        before = self.installed()
        downgrade = subprocess.Popen([WINE, "msiexec", "/i", windows_path(BUILT_MSI), "/qb"], env=wine_env())
        self.addCleanup(lambda: downgrade.poll() is None and downgrade.kill())
        self.assertEqual(driver("wait", REFUSED, "60000")[0], 0, "no box refuses the downgrade")
        self.assertEqual(driver("text", REFUSED, "65535")[1], DOWNGRADE)
        driver("answer", REFUSED, "1")
        self.assertNotEqual(downgrade.wait(timeout=60), 0)
        self.assertEqual(self.installed(), before)

        saved = self.saved.write("alice", "wonder1")
        self.assertEqual(msiexec("/x", windows_path(latest)), 0)
        self.assertFalse(self.folder.exists())
        self.assertFalse(self.shortcut.exists())
        self.assertEqual(entries(), {})
        self.assertEqual(self.saved.read(), saved)

    def test_package_is_per_user_reproducible_and_free_of_build_paths(self):
        summary = subprocess.run(["msiinfo", "suminfo", BUILT_MSI], capture_output=True, text=True, check=True).stdout
        self.assertIn("Security: 2", summary)
        self.assertRegex(summary, r"Source: \d+ \((a|8)\)")  # bit 8: no elevation needed
        with self.assertRaises(KeyError):
            msi_property(BUILT_MSI, "ALLUSERS")
        again = build_msi(self.scratch, 0)
        self.assertEqual(again.read_bytes(), BUILT_MSI.read_bytes())
        (self.scratch / "tables").mkdir()
        subprocess.run(["msidump", "-d", self.scratch / "tables", "-t", BUILT_MSI], check=True,
                       capture_output=True, cwd=self.scratch)  # it writes the tables' streams here
        for table in (self.scratch / "tables").glob("*.idt"):
            text = table.read_bytes()
            for path in (BUILD, BUILD_MSI.parents[2], Path(tempfile.gettempdir())):
                self.assertNotIn(str(path).encode(), text, table.name)


if __name__ == "__main__":
    unittest.main()
