"""Each operation on a real tree of a few thousand files (nested and hidden folders, hidden, empty and
read-only files, names in several scripts, a path past 260 characters, a 5 GiB sparse file), proven
by manifests taken before and after."""
import os
import shutil

import harness as h
import rules

SECTIONS = ["CopyCutLabel", "SourceLabel", "NameFilterLabel", "ToLabel", "ProgressLabel", "SettingsLabel"]


def section_shots(s, label):
    for header in SECTIONS:
        s.drive("attach", f"click|{header}", "sleep|500")
        s.shot(f"{label}-{header}")


def expect_report(s, log, total, done, size, what, lines=()):
    report = h.reports(log)[-1] if h.reports(log) else {}
    s.same(report, {"All Files": total, "Copied Files": done, "Errors": 0, "Copied Size": size}, f"{what}: report")
    s.same(h.failure_lines(log), list(lines), f"{what}: failure lines")
    s.note(f"{what}: checked")


def not_emptied(src):
    # A source folder that still holds files it was not asked to touch stays, and the log says so.
    return [f"Because folder {h.winpath(src)} may be being used or not empty, so failed to be deleted!"]


def left_after_removing(before, gone):
    """What a destructive job leaves of a source tree: the files not chosen, the folders that still
    hold one of them, and nothing of a tree emptied altogether."""
    kept = {p: v for p, v in h.files_of(before).items() if p not in gone}
    kept.update({d: ("dir",) for d in h.dirs_holding(kept)})
    return kept


def run(s):
    pristine = os.path.join(s.work, "pristine", "tree")
    h.make_tree(pristine, files=2500, seed=1, sparse=5 << 30)
    before = h.manifest(pristine)
    s.note("tree made")
    files = h.files_of(before)
    total, total_size = len(files), sum(v[0] for v in files.values())

    def fresh(op):
        src = os.path.join(s.work, op, "src")
        os.makedirs(src)
        h.copy_tree(pristine, src)
        return os.path.join(src, "tree"), os.path.join(s.work, op, "dst")

    # Copy: an exact copy, and the source byte for byte as it was.
    src, dst = fresh("copy")
    s.start("rbCopy", [(src, total)], dst)
    section_shots(s, "rest")
    log = s.job()
    s.note("copy: job done")
    s.same(h.manifest(os.path.join(dst, "tree")), before, "copy: the copy equals the source")
    s.same(h.manifest(src), before, "copy: the source is unchanged")
    expect_report(s, log, total, total, total_size, "copy")
    s.drive("attach", "close")
    shutil.rmtree(os.path.join(s.work, "copy"))

    # Cut: everything arrives, nothing stays behind, not even an emptied folder.
    src, dst = fresh("cut")
    s.start("rbCut", [(src, total)], dst)
    log = s.job()
    s.same(h.manifest(os.path.join(dst, "tree")), before, "cut: the destination holds the whole tree")
    s.check(not os.path.exists(src), "cut: no source folder is left")
    expect_report(s, log, total, total, total_size, "cut")
    s.drive("attach", "close")
    shutil.rmtree(os.path.join(s.work, "cut"))

    # Move to trash: every file is in the Trash under its own original path.
    src, _ = fresh("trash")
    s.start("rbTrash", [(src, total)])
    log = s.job()
    want = {os.path.join(src, p): v[:2] for p, v in files.items()}
    s.same(h.trash_contents(s.trash), want, "trash: every file is in the Trash with its contents")
    s.check(not os.path.exists(src), "trash: no source folder is left")
    expect_report(s, log, total, total, 0, "trash")
    s.drive("attach", "close")
    shutil.rmtree(os.path.join(s.work, "trash"))
    shutil.rmtree(s.trash, ignore_errors=True)

    # Delete with masks typed and applied: exactly the matching files go.
    src, _ = fresh("delete")
    mask_text = "*.txt/*.tmp"
    s.start("rbDelete", [(src, total)])
    s.drive("attach", "click|NameFilterLabel", "set|cbFName|", f"type|cbFName|{mask_text}", "key|cbFName|13")
    marks = {line.split("\t")[0]: line.endswith("\t1") for line in s.drive("attach", "items|ExtList").split("\n") if line}
    s.same(marks, {e: rules.covers(mask_text, e) for e in marks}, "delete: the masks set the extension marks")
    gone = {p for p, v in files.items() if rules.selected(os.path.basename(p), v[0], v[2], mask_text, marks)}
    s.check(0 < len(gone) < total, f"delete: the masks choose some files ({len(gone)} of {total})")
    log = s.job()
    s.same(h.manifest(src), left_after_removing(before, gone), "delete: exactly the chosen files went")
    expect_report(s, log, total, len(gone), 0, "delete", not_emptied(src))
    s.drive("attach", "close")
    shutil.rmtree(os.path.join(s.work, "delete"))

    # Crush with a size window: exactly the files of 1 to 4096 bytes go; the others keep every byte.
    src, _ = fresh("crush")
    s.start("rbCrush", [(src, total)])
    s.drive("attach", "click|NameFilterLabel", "set|EditFSMin|1", "set|EditFSMax|4096")
    gone = {p for p, v in files.items() if 1 <= v[0] <= 4096}
    log = s.job()
    s.check("4> File size must be between 1B and 4096B" in log, "crush: the log states the size window")
    s.same(h.manifest(src), left_after_removing(before, gone), "crush: exactly the chosen files went")
    expect_report(s, log, total, len(gone), 0, "crush", not_emptied(src))
    s.drive("attach", "close")
