#!/usr/bin/python3
# Mutation check: makes one-line mutants of the given C++ files, builds and runs the cheapest
# test program that compiles each (sim_tests, or win_tests under Wine), and tells which
# mutants the tests let through. Usage: tools/mutate/README.md.
import argparse
import glob
import json
import math
import os
import random
import signal
import subprocess
import sys
import threading
import time

import mutants as mutants_mod
import report
import workspace

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
# A mutant's test run may take this many times the unmutated run before it counts as hung,
# and never less than the floor: the machine may be busy with builds beside it (sim_tests,
# 0.4 s on a quiet machine, took up to 12 s at nice 19 under a load of 16).
TIMEOUT_FACTOR = 4
TIMEOUT_FLOOR = {"sim": 60, "windows": 120}


def parse_args():
    p = argparse.ArgumentParser(description=__doc__ or "Mutation check of the C++ sources.")
    p.add_argument("files", nargs="+", help="C++ files or globs, relative to the tree's root")
    p.add_argument("--list", action="store_true", help="print the mutants; build nothing")
    p.add_argument("--jobs", type=int, default=os.cpu_count() or 1,
                   help="workers, each with its own copy and build (default: the cores)")
    p.add_argument("--sample", type=int, help="test only this many mutants, picked by --seed")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--retest", metavar="JSON",
                   help="test only the survivors of an earlier run (its --json file) that are "
                        "still made: to confirm that new tests kill them")
    p.add_argument("--timeout", type=float,
                   help="seconds a test run may take (default: %d times the unmutated run, "
                        "at least %s)" % (TIMEOUT_FACTOR, TIMEOUT_FLOOR))
    p.add_argument("--json", help="write the full results to this file")
    p.add_argument("--equivalent", default=os.path.join(HERE, "equivalent.txt"))
    p.add_argument("--scratch", default=os.path.join(ROOT, "build", "mutate"),
                   help="where the copies and their builds live")
    args = p.parse_args()
    if args.jobs < 1 or (args.sample is not None and args.sample < 1):
        p.error("--jobs and --sample take a positive number")
    if args.retest and args.sample is not None:
        p.error("--retest and --sample pick the mutants in two ways: give one")
    return args


def chosen_files(patterns):
    """{tier: [relative paths]} of the files the patterns name; exits on a file no tier
    mutates."""
    files = {}
    for pattern in patterns:
        matches = sorted(glob.glob(pattern if os.path.isabs(pattern)
                                   else os.path.join(ROOT, pattern)))
        if not matches:
            sys.exit("mutate: %s names no file" % pattern)
        for path in matches:
            rel = os.path.relpath(os.path.abspath(path), ROOT).replace(os.sep, "/")
            tier = workspace.tier_of(rel)
            if not rel.endswith(".cpp") or tier is None:
                sys.exit("mutate: %s is not mutated: only the program's own .cpp files are "
                         "(app, hook32, glide32, host, host/win32; host/sim is the tests' "
                         "own desktop)" % rel)
            files.setdefault(tier, [])
            if rel not in files[tier]:
                files[tier].append(rel)
    return files


def enumerate_all(tier, rels, worker):
    """The mutants of the files, parsed with the flags their build compiles them with."""
    commands = worker.configure()
    with open(commands) as f:
        entries = {os.path.realpath(e["file"]): e for e in json.load(f)}
    found = []
    for rel in rels:
        path = os.path.realpath(os.path.join(worker.src, rel))
        if path not in entries:
            print("mutate: %s: the %s build does not compile it; skipped" % (rel, tier.name))
            continue
        mutants, errors = mutants_mod.enumerate_mutants(
            path, rel, mutants_mod.compile_args(entries[path]))
        if errors:
            # A partial tree still gives sound mutants; what it misses is said here.
            print("mutate: %s: libclang reports %d errors, mutants may be missing; first: %s"
                  % (rel, len(errors), errors[0]))
        found += mutants
    return found


def prepared_prefix():
    """The project's prepared Wine prefix, made once by the project's own setup script."""
    prefix = os.environ.get("WINEPREFIX")
    if prefix and os.path.isfile(os.path.join(prefix, "system.reg")):
        return prefix
    prefix = os.path.join(ROOT, "build", "wineprefix")
    subprocess.run(["bash", "-c", 'source scripts/setup.sh && make_wine_prefix "$1"', "-",
                    prefix], cwd=ROOT, check=True)
    return prefix


class Run:
    """Runs the mutants of one tier on its workers and collects their results."""

    def __init__(self, tier, workers, mutants, timeout, results, details, printer):
        self.tier, self.workers, self.timeout = tier, workers, timeout
        self.results, self.details, self.say = results, details, printer
        self.done, self.total = 0, len(mutants)
        # Grouped by file, each worker pays about one compile of one file per mutant; a big
        # file is cut in pieces so that the workers end together.
        by_file = {}
        for m in mutants:
            by_file.setdefault(m.path, []).append(m)
        cap = max(4, math.ceil(len(mutants) / (len(workers) * 3)))
        self.chunks = [group[i:i + cap] for group in by_file.values()
                       for i in range(0, len(group), cap)]
        self.chunks.sort(key=len, reverse=True)
        self.lock = threading.Lock()

    def setup(self, worker):
        """Copy, build and run the unmutated tests once: (seconds of the run). A failing
        unmutated run makes every mutant look killed, so it ends the check."""
        worker.sync()
        worker.configure()
        cores = os.cpu_count() or 1
        if not worker.compile(parallel=max(1, cores // len(self.workers)), timeout=3600):
            raise RuntimeError("the unmutated %s build failed:\n%s"
                               % (self.tier.name, worker.tail()))
        status, seconds, timed_out = worker.test(timeout=900)
        if status != 0 or timed_out:
            raise RuntimeError("the unmutated %s tests fail (status %s):\n%s"
                               % (self.tier.name, status, worker.tail()))
        return seconds

    def work(self, worker):
        while True:
            with self.lock:
                if not self.chunks:
                    return
                chunk = self.chunks.pop(0)
            for mutant in chunk:
                began = time.monotonic()
                worker.apply(mutant)
                try:
                    test_seconds, why = None, None
                    if not worker.compile():
                        status, why = report.NO_BUILD, worker.tail(12)
                    else:
                        code, test_seconds, timed_out = worker.test(self.timeout)
                        status = (report.TIMEOUT if timed_out else
                                  report.KILLED if code != 0 else report.SURVIVED)
                finally:
                    worker.restore()
                seconds = time.monotonic() - began
                with self.lock:
                    self.done += 1
                    self.results.append((mutant, status))
                    self.details[mutant] = {"seconds": round(seconds, 1),
                                            "test_seconds": test_seconds and
                                            round(test_seconds, 1), "tier": self.tier.name}
                    if why:
                        self.details[mutant]["build_output"] = why
                    self.say("[%s %d/%d] %s %s (%.0f s): %s" % (
                        self.tier.name, self.done, self.total, status, mutant.operator,
                        seconds, mutant.describe()))


def in_threads(function, items):
    """function(item) for each item, one thread each; the results in order. The main thread
    waits in short steps so that a signal reaches its handler at once."""
    results, errors = [None] * len(items), []

    def one(i, item):
        try:
            results[i] = function(item)
        except workspace.Stopped:
            errors.append(None)
        except Exception as e:  # noqa: BLE001 - handed to the main thread
            errors.append(e)

    threads = [threading.Thread(target=one, args=(i, x), daemon=True)
               for i, x in enumerate(items)]
    for t in threads:
        t.start()
    for t in threads:
        while t.is_alive():
            t.join(0.2)
    real = [e for e in errors if e is not None]
    if real:
        raise real[0]
    if errors:
        raise workspace.Stopped()
    return results


def main():
    args = parse_args()
    began = time.monotonic()
    files = chosen_files(args.files)
    try:
        equivalents = report.read_equivalents(args.equivalent)
    except ValueError as e:
        sys.exit("mutate: %s" % e)
    stopping = threading.Event()
    workers = {tier: [workspace.Worker(ROOT, tier, n, args.scratch, stopping)
                      for n in range(args.jobs)] for tier in files}
    received = []

    def stop(signum, _frame):
        # Every worker's child is ended; each worker then puts its file back and returns.
        received.append(signum)
        stopping.set()
        for ws in workers.values():
            for w in ws:
                w.kill_child()

    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)
    status, record = 1, {"results": [], "details": {}, "facts": {}}
    try:
        status = run(args, files, workers, equivalents, record)
        if record["facts"]:
            finish(args, record, began)
    except workspace.Stopped:
        # What was measured before the stop still counts: it is reported as such.
        if any(s != report.EQUIVALENT for _m, s in record["results"]):
            record["facts"]["stopped"] = True
            finish(args, record, began)
    except (RuntimeError, subprocess.CalledProcessError) as e:
        print("mutate: %s" % e, file=sys.stderr)
        status = 2
    finally:
        for ws in workers.values():
            for w in ws:
                w.kill_child()
                w.restore()
    if received:
        print("mutate: stopped; every copy holds the user's files again", file=sys.stderr)
        return 128 + received[0]
    return status


def finish(args, record, began):
    results, facts = record["results"], record["facts"]
    results.sort(key=lambda r: r[0].sort_key())
    facts["wall_seconds"] = round(time.monotonic() - began, 1)
    print()
    if facts.get("stopped"):
        print("STOPPED: %d of the %d mutants picked were done; the figures are theirs"
              % (len(results), facts["picked"]))
    report.text_report(results, sys.stdout)
    print("\nwall time %.0f s" % facts["wall_seconds"], flush=True)
    if args.json:
        report.write_json(args.json, results, record["details"], facts)


def run(args, files, workers, equivalents, record):
    """Lists or runs the mutants, filling record with the results as they come."""
    say_lock = threading.Lock()

    def say(line):
        with say_lock:
            print(line, flush=True)

    everything = []
    for tier, rels in files.items():
        first = workers[tier][0]
        first.sync()
        everything += enumerate_all(tier, rels, first)
    everything.sort(key=mutants_mod.Mutant.sort_key)
    known = {m for m in everything if (m.path, m.before, m.after) in equivalents}
    matched = {(m.path, m.before, m.after) for m in known}
    listed_files = {m.path for m in everything}
    for key in sorted(set(equivalents) - matched):
        if key[0] in listed_files:
            say("mutate: equivalent.txt names a mutant no longer made: %s: %s → %s" % key)

    if args.list:
        for m in everything:
            say("%s:%d:%d %s: %s → %s%s" % (m.path, m.line, m.column, m.operator, m.before,
                                           m.after or "(nothing left on the line)",
                                           "  [equivalent]" if m in known else ""))
        say("%d mutants in %d files" % (len(everything), len(listed_files)))
        return 0

    picked = everything
    if args.retest:
        # A mutant is named as equivalent.txt names it, so the pick holds while lines move.
        with open(args.retest, encoding="utf-8") as f:
            survived = {(m["path"], m["before"], m["after"]) for m in json.load(f)["mutants"]
                        if m["status"] == "survived"}
        picked = [m for m in everything if (m.path, m.before, m.after) in survived]
    elif args.sample is not None and args.sample < len(everything):
        # Picked from all the mutants, the known-equivalent ones too, so that a seed keeps
        # its pick while equivalent.txt grows.
        picked = sorted(random.Random(args.seed).sample(everything, args.sample),
                        key=mutants_mod.Mutant.sort_key)
    results, details, facts = record["results"], record["details"], record["facts"]
    results += [(m, report.EQUIVALENT) for m in picked if m in known]
    details.update({m: {"why": equivalents[(m.path, m.before, m.after)]}
                    for m, _ in results})
    facts.update({"root": ROOT, "files": sorted(r for rs in files.values() for r in rs),
                  "seed": args.seed, "sample": args.sample, "jobs": args.jobs,
                  "mutants": len(everything), "picked": len(picked), "stopped": False,
                  "tiers": {}})
    for tier in files:
        todo = [m for m in picked if m not in known and workspace.tier_of(m.path) is tier]
        if not todo:
            continue
        ws = workers[tier][:min(args.jobs, len(todo))]
        if tier is workspace.WINDOWS:
            prefix = prepared_prefix()
            for w in ws:
                w.prefix = prefix
        tier_began = time.monotonic()
        say("== %s: %d mutants; building and running the unmutated tests on %d worker(s)"
            % (tier.name, len(todo), len(ws)))
        runner = Run(tier, ws, todo, None, results, details, say)
        baselines = in_threads(runner.setup, ws)
        runner.timeout = args.timeout or max(TIMEOUT_FACTOR * max(baselines),
                                             TIMEOUT_FLOOR[tier.name])
        say("== %s: unmutated run %.1f s; a mutant's run is stopped after %.0f s"
            % (tier.name, max(baselines), runner.timeout))
        mutation_began = time.monotonic()
        facts["tiers"][tier.name] = {
            "mutants": len(todo), "workers": len(ws),
            "unmutated_run_seconds": round(max(baselines), 1),
            "timeout_seconds": runner.timeout,
            "setup_seconds": round(mutation_began - tier_began, 1)}
        in_threads(runner.work, ws)
        facts["tiers"][tier.name]["mutation_seconds"] = round(
            time.monotonic() - mutation_began, 1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
