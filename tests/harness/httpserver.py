#!/usr/bin/env python3
"""The stand-in for every service host in the end-to-end tests.

One threaded HTTP/1.0 and 1.1 server (standard library only). For each
request it logs the request line and the header lines exactly as they
arrived, in order, case and duplicates kept, with the time the request began
and the time its answer ended, as JSON lines. It answers from a JSON file of
routes that it reads again for every request, so a test can change the
answers while the program runs.

Config file:
  {"routes": {"<key>": ROUTE, ...}, "default": ROUTE}
A key is matched against, in this order: "host/path?query", "host/path",
"/path?query", "/path"; then keys ending in "*" as prefixes of the same four
forms, longest first. The host is the Host header without port, lower case.
Without a match the default route answers (200, a small HTML page).

ROUTE fields (all optional):
  status, reason          status line (default 200 and its usual phrase)
  headers                 [[name, value], ...] in order (Set-Cookie may repeat)
                          or {name: value}
  body | body_base64 | html
                          the body as text (UTF-8), bytes, or an HTML page
                          (html gets Content-Type text/html unless headers set one)
  content_type            Content-Type when headers give none
  redirect                a Location; the status becomes 302 unless given
  delay                   seconds to wait before sending anything
  chunked                 true: Transfer-Encoding chunked; chunk_size (default 7)
  content_length          an integer to announce instead of the real length,
                          or null to send none (the connection then closes)
  reset_after             bytes of body after which the connection is reset (RST)
  stall_after, stall      after stall_after bytes of body (default 0) sleep
                          stall seconds (default 600), then close
  endless                 true: body never ends (bounded by endless_limit bytes,
                          default 256 MiB, and endless_seconds, default 120)
  close                   true: close the connection after this answer
  sequence                [ROUTE, ...]: successive requests to this key get
                          the next entry; the last one repeats

Log lines: {"event": "request", "seq", "start", "start_mono", "client",
"request_line", "headers", "method", "target", "version", "body_base64",
"route"} when the request head (and body) has been read, then {"event":
"answer", "seq", "end", "end_mono", "outcome", "bytes"} when the answer ends.
outcome is "complete", "reset", "stalled", "endless" or "client-gone".
"""

import argparse
import base64
import json
import os
import socket
import struct
import threading
import time
from http import HTTPStatus

DEFAULT_PAGE = (
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Test page</title></head>"
    "<body><p>Tarnelo test server</p></body></html>"
)
MAX_HEAD = 64 * 1024


class Log:
    def __init__(self, path):
        self._file = open(path, "a", encoding="utf-8")
        self._lock = threading.Lock()
        self._seq = 0

    def next_seq(self):
        with self._lock:
            self._seq += 1
            return self._seq

    def write(self, entry):
        line = json.dumps(entry, ensure_ascii=False)
        with self._lock:
            self._file.write(line + "\n")
            self._file.flush()


class Config:
    """Re-read for every request; a half-written file keeps the last good one."""

    def __init__(self, path):
        self._path = path
        self._last = {}
        self._lock = threading.Lock()
        self._counters = {}

    def load(self):
        try:
            with open(self._path, encoding="utf-8") as f:
                data = json.load(f)
            with self._lock:
                self._last = data
        except (OSError, ValueError):
            pass
        with self._lock:
            return self._last

    def take_from_sequence(self, key, steps):
        with self._lock:
            n = self._counters.get(key, 0)
            self._counters[key] = n + 1
        return steps[min(n, len(steps) - 1)]


def find_route(config, host, target):
    routes = config.get("routes", {})
    path = target.split("?", 1)[0]
    forms = [host + target, host + path, target, path]
    for form in forms:
        if form in routes:
            return form, routes[form]
    prefixes = sorted((k for k in routes if k.endswith("*")), key=len, reverse=True)
    for key in prefixes:
        if any(form.startswith(key[:-1]) for form in forms):
            return key, routes[key]
    return "default", config.get("default", {})


class ClientGone(Exception):
    pass


class Connection:
    def __init__(self, sock, addr, log, config):
        self.sock = sock
        self.addr = addr
        self.log = log
        self.config = config
        self.buffer = b""
        self.sent = 0

    def run(self):
        try:
            while self.serve_one():
                pass
        except (ClientGone, OSError):
            pass
        finally:
            try:
                self.sock.close()
            except OSError:
                pass

    def recv_more(self):
        data = self.sock.recv(65536)
        if not data:
            raise ClientGone()
        self.buffer += data

    def read_head(self):
        """Returns (head bytes, start times) or (None, None) when the client left."""
        start = (time.time(), time.monotonic()) if self.buffer else None
        while True:
            crlf, lf = self.buffer.find(b"\r\n\r\n"), self.buffer.find(b"\n\n")
            if crlf >= 0 and (lf < 0 or crlf < lf):
                head, self.buffer = self.buffer[:crlf], self.buffer[crlf + 4:]
                return head, start
            if lf >= 0:
                head, self.buffer = self.buffer[:lf], self.buffer[lf + 2:]
                return head, start
            if len(self.buffer) > MAX_HEAD:
                raise ClientGone()
            try:
                self.recv_more()
            except ClientGone:
                if not self.buffer:
                    return None, None
                raise
            if start is None:
                start = (time.time(), time.monotonic())

    def read_body(self, headers):
        length = 0
        for line in headers:
            name, _, value = line.partition(":")
            if name.strip().lower() == "content-length":
                try:
                    length = int(value.strip())
                except ValueError:
                    length = 0
        while len(self.buffer) < length:
            self.recv_more()
        body, self.buffer = self.buffer[:length], self.buffer[length:]
        return body

    def serve_one(self):
        head, start = self.read_head()
        if head is None:
            return False
        lines = [l[:-1] if l.endswith("\r") else l for l in head.decode("latin-1").split("\n")]
        request_line, headers = lines[0], lines[1:]
        parts = request_line.split(" ")
        method = parts[0] if parts else ""
        target = parts[1] if len(parts) > 1 else ""
        version = parts[2] if len(parts) > 2 else "HTTP/0.9"
        body = self.read_body(headers)
        host = ""
        for line in headers:
            name, _, value = line.partition(":")
            if name.strip().lower() == "host":
                host = value.strip().lower()
                host = host[:host.index("]") + 1] if host.startswith("[") and "]" in host else host.split(":")[0]
                break
        config = self.config.load()
        key, route = find_route(config, host, target)
        if "sequence" in route and route["sequence"]:
            route = self.config.take_from_sequence(key, route["sequence"])
        seq = self.log.next_seq()
        self.log.write({
            "event": "request", "seq": seq, "start": start[0], "start_mono": start[1],
            "client": "%s:%s" % (self.addr[0].removeprefix("::ffff:"), self.addr[1]),
            "request_line": request_line, "headers": headers,
            "method": method, "target": target, "version": version,
            "body_base64": base64.b64encode(body).decode("ascii"), "route": key,
        })
        wants_close = version != "HTTP/1.1" or any(
            l.partition(":")[0].strip().lower() == "connection" and "close" in l.lower() for l in headers)
        outcome, keep = "client-gone", False
        self.sent = 0
        try:
            outcome, keep = self.answer(route, method)
        finally:
            self.log.write({"event": "answer", "seq": seq, "end": time.time(),
                            "end_mono": time.monotonic(), "outcome": outcome, "bytes": self.sent})
        return keep and not wants_close

    def answer(self, route, method):
        """Sends the answer; returns (outcome, keep the connection). self.sent counts the body bytes."""
        if route.get("delay"):
            time.sleep(float(route["delay"]))
        body = route_body(route)
        status = int(route.get("status", 302 if "redirect" in route else 200))
        reason = route.get("reason")
        if reason is None:
            try:
                reason = HTTPStatus(status).phrase
            except ValueError:
                reason = "Unknown"
        headers = route_headers(route)
        names = {n.lower() for n, _ in headers}
        if "redirect" in route and "location" not in names:
            headers.append(("Location", route["redirect"]))
        if "content-type" not in names:
            headers.append(("Content-Type", route.get(
                "content_type", "text/plain; charset=utf-8" if "body" in route or "body_base64" in route
                else "text/html; charset=utf-8")))
        chunked = bool(route.get("chunked"))
        endless = bool(route.get("endless"))
        keep = not route.get("close", False)
        if chunked:
            headers.append(("Transfer-Encoding", "chunked"))
        elif "content_length" in route:
            if route["content_length"] is None:
                keep = False
            else:
                headers.append(("Content-Length", str(int(route["content_length"]))))
                keep = keep and int(route["content_length"]) == len(body)
        elif endless:
            keep = False
        else:
            headers.append(("Content-Length", str(len(body))))
        if not keep:
            headers.append(("Connection", "close"))
        head = "HTTP/1.1 %d %s\r\n" % (status, reason)
        head += "".join("%s: %s\r\n" % (n, v) for n, v in headers) + "\r\n"
        self.send(head.encode("latin-1"))
        if method == "HEAD":
            return "complete", keep
        if endless:
            return self.send_endless(route, chunked)
        return self.send_body(route, body, chunked, keep)

    def send(self, data):
        try:
            self.sock.sendall(data)
        except OSError:
            raise ClientGone()

    def send_body(self, route, body, chunked, keep):
        reset_at = route.get("reset_after")
        stall_at = route.get("stall_after", 0) if "stall" in route else None
        size = int(route.get("chunk_size", 7)) if chunked else max(len(body), 1)
        while True:
            if reset_at is not None and self.sent >= reset_at:
                return self.reset()
            if stall_at is not None and self.sent >= stall_at:
                return self.stall(route)
            if self.sent >= len(body):
                break
            limit = min([len(body)] + [m for m in (reset_at, stall_at) if m is not None and m > self.sent])
            self.send_piece(body[self.sent:min(limit, self.sent + size)], chunked)
        # A mark past the end of the body acts once all of it is out.
        if reset_at is not None:
            return self.reset()
        if stall_at is not None:
            return self.stall(route)
        if chunked:
            self.send(b"0\r\n\r\n")
        return "complete", keep

    def send_piece(self, piece, chunked):
        self.send(b"%x\r\n%s\r\n" % (len(piece), piece) if chunked else piece)
        self.sent += len(piece)

    def send_endless(self, route, chunked):
        limit = int(route.get("endless_limit", 256 * 1024 * 1024))
        until = time.monotonic() + float(route.get("endless_seconds", 120))
        piece = route_body(route) if any(k in route for k in ("body", "body_base64", "html")) else b"x" * 4096
        while self.sent < limit and time.monotonic() < until:
            self.send_piece(piece, chunked)
        return "endless", False

    def reset(self):
        # SO_LINGER with a zero timeout turns close() into a TCP reset.
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.sock.close()
        return "reset", False

    def stall(self, route):
        until = time.monotonic() + float(route.get("stall", 600))
        self.sock.settimeout(0.2)
        while time.monotonic() < until:
            try:
                if not self.sock.recv(65536):
                    return "client-gone", False
            except socket.timeout:
                continue
            except OSError:
                return "client-gone", False
        return "stalled", False


def route_body(route):
    if "body_base64" in route:
        return base64.b64decode(route["body_base64"])
    if "body" in route:
        return route["body"].encode("utf-8")
    if "html" in route:
        return route["html"].encode("utf-8")
    if "redirect" in route:
        return b""
    return DEFAULT_PAGE.encode("utf-8")


def route_headers(route):
    headers = route.get("headers", [])
    if isinstance(headers, dict):
        return [(n, v) for n, v in headers.items()]
    return [(n, v) for n, v in headers]


def listening_socket(port):
    """Dual-stack where IPv6 exists, so "localhost" as ::1 reaches us too."""
    try:
        sock = socket.socket(socket.AF_INET6, socket.SOCK_STREAM)
        sock.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind(("::", port))
    except OSError:
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind(("0.0.0.0", port))
    sock.listen(64)
    return sock


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--config", required=True, help="JSON routes, read again per request")
    parser.add_argument("--log", required=True, help="JSON lines of requests and answers")
    parser.add_argument("--ready", help="file written once the port listens")
    args = parser.parse_args()

    log = Log(args.log)
    config = Config(args.config)
    sock = listening_socket(args.port)
    if args.ready:
        with open(args.ready + ".tmp", "w") as f:
            f.write("%d\n" % os.getpid())
        os.replace(args.ready + ".tmp", args.ready)
    while True:
        client, addr = sock.accept()
        connection = Connection(client, addr, log, config)
        threading.Thread(target=connection.run, daemon=True).start()


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        pass
