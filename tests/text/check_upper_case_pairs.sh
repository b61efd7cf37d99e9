#!/bin/sh
# Checks that text/UpperCasePairs.cpp matches what tools/gen_upper_case_pairs.py
# writes from the installed Unicode data. Exit 0: fresh; 1: stale; 77: no data.
set -u

root=$(cd "$(dirname "$0")/../.." && pwd)
ucd_dir=${UCD_DIR:-/usr/share/unicode}

# Without the data there is nothing to compare; say so rather than pass.
for f in UnicodeData.txt DerivedAge.txt; do
  if [ ! -r "$ucd_dir/$f" ]; then
    echo "skipped: $ucd_dir/$f not found (install unicode-data or set UCD_DIR)" >&2
    exit 77
  fi
done

tmp=$(mktemp) || exit 1
trap 'rm -f "$tmp"' EXIT

if ! python3 "$root/tools/gen_upper_case_pairs.py" --ucd-dir "$ucd_dir" \
    --output "$tmp" >/dev/null; then
  echo "gen_upper_case_pairs.py failed" >&2
  exit 1
fi

if ! diff -u "$root/text/UpperCasePairs.cpp" "$tmp"; then
  echo "text/UpperCasePairs.cpp is stale: rerun tools/gen_upper_case_pairs.py" >&2
  exit 1
fi
echo "text/UpperCasePairs.cpp is up to date"
