#!/usr/bin/env python3
"""The real tarnftp under a private X server, typed into with xdotool, against the stand-in
service on loopback, with a home of its own and a recorder in xdg-open's place.

Run as root in a network namespace of its own (ProgramTests.cmake), since the web application
answers on port 80 and the storage's FTP server on port 21 of the same address."""

import contextlib
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "standin"))

from ftp import FtpServer  # noqa: E402
from service import Response, StandinService  # noqa: E402
from xsession import (APP_TITLE, BOX_TITLE, Desktop, XServer, bus_names, running,  # noqa: E402
                      session_bus)

PROGRAM = os.environ["TARN_PROGRAM"]
USER, PASSWORD = "demo", "s3cret pass"
# An account of the storage's FTP server too; the second one's FTP password differs from the
# one the service takes.
FTP_USER, FTP_PASSWORD = "ftp user", "p a,s=s@w"
STALE_USER = "stale"
REDIRECT, WEBAPP = "127.0.0.2", "127.0.0.3"
# A web application whose storage accepts connections and never says a word.
SILENT = "127.0.0.4"

xserver = service = config = ftp = ftp_folder = silent_ftp = None


def setUpModule():
    global xserver, service, config, ftp, ftp_folder, silent_ftp
    xserver = XServer()
    service = StandinService(f"http://{WEBAPP}/app", {USER: PASSWORD, FTP_USER: FTP_PASSWORD,
                                                      STALE_USER: "new"})
    redirect_port = service.listen(REDIRECT, 0)
    service.listen(WEBAPP, 80)
    service.listen(SILENT, 80)
    silent_ftp = socket.create_server((SILENT, 21))
    config = f"[RedirectHosts]\nHost1={REDIRECT}:{redirect_port}\n"
    ftp_folder = Path(tempfile.mkdtemp(prefix="tarn-ftp-"))
    ftp = FtpServer(WEBAPP, 21, {FTP_USER: FTP_PASSWORD, STALE_USER: "old"}, ftp_folder / "root",
                    ftp_folder / "log")


def tearDownModule():
    silent_ftp.close()
    ftp.close()
    shutil.rmtree(ftp_folder, ignore_errors=True)
    service.stop()
    xserver.close()


def password_forms(password):
    """The password as it may stand anywhere: raw, percent-encoded (either case) and
    form-encoded."""
    encoded = urllib.parse.quote(password, safe="")
    return {password, encoded, encoded.lower(), urllib.parse.quote_plus(password, safe="")}


class CommandLineWatcher(threading.Thread):
    """Reads every process's command line until stopped: keeps those that showed any of the
    texts, and counts the rounds that found the program running."""

    def __init__(self, texts):
        super().__init__(daemon=True)
        self.texts, self.seen, self.scans = [t.encode() for t in texts], set(), 0
        self.stopping = threading.Event()

    def run(self):
        while not self.stopping.is_set():
            lines = []
            for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
                with contextlib.suppress(OSError):
                    lines.append(cmdline.read_bytes())
            # xdotool types the password for this and other tests running on the machine.
            self.seen.update(line for line in lines if any(t in line for t in self.texts)
                             and not line.startswith(b"xdotool\0"))
            self.scans += any(line.startswith(PROGRAM.encode() + b"\0") for line in lines)

    def stop(self):
        self.stopping.set()
        self.join()

class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(xserver, config)
        self.addCleanup(self.desktop.close)

    def start(self):
        """The program started and its window focused: (process, window id)."""
        program = self.enterContext(running(PROGRAM, self.desktop))
        window = self.desktop.window(APP_TITLE)
        self.assertIsNotNone(window, "the logon window did not show: "
                             + self.desktop.windows_state(APP_TITLE))
        self.desktop.xdotool("windowfocus", "--sync", window)
        return program, window

    def log_on(self, user, password, *keys):
        """Starts the program and types the credentials, then keys; returns the process."""
        program, _ = self.start()
        # The user name box has the focus.
        self.desktop.xdotool("type", "--delay", 20, user)
        self.desktop.xdotool("key", "Tab")
        self.desktop.xdotool("type", "--delay", 20, password)
        if keys:
            self.desktop.xdotool("key", *keys)
        return program

    def output(self):
        return (self.desktop.home / "program.out").read_bytes().decode("utf-8", "replace")

    def test_remembered_logon_opens_the_storage_and_is_restored(self):
        # No session bus here: the location carries the password, and nothing is mounted.
        expected = f"ftp://{USER}:s3cret%20pass@{WEBAPP}"
        ftp.clear_log()
        # The remember box is three tab stops after the password box (Logon, Cancel, then it).
        program = self.log_on(USER, PASSWORD, "Tab", "Tab", "Tab", "space", "Return")
        self.assertEqual(program.wait(timeout=30), 0)
        self.assertEqual(self.desktop.opened(), [[expected]])
        self.assertEqual(ftp.attempts(), [])
        saved = self.desktop.config_home / "tarngroupFTP" / "settings.bin"
        self.assertEqual(saved.stat().st_mode & 0o777, 0o600)

        # Started again, it shows the remembered user and password: Enter alone logs on.
        program, _ = self.start()
        self.desktop.xdotool("key", "Return")
        self.assertEqual(program.wait(timeout=30), 0)
        self.assertEqual(self.desktop.opened(), [[expected]] * 2)

    def test_failed_logon_says_so_and_opens_nothing(self):
        program, window = self.start()
        service.clear_log()
        self.desktop.xdotool("type", "--delay", 20, USER)
        self.desktop.xdotool("key", "Tab")
        self.desktop.xdotool("type", "--delay", 20, "wrong")
        self.desktop.xdotool("key", "Return")
        # The box's text cannot be read from outside (Qt copies a box's text with Ctrl+C on
        # Windows only); the window's own tests check it. Here: the service refused what was
        # typed, and a box came up for it.
        box = self.desktop.window(BOX_TITLE)
        self.assertIsNotNone(box, "no message box")
        logons = [r.form() for r in service.requests if r.path.endswith("/ApiLogon.aspx")]
        self.assertEqual([(f["username"], f["password"]) for f in logons], [(USER, "wrong")])
        self.desktop.press(box, "Return")
        self.assertTrue(self.desktop.gone(BOX_TITLE))
        self.assertIsNone(program.poll(), "the window closed after a failed logon")
        self.desktop.press(window, "Escape")
        program.wait(timeout=10)
        self.assertEqual(self.desktop.opened(), [])

    def test_storage_is_mounted_and_handed_over_without_the_password(self):
        forms = password_forms(FTP_PASSWORD)
        ftp.clear_log()
        with session_bus(self.desktop):
            watcher = self.watched_log_on(FTP_USER, FTP_PASSWORD, forms)
            watcher.stop()
            location = f"ftp://ftp%20user@{WEBAPP}/"
            self.assertEqual(self.desktop.opened(), [[location]])
            # The mount the program made opens the storage without a password.
            listed = subprocess.run(["gio", "list", location], env=self.desktop.env(),
                                    capture_output=True, text=True, timeout=30)
            self.assertEqual(listed.stdout.split(), ["readme.txt"], listed.stderr)
        self.assertEqual(ftp.attempts(), [("ok", FTP_USER)])
        self.assertGreater(watcher.scans, 1)
        self.assertEqual(watcher.seen, set())
        self.assertFalse(any(form in self.output() for form in forms))

    def test_refused_mount_says_so_opens_nothing_and_closes(self):
        ftp.clear_log()
        with session_bus(self.desktop):
            program = self.log_on(STALE_USER, "new", "Return")
            box = self.desktop.window(BOX_TITLE, timeout=60)
            self.assertIsNotNone(box, "no message box")
            self.desktop.press(box, "Return")
            self.assertEqual(program.wait(timeout=30), 0)
        self.assertEqual(self.desktop.opened(), [])
        # The refused password was tried once, not again and again.
        self.assertEqual(ftp.attempts(), [("refused", STALE_USER)])

    def watched_log_on(self, user, password, forms):
        """Logs on with Enter while a CommandLineWatcher looks for forms; returns the watcher,
        still running."""
        program = self.log_on(user, password)
        # From the Enter key on (xdotool typed the password on its own command line).
        watcher = CommandLineWatcher(forms)
        watcher.start()
        self.addCleanup(watcher.stop)
        self.desktop.xdotool("key", "Return")
        self.assertEqual(program.wait(timeout=90), 0)
        return watcher

    def test_kde_session_gives_the_password_server_the_logon(self):
        forms = password_forms(FTP_PASSWORD)
        location = f"ftp://ftp%20user@{WEBAPP}/"
        ftp.clear_log()
        self.desktop.session = {"XDG_CURRENT_DESKTOP": "KDE"}
        self.desktop.config_home.mkdir(parents=True, exist_ok=True)
        (self.desktop.config_home / "kwalletrc").write_text("[Wallet]\nEnabled=false\n")
        # kiod and the KIO workers it starts have no window to show.
        with session_bus(self.desktop, QT_QPA_PLATFORM="offscreen"):
            watcher = self.watched_log_on(FTP_USER, FTP_PASSWORD, forms)
            self.assertEqual(self.desktop.opened(), [[location]])
            # KDE's own client logs on with what the program gave the password server.
            listed = subprocess.run(["kioclient5", "ls", location],
                                    env=self.desktop.env() | {"QT_QPA_PLATFORM": "offscreen"},
                                    capture_output=True, text=True, timeout=60)
            watcher.stop()
            self.assertIn("readme.txt", listed.stdout.split(), listed.stderr)
        self.assertEqual(ftp.attempts(), [("ok", FTP_USER)])
        self.assertGreater(watcher.scans, 1)
        self.assertEqual(watcher.seen, set())

    def test_kde_session_is_handed_the_location_with_the_password(self):
        ftp.clear_log()
        self.desktop.session = {"XDG_CURRENT_DESKTOP": "KDE"}
        with session_bus(self.desktop):
            program = self.log_on(USER, PASSWORD, "Return")
            self.assertEqual(program.wait(timeout=30), 0)
            # The wallet is on (KWallet's default) and the box unticked: a logon the user did
            # not ask to remember stays away from the password server, which would keep it.
            self.assertFalse(bus_names(self.desktop) & {"org.kde.kiod5", "org.kde.kiod6"})
        self.assertEqual(self.desktop.opened(), [[f"ftp://{USER}:s3cret%20pass@{WEBAPP}"]])
        self.assertEqual(ftp.attempts(), [])

    def test_gvfs_without_its_ftp_backend_says_so_and_hands_nothing_over(self):
        mounts = self.desktop.home / "gvfs-mounts"
        mounts.mkdir()
        for mount in Path("/usr/share/gvfs/mounts").glob("*.mount"):
            if mount.name != "ftp.mount":
                shutil.copy(mount, mounts)
        with session_bus(self.desktop, GVFS_MOUNTABLE_DIR=str(mounts)):
            program = self.log_on(USER, PASSWORD, "Return")
            self.assertIsNotNone(self.desktop.window(BOX_TITLE), "no message box")
            self.desktop.xdotool("key", "Return")
            self.assertEqual(program.wait(timeout=30), 0)
        self.assertEqual(self.desktop.opened(), [])

    def test_failing_opener_gives_a_box_and_nothing_of_its_output(self):
        for status in (3, 4):
            with self.subTest(status=status):
                desktop = Desktop(xserver, config, opener_status=status)
                self.addCleanup(desktop.close)
                self.desktop = desktop
                program = self.log_on(USER, PASSWORD, "Return")
                box = desktop.window(BOX_TITLE)
                self.assertIsNotNone(box, "no message box")
                desktop.press(box, "Return")
                self.assertEqual(program.wait(timeout=30), 0)
                self.assertEqual(len(desktop.opened()), 1)
                self.assertNotIn("no method", self.output())
                self.assertFalse(any(form in self.output() for form in password_forms(PASSWORD)))

    def test_cancel_ends_a_wait_that_never_ends_at_once(self):
        """An exchange never answered, ended with Esc, and a mount never answered, ended with
        the Cancel button: the window closes within a second and nothing is handed over."""
        def cancelled_within_a_second(program, action):
            window = self.desktop.window(APP_TITLE)
            self.desktop.xdotool("windowfocus", "--sync", window, *action(window))
            start = time.monotonic()
            self.assertEqual(program.wait(timeout=10), 0)
            self.assertLess(time.monotonic() - start, 1)
            self.assertEqual(self.desktop.opened(), [])

        def click_cancel(window):
            # The Cancel button's centre, at its place in the dialog's units.
            _, _, width, height = self.desktop.geometry(window)
            return ("mousemove", "--window", window, width * 27 // 194, height * 96 // 107,
                    "click", 1)

        with self.subTest(waiting="exchange"):
            service.configure(WEBAPP, None, Response(hang=True))
            service.clear_log()
            self.addCleanup(service.reset_behaviour)
            program = self.log_on(USER, PASSWORD, "Return")
            deadline = time.monotonic() + 30
            while not service.requests_to(WEBAPP) and time.monotonic() < deadline:
                time.sleep(0.05)  # until the logon call is held
            cancelled_within_a_second(program, lambda window: ("key", "Escape"))
            service.reset_behaviour()
        with self.subTest(waiting="mount"), session_bus(self.desktop):
            service.webapp_url = f"http://{SILENT}/app"
            self.addCleanup(setattr, service, "webapp_url", f"http://{WEBAPP}/app")
            program = self.log_on(USER, PASSWORD, "Return")
            silent_ftp.settimeout(60)
            connection, _ = silent_ftp.accept()  # the mount is under way
            self.addCleanup(connection.close)
            cancelled_within_a_second(program, click_cancel)

if __name__ == "__main__":
    unittest.main()
