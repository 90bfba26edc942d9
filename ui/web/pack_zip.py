#!/usr/bin/env python3
"""Packs the page's folder as a zip that is the same, byte for byte, on every
build of the same sources: the files in name order under the folder's name,
each dated SOURCE_DATE_EPOCH (1980-01-01, the earliest a zip can hold, when
unset or earlier) in UTC, with plain permissions and no owner.

    pack_zip.py FOLDER ZIP
"""
import os
import sys
import time
import zipfile


def main(folder, target):
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH", "0")), 315532800)
    stamp = time.gmtime(epoch)[:6]
    top = os.path.basename(os.path.normpath(folder))
    names = sorted(os.path.relpath(os.path.join(here, f), folder).replace(os.sep, "/")
                   for here, _, files in os.walk(folder) for f in files)
    with zipfile.ZipFile(target + ".tmp", "w") as z:
        for name in names:
            entry = zipfile.ZipInfo(top + "/" + name, stamp)
            entry.create_system = 3  # Unix, so the permissions below count
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                z.writestr(entry, f.read(), compresslevel=9)
    os.replace(target + ".tmp", target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
