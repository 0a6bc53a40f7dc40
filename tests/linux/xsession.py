"""Running the Linux tarnftp from outside: a private X server, a private home, the desktop's
opener replaced by a recorder, and xdotool to type into the window.

Used by the program's tests, tools/demo_linux.py and the benchmarks.
"""
import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from png import xwd_to_png  # noqa: E402

APP_TITLE = "TarnGroup FTP Logon"
BOX_TITLE = "tarnftp"
# libcurl takes proxies from these; the stand-in service is reached directly.
PROXY_VARIABLES = ("http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY",
                   "ALL_PROXY", "no_proxy", "NO_PROXY")

# Stands in for xdg-open: appends to $TARN_OPENER_LOG the number of its arguments and a
# newline, then each argument ended by a NUL. A shell script rather than Python, so that it
# starts in about a millisecond and the benchmark that reads the log as a pipe times the
# hand-over, not Python's start.
RECORDER = """#!/bin/sh
{ printf '%s\\n' "$#"; for argument in "$@"; do printf '%s\\0' "$argument"; done; } >>"$TARN_OPENER_LOG"
"""
# Ends the recorder when it stands in for an opener that fails: it says what it could
# not open on its error stream, as xdg-open does, and ends with the status.
FAILING_OPENER = """echo "no method available for opening '$1'" >&2
exit {status}
"""


def opener_records(data):
    """The argument lists of the recorder's records in data (bytes)."""
    records = []
    while data:
        count, _, data = data.partition(b"\n")
        arguments = []
        for _ in range(int(count)):
            argument, _, data = data.partition(b"\0")
            arguments.append(argument.decode("utf-8"))
        records.append(arguments)
    return records


class XServer:
    """A private Xvfb: its own display number, no TCP, its screen kept as an XWD file.

    -noreset: by default the server resets each time its last client leaves, as every xdotool
    run does here, and a client that connected meanwhile could not connect or was never
    answered (on a busy machine, about one program start in fifty)."""

    def __init__(self, width=1024, height=768, dpi=96):
        self.folder = Path(tempfile.mkdtemp(prefix="tarn-xvfb-"))
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-noreset", "-screen", "0",
             f"{width}x{height}x24", "-dpi", str(dpi), "-fbdir", str(self.folder)],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as announced:
            number = announced.readline().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def screenshot(self, png, area=None):
        """Saves the screen, or area (x, y, width, height) of it, as a PNG file."""
        xwd_to_png(self.folder / "Xvfb_screen0", png, area)


class Desktop:
    """A home of its own (HOME and XDG_CONFIG_HOME in a temporary folder), an X server, and a
    recorder named xdg-open first on PATH. config: the text of tarnftp.ini, written where the
    program looks for it in the user's configuration folder."""

    def __init__(self, xserver, config=None, log=None, opener_status=0):
        self.xserver = xserver
        self.home = Path(tempfile.mkdtemp(prefix="tarn-home-"))
        self.config_home = self.home / ".config"
        self.bin = self.home / "bin"
        self.bin.mkdir()
        self.runtime = self.home / "runtime"
        self.runtime.mkdir(mode=0o700)
        recorder = self.bin / "xdg-open"
        recorder.write_text(RECORDER + (FAILING_OPENER.format(status=opener_status)
                                        if opener_status else ""))
        recorder.chmod(0o755)
        self.log = Path(log) if log else self.home / "opener.log"
        # The session bus (session_bus()) and the desktop the session names, when set.
        self.bus = None
        self.session = {}
        if config is not None:
            # Private whatever the umask: a file others may change is not read.
            (self.config_home / "tarnftp").mkdir(mode=0o700, parents=True)
            (self.config_home / "tarnftp" / "tarnftp.ini").write_text(config)
            (self.config_home / "tarnftp" / "tarnftp.ini").chmod(0o600)

    def env(self):
        env = {k: v for k, v in os.environ.items() if k not in PROXY_VARIABLES}
        env.update(DISPLAY=self.xserver.display, HOME=str(self.home),
                   XDG_CONFIG_HOME=str(self.config_home), XDG_RUNTIME_DIR=str(self.runtime),
                   TARN_OPENER_LOG=str(self.log),
                   PATH=f"{self.bin}:{os.environ.get('PATH', '/usr/bin:/bin')}",
                   QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
        # Nothing of the caller's desktop session: no accessibility bus, no session bus.
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY",
                     "XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GIO_USE_VFS"):
            env.pop(name, None)
        if self.bus:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus
        env.update(self.session)
        return env

    def opened(self):
        """Every recorded opener start: the list of its arguments."""
        return opener_records(self.log.read_bytes()) if self.log.exists() else []

    def close(self):
        shutil.rmtree(self.home, ignore_errors=True)

    def xdotool(self, *args, timeout=30):
        """Runs xdotool on this display; returns its output."""
        done = subprocess.run(["xdotool", *map(str, args)], env=self.env(), capture_output=True,
                              timeout=timeout, check=True)
        return done.stdout.decode("utf-8").strip()

    def visible(self, title):
        """The ids of the visible windows named exactly title, as one search finds them now."""
        done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                              env=self.env(), capture_output=True, timeout=10)
        return done.stdout.decode("utf-8").split()

    def window(self, title, timeout=30):
        """The id of the visible window named exactly title, waited for; None after timeout
        seconds. Each look is a search of its own: one `search --sync` left running at times
        never found a window mapped after it started."""
        deadline = time.monotonic() + timeout
        while not (found := self.visible(title)):
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)
        return found[0]

    def windows_state(self, title):
        """What the X server holds of the windows named title, mapped or not: for a failure's
        message."""
        lines = []
        for window in subprocess.run(["xdotool", "search", "--name", f"^{title}$"],
                                     env=self.env(), capture_output=True, timeout=10,
                                     text=True).stdout.split():
            info = subprocess.run(["xwininfo", "-id", window], env=self.env(),
                                  capture_output=True, timeout=10, text=True).stdout
            lines += [window] + [line.strip() for line in info.splitlines()
                                 if "Map State" in line or "Width" in line or "Height" in line]
        return "\n".join(lines) or "no window of that name"

    def gone(self, title, timeout=10):
        """True once no visible window is named title (within timeout seconds)."""
        deadline = time.monotonic() + timeout
        while self.visible(title):
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)
        return True

    def press(self, window, *keys):
        """Gives window the keyboard's focus, then presses keys: a key pressed as a window
        maps may reach the window that had the focus before it."""
        self.xdotool("windowfocus", "--sync", window, "key", *keys)

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        values = dict(line.split("=", 1) for line in
                      self.xdotool("getwindowgeometry", "--shell", window).splitlines())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def bus_names(desktop):
    """The names on the desktop's session bus."""
    listed = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                             "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus.ListNames"], env=desktop.env(),
                            capture_output=True, text=True, timeout=30, check=True)
    return set(listed.stdout.split())


@contextlib.contextmanager
def session_bus(desktop, **services_env):
    """A session bus of the desktop's own (dbus-run-session) for as long as the block runs, with
    what it starts (GVfs's daemons, KDE's kiod), those with services_env added to their
    environment; Desktop.env() names it."""
    bus = subprocess.Popen(["dbus-run-session", "--", "sh", "-c",
                            'echo "$DBUS_SESSION_BUS_ADDRESS"; exec sleep 3600'],
                           env=desktop.env() | services_env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, start_new_session=True, text=True)
    try:
        desktop.bus = bus.stdout.readline().strip()
        yield desktop.bus
    finally:
        desktop.bus = None
        os.killpg(bus.pid, signal.SIGTERM)
        bus.wait(timeout=10)
        bus.stdout.close()


@contextlib.contextmanager
def running(program, desktop, *args):
    """The program started on the desktop; ended on leaving if it has not ended by itself.
    Yields the process, whose output goes to a file kept in the desktop's home."""
    output = open(desktop.home / "program.out", "wb")
    process = subprocess.Popen([str(program), *args], env=desktop.env(), stdin=subprocess.DEVNULL,
                               stdout=output, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        yield process
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGTERM)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        output.close()
