#!/usr/bin/env python3
"""One copy per user and display on the desktop: a second start shows the running copy's window
(the guide before it was walked through, the settings after) and ends with one line; a running
copy that does not answer is named and not waited for long; one that crashed leaves nothing
that stops the next start. Simulation runs, each with its own ports, run side by side.
Needs an X server in DISPLAY. Usage: one_copy.py PROGRAM"""
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

GUIDE = "Helmvantor already runs on this display: its setup guide is open."
SETTINGS = "Helmvantor already runs on this display: its settings window is open."


class Run:
    def __init__(self, program, home):
        self.program, self.home = program, home
        self.log = home + "/state/Pivmor/pivmor.log"
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY") and
                    not k.startswith("XDG_")}
        self.env.update(HOME=home, XDG_CONFIG_HOME=home + "/config",
                        XDG_STATE_HOME=home + "/state", XDG_DATA_HOME=home + "/data",
                        XDG_RUNTIME_DIR=home + "/run")
        os.makedirs(home + "/run", mode=0o700)

    def lines(self):
        try:
            with open(self.log) as f:
                return [l.split(" ", 3)[-1].rstrip("\n") for l in f]
        except FileNotFoundError:
            return []

    def wait_for(self, pattern, since=0, timeout=20):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if any(re.search(pattern, l) for l in self.lines()[since:]):
                return True
            time.sleep(0.05)
        return False

    def start(self, *args, env=None):
        return subprocess.Popen([self.program, *args], env=dict(self.env, **(env or {})),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def once(self, *args, timeout=20, env=None):
        started = time.monotonic()
        p = subprocess.run([self.program, *args], env=dict(self.env, **(env or {})),
                           capture_output=True, text=True, timeout=timeout)
        return p, time.monotonic() - started


def desktop(run, problems):
    first = run.start("--no-camera")
    try:
        if not run.wait_for(r"^listener (ready|failed) on port "):
            problems.append(f"the first copy did not launch: {run.lines()}")
            return
        before = len(run.lines())
        second, _ = run.once("--no-camera")
        if (second.returncode, second.stdout.splitlines(), second.stderr) != (0, [GUIDE], ""):
            problems.append(f"second start: {second}")
        if not run.wait_for(r"^another start: guide shown$", before, timeout=5):
            problems.append("the first copy did not show its guide")
        if sum(l.startswith("start ") for l in run.lines()) != 1:
            problems.append(f"the second start wrote to the log: {run.lines()[before:]}")

        # Stopped: it takes the connection but never answers.
        first.send_signal(signal.SIGSTOP)
        third, took = run.once("--no-camera")
        if third.returncode != 1 or f"(pid {first.pid}) but does not answer" not in third.stderr \
                or took > 10:
            problems.append(f"a start beside a copy that does not answer: {third}, {took:.1f} s")
        first.kill()  # a crash: the lock goes, the socket file stays
        first.wait()
        if not os.path.exists(run.home + f"/run/helmvantor-{os.getuid()}-"
                              f"{os.environ['DISPLAY']}.socket"):
            problems.append("the crashed copy left no socket file to trip over")
    finally:
        if first.poll() is None:
            first.kill()
            first.wait()

    # Walked through the guide: the next copy shows its settings to a second start.
    os.makedirs(run.home + "/config/com.pardwell.pivmor", exist_ok=True)
    with open(run.home + "/config/com.pardwell.pivmor/defaults.json", "w") as f:
        json.dump({"onboarded": True}, f)
    before = len(run.lines())
    fourth = run.start("--no-camera")
    successor = fourth
    try:
        if not run.wait_for(r"^listener (ready|failed) on port ", before):
            problems.append(f"no start after a crash: {run.lines()[before:]}")
            return
        fifth, _ = run.once("--no-camera")
        if (fifth.returncode, fifth.stdout.splitlines()) != (0, [SETTINGS]):
            problems.append(f"second start after the guide: {fifth}")
        if not run.wait_for(r"^another start: settings shown$", before, timeout=5):
            problems.append("the copy did not show its settings")
        # A copy started in its place (a new secret's restart) waits for it to go.
        before = len(run.lines())
        successor = run.start("--no-camera", env={"HELMVANTOR_RELAUNCHED": "1"})
        time.sleep(0.5)
        fourth.send_signal(signal.SIGTERM)
        if fourth.wait(timeout=10) != 0 or "quit" not in run.lines()[before:]:
            problems.append(f"SIGTERM: exit {fourth.returncode}, log {run.lines()[before:]}")
        if not run.wait_for(r"^start ", before) or successor.poll() is not None:
            problems.append(f"the successor did not take over: {successor.poll()}, "
                            f"{run.lines()[before:]}")
    finally:
        for p in (fourth, successor):
            if p.poll() is None:
                p.kill()
                p.wait()


def simulations(run, problems):
    env = {"QT_QPA_PLATFORM": "offscreen", "HELMVANTOR_HUB_PORT": "0",
           "HELMVANTOR_DISCOVERY_PORT": "0"}
    runs = [run.start("--test-port", "0", "--no-camera", env=env) for _ in range(2)]
    try:
        if not _ports_answer(run, 2):
            problems.append(f"two simulation runs side by side: {run.lines()[-12:]}")
    finally:
        for p in runs:
            p.send_signal(signal.SIGTERM)
            p.wait(timeout=10)
        if any(p.returncode != 0 for p in runs):
            problems.append(f"simulation runs ended {[p.returncode for p in runs]}")


def _ports_answer(run, count):
    end = time.monotonic() + 20
    while time.monotonic() < end:
        ports = [int(m.group(1)) for l in run.lines() if (m := re.match(r"test port (\d+)$", l))]
        if len(ports) >= count:
            for port in ports[-count:]:
                with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
                    s.sendall(b"status\n")
                    if not s.makefile().readline().startswith("gaze="):
                        return False
            return True
        time.sleep(0.05)
    return False


def main():
    program = sys.argv[1]
    problems = []
    with tempfile.TemporaryDirectory() as home:
        desktop(Run(program, home + "/desktop"), problems)
        simulations(Run(program, home + "/sim"), problems)
    print("\n".join(problems))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
