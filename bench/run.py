#!/usr/bin/env python3
"""Benchmarks of tarnftp.exe under Wine, printed as one table with goals and verdicts.

    tools/sandbox.sh python3 bench/run.py      (tools/bench.sh builds first, then this)

Needs the Windows build (TARN_BUILD_DIR, default build/windows) with the targets tarnftp,
baseline_dialog, baseline_imports, bare_logon, startup_twin, window_timer, handover_recorder,
parse_cost and exchange_probe, and for the Linux program's rows its .deb and the two Qt
baselines (bench/linux_bench.py), and
runs in the sandbox: the stand-in service binds port 80 on 127.0.0.2 and up. Timings are
printed, never asserted. --edition linux or windows measures one program alone.
"""
import argparse
import os
import shutil
import statistics
import struct
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools" / "standin"))
sys.path.insert(0, str(Path(__file__).resolve().parent))

import linux_bench  # noqa: E402
from report import Table, log_log_slope, size_label  # noqa: E402
from service import Response, StandinService, sized_body  # noqa: E402
from stand_in_explorer import stand_in_explorer  # noqa: E402
from winetools import APP_TITLE, BUILD, Install, wine, windows_path  # noqa: E402

BASELINE_TITLE = "Baseline Dialog"
BARE_LOGON_TITLE = "Bare Logon"
REDIRECT, WEBAPP, PAGES = "127.0.0.2", "127.0.0.3", "127.0.0.6"
WEBAPP_PATH = "/app"
USER, PASSWORD = "demo", "secret"
LATENCY = 0.100
# A first logon is two exchanges: the redirect call and the logon call.
ROUND_TRIPS = 2
EXCHANGE_SIZES = (1000, 10_000, 100_000, 1_000_000, 10_000_000)
KIB = 1024
MB = 1e6


def timer_lines(work, *args, timeout=300):
    """Runs window_timer; returns its output lines, split."""
    out = work / f"timer-{time.monotonic_ns()}.txt"
    done = wine(BUILD / "window_timer.exe", *args[:2], windows_path(out), *args[2:],
                timeout=timeout)
    if not out.exists():
        raise RuntimeError(f"window_timer ended with {done.returncode} and wrote nothing")
    lines = [line.split(" ") for line in out.read_text("utf-8").splitlines()]
    for line in lines:
        if line[0] in ("FAILED", "UNEXPECTED"):
            print("window_timer:", " ".join(line), file=sys.stderr)
    return lines


def measure_startup(work, programs, rounds, warm_up_log=None):
    """{index in programs: [(ms, peak working set bytes)]}; programs are (title, exe) or
    (title, exe, arguments), started in turn so that any drift of the machine weighs on all
    alike. warm_up_log, a file the programs write, is removed after the warm-up rounds."""
    targets = [part for title, exe, *arguments in programs
               for part in (title, "|".join([windows_path(exe), *arguments]))]
    timer_lines(work, "startup", 2, *targets)  # warms the file cache and the wineserver
    if warm_up_log:
        warm_up_log.unlink(missing_ok=True)
    results = {i: [] for i in range(len(programs))}
    for line in timer_lines(work, "startup", rounds, *targets):
        if line[0] == "STARTUP":
            results[int(line[1])].append((float(line[2]), int(line[3])))
    return results


def measure_logons(work, programs, service, latency, rounds):
    """{index in programs: [(handover ms, log ms, peak working set bytes)]} of the rounds
    whose explorer was handed the expected location; programs are (title, exe), logged on
    with in turn (A B A B ...)."""
    log = work / "handover.txt"
    os.environ["TARN_BENCH_HANDOVER_LOG"] = windows_path(log)
    # Where the bare logon posts: it reads no answer to find the hosts.
    os.environ["TARN_BENCH_REDIRECT_HOST"] = REDIRECT
    os.environ["TARN_BENCH_WEBAPP_HOST"] = WEBAPP
    os.environ["TARN_BENCH_WEBAPP_PATH"] = WEBAPP_PATH
    expected = f"ftp://{USER}:{PASSWORD}@{WEBAPP}"
    targets = [part for title, exe in programs for part in (title, windows_path(exe))]
    service.latency = latency
    try:
        # A first round warms the file cache and the wineserver for both.
        timer_lines(work, "logon", 1, USER, PASSWORD, windows_path(log), expected, *targets)
        lines = timer_lines(work, "logon", rounds, USER, PASSWORD, windows_path(log), expected,
                            *targets)
    finally:
        service.latency = 0
    results = {i: [] for i in range(len(programs))}
    for l in lines:
        if l[0] == "LOGON" and l[5] == "1":
            results[int(l[1])].append((float(l[2]), float(l[3]), int(l[4])))
    wrong = sum(1 for l in lines if l[0] == "LOGON" and l[5] != "1")
    if wrong:
        print(f"{wrong} logons handed the explorer another location", file=sys.stderr)
    return results


def measure_api_logons(service, latency, rounds):
    """[seconds] of ApiLogon alone (redirect and logon calls, no window, no shell), each
    in a new session of one process, as exchange_probe times them."""
    service.latency = latency
    try:
        done = wine(BUILD / "exchange_probe.exe", "time", rounds, REDIRECT, "", "", USER,
                    PASSWORD, timeout=300, check=True)
    finally:
        service.latency = 0
    lines = [l.split(" ") for l in done.stdout.decode("ascii").splitlines()]
    return [float(l[2]) for l in lines if l[0] == "TIME" and l[1] == "0"]


def measure_parse_cost():
    """[(size, decode ns/B, fields ns/B, total ns/B)] from parse_cost.exe."""
    done = wine(BUILD / "parse_cost.exe", timeout=300, check=True)
    return [(int(f[1]), float(f[2]), float(f[3]), float(f[4]))
            for f in (l.split(" ") for l in done.stdout.decode("ascii").splitlines())
            if f[0] == "PARSE"]


def measure_exchange_cost(service, repeats):
    """{size: median seconds} of WinInet posts whose answer is that many bytes, read and
    decoded by the exchange, as exchange_probe times them."""
    urls = []
    for size in EXCHANGE_SIZES:
        service.configure(PAGES, f"/body{size}", Response(body=sized_body(size)))
        urls += [f"http://{PAGES}/body{size}"] * repeats
    # The first post of a process also opens the session: leave it out of the figures.
    urls.insert(0, f"http://{PAGES}/body{EXCHANGE_SIZES[0]}")
    done = wine(BUILD / "exchange_probe.exe", "summary", *urls, timeout=300, check=True)
    elapsed = [float(l.split(" ")[1]) for l in done.stdout.decode("ascii").splitlines()
               if l.startswith("ELAPSED ")][1:]
    return {size: statistics.median(elapsed[i * repeats:(i + 1) * repeats])
            for i, size in enumerate(EXCHANGE_SIZES)}


def stripped(exe):
    """True when the PE file carries no COFF symbol table."""
    data = exe.read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    symbol_table, symbols = struct.unpack_from("<II", data, pe + 4 + 8)
    return symbol_table == 0 and symbols == 0


def median_of(values):
    return statistics.median(values) if values else float("nan")


def add_startup(table, startup, rounds):
    table.section(f"Start-up: process start to the window visible (median of {rounds})")
    tarn, base, same = ([ms for ms, _ in startup[i]] for i in range(3))
    if not tarn or not base or not same:
        table.row("  start-up", "a window did not show", "ratio <= 1.10", False)
        return
    for label, times in (("tarnftp.exe", tarn), ("baseline dialog", base),
                         ("baseline dialog, tarnftp's imports", same)):
        table.row(f"  {label}",
                  f"{median_of(times):.1f} ms (min {min(times):.1f}, max {max(times):.1f})")
    ratio = median_of(tarn) / median_of(base)
    table.row("  ratio tarnftp / baseline", f"{ratio:.2f}", "<= 1.10", ratio <= 1.10)
    table.row("  ratio tarnftp / baseline with its imports",
              f"{median_of(tarn) / median_of(same):.2f}", "(the program's own share)")


# The start-up twin's moments, in the order tarnftp.exe reaches them, each with what happens
# between the one before and it (bench/baseline/StartupTwin.cpp stamps them).
TWIN_MOMENTS = (
    ("main", "loader: the exe, its imports and their start-up"),
    ("ini", "tarnftp.ini read (3 keys)"),
    ("registry", "\"Use PASV\" written"),
    ("folder", "application-data folder asked of the shell"),
    ("appicon", "window icon loaded: display driver and theme come up"),
    ("dialog", "the template's window and controls made"),
    ("subclass", "5 buttons hooked, 4 made owner-drawn"),
    ("seticon", "window icon set (big and small)"),
    ("icons", "4 button icons loaded and measured"),
    ("saved", "settings.bin read"),
    ("window", "boxes filled, taskbar style, centred"),
    ("names", "accessible names: COM, ole32 and oleacc loaded"),
    ("shown", "queue drained, window shown"),
)


def read_twin_traces(path):
    """[{moment: ms since the process's creation}] of the twin's runs with every step on."""
    if not path.exists():
        return []
    runs = []
    for line in path.read_text("utf-8").splitlines():
        fields = line.split(" ")
        if fields[0] == "TWIN":
            run = dict(field.split("=", 1) for field in fields[1:])
            if all(moment in run for moment, _ in TWIN_MOMENTS):
                runs.append({moment: float(ms) for moment, ms in run.items()})
    return runs


def add_startup_twin(table, startup, first, traces, rounds):
    """startup[first] and startup[first + 1]: the twin with no step and with every step on;
    traces: its in-process time stamps (read_twin_traces)."""
    table.section(f"Start-up against its twin: the same calls and resources, nothing of "
                  f"tarnftp's own (median of {rounds}, in turn with the rows above)")
    tarn, bare, twin = ([ms for ms, _ in startup[i]] for i in (0, first, first + 1))
    if not tarn or not bare or not twin:
        table.row("  start-up twin", "a window did not show", "ratio <= 1.05", False)
        return
    for label, times in (("twin, template alone", bare), ("twin, every call (the floor)", twin)):
        table.row(f"  {label}",
                  f"{median_of(times):.1f} ms (min {min(times):.1f}, max {max(times):.1f})")
    ratio = median_of(tarn) / median_of(twin)
    table.row("  ratio tarnftp / twin", f"{ratio:.2f}", "<= 1.05", ratio <= 1.05)
    # Runs slowed by the machine's other work gather in the upper half.
    table.row("    the same, lower quartiles",
              f"{statistics.quantiles(tarn, n=4)[0] / statistics.quantiles(twin, n=4)[0]:.2f}",
              "(less touched by the machine's load)")
    table.row("  tarnftp over the twin", f"{median_of(tarn) - median_of(twin):+.1f} ms",
              "(tarnftp's own work)")
    if len(tarn) == len(twin):
        # Both ran in every round: the difference within a round is free of the drift between
        # rounds.
        paired = [a - b for a, b in zip(tarn, twin)]
        low, _, high = statistics.quantiles(paired, n=4)
        table.row("    the same, round by round", f"{median_of(paired):+.1f} ms "
                  f"(quartiles {low:+.1f}, {high:+.1f})")
    if not traces:
        table.row("  the twin's call-by-call stamps", "none written", "", False)
        return
    table.section(f"The twin's start-up call by call (median of {len(traces)} runs, "
                  "from inside the process)")
    previous = None
    for moment, what in TWIN_MOMENTS:
        step = median_of([run[moment] - (run[previous] if previous else 0.0) for run in traces])
        table.row(f"  {what}", f"{step:.1f} ms")
        previous = moment
    total = median_of([run["shown"] for run in traces])
    table.row("  process created to window shown", f"{total:.1f} ms",
              "(from the process's creation time)")


def add_logon(table, logons, api_logons, rounds):
    """logons: {latency: {0: tarnftp's results, 1: the bare logon's}}."""
    table.section(f"Logon: Logon click to the explorer handed its location (median of {rounds}, "
                  "tarnftp and the bare logon in turn)")
    for latency, by_program in logons.items():
        results, bare = by_program[0], by_program[1]
        injected = ROUND_TRIPS * latency * 1000
        label = f"  {latency * 1000:.0f} ms per response"
        if not results:
            table.row(label, "no logon completed", "", False)
            continue
        handover = median_of([h for h, _, _ in results])
        seen = median_of([s for _, s, _ in results])
        overhead = handover - injected
        done = f"{len(results)}/{rounds} done"
        if latency:
            table.row(label, f"{handover:.1f} ms ({done})",
                      f"time - {injected:.0f} ms < {0.1 * injected:.0f} ms", overhead < 0.1 * injected)
            table.row("    over the injected latency", f"{overhead:.1f} ms ({overhead / injected:.1%})")
        else:
            table.row(label, f"{handover:.1f} ms ({done})", "(floor: no latency)")
        table.row("    until the explorer's log appeared", f"{seen:.1f} ms",
                  "(includes Wine starting it)")
        if api_logons.get(latency):
            table.row("    ApiLogon alone (exchange_probe)",
                      f"{median_of(api_logons[latency]) * 1000:.1f} ms",
                      "(no window, no shell)")
        if not bare:
            table.row("    bare logon", "no logon completed", "", False)
            continue
        bare_handover = median_of([h for h, _, _ in bare])
        times = [h for h, _, _ in bare]
        table.row("    bare logon", f"{bare_handover:.1f} ms (min {min(times):.1f}, "
                  f"max {max(times):.1f}, {len(bare)}/{rounds} done)")
        if latency:
            table.row("      its time over the injected latency",
                      f"{bare_handover - injected:.1f} ms", "(the platform's floor)")
        ratio = handover / bare_handover
        table.row("    ratio tarnftp / bare logon", f"{ratio:.2f}", "<= 1.25", ratio <= 1.25)
        table.row("    tarnftp over the bare logon", f"{handover - bare_handover:.1f} ms")


def add_size_and_memory(table, tarnftp, startup, logons):
    table.section("Size and memory")
    size = tarnftp.stat().st_size
    table.row("  tarnftp.exe size", f"{size / KIB:.1f} KiB ({size} B, "
              f"{'stripped' if stripped(tarnftp) else 'NOT stripped'})", "< 400 KiB",
              size < 400 * KIB and stripped(tarnftp))
    peaks = [p for by_program in logons.values() for _, _, p in by_program[0] if p]
    if peaks:
        table.row("  peak working set during a logon", f"{median_of(peaks) / MB:.1f} MB "
                  f"(max {max(peaks) / MB:.1f} MB)", "(GetProcessMemoryInfo of tarnftp.exe)")
    shown = {i: [p for _, p in startup[i] if p] for i in startup}
    if shown[0] and shown[1]:
        table.row("  peak working set, window shown", f"tarnftp {median_of(shown[0]) / MB:.1f} MB, "
                  f"baseline {median_of(shown[1]) / MB:.1f} MB")


def add_cost_growth(table, parse, exchange):
    table.section("Cost as the answer grows (ns per byte)")
    for size, decode, fields, total in parse:
        table.row(f"  decode + 2 fields, {size_label(size)}",
                  f"{total:.3f} (decode {decode:.3f}, fields {fields:.3f})")
    if parse:
        slope = log_log_slope([p[0] for p in parse], [p[3] for p in parse])
        table.row("  growth exponent, decode + fields", f"{slope:.2f}", "linear: <= 1.1",
                  slope <= 1.1)
    # The probe times posts to the millisecond and a post has a fixed cost of its own (the
    # connection), so its rows give the cost per byte above the smallest answer's post, and
    # only where the difference is well clear of the probe's resolution.
    smallest = min(exchange, default=0)
    for size, seconds in exchange.items():
        grown = seconds - exchange[smallest]
        extra = f", {grown * 1e9 / (size - smallest):.3f} ns/B above it" if grown >= 0.010 else ""
        table.row(f"  WinInet post, read + decode, {size_label(size)}",
                  f"{seconds * 1000:.1f} ms{extra}")


def measure_linux(args):
    """The Linux program's figures, against a stand-in service of its own on the same
    addresses (started and stopped here, before the Windows measurements)."""
    packaged = linux_bench.Packaged()
    config = f"[RedirectHosts]\nHost1={REDIRECT}\n"
    results = {"packaged": packaged, "startup": {0: [], 1: [], 2: []}, "logons": {},
               "recorder": []}
    service = StandinService(f"http://{WEBAPP}{WEBAPP_PATH}", {USER: PASSWORD})
    service.start([REDIRECT, WEBAPP], ports=(80,))
    work = Path(tempfile.mkdtemp(prefix="tarn-bench-linux-"))
    try:
        if args.only != "logon":
            results["startup"] = linux_bench.measure_startup(
                [(APP_TITLE, packaged.program),
                 (linux_bench.BASELINE_TITLE, linux_bench.BASELINE),
                 (linux_bench.BASELINE_TITLE, linux_bench.BASELINE_LIBRARIES)], config,
                args.startup_rounds)
        if args.only != "startup":
            expected = f"ftp://{USER}:{PASSWORD}@{WEBAPP}"
            for latency in (0.0, LATENCY):
                service.latency = latency
                results["logons"][latency] = linux_bench.measure_logons(
                    packaged.program, config, USER, PASSWORD, expected, args.logon_rounds)
            service.latency = 0
            results["recorder"] = linux_bench.measure_recorder(work, args.logon_rounds)
    finally:
        service.stop()
        shutil.rmtree(work, ignore_errors=True)
    return results


def add_linux_logons(table, linux, rounds):
    for latency, (handovers, wrong) in linux["logons"].items():
        linux_bench.add_logon_rows(table, latency, ROUND_TRIPS * latency * 1000, handovers, wrong,
                                   linux["recorder"], rounds)


def linux_table(args, linux):
    table = Table()
    if args.only != "logon":
        table.section("Start-up: process start to the window shown "
                      f"(median of {args.startup_rounds})")
        linux_bench.add_startup_rows(table, linux["startup"], args.startup_rounds)
    if args.only != "startup":
        table.section(f"Logon: Enter on the password box to xdg-open started (median of "
                      f"{args.logon_rounds})")
        add_linux_logons(table, linux, args.logon_rounds)
    if not args.only:
        table.section("Size")
        linux_bench.add_size_rows(table, linux["packaged"])
    linux["packaged"].close()
    return table


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--startup-rounds", type=int, default=20)
    parser.add_argument("--logon-rounds", type=int, default=15)
    parser.add_argument("--exchange-repeats", type=int, default=3)
    parser.add_argument("--only", choices=("startup", "logon"),
                        help="only the start-up or the logon comparison")
    parser.add_argument("--edition", choices=("both", "windows", "linux"), default="both",
                        help="the Windows exe, the Linux program or both")
    args = parser.parse_args()
    began = time.monotonic()
    windows = args.edition != "linux"
    linux = measure_linux(args) if args.edition != "windows" else None
    if not windows:
        print(linux_table(args, linux).render())
        print(f"\n(run took {time.monotonic() - began:.0f} s)")
        return

    work = Path(tempfile.mkdtemp(prefix="tarn-bench-"))
    install = Install(f"[RedirectHosts]\nHost1={REDIRECT}\n")
    baseline = work / "baseline" / "baseline_dialog.exe"
    baseline.parent.mkdir()
    shutil.copy(BUILD / "baseline_dialog.exe", baseline)
    baseline_imports = baseline.with_name("baseline_imports.exe")
    shutil.copy(BUILD / "baseline_imports.exe", baseline_imports)
    bare_logon = baseline.with_name("bare_logon.exe")
    shutil.copy(BUILD / "bare_logon.exe", bare_logon)
    service = StandinService(f"http://{WEBAPP}{WEBAPP_PATH}", {USER: PASSWORD})
    service.start([REDIRECT, WEBAPP, PAGES], ports=(80,))
    try:
        # The twin reads the same tarnftp.ini: it sits beside the program.
        twin = install.exe.with_name("startup_twin.exe")
        shutil.copy(BUILD / "startup_twin.exe", twin)
        programs = [(APP_TITLE, install.exe), (BASELINE_TITLE, baseline),
                    (BASELINE_TITLE, baseline_imports)]
        twin_first = len(programs)
        programs += [(APP_TITLE, twin, "none"), (APP_TITLE, twin)]
        twin_trace = work / "twin-trace.txt"
        os.environ["TARN_TWIN_TRACE"] = windows_path(twin_trace)
        if args.only != "logon":
            startup = measure_startup(work, programs, args.startup_rounds, twin_trace)
            twin_traces = read_twin_traces(twin_trace)
        if args.only != "startup":
            with stand_in_explorer(BUILD / "handover_recorder.exe"):
                logons = {latency: measure_logons(work, [(APP_TITLE, install.exe),
                                                         (BARE_LOGON_TITLE, bare_logon)],
                                                  service, latency, args.logon_rounds)
                          for latency in (0.0, LATENCY)}
        if not args.only:
            api_logons = {latency: measure_api_logons(service, latency, args.logon_rounds)
                          for latency in (0.0, LATENCY)}
            parse = measure_parse_cost()
            exchange = measure_exchange_cost(service, args.exchange_repeats)
    finally:
        service.stop()
        install.cleanup()
        shutil.rmtree(work, ignore_errors=True)

    table = Table()
    if args.only != "logon":
        add_startup(table, startup, args.startup_rounds)
        if linux:
            linux_bench.add_startup_rows(table, linux["startup"], args.startup_rounds)
        add_startup_twin(table, startup, twin_first, twin_traces, args.startup_rounds)
    if args.only != "startup":
        add_logon(table, logons, api_logons if not args.only else {}, args.logon_rounds)
        if linux:
            add_linux_logons(table, linux, args.logon_rounds)
    if not args.only:
        add_size_and_memory(table, BUILD / "tarnftp.exe", startup, logons)
        if linux:
            linux_bench.add_size_rows(table, linux["packaged"])
        add_cost_growth(table, parse, exchange)
    print(table.render())
    if linux:
        linux["packaged"].close()
    print(f"\n(run took {time.monotonic() - began:.0f} s under Wine in {os.environ.get('WINEPREFIX')})")


if __name__ == "__main__":
    main()
