# Draws one variant's keyboard as vector graphics: the main block of a PC keyboard
# by scan code, each key with its base, Shift, AltGr and Shift+AltGr characters.
from reportlab.lib.colors import HexColor

from . import fonts
from .keycaps import shown, is_letter_pair

# Colours: black for the plain levels, blue for the AltGr levels, and dead keys
# in red-orange on a tint, so that they stand out even on a grey printer.
INK = HexColor("#15171a")
ALTGR = HexColor("#1d5fae")
DEAD = HexColor("#b9380b")
DEAD_TINT = HexColor("#fbe0d2")
NAME = HexColor("#4a505a")
KEY_FACE = HexColor("#fcfcfa")
KEY_MODIFIER = HexColor("#dadde2")
KEY_ALTGR = HexColor("#d3e2f5")
KEY_EDGE = HexColor("#80868f")

WIDTH_UNITS = 15.0
ROWS = 5

# Keys without characters, by the names printed on them.
NAMES = {
    0x0E: "Backspace", 0x0F: "Tab", 0x3A: "Caps Lock", 0x1C: "Enter",
    0x2A: "Shift", 0x36: "Shift", 0x1D: "Ctrl", 0xE01D: "Ctrl", 0x38: "Alt",
    0xE038: "AltGr", 0xE05B: "Win", 0xE05C: "Win", 0xE05D: "Menu", 0x39: "Space",
}
MODIFIERS = {0x0E, 0x0F, 0x3A, 0x1C, 0x2A, 0x36, 0x1D, 0xE01D, 0x38, 0xE038,
             0xE05B, 0xE05C, 0xE05D}

_NUMBER_ROW = [(0x29, 1)] + [(s, 1) for s in range(0x02, 0x0E)] + [(0x0E, 2)]
_BOTTOM_ROW = [(0x1D, 1.25), (0xE05B, 1.25), (0x38, 1.25), (0x39, 6.25),
               (0xE038, 1.25), (0xE05C, 1.25), (0xE05D, 1.25), (0xE01D, 1.25)]

# ANSI: the wide backslash key above Enter, no key beside the left Shift.
ANSI = [
    _NUMBER_ROW,
    [(0x0F, 1.5)] + [(s, 1) for s in range(0x10, 0x1C)] + [(0x2B, 1.5)],
    [(0x3A, 1.75)] + [(s, 1) for s in range(0x1E, 0x29)] + [(0x1C, 2.25)],
    [(0x2A, 2.25)] + [(s, 1) for s in range(0x2C, 0x36)] + [(0x36, 2.75)],
    _BOTTOM_ROW,
]

# ISO: the tall Enter, the backslash key (0x2B) left of it, the 102nd key (0x56).
ISO = [
    _NUMBER_ROW,
    [(0x0F, 1.5)] + [(s, 1) for s in range(0x10, 0x1C)],
    [(0x3A, 1.75)] + [(s, 1) for s in range(0x1E, 0x29)] + [(0x2B, 1)],
    [(0x2A, 1.25), (0x56, 1)] + [(s, 1) for s in range(0x2C, 0x36)] + [(0x36, 2.75)],
    _BOTTOM_ROW,
]

GAP = 0.06     # between keys, in key units
RADIUS = 0.09
PAD = 0.11     # from a key's edge to its characters


def uses_iso(variant):
    """The ISO shape (tall Enter, 102nd key) only when the 102nd key types something the
    backslash key does not: most keyboards these layouts are used on are ANSI."""
    extra = variant.keys.get(0x56)
    backslash = variant.keys.get(0x2B)
    if extra is None or not any(extra.levels):
        return False
    return backslash is None or extra.levels != backslash.levels


def key_rects(iso):
    """(scan, x, y, w, h) in key units, y from the top row down; Enter of the ISO
    shape is returned separately as an outline (see enter_outline)."""
    rects = []
    for row, keys in enumerate(ISO if iso else ANSI):
        x = 0.0
        for scan, w in keys:
            rects.append((scan, x, float(row), float(w), 1.0))
            x += w
        assert abs(x - WIDTH_UNITS) < 1e-9 or (iso and row == 1), (row, x)
    return rects


def height_for(width):
    return width / WIDTH_UNITS * ROWS


class Box:
    """A key's rectangle in points (PDF coordinates, y up)."""

    def __init__(self, x, y, w, h):
        self.x, self.y, self.w, self.h = x, y, w, h


def draw(c, variant, x, y, width):
    """Draws the keyboard of variant with its top-left corner at (x, y) in points,
    width points wide; returns the height used."""
    unit = width / WIDTH_UNITS
    iso = uses_iso(variant)
    top = y
    for scan, kx, ky, kw, kh in key_rects(iso):
        box = Box(x + kx * unit, top - (ky + kh) * unit, kw * unit, kh * unit)
        _draw_key(c, variant.keys.get(scan), scan, box, unit)
    if iso:
        _draw_iso_enter(c, x, top, unit)
    return ROWS * unit


def draw_cap(c, box, unit, fill):
    """A key cap at box. Each size and colour is drawn once per document (a form)
    and placed for every key that has it: a keyboard repeats a handful of caps."""
    forms = c.__dict__.setdefault("key_cap_forms", {})  # (size, colour) -> form name;
    # the canvas lives as long as its document, and short names keep the pages small
    shape = (round(box.w, 2), round(box.h, 2), round(unit, 2), fill.hexval())
    name = forms.get(shape)
    if name is None:
        name = forms[shape] = f"C{len(forms)}"
        c.beginForm(name, 0, 0, box.w, box.h)
        g = GAP * unit / 2
        c.setFillColor(fill)
        c.setStrokeColor(KEY_EDGE)
        c.setLineWidth(max(0.4, unit * 0.012))
        c.roundRect(g, g, box.w - 2 * g, box.h - 2 * g, RADIUS * unit, stroke=1, fill=1)
        c.endForm(compression=0)  # tiny: they deflate better together in the payload
    c.saveState()
    c.translate(box.x, box.y)
    c.doForm(name)
    c.restoreState()


def _draw_iso_enter(c, x, top, unit):
    # Upper part 1.5 wide on row 1, lower part 1.25 wide on row 2.
    g = GAP * unit / 2
    x0, x1, x2 = x + 13.5 * unit + g, x + 13.75 * unit + g, x + 15 * unit - g
    y0, y1, y2 = top - 1 * unit - g, top - 2 * unit - g, top - 3 * unit + g
    path = c.beginPath()
    path.moveTo(x0, y0)
    path.lineTo(x2, y0)
    path.lineTo(x2, y2)
    path.lineTo(x1, y2)
    path.lineTo(x1, y1)
    path.lineTo(x0, y1)
    path.close()
    c.setFillColor(KEY_MODIFIER)
    c.setStrokeColor(KEY_EDGE)
    c.setLineWidth(max(0.4, unit * 0.012))
    c.drawPath(path, stroke=1, fill=1)
    _name(c, "Enter", Box(x1 - g, y2 - g, x2 - x1 + 2 * g, unit), unit)


def _draw_key(c, key, scan, box, unit):
    if scan == 0x1C and box.w < 1.5 * unit:
        return  # the ISO Enter is drawn as one outline
    fill = KEY_ALTGR if scan == 0xE038 else KEY_MODIFIER if scan in MODIFIERS else KEY_FACE
    draw_cap(c, box, unit, fill)
    corners = corner_texts(key)
    if any(corners.values()):
        draw_corners(c, box, unit, corners)
        if scan == 0x39:
            _name(c, NAMES[scan], box, unit, centred=True)
    elif scan in NAMES:
        _name(c, NAMES[scan], box, unit, centred=(scan == 0x39))


def corner_texts(key):
    """position -> (character, is_dead) for 'tl' (Shift), 'bl' (base), 'tr'
    (Shift+AltGr) and 'br' (AltGr); a letter key shows its capital only."""
    corners = {"tl": None, "bl": None, "tr": None, "br": None}
    if key is None:
        return corners
    base, shift, altgr, shift_altgr = key.levels
    if is_letter_pair(base, shift) and not key.dead[0] and not key.dead[1]:
        corners["tl"] = (shift, False)
    else:
        corners["tl"] = (shift, key.dead[1]) if shift else None
        corners["bl"] = (base, key.dead[0]) if base else None
    corners["tr"] = (shift_altgr, key.dead[3]) if shift_altgr else None
    corners["br"] = (altgr, key.dead[2]) if altgr else None
    return {k: (v if v and shown(v[0])[0] else None) for k, v in corners.items()}


def draw_corners(c, box, unit, corners, colours=None):
    """Prints corners (see corner_texts) inside box; colours overrides the ink
    of a position (the legend uses it)."""
    half = box.w / 2 - PAD * unit
    for position, entry in corners.items():
        if not entry:
            continue
        char, dead = entry
        text, is_name = shown(char)
        altgr = position[1] == "r"
        size = unit * (0.17 if is_name else 0.27 if altgr else 0.31)
        if position == "tl" and corners.get("bl") is None and not is_name:
            size = unit * 0.36  # the capital of a letter key
        if dead and not is_name:
            size *= 1.3  # accents are small marks; a dead key must still catch the eye
        size = min(size, _fit(text, size, half if box.w < 1.6 * unit else box.w / 2))
        ink = (colours or {}).get(position) or (DEAD if dead else ALTGR if altgr else INK)
        w = fonts.width(text, fonts.REGULAR, size)
        left = box.x + PAD * unit + GAP * unit / 2
        right = box.x + box.w - PAD * unit - GAP * unit / 2
        tx = left if position[1] == "l" else right - w
        if position[0] == "t":
            ty = box.y + box.h - PAD * unit - GAP * unit / 2 - size * 0.76
        else:
            ty = box.y + PAD * unit + GAP * unit / 2 + size * 0.06
        if dead:
            m = size * 0.14
            c.setFillColor(DEAD_TINT)
            c.roundRect(tx - m, ty - size * 0.22, w + 2 * m, size * 1.12, size * 0.18,
                        stroke=0, fill=1)
        c.setFillColor(ink)
        c.setFont(fonts.REGULAR, size)
        c.drawString(tx, ty, text)


def _fit(text, size, room):
    w = fonts.width(text, fonts.REGULAR, size)
    return size if w <= room else size * room / w


def _name(c, text, box, unit, centred=False):
    size = unit * 0.17
    size = min(size, _fit(text, size, box.w - 2 * PAD * unit))
    c.setFillColor(NAME)
    c.setFont(fonts.REGULAR, size)
    ty = box.y + PAD * unit + GAP * unit / 2 + size * 0.1
    if centred:
        c.drawCentredString(box.x + box.w / 2, ty, text)
    else:
        c.drawString(box.x + PAD * unit + GAP * unit / 2, ty, text)
