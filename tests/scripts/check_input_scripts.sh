#!/bin/sh
# Every input-language script the program writes, composed by input_script_dump
# with the payload's texts for each version code, default on and off and every
# language id of windows-language-ids.txt, is read by a real parser: the Windows
# Vista and later ones as XML (the GlobalizationServices form), the older removal
# as an INI file (the [RegionalSettings] form). Each must name exactly the
# layout of text 85 (read from the content here) and the language given.
# Runs in the host build folder, where the program is built. Exit 0 = all hold.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
dump=${KESTREL_INPUT_SCRIPT_DUMP:-$PWD/input_script_dump}
[ -x "$dump" ] || { echo "FAIL: $dump is not built"; exit 1; }
table="$root/tests/scripts/windows-language-ids.txt"
out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
"$dump" <"$table" >"$out" || { echo "FAIL: input_script_dump failed"; exit 1; }

python3 - "$out" "$table" "$root/content/strings/common.txt" <<'PY'
import configparser, json, re, sys
import xml.etree.ElementTree as ET

dump, table, common = sys.argv[1:4]
NS = "{urn:longhornGlobalizationUnattend}"
failures = []

def fail(record, why):
    if len(failures) < 20:
        failures.append("%s %s %s: %s" % (record["kind"], record["version"], record["language"], why))
    else:
        failures.append(None)

languages = [l.split()[0] for l in open(table) if l.strip() and not l.startswith("#")]
if len(languages) < 200 or "0415" not in languages or "0409" not in languages or "0c0a" not in languages:
    sys.exit("FAIL: the language table lost rows (%d)" % len(languages))
text85 = re.search(r'^85 utf16 "([^"]*)"$', open(common, encoding="utf-8").read(), re.M).group(1)
records = [json.loads(l) for l in open(dump, encoding="utf-8")]
layout = records[0]
if layout["name"] != text85 or not re.fullmatch(r"a[0-9a-f]{3}0415", text85):
    sys.exit("FAIL: the layout the program names is %r, text 85 is %r" % (layout["name"], text85))

def input_ids(script):
    root = ET.fromstring(script)
    if root.tag != NS + "GlobalizationServices":
        raise ValueError("root element %s" % root.tag)
    users = root.findall(NS + "UserList/" + NS + "User")
    if [u.get("UserID") for u in users] != ["Current"]:
        raise ValueError("user list %r" % [u.attrib for u in users])
    return root, root.findall(NS + "InputPreferences/" + NS + "InputLanguageID")

counts = {"add": 0, "remove": 0}
for r in records[1:]:
    counts[r["kind"]] += 1
    version, language, script = r["version"], r["language"], r["script"]
    try:
        if r["kind"] == "add":
            if version < 60:
                if r["made"] or script:
                    fail(r, "a script before Windows Vista")
                continue
            root, ids = input_ids(script)
            want = {"Action": "add", "ID": "%s:%s" % (language, text85)}
            if r["default"]:
                want["Default"] = "true"
            if [i.attrib for i in ids] != [want]:
                fail(r, "names %r, not %r" % ([i.attrib for i in ids], want))
            if bool(r["userList"]) != (version >= 62):
                fail(r, "user-list form on version %d: %r" % (version, r["userList"]))
            user = root.find(NS + "UserList/" + NS + "User")
            if version >= 62 and user.get("CopySettingsToDefaultUserAcct") != "false":
                fail(r, "the settings would be copied to the default user")
        else:
            expected = [layout["own"]] + ([language] if language != layout["own"] else [])
            pairs = ["%s:%s" % (l, text85) for l in expected]
            if not r["made"]:
                fail(r, "no removal script")
            elif version >= 60:
                root, ids = input_ids(script)
                got = [(i.get("Action"), i.get("ID")) for i in ids]
                if got != [("remove", p) for p in pairs]:
                    fail(r, "removes %r, not %r" % (got, pairs))
            else:
                ini = configparser.ConfigParser(interpolation=None)
                ini.read_string(script)
                if ini.sections() != ["RegionalSettings"] or list(ini["RegionalSettings"]):
                    fail(r, "the settings file sets %r" % {s: dict(ini[s]) for s in ini.sections()})
                named = re.findall(r"^; ([0-9a-f]{4}:\S+)\r?$", script, re.M)
                if named != pairs:
                    fail(r, "names %r, not %r" % (named, pairs))
    except (ET.ParseError, ValueError, configparser.Error) as error:
        fail(r, "does not parse: %s" % error)

expected_adds = len(languages) * 6 * 2
if counts != {"add": expected_adds, "remove": len(languages) * 6}:
    failures.append("composed %r scripts, expected %d adds and %d removals" %
                    (counts, expected_adds, len(languages) * 6))
if failures:
    for f in failures:
        print("FAIL:", f if f is not None else "(more)")
    sys.exit(1)
print("ok: %d add and %d removal scripts over %d languages parse and name %s" %
      (counts["add"], counts["remove"], len(languages), text85))
PY
