"""What Tarnelo's end-to-end tests stand on.

Every service host of the program is a real public name, and no test may
reach the internet. So each test gets a network namespace of its own that has
nothing but loopback: an /etc/hosts for it (ip netns exec binds
/etc/netns/NS/hosts over /etc/hosts) maps every host that tarnelo_list_hosts
prints to 127.0.0.1, httpserver.py answers on port 80 inside it, and the real
tarnelo binary runs inside it too, drawing on the test's X display (the file
socket /tmp/.X11-unix/XN is shared; abstract sockets are not).

A test:

    import tarnelo_harness as th

    class LauncherTest(th.TestCase):          # one fresh namespace per test
        def test_closes_on_esc(self):
            app = self.harness.start_tarnelo()
            window = self.harness.wait_window("^Tarnelo$", app)
            self.assertEqual(window.geometry().frame, th.Rect(330, 125, 363, 517))
            window.key("Escape")
            self.assertEqual(app.wait(5), 0)

    if __name__ == "__main__":
        th.main()

Tests that cannot have a namespace (not root, or ip netns fails) are skipped
with the reason; th.main() then exits with 77, which CTest counts as skipped.
"""

import argparse
import ctypes
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import uuid
import zlib
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP_RETURN_CODE = 77
NAME_PREFIX = "tarnelo-e2e-"


class Skip(Exception):
    """The machine cannot host the test (no namespace, no display)."""


@dataclass
class Paths:
    tarnelo: str = os.environ.get("TARNELO_BIN", "")
    list_hosts: str = os.environ.get("TARNELO_LIST_HOSTS", "")
    server: str = os.path.join(HERE, "httpserver.py")


paths = Paths()


# ---------------------------------------------------------------- processes

def _die_with_parent():
    # A test killed by CTest's timeout must not leave its servers running.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def run(argv, check=True, timeout=30, **kwargs):
    """Runs a short command and returns its CompletedProcess, output as text with
    line ends kept (\r\n stays \r\n) and undecodable bytes as U+FFFD."""
    result = subprocess.run(argv, capture_output=True, timeout=timeout, **kwargs)
    result.stdout = result.stdout.decode("utf-8", "replace")
    result.stderr = result.stderr.decode("utf-8", "replace")
    if check and result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(argv), result.returncode, result.stderr.strip()))
    return result


def wait_until(probe, timeout, interval=0.05):
    """Calls probe() until it returns something true or time runs out; returns the last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Process:
    """A program started inside the namespace; its output goes to files."""

    def __init__(self, argv, workdir, label):
        self.stdout_path = os.path.join(workdir, label + ".stdout")
        self.stderr_path = os.path.join(workdir, label + ".stderr")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.popen = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                          preexec_fn=_die_with_parent)
        # ip netns exec and env both exec in place: this is the program's own pid.
        self.pid = self.popen.pid

    def wait(self, timeout):
        """The exit code (negative: killed by that signal), or None if still running."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.popen.poll() is None

    def stdout(self):
        with open(self.stdout_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def stderr(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def stop(self):
        if self.running():
            self.popen.terminate()
            if self.wait(3) is None:
                self.popen.kill()
                self.popen.wait()


# ---------------------------------------------------------------- namespace

class Namespace:
    """A network namespace with only loopback, and its own /etc/hosts."""

    def __init__(self, hosts):
        if os.geteuid() != 0:
            raise Skip("network namespaces need root (ip netns add); running as uid %d" % os.geteuid())
        if not shutil.which("ip"):
            raise Skip("the ip command (iproute2) is missing")
        sweep_stale_namespaces()
        self.name = "%s%d-%s" % (NAME_PREFIX, os.getpid(), uuid.uuid4().hex[:8])
        self.etc = os.path.join("/etc/netns", self.name)
        result = run(["ip", "netns", "add", self.name], check=False)
        if result.returncode != 0:
            raise Skip("ip netns add failed: %s" % result.stderr.strip())
        try:
            self._set_up(hosts)
        except Exception:
            self.delete()
            raise

    def _set_up(self, hosts):
        run(["ip", "-n", self.name, "link", "set", "lo", "up"])
        os.makedirs(self.etc, exist_ok=True)
        lines = ["127.0.0.1 localhost", "::1 localhost"] + ["127.0.0.1 %s" % h for h in hosts]
        with open(os.path.join(self.etc, "hosts"), "w") as f:
            f.write("\n".join(lines) + "\n")
        # Any name outside the list asks a resolver on loopback, where none listens.
        with open(os.path.join(self.etc, "resolv.conf"), "w") as f:
            f.write("nameserver 127.0.0.1\noptions timeout:1 attempts:1\n")
        probe = run(["ip", "netns", "exec", self.name, "true"], check=False)
        if probe.returncode != 0:
            raise Skip("ip netns exec failed: %s" % probe.stderr.strip())

    def command(self, argv, env):
        """argv run inside the namespace with exactly the environment env."""
        return ["ip", "netns", "exec", self.name, "env", "-i"] + \
            ["%s=%s" % kv for kv in sorted(env.items())] + list(argv)

    def pids(self):
        result = run(["ip", "netns", "pids", self.name], check=False)
        return [int(p) for p in result.stdout.split()]

    def delete(self):
        for _ in range(3):
            pids = self.pids()
            if not pids:
                break
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)
        run(["ip", "netns", "del", self.name], check=False)
        shutil.rmtree(self.etc, ignore_errors=True)


def sweep_stale_namespaces():
    """Deletes namespaces left by test processes that were killed."""
    listing = run(["ip", "netns", "list"], check=False).stdout
    for name in re.findall(r"^(%s(\d+)-\w+)" % re.escape(NAME_PREFIX), listing, re.M):
        if not os.path.exists("/proc/%s" % name[1]):
            stale = Namespace.__new__(Namespace)
            stale.name, stale.etc = name[0], os.path.join("/etc/netns", name[0])
            stale.delete()


# ---------------------------------------------------------------- HTTP server

class HttpServer:
    """httpserver.py on port 80 inside the namespace; see its docstring for routes."""

    def __init__(self, namespace, workdir, env):
        self.config_path = os.path.join(workdir, "server-config.json")
        self.log_path = os.path.join(workdir, "server-log.jsonl")
        ready = os.path.join(workdir, "server-ready")
        self.set_routes({})
        open(self.log_path, "w").close()
        argv = [sys.executable, paths.server, "--port", "80", "--config", self.config_path,
                "--log", self.log_path, "--ready", ready]
        self.process = Process(namespace.command(argv, env), workdir, "server")
        if not wait_until(lambda: os.path.exists(ready) or not self.process.running(), 10) \
                or not os.path.exists(ready):
            raise RuntimeError("the test HTTP server did not start: %s" % self.process.stderr())

    def set_routes(self, routes, default=None):
        """Replaces the answers; the next request already sees them."""
        config = {"routes": routes}
        if default is not None:
            config["default"] = default
        temporary = self.config_path + ".tmp"
        with open(temporary, "w", encoding="utf-8") as f:
            json.dump(config, f)
        os.replace(temporary, self.config_path)

    def requests(self):
        """Every request so far, in arrival order: the request entry of the log
        with the answer's end, end_mono, outcome and bytes merged in (None while
        the answer is still going)."""
        merged = {}
        with open(self.log_path, encoding="utf-8") as f:
            for line in f:
                if not line.endswith("\n"):
                    break
                entry = json.loads(line)
                if entry["event"] == "request":
                    entry.update(end=None, end_mono=None, outcome=None, bytes=None)
                    merged[entry["seq"]] = entry
                elif entry["seq"] in merged:
                    merged[entry["seq"]].update({k: entry[k] for k in ("end", "end_mono", "outcome", "bytes")})
        return [merged[k] for k in sorted(merged)]

    def wait_requests(self, count, timeout, match=lambda r: True):
        """Waits until at least count matching requests arrived; returns them."""
        return wait_until(lambda: (lambda rs: rs if len(rs) >= count else None)(
            [r for r in self.requests() if match(r)]), timeout) or \
            [r for r in self.requests() if match(r)]

    def stop(self):
        self.process.stop()


# ---------------------------------------------------------------- X display

@dataclass(frozen=True)
class Rect:
    x: int
    y: int
    width: int
    height: int


@dataclass(frozen=True)
class Geometry:
    client: Rect          # the program's own window, absolute screen coordinates
    frame: Rect           # the same with the window manager's frame around it
    extents: tuple        # (left, right, top, bottom) of that frame


class Image:
    """RGB pixels of a screenshot."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def from_ppm(cls, data):
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        if magic != b"P6":
            raise ValueError("not a binary PPM")
        pixels = data[pos + 1:]
        if maxval > 255:
            pixels = bytes(pixels[i] for i in range(0, len(pixels), 2))
        return cls(width, height, pixels[:width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, rect):
        rows = [self.rgb[((rect.y + r) * self.width + rect.x) * 3:((rect.y + r) * self.width + rect.x + rect.width) * 3]
                for r in range(rect.height)]
        return Image(rect.width, rect.height, b"".join(rows))

    def save_png(self, path):
        raw = b"".join(b"\0" + self.rgb[r * self.width * 3:(r + 1) * self.width * 3] for r in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


class Display:
    """The test's X display (DISPLAY of the test process, shared by all tests)."""

    def __init__(self, name):
        self.name = name
        self.env = dict(os.environ, DISPLAY=name)

    def x(self, *argv, check=True, timeout=30):
        return run(list(argv), check=check, timeout=timeout, env=self.env)

    def find_windows(self, name_regex, pid=None, visible=True):
        """Window ids whose name matches, optionally only those of one process."""
        argv = ["xdotool", "search"] + (["--onlyvisible"] if visible else []) + ["--name", name_regex]
        ids = [int(w) for w in self.x(*argv, check=False).stdout.split()]
        if pid is not None:
            ids = [w for w in ids if self.x("xdotool", "getwindowpid", str(w), check=False).stdout.strip() == str(pid)]
        return [Window(self, w) for w in ids]

    def wait_window(self, name_regex, pid=None, timeout=30, visible=True):
        found = wait_until(lambda: self.find_windows(name_regex, pid, visible), timeout, 0.1)
        if not found:
            raise AssertionError("no window named %r%s appeared within %s s"
                                 % (name_regex, "" if pid is None else " of pid %d" % pid, timeout))
        return found[0]

    def screenshot(self, rect=None):
        """The screen as a person sees it (or the rectangle rect of it)."""
        data = subprocess.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"],
                              capture_output=True, env=self.env, timeout=30, check=True).stdout
        image = Image.from_ppm(data)
        return image.crop(rect) if rect else image

    def screen_size(self):
        match = re.search(r"dimensions:\s+(\d+)x(\d+)", self.x("xdpyinfo").stdout)
        return int(match.group(1)), int(match.group(2))


class Window:
    def __init__(self, display, wid):
        self.display, self.id = display, wid

    def __repr__(self):
        return "Window(0x%x)" % self.id

    def exists(self):
        return self.display.x("xwininfo", "-id", str(self.id), check=False).returncode == 0

    def name(self):
        return self.display.x("xdotool", "getwindowname", str(self.id)).stdout.rstrip("\n")

    def pid(self):
        return int(self.display.x("xdotool", "getwindowpid", str(self.id)).stdout)

    def property(self, atom):
        """xprop's text for one property of the window, or None if it is not set."""
        out = self.display.x("xprop", "-id", str(self.id), atom, check=False).stdout
        return None if "not found" in out or "no such atom" in out or "=" not in out else out.split("=", 1)[1].strip()

    def geometry(self):
        info = self.display.x("xwininfo", "-id", str(self.id)).stdout

        def field(label):
            return int(re.search(r"%s:\s+(-?\d+)" % label, info).group(1))
        client = Rect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))
        value = self.property("_NET_FRAME_EXTENTS")
        left, right, top, bottom = (int(v) for v in value.split(",")) if value else (0, 0, 0, 0)
        frame = Rect(client.x - left, client.y - top, client.width + left + right, client.height + top + bottom)
        return Geometry(client, frame, (left, right, top, bottom))

    def activate(self):
        """Gives the window the input focus, as a click on its task-bar button would."""
        self.display.x("xdotool", "windowactivate", "--sync", str(self.id), check=False, timeout=10)
        focused = wait_until(lambda: self.display.x("xdotool", "getwindowfocus", check=False).stdout.strip()
                             == str(self.id), 3)
        if not focused:
            raise AssertionError("%r did not get the input focus" % self)

    def key(self, *keys):
        """Keys as xdotool names them ("Escape", "Tab", "shift+Tab"), typed through
        XTEST into the window after it has the focus, like a person's.
        Not `key --window`: when a press closes the window, xdotool sends the
        release to the dead window, dies on BadWindow and leaves the key held,
        and the server's autorepeat then hits every later window."""
        self.activate()
        self._typed("key", keys)

    def type(self, text):
        self.activate()
        self._typed("type", [text])

    def _typed(self, verb, args):
        result = self.display.x("xdotool", verb, *args, check=False)
        if result.returncode != 0:
            if verb == "key":
                self.display.x("xdotool", "keyup", *args, check=False)
            raise RuntimeError("xdotool %s %s failed: %s" % (verb, " ".join(args), result.stderr.strip()))

    def click(self, x, y, button=1):
        """A real pointer click at (x, y) in the window's client coordinates."""
        self.display.x("xdotool", "mousemove", "--window", str(self.id), str(x), str(y), "click", str(button))

    def screenshot(self, frame=False):
        """What the screen shows of the client area (or of the frame-inclusive rectangle)."""
        geometry = self.geometry()
        return self.display.screenshot(geometry.frame if frame else geometry.client)

    def capture(self):
        """The window's own content, as import -window reads it."""
        data = subprocess.run(["import", "-silent", "-window", str(self.id), "-depth", "8", "ppm:-"],
                              capture_output=True, env=self.display.env, timeout=30, check=True).stdout
        return Image.from_ppm(data)


# ---------------------------------------------------------------- one test's world

PASSED_THROUGH = re.compile(r"^(QT_|QTWEBENGINE_|ASAN_|UBSAN_|LSAN_|LANG$|LC_)")


class Harness:
    """One test's namespace, HTTP server and the programs started in it."""

    def __init__(self):
        display = os.environ.get("DISPLAY", "")
        if not display:
            raise Skip("no X display: run through scripts/run-tests.sh, which starts Xvfb + openbox")
        self.display = Display(display)
        self.workdir = tempfile.mkdtemp(prefix="tarnelo-e2e-")
        self.processes = []
        self.hosts = self._list_hosts()
        self.namespace = None
        self.server = None
        try:
            self.namespace = Namespace(self.hosts)
            self.server = HttpServer(self.namespace, self.workdir, self.environment())
        except BaseException:
            self.close()
            raise

    @staticmethod
    def _list_hosts():
        if not paths.list_hosts:
            raise RuntimeError("tarnelo_list_hosts not given (--list-hosts or TARNELO_LIST_HOSTS)")
        hosts = run([paths.list_hosts]).stdout.split()
        if not hosts:
            raise RuntimeError("tarnelo_list_hosts printed no host")
        return hosts

    def environment(self, overrides=None):
        """The environment of programs in the namespace: a private HOME (so the web
        profile starts empty), the display, Qt's switches; overrides last (None removes)."""
        home = os.path.join(self.workdir, "home")
        runtime = os.path.join(self.workdir, "runtime")
        for d in (home, runtime):
            os.makedirs(d, mode=0o700, exist_ok=True)
        env = {k: v for k, v in os.environ.items() if PASSED_THROUGH.match(k)}
        env.update(PATH=os.environ.get("PATH", "/usr/bin:/bin"), HOME=home, XDG_RUNTIME_DIR=runtime,
                   DISPLAY=self.display.name, TMPDIR=self.workdir)
        env.setdefault("LANG", "C.UTF-8")
        for key, value in (overrides or {}).items():
            if value is None:
                env.pop(key, None)
            else:
                env[key] = value
        return env

    def start(self, argv, env=None, label=None):
        """Any program inside the namespace."""
        label = label or "%s-%d" % (os.path.basename(argv[0]), len(self.processes))
        process = Process(self.namespace.command(argv, self.environment(env)), self.workdir, label)
        self.processes.append(process)
        return process

    def start_tarnelo(self, args=(), env=None):
        """The real binary, with command-line args and environment overrides."""
        if not paths.tarnelo or not os.path.exists(paths.tarnelo):
            raise RuntimeError("tarnelo binary not found (--tarnelo or TARNELO_BIN): %r" % paths.tarnelo)
        return self.start([paths.tarnelo] + list(args), env, "tarnelo-%d" % len(self.processes))

    def in_namespace(self, argv, timeout=30, env=None):
        """Runs a short command inside the namespace; returns its CompletedProcess."""
        return run(self.namespace.command(argv, self.environment(env)), check=False, timeout=timeout)

    def wait_window(self, name_regex, process=None, timeout=30):
        """The first visible window whose name matches (of that process, if given).
        Fails at once, with the process's stderr, if the process ends first."""
        if process is None:
            return self.display.wait_window(name_regex, None, timeout)
        found = wait_until(lambda: self.display.find_windows(name_regex, process.pid) or not process.running(),
                           timeout, 0.1)
        if found is True or not found:
            raise AssertionError("no window named %r of pid %d: %s; stderr:\n%s" % (
                name_regex, process.pid, "it exited with %s" % process.wait(0) if found is True
                else "none appeared within %s s" % timeout, process.stderr()[-4000:]))
        return found[0]

    def save_screenshot(self, name):
        """Keeps a picture of the screen for a person to look at; returns its path."""
        directory = os.environ.get("TARNELO_ARTIFACTS", os.getcwd())
        path = os.path.join(directory, name + ".png")
        self.display.screenshot().save_png(path)
        return path

    def close(self):
        for process in reversed(self.processes):
            process.stop()
        if self.server:
            self.server.stop()
        if self.namespace:
            self.namespace.delete()
        if not os.environ.get("TARNELO_KEEP"):
            shutil.rmtree(self.workdir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class TestCase(unittest.TestCase):
    """Gives every test self.harness, a fresh Harness, closed after the test."""

    def setUp(self):
        try:
            self.harness = Harness()
        except Skip as reason:
            self.skipTest(str(reason))
        self.addCleanup(self.harness.close)


def main():
    """Runs the calling script's tests. Exit code 0: all passed; 77: every test
    was skipped; 1: something failed."""
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--tarnelo", default=paths.tarnelo)
    parser.add_argument("--list-hosts", default=paths.list_hosts)
    known, rest = parser.parse_known_args()
    paths.tarnelo, paths.list_hosts = known.tarnelo, known.list_hosts
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    program = unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + rest, exit=False)
    result = program.result
    for test, reason in result.skipped:
        print("SKIPPED %s: %s" % (test.id(), reason))
    if not result.wasSuccessful():
        sys.exit(1)
    if result.testsRun == 0:
        print("no test ran")
        sys.exit(1)
    if len(result.skipped) == result.testsRun:
        sys.exit(SKIP_RETURN_CODE)
    sys.exit(0)
