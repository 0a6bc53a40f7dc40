"""Runs tarnftp.exe for a look: interactively on a display, or headless with screenshots."""
import argparse
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools"))

from png import bmp_to_png  # noqa: E402
from winetools import APP_TITLE, Install, driver, windows_path  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--interactive", action="store_true")
    options = parser.parse_args()

    out = ROOT / "out"
    out.mkdir(exist_ok=True)
    install = Install("[RedirectHosts]\nHost1=127.0.0.2\n")
    try:
        install.start()
        if options.interactive:
            print("tarnftp.exe is running; close its window to end.")
            install.wait_exit(timeout=None)
            return 0
        code, output = driver("wait", APP_TITLE, "30000")
        if code != 0:
            print("the logon window did not appear:", output)
            return 1
        bmp = out / "logon-window.bmp"
        driver("screenshot", APP_TITLE, windows_path(bmp))
        bmp_to_png(bmp, out / "logon-window.png")
        bmp.unlink()
        print("screenshot of the logon window:", out / "logon-window.png")
        driver("close", APP_TITLE)
        install.wait_exit()
        return 0
    finally:
        install.cleanup()


if __name__ == "__main__":
    sys.exit(main())
