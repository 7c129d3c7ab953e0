# Shared by run.sh and test.sh: installs what is missing, prepares the Wine
# prefix and builds both trees. Sourced, not executed.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
# No mono/gecko installers: the prefix must come up offline and quietly.
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { printf '%s\n' "$*" >&2; }

# The product is a 32-bit Windows program. Some kernels cannot run 32-bit code
# at all (32-bit emulation switched off), and 32-bit Wine with them; there the
# Windows tree is built for x86_64 from the same sources and its tests run
# under 64-bit Wine. The probe is a 93-byte i386 Linux program that exits 0.
runs_i386() {
  local probe="${TMPDIR:-/tmp}/platora-i386-probe.$$"
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
  chmod +x "$probe"
  local rc=0
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  return $rc
}
if [ -z "${PLATORA_WIN_ARCH:-}" ]; then
  if runs_i386; then PLATORA_WIN_ARCH=i686; else PLATORA_WIN_ARCH=x86_64; fi
fi
export PLATORA_WIN_ARCH
if [ "$PLATORA_WIN_ARCH" = i686 ]; then
  export WINEARCH=win32
  WINE_PACKAGES=(g++-mingw-w64-i686 wine wine32:i386)
else
  export WINEARCH=win64
  WINE_PACKAGES=(g++-mingw-w64-x86-64 wine wine64)
fi

# Debian packages the project needs. Checked one by one so that a machine that
# already has everything does no apt work at all.
PACKAGES=("${WINE_PACKAGES[@]}" libz-mingw-w64-dev xvfb xauth
          fonts-wqy-zenhei fonts-liberation libpng-dev cmake googletest
          libbenchmark-dev imagemagick g++ make clang libclang-rt-14-dev
          zlib1g-dev zip unzip)

install_packages() {
  remove_unrunnable_wine32
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" != 0 ]; then
    log "missing packages: ${missing[*]} (run as root, or install them with apt-get)"
    exit 1
  fi
  log "installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Where 32-bit code cannot run, an installed wine32 is not only useless: the
# wine launcher prefers it over wine64 and then fails with "Exec format error".
remove_unrunnable_wine32() {
  [ "$PLATORA_WIN_ARCH" = x86_64 ] || return 0
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' || return 0
  if [ "$(id -u)" != 0 ]; then
    log "wine32 is installed but this machine cannot run 32-bit code; remove it (apt-get remove wine32:i386)"
    exit 1
  fi
  log "removing wine32: this machine cannot run 32-bit code"
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq wine32:i386 libwine:i386 >/dev/null
}

# A virtual display for everything that shows a window, unless one is given.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  if [ -n "${DISPLAY:-}" ] && [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ]; then return 0; fi
  local n=$(( 90 + RANDOM % 100 ))
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  HEADLESS=1
}

stop_display() {
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}

# Project-local Wine prefix with the fonts the program asks for mapped onto
# installed ones (WenQuanYi Zen Hei for the Chinese faces, Liberation Sans for
# the Latin ones).
ensure_wineprefix() {
  local stamp="$WINEPREFIX/.platora-prefix-v3-$WINEARCH"
  if [ -f "$stamp" ]; then start_wine; return 0; fi
  mkdir -p "$BUILD"
  log "creating Wine prefix in $WINEPREFIX"
  # A persistent server of an earlier run would never let `-w` return.
  wineserver -k </dev/null >/dev/null 2>&1 || true
  # A prefix of an older layout or of the other architecture cannot be reused.
  rm -rf "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1 || true
  timeout 120 wineserver -w </dev/null >/dev/null 2>&1 || true
  local reg="$BUILD/fonts.reg"
  # regedit wants UTF-16 with "Windows Registry Editor Version 5.00" for non-ASCII.
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    # The dialog font and the system's interface fonts carry Chinese captions
    # here, so they need a face with Chinese characters.
    for f in "宋体" "SimSun" "@宋体" "@SimSun" "新宋体" "NSimSun" "微软雅黑" "Microsoft YaHei" "黑体" "SimHei" \
             "MS Sans Serif" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
      printf '"%s"="WenQuanYi Zen Hei"\r\n' "$f"
    done
    printf '"Arial"="Liberation Sans"\r\n'
    printf '\r\n'
    # Wine draws the window frames itself, as Windows does, also without a
    # window manager on the virtual display.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
    printf '"Decorated"="N"\r\n"Managed"="N"\r\n\r\n'
    # A crashing program ends with a failure code instead of waiting on the
    # virtual display behind Wine's crash dialog.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n'
    printf '"ShowCrashDialog"=dword:00000000\r\n\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
  timeout 120 wineserver -w </dev/null >/dev/null 2>&1 || true
  touch "$stamp"
  start_wine
}

# A persistent Wine server started with its streams on /dev/null, so that it
# does not hold any test's output pipe open.
start_wine() {
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}

JOBS=$(nproc 2>/dev/null || echo 2)

# Builds one tree; prints nothing unless the build fails.
build_tree() {
  local preset=$1 dir="$BUILD/$1" out
  # A tree configured for the other Windows architecture starts afresh.
  if [ "$preset" = win32 ] && [ -f "$dir/CMakeCache.txt" ] &&
     ! grep -q "^PLATORA_WIN_ARCH:STRING=$PLATORA_WIN_ARCH\$" "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    if ! out=$(cmake --preset "$preset" -S "$ROOT" 2>&1); then printf '%s\n' "$out" >&2; return 1; fi
  fi
  if ! out=$(cmake --build "$dir" -j "$JOBS" 2>&1); then
    printf '%s\n' "$out" | grep -v -E '^\[ *[0-9]+%\]' | tail -80 >&2
    log "build of $preset failed"
    return 1
  fi
}

# Google Benchmark for the Windows tree: Debian's source package, built by
# CMake with the MinGW compiler (the Debian binary package is Linux-only).
BENCHMARK_SRC="$BUILD/third_party/benchmark-1.7.1"
fetch_benchmark_source() {
  [ -f "$BENCHMARK_SRC/CMakeLists.txt" ] && return 0
  local tmp="$BUILD/third_party/apt" f
  rm -rf "$tmp"
  mkdir -p "$tmp/lists/partial" "$tmp/sources.list.d"
  # The source packages come from the same places as this machine's binary
  # packages: its own apt sources, turned into source entries.
  : > "$tmp/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$tmp/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$tmp/sources.list.d/$(basename "$f")"
  done
  local opts=(-o "Dir::Etc::SourceList=$tmp/sources.list" -o "Dir::Etc::SourceParts=$tmp/sources.list.d"
              -o "Dir::State::Lists=$tmp/lists")
  if apt-get "${opts[@]}" update >/dev/null 2>&1 &&
     (cd "$tmp" && apt-get "${opts[@]}" source --download-only benchmark >/dev/null 2>&1); then
    tar -xzf "$tmp"/benchmark_*.orig.tar.gz -C "$BUILD/third_party" && \
      mv "$BUILD/third_party"/benchmark-1.7.1* "$BENCHMARK_SRC" 2>/dev/null || true
  fi
  [ -f "$BENCHMARK_SRC/CMakeLists.txt" ] ||
    log "Google Benchmark's source package could not be fetched from this machine's apt sources"
}

# What every script that runs Windows programs needs first: the packages, a
# display and the Wine prefix (both given back when the script ends), and
# Google Benchmark's source for the Windows tree.
prepare_session() {
  install_packages
  ensure_display
  trap 'stop_wine; stop_display' EXIT
  ensure_wineprefix
  fetch_benchmark_source
}
