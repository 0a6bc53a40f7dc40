#!/usr/bin/env python3
"""Logon time and answer memory of the WinInet exchange under Wine, on loopback.

    TARN_BUILD_DIR=<windows build> python3 bench/logon_bench.py [--rounds 20]

Runs in a private network namespace of its own (re-executing itself under unshare when it
is not in one yet), with the local stand-in service on 127.0.0.2 and 127.0.0.3. Uses
WINEPREFIX when set, else a throw-away prefix.
"""

import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools" / "standin"))
from service import Response, StandinService, sized_body  # noqa: E402

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
PROBE = pathlib.Path(os.environ.get("TARN_BUILD_DIR", ROOT / "build")) / "exchange_probe.exe"
REDIRECT, WEBAPP, PAGES = "127.0.0.2", "127.0.0.3", "127.0.0.6"
LATENCY = 0.100
BODY = 10 * 1000 * 1000


def isolate():
    if os.environ.get("TARN_BENCH_ISOLATED"):
        return
    os.environ["TARN_BENCH_ISOLATED"] = "1"
    script = 'ip link set lo up && exec "$0" "$@"'
    os.execvp("unshare", ["unshare", "--net", "sh", "-c", script, sys.executable, *sys.argv])


def probe_lines(*args):
    run = subprocess.run([WINE, str(PROBE), *args], capture_output=True, check=True)
    return [line.split(" ") for line in run.stdout.decode("ascii").splitlines()]


def logon_times(rounds):
    lines = probe_lines("time", str(rounds), REDIRECT, "", "", "demo", "secret")
    results = {int(line[1]) for line in lines if line[0] == "TIME"}
    assert results == {0}, f"logons did not succeed: {results}"
    return [float(line[2]) for line in lines if line[0] == "TIME"]


def peak_memory(url):
    """(units returned, peak working set before the call, after it), as the probe sees it."""
    fields = next(line for line in probe_lines("memory", url) if line[0] == "MEMORY")
    return int(fields[1]), int(fields[2]), int(fields[3])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=20)
    args = parser.parse_args()
    isolate()

    prefix = None
    if "WINEPREFIX" not in os.environ:
        prefix = tempfile.mkdtemp(prefix="tarn-bench-")
        os.environ["WINEPREFIX"] = prefix
    os.environ.setdefault("WINEDEBUG", "-all")
    os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")

    service = StandinService(f"http://{WEBAPP}/app", {"demo": "secret"})
    service.start([REDIRECT, WEBAPP, PAGES], ports=(80,))
    service.configure(PAGES, "/big", Response(body=sized_body(BODY)))
    service.configure(PAGES, "/small", Response(body=b"x"))
    try:
        probe_lines("post", f"http://{PAGES}/small")  # warm the prefix and wineserver
        plain = logon_times(args.rounds)
        service.latency = LATENCY
        delayed = logon_times(args.rounds)
        service.latency = 0
        small = peak_memory(f"http://{PAGES}/small")
        big = peak_memory(f"http://{PAGES}/big")
    finally:
        service.stop()
        if prefix:
            subprocess.run([WINESERVER, "-k"], check=False)
            shutil.rmtree(prefix, ignore_errors=True)

    # A first logon in a new session is two exchanges: the redirect and the logon.
    injected = 2 * LATENCY
    plain_median = statistics.median(plain)
    delayed_median = statistics.median(delayed)
    overhead = delayed_median - injected
    mb = 1e6
    rows = [
        ("logons per series", f"{args.rounds}"),
        ("median ApiLogon, no latency", f"{plain_median * 1000:.1f} ms"),
        ("  min / max", f"{min(plain) * 1000:.1f} / {max(plain) * 1000:.1f} ms"),
        (f"median ApiLogon, {LATENCY * 1000:.0f} ms per response",
         f"{delayed_median * 1000:.1f} ms"),
        ("  injected (2 responses)", f"{injected * 1000:.0f} ms"),
        ("  overhead over injected", f"{overhead * 1000:.1f} ms ({overhead / injected:.1%})"),
        ("body for memory test", f"{BODY / mb:.1f} MB ({big[0]} units returned)"),
        ("peak working set, 1-byte body", f"{small[2] / mb:.1f} MB"),
        ("peak working set, 10 MB body", f"{big[2] / mb:.1f} MB"),
        ("  growth during the call", f"{(big[2] - big[1]) / mb:.1f} MB "
                                     f"({(big[2] - big[1]) / BODY:.2f}x body)"),
        ("  over the 1-byte run", f"{(big[2] - small[2]) / mb:.1f} MB "
                                  f"({(big[2] - small[2]) / BODY:.2f}x body)"),
    ]
    width = max(len(name) for name, _ in rows)
    for name, value in rows:
        print(f"{name:<{width}}  {value}")


if __name__ == "__main__":
    main()
