#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time:
#   run_fuzzer.sh FUZZER SEEDS WORK SECONDS
# It starts from the checked-in SEEDS and from what earlier runs kept in WORK;
# new inputs go to WORK/corpus, never into the seeds, and a failing input to
# WORK/crashes. FUZZ_SECONDS in the environment overrides SECONDS (make fuzz).
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3
seconds=${FUZZ_SECONDS:-$4}
mkdir -p "$work/corpus" "$work/crashes"
exec "$fuzzer" "$work/corpus" "$seeds" \
  -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/crashes/"
