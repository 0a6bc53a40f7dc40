"""Logons that fail: refused, no server, a host that is down before one that answers, a
connection that cannot even be opened and WinInet that cannot be loaded. Every failure leaves
the window open, the saved file byte for byte as it was and the shell unused. And DLLs planted
beside the exe under system DLLs' names, which are never loaded."""
import unittest
from pathlib import Path

from logonapp import (APP_TITLE, CONNECT_FAILED, LOGON, NOBODY, NOBODY2, OK, PASSWORD, REDIRECT1,
                      REDIRECT2, SIGNUP, USERNAME, WEBAPP, AppTest, LogonApp, Suite,
                      clear_dll_overrides, override_dlls, start_suite, stop_suite)
from winetools import driver, wait_until

UNRESOLVED = "The server name could not be resolved."
MODULE_NOT_FOUND = "Module not found."


def setUpModule():
    start_suite({"alice": "wonder1"})


def tearDownModule():
    stop_suite()


class FailedLogons(AppTest):
    def answer_boxes(self, app, count):
        """The (text, icon) of count boxes in a row, each answered with OK."""
        boxes = []
        for _ in range(count):
            text, icon = app.box()
            boxes.append((text.rstrip("\r\n"), icon))
            app.answer(OK)
        return boxes

    def test_refused_and_unavailable_keep_the_window_and_the_file(self):
        unavailable = "Logon failed, server unavailable."
        cases = [  # name, hosts, password, the boxes in order (text, icon), logons sent
            ("refused", (REDIRECT1,), "wrong", [("Logon failed.", "exclamation")], 1),
            # Host3 is empty, so its name is the redirect path itself, which resolves nowhere.
            ("no server", (NOBODY, NOBODY2), "wonder1",
             [(CONNECT_FAILED, "exclamation"), (CONNECT_FAILED, "exclamation"),
              (UNRESOLVED, "exclamation"), (unavailable, "exclamation")], 0),
        ]
        for name, hosts, password, expected_boxes, logons in cases:
            for remembered in (True, False):
                with self.subTest(name, file_armed=remembered):
                    Suite.service.clear_log()
                    before = self.saved.write("alice", "old") if remembered else None
                    app = LogonApp(self, hosts=hosts)
                    app.enter("alice", password, remember=not remembered)
                    app.click(LOGON)
                    boxes = self.answer_boxes(app, len(expected_boxes))
                    self.assertEqual(boxes, expected_boxes)
                    self.assertTrue(app.no_box())
                    self.assertTrue(app.is_open())
                    self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), ("alice", password))
                    self.assertEqual(len(self.logons()), logons)
                    self.assertEqual(self.saved.read(), before)
                    self.assertIsNone(Suite.shell.take(0.5))
                    app.cancel()
                    self.saved.path.unlink(missing_ok=True)

    def test_failover_reports_the_host_that_is_down_then_logs_on_through_the_next(self):
        app = LogonApp(self, hosts=(NOBODY, REDIRECT2))
        app.enter("alice", "wonder1")
        app.click(LOGON)
        text, icon = app.box()
        self.assertEqual((text.rstrip("\r\n"), icon), (CONNECT_FAILED, "exclamation"))
        self.assertEqual(Suite.service.requests, [], "Host2 is asked after the box")
        app.answer(OK)
        self.assertEqual(app.wait_closed(), 0)
        self.assertEqual([r.local_address for r in Suite.service.requests], [REDIRECT2, WEBAPP])
        self.assertEqual(self.logons(), [("alice", "wonder1")])
        self.assert_explorer_opened_on(f"ftp://alice:wonder1@{WEBAPP}")

    def test_a_connection_that_cannot_be_opened_stops_the_command(self):
        cases = [  # name, hosts, DLL overrides, the stop box's text (Wine's for the code)
            # ":80" is a port with no host name, which the connection call itself refuses.
            ("connection refused by WinInet", (":80", REDIRECT1), {}, "Invalid parameter."),
            ("WinInet cannot be loaded", (REDIRECT1,), {"wininet": ""}, MODULE_NOT_FOUND),
        ]
        for name, hosts, overrides, expected_text in cases:
            with self.subTest(name):
                override_dlls(self, **overrides)
                before = self.saved.write("alice", "old")
                app = LogonApp(self, hosts=hosts)
                for button in (LOGON, SIGNUP):
                    with self.subTest(button=button):
                        app.enter("alice", "wonder1")
                        app.click(button)
                        text, icon = app.box()
                        self.assertEqual((text.rstrip("\r\n"), icon), (expected_text, "stop"))
                        app.answer(OK)
                        self.assertTrue(app.no_box())
                        self.assertTrue(app.is_open())
                        self.assertEqual((app.text(USERNAME), app.text(PASSWORD)),
                                         ("alice", "wonder1"))
                self.assertEqual(Suite.service.requests, [], "the hosts after it are not asked")
                self.assertIsNone(Suite.shell.take(0.5))
                self.assertEqual(self.saved.read(), before)
                app.cancel()
                clear_dll_overrides()

    def test_a_path_past_max_path_reads_no_profile_from_a_folder_above(self):
        # Cut at MAX_PATH, the exe's path would name a folder above its own, and the program
        # the folder's last part. Wine's profile functions cannot open the profile beside an
        # exe this deep, so no host is found; the box's caption is the program's own name.
        deep = Path(*(letter * 60 for letter in "defg"), "h" * 30)
        app = LogonApp(self, hosts=(REDIRECT2,), subfolder=deep, parent_hosts=(REDIRECT1,))
        self.assertGreater(len(str(app.install.exe)), 300)
        app.enter("alice", "wonder1")
        app.click(LOGON)
        self.assertEqual(self.answer_boxes(app, 4), [(UNRESOLVED, "exclamation")] * 3 +
                         [("Logon failed, server unavailable.", "exclamation")])
        self.assertEqual(Suite.service.requests, [])
        app.cancel()

    def test_dlls_planted_beside_the_exe_are_never_loaded(self):
        # Each would otherwise be loaded by name: the common controls on the first hover over
        # a button, WinInet on the first logon.
        override_dlls(self, wininet="native,builtin", comctl32="native,builtin")
        app = LogonApp(self, beside=("wininet.dll", "comctl32.dll"))
        for button in (SIGNUP, LOGON):
            driver("point", APP_TITLE, button)
        wait_until(app.planted_loaded, 1.0)
        self.assertEqual(app.planted_loaded(), [], "after hovering over the buttons")
        app.enter("alice", "wonder1")
        app.click(LOGON)
        ended = wait_until(lambda: app.install.process.poll() is not None, 30)
        self.assertEqual(app.planted_loaded(), [])
        self.assertTrue(ended, "the logon ends the program")
        self.assertEqual(app.wait_closed(), 0)
        self.assert_explorer_opened_on(f"ftp://alice:wonder1@{WEBAPP}")


if __name__ == "__main__":
    unittest.main()
