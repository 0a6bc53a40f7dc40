#!/usr/bin/env python3
"""The WinInet exchange under Wine against the local stand-in service.

Runs exchange_probe.exe (from TARN_BUILD_DIR) under wine64 and checks what the service
received and what the probe reported. Binds loopback port 80 and 443, so it runs as root,
best inside its own network namespace.
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "standin"))
sys.path.insert(0, str(ROOT / "tests"))
from exchangeprobe import (  # noqa: E402
    ANSWER_TEXTS, BODY_SIZES, CAP_CASES, CREDENTIALS, FORM_TYPE, TOO_LARGE, USER_AGENT,
    cache_busting_numbers, form, parse_calls, summary_of)
from service import Response, StandinService, sized_body  # noqa: E402

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
BUILD = pathlib.Path(os.environ.get("TARN_BUILD_DIR", ROOT / "build"))
PROBE = BUILD / "exchange_probe.exe"
# The Linux edition's probe, built by the native preset in the same tree.
CURL_PROBE = ROOT / "build" / "native" / "tests" / "linux" / "curl_exchange_probe"

REDIRECT = "127.0.0.2"  # answers the redirect call
WEBAPP = "127.0.0.3"  # the web application, under the prefix /app
TLS = "127.0.0.4"  # ports 80 and 443
PORTED = "127.0.0.5"  # ports 80 and 8080
PAGES = "127.0.0.6"  # whatever a test configures
NOBODY = "127.0.0.9"  # nothing listens here

CONNECT_FAILED = "The attempt to connect to the server failed."
NO_CONNECTIVITY = (
    "The computer cannot connect to the Internet. Check the network connection and try again."
)
NO_MESSAGE = "No error message is available."

service = None
prefix_made = None


def setUpModule():
    global service, prefix_made
    if "WINEPREFIX" not in os.environ:
        prefix_made = tempfile.mkdtemp(prefix="tarn-wine-")
        os.environ["WINEPREFIX"] = prefix_made
    os.environ.setdefault("WINEDEBUG", "-all")
    # No prompts for the .NET and HTML engines in a fresh prefix.
    os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    service = StandinService(f"http://{WEBAPP}/app", session_id_factory=lambda: "abc123")
    service.start([REDIRECT, WEBAPP, TLS, PAGES], ports=(80,))
    service.listen(TLS, 443)
    service.listen(PORTED, 80)
    service.listen(PORTED, 8080)


def tearDownModule():
    service.stop()
    if prefix_made:
        subprocess.run([WINESERVER, "-k"], check=False)
        shutil.rmtree(prefix_made, ignore_errors=True)


def probe(*args, timeout=120):
    """Runs the probe; returns one Call per PostRequest (or logon) in order."""
    run = subprocess.run(
        [WINE, str(PROBE), *args], capture_output=True, timeout=timeout, check=True
    )
    return parse_calls(run.stdout)


class ExchangeTest(unittest.TestCase):
    def setUp(self):
        service.reset_behaviour()
        service.accounts = {"demo": "secret"}
        service.clear_log()

    def configure(self, path, response):
        service.configure(PAGES, path, response)
        return f"http://{PAGES}{path}"

    def test_redirect_and_logon_requests_on_the_wire(self):
        started = int(time.time())
        (call,) = probe("logon", REDIRECT, "", "", "demo", "secret")
        numbers = cache_busting_numbers(started, int(time.time()) + 1)

        self.assertEqual(call.logon, (0, f"http://{WEBAPP}/app", "abc123"))
        redirect, logon = service.requests
        for request, address, target, body in (
            (redirect, REDIRECT, "/api/Redirect.aspx", rb"rand=(\d+)"),
            (logon, WEBAPP, "/app/api/secure/ApiLogon.aspx",
             rb"username=demo&password=secret&type=ftp&rand=(\d+)"),
        ):
            with self.subTest(target=target):
                self.assertEqual((request.local_address, request.local_port), (address, 80))
                self.assertEqual((request.method, request.target, request.version),
                                 ("POST", target, "HTTP/1.0"))
                self.assertEqual(request.header("User-Agent"), USER_AGENT)
                content_types = [v for k, v in request.headers if k.lower() == "content-type"]
                self.assertEqual(content_types, [FORM_TYPE])
                match = re.fullmatch(body, request.body)
                self.assertIsNotNone(match, request.body)
                self.assertIn(int(match.group(1)), numbers)
        self.assertFalse(call.session_open)

    @unittest.skipUnless(CURL_PROBE.exists(), "the Linux edition is not built")
    def test_both_editions_send_the_same_logon(self):
        user, password = "jörg&x=1", "100% +#x y"
        service.accounts = {user: password}
        sent = {}
        for edition, command in (("windows", [WINE, str(PROBE)]), ("linux", [str(CURL_PROBE)])):
            service.clear_log()
            run = subprocess.run([*command, "logon", REDIRECT, "", "", user, password],
                                 capture_output=True, timeout=120, check=True)
            (call,) = parse_calls(run.stdout)
            self.assertEqual(call.logon[0], 0, edition)
            sent[edition] = list(service.requests)
        shared = ("Host", "User-Agent", "Content-Type")
        for windows, linux in zip(sent["windows"], sent["linux"], strict=True):
            with self.subTest(target=windows.target):
                self.assertEqual(linux.head.split(b"\r\n")[0], windows.head.split(b"\r\n")[0])
                self.assertEqual([linux.header(name) for name in shared],
                                 [windows.header(name) for name in shared])
                # Only the cache-busting number may differ, and with it the length.
                self.assertEqual(re.sub(rb"rand=\d+", b"", linux.body),
                                 re.sub(rb"rand=\d+", b"", windows.body))
                self.assertEqual(linux.header("Content-Length"), str(len(linux.body)))
                # The same headers, in any order; Windows adds its cache directive.
                names = {name.lower() for name, _ in windows.headers}
                self.assertEqual({name.lower() for name, _ in linux.headers},
                                 names - {"cache-control", "pragma"})

    def test_credentials_travel_form_encoded_in_utf8(self):
        for user, password in CREDENTIALS:
            with self.subTest(user=user):
                service.accounts = {user: password}
                service.clear_log()
                (call,) = probe("logon", REDIRECT, "", "", user, password)
                self.assertEqual(call.logon[0], 0, "the service decoded other credentials")
                logon = service.requests[-1]
                expected = f"username={form(user)}&password={form(password)}&type=ftp&rand="
                self.assertTrue(logon.body.startswith(expected.encode("ascii")), logon.body)

        (call,) = probe("logon", REDIRECT, "", "", "jörg", "wrong")
        self.assertEqual(call.logon[0], 2)

    def test_bodies_arrive_whole(self):
        sizes = BODY_SIZES
        urls = [self.configure(f"/size{n}", Response(body=sized_body(n))) for n in sizes]
        calls = probe("summary", *urls)
        for size, call in zip(sizes, calls, strict=True):
            with self.subTest(size=size):
                self.assertEqual(call.result, summary_of(sized_body(size)))
                self.assertEqual(call.boxes, [])

    def test_answer_texts(self):
        urls = [self.configure(f"/text{i}", Response(status, body))
                for i, (_, status, body, _) in enumerate(ANSWER_TEXTS)]
        calls = probe("post", *urls)
        for (name, _, _, expected), call in zip(ANSWER_TEXTS, calls, strict=True):
            with self.subTest(name):
                self.assertEqual(call.result, expected)
                self.assertEqual(call.boxes, [])

    def test_handled_failures_show_a_box_and_keep_the_session(self):
        cases = [
            ("refused", f"http://{NOBODY}/api/Redirect.aspx", CONNECT_FAILED),
            ("empty host", "http:///api/Redirect.aspx", "The server name could not be resolved."),
            ("reset mid-body", self.configure("/reset", Response(
                body=sized_body(50000), reset_after=20000)), None),
        ]
        for name, url, expected in cases:
            with self.subTest(name):
                # The failure, then a normal exchange on the session the failure kept open.
                failed, normal = probe("post", url, f"http://{REDIRECT}/api/Redirect.aspx")
                self.assertEqual(failed.result, "")
                self.assertEqual(len(failed.boxes), 1)
                if expected:
                    self.assertEqual(failed.boxes[0].rstrip("\r\n"), expected)
                else:
                    self.assertNotEqual(failed.boxes[0], NO_MESSAGE)
                self.assertTrue(failed.session_open)
                self.assertIn("RETURN_WEBAPPURL", normal.result)
                self.assertFalse(normal.session_open)

    def test_session_or_connection_that_cannot_be_opened_is_thrown(self):
        # An empty host name is refused by InternetConnectW itself.
        failed, normal = probe("post", "http://", f"http://{REDIRECT}/api/Redirect.aspx")
        self.assertEqual(failed.boxes, [])
        self.assertIsNotNone(failed.failure)
        code, message = failed.failure
        self.assertEqual(code, 87)
        self.assertTrue(message)
        self.assertTrue(failed.session_open, "the session opened before stays")
        self.assertIn("RETURN_WEBAPPURL", normal.result)

    def test_no_connectivity_sends_nothing(self):
        # Wine's InternetAttemptConnect succeeds even with no network at all, so the probe
        # replaces it with one that reports no connection.
        calls = probe("--offline", "post", f"http://{REDIRECT}/api/Redirect.aspx",
                      f"http://{WEBAPP}/app/api/secure/ApiLogon.aspx?username=a")
        for call in calls:
            self.assertEqual(call.boxes, [NO_CONNECTIVITY])
            self.assertEqual(call.result, "")
            self.assertFalse(call.session_open)
        self.assertEqual(service.connections, [])

    def test_https_checks_the_certificate_and_never_falls_back_to_port_80(self):
        (call,) = probe("post", f"https://{TLS}/api/secure/ApiLogon.aspx?username=a&password=b")
        self.assertEqual(call.result, "")
        self.assertEqual(len(call.boxes), 1)
        self.assertTrue(call.session_open)
        self.assertEqual(service.requests, [], "no request may reach the server in clear text")
        self.assertEqual([(c.local_port, c.tls) for c in service.connections], [(443, True)])

    def test_explicit_port_connects_there_with_the_bare_host_name(self):
        (call,) = probe("post", f"http://{PORTED}:8080/api/Redirect.aspx")
        self.assertIn("RETURN_WEBAPPURL", call.result)
        (request,) = service.requests
        self.assertEqual((request.local_address, request.local_port), (PORTED, 8080))
        self.assertEqual(request.header("Host"), f"{PORTED}:8080")

    def test_body_size_limit(self):
        urls = [self.configure(f"/big{n}", Response(body=sized_body(n))) for n, _ in CAP_CASES]
        calls = probe("summary", *urls, timeout=300)
        for (size, accepted), call in zip(CAP_CASES, calls, strict=True):
            with self.subTest(size=size):
                if accepted:
                    self.assertEqual(call.result[0], size)
                    self.assertEqual(call.boxes, [])
                else:
                    self.assertEqual(call.result[0], 0)
                    self.assertEqual(call.boxes, [TOO_LARGE])
                    self.assertTrue(call.session_open)

    def test_a_redirect_is_not_followed(self):
        # PAGES would accept the logon that the web application sends it to.
        elsewhere = f"http://{PAGES}/app/api/secure/ApiLogon.aspx"
        service.configure(WEBAPP, None, Response(307, b"", headers=(("Location", elsewhere),)))
        (call,) = probe("logon", REDIRECT, "", "", "demo", "secret")
        self.assertEqual(call.logon[0], 1, "no status: server unavailable")
        self.assertEqual([r.local_address for r in service.requests], [REDIRECT, WEBAPP])

    def test_a_server_that_never_answers_ends_within_35_seconds(self):
        (call,) = probe("post", self.configure("/hang", Response(hang=True)))
        self.assertLess(call.elapsed, 35)
        self.assertGreater(call.elapsed, 25, "ended by something other than the time-out")
        self.assertEqual(call.result, "")
        self.assertEqual(len(call.boxes), 1)
        self.assertTrue(call.session_open)


if __name__ == "__main__":
    unittest.main(verbosity=2)
