"""Conflicts: a second Copy onto the result of a first one, answering the file questions, then the
folder questions, with each answer, with and without "Use same selection". The tree that results
is compared with what the answer means, and the questions asked are counted. (Each question after
the first takes Wine about 2 s to show on a display without a window manager, so the tree is small.)"""
import os
import re
import shutil

import harness as h

FILE_BUTTONS = {"overwrite": "BitBtn1", "skip": "BitBtn2", "update": "BitBtn3", "rename": "Rename"}
FOLDER_BUTTONS = {"replace": "BitBtn1", "skip": "BitBtn2", "update": "BitBtn3", "rename": "Rename"}
STAMP = re.compile(r"_(Copied_At|New_Copied_At)_\d{4}(_\d\d){5}(_\(\d+\))?")


def stamped(path, suffix):
    stem, ext = os.path.splitext(path)
    return f"{stem}_{suffix}_<stamp>{ext}" if suffix == "Copied_At" else f"{path}_{suffix}_<stamp>"


def run(s):
    src = os.path.join(s.work, "src", "tree")
    t = h.TIMES
    for rel in ["a1.txt", "a2.txt", "A/b1.dat", "B/ж_файл.txt"]:
        h.write(os.path.join(src, rel), rel.encode(), t[0])
    first = os.path.join(s.work, "first")
    s.start("rbCopy", [(src, 4)], first)
    log = s.job()
    s.drive("attach", "close")
    s.same(h.reports(log)[-1]["Copied Files"], 4, "the first copy copies every file")

    # Between the two copies: a newer source, a newer destination, a destination of the same time
    # and another size, and new files on the source side; B's file stays as it is.
    h.write(os.path.join(src, "a1.txt"), b"one, newer", t[3])
    h.write(os.path.join(first, "tree", "a2.txt"), b"two, newer at the destination", t[3])
    h.write(os.path.join(first, "tree", "A", "b1.dat"), b"b1 longer", t[0])
    h.write(os.path.join(src, "new.txt"), b"new", t[1])
    h.write(os.path.join(src, "A", "new_in_A.txt"), b"new in A", t[1])
    source, existing = h.manifest(src), h.manifest(os.path.join(first, "tree"))
    sfiles = h.files_of(source)
    conflicting = [p for p in sfiles if p in existing]
    top_conflicts = [p for p in conflicting if "/" not in p]

    def second_copy(label, folder, file, want, asked):
        dst = os.path.join(s.work, label)
        shutil.copytree(first, dst, copy_function=shutil.copy2)
        s.start("rbCopy", [(src, len(sfiles))], dst)
        s.drive("attach", "post|bbBegin", "wait|bbBegin|disabled")
        if label in ("file-overwrite", "folder-replace"):  # the first question of each kind, as shown
            s.drive("attach", "sleep|500")
            s.shot(f"{label}-question")
        answered = []
        while not answered or answered[-1] != "done":
            answered.append(s.drive("attach", f"conflict|{folder}|{file}").strip())
        log = s.log()
        got = {STAMP.sub(lambda m: f"_{m.group(1)}_<stamp>", p): v
               for p, v in h.manifest(os.path.join(dst, "tree")).items()}
        s.same(got, want, f"{label}: the tree after the second copy")
        s.same((answered.count("folder"), answered.count("file")), asked, f"{label}: questions asked (folder, file)")
        s.same(h.failure_lines(log), [], f"{label}: failure lines")
        s.drive("attach", "kill")  # closing would only cost Wine's 2 s again
        shutil.rmtree(dst)

    def newer(p):
        (size, _, mtime, _), (dsize, _, dmtime, _) = sfiles[p], existing[p]
        return dmtime < mtime or (dmtime == mtime and dsize != size)

    # File answers, the folders merged (Update, asked once): every file question is asked, or the
    # first only.
    for file in ["overwrite", "skip", "update", "rename"]:
        want = dict(existing)
        for p, v in sfiles.items():
            if p not in existing or file == "overwrite" or (file == "update" and newer(p)):
                want[p] = v
            elif file == "rename":
                want[stamped(p, "Copied_At")] = v
        for same in ("", "+"):
            asked = (1, 1 if same else len(conflicting))
            second_copy(f"file-{file}{'-same' if same else ''}", "BitBtn3+", FILE_BUTTONS[file] + same, want, asked)
        s.note(f"file answer {file}: checked")

    # Folder answers (A and B are met; what lies in them is replaced, left alone or copied beside
    # them); the files at the top are skipped, asked once.
    for folder in ["replace", "skip", "rename"]:
        want = dict(existing)
        want["new.txt"] = sfiles["new.txt"]
        for p, v in source.items():
            if "/" in p and folder == "rename":
                top, rest = p.split("/", 1)
                want[f"{stamped(top, 'New_Copied_At')}/{rest}"] = v
            elif "/" in p and folder == "replace":
                want[p] = v
        if folder == "replace":  # nothing of what A and B held before stays
            want = {p: v for p, v in want.items() if "/" not in p or p in source}
        want.update({d: ("dir",) for d in h.dirs_holding(want)})
        for same in ("", "+"):
            asked = (1 if same else 2, 1 if top_conflicts else 0)
            second_copy(f"folder-{folder}{'-same' if same else ''}", FOLDER_BUTTONS[folder] + same, "BitBtn2+", want, asked)
        s.note(f"folder answer {folder}: checked")
