"""The Linux tarnftp's figures for bench/run.py's table: start-up against a bare Qt dialog
(baseline_qt_dialog) and the same dialog linking the program's libraries
(baseline_qt_libraries), the logon hand-over to xdg-open, and the sizes of the stripped binary
and the .deb.

The program is the one inside the .deb (TARN_LINUX_BUILD_DIR, default build/linux-release,
after `cpack --preset linux-release`), run on a private Xvfb with a home of its own. The
window is timed by xwatch.py from the X server's events; the hand-over by a recorder named
xdg-open first on PATH that writes into a pipe the benchmark waits on, so the time stamp is
taken the moment the recorder writes, by the same monotonic clock that stamped the key press.
"""
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "linux"))

from xsession import APP_TITLE, RECORDER, Desktop, XServer, opener_records, running  # noqa: E402
from xwatch import WindowWatch  # noqa: E402

BUILD = Path(os.environ.get("TARN_LINUX_BUILD_DIR", ROOT / "build" / "linux-release"))
BASELINE = BUILD / "baseline_qt_dialog"
# The same dialog linking the program's libraries besides Qt (libcurl).
BASELINE_LIBRARIES = BUILD / "baseline_qt_libraries"
BASELINE_TITLE = "Baseline Dialog"
TIMEOUT = 30
KIB = 1024


def newest_package():
    packages = sorted(BUILD.glob("tarnftp_*.deb"), key=lambda p: p.stat().st_mtime)
    if not packages:
        raise RuntimeError(f"no tarnftp_*.deb in {BUILD}: run cpack --preset linux-release")
    return packages[-1]


class Packaged:
    """The .deb's files taken out into a temporary folder; .program is /usr/bin/tarnftp."""

    def __init__(self):
        self.deb = newest_package()
        self.folder = Path(tempfile.mkdtemp(prefix="tarn-bench-deb-"))
        subprocess.run(["dpkg-deb", "-x", self.deb, self.folder], check=True)
        self.program = self.folder / "usr" / "bin" / "tarnftp"

    def close(self):
        shutil.rmtree(self.folder, ignore_errors=True)


def measure_startup(programs, config, rounds):
    """{index in programs: [(ms to the window mapped, ms to the first drawing in it)]} from
    the process start; programs are (title, path), started in turn so that any drift of the
    machine weighs on all alike."""
    results = {i: [] for i in range(len(programs))}
    with XServer() as xserver:
        for round_ in range(rounds + 1):  # the first round warms the file cache
            for i, (title, program) in enumerate(programs):
                desktop = Desktop(xserver, config)
                try:
                    with WindowWatch(xserver.display) as watch:
                        started = time.monotonic()
                        with running(program, desktop):
                            mapped, drawn = watch.wait_shown(title, TIMEOUT)
                    if round_ and mapped and drawn:
                        results[i].append((1000 * (mapped - started), 1000 * (drawn - started)))
                finally:
                    desktop.close()
    return results


class OpenerPipe:
    """A named pipe the recorder writes into; held open for reading and writing here, so that
    neither side ever sees it closed between logons."""

    def __init__(self, folder):
        self.path = Path(folder) / "opener.pipe"
        os.mkfifo(self.path, 0o600)
        self.fd = os.open(self.path, os.O_RDWR | os.O_NONBLOCK)

    def wait(self, timeout):
        """(monotonic time the recorder's record arrived, its arguments); (None, None) after
        timeout seconds."""
        ready, _, _ = select.select([self.fd], [], [], timeout)
        arrived = time.monotonic()
        if not ready:
            return None, None
        data = b""
        deadline = arrived + 5
        while time.monotonic() < deadline:  # a record may come in more than one write
            try:
                data += os.read(self.fd, 65536)
            except BlockingIOError:
                pass
            count, newline, rest = data.partition(b"\n")
            if newline and count.isdigit() and rest.count(b"\0") >= int(count):
                return arrived, opener_records(data)[0]
            select.select([self.fd], [], [], 0.1)
        return arrived, None

    def close(self):
        os.close(self.fd)


def measure_recorder(folder, rounds):
    """[ms] from spawning the recorder to its record arriving: what the hand-over figures
    include beyond tarnftp (an upper bound, as Python's spawn is in it as well)."""
    recorder = Path(folder) / "xdg-open"
    recorder.write_text(RECORDER)
    recorder.chmod(0o755)
    pipe = OpenerPipe(folder)
    times = []
    try:
        env = dict(os.environ, TARN_OPENER_LOG=str(pipe.path))
        for _ in range(rounds):
            started = time.monotonic()
            process = subprocess.Popen([recorder, "ftp://x"], env=env)
            arrived, _ = pipe.wait(TIMEOUT)
            process.wait()
            if arrived:
                times.append(1000 * (arrived - started))
    finally:
        pipe.close()
    return times


def measure_logons(program, config, user, password, expected, rounds):
    """[ms from the Enter key's press to xdg-open's record] of the rounds in which xdg-open
    was handed exactly expected; and the count of rounds that handed it something else."""
    results, wrong = [], 0
    work = Path(tempfile.mkdtemp(prefix="tarn-bench-logon-"))
    pipe = OpenerPipe(work)
    try:
        with XServer() as xserver:
            for round_ in range(rounds + 1):  # the first round warms the caches
                desktop = Desktop(xserver, config, log=pipe.path)
                try:
                    with WindowWatch(xserver.display) as watch, \
                            running(program, desktop) as process:
                        mapped, _ = watch.wait_shown(APP_TITLE, TIMEOUT)
                        if not mapped:
                            continue
                        window = desktop.window(APP_TITLE)
                        desktop.xdotool("windowfocus", "--sync", window)
                        desktop.xdotool("type", "--delay", 5, user)
                        desktop.xdotool("key", "Tab")
                        desktop.xdotool("type", "--delay", 5, password)
                        # The Enter key on the password box presses the default button, Logon.
                        pressed = watch.press("Return")
                        arrived, arguments = pipe.wait(TIMEOUT)
                        if arrived is not None:
                            try:
                                process.wait(timeout=TIMEOUT)
                            except subprocess.TimeoutExpired:
                                pass  # ended on leaving
                    if not round_ or arrived is None:
                        continue
                    if arguments == [expected]:
                        results.append(1000 * (arrived - pressed))
                    else:
                        wrong += 1
                finally:
                    desktop.close()
    finally:
        pipe.close()
        shutil.rmtree(work, ignore_errors=True)
    return results, wrong


def median(values):
    return statistics.median(values) if values else float("nan")


def spread(values):
    return f"{median(values):.1f} ms (min {min(values):.1f}, max {max(values):.1f})"


def add_startup_rows(table, startup, rounds):
    """startup: measure_startup's results for tarnftp (0), the Qt baseline dialog (1) and
    the same dialog linking tarnftp's libraries (2)."""
    tarn, base, same = startup[0], startup[1], startup.get(2)
    if not tarn or not base or not same:
        table.row("  tarnftp (Linux)", "a window did not show", "ratio <= 1.10", False)
        return
    for label, times in (("tarnftp (Linux)", tarn), ("Qt baseline dialog", base),
                         ("Qt baseline, tarnftp's libraries", same)):
        table.row(f"  {label}, window mapped", spread([m for m, _ in times]))
        table.row(f"  {label}, first drawn into", spread([d for _, d in times]),
                  f"({len(times)}/{rounds} rounds)")
    ratio = median([m for m, _ in tarn]) / median([m for m, _ in base])
    table.row("  ratio tarnftp (Linux) / Qt baseline, mapped", f"{ratio:.2f}", "<= 1.10",
              ratio <= 1.10)
    ratio = median([m for m, _ in tarn]) / median([m for m, _ in same])
    table.row("  ratio tarnftp (Linux) / Qt baseline with its libraries, mapped",
              f"{ratio:.2f}", "<= 1.05", ratio <= 1.05)


def add_logon_rows(table, latency, injected, logons, wrong, recorder, rounds):
    label = f"  Linux tarnftp (Enter to xdg-open), {latency * 1000:.0f} ms per response"
    if not logons:
        other = f" ({wrong} handed another location)" if wrong else ""
        table.row(label, f"no logon completed{other}", "", False)
        return
    handover = median(logons)
    done = f"{len(logons)}/{rounds} done" + (f", {wrong} handed another location" if wrong else "")
    if latency:
        overhead = handover - injected
        table.row(label, f"{handover:.1f} ms ({done})",
                  f"time - {injected:.0f} ms < {0.1 * injected:.0f} ms", overhead < 0.1 * injected)
        table.row("    over the injected latency", f"{overhead:.1f} ms ({overhead / injected:.1%})")
    else:
        table.row(label, f"{handover:.1f} ms ({done})", "(floor: no latency)")
    if recorder:
        table.row("    of which the recorder's own start, at most", f"{median(recorder):.1f} ms",
                  "(dash started by Python, to its record)")


def add_size_rows(table, packaged):
    size = packaged.program.stat().st_size
    described = subprocess.run(["file", "-b", packaged.program], capture_output=True,
                               text=True).stdout
    stripped = ", stripped" in described
    table.row("  tarnftp (Linux) size", f"{size / KIB:.1f} KiB ({size} B, "
              f"{'stripped' if stripped else 'NOT stripped'})", "(Qt and libcurl are shared)")
    deb = packaged.deb.stat().st_size
    table.row("  .deb size", f"{deb / KIB:.1f} KiB ({packaged.deb.name})")
