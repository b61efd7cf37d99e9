"""What the product makes, as its sources say: the texts of content/strings, the
items an installation places and the record values that name them, where each goes
on the machine (Env), what each holds, and the layout choices (Options)."""
import os
import re
import struct

from machine import REPO, VERSION_CODES, image_bits, read_bytes


KLID = "a0e70415"
SYSTEM = "C:\\windows\\system32"


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
    """The machine's folders as the engine sees them, and the build's files. The
    engine is a 32-bit program, which 64-bit Windows shows its WOW64 views, except
    in the x86_64 engine tree (built where only 64-bit programs run)."""
    def __init__(self, args):
        self.bits, self.code = args.bits, VERSION_CODES[args.version]
        self.tree, self.tree64 = args.tree, args.tree64
        self.layout_tool = args.layout_tool
        self.documents_tree = getattr(args, "documents", None) or os.path.join(self.tree, "documents")
        self.driver = os.path.join(self.tree, "engine_driver.exe")
        wow64 = self.bits == 64 and image_bits(self.driver) == 32
        x86 = " (x86)" if wow64 else ""
        self.program_parent = "C:\\Program Files%s\\Kestrel Keyboards" % x86
        self.menu_parent = ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"
                            "\\Kestrel Keyboards")
        self.desktop = "C:\\users\\Public\\Desktop"
        user = os.environ.get("USER") or "root"
        self.documents = "C:\\users\\%s\\Documents" % user
        self.user_desktop = "C:\\users\\%s\\Desktop" % user
        self.software = "Software\\Wow6432Node" if wow64 else "Software"
        self.setup = os.path.join(self.tree, "setup.exe")
        self.installer = self.driver  # the program whose copy the installation keeps
        # (target, staging) of each layout library, 32-bit first.
        folder = self.program_parent + "\\Kestrel\\"
        # An engine told the machine is x86 (--as-arch 0) places only the x86 library.
        if self.bits == 64 and not getattr(args, "as_x86", False):
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
        documents = self.documents_tree
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
        """(target, description, icon, index, run as administrator) of a shortcut item:
        the setup copy's asks for an administrator's rights from Windows Vista on."""
        t = LANGUAGES[lang]
        kind = item.split("_")[0]
        target = paths[kind]
        description = {"guide": t[120], "chart": t[35], "readme": t[121],
                       "setup": t[48] % t[81]}[kind]
        icon = {"readme": t[52], "setup": paths["setup"]}.get(kind, "")
        return target, description, icon, "0", "1" if kind == "setup" and self.code >= 60 else "0"

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
