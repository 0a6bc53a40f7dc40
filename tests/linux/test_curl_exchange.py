#!/usr/bin/env python3
"""The libcurl exchange against the local stand-in service.

Runs curl_exchange_probe (TARN_PROBE) and checks what the service received and what the probe
reported. The service listens on 127.0.0.1 on ports the system chooses, which the addresses
name as host:port, so no privileges are needed.
"""

import os
import pathlib
import re
import socket
import subprocess
import sys
import time
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "standin"))
sys.path.insert(0, str(ROOT / "tests"))
from exchangeprobe import (  # noqa: E402
    ANSWER_TEXTS, BODY_SIZES, CAP_CASES, CREDENTIALS, FORM_TYPE, TOO_LARGE, USER_AGENT,
    cache_busting_numbers, form, parse_calls, summary_of)
from service import Response, StandinService, sized_body  # noqa: E402

PROBE = os.environ["TARN_PROBE"]
HOST = "127.0.0.1"
# libcurl takes proxies from these; the service is reached directly.
PROXY_VARIABLES = {"http_proxy", "https_proxy", "all_proxy", "HTTPS_PROXY", "ALL_PROXY"}

service = None
port = tls_port = None


def setUpModule():
    global service, port, tls_port
    service = StandinService("", session_id_factory=lambda: "abc123")
    port = service.listen(HOST, 0)
    tls_port = service.listen(HOST, 0, tls=True)
    service.webapp_url = f"http://{HOST}:{port}/app"


def tearDownModule():
    service.stop()


def probe(*args, timeout=120, limit=None):
    """Runs the probe, its exchanges limited to limit seconds when given; returns one Call per
    PostRequest (or logon) in order."""
    environment = {k: v for k, v in os.environ.items() if k not in PROXY_VARIABLES}
    if limit:
        environment["TARNFTP_TEST_EXCHANGE_SECONDS"] = str(limit)
    run = subprocess.run([PROBE, *args], capture_output=True, timeout=timeout, check=True,
                         env=environment)
    return parse_calls(run.stdout)


def closed_port():
    """A loopback port that nothing listens on."""
    with socket.socket() as sock:
        sock.bind((HOST, 0))
        return sock.getsockname()[1]


class CurlExchangeTest(unittest.TestCase):
    def setUp(self):
        service.reset_behaviour()
        service.clear_log()

    def configure(self, path, response):
        service.configure(HOST, path, response)
        return f"http://{HOST}:{port}{path}"

    def test_requests_on_the_wire(self):
        """Exactly the request line, headers and body of the Windows edition, nothing more."""
        for user, password in CREDENTIALS:
            with self.subTest(user=user):
                service.accounts = {user: password}
                service.clear_log()
                started = int(time.time())
                (call,) = probe("logon", f"{HOST}:{port}", "", "", user, password)
                numbers = cache_busting_numbers(started, int(time.time()) + 1)
                self.assertEqual(call.logon, (0, service.webapp_url, "abc123"))
                redirect, logon = service.requests
                credentials = f"username={form(user)}&password={form(password)}&type=ftp&"
                for request, target, body in (
                    (redirect, "/api/Redirect.aspx", rb"rand=(\d+)"),
                    (logon, "/app/api/secure/ApiLogon.aspx",
                     re.escape(credentials.encode()) + rb"rand=(\d+)"),
                ):
                    self.assertEqual(request.head.split(b"\r\n")[0],
                                     f"POST {target} HTTP/1.0".encode())
                    self.assertEqual(request.headers, [
                        ("Host", f"{HOST}:{port}"), ("User-Agent", USER_AGENT),
                        ("Content-Type", FORM_TYPE), ("Content-Length", str(len(request.body)))])
                    match = re.fullmatch(body, request.body)
                    self.assertIsNotNone(match, request.body)
                    self.assertIn(int(match.group(1)), numbers)

        # The path goes out as built: a blank is percent-encoded, a "#" is sent as it stands.
        for path, target in (("/a b/c", "/a%20b/c"), ("/h#x", "/h#x"), ("/d/../e", "/d/../e")):
            with self.subTest(path=path):
                service.clear_log()
                probe("post", f"http://{HOST}:{port}{path}?k=v")
                (request,) = service.requests
                self.assertEqual(request.target, target)
                self.assertTrue(request.body.startswith(b"k=v&rand="), request.body)

    def test_answers_come_back_whole_up_to_a_nul(self):
        urls = [self.configure(f"/size{n}", Response(body=sized_body(n))) for n in BODY_SIZES]
        for size, call in zip(BODY_SIZES, probe("summary", *urls), strict=True):
            with self.subTest(size=size):
                self.assertEqual(call.result, summary_of(sized_body(size)))
                self.assertEqual(call.boxes, [])

        urls = [self.configure(f"/text{i}", Response(status, body))
                for i, (_, status, body, _) in enumerate(ANSWER_TEXTS)]
        for (name, _, _, expected), call in zip(ANSWER_TEXTS, probe("post", *urls), strict=True):
            with self.subTest(name):
                self.assertEqual(call.result, expected)
                self.assertEqual(call.boxes, [])

    def test_answer_size_limit(self):
        urls = [self.configure(f"/big{n}", Response(body=sized_body(n))) for n, _ in CAP_CASES]
        calls = probe("summary", *urls, timeout=300)
        for (size, accepted), call in zip(CAP_CASES, calls, strict=True):
            with self.subTest(size=size):
                self.assertEqual(call.result[0], size if accepted else 0)
                self.assertEqual(call.boxes, [] if accepted else [TOO_LARGE])

    def test_handled_failures_show_curls_text(self):
        refused_port = closed_port()
        cases = [
            ("refused", f"http://{HOST}:{refused_port}/api/Redirect.aspx",
             f"Failed to connect to {HOST} port {refused_port}"),
            ("reset mid-body", self.configure(
                "/reset", Response(body=sized_body(50000), reset_after=20000)), "Recv failure"),
            ("untrusted certificate", f"https://{HOST}:{tls_port}/api/Redirect.aspx",
             "SSL certificate problem"),
            ("user name in the host", f"http://user@{HOST}:{port}/api/Redirect.aspx",
             "Bad hostname"),
            # No host before the path: the path is read as the host name.
            ("path for a host", "http:///api/Redirect.aspx", "Bad hostname"),
            # A ":port" that is no port leaves a colon in the host name.
            ("port out of range", f"http://{HOST}:99999/x", "Bad hostname"),
            ("port zero", f"http://{HOST}:0/x", "Bad hostname"),
            ("port not a number", f"http://{HOST}:8o/x", "Bad hostname"),
        ]
        calls = probe("post", *(url for _, url, _ in cases))
        for (name, _, expected), call in zip(cases, calls, strict=True):
            with self.subTest(name):
                self.assertEqual(call.result, "")
                self.assertEqual(call.failure, None)
                self.assertEqual(len(call.boxes), 1)
                self.assertTrue(call.boxes[0].startswith(expected), call.boxes[0])
        self.assertEqual([r.path for r in service.requests], ["/reset"])

    def test_addresses_that_cannot_be_connected_to_are_thrown(self):
        urls = ["http://", "http://:80/x"]
        for url, call in zip(urls, probe("post", *urls), strict=True):
            with self.subTest(url):
                self.assertEqual(call.boxes, [])
                code, message = call.failure
                self.assertEqual(code, 3)  # CURLE_URL_MALFORMAT
                self.assertTrue(message)
        self.assertEqual(service.connections, [])

    def test_a_host_curl_refuses_costs_that_host_only(self):
        service.accounts = {"demo": "pw"}
        (call,) = probe("logon", f"user:pw@{HOST}:{port}", f"{HOST}:{port}", "", "demo", "pw")
        self.assertEqual(call.logon, (0, service.webapp_url, "abc123"))
        self.assertEqual(call.boxes, ["Bad hostname"])
        self.assertEqual([r.path for r in service.requests],
                         ["/api/Redirect.aspx", "/app/api/secure/ApiLogon.aspx"])

    def test_a_server_that_stops_sending_ends_the_transfer_within_40_seconds(self):
        # libcurl measures the speed over its last few seconds, so the bytes sent at the
        # start keep the transfer alive for up to 6 s before the 30 s begin.
        (call,) = probe("post", self.configure("/hang", Response(hang=True)))
        self.assertLess(call.elapsed, 40)
        self.assertGreater(call.elapsed, 25, "ended by something other than the time-out")
        self.assertEqual(call.result, "")
        self.assertEqual(len(call.boxes), 1)

    def test_a_server_that_trickles_its_answer_is_cut_off_at_the_time_limit(self):
        for name, response in (("body", Response(body=sized_body(1000), trickle=0.5)),
                               ("headers", Response(trickle_headers=0.5))):
            with self.subTest(trickled=name):
                (call,) = probe("post", self.configure(f"/trickle-{name}", response), limit=5)
                self.assertEqual((call.result, call.boxes),
                                 ("", ["The service did not answer in time."]))
                self.assertTrue(5 <= call.elapsed < 7, call.elapsed)


if __name__ == "__main__":
    unittest.main(verbosity=2)
