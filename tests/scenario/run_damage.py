#!/usr/bin/env python3
"""Damage campaign: the state an earlier installation left (the product record with its
document and layout sub-records, the system's layout entry, the scan-code map, the
per-user values), damaged one way at a time, each state run through the engine driver
twice: detection then install, and detection then removal.

For every run: no crash; nothing outside the product's folders and its layout libraries
created, changed or removed (both hives and drive C compared before and after, and the
renames left for the restart); and the result matches what was done: a removal not
offered changes nothing, a removal that succeeded took away every file that the removed
part of the record named in the product's folders, and an install that succeeded left a
record naming files that are there.

One Wine session per configuration, for throughput: between runs the files are put back
from a copy and the registry by scenario_check.exe, which in the same process saves both
hives (before and after each run) in the registry files' form.

usage: run_damage.py --bits 32|64 --version NAME --tree BUILD/win32 --tree64 BUILD/win64
                     [--share K,L.../N]   (the states whose index modulo N is K, L, ...)
"""
import argparse
import ntpath
import os
import re
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True  # no cache beside the sources
from expectations import UNINSTALL_ENTRY, read_calls  # noqa: E402
from machine import (REPO, VERSION_CODES, WINE_VOLATILE, Machine, base_prefix,  # noqa: E402
                     drive_files, own_namespace, read_bytes, windows_path)
from product import (DOCUMENT_VALUES, KLID, LANGUAGES, LAYOUT_VALUES, PRODUCT_VALUES,  # noqa: E402
                     SYSTEM, Env)
from registry_files import parse_registry  # noqa: E402
from scenarios import A, B  # noqa: E402

MISSING = object()  # the value or key is not there
ENTRY = "system\\currentcontrolset\\control\\keyboard layouts\\" + KLID
KEYBOARD = "system\\currentcontrolset\\control\\keyboard layout"
SESSION = "system\\currentcontrolset\\control\\session manager"
TOGGLE = "keyboard layout\\toggle"
# The private folder of an input-language script (text 47, the process id,
# a counter) and its file: kept until the restart the sequence asks for.
SCRIPT_FOLDER = re.compile(r"c:\\windows\\temp\\kst[0-9a-f]+-[0-9]+(\\|$)")
# The record's path values (lower case) and the items they name.
ITEMS = {v.lower(): i for v, i in {**PRODUCT_VALUES, **DOCUMENT_VALUES,
                                   **LAYOUT_VALUES}.items()}
PATH_VALUES = set(ITEMS)
# A valid map: Caps Lock sends left Ctrl, left Windows is switched off.
GOOD_MAP = struct.pack("<6I", 0, 0, 3, 0x003A001D, 0xE05B0000, 0)
SYSTEM_FILES = [SYSTEM + "\\user32.dll", "C:\\windows\\win.ini",
                SYSTEM + "\\drivers\\etc\\hosts"]
OWN_TYPE = {"t": 1, "p": 1, "n": 4, "b": 3, "m": 3}


class Raw:
    """A value of any type, as its bytes."""
    def __init__(self, kind, data):
        self.kind, self.data = kind, data


def utf16(text):
    return text.encode("utf-16-le")


def with_count(count):
    return GOOD_MAP[:8] + struct.pack("<I", count) + GOOD_MAP[12:]


def huge(cls, value):
    """1 MiB of the value's own type: text without a zero, a map claiming all of it."""
    if cls == "m":
        return Raw(3, with_count(0x40000) + bytes((1 << 20) - 16))
    return Raw(OWN_TYPE[cls], utf16("A") * (1 << 19))


def name_of(path):
    return path.rsplit("\\", 1)[-1] or "x"


# The damage kinds: name, the classes of value they apply to (t text, p path, n number,
# b binary, m scan-code map, k key), and the damaged value from (class, value):
# a value, Raw bytes of a type, or MISSING. Path kinds name files outside the product's
# folders that the runner makes first (bait), so that touching them shows.
KINDS = [
    ("missing", "tpnbmk", lambda c, v: MISSING),
    ("extra sub-key", "k", lambda c, v: "extra"),
    ("as number", "tpbm", lambda c, v: 1),
    ("as text", "nbm", lambda c, v: "1"),
    ("as binary", "tpn", lambda c, v: b"\1\0\0\0"),
    ("as multi-string", "tpnbm", lambda c, v: Raw(7, utf16("a\0b\0\0"))),
    ("as expandable", "tp", lambda c, v: Raw(2, utf16("%SystemRoot%\\win.ini\0"))),
    ("as none", "tpnbm", lambda c, v: Raw(0, b"")),
    ("as qword", "n", lambda c, v: Raw(11, struct.pack("<Q", 1 << 32 | 1))),
    ("size 0", "tpnbm", lambda c, v: Raw(OWN_TYPE[c], b"")),
    ("size 1", "tpnbm", lambda c, v: Raw(OWN_TYPE[c], b"A")),
    ("size odd", "tpnbm", lambda c, v: Raw(OWN_TYPE[c], b"A\0B")),
    ("unterminated", "tp", lambda c, v: Raw(1, utf16(v))),
    ("size 1 MiB", "tpnbm", lambda c, v: huge(c, v)),
    ("count 0", "nm", lambda c, v: with_count(0) if c == "m" else 0),
    ("count 1", "nm", lambda c, v: with_count(1) if c == "m" else 1),
    ("count 0x7FFFFFFF", "nm", lambda c, v: with_count(0x7FFFFFFF) if c == "m" else 0x7FFFFFFF),
    ("count 0xFFFFFFFF", "nm", lambda c, v: with_count(0xFFFFFFFF) if c == "m" else 0xFFFFFFFF),
    ("path empty", "p", lambda c, v: ""),
    ("path relative", "p", lambda c, v: "kestrel-bait\\" + name_of(v)),
    ("path with ..", "p", lambda c, v: v.rsplit("\\", 1)[0] + "\\.." * v.count("\\")
     + "\\kestrel-bait\\" + name_of(v)),
    ("path outside", "p", lambda c, v: "C:\\users\\Public\\Documents\\" + name_of(v)),
    ("path to a system file", "p", lambda c, v: SYSTEM_FILES[len(v) % len(SYSTEM_FILES)]),
    ("path to a product folder", "p", lambda c, v: v.rsplit("\\", 1)[0] + "\\.."),
]


# ---- The machine between runs --------------------------------------------------------------

class Campaign:
    def __init__(self, args):
        self.args, self.env = args, Env(args)
        layers = [os.path.join(args.tree, "scenario", "layer%d" % args.bits),
                  base_prefix(args.bits)]
        self.machine = Machine(args, args.name, layers)
        # The campaign does not look at the scripts: the capture program need not
        # wait to see whether its script outlives it.
        self.machine.env["KESTREL_CAPTURE_HOLD_MS"] = "0"
        self.machine.set_version(args.version)
        self.root = self.env.software.lower() + "\\kestrel keyboards"
        self.uninstall = (self.env.software + "\\" + UNINSTALL_ENTRY).lower()
        self.run_once = self.env.software.lower() + "\\microsoft\\windows\\currentversion\\runonce"
        self.checker = os.path.join(args.tree if args.bits == 32 else args.tree64,
                                    "scenario_check.exe")
        user = os.environ.get("USER") or "root"
        self.cwd = "C:\\users\\%s" % user  # the driver's current folder
        self.saves, self.start, self.checker_process = 0, time.time(), None
        # The product's files outside its folders: its desktop links, and what its older
        # version left in the user's folders (either language's names).
        env = self.env
        self.own_files = set()
        for lang in (0, 1):
            t, planned = LANGUAGES[lang], env.planned(lang)
            self.own_files |= {planned[i].lower() for i in ("guide_desk", "chart_desk",
                                                            "readme_desk", "web_desk")}
            self.own_files |= {(folder + "\\" + t[n] + ext).lower() for folder, n, ext in
                               ((env.documents, 77, ".pdf"), (env.user_desktop, 77, ".lnk"),
                                (env.documents, 78, ".txt"), (env.user_desktop, 78, ".lnk"))}
        self.own_files |= {f.lower() for pair in env.libraries for f in pair}
        self.planned = env.planned(0)

    def host(self, path):
        if len(path) > 1 and path[1] == ":":
            return self.machine.host(path)
        return os.path.join(self.machine.host(self.cwd), *path.split("\\"))

    # The product's own places.
    def roots(self):
        return [self.env.program_parent, self.env.menu_parent, self.env.desktop,
                self.env.documents, self.env.user_desktop]

    def allowed_file(self, path):
        """A file the product may touch: in its folders, one of its own files elsewhere,
        one of its layout libraries (and staging files), or an input-language script in
        its private folder, which stays until the restart."""
        p = path.lower()
        folders = (self.env.program_parent.lower() + "\\", self.env.menu_parent.lower() + "\\")
        return p.startswith(folders) or p in self.own_files or SCRIPT_FOLDER.match(p) is not None

    def stands_for(self, name, path):
        """The file a path value of the record stands for, lower case: the one it names
        in the product's places, else the one the program makes for its item."""
        where = resolve(self, path)
        if self.allowed_file(where):
            return where
        return self.planned[ITEMS[name]].lower()

    def drive(self):
        """{lower-case Windows path: (size, mtime)} of drive C but the capture program's record."""
        return {("C:" + p.replace("/", "\\")).lower(): v
                for p, v in drive_files(self.machine).items()
                if not p.lower().startswith("/kestrel-capture/")}

    def save(self):
        """The lines that save both hives; returns the lines and the two files."""
        self.saves += 1
        files = [os.path.join(self.machine.dir, "%s%d.reg" % (h, self.saves)) for h in "mu"]
        return ["save\t%s\t%s" % tuple(windows_path(f) for f in files)], files

    def scenario_check(self, lines):
        """Runs the lines in the one scenario_check.exe of the campaign, started at the
        first call (a Wine start costs about as much as a whole run)."""
        if self.checker_process is None:
            if not self.machine.up:
                self.machine.boot()
            self.checker_process = subprocess.Popen(
                ["wine", windows_path(self.checker), "-"], env=self.machine.env, text=True,
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.machine.log)
        path = os.path.join(self.machine.dir, "damage.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        self.checker_process.stdin.write(windows_path(path) + "\n")
        self.checker_process.stdin.flush()
        reply = self.checker_process.stdout.readline()
        assert reply.endswith(" 0 failures\n"), "scenario_check: %r" % reply


def hive_blocks(path):
    """{lower-case key: its value lines} of a saved hive, its times left out. Keys keep
    the file's escapes but for the backslash (the product's keys need no other)."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read()
    os.unlink(path)
    blocks = {}
    for chunk in text.split("\n[")[1:]:
        head, _, body = chunk.partition("\n")
        if body.startswith("#time="):
            body = body.partition("\n")[2]
        blocks[head[:head.rindex("]")].replace("\\\\", "\\").lower()] = body
    return blocks


def values_of(blocks, key):
    """{lower-case name: value} of one key of hive_blocks, or None when it is missing."""
    if key not in blocks:
        return None
    return parse_registry(["[x]"] + blocks[key].split("\n")).get("x", {})


def reg_lines(model):
    """scenario_check lines that make the model's keys what it says: a key of None goes,
    a value of MISSING goes, every other value is set (its key made as needed)."""
    lines = []
    for (hive, key), values in model.items():
        if values is None or values.get(None) == "replace":
            lines.append("delete\t%s\t%s" % (hive, key))
        for name, value in (values or {}).items():
            if name is None:
                continue
            if value is MISSING:
                lines.append("delete\t%s\t%s\t%s" % (hive, key, name))
                continue
            if isinstance(value, str):
                value = Raw(1, utf16(value + "\0"))
            elif isinstance(value, int):
                value = Raw(4, struct.pack("<I", value))
            elif isinstance(value, bytes):
                value = Raw(3, value)
            elif isinstance(value, list):
                value = Raw(7, utf16("\0".join(value) + "\0\0"))
            lines.append("set\t%s\t%s\t%s\t%d\t%s"
                         % (hive, key, name, value.kind, value.data.hex()))
    return lines


# ---- The states --------------------------------------------------------------------------

def baseline_model(campaign, machine_hive, user_hive):
    """The keys the product owns or changes as a first installation left them: the
    record, the layout entry and the per-user toggle (each put back whole), no scan-code
    map, no completion values, no renames waiting."""
    model = {("HKLM", campaign.root): {None: "replace"}}
    for key in sorted(machine_hive):
        if key.startswith(campaign.root + "\\"):
            model[("HKLM", key)] = dict(machine_hive[key])
    model[("HKLM", ENTRY)] = {None: "replace", **machine_hive[ENTRY]}
    model[("HKLM", campaign.uninstall)] = {None: "replace", **machine_hive[campaign.uninstall]}
    model[("HKCU", TOGGLE)] = {None: "replace", **user_hive[TOGGLE]}
    model[("HKLM", KEYBOARD)] = {"scancode map": MISSING}
    model[("HKLM", SESSION)] = {"pendingfilerenameoperations": MISSING}
    model[("HKLM", campaign.run_once)] = {LANGUAGES[lang][71].lower(): MISSING
                                           for lang in (0, 1)}
    return model


def states(model):
    """[(name, damaged model)]: every kind on every target it applies to."""
    targets = []
    for (hive, key), values in model.items():
        if key in (KEYBOARD, SESSION) or key.endswith("runonce"):
            continue
        targets.append(("k", hive, key, None))
        if key == TOGGLE:
            continue  # its values are only written, never read
        for name, value in (values or {}).items():
            if name is None:
                continue
            cls = ("p" if name in PATH_VALUES else "t") if isinstance(value, str) else \
                "n" if isinstance(value, int) else "b"
            targets.append((cls, hive, key, name))
    targets.append(("m", "HKLM", KEYBOARD, "scancode map"))
    out = []
    for kind, classes, make in KINDS:
        for cls, hive, key, name in targets:
            if cls not in classes:
                continue
            damaged = {k: dict(v) if v is not None else None for k, v in model.items()}
            value = GOOD_MAP if cls == "m" else model[(hive, key)].get(name)
            new = make(cls, value)
            if cls == "k" and new is MISSING:
                for k in list(damaged):
                    if k[0] == hive and k[1].startswith(key + "\\"):
                        del damaged[k]
                damaged[(hive, key)] = None
            elif cls == "k":
                damaged[(hive, key + "\\kestrel-" + new)] = {"note": new}
            elif new is MISSING and cls != "m":
                del damaged[(hive, key)][name]
            else:
                damaged[(hive, key)][name] = new
            out.append(("%s: %s" % ("\\".join(filter(None, (key, name))), kind), damaged))
    return out


def named_paths(model):
    """The path values of a model: [(key, value name, path)]."""
    return [(key, name, value) for (_, key), values in model.items()
            for name, value in (values or {}).items()
            if name in PATH_VALUES and isinstance(value, str)]


# ---- The runs and their checks -----------------------------------------------------------

FIRST = ["install", "--no-wait", *A.args(), "--final", "1", "--desktop", "1",
         "--language", "0415", "--default", "1"]
RUNS = {"install": ["install", "--no-wait", *B.args(), "--final", "1", "--desktop", "1",
                    "--language", "0415", "--default", "1"],
        "remove": ["remove", "--no-wait", "--if-offered"]}


class Run:
    """One run of the driver in one state, and what was there before it."""
    def __init__(self, state, op, blocks, drive):
        self.state, self.op, self.before, self.drive = state, op, blocks, drive
        self.rc, self.out, self.after_drive = None, "", None


def shown(text):
    return repr(text) if len(text) < 80 else repr(text[:40]) + "... (%d characters)" % len(text)


def resolve(campaign, path):
    """A path as the driver (in its current folder) would reach it, lower case."""
    if not (len(path) > 1 and path[1] == ":"):
        path = campaign.cwd + "\\" + path
    return ntpath.normpath(path).lower()


def record(campaign, blocks):
    return {("HKLM", k): values_of(blocks[0], k) for k in blocks[0]
            if k == campaign.root or k.startswith(campaign.root + "\\")}


def check(campaign, run, after):
    """The faults of one run, from the hives saved before and after it."""
    faults = []
    refused = run.rc == 2
    # Ran to its end: a result line, or a removal the wizard would not offer.
    if not (run.rc in (0, 1) and "engine: %s=" % run.op in run.out
            or refused and run.op == "remove" and "not offered" in run.out):
        faults.append("exit %d: %s" % (run.rc, run.out.strip()[-400:]))
    # Windows' list of programs gains and loses our entry: its own values stay.
    own = {KEYBOARD: {"scancode map"}, SESSION: {"pendingfilerenameoperations"},
           campaign.run_once: {LANGUAGES[lang][71].lower() for lang in (0, 1)},
           campaign.uninstall.rsplit("\\", 1)[0]: set()}
    for hive, was, now in (("machine", run.before[0], after[0]), ("user", run.before[1], after[1])):
        for key in sorted(set(was) | set(now)):
            if was.get(key) == now.get(key) or WINE_VOLATILE.match(key):
                continue
            ours = key == campaign.root or key.startswith(campaign.root + "\\") or \
                key in (ENTRY, campaign.uninstall) if hive == "machine" else key == TOGGLE
            if ours and not refused:
                continue
            if hive == "machine" and key in own and not refused:
                old, new = values_of(was, key) or {}, values_of(now, key) or {}
                changed = {n for n in set(old) | set(new) if old.get(n) != new.get(n)} - own[key]
                if not changed:
                    continue
                faults.append("%s: %s changed" % (key, sorted(changed)))
                continue
            faults.append("the %s key %s changed" % (hive, key))
    session = values_of(after[0], SESSION) or {}
    pending = {p.replace("\\??\\", "").lstrip("!").lower()
               for p in session.get("pendingfilerenameoperations", [])}
    for path in sorted(pending):
        if not campaign.allowed_file(path):
            faults.append("%s is left to rename or delete at the restart" % path)
    changed = {p for p in set(run.drive) | set(run.after_drive)
               if run.drive.get(p) != run.after_drive.get(p)}
    for path in sorted(changed):
        if refused or not campaign.allowed_file(path):
            what = "made" if path not in run.drive else "removed" if path not in run.after_drive \
                else "changed"
            faults.append("%s was %s" % (path, what))
    # What the record stands for is gone with the part of it that named it; what an
    # installation records is there. Only text values name a path the program reads.
    def text_paths(blocks):
        return [(key, name, path) for key, name, path in named_paths(record(campaign, blocks))
                if re.search(r'^"%s"="' % re.escape(name), blocks[0][key], re.M | re.I)]
    if run.op == "remove" and run.rc == 0:
        for key, name, path in text_paths(run.before):
            where = campaign.stands_for(name, path)
            if key not in after[0] and where in run.after_drive and where not in pending:
                faults.append("%s stays, named by the removed %s\\%s" % (where, key, name))
    if run.op == "install" and run.rc == 0:
        for key, name, path in text_paths(after):
            if campaign.stands_for(name, path) not in run.after_drive:
                faults.append("the record's %s\\%s names %s, which is not there"
                              % (key, name, shown(path)))
    return faults


def run_states(campaign, chosen):
    """Runs every chosen state through both sequences; returns (runs, states survived)."""
    m, env = campaign.machine, campaign.env
    driver = windows_path(env.driver)
    rc, out = m.wine(driver, *FIRST)
    assert rc == 0, "the first installation failed: " + out
    m.down()
    m.boot()  # the restart that completes it
    read_calls(m)
    m.down()
    model = baseline_model(campaign, *m.registry())
    store = os.path.join(m.dir, "store")
    for i, root in enumerate(campaign.roots()):
        if os.path.isdir(m.host(root)):
            shutil.copytree(m.host(root), os.path.join(store, str(i)), symlinks=True)
    system_files = {p: read_bytes(m.host(p)) for p in SYSTEM_FILES}
    everything = states(model)
    shares, parts = campaign.args.share
    chosen = [state for i, state in enumerate(everything) if i % parts in shares]
    print("damage: %d states of %d, each installed over and removed (set up in %.1f s)"
          % (len(chosen), len(everything), time.time() - campaign.start))

    failed, runs = set(), 0
    output = os.path.join(m.dir, "driver.txt")
    for name, damaged in chosen:
        for op in ("install", "remove"):
            # The product's files and the system files back; bait where the record points.
            for i, root in enumerate(campaign.roots()):
                shutil.rmtree(m.host(root), ignore_errors=True)
                if os.path.isdir(os.path.join(store, str(i))):
                    shutil.copytree(os.path.join(store, str(i)), m.host(root), symlinks=True)
            for path, data in system_files.items():
                if read_bytes(m.host(path)) != data:
                    with open(m.host(path), "wb") as f:
                        f.write(data)
            for folder in ("C:\\kestrel-bait", campaign.cwd + "\\kestrel-bait",
                           "C:\\users\\Public\\Documents", "C:\\kestrel-capture"):
                shutil.rmtree(m.host(folder), ignore_errors=True)
            os.makedirs(m.host("C:\\users\\Public\\Documents"), exist_ok=True)
            for _, _, path in named_paths(damaged):
                where = resolve(campaign, path)
                if path and not campaign.allowed_file(where) and "\\windows\\" not in where \
                        and not os.path.exists(campaign.host(where)):
                    os.makedirs(os.path.dirname(campaign.host(where)), exist_ok=True)
                    with open(campaign.host(where), "wb") as f:
                        f.write(b"bait")
            # In one Wine process: the registry put back and damaged, saved, the driver's
            # run, saved again.
            before_lines, before = campaign.save()
            after_lines, after = campaign.save()
            command = " ".join('"%s"' % a for a in [driver, *RUNS[op]])
            run = Run(name, op, None, campaign.drive())
            campaign.scenario_check(reg_lines(damaged) + before_lines + [
                "run\t%s\t%s\t%s" % (campaign.cwd, windows_path(output), command)] + after_lines)
            run.after_drive = campaign.drive()
            with open(output, encoding="utf-8", errors="replace") as f:
                run.out = f.read()
            code = re.search(r"\nexit (\d+)\n$", run.out)
            run.rc = int(code.group(1)) if code else -1
            run.before = [hive_blocks(f) for f in before]
            faults = check(campaign, run, [hive_blocks(f) for f in after])
            for fault in faults:
                print("FAULT [%s, %s] %s" % (name, op, fault))
            if faults:
                failed.add(name)
            runs += 1
    return runs, len(chosen), len(chosen) - len(failed)


def campaign_parser(description):
    """The arguments every campaign takes: the entry and the build trees."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--bits", type=int, choices=[32, 64], required=True)
    parser.add_argument("--version", choices=sorted(VERSION_CODES), default="winxp")
    parser.add_argument("--tree", required=True, help="the win32 build tree")
    parser.add_argument("--tree64", required=True, help="the win64 build tree")
    parser.add_argument("--documents", help="the folder of the payload's documents "
                        "(default: TREE/documents; the x86_64 engine tree takes the win32 tree's)")
    parser.add_argument("--layout-tool", default=os.path.join(REPO, "build", "host", "kestrel-layout"))
    return parser


def main():
    parser = campaign_parser(__doc__.split("\n")[0])
    parser.add_argument("--share", default="0/1", help="K,L.../N: the states whose index "
                        "modulo N is K, L, ... (default all)")
    args = parser.parse_args()
    args.tree, args.tree64 = os.path.abspath(args.tree), os.path.abspath(args.tree64)
    # (no comma: the name is a folder in the overlay mount's options)
    args.name = "damage.%d.%s.%s" % (args.bits, args.version,
                                     args.share.replace("/", "-").replace(",", "+"))
    shares, parts = args.share.split("/")
    args.share = ({int(k) for k in shares.split(",")}, int(parts))
    own_namespace(args.name, 1700)
    start = time.time()
    campaign = Campaign(args)
    try:
        runs, tried, survived = run_states(campaign, None)
    finally:
        campaign.machine.close()
    took = time.time() - start
    print("damage %d-bit %s: %d states tried, %d survived; %d runs in %.1f s (%.2f states/s)"
          % (args.bits, args.version, tried, survived, runs, took, tried / took))
    return 0 if tried == survived else 1


if __name__ == "__main__":
    sys.exit(main())
