# SPDX-License-Identifier: GPL-3.0-or-later
"""What the README's checks share: their tally, deadlines, a private user and ending processes."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SAMPLES = os.path.join(REPO, "tests", "samples")
SANDBOX_SERVER = os.path.join(REPO, "tools", "sandbox-print-server")
# The sandbox print server's queues, in the order the print server lists them.
QUEUES = ["hpgl-plotter", "oce-9600", "ps-printer", "raw-printer"]


class CheckFailed(Exception):
    pass


class Tally:
    """Prints one line per check and counts them."""

    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.skipped = 0

    def passes(self, what, note=""):
        self.passed += 1
        print("PASS  %s%s" % (what, "  (%s)" % note if note else ""), flush=True)

    def fails(self, what, why):
        self.failed += 1
        print("FAIL  %s\n      %s" % (what, str(why).replace("\n", "\n      ")), flush=True)

    def skips(self, what, why):
        self.skipped += 1
        print("SKIP  %s  (%s)" % (what, why), flush=True)

    def closing_line(self):
        return "readme: %d passed, %d failed, %d skipped" % (self.passed, self.failed,
                                                             self.skipped)


def wait_until(condition, timeout, what, interval=0.1):
    """Polls `condition` until it returns something true, which is returned; fails with `what`
    once `timeout` seconds have passed. `condition` may raise CheckFailed to stop early."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise CheckFailed("%s: not within %d s" % (what, timeout))
        time.sleep(interval)


def programs(build="build/dev"):
    """The programs a build made, by name, from the programs.txt its configure step writes."""
    path = os.path.join(REPO, build, "programs.txt")
    try:
        with open(path) as lines:
            return dict(line.rstrip("\n").split("=", 1) for line in lines if "=" in line)
    except OSError:
        raise CheckFailed("%s is missing: configure the build first" % path)


def _ccache_settings():
    """ccache keeps its cache and settings under the home folder, which the checks replace: both
    are named to it outright, so that whatever the README's commands build reuses the cache."""
    if not shutil.which("ccache"):
        return {}
    kept = {}
    cache = subprocess.run(["ccache", "-k", "cache_dir"], capture_output=True, text=True)
    if cache.returncode == 0 and cache.stdout.strip():
        kept["CCACHE_DIR"] = cache.stdout.strip()
    if "CCACHE_CONFIGPATH" in os.environ:
        config = os.environ["CCACHE_CONFIGPATH"]
    elif "CCACHE_DIR" in os.environ:
        config = os.path.join(os.environ["CCACHE_DIR"], "ccache.conf")
    else:
        config = os.path.join(os.environ.get("XDG_CONFIG_HOME") or
                              os.path.expanduser("~/.config"), "ccache", "ccache.conf")
    if os.path.isfile(config):
        kept["CCACHE_CONFIGPATH"] = config
    return kept


# What points a program at the user's desktop, print server, settings or temporary folder.
_USER_VARIABLES = ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM", "CUPS_SERVER",
                   "DBUS_SESSION_BUS_ADDRESS", "TMPDIR", "TAVRIN_SKIP_INSTALL")


class PrivateUser:
    """A temporary folder that stands in for the user's home, settings, cache, runtime and
    temporary folders, so that a check reads and writes nothing of the user's own, and no print
    server: CUPS_SERVER names a socket nobody listens on, as on a machine without one."""

    def __init__(self, name):
        self.root = tempfile.mkdtemp(prefix="tavrin-readme-%s-" % name)
        # A print server started as root runs its jobs as lp, which must reach its folders.
        os.chmod(self.root, 0o711)
        for folder in ("home", "config", "cache", "data", "run", "tmp"):
            os.mkdir(self.path(folder), 0o700 if folder == "run" else 0o711)
        self.env = {name: value for name, value in os.environ.items()
                    if name not in _USER_VARIABLES and not name.startswith("XDG_")}
        self.env.update(_ccache_settings())
        self.env.update(HOME=self.path("home"), XDG_CONFIG_HOME=self.path("config"),
                        XDG_CACHE_HOME=self.path("cache"), XDG_DATA_HOME=self.path("data"),
                        XDG_RUNTIME_DIR=self.path("run"), TMPDIR=self.path("tmp"),
                        CUPS_SERVER=self.path("no-print-server.sock"))

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    @property
    def ini(self):
        return self.path("config", "tavrin", "tavrin.ini")

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class SandboxServer:
    """tools/sandbox-print-server in a folder of a private user."""

    def __init__(self, folder):
        self.folder = folder
        self.socket = None

    def start(self, env):
        result = subprocess.run([SANDBOX_SERVER, "start", self.folder], env=env,
                                capture_output=True, text=True, timeout=120)
        lines = [line for line in result.stdout.splitlines() if line.startswith("CUPS_SERVER=")]
        if result.returncode != 0 or not lines:
            raise CheckFailed("the sandbox print server did not start: " + result.stderr.strip())
        self.socket = lines[0][len("CUPS_SERVER="):]
        return self.socket

    def pids(self):
        found = []
        for name in ("cupsd.pid", "listener.pid"):
            try:
                with open(os.path.join(self.folder, name)) as f:
                    found.append(int(f.read().strip()))
            except (OSError, ValueError):
                pass
        return found

    def received(self):
        """Every job file the queues' devices received, as paths."""
        jobs = os.path.join(self.folder, "jobs")
        return sorted(os.path.join(jobs, queue, name)
                      for queue in (os.listdir(jobs) if os.path.isdir(jobs) else [])
                      for name in os.listdir(os.path.join(jobs, queue)) if name.endswith(".job"))

    def stop(self):
        """Stops the server when it runs; returns the processes of it that are still alive."""
        pids = self.pids()
        if pids:
            subprocess.run([SANDBOX_SERVER, "stop", self.folder], capture_output=True,
                           timeout=60)
        return [pid for pid in pids if alive(pid)]


def _stat_fields(pid):
    """The fields of /proc/PID/stat after the program name: state, ppid, pgrp, session, ..."""
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()


def alive(pid):
    try:
        return _stat_fields(pid)[0] != "Z"
    except OSError:
        return False


def session_members(session):
    """The living processes of a session that a check started (its leader's id)."""
    members = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                fields = _stat_fields(int(entry))
            except OSError:
                continue
            if int(fields[3]) == session and fields[0] != "Z":
                members.append(int(entry))
    return members


def describe(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return "%d %s" % (pid, f.read().replace(b"\0", b" ").decode(errors="replace").strip())
    except OSError:
        return str(pid)


def end_session(session, timeout=10):
    """Ends every process of a session that a check started: SIGTERM, then SIGKILL for those
    that outlive `timeout`. Returns the descriptions of the processes that had to be ended."""
    members = session_members(session)
    ended = [describe(pid) for pid in members]
    for pid in members:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + timeout
    while session_members(session) and time.monotonic() < deadline:
        time.sleep(0.05)
    for pid in session_members(session):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    return ended


def environment_of(pid):
    try:
        with open("/proc/%d/environ" % pid, "rb") as f:
            entries = f.read().split(b"\0")
    except OSError:
        return {}
    return dict(entry.decode(errors="replace").split("=", 1) for entry in entries if b"=" in entry)


def tail(path, lines=30):
    try:
        with open(path, errors="replace") as f:
            return "".join(f.readlines()[-lines:]).rstrip()
    except OSError:
        return "(no output)"
