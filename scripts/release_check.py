#!/usr/bin/env python3
"""Checks release executables of marigold.exe by reading their PE headers and resources:
the machine each was built for, a GUI program, only DLLs every Windows has, the version
block, the icon, both skin pictures and the manifest (common controls 6, DPI aware).

usage: release_check.py FILE:MACHINE...   (MACHINE is x86_64 or x86)
Prints what it found for each file; exits 1 when anything is missing or wrong."""

import struct
import sys
import xml.etree.ElementTree as ElementTree

MACHINES = {"x86_64": 0x8664, "x86": 0x14C}
RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24
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


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise BadFile("not an executable (no MZ header)")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise BadFile("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", d,
                                                                               pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", d, optional)[0]
        if magic not in (0x10B, 0x20B):
            raise BadFile("unknown optional header 0x%x" % magic)
        self.subsystem = struct.unpack_from("<H", d, optional + 68)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", d, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((vaddr, max(vsize, raw_size), raw_ptr))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise BadFile("address 0x%x lies in no section" % rva)

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def imports(self):
        rva, size = self.directories[1]
        names = []
        if not rva:
            return names
        at = self.offset(rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, at + 12)[0]
            if name_rva == 0:
                return names
            names.append(self.c_string(name_rva))
            at += 20

    def resources(self):
        """{(type, name, language): bytes} with integer ids (named entries as strings)."""
        rva, _ = self.directories[2]
        if not rva:
            return {}
        base = self.offset(rva)
        found = {}

        def entry_id(value):
            if value & 0x80000000:
                at = base + (value & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return value

        def walk(at, path):
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                key = path + (entry_id(name),)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), key)
                else:
                    data_rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(data_rva)
                    found[key] = self.data[start:start + size]

        walk(base, ())
        return found


def by_type(resources, kind):
    return {(name, lang): data for (t, name, lang), data in resources.items() if t == kind}


def check_version(resources):
    blocks = list(by_type(resources, RT_VERSION).values())
    if len(blocks) != 1:
        raise BadFile("expected one version block, found %d" % len(blocks))
    block = blocks[0]
    fixed = block.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        raise BadFile("the version block has no fixed file info")
    ms, ls = struct.unpack_from("<II", block, fixed + 8)
    version = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    text = block.decode("utf-16-le", "replace")
    for key in ("ProductName", "FileDescription", "FileVersion", "OriginalFilename"):
        if key not in text:
            raise BadFile("the version block lacks %s" % key)
    if "Marigold Idle" not in text:
        raise BadFile("the version block does not name the product")
    return "version %s" % version


def check_icon(resources):
    groups = by_type(resources, RT_GROUP_ICON)
    icons = {name for name, _ in by_type(resources, RT_ICON)}
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


def check_pictures(resources):
    pictures = by_type(resources, RT_RCDATA)
    for picture in PICTURES:
        data = next((d for (name, _), d in pictures.items() if name == picture), None)
        if data is None or not data.startswith(b"\xff\xd8"):
            raise BadFile("picture %d is missing or not a JPEG" % picture)
    return "pictures %s" % ",".join(str(p) for p in PICTURES)


def check_manifest(resources):
    manifests = by_type(resources, RT_MANIFEST)
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
    pe = PeFile(path)
    if pe.machine != MACHINES[machine]:
        raise BadFile("built for machine 0x%x, not %s" % (pe.machine, machine))
    if pe.subsystem != 2:
        raise BadFile("not a GUI program (subsystem %d)" % pe.subsystem)
    foreign = [name for name in pe.imports() if name.lower() not in SYSTEM_DLLS]
    if foreign:
        raise BadFile("needs DLLs that Windows does not bring: %s" % ", ".join(foreign))
    eager = [name for name in pe.imports() if name.lower() in NOT_AT_START]
    if eager:
        raise BadFile("loads %s at start" % ", ".join(eager))
    resources = pe.resources()
    found = [check_version(resources), check_icon(resources), check_pictures(resources),
             check_manifest(resources)]
    return "%s, %d bytes: %s" % (machine, len(pe.data), "; ".join(found))


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
        except (BadFile, OSError, struct.error, ElementTree.ParseError, ValueError) as error:
            print("FAIL %s  %s" % (path, error))
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
