# Embeds DejaVu Sans (Debian's fonts-dejavu-core) in the documents, so that the
# Polish letters, quotation marks, dashes and accents print on every PDF viewer.
# One face only: bold is the regular face outlined (emboldened.py), and the embedded
# subset carries no hinting (unhinted.py).
import os

from reportlab import rl_config
from reportlab.pdfbase import pdfmetrics
from reportlab.lib.fonts import addMapping

from . import emboldened
from .unhinted import UnhintedFont

REGULAR = "DejaVuSans"
BOLD = "DejaVuSans-Bold"
DEFAULT_DIR = "/usr/share/fonts/truetype/dejavu"

_face = None


def register(font_dir=DEFAULT_DIR):
    global _face
    if _face is not None:
        return
    regular = UnhintedFont(REGULAR, os.path.join(font_dir, "DejaVuSans.ttf"))
    pdfmetrics.registerFont(regular)
    pdfmetrics.registerFont(emboldened.EmboldenedFont(BOLD, regular))
    emboldened.install()
    # Paragraph markup (<b>) finds the bold face through the family.
    addMapping(REGULAR, 0, 0, REGULAR)
    addMapping(REGULAR, 1, 0, BOLD)
    addMapping(REGULAR, 0, 1, REGULAR)
    addMapping(REGULAR, 1, 1, BOLD)
    # Every page starts in this font, so no page refers to a font it does not embed.
    rl_config.canvas_basefontname = REGULAR
    _face = regular.face


def has_glyph(char):
    """True when the font draws every code point of char (else a box would print)."""
    return all(ord(c) in _face.charToGlyph for c in char)


def width(text, font, size):
    return pdfmetrics.stringWidth(text, font, size)
