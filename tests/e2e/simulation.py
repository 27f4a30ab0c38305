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


def pair_with_fake_agent(conn, reader, agent, log_path):
    """Opens pairing over the test port; the fake agent pairs (simulation mode confirms the
    check code at once) and then logs in with the secret it was given."""
    hub = wait_for(lambda: re.search(r"listener ready on port (\d+)\n", read(log_path)), 10)
    if not hub:
        fail("the hub is not listening", read(log_path))
    hub = hub.group(1)
    for command in ("paircode\n", "paircode 12345\n", "paircode abcdef\n"):
        if ask(conn, reader, command) != "?":
            fail("%r was not answered with ?" % command)
    if not ask(conn, reader, "paircode 123456\n").startswith("gaze="):
        fail("paircode did not answer the status line")
    out = subprocess.run([agent, "pair", hub, "pc-e2e", "123456"], capture_output=True,
                         text=True, timeout=20).stdout
    m = re.search(r"paired ([0-9a-f]{48}) ([0-9a-f]{16})", out)
    if not m or "check code " not in out:
        fail("pairing failed: " + out, read(log_path))
    out = subprocess.run([agent, "login", hub, "pc-e2e", m.group(1), "--seconds", "1"],
                         capture_output=True, text=True, timeout=20).stdout
    if "logged in" not in out or "< D" not in out:
        fail("login with the paired secret failed: " + out, read(log_path))
    # While the PC is logged in the status line names it, and unstick releases it.
    agent_proc = subprocess.Popen([agent, "login", hub, "pc-e2e", m.group(1), "--seconds", "3"],
                                  stdout=subprocess.PIPE, text=True)
    try:
        if not wait_for(lambda: " agents=pc-e2e " in ask(conn, reader, "status\n"), 10):
            fail("the logged-in PC is missing from the status line", read(log_path))
        ask(conn, reader, "unstick\n")
        out = agent_proc.communicate(timeout=20)[0]
    finally:
        if agent_proc.poll() is None:
            agent_proc.kill()
            agent_proc.wait()
    if "< r\n" not in out:
        fail("unstick sent the PC no release line: " + out, read(log_path))
    # The code worked once.
    out = subprocess.run([agent, "pair", hub, "pc-late", "123456"], capture_output=True,
                         text=True, timeout=20).stdout
    if out.strip() != "no closed":
        fail("a used pairing code was accepted again: " + out, read(log_path))


def main():
    program = sys.argv[1]
    agent = sys.argv[2]
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
            HELMVANTOR_HUB_PORT="0",
            HELMVANTOR_DISCOVERY_PORT="0",
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
                # Nothing on the desk to learn yet: no run starts.
                reply = ask(conn, reader, "calibrate\n")
                if not reply.startswith("gaze=") or " cal=" in reply:
                    fail("calibrate with no screens answered %r" % reply)

                pair_with_fake_agent(conn, reader, agent, log_path)

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
        if not lines[1].startswith("listener ready on port "):
            fail("the hub did not start at launch", log)
        del lines[1]
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
