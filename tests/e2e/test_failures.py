"""Logons that fail: refused, no server, a host that is down before one that answers, and a
connection that cannot even be opened. Every failure leaves the window open, the saved file
byte for byte as it was and the shell unused."""
import unittest

from logonapp import (CONNECT_FAILED, LOGON, NOBODY, NOBODY2, OK, PASSWORD, REDIRECT1, REDIRECT2,
                      SIGNUP, USERNAME, WEBAPP, AppTest, LogonApp, Suite, start_suite, stop_suite)

UNRESOLVED = "The server name could not be resolved."


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
        # ":80" is a port with no host name, which the connection call itself refuses;
        # Wine's text for that error code is "Invalid parameter.".
        before = self.saved.write("alice", "old")
        app = LogonApp(self, hosts=(":80", REDIRECT1))
        for button in (LOGON, SIGNUP):
            with self.subTest(button=button):
                app.enter("alice", "wonder1")
                app.click(button)
                text, icon = app.box()
                self.assertEqual((text.rstrip("\r\n"), icon), ("Invalid parameter.", "stop"))
                app.answer(OK)
                self.assertTrue(app.no_box())
                self.assertTrue(app.is_open())
                self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), ("alice", "wonder1"))
        self.assertEqual(Suite.service.requests, [], "the hosts after it are not asked")
        self.assertIsNone(Suite.shell.take(0.5))
        self.assertEqual(self.saved.read(), before)
        app.cancel()


if __name__ == "__main__":
    unittest.main()
