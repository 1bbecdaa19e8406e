#!/usr/bin/env python3
"""Checks the release zip as a Windows user would get it.

    python3 tests/release/check_release.py ZIP BUILD_DIR

ZIP is build/release/Orvandel-<version>.zip; BUILD_DIR the win32 build (its bench/orv_drive.exe drives
the unpacked program). Checks the file list, that both programs import only the system's own
libraries, that the program's manifest asks for administrator rights and the launcher's and the
console program's do not, that the console program run as a scheduled task runs it copies a tree with
a report,
that the program unpacked into a folder whose name has blanks starts under Wine, shows its window and
asks the system to let drops and hand-offs through to it (read from the runtime's notes on the call),
and that the launcher started as the logon entry starts it brings the program up hidden. Needs the
project's Wine environment and a display (scripts/wine-env.sh). Ends with "N passed, N failed".
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import zipfile

EXPECTED = {"Orvandel.exe", "run.exe", "orvandel-cli.exe", "a0.avi", "a1.avi", "a2.avi", "a3.avi", "help.htm",
            "help-about.png", "help-tray.png", "help-window.png", "ReadMe.txt"}
# Libraries every Windows installation has (MSVCRT.dll among them); nothing of the build machine's
# compiler (libstdc++, libgcc, libwinpthread) may be needed.
SYSTEM_LIBRARIES = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll",
                    "comdlg32.dll", "ole32.dll", "oleaut32.dll", "advapi32.dll", "winmm.dll",
                    "shlwapi.dll", "msimg32.dll", "msvfw32.dll", "avifil32.dll", "msvcrt.dll",
                    "psapi.dll", "version.dll", "uxtheme.dll"}

results = []


def check(name, ok, detail=""):
    results.append(ok)
    print(("ok   " if ok else "FAIL ") + name + ("" if ok or not detail else ": " + detail), flush=True)


def imports(exe):
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], capture_output=True, text=True,
                         check=True).stdout
    return sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", out)}), out


def manifest(exe):
    """The program's RT_MANIFEST resource (type 24), read from the PE resource directory."""
    data = open(exe, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    # PE32: the data directories start 96 bytes into the optional header; the resource one is third.
    rva, size = struct.unpack_from("<II", data, optional + 96 + 2 * 8)
    if size == 0:
        return None
    table = optional + optional_size
    spans = []
    for i in range(sections):
        entry = table + 40 * i
        vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, entry + 8)
        spans.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(address):
        for vaddr, span, rawptr in spans:
            if vaddr <= address < vaddr + span:
                return rawptr + address - vaddr
        raise ValueError("address outside every section")

    base = offset(rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield ident, target

    for ident, target in entries(0):
        if ident == 24 and target & 0x80000000:
            for _, names in entries(target & 0x7FFFFFFF):
                for _, leaf in entries(names & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from("<II", data, base + leaf)
                    start = offset(data_rva)
                    return data[start:start + data_size].decode("utf-8", "replace")
    return None


def execution_level(text):
    found = re.search(r'requestedExecutionLevel\s+level="([^"]+)"', text or "")
    return found.group(1) if found else None


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def drive(build, exe, *steps, timeout=120, winedebug=None):
    env = dict(os.environ, ORV_EXE=wine_path(exe))
    if winedebug:
        env["WINEDEBUG"] = winedebug  # the program started by the driver inherits it, and its stderr
    run = subprocess.run(["wine", os.path.join(build, "bench", "orv_drive.exe"), *steps], env=env,
                         capture_output=True, text=True, timeout=timeout, stdin=subprocess.DEVNULL)
    return run.returncode, run.stdout + run.stderr


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    archive, build = sys.argv[1], sys.argv[2]

    with zipfile.ZipFile(archive) as z:
        names = [n for n in z.namelist() if not n.endswith("/")]
        folders = {n.split("/", 1)[0] for n in names}
        inside = {n.split("/", 1)[1] for n in names if "/" in n}
        check("one folder named after the zip", folders == {os.path.basename(archive)[:-4]}, str(folders))
        check("the files a user needs, and no others", inside == EXPECTED,
              "missing %s, extra %s" % (sorted(EXPECTED - inside), sorted(inside - EXPECTED)))
        unpacked = os.path.join(os.path.dirname(archive), "check", "Program Files Orvandel")
        shutil.rmtree(os.path.dirname(unpacked), ignore_errors=True)
        os.makedirs(unpacked)
        z.extractall(unpacked)
    home = os.path.join(unpacked, folders.pop())
    program = os.path.join(home, "Orvandel.exe")
    launcher = os.path.join(home, "run.exe")
    console = os.path.join(home, "orvandel-cli.exe")

    for exe in (program, launcher, console):
        headers = subprocess.run(["i686-w64-mingw32-objdump", "-h", exe], capture_output=True, text=True,
                                 check=True).stdout
        debug = sorted(set(re.findall(r"\s(\.debug\w*)", headers)))
        check("%s carries no debug information (%d bytes)" % (os.path.basename(exe), os.path.getsize(exe)),
              not debug, "sections %s" % debug)
    for exe in (program, launcher, console):
        libraries, dump = imports(exe)
        foreign = [lib for lib in libraries if lib not in SYSTEM_LIBRARIES]
        check("%s imports only system libraries (%s)" % (os.path.basename(exe), ", ".join(libraries)),
              bool(libraries) and not foreign, "foreign: %s" % foreign)
    _, dump = imports(launcher)
    check("the launcher starts the program through the shell", "ShellExecuteExW" in dump)
    check("the program's manifest asks for administrator rights",
          execution_level(manifest(program)) == "requireAdministrator", str(execution_level(manifest(program))))
    check("the launcher's manifest asks for none", execution_level(manifest(launcher)) == "asInvoker",
          str(execution_level(manifest(launcher))))
    check("the console program's manifest asks for none (a scheduled task or a script starts it)",
          execution_level(manifest(console)) == "asInvoker", str(execution_level(manifest(console))))
    # The console program as a scheduled task runs it, from the folder with blanks: a copy with a
    # report, its exit code (1: files done) and the report's lines.
    work = os.path.join(os.path.dirname(unpacked), "scheduled")
    os.makedirs(os.path.join(work, "src", "sub"))
    for rel in ("a.txt", os.path.join("sub", "b.txt")):
        with open(os.path.join(work, "src", rel), "w") as f:
            f.write(rel)
    with open(os.path.join(work, "out.txt"), "w") as out, open(os.path.join(work, "err.txt"), "w") as err:
        code = subprocess.run(["wine", console, "copy", wine_path(os.path.join(work, "src")), "--to",
                               wine_path(os.path.join(work, "dst")), "--report", wine_path(os.path.join(work, "r.csv"))],
                              stdin=subprocess.DEVNULL, stdout=out, stderr=err, timeout=120).returncode
    report = open(os.path.join(work, "r.csv"), encoding="utf-8").read().splitlines() \
        if os.path.exists(os.path.join(work, "r.csv")) else []
    check("the unpacked console program copies a tree with a report, exit code 1 (%d)" % code,
          code == 1 and len(report) == 4 and report[1].startswith("done,copy,") and
          os.path.exists(os.path.join(work, "dst", "src", "sub", "b.txt")),
          open(os.path.join(work, "err.txt")).read() + "\n".join(report))
    readme = open(os.path.join(home, "ReadMe.txt"), "rb").read()
    check("the text for Windows users has Windows line ends and the version",
          b"\r\n" in readme and b"\n" not in readme.replace(b"\r\n", b"") and
          os.path.basename(archive)[len("Orvandel-"):-4].encode() in readme)

    # The unpacked program starts from a folder with blanks and shows its window. Started with the
    # runtime's notes on calls it does not implement: Wine, having no elevation, keeps no message
    # filter, but notes each ChangeWindowMessageFilterEx call with its window, message and action.
    code, out = drive(build, program, "start", "wait|bbBegin|visible", "close", winedebug="-all,fixme+msg")
    check("the unpacked program starts from a folder with blanks and shows its window", code == 0, out)
    filters = re.findall(r"fixme:msg:ChangeWindowMessageFilterEx (\w+) (\w+) (\d+)", out)
    allowed = {int(message, 16) for _, message, action in filters if action == "1"}  # MSGFLT_ALLOW
    windows = {window for window, _, _ in filters}
    check("the program lets drops and hand-offs through to its window (WM_DROPFILES, WM_COPYDATA, "
          "WM_COPYGLOBALDATA, one window)", allowed == {0x233, 0x4A, 0x49} and len(windows) == 1,
          "the calls seen: %s%s" % (filters, "" if filters else " (none: the program made none, or this "
                                    "runtime implements the call and notes nothing; WINEDEBUG=+relay shows it)"))

    # The logon entry's start: the launcher with "autorun" brings the program up hidden, with its icon.
    started = subprocess.Popen(["wine", launcher, "autorun"], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    launcher_code = started.wait(timeout=60)
    attached = False
    deadline = time.time() + 30
    while time.time() < deadline and not attached:
        code, out = drive(build, program, "attach", "wait|bbBegin|hidden")
        attached = code == 0
        if not attached:
            time.sleep(0.5)
    check("run.exe autorun ends with 0 (%d) and the program comes up hidden" % launcher_code,
          launcher_code == 0 and attached, out)
    code, out = drive(build, program, "attach", "close")
    check("the program started by the launcher closes", code == 0, out)

    passed = sum(1 for ok in results if ok)
    failed = len(results) - passed
    print("release check: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


def leave_nothing_running(build):
    # A program a failed check left up would take the hand-offs of every later test: ended here.
    code, _ = drive(build, "Orvandel.exe", "attach", "close", timeout=60)
    if code != 0:
        drive(build, "Orvandel.exe", "attach", "kill", timeout=60)


if __name__ == "__main__":
    try:
        status = main()
    finally:
        if len(sys.argv) == 3:
            leave_nothing_running(sys.argv[2])
    sys.exit(status)
