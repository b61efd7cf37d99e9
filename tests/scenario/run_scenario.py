#!/usr/bin/env python3
"""Scenario runner: the install engine's steps (tests/scenario/EngineDriver.cpp) in a
throwaway copy of a provisioned Wine prefix, with a restart of "Windows" after every
step, and after every step the registry, the files and what the system command was
given, checked value by value against the table of the scenario.

usage:
  run_scenario.py provision --bits 32|64 --tree BUILD/win32
  run_scenario.py run SCENARIO --bits 32|64 --version NAME --tree BUILD/win32 --tree64 BUILD/win64
  run_scenario.py bench --bits 32|64 --version NAME --tree ... --tree64 ... [--runs N]

The provisioned prefix is an overlay layer over the test prefix (build/wine/prefixNN):
the system's layout list, the scan-code map's key, the per-user toggle and preload
keys, and control_capture.exe in the system folders as control.exe. Each scenario
mounts that layer and the prefix read-only under an upper folder of its own (in a
mount namespace of its own), so Wine may write anything in place and the provisioned
prefix never changes. A restart is `wineserver -k; wineserver -w` and the next Wine
start: Wine then carries out the pending renames and runs the RunOnce values.
The registry is read from the prefix's .reg files while the wineserver is down;
scenario_check.exe does what needs Windows (layout libraries, shortcuts). A Polish
user's steps run under a Polish locale that `provision` makes in the build tree: Wine
takes the user's language from it, and names files in UTF-8 only under a UTF-8 locale.

The work is in the modules beside this entry point: machine.py (the Wine machine),
registry_files.py (Wine's .reg files), product.py (what the product makes and where),
expectations.py (what a step must leave, and the checks), steps.py (a scenario's steps
and their runner), scenarios.py (the scenarios' tables), provision.py and bench.py.
"""
import argparse
import os
import sys
import time

sys.dont_write_bytecode = True  # no cache beside the sources
from bench import bench  # noqa: E402
from machine import REPO, VERSION_CODES, own_namespace  # noqa: E402
from provision import provision  # noqa: E402
from scenarios import SCENARIOS  # noqa: E402
from steps import run_steps  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("command", choices=["provision", "run", "bench"])
    parser.add_argument("scenario", nargs="?", choices=sorted(SCENARIOS))
    parser.add_argument("--bits", type=int, choices=[32, 64], required=True)
    parser.add_argument("--version", choices=sorted(VERSION_CODES), default="win7")
    parser.add_argument("--tree", required=True, help="the win32 build tree")
    parser.add_argument("--tree64", help="the win64 build tree (64-bit checks)")
    parser.add_argument("--documents", help="the folder of the payload's documents "
                        "(default: TREE/documents; the x86_64 engine tree takes the win32 tree's)")
    parser.add_argument("--layout-tool", default=os.path.join(REPO, "build", "host", "kestrel-layout"),
                        help="the host build's kestrel-layout, which reads layout files as Windows does")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    args.tree = os.path.abspath(args.tree)
    args.tree64 = os.path.abspath(args.tree64) if args.tree64 else None
    args.name = "%s.%d.%s" % (args.scenario or args.command, args.bits, args.version)
    own_namespace(args.name, 540)
    start = time.time()
    if args.command == "provision":
        rc = provision(args)
    elif args.command == "bench":
        rc = bench(args)
    else:
        steps, choices = SCENARIOS[args.scenario](args.bits, args.version)
        rc = run_steps(args, steps, *choices)
    print("%s took %.1f s" % (args.name, time.time() - start))
    return rc


if __name__ == "__main__":
    sys.exit(main())
