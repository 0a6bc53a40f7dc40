#!/usr/bin/env bash
# Sets up, builds and runs tarnftp.exe under Wine. With a display a person uses it; without
# one it runs in tools/sandbox.sh and tools/demo.py saves screenshots into out/.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target tarnftp driver

if [ -n "${DISPLAY:-}" ]; then
    exec python3 tools/demo.py --interactive
fi
exec tools/sandbox.sh python3 tools/demo.py
