#!/usr/bin/env bash
# Builds Tarnelo with its tests (Debug, ./build-tests) and runs every test
# under one private Xvfb + openbox. GUI tests share that display and its
# focus, so ctest runs them one after the other. Returns ctest's status.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/deps.sh
source scripts/x11session.sh

cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON
cmake --build build-tests -j2

trap tarnelo_stop_x EXIT
trap 'exit 130' INT TERM
tarnelo_start_x 1024x768x24
echo "Tests run on $DISPLAY"

export QT_QPA_PLATFORM=xcb
export QT_QUICK_BACKEND=software
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

set +e
(cd build-tests && ctest --output-on-failure --timeout 300)
status=$?
exit "$status"
