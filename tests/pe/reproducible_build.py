#!/usr/bin/env python3
"""Builds marigold.exe again from a copy of the sources in another folder and checks that it
is byte for byte the executable given: a release must not depend on the folder or the clock.

usage: reproducible_build.py EXE SOURCE_DIR TOOLCHAIN_FILE BUILD_TYPE
Exits 1 and says where the files differ when they do."""

import os
import shutil
import subprocess
import sys
import tempfile

import pefile

# Not copied: builds, release output, history.
LEFT_OUT = {"build", "out", ".git"}


def where(path, offset):
    """The PE header field or section holding a file offset."""
    pe = pefile.PE(path, fast_load=True)
    if offset < pe.OPTIONAL_HEADER.SizeOfHeaders:
        fields = []
        for structure in [pe.DOS_HEADER, pe.FILE_HEADER, pe.OPTIONAL_HEADER,
                          *pe.OPTIONAL_HEADER.DATA_DIRECTORY, *pe.sections]:
            for name, value in structure.dump_dict().items():
                if isinstance(value, dict) and "FileOffset" in value:
                    fields.append((value["FileOffset"], name))
        before = [field for field in sorted(fields) if field[0] <= offset]
        return "the header field %s" % before[-1][1] if before else "the PE headers"
    for section in pe.sections:
        if section.PointerToRawData <= offset < section.PointerToRawData + section.SizeOfRawData:
            return "section %s" % section.Name.rstrip(b"\0").decode("ascii", "replace")
    return "no section"


def main(args):
    if len(args) != 4:
        print(__doc__)
        return 2
    reference, source, toolchain, build_type = args
    # Behind the tests that run beside it, some of which time what they see.
    os.nice(10)
    toolchain = os.path.relpath(os.path.abspath(toolchain), os.path.abspath(source))
    work = tempfile.mkdtemp(prefix="marigold-elsewhere-")
    copy = os.path.join(work, "a", "different", "source")
    build = os.path.join(work, "another-build")
    shutil.copytree(source, copy,
                    ignore=lambda folder, names: LEFT_OUT & set(names)
                    if os.path.samefile(folder, source) else ["__pycache__"])
    steps = [
        # Without the tests, whose GoogleTest alone is three quarters of configuring (its own
        # compiler checks): they add nothing to what marigold.exe is built from.
        ["cmake", "-S", copy, "-B", build,
         "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(copy, toolchain),
         "-DCMAKE_BUILD_TYPE=" + build_type,
         "-DMARIGOLD_GTEST_SOURCE=" + os.path.join(work, "no-googletest")],
        ["cmake", "--build", build, "--target", "marigold", "-j%d" % (os.cpu_count() or 1)],
    ]
    for step in steps:
        done = subprocess.run(step, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            print(done.stdout[-4000:])
            print("FAIL the second build failed: %s (kept in %s)" % (" ".join(step), work))
            return 1
    again = os.path.join(build, "marigold.exe")
    with open(reference, "rb") as f:
        first = f.read()
    with open(again, "rb") as f:
        second = f.read()
    if first == second:
        print("ok   %s and %s: %d bytes, identical" % (reference, again, len(first)))
        shutil.rmtree(work)
        return 0
    differing = [i for i in range(min(len(first), len(second))) if first[i] != second[i]]
    print("FAIL %s (%d bytes) and %s (%d bytes) differ in %d bytes" %
          (reference, len(first), again, len(second),
           len(differing) + abs(len(first) - len(second))))
    for offset in differing[:8]:
        print("     at 0x%x, in %s" % (offset, where(reference, offset)))
    print("     (the second build is kept in %s)" % work)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
