#!/usr/bin/env python3
"""Lists every test and end-to-end scenario the last test run skipped, with its reason, from the
ctest logs of the given build folders:  python3 scripts/list_skips.py BUILD_DIR...
A test skipped whole (a test program's GTEST_SKIP, a suite's exit 77) and a scenario skipped inside
a suite that passed ("SKIPPED (scenario): why") are both listed: a green run can hide either."""
import os
import re
import sys

# One test's block of the log: its name, then its output up to the log's end marker.
BLOCK = re.compile(r"^\d+/\d+ Test: (?P<name>.+?)\n.*?^Output:\n-+\n(?P<output>.*?)^<end of output>",
                   re.M | re.S)


def skips(output):
    """The reasons of the skips a test's output tells of."""
    found = []
    lines = output.splitlines()
    for i, line in enumerate(lines):
        if re.search(r": Skipped$", line):  # GTEST_SKIP: the reason follows on the next lines
            reason = []
            for more in lines[i + 1:]:
                if not more.strip() or more.startswith("["):
                    break
                reason.append(more.strip())
            found.append(" ".join(reason) or "no reason given")
        elif line.startswith("SKIPPED"):  # an end-to-end suite or scenario
            found.append(line[len("SKIPPED"):].lstrip(": "))
    return found


def main():
    listed = 0
    for build in sys.argv[1:]:
        log = os.path.join(build, "Testing", "Temporary", "LastTest.log")
        if not os.path.exists(log):
            continue
        with open(log, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for block in BLOCK.finditer(text):
            for reason in skips(block.group("output")):
                print(f"skipped: {os.path.basename(os.path.normpath(build))}: {block.group('name')}: {reason}")
                listed += 1
    print(f"skipped: {listed} in all" if listed else "skipped: none")


if __name__ == "__main__":
    main()
