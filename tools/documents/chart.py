# The printable keyboard chart: one landscape A4 page per variant, a large keyboard,
# the legend and, for a variant with dead keys, their combinations.
from reportlab.lib.pagesizes import A4, landscape
from reportlab.lib.units import mm
from reportlab.pdfgen import canvas

from . import fonts, keyboard, legend

PAGE = landscape(A4)
MARGIN = 14 * mm


def write(path, variants, texts):
    c = canvas.Canvas(path, pagesize=PAGE, invariant=1, pageCompression=1)
    c.setTitle(texts.en[30])
    c.setAuthor(texts.vendor)
    c.setSubject(f"{texts.layout_name} {texts.version}")
    c.setCreator(texts.product)
    for variant in variants:
        _page(c, variant, texts)
        c.showPage()
    c.save()


def _page(c, variant, texts):
    width, height = PAGE
    inner = width - 2 * MARGIN
    top = height - MARGIN

    # Heading: the layout and the variant in both languages; product at the right.
    c.setFillColor(keyboard.INK)
    c.setFont(fonts.BOLD, 20)
    c.drawString(MARGIN, top - 20, f"{texts.layout_name} \u2013 {variant.name}")
    c.setFillColor(legend.GREY)
    c.setFont(fonts.REGULAR, 12)
    c.drawString(MARGIN, top - 37, f"{texts.pl[30]} \u2013 {texts.variant_name(variant.index, 'pl')}")
    c.setFont(fonts.REGULAR, 9)
    c.drawRightString(width - MARGIN, top - 14, f"{texts.product} {texts.version}")
    c.drawRightString(width - MARGIN, top - 26, texts.vendor)
    top -= 50

    board_w = inner if not variant.dead_keys else inner * 0.9
    board_x = MARGIN + (inner - board_w) / 2
    top -= keyboard.draw(c, variant, board_x, top, board_w) + 12

    unit = board_w / keyboard.WIDTH_UNITS
    sample_unit = min(unit, 18 * mm)
    key_w = legend.draw_sample_key(c, MARGIN, top, sample_unit)
    notes_x = MARGIN + key_w + 8 * mm
    size = 8.5 if variant.dead_keys else 9.5
    used = legend.draw_notes(c, notes_x, top, inner - key_w - 8 * mm, size,
                             bool(variant.dead_keys))
    top -= max(used, key_w) + 6
    legend.draw_dead_keys(c, variant, MARGIN, top, inner, 8)

    c.setFont(fonts.REGULAR, 7.5)
    c.setFillColor(legend.GREY)
    c.drawString(MARGIN, MARGIN - 4 * mm,
                 "The decimal key of the numeric keypad types a comma or a full stop, as chosen in Setup."
                 "  \u00b7  Klawisz dziesiętny klawiatury numerycznej wpisuje przecinek albo kropkę, "
                 "zależnie od wyboru w instalatorze.")
