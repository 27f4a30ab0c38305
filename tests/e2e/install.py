#!/usr/bin/env python3
"""`make install`'s step into a fresh prefix with a space in it: the program, a menu entry that
starts the installed program, and the icon it names; the installed program runs as the README
shows it. Usage: install.py BUILD_DIR"""
import os
import shlex
import subprocess
import sys
import tempfile


def main():
    build = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        prefix = os.path.join(tmp, "my prefix")
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        program = os.path.join(prefix, "bin", "helmvantor")
        with open(os.path.join(prefix, "share", "applications", "helmvantor.desktop")) as f:
            entry = dict(l.rstrip("\n").split("=", 1) for l in f if "=" in l)
        problems = []
        if shlex.split(entry.get("Exec", "")) != [program]:
            problems.append("Exec is " + entry.get("Exec", "missing"))
        icon = os.path.join(prefix, "share", "icons", "hicolor", "scalable", "apps",
                            entry.get("Icon", "?") + ".svg")
        if not os.path.isfile(icon):
            problems.append("no icon at " + icon)
        os.mkdir(os.path.join(tmp, "rec"))
        run = subprocess.run([program, "--replay", os.path.join(tmp, "rec")], capture_output=True,
                             text=True, timeout=60)
        if run.returncode != 0 or "replay: no script.json" not in run.stdout:
            problems.append(f"--replay: exit {run.returncode}, {run.stdout!r} {run.stderr!r}")
    for p in problems:
        print(p)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
