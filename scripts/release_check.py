#!/usr/bin/env python3
"""Checks release executables of marigold.exe by reading their PE headers and resources:
the machine each was built for, a GUI program, only DLLs every Windows has, every import on
the oldest Windows of its build, no link time stamp, the version block, the icon, both skin
pictures and the manifest (common controls 6, DPI aware).

usage: release_check.py FILE:MACHINE...   (MACHINE is x86_64 or x86)
Prints what it found for each file; exits 1 when anything is missing or wrong."""

import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "pe"))
import import_audit  # noqa: E402  (beside the tests, with the export lists it reads)

MACHINES = {"x86_64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"],
            "x86": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]}
RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_MANIFEST = (pefile.RESOURCE_TYPE[name] for name in (
    "RT_ICON", "RT_RCDATA", "RT_GROUP_ICON", "RT_MANIFEST"))
PICTURES = (101, 102)
# DLLs that come with every Windows the program runs on; anything else (a MinGW runtime DLL,
# say) would have to ship beside the executable.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "ole32.dll", "oleaut32.dll",
               "comctl32.dll", "windowscodecs.dll", "msvcrt.dll", "advapi32.dll",
               "shell32.dll"}

# Loaded at start, the common controls library alone would cost the process more memory than
# the rest of the program: it may come in later (a message box, the reason window's controls),
# never through the import table.
NOT_AT_START = {"comctl32.dll"}


class BadFile(Exception):
    pass


def resources(pe):
    """{(type, name, language): bytes}, integer ids (named entries as strings)."""
    found = {}

    def key(entry):
        return str(entry.name) if entry.name is not None else entry.id

    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found[(key(kind), key(name), key(language))] = pe.get_data(data.OffsetToData,
                                                                           data.Size)
    return found


def by_type(found, kind):
    return {(name, lang): data for (t, name, lang), data in found.items() if t == kind}


def check_version(pe):
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed or len(fixed) != 1:
        raise BadFile("expected one version block with fixed file info")
    ms, ls = fixed[0].FileVersionMS, fixed[0].FileVersionLS
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for block in info:
            for table in getattr(block, "StringTable", []):
                strings.update({k.decode("utf-8", "replace"): v.decode("utf-8", "replace")
                                for k, v in table.entries.items()})
    for key in ("ProductName", "FileDescription", "FileVersion", "OriginalFilename"):
        if key not in strings:
            raise BadFile("the version block lacks %s" % key)
    if strings["ProductName"] != "Marigold Idle":
        raise BadFile("the version block does not name the product")
    return "version %d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def check_icon(found):
    groups = by_type(found, RT_GROUP_ICON)
    icons = {name for name, _ in by_type(found, RT_ICON)}
    if not groups:
        raise BadFile("no icon")
    sizes = []
    for data in groups.values():
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        if kind != 1 or count == 0:
            raise BadFile("a malformed icon group")
        for i in range(count):
            width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", data,
                                                                          6 + 14 * i)
            if icon_id not in icons:
                raise BadFile("the icon group names a missing image %d" % icon_id)
            sizes.append("%dx%d/%dbpp" % (width or 256, height or 256, bits))
    return "icon " + " ".join(sizes)


def check_pictures(found):
    pictures = by_type(found, RT_RCDATA)
    for picture in PICTURES:
        data = next((d for (name, _), d in pictures.items() if name == picture), None)
        if data is None or not data.startswith(b"\xff\xd8"):
            raise BadFile("picture %d is missing or not a JPEG" % picture)
    return "pictures %s" % ",".join(str(p) for p in PICTURES)


def check_manifest(found):
    manifests = by_type(found, RT_MANIFEST)
    data = next((d for (name, _), d in manifests.items() if name == 1), None)
    if data is None:
        raise BadFile("no manifest with id 1")
    root = ElementTree.fromstring(data)
    local = lambda element: element.tag.rsplit("}", 1)[-1]
    controls = [e for e in root.iter() if local(e) == "assemblyIdentity"
                and e.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or controls[0].get("version") != "6.0.0.0":
        raise BadFile("the manifest does not ask for the version 6 common controls")
    aware = [e.text.strip().lower() for e in root.iter() if local(e) == "dpiAware" and e.text]
    if aware != ["true"]:
        raise BadFile("the manifest does not declare the program DPI aware: %r" % aware)
    return "manifest (common controls 6.0.0.0, dpiAware true)"


def check(path, machine):
    pe = pefile.PE(path)
    if pe.FILE_HEADER.Machine != MACHINES[machine]:
        raise BadFile("built for machine 0x%x, not %s" % (pe.FILE_HEADER.Machine, machine))
    if pe.OPTIONAL_HEADER.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]:
        raise BadFile("not a GUI program (subsystem %d)" % pe.OPTIONAL_HEADER.Subsystem)
    if pe.FILE_HEADER.TimeDateStamp != 0:
        raise BadFile("carries a link time stamp: two builds of one commit would differ")
    dlls = [entry.dll.decode("ascii", "replace") for entry in
            getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    foreign = [name for name in dlls if name.lower() not in SYSTEM_DLLS]
    if foreign:
        raise BadFile("needs DLLs that Windows does not bring: %s" % ", ".join(foreign))
    eager = [name for name in dlls if name.lower() in NOT_AT_START]
    if eager:
        raise BadFile("loads %s at start" % ", ".join(eager))
    checked, problems = import_audit.audit(path)
    if problems:
        raise BadFile("; ".join(problems))
    found = resources(pe)
    results = [checked, check_version(pe), check_icon(found), check_pictures(found),
               check_manifest(found)]
    return "%s, %d bytes: %s" % (machine, len(pe.__data__), "; ".join(results))


def main(args):
    if not args:
        print(__doc__)
        return 2
    failed = False
    for arg in args:
        path, _, machine = arg.rpartition(":")
        try:
            if machine not in MACHINES:
                raise BadFile("unknown machine %r" % machine)
            print("ok   %s  %s" % (path, check(path, machine)))
        except (BadFile, OSError, pefile.PEFormatError, struct.error, ElementTree.ParseError,
                ValueError) as error:
            print("FAIL %s  %s" % (path, error))
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
