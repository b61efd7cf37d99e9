#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*Fuzz.cpp) with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer in build/fuzz, and runs each for a while.
# Corpora grow in build/fuzz/corpus/<target>; findings land in build/fuzz/findings.
# usage: scripts/fuzz.sh [SECONDS per target, default 60] [TARGET...]
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
seconds=${1:-60}
shift || true

"$repo/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKESTREL_SANITIZE=ON -DKESTREL_LIBFUZZER=ON >build/fuzz.configure.log 2>&1 \
  || { cat build/fuzz.configure.log; exit 1; }

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for source in tests/fuzz/*Fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
cmake --build build/fuzz -j "${KESTREL_JOBS:-2}" --target "${targets[@]}"

mkdir -p build/fuzz/findings
status=0
summary=()
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== $target for $seconds s"
  result=ok
  if ! "build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/findings/"$target"- "$corpus" 2>build/fuzz/"$target".log; then
    status=1
    result="FAILED (build/fuzz/findings/$target-*)"
  fi
  grep -E '^stat::number_of_executed_units|^Done|ERROR|SUMMARY' build/fuzz/"$target".log || true
  # Executions from the final stats; edges (cov) and features (ft) from the last status line.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' build/fuzz/"$target".log | tail -1)
  last=$(grep -E ' cov: [0-9]+' build/fuzz/"$target".log | tail -1 || true)
  edges=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$last")
  features=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$last")
  summary+=("$(printf '%-20s %12s runs %6s edges %7s features  %s' "$target" "${runs:-?}" "${edges:-?}" \
    "${features:-?}" "$result")")
done
echo "== summary ($seconds s each)"
printf '%s\n' "${summary[@]}"
exit $status
