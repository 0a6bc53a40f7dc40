"""A damaged settings.bin: a real saved file cut at every length up to 420 bytes, random
bytes, a directory in its place, a read-only file, and no folder to keep it in (a file
named tarngroupFTP in the folder's place).

The window opens at once, quietly, and restores only what the file's rules give: nothing
from a file too short to hold the marker or with a marker other than 1, and each field as
far as the file reaches. Cancel leaves the file as it was; a logon that goes through opens
the destination whatever became of the file."""
import os
import random
import shutil
import stat
import struct
import subprocess
import tempfile
from pathlib import Path

from faultrun import (ACCOUNT, AppRun, CaseRecord, check, explorer_opened, guard_saved_file,
                      run_case, saved_bytes)
from logonapp import REDIRECT1, SavedFile, Suite, ini
from winetools import BUILD, Install, wine, windows_path

LONGEST_CUT = 420
PROBE_SECONDS_PER_START = 2.0


def restored(data):
    """The user name and password that the file's rules restore: nothing unless the marker
    at 400 is 1; then fields of units (256 - u) mod 65536, each ended by a unit 0 or by the
    end of the file (a lone last byte is no unit)."""
    if len(data) < 402 or struct.unpack_from("<H", data, 400)[0] != 1:
        return "", ""
    units = struct.unpack_from(f"<{(len(data) - 402) // 2}H", data, 402)
    fields, field = [], []
    for unit in units:
        if unit == 0:
            fields.append(field)
            field = []
            if len(fields) == 2:
                break
        else:
            field.append((256 - unit) % 65536)
    fields.append(field)
    texts = ["".join(map(chr, f)) for f in fields[:2]]
    return texts[0], texts[1] if len(texts) > 1 else ""


def shown(data):
    """What the window shows for a file: the boxes are filled, and the remember box
    checked, only for a restored user name. A box's text ends at a NUL character."""
    user, password = restored(data)
    if not user:
        return "", "", False
    return user.split("\0")[0], password.split("\0")[0], True


def units_hex(text):
    if not text:
        return "-"
    raw = text.encode("utf-16-le", "surrogatepass")
    return "".join(f"{u:04x}" for u in struct.unpack(f"<{len(raw) // 2}H", raw))


def random_files():
    """Random bytes, and random bytes behind a marker 1 (so the fields are random too)."""
    rng = random.Random(2024)
    files = [(f"random {n} bytes", rng.randbytes(n)) for n in (1, 399, 403, 777, 4096)]
    for n in (404, 460, 3000):
        data = bytearray(rng.randbytes(n))
        data[400:402] = b"\1\0"
        files.append((f"random {n} bytes, marker 1", bytes(data)))
    return files


def probe_restores(inputs):
    """Starts the program once per (name, bytes) through restore_probe.exe; gives one
    report line per input."""
    work = Path(tempfile.mkdtemp(prefix="tarn-faults-probe-"))
    install = Install(ini(REDIRECT1))
    try:
        paths = []
        for i, (_, data) in enumerate(inputs):
            path = work / f"{i:04d}.bin"
            path.write_bytes(data)
            paths.append(windows_path(path))
        (work / "list.txt").write_text("\n".join(paths) + "\n", encoding="utf-8")
        saved = SavedFile()
        saved.folder.mkdir(parents=True, exist_ok=True)
        wine(BUILD / "restore_probe.exe", windows_path(install.exe), windows_path(saved.path),
             windows_path(work / "list.txt"), windows_path(work / "report.txt"),
             timeout=60 + PROBE_SECONDS_PER_START * len(inputs))
        report = work / "report.txt"
        lines = report.read_text(encoding="utf-8").splitlines() if report.exists() else []
        return lines + [None] * (len(inputs) - len(lines))
    finally:
        install.cleanup()
        shutil.rmtree(work, ignore_errors=True)


def judge_restore(record, data, line):
    if line is None:
        record.fail("no report: the probe stopped before this start")
        return
    opened, box, user, password, checked, exit_code, unchanged = line.split("\t")
    if unchanged == "0":
        record.lose("settings.bin changed between the start and Cancel")
    if opened != "1":
        record.fail(f"the window did not open ({exit_code})")
        return
    if box != "0":
        record.fail("a box showed at start")
    want_user, want_password, want_checked = shown(data)
    record.note(f"shows {len(want_user)} + {len(want_password)} characters, checked {want_checked}")
    got = (user, password, checked == "1")
    want = (units_hex(want_user), units_hex(want_password), want_checked)
    if got != want:
        record.fail(f"restored {got}, expected {want}")
    if exit_code != "0":
        record.fail(f"after Cancel: exit {exit_code}")


def restore_cases(real_file):
    inputs = [(f"cut at {n} bytes", real_file[:n]) for n in range(LONGEST_CUT + 1)]
    inputs += random_files()
    lines = probe_restores(inputs)
    records = []
    for (name, data), line in zip(inputs, lines):
        group = "settings.bin, random" if name.startswith("random") else "settings.bin, cut"
        record = CaseRecord(group, name)
        judge_restore(record, data, line)
        records.append(record)
    return records


def make_real_file(record):
    """A logon with remember on, from no file: the file that the cuts are taken from."""
    saved = SavedFile()
    saved.path.unlink(missing_ok=True)
    app = AppRun(record, ini(REDIRECT1))
    app.enter(*ACCOUNT, remember=True)
    settled = app.log_on()
    check(settled.closed and not settled.boxes, f"the logon did not go through: {settled!r}")
    app.check_exit()
    explorer_opened(record, *ACCOUNT)
    data = saved.read()
    check(data is not None and data[400:] == saved_bytes(*ACCOUNT),
          f"the saved file is {data!r:.60}")
    check(len(data) > LONGEST_CUT, "the saved file is too short to cut")
    record.real_file = data


def log_on_through(record, remember):
    """A logon that the service accepts; the program must end and open the destination."""
    app = AppRun(record, ini(REDIRECT1))
    app.check_quiet_start()
    app.enter(*ACCOUNT, remember=remember)
    settled = app.log_on()
    check(settled.closed and not settled.boxes, f"the logon did not go through: {settled!r}")
    app.check_exit()
    explorer_opened(record, *ACCOUNT)


def start_or_log_on(record, remember):
    """remember None: a quiet start with empty boxes, then Cancel; else a logon that goes through."""
    if remember is None:
        app = AppRun(record, ini(REDIRECT1))
        app.check_quiet_start()
        check(app.fields() == ("", "", False), f"restored {app.fields()}")
        app.cancel()
    else:
        log_on_through(record, remember)


def check_no_leftover(record):
    leftover = SavedFile().folder / "settings.tmp"
    record.check_data(lambda: f"{leftover.name} was left behind" if leftover.exists() else None)


def directory_in_place(record, remember):
    saved = SavedFile()
    saved.path.unlink(missing_ok=True)
    saved.path.mkdir(parents=True)
    (saved.path / "keep.txt").write_bytes(b"kept")
    record.restore(lambda: shutil.rmtree(saved.path, ignore_errors=True))
    keep = saved.path / "keep.txt"
    record.check_data(lambda: None if keep.is_file() and keep.read_bytes() == b"kept"
                      else "the directory in settings.bin's place was changed")
    check_no_leftover(record)
    start_or_log_on(record, remember)


def make_read_only(record, path):
    """Read-only as the program sees it (no write permission: Wine's read-only attribute).
    Wine running as root would still write such a file, so it is also made immutable where
    the file system allows, which makes every write and replacement fail as on Windows."""
    os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    record.restore(lambda: os.chmod(path, stat.S_IRUSR | stat.S_IWUSR))
    if os.geteuid() == 0:
        done = subprocess.run(["chattr", "+i", str(path)], capture_output=True, check=False)
        if done.returncode == 0:
            record.restore(lambda: subprocess.run(["chattr", "-i", str(path)], check=False))
        else:
            record.note("chattr +i failed: Wine as root may write the file regardless")


def read_only(record, remember):
    saved = SavedFile()
    saved.path.unlink(missing_ok=True)
    before = saved.write("alice", "old password")
    make_read_only(record, saved.path)
    guard_saved_file(record, before, (*ACCOUNT, remember))
    check_no_leftover(record)
    log_on_through(record, remember)


def folder_is_a_file(record, remember):
    saved = SavedFile()
    shutil.rmtree(saved.folder, ignore_errors=True)
    saved.folder.write_bytes(b"not a folder")
    record.restore(lambda: saved.folder.unlink(missing_ok=True))
    record.check_data(lambda: None if saved.folder.is_file() and
                      saved.folder.read_bytes() == b"not a folder"
                      else "the file named tarngroupFTP was changed")
    start_or_log_on(record, remember)


PLACE_CASES = [  # group, name, body, remember (None: start and Cancel only)
    ("settings.bin, a directory", "start and Cancel", directory_in_place, None),
    ("settings.bin, a directory", "logon, remember on", directory_in_place, True),
    ("settings.bin, a directory", "logon, remember off", directory_in_place, False),
    ("settings.bin, read-only", "logon, remember on", read_only, True),
    ("settings.bin, read-only", "logon, remember off", read_only, False),
    ("app-data folder unwritable", "start and Cancel", folder_is_a_file, None),
    ("app-data folder unwritable", "logon, remember on", folder_is_a_file, True),
    ("app-data folder unwritable", "logon, remember off", folder_is_a_file, False),
]


def run_all():
    Suite.service.reset_behaviour()
    records = []
    real = run_case(CaseRecord("settings.bin, cut", "saved by a logon"), make_real_file)
    records.append(real)
    if hasattr(real, "real_file"):
        records += restore_cases(real.real_file)
    SavedFile().path.unlink(missing_ok=True)
    for group, name, body, remember in PLACE_CASES:
        record = CaseRecord(group, name)
        records.append(run_case(record, lambda r, b=body, m=remember: b(r, m)))
    return records
