"""Faults: a file held open without sharing by another program and a file deleted while the job is
paused (a Cut onto another volume, where it copies), a destination that fills up, and the program
ended in the middle of a large copy.
The job goes on, each failure is one log line, nothing outside the chosen trees changes, and no file
shorter than its source ever stands under its final name."""
import os
import re
import shutil
import tempfile
import time

import harness as h


def sparse(path, size):
    with open(path, "wb") as f:
        f.truncate(size)
        f.seek(size - 4096)
        f.write(os.urandom(4096))


def whole_or_absent(s, dst, source, what):
    """Every file at the destination that carries a source file's name is that file, whole."""
    arrived = h.files_of(h.manifest(dst))
    s.same({p: v for p, v in arrived.items() if p in source and source[p] != v}, {},
           f"{what}: no file under a final name differs from its source")
    return arrived


def run(s):
    bystander = os.path.join(s.work, "bystander")
    h.make_tree(bystander, files=30, seed=5)
    untouched = h.manifest(bystander)

    # --- Cut with a locked file, and a file deleted while the job is paused --------------------
    src = os.path.join(s.work, "cut", "tree")
    h.make_tree(src, files=60, seed=6)
    locked = os.path.join(src, "заблокирован.dat")
    h.write(locked, b"held open by another program", h.TIMES[0])
    sparse(os.path.join(src, "big.bin"), 1 << 30)
    before = h.files_of(h.manifest(src))
    # Within one volume a Cut renames every file at once, leaving nothing to pause in: the destination
    # is another file system, where a Cut copies and deletes.
    dst = os.path.join(s.work, "cut", "dst")
    other_volume, why = s.mount_tmpfs(dst, "2g")
    if not other_volume:
        print(f"cut: no file system of its own can be mounted ({why}): the destination goes to /dev/shm")
        dst = tempfile.mkdtemp(prefix="orv-e2e-cut-", dir="/dev/shm")
    holder = s.drive_later(f"hold|{h.winpath(locked)}|600000")
    for _ in range(100):
        holder.out.seek(0)
        if b"held" in holder.out.read():
            break
        time.sleep(0.1)
    else:
        raise AssertionError("the other program could not open the file to hold it")
    s.start("rbCut", [(src, len(before))], dst)
    s.drive("attach", "post|bbBegin", "until|FileProgressLabel|big.bin", "post|bbPause", "until|bbPause|Go On")
    waiting = [p for p in before if not os.path.exists(os.path.join(dst, "tree", p)) and p != "big.bin"
               and os.path.join(src, p) != locked]
    victim = sorted(waiting)[0]
    os.remove(os.path.join(src, victim))
    log = s.job("post|bbPause")
    holder.kill()
    holder.wait()
    lines = h.failure_lines(log)
    print("cut: failure lines:", *lines, sep="\n  ")
    arrived = whole_or_absent(s, os.path.join(dst, "tree"), before, "cut")
    # Several files are written at once: the deleted file may have been read whole before it went
    # (then it arrived whole, as checked above), or not (then one line tells of it).
    s.same(set(arrived) - {victim}, set(before) - {victim, os.path.relpath(locked, src)},
           "cut: every other file arrived")
    s.same(h.files_of(h.manifest(src)), {os.path.relpath(locked, src): before[os.path.relpath(locked, src)]},
           "cut: only the locked file stays in the source, unchanged")
    s.same([line for line in lines if h.winpath(locked) in line and "Failed to copy file from" in line],
           [line for line in lines if h.winpath(locked) in line], "cut: the locked file has one failure line")
    s.check(sum(h.winpath(locked) in line for line in lines) == 1, "cut: one line names the locked file")
    s.check(sum(victim.split("/")[-1] in line for line in lines) <= 1, "cut: at most one line names the deleted file")
    file_lines = [line for line in lines if not line.startswith("Because folder ")]
    s.same(h.reports(log)[-1]["Errors"], len(file_lines), "cut: each failure counted is one log line")
    s.drive("attach", "close")
    if not other_volume:
        shutil.rmtree(dst, ignore_errors=True)
    s.note("locked and deleted: checked")

    # --- A destination that fills up ------------------------------------------------------------
    small = os.path.join(s.work, "small")
    mounted, why = s.mount_small(small, 24)
    if not mounted:
        s.skip_scenario("small-mount", "a full destination", f"no small file system can be mounted here: {why}")
    else:
        print(f"fill: the destination is a {mounted} of 24 MiB")
        src = os.path.join(s.work, "fill", "tree")
        for k in range(20):
            h.write(os.path.join(src, f"chunk_{k:02}.bin"), os.urandom(3 << 20), h.TIMES[k % 8])
        before = h.files_of(h.manifest(src))
        s.start("rbCopy", [(src, len(before))], small)
        s.drive("attach", "post|bbBegin")
        question = s.drive("attach", "box|Yes")
        s.check("No enough free space on the destination disk" in question, "fill: the free-space question is asked")
        log = s.job("sleep|100")
        arrived = whole_or_absent(s, os.path.join(small, "tree"), before, "fill")
        s.same(set(arrived) - set(before), set(), "fill: no partial file is left at the destination")
        lines = h.failure_lines(log)
        s.check(0 < len(lines) == len(before) - len(arrived), f"fill: one failure line per file that did not fit ({len(lines)})")
        s.check(all(re.search(r" Failed to copy file from .* to ", line) for line in lines), "fill: the lines are copy failures")
        s.same(h.reports(log)[-1]["Copied Files"], len(arrived), "fill: the report counts what arrived")
        s.drive("attach", "close")
        s.note("full destination: checked")

    # --- The program ended in the middle of a large copy; the job run again ----------------------
    src = os.path.join(s.work, "kill", "tree")
    h.make_tree(src, files=20, seed=7)
    sparse(os.path.join(src, "big.bin"), 2 << 30)
    before = h.manifest(src)
    dst = os.path.join(s.work, "kill", "dst")
    s.start("rbCopy", [(src, len(h.files_of(before)))], dst)
    s.drive("attach", "post|bbBegin", "until|FileProgressLabel|big.bin", "sleep|500", "kill")
    arrived = whole_or_absent(s, os.path.join(dst, "tree"), h.files_of(before), "kill")
    left = sorted(set(arrived) - set(before))
    print(f"kill: left beside the final names after the end: {left}")
    s.start("rbCopy", [(src, len(h.files_of(before)))], dst)
    s.drive("attach", "post|bbBegin", "wait|bbBegin|disabled")
    while s.drive("attach", "conflict|BitBtn3+|BitBtn3+").strip() != "done":
        pass
    log = s.log()
    s.same(h.manifest(os.path.join(dst, "tree")), before, "kill: the job run again completes the copy, nothing left over")
    s.same(h.failure_lines(log), [], "kill: the job run again has no failure")
    s.drive("attach", "close")
    s.note("ended program: checked")

    s.same(h.manifest(bystander), untouched, "nothing outside the chosen trees changed")
