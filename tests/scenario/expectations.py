"""What an installation must leave: the state the registry and the files show
(State), the keys and values a state means, and the checks of the registry, the
completion values, the pending renames, the files, the scripts the system command
received, the layout libraries and an unchanged machine."""
import os
import re
import shutil
import subprocess

from machine import REPO, WINE_VOLATILE, read_bytes, windows_path
from product import (COMMON, DOCUMENT_VALUES, ITEMS, KLID, LANGUAGES, LAYOUT_VALUES,
                     PRODUCT_VALUES, SYSTEM, VARIANT_IMAGES)
from registry_files import Expandable


ABSENT = object()  # a registry value or key that must not exist
UNINSTALL_ENTRY = COMMON[327].split("\\", 1)[1] + "\\" + COMMON[328]  # under Software


class Positive:
    """Matches a registry number above 0 (a size the program measured)."""
    def __eq__(self, other):
        return isinstance(other, int) and not isinstance(other, bool) and other > 0

    def __repr__(self):
        return "a number above 0"


POSITIVE = Positive()
TOGGLE_DEFAULT = {"Hotkey": "1", "Language Hotkey": "1", "Layout Hotkey": "2"}
TOGGLE_SET = {"Hotkey": "3", "Language Hotkey": "3", "Layout Hotkey": "3"}


class State:
    """The installation as the registry and the files show it.
      count     InstallCount (None: no product record); guides: GuideUseCount (None: no
                document key); layout: Options of the layout sub-record (None: none)
      items     the items whose files exist (and that the record names, when there is one);
                paths and languages: where and in which interface language each was made
      entry     the system's layout entry exists; toggle: "default", "set" or None (no key)
      library   Options of the libraries in the system folders; scancode_map: its bytes
      folders   product folders that stay without files (lower case)
      kept      files outside the product's reach that must stay as they are: {path: bytes}"""
    def __init__(self):
        self.count = self.guides = self.layout = self.library = self.scancode_map = None
        self.items, self.paths, self.languages, self.folders = set(), {}, {}, set()
        self.kept = {}
        self.entry, self.toggle = False, "default"

    def detected(self):
        """installedVersion of the next run: the recorded level (also for a counted record
        whose layout sub-record is gone: the removal finishes it), only the entry (130),
        or 0."""
        return 180 if self.layout is not None or self.count is not None else \
            130 if self.entry else 0


class Checks:
    def __init__(self):
        self.count, self.failed, self.where = 0, 0, ""

    def expect(self, ok, what):
        self.count += 1
        if not ok:
            self.failed += 1
            print("FAIL [%s] %s" % (self.where, what))
        return ok


def expected_registry(env, st):
    """[(hive, key, {value: expected} or ABSENT, exact)] of every key the product touches;
    exact: no other value may exist. Expected values: text, number, bytes or a pattern."""
    product = env.software + "\\Kestrel Keyboards\\Kestrel"
    if st.count is None:
        out = [("system", env.software + "\\Kestrel Keyboards", ABSENT, True)]
    else:
        values = {"InitialInputLanguage": re.compile(r"[0-9a-f]{4}:[0-9A-Fa-f]{8}"),
                  "InstallCount": st.count, "ChartLevel": 180}
        values.update({v: st.paths[i] for v, i in PRODUCT_VALUES.items() if i in st.items})
        out = [("system", product, values, True)]
        documents = ABSENT
        if st.guides is not None:
            documents = {"GuideLevel": 180, "GuideUseCount": st.guides}
            documents.update({v: st.paths[i] for v, i in DOCUMENT_VALUES.items() if i in st.items})
        out.append(("system", product + "\\Documents" + ("\\1.8" if documents is not ABSENT else ""), documents,
                    True))
        layout = ABSENT
        if st.layout is not None:
            layout = {"Level": 180, "Variant": st.layout.variant, "DecimalKey": st.layout.decimal,
                      "KeepEarlierOptions": 0, "KeyAssignments": st.layout.stored()}
            layout.update({v: st.paths[i] for v, i in LAYOUT_VALUES.items()})
        out.append(("system", product + "\\Layout" + ("\\1.8" if layout is not ABSENT else ""), layout, True))
    # The product in Windows' list of programs: with the product record.
    uninstall = ABSENT
    if st.count is not None:
        copy = st.paths.get("setup", "")
        uninstall = {"DisplayName": COMMON[340], "DisplayVersion": COMMON[341],
                     "Publisher": COMMON[8], "DisplayIcon": copy,
                     "InstallLocation": env.program_parent + "\\Kestrel",
                     "UninstallString": '"%s"' % copy, "ModifyPath": '"%s"' % copy,
                     "URLInfoAbout": COMMON[342], "EstimatedSize": POSITIVE, "NoModify": 0,
                     "NoRepair": 1}
    out.append(("system", env.software + "\\" + UNINSTALL_ENTRY, uninstall, True))
    entry = ABSENT
    if st.entry:
        entry = {"Layout Text": COMMON[81], "Layout Id": COMMON[87],
                 "Layout Component ID": COMMON[84], "Layout File": COMMON[83],
                 "Layout Display Name": Expandable(COMMON[54])}
    out.append(("system", "System\\CurrentControlSet\\Control\\Keyboard Layouts\\" + KLID, entry,
                True))
    out.append(("system", "System\\CurrentControlSet\\Control\\Keyboard Layout",
                {"Scancode Map": ABSENT if st.scancode_map is None else st.scancode_map}, True))
    out.append(("user", "Keyboard Layout\\Toggle",
                {"default": TOGGLE_DEFAULT, "set": TOGGLE_SET, None: ABSENT}[st.toggle], True))
    return out


def check_registry(checks, hives, expected):
    for hive, key, values, exact in expected:
        got = hives[hive].get(key.lower())
        if values is ABSENT:
            # Wine's files hold no block for a key with subkeys but no values.
            below = [k for k in hives[hive] if k.startswith(key.lower() + "\\")]
            checks.expect(got is None and not below, "%s exists" % key)
            continue
        if not checks.expect(got is not None, "%s is missing" % key):
            continue
        extra = set(got) - {v.lower() for v in values}
        checks.expect(not exact or not extra, "%s holds more values: %s" % (key, sorted(extra)))
        for name, want in values.items():
            have = got.get(name.lower(), ABSENT)
            if isinstance(want, re.Pattern):
                ok = isinstance(have, str) and bool(want.fullmatch(have))
            elif isinstance(want, Expandable):
                ok = isinstance(have, Expandable) and have == want
            else:
                ok = have == want
            shown = ["absent" if v is ABSENT else repr(v) for v in (have, want)]
            checks.expect(ok, "%s\\%s is %s, expected %s" % (key, name, *shown))


def check_completion(checks, hives, env, lang, written):
    """The RunOnce values of the product (either language's name): the one the step wrote.
    Returns the commands that must run at the restart."""
    run_once = env.software + "\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
    key = hives["system"].get(run_once.lower(), {})
    names = {LANGUAGES[0][71].lower(), LANGUAGES[1][71].lower()}
    ours = {n: v for n, v in key.items() if n in names}
    want = {}
    if written:
        want[LANGUAGES[lang][71].lower()] = LANGUAGES[lang][51 if env.code <= 50 else 50] % SYSTEM
    checks.expect(ours == want, "completion values %r, expected %r" % (ours, want))
    return list(want.values())


def check_pending(checks, hives, env, libraries, deletions, scripts=()):
    """The renames and deletions waiting for the restart, in order: the libraries'
    ("place" or "delete"), then the files in `deletions`; and, apart from those, each
    script of `scripts` then its folder, in the order the scripts ran."""
    session = hives["system"].get("system\\currentcontrolset\\control\\session manager", {})
    pending = [p.replace("\\??\\", "").lower()
               for p in session.get("pendingfilerenameoperations", [])]
    kept = [p.lower() for s in scripts for p in (s, s.rsplit("\\", 1)[0])]
    checks.expect([p for p in pending if p in kept] == kept,
                  "pending deletions of the scripts %s, expected %s" % (pending, kept))
    pending = [p for p in pending if p not in kept]
    want = []
    for target, staging in env.libraries:
        if libraries == "place":
            want += [staging.lower(), "!" + target.lower()]
        elif libraries == "delete":
            want.append(target.lower())
    want += [path.lower() for path in deletions]
    # A deletion's empty destination is not kept as a string of its own.
    checks.expect(pending == want, "pending renames %s, expected %s" % (pending, want))


def snapshot(machine, env):
    """{lower-case Windows path: ctime} of the files in the folders the product writes to,
    and the set of product folders that exist."""
    files, folders = {}, set()
    for root in (env.program_parent, env.menu_parent, env.desktop, env.documents, env.user_desktop):
        host = machine.host(root)
        if root in (env.program_parent, env.menu_parent) and os.path.isdir(host):
            folders.add(root.lower())
        for dirpath, dirnames, filenames in os.walk(host):
            at = root + dirpath[len(host):].replace("/", "\\")
            folders.update((at + "\\" + d).lower() for d in dirnames)
            files.update({(at + "\\" + f).lower(): os.stat(os.path.join(dirpath, f)).st_ctime_ns
                          for f in filenames})
    return files, folders


def check_files(checks, machine, env, st, made, before, staging):
    """Exactly the expected files exist, in no more folders than they need; those made now
    were written, the others not; each file's bytes are the product's."""
    files, folders = snapshot(machine, env)
    want = {st.paths[i].lower(): i for i in st.items}
    if staging:
        want.update({s.lower(): "staging" for _, s in env.libraries})
    checks.expect(set(files) == set(want), "files: missing %s, unexpected %s" %
                  (sorted(set(want) - set(files)), sorted(set(files) - set(want))))
    needed = set(st.folders)
    for path in want:
        while path.count("\\") > 1:
            path = path.rsplit("\\", 1)[0]
            needed.add(path)
    roots = (env.program_parent.lower(), env.menu_parent.lower())
    needed = {f for f in needed if f.startswith(roots)}
    checks.expect(folders == needed, "folders: missing %s, unexpected %s" %
                  (sorted(needed - folders), sorted(folders - needed)))
    for path, content in st.kept.items():
        checks.expect(read_bytes(machine.host(path)) == content, "%s was changed or deleted" % path)
    for path, item in want.items():
        if path in files:
            written = item in made or item == "staging"
            checks.expect(written == (before.get(path) != files[path]),
                          "%s was %s" % (path, "not written" if written else "written"))
            content = env.content(item, st.languages.get(item, 0)) if item in ITEMS else None
            if content is not None:
                checks.expect(read_bytes(machine.host(path)) == content, "%s: wrong content" % path)
    return files


def read_calls(machine):
    """What the capture program recorded since the last read, in order; then cleared."""
    folder = machine.host("C:\\kestrel-capture")
    calls = []
    for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        if name.endswith(".txt"):
            with open(os.path.join(folder, name), encoding="utf-8", newline="") as f:
                call = dict(l.split("\t", 1) for l in f.read().split("\r\n") if "\t" in l)
            call["bytes"] = read_bytes(os.path.join(folder, name[:-4] + ".script"))
            calls.append(call)
    shutil.rmtree(folder, ignore_errors=True)
    return calls


def check_scripts(checks, machine, env, step, language, default):
    """The command ran once per script, with the exact script, which no one else could
    change or delete meanwhile and which outlives the command, with its folder, until
    the restart. Returns the scripts' paths."""
    calls = read_calls(machine)
    want = [step.scripts] if step.scripts == "remove" or step.scripts and env.code >= 60 else []
    checks.expect(len(calls) == len(want), "the command ran %d times, expected %d: %s" %
                  (len(calls), len(want), [c.get("command") for c in calls]))
    for call, kind in zip(calls, want):
        script = call.get("script", "")
        checks.expect(call["command"] == '"%s\\control.exe" intl.cpl,, /f:"%s"' % (SYSTEM, script),
                      "command line %r" % call["command"])
        text = env.script(kind, language, default).encode("utf-8")
        checks.expect(call["bytes"] == text,
                      "the %s script is %r, expected %r" % (kind, call["bytes"], text))
        checks.expect(call.get("writable") == "0" and call.get("deletable") == "0",
                      "another process could open the script for writing or deleting")
        checks.expect(call.get("kept") == "1", "the script %s was gone while the command ran"
                      % script)
        checks.expect(script and os.path.exists(machine.host(script)),
                      "the script %s is gone before the restart" % script)
    return [call.get("script", "") for call in calls]


def check_scripts_gone(checks, machine, scripts):
    """After the restart no script of the step is left, nor its folder."""
    for script in scripts:
        host = machine.host(script)
        gone = not os.path.exists(host) and not os.path.exists(os.path.dirname(host))
        checks.expect(gone, "the script %s or its folder is left after the restart" % script)


def checker(machine, env, bits, lines):
    """Runs scenario_check.exe of `bits` over `lines` of checks; (ok, output)."""
    path = os.path.join(machine.dir, "checks%d.txt" % bits)
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join("\t".join(l) + "\n" for l in lines))
    program = os.path.join(env.tree if bits == 32 else env.tree64, "scenario_check.exe")
    rc, out = machine.wine(windows_path(program), windows_path(path))
    return rc == 0, out.strip()


def read_libraries(checks, machine, env, options):
    """Each installed library read from its file as Windows reads it, never loaded: in
    the 32-bit folder the x86 form (the WOW64 form on 64-bit Windows), in the native
    64-bit folder the x64 form; each must read as its definition with the recorded key
    assignments and decimal option, and on 64-bit Windows both read alike."""
    modes = ["x86"] if env.bits == 32 else ["wow64", "x64"]
    definition = os.path.join(REPO, "layout", VARIANT_IMAGES[options.variant] + ".layout")
    keys = ",".join("%X:%X" % kv for kv in sorted(options.keys.items()))
    readings = []
    for (target, _), mode in zip(env.libraries, modes):
        host = machine.host(target)
        verify = subprocess.run([env.layout_tool, "verify", mode, host, definition,
                                 "--decimal", str(options.decimal), "--keys", keys],
                                capture_output=True, text=True)
        checks.expect(verify.returncode == 0, "%s as %s: %s" % (target, mode, verify.stdout + verify.stderr))
        readings.append(subprocess.run([env.layout_tool, "read", mode, host],
                                       capture_output=True, text=True).stdout)
    checks.expect(len(set(readings)) == 1, "the 32-bit and 64-bit libraries read differently")


def layout_line(env, options, target, bits):
    reference = os.path.join(env.tree if bits == 32 else env.tree64, "layout",
                             "kbdkestr-%s.dll" % VARIANT_IMAGES[options.variant])
    keys = ",".join("%X:%X" % kv for kv in sorted(options.keys.items()))
    return ["layout", target, windows_path(reference), str(options.decimal), keys]


def check_unchanged(checks, before, after):
    """Nothing differs but what Wine itself keeps up to date on every start."""
    (system0, user0), files0 = before
    (system1, user1), files1 = after
    for hive, was, now in (("system", system0, system1), ("user", user0, user1)):
        changed = sorted(k for k in set(was) | set(now) if was.get(k) != now.get(k)
                         and not WINE_VOLATILE.match(k))
        checks.expect(not changed, "the %s registry changed: %s" % (hive, changed))
    changed = sorted(f for f in set(files0) | set(files1) if files0.get(f) != files1.get(f))
    checks.expect(not changed, "files changed on drive C: %s" % changed)
