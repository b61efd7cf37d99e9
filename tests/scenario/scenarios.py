"""The scenarios: the layout choices the steps make, each configuration's user and
wizard choices (MATRIX), what a step does to the machine first, and each scenario's
table of steps (SCENARIOS)."""
import os
import struct
import time

from machine import VERSION_CODES, windows_path
from product import COMMON, DESK_LINKS, GUIDE, ITEMS, KLID, LANGUAGES, SETUP, Options
from steps import Step


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
