"""The Wine machine: a throwaway overlay copy of a prefix (the provisioned layer over
the test prefix), its restart (wineserver down, then the next Wine start), its
programs, its registry import, its paths on the host; the namespace a runner runs in."""
import os
import re
import shutil
import signal
import subprocess
import sys

from registry_files import read_registry


REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
VERSION_CODES = {"win2k": 50, "winxp": 51, "winxp64": 52, "win2003": 52, "vista": 60,
                 "win7": 61, "win8": 62, "win10": 62}
WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
# Keys Wine rewrites whenever a program meets the display, whatever it does: the
# display adapters' and the monitors' device classes.
WINE_VOLATILE = re.compile(r"system\\currentcontrolset\\control\\class\\"
                           r"\{(4d36e968|4d36e96e)-e325-11ce-bfc1-08002be10318\}(\\.*)?")




def wine_loader_env(bits):
    """PATH and WINELOADER for a 64-bit prefix on a kernel that refuses Wine's
    32-bit loader (scripts/wine-loader.sh): its Wine commands go to the 64-bit one."""
    if bits != 64 or not os.access("/usr/lib/wine/wine64", os.X_OK):
        return {}
    try:
        subprocess.run(["/usr/lib/wine/wine", "--version"], check=True, capture_output=True)
        return {}
    except (OSError, subprocess.CalledProcessError):
        shims = os.path.join(REPO, "scripts", "wine64-only")
        return {"PATH": shims + os.pathsep + os.environ.get("PATH", ""),
                "WINELOADER": "/usr/lib/wine/wine64"}


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
        self.env.update(wine_loader_env(args.bits))
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


def image_bits(path):
    """64 for an x86_64 Windows image, else 32 (what the PE header's machine says)."""
    data = read_bytes(path) or b""
    if len(data) < 0x40:
        return 32
    header = int.from_bytes(data[0x3C:0x40], "little")
    return 64 if data[header + 4:header + 6] == b"\x64\x86" else 32


def windows_path(host):
    return "Z:" + os.path.abspath(host).replace("/", "\\")


def base_prefix(bits):
    root = os.environ.get("KESTREL_WINE_ROOT") or os.path.join(REPO, "build", "wine")
    return os.path.join(root, "prefix%d" % bits)


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


def unmanaged_windows(machine):
    """Windows the display's (absent) window manager does not manage: Wine would otherwise
    wait 2 s for one to confirm that each closed message box is gone (server down)."""
    with open(os.path.join(machine.prefix, "user.reg"), "a") as f:
        f.write('\n[Software\\\\Wine\\\\X11 Driver] 1700000000\n"Managed"="N"\n')


def own_namespace(name, seconds):
    """Re-runs the running script (sys.argv) in a user and mount namespace of its own
    (mounts vanish with its last process), ending it (and its Wine) before ctest's
    timeout would kill it and leave Wine running."""
    if os.environ.get("KESTREL_SCENARIO_NAMESPACE") != name:
        os.environ["KESTREL_SCENARIO_NAMESPACE"] = name
        os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount",
                              sys.executable, *sys.argv])
    signal.signal(signal.SIGALRM, lambda *_: sys.exit("%s: out of time" % name))
    signal.alarm(seconds)
