#!/usr/bin/env python3
"""The import audit's own decisions: a program with a too-new import or PE
header fails, one within its floor passes."""

import unittest

import import_audit as audit

OBJDUMP_SAMPLE = """
MajorOSystemVersion\t4
MinorOSystemVersion\t0
MajorSubsystemVersion\t6
MinorSubsystemVersion\t0

The Import Tables (interpreted .idata section contents)
\tDLL Name: KERNEL32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t4273e\t  136  CloseHandle
\t4274c\t  780  GetTickCount64
\tDLL Name: WS2_32.dll
\t80000017\t   23  <none>

The Export Tables (interpreted .edata section contents)
\tDLL Name: NOT_AN_IMPORT.dll
\t1000\t    1  Exported
"""


class ParseTest(unittest.TestCase):
    def test_reads_imports_ordinals_and_versions_of_the_import_table_only(self):
        imports, os_version, subsystem = audit.parse_objdump(OBJDUMP_SAMPLE)
        self.assertEqual(["KERNEL32.DLL!CloseHandle", "KERNEL32.DLL!GetTickCount64",
                          "WS2_32.DLL!#23"], imports)
        self.assertEqual((4, 0), os_version)
        self.assertEqual((6, 0), subsystem)


class VerdictTest(unittest.TestCase):
    def test_table(self):
        win98 = audit.read_floor("win98")
        winxp = audit.read_floor("winxp")
        cases = [
            # imports, PE versions, floor list, highest version, problems
            (["KERNEL32.DLL!CloseHandle"], (4, 0), win98, (4, 0), []),
            (["KERNEL32.DLL!GetTickCount64"], (4, 0), win98, (4, 0),
             ["not on its list: KERNEL32.DLL!GetTickCount64"]),
            (["KERNEL32.DLL!AddVectoredExceptionHandler"], (5, 1), winxp, (5, 1),
             ["not on its list: KERNEL32.DLL!AddVectoredExceptionHandler"]),
            # Windows 7's alias, not psapi.dll's function.
            (["KERNEL32.DLL!K32GetModuleFileNameExA"], (5, 1), winxp, (5, 1),
             ["not on its list: KERNEL32.DLL!K32GetModuleFileNameExA"]),
            (["PSAPI.DLL!GetModuleFileNameExA"], (5, 1), winxp, (5, 1), []),
            (["PSAPI.DLL!GetModuleFileNameExA"], (4, 0), win98, (4, 0),
             ["not on its list: PSAPI.DLL!GetModuleFileNameExA"]),
            (["SHLWAPI.DLL!SHRegGetPathA"], (4, 0), win98, (4, 0),
             ["not on its list: SHLWAPI.DLL!SHRegGetPathA"]),
            (["WS2_32.DLL!#23"], (4, 0), win98, (4, 0), ["not on its list: WS2_32.DLL!#23"]),
            ([], (5, 2), win98, (4, 0),
             ["PE header asks for OS 5.2", "PE header asks for subsystem 5.2"]),
        ]
        for imports, version, allowed, highest, expected in cases:
            with self.subTest(imports=imports, version=version):
                self.assertEqual(expected,
                                 audit.verdict(imports, version, version, allowed, highest))

    def test_elevated_programs_import_known_dlls_only(self):
        winxp = audit.read_floor("winxp") | {"VERSION.DLL!GetFileVersionInfoA"}
        imports = ["KERNEL32.DLL!CloseHandle", "VERSION.DLL!GetFileVersionInfoA",
                   "PSAPI.DLL!GetModuleFileNameExA"]
        self.assertEqual([], audit.verdict(imports, (5, 1), (5, 1), winxp, (5, 1)))
        self.assertEqual(["not a known DLL: VERSION.DLL"],
                         audit.verdict(imports, (5, 1), (5, 1), winxp, (5, 1), elevated=True))

    def test_a_floor_holds_what_it_includes(self):
        self.assertTrue(audit.read_floor("win98") < audit.read_floor("winxp")
                        < audit.read_floor("winxp-x64"))


if __name__ == "__main__":
    unittest.main()
