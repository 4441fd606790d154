#!/usr/bin/env bash
# Runs every fuzz target that BUILD holds for SECONDS each, one after the
# other, starting from its seed corpus in fuzz/corpus/<name>/ (copied, so
# that the repository's corpus only grows by hand). Prints the executions of
# each and the totals; an input that crashes a target, trips a sanitizer or
# fails a check is kept in BUILD/fuzz-work/ and fails the run.
#
#   fuzz/run.sh BUILD SECONDS
set -uo pipefail
build=${1:?usage: fuzz/run.sh BUILD SECONDS}
seconds=${2:?usage: fuzz/run.sh BUILD SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$build/fuzz-work
mkdir -p "$work"

targets=0 executions=0 crashes=0
for program in "$build"/fuzz/*_fuzz; do
  name=$(basename "$program" _fuzz)
  corpus=$work/corpus/$name
  mkdir -p "$corpus"
  cp -n "$root/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  log=$work/$name.log
  # -timeout: an input that runs 10 s is a hang; -rss_limit_mb: one that
  # needs 2 GB is a fault of its own.
  "$program" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/$name-" "$corpus" >"$log" 2>&1
  status=$?
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log" | tail -1)
  runs=${runs:-0}
  targets=$((targets + 1)) executions=$((executions + runs))
  if [ "$status" -ne 0 ]; then
    crashes=$((crashes + 1))
    printf '%-12s %10s executions  FAILED (exit %s); the input is in %s\n' "$name" "$runs" "$status" "$work"
    grep -E "ERROR|check failed|runtime error|Test unit written" "$log" | head -20
  else
    printf '%-12s %10s executions\n' "$name" "$runs"
  fi
done
echo "fuzzing: $targets targets, $executions executions in all, crashes: $crashes"
[ "$targets" -gt 0 ] && [ "$crashes" -eq 0 ]
