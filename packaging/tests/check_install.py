#!/usr/bin/python3
"""Installs the build into a scratch prefix, as `cmake --install --prefix` does for a user, and
checks what lands there: exactly the expected files, a program that starts from there, and a
desktop entry, metainfo and icons that validate and name each other.

    check_install.py BUILD_DIR VERSION FILE_LIST
"""

import os
import subprocess
import sys
import tempfile

from checks import Problems
from desktop_files import check_desktop_tree, check_program_file, compare_file_lists, expected_files, files_under, run


def check_program(problems, program):
    check_program_file(problems, program)
    # Started with no display, it must load all its libraries from the system and then say in
    # one line that there is nothing to show on.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    result = subprocess.run([program], env=env, capture_output=True, text=True)
    lines = result.stderr.strip().splitlines()
    problems.expect(result.returncode == 1 and len(lines) == 1 and lines[0].startswith("quorvel: "),
                    "the installed program without a display: status %d, %r"
                    % (result.returncode, result.stderr.strip()))


def main():
    build_dir, version, file_list = sys.argv[1:4]
    problems = Problems()
    with tempfile.TemporaryDirectory() as scratch:
        # A prefix ending in usr, so the tree reads like a system's for the AppStream check.
        root = os.path.join(scratch, "root")
        prefix = os.path.join(root, "usr")
        status, output = run(["cmake", "--install", build_dir, "--prefix", prefix])
        if not problems.expect(status == 0, "cmake --install failed:\n%s" % output):
            return problems.report("")
        compare_file_lists(problems, files_under(prefix), expected_files(file_list),
                           "the install into %s" % prefix)
        program = os.path.join(prefix, "bin", "quorvel")
        if problems.expect(os.access(program, os.X_OK), "no executable bin/quorvel"):
            check_program(problems, program)
        check_desktop_tree(problems, root, version)
    return problems.report("install into a scratch prefix: %d files, program starts, "
                           "desktop entry and metainfo valid" % len(expected_files(file_list)))


if __name__ == "__main__":
    sys.exit(main())
