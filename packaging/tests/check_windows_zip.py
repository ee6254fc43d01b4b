#!/usr/bin/python3
"""Checks the Windows zip as a user unpacks it, and as a second build must make it again.

    check_windows_zip.py ZIP PROGRAM

ZIP is build/windows/Quorvel-VERSION-win32.zip and PROGRAM the Quorvel.exe it was packed from.
Its one folder holds Quorvel.exe (the program's very bytes), README.txt and LICENSE.txt, in
that folder's sorted order, all with one time and no extra fields; the texts have Notepad's CRLF
line ends, and the read-me's lines are no wider than its first paragraph, 72 columns.
"""

import os
import sys
import zipfile

from checks import Problems

FILES = ["LICENSE.txt", "Quorvel.exe", "README.txt"]
README_WIDTH = 72


def main():
    path, program = sys.argv[1:3]
    c = Problems()
    folder = os.path.basename(path)[:-len(".zip")]
    with zipfile.ZipFile(path) as z:
        entries = z.infolist()
        names = [e.filename for e in entries]
        c.expect(names == ["%s/%s" % (folder, f) for f in FILES], "the zip holds %s" % names)
        c.expect(len({e.date_time for e in entries}) == 1,
                 "its files have different times: %s" % sorted({e.date_time for e in entries}))
        # Extra fields carry what differs with every build: access and change times, owners.
        extra = [e.filename for e in entries if e.extra]
        c.expect(not extra, "its entries carry extra fields: %s" % ", ".join(extra))
        contents = {os.path.basename(e.filename): z.read(e) for e in entries}
    with open(program, "rb") as f:
        c.expect(contents.get("Quorvel.exe") == f.read(), "its Quorvel.exe differs from %s" % program)
    for name in ("README.txt", "LICENSE.txt"):
        text = contents.get(name, b"").decode("utf-8")
        lines = text.split("\r\n")
        c.expect(text.endswith("\r\n") and not any("\n" in line for line in lines),
                 "%s has line ends other than CRLF" % name)
        if name == "README.txt":
            wide = [line for line in lines if len(line) > README_WIDTH]
            c.expect(not wide, "README.txt has lines wider than %d columns: %s" % (README_WIDTH, wide))
    return c.report("%s: %s, in order, one time, no extra fields, CRLF texts, a read-me %d columns wide"
                    % (os.path.basename(path), ", ".join(FILES), README_WIDTH))


if __name__ == "__main__":
    sys.exit(main())
