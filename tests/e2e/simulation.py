#!/usr/bin/env python3
"""Starts helmvantor in simulation mode with a throw-away home, drives it over its test
port and ends it with SIGTERM, checking the log and the exit status on the way."""

import base64
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
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
    # The first login's close may not have reached the hub yet: wait for it, or the status
    # below would name that link and unstick release it instead of the next one.
    if not wait_for(lambda: " agents=pc-e2e " not in ask(conn, reader, "status\n"), 10):
        fail("the PC that logged out is still in the status line", read(log_path))
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
    return hub, m.group(1)


class Agent:
    """A fake PC agent running in the background: what it prints is collected line by line,
    and lines written to it go out to the hub."""

    def __init__(self, agent, hub, name, secret, displays, data=False):
        args = [agent, "login", hub, name, secret, "--seconds", "30",
                "--displays", json.dumps(displays)]
        if data:
            args.append("--data")
        self.proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True)
        self.lines = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.append(line.rstrip("\n"))

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def got(self, line, seconds=5):
        return wait_for(lambda: line in self.lines, seconds)

    def got_after(self, mark, line, seconds=5):
        return wait_for(lambda: line in self.lines[mark:], seconds)

    def stop(self):
        if self.proc.poll() is None:
            try:
                self.send("quit")
            except BrokenPipeError:
                pass
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def display(key, name, index, x):
    return {"key": key, "name": name, "index": index, "x": x, "y": 0, "w": 1920, "h": 1080,
            "mmW": 600, "mmH": 340, "primary": index == 0}


def two_pcs(conn, reader, agent, hub, secret, log_path):
    """Two PCs report their displays and follow the desk; the first one's own keyboard and
    mouse drive the desk once it has reported activity."""
    if not ask(conn, reader, "paircode 654321\n").startswith("gaze="):
        fail("paircode did not answer the status line")
    out = subprocess.run([agent, "pair", hub, "pc-two", "654321"], capture_output=True,
                         text=True, timeout=20).stdout
    m = re.search(r"paired ([0-9a-f]{48}) ", out)
    if not m:
        fail("the second PC did not pair: " + out, read(log_path))
    one = Agent(agent, hub, "pc-e2e", secret, [display("7-8-9", "Left", 0, 0)], data=True)
    two = Agent(agent, hub, "pc-two", m.group(1), [display("3-3-3", "Right", 0, 0)])
    try:
        def screens():
            line = ask(conn, reader, "screens\n")
            return line if "pc-e2e/7-8-9" in line and "pc-two/3-3-3" in line else None
        listed = wait_for(screens, 10)
        if not listed:
            fail("the PCs' displays did not become screens", read(log_path))
        number = {e.split(" ")[1]: e.split(" ")[0] for e in listed.split(" | ")}
        if " has 1 monitor(s)" not in read(log_path):
            fail("the PCs' display lists were not logged", read(log_path))
        if "agent pc-e2e data link up" not in read(log_path):
            fail("the first PC has no data link: %r" % one.lines, read(log_path))
        # A jump to a PC screen warps focus there, and this computer's clipboard follows.
        here = base64.b64encode("copied here".encode()).decode()
        ask(conn, reader, "setclip %s\n" % here)
        ask(conn, reader, "jump %s\n" % number["pc-e2e/7-8-9"])
        if not wait_for(lambda: any(l.startswith("< W 0 ") for l in one.lines), 5):
            fail("the PC got no warp line: %r" % one.lines, read(log_path))
        if not one.got("<data c " + here):
            fail("the clipboard did not reach the PC's data link: %r" % one.lines, read(log_path))

        # Leaving the PC asks for its clipboard; its answer lands here.
        ask(conn, reader, "jump 2\n")
        if not one.got("<data C"):
            fail("the PC was not asked for its clipboard: %r" % one.lines, read(log_path))
        there = base64.b64encode("copied on the PC".encode()).decode()
        one.send("data c 1 " + there)
        if not wait_for(lambda: ask(conn, reader, "clip\n") == "clip " + there, 5):
            fail("the PC's clipboard did not arrive here", read(log_path))

        # The first PC's own input drives this computer while focus is here.
        one.send("a")
        if not one.got("< cap 1 2 · Side"):
            fail("the source PC was not told to capture: %r" % one.lines, read(log_path))
        one.send("L k 30 1")
        one.send("L k 30 0")
        injected = []
        def typed():
            injected.append(ask(conn, reader, "inputs\n"))
            return "key 0 1" in "".join(injected)
        if not wait_for(typed, 5):
            fail("the PC's key was not played here: %r" % injected, read(log_path))
        if 'source=pc-e2e capped=["pc-e2e"]' not in injected[0]:
            fail("the source PC is not shown captured: %r" % injected)

        # With the second PC holding keys and mouse, the first one's moves and this
        # computer's keys go there.
        mark = len(two.lines)
        ask(conn, reader, "jump %s\n" % number["pc-two/3-3-3"])
        one.send("L m 5 -3")
        if not two.got_after(mark, "< m 5 -3"):
            fail("the move did not reach the PC with the mouse: %r" % two.lines, read(log_path))
        ask(conn, reader, "key 0 1\n")
        ask(conn, reader, "key 0 0\n")
        if not two.got_after(mark, "< k 30 1") or not two.got_after(mark, "< k 30 0"):
            fail("the key did not reach the PC: %r" % two.lines, read(log_path))

        # The calibration started before pairing gets no angle lines: it ends by itself
        # within 5 s, so its screens' overlays do not go off under the numbers below.
        if not wait_for(lambda: "calibration stopped: no picture from the camera for 5 s"
                        in read(log_path), 8):
            fail("a calibration without frames kept running", read(log_path))

        # Every connected PC shows its screens' numbers, and takes them off 3 s later. The
        # 3 s count from when the command was sent.
        mark = len(two.lines)
        at = time.monotonic()
        ask(conn, reader, "identify\n")
        shown = "< o 0 id %s" % number["pc-two/3-3-3"]
        if not two.got_after(mark, shown, 2) or \
                not one.got("< o 0 id %s" % number["pc-e2e/7-8-9"], 2):
            fail("identify sent no numbers: %r %r" % (one.lines, two.lines))
        # The calibration's own end may still be on its way: its "off" can land after the
        # mark, so the off that counts is the one after the numbers went up.
        shown_at = two.lines.index(shown, mark) + 1
        if not two.got_after(shown_at, "< o 0 off %s" % number["pc-two/3-3-3"], 6):
            fail("identify's numbers stayed up: %r" % two.lines)
        if time.monotonic() - at < 2.5:
            fail("identify's numbers came off too early: %r" % two.lines[mark:], read(log_path))

        # Past the right edge of this computer's screens lies the PC placed there first.
        ask(conn, reader, "jump 2\n")
        marks = {"pc-e2e": (one, len(one.lines)), "pc-two": (two, len(two.lines))}
        ask(conn, reader, "edge R\n")
        edge = re.findall(r"edge right → (pc-[a-z0-9]+)/", read(log_path))
        if not edge:
            fail("edge R switched to no PC", read(log_path))
        pc, mark = marks[edge[-1]]
        if not wait_for(lambda: any(l.startswith("< W 0 ") for l in pc.lines[mark:]), 5):
            fail("edge R did not reach the PC: %r" % pc.lines, read(log_path))

        # The source PC leaves holding Shift: it is let go and the desk goes home.
        ask(conn, reader, "jump 2\n")
        one.send("L k 42 1")
        held = []
        wait_for(lambda: held.append(ask(conn, reader, "inputs\n")) or "key 56 1" in "".join(held),
                 5)
        if "key 56 1" not in "".join(held):
            fail("the PC's Shift was not played here: %r" % held, read(log_path))
        mark = len(two.lines)
        one.stop()
        def released():
            held.append(ask(conn, reader, "inputs\n"))
            return "key 56 0" in held[-1]
        if not wait_for(released, 10):
            fail("the lost PC's Shift stayed down: %r" % held, read(log_path))
        if "source=mac capped=[]" not in held[-1]:
            fail("the lost PC is still the source: %r" % held[-1])
        if " keys=mac/1-2-3 mouse=mac/1-2-3 " not in ask(conn, reader, "status\n"):
            fail("focus did not go home when the source PC left", read(log_path))
        if not two.got_after(mark, "< r"):
            fail("the other PC got no release line: %r" % two.lines)
    finally:
        one.stop()
        two.stop()


def quit_releases_the_pc(proc, conn, reader, agent, hub, secret, log_path):
    """A PC logged in when the program is told to end gets its release line before its
    connection closes. A jump to a screen that does not exist changes nothing on the way."""
    agent_proc = subprocess.Popen([agent, "login", hub, "pc-e2e", secret, "--seconds", "10"],
                                  stdout=subprocess.PIPE, text=True)
    try:
        before = wait_for(lambda: (lambda s: s if " agents=pc-e2e " in s else None)(
            ask(conn, reader, "status\n")), 10)
        if not before:
            fail("the logged-in PC is missing from the status line", read(log_path))
        if ask(conn, reader, "jump\n") != "?" or ask(conn, reader, "jump x\n") != "?":
            fail("a jump without a number was not answered with ?")
        after = ask(conn, reader, "jump 9\n")
        if after.split(" sinceKey=")[0] != before.split(" sinceKey=")[0]:
            fail("jump 9 changed the state: %r → %r" % (before, after), read(log_path))
        proc.send_signal(signal.SIGTERM)
        out = agent_proc.communicate(timeout=20)[0]
    finally:
        if agent_proc.poll() is None:
            agent_proc.kill()
            agent_proc.wait()
    if "< r\n" not in out or "closed" not in out or out.index("< r\n") > out.index("closed"):
        fail("the PC got no release line before its connection closed: " + out, read(log_path))


def environment(home):
    env = dict(os.environ)
    env.pop("HELMVANTOR_DISPLAYS", None)
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
    return env


def qt_screens_and_a_client_that_shuts_its_side(program):
    """Without HELMVANTOR_DISPLAYS the screen Qt reports is this computer's; a client that
    shuts its sending side right after its commands, as `nc -N` does, still gets every reply."""
    with tempfile.TemporaryDirectory() as home:
        log_path = os.path.join(home, "state", "Pivmor", "pivmor.log")
        proc = subprocess.Popen([program, "--test-port", "0", "--no-camera"],
                                env=environment(home))
        try:
            port = wait_for(lambda: re.search(r"test port (\d+)\n", read(log_path)), 20)
            if not port:
                fail("no test port in the log", read(log_path))
            with socket.create_connection(("127.0.0.1", int(port.group(1))), timeout=10) as c:
                c.sendall(b"screens\nunstick\n")
                c.shutdown(socket.SHUT_WR)
                replies = c.makefile("r", encoding="utf-8").read().splitlines()
            if len(replies) != 2 or not re.fullmatch(r"1 (mac/\S+) .* guess", replies[0]):
                fail("screens of Qt's display, then unstick: %r" % replies, read(log_path))
            home_screen = replies[0].split(" ")[1]
            if not replies[1].startswith("gaze=- keys=%s mouse=%s " % (home_screen, home_screen)):
                fail("focus is not on this computer's screen: %r" % replies[1])
        finally:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()


def main():
    program = sys.argv[1]
    agent = sys.argv[2]
    qt_screens_and_a_client_that_shuts_its_side(program)
    with tempfile.TemporaryDirectory() as home:
        env = environment(home)
        # Two monitors side by side, the primary listed second, as a PC reports them.
        env["HELMVANTOR_DISPLAYS"] = json.dumps([
            {"key": "4-5-6", "name": "Side", "index": 1, "x": 1920, "y": 0, "w": 1920,
             "h": 1080, "mmW": 600, "mmH": 340, "primary": False},
            {"key": "1-2-3", "name": "Main", "index": 0, "x": 0, "y": 0, "w": 1920,
             "h": 1080, "mmW": 600, "mmH": 340, "primary": True},
        ])
        log_path = os.path.join(home, "state", "Pivmor", "pivmor.log")
        # The user's own preferences, which a simulation run must neither read nor change.
        user_defaults = os.path.join(home, "config", "com.pardwell.pivmor", "defaults.json")
        os.makedirs(os.path.dirname(user_defaults))
        with open(user_defaults, "w", encoding="utf-8") as f:
            f.write('{"p.allInputs": true, "p.speed": 2}\n')
        with open(user_defaults, "rb") as f:
            user_bytes = f.read()
        proc = subprocess.Popen(
            [program, "--test-port", "0", "--no-camera", "--token", "s3cret", "--token=x"],
            env=env,
        )
        try:
            port = wait_for(lambda: re.search(r"test port (\d+)\n", read(log_path)), 20)
            if not port:
                fail("no test port in the log", read(log_path))
            port = int(port.group(1))
            # It runs as itself: no restart under another name or with changed settings.
            with open("/proc/%d/comm" % proc.pid, encoding="utf-8") as f:
                comm = f.read().strip()
            with open("/proc/%d/environ" % proc.pid, "rb") as f:
                environ = f.read()
            tuned = b"glibc.malloc.hugetlb" in environ and \
                "glibc.malloc.hugetlb" not in env.get("GLIBC_TUNABLES", "")
            if comm != os.path.basename(program)[:15] or tuned:
                fail("the program restarted itself as %r" % comm, read(log_path))

            with socket.create_connection(("127.0.0.1", port), timeout=10) as conn:
                reader = conn.makefile("r", encoding="utf-8")
                status = ask(conn, reader, "status\n")
                if not re.fullmatch(
                    r"gaze=\S+ keys=\S+ mouse=\S+ agents=\S* locked=\S+ held=\[[^\]]*\]"
                    r" sinceKey=\d+\.\d\d",
                    status,
                ):
                    fail("unexpected status line: " + repr(status))
                screens = ask(conn, reader, "screens\n").split(" | ")
                if [line.split(" ")[:2] + line.split(" ")[-1:] for line in screens] != [
                    ["1", "mac/1-2-3", "guess"], ["2", "mac/4-5-6", "guess"]]:
                    fail("the displays did not become screens: %r" % screens, read(log_path))
                # Home is this computer's first screen.
                if not ask(conn, reader, "unstick\n").startswith(
                        "gaze=- keys=mac/1-2-3 mouse=mac/1-2-3 "):
                    fail("unstick did not answer the status line")
                for command in ("allinputs 0\n", "allinputs 1\n"):
                    if not ask(conn, reader, command).startswith("gaze="):
                        fail("%r did not answer the status line" % command)
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

                # Made-up input: the lock, a held key, and an edge with nothing beyond it.
                before = ask(conn, reader, "status\n")
                if " locked=mac/1-2-3 " not in ask(conn, reader, "lock\n"):
                    fail("lock did not lock the keyboard's screen")
                if " locked=- " not in ask(conn, reader, "lock\n"):
                    fail("a second lock did not unlock")
                if " held=[0] " not in ask(conn, reader, "key 0 1\n"):
                    fail("key 0 1 did not hold key 0")
                if " held=[] " not in ask(conn, reader, "key 0 0\n"):
                    fail("key 0 0 did not release key 0")
                edge = ask(conn, reader, "edge R\n")
                if edge.split(" sinceKey=")[0] != before.split(" sinceKey=")[0]:
                    fail("edge R with no other computer changed %r to %r" % (before, edge))
                for command in ("key\n", "key x 1\n", "move 1\n", "click\n", "edge\n"):
                    if ask(conn, reader, command) != "?":
                        fail("%r was not answered with ?" % command)
                if not ask(conn, reader, "move -5 0\n").startswith("gaze="):
                    fail("move did not answer the status line")
                if not ask(conn, reader, "click 1\n").startswith("gaze="):
                    fail("click did not answer the status line")
                ask(conn, reader, "click 0\n")


                # A jump by number moves keys and mouse to that screen.
                if " keys=mac/4-5-6 mouse=mac/4-5-6 " not in ask(conn, reader, "jump 2\n"):
                    fail("jump 2 did not move keys and mouse to the second screen")
                log_now = read(log_path)
                tail = log_now[log_now.rindex("jump to 2"):]
                if "mouse → mac/4-5-6" not in tail or "keys → mac/4-5-6" not in tail:
                    fail("jump 2 was not logged with its moves", log_now)
                ask(conn, reader, "jump 1\n")

                # Both displays are on the desk: a run starts at its first step.
                reply = ask(conn, reader, "calibrate\n")
                if not re.search(r" cal=0/\d+ ", reply):
                    fail("calibrate with two screens answered %r" % reply)

                hub, secret = pair_with_fake_agent(conn, reader, agent, log_path)
                two_pcs(conn, reader, agent, hub, secret, log_path)
                quit_releases_the_pc(proc, conn, reader, agent, hub, secret, log_path)
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

        with open(user_defaults, "rb") as f:
            if f.read() != user_bytes:
                fail("the simulation run changed the user's preferences", read(log_path))
        if os.listdir(os.path.dirname(user_defaults)) != ["defaults.json"]:
            fail("the simulation run wrote beside the user's preferences: %r"
                 % os.listdir(os.path.dirname(user_defaults)))

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
        if "jumps: no recipes" in log:
            fail("the program did not find its built-in recipe file", log)
        for line in log.splitlines():
            if not re.match(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000 ", line):
                fail("badly dated line: " + line, log)
        print("ok")


if __name__ == "__main__":
    main()
