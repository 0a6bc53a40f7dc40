"""Input the logon refuses before any request, the empty-password question, and what a
remembered logon puts into the window when it opens."""
import unittest

from logonapp import (LOGON, NO, OK, PASSWORD, USERNAME, WEBAPP, YES, AppTest, LogonApp, Suite,
                      start_suite, stop_suite)

RESERVED = ("Please enter a valid username (with published folders) and blank password for "
            "annonymous logon.")
NOTHING_ENTERED = (
    "Please enter your username and password to logon. \n\nTo log on annonymously, enter "
    "a username (with published folders) and blank password.\n\n"
    "If you received an invitation email, please enter ShareUserName\\ShareName \n(e.g.: "
    '"john\\john\'s share") as the username and SharePassword as the password.')
EMPTY_PASSWORD = "Password is empty, do you want to logon annonymously?"


def setUpModule():
    start_suite({"alice": "wonder1", "bob": ""})


def tearDownModule():
    stop_suite()


class Refusals(AppTest):
    def test_refused_input_shows_its_message_and_keeps_everything(self):
        cases = [
            ("annonymous", "pw", RESERVED),
            ("ANNONYMOUS", "", RESERVED),
            ("Annonymous", "x", RESERVED),
            ("", "", NOTHING_ENTERED),
        ]
        app = LogonApp(self)
        for user, password, message in cases:
            with self.subTest(user=user, password=password):
                app.enter(user, password)
                app.click(LOGON)
                self.assertEqual(app.box(), (message, "exclamation"))
                app.answer(OK)
                self.assertTrue(app.no_box(), "one box only")
                self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), (user, password))
        self.assertTrue(app.is_open())
        self.assertEqual(Suite.service.requests, [], "no request for refused input")
        self.assertIsNone(self.saved.read())
        app.cancel()

    def test_empty_password_question_no_keeps_everything_yes_logs_on(self):
        app = LogonApp(self)
        app.enter("bob", "")
        app.click(LOGON)
        self.assertEqual(app.box(), (EMPTY_PASSWORD, "none"))
        app.answer(NO)
        self.assertTrue(app.is_open())
        self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), ("bob", ""))
        self.assertEqual(Suite.service.requests, [])

        app.click(LOGON)
        self.assertEqual(app.box(), (EMPTY_PASSWORD, "none"))
        app.answer(YES)
        self.assertEqual(app.wait_closed(), 0)
        self.assertEqual(self.logons(), [("bob", "")])
        self.assert_explorer_opened_on(f"ftp://bob:@{WEBAPP}")


class Restore(AppTest):
    def test_remembered_logon_fills_both_boxes_checks_the_box_and_logs_on(self):
        self.saved.write("alice", "wonder1")
        app = LogonApp(self)
        self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), ("alice", "wonder1"))
        self.assertTrue(app.checked())
        app.click(LOGON)
        self.assertEqual(app.wait_closed(), 0)
        self.assertEqual(self.logons(), [("alice", "wonder1")])
        self.assert_explorer_opened_on(f"ftp://alice:wonder1@{WEBAPP}")

    def test_nothing_visible_is_restored_from_a_disarmed_or_nameless_file(self):
        cases = [("nameless", "", "secret", 1), ("disarmed", "alice", "wonder1", 0),
                 ("marker 2", "alice", "wonder1", 2)]
        for name, user, password, marker in cases:
            with self.subTest(name):
                self.saved.write(user, password, marker)
                app = LogonApp(self)
                self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), ("", ""))
                self.assertFalse(app.checked())
                if name == "nameless":
                    # The restored password is not in the box, so Logon finds nothing entered.
                    app.click(LOGON)
                    self.assertTrue(app.box()[0].startswith("Please enter your username"))
                    app.answer(OK)
                app.cancel()


if __name__ == "__main__":
    unittest.main()
