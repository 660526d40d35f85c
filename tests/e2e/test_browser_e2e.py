#!/usr/bin/env python3
"""The browser window of the real program from the outside: every launcher
button clicked with the pointer asks the local server for its row's page
exactly as the table holds the address; Esc and Tab inside a page's text field
belong to the window, not to the page; pages that open windows open none of
the program's; pages that fail, loop, flood or never come leave the program
answering with nothing shown beyond its two windows."""

import os
import sys
import time

import tarnelo_harness as th

LAUNCHER = "^Tarnelo$"
BROWSER = "^如果点亮图标失败，多尝试几次即可！$"
START_TIMEOUT = 60
REQUEST_TIMEOUT = 20

# The launcher's buttons as the program's tables give them: name, client
# rectangle (left, top, width, height) and the page address of the row.
MOBILE_LOGIN = "http://qzs.qq.com/qzone/mobile/login.html"
ROWS = [
    ("按钮1", (8, 169, 104, 25), "http://imgcache.qq.com/qzone/reg/reg1.html?"),
    ("按钮2", (248, 169, 104, 25),
     "http://mail.qq.com/cgi-bin/frame_html?sid=KD52-Rtoa-h8n3cE&r=e0d48b6c93f2a057d1c8e6b40f9a2d13"),
    ("按钮3", (8, 209, 104, 25), "http://web.qq.com"),
    ("按钮4", (128, 169, 104, 25),
     "http://3g.qq.com/p?i_url=http%3A%2F%2Fpt.3g.qq.com%2Fs%3Faid%3DnLogin3gqq%26auto%3D1%26g_f%3D1796"
     "%26sid%3DQm7tVrHs2NcYpe_Jo4GzLa9w"),
    ("按钮5", (128, 249, 104, 25), "http://my.soso.com/xuetang/light?pid=w.my.light&ch=w.my.light"),
    ("按钮6", (248, 249, 104, 25), "http://baike.soso.com/mySet.htm"),
    ("按钮7", (248, 369, 104, 25), MOBILE_LOGIN),
    ("按钮8", (128, 409, 104, 25), MOBILE_LOGIN),
    ("按钮9", (8, 249, 104, 25), "http://xui.ptlogin2.qq.com/div/qlogin_div.html?lang=2052&flag2=20&u1=http%3A%2F%"),
    ("按钮10", (128, 289, 104, 25), "http://home.qq.com/"),
    ("按钮11", (8, 289, 104, 25), "http://shuqian.qq.com/post/?21.54.50.296.0.12461694385765365"),
    ("按钮12", (248, 289, 104, 25),
     "https://www.tenpay.com/v2/register/qq.shtml?ADTAG=TENPAY_V2.REGISTER.GUIDE_REG"),
    ("按钮13", (8, 328, 104, 24), "http://sl.qq.com/act/a20110304dltb/"),
    ("按钮14", (128, 328, 104, 24), "http://xiaoxiong.qq.com/act/adopt/"),
    ("按钮15", (248, 328, 104, 24), "http://www.3366.com/act/a20101020light/"),
    ("按钮16", (8, 368, 104, 24), "http://www.3366.com/act/a20101020light/"),
    ("按钮17", (128, 368, 104, 24), "http://gamelife.qq.com/active/activation.shtml"),
    ("按钮18", (248, 208, 104, 24), "http://gamelife.qq.com/active/activation.shtml"),
    ("按钮19", (8, 408, 104, 24), MOBILE_LOGIN),
    ("按钮20", (128, 208, 104, 24), "http://www.pengyou.com/?http%3A%2F%2Fhome.pengyou.com%2Findex.php%3Fmod%3Dhome"),
]
BUTTONS = {name: rect for name, rect, _ in ROWS}
ADDRESSES = {name: address for name, _, address in ROWS}

# Same address twice in a row (按钮15/16, 按钮17/18, the reveal buttons) must
# still reach the server.
NO_STORE = {"headers": [["Cache-Control", "no-store"]],
            "html": "<!DOCTYPE html><html><head><meta charset='utf-8'><title>page</title></head>"
                    "<body><p>Tarnelo test server</p></body></html>"}

# A page that tells the server which keys reached it.
KEY_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>keys</title></head><body>
<input id="first" autofocus
       style="position:absolute;left:20px;top:20px;width:300px;height:30px;background:rgb(255,255,0)"
       onkeydown="fetch('/key?k=' + encodeURIComponent(event.key))">
<input id="second" style="position:absolute;left:20px;top:80px;width:300px;height:30px"
       onfocus="fetch('/focus2')">
</body></html>"""
FIRST_FIELD = (170, 35)
FIELD_COLOUR = (255, 255, 0)

# Shown for the screenshot: a block whose edges say where the page is drawn.
PICTURE_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>picture</title>
<style>body{margin:0;background:#fff;font:20px sans-serif}
#block{position:absolute;left:0;top:0;width:200px;height:100px;background:rgb(0,102,204)}
p{position:absolute;left:20px;top:120px;margin:0}</style></head>
<body><div id="block"></div><p>Tarnelo e2e: served from the local server</p></body></html>"""
BLOCK_COLOUR = (0, 102, 204)

POPUP_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>popup</title></head>
<body onload="window.open('http://mail.qq.com/popup-load')">
<div onclick="window.open('http://mail.qq.com/popup-click')"
     style="position:absolute;left:0;top:0;width:400px;height:300px;background:rgb(255,255,0)">click</div>
</body></html>"""

FLOOD_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>flood</title></head>
<body onload="for (let i = 0; i < 50; ++i) window.open('http://mail.qq.com/flood' + i)">flood</body></html>"""

# Records each address the program hands to the desktop, in place of xdg-open.
FAKE_XDG_OPEN = "#!/bin/sh\nprintf '%%s\\n' \"$1\" >> %s\n"

# A listener on 443 that notes the server name of each TLS client hello and
# hangs up: enough to see where an https address goes without a certificate.
SNI_LISTENER = r"""
import socket, sys
log, ready = sys.argv[1], sys.argv[2]
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("0.0.0.0", 443)); s.listen(8); open(ready, "w").close()
def server_name(hello):
    p = 5 + 4 + 2 + 32
    p += 1 + hello[p]
    p += 2 + int.from_bytes(hello[p:p + 2], "big")
    p += 1 + hello[p]
    end = p + 2 + int.from_bytes(hello[p:p + 2], "big"); p += 2
    while p + 4 <= end:
        kind, size = int.from_bytes(hello[p:p + 2], "big"), int.from_bytes(hello[p + 2:p + 4], "big")
        if kind == 0:
            return hello[p + 9:p + 9 + int.from_bytes(hello[p + 7:p + 9], "big")].decode()
        p += 4 + size
    return ""
while True:
    c, _ = s.accept(); c.settimeout(5); data = b""
    try:
        while len(data) < 5 or len(data) < 5 + int.from_bytes(data[3:5], "big"):
            chunk = c.recv(65536)
            if not chunk: break
            data += chunk
        name = server_name(data) if data[:1] == b"\x16" else "not tls"
    except Exception as e:
        name = "unreadable: %r" % e
    with open(log, "a") as f: f.write(name + "\n")
    c.close()
"""


def host_and_target(address):
    """The Host header and request target an address asks for, read literally."""
    rest = address.split("://", 1)[1]
    slash = rest.find("/")
    return (rest, "/") if slash < 0 else (rest[:slash], rest[slash:])


def lines_of(path):
    try:
        with open(path) as f:
            return f.read().split()
    except FileNotFoundError:
        return []


class BrowserTest(th.TestCase):
    def setUp(self):
        super().setUp()
        self.desktop_log = os.path.join(self.harness.workdir, "desktop-opened")
        fake_bin = os.path.join(self.harness.workdir, "bin")
        os.makedirs(fake_bin)
        with open(os.path.join(fake_bin, "xdg-open"), "w") as f:
            f.write(FAKE_XDG_OPEN % self.desktop_log)
        os.chmod(os.path.join(fake_bin, "xdg-open"), 0o755)
        env = {"PATH": fake_bin + ":" + os.environ.get("PATH", "/usr/bin:/bin")}
        if os.geteuid() == 0:
            env.setdefault("QTWEBENGINE_DISABLE_SANDBOX", os.environ.get("QTWEBENGINE_DISABLE_SANDBOX", "1"))
        self.harness.server.set_routes({}, default=NO_STORE)
        self.app = self.harness.start_tarnelo(env=env)
        self.launcher = self.harness.wait_window(LAUNCHER, self.app, timeout=START_TIMEOUT)

    # ------------------------------------------------------------ helpers

    def click_button(self, name):
        """Raises the launcher (the browser window covers it) and clicks the button's centre."""
        left, top, width, height = BUTTONS[name]
        self.launcher.activate()
        self.launcher.click(left + width // 2, top + height // 2)

    def last_seq(self):
        requests = self.harness.server.requests()
        return requests[-1]["seq"] if requests else 0

    def wait_request(self, after, match, timeout=REQUEST_TIMEOUT):
        """The first request after seq `after` that matches, or None."""
        found = self.harness.server.wait_requests(1, timeout, lambda r: r["seq"] > after and match(r))
        return found[0] if found else None

    def wait_page(self, name, after, timeout=REQUEST_TIMEOUT):
        host, _ = host_and_target(ADDRESSES[name])
        return self.wait_request(after, lambda r: ("Host: " + host) in r["headers"]
                                 and r["target"] != "/favicon.ico", timeout)

    def logged_targets(self, after=0):
        return [r["target"] for r in self.harness.server.requests() if r["seq"] > after]

    def shown_windows(self):
        ids = self.harness.display.x("xdotool", "search", "--onlyvisible", "--pid", str(self.app.pid),
                                     check=False).stdout.split()
        return sorted(th.Window(self.harness.display, int(w)).name() for w in ids)

    def assert_two_windows(self, what):
        self.assertTrue(self.app.running(), "%s: the program ended (%s); stderr:\n%s"
                        % (what, self.app.wait(0), self.app.stderr()[-3000:]))
        names = self.shown_windows()
        self.assertEqual(names, sorted(["Tarnelo", BROWSER.strip("^$")]), what)

    def open_page(self, name, html):
        """Clicks a guide button whose address is served as html; returns the browser window."""
        host, target = host_and_target(ADDRESSES[name])
        self.harness.server.set_routes({host + target.split("?")[0]: {"html": html}}, default=NO_STORE)
        after = self.last_seq()
        self.click_button(name)
        self.assertIsNotNone(self.wait_page(name, after), "%s: no page request" % name)
        return self.harness.wait_window(BROWSER, self.app)

    def wait_painted(self, browser, x, y, colour):
        """Waits until the page shows colour at (x, y): it is laid out and takes clicks."""
        shown = th.wait_until(lambda: browser.screenshot().pixel(x, y) == colour, 10, 0.1)
        self.assertTrue(shown, "the page never showed %s at %d,%d" % (colour, x, y))

    def desktop_opened(self):
        return lines_of(self.desktop_log)

    def still_answers(self, what, button="按钮6"):
        """The launcher still takes a click and the browser still navigates."""
        after = self.last_seq()
        self.click_button(button)
        request = self.wait_page(button, after)
        self.assertIsNotNone(request, "%s: the next click reached no server; stderr:\n%s"
                             % (what, self.app.stderr()[-3000:]))
        self.assertEqual(request["target"], host_and_target(ADDRESSES[button])[1])

    def start_sni_listener(self):
        log = os.path.join(self.harness.workdir, "tls-hellos")
        ready = os.path.join(self.harness.workdir, "tls-ready")
        listener = self.harness.start([sys.executable, "-c", SNI_LISTENER, log, ready], label="tls")
        self.assertTrue(th.wait_until(lambda: os.path.exists(ready) or not listener.running(), 10)
                        and os.path.exists(ready), "TLS listener: " + listener.stderr())
        return log

    # ------------------------------------------------------------ tests

    def test_every_button_asks_for_its_page(self):
        tls_log = self.start_sni_listener()
        for name, _, address in ROWS:
            with self.subTest(name):
                after = self.last_seq()
                self.click_button(name)
                host, target = host_and_target(address)
                if address.startswith("https://"):
                    # Port 80 is plain http: the engine goes to 443, where the
                    # listener sees the server name in the TLS hello and hangs up.
                    hellos = th.wait_until(lambda: lines_of(tls_log), REQUEST_TIMEOUT)
                    self.assertIn(host, hellos)
                    self.assertEqual(set(hellos), {host})
                    self.assertEqual([r for r in self.harness.server.requests() if r["seq"] > after
                                      and r["target"] != "/favicon.ico"], [])
                    continue
                request = self.wait_page(name, after)
                self.assertIsNotNone(request, "no request for %s; stderr:\n%s" % (address, self.app.stderr()[-3000:]))
                self.assertEqual(request["method"], "GET")
                if target.endswith("%"):
                    # The lone "%" at the end goes out as "%25", nothing else re-escaped.
                    self.assertIn(request["target"], (target, target[:-1] + "%25"))
                else:
                    self.assertEqual(request["target"], target)
                self.assertEqual([h for h in request["headers"] if h.lower().startswith("host:")], ["Host: " + host])
        self.assert_two_windows("after all twenty buttons")

        # Esc on the launcher ends the program with the browser window and its engine still up.
        self.launcher.key("Escape")
        self.assertEqual(self.app.wait(10), 0, "exit with the browser window open; stderr:\n%s"
                         % self.app.stderr()[-3000:])
        self.assertNotRegex(self.app.stderr(), "Release of profile requested|still not deleted")
        others = {self.harness.server.process.pid} | {p.pid for p in self.harness.processes if p is not self.app}
        self.assertTrue(th.wait_until(lambda: set(self.harness.namespace.pids()) <= others, 5),
                        "web engine helpers outlived the program")

    def test_served_page_on_screen(self):
        browser = self.open_page("按钮1", PICTURE_PAGE)
        image = th.wait_until(lambda: (lambda i: i if i.pixel(100, 50) == BLOCK_COLOUR else None)(
            browser.screenshot()), 10)
        self.assertIsNotNone(image, "the served page's block never appeared at the view's top left")
        path = os.path.join(os.environ.get("TARNELO_ARTIFACTS", os.getcwd()), "e2e_browser.png")
        browser.screenshot(frame=True).save_png(path)
        # The page is drawn at the view's own size: the block ends where the page says.
        self.assertEqual(image.pixel(199, 99), BLOCK_COLOUR)
        self.assertNotEqual(image.pixel(201, 101), BLOCK_COLOUR)
        notice = image.crop(th.Rect(8, 568, 696, 24))
        red = sum(1 for x in range(notice.width) for y in range(notice.height)
                  if (lambda p: p[0] > 200 and p[1] < 80 and p[2] < 80)(notice.pixel(x, y)))
        self.assertGreater(red, 50, "no red notice under the page")

    def test_window_keys_do_not_reach_the_page(self):
        browser = self.open_page("按钮1", KEY_PAGE)
        self.wait_painted(browser, *FIRST_FIELD, FIELD_COLOUR)
        browser.activate()
        browser.click(*FIRST_FIELD)
        browser.type("abc")
        keys = self.harness.server.wait_requests(3, 10, lambda r: r["target"].startswith("/key?"))
        self.assertEqual([r["target"] for r in keys], ["/key?k=a", "/key?k=b", "/key?k=c"],
                         "typed letters reach the page")

        for key in ("Tab", "shift+Tab"):
            with self.subTest(key):
                browser.activate()
                browser.click(*FIRST_FIELD)
                after = self.last_seq()
                browser.key(key)
                browser.click(*FIRST_FIELD)
                browser.type("z")
                # The page saw the letter after the key: anything it saw of the key came first.
                self.assertIsNotNone(self.wait_request(after, lambda r: r["target"] == "/key?k=z", 10))
                # Shift on its own is the page's; Tab, and the focus it would move, are not.
                self.assertEqual([t for t in self.logged_targets(after) if t not in ("/key?k=z", "/key?k=Shift")],
                                 [], "%s reached the page" % key)
                self.assertTrue(browser.exists())

        browser.click(*FIRST_FIELD)
        after = self.last_seq()
        browser.key("Escape")
        self.assertTrue(th.wait_until(lambda: not browser.exists(), 5), "Esc left the browser window open")
        time.sleep(0.5)
        self.assertEqual(self.logged_targets(after), [], "the page saw Esc")
        self.assertTrue(self.app.running(), "Esc in the browser window ended the program")
        self.assertEqual(self.shown_windows(), ["Tarnelo"])

    def test_page_opens_no_window_of_the_program(self):
        browser = self.open_page("按钮2", POPUP_PAGE)
        self.assertTrue(th.wait_until(lambda: "http://mail.qq.com/popup-load" in self.desktop_opened(), 10),
                        "the page's window.open on load went nowhere: %s" % self.desktop_opened())
        self.wait_painted(browser, 200, 150, FIELD_COLOUR)
        browser.activate()
        browser.click(200, 150)
        self.assertTrue(th.wait_until(lambda: "http://mail.qq.com/popup-click" in self.desktop_opened(), 10),
                        "the page's window.open on click went nowhere: %s" % self.desktop_opened())
        time.sleep(1)
        self.assert_two_windows("after window.open")
        self.assertEqual([t for t in self.logged_targets() if t.startswith("/popup")], [],
                         "the program's engine loaded a popup itself")
        self.still_answers("after window.open")

    def test_bad_pages_leave_the_program_answering(self):
        loop_key = "baike.soso.com/mySet.htm"
        rows = {
            "server answers 500": ("按钮2", {"status": 500, "html": "<p>Internal error</p>"}),
            "connection reset": ("按钮2", {"reset_after": 0}),
            "no answer at all": ("按钮2", {"delay": 30}),
            "redirect loop": ("按钮6", {"redirect": "http://baike.soso.com/mySet.htm"}),
            "many windows": ("按钮2", {"html": FLOOD_PAGE}),
        }
        for row, (name, route) in rows.items():
            with self.subTest(row):
                host, target = host_and_target(ADDRESSES[name])
                routes = {host + target.split("?")[0]: route}
                self.harness.server.set_routes(routes, default=NO_STORE)
                after = self.last_seq()
                self.click_button(name)
                self.assertIsNotNone(self.wait_page(name, after), "no request")
                if row == "redirect loop":
                    time.sleep(2)
                    loops = [r for r in self.harness.server.requests()
                             if r["seq"] > after and r["route"] == loop_key]
                    self.assertLess(len(loops), 30, "the engine kept following the loop")
                    time.sleep(1)
                    self.assertEqual(len([r for r in self.harness.server.requests()
                                          if r["seq"] > after and r["route"] == loop_key]), len(loops))
                elif row == "many windows":
                    th.wait_until(lambda: len(self.desktop_opened()) >= 50, 10)
                    self.assertTrue(all(a.startswith("http://mail.qq.com/flood") for a in self.desktop_opened()))
                else:
                    time.sleep(1)
                self.assert_two_windows(row)
                self.harness.server.set_routes({}, default=NO_STORE)
                self.still_answers(row, "按钮3")
                self.assert_two_windows(row + ", next page")

        with self.subTest("server not listening"):
            self.harness.server.stop()
            self.click_button("按钮2")
            time.sleep(2)
            self.assert_two_windows("server gone")
            ready = os.path.join(self.harness.workdir, "server-ready")
            os.remove(ready)
            self.harness.server = th.HttpServer(self.harness.namespace, self.harness.workdir,
                                                self.harness.environment())
            self.harness.server.set_routes({}, default=NO_STORE)
            self.still_answers("server back")
            self.assert_two_windows("server back")


if __name__ == "__main__":
    th.main()
