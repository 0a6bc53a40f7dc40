"""Running tarnftp.exe and its driver under Wine, in the prefix of the current test run.

tools/sandbox.sh gives every Windows test run a fresh WINEPREFIX, an X server and a
network namespace of its own; without it a prefix under /tmp is made here.
"""
import contextlib
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

WINE = "/usr/lib/wine/wine64"
BUILD = Path(os.environ.get("TARN_BUILD_DIR", Path(__file__).resolve().parents[2] / "build" / "windows"))
APP_TITLE = "TarnGroup FTP Logon"


def wine_env():
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d")
    if "WINEPREFIX" not in env:
        env["WINEPREFIX"] = str(Path(tempfile.gettempdir()) / "tarn-e2e-prefix")
    return env


_server_started = False


def ensure_server():
    """Starts a persistent wineserver with no pipes of ours, so that no test's process
    starts one that would inherit its output pipes and hold them open."""
    global _server_started
    if not _server_started:
        subprocess.run(["/usr/lib/wine/wineserver", "-p"], env=wine_env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        _server_started = True


def wine(*args, timeout=60, check=False):
    """Runs a program in the prefix; returns the completed process with its output.

    Output goes through files, not pipes: Wine may start helper processes (the desktop
    window's process, for one) that inherit the handles and outlive the program, and a
    pipe would then never end."""
    ensure_server()
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run([WINE, *map(str, args)], env=wine_env(), stdin=subprocess.DEVNULL,
                              stdout=out, stderr=err, timeout=timeout, check=False)
        out.seek(0)
        err.seek(0)
        done.stdout, done.stderr = out.read(), err.read()
    if check and done.returncode != 0:
        raise subprocess.CalledProcessError(done.returncode, done.args, done.stdout, done.stderr)
    return done


def windows_path(path):
    """The path of a host file as the programs in the prefix see it (drive Z: is /)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def host_path(path):
    """The host file behind a path of the prefix's drive C: or Z:."""
    drive, _, rest = path.partition(":")
    rest = rest.lstrip("\\").replace("\\", "/")
    if drive.upper() == "Z":
        return Path("/") / rest
    return Path(wine_env()["WINEPREFIX"]) / "drive_c" / rest


def appdata_folder():
    """The host folder behind the prefix's per-user application-data folder."""
    done = wine("cmd", "/c", "echo", "%APPDATA%", check=True)
    return host_path(done.stdout.decode("utf-8", "replace").strip())


def driver(*args, timeout=60):
    """Runs one driver command; returns (exit code, UTF-8 output). A failed command's output
    ends with what Wine printed on its error stream, for the test's message."""
    done = wine(BUILD / "driver.exe", *args, timeout=timeout)
    # Under load Wine now and then ends a process with 1 before its code has run, with no output
    # at all; the driver's waiting commands never fail so. Each command is safe to repeat, so one
    # that ended so is run again, twice at most.
    for _ in range(2):
        if done.returncode != 1 or done.stdout or done.stderr:
            break
        done = wine(BUILD / "driver.exe", *args, timeout=timeout)
    output = done.stdout
    if done.returncode != 0:
        output += done.stderr
    return done.returncode, output.decode("utf-8", "replace")


def reg_query(key, value):
    """The (type, data) of a registry value in the prefix, or None when it is absent."""
    done = wine("reg", "query", key, "/v", value)
    for line in done.stdout.decode("utf-8", "replace").splitlines():
        line = line.strip()
        if line.startswith(value + " "):
            kind, _, data = line[len(value):].strip().partition(" ")
            return kind, data.strip()
    return None


@contextlib.contextmanager
def screen_dpi(dpi):
    """Programs started inside the block see a screen of dpi dots per inch (Wine reads the
    value when a program starts); the prefix's earlier value is put back afterwards."""
    key, value = r"HKCU\Control Panel\Desktop", "LogPixels"
    before = reg_query(key, value)
    wine("reg", "add", key, "/v", value, "/t", "REG_DWORD", "/d", str(dpi), "/f", check=True)
    try:
        yield
    finally:
        if before is None:
            wine("reg", "delete", key, "/v", value, "/f", check=True)
        else:
            wine("reg", "add", key, "/v", value, "/t", before[0], "/d", before[1], "/f", check=True)


class Install:
    """tarnftp.exe copied into a folder of its own (or a subfolder of it), with an optional
    tarnftp.ini beside it."""

    def __init__(self, ini=None, subfolder="."):
        self.root = Path(tempfile.mkdtemp(prefix="tarnftp-install-"))
        self.folder = self.root / subfolder
        self.folder.mkdir(parents=True, exist_ok=True)
        self.exe = self.folder / "tarnftp.exe"
        shutil.copy(BUILD / "tarnftp.exe", self.exe)
        if ini is not None:
            (self.folder / "tarnftp.ini").write_bytes(ini.encode("utf-8") if isinstance(ini, str) else ini)
        self.process = None

    @classmethod
    def existing(cls, folder):
        """The exe of an install made elsewhere (by the installer), run there and left in place."""
        install = cls.__new__(cls)
        install.root, install.folder = None, Path(folder)
        install.exe, install.process = install.folder / "tarnftp.exe", None
        return install

    def start(self, *args, env=None):
        """Starts the exe with args; env adds variables that it (and what it starts) sees."""
        ensure_server()
        self.process = subprocess.Popen([WINE, str(self.exe), *args], env={**wine_env(), **(env or {})},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.process

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def cleanup(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)


def wait_until(predicate, timeout=10.0, interval=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(interval)
    return predicate()
