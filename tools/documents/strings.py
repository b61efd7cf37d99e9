# Reads the product's own texts (content/strings/*.txt) so that the documents name
# the product, the layout and its variants exactly as Setup does.
import ast
import os
import re

_LINE = re.compile(r'^(\d+)\s+(utf16|utf8)\s+(".*")\s*$')
_MORE = re.compile(r'^\s+(".*")\s*$')


def read_table(path):
    """id -> text of one string table (an indented quoted line continues the text)."""
    table = {}
    last = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                last = None
                continue
            m = _LINE.match(line)
            if m:
                last = int(m.group(1))
                table[last] = _unquote(m.group(3))
                continue
            m = _MORE.match(line)
            if m and last is not None:
                table[last] += _unquote(m.group(1))
    return table


def _unquote(quoted):
    # The tables use C-like escapes (\\, \", \r\n, \uXXXX), which a Python literal reads alike.
    return ast.literal_eval(quoted)


class Texts:
    """The texts the documents use, in English and Polish."""

    def __init__(self, content_dir):
        folder = os.path.join(content_dir, "strings")
        common = read_table(os.path.join(folder, "common.txt"))
        self.en = dict(common)
        self.en.update(read_table(os.path.join(folder, "english.txt")))
        self.pl = dict(common)
        self.pl.update(read_table(os.path.join(folder, "polish.txt")))

    def variant_name(self, index, language="en"):
        table = self.en if language == "en" else self.pl
        return table[112 + index]

    @property
    def product(self):
        return self.en[0]

    @property
    def vendor(self):
        return self.en[8]

    @property
    def version(self):
        return self.en[23]

    @property
    def layout_name(self):
        return self.en[81]
