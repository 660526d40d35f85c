#!/usr/bin/env python3
"""Checks that the harness gives the end-to-end tests what they rely on: the
service hosts reach the local server and nothing else is reachable, the server
logs requests byte for byte and answers each way a test can ask, and the X
helpers see windows, frames, pixels, keys and clicks as a person would."""

import base64
import re
import time

import tarnelo_harness as th

RAW_REQUEST = (b"GET /raw?a=1&b=%41 HTTP/1.0\r\nHost: mail.qq.com\r\nx-lower-case: v\r\n"
               b"X-Dup: 1\r\nX-Dup: 2\r\nCookie: a=1\r\nCookie: b=2\r\n\r\n")
SEND_RAW = ("import socket,sys;s=socket.create_connection(('mail.qq.com',80));"
            "s.sendall(bytes.fromhex(sys.argv[1]));sys.stdout.buffer.write(s.makefile('rb').read())")


class NetworkTest(th.TestCase):
    def curl(self, *args, timeout=30):
        return self.harness.in_namespace(["curl", "-sS", "--max-time", "10"] + list(args), timeout=timeout)

    def test_every_service_host_reaches_the_server(self):
        hosts = self.harness.hosts
        self.assertIn("mail.qq.com", hosts)
        result = self.curl(*["http://%s/probe" % h for h in hosts])
        self.assertEqual(result.returncode, 0, result.stderr)
        logged = [r for r in self.harness.server.requests() if r["target"] == "/probe"]
        self.assertEqual([r["headers"][0] for r in logged], ["Host: %s" % h for h in hosts])

    def test_request_logged_exactly_as_sent(self):
        result = self.harness.in_namespace(["python3", "-c", SEND_RAW, RAW_REQUEST.hex()])
        self.assertEqual(result.returncode, 0, result.stderr)
        (request,) = self.harness.server.requests()
        lines = RAW_REQUEST.decode().split("\r\n")
        self.assertEqual(request["request_line"], lines[0])
        self.assertEqual(request["headers"], lines[1:-2])
        self.assertEqual((request["method"], request["target"], request["version"]),
                         ("GET", "/raw?a=1&b=%41", "HTTP/1.0"))
        self.assertEqual(request["outcome"], "complete")
        self.assertLessEqual(request["start"], request["end"])

    def test_nothing_but_loopback(self):
        for name in ("www.example.com", "qq.com", "www.qq.com"):
            with self.subTest(name):
                self.assertNotEqual(self.harness.in_namespace(["getent", "hosts", name]).returncode, 0)
                self.assertEqual(self.curl("http://%s/" % name).returncode, 6)  # could not resolve
        links = self.harness.in_namespace(["ip", "-o", "link", "show", "up"]).stdout.splitlines()
        self.assertEqual([l.split(":")[1].strip() for l in links], ["lo"])
        self.assertEqual(self.harness.in_namespace(["ip", "-4", "route", "show"]).stdout.strip(), "")
        self.assertEqual(self.harness.in_namespace(["ip", "-6", "route", "show"]).stdout.strip(), "")

    def test_answers(self):
        server = self.harness.server
        server.set_routes({
            "/cookies": {"headers": [["Set-Cookie", "a=1; Path=/"], ["Set-Cookie", "b=2; HttpOnly"]], "body": "ok"},
            "/bytes": {"body_base64": base64.b64encode(b"\xff\x00\xfe").decode(), "content_type": "application/x-test"},
            "/chunked": {"chunked": True, "chunk_size": 3, "body": "0123456789"},
            "/too-long": {"content_length": 100, "body": "short"},
            "/no-length": {"content_length": None, "body": "until close"},
            "/reset": {"body": "0123456789", "reset_after": 4},
            "/stall": {"body": "abcdef", "stall_after": 3, "stall": 30},
            "/endless": {"endless": True, "endless_limit": 10 ** 11, "endless_seconds": 20},
            "/loop-a": {"redirect": "/loop-b"}, "/loop-b": {"redirect": "/loop-a"},
            "/moved": {"redirect": "http://3g.qq.com/target", "status": 301},
            "3g.qq.com/target": {"html": "<p>arrived</p>"},
            "/late": {"delay": 0.6, "body": "late"},
            "/status": {"status": 503, "body": "busy"},
        })
        rows = [
            # name, curl arguments, curl's exit code, a pattern its output must match
            ("several Set-Cookie", ["-i", "http://mail.qq.com/cookies"], 0,
             r"Set-Cookie: a=1; Path=/\r\nSet-Cookie: b=2; HttpOnly\r\n(.|\n)*\r\n\r\nok$"),
            ("bytes", ["-i", "http://mail.qq.com/bytes"], 0, r"application/x-test(.|\n)*\r\n\r\n\ufffd\x00\ufffd$"),
            ("chunked", ["--raw", "http://mail.qq.com/chunked"], 0, r"^3\r\n012\r\n3\r\n345\r\n(.|\n)*0\r\n\r\n$"),
            ("announced length too long", ["http://mail.qq.com/too-long"], 18, r"^short$"),
            ("no length", ["http://mail.qq.com/no-length"], 0, r"^until close$"),
            ("reset in the body", ["http://mail.qq.com/reset"], 56, r"^0123$"),
            ("stall", ["--max-time", "1", "http://mail.qq.com/stall"], 28, r"^abc$"),
            ("endless body", ["--max-time", "1", "-o", "/dev/null", "http://mail.qq.com/endless"], 28, r"^$"),
            ("redirect loop", ["-L", "--max-redirs", "5", "http://mail.qq.com/loop-a"], 47, r"^$"),
            ("redirect to another host", ["-L", "http://mail.qq.com/moved"], 0, r"^<p>arrived</p>$"),
            ("status", ["-i", "http://mail.qq.com/status"], 0, r"^HTTP/1.1 503 Service Unavailable"),
            ("default page", ["http://xy.qq.com/anything"], 0, r"<html>"),
        ]
        for name, args, code, pattern in rows:
            with self.subTest(name):
                result = self.curl(*args)
                self.assertEqual(result.returncode, code, result.stderr)
                self.assertRegex(result.stdout, pattern)

        self.assertEqual(th.wait_until(lambda: self.request("/stall")["outcome"], 3), "client-gone")
        self.assertEqual(th.wait_until(lambda: self.request("/endless")["outcome"], 3), "client-gone")
        self.assertGreater(self.request("/endless")["bytes"], 1000000)
        self.assertEqual(self.request("/reset")["outcome"], "reset")
        self.assertEqual(len([r for r in server.requests() if r["target"] in ("/loop-a", "/loop-b")]), 6)
        self.assertGreaterEqual(self.curl_once_timed("/late"), 0.6)

    def request(self, target):
        return [r for r in self.harness.server.requests() if r["target"] == target][-1]

    def curl_once_timed(self, target):
        self.curl("http://mail.qq.com" + target)
        request = self.request(target)
        return request["end_mono"] - request["start_mono"]

    def test_answers_change_while_running(self):
        server = self.harness.server
        server.set_routes({"/x": {"sequence": [{"body": "first"}, {"body": "second"}]}})
        self.assertEqual([self.curl("http://xy.qq.com/x").stdout for _ in range(3)], ["first", "second", "second"])
        server.set_routes({"/x": {"body": "switched"}})
        self.assertEqual(self.curl("http://xy.qq.com/x").stdout, "switched")


class DisplayTest(th.TestCase):
    def test_window_frame_and_pixels(self):
        app = self.harness.start(["xlogo", "-geometry", "200x100+50+60", "-bg", "#ff0000", "-fg", "#0000ff"])
        window = self.harness.wait_window("^xlogo$", timeout=10)
        geometry = th.wait_until(lambda: (lambda g: g if g.frame.x == 50 else None)(window.geometry()), 3)
        # Openbox places the frame where the client asked for its window to be.
        self.assertEqual((geometry.frame.x, geometry.frame.y), (50, 60))
        self.assertEqual((geometry.client.width, geometry.client.height), (200, 100))
        left, right, top, bottom = geometry.extents
        self.assertGreater(top, 0)
        self.assertEqual(geometry.client.x, 50 + left)
        self.assertEqual(geometry.frame.width, 200 + left + right)
        self.assertEqual(geometry.frame.height, 100 + top + bottom)
        picture = window.screenshot()
        self.assertEqual((picture.width, picture.height), (200, 100))
        self.assertEqual(picture.pixel(2, 2), (255, 0, 0))
        self.assertIn((0, 0, 255), {picture.pixel(x, 50) for x in range(200)})
        self.assertEqual(window.capture().pixel(2, 2), (255, 0, 0))
        app.stop()

    def test_keys_and_clicks_arrive_like_a_persons(self):
        app = self.harness.start(["xev", "-geometry", "200x150+100+120", "-event", "button", "-event", "keyboard"])
        window = self.harness.wait_window("^Event Tester$", timeout=10)
        window.key("Escape", "shift+Tab")
        window.click(30, 40)
        events = th.wait_until(lambda: (lambda out: out if "ButtonRelease" in out else None)(app.stdout()), 5) or ""
        presses = re.findall(r"(KeyPress|ButtonPress) event, serial \d+, synthetic (\w+)(?:.|\n)*?"
                             r"\((-?\d+),(-?\d+)\)(?:.|\n)*?(?:keysym \w+, (\w+)|button (\d))", events)
        self.assertEqual([(kind, synthetic, name or button) for kind, synthetic, _, _, name, button in presses],
                         [("KeyPress", "NO", "Escape"), ("KeyPress", "NO", "Shift_L"),
                          ("KeyPress", "NO", "ISO_Left_Tab"), ("ButtonPress", "NO", "1")])
        self.assertEqual(presses[-1][2:4], ("30", "40"))
        app.stop()


if __name__ == "__main__":
    th.main()
