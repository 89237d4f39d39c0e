#!/usr/bin/env python3
"""Checks that every shipped program loads on the oldest Windows it is for.

For each program it lists the imported functions (objdump -p) and the PE
header's OS and subsystem versions, and compares them with the lists of its
floor in scripts/floors/: a function that the floor's list does not name, or
a header that asks for a newer Windows, fails the audit. Prints a table:
program, floor, imports, verdict; exits 1 when any program fails.

    scripts/import_audit.py [--build DIR] [--objdump PROGRAM]
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FLOORS_DIR = os.path.join(HERE, "floors")

# Floor name -> (title, the PE header's highest acceptable OS version).
FLOORS = {
    "win98": ("Windows 98/Me", (4, 0)),
    "winxp": ("Windows XP", (5, 1)),
    "winxp-x64": ("Windows XP x64/2003", (5, 2)),
}

# Shipped programs, relative to the build folder, the floors each must meet,
# and whether it runs with administrator rights. The i686 uninstaller
# travels in the hoverlane of both families.
PROGRAMS = [
    ("x86/95/hoverlane.exe", ["win98"], False),
    ("x86/95/setup.exe", ["win98"], True),
    ("x86/nt/hoverlane.exe", ["winxp"], False),
    ("x86/nt/setup.exe", ["winxp"], True),
    ("x86/uninstall/hoverlane_uninst.exe", ["win98", "winxp"], True),
    ("x64/95/hoverlane.exe", ["winxp-x64"], False),
    ("x64/95/setup.exe", ["winxp-x64"], True),
    ("x64/nt/hoverlane.exe", ["winxp-x64"], False),
    ("x64/nt/setup.exe", ["winxp-x64"], True),
    ("x64/uninstall/hoverlane_uninst.exe", ["winxp-x64"], True),
]

# What a program with administrator rights may import: DLLs that Windows
# always loads from the system folder, whatever lies beside the program (in
# the Downloads folder, say). Those are the known DLLs (the values of
# HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs that
# Windows 7 to 11 all have), and the common controls, which the manifest
# binds to the system's side-by-side copy. version.dll, for one, is not
# among them.
KNOWN_DLLS = {
    "ADVAPI32.DLL", "COMCTL32.DLL", "COMDLG32.DLL", "GDI32.DLL", "IMAGEHLP.DLL", "IMM32.DLL",
    "KERNEL32.DLL", "MSCTF.DLL", "MSVCRT.DLL", "NORMALIZ.DLL", "NSI.DLL", "OLE32.DLL",
    "OLEAUT32.DLL", "PSAPI.DLL", "RPCRT4.DLL", "SECHOST.DLL", "SETUPAPI.DLL", "SHELL32.DLL",
    "SHLWAPI.DLL", "USER32.DLL", "WLDAP32.DLL", "WS2_32.DLL",
}


def read_floor(name, floors_dir=FLOORS_DIR):
    """The set of "DLL!Function" that a floor's list names, includes
    followed. DLL names are upper case; function names as exported."""
    allowed = set()
    dll = None
    with open(os.path.join(floors_dir, name + ".txt"), encoding="utf-8") as f:
        for raw in f:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("@include "):
                allowed |= read_floor(line.split(None, 1)[1].strip(), floors_dir)
            elif line.startswith("[") and line.endswith("]"):
                dll = line[1:-1].strip().upper()
            else:
                if dll is None:
                    raise ValueError(f"{name}: function outside a [DLL] section: {line}")
                allowed.add(dll + "!" + line.split()[0])
    return allowed


def parse_objdump(text):
    """(imports, (os major, minor), (subsystem major, minor)) from the text
    of objdump -p. Imports are "DLL!Function"; an import by ordinal reads
    "DLL!#ordinal". Only the ordinary import table counts: a delay-loaded
    DLL is looked up at run time."""
    imports = []
    versions = {}
    dll = None
    in_imports = False
    for line in text.splitlines():
        m = re.match(r"^(Major|Minor)(OSystem|Subsystem)Version\s+(\d+)", line)
        if m:
            versions[m.group(1) + m.group(2)] = int(m.group(3))
            continue
        if line.startswith("The Import Tables"):
            in_imports = True
            continue
        if re.match(r"^The \w", line) or line.startswith("PE File Base Relocations"):
            in_imports = False
            continue
        if not in_imports:
            continue
        m = re.match(r"^\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).upper()
            continue
        m = re.match(r"^\s+[0-9a-fA-F]+\s+(\d+)\s+(\S+)\s*$", line)
        if m and dll:
            name = m.group(2)
            imports.append(dll + "!" + (name if name != "<none>" else "#" + m.group(1)))
    os_version = (versions.get("MajorOSystem", 0), versions.get("MinorOSystem", 0))
    subsystem = (versions.get("MajorSubsystem", 0), versions.get("MinorSubsystem", 0))
    return imports, os_version, subsystem


def verdict(imports, os_version, subsystem, allowed, highest_version, elevated=False):
    """The problems of one program on one floor; empty when it loads there
    (and, with administrator rights, loads no DLL from beside itself)."""
    problems = ["not on its list: " + name for name in sorted(set(imports)) if name not in allowed]
    if elevated:
        problems += ["not a known DLL: " + dll
                     for dll in sorted({name.split("!")[0] for name in imports} - KNOWN_DLLS)]
    for what, version in (("OS", os_version), ("subsystem", subsystem)):
        if version > highest_version:
            problems.append("PE header asks for %s %d.%d" % ((what,) + version))
    return problems


def audit(build_dir, objdump):
    rows = []
    failed = False
    floors = {name: read_floor(name) for name in FLOORS}
    for relative, floor_names, elevated in PROGRAMS:
        path = os.path.join(build_dir, relative)
        if not os.path.isfile(path):
            rows.append((relative, "-", "-", "FAIL: not built"))
            failed = True
            continue
        text = subprocess.run([objdump, "-p", path], check=True, capture_output=True,
                              text=True).stdout
        imports, os_version, subsystem = parse_objdump(text)
        for floor in floor_names:
            title, highest = FLOORS[floor]
            problems = verdict(imports, os_version, subsystem, floors[floor], highest, elevated)
            failed = failed or bool(problems)
            rows.append((relative, title, str(len(set(imports))),
                         "ok (PE %d.%d)" % os_version if not problems
                         else "FAIL: " + "; ".join(problems)))
    widths = [max(len(r[i]) for r in rows + [("program", "floor", "imports", "")])
              for i in range(3)]
    print("%-*s  %-*s  %*s  %s" % (widths[0], "program", widths[1], "floor", widths[2],
                                   "imports", "verdict"))
    for r in rows:
        print("%-*s  %-*s  %*s  %s" % (widths[0], r[0], widths[1], r[1], widths[2], r[2], r[3]))
    return not failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"),
                        help="the build folder holding x86/ and x64/")
    parser.add_argument("--objdump", default="x86_64-w64-mingw32-objdump",
                        help="an objdump that reads PE32 and PE32+ files")
    args = parser.parse_args()
    ok = audit(os.path.normpath(args.build), args.objdump)
    print("import audit: " + ("every program loads on its floor" if ok else "FAILED"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
