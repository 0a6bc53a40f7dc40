#!/usr/bin/python3
"""A local FTP server standing in for the storage: one folder of files, served on a loopback
address to the accounts it is given.

Run by Debian's own Python, which has python3-pyftpdlib. The accounts come as JSON on standard
input, so that no password stands on a command line; each logon attempt is written to the log
file as "ok USER" or "refused USER" (never the password), and "ready" on standard output once
it listens. Used by the tests and the demo through FtpServer.
"""
import ipaddress
import json
import subprocess
import sys
from pathlib import Path

DEBIAN_PYTHON = "/usr/bin/python3"


class FtpServer:
    """The server in a process of its own: address, port, accounts {user: password}, root
    folder (made, with readme.txt in it), log file."""

    def __init__(self, address, port, accounts, root, log):
        self.log = Path(log)
        self.log.write_text("")
        root = Path(root)
        root.mkdir(parents=True, exist_ok=True)
        (root / "readme.txt").write_text("Welcome to your storage.\n")
        self.process = subprocess.Popen(
            [DEBIAN_PYTHON, __file__, address, str(port), str(root), str(self.log)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.process.stdin.write(json.dumps(accounts) + "\n")
        self.process.stdin.close()
        if self.process.stdout.readline().strip() != "ready":
            self.close()
            raise RuntimeError(f"the FTP server did not start on {address}:{port}")

    def attempts(self):
        """The logon attempts so far: a list of (outcome, user)."""
        return [tuple(line.split(" ", 1)) for line in self.log.read_text().splitlines()]

    def clear_log(self):
        self.log.write_text("")

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


def serve(address, port, root, log):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging

    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    for user, password in json.loads(sys.stdin.readline()).items():
        authorizer.add_user(user, password, root, perm="elr")

    def note(line):
        with open(log, "a", encoding="utf-8") as out:
            out.write(line + "\n")

    class Handler(FTPHandler):
        def on_login(self, username):
            note(f"ok {username}")

        def on_login_failed(self, username, password):
            note(f"refused {username}")

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0.5
    server = FTPServer((address, int(port)), Handler)
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    if not ipaddress.ip_address(sys.argv[1]).is_loopback:
        sys.exit(f"the FTP server listens on loopback addresses only, not {sys.argv[1]!r}")
    serve(*sys.argv[1:5])
