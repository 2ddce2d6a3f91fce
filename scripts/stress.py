"""The load check's runner: runs the Windows tests (ctest tests of the windows and windows-x86
builds) round after round while other work keeps every core busy, and tells for each test how
many runs it had and which failed, with the lines that say why.

usage: stress.py [--rounds N] [--tests REGEX] [--jobs J] [--beside] [--load cpu,build]
                 [--windows DIR] [--x86 DIR] [--scratch DIR]
scripts/stress.sh prepares the machine (packages, builds, prefixes) and calls it.
"""

import argparse
import collections
import concurrent.futures
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

# Lines of a failed test's output that say what went wrong: GoogleTest's failures and the
# values it compared, unittest's tracebacks' last words, the desktop's own complaints.
REASON = re.compile(r"Failure|Expected|Which is|Value of|actual|AssertionError|Error:|"
                    r"E2EError|desktop\.py:|Timeout|timed out|FAIL:|ERROR:|  File .*tests/")


def reasons(output, limit=12):
    lines = [line.rstrip() for line in output.splitlines() if REASON.search(line)]
    return lines[:limit]


def list_tests(build, regex):
    """The ctest tests of a build folder whose names match: [(name, command, env, folder,
    timeout)]. Run by this script itself, not by ctest, so that two copies of one test can
    run at once without sharing ctest's records."""
    listed = subprocess.run(["ctest", "--test-dir", build, "-R", regex, "--show-only=json-v1"],
                            check=True, capture_output=True, text=True).stdout
    tests = []
    for test in json.loads(listed)["tests"]:
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        env = dict(entry.split("=", 1) for entry in props.get("ENVIRONMENT", []))
        tests.append((test["name"], test["command"], env,
                      props.get("WORKING_DIRECTORY", build), float(props.get("TIMEOUT", 900))))
    return tests


def run_test(test, prefix):
    """Runs one test; (name, passed, output, seconds)."""
    name, command, env, folder, timeout = test
    began = time.monotonic()
    process = subprocess.Popen(command, cwd=folder, env=dict(os.environ, WINEPREFIX=prefix, **env),
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, start_new_session=True)
    try:
        output = process.communicate(timeout=timeout)[0]
        passed = process.returncode == 0
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, 9)
        output = process.communicate()[0] + b"\nTimeout: stopped after %d s\n" % timeout
        passed = False
    return name, passed, output.decode("utf-8", "replace"), time.monotonic() - began


class Load:
    """What keeps every core busy meanwhile: processor spinners (stress-ng, with a disk worker),
    and builds of the simulated preset from nothing, over and over (compilers, linker, disk).
    Two copies of the tests side by side (--beside) add the X servers and Wine of a second
    test run."""

    def __init__(self, kinds, scratch, source):
        self.processes = []
        self.stopping = threading.Event()
        self.builds = 0
        cores = os.cpu_count() or 1
        # At the priority the test command builds at beside its tests: the cores are never
        # idle, and the tests still get them when they ask, as in a run of the test command.
        nice = ["nice", "-n", "10"]
        if "cpu" in kinds:
            self.processes.append(subprocess.Popen(
                nice + ["stress-ng", "--cpu", str(cores), "--io", "1", "--quiet"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True))
        if "build" in kinds:
            self.thread = threading.Thread(target=self.build_loop, args=(scratch, source, cores),
                                           daemon=True)
            self.thread.start()

    def build_loop(self, scratch, source, cores):
        build = os.path.join(scratch, "load-build")
        while not self.stopping.is_set():
            shutil.rmtree(build, ignore_errors=True)
            steps = [["cmake", "-S", source, "-B", build, "-G", "Ninja",
                      "-DCMAKE_BUILD_TYPE=Debug", "-DMARIGOLD_SANITIZE=ON",
                      "-DMARIGOLD_UNITY=OFF"],
                     ["cmake", "--build", build, "-j", str(cores)]]
            for step in steps:
                process = subprocess.Popen(["nice", "-n", "10"] + step, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL, start_new_session=True)
                self.processes.append(process)
                process.wait()
                self.processes.remove(process)
                if self.stopping.is_set():
                    return
            self.builds += 1

    def stop(self):
        self.stopping.set()
        for process in list(self.processes):
            try:
                os.killpg(process.pid, 9)
            except ProcessLookupError:
                pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--tests", default="^(win_|e2e_)",
                        help="ctest regex over both builds' tests (default: every Windows test)")
    parser.add_argument("--jobs", type=int, default=4, help="tests at once, in each copy")
    parser.add_argument("--beside", action="store_true",
                        help="each round runs the tests twice at once, as two test runs would")
    parser.add_argument("--load", default="cpu,build",
                        help="what keeps the cores busy: cpu, build, both (default) or none")
    parser.add_argument("--windows", required=True)
    parser.add_argument("--x86")
    parser.add_argument("--source", required=True)
    parser.add_argument("--scratch", required=True)
    args = parser.parse_args()

    os.makedirs(args.scratch, exist_ok=True)
    # The x86 build's tests need a prefix with 32-bit Wine's half; it serves the others too.
    prefix = os.environ.get("MARIGOLD_X86_PREFIX") or os.environ["WINEPREFIX"]
    tests = list_tests(args.windows, args.tests)
    if args.x86:
        tests += list_tests(args.x86, args.tests)
    if not tests:
        parser.error("no test matches %r" % args.tests)
    load = Load(args.load.split(","), args.scratch, args.source)
    runs = collections.Counter()
    failures = collections.defaultdict(list)
    durations = collections.defaultdict(list)
    began = time.monotonic()
    # The longest first, so that the short ones fill in beside them.
    order = sorted(tests, key=lambda t: -t[4])
    try:
        for round_number in range(1, args.rounds + 1):
            copies = 2 if args.beside else 1
            with concurrent.futures.ThreadPoolExecutor(args.jobs * copies) as pool:
                results = list(pool.map(lambda t: run_test(t, prefix), order * copies))
            failed = []
            for name, passed, output, seconds in results:
                runs[name] += 1
                durations[name].append(seconds)
                if not passed:
                    failures[name].append((round_number, reasons(output)))
                    failed.append(name)
            print("round %d of %d: %d runs, %d failed %s[%.0f s; %d load builds]"
                  % (round_number, args.rounds, len(results), len(failed),
                     "(%s) " % ", ".join(failed) if failed else "", time.monotonic() - began,
                     load.builds), flush=True)
    finally:
        load.stop()

    print("\n%-58s %5s %6s %9s" % ("test", "runs", "failed", "longest"))
    for name in sorted(runs):
        print("%-58s %5d %6d %8.1fs" % (name, runs[name], len(failures[name]),
                                         max(durations[name])))
    for name in sorted(failures):
        for round_number, lines in failures[name]:
            print("\n%s, round %d:" % (name, round_number))
            for line in lines or ["(no line of its output says why; see ctest's log)"]:
                print("    " + line)
    total = sum(runs.values())
    failed = sum(len(f) for f in failures.values())
    print("\n%d runs, %d failed, in %.0f s" % (total, failed, time.monotonic() - began))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
