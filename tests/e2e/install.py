#!/usr/bin/env python3
"""`make install` into a private prefix puts the program, its menu entry (starting the installed
program by its full path) and its icon in place; `make uninstall` with the same prefix takes
every one of them away again, and the folders they leave empty, and nothing else.
Usage: install.py SOURCE_DIR BUILD_DIR"""
import os
import subprocess
import sys
import tempfile

PLACED = ["bin/helmvantor", "share/applications/helmvantor.desktop",
          "share/icons/hicolor/scalable/apps/helmvantor.svg"]
OTHERS = "share/applications/other.desktop"  # another program's, there before


def tree(root):
    return sorted(os.path.relpath(os.path.join(d, n), root)
                  for d, dirs, files in os.walk(root) for n in dirs + files)


def main():
    source, build = sys.argv[1], sys.argv[2]
    problems = []
    with tempfile.TemporaryDirectory() as root:
        prefix = root + "/my prefix"
        os.makedirs(os.path.dirname(f"{prefix}/{OTHERS}"))
        open(f"{prefix}/{OTHERS}", "w").close()
        before = tree(prefix)
        # The component's own manifest, so a real install's list in the build stays as it is.
        manifest = build + "/install_manifest_Unspecified.txt"
        subprocess.run(["cmake", "--install", build, "--component", "Unspecified",
                        "--prefix", prefix], check=True, capture_output=True)
        missing = [p for p in PLACED if not os.path.isfile(f"{prefix}/{p}")]
        if missing:
            problems.append(f"not installed: {missing}")
        with open(f"{prefix}/share/applications/helmvantor.desktop") as f:
            if f'Exec="{prefix}/bin/helmvantor"\n' not in f.readlines():
                problems.append("the menu entry does not start the installed program")
        run = subprocess.run(["make", "-s", "-C", source, "uninstall", f"PREFIX={prefix}",
                              f"MANIFEST={manifest}"], capture_output=True, text=True)
        if run.returncode != 0:
            problems.append(f"make uninstall: {run.returncode} {run.stderr}")
        if tree(prefix) != before:
            problems.append(f"left behind after uninstall: {sorted(set(tree(prefix)) - set(before))}"
                            f", gone: {sorted(set(before) - set(tree(prefix)))}")
    print("\n".join(problems))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
