#!/usr/bin/python3
"""The setup program under Wine: installed silently, as a deployment tool would, and removed
again, once for each case of CASES; what it refuses to do, for whom, with what exit code
(REFUSALS); and its manifest.

    check_installer.py SETUP STAGE TEST_PROGRAM VERSION

STAGE is the folder the zip is packed from (the files the setup program must install, to the
byte); TEST_PROGRAM is the Windows test program, whose case "the installed program, started
through its Start-menu shortcut, ..." resolves the shortcut, starts the program through it as
the Start menu does and ends it with Exit; quorvel_standarduser.exe beside it starts a command
as a user without administrator rights would. Run by tests/windows/installer, with
WINEPREFIX, DISPLAY and a private HOME set.

Wine enforces no file permissions: what these tests show is what the setup program and the
uninstaller decide, which on Windows keeps a user without rights from half-installing.

After each install: the folder holds exactly the program, its read-me, its licence and the
uninstaller; the shortcut lies in the Start menu of those it was installed for; the entry of
the list of installed programs holds every value it should, under that root alone. After the
silent uninstall: when the entry's QuietUninstallString returns, the program, its shortcut and
its entry are gone already, and its folder within 10 s; then nothing is left, and the prefix's
drive C: holds what it held before the install, but for the temporary folders (where the
uninstaller leaves a copy of itself) and, after a per-user install, the user's programs
folder: a folder of Windows's own that the first per-user install of any program makes and
every later one shares, left empty.
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

import pefile  # noqa: E402

RT_MANIFEST = 24
STANDARD_USER_LAUNCHER = None

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

ADMIN, STANDARD = "an administrator", "a user without administrator rights"
# The exit code of a silent setup or uninstaller that changed nothing.
REFUSED = 2
# How long the uninstaller's own file and folder may outlive the QuietUninstallString.
FOLDER_GONE_WITHIN = 10

# (what, who runs the setup program and the removal, its arguments after /S, the install
# folder, the registry root of its entry, how it is removed: "entry" runs the entry's
# QuietUninstallString, "alone" starts the uninstaller in the folder with /S and nothing else,
# so that it must find whose install it is).
CASES = [
    ("for all users, into Program Files",
     ADMIN, ["/AllUsers"], r"C:\Program Files\Quorvel", "HKLM", "entry"),
    ("for the current user, into the user's programs folder",
     ADMIN, ["/CurrentUser"], USER_PROGRAMS + r"\Quorvel", "HKCU", "alone"),
    ("for all users, into a folder whose name has spaces",
     ADMIN, ["/AllUsers", r"/D=C:\Program Files\Quorvel Demo 1.1"], r"C:\Program Files\Quorvel Demo 1.1",
     "HKLM", "entry"),
    ("for themselves, choosing nothing",
     STANDARD, [], USER_PROGRAMS + r"\Quorvel", "HKCU", "entry"),
]

# What is refused, with exit code REFUSED, leaving drive C:, the entries and every installed
# file's time as they were, and without waiting for a click: (what, who, the command: "setup"
# or "uninstaller" with its arguments; "{folder}" is the install folder, "{quiet}" the entry's
# QuietUninstallString, whether Quorvel.exe runs from the folder). Each runs over one install
# for all users, into ALL_USERS_FOLDER, made by an administrator.
ALL_USERS_FOLDER = r"C:\Program Files\Quorvel"
REFUSALS = [
    ("a silent install for all users", STANDARD, ["setup", "/S", "/AllUsers"], False),
    ("the entry's QuietUninstallString", STANDARD, ["{quiet}"], False),
    ("a silent removal naming no mode", STANDARD, ["uninstaller", "/S", "_?={folder}"], False),
    ("a silent removal of it as a per-user install", ADMIN,
     ["uninstaller", "/S", "/CurrentUser", "_?={folder}"], False),
    ("a silent install over the running program", ADMIN, ["setup", "/S", "/AllUsers"], True),
    ("the entry's QuietUninstallString while the program runs", ADMIN, ["{quiet}"], True),
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


def windows_path(path):
    """A path as Windows programs name it: the prefix's drive Z: is the root of the host's
    file system."""
    return "Z:" + os.path.abspath(path).replace("/", "\\") if path.startswith("/") else path


def wine(program, *arguments, env=None, who=ADMIN, timeout=120):
    """The status and output of program run by who. A user without administrator rights
    starts it through quorvel_standarduser.exe, which waits for it and ends with its status."""
    # Wine quotes every argument that holds a space, and NSIS reads /D= and _?= only unquoted:
    # a folder with spaces goes as separate words, which Wine joins with spaces again.
    words = [word for argument in arguments for word in argument.split(" ")]
    if who == STANDARD:
        words = [windows_path(program)] + words
        program = STANDARD_USER_LAUNCHER
    return run(["wine", program] + words, env, timeout)


def quiet_uninstall(quiet, who):
    """Runs an entry's QuietUninstallString as who."""
    match = re.match(r'^"([^"]+)" (.*)$', quiet)
    if not match:
        return 1, "no QuietUninstallString to run: %r" % quiet
    return wine(match.group(1), *match.group(2).split(" "), who=who, timeout=60)


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
        # Run where it lies (_?=), it returns when it is done.
        "QuietUninstallString": ("REG_SZ", uninstaller + " /S _?=" + folder),
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


def check_removed(c, folder, root, before, values, how, who):
    if how == "entry":
        status, output = quiet_uninstall((values or {}).get("QuietUninstallString", ("", ""))[1], who)
        c.expect(status == 0, "the uninstaller: status %d\n%s" % (status, output))
        # Returned: a deployment tool that checks now finds the program removed.
        left = [name for name in FILES if os.path.exists(unix(folder + "\\" + name))]
        c.expect(not left, "when the QuietUninstallString returns, %s still holds %s" % (folder, left))
        c.expect(entry(root) is None, "when the QuietUninstallString returns, the entry is still there")
        c.expect(not os.path.exists(unix(MENUS[root] + "\\" + NAME + ".lnk")),
                 "when the QuietUninstallString returns, the shortcut is still there")
        deadline = time.monotonic() + FOLDER_GONE_WITHIN
        while os.path.exists(unix(folder)) and time.monotonic() < deadline:
            time.sleep(0.1)
        c.expect(not os.path.exists(unix(folder)), "%s is still there %d s after the QuietUninstallString returned"
                 % (folder, FOLDER_GONE_WITHIN))
    else:
        status, output = wine(folder + "\\" + UNINSTALLER, "/S", who=who)
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


def snapshot(folder):
    """What a refused setup or uninstaller must leave as it was, by name."""
    return {
        "drive C:": drive_contents(),
        "the all-users entry": entry("HKLM"),
        "the per-user entry": entry("HKCU"),
        "the installed files' times": [os.stat(path).st_mtime_ns for name in FILES + [UNINSTALLER]
                                       for path in [unix(folder + "\\" + name)] if os.path.exists(path)],
    }


def changed(before, after):
    return ", ".join(what for what in before if before[what] != after[what])


class RunningProgram:
    """Quorvel.exe started from the install folder, once its main window shows."""

    def __init__(self, folder):
        self.process = subprocess.Popen(["wine", folder + "\\Quorvel.exe"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Wine names each X window's class after its program.
        status, _ = run(["xdotool", "search", "--sync", "--onlyvisible", "--classname", "quorvel.exe"],
                        timeout=30)
        self.shown = status == 0

    def end(self):
        self.process.terminate()
        self.process.wait(timeout=30)


def check_refusals(setup, stage, test_program, version):
    """Each of REFUSALS over one install for all users; 1 if any failed."""
    folder = ALL_USERS_FOLDER
    c = Problems()
    before_install = drive_contents()
    status, output = wine(setup, "/S", "/AllUsers")
    if not c.expect(status == 0, "the setup program: status %d\n%s" % (status, output)):
        return c.report("installed for all users, to be refused")
    values = check_installed(c, folder, "HKLM", stage, test_program, version)
    quiet = (values or {}).get("QuietUninstallString", ("", ""))[1]
    failed = c.report("installed for all users by %s, to be refused" % ADMIN)
    running = None
    for what, who, command, program_runs in REFUSALS:
        c = Problems()
        if program_runs and running is None:
            running = RunningProgram(folder)
            c.expect(running.shown, "Quorvel.exe showed no window")
        before = snapshot(folder)
        if command[0] == "{quiet}":
            status, output = quiet_uninstall(quiet, who)
        else:
            program = setup if command[0] == "setup" else folder + "\\" + UNINSTALLER
            arguments = [argument.replace("{folder}", folder) for argument in command[1:]]
            # A message box waiting for a click would hold it: 30 s is plenty.
            status, output = wine(program, *arguments, who=who, timeout=30)
        c.expect(status == REFUSED, "status %d, expected %d\n%s" % (status, REFUSED, output))
        change = changed(before, snapshot(folder))
        c.expect(not change, "changed: %s" % change)
        failed += c.report("%s by %s%s: refused, status %d, nothing changed" % (
            what, who, ", Quorvel.exe running from the folder" if program_runs else "", REFUSED))
    c = Problems()
    if running:
        running.end()
    # Started from its folder with /S alone, the uninstaller returns at once and leaves the
    # work to a copy of itself: that copy's refusal shows nothing and changes nothing.
    before = snapshot(folder)
    wine(folder + "\\" + UNINSTALLER, "/S", who=STANDARD)
    c.expect(wait_for_wine(), "the uninstaller still runs after a minute: waiting for a click?")
    change = changed(before, snapshot(folder))
    c.expect(not change, "Uninstall.exe /S by %s changed: %s" % (STANDARD, change))
    check_removed(c, folder, "HKLM", before_install, values, "entry", ADMIN)
    failed += c.report("Uninstall.exe /S started from its folder by %s changes nothing; then removed by %s"
                       % (STANDARD, ADMIN))
    return failed


def check_manifest(setup):
    """The setup program's manifest: aware of the screen's scale (sharp at every scale, not
    stretched), and asking for the highest level its user has, not more."""
    c = Problems()
    pe = pefile.PE(setup)
    manifests = [entry.directory.entries[0] for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if kind.id == RT_MANIFEST for entry in kind.directory.entries]
    if c.expect(len(manifests) == 1, "%d manifests, expected one" % len(manifests)):
        data = manifests[0].data.struct
        text = pe.get_data(data.OffsetToData, data.Size).decode("utf-8", "replace")
        c.expect(re.search(r"<dpiAware[^>]*>\s*true\s*</dpiAware>", text), "not DPI aware:\n%s" % text)
        c.expect(re.search(r'<requestedExecutionLevel\s+level="highestAvailable"', text),
                 "not asking for the highest available level:\n%s" % text)
    pe.close()
    return c.report("the setup program's manifest: DPI aware, the highest available level")


def main():
    global STANDARD_USER_LAUNCHER
    setup, stage, test_program, version = sys.argv[1:5]
    STANDARD_USER_LAUNCHER = os.path.join(os.path.dirname(test_program), "quorvel_standarduser.exe")
    failed = check_manifest(setup)
    for what, who, arguments, folder, root, how in CASES:
        started = time.monotonic()
        c = Problems()
        before = drive_contents()
        status, output = wine(setup, "/S", *arguments, who=who)
        if c.expect(status == 0, "the setup program: status %d\n%s" % (status, output)):
            values = check_installed(c, folder, root, stage, test_program, version)
            check_removed(c, folder, root, before, values, how, who)
        failed += c.report("installed %s (%s) by %s, started through its shortcut, removed (%s): %.0f s"
                           % (what, folder, who, "its entry's QuietUninstallString" if how == "entry"
                              else "Uninstall.exe /S alone", time.monotonic() - started))
    failed += check_refusals(setup, stage, test_program, version)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
