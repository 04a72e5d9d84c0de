# SPDX-License-Identifier: GPL-3.0-or-later
"""The README's release line, `cmake --preset release && cmake --build --preset release && cpack
--preset release`, run as written; the Debian package it makes is unpacked into a scratch root
with dpkg -x and must hold both programs, the desktop file, the icons and the hot folders'
systemd user unit, depend on the
libraries the programs link, and its tavrin-cli must run."""

import os
import re
import shlex
import shutil
import subprocess
import tempfile
import time

from support import REPO, CheckFailed

BUILD_TIMEOUT = 3600
ELF = b"\x7fELF"


def _head(path, size=24):
    with open(path, "rb") as f:
        return f.read(size)


def _is_program(path):
    return os.access(path, os.X_OK) and _head(path, 4) == ELF


def _is_png(path, side):
    head = _head(path)
    return head[:8] == b"\x89PNG\r\n\x1a\n" and \
        (int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")) == (side, side)


def _is_svg(path):
    return b"<svg" in _head(path, 4096)


# What the package must hold, below its root, and how each file must look.
CONTENTS = [
    ("usr/bin/tavrin", _is_program, "an executable ELF program"),
    ("usr/bin/tavrin-cli", _is_program, "an executable ELF program"),
    ("usr/share/applications/tavrin.desktop", os.path.isfile, "a file"),
    ("usr/share/icons/hicolor/256x256/apps/tavrin.png", lambda p: _is_png(p, 256),
     "a 256x256 PNG picture"),
    ("usr/share/icons/hicolor/scalable/apps/tavrin.svg", _is_svg, "an SVG picture"),
    ("usr/lib/systemd/user/tavrin-watch.service",
     lambda p: "ExecStart=/usr/bin/tavrin-cli watch\n" in open(p).read(),
     "a systemd user unit that runs /usr/bin/tavrin-cli watch"),
]
DEPENDS = ["libcups2", "libqt6widgets6", "libsqlite3-0"]


def _run(words, env, timeout):
    result = subprocess.run(words, cwd=REPO, env=env, capture_output=True, text=True,
                            timeout=timeout)
    if result.returncode != 0:
        output = (result.stdout + result.stderr).strip().splitlines()
        raise CheckFailed("exit %d: %s\n%s" % (result.returncode, " ".join(words),
                                               "\n".join(output[-30:])))
    return result.stdout


def check_desktop_file(root):
    entries = {}
    with open(os.path.join(root, "usr/share/applications/tavrin.desktop")) as f:
        for line in f:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                entries.setdefault(key, value)
    program = entries.get("Exec", "").split(" ")[0]
    if entries.get("Type") != "Application" or not os.path.exists(
            os.path.join(root, "usr/bin", program)):
        raise CheckFailed("the desktop file starts '%s', which the package does not hold"
                          % program)
    if entries.get("Icon") != "tavrin":
        raise CheckFailed("the desktop file's icon is '%s'" % entries.get("Icon"))


def check_release(ctx, command):
    env = dict(os.environ)
    env.setdefault("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 2))
    times = []
    output = ""
    for part in command.split("&&"):
        started = time.monotonic()
        output = _run(shlex.split(part), env, BUILD_TIMEOUT)
        times.append("%s %.0f s" % (part.split()[0] + (" --build" if "--build" in part else ""),
                                    time.monotonic() - started))
    made = re.search(r"CPack: - package: (\S+\.deb) generated", output)
    if not made:
        raise CheckFailed("cpack made no Debian package:\n" + output)
    deb = made.group(1)
    root = tempfile.mkdtemp(prefix="tavrin-readme-deb-")
    try:
        _run(["dpkg", "-x", deb, root], env, 120)
        for path, looks_right, what in CONTENTS:
            if not os.path.lexists(os.path.join(root, path)) or \
                    not looks_right(os.path.join(root, path)):
                raise CheckFailed("%s does not hold /%s as %s" % (os.path.basename(deb), path,
                                                                   what))
        check_desktop_file(root)
        depends = _run(["dpkg-deb", "-f", deb, "Depends"], env, 60)
        missing = [name for name in DEPENDS if not re.search(r"\b%s\b" % name, depends)]
        if missing:
            raise CheckFailed("the package does not depend on %s: %s" % (missing, depends))
        usage = _run([os.path.join(root, "usr/bin/tavrin-cli"), "--help"], env, 60)
        if "usage: tavrin-cli" not in usage:
            raise CheckFailed("the packaged tavrin-cli --help says: " + usage)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return "%s; %s holds the programs, the desktop file and the icons" % (
        ", ".join(times), os.path.relpath(deb, REPO))
