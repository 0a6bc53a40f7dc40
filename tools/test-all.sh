#!/usr/bin/env bash
# Sets up, builds and runs every test tier: the native unit tests of the portable core
# (with sanitizers), the Linux program's release build with its .deb and the end-to-end run
# of it on a private Xvfb, then the Windows build with its tests under Wine and the
# end-to-end tests of tarnftp.exe, all inside tools/sandbox.sh; last the fuzzers of the
# core, for a bounded time each.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release
ctest --preset linux-release

cmake --preset windows >/dev/null
cmake --build --preset windows
tools/sandbox.sh ctest --preset windows
tools/fuzz.sh
