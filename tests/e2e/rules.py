"""The filter rules a job applies, written out independently of the program, so that a suite can say
which files of a real tree a job must touch."""
import os

SEPARATORS = set('/\\:|"<>')


def _fold(text):
    return bytes(b - 32 if 0x61 <= b <= 0x7A else b for b in text.encode("utf-8"))


def mask_match(mask, name):
    """Wildcards * and ? with one retry point (the latest star), ASCII letters folded."""
    m, s = _fold(mask), _fold(name)
    mi = si = 0
    rm = rs = None
    rescan = False
    while True:
        if not rescan:
            if mi == len(m):
                if si == len(s):
                    return True
                if rm is None:
                    return False
                si, mi, rescan = rs, rm, True
            elif m[mi] == ord("*"):
                mi += 1
                rm, rescan = mi, True
            elif m[mi] == ord("?"):
                if si == len(s):
                    return False
                si, mi = si + 1, mi + 1
            elif si < len(s) and s[si] == m[mi]:
                si, mi = si + 1, mi + 1
            elif si == len(s) or rm is None:
                return False
            else:
                si, mi, rescan = rs, rm, True
        else:
            if mi == len(m):
                return True
            if m[mi] == ord("*"):
                mi += 1
                rm = mi
            elif m[mi] == ord("?"):
                if si == len(s):
                    return False
                si, mi = si + 1, mi + 1
            else:
                k = s.find(bytes([m[mi]]), si)
                if k < 0:
                    return False
                si = rs = k + 1
                mi += 1
                rescan = False


def masks(text):
    found = []
    current = ""
    for c in text + "/":
        if c in SEPARATORS:
            current = current.lower()
            if current and current not in found:
                found.append(current)
            current = ""
        else:
            current += c
    return found


def extension_entry(name):
    name = name.lower()
    dot = name.rfind(".")
    return "." if dot < 0 or dot == len(name) - 1 else name[dot:]


def covers(text, entry):
    """Whether a masks text covers an extension entry (how applying masks sets the check marks)."""
    collected = ""
    for c in text + "/":
        if c not in SEPARATORS:
            collected += c
            continue
        collected = collected.lower()
        dot = collected.rfind(".")
        collected = collected[dot:] if dot >= 0 else ""
        collected = collected or "."
        if mask_match(collected, entry):
            return True
    return False


def selected(name, size, mtime, mask_text="*.*", marks=None, times=None, sizes=None):
    """Whether a file passes the filter: masks, then the extension's check mark (entries not listed
    pass), then the time window (both ends included), then the size window (both ends included)."""
    lower = name.lower()
    if not any(mask_match(m, lower) for m in masks(mask_text)):
        return False
    if marks is not None and not marks.get(extension_entry(lower), True):
        return False
    if times and not times[0] <= mtime <= times[1]:
        return False
    return not sizes or sizes[0] <= size <= sizes[1]
