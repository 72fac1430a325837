#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer) in a build tree of their own and runs each for the
# given seconds over a scratch copy of its corpus in fuzz/corpus/<target>, so that the repository's
# corpus stays as it is. Any crash, leak, hang, sanitizer report or broken rule fails the run; the
# input that found it is kept in <build>/findings/<target>/.
#   scripts/fuzz.sh <build dir> <seconds per target>
set -euo pipefail

build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(template_list error_report path wildcard_selection wildcard_check)

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQLORA_FUZZ=ON -DQLORA_SANITIZE=OFF >/dev/null
fi
cmake --build "$build" --target fuzzers -j "${JOBS:-2}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for target in "${targets[@]}"; do
  corpus="$scratch/$target"
  findings="$build/findings/$target"
  log="$build/findings/$target.log"
  mkdir -p "$findings"
  cp -r "$root/fuzz/corpus/$target" "$corpus"
  dict=()
  [[ -f "$root/fuzz/$target.dict" ]] && dict=("-dict=$root/fuzz/$target.dict")
  # One input running ten seconds is a hang.
  if "$build/bin/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$findings/" "${dict[@]}" "$corpus" >"$log" 2>&1; then
    echo "fuzz $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log"), no findings"
  else
    failed=1
    echo "fuzz $target: FAILED (log $log)" >&2
    grep -E 'broken:|ERROR:|runtime error:|SUMMARY:|Test unit written' -A1 "$log" | head -20 >&2
  fi
done
exit $failed
