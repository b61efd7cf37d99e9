#!/usr/bin/env python3
# Generates text/UpperCasePairs.cpp, the upper-case table behind ToUpperChar,
# from UnicodeData.txt and DerivedAge.txt, limited to what Unicode 5.2 held.
"""Write the UpperCasePairs table.

Usage: gen_upper_case_pairs.py [--ucd-dir DIR] [--output FILE]

The table holds the Unicode 5.2 simple upper-case mappings of BMP code units
that the range tests in ToUpperChar do not settle. A newer UnicodeData.txt is
narrowed to 5.2 with DerivedAge.txt: both the lower-case code point and its
upper-case target must be assigned by 5.2, since a mapping to a character
added later cannot have been in the 5.2 data. Output depends only on the two
input files, so regenerating from the same files gives the same bytes.
"""

import argparse
import os
import re
import sys

# Table cut-off: the Unicode version whose mappings ToUpperChar reproduces.
CUTOFF_AGE = (5, 2)

# Code units that ToUpperChar settles before the table lookup, as inclusive
# (first, last) ranges. Must match the range tests in the C++ code.
SETTLED_RANGES = [
    (0x0000, 0x00F6),  # ASCII, Latin-1 (all of it below 0xE0 is left alone)
    (0x0430, 0x044F),  # basic Cyrillic
    (0xFF41, 0xFF5A),  # full-width Latin
    (0x0561, 0x0586),  # Armenian
    (0x2C30, 0x2C5E),  # Glagolitic
    (0x24D0, 0x24E9),  # circled Latin
    (0x2D00, 0x2D25),  # Georgian Nuskhuri
    (0x04D0, 0x1D78),  # left unchanged
    (0x2185, 0x2C60),  # left unchanged
    (0x2CEF, 0xA640),  # left unchanged
    (0xA78D, 0xFFFF),  # left unchanged
]

# Alternating upper/lower blocks: ToUpperChar settles the odd units only.
SETTLED_ODD_RANGES = [
    (0x0101, 0x012F), (0x014B, 0x0177), (0x01F9, 0x021F),
    (0x048B, 0x04BF), (0x04D1, 0x0525), (0x1E01, 0x1E95),
    (0x1EA1, 0x1EFF), (0x2C81, 0x2CE3), (0xA733, 0xA76F),
]

# Symbol letters whose upper-case mapping ToUpperChar deliberately ignores:
# MICRO SIGN and the Greek symbol forms of beta, phi, pi, kappa and rho.
EXCLUDED = {0x00B5, 0x03D0, 0x03D5, 0x03D6, 0x03F0, 0x03F1}

AGE_LINE = re.compile(
    r"^([0-9A-F]{4,6})(?:\.\.([0-9A-F]{4,6}))?\s*;\s*(\d+)\.(\d+)\s*(?:#|$)")


def read_version(path):
    """Version named on the first line of a UCD file ("# Name-15.0.0.txt")."""
    with open(path, encoding="utf-8") as f:
        first = f.readline()
    m = re.search(r"-(\d+\.\d+\.\d+)\.txt", first)
    if not m:
        sys.exit("%s: no version on the first line" % path)
    return m.group(1)


def read_ages(path):
    """Map each assigned code point to its (major, minor) age."""
    ages = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            m = AGE_LINE.match(line)
            if not m:
                sys.exit("%s: unreadable line: %s" % (path, line.rstrip()))
            first = int(m.group(1), 16)
            last = int(m.group(2), 16) if m.group(2) else first
            age = (int(m.group(3)), int(m.group(4)))
            for cp in range(first, last + 1):
                ages[cp] = age
    return ages


def read_upper_mappings(path):
    """Map each code point to its simple upper-case mapping (field 12)."""
    uppers = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split(";")
            if len(fields) != 15:
                sys.exit("%s: expected 15 fields: %s" % (path, line.rstrip()))
            # Ranges ("<..., First>") never carry case mappings, so the
            # single-line view is enough here.
            if fields[12]:
                uppers[int(fields[0], 16)] = int(fields[12], 16)
    return uppers


def settled(u):
    """True if ToUpperChar answers for u without consulting the table."""
    if any(a <= u <= b for a, b in SETTLED_RANGES):
        return True
    return u % 2 == 1 and any(a <= u <= b for a, b in SETTLED_ODD_RANGES)


def in_cutoff(cp, ages):
    return cp in ages and ages[cp] <= CUTOFF_AGE


def build_pairs(uppers, ages):
    pairs = []
    for lower in sorted(uppers):
        upper = uppers[lower]
        if lower > 0xFFFF or upper > 0xFFFF:
            continue
        if not in_cutoff(lower, ages) or not in_cutoff(upper, ages):
            continue
        if lower in EXCLUDED or settled(lower):
            continue
        pairs.append((lower, upper))
    return pairs


def render(pairs, version):
    out = [
        "// GENERATED FILE - DO NOT EDIT BY HAND.",
        "// Written by tools/gen_upper_case_pairs.py from UnicodeData.txt and",
        "// DerivedAge.txt of the Unicode Character Database %s, keeping the"
        % version,
        "// simple upper-case mappings that Unicode %d.%d already had."
        % CUTOFF_AGE,
        "// Rerun the script to change this table.",
        "",
        '#include "text/UpperCasePairs.h"',
        "",
        "// Sorted strictly ascending by the lower-case unit for bisection.",
        "const UpperCasePair UpperCasePairs[] = {",
    ]
    for lower, upper in pairs:
        out.append("    {0x%04X, 0x%04X}," % (lower, upper))
    out += [
        "};",
        "",
        "const int32_t kUpperCasePairCount =",
        "    static_cast<int32_t>(sizeof(UpperCasePairs) / "
        "sizeof(UpperCasePairs[0]));",
        "",
    ]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ucd-dir", default="/usr/share/unicode",
                        help="directory holding UnicodeData.txt and "
                             "DerivedAge.txt")
    parser.add_argument("--output", default=None,
                        help="file to write (default: text/UpperCasePairs.cpp "
                             "next to this tools directory)")
    args = parser.parse_args()

    data_path = os.path.join(args.ucd_dir, "UnicodeData.txt")
    age_path = os.path.join(args.ucd_dir, "DerivedAge.txt")
    version = read_version(age_path)
    pairs = build_pairs(read_upper_mappings(data_path), read_ages(age_path))

    output = args.output or os.path.normpath(os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "text",
        "UpperCasePairs.cpp"))
    # newline="\n" keeps the bytes identical on Windows checkouts.
    with open(output, "w", encoding="ascii", newline="\n") as f:
        f.write(render(pairs, version))
    print("%s: %d pairs" % (output, len(pairs)))


if __name__ == "__main__":
    main()
