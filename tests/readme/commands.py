# SPDX-License-Identifier: GPL-3.0-or-later
"""Every command line README.md shows a user, read out of README.md and run here as far as it can
be: the lines of its code blocks and the code spans of its prose that start with one of the
programs below. Each is run as written, with its placeholders (plot.plt, FILE..., NAME, QUEUE,
DIR, ...) replaced by sample files from tests/samples and the queues of a private sandbox print
server, and must exit 0 and do what the README says it does. A command that needs what is not
here (a device on the network, Windows, an hour) is skipped with the reason said; one that no rule
below knows fails, so that a new command in the README gets a rule."""

import collections
import json
import os
import re
import shlex
import shutil
import struct
import subprocess
import time

import package
import window
from support import (QUEUES, REPO, SAMPLES, CheckFailed, PrivateUser, SandboxServer, alive,
                     end_session, programs, wait_until)

# The first word of a code span that makes it a command line (after NAME=VALUE words).
PROGRAMS = {"tavrin", "tavrin-cli", "tavrin-cli.exe", "lpadmin", "cmake", "ctest", "cpack",
            "bash", "apt-get"}
FOLDERS = ("tools/", "tests/", "build/", "bench/")

PLOT = os.path.join(SAMPLES, "jem-green-HPGL2", "XANADU-PLT-test2.plt")  # HP-GL/2
FILES = [os.path.join(SAMPLES, "hp2xx", "acad.hp"), os.path.join(SAMPLES, "cups", "testfile.ps")]
LIST_FILES = [os.path.join(SAMPLES, "hp2xx", "inter.hp"), os.path.join(SAMPLES, "hp2xx", "dt.plt")]
COMMAND_TIMEOUT = 120


def _is_command(words):
    for word in words:
        if re.fullmatch(r"[A-Z_]+=\S*", word):
            continue
        return word in PROGRAMS or word.startswith(FOLDERS)
    return False


def readme_commands(text):
    """The README's command lines in its order, each once: code block lines (indented by four
    spaces, continued by a backslash, without their comments) and prose code spans that start
    with a program and give it arguments."""
    found = []
    block_line = re.compile(r"^    (\S.*)$")
    previous_blank = True
    in_block = False
    pending = ""
    for line in text.splitlines():
        match = re.match(r"^\s+(\S.*)$", line) if pending else block_line.match(line)
        if match and (in_block or previous_blank):
            in_block = True
            command = pending + match.group(1)
            if command.endswith("\\"):
                pending = command[:-1].rstrip() + " "
                continue
            pending = ""
            command = re.sub(r"\s+#\s.*$", "", command).strip()
            found.append((text.find(line), " ".join(command.split())))
        else:
            in_block = in_block and line.startswith("    ")
        previous_blank = line.strip() == ""
    for span in re.finditer(r"`([^`]+)`", text):
        words = span.group(1).split()
        if len(words) > 1 and _is_command(words):
            found.append((span.start(), " ".join(words)))
    ordered = []
    for _, command in sorted(found):
        if command not in ordered:
            ordered.append(command)
    return ordered


def variants(command):
    """A command with optional parts ([--json]) and alternatives (pause|resume|purge) as every
    command it stands for."""
    optional = re.search(r"\[([^\]]+)\]", command)
    if optional:
        without = (command[:optional.start()] + command[optional.end():]).split()
        return variants(" ".join(without)) + \
            variants(command[:optional.start()] + optional.group(1) + command[optional.end():])
    words = command.split()
    for index, word in enumerate(words):
        if "|" in word and "/" not in word:
            return [command for choice in word.split("|")
                    for command in variants(" ".join(words[:index] + [choice] + words[index + 1:]))]
    return [command]


class Context:
    """A private user with a sandbox print server, the built programs and a place for files."""

    def __init__(self):
        self.user = PrivateUser("commands")
        self.sandbox = SandboxServer(self.user.path("sandbox"))
        self.env = dict(self.user.env)
        self.env["CUPS_SERVER"] = self.sandbox.start(self.env)
        self.programs = programs()
        self.scratch_queues = 0
        # How many jobs each queue's device had received before the command being checked.
        self.received_before = collections.Counter()

    def out(self, name):
        return self.user.path("tmp", name)

    def job_list(self):
        path = self.out("monday.tjf")
        with open(path, "w", newline="") as f:
            f.write("Filename;Copies\r\n" + "".join("%s;1\r\n" % name for name in LIST_FILES))
        return path

    def hot_folder(self):
        path = self.out("hot-folder")
        os.makedirs(path, exist_ok=True)
        shutil.copy(PLOT, path)
        return path

    def run(self, words, env=None, timeout=COMMAND_TIMEOUT):
        result = subprocess.run(words, cwd=REPO, env=env or self.env, capture_output=True,
                                text=True, timeout=timeout)
        if result.returncode != 0:
            raise CheckFailed("exit %d: %s\n%s" % (result.returncode, " ".join(words),
                                                   (result.stderr + result.stdout).strip()))
        return result.stdout

    def close(self):
        left = self.sandbox.stop()
        self.user.remove()
        if left:
            raise CheckFailed("the sandbox print server did not stop: %s" % left)


# ---- tavrin-cli ------------------------------------------------------------------------------

def listed_printers(output):
    return [line.split("\t") for line in output.splitlines() if "\t" in line]


def expect_printers(ctx, output, words):
    rows = {row[1]: row for row in listed_printers(output) if len(row) >= 4}
    missing = [queue for queue in QUEUES if queue not in rows]
    if missing:
        raise CheckFailed("the sandbox's printers %s are not listed:\n%s" % (missing, output))
    for queue, device_class in (("hpgl-plotter", "HPGL/2"), ("ps-printer", "POSTSCRIPT"),
                                ("oce-9600", "Oce 9X00")):
        if rows[queue][3] != device_class:
            raise CheckFailed("%s is not listed as %s:\n%s" % (queue, device_class, output))
    return "%d printers listed" % len(rows)


def expect_sent(ctx, output, words):
    sent = re.search(r"(\d+) of (\d+) jobs? sent to (\S+)", output)
    if not sent or sent.group(1) != sent.group(2):
        raise CheckFailed("not every job was sent: " + output.strip())
    count, queue = int(sent.group(1)), sent.group(3)
    folder = os.path.join(ctx.sandbox.folder, "jobs", queue)
    before = ctx.received_before[queue]
    wait_until(lambda: len([f for f in os.listdir(folder) if f.endswith(".job")]) >= before + count,
               COMMAND_TIMEOUT, "%d jobs received by %s's device" % (count, queue))
    return "%d job%s received by %s's device" % (count, "" if count == 1 else "s", queue)


def expect_settings(ctx, output, words):
    if ctx.user.ini not in output:
        raise CheckFailed("the INI file's path %s is not said:\n%s" % (ctx.user.ini, output))
    return "names " + ctx.user.ini


def expect_inspect(ctx, output, words):
    if "--json" in words:
        for line in output.splitlines():
            json.loads(line)
    for name in FILES:
        if os.path.basename(name) not in output:
            raise CheckFailed("%s is not described:\n%s" % (name, output))
    return "%d files described" % len(FILES)


def expect_preview(ctx, output, words):
    picture = words[words.index("-o") + 1]
    with open(picture, "rb") as f:
        head = f.read(24)
    if picture.endswith(".png"):
        if head[:8] != b"\x89PNG\r\n\x1a\n":
            raise CheckFailed("%s is no PNG picture" % picture)
        width, height = struct.unpack(">II", head[16:24])
        if "--width" in words and width != int(words[words.index("--width") + 1]):
            raise CheckFailed("%s is %d pixels wide" % (picture, width))
        return "a %dx%d PNG picture" % (width, height)
    if b"<svg" not in head and b"<?xml" not in head:
        raise CheckFailed("%s is no SVG picture" % picture)
    return "an SVG picture"


def queue_state(ctx, queue):
    return subprocess.run(["lpstat", "-p", queue], env=ctx.env, capture_output=True,
                          text=True).stdout


def expect_queue(ctx, output, words):
    command, queue = words[1], words[words.index("-p") + 1]
    state = queue_state(ctx, queue)
    if (command == "pause") != ("disabled" in state):
        raise CheckFailed("after %s, lpstat says: %s" % (command, state.strip()))
    return "%s: %s" % (queue, "disabled" if "disabled" in state else "enabled")


def expect_jobs(ctx, output, words):
    if "--all" in words and not output.strip():
        raise CheckFailed("no ended job is listed for a queue that printed some")
    return "%d jobs listed" % len(output.strip().splitlines())


def expect_watched(ctx, output, words):
    if "--list" in words:
        return "lists the hot folders (none kept here)"
    folder = words[words.index("--folder") + 1]
    printed = os.path.join(folder, "Printed", os.path.basename(PLOT))
    if "printed; moved to Printed/" not in output or not os.path.isfile(printed):
        raise CheckFailed("the plot did not end in Printed/:\n" + output)
    return "the plot in the folder printed and moved to Printed/"


def expect_logged(ctx, output, words):
    header = "period," if "--csv" in words and "--totals" in words else (
        "sent," if "--csv" in words else ("PERIOD\t" if "--totals" in words else "SENT\t"))
    if not output.startswith(header):
        raise CheckFailed("the log's header is not there:\n" + output)
    return "%d line(s) of the job log" % output.count("\n")


def expect_help(ctx, output, words):
    if "--device-copies" not in output:
        raise CheckFailed("the options are not listed:\n" + output)
    return "lists the options"


EXPECTATIONS = {"printers": expect_printers, "send": expect_sent, "settings": expect_settings,
                "inspect": expect_inspect, "preview": expect_preview, "pause": expect_queue,
                "resume": expect_queue, "purge": expect_queue, "jobs": expect_jobs,
                "watch": expect_watched, "log": expect_logged}


def cli_words(ctx, command):
    words = shlex.split(command)
    queue = "hpgl-plotter" if words[1] == "jobs" else "raw-printer"
    replaced = []
    for word in words:
        if word == "tavrin-cli":
            replaced.append(ctx.programs["tavrin-cli"])
        elif word == "plot.plt":
            replaced.append(PLOT)
        elif word == "plot.png":
            replaced.append(ctx.out("plot.png"))
        elif word == "FILE...":
            replaced.extend(FILES)
        elif word == "NAME":
            replaced.append(queue)
        elif word == "monday.tjf":
            replaced.append(ctx.job_list())
        elif word.startswith("/srv/plots/"):
            replaced.append(ctx.hot_folder())
        elif word.isupper() or word.endswith((".plt", ".png", ".tjf")):
            raise CheckFailed("no stand-in for '%s': give it one in tests/readme/commands.py"
                              % word)
        else:
            replaced.append(word)
    return replaced


def run_cli(ctx, command):
    notes = []
    for variant in variants(command):
        words = cli_words(ctx, variant)
        ctx.received_before = collections.Counter(
            os.path.basename(os.path.dirname(path)) for path in ctx.sandbox.received())
        output = ctx.run(words)
        if words[1:3] == ["send", "--help"]:
            notes.append(expect_help(ctx, output, words))
        else:
            notes.append(EXPECTATIONS[words[1]](ctx, output, words))
    return "; ".join(notes)


# ---- other programs --------------------------------------------------------------------------

def run_lpadmin(ctx, command):
    """An administrator's lpadmin line on a queue of its own, whose device class tavrin-cli
    printers must then show as the README says."""
    ctx.scratch_queues += 1
    queue = "readme-queue-%d" % ctx.scratch_queues
    lpadmin = "/usr/sbin/lpadmin" if os.path.exists("/usr/sbin/lpadmin") else "lpadmin"
    ctx.run([lpadmin, "-p", queue, "-E", "-v", "socket://127.0.0.1:9"])
    words = [lpadmin if word == "lpadmin" else queue if word == "QUEUE" else word
             for word in shlex.split(command)]
    ctx.run(words)
    technology = re.search(r"technology-default=(\S+)", command)
    description = re.search(r'-D "(Oce 9\S*)', command)
    expected = technology.group(1) if technology else "Oce 9X00" if description else None
    rows = {row[1]: row for row in listed_printers(ctx.run([ctx.programs["tavrin-cli"],
                                                           "printers"]))}
    shown = rows.get(queue, ["", "", "", "(not listed)"])[3]
    if expected is None or expected not in shown:
        raise CheckFailed("%s is listed as '%s', not as %s" % (queue, shown, expected))
    return "%s listed as %s" % (queue, shown)


def run_window_handover(ctx, command):
    """`tavrin FILE...` while a window is open: the names go to that window and the second start
    ends at once."""
    env = dict(ctx.env, QT_QPA_PLATFORM="offscreen")
    socket = os.path.join(env["XDG_RUNTIME_DIR"], "tavrin.socket")
    first = subprocess.Popen([ctx.programs["tavrin"]], env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True)
    try:
        wait_until(lambda: os.path.exists(socket) or first.poll() is not None, COMMAND_TIMEOUT,
                   "the window's single-instance socket")
        if first.poll() is not None:
            raise CheckFailed("the window ended with exit %d" % first.returncode)
        words = [ctx.programs["tavrin"] if word == "tavrin" else word
                 for word in shlex.split(command) if word != "FILE..."]
        started = time.monotonic()
        ctx.run(words + FILES, env=env, timeout=30)
        if not alive(first.pid):
            raise CheckFailed("the first window ended")
        first.terminate()
        first.wait(30)
        if first.returncode != 0:
            raise CheckFailed("the first window ended with exit %d on SIGTERM" % first.returncode)
        return "handed %d files to the open window in %.1f s" % (len(FILES),
                                                                 time.monotonic() - started)
    finally:
        end_session(first.pid)
        first.wait()


def run_screenshot(ctx, command):
    words = shlex.split(command)
    picture = ctx.out("window.png")
    ctx.run([os.path.join(REPO, words[0]), picture], env=ctx.user.env)
    return expect_preview(ctx, "", ["-o", picture])


def check_packages(ctx, command):
    with open(os.path.join(REPO, "tools", "install-deps.sh")) as f:
        listed = f.read().split()
    missing = [word for word in shlex.split(command)[2:] if word not in listed]
    if missing:
        raise CheckFailed("tools/install-deps.sh does not install %s" % missing)
    return "tools/install-deps.sh installs them"


def check_presets(ctx, command):
    """A build command that another stage of tools/test.sh runs: its presets must exist."""
    for tool, build, preset in re.findall(r"\b(cmake|ctest|cpack)( --build)? --preset (\S+)",
                                          command):
        kind = "build" if build else {"cmake": "configure", "ctest": "test",
                                      "cpack": "package"}[tool]
        listed = subprocess.run(["cmake", "--list-presets=" + kind], cwd=REPO,
                                capture_output=True, text=True).stdout
        if '"%s"' % preset not in listed:
            raise CheckFailed("there is no %s preset '%s'" % (kind, preset))
    return "its presets exist; tools/test.sh's build stages run it"


def stop_sandbox(ctx, command):
    pids = ctx.sandbox.pids()
    words = [ctx.sandbox.folder if word == "DIR" else word for word in shlex.split(command)]
    ctx.run(words)
    if not pids or [pid for pid in pids if alive(pid)]:
        raise CheckFailed("the print server still runs")
    return "the sandbox print server stopped"


def run_window(ctx, command):
    return window.check_run("TAVRIN_SKIP_INSTALL=1 " + command)


def skip(reason):
    return reason


# Each rule: a pattern the whole command matches, what to do with it, and whether it waits until
# the others have run. A string is the reason to skip the command.
RULES = [
    (r"bash tools/run\.sh", run_window, False),
    (r"bash tools/test\.sh", skip("this check is a stage of it"), False),
    (r"tavrin-cli send .*-p (socket|ipp|ipps)://.*",
     skip("needs a real device at that network address"), False),
    (r"tavrin-cli (inspect|preview|send|watch)",
     skip("the command's name in the prose; its example above is run"), False),
    (r"tavrin-cli (printers|send|settings|inspect|preview|pause|resume|purge|jobs|log)\b.*",
     run_cli, False),
    (r"tavrin-cli watch --list", run_cli, False),
    (r"tavrin-cli watch --folder .*--once", run_cli, False),
    (r"(systemctl|journalctl) --user .*tavrin-watch\.service.*",
     skip("the installed package's user service; its unit is checked in the package"), False),
    (r"tavrin FILE\.\.\.", run_window_handover, False),
    (r"CUPS_SERVER=\S+\.example\.com .*", skip("needs the office's print server"), False),
    (r"lpadmin -p QUEUE .*", run_lpadmin, False),
    (r"tools/sandbox-print-server stop DIR", stop_sandbox, True),
    (r"apt-get install .*", check_packages, False),
    (r"cmake --preset release && cmake --build --preset release && cpack --preset release",
     package.check_release, False),
    (r"(cmake|ctest|cpack) --preset \S+( && (cmake|ctest|cpack) (--build )?--preset \S+)*",
     check_presets, False),
    (r"cmake -B build/windows .*C:/.*", skip("on Windows itself, with Qt's MinGW kit"), False),
    (r"tavrin-cli\.exe .*", skip("a Windows program: tests/windows runs it under wine"), False),
    (r"build/fuzz/tests/fuzz/fuzz_\w+ -max_total_time=3600 .*",
     skip("an hour's fuzzing; tools/test.sh's fuzz stage runs every target for 20 s"), False),
    (r"tests/mutations/run\.sh .*", skip("about 8 minutes; not part of CI"), False),
    (r"build/dev/docs/screenshot/readme-screenshot \S+\.png", run_screenshot, False),
    (r"bench/wine_send_rewrite\.sh .*",
     skip("a benchmark of 200 MB and 512 MB files with the Windows build"), False),
]


def check_commands(tally, only=None):
    with open(os.path.join(REPO, "README.md")) as f:
        commands = readme_commands(f.read())
    planned = []
    for command in commands:
        if only is not None and not re.search(only, command):
            continue
        rule = next((rule for rule in RULES if re.fullmatch(rule[0], command)), None)
        if rule is None:
            tally.fails(command, "README.md shows this command, and no rule of "
                        "tests/readme/commands.py says how to check it")
        else:
            planned.append((command, rule))
    planned.sort(key=lambda item: item[1][2])  # the last ones last, else the README's order
    ctx = None
    try:
        for command, (_, action, _) in planned:
            if isinstance(action, str):
                tally.skips(command, action)
                continue
            started = time.monotonic()
            try:
                if ctx is None and action not in (run_window, package.check_release):
                    ctx = Context()
                note = action(ctx, command)
                tally.passes(command, "%s; %.1f s" % (note, time.monotonic() - started))
            except CheckFailed as failure:
                tally.fails(command, failure)
            except Exception as failure:  # a check that broke fails its command, not the run
                tally.fails(command, "%s: %s" % (type(failure).__name__, failure))
    finally:
        if ctx is not None:
            try:
                ctx.close()
            except CheckFailed as failure:
                tally.fails("the commands' sandbox", failure)
