#!/usr/bin/env bash
# Sets up what is missing, builds, and runs Platora against the simulated
# screen on 127.0.0.1. Without a display it runs on a virtual one, presses
# "发送" once and saves screenshots under out/.
# Usage: scripts/run.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages
HEADLESS=0
ensure_display
ensure_wineprefix
# What running needs: the program, its library, the simulated screen and the
# driver that presses "发送" when there is no one to press it.
build_tree win32 platora ledapi ledscreen platora_drive

RUN="$ROOT/run"
OUT="$ROOT/out"
mkdir -p "$RUN" "$OUT"
# The program only ever talks to the loopback screen from here: line 3 of
# the settings file is the screen address.
if [ ! -f "$RUN/messbay.ini" ]; then
  printf '348    ----\xb4\xb0\xbf\xda\xd7\xf3\xc9\xcf\xbd\xc7\r\n195    ----\xb4\xb0\xbf\xda\xd7\xf3\xb6\xa5\xb5\xe3\r\n127.0.0.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' > "$RUN/messbay.ini"
else
  sed -i '3s/^.*$/127.0.0.1\r/' "$RUN/messbay.ini"
fi

# The simulated screen on 127.0.0.1:6666 (with its LED-dot window when there
# is a display to look at).
stop_screen() { "$ROOT/scripts/screen.sh" stop >/dev/null 2>&1 || true; }
at_exit stop_screen
run_step "starting the simulated screen" "$ROOT/scripts/screen.sh" start --snapshot "$OUT/screen.png" --card "$RUN/card.bin"

EXE="$BUILD/win32/bin/platora.exe"
cd "$RUN"
if [ "${HEADLESS:-0}" = 1 ]; then
  wine "$EXE" </dev/null >"$BUILD/logs/platora.log" 2>&1 &
  pid=$!
  # A first start in a new prefix can take long on a busy machine.
  shown=0
  for _ in $(seq 240); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"PlatoraV1.0.090115"'; then shown=1; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  if [ $shown = 0 ]; then
    log "step failed: starting platora.exe (no main window after 120 s)"
    log "  command: wine $EXE; last lines of its output ($BUILD/logs/platora.log):"
    tail -n 25 "$BUILD/logs/platora.log" | sed 's/^/    /' >&2
    exit 1
  fi
  sleep 1
  run_step "pressing 发送 and waiting for 发送完成" timeout 60 \
    "$ROOT/scripts/wine-run.sh" "$BUILD/win32/bin/platora_drive.exe" click "发送" "发送完成"
  log "sent the board to the simulated screen"
  import -window root "$OUT/screen-all.png"
  convert "$OUT/screen-all.png" -trim +repage "$OUT/platora.png"
  rm -f "$OUT/screen-all.png"
  log "screenshot of the program and the screen's LED view: $OUT/platora.png"
  [ -f "$OUT/screen.png" ] && log "the simulated screen's picture: $OUT/screen.png"
  kill "$pid" 2>/dev/null || true
else
  log "running platora.exe in $RUN (close the window to stop)"
  wine "$EXE" </dev/null >/dev/null 2>&1 || true
fi
