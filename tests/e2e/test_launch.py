"""After a successful logon the program hands the user over and ends; Sign Up and Help open
pages and leave the window open. What the shell receives is read from the recorder."""
import unittest

from logonapp import (HELP, LOGON, PASSWORD, SESSION_ID, SIGNUP, USERNAME, WEBAPP, WEBAPP_URL,
                      AppTest, LogonApp, Suite, start_suite, stop_suite)

ACCOUNTS = {"alice": "wonder1", "bob": "", "q&u=e%r+y#s t\u00e9\u4e2d": "p&w=d%x+y#z \u00e9\u4e2d\U0001F600"}
AUTOLOGON = f"{WEBAPP_URL}/secure/autologon.aspx?sesID={SESSION_ID}&gotoURL="


def setUpModule():
    start_suite(ACCOUNTS)


def tearDownModule():
    stop_suite()


def ftp_credential(text):
    allowed = set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&'()*+,;=")
    return "".join(c if ord(c) >= 0x80 or c in allowed else f"%{ord(c):02X}" for c in text)


class LaunchModes(AppTest):
    def test_each_mode_opens_its_target_and_ends_the_program(self):
        explorer = f"ftp://alice:wonder1@{WEBAPP}"
        cases = [
            ((), "explorer", explorer),
            (("0",), "explorer", explorer),
            (("9",), "explorer", explorer),
            (("2",), "browser", AUTOLOGON + "/file/ShowFolder.aspx"),
            (("3",), "browser", AUTOLOGON + "/secure/AccountBalance.aspx"),
            (("4",), "browser",
             AUTOLOGON + "%2Fads%2FViewShoppingCart.aspx?productID%3D10015%26quantity%3D1"),
        ]
        for args, where, target in cases:
            with self.subTest(args=args):
                Suite.shell.clear()
                app = LogonApp(self, args=args)
                app.enter("alice", "wonder1")
                app.click(LOGON)
                self.assertEqual(app.wait_closed(), 0)
                if where == "explorer":
                    self.assert_explorer_opened_on(target)
                else:
                    self.assert_browser_opened(target)
                self.assertIsNone(Suite.shell.take(0.5), "one target only")

    def test_special_characters_reach_the_service_exactly_and_the_explorer_encoded(self):
        (user, password), = [(u, p) for u, p in ACCOUNTS.items() if "&" in u]
        Suite.service.clear_log()
        app = LogonApp(self)
        app.enter(user, password)
        self.assertEqual((app.text(USERNAME), app.text(PASSWORD)), (user, password))
        app.click(LOGON)
        self.assertEqual(app.wait_closed(), 0)
        self.assertEqual(self.logons(), [(user, password)])
        body = Suite.service.requests[-1].body
        self.assertNotIn(b" ", body, "the form body carries no raw blank")
        self.assertEqual(body.count(b"&"), 3, "username, password, type and rand only")
        self.assert_explorer_opened_on(
            f"ftp://{ftp_credential(user)}:{ftp_credential(password)}@{WEBAPP}")


class Pages(AppTest):
    def test_sign_up_and_help_open_their_pages_each_time_and_the_window_stays(self):
        app = LogonApp(self)
        for button, page in [(SIGNUP, "/secure/signup.aspx?from=tarnupload"),
                             (HELP, "/help/FTPHelp.aspx"), (SIGNUP, "/secure/signup.aspx?from=tarnupload"),
                             (HELP, "/help/FTPHelp.aspx")]:
            app.click(button)
            self.assert_browser_opened(WEBAPP_URL + page)
            self.assertTrue(app.is_open())
        redirects = [r for r in Suite.service.requests if r.path == "/api/Redirect.aspx"]
        self.assertEqual(len(redirects), 1, "the web application's address is asked once")
        app.cancel()


if __name__ == "__main__":
    unittest.main()
