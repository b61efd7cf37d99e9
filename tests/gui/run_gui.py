#!/usr/bin/env python3
"""GUI test runner: the real setup.exe driven by gui_driver.exe (tests/gui) in a
throwaway overlay copy of the provisioned test prefix (as the scenario tests make it,
tests/scenario/run_scenario.py), so that the wizard's windows meet no other test's
and nothing the program writes stays behind.

usage:
  run_gui.py run --bits 32|64 --version NAME --tree BUILD/win32
  run_gui.py bench --bits 32|64 --version NAME --tree BUILD/win32 [--runs N] [--nsis EXE]
  run_gui.py shots --bits 32|64 --version NAME --tree BUILD/win32 --out DIR

`run` walks the scenarios of gui_driver.exe: a fresh machine; then, over a real
installation made by engine_driver.exe, the installed face and a removal whose finish
page is closed by its close box, and again one closed by its restart button; and a
frame that cannot be created. Wine 8 answers the restart request
(InitiateSystemShutdownExW) with a FIXME message and TRUE, restarting nothing, not
even the Wine session: the runner turns that message on (WINEDEBUG fixme+advapi) and
checks that the restart button's run asks for the restart, with the reboot flag and
the planned-reconfiguration reason, and that no other run does.
`bench` prints the start-up times of gui_driver.exe's bench (never asserted).
`shots` saves a PNG of every page (under `wine explorer /desktop`, so that Wine draws
the window frames), cropped to the wizard's window.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "scenario"))
sys.dont_write_bytecode = True  # no cache beside the sources
# The overlay machine and the prefixes, as the scenario tests make them.
from machine import (REPO, VERSION_CODES, Machine, base_prefix,  # noqa: E402
                     unmanaged_windows, windows_path)

SHUTDOWN = "InitiateSystemShutdownExW"
# No machine name, no message, no time-out, applications not forced, reboot, and the
# planned-reconfiguration reason.
RESTART_ASKED = re.compile(
    r"fixme:advapi:InitiateSystemShutdownExW \(null\) L\"\" 0 0 1 0x80020004")
# The command line of the welcome page's wide button, as Wine's process trace shows it:
# control.exe of the system folder by its full path, never an associated program.
SETTINGS = re.compile(r'CreateProcessInternalW app \S+ cmdline L"\\"C:\\\\windows\\\\(system32|syswow64)\\\\control\.exe\\" input\.dll"',
                      re.I)
INSTALL = ["install", "--no-wait", "--variant", "0", "--decimal", "0", "--final", "1",
           "--desktop", "0", "--language", "0409", "--default", "0"]


class Run:
    def __init__(self, args, layers):
        self.args = args
        self.machine = Machine(args, args.name, layers)
        self.machine.set_version(args.version)
        unmanaged_windows(self.machine)
        # The restart request's FIXME, and every process started (the settings
        # program must start only when its button is pressed, never here).
        self.machine.env["WINEDEBUG"] = "-all,fixme+advapi,trace+process"
        self.failed = []

    def exe(self, name):
        return windows_path(os.path.join(self.args.tree, name))

    def wine(self, what, program, *arguments):
        start = time.time()
        rc, out = self.machine.wine(program, *arguments)
        print("== %s (%.1f s, exit %d)\n%s" % (what, time.time() - start, rc, out.rstrip()))
        sys.stdout.flush()
        if rc != 0:
            self.failed.append(what)
        return out

    def expect(self, ok, what):
        print("%s: %s" % ("ok" if ok else "FAILED", what))
        if not ok:
            self.failed.append(what)


def run(args):
    layers = [os.path.join(args.tree, "scenario", "layer%d" % args.bits), base_prefix(args.bits)]
    r = Run(args, layers)
    driver, setup = r.exe("gui_driver.exe"), r.exe("setup.exe")
    try:
        out = r.wine("fresh", driver, "fresh", setup)
        r.expect(SHUTDOWN not in out, "no restart asked after Yes to the close question")
        for how in ("close", "restart"):
            r.wine("a recorded installation", r.exe("engine_driver.exe"), *INSTALL)
            out = r.wine("installed-" + how, driver, "installed-" + how, setup)
            started = len(SETTINGS.findall(out))
            r.expect(started == 1, "the wide button, not Escape, starts the system's control.exe "
                     "input.dll (started %d times)" % started)
            if how == "restart":
                r.expect(RESTART_ASKED.search(out) is not None,
                         "the restart button asks Windows to restart (reboot, planned reason)")
            else:
                r.expect(SHUTDOWN not in out, "the finish page's close box asks no restart")
        out = r.wine("no-frame", driver, "no-frame", setup, r.exe("refuse_frame_hook.dll"))
    finally:
        r.machine.close()
    print("%s: %d failed%s" % (args.name, len(r.failed), "".join("\n  " + f for f in r.failed)))
    return 1 if r.failed else 0


def bench(args):
    r = Run(args, [base_prefix(args.bits)])
    programs = [r.exe("setup.exe"), r.exe("bare_window.exe")]
    if args.nsis:
        programs.append(windows_path(args.nsis))
    try:
        r.wine("bench", r.exe("gui_driver.exe"), "bench", str(args.runs), *programs)
    finally:
        r.machine.close()
    return 1 if r.failed else 0


def shots(args):
    """The driver's walks ask for a picture by writing shot.request (name and the
    window's rectangle) and wait until the file is gone."""
    os.makedirs(args.out, exist_ok=True)
    layers = [os.path.join(args.tree, "scenario", "layer%d" % args.bits), base_prefix(args.bits)]
    r = Run(args, layers)
    request = os.path.join(r.machine.dir, "shot.request")
    setup = r.exe("setup.exe")
    try:
        walks = [["shots-fresh", setup, windows_path(request)]]
        walks += [["shots-installed", setup, windows_path(request), lang] for lang in "01"]
        for walk_args in walks:
            if walk_args[0] == "shots-installed":
                r.wine("a recorded installation", r.exe("engine_driver.exe"), *INSTALL)
            if not r.machine.up:
                r.machine.boot()
            walk = subprocess.Popen(["wine", "explorer", "/desktop=shot,1024x768",
                                     r.exe("gui_driver.exe"), *walk_args],
                                    env=r.machine.env, stdin=subprocess.DEVNULL)
            deadline = time.time() + 120
            while time.time() < deadline:
                if os.path.exists(request) and os.path.getsize(request) > 0:
                    time.sleep(0.05)  # the driver closes the file it wrote
                    with open(request) as f:
                        words = f.read().split()
                    os.remove(request) if words[0] == "done" else None
                    if words[0] == "done":
                        break
                    name, x, y, w, h = words
                    png = os.path.join(args.out, name + ".png")
                    subprocess.run(["import", "-silent", "-window", "root", "-crop",
                                    "%sx%s+%s+%s" % (w, h, x, y), "+repage", "-strip",
                                    "-define", "png:exclude-chunks=date,time", png], check=True)
                    print("saved", png)
                    os.remove(request)
                time.sleep(0.05)
            else:
                r.expect(False, "the walk %s ended" % walk_args[0])
            walk.wait(timeout=60)
    finally:
        r.machine.close()
    return 1 if r.failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("command", choices=["run", "bench", "shots"])
    parser.add_argument("--bits", type=int, choices=[32, 64], required=True)
    parser.add_argument("--version", choices=sorted(VERSION_CODES), default="win7")
    parser.add_argument("--tree", required=True, help="the win32 build tree")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--nsis", help="an NSIS installer to time beside setup.exe")
    parser.add_argument("--out", default=os.path.join(REPO, "docs", "screenshots"))
    args = parser.parse_args()
    args.tree = os.path.abspath(args.tree)
    args.out = os.path.abspath(args.out)
    args.name = "gui-%s.%d.%s" % (args.command, args.bits, args.version)
    # Mounts need a namespace of their own: they vanish with its last process.
    if os.environ.get("KESTREL_SCENARIO_NAMESPACE") != args.name:
        os.environ["KESTREL_SCENARIO_NAMESPACE"] = args.name
        os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount",
                              sys.executable, *sys.argv])
    # Ends (and stops its Wine) before ctest's timeout would kill it and leave Wine running.
    signal.signal(signal.SIGALRM, lambda *_: sys.exit("%s: out of time" % args.name))
    signal.alarm(280)
    start = time.time()
    rc = {"run": run, "bench": bench, "shots": shots}[args.command](args)
    print("%s took %.1f s" % (args.name, time.time() - start))
    return rc


if __name__ == "__main__":
    sys.exit(main())
