#!/usr/bin/env bash
# Runs a test binary on a 320 x 240 X server with openbox, so the launcher is
# wider than the screen.
set -u
command -v Xvfb >/dev/null && command -v openbox >/dev/null || { echo "Xvfb or openbox missing"; exit 77; }
display=""
for n in $(seq 140 180); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "no free display number"; exit 77; }
Xvfb "$display" -screen 0 320x240x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
DISPLAY=$display QT_QPA_PLATFORM=xcb TARNELO_NARROW_SCREEN=1 "$@"
