"""What every fault case shares: its record (did the program survive, did settings.bin lose
data), tarnftp.exe started for one case and driven through its logon window until the logon
settles, and the saved file's expected states."""
import struct
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from logonapp import (BOX, BOX_TEXT, CANCEL, LOGON, OK, PASSWORD, REMEMBER, USERNAME,  # noqa: E402
                      SavedFile, Suite)
from winetools import APP_TITLE, Install, driver, wait_until  # noqa: E402

UNAVAILABLE = "Logon failed, server unavailable."
REFUSED = "Logon failed."
CONNECT_FAILED = "The attempt to connect to the server failed."
UNRESOLVED = "The server name could not be resolved."
TOO_LARGE = "The server's answer is larger than 16 MB. It was not read to the end."
ACCOUNT = ("alice", "wonder1")
WRONG_PASSWORD = "wonder2"  # a password that the service never accepts


class CaseFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


class CaseRecord:
    """One case: what went wrong with the program, and what happened to the user's data.
    Whatever way the case ends, the program is ended first, then the data is checked, then
    what the case changed is put back."""

    def __init__(self, group, name):
        self.group, self.name = group, name
        self.failures = []
        self.losses = []
        self.cleanups = []
        self.data_checks = []
        self.restorations = []
        self.notes = []

    @property
    def survived(self):
        return not self.failures

    @property
    def lost_data(self):
        return bool(self.losses)

    def fail(self, message):
        self.failures.append(message)

    def lose(self, message):
        self.losses.append(message)

    def note(self, message):
        """What was seen, printed with --verbose."""
        self.notes.append(message)

    def on_end(self, function):
        self.cleanups.append(function)

    def restore(self, function):
        """function() puts back what the case changed, after the data checks."""
        self.restorations.append(function)

    def check_data(self, function):
        """function() gives a text describing lost data, or None."""
        self.data_checks.append(function)


def attempt(record, step):
    try:
        return step()
    except Exception as error:
        record.fail(f"after the case: {type(error).__name__}: {error}")
        return None


def run_case(record, body):
    try:
        body(record)
    except CaseFailed as failure:
        record.fail(str(failure))
    except Exception as error:  # a broken case must not stop the others
        record.fail(f"{type(error).__name__}: {error}")
    finally:
        for step in reversed(record.cleanups):
            attempt(record, step)
        for data_check in record.data_checks:
            loss = attempt(record, data_check)
            if loss:
                record.lose(loss)
        for step in reversed(record.restorations):
            attempt(record, step)
    return record


class Settled:
    """How a logon attempt ended: the boxes shown (text, icon) in order, and the exit code
    when the program ended (None: the window stayed open)."""

    def __init__(self, boxes, exit_code, seconds_to_first_box):
        self.boxes = boxes
        self.exit_code = exit_code
        self.seconds_to_first_box = seconds_to_first_box

    @property
    def closed(self):
        return self.exit_code is not None

    def __repr__(self):
        end = "open" if not self.closed else f"exit {self.exit_code}"
        return f"boxes {self.boxes}, {end}"


class AppRun:
    """tarnftp.exe in an install of its own for one case; ended with the case."""

    def __init__(self, record, ini, env=None):
        self.record = record
        self.install = Install(ini)
        record.on_end(self.install.cleanup)
        self.install.start(env={**Suite.shell.env(), **(env or {})})
        code, output = driver("wait", APP_TITLE, "30000")
        check(code == 0, f"the logon window did not open: {output.strip()}")

    @property
    def process(self):
        return self.install.process

    def ask(self, *args):
        code, output = driver(*map(str, args))
        check(code == 0, f"driver {args}: {output.strip()}")
        return output

    def box_shows(self, milliseconds):
        return driver("wait", BOX, str(milliseconds))[0] == 0

    def check_quiet_start(self):
        check(not self.box_shows(1000), "a box showed at start")

    def fields(self):
        return (self.ask("text", APP_TITLE, USERNAME), self.ask("text", APP_TITLE, PASSWORD),
                self.ask("checked", APP_TITLE, REMEMBER) == "1")

    def enter(self, user, password, remember):
        self.ask("type", APP_TITLE, USERNAME, user)
        self.ask("type", APP_TITLE, PASSWORD, password)
        if remember != (self.ask("checked", APP_TITLE, REMEMBER) == "1"):
            self.ask("click", APP_TITLE, REMEMBER)
            check(wait_until(lambda: (self.ask("checked", APP_TITLE, REMEMBER) == "1") == remember,
                             5), "the remember box did not change")

    def log_on(self, deadline=60.0):
        """Presses Logon and answers every box with OK until the program has ended, or a
        box has ended the attempt (the procedure's own message, or a stop box) and the
        window answers again with no box after it."""
        self.ask("click", APP_TITLE, LOGON)
        start = time.monotonic()
        boxes, first_box = [], None
        while time.monotonic() - start < deadline:
            if self.process.poll() is not None:
                return self.settled(boxes, self.process.returncode, first_box)
            if not self.box_shows(1000):
                continue
            if first_box is None:
                first_box = time.monotonic() - start
            text = self.ask("text", BOX, BOX_TEXT).replace("\r\n", "\n").rstrip()
            icon = self.ask("boxicon", BOX)
            boxes.append((text, icon))
            self.ask("answer", BOX, OK)
            if text in (UNAVAILABLE, REFUSED) or icon == "stop":
                check(not self.box_shows(500), f"a box after {text!r}")
                check(self.is_open(), f"the window does not answer after {boxes}")
                return self.settled(boxes, None, first_box)
        raise CaseFailed(f"the logon did not end within {deadline:.0f} s; boxes so far {boxes}")

    def settled(self, boxes, exit_code, first_box):
        settled = Settled(boxes, exit_code, first_box)
        timing = "" if first_box is None else f", first box after {first_box:.1f} s"
        self.record.note(f"{settled!r}{timing}")
        return settled

    def is_open(self):
        return self.process.poll() is None and driver("wait", APP_TITLE, "5000")[0] == 0

    def cancel(self):
        self.ask("click", APP_TITLE, CANCEL)
        self.check_exit()

    def check_exit(self):
        try:
            code = self.install.wait_exit(timeout=30)
        except Exception:
            raise CaseFailed("the program did not end")
        check(code == 0, f"the program ended with exit code {code:#x}")
        check(driver("gone", APP_TITLE, "5000")[0] == 0, "the window is still shown")


def explorer_opened(record, user, password):
    """The shell was handed the explorer on the user's ftp location."""
    shown = Suite.shell.take(5)
    if shown is None:
        record.fail("the destination was not opened")
    elif not shown.through_explorer or not shown.arguments or \
            not shown.arguments[0].startswith(f"ftp://{user}:{password}@"):
        record.fail(f"the shell was handed {shown!r}")


def saved_bytes(user, password):
    """What a save of user and password leaves after the filler."""
    return b"\1\0" + SavedFile.coded(user) + SavedFile.coded(password)


def forgotten(before):
    return None if before is None or len(before) < 402 else before[:400].ljust(len(before), b"\0")


def user_units(data):
    """The coded user name of a file: its units from offset 402 up to the first unit 0."""
    for offset in range(402, len(data) - 1, 2):
        if data[offset:offset + 2] == b"\0\0":
            return data[402:offset]
    return data[402:]


def difference(before, after):
    """How settings.bin changed, without showing what it holds."""
    def state(data):
        if data is None:
            return "absent"
        if len(data) < 402:
            return f"{len(data)} bytes"
        return f"{len(data)} bytes, marker {struct.unpack_from('<H', data, 400)[0]}"

    if before is not None and after is not None and len(before) >= 402 and len(after) >= 402:
        if after[400:] == before[400:]:
            return "its filler was rewritten"
        if after[402:] == before[402:]:
            return f"its marker went from {before[400]} to {after[400]}"
        if user_units(before) == user_units(after):
            return "the remembered password was replaced"
        return "the remembered logon was replaced"
    return f"it went from {state(before)} to {state(after)}"


def guard_saved_file(record, before, accepted_logon=None):
    """Checks, when the case ends, that settings.bin is as it was, or, after a logon that
    the service accepted (user, password, remember), as that logon leaves it."""
    path = SavedFile().path

    def loss():
        after = path.read_bytes() if path.is_file() else None
        record.note("settings.bin " + ("unchanged" if after == before else
                                       f"changed: {difference(before, after)}"))
        if after == before:
            return None
        if accepted_logon is not None:
            user, password, remember = accepted_logon
            if remember and after is not None and after[400:] == saved_bytes(user, password):
                return None
            if not remember and after == forgotten(before):
                return None
        return (f"settings.bin changed: {difference(before, after)}"
                + ("" if accepted_logon else ", though the service accepted no logon"))

    record.check_data(loss)
