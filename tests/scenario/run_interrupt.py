#!/usr/bin/env python3
"""Interruption campaign: each sequence (a fresh install, an install over a recorded
installation, an update only, a removal, the removal of one of two counted
installations) ended at each change it makes to the machine: the engine driver's
process ends at once before or after the Nth change (as a power cut or Task Manager
leaves it), or the change fails as on a full disk or a denied write. Then the machine
restarts and the next run does what the wizard would offer: Remove when its installed
face shows, else Install. An install must leave exactly what a clean install leaves,
and the removals after it exactly the machine before the first install (both hives,
every file on drive C, nothing left to rename at the restart).

One Wine session per entry; the restart is Wine's own (wineboot -r: the pending renames,
then RunOnce). A point that passes leaves the machine as it was before the first
install, so the next point starts from there; after a failing one the session starts
again from the prefix.

usage: run_interrupt.py --bits 32|64 --version NAME --tree BUILD/win32 --tree64 BUILD/win64
        [--sequences fresh,over,update,remove,remove-one] [--faults cut-before,cut-after,fail]
        [--share K,L.../N] [--nested K/N] [--as-x86]
   --as-x86: (64-bit prefix only) the engine reads the machine as a 32-bit x86 Windows and
      takes that system's choices: the x86 library in the system folder, no WOW64 copy
   --share: the points whose number modulo N is K, L, ... (default all)
   --nested: of those, every point whose number modulo N is K also cuts the recovery run
"""
import hashlib
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True  # no cache beside the sources
from machine import WINE_VOLATILE, own_namespace, read_bytes, windows_path  # noqa: E402
from run_damage import (SCRIPT_FOLDER, SESSION, TOGGLE, Campaign, campaign_parser,  # noqa: E402
                        hive_blocks, values_of)
from scenarios import A, B  # noqa: E402

CUT_EXIT = 99
CHOICES = ["--final", "1", "--desktop", "1", "--language", "0415", "--default", "1"]
INSTALL = {"A": ["install", "--no-wait", *A.args(), *CHOICES],
           "B": ["install", "--no-wait", *B.args(), *CHOICES]}
UPDATE_B = ["update", "--no-wait", *B.args()]
REMOVE = ["remove", "--no-wait", "--if-offered"]
# Each sequence: the state it starts from (installed with A, and the counters of a second
# installation), the run that is interrupted, and the options a recovering install uses.
SEQUENCES = {
    "fresh": (None, INSTALL["A"], "A"),
    "over": ("A", INSTALL["B"], "B"),
    "update": ("A", UPDATE_B, "B"),
    "remove": ("A", REMOVE, "A"),
    "remove-one": ("A2", REMOVE, "A"),
}
FAULTS = {"cut-before": ["--cut-before"], "cut-after": ["--cut-after"],
          "fail": ["--fail-with", "disk", "--fail"], "fail-denied": ["--fail-with", "denied", "--fail"]}
# Files whose bytes carry the time they were made: compared by size.
BY_SIZE = re.compile(r".*\.lnk$")


class Machine:
    """The campaign's Wine session: runs, restarts and snapshots through scenario_check."""
    def __init__(self, args):
        self.args = args
        self.campaign = Campaign(args)
        self.driver = windows_path(self.campaign.env.driver)
        self.runs = 0

    def run(self, *command):
        """(exit code, output) of one program run in the session. Each run writes a
        file of its own: a process a cut run started (the input-language command) may
        still hold the one it was given."""
        self.runs += 1
        output = os.path.join(self.campaign.machine.dir, "driver-%d.txt" % self.runs)
        line = " ".join('"%s"' % a for a in command)
        self.campaign.scenario_check(["run\t%s\t%s\t%s" % (self.campaign.cwd,
                                                          windows_path(output), line)])
        with open(output, encoding="utf-8", errors="replace") as f:
            out = f.read()
        os.remove(output)
        code = re.search(r"\nexit (\d+)\n$", out)
        return (int(code.group(1)) if code else -1), out

    def drive(self, *args):
        arch = ["--as-arch", "0"] if self.args.as_x86 else []
        return self.run(self.driver, *args, *arch)

    def restart(self):
        # Wine's restart can fail to start while a process of the cut run is still
        # ending: a few tries, a second apart.
        for attempt in range(3):
            rc, out = self.run("C:\\windows\\system32\\wineboot.exe", "-r")
            if rc == 0:
                return
            print("note: wineboot -r ended %d (try %d)" % (rc, attempt + 1))
            time.sleep(1)
        raise AssertionError("wineboot -r: " + out)

    def snapshot(self):
        """(machine hive, user hive, {file: (size, mtime)}) as they are now."""
        lines, files = self.campaign.save()
        self.campaign.scenario_check(lines)
        machine, user = (hive_blocks(f) for f in files)
        return machine, user, self.campaign.drive()

    def close(self):
        self.campaign.machine.close()


def content(machine, path):
    data = read_bytes(machine.campaign.host(path))
    if data is None:
        return None
    return len(data) if BY_SIZE.match(path) else hashlib.sha1(data).hexdigest()


class Reference:
    """A state to reach: the snapshot and the content of every file that differs from
    the machine before the first install."""
    def __init__(self, machine, snap, pristine):
        self.snap = snap
        drive = snap[2]
        self.contents = {p: content(machine, p) for p in drive
                         if pristine is None or pristine.snap[2].get(p) != drive[p]}


def differences(machine, ref, snap):
    """What differs between a reference state and the machine now (at most 12 lines)."""
    out = []
    for index, hive in enumerate(("machine", "user")):
        was, now = ref.snap[index], snap[index]
        for key in sorted(set(was) | set(now)):
            if was.get(key) == now.get(key) or WINE_VOLATILE.match(key):
                continue
            old, new = values_of(was, key), values_of(now, key)
            if old is None or new is None:
                out.append("the %s key %s is %s" % (hive, key, "missing" if new is None
                                                    else "there"))
                continue
            for name in sorted(set(old) | set(new), key=str):
                if old.get(name) != new.get(name):
                    out.append("%s\\%s is %r, expected %r" % (key, name, new.get(name),
                                                             old.get(name)))
    was, now = ref.snap[2], snap[2]
    for path in sorted(set(was) | set(now)):
        # An input-language script whose process ended between making its private
        # folder and asking the restart to delete it stays in the temporary folder.
        if path not in was and SCRIPT_FOLDER.match(path):
            continue
        if path not in now:
            out.append("%s is missing" % path)
        elif path not in was:
            out.append("%s is there" % path)
        elif path in ref.contents:
            if content(machine, path) != ref.contents[path]:
                out.append("%s differs" % path)
        elif was[path] != now[path]:
            out.append("%s changed" % path)
    pending = (values_of(snap[0], SESSION) or {}).get("pendingfilerenameoperations")
    if pending:
        out.append("renames left for a further restart: %s" % pending)
    return out[:12]


class Points:
    def __init__(self, args):
        self.args, self.machine = args, None
        self.tried = self.survived = 0
        self.counts = {}

    def fresh_machine(self):
        if self.machine is not None:
            self.machine.close()
        self.machine = Machine(self.args)
        self.machine.restart()  # the boot every later point's snapshot follows
        return self.machine

    def reach(self, start):
        """From the machine before the first install to a sequence's start."""
        m = self.machine
        if start is None:
            return
        rc, out = m.drive(*INSTALL["A"])
        assert rc == 0, "the installation a sequence starts from failed: " + out
        m.restart()
        if start == "A2":  # a second installation counted in the record
            product = "%s\\Kestrel Keyboards\\Kestrel" % m.campaign.env.software
            m.campaign.scenario_check([
                "set\tHKLM\t%s\tInstallCount\t4\t02000000" % product,
                "set\tHKLM\t%s\\Documents\\1.8\tGuideUseCount\t4\t02000000" % product])

    def removal_offered(self, nested=None):
        rc, out = self.machine.drive(*REMOVE, *(nested or []))
        return rc, out, "not offered" not in out

    def prepare(self):
        """The references: the machine before the first install, a clean install of each
        option set, and each sequence's number of changes."""
        m = self.fresh_machine()
        self.pristine = Reference(m, m.snapshot(), None)
        self.clean = {}
        for name in ("A", "B"):
            rc, out = m.drive(*INSTALL[name])
            assert rc == 0, out
            m.restart()
            self.clean[name] = Reference(m, m.snapshot(), self.pristine)
            self.drain()
            # The install turns the user's switching shortcuts off and no removal turns
            # them back on: after the first removal that is the machine to return to.
            faults = [f for f in differences(m, self.pristine, m.snapshot())
                      if not f.startswith(TOGGLE + "\\")]
            assert not faults, "a clean removal left: %s" % faults
            self.pristine = Reference(m, m.snapshot(), None)
        for sequence in self.args.sequences:
            start, command, _ = SEQUENCES[sequence]
            self.reach(start)
            rc, out = m.drive(*command, "--trace-changes")
            found = re.search(r" changes=(\d+)", out)
            assert rc == 0 and found, "%s: %s" % (sequence, out)
            self.counts[sequence] = int(found.group(1))
            m.restart()
            self.drain()
            faults = differences(m, self.pristine, m.snapshot())
            assert not faults, "%s, then the removals, left: %s" % (sequence, faults)

    def drain(self):
        """Removes while the wizard offers Remove (at most four times); the faults."""
        for _ in range(4):
            rc, out, offered = self.removal_offered()
            if not offered:
                return [] if rc == 2 else ["the check for Remove ended %d: %s" % (rc, out[-300:])]
            if rc != 0:
                return ["a removal failed (%d): %s" % (rc, out[-300:])]
            self.machine.restart()
        return ["Remove is still offered after four removals"]

    def point(self, sequence, fault, at, nested):
        """One interruption and the recovery; the faults found."""
        m, faults = self.machine, []
        start, command, options = SEQUENCES[sequence]
        self.reach(start)
        rc, out = m.drive(*command, *FAULTS[fault], str(at))
        # A run may make a change fewer than the counting run did (the input-language
        # command's process may have ended, or not, when the wait ends): a point past
        # its end is no cut, and its recovery is checked all the same.
        made = re.search(r" changes=(\d+)", out)
        if fault.startswith("cut") and rc != CUT_EXIT and not (
                rc == 0 and made and int(made.group(1)) < at):
            faults.append("not cut (exit %d): %s" % (rc, out[-300:]))
        elif fault.startswith("fail") and rc not in (0, 1):
            faults.append("the failed change ended the run with %d: %s" % (rc, out[-300:]))
        m.restart()
        if nested:  # the recovery interrupted too, then recovered from
            if not self.removal_offered(nested)[2]:
                m.drive(*INSTALL[options], *nested)
            m.restart()
        rc, out, offered = self.removal_offered()
        if offered:
            if rc != 0:
                faults.append("the removal after it failed (%d): %s" % (rc, out[-300:]))
            m.restart()
        else:
            rc, out = m.drive(*INSTALL[options])
            if rc != 0:
                faults.append("the install after it failed (%d): %s" % (rc, out[-300:]))
            m.restart()
            faults += ["after the install: " + f
                       for f in differences(m, self.clean[options], m.snapshot())]
        faults += self.drain()
        faults += ["after the removal: " + f
                   for f in differences(m, self.pristine, m.snapshot())]
        return faults

    def campaign(self):
        shares, parts = self.args.share
        nested_k, nested_n = self.args.nested
        for sequence in self.args.sequences:
            survived = tried = nested_tried = 0
            for fault in self.args.faults:
                for at in range(1, self.counts[sequence] + 1):
                    if at % parts not in shares:
                        continue
                    nested = None
                    if nested_n and at % nested_n == nested_k:
                        nested = ["--cut-after", str(1 + at * 7 % 23)]
                    faults = self.point(sequence, fault, at, nested)
                    tried += 1
                    nested_tried += nested is not None
                    for f in faults:
                        print("FAULT [%s, %s %d%s] %s" % (sequence, fault, at,
                                                          ", nested" if nested else "", f))
                    if faults:
                        self.fresh_machine()
                    else:
                        survived += 1
            print("interrupt %s %s %s: %d changes, %d points tried (%d nested), %d survived"
                  % (entry_name(self.args), self.args.version, sequence, self.counts[sequence],
                     tried, nested_tried, survived))
            sys.stdout.flush()
            self.tried += tried
            self.survived += survived


def entry_name(args):
    return "x86 (as the 64-bit engine reads it)" if args.as_x86 else "%d-bit" % args.bits


def main():
    parser = campaign_parser(__doc__.split("\n")[0])
    parser.add_argument("--sequences", default=",".join(SEQUENCES))
    parser.add_argument("--faults", default="cut-before,cut-after,fail")
    parser.add_argument("--share", default="0/1")
    parser.add_argument("--nested", default="0/0")
    parser.add_argument("--as-x86", action="store_true")
    args = parser.parse_args()
    assert not args.as_x86 or args.bits == 64, "--as-x86 runs in the 64-bit prefix"
    args.tree, args.tree64 = os.path.abspath(args.tree), os.path.abspath(args.tree64)
    args.sequences = args.sequences.split(",")
    args.faults = args.faults.split(",")
    assert all(s in SEQUENCES for s in args.sequences) and all(f in FAULTS for f in args.faults)
    args.name = "interrupt.%d.%s%s.%s.%s" % (args.bits, args.version, ".x86" * args.as_x86,
                                             args.share.replace("/", "-").replace(",", "+"),
                                             "+".join(args.sequences))
    shares, parts = args.share.split("/")
    args.share = ({int(k) for k in shares.split(",")}, int(parts))
    args.nested = tuple(int(n) for n in args.nested.split("/"))
    own_namespace(args.name, 3500)
    start = time.time()
    points = Points(args)
    try:
        points.prepare()
        points.campaign()
    finally:
        if points.machine is not None:
            points.machine.close()
    took = time.time() - start
    print("interrupt %s %s: %d points tried, %d survived; %d runs in %.1f s"
          % (entry_name(args), args.version, points.tried, points.survived,
             points.machine.runs if points.machine else 0, took))
    return 0 if points.tried == points.survived else 1


if __name__ == "__main__":
    sys.exit(main())
