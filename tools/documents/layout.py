# Reads the JSON description of one layout variant (written by the layout tool's
# json mode) into plain objects, and rejects descriptions the documents cannot draw.
import json

LEVELS = 4  # base, Shift, AltGr, Shift+AltGr


class LayoutError(Exception):
    pass


class Key:
    def __init__(self, scan, vk, label, levels, dead):
        self.scan = scan
        self.vk = vk
        self.label = label
        self.levels = levels  # "" where the level types nothing
        self.dead = dead

    def types(self, level):
        return self.levels[level] != ""


class DeadKey:
    def __init__(self, accent, name, combinations):
        self.accent = accent
        self.name = name
        self.combinations = combinations  # [(typed after the accent, result)]


class Variant:
    def __init__(self, index, name, keys, dead_keys):
        self.index = index
        self.name = name
        self.keys = keys  # scan code -> Key
        self.dead_keys = dead_keys

    def find(self, char):
        """(key, level) pairs that type char, in scan-code order."""
        return [(key, level) for scan, key in sorted(self.keys.items())
                for level in range(LEVELS) if key.levels[level] == char]

    def dead_key(self, accent):
        for dead in self.dead_keys:
            if dead.accent == accent:
                return dead
        return None


def _require(condition, path, message):
    if not condition:
        raise LayoutError(f"{path}: {message}")


def parse(data, path="<json>"):
    _require(isinstance(data, dict), path, "not an object")
    index = data.get("variant")
    name = data.get("name")
    _require(isinstance(index, int) and 0 <= index <= 2, path, "variant must be 0, 1 or 2")
    _require(isinstance(name, str) and name, path, "name missing")
    keys = {}
    for entry in data.get("keys", []):
        scan = entry.get("scan")
        levels = entry.get("levels")
        dead = entry.get("dead", [False] * LEVELS)
        _require(isinstance(scan, int) and 0 < scan <= 0xE0FF, path, f"bad scan code {scan!r}")
        _require(scan not in keys, path, f"scan code 0x{scan:x} twice")
        _require(isinstance(levels, list) and len(levels) == LEVELS
                 and all(isinstance(t, str) for t in levels), path,
                 f"scan 0x{scan:x}: levels must be {LEVELS} texts")
        _require(isinstance(dead, list) and len(dead) == LEVELS
                 and all(isinstance(d, bool) for d in dead), path,
                 f"scan 0x{scan:x}: dead must be {LEVELS} flags")
        # A dead level with nothing to show would be an invisible key on the chart.
        _require(all(levels[i] for i in range(LEVELS) if dead[i]), path,
                 f"scan 0x{scan:x}: a dead level has no accent")
        keys[scan] = Key(scan, entry.get("vk", 0), entry.get("label", ""), levels, dead)
    _require(keys, path, "no keys")
    dead_keys = []
    for entry in data.get("deadKeys", []):
        accent = entry.get("accent")
        _require(isinstance(accent, str) and accent, path, "dead key without accent")
        pairs = [tuple(pair) for pair in entry.get("combinations", [])]
        _require(all(len(p) == 2 and all(isinstance(t, str) for t in p) for p in pairs),
                 path, f"dead key {accent}: combinations must be pairs")
        dead_keys.append(DeadKey(accent, entry.get("name", ""), pairs))
    return Variant(index, name, keys, dead_keys)


def load(path):
    with open(path, encoding="utf-8") as f:
        try:
            data = json.load(f)
        except json.JSONDecodeError as e:
            raise LayoutError(f"{path}: {e}") from None
    return parse(data, path)


def load_all(paths):
    """The variants, ordered by their number; each number exactly once."""
    variants = sorted((load(p) for p in paths), key=lambda v: v.index)
    numbers = [v.index for v in variants]
    if len(set(numbers)) != len(numbers):
        raise LayoutError(f"variant numbers repeat: {numbers}")
    return variants
