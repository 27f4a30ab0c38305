#!/usr/bin/env python3
"""SIGINT, SIGHUP and SIGTERM end the program alike: once it runs, in order through its quit
sequence (the log's last lines say which signal and "quit", exit status 0); at any moment of
its start-up, soon and either way, never a process left behind. In simulation mode, and on the
desktop when DISPLAY names an X server. Usage: signals.py PROGRAM"""
import os
import signal
import subprocess
import sys
import tempfile
import time

SIGNALS = [signal.SIGINT, signal.SIGHUP, signal.SIGTERM]
# (mode, arguments, environment additions)
MODES = [("simulation", ["--test-port", "0", "--no-camera"],
          {"QT_QPA_PLATFORM": "offscreen", "HELMVANTOR_HUB_PORT": "0",
           "HELMVANTOR_DISCOVERY_PORT": "0"})]
if os.environ.get("DISPLAY"):
    MODES.append(("desktop", ["--no-camera"], {}))
# Seconds after the start at which a signal meets the start-up.
EARLY = [0.05, 0.3]


def lines(log):
    try:
        with open(log) as f:
            return [l.rstrip("\n").split(" ", 3)[-1] for l in f]
    except FileNotFoundError:
        return []


def one(program, home, mode, args, extra, sig, delay, problems):
    """delay None: once the program runs; else that many seconds after the start."""
    os.makedirs(home + "/run", mode=0o700)
    env = {k: v for k, v in os.environ.items()
           if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY") and not k.startswith("XDG_")}
    env.update(HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_STATE_HOME=home + "/state",
               XDG_DATA_HOME=home + "/data", XDG_RUNTIME_DIR=home + "/run", **extra)
    log = home + "/state/Pivmor/pivmor.log"
    p = subprocess.Popen([program, *args], env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    what = f"{mode}, {sig.name} " + ("once it runs" if delay is None else f"after {delay} s")
    try:
        if delay is None:
            end = time.monotonic() + 20
            while not any(l.startswith("listener ") for l in lines(log)):
                if time.monotonic() > end or p.poll() is not None:
                    problems.append(f"{what}: it did not launch: {lines(log)}")
                    return
                time.sleep(0.05)
        else:
            time.sleep(delay)
        p.send_signal(sig)
        try:
            status = p.wait(timeout=10)
        except subprocess.TimeoutExpired:
            problems.append(f"{what}: still running 10 s later")
            return
        ended = lines(log)
        in_order = status == 0 and ended[-2:] == [f"{sig.name}: quitting", "quit"]
        # Before it could quit in order nothing needed undoing: the signal's own end then.
        at_once = status == -sig and not any(l.startswith("start ") for l in ended)
        if not (in_order or (delay is not None and at_once)):
            problems.append(f"{what}: exit {status}, log ends {ended[-3:]}")
    finally:
        if p.poll() is None:
            p.kill()
            p.wait()


def main():
    program = sys.argv[1]
    problems = []
    with tempfile.TemporaryDirectory() as root:
        n = 0
        for mode, args, extra in MODES:
            for sig in SIGNALS:
                for delay in [None] + EARLY:
                    n += 1
                    one(program, f"{root}/{n}", mode, args, extra, sig, delay, problems)
    print("\n".join(problems))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
