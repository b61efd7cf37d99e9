#!/usr/bin/env python3
"""Checks the built user guide and keyboard chart: both are sound PDFs with embedded
fonts, every variant's name and AltGr characters print where they should, the same
inputs give the same bytes, and a broken layout description is refused without
leaving a file behind.

usage: documents_test.py MAKE_DOCUMENTS CONTENT_DIR BUILT_DIR VARIANT.json...
(BUILT_DIR holds the kestrel-guide.pdf and kestrel-chart.pdf the build made.)
"""

import io
import json
import os
import subprocess
import sys
import tempfile
import unicodedata

GUIDE = "kestrel-guide.pdf"
CHART = "kestrel-chart.pdf"
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*command):
    return subprocess.run(command, capture_output=True, text=True)


def make(tool, content, out, variants):
    return run(sys.executable, tool, "--content", content, "--out", out, *variants)


def pdf_text(path, page=None):
    pages = ["-f", str(page), "-l", str(page)] if page else []
    result = run("pdftotext", "-enc", "UTF-8", *pages, path, "-")
    check(result.returncode == 0, f"pdftotext {path}: {result.stderr.strip()}")
    return result.stdout


def printable_altgr(description):
    """The letters, punctuation and symbols a variant types with AltGr."""
    chars = set()
    for key in description["keys"]:
        for text in key["levels"][2:]:
            if len(text) == 1 and unicodedata.category(text)[0] in "LPS":
                chars.add(text)
    return chars


def check_sound(built):
    """Valid PDF structure, and every font embedded: a font left to the viewer may
    lack the Polish letters."""
    for name in (GUIDE, CHART):
        path = os.path.join(built, name)
        result = run("qpdf", "--check", path)
        check(result.returncode == 0, f"qpdf --check {name}: {result.stdout[-300:]}")
        rows = run("pdffonts", path).stdout.splitlines()[2:]
        check(rows, f"{name}: no fonts listed")
        for row in rows:
            # Columns: name, type, encoding, emb, sub, uni, object, generation.
            check(row.split()[-5] == "yes", f"{name}: font not embedded: {row.split()[0]}")


def font_files(path):
    """The embedded TrueType programs (FontFile2 streams) of the PDF at path."""
    objects = json.loads(run("qpdf", "--json=2", "--json-key=qpdf", path).stdout)["qpdf"][1]
    values = [o.get("value") for o in objects.values()]
    numbers = [v["/FontFile2"].split()[0] for v in values
               if isinstance(v, dict) and "/FontFile2" in v]
    return [subprocess.run(["qpdf", f"--show-object={n}", "--filtered-stream-data", path],
                           capture_output=True).stdout for n in numbers]


def check_lean(built):
    """One unhinted font subset per document (bold is the same face outlined), no
    ASCII85 on the streams and no entries a reader ignores: the documents ride in
    setup.exe."""
    from fontTools.ttLib import TTFont
    for name in (GUIDE, CHART):
        path = os.path.join(built, name)
        check(b"/ASCII85Decode" not in open(path, "rb").read(), f"{name}: ASCII85 streams")
        unpacked = subprocess.run(["qpdf", "--qdf", path, "-"], capture_output=True).stdout
        check(b" 2 Tr" in unpacked, f"{name}: no outlined (bold) text")
        unused = [k for k in (b"/ProcSet [", b"/Producer", b"/Trans") if k in unpacked]
        check(not unused, f"{name}: entries no reader uses: {unused}")
        fonts = font_files(path)
        check(len(fonts) == 1, f"{name}: {len(fonts)} embedded fonts, not one")
        for data in fonts:
            font = TTFont(io.BytesIO(data))
            hinting = [t for t in ("fpgm", "prep", "cvt ") if t in font]
            glyf = font["glyf"]
            programs = [g for g in font.getGlyphOrder()
                        if hasattr(glyf[g], "program") and glyf[g].program.getBytecode()]
            check(not hinting and not programs,
                  f"{name}: hinting left in the font: {hinting} {programs[:5]}")


def check_contents(built, descriptions):
    guide = pdf_text(os.path.join(built, GUIDE))
    pages = run("qpdf", "--show-npages", os.path.join(built, CHART)).stdout.strip()
    check(pages == str(len(descriptions)),
          f"chart has {pages} pages for {len(descriptions)} variants")
    # The Polish letters and the typing of them are the point of every variant.
    for letter in "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ":
        check(letter in guide, f"guide lacks {letter}")
    for page, description in enumerate(descriptions, start=1):
        name = description["name"]
        chart = pdf_text(os.path.join(built, CHART), page)
        check(name in guide, f"guide lacks the variant name {name!r}")
        check(name in chart, f"chart page {page} lacks its variant name {name!r}")
        missing = sorted(c for c in printable_altgr(description) if c not in chart)
        check(not missing, f"chart page {page} ({name}) lacks AltGr characters {missing}")
        for dead in description.get("deadKeys", []):
            results = [pair[1] for pair in dead["combinations"] if pair[0] != " "]
            lost = [r for r in results if r not in chart]
            check(not lost, f"chart page {page} lacks the {dead['name']} results {lost}")


def check_reproducible(tool, content, built, variants):
    with tempfile.TemporaryDirectory() as scratch:
        first, second = os.path.join(scratch, "1"), os.path.join(scratch, "2")
        for out in (first, second):
            result = make(tool, content, out, variants)
            check(result.returncode == 0, f"make_documents failed: {result.stderr}")
        for name in (GUIDE, CHART):
            data = [open(os.path.join(d, name), "rb").read() for d in (first, second, built)]
            check(data[0] == data[1], f"{name}: two runs on the same inputs differ")
            check(data[0] == data[2], f"{name}: a run now differs from the build's")


def check_refuses_broken_input(tool, content, variants):
    with tempfile.TemporaryDirectory() as scratch:
        broken = json.load(open(variants[0], encoding="utf-8"))
        broken["keys"][0]["levels"] = broken["keys"][0]["levels"][:3]
        bad = os.path.join(scratch, "bad.json")
        json.dump(broken, open(bad, "w", encoding="utf-8"))
        twice = variants[:1] * 2
        for inputs, what in (([bad] + variants[1:], "three levels"),
                             (twice, "a variant twice")):
            out = os.path.join(scratch, "out")
            result = make(tool, content, out, inputs)
            check(result.returncode != 0, f"{what}: accepted")
            left = os.listdir(out) if os.path.isdir(out) else []
            check(not left, f"{what}: left files behind {left}")


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    tool, content, built = sys.argv[1:4]
    variants = sys.argv[4:]
    descriptions = sorted((json.load(open(v, encoding="utf-8")) for v in variants),
                          key=lambda d: d["variant"])
    check_sound(built)
    check_lean(built)
    check_contents(built, descriptions)
    check_reproducible(tool, content, built, variants)
    check_refuses_broken_input(tool, content, variants)
    for message in failures:
        print("FAIL:", message)
    print(f"{len(failures)} failure(s)")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
