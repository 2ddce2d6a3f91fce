# A worker's private copy of the source tree and its build folder, for one tier (the sim or
# the windows build): brings the copy in line with the user's tree, builds the tier's test
# program, runs it, and puts a mutant in and takes it out again.
import os
import shutil
import signal
import subprocess
import sys
import threading
import time

# The quiet wait measures processor time; it is run alone in the gate, never beside a build.
QUIET_WAIT = "RuntimeEvents.WaitingForEventsCostsNoProcessorTime"


class Stopped(Exception):
    """The run is being interrupted."""


class Tier:
    def __init__(self, name, target, configure_args):
        self.name, self.target, self.configure_args = name, target, configure_args


# Both build file by file (MARIGOLD_UNITY=OFF): a mutant then recompiles its own file only,
# and compile_commands.json names each file with its flags for the parse.
SIM = Tier("sim", "sim_tests", ["-DCMAKE_BUILD_TYPE=Debug", "-DMARIGOLD_SANITIZE=ON",
                                "-DMARIGOLD_UNITY=OFF"])
WINDOWS = Tier("windows", "win_tests", [
    "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_TOOLCHAIN_FILE={src}/cmake/mingw-w64-x86_64.cmake",
    "-DMARIGOLD_UNITY=OFF"])


def tier_of(relpath):
    """The tier whose test program compiles the file; None for files no tier mutates."""
    parts = relpath.split("/")
    if parts[0] in ("app", "hook32", "glide32") or (parts[0] == "host" and len(parts) == 2):
        return SIM
    if parts[:2] == ["host", "win32"] and len(parts) == 3:
        return WINDOWS
    return None  # host/sim is the tests' own desktop; tests/ and tools/ are not the program


def source_files(root):
    """The tree's files as git sees them (tracked or new, not ignored): the build folders and
    the repository's history stay out of the copies."""
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            cwd=root, check=True, capture_output=True).stdout
    return sorted({p for p in listed.decode().split("\0") if p
                   and os.path.isfile(os.path.join(root, p))})


class Worker:
    def __init__(self, root, tier, number, base, stopping):
        self.root, self.tier, self.number, self.stopping = root, tier, number, stopping
        self.home = os.path.join(base, tier.name, "w%d" % number)
        self.src = os.path.join(self.home, "src")
        self.build = os.path.join(self.home, "build")
        self.log = os.path.join(self.home, "last.log")
        self.prefix = None  # the prepared Wine prefix the windows tier copies for each run
        self._child = None
        self._grace = 5
        self._lock = threading.Lock()
        self._mutated = None  # (path, original bytes) while a mutant is in the copy

    # -- the copy ----------------------------------------------------------------------------
    def sync(self):
        """Makes the copy's files those of the user's tree. Only files that differ are written,
        and with a new time stamp, so the next build recompiles exactly those; this also
        repairs a copy left mutated by a run that was killed outright."""
        wanted = set(source_files(self.root))
        for rel in wanted:
            src, dst = os.path.join(self.root, rel), os.path.join(self.src, rel)
            with open(src, "rb") as f:
                data = f.read()
            try:
                with open(dst, "rb") as f:
                    if f.read() == data:
                        continue
            except FileNotFoundError:
                os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(src, dst)
            shutil.copymode(src, dst)
        for here, _dirs, files in os.walk(self.src):
            for name in files:
                path = os.path.join(here, name)
                if os.path.relpath(path, self.src).replace(os.sep, "/") not in wanted:
                    os.remove(path)

    def apply(self, mutant):
        path = os.path.join(self.src, mutant.path)
        with open(path, "rb") as f:
            original = f.read()
        self._mutated = (path, original)
        self._write(path, mutant.apply(original))

    def restore(self):
        if self._mutated:
            path, original = self._mutated
            self._write(path, original)
            self._mutated = None

    @staticmethod
    def _write(path, data):
        # Through a new file and a rename, so the copy holds either text whole, whenever the
        # run is stopped.
        temp = path + ".mutate-tmp"
        with open(temp, "wb") as f:
            f.write(data)
        os.replace(temp, path)

    # -- child processes ---------------------------------------------------------------------
    def _run(self, command, timeout, cwd=None, env=None, grace=5):
        """(exit status, seconds, timed out) of command, its output in the worker's log.
        Each child leads a process group of its own, so a stop ends all it started."""
        began = time.monotonic()
        with open(self.log, "wb") as log:
            with self._lock:
                if self.stopping.is_set():
                    raise Stopped()
                self._child = subprocess.Popen(command, cwd=cwd or self.build, env=env,
                                               stdin=subprocess.DEVNULL, stdout=log,
                                               stderr=subprocess.STDOUT, start_new_session=True)
                self._grace = grace
            try:
                status = self._child.wait(timeout=timeout)
                timed_out = False
            except subprocess.TimeoutExpired:
                self.kill_child()
                status, timed_out = self._child.wait(), True
            finally:
                with self._lock:
                    self._child = None
        if self.stopping.is_set():
            raise Stopped()
        return status, time.monotonic() - began, timed_out

    def kill_child(self):
        """Ends the running child's process group: politely first, for the desktop runner
        that must stop its own X server and Wine, then for good."""
        with self._lock:
            child, grace = self._child, self._grace
        if child is None or child.poll() is not None:
            return
        for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, None)):
            try:
                os.killpg(child.pid, sig)
            except ProcessLookupError:
                return
            try:
                child.wait(timeout=wait)
                return
            except subprocess.TimeoutExpired:
                pass

    def tail(self, lines=40):
        with open(self.log, "rb") as f:
            return b"\n".join(f.read().split(b"\n")[-lines:]).decode(errors="replace")

    # -- build and run -----------------------------------------------------------------------
    def configure(self):
        os.makedirs(self.build, exist_ok=True)
        generator = ["-G", "Ninja"] if shutil.which("ninja") and not os.path.exists(
            os.path.join(self.build, "Makefile")) else []
        status, _, _ = self._run(["cmake", "-S", self.src, "-B", self.build, *generator,
                                  "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON",
                                  *(a.format(src=self.src) for a in self.tier.configure_args)],
                                 timeout=600)
        if status != 0:
            raise RuntimeError("configuring %s failed:\n%s" % (self.build, self.tail()))
        return os.path.join(self.build, "compile_commands.json")

    def compile(self, parallel=1, timeout=600):
        """True when the tier's test program builds."""
        status, _, timed_out = self._run(["cmake", "--build", self.build, "--target",
                                          self.tier.target, "-j%d" % parallel], timeout)
        return status == 0 and not timed_out

    def test(self, timeout):
        """(exit status, seconds, timed out) of one run of the tier's test program."""
        if self.tier is SIM:
            folder = os.path.join(self.build, "tests", "sim")
            return self._run([os.path.join(folder, "sim_tests"), "--gtest_brief=1"],
                             timeout, cwd=folder)
        # On an X display, Wine prefix and wineserver of its own, made by the project's
        # desktop runner from the prepared prefix; the runner's own limit stops a test that
        # hangs, ours only a runner that hangs around it.
        folder = os.path.join(self.build, "tests", "win")
        env = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
        status, seconds, timed_out = self._run(
            [sys.executable, os.path.join(self.src, "tests", "e2e", "desktop.py"),
             "--template", self.prefix, "--work", os.path.join(self.home, "desktop"),
             "--timeout", "%d" % timeout, "--",
             os.environ.get("MARIGOLD_WINE64", "/usr/lib/wine/wine64"),
             os.path.join(folder, "win_tests.exe"), "--gtest_color=no", "--gtest_brief=1",
             "--gtest_filter=-" + QUIET_WAIT],
            timeout + 180, cwd=folder, env=env, grace=60)
        if not timed_out and status != 0 and "ran past" in self.tail(5):
            timed_out = True
        return status, seconds, timed_out
