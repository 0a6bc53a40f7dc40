"""A broken tarnftp.ini: missing, empty, binary, or with values far longer than a host name.
Start-up stays quiet; a logon then reports each host that failed and that the server is
unavailable, and leaves settings.bin as it was."""
import random

from faultrun import (ACCOUNT, UNAVAILABLE, UNRESOLVED, WRONG_PASSWORD, AppRun, CaseRecord, check,
                      guard_saved_file, run_case)
from logonapp import SavedFile, Suite

LONG_VALUE = 5000


def binary_garbage():
    return random.Random(8).randbytes(4096)


def long_values():
    lines = ["[RedirectHosts]"] + [f"Host{i}={chr(96 + i) * LONG_VALUE}" for i in (1, 2, 3)]
    return "\r\n".join(lines) + "\r\n"


INI_CASES = [  # name, the file's contents (None: no file)
    ("missing", None),
    ("empty", b""),
    ("binary garbage", binary_garbage()),
    (f"{LONG_VALUE}-character values", long_values()),
]


def run_ini_case(record, contents):
    Suite.service.reset_behaviour()
    saved = SavedFile()
    before = saved.write(*ACCOUNT)
    guard_saved_file(record, before)
    app = AppRun(record, contents)
    app.check_quiet_start()
    app.enter(ACCOUNT[0], WRONG_PASSWORD, remember=True)
    settled = app.log_on()
    check(not settled.closed, f"the program ended: {settled!r}")
    # No host is usable, so each of the three names a server that cannot be found.
    expected = [(UNRESOLVED, "exclamation")] * 3 + [(UNAVAILABLE, "exclamation")]
    check(settled.boxes == expected, f"expected boxes {expected}, got {settled!r}")
    app.cancel()


def run_all():
    records = []
    for name, contents in INI_CASES:
        record = CaseRecord("tarnftp.ini", name)
        records.append(run_case(record, lambda r, c=contents: run_ini_case(r, c)))
    return records
