# SPDX-License-Identifier: GPL-3.0-or-later
"""The README's first set-up command, `bash tools/run.sh`, run as a newcomer runs it on a machine
without a desktop or a print server (TAVRIN_SKIP_INSTALL=1 once the tests have installed and
built): the window must come up on the virtual display that run.sh starts, list the printers of
the sandbox print server that run.sh starts in its printer box, still run 10 s later, and close
on SIGTERM with its settings saved.

What the printer box holds is read as a screen reader reads it, over the accessibility bus
(AT-SPI) of a private D-Bus session: the combo box's list items are the printers' names. Qt
serves that bus when a screen reader asks for it, or with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1,
which the check sets in run.sh's environment beside the private home and folders.
"""

import configparser
import os
import re
import signal
import subprocess
import time

import dbus

from support import (QUEUES, REPO, CheckFailed, PrivateUser, SandboxServer, alive, describe,
                     end_session, environment_of, programs, session_members, tail, wait_until)

ACCESSIBLE = "org.a11y.atspi.Accessible"
PROPERTIES = "org.freedesktop.DBus.Properties"
# How long the window must stay up once it has come up, and how long each step may take.
STAYS_UP_SECONDS = 10
START_TIMEOUT = 300  # run.sh's configure and (empty) build, the sandbox, the window
PRINTERS_TIMEOUT = 60
CLOSE_TIMEOUT = 30


def window_title():
    """The main window's caption, as src/app says it."""
    with open(os.path.join(REPO, "src", "app", "TavrinUnit.h")) as header:
        found = re.search(r'kCaption = "([^"]*)"', header.read())
    if not found:
        raise CheckFailed("no kCaption in src/app/TavrinUnit.h")
    return found.group(1)


class SessionBus:
    """A private D-Bus session bus with the accessibility bus started on it, as a desktop that
    runs a screen reader has them."""

    def __init__(self, user):
        socket = user.path("session-bus")
        self.address = "unix:path=" + socket
        self.process = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + self.address],
            env=user.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(user.path("session-bus.log"), "wb"), start_new_session=True)
        wait_until(lambda: os.path.exists(socket) or self.process.poll() is not None, 30,
                   "the session bus")
        if self.process.poll() is not None:
            raise CheckFailed("dbus-daemon ended: " + tail(user.path("session-bus.log")))
        session = dbus.bus.BusConnection(self.address)
        launcher = session.get_object("org.a11y.Bus", "/org/a11y/bus", introspect=False)
        self.accessibility = dbus.bus.BusConnection(
            str(launcher.GetAddress(dbus_interface="org.a11y.Bus", timeout=30)))

    def stop(self):
        end_session(self.process.pid)
        self.process.wait()

    def _node(self, reference):
        return self.accessibility.get_object(str(reference[0]), str(reference[1]),
                                             introspect=False)

    def _name(self, node):
        return str(node.Get(ACCESSIBLE, "Name", dbus_interface=PROPERTIES, timeout=5))

    def _children(self, node):
        return node.GetChildren(dbus_interface=ACCESSIBLE, timeout=5)

    def combo_boxes(self, pid):
        """Each combo box of the program `pid` as (shown text, [list items])."""
        registry = self._node(("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"))
        daemon = dbus.Interface(
            self.accessibility.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
            "org.freedesktop.DBus")
        boxes = []
        for application in self._children(registry):
            try:
                if daemon.GetConnectionUnixProcessID(application[0]) != pid:
                    continue
            except dbus.DBusException:
                continue
            stack = [self._node(application)]
            while stack:
                node = stack.pop()
                role = str(node.GetRoleName(dbus_interface=ACCESSIBLE, timeout=5))
                if role == "combo box":
                    items = [self._name(self._node(item))
                             for child in self._children(node)
                             for item in self._children(self._node(child))]
                    boxes.append((self._name(node), items))
                else:
                    stack.extend(self._node(child) for child in self._children(node))
        return boxes


def x_environment(base, display, xauthority):
    env = dict(base, DISPLAY=display)
    if xauthority:
        env["XAUTHORITY"] = xauthority
    return env


def find_window(run, run_log, title):
    """The display and id of the window called `title` that a process of run.sh's shows."""
    if run.poll() is not None:
        raise CheckFailed("tools/run.sh ended (exit %d) with no window '%s' shown; it said:\n%s"
                          % (run.returncode, title, tail(run_log)))
    displays = set()
    for pid in session_members(run.pid):
        env = environment_of(pid)
        if "DISPLAY" in env:
            displays.add((env["DISPLAY"], env.get("XAUTHORITY", "")))
    for display, xauthority in displays:
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True,
                              env=x_environment(os.environ, display, xauthority), timeout=10)
        for line in tree.stdout.splitlines():
            found = re.match(r'\s*(0x[0-9a-f]+) "(.*)":', line)
            if found and found.group(2) == title:
                return display, xauthority, found.group(1)
    return None


def window_pid(display, xauthority, window):
    prop = subprocess.run(["xprop", "-id", window, "_NET_WM_PID"], capture_output=True,
                          text=True, env=x_environment(os.environ, display, xauthority),
                          timeout=10)
    found = re.search(r"= (\d+)", prop.stdout)
    if not found:
        raise CheckFailed("the window names no process (_NET_WM_PID): " + prop.stdout.strip())
    return int(found.group(1))


def saved_settings(ini):
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str
    if not parser.read(ini):
        raise CheckFailed("no INI file was written at " + ini)
    return parser


def check_run(run_command):
    """Runs `run_command` (the README's `bash tools/run.sh`) with TAVRIN_SKIP_INSTALL=1 and
    checks the window; returns a note of what was seen, or raises CheckFailed."""
    title = window_title()
    built = os.path.realpath(programs()["tavrin"])
    user = PrivateUser("window")
    sandbox = SandboxServer(user.path("tmp", "tavrin-sandbox-%d" % os.getuid()))
    bus = run = None
    run_log = user.path("run.log")
    problems = []
    finished = False
    try:
        bus = SessionBus(user)
        env = dict(user.env, TAVRIN_SKIP_INSTALL="1", DBUS_SESSION_BUS_ADDRESS=bus.address,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        with open(run_log, "wb") as log:
            run = subprocess.Popen(run_command, shell=True, cwd=REPO, env=env,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        started = time.monotonic()
        display, xauthority, window = wait_until(lambda: find_window(run, run_log, title),
                                                 START_TIMEOUT, "the window '%s'" % title, 0.2)
        up = time.monotonic()
        pid = window_pid(display, xauthority, window)
        if os.path.realpath("/proc/%d/exe" % pid) != built:
            raise CheckFailed("the window is shown by %s, not by the window program %s"
                              % (describe(pid), built))
        if not sandbox.pids():
            raise CheckFailed("run.sh started no sandbox print server in " + sandbox.folder)

        seen = []

        def printer_box():
            if not alive(pid):
                raise CheckFailed("tavrin ended before its printer box was filled:\n"
                                  + tail(run_log))
            try:
                seen[:] = bus.combo_boxes(pid)
            except dbus.DBusException:
                return None  # not registered yet, or a control went while it was read
            return [box for box in seen if box[1] == QUEUES]

        try:
            shown, _ = wait_until(printer_box, PRINTERS_TIMEOUT,
                                  "the sandbox's printers %s in the printer box" % QUEUES,
                                  0.25)[0]
        except CheckFailed as failure:
            raise CheckFailed("%s; the window's combo boxes (shown text, items): %s"
                              % (failure, seen or "none read"))
        if shown not in QUEUES:
            raise CheckFailed("the printer box shows '%s', not a sandbox printer" % shown)
        while time.monotonic() - up < STAYS_UP_SECONDS:
            if not alive(pid):
                raise CheckFailed("tavrin ended %.1f s after its window came up:\n%s"
                                  % (time.monotonic() - up, tail(run_log)))
            time.sleep(0.2)

        os.kill(pid, signal.SIGTERM)
        wait_until(lambda: run.poll() is not None, CLOSE_TIMEOUT, "run.sh's end after SIGTERM")
        if run.returncode != 0:
            raise CheckFailed("run.sh ended with exit %d after SIGTERM:\n%s"
                              % (run.returncode, tail(run_log)))
        settings = saved_settings(user.ini)
        printer = settings.get("Printers", "Printer#", fallback="")
        if not settings.has_option("Data", "PlotFilesPath") or \
                printer not in [str(i) for i in range(len(QUEUES))]:
            raise CheckFailed("the INI file was not saved at the close (no [Data] PlotFilesPath "
                              "or no sandbox printer as Printer#=%s):\n%s"
                              % (printer, open(user.ini).read()))

        # The way to stop the sandbox that run.sh gives.
        hint = re.search(r"\(stop it with: (tools/sandbox-print-server stop \S+)\)",
                         open(run_log).read())
        if not hint:
            raise CheckFailed("run.sh did not say how to stop its sandbox print server")
        pids = sandbox.pids()
        subprocess.run(hint.group(1), shell=True, cwd=REPO, env=user.env, timeout=60,
                       capture_output=True)
        if [p for p in pids if alive(p)]:
            raise CheckFailed("'%s' left the print server running" % hint.group(1))
        finished = True
        return "window up after %.0f s with printer box %s (shown: %s), closed by SIGTERM after " \
               "%d s, INI saved" % (up - started, ", ".join(QUEUES), shown, STAYS_UP_SECONDS)
    finally:
        if run is not None:
            if finished:
                # xvfb-run stops its X server as it ends, without waiting for it.
                try:
                    wait_until(lambda: not session_members(run.pid), 10, "run.sh's processes")
                except CheckFailed:
                    pass
            left = end_session(run.pid)
            run.wait()
            if left:
                problems.append("run.sh's processes were left running: " + "; ".join(left))
        left = sandbox.stop()
        if left:
            problems.append("the sandbox print server did not stop: %s" % left)
        if bus is not None:
            bus.stop()
        user.remove()
        # After a failure what is left is ended all the same, and the failure is what counts.
        if finished and problems:
            raise CheckFailed("\n".join(problems))
