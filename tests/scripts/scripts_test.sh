#!/usr/bin/env bash
# The scripts' own safety nets: whatever a script started is stopped however
# it ends (and only by the script's own shell), a failing step says what
# failed, and the check of the shipped product refuses a tree that would not
# work on Windows.
# Usage: scripts_test.sh [PRODUCT-TREE]   (the product check is skipped
# without a built tree)
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs a snippet with common.sh sourced and BUILD in a scratch folder.
with_common() {
  bash -c 'source "$1/scripts/common.sh"; BUILD=$2; shift 2; eval "$1"' _ "$ROOT" "$TMP/build" "$1" 2>&1
}

# A failing step: named, with its command and last lines; clean-up once,
# from the main shell only, although subshells came and went before it.
out=$(with_common '
  cleaned() { echo CLEANED; }
  at_exit cleaned
  (exit 0); (exit 3) || true; x=$(false) || true
  run_step "making a widget" sh -c "echo first line; echo last words; exit 7"
  echo NOT REACHED')
rc=$?
[ $rc -eq 7 ] || fail "a failing step ends the script with its own code (got $rc)"
grep -q '^step failed: making a widget (exit 7)$' <<<"$out" || fail "the failing step is not named: $out"
grep -q 'command: sh -c' <<<"$out" || fail "the failing step's command is not shown: $out"
grep -q 'last words' <<<"$out" || fail "the failing step's output is not shown: $out"
[ "$(grep -c CLEANED <<<"$out")" -eq 1 ] || fail "clean-up ran $(grep -c CLEANED <<<"$out") times, not once: $out"
grep -q 'NOT REACHED' <<<"$out" && fail "the script went on after a failed step"

# Clean-up steps run last registered first, and on success too.
out=$(with_common 'a() { echo A; }; b() { echo B; }; at_exit a; at_exit b; echo BODY')
[ "$(tr '\n' ' ' <<<"$out")" = "BODY B A " ] || fail "clean-up order or success path: $out"

# Registering a clean-up that does not exist fails at once, where it is
# written, instead of replacing the real error at exit.
out=$(with_common 'at_exit stop_nothing_here; echo NOT REACHED')
rc=$?
[ $rc -ne 0 ] || fail "at_exit took a function that does not exist"
grep -q 'at_exit: no function stop_nothing_here' <<<"$out" || fail "unknown clean-up not named: $out"
grep -q 'NOT REACHED' <<<"$out" && fail "the script went on after a bad at_exit"

# A plain failing command says where it failed.
out=$(with_common 'false; echo NOT REACHED')
rc=$?
[ $rc -eq 1 ] || fail "a failing command ends the script (got $rc)"
grep -q 'failed (exit 1) at .*: false' <<<"$out" || fail "a failing command does not say where: $out"

# Every function an exit step or script names exists once common.sh is read.
for s in run.sh test.sh package.sh bench.sh; do
  for f in $(grep -o 'at_exit [a-z_]*' "$ROOT/scripts/$s" | cut -d' ' -f2); do
    grep -q "^$f()" "$ROOT/scripts/$s" "$ROOT/scripts/common.sh" || fail "$s registers $f, defined nowhere"
  done
done

# The product check, on a copy of a built product tree: as built it passes;
# a library that lacks the program's imports, a program of the wrong
# architecture, or a tree with the guard on is refused.
TREE=${1:-$ROOT/build/release}
if [ -f "$TREE/bin/platora.exe" ] && [ -f "$TREE/bin/ledapi.dll" ] && [ -f "$TREE/ledscreen/ledscreen.exe" ]; then
  arch=$(sed -n 's/^PLATORA_WIN_ARCH:STRING=//p' "$TREE/CMakeCache.txt")
  guard=$(sed -n 's/^LEDAPI_LOOPBACK_ONLY:BOOL=//p' "$TREE/CMakeCache.txt")
  copy() {
    rm -rf "$TMP/tree"; mkdir -p "$TMP/tree/bin" "$TMP/tree/ledscreen"
    cp "$TREE/bin/platora.exe" "$TREE/bin/ledapi.dll" "$TMP/tree/bin/"
    cp "$TREE/ledscreen/ledscreen.exe" "$TMP/tree/ledscreen/"
    cp "$TREE/CMakeCache.txt" "$TMP/tree/"
  }
  check() { with_common "check_product_tree $TMP/tree $arch $guard"; }
  copy
  out=$(check) || fail "the built product tree is refused: $out"
  cp "$TREE/ledscreen/ledscreen.exe" "$TMP/tree/bin/ledapi.dll"
  out=$(check) && fail "a library without the program's imports passed"
  grep -q 'does not export .*LED_Open' <<<"$out" || fail "the missing exports are not named: $out"
  copy
  sed -i "s/^LEDAPI_LOOPBACK_ONLY:BOOL=.*/LEDAPI_LOOPBACK_ONLY:BOOL=X/" "$TMP/tree/CMakeCache.txt"
  out=$(check) && fail "a tree with another guard setting passed"
  copy
  other=x86_64; [ "$arch" = x86_64 ] && other=i686
  out=$(with_common "check_product_tree $TMP/tree $other $guard") && fail "a tree of the wrong architecture passed"
  grep -q "not $other" <<<"$out" || fail "the wrong architecture is not named: $out"
else
  echo "product check skipped: no built tree in $TREE"
fi

if [ $failures -eq 0 ]; then echo PASS; else echo "$failures failed"; exit 1; fi
