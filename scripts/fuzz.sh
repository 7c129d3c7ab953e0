#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a short fixed time over its
# seed corpus (FUZZ_SECONDS, default 20). Fails on any crash or sanitizer
# report. Prints one line per target with executions and time.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_PER=${FUZZ_SECONDS:-20}
status=0
shopt -s nullglob
for bin in $(find "$ROOT/build/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort); do
  name=$(basename "$bin")
  seeds=$(find "$ROOT" -path "$ROOT/build" -prune -o -type d -name "$name" -path '*corpus*' -print | head -1)
  work=$(mktemp -d)
  [ -n "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
  out=$(mktemp)
  if "$bin" -max_total_time="$SECONDS_PER" -rss_limit_mb=2048 -print_final_stats=1 "$work" >"$out" 2>&1; then
    execs=$(grep -E '^stat::number_of_executed_units' "$out" | awk '{print $2}')
    printf 'fuzz %-28s ok: %s executions in %ss\n' "$name" "${execs:-?}" "$SECONDS_PER"
  else
    printf 'fuzz %-28s FAILED\n' "$name"
    tail -40 "$out"
    status=1
  fi
  rm -rf "$work" "$out"
done
exit $status
