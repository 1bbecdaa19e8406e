"""What the end-to-end suites share: a Wine session of their own (virtual display, prefix, Trash),
the driver that uses the built program from outside, generated trees, manifests, the log's report,
screenshots and the checks' tally.

A suite is a module with `run(session)`; it works only through the program's window (via
orv_drive) and reads results from the file system and from what the window shows.
"""
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SKIP = 77  # the exit code ctest is told means "skipped"


class Skip(Exception):
    """The machine lacks something a suite needs; the reason is printed with its key."""

    def __init__(self, key, why):
        super().__init__(why)
        self.key = key


def skip_allowed(key):
    """A suite or scenario may be skipped for the reason `key` outside CI; in CI (the variable CI set)
    only when ORV_ALLOWED_SKIPS (keys apart by blanks or commas) names it: a skip there would leave
    the program untested while the run stays green."""
    if os.environ.get("CI", "") in ("", "0", "false"):
        return True
    return key in os.environ.get("ORV_ALLOWED_SKIPS", "").replace(",", " ").split()


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Session:
    """One suite's world: its own Xvfb display, its own Wine prefix (so no other test's window or
    registry is in the way), a fresh work folder with the Trash inside, and the checks' tally."""

    def __init__(self, build, name):
        self.name, self.build = name, os.path.abspath(build)
        self.driver = os.path.join(self.build, "bench", "orv_drive.exe")
        self.shots = os.path.join(ROOT, "build", "e2e-shots")
        self.passed = self.failed = 0
        self.started = time.time()
        self.mounts, self.procs, self.images = [], [], []
        os.makedirs(self.shots, exist_ok=True)
        self.work = tempfile.mkdtemp(prefix=f"orv-e2e-{name}-")
        # Gigabytes are written here: in memory when the machine lets us mount, else on the disk.
        mounted, why = self.mount_tmpfs(self.work, "12g")
        if not mounted:
            print(f"e2e: working on the disk (no tmpfs: {why})")
        base = os.path.join(self.build, "e2e")
        self.env = dict(os.environ, WINEPREFIX=os.path.join(base, "prefix"), WINEARCH="win32",
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                        HOME=os.path.join(base, "home"), LC_ALL="C.UTF-8",
                        XDG_DATA_HOME=os.path.join(self.work, "xdg"))
        os.makedirs(self.env["HOME"], exist_ok=True)
        os.makedirs(self.env["XDG_DATA_HOME"])
        self.trash = os.path.join(self.env["XDG_DATA_HOME"], "Trash")
        try:
            self._start_display()
            self._ensure_prefix()
        except BaseException:  # a suite that cannot start leaves no mount, process or folder behind
            self.close()
            raise

    # --- set-up and tear-down -------------------------------------------------------------
    def _start_display(self):
        # Xvfb picks a free display number itself and tells it on a pipe.
        read, write = os.pipe()
        try:
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
                                    pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except OSError as error:
            raise Skip("display", f"no virtual display: {error}")
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            xvfb.kill()
            raise Skip("display", "no virtual display could be started")
        self.procs.append(xvfb)
        self.env["DISPLAY"] = f":{number}"
        self._start_window_manager()

    def _start_window_manager(self):
        # Without a window manager Wine waits about 2 s at every show and hide of a window, and a
        # real click on an inactive dialog is often taken as its activation only.
        try:
            wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except OSError as error:
            print(f"e2e: no window manager ({error}): every window shown costs seconds", flush=True)
            return
        self.procs.insert(0, wm)  # stopped before its display
        deadline = time.time() + 20
        while not self._wm_running():
            if wm.poll() is not None or time.time() > deadline:
                for proc in self.procs:
                    proc.kill()
                raise RuntimeError("the window manager did not start")
            time.sleep(0.05)

    def _wm_running(self):
        """True once a window manager manages the display: its check window names itself."""
        root = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                              capture_output=True, text=True).stdout
        found = re.search(r"window id # (0x[0-9a-f]+)", root)
        return bool(found) and subprocess.run(["xprop", "-id", found.group(1), "_NET_WM_NAME"], env=self.env,
                                              capture_output=True).returncode == 0

    def _quiet(self, *command):
        subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def _ensure_prefix(self):
        ready = os.path.join(self.env["WINEPREFIX"], ".orv-ready")
        if not os.path.exists(ready):
            print("e2e: creating the Wine prefix of the end-to-end suites", flush=True)
            os.makedirs(self.env["WINEPREFIX"], exist_ok=True)
            self._quiet("wineboot", "-i")
            self._quiet("wineserver", "-w")
            self._quiet("wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                        "/t", "REG_DWORD", "/d", "0", "/f")
            self._quiet("wineserver", "-w")
            open(ready, "w").close()
        # One server for the whole suite, started away from any pipe of ours.
        self._quiet("wineserver", "-p")
        self._quiet("wine", "cmd", "/c", "exit", "0")

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        for mount in reversed(self.mounts):
            subprocess.run(["umount", "-l", mount], capture_output=True)
        for folder in self.images:
            shutil.rmtree(folder, ignore_errors=True)
        for proc in self.procs:
            proc.terminate()  # so that Xvfb removes its lock
            proc.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    # --- the checks' tally ----------------------------------------------------------------
    def check(self, ok, what):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL: {what}", flush=True)
        return ok

    def skip_scenario(self, key, scenario, why):
        """A scenario this machine cannot run, for a reason outside the program: printed as skipped
        where allowed (see skip_allowed), else counted as a failed check."""
        if skip_allowed(key):
            print(f"SKIPPED ({scenario}): {why} [{key}]", flush=True)
        else:
            self.check(False, f"{scenario} could not run: {why} [{key}]; in CI a skip for this reason must "
                              "be named in ORV_ALLOWED_SKIPS")

    def note(self, text):
        print(f"[{time.time() - self.started:6.1f} s] {text}", flush=True)

    def same(self, got, want, what):
        """Compares two values; for mappings and sets prints what differs (a few of each)."""
        if got == want:
            return self.check(True, what)
        if isinstance(got, (dict, set)) and isinstance(want, (dict, set)):
            g, w = set(got), set(want)
            extra, missing = sorted(g - w)[:5], sorted(w - g)[:5]
            changed = sorted(k for k in g & w if isinstance(got, dict) and got[k] != want[k])[:5]
            detail = f"extra {extra} missing {missing} changed {changed}"
            if changed:
                detail += f" e.g. {got[changed[0]]} != {want[changed[0]]}"
        else:
            detail = f"{got!r} != {want!r}"
        return self.check(False, f"{what}: {detail}")

    # --- the program, through the driver ---------------------------------------------------
    def drive(self, *steps, ok=True, timeout=900):
        """Runs orv_drive with the steps; returns its output lines. Output goes to a file, not a
        pipe: Wine may leave helpers running that hold inherited pipes open."""
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(["wine", self.driver, *steps], env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
            out.seek(0)
            text = out.read().decode("utf-8", "replace").replace("\r", "")
        if ok and code != 0:
            raise AssertionError(f"driver failed ({code}): {' '.join(steps)}\n{text}")
        return text

    def drive_later(self, *steps):
        """Starts the driver without waiting (for a step that holds on, such as `hold`)."""
        out = tempfile.TemporaryFile()
        proc = subprocess.Popen(["wine", self.driver, *steps], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=subprocess.STDOUT)
        proc.out = out
        return proc

    def start(self, operation="rbCopy", sources=(), destination=None):
        """Starts the program, chooses the operation, adds the sources (each with the scan file
        total expected after it) and types the destination."""
        steps = ["start", f"click|{operation}"]
        for path, total in sources:
            steps += self.add_steps(path, total)
        if destination is not None:
            steps.append(f"set|cbPath|{winpath(destination)}")
        self.drive(*steps)

    @staticmethod
    def add_steps(path, total):
        # The pre-scan has ended once its count shows the expected total and Stop searching is off.
        return [f"set|sourceEdit|{winpath(path)}", "click|sourceButtonAdd",
                f"until|ProgressLabel|( {total} files are found )", "wait|StopSearch|disabled"]

    def job(self, *during):
        """Presses Begin and waits for the job's end (steps in `during` run meanwhile, the first of
        them pressing Begin); keeps the driver's output in `last_output` and returns the log."""
        steps = [*during, "wait|bbBegin|enabled"] if during else ["job|bbBegin"]
        self.last_output = self.drive("attach", *steps)
        return self.log()

    def log(self):
        return self.drive("attach", "show|Memo1")

    def text(self, name):
        return self.drive("attach", f"show|{name}").rstrip("\n")

    def shot(self, label):
        path = os.path.join(self.shots, f"{self.name}-{label}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, capture_output=True)
        return path

    def mount_tmpfs(self, path, size):
        """A small file system of its own; False when this machine does not allow mounting."""
        os.makedirs(path, exist_ok=True)
        done = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", path],
                              capture_output=True, text=True)
        if done.returncode == 0:
            self.mounts.append(path)
        return done.returncode == 0, done.stderr.strip()

    def mount_small(self, path, megabytes):
        """A file system of `megabytes` of its own at `path`: a tmpfs, or where a tmpfs cannot be
        mounted (some containers refuse that type but allow loop devices), an ext2 image on a loop
        device. Returns (how, None) or (None, why neither could be mounted)."""
        mounted, why = self.mount_tmpfs(path, f"{megabytes}m")
        if mounted:
            return "tmpfs", None
        image = os.path.join(tempfile.mkdtemp(prefix=f"orv-e2e-{self.name}-image-"), "small.img")
        self.images.append(os.path.dirname(image))
        with open(image, "wb") as f:
            f.truncate(megabytes << 20)
        for command in (["mkfs.ext2", "-q", "-F", "-m", "0", image], ["mount", "-o", "loop", image, path]):
            try:
                done = subprocess.run(command, capture_output=True, text=True)
            except OSError as error:
                return None, f"tmpfs: {why}; {command[0]}: {error}"
            if done.returncode != 0:
                return None, f"tmpfs: {why}; {' '.join(command[:2])}: {done.stderr.strip()}"
        self.mounts.append(path)
        return "ext2 image on a loop device", None


# --- the log -------------------------------------------------------------------------------
def reports(log):
    """The report blocks of a log, oldest first, as {name: number}."""
    found = []
    for block in log.split("**Report**")[1:]:
        values = dict(re.findall(r"^(All Files|Copied Files|Errors|Copied Size): (-?\d+)", block, re.M))
        found.append({k: int(v) for k, v in values.items()})
    return found


def failure_lines(log):
    """The failure entries of a log. The system's error text ends with a line break, so an entry
    such as "Because Access denied." + " Failed to copy file from ..." spans two lines: joined here."""
    lines = log.split("\n")
    return [line + (lines[i + 1] if i + 1 < len(lines) and lines[i + 1].startswith(" ") else "")
            for i, line in enumerate(lines) if line.startswith("Because ")]


# --- trees ---------------------------------------------------------------------------------
STEMS = ["café", "résumé", "Ærøskøbing", "naïve", "Привет", "Ёжик", "Ελληνικά", "Δέλτα", "日本語",
         "中文名", "한국어", "plain", "report", "data"]
EXTS = [".txt", ".dat", ".log", ".tmp", ".bin", ".jpg", ".DOC", ".Txt", ".данные"]
# Modification times of generated files (local time, even seconds): the presets of the time filter.
TIMES = [time.mktime((2019, 3, 4, 10, 20, 30, 0, 0, -1)) + k * 86400 * 97 + 3600 * k for k in range(8)]


def write(path, data, mtime, readonly=False, hidden=False):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.utime(path, (mtime, mtime))
    if hidden:  # Wine keeps DOS attributes in this extended attribute
        os.setxattr(path, "user.DOSATTRIB", b"0x22")
    if readonly:
        os.chmod(path, 0o444)


def make_tree(root, files, seed, sparse=0, dotless=False, sizes=()):
    """A tree of `files` files (plus a few fixed ones) in nested folders: names in several scripts,
    hidden files and a hidden folder, empty files, an empty folder, a read-only file, a path longer
    than 260 characters, files of the given exact sizes and, when asked, a sparse file of `sparse`
    bytes with data around the 4 GiB mark and files without an extension."""
    rnd = random.Random(seed)
    folders = [""]
    for i in range(max(3, files // 60)):
        parent = rnd.choice([f for f in folders if f.count("/") < 4])
        folders.append(os.path.join(parent, f"{rnd.choice(STEMS)}_{i}"))
    for folder in folders:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    for i in range(files):
        size = rnd.choice([0, 1, 200, 700, 1500, 4000, 9000]) if i % 10 else rnd.randint(10000, 200000)
        name = f"{rnd.choice(STEMS)}_{i}{rnd.choice(EXTS)}"
        write(os.path.join(root, rnd.choice(folders), name), rnd.randbytes(size), rnd.choice(TIMES))
    os.makedirs(os.path.join(root, "empty_folder", "empty_inside"))
    write(os.path.join(root, ".hidden_dot.txt"), b"dot", TIMES[0])
    write(os.path.join(root, "hidden_attr.dat"), b"attr", TIMES[1], hidden=True)
    write(os.path.join(root, ".cache", "inside_hidden.log"), b"cached", TIMES[2])
    write(os.path.join(root, "read_only.txt"), b"read only", TIMES[3], readonly=True)
    write(os.path.join(root, "zero_a.dat"), b"", TIMES[4])
    deep = os.path.join(root, *[f"a_rather_long_folder_name_number_{k}_ÄÖÜ" for k in range(7)])
    write(os.path.join(deep, "deep_file.txt"), b"deep", TIMES[5])
    for k, size in enumerate(sizes):
        write(os.path.join(root, "sizes", f"size_{size}.bin"), rnd.randbytes(size), TIMES[k % len(TIMES)])
    if dotless:
        for k, name in enumerate(["README", "Makefile", "LICENSE"]):
            write(os.path.join(root, folders[k % len(folders)], name), b"no extension", TIMES[6])
    if sparse:
        path = os.path.join(root, "big_sparse.bin")
        with open(path, "wb") as f:
            f.truncate(sparse)
            for offset in (0, (4 << 30) - 100, sparse // 2, sparse - 65536):
                f.seek(offset)
                f.write(rnd.randbytes(65536))
        os.utime(path, (TIMES[7], TIMES[7]))


def copy_tree(source, destination):
    """A faithful copy (times, modes, extended attributes, holes) to work on."""
    subprocess.run(["cp", "-a", "--sparse=always", source, destination], check=True)


# --- manifests -----------------------------------------------------------------------------
BLOCK = 1 << 20
ZERO = bytes(BLOCK)


def digest(path):
    """The content's hash. Whole zero blocks count as one mark whether stored or a hole, so a
    sparse source and its dense copy compare equal without hashing gigabytes of zeros."""
    h = hashlib.sha256()
    with open(path, "rb") as f:
        fd = f.fileno()
        size = os.fstat(fd).st_size
        pos = 0
        while pos < size:
            try:
                data = os.lseek(fd, pos, os.SEEK_DATA)
            except OSError:
                data = size
            while pos + BLOCK <= min(data, size):  # blocks wholly inside a hole
                h.update(b"Z")
                pos += BLOCK
            if pos >= size:
                break
            f.seek(pos)
            block = f.read(BLOCK)
            h.update(b"Z" if block == ZERO else block)
            pos += len(block)
    return h.hexdigest()


def attributes(path, name):
    """Read-only and hidden as Wine shows them: write permission, a leading dot, the DOS xattr."""
    try:
        dos = int(os.getxattr(path, "user.DOSATTRIB").split(b"\0")[0], 16)
    except (OSError, ValueError):
        dos = 0
    readonly = not os.stat(path).st_mode & 0o200
    return ("R" if readonly else "") + ("H" if name.startswith(".") or dos & 2 else "")


def manifest(root, contents=True):
    """{relative path: ("dir",) or (size, hash, mtime, attributes)} of everything under root."""
    found = {}
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        for d in dirs:
            found[os.path.normpath(os.path.join(rel, d))] = ("dir",)
        for name in files:
            path = os.path.join(folder, name)
            st = os.stat(path)
            found[os.path.normpath(os.path.join(rel, name))] = (
                st.st_size, digest(path) if contents else None, int(st.st_mtime), attributes(path, name))
    return found


def files_of(m):
    return {k: v for k, v in m.items() if v != ("dir",)}


def dirs_holding(file_paths):
    """The folders that a set of files needs (all ancestors of each)."""
    dirs = set()
    for p in file_paths:
        parent = os.path.dirname(p)
        while parent:
            dirs.add(parent)
            parent = os.path.dirname(parent)
    return dirs


def trash_contents(trash):
    """{original path: (size, hash)} of everything in a freedesktop Trash."""
    found = {}
    info = os.path.join(trash, "info")
    for entry in os.listdir(info) if os.path.isdir(info) else []:
        with open(os.path.join(info, entry), encoding="utf-8") as f:
            original = urllib.parse.unquote(re.search(r"^Path=(.*)$", f.read(), re.M).group(1))
        path = os.path.join(trash, "files", entry[: -len(".trashinfo")])
        found[original] = ("dir",) if os.path.isdir(path) else (os.path.getsize(path), digest(path))
    return found


def skipped(reason):
    """The exit code of a suite that could not run: skipped where allowed, else failed."""
    if skip_allowed(reason.key):
        print(f"SKIPPED: {reason} [{reason.key}]")
        return SKIP
    print(f"FAILED: the suite could not run: {reason} [{reason.key}]; in CI a skip for this reason must be "
          "named in ORV_ALLOWED_SKIPS")
    return 1


def main(suites):
    """ e2e.py BUILD_DIR SUITE: runs one suite and exits 0 (all passed), 1 or 77 (skipped)."""
    build, name = sys.argv[1], sys.argv[2]
    try:
        session = Session(build, name)
    except Skip as reason:
        return skipped(reason)
    try:
        suites[name](session)
    except Skip as reason:
        return skipped(reason)
    except AssertionError as error:
        session.check(False, str(error))
    finally:
        session.close()
    session.note(f"{name}: end")
    print(f"{session.passed} passed, {session.failed} failed")
    return 1 if session.failed or not session.passed else 0
