"""Wine's registry files: the .reg text Wine keeps each hive in (system.reg,
user.reg) read into {key: {value: data}}, value names and key paths in lower case."""
import re


def unescape(text):
    def one(m):
        e = m.group(1)
        if e[0] == "x":
            return chr(int(e[1:], 16))
        if e[0] in "01234567":
            return chr(int(e, 8))
        return {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b", "v": "\v", "f": "\f",
                "e": "\x1b"}.get(e, e)
    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.)", one, text)


class Expandable(str):
    """A REG_EXPAND_SZ text: equal to its text, and told apart where a check asks."""


def parse_value(data):
    if data.startswith('"'):
        return unescape(data[1:-1])
    kind = re.match(r"(str\((\d+)\)|dword|hex(\((\w+)\))?):(.*)", data, re.S)
    if kind.group(1) == "dword":
        return int(kind.group(5), 16)
    if kind.group(2):  # str(2) expandable, str(7) multi-string
        text = unescape(kind.group(5)[1:-1])
        if kind.group(2) == "2":
            return Expandable(text)
        return [s for s in text.split("\0") if s] if kind.group(2) == "7" else text
    raw = bytes(int(b, 16) for b in kind.group(5).replace(" ", "").split(",") if b)
    if kind.group(4) == "7":
        return [s for s in raw.decode("utf-16-le").split("\0") if s]
    return raw


def read_registry(path):
    """Lower-case key path -> {lower-case value name: value} of a .reg file of Wine."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        return parse_registry(f)


def parse_registry(lines):
    """read_registry of the lines of such a file."""
    keys, current, carried = {}, None, ""
    for line in lines:
        line = carried + line.rstrip("\n").lstrip(" " if carried else "")
        carried = ""
        if line.endswith("\\") and current is not None and not line.startswith("["):
            carried = line[:-1]
            continue
        if line.startswith("["):
            current = keys.setdefault(unescape(line[1:line.rindex("]")]).lower(), {})
        elif current is not None and line[:1] in ('"', "@"):
            m = re.match(r'@|"((?:[^"\\]|\\.)*)"', line)
            name = "" if m.group(0) == "@" else unescape(m.group(1))
            current[name.lower()] = parse_value(line[m.end() + 1:])
    return keys
