"""What the end-to-end suites share: one stand-in service and one shell capture per suite,
tarnftp.exe driven through its logon window, and the saved logon file on disk.

A suite calls start_suite() in setUpModule and stop_suite() in tearDownModule; its tests
derive from AppTest, which leaves the service, the shell log and the saved file as it found
them.
"""
import shutil
import struct
import sys
import unittest
from pathlib import Path

from shellcapture import ShellCapture
from winetools import APP_TITLE, BUILD, Install, appdata_folder, driver, wait_until, wine

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "standin"))
from service import StandinService  # noqa: E402

REDIRECT1 = "127.0.0.2"
REDIRECT2 = "127.0.0.3"
WEBAPP = "127.0.0.4"
NOBODY = "127.0.0.9"  # nothing listens: connections are refused
NOBODY2 = "127.0.0.10"
WEBAPP_URL = f"http://{WEBAPP}/app"
SESSION_ID = "S0123"
BOX = "tarnftp"  # every message box's caption

USERNAME, PASSWORD, REMEMBER = 1012, 1013, 1031
LOGON, CANCEL, SIGNUP, HELP = 1, 2, 3, 57670
BOX_TEXT, OK, YES, NO = 65535, 1, 6, 7

CONNECT_FAILED = "The attempt to connect to the server failed."


class Suite:
    service = None
    shell = None
    appdata = None


def start_suite(accounts):
    Suite.service = StandinService(WEBAPP_URL, accounts, session_id_factory=lambda: SESSION_ID)
    Suite.service.start([REDIRECT1, REDIRECT2, WEBAPP], ports=(80,))
    Suite.shell = ShellCapture()
    Suite.shell.install()
    Suite.appdata = appdata_folder()


def stop_suite():
    Suite.shell.restore()
    Suite.service.stop()


def ini(*hosts):
    lines = ["[RedirectHosts]"] + [f"Host{i}={host}" for i, host in enumerate(hosts, 1)]
    return "\n".join(lines) + "\n"


class SavedFile:
    """settings.bin in the prefix's application-data folder."""

    def __init__(self):
        self.folder = Suite.appdata / "tarngroupFTP"
        self.path = self.folder / "settings.bin"

    @staticmethod
    def coded(text):
        """A text as the file stores it: each unit as 256 minus its code, then a unit 0."""
        units = struct.unpack(f"<{len(text.encode('utf-16-le')) // 2}H", text.encode("utf-16-le"))
        return b"".join(struct.pack("<H", (256 - u) % 65536) for u in units) + b"\0\0"

    def write(self, user, password, marker=1):
        self.folder.mkdir(parents=True, exist_ok=True)
        filler = b"".join(struct.pack("<I", (i * 7919) % 32768) for i in range(100))
        data = filler + struct.pack("<H", marker) + self.coded(user) + self.coded(password)
        self.path.write_bytes(data)
        return data

    def read(self):
        return self.path.read_bytes() if self.path.exists() else None


class LogonApp:
    """tarnftp.exe in an install of its own, started with the shell capture's environment."""

    def __init__(self, test, hosts=(REDIRECT1,), args=(), beside=(), subfolder=".",
                 parent_hosts=None, install=None):
        """beside: names under which the planted test DLL is put beside the exe; subfolder:
        where the exe goes below its install folder; parent_hosts: the hosts of a tarnftp.ini
        put in every folder above the exe's, up to the install folder; install: an install
        made elsewhere, used as it is instead of a new one."""
        self.test = test
        self.install = install or Install(ini(*hosts), subfolder)
        test.addCleanup(self.install.cleanup)
        if parent_hosts is not None:
            for folder in self.install.folder.parents:
                if not folder.is_relative_to(self.install.root):
                    break
                (folder / "tarnftp.ini").write_text(ini(*parent_hosts))
        for name in beside:
            shutil.copy(BUILD / "planted_library.dll", self.install.folder / name)
        self.install.start(*args, env=Suite.shell.env())
        self.command("wait", APP_TITLE, "30000")

    def command(self, *args):
        code, output = driver(*map(str, args))
        self.test.assertEqual(code, 0, f"driver {args}: {output}")
        return output

    def type(self, control, text):
        if text.isascii():
            self.command("type", APP_TITLE, control, text)
        else:
            self.command("typehex", APP_TITLE, control, text.encode("utf-8").hex())

    def text(self, control):
        return self.command("text", APP_TITLE, control)

    def checked(self, control=REMEMBER):
        return self.command("checked", APP_TITLE, control) == "1"

    def click(self, control):
        self.command("click", APP_TITLE, control)

    def enter(self, user, password, remember=None):
        self.type(USERNAME, user)
        self.type(PASSWORD, password)
        if remember is not None and remember != self.checked():
            self.click(REMEMBER)
            self.test.assertTrue(wait_until(lambda: self.checked() == remember, 5))

    def box(self, timeout=30000):
        """Waits for a message box; returns its text and icon (exclamation, stop, none)."""
        self.command("wait", BOX, timeout)
        # Wine's box keeps each line feed of the message as a carriage return and line feed.
        text = self.command("text", BOX, BOX_TEXT).replace("\r\n", "\n")
        return text, self.command("boxicon", BOX)

    def answer(self, button=OK):
        self.command("answer", BOX, button)

    def no_box(self):
        code, _ = driver("wait", BOX, "500")
        return code != 0

    def is_open(self):
        return self.install.process.poll() is None and driver("wait", APP_TITLE, "2000")[0] == 0

    def wait_closed(self):
        """The exit code once the program has ended; its window is gone by then."""
        code = self.install.wait_exit(timeout=30)
        gone, output = driver("gone", APP_TITLE, "15000")
        self.test.assertEqual(gone, 0, f"the window is gone after the exit ({code}): {output}")
        return code

    def planted_loaded(self):
        """The names of the planted DLLs that some process has loaded."""
        return sorted(p.name.removesuffix(".loaded") for p in self.install.folder.glob("*.loaded"))

    def cancel(self):
        self.click(CANCEL)
        self.test.assertEqual(self.wait_closed(), 0)


APP_DEFAULTS = r"HKCU\Software\Wine\AppDefaults\tarnftp.exe"


def clear_dll_overrides():
    wine("reg", "delete", APP_DEFAULTS, "/f")


def override_dlls(test, **modes):
    """Wine's DLL overrides for tarnftp.exe alone, removed after the test. "native,builtin"
    makes Wine look for the DLL in the program's folder first, as Windows does for a DLL
    that is not a known system DLL; "" disables it."""
    test.addCleanup(clear_dll_overrides)
    for dll, mode in modes.items():
        wine("reg", "add", APP_DEFAULTS + r"\DllOverrides", "/v", dll, "/d", mode, "/f", check=True)


class AppTest(unittest.TestCase):
    """Each test starts with an empty request log and shell log and no changed behaviour,
    and leaves the saved file (and its folder) as it found them."""

    def setUp(self):
        Suite.service.reset_behaviour()
        Suite.service.clear_log()
        Suite.shell.clear()
        self.saved = SavedFile()
        folder_existed, before = self.saved.folder.exists(), self.saved.read()
        self.addCleanup(self.put_back_saved_file, folder_existed, before)

    def put_back_saved_file(self, folder_existed, before):
        if not folder_existed:
            shutil.rmtree(self.saved.folder, ignore_errors=True)
        elif before is None:
            self.saved.path.unlink(missing_ok=True)
        else:
            self.saved.path.write_bytes(before)

    def logons(self):
        """(user, password) of every logon request the service received, in order."""
        return [(form["username"], form["password"]) for form in
                (r.form() for r in Suite.service.requests if r.path.endswith("ApiLogon.aspx"))]

    def assert_explorer_opened_on(self, location):
        record = Suite.shell.take()
        self.assertIsNotNone(record, "the shell started nothing")
        self.assertTrue(record.through_explorer, record)
        self.assertEqual(record.arguments, [location])

    def assert_browser_opened(self, url):
        record = Suite.shell.take()
        self.assertIsNotNone(record, "the shell started nothing")
        self.assertTrue(record.through_browser, record)
        self.assertEqual(record.arguments, [url])
