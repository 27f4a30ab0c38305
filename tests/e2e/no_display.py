#!/usr/bin/env python3
"""The program started where no X server answers, or on another Qt platform outside simulation
mode: one line on standard error and exit 1, never Qt's abort, and no log folder made.
Usage: no_display.py PROGRAM"""
import os
import subprocess
import sys
import tempfile

LINE = "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with --test-port)."
OFFSCREEN = ('Helmvantor needs X11, not Qt\'s "offscreen" platform (use QT_QPA_PLATFORM=xcb, or '
             'offscreen with --test-port).')

# (what, environment additions, arguments, the line)
CASES = [
    ("no display at all", {}, [], LINE),
    ("a display nobody serves", {"DISPLAY": ":937"}, [], LINE),
    ("xcb asked for by name", {"QT_QPA_PLATFORM": "xcb"}, ["--no-camera"], LINE),
    ("simulation without offscreen", {}, ["--test-port", "0", "--no-camera"], LINE),
    ("offscreen outside simulation", {"QT_QPA_PLATFORM": "offscreen"}, ["--no-camera"],
     OFFSCREEN),
    ("offscreen as an argument", {}, ["-platform", "offscreen", "--no-camera"], OFFSCREEN),
]


def main():
    program = sys.argv[1]
    failed = False
    with tempfile.TemporaryDirectory() as home:
        base = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        base.update(HOME=home, XDG_CONFIG_HOME=home + "/config",
                    XDG_STATE_HOME=home + "/state", XDG_DATA_HOME=home + "/data")
        for what, extra, args, line in CASES:
            env = dict(base, **extra)
            run = subprocess.run([program] + args, env=env, capture_output=True, text=True,
                                 timeout=20)
            lines = run.stderr.splitlines()
            if run.returncode != 1 or lines != [line] or run.stdout:
                print(f"{what}: exit {run.returncode}, stderr {run.stderr!r}, "
                      f"stdout {run.stdout!r}")
                failed = True
        if os.path.exists(home + "/state/Pivmor"):
            print("a refused start made the log folder")
            failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
