#!/bin/sh
# Runs one fuzz target under libFuzzer for SECONDS from a fresh copy of its
# seeds, in WORK (emptied first): the corpus grows there and findings land in
# WORK/findings. Prints the coverage at the start and the end of the run; on a
# finding, the end of libFuzzer's log and where the input was kept.
# Usage: run_fuzzer.sh FUZZER SECONDS SEEDS WORK
set -eu
fuzzer=$1
seconds=$2
seeds=$3
work=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/findings"
cp "$seeds"/* "$work/corpus/"
status=0
"$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/findings/" "$work/corpus" >"$work/log" 2>&1 || status=$?
grep -E '(INITED|DONE) ' "$work/log" || true
started=$(sed -n 's/.*INITED cov: \([0-9]*\).*/\1/p' "$work/log")
ended=$(sed -n 's/.*DONE *cov: \([0-9]*\).*/\1/p' "$work/log")
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
echo "$(basename "$fuzzer"): coverage ${started:-?} -> ${ended:-?} edges in ${runs:-?} runs"
if [ "$status" -ne 0 ]; then
  tail -n 40 "$work/log"
  echo "finding kept in $work/findings: $(ls "$work/findings")"
fi
exit "$status"
