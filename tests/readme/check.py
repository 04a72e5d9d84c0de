#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the commands README.md shows a user still work, after a dev build:

    tests/readme/check.py [PATTERN]

Every command line of README.md is run as far as it can be here (commands.py says how): the
set-up command `bash tools/run.sh` as a newcomer runs it, with a check of the window it opens
(window.py), the tavrin-cli examples against a private sandbox print server, and the release
build with its Debian package (package.py). PATTERN, a regular expression, runs only the commands
it is found in. One line per command, then "readme: N passed, M failed, K skipped"; the exit
status is 1 when any failed. tools/test.sh runs it after the dev build's tests. It runs under
Debian's own Python (/usr/bin/python3), whose python3-dbus reads the accessibility bus.
"""

import os
import sys
import time

sys.dont_write_bytecode = True  # the check leaves the source tree as it found it
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from commands import check_commands  # noqa: E402
from support import Tally  # noqa: E402


def main():
    if len(sys.argv) > 2 or sys.argv[1:2] in (["-h"], ["--help"]):
        sys.stderr.write(__doc__)
        return 64
    started = time.monotonic()
    tally = Tally()
    check_commands(tally, sys.argv[1] if len(sys.argv) > 1 else None)
    print("readme: checked in %.0f s" % (time.monotonic() - started))
    print(tally.closing_line())
    return 1 if tally.failed else 0


if __name__ == "__main__":
    sys.exit(main())
