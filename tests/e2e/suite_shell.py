"""The program among other programs: a second start hands its path to the running window and ends;
files copied in a file manager (a file list on the clipboard) become the sources; the three Options
boxes are seen in the registry; Exit from the icon's menu ends the program."""
import os
import subprocess
import time

import harness as h

RUN_KEY = r"HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
FOLDER_VERB = r"HKCR\Folder\shell\Orvandel\command"
SETTINGS_KEY = r"HKCU\SOFTWARE\VorOrvandel"


def run(s):
    program = os.path.join(s.build, "bin", "Orvandel.exe")
    src = os.path.join(s.work, "src")
    h.make_tree(os.path.join(src, "tree"), files=12, seed=6)
    single = os.path.join(src, "one.txt")
    h.write(single, b"one", 1_600_000_000)

    def reg(*args):
        done = subprocess.run(["wine", "reg", *args], env=s.env, capture_output=True, timeout=120)
        return done.stdout.decode("utf-8", "replace").replace("\r", "")

    def second_start(*args):
        return subprocess.run(["wine", program, *args], env=s.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120).returncode

    def sources():
        return [line for line in s.drive("attach", "list|sourceList").split("\n") if line]

    tree = os.path.join(src, "tree")
    total = sum(len(files) for _, _, files in os.walk(tree))

    # A second start with a path: the running window takes it, the second start ends with 0.
    s.drive("start")
    s.same(second_start(h.winpath(tree)), 0, "a second start with a path ends with 0")
    s.drive("attach", f"until|ProgressLabel|( {total} files are found )", "wait|StopSearch|disabled")
    s.same(sources(), [h.winpath(tree)], "the running window took the path of the second start")

    # Files put on the clipboard by another program: several replace the sources and select Copy,
    # a single file changes nothing.
    s.drive("attach", "click|rbDelete")
    s.drive(f"clip|{h.winpath(single)}")
    s.drive("attach", "sleep|1500")
    s.same(sources(), [h.winpath(tree)], "one file on the clipboard changes nothing")
    s.drive(f"clip|{h.winpath(single)}|{h.winpath(tree)}")
    s.drive("attach", f"until|ProgressLabel|( {total + 1} files are found )", "wait|StopSearch|disabled")
    s.same(sorted(sources()), sorted([h.winpath(single), h.winpath(tree)]),
           "a file and a folder on the clipboard replace the sources")
    s.drive("attach", "click|SourceLabel", "sleep|300")  # the operation's header then names it
    header = s.text("CopyCutLabel")
    s.check(header.startswith("Copy"), f"the pick-up selects Copy: {header!r}")

    # The Options boxes, seen from outside in the registry.
    s.drive("attach", "click|SettingsLabel", "sleep|300")
    s.shot("settings")
    s.drive("attach", "click|cbStart")
    run_value = reg("query", RUN_KEY, "/v", "VorCopy")
    launcher = h.winpath(program).rsplit("\\", 1)[0] + "\\run.exe"
    s.check(f'"{launcher}" autorun'.lower() in run_value.lower(),
            f"Start with the system writes the logon entry with the quoted launcher path: {run_value.strip()}")
    s.drive("attach", "click|cbStart")
    s.check("VorCopy" not in reg("query", RUN_KEY, "/v", "VorCopy"), "unchecking removes the logon entry")
    s.drive("attach", "click|cbContext")
    verb = reg("query", FOLDER_VERB)
    s.check(h.winpath(program).lower() in verb.lower() and '"%1"' in verb,
            f"the context-menu entry starts the program with the item: {verb.strip()}")
    s.drive("attach", "click|cbContext")
    s.check(h.winpath(program).lower() not in reg("query", FOLDER_VERB).lower(), "unchecking removes the entry")
    s.drive("attach", "click|cbMonitorClipboard")
    s.check("0x0" in reg("query", SETTINGS_KEY, "/v", "MonitorClipboard"), "the clipboard box stores its state")
    s.drive("attach", "click|cbMonitorClipboard")
    s.check("0x1" in reg("query", SETTINGS_KEY, "/v", "MonitorClipboard"), "and stores it again when checked")

    # Exit from the icon's menu ends the program.
    s.drive("attach", "tray|right", "menu|2")
    gone = ""
    for _ in range(50):  # the program ends once its trees have gone
        gone = s.drive("attach", ok=False)
        if "step failed: attach" in gone:
            break
        time.sleep(0.2)
    s.check("step failed: attach" in gone, "after Exit from the menu no window of the program is left")
    s.note("shell: checked")
