#!/bin/sh
# The size report fails the build when setup.exe is over its budget: the report of
# the built program passes with a budget of exactly its size and fails one byte under.
# usage: size_budget_test.sh PYTHON SIZE-REPORT PROGRAM LINK-MAP PAYLOAD-TOOL PAYLOAD-MAP
set -u
python=$1 report=$2 program=$3
shift 3
size=$(stat -c %s "$program")
out=$(mktemp)
trap 'rm -f "$out"' EXIT

if ! "$python" "$report" --budget "$size" "$program" "$@" >"$out" 2>&1; then
  echo "FAIL: a program of exactly its budget ($size bytes) fails the report"; cat "$out"; exit 1
fi
if "$python" "$report" --budget $((size - 1)) "$program" "$@" >"$out" 2>&1; then
  echo "FAIL: a program one byte over its budget passes the report"; exit 1
fi
grep -q "over its budget of" "$out" || { echo "FAIL: the failure does not say why"; cat "$out"; exit 1; }
echo "ok: $size bytes pass a budget of $size and fail one of $((size - 1))"
