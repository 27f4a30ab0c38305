#!/usr/bin/env python3
"""Starts helmvantor in simulation mode with a throw-away home, drives it over its test
port and ends it with SIGTERM, checking the log and the exit status on the way."""

import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time


def fail(message, log=""):
    print("FAIL: " + message)
    if log:
        print("--- log ---\n" + log)
    sys.exit(1)


def wait_for(predicate, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return None


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def ask(conn, reader, text):
    conn.sendall(text.encode())
    return reader.readline().rstrip("\n")


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ)
        env.update(
            HOME=home,
            XDG_CONFIG_HOME=os.path.join(home, "config"),
            XDG_STATE_HOME=os.path.join(home, "state"),
            XDG_DATA_HOME=os.path.join(home, "data"),
            XDG_CACHE_HOME=os.path.join(home, "cache"),
            XDG_RUNTIME_DIR=home,
            QT_QPA_PLATFORM="offscreen",
        )
        log_path = os.path.join(home, "state", "Pivmor", "pivmor.log")
        proc = subprocess.Popen(
            [program, "--test-port", "0", "--no-camera", "--token", "s3cret", "--token=x"],
            env=env,
        )
        try:
            port = wait_for(lambda: re.search(r"test port (\d+)\n", read(log_path)), 20)
            if not port:
                fail("no test port in the log", read(log_path))
            port = int(port.group(1))

            with socket.create_connection(("127.0.0.1", port), timeout=10) as conn:
                reader = conn.makefile("r", encoding="utf-8")
                status = ask(conn, reader, "status\n")
                if not re.fullmatch(
                    r"gaze=\S+ keys=\S+ mouse=\S+ agents=\S* locked=\S+ held=\[[^\]]*\]"
                    r" sinceKey=\d+\.\d\d",
                    status,
                ):
                    fail("unexpected status line: " + repr(status))
                if not ask(conn, reader, "unstick\n").startswith("gaze=- keys=mac/0 mouse=mac/0 "):
                    fail("unstick did not answer the status line")
                for command in ("frobnicate\n", "STATUS\n", "   \n", "allinputs\n"):
                    reply = ask(conn, reader, command)
                    if reply != "?":
                        fail("%r answered %r instead of ?" % (command, reply))
                # Two commands in one write, then one command split across two writes.
                conn.sendall(b"health\r\nstatus\n")
                first, second = reader.readline(), reader.readline()
                if first != "health ok\n" or not second.startswith("gaze="):
                    fail("two commands in one write: %r %r" % (first, second))
                conn.sendall(b"hea")
                time.sleep(0.2)
                if ask(conn, reader, "lth\n") != "health ok":
                    fail("a command split across writes was not put together")

            proc.send_signal(signal.SIGTERM)
            try:
                code = proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                fail("no exit within 10 s of SIGTERM", read(log_path))
            if code != 0:
                fail("exit status %d" % code, read(log_path))
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()

        log = read(log_path)
        lines = [line.split(" ", 3)[3] for line in log.splitlines()]
        expected = [
            'start iso=false args=["--test-port", "0", "--no-camera"]',
            "camera off (simulation)",
            "test mode: no input capture, private clipboard",
            "test port %d" % port,
        ]
        if "unstick" not in lines:
            fail("unstick was not logged", log)
        if lines[: len(expected)] != expected:
            fail("launch lines differ", log)
        if lines[-1] != "quit":
            fail("the last line is not quit", log)
        if "s3cret" in log:
            fail("the token reached the log", log)
        for line in log.splitlines():
            if not re.match(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000 ", line):
                fail("badly dated line: " + line, log)
        print("ok")


if __name__ == "__main__":
    main()
