# The legend under a keyboard: what the four corners of a key mean, the dead-key
# mark, and the table of each dead key's combinations. Words in English and Polish.
from reportlab.lib.colors import HexColor
from reportlab.lib.styles import ParagraphStyle
from reportlab.platypus import Paragraph

from . import fonts, keyboard
from .keycaps import key_name, shown

GREY = HexColor("#5b616b")

CORNERS = {  # position -> (English, Polish)
    "tl": ("Shift", "Shift"),
    "bl": ("key alone", "sam klawisz"),
    "tr": ("Shift+AltGr", "Shift+AltGr"),
    "br": ("AltGr", "AltGr"),
}

NOTES = [
    ("<b>Black</b>: without AltGr: at the bottom the key alone, at the top with Shift. "
     "A letter key shows its capital; alone it types the small letter.",
     "<b>Czarne</b>: bez AltGr: na dole sam klawisz, u góry z Shift. Klawisz litery "
     "pokazuje wielką literę; sam wpisuje małą."),
    ("<b><font color='#1d5fae'>Blue</font></b>: with AltGr, the right Alt key (or Ctrl+Alt): "
     "at the bottom AltGr, at the top Shift+AltGr.",
     "<b><font color='#1d5fae'>Niebieskie</font></b>: z AltGr, czyli prawym Altem (albo "
     "Ctrl+Alt): na dole AltGr, u góry Shift+AltGr."),
]

DEAD_NOTE = (
    "<b><font color='#b9380b'>Dead key</font></b>: type the accent, then the letter "
    "(´ then e gives é). The accent followed by Space types the accent alone.",
    "<b><font color='#b9380b'>Klawisz martwy</font></b>: naciśnij akcent, potem literę "
    "(´ i e daje é). Akcent i spacja dają sam akcent.")


def style(size, colour=None, leading=None):
    return ParagraphStyle("legend", fontName=fonts.REGULAR, fontSize=size,
                          leading=leading or size * 1.3,
                          textColor=colour or keyboard.INK)


def paragraph(c, markup, x, top, width, st):
    """Draws markup wrapped to width with its top at top; returns its height."""
    p = Paragraph(markup, st)
    _, h = p.wrap(width, 10000)
    p.drawOn(c, x, top - h)
    return h


def draw_sample_key(c, x, top, unit):
    """A large key whose corners name the levels; returns its width."""
    box = keyboard.Box(x, top - 2 * unit, 2 * unit, 2 * unit)
    keyboard.draw_cap(c, box, unit, keyboard.KEY_FACE)
    small = unit * 0.16
    c.setFont(fonts.REGULAR, small)
    for position, (en, pl) in CORNERS.items():
        ink = keyboard.ALTGR if position[1] == "r" else keyboard.INK
        c.setFillColor(ink)
        inset = unit * 0.16
        tx = box.x + inset if position[1] == "l" else box.x + box.w - inset
        ty = box.y + box.h - inset - small if position[0] == "t" else box.y + inset + small * 0.9
        draw = c.drawString if position[1] == "l" else c.drawRightString
        draw(tx, ty, en)
        if pl != en:
            c.setFillColor(GREY)
            draw(tx, ty - small * 1.15, pl)
    return box.w


def draw_notes(c, x, top, width, size, with_dead):
    """The colour notes, English above Polish; returns the height used."""
    used = 0
    notes = NOTES + ([DEAD_NOTE] if with_dead else [])
    for en, pl in notes:
        used += paragraph(c, en, x, top - used, width, style(size))
        used += paragraph(c, pl, x, top - used, width, style(size, GREY)) + size * 0.5
    return used


def combination_text(dead):
    """'a → á   e → é …' with Space shown as ␣; characters the font lacks by code point.
    No-break spaces keep a pair together and the pairs apart, where paragraphs would
    fold ordinary spaces into one."""
    parts = []
    for typed, result in dead.combinations:
        first = "\u2423" if typed == " " else shown(typed)[0]
        parts.append(f"{first}\u00a0→\u00a0{shown(result)[0]}")
    return "\u00a0\u00a0 ".join(parts)


def draw_dead_keys(c, variant, x, top, width, size, columns=2):
    """The dead keys in columns, each with its accent, its name, the keys that type
    it and its combinations; returns the height used."""
    if not variant.dead_keys:
        return 0
    used = paragraph(c, "<b>Dead keys</b> · <font color='#5b616b'>Klawisze martwe</font>",
                     x, top, width, style(size * 1.15))
    used += size * 0.5
    gutter = 6 * size
    column_w = (width - gutter * (columns - 1)) / columns
    label_w = size * 8.5
    per_column = -(-len(variant.dead_keys) // columns)
    tallest = 0
    for column in range(columns):
        cx = x + column * (column_w + gutter)
        down = used
        for dead in variant.dead_keys[column * per_column:(column + 1) * per_column]:
            places = ", ".join(dead_key_places(variant, dead.accent))
            head = (f"<font color='#b9380b'><b>{escape(dead.accent)}</b></font>&nbsp; "
                    f"{escape(dead.name)}<br/><font color='#5b616b' size='{size * 0.85:.1f}'>"
                    f"{escape(places)}</font>")
            h1 = paragraph(c, head, cx, top - down, label_w, style(size))
            h2 = paragraph(c, escape(combination_text(dead)), cx + label_w, top - down,
                           column_w - label_w, style(size))
            down += max(h1, h2) + size * 0.45
        tallest = max(tallest, down)
    return tallest


LEVEL_KEYS = ("", "Shift+", "AltGr+", "Shift+AltGr+")


def dead_key_places(variant, accent):
    """'AltGr+'' style names of the keys that type accent as a dead key."""
    out = []
    for key, level in variant.find(accent):
        if key.dead[level]:
            out.append(LEVEL_KEYS[level] + key_name(key))
    return out


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
