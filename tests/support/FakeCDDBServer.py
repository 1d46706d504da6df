#!/usr/bin/env python3
"""A local CD database server for the tests: speaks cddb.cgi over HTTP on
127.0.0.1 (fields cmd, hello and proto), or works as a plain HTTP proxy to
servers on this computer.

    FakeCDDBServer.py --rules RULES.json --log LOG.jsonl [--proxy] [--lifetime S]

Prints "PORT <n>" once it listens. Every request is appended to the log as
one JSON object per line. The rules file is read at each request, so a test
may change it while the server runs. It holds a list of rules; the first
whose "cmd" (a regular expression) matches the whole command answers:

    {"cmd": "cddb query .*", "body": "200 rock ...", "encoding": "latin-1"}
    {"cmd": "sites", "hang": true}            # never answers
    {"cmd": "sites", "size": 10000000}        # an endless body of that size
    {"cmd": "sites", "status": 500}           # an HTTP error status
    {"cmd": "sites", "trickle": 2, "body": ...} # one byte every 2 seconds
    {"cmd": "cddb query .*", "matches": 20000}  # "211" and that many matches
    {"cmd": "cddb query .*", "matches": 20000, "match_length": 60}  # each line that long
    {"cmd": "sites", "length": "none", ...}   # no Content-Length (the end closes)
    {"cmd": "sites", "length": "10", ...}     # a Content-Length that lies
    {"cmd": "sites", "raw": true, "body": "HTTP/1.1 2OO OK\r\n..."}  # sent as it is

A greeting that is not four words is answered "409 No handshake", a command
no rule matches "500 Command syntax error". The server ends by itself after
its lifetime (60 s unless given).
"""

import argparse
import http.client
import json
import os
import re
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CGI_PATH = "/~cddb/cddb.cgi"


def load_rules(path):
    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError):
        return []


class Handler(BaseHTTPRequestHandler):
    server_version = "FakeCDDB/1.0"

    def log_message(self, *args):
        pass

    def record(self, body):
        entry = {
            "method": self.command,
            "path": self.path,
            "request_line": self.requestline,
            "user_agent": self.headers.get("User-Agent", ""),
            "content_type": self.headers.get("Content-Type", ""),
            "body": body.decode("latin-1"),
        }
        with self.server.log_lock, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(entry) + "\n")

    def read_body(self):
        length = int(self.headers.get("Content-Length", "0") or 0)
        return self.rfile.read(length) if length > 0 else b""

    # Sends the headers, then the pieces (a client that hangs up ends it).
    # A rule's "length" replaces the Content-Length: "none" leaves it out.
    def send_pieces(self, status, length, pieces, interval=0):
        announced = str(self.rule.get("length") or length)
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        if announced != "none":
            self.send_header("Content-Length", announced)
        self.end_headers()
        try:
            for piece in pieces:
                self.wfile.write(piece)
                self.wfile.flush()
                time.sleep(interval)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def send_text(self, status, data):
        self.send_pieces(status, len(data), [data])

    def send_trickling(self, data, interval):
        self.send_pieces(200, len(data), (data[i:i + 1] for i in range(len(data))), interval)

    def send_endless(self, size):
        chunk = b"210 " + b"x" * 1019 + b"\n"
        self.send_pieces(200, size, (chunk[: size - sent] for sent in range(0, size, len(chunk))))

    def do_POST(self):
        self.rule = {}
        body = self.read_body()
        self.record(body)
        if self.server.proxy:
            self.forward(body)
        else:
            self.answer(body)

    def forward(self, body):
        target = urllib.parse.urlsplit(self.path)
        if not target.hostname:
            self.send_text(400, b"not a proxy request")
            return
        if target.hostname not in ("127.0.0.1", "localhost"):
            self.send_text(502, b"only servers on this computer")
            return
        connection = http.client.HTTPConnection(target.hostname, target.port or 80, timeout=20)
        path = target.path + ("?" + target.query if target.query else "")
        headers = {k: v for k, v in self.headers.items() if k.lower() not in ("proxy-connection", "connection")}
        try:
            connection.request(self.command, path, body=body, headers=headers)
            response = connection.getresponse()
            data = response.read()
        except OSError as error:
            self.send_text(502, str(error).encode())
            return
        finally:
            connection.close()
        self.send_text(response.status, data)

    def match_lines(self, count, length):
        lines = ("misc %08x Artist %d / Title %d" % (i, i, i) for i in range(count))
        return "".join(line.ljust(length - 2, "x") + "\r\n" for line in lines)

    def answer(self, body):
        if urllib.parse.urlsplit(self.path).path != CGI_PATH:
            self.send_text(404, b"not found")
            return
        fields = urllib.parse.parse_qs(body.decode("latin-1"), keep_blank_values=True)
        command = fields.get("cmd", [""])[0]
        hello = fields.get("hello", [""])[0]
        if len(hello.split(" ")) != 4 or any(word == "" for word in hello.split(" ")):
            self.send_text(200, b"409 No handshake\r\n")
            return
        for rule in load_rules(self.server.rules_path):
            if not re.fullmatch(rule.get("cmd", ""), command):
                continue
            self.rule = rule
            if rule.get("hang"):
                time.sleep(self.server.lifetime)
                return
            if rule.get("size"):
                self.send_endless(int(rule["size"]))
                return
            if rule.get("matches"):
                data = ("211 close matches found\r\n" +
                        self.match_lines(int(rule["matches"]), int(rule.get("match_length") or 0)) + ".\r\n")
            else:
                data = rule.get("body", "")
            data = data.encode(rule.get("encoding", "utf-8"))
            if rule.get("raw"):
                self.wfile.write(data)
                return
            if rule.get("trickle"):
                self.send_trickling(data, float(rule["trickle"]))
                return
            self.send_text(int(rule.get("status", 200)), data)
            return
        self.send_text(200, b"500 Command syntax error\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rules", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--proxy", action="store_true")
    parser.add_argument("--lifetime", type=float, default=60.0)
    options = parser.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.rules_path = options.rules
    server.log_path = options.log
    server.log_lock = threading.Lock()
    server.proxy = options.proxy
    server.lifetime = options.lifetime
    threading.Timer(options.lifetime, lambda: os._exit(0)).start()
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
