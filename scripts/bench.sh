#!/usr/bin/env bash
# Builds and runs every benchmark (native without sanitizers, and the Windows
# ones under Wine). Results print to the terminal; docs/benchmarks.md holds
# the recorded runs.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_packages
ensure_display
trap 'stop_wine; stop_display' EXIT
ensure_wineprefix
fetch_benchmark_source
build_tree bench
build_tree win32
for b in "$BUILD"/bench/bench/*; do
  [ -x "$b" ] || continue
  echo "== native: $(basename "$b")"
  "$b" --benchmark_repetitions="${REPS:-3}" --benchmark_report_aggregates_only=true "$@"
done
for b in "$BUILD"/win32/bench/*.exe; do
  [ -f "$b" ] || continue
  echo "== wine: $(basename "$b")"
  "$ROOT/scripts/wine-run.sh" "$b" --benchmark_repetitions="${REPS:-3}" --benchmark_report_aggregates_only=true "$@"
done
