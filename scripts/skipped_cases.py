#!/usr/bin/env python3
"""Prints each skipped case of a ctest JUnit file with the reason the case gave."""
import sys
import xml.etree.ElementTree as ElementTree

for case in ElementTree.parse(sys.argv[1]).getroot().iter("testcase"):
    if case.find("skipped") is None:
        continue
    lines = (case.findtext("system-out") or "").replace("\r", "").split("\n")
    # GoogleTest prints "<file>:<line>: Skipped" and the reason below it.
    marks = [i for i, line in enumerate(lines) if line.endswith(": Skipped")]
    reason = lines[marks[0] + 1] if marks and marks[0] + 1 < len(lines) else "(no reason given)"
    print(f"skipped {case.get('name')}: {reason}")
