#!/usr/bin/env python3
"""Generates the benchmark trees once (deterministic contents, skipped when already there).

Every file holds its own bytes: each 1 MiB block starts with the file's name and the block's number,
so a copy that swapped two files, or two blocks of one file, differs from its source. A tree's
"<name>.done" mark holds the form it was made in; a tree of an older form is removed and made again.
"""
import os
import random
import shutil
import sys

FORM = "form 2: every file its own bytes\n"
KINDS = ["large", "small", "mixed", "many"]
if len(sys.argv) < 2 or sys.argv[1].startswith("-") or not set(sys.argv[2:]) <= set(KINDS):
    sys.exit(f"usage: make_trees.py <folder> [{' '.join(KINDS)}]... (gigabytes are written there)")
root = sys.argv[1]
random.seed(1234)
chunk = bytes(random.getrandbits(8) for _ in range(1 << 20))


def write(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    name = os.path.relpath(path, root).encode()
    with open(path, "wb") as f:
        block = 0
        while block * len(chunk) < size:
            n = min(size - block * len(chunk), len(chunk))
            mark = b"%s@%d\n" % (name, block)
            f.write((mark + chunk[len(mark):])[:n])
            block += 1


def tree(name, make):
    path = os.path.join(root, name)
    done = path + ".done"
    if os.path.exists(done):
        with open(done) as f:
            if f.read() == FORM:
                return
        print("remaking", path, "(made in an older form)", flush=True)
    shutil.rmtree(path, ignore_errors=True)
    make(path)
    with open(done, "w") as f:
        f.write(FORM)
    print("made", path, flush=True)


def large(path):
    for i in range(4):
        write(os.path.join(path, f"big{i}.bin"), 512 << 20)


def small(path):
    for i in range(20000):
        write(os.path.join(path, f"d{i % 500:03d}", f"f{i:05d}.dat"), random.randint(0, 16 << 10))


def mixed(path):
    # about 2 GiB in 2,000 files: many small, some medium, a few large
    sizes = [random.choice([random.randint(0, 64 << 10)] * 6 + [random.randint(1 << 20, 4 << 20)] * 3
                           + [random.randint(8 << 20, 40 << 20)]) for _ in range(2000)]
    scale = (2 << 30) / sum(sizes)
    for i, s in enumerate(sizes):
        write(os.path.join(path, f"m{i % 40:02d}", f"x{i:04d}.bin"), int(s * scale))


def many(path):
    # 100,000 empty files for the memory check (with an extension: the job's "*.*" leaves out names
    # without one, and a Delete that passed over every file measured nothing)
    for i in range(100000):
        d = os.path.join(path, f"d{i % 1000:03d}")
        if i < 1000:
            os.makedirs(d, exist_ok=True)
        open(os.path.join(d, f"e{i:06d}.dat"), "wb").close()


which = sys.argv[2:] or KINDS
for w in which:
    tree(w, globals()[w])
