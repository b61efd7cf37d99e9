#!/bin/sh
# Checks that payload/BlowfishTables.cpp matches what tools/gen_blowfish_tables.py
# writes now. Exit 0: fresh; 1: stale or the generator failed.
set -u

root=$(cd "$(dirname "$0")/../.." && pwd)

tmp=$(mktemp) || exit 1
trap 'rm -f "$tmp"' EXIT

if ! python3 "$root/tools/gen_blowfish_tables.py" --output "$tmp" >/dev/null; then
  echo "gen_blowfish_tables.py failed" >&2
  exit 1
fi

if ! diff -u "$root/payload/BlowfishTables.cpp" "$tmp"; then
  echo "payload/BlowfishTables.cpp is stale: rerun tools/gen_blowfish_tables.py" >&2
  exit 1
fi
echo "payload/BlowfishTables.cpp is up to date"
