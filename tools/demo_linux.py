"""Runs the Linux tarnftp against the local stand-in service with a demo account.

With --interactive (a display) a person uses the window: tarnftp.ini beside a copy of the
program points it at the service, settings.bin goes to a temporary configuration folder, and
the desktop's own xdg-open opens what a logon leads to. Without it the program runs on a
private X server: screenshots of the window before and after typing go into out/, what the
service received and what xdg-open was handed are printed (the password as asterisks), and
last the window is saved once more as it opens at twice the pixel ratio.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "linux"))
sys.path.insert(0, str(ROOT / "tools" / "standin"))

from service import StandinService  # noqa: E402
from xsession import APP_TITLE, PROXY_VARIABLES, Desktop, XServer, running  # noqa: E402

PROGRAM = Path(os.environ.get("TARN_PROGRAM", ROOT / "build" / "linux-release" / "tarnftp"))
REDIRECT, WEBAPP = "127.0.0.2", "127.0.0.3"
USER, PASSWORD = "demo", "s3cret pass"


def masked(text):
    text = re.sub(r"(^|&)password=[^&]*", r"\1password=********", text)
    return re.sub(r"(ftp://[^:/@]*:)[^@]*@", r"\1********@", text)


def focused_window_area(desktop):
    """The logon window's area once it shows, focused and with the pointer off it, so that
    no button shows its hover face; None when it does not show."""
    window = desktop.window(APP_TITLE)
    if window is None:
        print("the logon window did not appear")
        return None
    desktop.xdotool("windowfocus", "--sync", window)
    area = desktop.geometry(window)
    desktop.xdotool("mousemove", area[0] + area[2] + 50, area[1] + area[3] + 50)
    return area


def log_on_headless(config, service, out):
    with XServer() as xserver:
        desktop = Desktop(xserver, config)
        try:
            with running(PROGRAM, desktop) as program:
                area = focused_window_area(desktop)
                if area is None:
                    return 1
                xserver.screenshot(out / "linux-logon-window-empty.png", area)
                desktop.xdotool("type", "--delay", 20, USER)
                desktop.xdotool("key", "Tab")
                desktop.xdotool("type", "--delay", 20, PASSWORD)
                xserver.screenshot(out / "linux-logon-window-filled.png", area)
                print("screenshots:", out / "linux-logon-window-empty.png",
                      out / "linux-logon-window-filled.png")
                desktop.xdotool("key", "Return")
                exit_code = program.wait(timeout=60)
            print(f"\ntarnftp ended with exit code {exit_code}\n\nthe service received:")
            for request in service.requests:
                print(f"  {request.local_address}:{request.local_port} {request.method} "
                      f"{request.target} {request.version}  "
                      f"User-Agent: {request.header('User-Agent')}")
                print(f"    body: {masked(request.body.decode('utf-8', 'replace'))}")
            print("\nxdg-open was handed:")
            opened = desktop.opened()
            for arguments in opened:
                print("  " + " ".join(masked(a) for a in arguments))
            if not opened:
                print("  nothing")
            if exit_code != 0 or not opened:
                return 1
            return save_at_twice_the_pixel_ratio(xserver, desktop, out)
        finally:
            desktop.close()


def save_at_twice_the_pixel_ratio(xserver, desktop, out):
    """The window once more, as it opens on a screen of twice the pixel density."""
    os.environ["QT_SCALE_FACTOR"] = "2"  # the program's environment is this one's
    with running(PROGRAM, desktop) as program:
        area = focused_window_area(desktop)
        if area is None:
            return 1
        xserver.screenshot(out / "linux-logon-window-2x.png", area)
        print("\nat twice the pixel ratio:", out / "linux-logon-window-2x.png")
        desktop.xdotool("key", "Escape")
        program.wait(timeout=10)
    return 0


def run_for_a_person(config):
    folder = Path(tempfile.mkdtemp(prefix="tarn-demo-"))
    try:
        shutil.copy(PROGRAM, folder / "tarnftp")
        (folder / "tarnftp.ini").write_text(config)
        # Whatever the umask: a tarnftp.ini its group may write is not read.
        (folder / "tarnftp.ini").chmod(0o600)
        env = {k: v for k, v in os.environ.items() if k not in PROXY_VARIABLES}
        env["XDG_CONFIG_HOME"] = str(folder / "config")
        print(f"tarnftp is running; log on as above, or close its window to end. "
              f"A remembered logon goes to {folder / 'config'} and is removed afterwards.")
        return subprocess.run([folder / "tarnftp"], env=env, check=False).returncode
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--interactive", action="store_true")
    options = parser.parse_args()

    service = StandinService("", {USER: PASSWORD})
    # Ports the system chooses, so that nothing needs root; the hosts carry them.
    redirect_port = service.listen(REDIRECT, 0)
    webapp_port = service.listen(WEBAPP, 0)
    service.webapp_url = f"http://{WEBAPP}:{webapp_port}/app"
    config = f"[RedirectHosts]\nHost1={REDIRECT}:{redirect_port}\n"
    print(f"local service on {REDIRECT}:{redirect_port} and {WEBAPP}:{webapp_port}, "
          f"account {USER!r} / {PASSWORD!r}")
    try:
        if options.interactive:
            return run_for_a_person(config)
        out = ROOT / "out"
        out.mkdir(exist_ok=True)
        return log_on_headless(config, service, out)
    finally:
        service.stop()


if __name__ == "__main__":
    sys.exit(main())
