#!/usr/bin/env python3
"""Writes a zip that depends only on its files' contents: members in name
order, each dated SOURCE_DATE_EPOCH (UTC), no owner, no host permissions.

    reproducible_zip.py <out.zip> < "<name in zip>|<file>" lines
"""
import os
import sys
import time
import zipfile


def write_zip(out, members, epoch):
    # A zip's dates start in 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(out, "w") as z:
        for name, path in sorted(members):
            info = zipfile.ZipInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix mode bits
            info.external_attr = 0
            with open(path, "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    members = []
    for line in sys.stdin.read().splitlines():
        if line:
            name, _, path = line.partition("|")
            members.append((name, path))
    write_zip(sys.argv[1], members, int(os.environ.get("SOURCE_DATE_EPOCH", "0")))


if __name__ == "__main__":
    main()
