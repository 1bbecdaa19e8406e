"""Pause, Go On and Cancel during a copy of several gigabytes: after Go On the file is complete and
counted once; after Cancel no partial file remains and the log holds two reports. Screenshots of the
sections while the job runs."""
import os
import time

import harness as h

SECTIONS = ["CopyCutLabel", "SourceLabel", "NameFilterLabel", "ToLabel", "ProgressLabel", "SettingsLabel"]


def bytes_under(root):
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(root) for f in files)


def run(s):
    src = os.path.join(s.work, "src", "tree")
    h.make_tree(src, files=40, seed=4)
    big = os.path.join(src, "big.bin")
    with open(big, "wb") as f:
        f.truncate(3 << 30)
        for offset in (0, (2 << 30) + 7, (3 << 30) - 4096):
            f.seek(offset)
            f.write(os.urandom(4096))
    before = h.manifest(src)
    files = h.files_of(before)
    total, size = len(files), sum(v[0] for v in files.values())

    # Pause in the middle of the big file; nothing is written while paused; Go On completes it.
    dst = os.path.join(s.work, "paused")
    s.start("rbCopy", [(src, total)], dst)
    s.drive("attach", "post|bbBegin", "until|FileProgressLabel|big.bin", "sleep|400", "post|bbPause",
            "until|bbPause|Go On")
    held = bytes_under(dst)
    for header in SECTIONS:
        s.drive("attach", f"click|{header}", "sleep|500")
        s.shot(f"paused-{header}")
    s.check(s.text("bbPause") == "Go On", "the job stays paused while the sections are opened")
    s.same(bytes_under(dst), held, "nothing is written while the job is paused")
    s.check(0 < held, "the copy had begun when it was paused")
    log = s.job("post|bbPause")
    s.same(h.manifest(os.path.join(dst, "tree")), before, "after Go On the copy is exact")
    s.same(h.reports(log), [{"All Files": total, "Copied Files": total, "Errors": 0, "Copied Size": size}],
           "one report; the interrupted file is counted once")
    s.same(h.failure_lines(log), [], "no failure line after a pause")
    s.drive("attach", "close")
    s.note("pause: checked")

    # Cancel in the middle of the big file: what arrived is complete, the rest never appears.
    dst = os.path.join(s.work, "cancelled")
    s.start("rbCopy", [(src, total)], dst)
    s.drive("attach", "post|bbBegin", "until|FileProgressLabel|big.bin", "sleep|400")
    s.shot("running-Progress")
    s.drive("attach", "click|ToLabel", "sleep|500")
    s.shot("running-ToLabel")
    log = s.job("post|bbCancel")
    time.sleep(0.5)
    arrived = h.manifest(os.path.join(dst, "tree"))
    s.same({p: v for p, v in h.files_of(arrived).items() if before.get(p) != v}, {},
           "after Cancel every file that stands at the destination is a whole copy (no partial file)")
    s.check("big.bin" not in arrived, "the cancelled file is not at the destination")
    found = h.reports(log)
    s.same(len(found), 2, "a cancelled job's log holds two reports")
    s.check("\nUser abort!\n" in log, "the log says the user aborted")
    lines = h.failure_lines(log)
    want = f" Failed to copy file from {h.winpath(big)} to {h.winpath(os.path.join(dst, 'tree', 'big.bin'))}"
    s.check(len(lines) == 1 and lines[0].endswith(want), f"one failure line, for the cancelled copy: {lines}")
    if len(found) == 2:
        s.same(found[1]["Errors"], 1, "the final report counts the cancelled copy as an error")
        s.same(found[1]["Copied Files"], len(h.files_of(arrived)), "the final report counts what arrived")
    s.drive("attach", "close")
    s.note("cancel: checked")
