#!/usr/bin/env bash
# Builds Tarnelo (Release, ./build) and runs it. On a desktop it opens on
# $DISPLAY; without one it brings up its own Xvfb + openbox, saves a
# screenshot of the launcher to build/launcher.png and keeps running until
# Tarnelo exits or Ctrl+C.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/deps.sh
source scripts/x11session.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target tarnelo -j2

# The web engine refuses to start as root with its sandbox on; the program
# itself never turns it off, only this launcher does, and only for root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
[ -e /dev/dri ] || export QT_QUICK_BACKEND=software

pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    tarnelo_stop_x
}
trap cleanup EXIT
trap 'exit 130' INT TERM

own_display=false
if [ -z "${DISPLAY:-}" ]; then
    tarnelo_start_x 1024x768x24
    own_display=true
    echo "Started Xvfb + openbox on $DISPLAY"
fi

build/app/tarnelo &
pid=$!

if $own_display; then
    found=false
    for _ in $(seq 1 150); do
        if xdotool search --name '^Tarnelo$' >/dev/null 2>&1; then found=true; break; fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if $found; then
        sleep 1 # let the first paint land
        import -window root build/launcher.png
        echo "Launcher screenshot: $root/build/launcher.png"
    else
        echo "The launcher window did not appear." >&2
    fi
    echo "Tarnelo runs on $DISPLAY (Ctrl+C to stop)."
fi

set +e
wait "$pid"
status=$?
pid=
exit "$status"
