# Sourced: starts a private X server (Xvfb) with openbox on a free display
# number, and stops both again. Used by run-tarnelo.sh when no display is
# given and by run-tests.sh for the whole test run.

tarnelo_x_pids=()

# Prints the first display number whose lock file and socket are both free.
tarnelo_free_display() {
    local n
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

# tarnelo_start_x WIDTHxHEIGHTxDEPTH: exports DISPLAY once the server answers
# and openbox has taken over as window manager.
tarnelo_start_x() {
    local screen=$1 n i
    n=$(tarnelo_free_display) || { echo "no free X display number" >&2; return 1; }
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >/dev/null 2>&1 &
    tarnelo_x_pids+=($!)
    for i in $(seq 1 100); do
        [ -S "/tmp/.X11-unix/X$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdpyinfo -display ":$n" >/dev/null 2>&1 || { echo "Xvfb :$n did not start" >&2; return 1; }
    export DISPLAY=":$n"
    openbox >/dev/null 2>&1 &
    tarnelo_x_pids+=($!)
    # openbox announces itself through _NET_SUPPORTING_WM_CHECK on the root.
    for i in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "openbox did not start on $DISPLAY" >&2
    return 1
}

tarnelo_stop_x() {
    local i
    for (( i=${#tarnelo_x_pids[@]}-1; i>=0; i-- )); do
        kill "${tarnelo_x_pids[i]}" 2>/dev/null
        wait "${tarnelo_x_pids[i]}" 2>/dev/null
    done
    tarnelo_x_pids=()
}
