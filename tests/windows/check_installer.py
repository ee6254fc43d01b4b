#!/usr/bin/python3
"""The setup program under Wine: installed silently, as an administrator's deployment tool
would, and removed again, once for each case of CASES.

    check_installer.py SETUP STAGE TEST_PROGRAM VERSION

STAGE is the folder the zip is packed from (the files the setup program must install, to the
byte); TEST_PROGRAM is the Windows test program, whose case "the installed program, started
through its Start-menu shortcut, ..." resolves the shortcut, starts the program through it as
the Start menu does and ends it with Exit. Run by tests/windows/installer, with WINEPREFIX,
DISPLAY and a private HOME set.

After each install: the folder holds exactly the program, its read-me, its licence and the
uninstaller; the shortcut lies in the Start menu of those it was installed for; the entry of
the list of installed programs holds every value it should, under that root alone. After the
silent uninstall: no folder, shortcut or entry is left, and the prefix's drive C: holds what
it held before the install, but for the temporary folders (where the uninstaller leaves a copy
of itself) and, after a per-user install, the user's programs folder: a folder of Windows's
own that the first per-user install of any program makes and every later one shares, left
empty.
"""

import getpass
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "tests"))
from checks import Problems  # noqa: E402

NAME = "Quorvel"
COMPANY = "Zennorak Design"
FILES = ["LICENSE.txt", "Quorvel.exe", "README.txt"]
UNINSTALLER = "Uninstall.exe"
KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel"
USER = getpass.getuser()
USER_PROGRAMS = r"C:\users\%s\AppData\Local\Programs" % USER
MENUS = {
    "HKLM": r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs",
    "HKCU": r"C:\users\%s\AppData\Roaming\Microsoft\Windows\Start Menu\Programs" % USER,
}
MODES = {"HKLM": "/AllUsers", "HKCU": "/CurrentUser"}

# (what, the setup program's arguments, the install folder, the registry root of its entry,
# how it is removed: "entry" runs the entry's QuietUninstallString, "alone" starts the
# uninstaller in the folder with /S and nothing else, so that it must find whose install it is).
CASES = [
    ("for all users, into Program Files",
     ["/AllUsers"], r"C:\Program Files\Quorvel", "HKLM", "entry"),
    ("for the current user, into the user's programs folder",
     ["/CurrentUser"], USER_PROGRAMS + r"\Quorvel", "HKCU", "alone"),
    ("for all users, into a folder whose name has spaces",
     ["/AllUsers", r"/D=C:\Program Files\Quorvel Demo 1.1"], r"C:\Program Files\Quorvel Demo 1.1", "HKLM", "entry"),
]


def drive_c():
    return os.path.join(os.environ["WINEPREFIX"], "drive_c")


def unix(path):
    """The prefix's file for a path on drive C:."""
    assert path[:3].upper() == "C:\\", path
    return os.path.join(drive_c(), path[3:].replace("\\", "/"))


def run(command, env=None, timeout=120):
    """The status and output of command. The output goes through a file, not a pipe: the Wine
    server and services a wine command starts keep a pipe open for as long as they run."""
    with tempfile.TemporaryFile() as output:
        try:
            status = subprocess.run(command, stdout=output, stderr=subprocess.STDOUT, env=env,
                                    timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return 124, "%s did not end within %d s" % (" ".join(command), timeout)
        output.seek(0)
        return status, output.read().decode("utf-8", "replace").replace("\r", "")


def wine(program, *arguments, env=None):
    # Wine quotes every argument that holds a space, and NSIS reads /D= only unquoted: a
    # folder with spaces goes as separate words, which Wine joins with spaces again.
    words = [word for argument in arguments for word in argument.split(" ")]
    return run(["wine", program] + words, env)


def wait_for_wine():
    """Until every program in the prefix has ended (an uninstaller runs on from a copy);
    False when they did not within a minute."""
    return run(["wineserver", "-w"], timeout=60)[0] == 0


def is_temporary(relative):
    parts = relative.lower().split(os.sep)
    return (parts[:1] == ["windows"] and parts[1:2] == ["temp"]) or \
        (parts[:1] == ["users"] and (parts[2:3] == ["temp"] or parts[2:5] == ["appdata", "local", "temp"]))


def drive_contents():
    """Every file and folder on drive C: but the temporary ones, by path."""
    found = set()
    for folder, folders, files in os.walk(drive_c()):
        relative = os.path.relpath(folder, drive_c())
        if relative != "." and is_temporary(relative):
            folders[:] = []
            continue
        for name in folders + files:
            path = os.path.normpath(os.path.join(relative, name))
            if not is_temporary(path):
                found.add(path)
    return found


def entry(root):
    """The uninstall entry's values under root as {name: (type, data)}, or None."""
    status, output = wine("reg", "query", root + "\\" + KEY)
    if status != 0:
        return None
    values = {}
    for line in output.splitlines():
        match = re.match(r"^    (\S+)    (REG_\w+)    ?(.*)$", line)
        if match:
            values[match.group(1)] = (match.group(2), match.group(3))
    return values


def expected_entry(folder, root, version):
    uninstaller = '"%s\\%s" %s' % (folder, UNINSTALLER, MODES[root])
    size = sum(os.path.getsize(unix(folder + "\\" + name)) for name in FILES + [UNINSTALLER])
    return {
        "DisplayName": ("REG_SZ", NAME),
        "DisplayVersion": ("REG_SZ", version),
        "Publisher": ("REG_SZ", COMPANY),
        "DisplayIcon": ("REG_SZ", folder + "\\Quorvel.exe,0"),
        "InstallLocation": ("REG_SZ", folder),
        "UninstallString": ("REG_SZ", uninstaller),
        "QuietUninstallString": ("REG_SZ", uninstaller + " /S"),
        "NoModify": ("REG_DWORD", "0x1"),
        "NoRepair": ("REG_DWORD", "0x1"),
        "EstimatedSize": ("REG_DWORD", "0x%x" % ((size + 1023) // 1024)),  # KiB, rounded up
    }


def check_installed(c, folder, root, stage, test_program, version):
    installed = unix(folder)
    got = sorted(os.listdir(installed)) if os.path.isdir(installed) else None
    if not c.expect(got == sorted(FILES + [UNINSTALLER]), "%s holds %s" % (folder, got)):
        return None
    for name in FILES:
        with open(os.path.join(installed, name), "rb") as a, open(os.path.join(stage, name), "rb") as b:
            c.expect(a.read() == b.read(), "%s\\%s differs from the zip's" % (folder, name))

    shortcut = MENUS[root] + "\\" + NAME + ".lnk"
    for other, menu in MENUS.items():
        there = os.path.isfile(unix(menu + "\\" + NAME + ".lnk"))
        c.expect(there == (other == root), "%s a shortcut in %s" % ("no" if other == root else "also", menu))

    values = entry(root)
    if c.expect(values is not None, "no entry %s\\%s" % (root, KEY)):
        want = expected_entry(folder, root, version)
        for name in sorted(set(want) | set(values)):
            c.expect(values.get(name) == want.get(name), "%s: %s, expected %s" % (name, values.get(name), want.get(name)))
    other = "HKCU" if root == "HKLM" else "HKLM"
    c.expect(entry(other) is None, "an entry under %s as well" % other)

    env = dict(os.environ, QUORVEL_SHORTCUT=shortcut, QUORVEL_INSTALLED=folder + "\\Quorvel.exe")
    status, output = run(["wine", test_program, "--no-colors",
                          "--test-case=the installed program*"], env)
    ran = re.search(r"test cases:\s*1 \|\s*1 passed \|\s*0 failed", output)
    c.expect(status == 0 and ran, "started through its shortcut:\n%s" % output)
    return values


def check_removed(c, folder, root, before, values, how):
    if how == "entry":
        quiet = (values or {}).get("QuietUninstallString", ("", ""))[1]
        match = re.match(r'^"([^"]+)" (.*)$', quiet)
        if not c.expect(match, "no QuietUninstallString to run: %r" % quiet):
            return
        status, output = wine(match.group(1), *match.group(2).split(" "))
    else:
        status, output = wine(folder + "\\" + UNINSTALLER, "/S")
    c.expect(status == 0, "the uninstaller: status %d\n%s" % (status, output))
    c.expect(wait_for_wine(), "the uninstaller, or a program, still runs after a minute")

    c.expect(not os.path.exists(unix(folder)), "%s is still there: %s" % (folder, os.listdir(unix(folder))
                                                                           if os.path.isdir(unix(folder)) else ""))
    for menu in MENUS.values():
        c.expect(not os.path.exists(unix(menu + "\\" + NAME + ".lnk")), "the shortcut is still in %s" % menu)
    for r in MENUS:
        c.expect(entry(r) is None, "the entry %s\\%s is still there" % (r, KEY))
    after = drive_contents()
    left = after - before
    # The user's programs folder may stay, empty.
    programs = os.path.relpath(unix(USER_PROGRAMS), drive_c())
    if programs in left and not os.listdir(unix(USER_PROGRAMS)):
        left.discard(programs)
    c.expect(not left, "left on drive C: %s" % ", ".join(sorted(left)))
    c.expect(not before - after, "gone from drive C: %s" % ", ".join(sorted(before - after)))


def main():
    setup, stage, test_program, version = sys.argv[1:5]
    failed = 0
    for what, arguments, folder, root, how in CASES:
        started = time.monotonic()
        c = Problems()
        before = drive_contents()
        status, output = wine(setup, "/S", *arguments)
        if c.expect(status == 0, "the setup program: status %d\n%s" % (status, output)):
            values = check_installed(c, folder, root, stage, test_program, version)
            check_removed(c, folder, root, before, values, how)
        failed += c.report("installed %s (%s), started through its shortcut, removed (%s): %.0f s"
                           % (what, folder, "its entry's QuietUninstallString" if how == "entry"
                              else "Uninstall.exe /S alone", time.monotonic() - started))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
