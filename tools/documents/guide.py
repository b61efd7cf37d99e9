# The user guide: the same text in English, then in Polish (typing, variants, switching
# layouts on each Windows version, Setup's options), then every variant's keyboard chart.
from reportlab.lib.colors import HexColor
from reportlab.lib.pagesizes import A4
from reportlab.lib.styles import ParagraphStyle
from reportlab.lib.units import mm
from reportlab.platypus import (Flowable, KeepTogether, PageBreak, Paragraph,
                                SimpleDocTemplate, Spacer, Table, TableStyle)

from . import fonts, guide_en, guide_pl, keyboard, keycaps, legend

MARGIN = 18 * mm
POLISH_LETTERS = "ąćęłńóśźż"
HEADING = HexColor("#1d3f6e")
RULE = HexColor("#c9ccd1")


class KeyboardDrawing(Flowable):
    """One variant's keyboard, as wide as the text."""

    def __init__(self, variant):
        super().__init__()
        self.variant = variant

    def wrap(self, available_width, available_height):
        self.width = available_width
        self.height = keyboard.height_for(available_width)
        return self.width, self.height

    def draw(self):
        keyboard.draw(self.canv, self.variant, 0, self.height, self.width)


def _styles():
    def style(name, size, leading, font=fonts.REGULAR, colour=keyboard.INK, **more):
        return ParagraphStyle(name, fontName=font, fontSize=size, leading=leading,
                              textColor=colour, **more)
    return {
        "title": style("title", 24, 30, fonts.BOLD),
        "subtitle": style("subtitle", 12, 16, colour=legend.GREY, spaceAfter=2),
        "other": style("other", 9, 12, colour=legend.GREY, spaceAfter=10),
        "h1": style("h1", 15, 19, fonts.BOLD, HEADING, spaceBefore=12, spaceAfter=5),
        "h2": style("h2", 11.5, 15, fonts.BOLD, spaceBefore=7, spaceAfter=3),
        "body": style("body", 10, 14, spaceAfter=5),
        "cell": style("cell", 9.5, 12.5),
    }


def key_name(key, level):
    """'AltGr+A': the modifiers of level and the key's name."""
    return legend.LEVEL_KEYS[level] + keycaps.key_name(key)


def _table_style(header):
    commands = [
        ("FONTNAME", (0, 0), (-1, -1), fonts.REGULAR),  # else cells select Helvetica
        ("VALIGN", (0, 0), (-1, -1), "MIDDLE"),
        ("LINEBELOW", (0, 0), (-1, -1), 0.4, RULE),
        ("TOPPADDING", (0, 0), (-1, -1), 2.5),
        ("BOTTOMPADDING", (0, 0), (-1, -1), 3),
    ]
    if header:
        commands.append(("LINEBELOW", (0, 0), (-1, 0), 0.9, keyboard.INK))
    return TableStyle(commands)


def _letters_table(variant, words, st):
    """The Polish letters of variant and the keys that type them, small and capital."""
    rows = [[Paragraph(f"<b>{t}</b>", st["cell"]) for t in words.LETTER_COLUMNS]]
    for small in POLISH_LETTERS:
        capital = small.upper()
        where = ", ".join(key_name(k, lvl) for k, lvl in variant.find(small))
        where_capital = ", ".join(key_name(k, lvl) for k, lvl in variant.find(capital))
        if where or where_capital:
            rows.append([Paragraph(f"<font size='13'>{small}</font>", st["cell"]),
                         Paragraph(where, st["cell"]),
                         Paragraph(f"<font size='13'>{capital}</font>", st["cell"]),
                         Paragraph(where_capital, st["cell"])])
    table = Table(rows, colWidths=[18 * mm, 38 * mm, 18 * mm, 46 * mm], hAlign="LEFT")
    table.setStyle(_table_style(header=True))
    return table


def _dead_table(variant, st):
    columns = zip(guide_en.DEAD_TABLE_COLUMNS, guide_pl.DEAD_TABLE_COLUMNS)
    rows = [[Paragraph(f"<b>{en}</b><br/><font color='#5b616b'>{pl}</font>", st["cell"])
             for en, pl in columns]]
    for dead in variant.dead_keys:
        keys = ", ".join(legend.dead_key_places(variant, dead.accent))
        rows.append([
            Paragraph(f"<font color='#b9380b' size='13'>{legend.escape(dead.accent)}</font>"
                      f"&nbsp; {legend.escape(dead.name)}", st["cell"]),
            Paragraph(legend.escape(keys), st["cell"]),
            Paragraph(legend.escape(legend.combination_text(dead)), st["cell"]),
        ])
    table = Table(rows, colWidths=[30 * mm, 30 * mm, None], hAlign="LEFT", repeatRows=1)
    table.setStyle(_table_style(header=True))
    return table


def _language_part(variants, texts, words, st):
    """The guide's text in one language."""
    table = texts.en if words.LANGUAGE == "en" else texts.pl
    fields = dict(layout=texts.layout_name, product=texts.product, vendor=texts.vendor,
                  version=texts.version, change=table[48].replace("%s", texts.layout_name),
                  s=table)
    p = lambda text, style="body": Paragraph(text.format(**fields), st[style])  # noqa: E731

    out = [p(table[22], "title"), p(words.SUBTITLE, "subtitle"),
           p(words.OTHER_LANGUAGE, "other")]
    out += [p(t) for t in words.INTRO]
    out += [p(words.LETTERS_HEAD, "h1"), p(words.LETTERS_TEXT),
            _letters_table(variants[0], words, st)]

    out.append(p(words.VARIANTS_HEAD, "h1"))
    for variant, text in zip(variants, words.VARIANTS):
        name = variant.name if words.LANGUAGE == "en" else texts.variant_name(variant.index, "pl")
        out.append(p(f"<b>{legend.escape(name)}</b>: {text}"))
    out.append(p(words.VARIANTS_AFTER))

    out += [p(words.SWITCH_HEAD, "h1"), p(words.SWITCH_TEXT)]
    for version, steps in words.WINDOWS:
        out.append(KeepTogether([p(version, "h2")] + [p(s) for s in steps]))
    for head, paragraphs in words.SECTIONS:
        out.append(KeepTogether([p(head, "h1"), p(paragraphs[0])]))
        out += [p(t) for t in paragraphs[1:]]
    return out


def _charts(variants, texts, st):
    out = [Paragraph(f"{guide_en.CHARTS_HEAD} \u00b7 {guide_pl.CHARTS_HEAD}", st["h1"]),
           Paragraph(guide_en.CHARTS_TEXT, st["body"]),
           Paragraph(f"<font color='#5b616b'>{guide_pl.CHARTS_TEXT}</font>", st["body"])]
    for variant in variants:
        head = (f"{texts.layout_name} \u2013 {legend.escape(variant.name)} \u00b7 "
                f"<font color='#5b616b'>{legend.escape(texts.variant_name(variant.index, 'pl'))}</font>")
        chart = [Paragraph(head, st["h2"]), Spacer(1, 2 * mm), KeyboardDrawing(variant),
                 Spacer(1, 5 * mm)]
        if variant.dead_keys:
            chart += [_dead_table(variant, st), Spacer(1, 5 * mm)]
        out.append(KeepTogether(chart))
    return out


def story(variants, texts):
    st = _styles()
    out = _language_part(variants, texts, guide_en, st) + [PageBreak()]
    out += _language_part(variants, texts, guide_pl, st) + [PageBreak()]
    return out + _charts(variants, texts, st)


def write(path, variants, texts):
    footer = f"{texts.en[22]} \u00b7 {texts.pl[22]}"

    def on_page(c, doc):
        c.saveState()
        c.setFont(fonts.REGULAR, 8)
        c.setFillColor(legend.GREY)
        c.drawString(MARGIN, 10 * mm, footer)
        c.drawRightString(A4[0] - MARGIN, 10 * mm, str(c.getPageNumber()))
        c.restoreState()

    doc = SimpleDocTemplate(path, pagesize=A4, leftMargin=MARGIN, rightMargin=MARGIN,
                            topMargin=MARGIN, bottomMargin=MARGIN + 4 * mm,
                            title=texts.en[22], author=texts.vendor,
                            subject=f"{texts.layout_name} {texts.version}",
                            creator=texts.product, invariant=1, pageCompression=1)
    doc.build(story(variants, texts), onFirstPage=on_page, onLaterPages=on_page)
