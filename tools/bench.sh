#!/usr/bin/env bash
# Builds tarnftp.exe and the benchmark programs, and the Linux program's .deb, then runs
# bench/run.py in tools/sandbox.sh and prints its table. TARN_BUILD_DIR picks another build
# folder than build/windows; --edition linux (or windows) builds and measures one alone.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
# Which programs to build: bench/run.py's --edition, read here as well.
edition=both
arguments=("$@")
for i in "${!arguments[@]}"; do
    case "${arguments[$i]}" in
    --edition=*) edition=${arguments[$i]#--edition=} ;;
    --edition) edition=${arguments[$((i + 1))]:-both} ;;
    esac
done
if [ "$edition" != linux ]; then
    build=${TARN_BUILD_DIR:-build/windows}
    cmake --preset windows -B "$build" >/dev/null
    cmake --build "$build" -j2 --target tarnftp baseline_dialog baseline_imports window_timer \
        bare_logon startup_twin handover_recorder parse_cost exchange_probe
    export TARN_BUILD_DIR
    TARN_BUILD_DIR=$(cd "$build" && pwd)
fi
if [ "$edition" != windows ]; then
    # The Linux program as it ships: the binary inside the .deb.
    cmake --preset linux-release >/dev/null
    cmake --build --preset linux-release
    cmake --build --preset linux-release --target baseline_qt_dialog baseline_qt_libraries
    cpack --preset linux-release >/dev/null
fi
exec tools/sandbox.sh python3 bench/run.py "$@"
