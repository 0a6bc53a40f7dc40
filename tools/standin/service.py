#!/usr/bin/env python3
"""A local stand-in for the storage service's HTTP API.

Answers the redirect call and the logon call on chosen loopback addresses (any other
address is refused before a socket is opened), records every request byte for byte,
answers 400 to one whose Content-Length it cannot trust, and on demand refuses, hangs,
resets, sends error pages, very large or raw bodies, or adds latency. Port 443 speaks TLS
with a throw-away self-signed certificate made with openssl.

Used in-process by the tests (StandinService) and as a command for the demo:

    python3 tools/standin/service.py --address 127.0.0.2 \
        --webapp http://127.0.0.3/app --account demo:secret

Python standard library only.
"""

import argparse
import dataclasses
import ipaddress
import os
import re
import secrets
import select
import shutil
import signal
import socket
import ssl
import struct
import subprocess
import tempfile
import threading
import time
import urllib.parse

REDIRECT_PATH = "/api/Redirect.aspx"
LOGON_PATH = "/api/secure/ApiLogon.aspx"
HEAD_LIMIT = 64 * 1024
BODY_LIMIT = 64 * 1024 * 1024
# A client that stops sending in the middle of a request ends its connection, not the service.
READ_TIMEOUT = 30.0


class BadRequest(Exception):
    """A request that cannot be read as sent: answered with 400 and the connection closed."""


def loopback_address(address):
    """address if it is a loopback address (127.0.0.0/8 or ::1); else a ValueError."""
    try:
        if ipaddress.ip_address(address).is_loopback:
            return address
    except ValueError:
        pass
    raise ValueError(f"the stand-in service listens on loopback addresses only, not {address!r}")


def content_length(values):
    """The body length the headers announce: 0 without one; BadRequest unless every value
    is the same plain decimal number within BODY_LIMIT."""
    if not values:
        return 0
    if len(set(values)) != 1 or not re.fullmatch(r"[0-9]{1,20}", values[0]):
        raise BadRequest(f"Content-Length {values!r}")
    length = int(values[0])
    if length > BODY_LIMIT:
        raise BadRequest(f"Content-Length {length} over the limit")
    return length


def field_page(fields):
    """The answer format the client reads: one <p>NAME=value</p> per field, in order."""
    return "".join(f"<p>{name}={value}</p>" for name, value in fields).encode("utf-8")


def sized_body(size):
    """size bytes of printable ASCII that never contain a zero byte; the same every time."""
    pattern = b"0123456789abcdefghijklmnopqrstuvwxyz\n"
    return (pattern * (size // len(pattern) + 1))[:size]


@dataclasses.dataclass
class Response:
    """What one address/path answers instead of its default handler.

    status/body/content_type: the answer sent; headers: more (name, value) header lines.
    latency: seconds waited before answering. hang: accept and read the request, never
    answer. reset_after: send the headers (with the full Content-Length) and this many body
    bytes, then reset the connection. trickle: send the body one byte every this many seconds.
    trickle_headers: send the status line and headers one byte every this many seconds.
    """

    status: int = 200
    body: bytes = b""
    content_type: str = "text/html; charset=utf-8"
    latency: float = 0.0
    hang: bool = False
    reset_after: int | None = None
    headers: tuple = ()
    trickle: float = 0.0
    trickle_headers: float = 0.0


@dataclasses.dataclass
class Request:
    """One request as it arrived: nothing normalised."""

    method: str
    target: str
    version: str
    headers: list  # (name, value) in order, as sent
    head: bytes  # the request line and header lines, raw
    body: bytes
    local_address: str
    local_port: int
    tls: bool

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    @property
    def path(self):
        return self.target.split("?", 1)[0]

    def form(self):
        """The body's form fields, percent-decoded as UTF-8 (a "+" stays a "+")."""
        fields = {}
        for pair in self.body.split(b"&"):
            name, _, value = pair.partition(b"=")
            decode = lambda raw: urllib.parse.unquote_to_bytes(raw).decode("utf-8")
            fields[decode(name)] = decode(value)
        return fields


@dataclasses.dataclass
class Connection:
    """One accepted connection, whether or not a request followed (TLS failures do not)."""

    local_address: str
    local_port: int
    tls: bool
    handshake_error: str | None = None


class StandinService:
    def __init__(self, webapp_url="", accounts=None, session_id_factory=None):
        self.webapp_url = webapp_url
        self.accounts = dict(accounts or {})
        self.session_id_factory = session_id_factory or (lambda: secrets.token_hex(8))
        self.latency = 0.0
        self.on_request = None  # called with each Request as it is logged
        self.requests = []
        self.connections = []
        self._overrides = {}
        self._fields = {}
        self._listeners = {}
        self._open_sockets = set()
        self._lock = threading.Lock()
        self._stopping = threading.Event()
        self._threads = []
        self._cert_dir = None
        self._tls_context = None

    # ---- life cycle -------------------------------------------------------------------

    def start(self, addresses, ports=(80, 443)):
        """Listens on every (address, port); 443 speaks TLS. Loopback addresses only."""
        for address in addresses:
            loopback_address(address)
        for address in addresses:
            for port in ports:
                self.listen(address, port)
        return self

    def listen(self, address, port, tls=None):
        """Listens on a loopback address; returns the port bound (port 0: one the system chose)."""
        tls = port == 443 if tls is None else tls
        family = socket.AF_INET6 if ":" in loopback_address(address) else socket.AF_INET
        sock = socket.socket(family, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((address, port))
        sock.listen(64)
        port = sock.getsockname()[1]
        self._listeners[(address, port)] = sock
        self._spawn(self._accept_loop, sock, address, port, tls)
        return port

    def refuse(self, address, port=80):
        """Stops listening, so that connections to address:port are refused."""
        sock = self._listeners.pop((address, port), None)
        if sock:
            sock.close()

    def stop(self):
        self._stopping.set()
        for sock in list(self._listeners.values()):
            sock.close()
        self._listeners.clear()
        with self._lock:
            for sock in list(self._open_sockets):
                try:
                    sock.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
                sock.close()
        for thread in self._threads:
            thread.join(timeout=5)
        if self._cert_dir:
            shutil.rmtree(self._cert_dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    # ---- behaviour --------------------------------------------------------------------

    def configure(self, address, path, response):
        """Answers address's path (None: any path) with response instead of the default."""
        self._overrides[(address, path)] = response

    def set_fields(self, address, path, fields):
        """The fields that address's path answers with, as (name, value) pairs in order."""
        self._fields[(address, path)] = list(fields)

    def reset_behaviour(self):
        self._overrides.clear()
        self._fields.clear()
        self.latency = 0.0

    def clear_log(self):
        with self._lock:
            self.requests.clear()
            self.connections.clear()

    def requests_to(self, address=None, port=None):
        with self._lock:
            return [
                r
                for r in self.requests
                if (address is None or r.local_address == address)
                and (port is None or r.local_port == port)
            ]

    # ---- serving ----------------------------------------------------------------------

    def _spawn(self, target, *args, track=True):
        thread = threading.Thread(target=target, args=args, daemon=True)
        thread.start()
        if track:
            self._threads.append(thread)

    def _accept_loop(self, listener, address, port, tls):
        while not self._stopping.is_set():
            try:
                ready, _, _ = select.select([listener], [], [], 0.2)
                if not ready:
                    continue
                client, _ = listener.accept()
            except (OSError, ValueError):
                return  # closed by refuse() or stop()
            # Connection threads are not joined: stop() closes their sockets, which ends
            # them, and a long demo run would otherwise collect one per request.
            self._spawn(self._serve, client, address, port, tls, track=False)

    def _serve(self, client, address, port, tls):
        connection = Connection(address, port, tls)
        with self._lock:
            self.connections.append(connection)
            self._open_sockets.add(client)
        sock = client
        client.settimeout(READ_TIMEOUT)
        try:
            if tls:
                try:
                    sock = self._tls().wrap_socket(client, server_side=True)
                except (ssl.SSLError, OSError) as error:
                    connection.handshake_error = str(error)
                    return
                with self._lock:
                    self._open_sockets.add(sock)
            try:
                request = self._read_request(sock, address, port, tls)
            except BadRequest:
                sock.sendall(b"HTTP/1.0 400 Bad Request\r\nContent-Length: 0\r\n"
                             b"Connection: close\r\n\r\n")
                return
            if request is None:
                return
            # Answers (large bodies, latency) take as long as they take.
            sock.settimeout(None)
            with self._lock:
                self.requests.append(request)
            if self.on_request:
                self.on_request(request)
            self._answer(sock, request)
        except OSError:
            pass
        finally:
            with self._lock:
                self._open_sockets.discard(client)
                self._open_sockets.discard(sock)
            try:
                sock.close()
            except OSError:
                pass

    def _read_request(self, sock, address, port, tls):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = sock.recv(65536)
            if not chunk or len(data) > HEAD_LIMIT:
                return None
            data += chunk
        head, _, body = data.partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        method, target, version = (lines[0].split(" ", 2) + ["", ""])[:3]
        headers = []
        for line in lines[1:]:
            name, _, value = line.partition(":")
            headers.append((name, value.strip()))
        request = Request(method, target, version, headers, head, b"", address, port, tls)
        length = content_length([v for k, v in headers if k.lower() == "content-length"])
        while len(body) < length:
            chunk = sock.recv(65536)
            if not chunk:
                break
            body += chunk
        request.body = body
        return request

    def _answer(self, sock, request):
        response = self._response_for(request)
        delay = response.latency or self.latency
        if delay:
            time.sleep(delay)
        if response.hang:
            self._stopping.wait()
            return
        reason = {200: "OK", 307: "Temporary Redirect", 404: "Not Found",
                  500: "Internal Server Error"}.get(response.status, "Status")
        head = (
            f"HTTP/1.0 {response.status} {reason}\r\n"
            f"Content-Type: {response.content_type}\r\n"
            f"Content-Length: {len(response.body)}\r\n"
            + "".join(f"{name}: {value}\r\n" for name, value in response.headers)
            + "Connection: close\r\n\r\n"
        ).encode("ascii")
        if response.trickle_headers:
            for i in range(len(head)):
                if self._stopping.wait(response.trickle_headers):
                    return
                sock.sendall(head[i:i + 1])
            head = b""
        if response.trickle:
            sock.sendall(head)
            for i in range(len(response.body)):
                if self._stopping.wait(response.trickle):
                    return
                sock.sendall(response.body[i:i + 1])
            return
        if response.reset_after is not None:
            sock.sendall(head + response.body[: response.reset_after])
            time.sleep(0.2)
            # A zero linger time makes close() send a reset instead of an orderly end.
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        sock.sendall(head + response.body)

    def _response_for(self, request):
        for key in ((request.local_address, request.path), (request.local_address, None)):
            if key in self._overrides:
                return self._overrides[key]
        fields = self._fields.get((request.local_address, request.path))
        if fields is None:
            fields = self._default_fields(request)
        if fields is None:
            return Response(404, b"<html><body>Not Found</body></html>")
        return Response(200, field_page(fields))

    def _default_fields(self, request):
        if request.path == REDIRECT_PATH:
            return [("RETURN_WEBAPPURL", self.webapp_url)]
        if request.path.endswith(LOGON_PATH):
            try:
                form = request.form()
            except UnicodeDecodeError:
                return [("RETURN_STATUS", "1")]
            user, password = form.get("username"), form.get("password")
            if user in self.accounts and self.accounts[user] == password:
                return [("RETURN_STATUS", "0"), ("RETURN_SESSIONID", self.session_id_factory())]
            return [("RETURN_STATUS", "1")]
        return None

    def _tls(self):
        with self._lock:
            if self._tls_context is None:
                self._cert_dir = tempfile.mkdtemp(prefix="standin-cert-")
                cert = os.path.join(self._cert_dir, "cert.pem")
                key = os.path.join(self._cert_dir, "key.pem")
                subprocess.run(
                    ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                     "-subj", "/CN=standin.invalid", "-keyout", key, "-out", cert],
                    check=True, capture_output=True,
                )
                context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                context.load_cert_chain(cert, key)
                self._tls_context = context
            return self._tls_context


def main():
    parser = argparse.ArgumentParser(description="Local stand-in for the storage service.")
    parser.add_argument("--address", action="append", required=True,
                        help="loopback address to listen on (repeatable)")
    parser.add_argument("--webapp", default="", help="the RETURN_WEBAPPURL to answer")
    parser.add_argument("--account", action="append", default=[], help="user:password")
    parser.add_argument("--latency", type=float, default=0.0, help="seconds per response")
    parser.add_argument("--no-tls", action="store_true", help="do not listen on port 443")
    args = parser.parse_args()

    accounts = dict(a.split(":", 1) for a in args.account)
    service = StandinService(args.webapp, accounts)
    service.latency = args.latency
    webapp_host = urllib.parse.urlsplit(args.webapp).hostname if args.webapp else None
    addresses = list(dict.fromkeys(args.address + ([webapp_host] if webapp_host else [])))
    for address in addresses:
        try:
            loopback_address(address)
        except ValueError as error:
            parser.error(str(error))
    # The demo runs for a long time: print each request (never its body, which holds the
    # password) and keep no log.
    def show(r):
        print(f"{r.local_address}:{r.local_port} {r.method} {r.target} {r.version}", flush=True)
        service.clear_log()

    service.on_request = show
    # "Runs until killed": a TERM ends it as cleanly as Ctrl-C, removing the certificate.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    service.start(addresses, (80,) if args.no_tls else (80, 443))
    print("listening on " + ", ".join(addresses), flush=True)
    try:
        while True:
            time.sleep(60)
    except KeyboardInterrupt:
        pass
    finally:
        service.stop()


if __name__ == "__main__":
    main()
