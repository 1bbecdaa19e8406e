"""Filters on a real tree: typed masks, an unchecked extension, a time window chosen from the presets
and a size window. Each is set through the Filters section, a Copy runs, and the files that arrive
are exactly those the filter rules choose, with every folder mirrored."""
import os
import shutil
import time

import harness as h
import rules

SIZES = [1023, 1024, 1025, 1048575, 1048576, 1048577]


def preset(t):
    return time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(t))


def run(s):
    src = os.path.join(s.work, "src", "tree")
    h.make_tree(src, files=1500, seed=2, dotless=True, sizes=SIZES)
    before = h.manifest(src)
    files = h.files_of(before)
    dirs = {p: v for p, v in before.items() if v == ("dir",)}
    total = len(files)

    def filtered_copy(label, steps, chosen, inspect=None):
        """Sets the filter with the steps, runs a Copy and compares what arrived with `chosen`."""
        dst = os.path.join(s.work, label)
        s.start("rbCopy", [(src, total)], dst)
        s.drive("attach", "click|NameFilterLabel", "sleep|300", *steps)
        s.shot(label)
        if inspect:
            inspect()
        want = {p: v for p, v in files.items() if chosen(os.path.basename(p), v[0], v[2])}
        s.check(0 < len(want) < total, f"{label}: the filter chooses some files ({len(want)} of {total})")
        log = s.job()
        s.same(h.manifest(os.path.join(dst, "tree")), {**want, **dirs}, f"{label}: exactly the chosen files arrive")
        report = h.reports(log)[-1] if h.reports(log) else {}
        s.same((report.get("All Files"), report.get("Copied Files"), report.get("Errors")),
               (total, len(want), 0), f"{label}: the report counts every file met and those copied")
        s.drive("attach", "close")
        shutil.rmtree(dst)
        s.note(f"{label}: checked")
        return log

    # Masks typed and applied with Enter: they set the extension marks, and both decide.
    mask_text = "*.txt/data_??.dat"
    marks = {}

    def read_marks():
        shown = [line.split("\t") for line in s.drive("attach", "items|ExtList").split("\n") if line]
        marks.update({entry: flag == "1" for entry, flag in shown})
        s.same(set(marks), {rules.extension_entry(os.path.basename(p)) for p in files},
               "the extension list holds the extension of every file found, in lower case")
        s.same(marks, {e: rules.covers(mask_text, e) for e in marks}, "masks: the extension marks follow the masks")

    filtered_copy("masks", ["set|cbFName|", f"type|cbFName|{mask_text}", "key|cbFName|13"],
                  lambda n, size, t: rules.selected(n, size, t, mask_text, marks), read_marks)

    # One extension unchecked by hand: the masks keep their normal form, the extension is left out.
    log = filtered_copy("unchecked", ["mark|ExtList|.tmp|0"],
                        lambda n, size, t: rules.selected(n, size, t, "*.*", {".tmp": False}))
    s.check('2> File extension name can not be one of ".tmp;"' in log, "unchecked: the log names the extension")

    # A time window from the presets: the presets are the times of the files found, in order.
    times = sorted({v[2] for v in files.values()})
    low, high = times[2], times[5]

    def read_presets():
        presets = [p for p in s.drive("attach", "items|cbTL1").split("\n") if p]
        s.same(presets[:-1], ["1899-12-30 00:00:00"] + [preset(t) for t in times],
               "the time presets are the start of time and every file time, in order")

    filtered_copy("times", [f"pick|cbTL1|{preset(low)}", f"pick|cbTL2|{preset(high)}"],
                  lambda n, size, t: rules.selected(n, size, t, "*.*", times=(low, high)), read_presets)

    # A size window whose ends are sizes that files have: both ends belong to it.
    filtered_copy("sizes", ["set|EditFSMin|1024", "set|EditFSMax|1048576"],
                  lambda n, size, t: rules.selected(n, size, t, "*.*", sizes=(1024, 1048576)))
