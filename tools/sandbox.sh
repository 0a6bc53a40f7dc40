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
    exec env TARN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" "$0" "$@"
fi

wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
# No Mono or Gecko installers in a test prefix, and no menu entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tarn-wineprefix.XXXXXX)
# On the way out, whatever a test left behind in the prefix ends with it: a test that timed
# out leaves its Wine processes running, and they would hold the prefix and its pipes.
cleanup() {
    exec 9>&- || true
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    timeout 15 /usr/lib/wine/wineserver -w 2>/dev/null || true
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
# Until the desktop process has made its windows, any Wine program would start a desktop of
# its own; so wait for them (they carry the class explorer.exe), and say so if they never come.
for _ in $(seq 300); do
    xdotool search --limit 1 --class '^explorer\.exe$' >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdotool search --limit 1 --class '^explorer\.exe$' >/dev/null 2>&1; then
    echo "sandbox.sh: Wine's desktop process showed no window within 30 s" >&2
    exit 1
fi
"$@"
