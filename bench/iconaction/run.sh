#!/usr/bin/env bash
# Builds and runs the action press benchmark; starts a private X server with
# openbox when DISPLAY is not set. Usage: bench/iconaction/run.sh [build dir]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source="$(cd "$here/../.." && pwd)"
build="${1:-$source/build-bench}"
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_iconaction -j2 >/dev/null
if [ -z "${DISPLAY:-}" ]; then
    # shellcheck source=../../scripts/x11session.sh
    . "$source/scripts/x11session.sh"
    trap tarnelo_stop_x EXIT
    tarnelo_start_x 1024x768x24
fi
"$build/bench/iconaction/bench_iconaction"
