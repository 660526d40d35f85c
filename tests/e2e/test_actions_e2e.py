#!/usr/bin/env python3
"""The three action buttons of the real program from the outside: a log-in in
the embedded browser, then a press sends its fixed GET seven times, one at a
time and more than half a second apart, with every cookie of the log-in, and
ends in one box "信息：" with the seventh answer's text; cookies that the
answers set or expire reach the browser; presses and closes during the waits
nest or end the program as a person would expect; bad answers of every kind
end in the box with the windows still working.

The box's text is read from the screen by its lines: every answer is made of a
distinctive number of short lines, and the box shows as many bands of ink
above its OK button as its text has lines."""

import base64
import email.utils
import os
import time

import tarnelo_harness as th

LAUNCHER = "^Tarnelo$"
BROWSER = "^如果点亮图标失败，多尝试几次即可！$"
BOX = "^信息：$"
START_TIMEOUT = 60
REQUEST_TIMEOUT = 20
PASSES = 7
PASS_WAIT = 0.5
# Seven passes, each with a wait of more than half a second, plus the fetches.
PRESS_TIMEOUT = 30

# Launcher buttons (client rectangles) that open the mobile log-in page and
# make the browser window 700 high, and one guide button for a later page.
REVEAL_BUTTONS = {"按钮7": (248, 369, 104, 25), "按钮8": (128, 409, 104, 25), "按钮19": (8, 408, 104, 24)}
GUIDE_BUTTON = ("按钮1", (8, 169, 104, 25), "imgcache.qq.com", "/qzone/reg/reg1.html?")
LOGIN_HOST, LOGIN_PATH = "qzs.qq.com", "/qzone/mobile/login.html"
REVEALED_FRAME_HEIGHT = 700

# The action buttons of the browser window: client rectangle, host, target.
ACTIONS = {
    "按钮1": ((568, 632, 104, 24), "apps.game.qq.com",
             "/cgi-bin/dnf/lighticon/DnfIcon.cgi?sAreaId=2&sRoleId=25507&iType=2&_=1342236415531"),
    "按钮2": ((448, 632, 104, 24), "xy.qq.com",
             "/cgi-bin/act/a20100812icon/hide_icon.cgi?rid=0.09644990139701243&cmd=1&area=229&role=64457769666840392"),
    "按钮3": ((304, 632, 120, 25), "sns.video.qq.com", "/fcgi-bin/liveportal/dian?t=1&otype=json&callback=jsonp"),
}
USER_AGENT = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"

NO_STORE = {"headers": [["Cache-Control", "no-store"]],
            "html": "<!DOCTYPE html><html><head><meta charset='utf-8'><title>page</title></head>"
                    "<body><p>Tarnelo test server</p></body></html>"}

# The log-in: three cookies from the answer's head, one from the page's script,
# which then tells the server that it ran.
LOGIN_COOKIES = {"persist_cookie": "p1", "session_cookie": "s1", "httponly_cookie": "h1", "js_cookie": "j1"}
LOGIN_DONE = "/qzone/mobile/logged-in"
LOGIN_HTML = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>login</title></head><body>
<script>document.cookie = "js_cookie=j1; domain=.qq.com; path=/"; fetch("%s");</script>
<p>mobile log-in</p></body></html>""" % LOGIN_DONE

# Reading the box: a pixel this far from the background (sum of the channel
# differences) is ink; the OK button is the last band, at least this high.
INK = 150
BUTTON_MIN_ROWS = 15
# What the program keeps of one answer, and what seven such answers may add
# to its memory: while they are fetched (a few copies of one answer), and
# with the box showing one of them in a scrolling text view.
BODY_BOUND = 16 << 20
FETCH_GROWTH_MB = 200
BOX_GROWTH_MB = 300


def login_route():
    expires = email.utils.formatdate(time.time() + 365 * 86400, usegmt=True)
    return {"headers": [
        ["Set-Cookie", "persist_cookie=p1; Domain=.qq.com; Path=/; Expires=" + expires],
        ["Set-Cookie", "session_cookie=s1; Domain=.qq.com; Path=/"],
        ["Set-Cookie", "httponly_cookie=h1; Domain=.qq.com; Path=/; HttpOnly"],
        ["Cache-Control", "no-store"]], "html": LOGIN_HTML}


def lines_body(count, tag="answer"):
    """A body of `count` short lines; "|" gives every line the full height of a text line."""
    return "\n".join("|%s %d of %d|" % (tag, i, count) for i in range(1, count + 1))


def gbk(text):
    return base64.b64encode(text.encode("gbk")).decode("ascii")


def numbered_answers(tag="answer"):
    """Answer n of a press has n lines, so the box tells which answer it shows."""
    return {"sequence": [{"body": lines_body(n, tag)} for n in range(1, PASSES + 1)]}


def route_key(name, with_query=False):
    """The server's route for an action; the server counts a sequence's steps
    per key, so a second sequence for the same action takes the other key."""
    _, host, target = ACTIONS[name]
    return host + (target if with_query else target.split("?", 1)[0])


def cookies_of(request):
    values = [h.split(":", 1)[1].strip() for h in request["headers"] if h.lower().startswith("cookie:")]
    jar = {}
    for value in values:
        for pair in value.split(";"):
            name, _, v = pair.strip().partition("=")
            if name:
                jar[name] = v
    return jar


def header_names(request):
    return sorted(h.split(":", 1)[0] for h in request["headers"])


def text_lines(image):
    """How many lines of text the box shows: bands of rows with ink, the last
    of which is the OK button. None while the box is not drawn yet."""
    background = image.pixel(1, 1)
    bands, start = [], None
    for y in range(image.height):
        inked = any(sum(abs(a - b) for a, b in zip(image.pixel(x, y), background)) > INK
                    for x in range(image.width))
        if inked and start is None:
            start = y
        elif not inked and start is not None:
            bands.append((start, y))
            start = None
    if start is not None:
        bands.append((start, image.height))
    if not bands or bands[-1][1] - bands[-1][0] < BUTTON_MIN_ROWS:
        return None
    return len(bands) - 1


class ActionTest(th.TestCase):
    def setUp(self):
        super().setUp()
        self.action_routes = {}
        self.harness.server.set_routes({}, default=NO_STORE)

    def start(self):
        env = {}
        if os.geteuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = os.environ.get("QTWEBENGINE_DISABLE_SANDBOX", "1")
        self.app = self.harness.start_tarnelo(env=env)
        self.launcher = self.harness.wait_window(LAUNCHER, self.app, timeout=START_TIMEOUT)
        self.reveals = 0

    def tearDown(self):
        # A sanitizer build reports on stderr; any report is a failure of the case.
        app = getattr(self, "app", None)
        if app is not None:
            report = [l for l in app.stderr().splitlines() if "Sanitizer" in l or "runtime error:" in l]
            self.assertEqual(report, [], "sanitizer report:\n" + app.stderr()[-6000:])

    # ------------------------------------------------------------ helpers

    def routes(self, routes):
        """The action routes given, the log-in page, and no-store pages elsewhere."""
        self.action_routes = dict(routes)
        merged = {LOGIN_HOST + LOGIN_PATH: login_route()}
        merged.update(routes)
        self.harness.server.set_routes(merged, default=NO_STORE)

    def last_seq(self):
        requests = self.harness.server.requests()
        return requests[-1]["seq"] if requests else 0

    def requests_of(self, name, after=0):
        _, host, _ = ACTIONS[name]
        return [r for r in self.harness.server.requests()
                if r["seq"] > after and ("Host: " + host) in r["headers"]]

    def assert_running(self, what):
        self.assertTrue(self.app.running(), "%s: the program ended (%s); stderr:\n%s"
                        % (what, self.app.wait(0), self.app.stderr()[-3000:]))

    def click_launcher(self, rect):
        left, top, width, height = rect
        self.launcher.activate()
        self.launcher.click(left + width // 2, top + height // 2)

    def reveal(self, login=True):
        """Opens the log-in page with the next reveal button and waits for the
        700-high browser window (and, after a log-in, for the page's script)."""
        name = list(REVEAL_BUTTONS)[self.reveals % len(REVEAL_BUTTONS)]
        self.reveals += 1
        after = self.last_seq()
        self.click_launcher(REVEAL_BUTTONS[name])
        page = self.harness.server.wait_requests(
            1, REQUEST_TIMEOUT, lambda r: r["seq"] > after and r["target"] == LOGIN_PATH)
        self.assertTrue(page, "%s asked for no log-in page; stderr:\n%s" % (name, self.app.stderr()[-3000:]))
        if login:
            done = self.harness.server.wait_requests(
                1, REQUEST_TIMEOUT, lambda r: r["seq"] > after and r["target"] == LOGIN_DONE)
            self.assertTrue(done, "the log-in page's script did not run")
        browser = self.harness.wait_window(BROWSER, self.app)
        grown = th.wait_until(lambda: browser.geometry().frame.height == REVEALED_FRAME_HEIGHT, 10)
        self.assertTrue(grown, "%s left the browser window at %s" % (name, browser.geometry().frame))
        self.browser = browser
        return browser

    def press(self, name, activate=True):
        left, top, width, height = ACTIONS[name][0]
        if activate:
            self.browser.activate()
        self.browser.click(left + width // 2, top + height // 2)

    def boxes(self):
        return self.harness.display.find_windows(BOX, self.app.pid)

    def watch_for_box(self, name, after, expected=PASSES, timeout=PRESS_TIMEOUT):
        """Watches the server log and the screen until the box comes. Fails if it
        comes before `expected` requests of the action have been answered.
        Returns (the box, the time it was first seen, the action's requests then)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            answered = [r for r in self.requests_of(name, after) if r["end_mono"] is not None]
            boxes = self.boxes()
            seen = time.monotonic()
            if boxes:
                self.assertGreaterEqual(len(answered), expected, "the box came after %d of %d answers"
                                        % (len(answered), expected))
                return boxes[0], seen, self.requests_of(name, after)
            self.assert_running("waiting for the box of %s" % name)
            time.sleep(0.05)
        self.fail("no box within %s s of pressing %s; %d requests; stderr:\n%s"
                  % (timeout, name, len(self.requests_of(name, after)), self.app.stderr()[-3000:]))

    def box_lines(self, box):
        """The box's lines of text, read once its drawing has settled."""
        readings = []

        def settled():
            readings.append(text_lines(box.screenshot()))
            return len(readings) >= 2 and readings[-1] is not None and readings[-1] == readings[-2]
        self.assertTrue(th.wait_until(settled, 10, 0.1), "the box never settled: %s" % readings[-5:])
        return readings[-1]

    def box_settled(self, box):
        """Waits until two screenshots of the box in a row are the same."""
        shots = []
        self.assertTrue(th.wait_until(lambda: shots.append(box.screenshot().rgb) or
                                      (len(shots) >= 2 and shots[-1] == shots[-2]), 10, 0.2),
                        "the box kept changing")

    def dismiss(self, box):
        """Enter on the box; returns a time before the box went."""
        before = time.monotonic()
        box.key("Return")
        self.assertTrue(th.wait_until(lambda: not box.exists(), 5), "Enter left the box open")
        return before

    def assert_seven_passes(self, requests, box_seen=None):
        """Seven requests, one at a time, each more than half a second after the
        previous answer ended, and the box more than half a second after the last."""
        self.assertEqual(len(requests), PASSES, [r["request_line"] for r in requests])
        for previous, following in zip(requests, requests[1:]):
            gap = following["start_mono"] - previous["end_mono"]
            self.assertGreater(gap, PASS_WAIT, "request %d began %.3f s after answer %d ended"
                               % (following["seq"], gap, previous["seq"]))
        if box_seen is not None:
            self.assertGreater(box_seen - requests[-1]["end_mono"], PASS_WAIT, "the box came too soon")

    def press_and_read(self, name, expected=PASSES):
        """A whole press: the box's lines of text, the action's requests; the box is dismissed."""
        after = self.last_seq()
        self.press(name)
        box, _, requests = self.watch_for_box(name, after, expected)
        lines = self.box_lines(box)
        self.dismiss(box)
        return lines, requests, box

    def still_working(self, what):
        """Both windows take clicks again: a reveal button opens the log-in page."""
        self.assert_running(what)
        self.assertEqual(self.boxes(), [], "%s: a box is still shown" % what)
        self.routes({k: v for k, v in self.action_routes.items() if k != LOGIN_HOST + LOGIN_PATH})
        self.reveal()

    def save_box(self, box, name):
        directory = os.environ.get("TARNELO_ARTIFACTS", os.getcwd())
        path = os.path.join(directory, name + ".png")
        self.harness.display.screenshot(box.geometry().frame).save_png(path)
        return path

    def add_host(self, host):
        """Resolves one more name to the test server, for programs started later
        and for look-ups of running ones (the file is bound in place, not copied)."""
        with open(os.path.join(self.harness.namespace.etc, "hosts"), "a") as f:
            f.write("127.0.0.1 %s\n" % host)

    # ------------------------------------------------------------ tests

    def test_press_sends_seven_requests_with_the_login(self):
        self.start()
        self.routes({route_key(name): numbered_answers(name) for name in ACTIONS})
        self.reveal()
        for name, (_, host, target) in ACTIONS.items():
            with self.subTest(name):
                after = self.last_seq()
                self.press(name)
                box, seen, requests = self.watch_for_box(name, after)
                self.assert_seven_passes(requests, seen)
                for request in requests:
                    self.assertEqual(request["request_line"], "GET %s HTTP/1.0" % target)
                    self.assertEqual(header_names(request), ["Accept", "Cookie", "Host", "User-Agent"],
                                     request["headers"])
                    self.assertIn("Host: " + host, request["headers"])
                    self.assertIn("User-Agent: " + USER_AGENT, request["headers"])
                    self.assertIn("Accept: */*", request["headers"])
                    self.assertEqual(cookies_of(request), LOGIN_COOKIES)
                others = [r["request_line"] for r in self.harness.server.requests()
                          if r["seq"] > after and r not in requests]
                self.assertEqual(others, [], "other requests during the press")
                self.assertEqual(self.box_lines(box), PASSES, "the box shows another answer than the seventh")
                self.assertEqual(len(self.boxes()), 1)
                self.dismiss(box)
                time.sleep(1)
                self.assertEqual(self.boxes(), [], "a second box came")
                self.assertEqual(len(self.requests_of(name, after)), PASSES, "requests after the box")

        with self.subTest("cookies from the answers reach the browser"):
            first = {"body": "cookies set", "headers": [
                ["Set-Cookie", "fromaction=1; Domain=.qq.com; Path=/"],
                ["Set-Cookie", "session_cookie=; Domain=.qq.com; Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT"]]}
            self.routes({route_key("按钮2", with_query=True): {"sequence": [first, {"body": "ok"}]}})
            lines, requests, _ = self.press_and_read("按钮2")
            self.assertEqual(lines, 1)
            expected = dict(LOGIN_COOKIES, fromaction="1")
            del expected["session_cookie"]
            self.assertEqual(cookies_of(requests[0]), LOGIN_COOKIES)
            for request in requests[1:]:
                self.assertEqual(cookies_of(request), expected, "pass %d" % request["seq"])
            # The browser's next page request to a qq.com host.
            _, rect, host, target = GUIDE_BUTTON
            after = self.last_seq()
            self.click_launcher(rect)
            page = self.harness.server.wait_requests(
                1, REQUEST_TIMEOUT, lambda r: r["seq"] > after and ("Host: " + host) in r["headers"])
            self.assertTrue(page, "no page request after the press")
            self.assertEqual(page[0]["target"], target)
            self.assertEqual(cookies_of(page[0]), expected)

    def test_box_shows_the_last_answer(self):
        self.start()
        rows = {
            "empty answers": ({"body": ""}, 0),
            "zero byte cuts the text": (
                {"body_base64": base64.b64encode(b"|line one|\n|line two|\0|line three|\n|four|").decode()}, 2),
            "zero byte first": ({"body_base64": base64.b64encode(b"\0|line one|\n|line two|").decode()}, 0),
            "404 page as text": ({"status": 404, "content_type": "text/html", "body":
                                  "<html>\n<head><title>404 Not Found</title></head>\n<body>\n"
                                  "<h1>Not Found</h1>\n</body>\n</html>"}, 6),
            "GBK text": ({"body_base64": gbk("|图标点亮成功！|\n|恭喜你获得QQ播客图标|")}, 2),
        }
        self.reveal(login=False)
        for row, (route, lines) in rows.items():
            with self.subTest(row):
                self.routes({route_key("按钮3"): route})
                after = self.last_seq()
                self.press("按钮3")
                box, seen, requests = self.watch_for_box("按钮3", after)
                self.assert_seven_passes(requests, seen)
                self.assertEqual(self.box_lines(box), lines)
                if row == "GBK text":
                    self.save_box(box, "e2e_actions_gbk")
                elif row.startswith("404"):
                    self.save_box(box, "e2e_actions_404")
                self.dismiss(box)
                self.still_working(row)

        with self.subTest("no server listening"):
            self.harness.server.stop()
            started = time.monotonic()
            self.press("按钮3")
            box = self.harness.wait_window(BOX, self.app, timeout=PRESS_TIMEOUT)
            self.assertGreater(time.monotonic() - started, PASSES * PASS_WAIT, "the box came before seven waits")
            self.assertEqual(self.box_lines(box), 0)
            self.dismiss(box)
            os.remove(os.path.join(self.harness.workdir, "server-ready"))
            self.harness.server = th.HttpServer(self.harness.namespace, self.harness.workdir,
                                                self.harness.environment())
            self.still_working("server back")

    def test_bad_answers_end_in_a_box(self):
        # A name outside the program's hosts, where a cookie for someone else
        # would show if it had been kept.
        self.add_host("www.example.com")
        self.start()
        three = lines_body(3)
        first = lines_body(1)
        redirect_loop = "http://" + ACTIONS["按钮2"][1] + ACTIONS["按钮2"][2]
        endless_piece = ("|" + "x" * 62 + "\n") * 1024
        rows = {
            "Content-Length too long": ({"body": first, "content_length": 4096}, 1),
            "Content-Length too short": ({"body": three, "content_length": len(first)}, 1),
            "no Content-Length": ({"body": three, "content_length": None}, 3),
            "reset in the body": ({"body": three, "reset_after": len(first) + 1}, (0, 1)),
            "redirect loop": ({"redirect": redirect_loop}, 0),
            "invalid GBK": ({"body_base64": base64.b64encode(b"|\x81\x20\xff\xfe\x80 bad|\n|\xd6\xd0|").decode()}, 2),
            "cookie for another domain": ({"body": first, "headers": [
                ["Set-Cookie", "foreign=1; Domain=.example.com; Path=/"]]}, 1),
            "endless body": ({"endless": True, "body": endless_piece}, None),
        }
        self.reveal(login=False)
        for row, (route, lines) in rows.items():
            with self.subTest(row):
                self.routes({route_key("按钮2"): route})
                after = self.last_seq()
                rss_before = rss_kib(self.app.pid)
                peak = [rss_before]
                self.press("按钮2")
                if row == "endless body":
                    # Sampled while the passes run, up to the box.
                    box = th.wait_until(lambda: self.boxes() or peak.append(rss_kib(self.app.pid)),
                                        PRESS_TIMEOUT * 2, 0.1)
                    self.assertTrue(box, "no box after the endless answers; stderr:\n" + self.app.stderr()[-3000:])
                    box = box[0]
                    self.box_settled(box)
                    requests = self.requests_of("按钮2", after)
                else:
                    box, seen, requests = self.watch_for_box("按钮2", after, 0 if row == "redirect loop" else PASSES)
                if row == "redirect loop":
                    # Each pass gives up after a bounded number of hops.
                    self.assertGreaterEqual(len(requests), PASSES)
                    self.assertLessEqual(len(requests), PASSES * 21)
                else:
                    self.assertEqual(len(requests), PASSES)
                if lines is not None:
                    read = self.box_lines(box)
                    self.assertIn(read, lines if isinstance(lines, tuple) else (lines,))
                else:
                    fetching = (max(peak) - rss_before) // 1024
                    showing = (rss_kib(self.app.pid) - rss_before) // 1024
                    self.assertLess(fetching, FETCH_GROWTH_MB, "the endless answers grew the program by %d MB"
                                    % fetching)
                    self.assertLess(showing, BOX_GROWTH_MB, "the box of 16 MiB grew the program by %d MB" % showing)
                    # The program hung up once it held the bound; the kernel's buffers took a little more.
                    self.assertEqual([r["outcome"] for r in requests], ["client-gone"] * PASSES)
                    for request in requests:
                        self.assertGreaterEqual(request["bytes"], BODY_BOUND)
                        self.assertLess(request["bytes"], 2 * BODY_BOUND)
                self.dismiss(box)
                self.still_working(row)
                if row == "cookie for another domain":
                    self.assert_foreign_cookie_never_sent()

    def assert_foreign_cookie_never_sent(self):
        # A top-level navigation to example.com would carry it if the browser had it.
        after = self.last_seq()
        probe = "/cookie-probe"
        self.routes({LOGIN_HOST + LOGIN_PATH: {"html": "<script>location.href = 'http://www.example.com%s'"
                                                       "</script>" % probe}})
        self.click_launcher(REVEAL_BUTTONS["按钮8"])
        arrived = self.harness.server.wait_requests(
            1, REQUEST_TIMEOUT, lambda r: r["seq"] > after and r["target"] == probe)
        self.assertTrue(arrived, "the probe page never reached example.com")
        self.assertIn("Host: www.example.com", arrived[0]["headers"])
        carrying = [r["request_line"] for r in self.harness.server.requests() if "foreign" in cookies_of(r)]
        self.assertEqual(carrying, [], "the cookie for .example.com was sent")

    def test_press_during_a_wait_runs_nested(self):
        self.start()
        outer = {"sequence": [{"body": lines_body(1)}, {"body": lines_body(1), "delay": 1.0}]
                 + [{"body": lines_body(1)}] * 4 + [{"body": lines_body(4)}]}
        inner = {"sequence": [{"body": lines_body(1)}] * 6 + [{"body": lines_body(2)}]}
        self.routes({route_key("按钮1"): outer, route_key("按钮3"): inner})
        self.reveal()
        after = self.last_seq()
        self.press("按钮1")
        second = self.harness.server.wait_requests(2, REQUEST_TIMEOUT,
                                                   lambda r: r["seq"] > after and r["route"] == route_key("按钮1"))
        self.assertEqual(len(second), 2)
        # Taken while the second answer is held back: the wait after it runs 按钮3.
        self.press("按钮3", activate=False)

        box, seen, nested = self.watch_for_box("按钮3", after)
        self.assert_seven_passes(nested, seen)
        hosts = [r["route"] for r in self.harness.server.requests() if r["seq"] > after]
        self.assertEqual(hosts, [route_key("按钮1")] * 2 + [route_key("按钮3")] * PASSES)
        self.assertEqual(self.box_lines(box), 2, "the first box is not 按钮3's")
        dismissed = self.dismiss(box)

        box, seen, resumed = self.watch_for_box("按钮1", after)
        self.assert_seven_passes(resumed, seen)
        self.assertGreater(resumed[2]["start_mono"], dismissed, "按钮1 went on before 按钮3's box was closed")
        hosts = [r["route"] for r in self.harness.server.requests() if r["seq"] > after]
        self.assertEqual(hosts, [route_key("按钮1")] * 2 + [route_key("按钮3")] * PASSES + [route_key("按钮1")] * 5)
        self.assertEqual(self.box_lines(box), 4, "the second box is not 按钮1's")
        self.dismiss(box)
        self.still_working("after the nested press")

    def test_closing_browser_during_a_wait(self):
        self.start()
        held = {"sequence": [{"body": lines_body(1)}] * 2 + [{"body": lines_body(1), "delay": 1.0}]
                + [{"body": lines_body(1)}] * 3 + [{"body": lines_body(3)}]}
        self.routes({route_key("按钮1"): held, route_key("按钮3"): numbered_answers()})
        browser = self.reveal()
        after = self.last_seq()
        self.press("按钮1")
        self.harness.server.wait_requests(3, REQUEST_TIMEOUT,
                                          lambda r: r["seq"] > after and r["route"] == route_key("按钮1"))
        # Esc while the third answer is held back closes the window in the wait after it.
        browser.key("Escape")
        self.assertTrue(th.wait_until(lambda: not browser.exists(), 5), "Esc left the browser window open")
        box, seen, requests = self.watch_for_box("按钮1", after)
        self.assert_seven_passes(requests, seen)
        self.assertEqual(self.box_lines(box), 3)
        self.dismiss(box)
        self.assertFalse(browser.exists())

        self.still_working("browser closed during a wait")
        lines, requests, _ = self.press_and_read("按钮3")
        self.assertEqual(lines, PASSES)
        self.assertEqual([cookies_of(r) for r in requests], [LOGIN_COOKIES] * PASSES)
        self.assert_running("after a press in the new browser window")

    def test_closing_launcher_during_a_wait_ends_process(self):
        self.start()
        held = {"sequence": [{"body": lines_body(1)}] * 2 + [{"body": lines_body(1), "delay": 1.5}]
                + [{"body": lines_body(1)}]}
        self.routes({route_key("按钮2"): held})
        self.reveal(login=False)
        after = self.last_seq()
        self.press("按钮2")
        self.harness.server.wait_requests(2, REQUEST_TIMEOUT,
                                          lambda r: r["seq"] > after and r["route"] == route_key("按钮2"))
        # The focus moves during the wait after the second pass; Esc goes in
        # while the third answer is held back, and is read in the wait after it.
        self.launcher.activate()
        self.harness.server.wait_requests(3, REQUEST_TIMEOUT,
                                          lambda r: r["seq"] > after and r["route"] == route_key("按钮2"))
        self.assertEqual(self.boxes(), [])
        self.launcher.key("Escape")
        code = self.app.wait(5)
        self.assertIsNotNone(code, "still running 5 s after Esc to the launcher")
        self.assertEqual(code, 0, "exit code; stderr:\n" + self.app.stderr()[-3000:])
        time.sleep(PASS_WAIT * 2)
        self.assertEqual(len(self.requests_of("按钮2", after)), 3, "requests after the launcher closed")
        self.assertEqual(self.harness.display.find_windows(BOX), [], "a box outlived the program")


def rss_kib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


if __name__ == "__main__":
    th.main()
