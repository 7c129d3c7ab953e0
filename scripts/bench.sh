#!/usr/bin/env bash
# Builds and runs every benchmark, each with arguments it understands: the
# Google Benchmark programs (native without sanitizers, and the Windows ones
# under Wine) with REPS repetitions and any extra flags given here, and the
# two Windows latency harnesses with SENDS library sends and CLICKS clicks.
# Results print to the terminal (docs/benchmarks.md holds the recorded runs);
# the last lines say, for every program, that it ran, failed, or was skipped
# and why.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
prepare_session
build_tree bench
# A Windows tree configured before the library's source arrived does not know
# its benchmarks yet.
if [ -f "$BENCHMARK_SRC/CMakeLists.txt" ] && [ -f "$BUILD/win32/CMakeCache.txt" ] &&
   [ ! -d "$BUILD/win32/benchmark" ]; then
  cmake --preset win32 -S "$ROOT" >/dev/null
fi
build_tree win32

GBENCH_FLAGS=(--benchmark_repetitions="${REPS:-3}" --benchmark_report_aggregates_only=true "$@")
SUMMARY=()

# run NAME COMMAND...: runs one program and notes how it ended.
run() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then
    SUMMARY+=("ran: $name")
  else
    SUMMARY+=("failed: $name (exit code $?)")
  fi
}
skip() { SUMMARY+=("skipped: $1 ($2)"); }

for b in "$BUILD"/bench/bench/*; do
  [ -x "$b" ] || continue
  run "native $(basename "$b")" "$b" "${GBENCH_FLAGS[@]}"
done

# The Windows Google Benchmark programs exist only when the library's source
# could be fetched for the Windows tree.
click_harness="$BUILD/win32/bench/platora_click_latency.exe"
found=0
for b in "$BUILD"/win32/bench/*.exe; do
  [ -f "$b" ] && [ "$b" != "$click_harness" ] || continue
  found=1
  run "wine $(basename "$b")" "$ROOT/scripts/wine-run.sh" "$b" "${GBENCH_FLAGS[@]}"
done
if [ "$found" = 0 ]; then
  if [ -f "$BENCHMARK_SRC/CMakeLists.txt" ]; then
    skip "wine board_bench_win.exe" "not built"
  else
    skip "wine board_bench_win.exe" "Google Benchmark's source package could not be fetched from this machine's apt sources"
  fi
fi

# The latency harnesses take counts, not Google Benchmark's flags.
send_harness="$BUILD/win32/ledapi/ledapi_send_latency.exe"
if [ -f "$send_harness" ]; then
  run "wine ledapi_send_latency.exe ${SENDS:-300}" "$ROOT/scripts/wine-run.sh" "$send_harness" "${SENDS:-300}"
else
  skip "wine ledapi_send_latency.exe" "not built"
fi
pixel_harness="$BUILD/win32/ledapi/ledapi_pixel_latency.exe"
if [ -f "$pixel_harness" ]; then
  run "wine ledapi_pixel_latency.exe ${SENDS:-100}" "$ROOT/scripts/wine-run.sh" "$pixel_harness" "${SENDS:-100}"
else
  skip "wine ledapi_pixel_latency.exe" "not built"
fi
# Through the library to receivers in other processes (the sacn receiver,
# the native simulated screen), in a private network namespace of its own.
frames_harness="$BUILD/win32/ledapi/ledapi_pixel_frames.exe"
native_screen="$BUILD/native/ledscreen/ledscreen"
if [ ! -f "$frames_harness" ]; then
  skip "receivers dll-bench" "ledapi_pixel_frames.exe not built"
elif [ ! -x "$native_screen" ]; then
  skip "receivers dll-bench" "no native ledscreen (build the native tree)"
elif [ "$(id -u)" != 0 ] || ! "$ROOT/scripts/receivers.sh" check; then
  skip "receivers dll-bench" "needs root and the receivers (scripts/receivers.sh setup)"
else
  run "receivers dll-bench ${SENDS:-100}" env FRAMES="${SENDS:-100}" "$ROOT/tests/receivers/receivers_test.sh" \
    dll-bench "$frames_harness" "$native_screen"
fi
if [ -f "$click_harness" ]; then
  run "wine platora_click_latency.exe ${CLICKS:-200} 0" "$ROOT/scripts/wine-run.sh" "$click_harness" "${CLICKS:-200}" 0
else
  skip "wine platora_click_latency.exe" "not built"
fi

echo "== summary"
printf '%s\n' "${SUMMARY[@]}"
