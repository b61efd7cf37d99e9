#!/usr/bin/env bash
# Installs what is missing, builds every tree, makes the Wine prefixes and runs every
# test: ctest in build/host, build/host-asan, build/win64, build/win32 and build/engine64 (the mingw trees
# under their own Xvfb, so that Windows programs have a display and never use the caller's).
# Ends with one line "N passed, M failed" (ctest tests, all trees summed; skipped tests
# are counted on the line before) and exits non-zero on any failure.
# usage: scripts/run-tests.sh        env: KESTREL_JOBS (default 2)
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=${KESTREL_JOBS:-2}
passed=0
failed=0
skipped=0
status=0

finish() {
  [ "$skipped" -eq 0 ] || echo "($skipped skipped: not counted below)"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ] && [ "$status" -eq 0 ]
  exit $?
}

stop_wine() { # leave no wineserver behind, whatever happened
  for p in build/wine/prefix32 build/wine/prefix64; do
    [ -d "$p" ] && WINEPREFIX=$repo/$p wineserver -k >/dev/null 2>&1
  done
  return 0
}
trap stop_wine EXIT

"$repo/scripts/install-deps.sh" || { echo "run-tests: installing the packages failed" >&2; failed=1; finish; }

start=$SECONDS
if ! "$repo/scripts/build.sh"; then
  echo "run-tests: the build failed" >&2
  failed=1
  finish
fi
echo "== build took $((SECONDS - start)) s"
echo "== where setup.exe's bytes go (build/win32/size-report.txt)"
cat build/win32/size-report.txt

# ctest_tree DIR [WRAPPER...]: runs the tree's tests and adds its counts.
ctest_tree() {
  local dir=$1 log rc line total nfailed nskipped t0=$SECONDS
  shift
  log=$dir/ctest.log
  echo "== tests in $dir"
  "$@" ctest --test-dir "$dir" -j "$jobs" --output-on-failure --no-tests=ignore 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    nfailed=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    nskipped=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log" || true)
    skipped=$((skipped + nskipped))
    passed=$((passed + total - nfailed - nskipped))
    failed=$((failed + nfailed))
    if [ "$rc" -ne 0 ] && [ "$nfailed" -eq 0 ]; then failed=$((failed + 1)); fi
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))   # ctest itself failed before counting
  fi
  echo "== $dir: tests took $((SECONDS - t0)) s"
}

ctest_tree build/host
UBSAN_OPTIONS=print_stacktrace=1 ctest_tree build/host-asan

# The prefixes are made once, before ctest starts, so that parallel tests never race.
wine_tests=$(for tree in win32 win64 engine64; do ctest --test-dir build/$tree -N 2>/dev/null; done || true)
for bits in 32 64; do
  if grep -q "wine\.prefix$bits\.start" <<<"$wine_tests"; then
    t0=$SECONDS
    scripts/wine-prefix.sh $bits || status=1
    echo "== Wine prefix $bits ready in $((SECONDS - t0)) s"
  fi
done
[ "$status" -eq 0 ] || { echo "run-tests: making a Wine prefix failed" >&2; failed=$((failed + 1)); }

ctest_tree build/win64 xvfb-run -a -s "-screen 0 1024x768x24"
ctest_tree build/win32 xvfb-run -a -s "-screen 0 1024x768x24"
ctest_tree build/engine64 xvfb-run -a -s "-screen 0 1024x768x24"

finish
