#!/usr/bin/env python3
"""Checks that a Windows executable loads on the oldest Windows of its build: x86 on
Windows XP SP3 (NT 5.1), x86_64 on Windows Vista (NT 6.0). That system's loader must accept
its PE header, and its DLLs must export every function it imports (lists in exports/).

usage: import_audit.py EXE...
Prints one line per problem, naming the function and DLL; exits 1 when there is any."""

import os
import sys

import pefile

EXPORTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "exports")

# machine -> (name of the oldest Windows, its NT version, folder of its export lists)
OLDEST = {
    pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]: ("Windows XP SP3", (5, 1), "nt5.1-x86"),
    pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]: ("Windows Vista", (6, 0), "nt6.0-x64"),
}

def export_list(folder, dll):
    path = os.path.join(EXPORTS, folder, dll + ".txt")
    if not os.path.exists(path):
        return None
    with open(path, encoding="ascii") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def imported(pe):
    """(dll, function name or None, ordinal) for the load-time and the delay-load imports."""
    for attribute in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, attribute, []):
            dll = entry.dll.decode("ascii", "replace").lower()
            for symbol in entry.imports:
                name = symbol.name.decode("ascii", "replace") if symbol.name else None
                yield dll, name, symbol.ordinal


def audit(path):
    """(a line on what was checked, the problems that would keep the file from loading on its
    oldest Windows)."""
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]])
    machine = pe.FILE_HEADER.Machine
    if machine not in OLDEST:
        return "", ["built for machine 0x%x, neither x86 nor x86_64" % machine]
    system, version, folder = OLDEST[machine]
    header = pe.OPTIONAL_HEADER
    problems = []
    # XP's loader refuses a program that asks for a newer subsystem than its own.
    for field in ("Subsystem", "OperatingSystem"):
        wanted = (getattr(header, "Major%sVersion" % field),
                  getattr(header, "Minor%sVersion" % field))
        if wanted > version:
            problems.append("the PE header asks for %s version %d.%d; %s is %d.%d" %
                            (field.lower(), *wanted, system, *version))
    lists = {}
    count = 0
    for dll, name, ordinal in imported(pe):
        count += 1
        if dll not in lists:
            lists[dll] = export_list(folder, dll)
            if lists[dll] is None:
                problems.append("imports from %s, for which there is no list of what %s exports"
                                % (dll, system))
        if lists[dll] is None:
            continue
        if name is None:
            problems.append("imports ordinal %d from %s, which cannot be checked by name"
                            % (ordinal, dll))
        elif name not in lists[dll]:
            problems.append("imports %s from %s, which %s does not export" % (name, dll, system))
    return ("%d imports from %d DLLs, all exported by %s; PE header version %d.%d" %
            (count, len(lists), system, header.MajorSubsystemVersion,
             header.MinorSubsystemVersion)), problems


def main(paths):
    if not paths:
        print(__doc__)
        return 2
    failed = False
    for path in paths:
        try:
            checked, problems = audit(path)
        except (OSError, pefile.PEFormatError) as error:
            checked, problems = "", ["cannot be read: %s" % error]
        for problem in problems:
            print("FAIL %s: %s" % (path, problem))
        if not problems:
            print("ok   %s: %s" % (path, checked))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
