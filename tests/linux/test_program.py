#!/usr/bin/env python3
"""The real tarnftp under a private X server, typed into with xdotool, against the stand-in
service on loopback, with a home of its own and a recorder in xdg-open's place."""

import os
import sys
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "standin"))

from service import StandinService  # noqa: E402
from xsession import APP_TITLE, BOX_TITLE, Desktop, XServer, running  # noqa: E402

PROGRAM = os.environ["TARN_PROGRAM"]
USER, PASSWORD = "demo", "s3cret pass"
REDIRECT, WEBAPP = "127.0.0.2", "127.0.0.3"

xserver = service = config = None


def setUpModule():
    global xserver, service, config
    xserver = XServer()
    service = StandinService("", {USER: PASSWORD})
    # Ports the system chooses, so that no privileges are needed; the hosts carry them.
    redirect_port = service.listen(REDIRECT, 0)
    webapp_port = service.listen(WEBAPP, 0)
    service.webapp_url = f"http://{WEBAPP}:{webapp_port}/app"
    config = f"[RedirectHosts]\nHost1={REDIRECT}:{redirect_port}\n"


def tearDownModule():
    service.stop()
    xserver.close()


class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(xserver, config)
        self.addCleanup(self.desktop.close)

    def start(self):
        """The program started and its window focused: (process, window id)."""
        program = self.enterContext(running(PROGRAM, self.desktop))
        window = self.desktop.window(APP_TITLE)
        self.assertIsNotNone(window, "the logon window did not show")
        self.desktop.xdotool("windowfocus", "--sync", window)
        return program, window

    def test_remembered_logon_opens_the_storage_and_is_restored(self):
        expected = f"ftp://{USER}:s3cret%20pass@{service.webapp_url.split('/')[2]}"
        program, _ = self.start()
        # The user name box has the focus; the remember box is three tab stops after the
        # password box (Logon, Cancel, then it).
        self.desktop.xdotool("type", "--delay", 20, USER)
        self.desktop.xdotool("key", "Tab")
        self.desktop.xdotool("type", "--delay", 20, PASSWORD)
        self.desktop.xdotool("key", "Tab", "Tab", "Tab", "space", "Return")
        self.assertEqual(program.wait(timeout=30), 0)
        self.assertEqual(self.desktop.opened(), [[expected]])
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
        self.assertIsNotNone(self.desktop.window(BOX_TITLE), "no message box")
        logons = [r.form() for r in service.requests if r.path.endswith("/ApiLogon.aspx")]
        self.assertEqual([(f["username"], f["password"]) for f in logons], [(USER, "wrong")])
        self.desktop.xdotool("key", "Return")
        self.assertTrue(self.desktop.gone(BOX_TITLE))
        self.assertIsNone(program.poll(), "the window closed after a failed logon")
        self.desktop.xdotool("windowfocus", "--sync", window, "key", "Escape")
        program.wait(timeout=10)
        self.assertEqual(self.desktop.opened(), [])

if __name__ == "__main__":
    unittest.main()
