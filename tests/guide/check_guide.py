#!/usr/bin/env python3
"""Runs every example of a user's guide and compares it with the guide's text.

usage: check_guide.py GUIDE BIN

The guide marks its examples with two kinds of fenced block:

  ```console                        ```text file=PATH
  $ COMMAND                         the text of the file PATH,
  > its continuation line           line ends as LF
  the output the command prints     ```
  ```

In a fresh folder, with `nuv-samples samples` run first and BIN first on
PATH, the commands run one after another in the order the guide shows them,
each with /bin/sh in the folder the one before it ended in (so `cd` carries
over), its standard error together with its standard output. A status
other than 0 is part of the output, as its last line: `[exit 1]`. A file
block is compared with the file at that point, PATH taken from the folder
the first command runs in.
Every difference is reported with the guide's line; the exit status is the
number of differences (and 1 when the guide shows no command at all).
"""
import os
import re
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```(\S*)(.*)$")
FILE_INFO = re.compile(r"^\s*file=(\S+)\s*$")


def read_blocks(path):
    """Yields (kind, line number of the fence, info, lines) per example block."""
    with open(path, encoding="utf-8") as guide:
        lines = guide.read().split("\n")
    i = 0
    while i < len(lines):
        fence = FENCE.match(lines[i])
        if not fence:
            i += 1
            continue
        start, language, info = i + 1, fence.group(1), fence.group(2)
        i += 1
        body = []
        while i < len(lines) and lines[i] != "```":
            body.append(lines[i])
            i += 1
        i += 1
        if language == "console":
            yield "console", start, info, body
        elif FILE_INFO.match(info):
            yield "file", start, FILE_INFO.match(info).group(1), body


def commands(start, body):
    """Splits a console block into (line, command, expected output) triples."""
    found = []
    for offset, line in enumerate(body):
        if line.startswith("$ "):
            found.append([start + offset + 1, line[2:], []])
        elif line.startswith("> ") and found and not found[-1][2]:
            found[-1][1] += "\n" + line[2:]
        elif found:
            found[-1][2].append(line)
        else:
            raise ValueError(f"line {start + offset + 1}: output before any command")
    return [(number, command, "\n".join(output)) for number, command, output in found]


def run(command, folder, env):
    """Runs one command in folder; returns its output, status and end folder."""
    marker = tempfile.NamedTemporaryFile(delete=False)
    marker.close()
    script = f'{command}\nstatus=$?\npwd > "{marker.name}"\nexit $status\n'
    done = subprocess.run(["/bin/sh", "-c", script], cwd=folder, env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    with open(marker.name, encoding="utf-8") as end:
        end_folder = end.read().strip() or folder
    os.unlink(marker.name)
    return done.stdout.decode("utf-8", "replace"), done.returncode, end_folder


def show(text):
    return "\n".join("    | " + line for line in text.split("\n"))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    guide, bin_folder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    problems = 0
    ran = 0
    with tempfile.TemporaryDirectory() as work:
        env = {key: value for key, value in os.environ.items()
               if key not in ("DISPLAY", "WAYLAND_DISPLAY", "NUV_CODEPAGE",
                              "NUV_SPREADSHEET_APP")}
        env["PATH"] = bin_folder + os.pathsep + env.get("PATH", "")
        env["NUV_PRIVATE_ROOT"] = os.path.join(work, "private")
        env["LC_ALL"] = "C.UTF-8"
        folder = start_folder = os.path.join(work, "guide")
        os.mkdir(folder)
        subprocess.run([os.path.join(bin_folder, "nuv-samples"), "samples"], cwd=folder,
                       check=True)
        for kind, start, info, body in read_blocks(guide):
            if kind == "file":
                path = os.path.join(start_folder, info)
                want = "\n".join(body) + "\n"
                try:
                    with open(path, "rb") as file:
                        got = file.read().decode("utf-8", "replace").replace("\r\n", "\n")
                except OSError as error:
                    got = f"(cannot read: {error.strerror})\n"
                if got != want:
                    problems += 1
                    print(f"{guide}:{start}: the file {info} differs from the guide; it holds\n"
                          f"{show(got.rstrip(chr(10)))}")
                continue
            for number, command, want in commands(start, body):
                got, status, folder = run(command, folder, env)
                ran += 1
                got = got.rstrip("\n")
                if status != 0:
                    got = (got + "\n" if got else "") + f"[exit {status}]"
                if got != want:
                    problems += 1
                    print(f"{guide}:{number}: the output of `{command}` differs from the "
                          f"guide; it printed\n{show(got)}")
    if ran == 0:
        print(f"{guide}: no command to run")
        return 1
    print(f"{ran} commands run, {problems} difference(s)")
    return min(problems, 125)


if __name__ == "__main__":
    sys.exit(main())
