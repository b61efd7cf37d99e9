"""The engine's benchmark: a full install's time through the engine driver, and that
time less what other processes took, read from a Wine trace."""
import os
import re
import statistics
import sys

from machine import Machine, base_prefix, windows_path
from product import Env
from scenarios import A


def outside_time(trace):
    """Milliseconds of a driver run spent outside the engine, from a Wine trace
    (+timestamp,+process,+debugstr) between the driver's two marks: each process
    started (Wine's shell starts its menu builder for every shortcut saved; the
    system command runs the script) until the engine's thread does anything else."""
    events, inside = [], False
    for line in trace.splitlines():
        m = re.match(r"(\d+\.\d+):(\w+):", line)
        if not m:
            continue
        if "engine: sequence starts" in line:
            inside, thread = True, m.group(2)
        if inside and m.group(2) == thread:
            events.append((float(m.group(1)), "CreateProcessInternalW" in line
                           or "NtCreateUserProcess" in line))
        if "engine: sequence ends" in line:
            break
    return sum((later[0] - at) * 1000 for (at, spawn), later in zip(events, events[1:]) if spawn)


def bench(args):
    """The engine's own time for a full install without the fixed waits: install and
    remove in turn in one prefix; the install's time as the driver reports it, and
    that time less what other processes took (Wine's menu builder, the system command)."""
    if args.runs < 1:
        sys.exit("bench: --runs must be 1 or more")
    env = Env(args)
    layers = [os.path.join(args.tree, "scenario", "layer%d" % args.bits), base_prefix(args.bits)]
    machine = Machine(args, args.name, layers)
    machine.set_version(args.version)
    machine.env["WINEDEBUG"] = "+timestamp,+process,+debugstr"
    times, own = [], []
    try:
        for _ in range(args.runs):
            for op in ("install", "remove"):
                choices = A.args() if op == "install" else []
                rc, out = machine.wine(windows_path(env.driver), op, "--no-wait", *choices)
                ms = re.search(r"ms=(\d+)", out)
                if rc != 0 or not ms:
                    print("bench: %s failed: %s" % (op, out.strip()[-2000:]))
                    return 1
                if op == "install":
                    times.append(int(ms.group(1)))
                    own.append(times[-1] - outside_time(out))
    finally:
        machine.close()
    print("bench %d-bit %s, --no-wait, median of %d runs: full install %d ms (min %d, max %d); "
          "the engine's own part %d ms (min %d, max %d)"
          % (args.bits, args.version, len(times), statistics.median(times), min(times),
             max(times), statistics.median(own), min(own), max(own)))
    return 0
