#!/usr/bin/env python3
"""Start to first frame on a real X server (a private Xvfb): Quorvel against the bare Qt program
with the same standard widgets, and an empty Qt window for the floor.

  firstframe_x11.py BUILD_DIR [ROUNDS]

Each program ends itself once its first frame is painted. The three run interleaved, ROUNDS
times each (40 by default); the figures are medians of the wall time from exec to exit and of
the peak resident memory. Then callgrind counts the instructions of one run of each, and of
Quorvel built with only its own face's font folder in its font configuration, and lists the top entries of Quorvel's run.
"""
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

def start_xvfb():
    read, write = os.pipe()
    # -noreset: as on a desktop, where other clients are always connected, the server does not
    # start afresh each time its last client leaves (which would make the next start wait).
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    deadline = time.monotonic() + 15
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    if not number.strip():
        server.kill()
        sys.exit("firstframe_x11: Xvfb did not start")
    return server, ":" + number.decode().strip()


def run_once(program, env):
    start = time.perf_counter()
    child = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"firstframe_x11: {program} ended with status {child.returncode}")
    return elapsed * 1000, usage.ru_maxrss


def instructions(program, env, out):
    result = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}", program],
                            env=env, capture_output=True, text=True)
    found = re.search(r"Collected : (\d+)", result.stderr)
    return int(found.group(1)) if found else 0


def top_entries(out, count=12):
    result = subprocess.run(["callgrind_annotate", "--inclusive=no", out], capture_output=True, text=True)
    lines = [l for l in result.stdout.splitlines() if re.match(r"^\s*[\d,]+ \(", l)]
    return lines[1:count + 1]  # the first is the program's total


def main():
    build = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    programs = {"empty": os.path.join(build, "empty"), "bare": os.path.join(build, "bare"),
                "Quorvel": os.path.join(build, "quorvel_firstframe")}
    server, display = start_xvfb()
    work = tempfile.mkdtemp(prefix="quorvel-bench-")
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    env = {"PATH": os.environ["PATH"], "HOME": os.environ.get("HOME", "/root"), "DISPLAY": display,
           "QT_QPA_PLATFORM": "xcb", "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent",
           "XDG_RUNTIME_DIR": runtime, "LANG": "C.UTF-8"}
    try:
        for program in programs.values():  # warm the caches once
            run_once(program, env)
        times = {name: [] for name in programs}
        memory = {name: [] for name in programs}
        order = list(programs.items())
        for round_number in range(rounds):
            # Interleaved, each in every place of the order in turn.
            shift = round_number % len(order)
            for name, program in order[shift:] + order[:shift]:
                ms, kib = run_once(program, env)
                times[name].append(ms)
                memory[name].append(kib)
        median = {name: statistics.median(times[name]) for name in programs}
        peak = {name: statistics.median(memory[name]) for name in programs}
        print(f"wall time, exec to first frame (median of {rounds}, interleaved):")
        for name in programs:
            q1, _, q3 = statistics.quantiles(times[name], n=4)
            print(f"  {name:8} {median[name]:6.1f} ms  (quartiles {q1:.1f} to {q3:.1f})")
        print(f"  Quorvel / bare: {median['Quorvel'] / median['bare']:.3f} (aim 0.90)")
        print("peak memory (median):")
        for name in programs:
            print(f"  {name:8} {peak[name] / 1024:6.1f} MiB")
        print(f"  Quorvel - bare: {peak['Quorvel'] - peak['bare']:+.0f} KiB (aim at most +1024)")

        counts = {name: instructions(program, env, os.path.join(work, f"callgrind.{name}"))
                  for name, program in programs.items()}
        own_only = instructions(os.path.join(build, "quorvel_firstframe_ownfonts"), env,
                                os.path.join(work, "callgrind.own"))
        print("instructions to the end of the first paint (callgrind):")
        for name in programs:
            print(f"  {name:8} {counts[name]:>12,}")
        print(f"  Quorvel / bare: {counts['Quorvel'] / counts['bare']:.3f} (aim 0.80)")
        print(f"  Quorvel with only its own font folder: {own_only:,} ({own_only / counts['bare']:.3f} of bare)")
        print("Quorvel's top entries (self):")
        for line in top_entries(os.path.join(work, "callgrind.Quorvel")):
            print("  " + line.strip())
    finally:
        server.terminate()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
