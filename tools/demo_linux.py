"""Runs the Linux tarnftp against the local stand-in service with a demo account.

With --interactive (a display) a person uses the window: tarnftp.ini beside a copy of the
program points it at the service, settings.bin goes to a temporary configuration folder, and
the desktop's own xdg-open opens what a logon leads to. Without it (run by tools/run.sh in a
network namespace of its own) the web application answers on port 80 and the storage's FTP
server on port 21 of one loopback address, and the program runs on a private X server with a
session bus and GVfs of its own: screenshots of the window before and after typing go into
out/, and what the service received, what was mounted, the storage's files through that mount
and what xdg-open was handed are printed (the password as asterisks); last the window is saved
once more as it opens at twice the pixel ratio.
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

from ftp import FtpServer  # noqa: E402
from service import StandinService  # noqa: E402
from xsession import (APP_TITLE, PROXY_VARIABLES, Desktop, XServer, running,  # noqa: E402
                      session_bus)

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


def gio(desktop, *args):
    """gio's output on the desktop's session bus, one line a list item."""
    done = subprocess.run(["gio", *args], env=desktop.env(), capture_output=True, text=True,
                          timeout=30, check=False)
    return (done.stdout + done.stderr).splitlines()


def log_on_headless(config, service, out):
    with XServer() as xserver:
        desktop = Desktop(xserver, config)
        try:
            with session_bus(desktop), running(PROGRAM, desktop) as program:
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
                exit_code = program.wait(timeout=90)
                opened = desktop.opened()
                print("\nGVfs mounted:")
                for line in gio(desktop, "mount", "--list"):
                    if line.startswith("Mount("):
                        print("  " + masked(line))
                for arguments in opened[:1]:
                    print(f"\nthe files of {masked(arguments[0])} through that mount "
                          f"(gio list, no password given):")
                    for line in gio(desktop, "list", arguments[0]):
                        print("  " + masked(line))
            print(f"\ntarnftp ended with exit code {exit_code}\n\nthe service received:")
            for request in service.requests:
                print(f"  {request.local_address}:{request.local_port} {request.method} "
                      f"{request.target} {request.version}  "
                      f"User-Agent: {request.header('User-Agent')}")
                print(f"    body: {masked(request.body.decode('utf-8', 'replace'))}")
            print("\nxdg-open was handed:")
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
    ftp = folder = None
    if options.interactive:
        # Ports the system chooses, so that nothing needs root; the hosts carry them.
        redirect_port = service.listen(REDIRECT, 0)
        webapp_port = service.listen(WEBAPP, 0)
        service.webapp_url = f"http://{WEBAPP}:{webapp_port}/app"
    else:
        # The ftp host is the web application's: HTTP on 80 and FTP on 21 of one address.
        redirect_port = service.listen(REDIRECT, 0)
        service.listen(WEBAPP, 80)
        service.webapp_url = f"http://{WEBAPP}/app"
        folder = Path(tempfile.mkdtemp(prefix="tarn-demo-ftp-"))
        ftp = FtpServer(WEBAPP, 21, {USER: PASSWORD}, folder / "root", folder / "log")
        print(f"FTP server on {WEBAPP}:21 serving {folder / 'root'}")
    config = f"[RedirectHosts]\nHost1={REDIRECT}:{redirect_port}\n"
    print(f"local service on {REDIRECT}:{redirect_port} and {service.webapp_url}, "
          f"account {USER!r} / {PASSWORD!r}")
    try:
        if options.interactive:
            return run_for_a_person(config)
        out = ROOT / "out"
        out.mkdir(exist_ok=True)
        return log_on_headless(config, service, out)
    finally:
        service.stop()
        if ftp:
            ftp.close()
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
