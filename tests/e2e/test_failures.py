"""Logons that fail: refused, no server, a host that is down before one that answers, a
connection that cannot even be opened and WinInet that cannot be loaded. Every failure leaves
the window open, the saved file byte for byte as it was and the shell unused. And DLLs planted
beside the exe under system DLLs' names, which are never loaded. And waits on a service that
holds or trickles its answer: the window answers throughout, Cancel ends the wait, and the
time limit holds."""
import sys
import time
import unittest
from pathlib import Path

from logonapp import (APP_TITLE, CANCEL, CONNECT_FAILED, HELP, LOGON, NOBODY, NOBODY2, OK, PASSWORD,
                      REDIRECT1, REDIRECT2, SIGNUP, USERNAME, WEBAPP, AppTest, LogonApp, Suite,
                      clear_dll_overrides, override_dlls, start_suite, stop_suite)
from winetools import driver, wait_until

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "standin"))
from service import REDIRECT_PATH, Response  # noqa: E402

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


class Waits(AppTest):
    """While the service holds its answer, the window keeps answering and Cancel ends it."""

    def test_cancel_ends_a_held_exchange_at_once(self):
        Suite.service.configure(REDIRECT1, REDIRECT_PATH, Response(hang=True))
        before = self.saved.write("alice", "old")
        for way in ("button", "escape", "close"):
            with self.subTest(way):
                app = LogonApp(self)
                app.enter("alice", "wonder1", remember=False)
                enabled = lambda control: app.command("enabled", APP_TITLE, control)  # noqa: E731
                app.click(LOGON)
                self.assertTrue(wait_until(lambda: enabled(LOGON) == "0", 5), "no wait began")
                for _ in range(3):
                    code, output = driver("answers", APP_TITLE, "1000")
                    self.assertEqual(code, 0, f"the window hangs while it waits: {output}")
                    time.sleep(0.5)
                self.assertEqual([enabled(c) for c in (USERNAME, HELP, CANCEL)],
                                 ["0", "0", "1"])
                app.command(*{"button": ("click", APP_TITLE, CANCEL),
                              "escape": ("escape", APP_TITLE),
                              "close": ("close", APP_TITLE)}[way])
                code, output = driver("gone", APP_TITLE, "1000")
                self.assertEqual(code, 0, f"still open 1 s after Cancel: {output}")
                self.assertEqual(app.wait_closed(), 0)
                self.assertEqual(self.saved.read(), before)
                self.assertIsNone(Suite.shell.take(0.5))
                self.assertEqual(self.logons(), [])

    def test_a_server_trickling_its_headers_times_out_at_the_limit(self):
        Suite.service.configure(REDIRECT1, REDIRECT_PATH, Response(trickle_headers=0.5))
        app = LogonApp(self, env={"TARNFTP_TEST_EXCHANGE_SECONDS": "5"})
        app.enter("alice", "wonder1")
        app.click(LOGON)
        clicked = time.monotonic()
        text, icon = app.box(timeout=15000)
        self.assertLess(time.monotonic() - clicked, 7.0)
        self.assertEqual((text.rstrip("\r\n"), icon),
                         ("The service did not answer in time.", "exclamation"))
        app.answer(OK)
        # Host2 and Host3 are empty: each fails, then the logon reports no server.
        for _ in range(3):
            app.box()
            app.answer(OK)
        self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), ("alice", "wonder1"))
        app.cancel()


if __name__ == "__main__":
    unittest.main()
