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
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
VERSION_CODES = {"win2k": 50, "winxp": 51, "winxp64": 52, "win2003": 52, "vista": 60,
                 "win7": 61, "win8": 62, "win10": 62}
WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
ABSENT = object()  # a registry value or key that must not exist
# Keys Wine rewrites whenever a program meets the display, whatever it does: the
# display adapters' and the monitors' device classes.
WINE_VOLATILE = re.compile(r"system\\currentcontrolset\\control\\class\\"
                           r"\{(4d36e968|4d36e96e)-e325-11ce-bfc1-08002be10318\}(\\.*)?")
KLID = "a0e70415"
SYSTEM = "C:\\windows\\system32"

PROVISION_REG = r"""[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000409]
"Layout File"="KBDUS.DLL"
"Layout Text"="US"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00010409]
"Layout File"="KBDDV.DLL"
"Layout Text"="United States-Dvorak"
"Layout Id"="0002"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000415]
"Layout File"="KBDPL1.DLL"
"Layout Text"="Polish (Programmers)"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000407]
"Layout File"="KBDGR.DLL"
"Layout Text"="German"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layout]

[HKEY_CURRENT_USER\Keyboard Layout\Toggle]
"Hotkey"="1"
"Language Hotkey"="1"
"Layout Hotkey"="2"

[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"1"="00000409"
"2"="00000415"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"control.exe"="native"
"""
TOGGLE_DEFAULT = {"Hotkey": "1", "Language Hotkey": "1", "Layout Hotkey": "2"}
TOGGLE_SET = {"Hotkey": "3", "Language Hotkey": "3", "Layout Hotkey": "3"}


# ---- The product's texts (content/strings) --------------------------------------------

def read_texts(name):
    """id -> text of one string-table source file."""
    texts, last = {}, None
    escapes = {"\\": "\\", '"': '"', "n": "\n", "r": "\r", "t": "\t"}
    def decode(body):
        return re.sub(r'\\(u[0-9a-fA-F]{4}|.)', lambda m: chr(int(m.group(1)[1:], 16))
                      if m.group(1)[0] == "u" else escapes[m.group(1)], body)
    with open(os.path.join(REPO, "content", "strings", name), encoding="utf-8") as f:
        for line in f:
            head = re.match(r"(\d+)\s+\w+\s+", line)
            quoted = "".join(decode(q) for q in re.findall(r'"((?:[^"\\]|\\.)*)"', line))
            if head:
                last = int(head.group(1))
                texts[last] = quoted
            elif line[:1].isspace() and line.strip().startswith('"') and last is not None:
                texts[last] += quoted
    return texts


COMMON = {**read_texts("common.txt"), **read_texts("supplementary.txt")}
LANGUAGES = [{**COMMON, **read_texts("english.txt")}, {**COMMON, **read_texts("polish.txt")}]


# ---- Wine's registry files -------------------------------------------------------------

def unescape(text):
    def one(m):
        e = m.group(1)
        if e[0] == "x":
            return chr(int(e[1:], 16))
        if e[0] in "01234567":
            return chr(int(e, 8))
        return {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b", "v": "\v", "f": "\f",
                "e": "\x1b"}.get(e, e)
    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.)", one, text)


class Expandable(str):
    """A REG_EXPAND_SZ text: equal to its text, and told apart where a check asks."""


def parse_value(data):
    if data.startswith('"'):
        return unescape(data[1:-1])
    kind = re.match(r"(str\((\d+)\)|dword|hex(\((\w+)\))?):(.*)", data, re.S)
    if kind.group(1) == "dword":
        return int(kind.group(5), 16)
    if kind.group(2):  # str(2) expandable, str(7) multi-string
        text = unescape(kind.group(5)[1:-1])
        if kind.group(2) == "2":
            return Expandable(text)
        return [s for s in text.split("\0") if s] if kind.group(2) == "7" else text
    raw = bytes(int(b, 16) for b in kind.group(5).replace(" ", "").split(",") if b)
    if kind.group(4) == "7":
        return [s for s in raw.decode("utf-16-le").split("\0") if s]
    return raw


def read_registry(path):
    """Lower-case key path -> {lower-case value name: value} of a .reg file of Wine."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        return parse_registry(f)


def parse_registry(lines):
    """read_registry of the lines of such a file."""
    keys, current, carried = {}, None, ""
    for line in lines:
        line = carried + line.rstrip("\n").lstrip(" " if carried else "")
        carried = ""
        if line.endswith("\\") and current is not None and not line.startswith("["):
            carried = line[:-1]
            continue
        if line.startswith("["):
            current = keys.setdefault(unescape(line[1:line.rindex("]")]).lower(), {})
        elif current is not None and line[:1] in ('"', "@"):
            m = re.match(r'@|"((?:[^"\\]|\\.)*)"', line)
            name = "" if m.group(0) == "@" else unescape(m.group(1))
            current[name.lower()] = parse_value(line[m.end() + 1:])
    return keys


# ---- The machine: an overlay copy of the provisioned prefix ----------------------------

class Machine:
    def __init__(self, args, name, layers, lang=0):
        self.dir = os.path.join(args.tree, "scenario", name)
        if os.path.isdir(self.dir):
            subprocess.run(["chmod", "-R", "u+rwx", self.dir], check=False)
            shutil.rmtree(self.dir)
        self.prefix = os.path.join(self.dir, "prefix")
        for d in ("upper", "work", "prefix"):
            os.makedirs(os.path.join(self.dir, d))
        subprocess.run(["mount", "-t", "overlay", "overlay", "-o",
                        "userxattr,lowerdir=%s,upperdir=%s/upper,workdir=%s/work" %
                        (":".join(layers), self.dir, self.dir), self.prefix], check=True)
        # The user's language: Wine takes the user's default language from the locale,
        # the Polish one made by `provision` (Wine needs UTF-8 to name files in Polish).
        locales = os.path.join(args.tree, "scenario", "locale%d" % args.bits)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, LOCPATH=locales,
                        LC_ALL=("C", "pl_PL")[lang] + ".UTF-8", **WINE_ENV)
        self.up = False
        self.log = open(os.path.join(self.dir, "wine.log"), "w+")

    def set_version(self, version):
        """The emulated Windows, for every program of the prefix (server down)."""
        with open(os.path.join(self.prefix, "user.reg"), "a") as f:
            f.write('\n[Software\\\\Wine] 1700000000\n"Version"="%s"\n' % version)

    def server(self, *options):
        subprocess.run(["wineserver", *options], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def boot(self):
        """The second half of a restart: Wine starts, renames the pending files and runs
        RunOnce. Its background services get no output to hold open."""
        self.server("-p")
        subprocess.run(["wine", "cmd.exe", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        self.up = True

    def down(self):
        self.server("-k")
        self.server("-w")
        self.up = False

    def wine(self, program, *args, background=False, cwd=None):
        """Runs a Windows program (in host folder `cwd`: its current folder);
        (exit code, its output)."""
        if not self.up:
            self.boot()
        self.log.seek(0, os.SEEK_END)
        start = self.log.tell()
        command = ["wine", program, *args]
        if background:
            return subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=self.log, stderr=self.log, cwd=cwd)
        rc = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=self.log,
                            stderr=subprocess.STDOUT, timeout=300, cwd=cwd).returncode
        self.log.flush()
        self.log.seek(start)
        return rc, self.log.read()

    def import_reg(self, text, unicode=False):
        """Changes the registry as a .reg file says (REGEDIT4, [-KEY] deletes a key;
        unicode: version 5, whose hex(N) data are stored as they are)."""
        path = os.path.join(self.dir, "change.reg")
        if unicode:
            with open(path, "w", encoding="utf-16") as f:
                f.write("Windows Registry Editor Version 5.00\n\n" + text)
        else:
            with open(path, "w") as f:
                f.write("REGEDIT4\n\n" + text)
        rc, out = self.wine("reg", "import", windows_path(path))
        assert rc == 0, "reg import: " + out

    def host(self, path):
        """The host path of a Windows path in the prefix (C: is drive_c, Z: is /),
        matching each component without regard to case as Windows does."""
        drive, rest = path[0].lower(), path[3:]
        at = os.path.join(self.prefix, "drive_c") if drive == "c" else "/"
        for part in [p for p in rest.split("\\") if p]:
            try:
                match = [n for n in os.listdir(at) if n.lower() == part.lower()]
            except OSError:
                match = []
            at = os.path.join(at, match[0] if match else part)
        return at

    def registry(self):
        assert not self.up
        return (read_registry(os.path.join(self.prefix, "system.reg")),
                read_registry(os.path.join(self.prefix, "user.reg")))

    def close(self):
        if self.up:
            self.down()
        subprocess.run(["umount", self.prefix], check=False)


def read_bytes(path):
    """A file's bytes, or None when it cannot be read."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def windows_path(host):
    return "Z:" + os.path.abspath(host).replace("/", "\\")


# ---- What the product makes --------------------------------------------------------------

ITEMS = ["guide", "guide_menu", "guide_desk", "chart", "chart_menu", "chart_desk", "readme",
         "readme_menu", "readme_desk", "web_menu", "web_desk", "icon", "setup", "setup_link"]
DESK_LINKS = {"guide_desk", "chart_desk", "readme_desk"}
GUIDE = {"guide", "guide_menu", "guide_desk"}
SETUP = {"setup", "setup_link"}
# Record values that name items: product key, document key, layout sub-record.
PRODUCT_VALUES = {"ReadMeFile": "readme", "ReadMeMenuShortcut": "readme_menu",
                  "ReadMeDesktopShortcut": "readme_desk", "WebLinkMenu": "web_menu",
                  "WebLinkDesktop": "web_desk", "WebLinkIcon": "icon", "ChartFile": "chart",
                  "ChartMenuShortcut": "chart_menu", "ChartDesktopShortcut": "chart_desk"}
DOCUMENT_VALUES = {"GuideFile": "guide", "GuideMenuShortcut": "guide_menu",
                   "GuideDesktopShortcut": "guide_desk"}
LAYOUT_VALUES = {"SetupCopy": "setup", "SetupShortcut": "setup_link"}
VARIANT_IMAGES = ["standard", "accents", "typographic"]
# The layout's name in the library's string table, by the user's language.
DISPLAY_NAMES = [COMMON[81], "Polski (Kestrel)"]


class Env:
    """The machine's folders as the 32-bit engine sees them, and the build's files."""
    def __init__(self, args):
        self.bits, self.code = args.bits, VERSION_CODES[args.version]
        self.tree, self.tree64 = args.tree, args.tree64
        self.layout_tool = args.layout_tool
        x86 = " (x86)" if self.bits == 64 else ""
        self.program_parent = "C:\\Program Files%s\\Kestrel Keyboards" % x86
        self.menu_parent = ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"
                            "\\Kestrel Keyboards")
        self.desktop = "C:\\users\\Public\\Desktop"
        user = os.environ.get("USER") or "root"
        self.documents = "C:\\users\\%s\\Documents" % user
        self.user_desktop = "C:\\users\\%s\\Desktop" % user
        self.software = "Software\\Wow6432Node" if self.bits == 64 else "Software"
        self.driver = os.path.join(self.tree, "engine_driver.exe")
        self.setup = os.path.join(self.tree, "setup.exe")
        self.installer = self.driver  # the program whose copy the installation keeps
        # (target, staging) of each layout library, 32-bit first.
        folder = self.program_parent + "\\Kestrel\\"
        if self.bits == 64:
            self.libraries = [("C:\\windows\\syswow64\\kbdkestr.dll", folder + "kbdkestr.dll"),
                              (SYSTEM + "\\kbdkestr.dll", folder + "kbdkestr.dll64")]
        else:
            self.libraries = [(SYSTEM + "\\kbdkestr.dll", folder + "kbdkestr.dll")]

    def planned(self, lang, own_name="engine_driver.exe"):
        t = LANGUAGES[lang]
        program, menu = self.program_parent + "\\Kestrel\\", self.menu_parent + "\\Kestrel\\"
        desktop, guide = self.desktop + "\\", "%s (%s)" % (t[22], t[23])
        return {"guide": program + guide + ".pdf", "guide_menu": menu + guide + ".lnk",
                "guide_desk": desktop + guide + ".lnk", "chart": program + t[30] + ".pdf",
                "chart_menu": menu + t[30] + ".lnk", "chart_desk": desktop + t[30] + ".lnk",
                "readme": program + t[71] + ".txt", "readme_menu": menu + t[71] + ".lnk",
                "readme_desk": desktop + t[71] + ".lnk", "web_menu": menu + t[70] + ".url",
                "web_desk": desktop + t[70] + ".url", "icon": program + t[80],
                "setup": program + own_name, "setup_link": menu + (t[48] % t[81]) + ".lnk"}

    def content(self, item, lang):
        """Bytes an item holds, or None for a shortcut (checked through the shell)."""
        t = LANGUAGES[lang]
        documents = os.path.join(self.tree, "documents")
        if item in ("guide", "chart", "icon"):
            name = {"guide": "kestrel-guide.pdf", "chart": "kestrel-chart.pdf",
                    "icon": os.path.join("web-link", "kestrel.ico")}[item]
            return read_bytes(os.path.join(documents, name))
        if item == "readme":
            return t[68 if self.code <= 50 else 67].encode("utf-8")
        if item in ("web_menu", "web_desk"):
            return (t[69] % (self.program_parent + "\\Kestrel", t[80])).encode("utf-8")
        if item == "setup":
            return read_bytes(self.installer)
        return None

    def shortcut(self, item, paths, lang):
        """(target, description, icon, index) of a shortcut item."""
        t = LANGUAGES[lang]
        kind = item.split("_")[0]
        target = paths[kind]
        description = {"guide": t[120], "chart": t[35], "readme": t[121],
                       "setup": t[48] % t[81]}[kind]
        icon = {"readme": t[52], "setup": paths["setup"]}.get(kind, "")
        return target, description, icon, "0"

    def script(self, kind, language, default):
        """The script the command is to receive: adding or removing the layout."""
        if kind == "remove":  # one line for the layout's own language (Wine loads no layout)
            if self.code >= 60:
                return COMMON[66] % (COMMON[324] % (0x0415, KLID))
            return COMMON[65] % (COMMON[325] % (0x0415, KLID), "")
        part = COMMON[64] if default else ""
        if self.code >= 62 and COMMON.get(90):
            return COMMON[63] % (COMMON[90], language, KLID, part, language, language)
        return COMMON[62] % (language, KLID, part)


# ---- The steps of a scenario and the state they leave ------------------------------------

class Options:
    """Layout choices: variant, decimal option, key assignments {scan code: virtual key}."""
    def __init__(self, variant, decimal, keys):
        self.variant, self.decimal, self.keys = variant, decimal, dict(keys)

    def args(self):
        out = ["--variant", str(self.variant), "--decimal", str(self.decimal)]
        for scan, code in sorted(self.keys.items()):
            out += ["--assign", "%X:%X" % (scan, code)]
        return out

    def over(self, recorded):
        """These choices made over those of a recorded installation, which the wizard
        starts from: earlier key assignments stay unless assigned again."""
        keys = {**(recorded.keys if recorded else {}), **self.keys}
        return Options(self.variant, self.decimal, keys)

    def stored(self):
        """Value KeyAssignments: scan code and code, 16 bits each, in table order."""
        return b"".join(struct.pack("<HH", s, c) for s, c in sorted(self.keys.items()))


class Step:
    """One run of the engine driver and what it must leave, a row of a scenario's table.
      op          install, update or remove; extra: more driver arguments
      options     the layout choices given (install and update)
      exit        the driver's exit code
      made        items written anew (the others present must be untouched)
      scripts     "add" or "remove": the script the command receives (add from Vista on)
      completion  the RunOnce value is written (and runs at the restart)
      libraries   "place": staging files replace the libraries at the restart;
                  "delete": the libraries are deleted then; None: neither
      at_restart  items that are in use and go at the restart
      before      f(machine, env, state) run first; run_from: the program to run
      unchanged   the step must change nothing: the whole registry and drive C are
                  compared before and after it (but for what Wine itself keeps up to date)
      gui         the step is made through setup.exe's wizard by gui_driver.exe's walk
                  (tests/gui), the same choices made on its pages, instead of the engine driver
      **state     the installation state afterwards, as State's fields"""
    def __init__(self, name, op, options=None, exit=0, made=(), scripts=None, completion=False,
                 libraries=None, at_restart=(), before=None, run_from=None, extra=(), gui=False,
                 unchanged=False, **state):
        self.name, self.op, self.options, self.exit, self.made = name, op, options, exit, set(made)
        self.scripts, self.completion, self.libraries = scripts, completion, libraries
        self.at_restart, self.before, self.run_from = set(at_restart), before, run_from
        self.extra, self.state, self.gui = list(extra), state, gui
        self.unchanged = unchanged


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
        """installedVersion of the next run: recorded level, only the entry (130), or 0."""
        return 180 if self.layout is not None else 130 if self.entry else 0


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
            checks.expect(got is None, "%s exists" % key)
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


def check_pending(checks, hives, env, libraries, deletions):
    """The renames and deletions waiting for the restart, in order: the libraries'
    ("place" or "delete"), then the files in `deletions`."""
    session = hives["system"].get("system\\currentcontrolset\\control\\session manager", {})
    pending = [p.replace("\\??\\", "").lower()
               for p in session.get("pendingfilerenameoperations", [])]
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
    change or delete meanwhile and which is gone with its folder afterwards."""
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
        host = machine.host(script)
        gone = script and not os.path.exists(host) and not os.path.exists(os.path.dirname(host))
        checks.expect(gone, "the script %s or its folder is left behind" % script)


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


def whole_machine(machine):
    """The registry (both hives) and {path: (size, mtime)} of every file on drive C."""
    if machine.up:
        machine.down()
    return machine.registry(), drive_files(machine)


def drive_files(machine):
    """{path under drive_c: (size, mtime)} of every file on drive C."""
    files, drive = {}, os.path.join(machine.prefix, "drive_c")
    for dirpath, _, filenames in os.walk(drive):
        for name in filenames:
            info = os.lstat(os.path.join(dirpath, name))
            files[os.path.join(dirpath, name)[len(drive):]] = (info.st_size, info.st_mtime_ns)
    return files


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


def unmanaged_windows(machine):
    """Windows the display's (absent) window manager does not manage: Wine would otherwise
    wait 2 s for one to confirm that each closed message box is gone (server down)."""
    with open(os.path.join(machine.prefix, "user.reg"), "a") as f:
        f.write('\n[Software\\\\Wine\\\\X11 Driver] 1700000000\n"Managed"="N"\n')


def run_steps(args, steps, lang, language, default, desktop):
    """Runs a scenario's steps for a user of language `lang` (0 English, 1 Polish: the
    program's texts and file names follow it) with the checks after each step and after
    its restart; returns the process exit code."""
    env, checks, st = Env(args), Checks(), State()
    layers = [os.path.join(args.tree, "scenario", "layer%d" % args.bits), base_prefix(args.bits)]
    machine = Machine(args, args.name, layers, lang)
    machine.set_version(args.version)
    if any(step.gui for step in steps):
        unmanaged_windows(machine)
    files = {}
    try:
        for step in steps:
            checks.where = step.name
            if step.before:
                step.before(machine, env, st)
            before = whole_machine(machine) if step.unchanged else None
            driver = [step.op, *step.extra]
            if step.options:
                driver += step.options.args()
            if step.op.startswith("install"):
                driver += ["--final", "1", "--desktop", str(desktop),
                           "--language", "%04x" % language, "--default", str(default)]
            program = step.run_from(st) if step.run_from else windows_path(env.driver)
            detected = st.detected()
            if step.gui:
                program = windows_path(env.setup)
                if step.op.endswith("-refused"):  # the engine driver's seam for the right
                    program = windows_path(env.driver)
                    driver += ["--argument", "wizard-without-rights"]
                if step.op.startswith("install") and env.code >= 62:
                    driver[driver.index("--desktop") + 1] = "-1"  # forced on by the page
                rc, out = machine.wine(windows_path(os.path.join(env.tree, "gui_driver.exe")),
                                       "walk", program, *driver, "--version-code", str(env.code),
                                       "--ui", str(lang))
                checks.expect(rc == step.exit, "the walk's exit %d, expected %d:\n%s" %
                              (rc, step.exit, out.strip()))
            else:
                rc, out = machine.wine(program, *driver)
                line = re.search(r"engine: \w+=\d installedVersion=(-?\d+) ", out)
                started = step.exit != 2  # 2: refused at the start, before any detection
                checks.expect(rc == step.exit and (line is not None) == started,
                              "exit %d, expected %d: %s" % (rc, step.exit, out.strip()))
                checks.expect(not started or (line is not None and int(line.group(1)) == detected),
                              "installedVersion %s, expected %d"
                              % (line and line.group(1), detected))
            if "setup" in step.made:
                env.installer = env.setup if step.gui else env.driver

            # The state the table says the step leaves.
            planned = env.planned(lang, program.replace("/", "\\").rsplit("\\", 1)[-1])
            for item in step.made:
                st.paths[item], st.languages[item] = planned[item], lang
            st.items |= step.made
            if step.options:
                st.layout = step.options.over(st.layout)
            for name, value in step.state.items():
                setattr(st, name, value(env) if callable(value) else value)

            if before:
                check_unchanged(checks, before, whole_machine(machine))
            machine.down()
            hives = dict(zip(("system", "user"), machine.registry()))
            check_registry(checks, hives, expected_registry(env, st))
            at_restart = check_completion(checks, hives, env, lang, step.completion)
            in_use = [st.paths[i] for i in sorted(step.at_restart)]
            check_pending(checks, hives, env, step.libraries, in_use)
            placing = step.libraries == "place"
            files = check_files(checks, machine, env, st, step.made, files, placing)
            check_scripts(checks, machine, env, step, language, default)
            staged = {t: read_bytes(machine.host(s)) for t, s in env.libraries if placing}

            # The restart: the libraries reach the system folders, RunOnce runs once.
            checks.where = step.name + ", after the restart"
            machine.boot()
            ran = [c.get("command") for c in read_calls(machine)]
            checks.expect(ran == at_restart, "the restart ran %s, expected %s" % (ran, at_restart))
            for target, _ in env.libraries:
                host = machine.host(target)
                if step.libraries == "place":
                    checks.expect(read_bytes(host) == staged.get(target),
                                  "%s is not its staging file" % target)
                elif step.libraries == "delete":
                    checks.expect(not os.path.exists(host), "%s is still there" % target)
            if step.libraries:
                st.library = st.layout if step.libraries == "place" else None
            st.items -= step.at_restart
            files = check_files(checks, machine, env, st, set(), files, False)
            lines = {32: [], 64: []}
            if step.libraries == "place":
                read_libraries(checks, machine, env, st.library)
                # And loaded by a program of its own bits (the 32-bit copy of 64-bit
                # Windows has 64-bit tables, which only the reading above walks).
                if env.bits == 64:
                    lines[64].append(layout_line(env, st.library, env.libraries[1][0], 64))
                else:
                    lines[32].append(layout_line(env, st.library, env.libraries[0][0], 32))
            if st.entry and step.libraries == "place":
                lines[env.bits].append(["displayname", KLID, DISPLAY_NAMES[lang]])
            for item in sorted(st.items & step.made):
                if env.content(item, 0) is None:
                    shortcut = env.shortcut(item, st.paths, st.languages[item])
                    lines[32].append(["shortcut", st.paths[item], *shortcut])
            for bits in (32, 64):
                if lines[bits]:
                    ok, out = checker(machine, env, bits, lines[bits])
                    checks.expect(ok, "scenario_check (%d-bit): %s" % (bits, out))

        # Nothing is left waiting for a further restart.
        checks.where = "end"
        machine.down()
        hives = dict(zip(("system", "user"), machine.registry()))
        check_registry(checks, hives, expected_registry(env, st))
        check_completion(checks, hives, env, lang, False)
        check_pending(checks, hives, env, None, [])
    finally:
        machine.close()
    print("scenario %s: %d checks, %d failed" % (args.name, checks.count, checks.failed))
    return 1 if checks.failed else 0


# ---- The scenarios -------------------------------------------------------------------------

A = Options(0, 0, {0x3A: 0xA2, 0xE05B: 0x15D})   # Caps Lock as left Ctrl, left Windows as Apps
B = Options(1, 1, {0x29: 0x1B, 0xE11D: 0x91})    # grave accent as Esc, Pause as Scroll Lock
C = Options(2, 0, {0x46: 0x13, 0xE038: 0x1A3})   # Scroll Lock as Pause, right Alt as right Ctrl
W = Options(1, 1, A.keys)  # A's keys (the key page offers them) with B's variant and decimal key
ALL = set(ITEMS)

# Each matrix entry's user and wizard choices: the user's language (0 English, 1 Polish),
# the target language (used from Vista on), as that language's default, desktop shortcuts.
MATRIX = {(32, "win2k"): (0, 0x0415, 0, 1), (32, "winxp"): (1, 0x0415, 1, 1),
          (32, "win2003"): (0, 0x0415, 1, 0), (32, "vista"): (0, 0x0415, 1, 1),
          (32, "win7"): (1, 0x0407, 0, 1), (32, "win8"): (0, 0x0415, 1, 0),
          (64, "winxp64"): (0, 0x0415, 1, 1), (64, "vista"): (1, 0x0415, 0, 1),
          (64, "win7"): (0, 0x0409, 1, 1), (64, "win8"): (1, 0x0415, 1, 1),
          (64, "win10"): (0, 0x0415, 0, 0)}


def through_wizard(desktop, code):
    """The life of one installation made through the wizard: install, update only through
    the installed face (only the layout options change), Remove through it. From
    Windows 8 on the page forces the desktop shortcuts on."""
    made = ALL if desktop or code >= 62 else ALL - DESK_LINKS
    return [
        Step("install", "install", W, gui=True, **install(made)),
        Step("update only", "update", C, gui=True, libraries="place"),
        Step("remove", "remove", gui=True, items=set(), count=None, guides=None, layout=None,
             entry=False, scripts="remove", completion=True, libraries="delete"),
    ]


def install(made, **more):
    """A first installation's row: everything made and recorded, counted once."""
    row = dict(made=made, count=1, guides=1, entry=True, toggle="set", scripts="add",
               completion=True, libraries="place")
    row.update(more)
    return row


def matrix(desktop):
    """Install, install again, update only, remove: the life of one installation."""
    made = ALL if desktop else ALL - DESK_LINKS
    return [
        Step("install", "install", A, **install(made)),
        # Recorded at level 180: the guide and the setup copy are made again, the rest stays.
        Step("install again", "install", B, made=(GUIDE | SETUP) & made, scripts="add",
             completion=True, libraries="place"),
        Step("update only", "update", C, libraries="place"),
        Step("remove", "remove", items=set(), count=None, guides=None, layout=None, entry=False,
             scripts="remove", completion=True, libraries="delete"),
    ]


def older_installation(machine, env, st):
    """What an older version that kept no record left: its layout entry (Layout Id of its
    own), its library, the guide and read-me in the user's Documents and their shortcuts on
    the user's desktop; and a scan-code map the installation must keep. The user has moved
    the desktop out of the profile (User Shell Folders is the user's to write): files of the
    old shortcuts' names there are not the installation's to delete."""
    st.scancode_map = struct.pack("<6I", 0, 0, 3, 0x003A001D, 0xE05B0000, 0)
    machine.import_reg(
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\%s]\n"
        '"Layout Text"="%s"\n"Layout File"="%s"\n"Layout Component ID"="%s"\n"Layout Id"="0015"\n\n'
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layout]\n"
        '"Scancode Map"=hex:%s\n' % (KLID, COMMON[81], COMMON[83], COMMON[84],
                                      ",".join("%02x" % b for b in st.scancode_map)))
    elsewhere = "C:\\kestrel-elsewhere"
    machine.import_reg(
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
        "\\User Shell Folders]\n\"Desktop\"=\"%s\"\n" % elsewhere.replace("\\", "\\\\"))
    os.makedirs(machine.host(elsewhere), exist_ok=True)
    st.entry = True
    for target, _ in env.libraries:
        with open(machine.host(target), "wb") as f:
            f.write(b"MZ an older library")
    t = LANGUAGES[0]
    for folder, name in ((env.documents, t[77] + ".pdf"), (elsewhere, t[77] + ".lnk"),
                         (env.documents, t[78] + ".txt"), (elsewhere, t[78] + ".lnk")):
        with open(os.path.join(machine.host(folder), name), "wb") as f:
            f.write(b"older")
        if folder == elsewhere:
            st.kept[folder + "\\" + name] = b"older"


def shared_counters(machine, env, st):
    """A second installation counted in the product record and the document group."""
    product = "HKEY_LOCAL_MACHINE\\%s\\Kestrel Keyboards\\Kestrel" % env.software
    machine.import_reg('[%s]\n"InstallCount"=dword:00000002\n\n[%s\\Documents\\1.8]\n'
                       '"GuideUseCount"=dword:00000002\n' % (product, product))
    st.count, st.guides = 2, 2


def remove_toggle_key(machine, env, st):
    machine.import_reg("[-HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n")
    st.toggle = None


def hold_library(machine, env, st):
    """Another process holds the library in the system folder open while the step runs
    (ended by the restart that follows); the per-user key is back."""
    machine.import_reg("[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n")
    marker = os.path.join(machine.dir, "held")
    path = os.path.join(machine.dir, "hold.txt")
    with open(path, "w") as f:
        f.write("hold\t%s\t%s\n" % (env.libraries[0][0], windows_path(marker)))
    checker = windows_path(os.path.join(env.tree, "scenario_check.exe"))
    machine.wine(checker, windows_path(path), background=True)
    deadline = time.time() + 60
    while not os.path.exists(marker) and time.time() < deadline:
        time.sleep(0.1)
    assert os.path.exists(marker), "the library could not be held"


SCENARIOS = {
    # Through the wizard, an installation whose last step fails (the per-user key
    # missing): message 141 ends the wizard; all else is in place.
    "wizard-fails": lambda bits, version: ([
        Step("per-user key missing", "install-fails", A, gui=True, before=remove_toggle_key,
             **install(ALL, completion=False, toggle=None)),
    ], (0, 0x0415, 1, 1)),
    # Through the wizard of a user who is not an administrator (the engine driver's
    # seam): Install and Remove end it with message 122; nothing changes.
    "wizard-refused": lambda bits, version: ([
        Step("install refused", "install-refused", gui=True, unchanged=True),
        Step("install", "install", A, **install(ALL)),
        Step("remove refused", "remove-refused", gui=True, unchanged=True),
    ], (0, 0x0415, 1, 1)),
    "wizard": lambda bits, version: (
        through_wizard(MATRIX[bits, version][3], VERSION_CODES[version]), MATRIX[bits, version]),
    "matrix": lambda bits, version: (matrix(MATRIX[bits, version][3]), MATRIX[bits, version]),
    # Over an installation that left only the system's layout entry (level 130).
    "older": lambda bits, version: ([
        Step("install over the older one", "install", A, before=older_installation, **install(ALL)),
        Step("remove", "remove", items=set(), count=None, guides=None, layout=None, entry=False,
             scripts="remove", completion=True, libraries="delete"),
    ], (0, 0x0415, 1, 1)),
    # Two installations share the record: the first removal leaves what the other uses.
    "shared": lambda bits, version: ([
        Step("install", "install", A, **install(ALL)),
        Step("remove one of two", "remove", before=shared_counters, items=ALL - SETUP, count=1,
             guides=1, layout=None, completion=True),
        Step("remove the last", "remove", items=set(), count=None, guides=None, entry=False,
             scripts="remove", completion=True, libraries="delete"),
    ], (0, 0x0415, 1, 1)),
    # Removal run by the setup copy in the program folder: the copy goes at the restart;
    # its folder, not empty when the removal tried it, stays (empty).
    "from-copy": lambda bits, version: ([
        Step("install", "install", A, **install(ALL)),
        Step("remove from the setup copy", "remove", run_from=lambda st: st.paths["setup"],
             items={"setup"}, at_restart={"setup"}, count=None, guides=None, layout=None,
             entry=False, scripts="remove", completion=True, libraries="delete",
             folders=lambda env: {env.program_parent.lower(),
                                  env.program_parent.lower() + "\\kestrel"}),
    ], (1, 0x0415, 1, 1)),
    # Failures and damage: no image for the system (an IA-64 Windows 7: its slot is
    # empty) is refused before anything is made; the per-user key missing with the final step
    # asked for fails last, all else in place; a library held open by another process.
    "failures": lambda bits, version: ([
        # IA-64: refused before the wizard, nothing made.
        Step("no image for the system", "install", A, exit=2, unchanged=True, layout=None,
             extra=["--as-version", "61", "--as-arch", "6"]),
        Step("per-user key missing", "install", A, before=remove_toggle_key,
             **install(ALL, exit=1, completion=False, toggle=None)),
        Step("library held open", "install", B, before=hold_library, made=GUIDE | SETUP,
             toggle="set", scripts="add", completion=True, libraries="place"),
    ], (0, 0x0415, 1, 1)),
}


# ---- Commands --------------------------------------------------------------------------------

def base_prefix(bits):
    root = os.environ.get("KESTREL_WINE_ROOT") or os.path.join(REPO, "build", "wine")
    return os.path.join(root, "prefix%d" % bits)


def provision(args):
    """The scenario layer over the test prefix: the keys a real Windows has and the
    capture program as control.exe (a native program chosen by a DLL override)."""
    subprocess.run([os.path.join(REPO, "scripts", "wine-prefix.sh"), str(args.bits)], check=True)
    locale = os.path.join(args.tree, "scenario", "locale%d" % args.bits, "pl_PL.UTF-8")
    if not os.path.isdir(locale):
        os.makedirs(os.path.dirname(locale), exist_ok=True)
        subprocess.run(["localedef", "-i", "pl_PL", "-f", "UTF-8", locale], check=True)
    layer = os.path.join(args.tree, "scenario", "layer%d" % args.bits)
    shutil.rmtree(layer, ignore_errors=True)
    os.makedirs(layer)
    machine = Machine(args, "provision%d" % args.bits, [base_prefix(args.bits)])
    try:
        capture = read_bytes(os.path.join(args.tree, "control_capture.exe"))
        for folder in ("system32", "syswow64"):
            if os.path.isdir(machine.host("C:\\windows\\" + folder)):
                with open(machine.host("C:\\windows\\%s\\control.exe" % folder), "wb") as f:
                    f.write(capture)
        machine.import_reg(PROVISION_REG)
        machine.down()
    finally:
        machine.close()
    # The upper folder of that overlay is the layer.
    os.rmdir(layer)
    os.rename(os.path.join(machine.dir, "upper"), layer)
    print("provisioned %s" % layer)
    return 0


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


def own_namespace(name, seconds):
    """Re-runs this script in a user and mount namespace of its own (mounts vanish with
    its last process), ending it (and its Wine) before ctest's timeout would kill it
    and leave Wine running."""
    if os.environ.get("KESTREL_SCENARIO_NAMESPACE") != name:
        os.environ["KESTREL_SCENARIO_NAMESPACE"] = name
        os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount",
                              sys.executable, *sys.argv])
    signal.signal(signal.SIGALRM, lambda *_: sys.exit("%s: out of time" % name))
    signal.alarm(seconds)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("command", choices=["provision", "run", "bench"])
    parser.add_argument("scenario", nargs="?", choices=sorted(SCENARIOS))
    parser.add_argument("--bits", type=int, choices=[32, 64], required=True)
    parser.add_argument("--version", choices=sorted(VERSION_CODES), default="win7")
    parser.add_argument("--tree", required=True, help="the win32 build tree")
    parser.add_argument("--tree64", help="the win64 build tree (64-bit checks)")
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
