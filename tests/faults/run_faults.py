#!/usr/bin/env python3
"""Drives the real tarnftp.exe under Wine through faults of the service and bad input in
its files, and prints a table: cases tried, survived, lost data, then one line per case
that did not survive or lost data. Exits 1 when any did.

    run_faults.py [--verbose] [server] [ini] [settings]

--verbose also prints what each case saw; naming groups runs only those.

Runs itself inside tools/sandbox.sh when started outside it (a private network namespace,
an X server and a fresh Wine prefix). TARN_BUILD_DIR names the Windows build.
"""
import os
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parents[1]


def reenter_sandbox():
    if os.environ.get("TARN_IN_XVFB"):
        return
    os.execv(str(SOURCE / "tools" / "sandbox.sh"),
             [str(SOURCE / "tools" / "sandbox.sh"), sys.executable, str(Path(__file__).resolve()),
              *sys.argv[1:]])


def print_notes(records):
    for record in records:
        for note in record.notes:
            print(f"  {record.group}: {record.name}: {note}")


def print_table(records, seconds):
    groups = {}
    for record in records:
        groups.setdefault(record.group, []).append(record)
    rows = [(group, len(rs), sum(r.survived for r in rs), sum(r.lost_data for r in rs))
            for group, rs in groups.items()]
    rows.append(("all", len(records), sum(r.survived for r in records),
                 sum(r.lost_data for r in records)))
    width = max(len(row[0]) for row in rows)
    print(f"\n{'case group':<{width}}  tried  survived  lost data")
    for group, tried, survived, lost in rows:
        if group == "all":
            print("-" * (width + 28))
        print(f"{group:<{width}}  {tried:5}  {survived:8}  {lost:9}")
    print(f"({seconds:.0f} s)")
    bad = [r for r in records if not r.survived or r.lost_data]
    if bad:
        print("\ncases that did not survive or lost data:")
    for record in bad:
        what = "; ".join([*(f"did not survive: {f}" for f in record.failures),
                          *(f"lost data: {loss}" for loss in record.losses)])
        print(f"- {record.group}: {record.name}: {what}")
    return not bad


def main():
    reenter_sandbox()
    sys.path.insert(0, str(HERE))
    import ini_cases
    import server_cases
    import settings_cases
    from faultrun import ACCOUNT
    from logonapp import start_suite, stop_suite

    groups = {"server": server_cases, "ini": ini_cases, "settings": settings_cases}
    verbose = "--verbose" in sys.argv[1:]
    chosen = [arg for arg in sys.argv[1:] if arg != "--verbose"] or list(groups)
    start = time.monotonic()
    start_suite(dict([ACCOUNT]))
    records = []
    try:
        for name in chosen:
            group_start = time.monotonic()
            done = groups[name].run_all()
            records += done
            print(f"{name}: {len(done)} cases in {time.monotonic() - group_start:.0f} s",
                  flush=True)
    finally:
        stop_suite()
    if verbose:
        print_notes(records)
    return 0 if print_table(records, time.monotonic() - start) else 1


if __name__ == "__main__":
    sys.exit(main())
