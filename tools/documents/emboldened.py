# Bold drawn with the regular face: the glyphs filled and outlined in the text's own
# colour (text render mode 2), so a document embeds one font subset, not two.
from reportlab.lib.rl_accel import fp_str
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfgen.textobject import PDFTextObject

# Outline width per point of font size: thickens the stems about as much as the
# bold face does.
STROKE = 0.065


class EmboldenedFont:
    """The regular font under the bold name: the same glyphs and embedded subset (its
    characters go through the regular font), drawn outlined and spaced apart by the
    outline's width."""

    _multiByte = 1
    _dynamicFont = 1

    def __init__(self, name, regular):
        self.fontName = name
        self.regular = regular
        self.face = _FaceAlias(regular.face)
        self.encoding = regular.encoding

    def stringWidth(self, text, size, encoding="utf8"):
        # The outline widens each glyph by STROKE; the character spacing makes room.
        return self.regular.stringWidth(text, size, encoding) + len(text) * size * STROKE

    def splitString(self, text, doc, encoding="utf-8"):
        return self.regular.splitString(text, doc, encoding)

    def getSubsetInternalName(self, subset, doc):
        name = self.regular.getSubsetInternalName(subset, doc)
        doc.fontMapping[self.fontName] = doc.fontMapping[self.regular.fontName]
        return name


class _FaceAlias:
    """The regular face under another name: pdfmetrics.registerFont hands back the
    font already registered for a face name, which would lose the outline."""

    def __init__(self, face):
        self._face = face
        self.name = face.name + b"-Emboldened"

    def __getattr__(self, attribute):
        return getattr(self._face, attribute)


_plain_format_text = PDFTextObject._formatText
_plain_get_code = PDFTextObject.getCode


def _format_text(self, text):
    """Switches the outline on before bold text and off before other text; the
    operators land ahead of the text's own."""
    bold = isinstance(pdfmetrics.getFont(self._fontname), EmboldenedFont)
    ink = getattr(self, "_fillColorObj", self._canvas._fillColorObj)
    want = (fp_str(self._fontsize * STROKE), ink) if bold else None
    if want != getattr(self, "_outline", None):
        if want:
            self.setStrokeColor(ink)
            self._code.append(f"1 j {want[0]} w {want[0]} Tc 2 Tr")
        else:
            self._code.append("0 Tc 0 Tr")
        self._outline = want
        self._outlined = True
    return _plain_format_text(self, text)


def _get_code(self):
    # Line width, join, stroke colour and render mode outlive the text object: give
    # back the canvas's own, which the canvas believes are still in force.
    if getattr(self, "_outlined", False):
        canvas = self._canvas
        self.setStrokeColor(canvas._strokeColorObj)
        self._code.append(f"{canvas._lineJoin} j {fp_str(canvas._lineWidth)} w 0 Tc 0 Tr")
        self._outline = None
        self._outlined = False
    return _plain_get_code(self)


def install():
    """Makes reportlab's text objects draw EmboldenedFont text outlined."""
    PDFTextObject._formatText = _format_text
    PDFTextObject.getCode = _get_code
