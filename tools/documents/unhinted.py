# The embedded font: reportlab's subset of DejaVu Sans for exactly the characters a
# document prints, without the hinting a PDF viewer does not use (instructions, cvt,
# fpgm, prep) and with only the names that identify the face.
import io

from fontTools.ttLib import TTFont as FontFile
from reportlab.pdfbase.ttfonts import TTFont, TTFontFace

# reportlab copies these whole into every subset; they only drive the glyph programs.
_HINTING_TABLES = ("fpgm", "prep", "cvt ")
# Copyright, family, style, unique id, full name, version, PostScript name.
_KEPT_NAME_IDS = range(0, 7)


def strip_hinting(data):
    """The TrueType font data without hinting; glyph outlines, glyph order, metrics
    and cmap unchanged. Same input, same bytes (the header's dates are kept)."""
    font = FontFile(io.BytesIO(data), recalcTimestamp=False)
    for tag in _HINTING_TABLES:
        if tag in font:
            del font[tag]
    glyf = font["glyf"]
    for name in font.getGlyphOrder():
        glyf[name].removeHinting()
    maxp = font["maxp"]
    if maxp.tableVersion >= 0x00010000:
        maxp.maxSizeOfInstructions = 0
        maxp.maxFunctionDefs = maxp.maxInstructionDefs = 0
        maxp.maxStackElements = maxp.maxTwilightPoints = maxp.maxStorage = 0
    names = font["name"]
    names.names = [n for n in names.names
                   if n.nameID in _KEPT_NAME_IDS and (n.platformID, n.langID) == (3, 0x409)]
    out = io.BytesIO()
    font.save(out)
    return out.getvalue()


class _UnhintedFace(TTFontFace):
    def makeSubset(self, subset):
        return strip_hinting(super().makeSubset(subset))


class UnhintedFont(TTFont):
    """A TrueType font whose embedded subsets carry no hinting; its subset holds only
    the characters the document uses (no ASCII block reserved ahead)."""

    def __init__(self, name, path):
        super().__init__(name, path, asciiReadable=0)
        self.face.__class__ = _UnhintedFace  # the same parsed face, subsets unhinted
