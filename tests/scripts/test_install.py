#!/usr/bin/env python3
"""install_packages (scripts/lib.sh): one line says what it installs, apt's progress is shown only
when apt fails, and while another program holds one of apt's locks it waits, saying so once,
until QUORVEL_APT_LOCK_TIMEOUT ends the wait with a clear error.

Stand-ins for apt-get, dpkg-query and sudo on the PATH play the machine, each lock held until a
given time. As apt 2.6 does, the stand-in apt-get waits for dpkg's lock only as long as it is
told (-o DPkg::Lock::Timeout=) and fails at once on the lists' lock (update) and the download
folder's (install). Nothing real is installed or locked.

    test_install.py PATH_TO_SCRIPTS_LIB_SH
"""
import json
import os
import re
import subprocess
import sys
import tempfile
import time

APT_GET = r'''#!/usr/bin/python3
import json, os, sys, time
args, locks = sys.argv[1:], json.loads(os.environ["QUORVEL_TEST_LOCKS"])
with open(os.environ["QUORVEL_TEST_CALLS"], "a") as f:
    f.write(json.dumps(args + [os.environ.get("LC_ALL")]) + "\n")
options = dict(args[i + 1].split("=", 1) for i, a in enumerate(args) if a == "-o")
held = lambda lock: time.time() < locks.get(lock, 0)
def fail_on(path):
    sys.exit("E: Could not get lock %s. It is held by process 4242 (unattended-upgr)" % path)
print("Reading package lists...")
if "update" in args:
    if held("lists"):
        fail_on("/var/lib/apt/lists/lock")
    print("\n".join("Get:%d http://deb.debian.org/debian bookworm/main" % n for n in range(30)))
    sys.exit(0)
given_up = time.time() + float(options.get("DPkg::Lock::Timeout", 0))
while held("dpkg") and time.time() < given_up:
    print("Waiting for cache lock: Could not get lock /var/lib/dpkg/lock-frontend...", flush=True)
    time.sleep(0.2)
for lock in ("dpkg", "archives"):
    if held(lock):
        fail_on({"dpkg": "/var/lib/dpkg/lock-frontend",
                 "archives": "/var/cache/apt/archives/lock"}[lock])
if os.environ.get("QUORVEL_TEST_APT_ERROR"):
    sys.exit(os.environ["QUORVEL_TEST_APT_ERROR"])
print("debconf: delaying package configuration", file=sys.stderr)
print("Setting up beta (1.0-1) ...")
'''
DPKG_QUERY = """#!/bin/sh
case " $QUORVEL_TEST_INSTALLED " in *" $3 "*) echo "install ok installed";; esac
"""
SUDO = '#!/bin/sh\nexec "$@"\n'

WAITING = "Waiting for another program to finish installing packages..."
SAID = ["Installing: beta gamma"]

# name, locks held (seconds from the start), environment, what apt fails with; then the status,
# the apt-get commands run (a pattern: how often a command is tried again depends on timing),
# and what is printed. Installed: alpha; the list: alpha, beta, gamma.
CASES = [
    ("nothing locked", {}, {}, None, 0, "update install", SAID),
    ("the lists locked a while", {"lists": 2.5}, {}, None,
     0, "update (update )+install", SAID + [WAITING]),
    ("dpkg's lock held a while", {"dpkg": 1.5}, {}, None, 0, "update install", SAID + [WAITING]),
    ("dpkg's lock, then the download folder's", {"dpkg": 1, "archives": 2.5}, {}, None,
     0, "update install( install)+", SAID + [WAITING]),
    ("the lists locked past the wait", {"lists": 60}, {"QUORVEL_APT_LOCK_TIMEOUT": "3"}, None,
     1, "update( update)+", SAID + [WAITING]),
    ("dpkg's lock held past the wait", {"dpkg": 60}, {"QUORVEL_APT_LOCK_TIMEOUT": "3"}, None,
     1, "update install", SAID + [WAITING]),
    ("a package apt does not know", {}, {}, "E: Unable to locate package gamma",
     1, "update install", SAID),
    ("everything installed", {}, {"QUORVEL_TEST_INSTALLED": "alpha beta gamma"}, None, 0, "", []),
    ("a wait that is no number", {}, {"QUORVEL_APT_LOCK_TIMEOUT": "soon"}, None, 1, "", []),
]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run_case(work, case):
    name, locks, changes, apt_error, want_status, want_commands, want_lines = case
    case_dir = tempfile.mkdtemp(dir=work)
    tmp, calls_path = os.path.join(case_dir, "tmp"), os.path.join(case_dir, "calls")
    os.mkdir(tmp)
    open(calls_path, "w").close()
    with open(os.path.join(case_dir, "packages.txt"), "w") as f:
        f.write("# the tools\nalpha\n\n  # kept out\nbeta\ngamma\nbeta\n")
    now = time.time()
    env = dict(os.environ, PATH=os.path.join(work, "bin") + os.pathsep + os.environ["PATH"],
               TMPDIR=tmp, QUORVEL_TEST_CALLS=calls_path, QUORVEL_TEST_INSTALLED="alpha",
               QUORVEL_TEST_LOCKS=json.dumps({k: now + v for k, v in locks.items()}),
               QUORVEL_TEST_APT_ERROR=apt_error or "")
    env.pop("QUORVEL_APT_LOCK_TIMEOUT", None)
    env.update(changes)
    # As the scripts use it: sourced, under set -euo pipefail.
    script = 'set -euo pipefail; source "$1"; install_packages "$2"/packages.txt'
    done = subprocess.run(["bash", "-c", script, "bash", LIB, case_dir], env=env,
                          capture_output=True, text=True, timeout=60)
    with open(calls_path) as f:
        calls = [json.loads(line) for line in f]
    commands = " ".join(next(a for a in call if a in ("update", "install")) for call in calls)
    check((done.returncode, done.stdout.splitlines()) == (want_status, want_lines)
          and re.fullmatch(want_commands, commands),
          "%s: ended %s after apt-get %s, printed %r; want %s after %s, printing %r; errors %r"
          % (name, done.returncode, commands, done.stdout, want_status, want_commands,
             want_lines, done.stderr))
    limit = int(changes.get("QUORVEL_APT_LOCK_TIMEOUT", "600").replace("soon", "0"))
    for call in calls:
        waits = [a for a in call if a.startswith("DPkg::Lock::Timeout=")]
        check(len(waits) == 1 and 0 <= int(waits[0].split("=")[1]) <= limit and call[-1] == "C",
              "%s: apt-get %s, not told to wait up to %d s in the C locale" % (name, call, limit))
        asked = call[-5:-1] == ["-y", "--no-install-recommends", "beta", "gamma"]
        check("install" not in call or asked,
              "%s: apt-get asked to %s" % (name, call))

    left = os.listdir(tmp)
    if want_status == 0 or not want_commands:
        check(left == [] and done.stderr.count("\n") == want_status,
              "%s: left %s, wrote errors %r" % (name, left, done.stderr))
        return
    # apt failed: the error says why, its last words shown, all it said kept in the log named.
    said_locked = "another program was still installing packages after 3 s" in done.stderr
    check(said_locked == bool(locks) and (apt_error or "held by process 4242") in done.stderr
          and "Waiting for cache lock" not in done.stderr,
          "%s: error output %r" % (name, done.stderr))
    if check(len(left) == 1 and os.path.join(tmp, left[0]) in done.stderr,
             "%s: left %s, error output %r" % (name, left, done.stderr)):
        with open(os.path.join(tmp, left[0])) as f:
            log = f.read().splitlines()
        shown = done.stderr.split("(all of it in ", 1)[-1].splitlines()[1:]
        check(shown and all(line in log for line in shown) and
              ("install" in commands) == any(line.startswith("Get:29 ") for line in log),
              "%s: the log %r lacks what apt said" % (name, log))


def main():
    global LIB
    if len(sys.argv) != 2 or not os.path.isfile(sys.argv[1]):
        sys.exit("usage: test_install.py PATH_TO_SCRIPTS_LIB_SH")
    LIB = os.path.abspath(sys.argv[1])
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="quorvel-test-install.") as work:
        os.mkdir(os.path.join(work, "bin"))
        for name, text in (("apt-get", APT_GET), ("dpkg-query", DPKG_QUERY), ("sudo", SUDO)):
            path = os.path.join(work, "bin", name)
            with open(path, "w") as f:
                f.write(text)
            os.chmod(path, 0o755)
        for case in CASES:
            run_case(work, case)
    for failure in failures:
        print("FAIL: " + failure)
    print("%s in %.1f s" % ("FAILED" if failures else "passed", time.monotonic() - started))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
