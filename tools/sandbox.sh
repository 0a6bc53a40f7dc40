#!/usr/bin/env bash
# Runs a command the way every Windows test runs: in a private network namespace where
# only loopback exists (so the local stand-in service can take port 80 on 127.0.0.x and
# nothing leaves the machine), with an X server of its own and a fresh Wine prefix that
# is removed afterwards.
set -euo pipefail

if [ -z "${TARN_IN_NETNS:-}" ]; then
    exec unshare --net env TARN_IN_NETNS=1 "$0" "$@"
fi
if [ -z "${TARN_IN_XVFB:-}" ]; then
    ip link set lo up
    exec env TARN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
# No Mono or Gecko installers in a test prefix, and no menu entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tarn-wineprefix.XXXXXX)
cleanup() {
    exec 9>&- || true
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

"$wine" wineboot --init >/dev/null 2>&1
# Without a window manager Wine draws the windows' frames and captions itself.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
# Wine's desktop process and services for the whole run, started here with none of our
# pipes: started by a test's process they would inherit its output pipes and hold them
# open after it ends. The keeper (a command interpreter waiting on a pipe that never
# speaks) keeps the services from shutting down between the tests' processes.
mkfifo "$WINEPREFIX/keeper"
"$wine" cmd.exe <"$WINEPREFIX/keeper" >/dev/null 2>&1 &
exec 9>"$WINEPREFIX/keeper"
"$wine" explorer.exe /desktop </dev/null >/dev/null 2>&1 &
sleep 1
"$@"
