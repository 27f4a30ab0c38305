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


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    # A zombie is gone for good: only its parent, the script, has not collected it yet.
    with open(f"/proc/{pid}/stat") as f:
        return f.read().split(") ")[-1][0] != "Z"


def run(script, program, home, hub_port):
    """Starts the script, reads up to its last line; answers (lines, script, program pid)."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM") and
           not k.startswith("XDG_")}
    env.update(HOME=home, HELMVANTOR_PROGRAM=program, HELMVANTOR_HUB_PORT=str(hub_port),
               HELMVANTOR_DISCOVERY_PORT="0")
    p = subprocess.Popen(["bash", script], env=env, stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True, start_new_session=True)
    # Read on a thread: a program left behind keeps the pipe open after the script is gone.
    got = queue.Queue()
    threading.Thread(target=lambda: [got.put(l) for l in p.stdout] + [got.put(None)],
                     daemon=True).start()
    lines = []
    end = time.monotonic() + 40
    while time.monotonic() < end:
        try:
            line = got.get(timeout=max(0.1, end - time.monotonic()))
        except queue.Empty:
            break
        if line is None:
            break
        lines.append(line.rstrip("\n"))
        if line.startswith("Stop it with Ctrl-C."):
            break
    pid = next((int(m.group(1)) for l in lines if (m := re.search(r", pid (\d+)\.$", l))), None)
    return lines, p, pid


def stop(p, pid, problems, what):
    p.send_signal(signal.SIGINT)
    try:
        p.wait(timeout=20)
    except subprocess.TimeoutExpired:
        problems.append(f"{what}: the script did not end on SIGINT")
        os.killpg(p.pid, signal.SIGKILL)
    if pid is not None and alive(pid):
        problems.append(f"{what}: the program (pid {pid}) is still running")
        os.kill(pid, signal.SIGKILL)


def main():
    script, program = sys.argv[1], sys.argv[2]
    problems = []
    with tempfile.TemporaryDirectory() as home:
        lines, p, pid = run(script, program, home, 0)
        text = "\n".join(lines)
        port = re.search(r"test port: 127\.0\.0\.1:(\d+) ", text)
        if pid is None or not port or not text.endswith("Stop it with Ctrl-C."):
            problems.append("first run printed:\n" + text)
        else:
            with socket.create_connection(("127.0.0.1", int(port.group(1))), timeout=10) as s:
                s.sendall(b"status\n")
                if not s.makefile().readline().startswith("gaze="):
                    problems.append("the test port did not answer")
        stop(p, pid, problems, "first run")

        # The hub's port held by another program.
        with socket.socket() as held:
            held.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            held.bind(("0.0.0.0", 0))
            held.listen()
            taken = held.getsockname()[1]
            lines, p, pid = run(script, program, home, taken)
            text = "\n".join(lines)
            if f"The hub's port {taken} is taken by" not in text:
                problems.append("with the port taken it printed:\n" + text)
            stop(p, pid, problems, "port taken")
    for problem in problems:
        print(problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
