#!/usr/bin/env python3
"""Command lines the program answers without starting: the usage and the version on standard
output, and in every mode an unknown option, an option without its value or with one it cannot
use, each refused with one line and the usage on standard error; a replay of a movie that cannot
be read. Nothing from the video library, never a started program, no log folder made.
Usage: command_line.py PROGRAM"""
import json
import os
import subprocess
import sys
import tempfile

DISPLAY = "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with --test-port)."
REPLAY = "helmvantor: Missing value after '--replay'."
RENDER = "helmvantor: Missing value after '--render-guide'."
PORT = "helmvantor: --test-port needs a port number (0 lets the system choose one)."
BAD_PORT = "helmvantor: --test-port needs a port number from 0 to 65535, not \"{}\"."
UNKNOWN = "helmvantor: Unknown option 'bogus'."
USAGE = "Usage: helmvantor [OPTION]..."
# What the usage names: every option and the environment the program reads.
NAMED = ["--help", "--version", "--no-camera", "--token SECRET", "--test-port PORT",
         "--render-guide FOLDER", "--replay FOLDER", "DISPLAY", "QT_QPA_PLATFORM",
         "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
         "HELMVANTOR_HUB_PORT", "HELMVANTOR_DISCOVERY_PORT", "HELMVANTOR_HUB_STALL_MS",
         "HELMVANTOR_DISPLAYS"]
# The start of a QuickTime movie whose index never got written.
CUT_MOVIE = b"\0\0\0\x14ftypqt  \0\0\x02\0qt  \0\0\0\x08wide\0\x03\x08\xf9mdat" + b"\x55" * 4000


def recording(folder, movie):
    os.makedirs(folder)
    with open(folder + "/script.json", "w") as f:
        json.dump({"layout": {"screens": [], "rightSign": 1},
                   "cues": [{"start": 0, "end": 3, "kind": "camera"}]}, f)
    with open(folder + "/clip.mov", "wb") as f:
        f.write(movie)
    return folder


def main():
    program = sys.argv[1]
    failed = False
    with tempfile.TemporaryDirectory() as home:
        cut = recording(home + "/cut", CUT_MOVIE)
        # (what, environment additions, arguments, exit status, standard error's first line
        # or None for none, standard output's first line or None; a refusal's usage follows)
        cases = [
            ("--help", {}, ["--help"], 0, None, USAGE),
            ("-h in simulation mode", {"QT_QPA_PLATFORM": "offscreen"},
             ["--test-port", "0", "-h"], 0, None, USAGE),
            ("--version", {}, ["--version"], 0, None, "helmvantor 0.1"),
            ("an unknown option", {}, ["--bogus"], 2, UNKNOWN, None),
            ("an unknown option in simulation mode", {"QT_QPA_PLATFORM": "offscreen"},
             ["--test-port", "0", "--bogus"], 2, UNKNOWN, None),
            ("an unknown option with --replay", {}, ["--replay", cut, "--bogus"], 2, UNKNOWN,
             None),
            ("an unknown option with --render-guide", {}, ["--render-guide", home + "/p",
                                                           "--bogus"], 2, UNKNOWN, None),
            ("a port that is no number", {"QT_QPA_PLATFORM": "offscreen"},
             ["--test-port", "abc"], 2, BAD_PORT.format("abc"), None),
            ("a port past 65535", {"QT_QPA_PLATFORM": "offscreen"},
             ["--test-port", "99999"], 2, BAD_PORT.format("99999"), None),
            ("a bad port with --replay", {}, ["--replay", cut, "--test-port", "x"], 2,
             BAD_PORT.format("x"), None),
            ("--replay without a folder", {}, ["--replay"], 2, REPLAY, None),
            ("--test-port without a port", {"QT_QPA_PLATFORM": "offscreen"},
             ["--no-camera", "--test-port"], 2, PORT, None),
            ("--render-guide without a folder", {}, ["--render-guide"], 2, RENDER, None),
            ("a cut movie", {}, ["--replay", cut], 1,
             f"replay: video {cut}/clip.mov cannot be opened", None),
        ]
        base = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        base.update(HOME=home, XDG_CONFIG_HOME=home + "/config",
                    XDG_STATE_HOME=home + "/state", XDG_DATA_HOME=home + "/data")
        for what, extra, args, status, stderr, stdout in cases:
            try:
                run = subprocess.run([program] + args, env=dict(base, **extra),
                                     capture_output=True, text=True, timeout=20)
            except subprocess.TimeoutExpired:
                print(f"{what}: still running after 20 s")
                failed = True
                continue
            err, out = run.stderr.splitlines(), run.stdout.splitlines()
            usage_after = status == 2
            good = (run.returncode == status and
                    (err[:1] == ([stderr] if stderr else [])) and
                    (out[:1] == ([stdout] if stdout else [])) and
                    (err[1:2] == [USAGE] if usage_after else len(err) <= 1) and
                    (stdout != USAGE or all(n in run.stdout for n in NAMED)))
            if not good:
                print(f"{what}: exit {run.returncode}, stderr {run.stderr!r}, "
                      f"stdout {run.stdout!r}")
                failed = True
        if os.path.exists(home + "/state/Pivmor") or os.path.exists(home + "/p"):
            print("a command line the program did not run made its log folder or pictures")
            failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
