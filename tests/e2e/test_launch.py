"""After a successful logon the program hands the user over and ends; Sign Up and Help open
pages and leave the window open. What the shell receives is read from the recorder."""
import os
import secrets
import time
import unittest
import urllib.parse
from pathlib import Path

from logonapp import (HELP, LOGON, PASSWORD, REDIRECT1, REDIRECT2, SESSION_ID, SIGNUP, USERNAME,
                      WEBAPP, WEBAPP_URL, AppTest, LogonApp, Suite, start_suite, stop_suite)

from service import REDIRECT_PATH, Response, field_page  # logonapp puts it on the path
from winetools import wine_env

ACCOUNTS = {"alice": "wonder1", "bob": "",
            "q&u=e%r+y#s t\u00e9\u4e2d": "p&w=d%x+y#z, \u00e9\u4e2d\U0001F600"}
AUTOLOGON = f"{WEBAPP_URL}/secure/autologon.aspx?sesID={SESSION_ID}&gotoURL="
REFUSED = "The service sent an address that tarnftp does not open.\n\nScheme: {}\nHost: {}"


def setUpModule():
    start_suite(ACCOUNTS)


def tearDownModule():
    stop_suite()


def ftp_credential(text):
    allowed = set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~")
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


class AddressesNotPlain(AppTest):
    def test_a_web_application_address_that_is_not_plain_is_refused_and_the_next_host_asked(self):
        cases = [  # what Host1 answers, the box's scheme and host, the button pressed
            (WEBAPP_URL + "/x\r\nX-Injected: yes", "http", WEBAPP, LOGON),
            (" " + WEBAPP_URL, "(none)", "(none)", LOGON),
            ('http://host" --injected "x', "http", 'host" --injected "x', SIGNUP),
        ]
        for answer, scheme, host, button in cases:
            with self.subTest(answer=answer):
                Suite.service.clear_log()
                Suite.service.set_fields(REDIRECT1, REDIRECT_PATH, [("RETURN_WEBAPPURL", answer)])
                app = LogonApp(self, hosts=(REDIRECT1, REDIRECT2))
                app.enter("alice", "wonder1")
                app.click(button)
                self.assertEqual(app.box(), (REFUSED.format(scheme, host), "exclamation"))
                app.answer()
                if button == LOGON:
                    self.assertEqual(app.wait_closed(), 0)
                    self.assert_explorer_opened_on(f"ftp://alice:wonder1@{WEBAPP}")
                else:
                    self.assert_browser_opened(WEBAPP_URL + "/secure/signup.aspx?from=tarnupload")
                    self.assertTrue(app.no_box(), "one box only")
                    app.cancel()
                # Nothing was sent to the refused address.
                self.assertEqual([r.local_address for r in Suite.service.requests],
                                 [REDIRECT1, REDIRECT2] + [WEBAPP] * (button == LOGON))


class AddressesAfterLogon(AppTest):
    def test_an_address_that_is_not_plain_shows_a_box_and_the_window_closes(self):
        cases = [("3", WEBAPP_URL, 'S" --injected "x')]
        for mode, webapp_url, session_id in cases:
            with self.subTest(mode=mode, webapp_url=webapp_url):
                Suite.service.set_fields(REDIRECT1, REDIRECT_PATH,
                                         [("RETURN_WEBAPPURL", webapp_url)])
                answer = [("RETURN_STATUS", "0"), ("RETURN_SESSIONID", session_id)]
                Suite.service.configure(WEBAPP, None, Response(body=field_page(answer)))
                app = LogonApp(self, args=(mode,))
                app.enter("alice", "wonder1")
                app.click(LOGON)
                self.assertEqual(app.box(), (REFUSED.format("http", WEBAPP), "exclamation"))
                app.answer()
                self.assertEqual(app.wait_closed(), 0)
                self.assertIsNone(Suite.shell.take(1.0), "nothing reaches the shell")

    def test_a_logon_that_is_not_remembered_leaves_no_secret_in_the_prefix(self):
        started = time.time()
        for args in ((), ("2",)):
            with self.subTest(args=args):
                # Drawn for this run, so that nothing else can hold them by chance.
                user = "disk" + secrets.token_hex(4)
                password = f"Pw{secrets.token_hex(10)}, ="
                session_id = "Sid" + secrets.token_hex(12)
                Suite.service.accounts[user] = password
                self.addCleanup(Suite.service.accounts.pop, user)
                factory = Suite.service.session_id_factory
                Suite.service.session_id_factory = lambda: session_id
                self.addCleanup(setattr, Suite.service, "session_id_factory", factory)

                app = LogonApp(self, args=args)
                app.enter(user, password, remember=False)
                app.click(LOGON)
                self.assertEqual(app.wait_closed(), 0)
                self.assertIsNotNone(Suite.shell.take(), "the shell started nothing")
                folders = [Path(wine_env()["WINEPREFIX"]), app.install.folder]
                found = files_holding([password, session_id], folders, started)
                self.assertFalse(found, "\n".join(found))


def files_holding(texts, folders, since):
    """Files under folders, written since the given time, that hold one of the texts in
    UTF-8, UTF-16 or percent-encoded. Older files cannot hold texts drawn after it, and
    links are not followed: the prefix's drive and device links lead out of it."""
    needles = set()
    for text in texts:
        for form in (text, urllib.parse.quote(text, safe=""),
                     urllib.parse.quote_plus(text, safe="")):
            needles |= {form.encode("utf-8"), form.encode("utf-16-le")}
    found = []
    for folder in folders:
        for root, _, names in os.walk(folder):
            for name in names:
                path = Path(root) / name
                try:
                    if (path.is_symlink() or not path.is_file()
                            or path.stat().st_mtime < since - 2):
                        continue
                    data = path.read_bytes()
                except OSError:
                    continue
                if any(needle in data for needle in needles):
                    found.append(str(path))
    return found


if __name__ == "__main__":
    unittest.main()
