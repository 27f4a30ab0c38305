#!/usr/bin/env python3
"""Command lines the program refuses or hands on: an option without its value, and a replay
of a movie that cannot be read. Each gives one line on standard error and its exit status,
nothing from the video library and never a started program. Usage: command_line.py PROGRAM"""
import json
import os
import subprocess
import sys
import tempfile

DISPLAY = "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with --test-port)."
REPLAY = "helmvantor: --replay needs a folder (usage: helmvantor --replay FOLDER)"
PORT = ("helmvantor: --test-port needs a port number "
        "(usage: helmvantor --test-port PORT [--no-camera])")
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
        # (what, environment additions, arguments, exit status, standard error)
        cases = [
            ("--replay without a folder", {}, ["--replay"], 2, [REPLAY]),
            ("--test-port without a port", {"QT_QPA_PLATFORM": "offscreen"},
             ["--no-camera", "--test-port"], 2, [PORT]),
            # Counts as absent: the program starts, and here finds no display.
            ("--render-guide without a folder", {}, ["--render-guide"], 1, [DISPLAY]),
            ("a cut movie, --render-guide without a folder", {},
             ["--replay", cut, "--render-guide"], 1,
             [f"replay: video {cut}/clip.mov cannot be opened"]),
        ]
        base = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        base.update(HOME=home, XDG_CONFIG_HOME=home + "/config",
                    XDG_STATE_HOME=home + "/state", XDG_DATA_HOME=home + "/data")
        for what, extra, args, status, stderr in cases:
            try:
                run = subprocess.run([program] + args, env=dict(base, **extra),
                                     capture_output=True, text=True, timeout=20)
            except subprocess.TimeoutExpired:
                print(f"{what}: still running after 20 s")
                failed = True
                continue
            if run.returncode != status or run.stderr.splitlines() != stderr or run.stdout:
                print(f"{what}: exit {run.returncode}, stderr {run.stderr!r}, "
                      f"stdout {run.stdout!r}")
                failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
