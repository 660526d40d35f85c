#!/usr/bin/env python3
"""Time to a mapped and painted launcher, and its resident memory then, against
a bare Qt Widgets window of the same size, started alternately in one run.

usage: bench_launcher.py TARNELO BARE_WINDOW [--runs N]
Needs DISPLAY (an X server with a window manager), xdotool, xwininfo and
ImageMagick's import.
"""

import argparse
import os
import statistics
import subprocess
import time


def window_of(pid, name):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", name],
                         capture_output=True, text=True).stdout.split()
    return out[0] if out else None


def painted(window, probe):
    """True once the probe pixel shows the background colour 236,236,236."""
    x, y = probe
    ppm = subprocess.run(["import", "-silent", "-window", window, "-crop", f"1x1+{x}+{y}", "ppm:-"],
                         capture_output=True).stdout
    return ppm.endswith(bytes([236, 236, 236]))


def resident_kib(pid):
    """Resident memory of the process and all its children (the web engine's helpers)."""
    total = 0
    pids = [str(pid)]
    children = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout.split()
    for p in pids + children:
        try:
            with open(f"/proc/{p}/status") as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass
    return total


def measure(command, name, probe):
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = None
        while time.monotonic() - start < 30:
            window = window or window_of(process.pid, name)
            if window and painted(window, probe):
                elapsed = time.monotonic() - start
                time.sleep(0.3)  # memory once the first paint has settled
                return elapsed, resident_kib(process.pid)
            time.sleep(0.005)
        raise RuntimeError(f"{command[0]}: no painted window within 30 s")
    finally:
        process.kill()
        process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tarnelo")
    parser.add_argument("bare")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    # A pixel of plain background in both: between the launcher's buttons.
    probe = (120, 300)
    times = {"tarnelo": [], "bare": []}
    memory = {"tarnelo": [], "bare": []}
    for _ in range(args.runs):
        for key, command, name in (("tarnelo", [args.tarnelo], "^Tarnelo$"),
                                   ("bare", [args.bare], "^Bare window$")):
            t, rss = measure(command, name, probe)
            times[key].append(t)
            memory[key].append(rss)
    t_tarnelo, t_bare = statistics.median(times["tarnelo"]), statistics.median(times["bare"])
    m_tarnelo, m_bare = statistics.median(memory["tarnelo"]), statistics.median(memory["bare"])
    print(f"time to painted window (median of {args.runs}): tarnelo {t_tarnelo * 1000:.0f} ms, "
          f"bare {t_bare * 1000:.0f} ms, ratio {t_tarnelo / t_bare:.2f} (target <= 1.25)")
    print(f"resident memory then: tarnelo {m_tarnelo / 1024:.1f} MiB, bare {m_bare / 1024:.1f} MiB, "
          f"ratio {m_tarnelo / m_bare:.2f} (target <= 1.25)")


if __name__ == "__main__":
    main()
