#!/usr/bin/env bash
# Runs every fuzz program (or the ones named) for SECONDS each, one after the
# other, starting from the seeds in fuzz/corpus/. New inputs and any crash go
# to a scratch folder, so the tree is left as it was. Fails when any program
# reports a crash, a leak, a sanitizer finding or a timeout.
#   scripts/fuzz-run.sh BUILD_DIR SECONDS [NAME...]
set -uo pipefail
build=${1:?build dir}; seconds=${2:?seconds}; shift 2
root="$(cd "$(dirname "$0")/.." && pwd)"
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for d in "$root"/fuzz/corpus/*/; do names+=("$(basename "$d")"); done
fi
scratch="$(mktemp -d "${TMPDIR:-/tmp}/varnel-fuzz.XXXXXX")"
failed=()
for name in "${names[@]}"; do
  program="$build/fuzz/fuzz_$name"
  mkdir -p "$scratch/$name/corpus" "$scratch/$name/findings"
  echo "fuzz_$name: ${seconds}s"
  if ! "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$scratch/$name/findings/" \
       "$scratch/$name/corpus" "$root/fuzz/corpus/$name" >"$scratch/$name/log" 2>&1; then
    failed+=("$name")
    tail -n 40 "$scratch/$name/log"
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$scratch/$name/log" | tail -n 2
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]} (inputs kept in $scratch)"
  exit 1
fi
rm -rf "$scratch"
echo "no findings"
