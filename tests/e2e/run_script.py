#!/usr/bin/env python3
"""`make run` as a newcomer's first: a fresh home and no display. It asks dpkg once for every
package and starts the built program, prints its lines, the program answers on the test port,
and Ctrl-C (SIGINT to the whole group) leaves nothing running; a hub port held elsewhere is
named. The package check asks for exactly the packages that are not installed.
Usage: run_script.py SOURCE_DIR BUILD_DIR"""
import json
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


# Stand-ins for dpkg-query, apt-get and sudo: each call is recorded in $FAKE_CALLS; dpkg-query
# reports the statuses in $FAKE_STATUS (JSON, by package; "installed" by default, null for a
# package it has never heard of) in the format it is given.
FAKE = r"""#!/usr/bin/env python3
import json, os, sys
with open(os.environ["FAKE_CALLS"], "a") as f:
    f.write(json.dumps([os.path.basename(sys.argv[0])] + sys.argv[1:]) + "\n")
if os.path.basename(sys.argv[0]) == "sudo":
    os.execvp(sys.argv[1], sys.argv[1:])
if os.path.basename(sys.argv[0]) == "dpkg-query":
    form = next(a[3:] for a in sys.argv if a.startswith("-f="))
    statuses = json.loads(os.environ.get("FAKE_STATUS", "{}"))
    unknown = False
    for name in [a for a in sys.argv[1:] if not a.startswith("-")]:
        status = statuses.get(name, "install ok installed")
        if status is None:
            print(f"dpkg-query: no packages found matching {name}", file=sys.stderr)
            unknown = True
            continue
        sys.stdout.write(form.replace("${Package}", name).replace("${Status}", status)
                         .replace("\\n", "\n"))
    sys.exit(1 if unknown else 0)
"""


def fakes(folder):
    os.makedirs(folder)
    for name in ("dpkg-query", "apt-get", "sudo"):
        with open(f"{folder}/{name}", "w") as f:
            f.write(FAKE)
        os.chmod(f"{folder}/{name}", 0o755)
    return folder


def calls(path):
    try:
        with open(path) as f:
            return [json.loads(l) for l in f]
    except FileNotFoundError:
        return []


def run(source, build, home, hub_port, problems):
    """Runs `make run` until its last line and then SIGINT; answers what it printed."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "MAKEFLAGS") and
           not k.startswith("XDG_")}
    env.update(HOME=home, HELMVANTOR_HUB_PORT=str(hub_port), HELMVANTOR_DISCOVERY_PORT="0",
               PATH=home + "/bin:" + os.environ["PATH"], FAKE_CALLS=home + "/calls")
    if os.path.exists(home + "/calls"):
        os.remove(home + "/calls")
    p = subprocess.Popen(["make", "-s", "-C", source, "run", f"BUILD_DIR={build}"], env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         start_new_session=True)
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
    if [c[0] for c in calls(home + "/calls")] != ["dpkg-query"]:
        problems.append(f"with every package installed: {calls(home + '/calls')}")
    os.killpg(p.pid, signal.SIGINT)  # as Ctrl-C in the terminal
    try:
        p.wait(timeout=20)
    except subprocess.TimeoutExpired:
        problems.append("make run did not end on SIGINT")
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


def deps(source, home, problems):
    """The package check alone: what it asks apt-get to install, by the statuses dpkg gives."""
    # (statuses, the packages apt-get is asked for, in the list's order)
    cases = [
        ({}, None),
        ({"cmake": None, "xclip": "deinstall ok config-files",
          "libssl-dev": "install ok half-configured"}, ["cmake", "libssl-dev", "xclip"]),
    ]
    for statuses, wanted in cases:
        if os.path.exists(home + "/calls"):
            os.remove(home + "/calls")
        env = dict(os.environ, PATH=home + "/bin:" + os.environ["PATH"],
                   FAKE_CALLS=home + "/calls", FAKE_STATUS=json.dumps(statuses))
        subprocess.run(["bash", source + "/scripts/deps.sh"], env=env, capture_output=True)
        made = calls(home + "/calls")
        asked = [c[c.index("--no-install-recommends") + 1:] for c in made
                 if c[0] == "apt-get" and "install" in c]
        if sum(c[0] == "dpkg-query" for c in made) != 1 or asked != ([wanted] if wanted else []):
            problems.append(f"package check with {statuses}: {made}")


def main():
    source, build = sys.argv[1], sys.argv[2]
    problems = []
    with tempfile.TemporaryDirectory() as home:
        fakes(home + "/bin")
        deps(source, home, problems)
        text, port, pid = run(source, build, home, 0, problems)
        if not port or not pid or not text.endswith("Stop it with Ctrl-C."):
            problems.append("a first run printed:\n" + text)
        with socket.socket() as held:  # the hub's port held by another program
            held.bind(("0.0.0.0", 0))
            held.listen()
            taken = held.getsockname()[1]
            text, _, _ = run(source, build, home, taken, problems)
            if f"The hub's port {taken} is taken by" not in text:
                problems.append("with the hub's port taken it printed:\n" + text)
    print("\n".join(problems))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
