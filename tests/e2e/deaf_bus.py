#!/usr/bin/env python3
"""The program on a desktop whose message buses accept connections and never answer: it still
starts (the hub listens), says in its log which bus did not answer, and quits at once on
SIGTERM. Run under an X server (xvfb-run). Usage: deaf_bus.py PROGRAM"""
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time


def deaf_bus(path):
    """A socket that takes every connection and never says a word."""
    server = socket.socket(socket.AF_UNIX)
    server.bind(path)
    server.listen(64)
    held = []

    def take():
        while True:
            held.append(server.accept())

    threading.Thread(target=take, daemon=True).start()
    return server


def wait_for(predicate, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


def main():
    program = sys.argv[1]
    problems = []
    with tempfile.TemporaryDirectory() as home:
        bus = "unix:path=" + home + "/bus"
        deaf_bus(home + "/bus")
        env = {k: v for k, v in os.environ.items()
               if k != "QT_QPA_PLATFORM" and not k.startswith(("XDG_", "DBUS_"))}
        env.update(HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_STATE_HOME=home + "/state",
                   XDG_DATA_HOME=home + "/data", DBUS_SESSION_BUS_ADDRESS=bus,
                   DBUS_SYSTEM_BUS_ADDRESS=bus)
        log_path = home + "/state/Pivmor/pivmor.log"

        def log():
            try:
                with open(log_path, encoding="utf-8") as f:
                    return f.read()
            except FileNotFoundError:
                return ""

        p = subprocess.Popen([program, "--no-camera"], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        try:
            if not wait_for(lambda: re.search(r" listener (ready|failed) on port ", log()), 5):
                problems.append("the hub did not listen within 5 s")
            for bus_kind in ("session", "system"):
                if not re.search(f"{bus_kind} bus {re.escape(bus)} did not answer", log()):
                    problems.append(f"the log does not name the silent {bus_kind} bus")
            p.send_signal(signal.SIGTERM)
            try:
                if p.wait(timeout=1) != 0:
                    problems.append(f"exit status {p.returncode} after SIGTERM")
            except subprocess.TimeoutExpired:
                problems.append("still running 1 s after SIGTERM")
            if not log().endswith(" quit\n"):
                problems.append("no quit line at the end of the log")
        finally:
            if p.poll() is None:
                p.kill()
                p.wait()
        if problems:
            print("\n".join(problems) + "\nthe log:\n" + log())
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
