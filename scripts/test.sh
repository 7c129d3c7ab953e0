#!/usr/bin/env bash
# Sets up what is missing, builds both trees and runs every test.
# Usage: scripts/test.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

prepare_session
build_tree native
build_tree win32
[ -x "$ROOT/scripts/fuzz.sh" ] && build_tree fuzz
# The 32-bit product as it ships, built and checked on every machine, also
# where 32-bit code cannot run.
build_product_tree i686 "$BUILD/release"

# Full output goes to build/test-TREE.log; the summary and failures to the terminal.
run_ctest() {
  local tree=$1 logf="$BUILD/test-$1.log" rc=0
  # Under Wine a test process now and then fails to start when many start
  # at once; such a test gets one more run (a real failure fails twice).
  local repeat=()
  [ "$tree" = win32 ] && repeat=(--repeat until-pass:2)
  ctest --test-dir "$BUILD/$tree" --output-on-failure -j "$JOBS" "${repeat[@]}" >"$logf" 2>&1 || rc=$?
  if [ $rc -ne 0 ]; then
    grep -E -A40 '^[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*(Failed|Timeout|Exception)' "$logf" | head -200 || true
  fi
  sed -n '/tests passed/,$p' "$logf"
  return $rc
}

status=0
product_checks=0
log "== i686 product (build/release), checked without running it"
if check_product_tree "$BUILD/release" i686 OFF; then product_checks=1; else status=1; fi
log "== native tests (sanitizers)"
run_ctest native || status=1
log "== win32 tests (under Wine)"
run_ctest win32 || status=1
if [ -x "$ROOT/scripts/fuzz.sh" ]; then
  log "== fuzzers"
  "$ROOT/scripts/fuzz.sh" || status=1
fi
# One closing line for whoever reads the run: tests of both trees.
passed=$product_checks failed=$((1 - product_checks))
for t in native win32; do
  l=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$BUILD/test-$t.log" 2>/dev/null | tail -1 || true)
  [ -n "$l" ] || { failed=$((failed + 1)); continue; }
  f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$l")
  n=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$l")
  passed=$((passed + n - f)); failed=$((failed + f))
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit $status
