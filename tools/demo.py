"""Runs tarnftp.exe against the local stand-in service with a demo account.

With --interactive (a display) a person uses the window. Without it the logon runs through
the driver: screenshots of the window before and after typing go into out/, and what the
service received and what the explorer was handed are printed (the password as asterisks).
Last the window is started once more on a 144-dpi screen and saved as well.
"""
import argparse
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools"))
sys.path.insert(0, str(ROOT / "tools" / "standin"))

from png import bmp_to_png  # noqa: E402
from service import StandinService  # noqa: E402
from shellcapture import ShellCapture  # noqa: E402
from winetools import APP_TITLE, Install, driver, screen_dpi, windows_path  # noqa: E402

REDIRECT = "127.0.0.2"
WEBAPP_URL = "http://127.0.0.3/app"
USER, PASSWORD = "demo", "s3cret pass"
LOGON_BUTTON, USERNAME_BOX, PASSWORD_BOX = "1", "1012", "1013"


def masked(body):
    return re.sub(rb"(^|&)password=[^&]*", rb"\1password=********", body).decode("utf-8", "replace")


def screenshot(out, name):
    bmp = out / f"{name}.bmp"
    if driver("screenshot", APP_TITLE, windows_path(bmp))[0] != 0:
        raise RuntimeError("no screenshot of the logon window")
    bmp_to_png(bmp, out / f"{name}.png")
    bmp.unlink()
    print("screenshot:", out / f"{name}.png")


def log_on_headless(install, shell, service, out):
    install.start(env=shell.env())
    code, output = driver("wait", APP_TITLE, "30000")
    if code != 0:
        print("the logon window did not appear:", output)
        return 1
    screenshot(out, "logon-window-empty")
    driver("type", APP_TITLE, USERNAME_BOX, USER)
    driver("type", APP_TITLE, PASSWORD_BOX, PASSWORD)
    screenshot(out, "logon-window-filled")
    driver("click", APP_TITLE, LOGON_BUTTON)
    exit_code = install.wait_exit(timeout=60)
    print(f"\ntarnftp.exe ended with exit code {exit_code}\n\nthe service received:")
    for request in service.requests:
        print(f"  {request.local_address}:{request.local_port} {request.method} {request.target} "
              f"{request.version}  User-Agent: {request.header('User-Agent')}")
        print(f"    body: {masked(request.body)}")
    record = shell.take(timeout=10)
    print("\nthe explorer was handed:")
    if record is None:
        print("  nothing")
        return 1
    print(f"  program {record.program}")
    for argument in record.arguments:
        print("  argument", re.sub(r"(ftp://[^:]*:)[^@]*@", r"\1********@", argument))
    return 0 if exit_code == 0 else 1


def screenshot_at_dpi(dpi, out):
    """The empty window, started on a screen of dpi dots per inch, saved and closed."""
    install = Install(f"[RedirectHosts]\nHost1={REDIRECT}\n")
    try:
        with screen_dpi(dpi):
            install.start()
            if driver("wait", APP_TITLE, "30000")[0] != 0:
                print(f"the logon window did not appear at {dpi} dpi")
                return 1
            screenshot(out, f"logon-window-{dpi}dpi")
            driver("close", APP_TITLE)
            return 0 if install.wait_exit(timeout=30) == 0 else 1
    finally:
        install.cleanup()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--interactive", action="store_true")
    options = parser.parse_args()

    out = ROOT / "out"
    out.mkdir(exist_ok=True)
    service = StandinService(WEBAPP_URL, {USER: PASSWORD})
    service.start([REDIRECT, "127.0.0.3"], ports=(80,))
    print(f"local service on {REDIRECT} and 127.0.0.3, account {USER!r} / {PASSWORD!r}")
    install = Install(f"[RedirectHosts]\nHost1={REDIRECT}\n")
    try:
        if options.interactive:
            install.start()
            print("tarnftp.exe is running; log on as above, or close its window to end.")
            install.wait_exit(timeout=None)
            return 0
        shell = ShellCapture()
        shell.install()
        try:
            result = log_on_headless(install, shell, service, out)
        finally:
            shell.restore()
        return screenshot_at_dpi(144, out) or result
    finally:
        install.cleanup()
        service.stop()


if __name__ == "__main__":
    sys.exit(main())
