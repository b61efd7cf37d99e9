#!/usr/bin/env python3
# Writes tests/scripts/windows-language-ids.txt: the language ids Windows defines
# for its locales, one per line, from Python's copy of Microsoft's table of locale
# identifiers (locale.windows_locale, "Locale Identifier Constants and Strings",
# every locale up to Windows Vista).
"""Write the table of Windows language ids.

Usage: gen_language_ids.py [--output FILE]

Each line is the language id as four lower-case hexadecimal digits and the
locale name Python gives it, sorted by id. The input-language scripts are
checked with every one of them, since the options page may pass any language
under which the user has a keyboard layout loaded.
"""

import argparse
import locale
import sys


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default="-")
    args = parser.parse_args()
    lines = ["# Windows language ids (the low word of each locale id): id, locale name.",
             "# Written by tools/gen_language_ids.py; do not edit."]
    for language in sorted(locale.windows_locale):
        if not 0 < language <= 0xFFFF:
            raise SystemExit("not a language id: %r" % language)
        lines.append("%04x %s" % (language, locale.windows_locale[language]))
    text = "\n".join(lines) + "\n"
    if args.output == "-":
        sys.stdout.write(text)
    else:
        with open(args.output, "w", encoding="ascii", newline="\n") as out:
            out.write(text)


if __name__ == "__main__":
    main()
