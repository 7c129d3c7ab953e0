#!/usr/bin/env bash
# Starts or stops the simulated LED screen on 127.0.0.1 for run.sh and the
# tests.
#   scripts/screen.sh start [--port 6666] [--snapshot FILE.png] [--card FILE]
#                           [--native|--wine] [--no-view] [ledscreen options...]
#   scripts/screen.sh stop
#   scripts/screen.sh status
# start: --wine (the default when build/win32 has ledscreen.exe and there is a
# display) runs ledscreen.exe under Wine with its LED-dot window as the live
# view; --native runs the Linux build, and for the view writes FILE.view.png
# and opens it with ImageMagick's display (refreshed every second) when there
# is a display. Prints the pid; the snapshot defaults to build/screen/screen.png.
# State (pid, log) is kept in build/screen/.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
STATE="${LEDSCREEN_STATE:-$ROOT/build/screen}"
mkdir -p "$STATE"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}" WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

stop_pid() {  # stops the process recorded in file $1, if it is still ours
  local f=$1 pid
  [ -f "$f" ] || return 0
  pid=$(cat "$f")
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$f"
}

cmd=${1:-}
shift || true
case "$cmd" in
  start)
    mode="" view=1 port=6666 snapshot="$STATE/screen.png" card="" extra=()
    while [ $# -gt 0 ]; do
      case "$1" in
        --native) mode=native ;;
        --wine) mode=wine ;;
        --no-view) view=0 ;;
        --port) port=$2; shift ;;
        --snapshot) snapshot=$2; shift ;;
        --card) card=$2; shift ;;
        *) extra+=("$1") ;;
      esac
      shift
    done
    stop_pid "$STATE/ledscreen.pid"
    stop_pid "$STATE/view.pid"
    native="$ROOT/build/native/ledscreen/ledscreen"
    exe="$ROOT/build/win32/ledscreen/ledscreen.exe"
    if [ -z "$mode" ]; then
      if [ -x "$exe" ] && [ -n "${DISPLAY:-}" ] && [ "$view" = 1 ]; then mode=wine; else mode=native; fi
    fi
    args=(--bind 127.0.0.1 --port "$port" --snapshot "$snapshot" ${card:+--card "$card"} "${extra[@]}")
    if [ "$mode" = wine ]; then
      [ -f "$exe" ] || { echo "screen.sh: $exe not built" >&2; exit 1; }
      wsnap=$(winepath -w "$snapshot" 2>/dev/null)
      args=(--bind 127.0.0.1 --port "$port" --snapshot "$wsnap" "${extra[@]}")
      [ -n "$card" ] && args+=(--card "$(winepath -w "$card" 2>/dev/null)")
      [ "$view" = 1 ] && args+=(--view)
      setsid wine "$exe" "${args[@]}" </dev/null >"$STATE/ledscreen.log" 2>&1 &
    else
      [ -x "$native" ] || { echo "screen.sh: $native not built" >&2; exit 1; }
      if [ "$view" = 1 ] && [ -n "${DISPLAY:-}" ]; then args+=(--view-png "${snapshot%.png}.view.png"); fi
      setsid "$native" "${args[@]}" </dev/null >"$STATE/ledscreen.log" 2>&1 &
    fi
    echo $! >"$STATE/ledscreen.pid"
    # Ready when the first snapshot is there.
    for _ in $(seq 100); do [ -s "$snapshot" ] && break; sleep 0.1; done
    if [ ! -s "$snapshot" ]; then
      echo "screen.sh: ledscreen did not start:" >&2
      cat "$STATE/ledscreen.log" >&2
      stop_pid "$STATE/ledscreen.pid"
      exit 1
    fi
    if [ "$mode" = native ] && [ "$view" = 1 ] && [ -n "${DISPLAY:-}" ] && command -v display >/dev/null; then
      setsid display -title "ledscreen 127.0.0.1:$port" -update 1 "${snapshot%.png}.view.png" </dev/null \
        >/dev/null 2>&1 &
      echo $! >"$STATE/view.pid"
    fi
    echo "ledscreen ($mode) on 127.0.0.1:$port, snapshot $snapshot, log $STATE/ledscreen.log, pid $(cat "$STATE/ledscreen.pid")"
    ;;
  stop)
    stop_pid "$STATE/view.pid"
    stop_pid "$STATE/ledscreen.pid"
    ;;
  status)
    if [ -f "$STATE/ledscreen.pid" ] && kill -0 "$(cat "$STATE/ledscreen.pid")" 2>/dev/null; then
      echo "running, pid $(cat "$STATE/ledscreen.pid")"
    else
      echo "stopped"
      exit 1
    fi
    ;;
  *)
    echo "usage: scripts/screen.sh start [--port N] [--snapshot FILE.png] [--card FILE] [--native|--wine] [--no-view] | stop | status" >&2
    exit 2
    ;;
esac
