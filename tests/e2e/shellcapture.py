"""Captures what tarnftp.exe hands to the shell, in the prefix of the test run.

The recorder (shell_recorder.exe) takes the place of C:\\windows\\explorer.exe, which the
shell starts as a program (Wine's own desktop runs from system32\\explorer.exe, which stays),
and of the http and https handlers under HKCU and HKLM, as a second copy named browser.exe.
So every target ends in a log that says which of the two received it and with what
command line. install() changes the prefix and restore() puts back what was there.
"""
import shutil
import tempfile
import time
from pathlib import Path

from winetools import BUILD, host_path, wine, windows_path

EXPLORER = r"C:\windows\explorer.exe"
BROWSER = r"C:\tarn-shell-capture\browser.exe"
SCHEMES = ("http", "https")
HIVES = ("HKCU", "HKLM")


def scheme_key(hive, scheme):
    return rf"{hive}\Software\Classes\{scheme}"


def import_registry(reg_file):
    # reg import failed once in a handful of runs, right after the previous suite's
    # registry changes, so it is tried again before the suite gives up.
    for attempt in range(5):
        done = wine("reg", "import", windows_path(reg_file))
        if done.returncode == 0:
            return
        time.sleep(0.5)
    raise RuntimeError(f"reg import {reg_file}: {done.stdout!r} {done.stderr!r}")


class Record:
    """One start of the recorder: the program as started and the split arguments."""

    def __init__(self, units):
        fields = units.split("\0")[:-1]
        self.command_line = fields[0]
        self.program, self.arguments = fields[1], fields[2:]

    @property
    def through_explorer(self):
        return self.program.lower() == EXPLORER.lower()

    @property
    def through_browser(self):
        return self.program.lower() == BROWSER.lower()

    def __repr__(self):
        return f"Record({self.command_line!r})"


class ShellCapture:
    def __init__(self):
        self.folder = Path(tempfile.mkdtemp(prefix="tarn-shell-capture-"))
        self.log = self.folder / "shell.log"
        self.backups = {}

    def install(self):
        explorer = host_path(EXPLORER)
        shutil.copy(explorer, self.folder / "explorer.exe.original")
        shutil.copy(BUILD / "shell_recorder.exe", explorer)
        browser = host_path(BROWSER)
        browser.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(BUILD / "shell_recorder.exe", browser)
        # The handler's command, "browser.exe" "%1", as a quoted .reg string.
        command = '"\\"' + BROWSER.replace("\\", "\\\\") + '\\" \\"%1\\""'
        lines = ["REGEDIT4", ""]
        for hive in HIVES:
            for scheme in SCHEMES:
                key = scheme_key(hive, scheme)
                backup = self.folder / f"{hive}-{scheme}.reg"
                exported = wine("reg", "export", key, windows_path(backup), "/y")
                self.backups[key] = backup if exported.returncode == 0 else None
                full = key.replace("HKCU", "HKEY_CURRENT_USER").replace("HKLM", "HKEY_LOCAL_MACHINE")
                lines += [f"[{full}\\shell\\open\\command]", "@=" + command, ""]
        redirect = self.folder / "redirect.reg"
        redirect.write_text("\r\n".join(lines), encoding="ascii")
        import_registry(redirect)

    def restore(self):
        shutil.copy(self.folder / "explorer.exe.original", host_path(EXPLORER))
        shutil.rmtree(host_path(BROWSER).parent, ignore_errors=True)
        for key, backup in self.backups.items():
            wine("reg", "delete", key, "/f")
            if backup is not None:
                import_registry(backup)
        shutil.rmtree(self.folder, ignore_errors=True)

    def env(self):
        """The variables tarnftp.exe is started with, so that the recorder finds its log."""
        return {"TARN_SHELL_RECORDER_LOG": windows_path(self.log)}

    def clear(self):
        self.log.unlink(missing_ok=True)

    def take(self, timeout=10.0):
        """The next record, or None when the shell started nothing within timeout; the log
        is emptied for the next one."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.log.exists():
                record = Record(self.log.read_bytes().decode("utf-16-le"))
                self.clear()
                return record
            time.sleep(0.05)
        return None
