#!/usr/bin/python3
"""Builds the Debian package with CPack from a finished build and checks it as apt would see it:
name, version, architecture, dependencies found from the linked libraries, the file list with
owners and modes, and the desktop files inside; and as Debian's own checker, lintian, sees it:
no error and no warning.

    check_deb.py BUILD_DIR VERSION FILE_LIST
"""

import glob
import os
import shutil
import sys
import tempfile

from checks import Problems
from desktop_files import check_desktop_tree, check_program_file, compare_file_lists, expected_files, run

# Libraries the program links, as Debian names their packages, and the fonts it draws with.
REQUIRED_DEPENDS = ["libqt6widgets6", "libqt6gui6", "libqt6core6", "libstdc++6", "libc6", "fonts-liberation2"]


def field(deb, name):
    status, output = run(["dpkg-deb", "--field", deb, name])
    return output if status == 0 else None


def depends_names(depends):
    """Package names in a Depends field: 'libc6 (>= 2.34), a | b' gives libc6, a, b."""
    names = []
    for clause in depends.split(","):
        for alternative in clause.split("|"):
            if alternative.strip():
                names.append(alternative.split("(")[0].strip().split(":")[0])
    return names


def check_lintian(problems, deb):
    """Debian's checker finds no error and no warning (its notes for information are not
    faults)."""
    if not problems.expect(shutil.which("lintian"), "lintian is not installed (scripts/packages-test.txt)"):
        return
    status, output = run(["lintian", "--fail-on", "error,warning", deb])
    tags = [line for line in output.splitlines() if line[:2] in ("E:", "W:")]
    problems.expect(status == 0 and not tags, "lintian (status %d): %s" % (status, "; ".join(tags) or output))


def main():
    build_dir, version, file_list = sys.argv[1:4]
    expected = expected_files(file_list)
    problems = Problems()
    with tempfile.TemporaryDirectory() as scratch:
        status, output = run(["cpack", "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"),
                              "-B", scratch])
        debs = glob.glob(os.path.join(scratch, "*.deb"))
        if not problems.expect(status == 0 and len(debs) == 1, "cpack made %s:\n%s" % (debs, output)):
            return problems.report("")
        deb = debs[0]
        _, arch = run(["dpkg", "--print-architecture"])
        problems.expect(os.path.basename(deb) == "quorvel_%s_%s.deb" % (version, arch),
                        "package file is %s" % os.path.basename(deb))

        status, info = run(["dpkg-deb", "--info", deb])
        problems.expect(status == 0, "dpkg-deb --info: %s" % info)
        problems.expect(field(deb, "Package") == "quorvel", "Package: %s" % field(deb, "Package"))
        problems.expect(field(deb, "Version") == version, "Version: %s, expected %s" % (field(deb, "Version"), version))
        problems.expect(field(deb, "Architecture") == arch, "Architecture: %s" % field(deb, "Architecture"))
        problems.expect(bool(field(deb, "Maintainer")), "no Maintainer")
        depends = field(deb, "Depends") or ""
        missing = [name for name in REQUIRED_DEPENDS if name not in depends_names(depends)]
        problems.expect(not missing, "Depends lacks %s: %r" % (", ".join(missing), depends))

        # The contents: regular files under /usr only, owned by root, with ordinary modes.
        status, listing = run(["dpkg-deb", "--contents", deb])
        files = []
        for line in listing.splitlines():
            mode, owner, _, _, _, path = line.split(None, 5)
            problems.expect(owner == "root/root", "%s belongs to %s" % (path, owner))
            if mode.startswith("d"):
                continue
            problems.expect(path.startswith("./usr/"), "%s lies outside /usr" % path)
            name = path[len("./usr/"):]
            want = "-rwxr-xr-x" if name.startswith("bin/") else "-rw-r--r--"
            problems.expect(mode == want, "%s has mode %s, expected %s" % (path, mode, want))
            files.append(name)
        compare_file_lists(problems, sorted(files), expected, "the package")

        check_lintian(problems, deb)

        root = os.path.join(scratch, "root")
        status, output = run(["dpkg-deb", "--extract", deb, root])
        if problems.expect(status == 0, "dpkg-deb --extract: %s" % output):
            check_program_file(problems, os.path.join(root, "usr", "bin", "quorvel"))
            check_desktop_tree(problems, root, version)
    return problems.report("%s: version %s, Depends %s; %d files; no error or warning from lintian"
                           % (os.path.basename(deb), version, depends, len(expected)))


if __name__ == "__main__":
    sys.exit(main())
