#!/usr/bin/env python3
"""The console program driven as a script drives it, under Wine: each operation on a small tree, its
exit code and its report checked against the tree; refusals; Ctrl+C and Ctrl+Break in the middle of a
large copy. Every case works in a fresh folder of its own and removes it.

    python3 tests/cli/cli_script.py <build folder> [case name...]
"""
import csv
import hashlib
import io
import os
import pty
import shutil
import subprocess
import sys
import tempfile
import traceback

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "win32")
CLI = os.path.join(BUILD, "bin", "orvandel-cli.exe")
CTRLC = os.path.join(BUILD, "bench", "orv_ctrlc.exe")


def wine_env():
    out = subprocess.run(["bash", "-c", '. "$0/scripts/wine-env.sh" && orv_ensure_prefix >/dev/null 2>&1; env -0',
                          ROOT], stdin=subprocess.DEVNULL, capture_output=True, check=True).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


ENV = wine_env()


def win(path):
    """A host path as the program sees it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(args, cwd, stdin=None, program=None):
    """The program as a script runs it: waits for it, output to files (Wine's lasting helper processes
    would hold a pipe open), no console input. (exit code, stdout, stderr)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(["wine", program or CLI] + args, cwd=cwd, env=ENV, stdout=out, stderr=err,
                              stdin=stdin if stdin is not None else subprocess.DEVNULL, timeout=300).returncode
        out.seek(0)
        err.seek(0)
        return code, out.read().decode("utf-8"), err.read().decode("utf-8")


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def manifest(folder):
    """Every file below the folder: relative path -> (size, content hash)."""
    files = {}
    for base, _, names in os.walk(folder):
        for name in names:
            full = os.path.join(base, name)
            files[os.path.relpath(full, folder)] = (os.path.getsize(full), digest(full))
    return files


def read_report(path):
    with open(path, "rb") as f:
        data = f.read()
    text = data.decode("utf-8")  # fails on anything but UTF-8
    rows = list(csv.reader(io.StringIO(text, newline="")))
    assert rows[0] == ["result", "operation", "source", "destination", "bytes", "error"], rows[0]
    assert rows[-1][0] == "summary", rows[-1]
    return rows[1:-1], rows[-1]


# Names a script meets: blanks, a comma, a quote-free odd one, letters outside ASCII, a nested folder.
TREE = {
    "a.txt": b"alpha\n",
    "notes, draft.txt": b"comma in the name\n",
    "\u65e5\u672c\u8a9e \u043f\u0440\u0438\u0432\u0435\u0442.doc": "unicode".encode() * 100,
    "sub/b.bin": bytes(range(256)) * 40,
    "sub/deeper/c.tmp": b"temporary",
    "sub/deeper/d.txt": b"",
}


def make_tree(folder, tree=TREE):
    for rel, data in tree.items():
        path = os.path.join(folder, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


class Case:
    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="orv-cli-")
        self.src = os.path.join(self.dir, "src")
        make_tree(self.src)

    def close(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def expect_rows(rows, result, operation, pairs):
    """The report's lines are exactly these files, in any order: (source, destination, bytes)."""
    got = sorted((r[0], r[1], r[2], r[3], r[4]) for r in rows)
    want = sorted((result, operation, s, d, str(b)) for s, d, b in pairs)
    assert got == want, "report rows\n got %s\nwant %s" % (got, want)


def case_copy(c):
    code, out, err = run(["copy", "src", "--to", "out", "--report", "r.csv"], c.dir)
    assert code == 1, (code, err)
    assert manifest(os.path.join(c.dir, "out", "src")) == manifest(c.src)
    rows, summary = read_report(os.path.join(c.dir, "r.csv"))
    expect_rows(rows, "done", "copy", [(win(os.path.join(c.src, rel)), win(os.path.join(c.dir, "out", "src", rel)),
                                        len(data)) for rel, data in TREE.items()])
    assert summary[4] == str(sum(len(d) for d in TREE.values())), summary
    assert "done 6; failed 0; skipped 0; exit code 1" in summary[5], summary
    # The log as the window's, and the count's totals on stderr.
    assert "**Report**" in out and "Copied Files: 6" in out, out
    assert "Counted 6 files" in err, err


def case_copy_again_conflicts(c):
    assert run(["copy", "src", "--to", "out"], c.dir)[0] == 1
    before = manifest(os.path.join(c.dir, "out"))
    # Asked with no console input: every question is Skip, and it says so.
    code, out, err = run(["copy", "src", "--to", "out", "--report", "r.csv"], c.dir)
    assert code == 2, (code, err)
    assert "No console input: every question is answered Skip." in err, err
    assert manifest(os.path.join(c.dir, "out")) == before
    rows, _ = read_report(os.path.join(c.dir, "r.csv"))
    assert rows and all(r[0] == "skipped" for r in rows), rows
    # Skip given on the command line: folders there are merged into, existing files stay, new files
    # in them go in.
    with open(os.path.join(c.src, "sub", "new.txt"), "wb") as f:
        f.write(b"new")
    code, out, err = run(["copy", "src", "--to", "out", "--on-conflict", "skip", "--report", "r.csv"], c.dir)
    assert code == 3, (code, err)
    rows, _ = read_report(os.path.join(c.dir, "r.csv"))
    assert sorted(r[0] for r in rows) == ["done"] + ["skipped"] * 6, rows
    assert manifest(os.path.join(c.dir, "out", "src")) == manifest(c.src)
    # Replace: the changed source wins, the rest is replaced by equal bytes.
    with open(os.path.join(c.src, "a.txt"), "wb") as f:
        f.write(b"changed\n")
    code, out, err = run(["copy", "src", "--to", "out", "--on-conflict", "replace", "--report", "r.csv"], c.dir)
    assert code == 1, (code, err)
    assert manifest(os.path.join(c.dir, "out", "src")) == manifest(c.src)
    # Rename: every file a second time under a new name, nothing replaced.
    code, out, err = run(["copy", "src", "--to", "out", "--on-conflict", "rename", "--report", "r.csv"], c.dir)
    assert code == 1, (code, err)
    rows, _ = read_report(os.path.join(c.dir, "r.csv"))
    assert len(rows) == 7 and all(r[0] == "done" and "_Copied_At_" in r[3] for r in rows), rows
    assert len(manifest(os.path.join(c.dir, "out", "src"))) == 14


def case_cut(c):
    before = manifest(c.src)
    code, out, err = run(["cut", "src", "--to", "out", "--report", "r.csv"], c.dir)
    assert code == 1, (code, err)
    assert manifest(os.path.join(c.dir, "out", "src")) == before
    assert not os.path.exists(c.src) or manifest(c.src) == {}
    rows, _ = read_report(os.path.join(c.dir, "r.csv"))
    expect_rows(rows, "done", "cut", [(win(os.path.join(c.src, rel)), win(os.path.join(c.dir, "out", "src", rel)),
                                       len(data)) for rel, data in TREE.items()])


def removal_case(c, operation):
    code, out, err = run([operation, "src", "--skip-ext", "tmp", "--report", "r.csv"], c.dir)
    assert code == 1, (code, err)
    left = manifest(c.src)
    assert list(left) == [os.path.join("sub", "deeper", "c.tmp")], left  # the filtered-out file stays
    rows, summary = read_report(os.path.join(c.dir, "r.csv"))
    expect_rows(rows, "done", operation, [(win(os.path.join(c.src, rel)), "", 0)
                                          for rel in TREE if not rel.endswith(".tmp")])
    assert "examined 6; done 5; failed 0" in summary[5], summary


def case_delete(c):
    removal_case(c, "delete")


def case_crush(c):
    removal_case(c, "crush")


def case_trash(c):
    trash = os.path.join(ENV["XDG_DATA_HOME"], "Trash")
    removal_case(c, "trash")

    # What this case put in the trash, told by where each entry came from (other tests share the
    # prefix's trash and may run beside this one: their entries are left alone).
    def came_from_here(name):
        info = os.path.join(trash, "info", name + ".trashinfo")
        if not os.path.exists(info):
            return None
        with open(info, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("Path="):
                    from urllib.parse import unquote
                    path = unquote(line[5:].strip())
                    return path if path.startswith(c.dir + "/") else None
        return None
    ours = {}
    for name in os.listdir(os.path.join(trash, "files")):
        origin = came_from_here(name)
        if origin:
            ours[name] = origin
    assert sorted(os.path.relpath(p, c.src) for p in ours.values()) == sorted(
        rel for rel in TREE if not rel.endswith(".tmp")), ours
    for name in ours:
        path = os.path.join(trash, "files", name)
        shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        os.remove(os.path.join(trash, "info", name + ".trashinfo"))


def case_filters_and_nothing(c):
    code, out, err = run(["copy", "src", "--to", "out", "--masks", "*.txt;*.doc", "--min-size", "1",
                          "--max-size", "1KB", "--report", "r.csv"], c.dir)
    assert code == 1, (code, err)
    rows, _ = read_report(os.path.join(c.dir, "r.csv"))
    # a.txt and the comma name; the .doc is 700 bytes too: all under 1 KB; d.txt is empty (under 1 B).
    assert sorted(os.path.basename(r[2].replace("\\", "/")) for r in rows) == sorted(
        ["a.txt", "notes, draft.txt", "\u65e5\u672c\u8a9e \u043f\u0440\u0438\u0432\u0435\u0442.doc"]), rows
    code, out, err = run(["copy", "src", "--to", "none", "--masks", "*.nothing", "--report", "n.csv"], c.dir)
    assert code == 0, (code, err)
    rows, summary = read_report(os.path.join(c.dir, "n.csv"))
    assert rows == [] and "exit code 0" in summary[5], (rows, summary)


def case_failures(c):
    # A source that is not there (a script's typing error): the job is refused before anything is
    # touched, the other sources included, and no report is made.
    before = manifest(c.dir)
    code, out, err = run(["delete", "src", "missing", "--report", "r.csv"], c.dir)
    assert code == 24, (code, err)
    assert "missing" in err and "Nothing was done." in err, err
    assert manifest(c.dir) == before
    # A file that fails (a folder stands where its copy goes): one failed line with the system's
    # reason; the only file failed, so nothing was done at all. With a second file done, 9.
    os.makedirs(os.path.join(c.dir, "out", "a.txt"))
    code, out, err = run(["copy", "src/a.txt", "--to", "out", "--report", "r.csv"], c.dir)
    assert code == 24, (code, err)
    rows, summary = read_report(os.path.join(c.dir, "r.csv"))
    assert [(r[0], r[3]) for r in rows] == [("failed", win(os.path.join(c.dir, "out", "a.txt")))], rows
    assert rows[0][5] and "\n" not in rows[0][5], rows
    code, out, err = run(["copy", "src/a.txt", "src/sub/b.bin", "--to", "out", "--report", "r.csv"], c.dir)
    assert code == 9, (code, err)
    # A destination inside the source: refused before anything is touched.
    before = manifest(c.dir)
    code, out, err = run(["cut", "src", "--to", "src/sub/x"], c.dir)
    assert code == 24, (code, err)
    assert manifest(c.dir) == before


def case_bad_arguments(c):
    before = manifest(c.dir)
    for args in (["copy", "src", "--to", "out", "--min-size", "ten", "--report", "r.csv"],
                 ["copy", "src", "--report", "r.csv"],
                 ["shred", "src"],
                 ["delete", "src", "--on-conflict", "maybe", "--report", "r.csv"]):
        code, out, err = run(args, c.dir)
        assert code == 16, (args, code, err)
        assert out == "", out
        lines = err.splitlines()
        assert len(lines) == 1 and lines[0].startswith("orvandel-cli: "), err
        assert manifest(c.dir) == before, args  # nothing touched, no report made
    code, out, err = run(["--help"], c.dir)
    assert code == 0 and "Exit code" in out and "--on-conflict" in out, (code, out)


def ctrl_case(c, event):
    """A large copy interrupted once a partial copy stands: nothing partial left, exit code with 32."""
    big = os.path.join(c.dir, "big")
    os.makedirs(big)
    with open(os.path.join(big, "0 first.txt"), "wb") as f:
        f.write(b"first")
    for i in range(2):
        with open(os.path.join(big, "large%d.bin" % i), "wb") as f:
            f.truncate(1 << 30)  # sparse: costs the disk only what the copy writes before the stop
    out_dir = os.path.join(c.dir, "out")
    os.makedirs(out_dir)
    # The helper needs a terminal for its console under Wine (see tests/cli/CtrlCHelper.cpp): a
    # pseudo-terminal as standard input, as a person at a terminal has.
    master, slave = pty.openpty()
    try:
        code, out, err = run([event, win(out_dir), CLI, "copy", "big", "--to", "out", "--report", "r.csv"], c.dir,
                             stdin=slave, program=CTRLC)
    finally:
        os.close(slave)
        os.close(master)
    assert code & 32 and code < 64, (code, out, err)
    assert "User abort!" in out, out
    files = manifest(out_dir)
    assert not [f for f in files if f.endswith(".orvpart")], files
    # Whatever stands is whole, as its source.
    for rel, (size, _) in files.items():
        assert size == os.path.getsize(os.path.join(c.dir, "out", rel)) and \
            digest(os.path.join(out_dir, rel)) == digest(os.path.join(big, os.path.relpath(rel, "big"))), rel
    rows, summary = read_report(os.path.join(c.dir, "r.csv"))
    assert "interrupted" in summary[5], summary
    assert any(r[0] == "failed" for r in rows), rows  # the file the stop cut off
    for r in rows:
        if r[0] == "done":
            assert os.path.exists(r[3][2:].replace("\\", "/")), r


# Ctrl+C only: Wine 8 refuses GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT) with ERROR_INVALID_HANDLE
# where it delivers CTRL_C_EVENT (measured with the helper), and the program handles both alike.
def case_ctrl_c(c):
    ctrl_case(c, "c")


CASES = [case_copy, case_copy_again_conflicts, case_cut, case_delete, case_crush, case_trash,
         case_filters_and_nothing, case_failures, case_bad_arguments, case_ctrl_c]


def main():
    chosen = [c for c in CASES if len(sys.argv) <= 2 or c.__name__[5:] in sys.argv[2:]]
    passed = failed = 0
    for case in chosen:
        c = Case()
        try:
            case(c)
            passed += 1
            print("ok   %s" % case.__name__[5:])
        except Exception:
            failed += 1
            print("FAIL %s" % case.__name__[5:])
            traceback.print_exc(file=sys.stdout)
        finally:
            c.close()
        sys.stdout.flush()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
