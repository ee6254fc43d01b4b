#!/usr/bin/env python3
"""The program as a screen reader sees it, through AT-SPI: the real program on xcb under a
private Xvfb (no window manager), in a D-Bus session of its own (dbus-run-session) where D-Bus
activation starts at-spi2-core's accessibility bus launcher, as it does on a Debian desktop.
pyatspi then reads the controls' roles, names, states, descriptions, labels and actions, follows
a real click on the round check box, runs default actions, follows the focus as the keyboard
presses the pad's keys, reads the About window and its description, closes it with Escape and
ends the program through the Exit button's action.

    test_atspi.py PATH_TO_QUORVEL

Xvfb, the session bus, the accessibility bus and its registry, and the program are all gone
when the test ends: it is the subreaper of everything it starts and waits for each of them.
"""
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CAPTION = "Quorvel" + " " * 29 + "version1.1"
FRAME1 = "Standard MS Custom Controls"
FRAME2 = "Zennorak Design Quorvel technics examples"
PAD = "Direction pad"
PAD_KEYS = ["Home", "Up", "Down", "Left", "Right"]
PAD_DESCRIPTION = "Use the arrow keys and Home"
ABOUT_CAPTION = "About..."
ABOUT_LINES = [
    "This is a sample of Quorvel technics applica-",
    "ted to offen using MS standard custom controls.",
    "No limits to Your fantasy...",
    "If You will find it usefull - please contact me at",
    "quorvel@zennorak.example",
    "Copyright (C) Zennorak Design. All rights reserved.",
]

# Where the program puts its windows and controls (screen pixels, no window manager).
CLIENT_ORIGIN = (156, 102)
FRAME2_AT = (7, 121)
CHK1_AT = (12, 161)
BALL_CENTRE = (12, 12)
ABOUT_AT = (139, 321)
ABOUT_POINT = (45, 19)

DEADLINE = 10  # seconds to wait for any one thing to happen
INSIDE = "--inside-session"


def log(message):
    print(message, flush=True)


# ---- inside the session: what the screen reader sees -------------------------------------

def inside(program):
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, Gio, GLib
    import pyatspi

    failures = []
    checked = []

    def check(condition, message):
        (checked if condition else failures).append(message)
        log(("ok    " if condition else "FAIL  ") + message)
        return condition

    def pump():
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    def wait_for(what, timeout=DEADLINE):
        """what() until it gives something true, the events on the way dispatched; or None."""
        deadline = time.monotonic() + timeout
        while True:
            pump()
            try:
                result = what()
            except GLib.GError:
                result = None
            if result:
                return result
            if time.monotonic() > deadline:
                return None
            time.sleep(0.02)

    def states(acc):
        acc.clear_cache()  # a fresh question to the program, never a remembered answer
        return acc.getState()

    def is_checked(acc):
        return states(acc).contains(pyatspi.STATE_CHECKED)

    def actions(acc):
        try:
            action = acc.queryAction()
        except NotImplementedError:
            return []
        return [action.getName(i) for i in range(action.nActions)]

    def press(acc):
        action = acc.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        return action.doAction(names.index("press"))

    def text_of(acc):
        return acc.queryText().getText(0, -1)

    def role(acc):
        return acc.getRole()

    def role_name(r):
        return "a gap" if r is None else Atspi.role_get_name(r)

    def extents(acc):
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (e.x, e.y, e.width, e.height)

    def contains(box, point):
        x, y, w, h = box
        return x <= point[0] < x + w and y <= point[1] < y + h

    def xdotool(*arguments):
        subprocess.run(["xdotool", *arguments], check=True, timeout=DEADLINE,
                       stdout=subprocess.DEVNULL)

    def x_window(title):
        """The id of the viewable X window named title, or None."""
        pattern = "^" + re.escape(title) + "$"
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               timeout=DEADLINE).stdout.split()
        return found[0] if found else None

    def x_focus():
        return subprocess.run(["xdotool", "getwindowfocus"], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=DEADLINE).stdout.strip()

    def shown(name):
        return "the main window" if name == CAPTION else repr(name)

    def descendants(acc, parent_name, out):
        for child in acc:
            if child is None:
                out.append((parent_name, None, None, None))
                continue
            out.append((parent_name, role(child), child.name, child))
            descendants(child, child.name, out)
        return out

    # The accessibility bus, started the way a desktop session starts it: D-Bus activates
    # org.a11y.Bus (at-spi2-core's at-spi-bus-launcher, /usr/share/dbus-1/services). Qt does not
    # activate it: it looks for that name on the session bus (and for the AT_SPI_BUS property the
    # launcher puts on the X root window), so it is there before the program starts.
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE,
                                DEADLINE * 1000, None).unpack()[0]
    log("accessibility bus (activated through org.a11y.Bus): " + address)

    # What a screen reader hears of the check boxes, wanted before the program starts so that
    # it knows from its first moment that someone listens.
    events = []

    def on_checked(event):
        events.append((role_name(role(event.source)), event.source.name, event.detail1))
    pyatspi.Registry.registerEventListener(on_checked, "object:state-changed:checked")
    # ... and where its focus goes: the focus events a screen reader follows.
    focus_events = []

    def on_focus(event):
        focus_events.append((role_name(role(event.source)), event.source.name))
    pyatspi.Registry.registerEventListener(on_focus, "focus:")
    desktop = pyatspi.Registry.getDesktop(0)

    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    started = time.monotonic()
    proc = subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL)
    try:
        # ---- the application and its main window
        def application():
            for app in desktop:
                if app is not None and app.get_process_id() == proc.pid:
                    return app
            return None
        app = wait_for(application)
        if not check(app is not None, "the program (pid %d) is an application in the AT-SPI "
                     "registry" % proc.pid):
            return failures

        def window_named(name, wanted_role):
            for w in app:
                if (w is not None and w.name == name and role(w) == wanted_role
                        and states(w).contains(pyatspi.STATE_SHOWING)):
                    return w
            return None
        main = wait_for(lambda: window_named(CAPTION, pyatspi.ROLE_FRAME))
        if not check(main is not None, "a showing frame named %r (after %.1f s)"
                     % (CAPTION, time.monotonic() - started)):
            return failures
        # Showing to AT-SPI as soon as the program shows it; mapped on the X server a little later.
        check(wait_for(lambda: x_window(CAPTION)), "its X window is viewable")
        check(extents(main)[:2] == CLIENT_ORIGIN,
              "the main window's client area is at %s (it is at %s)"
              % (CLIENT_ORIGIN, extents(main)[:2]))

        # ---- every control of the main window, and nothing else
        # (parent's name, role, name, checked: None when not checkable, focusable, actions:
        # None when the standard widget's own)
        PB, CB, RB = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON
        PANEL, LABEL, TEXT = pyatspi.ROLE_PANEL, pyatspi.ROLE_LABEL, pyatspi.ROLE_TEXT
        PRESS = ["Press"]
        # Qt 6.4 gives QAccessible::Grouping AT-SPI's role "panel" (AT-SPI's "grouping" stays
        # unused): the frames and the pad are panels.
        expected = [
            (CAPTION, PANEL, FRAME1, None, False, []),
            (CAPTION, PANEL, FRAME2, None, False, []),
            (CAPTION, PB, "About", None, True, PRESS),
            (CAPTION, PB, "Exit", None, True, PRESS),
            # the standard controls, as Qt shows its own widgets
            (FRAME1, PB, "Command1", None, True, None),
            (FRAME1, CB, "Check1", False, True, None),
            (FRAME1, RB, "Option1(0)", True, True, None),
            (FRAME1, RB, "Option1(1)", False, True, None),
            (FRAME1, LABEL, "Label1", None, False, None),
            (FRAME1, TEXT, "Label1", None, True, None),
            # the bitmap controls and the labels beside them
            (FRAME2, CB, "qvCheck1", False, True, PRESS),
            (FRAME2, RB, "qvOption1(0)", True, True, PRESS),
            (FRAME2, RB, "qvOption1(1)", False, True, PRESS),
            (FRAME2, RB, "qvOption1(2)", False, True, PRESS),
            (FRAME2, PB, "Click here!", None, True, PRESS),
            (FRAME2, PANEL, PAD, None, True, []),
            (FRAME2, TEXT, "Action:", None, True, None),
            (FRAME2, LABEL, "Action:", None, False, None),
            (FRAME2, LABEL, "qvCheck1", None, False, None),
            (FRAME2, LABEL, "qvOption1(0)", None, False, None),
            (FRAME2, LABEL, "qvOption1(1)", None, False, None),
            (FRAME2, LABEL, "qvOption1(2)", None, False, None),
        ] + [(PAD, PB, key, None, True, PRESS) for key in PAD_KEYS]

        found = descendants(main, CAPTION, [])
        nodes = {}
        for parent, r, name, acc in found:
            nodes.setdefault((parent, r, name), []).append(acc)
        for parent, r, name, want_checked, focusable, want_actions in expected:
            matches = nodes.pop((parent, r, name), [])
            seen, wrong = [], []
            if len(matches) != 1:
                wrong.append("found %d times" % len(matches))
            else:
                acc = matches[0]
                s = states(acc)
                for state, want, said in (
                        (pyatspi.STATE_SHOWING, True, "showing"),
                        (pyatspi.STATE_VISIBLE, True, "visible"),
                        (pyatspi.STATE_CHECKED, want_checked, "checked"),
                        (pyatspi.STATE_FOCUSABLE, True if focusable else None, "focusable")):
                    if want is None:
                        continue
                    (seen if s.contains(state) == want else wrong).append(
                        said if want else "not " + said)
                if want_actions is not None:
                    have = actions(acc)
                    (seen if have == want_actions else wrong).append(
                        "actions %s" % want_actions + ("" if have == want_actions
                                                       else " (it has %s)" % have))
            check(not wrong, "%s %r in %s: %s" % (role_name(r), name, shown(parent),
                                                 ", ".join(seen) + (" -- wrong: " + ", ".join(wrong)
                                                                    if wrong else "")))
        extra = ["%s %r in %s" % (role_name(r), name, shown(parent))
                 for (parent, r, name), accs in nodes.items() for _ in accs]
        check(not extra, "nothing more in the main window (%d objects; more: %s)"
              % (len(found), extra or "none"))
        nameless = ["%s in %s" % (role_name(r), shown(parent))
                    for parent, r, name, _ in found
                    if r is None or not name or r == pyatspi.ROLE_FILLER]
        check(not nameless, "no nameless objects or fillers, none for the hidden picture "
              "stores (%s)" % (nameless or "none"))

        def control(parent, r, name):
            for p, rr, n, acc in found:
                if (p, rr, n) == (parent, r, name):
                    return acc
            return None
        pad = control(FRAME2, PANEL, PAD)
        if pad is not None:
            keys = [k.name for k in pad]
            check(keys == PAD_KEYS, "the pad's children, in order: %s (they are %s)"
                  % (PAD_KEYS, keys))
        options = [control(FRAME2, RB, "qvOption1(%d)" % i) for i in range(3)]
        if None not in options:
            check(sum(is_checked(o) for o in options) == 1, "exactly one option ball checked")

        chk = control(FRAME2, CB, "qvCheck1")
        about = control(CAPTION, PB, "About")
        exit_button = control(CAPTION, PB, "Exit")
        entry = control(FRAME2, TEXT, "Action:")
        if None in [chk, about, exit_button, entry, pad] + options:
            check(False, "the controls the rest of the test uses are there")
            return failures

        # ---- what each control is labelled by: a screen reader reads the first as a label, and
        # as a radio button's group name; the balls' is their frame, as the standard pair's
        def labelled_by(acc):
            targets = []
            for relation in acc.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                    targets += [(role_name(role(relation.getTarget(i))), relation.getTarget(i).name)
                                for i in range(relation.getNTargets())]
            return targets
        standard = [control(FRAME1, RB, "Option1(%d)" % i) for i in range(2)]
        for acc, first in ([(entry, ("label", "Action:")), (chk, ("label", "qvCheck1")),
                            (control(FRAME1, TEXT, "Label1"), ("label", "Label1"))]
                           + [(o, ("panel", FRAME1)) for o in standard]
                           + [(o, ("panel", FRAME2)) for o in options]):
            if acc is not None:
                check(labelled_by(acc)[:1] == [first], "%r is labelled first by %s %r (it is by %s)"
                      % (acc.name, first[0], first[1], labelled_by(acc)))

        # ---- what the pad says of itself
        check(pad.description == PAD_DESCRIPTION, "the pad's description: %r (it is %r)"
              % (PAD_DESCRIPTION, pad.description))

        # ---- a real click on the check box's ball
        ball = tuple(CLIENT_ORIGIN[i] + FRAME2_AT[i] + CHK1_AT[i] + BALL_CENTRE[i] for i in (0, 1))
        check(contains(extents(chk), ball), "the check box's extents %s hold its ball at %s"
              % (extents(chk), ball))
        del events[:]
        xdotool("mousemove", str(ball[0]), str(ball[1]), "click", "1")
        check(wait_for(lambda: is_checked(chk)), "a click on the ball at %s: the check box "
              "is checked" % (ball,))
        check(wait_for(lambda: ("check box", "qvCheck1", 1) in events),
              "... and a screen reader heard it: object:state-changed:checked, 1, from "
              "qvCheck1 (events: %s)" % events)

        # ---- default actions
        del events[:]
        press(chk)
        check(wait_for(lambda: not is_checked(chk)), "the check box's action %r: unchecked again"
              % actions(chk)[0])
        check(wait_for(lambda: ("check box", "qvCheck1", 0) in events),
              "... heard as object:state-changed:checked, 0 (events: %s)" % events)
        for key in pad:
            press(key)
            check(wait_for(lambda: text_of(entry) == key.name),
                  "the action of the pad's key %r: the text box 'Action:' reads %r (it reads %r)"
                  % (key.name, key.name, text_of(entry)))

        del events[:]
        press(options[2])
        check(wait_for(lambda: is_checked(options[2]) and not is_checked(options[0])),
              "qvOption1(2)'s action: it is checked, qvOption1(0) no longer")
        check(sum(is_checked(o) for o in options) == 1, "... and exactly one option ball checked")
        heard = {("radio button", "qvOption1(2)", 1), ("radio button", "qvOption1(0)", 0)}
        check(wait_for(lambda: heard <= set(events)),
              "... both heard: object:state-changed:checked, 1 from qvOption1(2) and 0 from "
              "qvOption1(0) (events: %s)" % events)

        # ---- the pad from the keyboard, as a screen reader follows it: Tab to the pad; each
        # key a key presses takes the focus, pressed while held, and again when pressed once more
        main_window = x_window(CAPTION)
        check(main_window and wait_for(lambda: x_focus() == main_window),
              "the main window has the keyboard")
        del focus_events[:]
        for _ in range(12):
            if wait_for(lambda: ("panel", PAD) in focus_events, timeout=0.5):
                break
            xdotool("key", "Tab")
        check(("panel", PAD) in focus_events,
              "Tab reaches the pad: a focus event from it (events: %s)" % focus_events)
        keys = {k.name: k for k in pad}
        for name in ("Up", "Home", "Home"):
            del focus_events[:]
            xdotool("keydown", name)
            held = wait_for(lambda: ("push button", name) in focus_events and states(keys[name]))
            check(held and held.contains(pyatspi.STATE_FOCUSED) and held.contains(pyatspi.STATE_PRESSED),
                  "%s held: a focus event from the pad's key %r, focused and pressed (events: %s)"
                  % (name, name, focus_events))
            xdotool("keyup", name)
            check(wait_for(lambda: not states(keys[name]).contains(pyatspi.STATE_PRESSED)
                           and text_of(entry) == name),
                  "%s let go: the key no longer pressed, 'Action:' reads it (%r)" % (name, text_of(entry)))

        # ---- the About window
        point = tuple(CLIENT_ORIGIN[i] + ABOUT_AT[i] + ABOUT_POINT[i] for i in (0, 1))
        check(contains(extents(about), point), "the About button's extents %s hold %s"
              % (extents(about), point))
        xdotool("mousemove", str(point[0]), str(point[1]), "click", "1")
        dialog = wait_for(lambda: window_named(ABOUT_CAPTION, pyatspi.ROLE_DIALOG))
        if check(dialog is not None, "a click on About at %s: a showing dialog named %r"
                 % (point, ABOUT_CAPTION)):
            def line(acc):
                if acc.name:
                    return acc.name
                try:
                    return text_of(acc)
                except NotImplementedError:
                    return ""
            lines = [line(c) for c in dialog]
            check(lines == ABOUT_LINES, "its six lines, in order, readable (they are %s)" % lines)
            # Read as it opens: its description is its lines, paragraphs of its text (as loose
            # labels, a screen reader would read them besides, and without the e-mail address).
            check(dialog.description == "\n".join(ABOUT_LINES),
                  "its description is its six lines (it is %r)" % dialog.description)
            kinds = {role_name(role(c)) for c in dialog}
            check(kinds == {"paragraph"}, "... and they are paragraphs, no labels (%s)" % kinds)
            # Escape goes where the keyboard is: wait until that is the About window.
            about_window = wait_for(lambda: x_window(ABOUT_CAPTION))
            check(about_window and wait_for(lambda: x_focus() == about_window),
                  "the About window is viewable and has the keyboard")
            xdotool("key", "Escape")

            def closed():
                for w in app:
                    if (w is not None and role(w) == pyatspi.ROLE_DIALOG
                            and states(w).contains(pyatspi.STATE_SHOWING)):
                        return False
                return True
            gone = wait_for(closed)
            left = [w.name for w in app if w is not None and role(w) == pyatspi.ROLE_DIALOG]
            check(gone, "Escape: no dialog showing any more (%s)" % (
                "the dialog is still listed, not showing" if left else "the dialog is gone"))
            check(states(main).contains(pyatspi.STATE_SHOWING), "the main window still showing")

        # ---- Exit through its action
        try:
            press(exit_button)
        except GLib.GError as error:  # the program may end before it answers
            log("      (the Exit action's call ended with: %s)" % error.message)
        try:
            status = proc.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            status = None
        check(status == 0, "Exit's action: the program ends with status 0 (%s)" % status)
        log("%d checks passed, %d failed, in %.1f s from the program's start"
            % (len(checked), len(failures), time.monotonic() - started))
        return failures
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        pyatspi.Registry.deregisterEventListener(on_checked, "object:state-changed:checked")
        pyatspi.Registry.deregisterEventListener(on_focus, "focus:")


# ---- outside: the X server, the session, and cleaning up --------------------------------

PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36
libc = ctypes.CDLL(None, use_errno=True)


def become_subreaper():
    """Whatever the test starts and leaves without a parent comes back to the test, which waits
    for it; a TERM, HUP or INT ends the test through its cleaning up."""
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")

    def stop(signum, _frame):
        raise SystemExit("stopped by signal %d" % signum)
    for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(sig, stop)


def dies_with_the_test():
    """In a child before it runs its program: ended should the test itself be killed."""
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)


def sessions_of(sids):
    """Processes (pid, name) whose session is one of sids, zombies left out."""
    left = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        if fields[0] != "Z" and int(fields[3]) in sids:
            left.append((int(entry), name))
    return left


def end_group(pgid):
    for sig, grace in ((signal.SIGTERM, 2.0), (signal.SIGKILL, 2.0)):
        try:
            os.killpg(pgid, sig)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + grace
        while time.monotonic() < deadline:
            reap()
            try:
                os.killpg(pgid, 0)
            except ProcessLookupError:
                return
            time.sleep(0.02)


def reap():
    """Waits for every child that has ended, ours or handed to us as the subreaper."""
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def start_xvfb(work):
    """Xvfb on a display it picks itself; (process, display) or (process, None)."""
    read_end, write_end = os.pipe()
    with open(os.path.join(work, "xvfb.log"), "wb") as err:
        xvfb = subprocess.Popen(
            # -noreset: as a desktop's server, it stays as it is when the tools the test runs
            # leave it, rather than resetting under the program.
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=err, start_new_session=True, preexec_fn=dies_with_the_test)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + DEADLINE
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.1)
        if ready:
            chunk = os.read(read_end, 64)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    return xvfb, (":" + number.decode().strip()) if number.endswith(b"\n") else None


def outside(program):
    if not os.access(program, os.X_OK):
        log("FAIL  no program at %s" % program)
        return 1
    for tool in ("Xvfb", "dbus-run-session", "xdotool"):
        if not shutil.which(tool):
            log("FAIL  %s is not installed (scripts/packages-test.txt)" % tool)
            return 1
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        log("FAIL  at-spi2-core is not installed (scripts/packages-test.txt)")
        return 1
    become_subreaper()
    began = time.monotonic()
    work = tempfile.mkdtemp(prefix="quorvel-atspi.")
    runtime_dir = os.path.join(work, "runtime")
    os.mkdir(runtime_dir, 0o700)
    status = 1
    groups = []
    try:
        xvfb, display = start_xvfb(work)
        groups.append(xvfb.pid)
        if display is None:
            log("FAIL  Xvfb gave no display:\n" + open(os.path.join(work, "xvfb.log")).read())
            return 1
        log("Xvfb on %s, 1280x1024, no window manager" % display)
        # A clean environment: nothing of a desktop, a runtime folder of our own (the
        # accessibility bus puts its socket there). dbus-run-session sets the session bus.
        env = {name: os.environ[name] for name in ("PATH", "HOME", "LANG") if name in os.environ}
        env.update(DISPLAY=display, XDG_RUNTIME_DIR=runtime_dir, QT_QPA_PLATFORMTHEME="")
        out_path, err_path = os.path.join(work, "out"), os.path.join(work, "err")
        # Output into files, not pipes: a daemon left behind would hold a pipe open.
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            session = subprocess.Popen(
                ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), INSIDE,
                 program], env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                start_new_session=True, preexec_fn=dies_with_the_test)
        groups.append(session.pid)
        try:
            status = session.wait(timeout=90)
        except subprocess.TimeoutExpired:
            log("FAIL  the session did not end within 90 s")
            status = 1
        with open(out_path) as out:
            sys.stdout.write(out.read())
        if status != 0:
            with open(err_path) as err:
                log("---- the session's error output\n" + err.read())
    finally:
        for pgid in reversed(groups):
            end_group(pgid)
        deadline = time.monotonic() + DEADLINE
        while sessions_of(groups) and time.monotonic() < deadline:
            reap()
            time.sleep(0.05)
        left = sessions_of(groups)
        reap()
        shutil.rmtree(work, ignore_errors=True)
        if left:
            log("FAIL  left behind: %s" % left)
            status = 1
        else:
            log("ok    nothing left behind (X server, buses, registry, program)")
    log("%s in %.1f s" % ("passed" if status == 0 else "FAILED", time.monotonic() - began))
    return status


def main():
    if len(sys.argv) == 3 and sys.argv[1] == INSIDE:
        try:
            failures = inside(sys.argv[2])
        except Exception as error:  # any surprise is a failure, said plainly
            import traceback
            traceback.print_exc(file=sys.stdout)
            failures = [repr(error)]
        sys.exit(1 if failures else 0)
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(outside(sys.argv[1]))


if __name__ == "__main__":
    main()
