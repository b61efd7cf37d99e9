#!/usr/bin/env python3
"""Writes Kestrel's user guide and keyboard chart (PDF) from the layout tool's JSON
description of each variant, with the product's names from content/strings.

usage: make_documents.py --content DIR --out DIR [--font-dir DIR] VARIANT.json...

Writes OUT/kestrel-guide.pdf and OUT/kestrel-chart.pdf. Same inputs, same bytes:
no dates, fixed document ids.
"""

import argparse
import os
import sys

# Builds run this from the source tree: leave no __pycache__ folders in it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from reportlab import rl_config  # noqa: E402

from documents import chart, fonts, guide, layout, lean  # noqa: E402
from documents.strings import Texts  # noqa: E402

GUIDE = "kestrel-guide.pdf"
CHART = "kestrel-chart.pdf"


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split("\n\n")[1])
    parser.add_argument("--content", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--font-dir", default=fonts.DEFAULT_DIR)
    parser.add_argument("variants", nargs="+")
    args = parser.parse_args()

    try:
        variants = layout.load_all(args.variants)
    except layout.LayoutError as e:
        sys.exit(f"make_documents: {e}")
    fonts.register(args.font_dir)
    # Plain Flate streams: ASCII85 on top makes them a quarter bigger and spoils the
    # payload's own deflate of the files.
    rl_config.useA85 = 0
    lean.install()
    texts = Texts(args.content)
    os.makedirs(args.out, exist_ok=True)
    # Written under a temporary name, so that a failed run leaves no half file behind.
    for name, writer in ((GUIDE, guide.write), (CHART, chart.write)):
        path = os.path.join(args.out, name)
        writer(path + ".tmp", variants, texts)
        os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
