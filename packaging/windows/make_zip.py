#!/usr/bin/env python3
"""Packs the zip a teacher hands out, the same bytes from the same files.

Usage: make_zip.py ZIP NAME=FILE...

Each FILE goes into ZIP as NAME, in the order given. Nothing of the machine
or the moment enters the zip: every entry carries the same date (the first
of January 2026, as a Windows zip stores it, without a time zone), plain
file attributes as Windows sets them, no owner and no extra fields, and is
compressed at one fixed level.
"""

import sys
import zipfile

DATE = (2026, 1, 1, 0, 0, 0)
ARCHIVE_ATTRIBUTE = 0x20  # what Windows marks a file it has written with


def main():
    if len(sys.argv) < 3 or not all("=" in entry for entry in sys.argv[2:]):
        sys.exit(__doc__)
    with zipfile.ZipFile(sys.argv[1], "w") as archive:
        for entry in sys.argv[2:]:
            name, _, path = entry.partition("=")
            with open(path, "rb") as f:
                data = f.read()
            info = zipfile.ZipInfo(name, DATE)
            info.create_system = 0  # made on MS-DOS and Windows: the attributes below are theirs
            info.external_attr = ARCHIVE_ATTRIBUTE
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main()
