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
import urllib.parse

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "standin"))
from service import Response, StandinService, sized_body  # noqa: E402

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
BUILD = pathlib.Path(os.environ.get("TARN_BUILD_DIR", ROOT / "build"))
PROBE = BUILD / "exchange_probe.exe"

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
TOO_LARGE = "The server's answer is larger than 16 MB. It was not read to the end."
MIB = 1024 * 1024

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


class Call:
    """What the probe reported for one PostRequest or logon."""

    def __init__(self):
        self.boxes = []
        self.result = None
        self.failure = None
        self.logon = None
        self.elapsed = None
        self.session_open = None


def text(hex_text):
    return "" if hex_text == "-" else bytes.fromhex(hex_text).decode("utf-8")


def probe(*args, timeout=120):
    """Runs the probe; returns one Call per PostRequest (or logon) in order."""
    run = subprocess.run(
        [WINE, str(PROBE), *args], capture_output=True, timeout=timeout, check=True
    )
    calls, call = [], Call()
    for line in run.stdout.decode("ascii").splitlines():
        kind, *fields = line.split(" ")
        if kind == "BOX":
            call.boxes.append(text(fields[0]))
        elif kind == "RESULT":
            call.result = text(fields[1])
        elif kind == "SUMMARY":
            call.result = (int(fields[0]), fields[1])
        elif kind == "FAILURE":
            call.failure = (int(fields[0]), text(fields[1]))
        elif kind == "LOGON":
            call.logon = (int(fields[0]), text(fields[1]), text(fields[2]))
        elif kind == "ELAPSED":
            call.elapsed = float(fields[0])
        elif kind == "SESSION":
            call.session_open = fields[0] == "1"
            calls.append(call)
            call = Call()
    return calls


def fnv1a(units):
    value = 0xCBF29CE484222325
    for unit in units:
        for byte in (unit & 0xFF, unit >> 8):
            value = ((value ^ byte) * 0x100000001B3) % (1 << 64)
    return f"{value:016x}"


def summary_of(body):
    units = body.decode("utf-8").encode("utf-16-le")
    return (len(units) // 2, fnv1a(int.from_bytes(units[i : i + 2], "little")
                                   for i in range(0, len(units), 2)))


def cache_busting_numbers(first_second, last_second):
    """The numbers the generator gives when seeded with any second of the window."""
    numbers = set()
    for seed in range(first_second, last_second + 1):
        numbers.add(((seed * 214013 + 2531011) % (1 << 32)) >> 16 & 0x7FFF)
    return numbers


def form(value):
    return urllib.parse.quote(value, safe="")


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
                self.assertEqual(request.header("User-Agent"), "TarnUploader2.0")
                content_types = [v for k, v in request.headers if k.lower() == "content-type"]
                self.assertEqual(content_types, ["application/x-www-form-urlencoded"])
                match = re.fullmatch(body, request.body)
                self.assertIsNotNone(match, request.body)
                self.assertIn(int(match.group(1)), numbers)
        self.assertFalse(call.session_open)

    def test_credentials_travel_form_encoded_in_utf8(self):
        cases = [
            ("jörg", "pässwörd€"),
            ("a&b=c", "100% +#x y"),
            ("user&password=forged", "%s%d"),
            ("名前", "😀/\\?'\""),
        ]
        for user, password in cases:
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
        sizes = [0, 1, 10238, 10239, 10240, 20479, 100000]
        urls = [self.configure(f"/size{n}", Response(body=sized_body(n))) for n in sizes]
        calls = probe("summary", *urls)
        for size, call in zip(sizes, calls, strict=True):
            with self.subTest(size=size):
                self.assertEqual(call.result, summary_of(sized_body(size)))
                self.assertEqual(call.boxes, [])

    def test_answer_texts(self):
        cases = [
            ("zero byte cuts", Response(body=b"before\x00after"), "before"),
            ("leading zero byte", Response(body=b"\x00after"), ""),
            ("utf-8 decoded", Response(body="grüße € 😀".encode()), "grüße € 😀"),
            ("404 page", Response(404, b"<h1>Not Found</h1>"), "<h1>Not Found</h1>"),
            ("500 page", Response(500, b"<h1>Server Error</h1>"), "<h1>Server Error</h1>"),
        ]
        urls = [self.configure(f"/text{i}", case[1]) for i, case in enumerate(cases)]
        calls = probe("post", *urls)
        for (name, _, expected), call in zip(cases, calls, strict=True):
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
        cases = [(16 * MIB, True), (16 * MIB + 1, False), (20 * 1000 * 1000, False)]
        urls = [self.configure(f"/big{n}", Response(body=sized_body(n))) for n, _ in cases]
        calls = probe("summary", *urls, timeout=300)
        for (size, accepted), call in zip(cases, calls, strict=True):
            with self.subTest(size=size):
                if accepted:
                    self.assertEqual(call.result[0], size)
                    self.assertEqual(call.boxes, [])
                else:
                    self.assertEqual(call.result[0], 0)
                    self.assertEqual(call.boxes, [TOO_LARGE])
                    self.assertTrue(call.session_open)

    def test_a_server_that_never_answers_ends_within_35_seconds(self):
        (call,) = probe("post", self.configure("/hang", Response(hang=True)))
        self.assertLess(call.elapsed, 35)
        self.assertGreater(call.elapsed, 25, "ended by something other than the time-out")
        self.assertEqual(call.result, "")
        self.assertEqual(len(call.boxes), 1)
        self.assertTrue(call.session_open)


if __name__ == "__main__":
    unittest.main(verbosity=2)
