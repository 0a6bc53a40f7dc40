#!/usr/bin/env python3
"""The local stand-in service on its own: where it may listen, and requests it cannot read."""

import pathlib
import socket
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools" / "standin"))
from service import StandinService  # noqa: E402

ADDRESS = "127.0.0.2"


def exchange(port, request):
    """Sends raw request bytes; returns everything answered before the service closed."""
    with socket.create_connection((ADDRESS, port), timeout=10) as sock:
        sock.sendall(request)
        answer = b""
        while chunk := sock.recv(65536):
            answer += chunk
        return answer


class StandinServiceTest(unittest.TestCase):
    def test_listens_on_loopback_addresses_only(self):
        for address in ("0.0.0.0", "::", "192.0.2.1", "10.0.0.1", "localhost", ""):
            with self.subTest(address=address), StandinService() as service:
                with self.assertRaisesRegex(ValueError, "loopback addresses only"):
                    service.start([ADDRESS, address], ports=(0,))
                self.assertEqual(service._listeners, {}, "a socket was opened before the check")
        with StandinService() as service:
            self.assertGreater(service.listen("127.255.0.9", 0), 0)

    def test_a_malformed_content_length_is_refused_and_the_next_request_served(self):
        with StandinService("http://127.0.0.3/app") as service:
            port = service.listen(ADDRESS, 0)
            for length in ("abc", "-5", "+5", "1e3", " ", "99999999999999999999999", "67108865"):
                with self.subTest(length=length):
                    answer = exchange(port, b"POST /api/Redirect.aspx HTTP/1.0\r\n"
                                      b"Content-Length: " + length.encode() + b"\r\n\r\nrand=1")
                    self.assertTrue(answer.startswith(b"HTTP/1.0 400 "), answer)
            answer = exchange(port, b"POST /api/Redirect.aspx HTTP/1.0\r\n"
                              b"Content-Length: 6\r\n\r\nrand=1")
            self.assertIn(b"<p>RETURN_WEBAPPURL=http://127.0.0.3/app</p>", answer)
            self.assertEqual([r.body for r in service.requests], [b"rand=1"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
