#!/usr/bin/env bash
# Builds tarnftp.exe and the benchmark programs, then runs bench/run.py in tools/sandbox.sh
# and prints its table. TARN_BUILD_DIR picks another build folder than build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
build=${TARN_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target tarnftp baseline_dialog baseline_imports window_timer \
    bare_logon handover_recorder parse_cost exchange_probe
export TARN_BUILD_DIR
TARN_BUILD_DIR=$(cd "$build" && pwd)
exec tools/sandbox.sh python3 bench/run.py "$@"
