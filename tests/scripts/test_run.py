#!/usr/bin/env python3
"""scripts/run on a machine without a display: its private virtual screen is closed to other
users (an X cookie, a VNC password, loopback only), a busy VNC port does not trip it, and nothing
it made is left once the program ends or the script gets INT, TERM or HUP. With a display it
just runs the program; a TMPDIR it cannot write to makes it take another private folder.

A stand-in takes the program's place (QUORVEL_RUN_PROGRAM), so nothing is built: it writes its
environment to a folder, waits until a file named "stop" appears there, and exits with status 7.

    test_run.py PATH_TO_SCRIPTS_RUN
"""
import os
import re
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import time

# Asked to end, it ends with its pause, as a program of one process would: a pause of its own
# left running would look like something the script failed to stop.
STANDIN = """#!/bin/sh
echo $$ >"$QUORVEL_TEST_STATE/pid"
env >"$QUORVEL_TEST_STATE/env.part" && mv "$QUORVEL_TEST_STATE/env.part" "$QUORVEL_TEST_STATE/env"
pause=
trap 'kill "$pause" 2>/dev/null; exit 143' TERM INT HUP
while [ ! -e "$QUORVEL_TEST_STATE/stop" ]; do sleep 0.05 & pause=$!; wait "$pause"; done
exit 7
"""
ENDPOINT = re.compile(r"vncviewer -passwd (\S+) 127\.0\.0\.1::(\d+)`")
TUNNEL = re.compile(r"ssh -L (\d+):127\.0\.0\.1:(\d+) ")
LOOPBACK = {"127.0.0.1", "[::1]"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


class Run:
    """One scripts/run in a session of its own, with private TMPDIR and stand-in state folders.
    changes: environment variables to set, or to remove when None."""

    started = []

    def __init__(self, work, changes=None):
        self.tmp = tempfile.mkdtemp(dir=work, prefix="tmp.")
        self.state = tempfile.mkdtemp(dir=work, prefix="state.")
        env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "XAUTHORITY"):
            env.pop(name, None)
        env.update(TMPDIR=self.tmp, QUORVEL_TEST_STATE=self.state,
                   QUORVEL_RUN_PROGRAM=os.path.join(work, "standin"))
        for name, value in (changes or {}).items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        # Output into files, not pipes: a process the script wrongly leaves behind would hold a
        # pipe open, and reading it would wait for that process.
        self.out_path, self.err_path = self.state + ".out", self.state + ".err"
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.proc = subprocess.Popen(
                ["bash", SCRIPT], env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                start_new_session=True, preexec_fn=default_signals)
        Run.started.append(self)

    def output(self):
        with open(self.out_path) as out, open(self.err_path) as err:
            return out.read(), err.read()

    def first_line(self, timeout=20):
        """The first line the script prints, or None when none comes in time."""
        deadline = time.monotonic() + timeout
        while True:
            out = self.output()[0]
            if "\n" in out:
                return out.split("\n", 1)[0]
            if time.monotonic() > deadline or self.proc.poll() is not None:
                return None
            time.sleep(0.05)

    def program_env(self, timeout=20):
        """The stand-in's environment once it runs, or None."""
        path = os.path.join(self.state, "env")
        deadline = time.monotonic() + timeout
        while not os.path.exists(path):
            if time.monotonic() > deadline or self.proc.poll() is not None:
                return None
            time.sleep(0.05)
        with open(path) as f:
            return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)

    def program_pid(self):
        with open(os.path.join(self.state, "pid")) as f:
            return int(f.read())

    def end_program(self):
        open(os.path.join(self.state, "stop"), "w").close()

    def finish(self, timeout=15):
        """Waits for the script; returns its status, all it printed and its error output."""
        try:
            self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            check(False, "scripts/run did not end within %d s" % timeout)
            self.kill()
        return (self.proc.returncode,) + self.output()

    def kill(self):
        """Ends whatever is left in the run's process group."""
        for sig, grace in ((signal.SIGTERM, 0.5), (signal.SIGKILL, 0)):
            try:
                os.killpg(self.proc.pid, sig)
            except ProcessLookupError:
                break
            time.sleep(grace)
        self.proc.wait()


def default_signals():
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, signal.SIG_DFL)


def left_running(run):
    """Processes of the run still alive: every one the script starts inherits its TMPDIR."""
    mark = ("\0TMPDIR=%s\0" % run.tmp).encode()
    found = []
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                if mark in b"\0" + f.read():
                    found.append(int(entry))
        except (OSError, ValueError):
            pass  # gone meanwhile, a zombie, or not a process folder
    return found


def listening(port):
    """The local addresses where some TCP socket listens on port."""
    lines = subprocess.run(["ss", "-Htln"], capture_output=True, text=True, check=True).stdout
    addresses = []
    for line in lines.splitlines():
        local = line.split()[3]
        address, _, local_port = local.rpartition(":")
        if local_port == str(port):
            addresses.append(address)
    return addresses


def receive(sock, count):
    data = b""
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        if not chunk:
            break
        data += chunk
    return data


def rfb_security_types(port):
    """The RFB version the VNC server greets with and the security types it offers."""
    with socket.create_connection(("127.0.0.1", port), timeout=5) as sock:
        version = receive(sock, 12)
        sock.sendall(b"RFB 003.008\n")
        count = receive(sock, 1)
        types = list(receive(sock, count[0])) if count else []
    return version, types


def x_client_works(display, xauthority):
    env = dict(os.environ, XAUTHORITY=xauthority)
    try:
        return subprocess.run(["xdpyinfo", "-display", display], env=env, timeout=10,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    except subprocess.TimeoutExpired:
        return False


def window_manager_name(display, xauthority):
    env = dict(os.environ, DISPLAY=display, XAUTHORITY=xauthority)
    root = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                          capture_output=True, text=True, timeout=10).stdout
    window = re.search(r"window id # (0x[0-9a-f]+)", root)
    if not window:
        return None
    name = subprocess.run(["xprop", "-id", window.group(1), "_NET_WM_NAME"], env=env,
                          capture_output=True, text=True, timeout=10).stdout
    found = re.search(r'= "(.*)"', name)
    return found.group(1) if found else None


def mode(path):
    return stat.S_IMODE(os.stat(path).st_mode)


def check_all_gone(what, run, display=None, port=None):
    """Nothing of the run is left: processes, X socket and lock, VNC port, temporary files."""
    check(not left_running(run), "%s: processes left running: %s" % (what, left_running(run)))
    if display is not None:
        number = display.lstrip(":")
        for path in ("/tmp/.X11-unix/X" + number, "/tmp/.X%s-lock" % number):
            check(not os.path.exists(path), "%s: %s is left" % (what, path))
    if port is not None:
        check(not listening(port), "%s: port %d still listens" % (what, port))
    check(os.listdir(run.tmp) == [],
          "%s: left in its temporary folder: %s" % (what, os.listdir(run.tmp)))


class Session:
    """What a headless run printed and made, read while the program runs."""

    def __init__(self, what, run):
        self.what, self.run = what, run
        self.line = run.first_line()
        self.env = run.program_env() if self.line else None
        self.port = self.display = self.passwd = self.xauthority = None
        if not check(self.line is not None and self.env is not None,
                     "%s: no endpoint printed, or the program did not start" % what):
            return
        endpoint = ENDPOINT.search(self.line)
        if not check(endpoint, "%s: the line names no vncviewer command: %r" % (what, self.line)):
            return
        self.passwd, self.port = endpoint.group(1), int(endpoint.group(2))
        tunnel = TUNNEL.search(self.line)
        check(tunnel and tunnel.groups() == (str(self.port),) * 2,
              "%s: no SSH tunnel to port %d in: %r" % (what, self.port, self.line))
        self.display = self.env.get("DISPLAY")
        self.xauthority = self.env.get("XAUTHORITY")

    def secrets(self):
        with open(self.passwd, "rb") as f:
            password = f.read()
        cookie = subprocess.run(["xauth", "-f", self.xauthority, "list"], capture_output=True,
                                text=True).stdout.split()[-1:]
        return password, cookie


def test_headless(work):
    """The private screen: who may use it, what it offers, and that it goes with the program."""
    what = "headless run"
    run = Run(work)
    session = Session(what, run)
    if session.port is None:
        run.kill()
        return None
    port, display = session.port, session.display
    # The VNC handshake at once: the endpoint answers by the time it is printed.
    version, types = rfb_security_types(port)
    check(version == b"RFB 003.008\n", "%s: VNC server greets with %r" % (what, version))
    check(types and 1 not in types, "%s: security types %s include None (1)" % (what, types))
    check(2 in types, "%s: security types %s lack the VNC password (2)" % (what, types))
    addresses = listening(port)
    check(addresses and set(addresses) <= LOOPBACK,
          "%s: VNC port %d listens on %s, not on loopback only" % (what, port, addresses))
    check(re.fullmatch(r":\d+", display or "") is not None, "%s: DISPLAY is %r" % (what, display))
    if display:
        x_port = 6000 + int(display[1:])
        check(not listening(x_port), "%s: the X server listens on TCP port %d" % (what, x_port))

    # Only a client holding the run's cookie gets in.
    empty = os.path.join(work, "empty-xauthority")
    open(empty, "w").close()
    check(not x_client_works(display, empty), "%s: a client without a cookie got in" % what)
    wrong = os.path.join(work, "wrong-xauthority")
    subprocess.run(["xauth", "-q", "-f", wrong, "add", display, "MIT-MAGIC-COOKIE-1",
                    "0123456789abcdef0123456789abcdef"], check=True, stderr=subprocess.DEVNULL)
    check(not x_client_works(display, wrong), "%s: a client with a wrong cookie got in" % what)
    check(x_client_works(display, session.xauthority),
          "%s: the program's cookie does not open the display" % what)

    # The cookie, password and runtime folder are private, in one folder of the run's own.
    folder = os.path.dirname(session.xauthority)
    check(os.path.dirname(session.passwd) == folder and os.path.dirname(folder) == run.tmp,
          "%s: cookie %s and password %s are not in one folder under TMPDIR"
          % (what, session.xauthority, session.passwd))
    check(mode(folder) == 0o700, "%s: %s has mode %o" % (what, folder, mode(folder)))
    for path in (session.xauthority, session.passwd):
        check(mode(path) == 0o600, "%s: %s has mode %o" % (what, path, mode(path)))
    runtime = session.env.get("XDG_RUNTIME_DIR", "")
    check(runtime.startswith(folder + "/") and mode(runtime) == 0o700,
          "%s: XDG_RUNTIME_DIR is %r" % (what, runtime))

    if shutil.which("openbox"):
        name = window_manager_name(display, session.xauthority)
        check(name == "Openbox", "%s: window manager on the screen is %r" % (what, name))

    secrets = session.secrets()
    run.end_program()
    status, out, err = run.finish()
    check(status == 7, "%s: exit status %s, not the program's 7" % (what, status))
    check(out.count("\n") == 1, "%s: printed more than one line: %r" % (what, out))
    check(err == "", "%s: wrote errors: %r" % (what, err))
    check_all_gone(what, run, display, port)
    return port, secrets


def test_busy_port_and_signals(work, first_port, first_secrets):
    """A busy VNC port is passed over; INT, TERM and HUP each leave nothing behind."""
    blocker = socket.socket()
    blocker.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        blocker.bind(("127.0.0.1", first_port))
        blocker.listen()
    except OSError:
        pass  # something else has taken it since: busy all the same
    try:
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            what = "run with port %d busy, then %s" % (first_port, sig.name)
            run = Run(work)
            session = Session(what, run)
            if session.port is not None:
                check(session.port != first_port,
                      "%s: printed the busy port %d" % (what, first_port))
                version, _ = rfb_security_types(session.port)
                check(version.startswith(b"RFB "),
                      "%s: printed endpoint %d does not answer" % (what, session.port))
                check(session.secrets()[0] != first_secrets[0],
                      "%s: the VNC password file is the same as the first run's" % what)
                check(session.secrets()[1] != first_secrets[1],
                      "%s: the cookie is the same as the first run's" % what)
            os.kill(run.proc.pid, sig)
            status, _, err = run.finish()
            check(status == -sig, "%s: ended with %s, not by the signal" % (what, status))
            check(err == "", "%s: wrote errors: %r" % (what, err))
            check_all_gone(what, run, session.display, session.port)
    finally:
        blocker.close()


def test_no_free_port(work):
    """Every VNC port taken: one clear line, no endpoint, nothing left."""
    what = "run with every VNC port busy"
    blockers = []
    try:
        for port in range(5901, 6000):
            sock = socket.socket()
            try:
                sock.bind(("127.0.0.1", port))
                sock.listen()
                blockers.append(sock)
            except OSError:
                sock.close()
        run = Run(work)
        status, out, err = run.finish()
    finally:
        for sock in blockers:
            sock.close()
    check(status == 1, "%s: exit status %s" % (what, status))
    check(out == "", "%s: printed %r" % (what, out))
    check(err.count("\n") == 1 and err.startswith("scripts/run: no free VNC port"),
          "%s: error output %r" % (what, err))
    check_all_gone(what, run)


def test_with_display(work):
    """With a display the program runs there, with a private runtime folder when none is set."""
    what = "run with a display, no XDG_RUNTIME_DIR"
    run = Run(work, {"DISPLAY": ":4711"})
    env = run.program_env()
    if check(env is not None, "%s: the program did not start" % what):
        runtime = env.get("XDG_RUNTIME_DIR", "")
        check(env.get("DISPLAY") == ":4711" and "XAUTHORITY" not in env,
              "%s: DISPLAY %r, XAUTHORITY %r" % (what, env.get("DISPLAY"), env.get("XAUTHORITY")))
        check(os.path.dirname(os.path.dirname(runtime)) == run.tmp and mode(runtime) == 0o700,
              "%s: XDG_RUNTIME_DIR is %r" % (what, runtime))
    run.end_program()
    status, out, err = run.finish()
    check((status, out, err) == (7, "", ""), "%s: ended %s, printed %r %r" % (what, status, out, err))
    check_all_gone(what, run)

    what = "run with a display and XDG_RUNTIME_DIR"
    runtime = tempfile.mkdtemp(dir=work, prefix="runtime.")
    run = Run(work, {"WAYLAND_DISPLAY": "wayland-9", "XDG_RUNTIME_DIR": runtime})
    env = run.program_env()
    if check(env is not None, "%s: the program did not start" % what):
        check(env.get("XDG_RUNTIME_DIR") == runtime, "%s: XDG_RUNTIME_DIR changed" % what)
        check(run.program_pid() == run.proc.pid, "%s: the program is not run in its place" % what)
    run.end_program()
    status, out, err = run.finish()
    check((status, out, err) == (7, "", ""), "%s: ended %s, printed %r %r" % (what, status, out, err))
    check(os.listdir(runtime) == [] and os.listdir(run.tmp) == [],
          "%s: left files behind" % what)


def test_unwritable_tmpdir(work):
    """No XDG_RUNTIME_DIR and a TMPDIR nothing can be made in: another private folder serves."""
    what = "run with a display, no XDG_RUNTIME_DIR and a TMPDIR that is no folder"
    not_a_folder = os.path.join(work, "not-a-folder")
    open(not_a_folder, "w").close()
    run = Run(work, {"DISPLAY": ":4711", "TMPDIR": not_a_folder})
    env = run.program_env()
    runtime = env.get("XDG_RUNTIME_DIR", "") if env else ""
    if check(env is not None, "%s: the program did not start: %r" % (what, run.output())):
        folder = os.path.dirname(runtime)
        check(os.path.isdir(runtime) and mode(runtime) == 0o700 and mode(folder) == 0o700
              and os.path.dirname(folder) in ("/tmp", "/var/tmp"),
              "%s: XDG_RUNTIME_DIR is %r" % (what, runtime))
    run.end_program()
    status, out, err = run.finish()
    check((status, out, err) == (7, "", ""), "%s: ended %s, printed %r %r" % (what, status, out, err))
    check(not runtime or not os.path.exists(os.path.dirname(runtime)),
          "%s: left %s behind" % (what, os.path.dirname(runtime)))


def test_bad_program(work):
    what = "run with QUORVEL_RUN_PROGRAM naming no program"
    run = Run(work, {"QUORVEL_RUN_PROGRAM": os.path.join(work, "missing")})
    status, out, err = run.finish()
    check(status == 1 and out == "" and err.count("\n") == 1 and "QUORVEL_RUN_PROGRAM" in err,
          "%s: ended %s, printed %r %r" % (what, status, out, err))
    check_all_gone(what, run)


def main():
    global SCRIPT
    if len(sys.argv) != 2 or not os.path.isfile(sys.argv[1]):
        sys.exit("usage: test_run.py PATH_TO_SCRIPTS_RUN")
    SCRIPT = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="quorvel-test-run.")
    started = time.monotonic()
    try:
        standin = os.path.join(work, "standin")
        with open(standin, "w") as f:
            f.write(STANDIN)
        os.chmod(standin, 0o755)
        test_bad_program(work)
        test_with_display(work)
        test_unwritable_tmpdir(work)
        first = test_headless(work)
        if first:
            test_busy_port_and_signals(work, *first)
        test_no_free_port(work)
    finally:
        for run in Run.started:
            run.kill()
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL: " + failure)
    print("%s in %.1f s" % ("FAILED" if failures else "passed", time.monotonic() - started))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
