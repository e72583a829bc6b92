#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`, clang) and runs each on its
# committed seed corpus for SECONDS (default 15), one process at a time.
# New inputs go to a scratch directory, not to the committed corpus; the
# corpus holds the inputs of every fault the fuzzers found, so each run
# replays them first.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(fuzz_config fuzz_settings fuzz_formatting fuzz_dialect fuzz_answer fuzz_interpreter)
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t"
  echo "== $t (${seconds} s)"
  # -close_fd_mask=3: the readers' own output would only hide the figures.
  # One process on one core (no -jobs: that would log to a file of its own).
  "build-fuzz/fuzz/$t" -max_total_time="$seconds" -close_fd_mask=3 \
    -artifact_prefix="$scratch/" -print_final_stats=1 "$scratch/$t" "fuzz/corpus/$t" 2>&1 |
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::|==[0-9]+==ERROR|SUMMARY|.*runtime error)' ||
    true
  status="${PIPESTATUS[0]}"
  if [ "$status" -ne 0 ]; then
    echo "$t failed (status $status); the input that made it fail: $(ls "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* 2>/dev/null)" >&2
    cp "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* . 2>/dev/null || true
    exit 1
  fi
done
