# What a key's four corners show: the character itself, or a short name for
# characters that print nothing (spaces, combining marks, controls).
import unicodedata

from . import fonts

# Characters a reader could not see on a key, by the names charts give them.
_NAMED = {
    "\u00a0": "nbsp",
    "\u202f": "nnbsp",
    "\u2009": "thin",
    "\u2007": "fig sp",
    "\u00ad": "shy",
    "\u200b": "zwsp",
    "\u200c": "zwnj",
    "\u200d": "zwj",
}


def shown(char):
    """(text, is_name): the text printed for char; is_name when it is a description
    (drawn smaller) rather than the character itself. ("", False) for nothing."""
    if char == "" or char == " ":
        return "", False
    if char in _NAMED:
        return _NAMED[char], True
    if len(char) == 1:
        category = unicodedata.category(char)
        if category == "Cc":  # Tab, Enter, Backspace: the key's name says it
            return "", False
        if category == "Mn":  # a lone combining mark sits on a dotted circle
            return "\u25cc" + char, False
        if category[0] in "CZ":
            return f"U+{ord(char):04X}", True
    if not fonts.has_glyph(char):
        return " ".join(f"U+{ord(c):04X}" for c in char), True
    return char, False


def key_name(key):
    """How the guide names a key: its base character in capitals ("A", "'"), or
    the layout's label for keys that type no printable character."""
    text, is_name = shown(key.levels[0])
    if text and not is_name:
        return text.upper()
    return key.label


def is_letter_pair(lower, upper):
    """True for a key whose Shift level is just the capital of its base level
    (charts print the capital only)."""
    return (len(lower) == 1 and lower.isalpha() and lower != upper
            and lower.upper() == upper)
