#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer) in a build tree of their own and runs each for the
# given seconds over a scratch copy of its corpus in fuzz/corpus/<target>. Any crash, leak, hang,
# sanitizer report or broken rule fails the run; the input that found it is kept in
# <build>/findings/<target>/.
#   scripts/fuzz.sh <build dir> <seconds per target> [--merge] [target...]
# With --merge (make fuzz) the corpus learns from the run: what the run added is merged into
# fuzz/corpus/<target>, minimised, and every finding goes in as regression-<finding>, so the short
# runs of make test replay it from then on. Without it (make fuzz-smoke) the corpus stays as it is.
set -euo pipefail

build=$1
seconds=$2
shift 2
merge=0
if [[ ${1:-} == --merge ]]; then merge=1; shift; fi
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(template_list error_report path wildcard_selection wildcard_check)
(($#)) && targets=("$@")

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQLORA_FUZZ=ON -DQLORA_SANITIZE=OFF >/dev/null
fi
cmake --build "$build" --target fuzzers -j "${JOBS:-2}"

# The corpus keeps its named inputs (start-..., regression-...) for ever; the rest is what earlier
# runs learnt, replaced by the minimal set that covers as much as the named ones and the run.
merge_into_corpus() {
  local fuzzer=$1 kept=$2 ran=$3 minimal
  minimal=$(mktemp -d -p "$scratch")
  cp "$kept"/start-* "$kept"/regression-* "$minimal"/ 2>/dev/null || true
  local before
  before=$(ls "$minimal" | wc -l)
  # The first folder counts as covered already: only inputs that add to it are written there.
  "$fuzzer" -merge=1 -timeout=10 "$minimal" "$ran" >"$minimal.log" 2>&1 || {
    echo "fuzz merge failed (log kept in $build/findings/merge.log)" >&2
    cp "$minimal.log" "$build/findings/merge.log"; return 1; }
  find "$kept" -maxdepth 1 -type f ! -name 'start-*' ! -name 'regression-*' -delete
  find "$minimal" -maxdepth 1 -type f ! -name 'start-*' ! -name 'regression-*' -exec cp {} "$kept"/ \;
  echo "  corpus $(basename "$kept"): $(ls "$kept" | wc -l) inputs ($before named), $(($(cat "$kept"/* | wc -c) / 1024)) KiB"
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for target in "${targets[@]}"; do
  corpus="$scratch/$target"
  findings="$build/findings/$target"
  log="$build/findings/$target.log"
  fuzzer="$build/bin/${target}_fuzz"
  mkdir -p "$findings"
  cp -r "$root/fuzz/corpus/$target" "$corpus"
  dict=()
  [[ -f "$root/fuzz/$target.dict" ]] && dict=("-dict=$root/fuzz/$target.dict")
  started="$scratch/$target.started"
  touch "$started"  # findings of earlier runs are not this run's
  # One input running ten seconds is a hang.
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$findings/" "${dict[@]}" "$corpus" >"$log" 2>&1; then
    echo "fuzz $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log"), no findings"
  else
    failed=1
    echo "fuzz $target: FAILED (log $log)" >&2
    grep -E 'broken:|ERROR:|runtime error:|SUMMARY:|Test unit written' -A1 "$log" | head -20 >&2
  fi
  if ((merge)); then
    for finding in $(find "$findings" -maxdepth 1 -type f -newer "$started"); do
      # Rename it after what it found once it is understood; it stays in the corpus either way.
      cp "$finding" "$root/fuzz/corpus/$target/regression-$(basename "$finding")"
      echo "  kept $(basename "$finding") as fuzz/corpus/$target/regression-$(basename "$finding")" >&2
    done
    merge_into_corpus "$fuzzer" "$root/fuzz/corpus/$target" "$corpus" || failed=1
  fi
done
exit $failed
