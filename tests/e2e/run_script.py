#!/usr/bin/env python3
"""scripts/run.sh as a newcomer's first `make run`: a fresh home and no display. It prints its
lines, the program answers on the test port, and SIGINT to the script leaves nothing running;
a hub port held elsewhere is named. Usage: run_script.py SCRIPT PROGRAM"""
import os
import queue
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time


def run(script, program, home, hub_port, problems):
    """Runs the script until its last line and then SIGINT; answers what it printed."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM") and
           not k.startswith("XDG_")}
    env.update(HOME=home, HELMVANTOR_PROGRAM=program, HELMVANTOR_HUB_PORT=str(hub_port),
               HELMVANTOR_DISCOVERY_PORT="0")
    p = subprocess.Popen(["bash", script], env=env, stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True, start_new_session=True)
    # Read on a thread: a program left behind keeps the pipe open after the script is gone.
    got = queue.Queue()
    threading.Thread(target=lambda: [got.put(l) for l in p.stdout] + [got.put("")],
                     daemon=True).start()
    lines, end = [], time.monotonic() + 40
    while not lines or not lines[-1].startswith("Stop it with Ctrl-C."):
        try:
            line = got.get(timeout=max(0.1, end - time.monotonic()))
        except queue.Empty:
            break
        if not line:
            break
        lines.append(line.rstrip("\n"))
    text = "\n".join(lines)
    port = re.search(r"test port: 127\.0\.0\.1:(\d+) ", text)
    if port:
        with socket.create_connection(("127.0.0.1", int(port.group(1))), timeout=10) as s:
            s.sendall(b"status\n")
            if not s.makefile().readline().startswith("gaze="):
                problems.append("the test port did not answer")
    p.send_signal(signal.SIGINT)
    try:
        p.wait(timeout=20)
    except subprocess.TimeoutExpired:
        problems.append("the script did not end on SIGINT")
    pid = re.search(r", pid (\d+)\.$", text, re.M)
    if pid and os.path.exists(f"/proc/{pid.group(1)}") and \
            open(f"/proc/{pid.group(1)}/stat").read().split(") ")[-1][0] != "Z":
        problems.append(f"the program (pid {pid.group(1)}) is still running")
        os.kill(int(pid.group(1)), signal.SIGKILL)
    try:  # whatever is left of the run, the script included
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    return text, port, pid


def main():
    script, program = sys.argv[1], sys.argv[2]
    problems = []
    with tempfile.TemporaryDirectory() as home:
        text, port, pid = run(script, program, home, 0, problems)
        if not port or not pid or not text.endswith("Stop it with Ctrl-C."):
            problems.append("a first run printed:\n" + text)
        with socket.socket() as held:  # the hub's port held by another program
            held.bind(("0.0.0.0", 0))
            held.listen()
            taken = held.getsockname()[1]
            text, _, _ = run(script, program, home, taken, problems)
            if f"The hub's port {taken} is taken by" not in text:
                problems.append("with the hub's port taken it printed:\n" + text)
    print("\n".join(problems))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
