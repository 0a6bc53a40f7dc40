"""Puts a stand-in in place of C:\\windows\\explorer.exe in the current Wine prefix.

Wine's own desktop runs from system32\\explorer.exe, so the prefix keeps working while the
copy in C:\\windows is replaced; the original is put back afterwards.
"""
import contextlib
import os
import shutil
import tempfile
from pathlib import Path


def explorer_path():
    return Path(os.environ["WINEPREFIX"]) / "drive_c" / "windows" / "explorer.exe"


@contextlib.contextmanager
def stand_in_explorer(program):
    """Within the block, the shell starts program for C:\\windows\\explorer.exe."""
    target = explorer_path()
    saved = Path(tempfile.mkdtemp(prefix="tarn-explorer-"))
    had_original = target.exists()
    if had_original:
        shutil.copy2(target, saved / "explorer.exe")
    shutil.copy(program, target)
    try:
        yield target
    finally:
        if had_original:
            shutil.copy2(saved / "explorer.exe", target)
        else:
            target.unlink(missing_ok=True)
        shutil.rmtree(saved, ignore_errors=True)
