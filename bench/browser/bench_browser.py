#!/usr/bin/env python3
"""Guide click to notice and page request, and resident memory with the
browser window open, against a bare QWebEngineView window, alternating in one
run inside the end-to-end harness's namespace with its local HTTP server.

Tarnelo: a fresh program per run; once its launcher is up, a pointer click on
按钮1 opens the (closed) browser window, which starts the web engine. Timed from
the click to the notice line showing its final red text on screen (client
rectangle 8,568 696x24) and to the page request reaching the server (the
server log's start time). Bare view: the same from its process start, which
also covers its web engine start; it loads the same page and paints red text
at the same place. Memory: VmRSS of the process and all its descendants (the
web engine helpers) two seconds after the notice showed.

usage: bench_browser.py BUILD_DIR [--runs N]
Needs root (a network namespace), DISPLAY (X server with openbox, 1024x768),
xdotool, and the targets tarnelo, tarnelo_list_hosts, bench_bareview and
bench_noticewait built in BUILD_DIR. Prints medians and the ratios
Tarnelo / bare (target: each <= 1.15).
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "harness"))
import tarnelo_harness as th  # noqa: E402

PAGE_HOST, PAGE_PATH = "imgcache.qq.com", "/qzone/reg/reg1.html"
PAGE_URL = "http://%s%s?" % (PAGE_HOST, PAGE_PATH)  # 按钮1's address
NOTICE = "先登陆自己的QQ空间,填写好信息后点确认即可瞬间点亮图标!"
PAGE = ("<!DOCTYPE html><html><head><meta charset='utf-8'><title>bench</title></head>"
        "<body><h1>Benchmark page</h1><p>Served by the local test server.</p></body></html>")
BUTTON_CENTRE = (8 + 52, 169 + 12)
# The notice line on screen: browser window outer 154,66, frame 1 left and 20 top.
NOTICE_ON_SCREEN = (154 + 1 + 8, 66 + 20 + 568, 696, 24)
MEMORY_DELAY = 2.0


def tree_rss_kib(pid):
    """VmRSS of pid and every descendant, in KiB."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                pass
    family, frontier = {pid}, [pid]
    while frontier:
        children = [p for p, parent in parents.items() if parent in frontier and p not in family]
        family.update(children)
        frontier = children
    total = 0
    for p in family:
        try:
            with open("/proc/%d/status" % p) as f:
                total += next((int(l.split()[1]) for l in f if l.startswith("VmRSS:")), 0)
        except OSError:
            pass
    return total


class Bench:
    def __init__(self, harness, build):
        self.harness = harness
        self.tarnelo = os.path.join(build, "app", "tarnelo")
        self.bare = os.path.join(build, "bench", "browser", "bench_bareview")
        self.noticewait = os.path.join(build, "bench", "browser", "bench_noticewait")
        self.env = {"QTWEBENGINE_DISABLE_SANDBOX": "1"} if os.geteuid() == 0 else {}
        harness.server.set_routes({PAGE_HOST + PAGE_PATH: {"html": PAGE,
                                                           "headers": [["Cache-Control", "no-store"]]}})

    def watch_notice(self):
        watcher = subprocess.Popen([self.noticewait] + [str(v) for v in NOTICE_ON_SCREEN] + ["50", "1.0", "60"],
                                   stdout=subprocess.PIPE, text=True, env=self.harness.display.env)
        if watcher.stdout.readline().strip() != "ready":
            raise RuntimeError("the screen watcher did not start")
        return watcher

    def notice_shown(self, watcher):
        fields = watcher.stdout.read().split()
        watcher.wait()
        if not fields or fields[0] != "first":
            raise RuntimeError("no notice on screen: %s" % " ".join(fields))
        return float(fields[1]), float(fields[3])  # first red; last change: the final text is on screen

    def page_request(self, after):
        found = self.harness.server.wait_requests(
            1, 30, lambda r: r["seq"] > after and r["target"].startswith(PAGE_PATH))
        if not found:
            raise RuntimeError("the page request never arrived")
        return found[0]["start_mono"]

    def last_seq(self):
        requests = self.harness.server.requests()
        return requests[-1]["seq"] if requests else 0

    def finish(self, process, start, watcher, after):
        first_red, shown = self.notice_shown(watcher)
        requested = self.page_request(after)
        time.sleep(max(0.0, shown + MEMORY_DELAY - time.monotonic()))
        rss = tree_rss_kib(process.pid)
        process.stop()
        # Helpers that outlive the program would skew the next run.
        th.wait_until(lambda: set(self.harness.namespace.pids()) <= {self.harness.server.process.pid}, 10)
        return shown - start, requested - start, rss, first_red - start

    def run_tarnelo(self):
        app = self.harness.start_tarnelo(env=self.env)
        launcher = self.harness.wait_window("^Tarnelo$", app, timeout=60)
        time.sleep(1.0)  # the launcher settled: skin, banner, first paint
        launcher.activate()
        self.harness.display.x("xdotool", "mousemove", "--window", str(launcher.id), *map(str, BUTTON_CENTRE))
        watcher = self.watch_notice()
        after = self.last_seq()
        start = time.monotonic()
        self.harness.display.x("xdotool", "click", "1")
        return self.finish(app, start, watcher, after)

    def run_bare(self):
        watcher = self.watch_notice()
        after = self.last_seq()
        start = time.monotonic()
        view = self.harness.start([self.bare, PAGE_URL, NOTICE], env=self.env, label="bare")
        return self.finish(view, start, watcher, after)


def median_ms(values):
    return statistics.median(values) * 1000


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    th.paths.tarnelo = os.path.join(args.build, "app", "tarnelo")
    th.paths.list_hosts = os.path.join(args.build, "tests", "harness", "listhosts", "tarnelo_list_hosts")

    results = {"tarnelo": [], "bare": []}
    with th.Harness() as harness:
        bench = Bench(harness, args.build)
        for i in range(args.runs):
            order = ("tarnelo", "bare") if i % 2 == 0 else ("bare", "tarnelo")
            for kind in order:
                notice, request, rss, first_red = bench.run_tarnelo() if kind == "tarnelo" else bench.run_bare()
                results[kind].append((notice, request, rss))
                print("run %d %-7s notice %4.0f ms (first red %4.0f)  request %4.0f ms  rss %6.1f MiB"
                      % (i + 1, kind, notice * 1000, first_red * 1000, request * 1000, rss / 1024), flush=True)

    def medians(kind):
        rows = results[kind]
        return (median_ms([r[0] for r in rows]), median_ms([r[1] for r in rows]),
                statistics.median([r[2] for r in rows]) / 1024)
    t, b = medians("tarnelo"), medians("bare")
    print("medians of %d runs each:" % args.runs)
    for label, unit, i in (("click/start to notice", "ms", 0), ("click/start to page request", "ms", 1),
                           ("resident memory, window open", "MiB", 2)):
        print("  %-30s tarnelo %7.1f %s  bare %7.1f %s  ratio %.2f (target <= 1.15)"
              % (label, t[i], unit, b[i], unit, t[i] / b[i]))


if __name__ == "__main__":
    main()
