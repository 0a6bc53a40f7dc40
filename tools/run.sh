#!/usr/bin/env bash
# Sets up, builds and runs tarnftp against the local stand-in service. With a display a
# person uses it; without one it runs headless and saves screenshots into out/.
#   tools/run.sh           tarnftp.exe under Wine (headless: in tools/sandbox.sh, by tools/demo.py)
#   tools/run.sh --linux   the Linux tarnftp (headless: on a private Xvfb with GVfs and an FTP
#                          server, by tools/demo_linux.py)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
if [ "${1:-}" = "--linux" ]; then
    cmake --preset linux-release >/dev/null
    cmake --build --preset linux-release --target tarnftp
    if [ -n "${DISPLAY:-}" ]; then
        exec python3 tools/demo_linux.py --interactive
    fi
    # The web application on port 80 and the storage's FTP server on port 21 of one loopback
    # address: in a network namespace of its own.
    exec unshare --net sh -c 'ip link set lo up && exec python3 tools/demo_linux.py'
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target tarnftp driver

if [ -n "${DISPLAY:-}" ]; then
    exec python3 tools/demo.py --interactive
fi
exec tools/sandbox.sh python3 tools/demo.py
