# The known-equivalent mutants (equivalent.txt) and the figures of a run: per file and in
# total, the survivors for a person to read, and the whole record as JSON.
import json

KILLED, TIMEOUT, SURVIVED, NO_BUILD, EQUIVALENT = (
    "killed", "timeout", "survived", "did-not-compile", "equivalent")
KEYS = ("file", "was", "now", "why")


def read_equivalents(path):
    """{(file, was, now): why} from equivalent.txt. A mutant is named by its file and its
    line's text before and after the change, so an entry holds while lines move; editing the
    line itself retires the entry, as it should: the mutant is then another."""
    entries, entry = {}, {}
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
    except FileNotFoundError:
        return entries

    def finish(number):
        if not entry:
            return
        missing = [k for k in KEYS if k not in entry]
        if missing:
            raise ValueError("%s:%d: an entry without %s" % (path, number, ", ".join(missing)))
        entries[(entry["file"], entry["was"], entry["now"])] = entry["why"]
        entry.clear()

    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            finish(number)
            continue
        key, colon, value = line.partition(":")
        if not colon or key.strip() not in KEYS:
            raise ValueError("%s:%d: expected one of %s, a colon and a value"
                             % (path, number, "/".join(KEYS)))
        if key.strip() == "file":
            finish(number)
        entry[key.strip()] = value.strip()
    finish(len(lines))
    return entries


def entry_for(mutant, why="..."):
    """A mutant as an equivalent.txt entry, ready to paste."""
    return "file: %s\nwas:  %s\nnow:  %s\nwhy:  %s\n" % (mutant.path, mutant.before,
                                                       mutant.after, why)


def tally(results):
    """Counts of a list of (mutant, status) pairs, and the score: killed over killed and
    survived; the mutants that did not build and the equivalent ones stay out of it."""
    counts = {s: 0 for s in (KILLED, TIMEOUT, SURVIVED, NO_BUILD, EQUIVALENT)}
    for _mutant, status in results:
        counts[status] += 1
    killed = counts[KILLED] + counts[TIMEOUT]
    judged = killed + counts[SURVIVED]
    counts["mutants"] = len(results)
    counts["score"] = round(killed / judged, 4) if judged else None
    return counts


def text_report(results, out):
    """Per file and in total: killed (of which timed out), survived, did not compile,
    equivalent, score; then each survivor."""
    by_file = {}
    for mutant, status in results:
        by_file.setdefault(mutant.path, []).append((mutant, status))
    width = max([len(p) for p in by_file] + [5])
    head = "%-*s %7s %7s %8s %8s %11s %6s %6s" % (width, "file", "mutants", "killed",
                                                   "timeout", "survived", "no compile",
                                                   "equiv", "score")
    out.write(head + "\n")
    rows = [(path, tally(rs)) for path, rs in sorted(by_file.items())]
    for path, c in rows + [("total", tally(results))]:
        if path == "total":
            out.write("-" * len(head) + "\n")
        score = "-" if c["score"] is None else "%.0f%%" % (100 * c["score"])
        out.write("%-*s %7d %7d %8d %8d %11d %6d %6s\n" % (
            width, path, c["mutants"], c[KILLED] + c[TIMEOUT], c[TIMEOUT], c[SURVIVED],
            c[NO_BUILD], c[EQUIVALENT], score))
    survivors = [m for m, s in results if s == SURVIVED]
    out.write("\nsurvivors (%d):\n" % len(survivors))
    for mutant in survivors:
        out.write("  %s\n" % mutant.describe())


def write_json(path, results, details, facts):
    """The whole run: each mutant with its status and seconds, the counts, and the run's facts
    (seed, sample, tiers' baselines and time limits, wall time)."""
    files = {}
    for mutant, status in results:
        files.setdefault(mutant.path, []).append((mutant, status))
    record = dict(facts)
    record["total"] = tally(results)
    record["files"] = {p: tally(rs) for p, rs in sorted(files.items())}
    record["mutants"] = [dict(vars(m), status=s, **details.get(m, {})) for m, s in results]
    with open(path, "w", encoding="utf-8") as f:
        json.dump(record, f, indent=1, ensure_ascii=False)
        f.write("\n")
