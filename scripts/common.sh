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

# What a script leaves running is stopped when it ends, however it ends. Only
# the script's own shell runs the clean-up: a subshell that exits must not.
MAIN_SHELL=$BASHPID
EXIT_STEPS=()
at_exit() {
  declare -F "$1" >/dev/null || { log "at_exit: no function $1"; exit 1; }
  EXIT_STEPS=("$1" "${EXIT_STEPS[@]}")
}
run_exit_steps() {
  [ "$BASHPID" = "$MAIN_SHELL" ] || return 0
  local f
  for f in "${EXIT_STEPS[@]}"; do "$f" || true; done
}
trap run_exit_steps EXIT

# A failing command under `set -e` says where it was, unless a step (below)
# has already said more.
set -E
on_error() {
  [ "$BASHPID" = "$MAIN_SHELL" ] || return 0
  local where=${BASH_SOURCE[1]:-$0}
  log "$(basename "$0") failed (exit $1) at ${where##*/}:$2: $3"
}
trap 'on_error $? $LINENO "$BASH_COMMAND"' ERR

# Runs one named step with its output in build/logs (its name made a file
# name) and returns how it ended.
run_step_quietly() {
  local what=$1; shift
  mkdir -p "$BUILD/logs"
  STEP_LOG="$BUILD/logs/$(printf '%s' "$what" | tr -c 'A-Za-z0-9' '-' | cut -c1-40).log"
  "$@" >"$STEP_LOG" 2>&1 </dev/null
}

# The same; on failure prints the step, its command and the last lines it
# printed, and fails.
run_step() {
  local what=$1 rc=0
  run_step_quietly "$@" || rc=$?
  if [ $rc -ne 0 ]; then
    shift
    log "step failed: $what (exit $rc)"
    log "  command: $*"
    log "  last lines of its output ($STEP_LOG):"
    tail -n 25 "$STEP_LOG" | sed 's/^/    /' >&2
    trap - ERR
    exit $rc
  fi
}

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
# Chosen here unless given; a machine that runs 32-bit code but cannot get
# 32-bit Wine from its package sources falls back to x86_64 (install_packages).
WIN_ARCH_GIVEN=${PLATORA_WIN_ARCH:-}
if [ -z "${PLATORA_WIN_ARCH:-}" ]; then
  if runs_i386; then PLATORA_WIN_ARCH=i686; else PLATORA_WIN_ARCH=x86_64; fi
fi
# Debian packages the project needs, installed without their recommended
# packages: wine64 recommends wine32, which a machine without 32-bit support
# cannot run and which the wine launcher would then prefer. What Wine's X11
# driver uses of those recommendations (text and alpha drawing, the screen's
# geometry, the pointer) is named here, for the architecture Wine runs as.
# The i686 compiler is always wanted: the shipped product is built (and
# checked) on every machine, also where it cannot run.
use_win_arch() {
  PLATORA_WIN_ARCH=$1
  export PLATORA_WIN_ARCH
  local wine_arch="" p
  if [ "$PLATORA_WIN_ARCH" = i686 ]; then
    export WINEARCH=win32
    WINE_PACKAGES=(g++-mingw-w64-i686 wine wine32:i386)
    wine_arch=":i386"
  else
    export WINEARCH=win64
    WINE_PACKAGES=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64)
  fi
  WINE_X_LIBS=()
  for p in libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1; do
    WINE_X_LIBS+=("$p$wine_arch")
  done
  PACKAGES=("${WINE_PACKAGES[@]}" "${WINE_X_LIBS[@]}" libz-mingw-w64-dev xvfb xauth x11-utils
            fonts-wine fonts-wqy-zenhei fonts-liberation libpng-dev cmake googletest
            libbenchmark-dev imagemagick g++ make clang libclang-rt-14-dev
            zlib1g-dev zip unzip libssl-dev)
}
use_win_arch "$PLATORA_WIN_ARCH"

package_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

missing_packages() {
  MISSING=()
  local p
  for p in "${PACKAGES[@]}"; do package_installed "$p" || MISSING+=("$p"); done
}

# A mirror in the middle of a sync fails one list now and then; apt keeps the
# lists it has, and whether the packages can be had from them is for the
# install (or its dry run) to say.
update_package_lists() {
  local try
  for try in 1 2 3; do
    run_step_quietly "apt-get update" apt-get update -qq && return 0
    [ $try -lt 3 ] && sleep 10
  done
  log "warning: apt-get update failed three times (build/logs/apt-get-update.log); going on with the package lists apt has"
}

install_packages() {
  missing_packages
  # 32-bit Wine needs i386 libraries of the very versions the machine has
  # for amd64; where the sources cannot give them (an i386 list missing, a
  # mirror behind), the Windows tree is tested as on a 64-bit-only machine.
  # The finding holds for a day, so that every run does not ask again.
  local stamp="$BUILD/no-32-bit-wine" may_fall_back=0
  [ "$PLATORA_WIN_ARCH" = i686 ] && [ -z "$WIN_ARCH_GIVEN" ] && may_fall_back=1
  if [ ${#MISSING[@]} -gt 0 ] && [ $may_fall_back = 1 ] && [ -n "$(find "$stamp" -mmin -1440 2>/dev/null)" ]; then
    use_win_arch x86_64
    missing_packages
  fi
  if [ ${#MISSING[@]} -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
      log "missing packages: ${MISSING[*]} (run as root, or install them with apt-get)"
      exit 1
    fi
    # i386 packages only where the tree is i686: elsewhere apt must not even
    # be able to choose one.
    if [ "$PLATORA_WIN_ARCH" = i686 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      run_step "adding the i386 architecture" dpkg --add-architecture i386
    fi
    update_package_lists
    if [ "$PLATORA_WIN_ARCH" = i686 ] && [ $may_fall_back = 1 ] &&
       ! apt-get install -s -qq --no-install-recommends "${MISSING[@]}" >"$BUILD/logs/i386-dry-run.log" 2>&1; then
      log "32-bit Wine cannot be installed from this machine's package sources (build/logs/i386-dry-run.log):" \
          "the Windows tree is built for x86_64 and tested under 64-bit Wine; the i686 product is still built and checked" \
          "(for a day: remove build/no-32-bit-wine to try again)"
      touch "$stamp"
      use_win_arch x86_64
      missing_packages
    fi
    if [ ${#MISSING[@]} -gt 0 ]; then
      log "installing: ${MISSING[*]}"
      run_step "installing packages" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${MISSING[@]}"
    fi
  fi
  remove_unrunnable_wine32
}

# Where 32-bit code cannot run, an installed wine32 is not only useless: the
# wine launcher prefers it over wine64 and then fails with "Exec format error".
# Checked after every install, whoever installed it.
remove_unrunnable_wine32() {
  [ "$PLATORA_WIN_ARCH" = x86_64 ] || return 0
  package_installed wine32:i386 || return 0
  if [ "$(id -u)" != 0 ]; then
    log "wine32 is installed but this machine cannot run 32-bit code; remove it (apt-get remove wine32:i386)"
    exit 1
  fi
  log "removing wine32: this machine cannot run 32-bit code"
  run_step "removing wine32" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq wine32:i386 libwine:i386
}

# A virtual display for everything that shows a window, unless one is given.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  if [ -n "${DISPLAY:-}" ] && [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ]; then return 0; fi
  local n=$(( 90 + RANDOM % 100 ))
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  at_exit stop_display
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
  at_exit stop_wine
  if [ -f "$stamp" ]; then start_wine; return 0; fi
  mkdir -p "$BUILD"
  log "creating Wine prefix in $WINEPREFIX"
  # A persistent server of an earlier run would never let `-w` return.
  wineserver -k </dev/null >/dev/null 2>&1 || true
  # A prefix of an older layout or of the other architecture cannot be reused.
  rm -rf "$WINEPREFIX"
  mkdir -p "$BUILD/logs"
  wineboot -i </dev/null >"$BUILD/logs/wineboot.log" 2>&1 || true
  timeout 120 wineserver -w </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "step failed: creating the Wine prefix ($(command -v wine || echo 'no wine command'), $WINEARCH)"
    log "  command: wineboot -i; last lines of its output:"
    tail -n 25 "$BUILD/logs/wineboot.log" | sed 's/^/    /' >&2
    exit 1
  fi
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
  run_step "importing the prefix's font settings" wine regedit /S "$(winepath -w "$reg" 2>/dev/null)"
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

# Builds one tree (only the given targets, if any); prints nothing unless the
# build fails.
build_tree() {
  local preset=$1 dir="$BUILD/$1" out targets=()
  shift
  [ $# -gt 0 ] && targets=(--target "$@")
  # A tree configured for the other Windows architecture starts afresh.
  if [ "$preset" = win32 ] && [ -f "$dir/CMakeCache.txt" ] &&
     ! grep -q "^PLATORA_WIN_ARCH:STRING=$PLATORA_WIN_ARCH\$" "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    if ! out=$(cmake --preset "$preset" -S "$ROOT" 2>&1); then printf '%s\n' "$out" >&2; return 1; fi
  fi
  if ! out=$(cmake --build "$dir" -j "$JOBS" "${targets[@]}" 2>&1); then
    printf '%s\n' "$out" | grep -v -E '^\[ *[0-9]+%\]' | tail -80 >&2
    log "build of $preset failed"
    return 1
  fi
}

# The product an operator runs: the Windows programs alone, in a tree of
# their own, with the library's loopback-only guard off (every other tree
# keeps it on). Builds nothing that runs here.
build_product_tree() {
  local arch=$1 tree=$2 out
  if [ -f "$tree/CMakeCache.txt" ] && ! grep -q '^LEDAPI_LOOPBACK_ONLY:BOOL=OFF$' "$tree/CMakeCache.txt"; then
    rm -rf "$tree"
  fi
  if [ ! -f "$tree/CMakeCache.txt" ]; then
    if ! out=$(cmake --preset win32 -S "$ROOT" -B "$tree" -DPLATORA_WIN_ARCH="$arch" -DBUILD_TESTING=OFF \
                 -DLEDAPI_LOOPBACK_ONLY=OFF 2>&1); then
      printf '%s\n' "$out" >&2; log "configuring $tree failed"; return 1
    fi
  fi
  if ! out=$(cmake --build "$tree" -j "$JOBS" --target platora ledapi ledscreen 2>&1); then
    printf '%s\n' "$out" | grep -v -E '^\[ *[0-9]+%\]' | tail -60 >&2
    log "build of $tree failed"
    return 1
  fi
}

# Names read from a Windows program's PE tables.
pe_objdump() { "$(pe_arch "$1")-w64-mingw32-objdump" -p "$1"; }
pe_arch() {
  case "$(objdump -f "$1" 2>/dev/null | sed -n 's/.*file format //p')" in
    pei-i386) echo i686 ;;
    pei-x86-64) echo x86_64 ;;
    *) echo unknown ;;
  esac
}
pe_dlls() { pe_objdump "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }
# The names a program imports from one DLL (case as written).
pe_imports_from() {
  pe_objdump "$1" | awk -v dll="$2" '
    /^[[:space:]]*DLL Name:/ { cur = tolower($3); next }
    cur == dll && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ { print $3 }
    /^$/ { if (cur == dll) cur = "" }'
}
pe_exports() {
  pe_objdump "$1" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^[[:space:]]*\[/ { print $NF; next } on { on = 0 }'
}

# Only Windows' own DLLs may be needed besides ledapi.dll: under Wine a
# missing one (zlib1.dll) would go unnoticed, Wine having its own.
SYSTEM_DLLS='^(kernel32|user32|gdi32|comctl32|comdlg32|msimg32|msvcrt|shell32|ws2_32|uxtheme|advapi32|bcrypt|winmm|ledapi)\.dll$'
check_windows_imports() {
  local f extra
  for f in "$@"; do
    extra=$(pe_dlls "$f" | grep -v -E "$SYSTEM_DLLS" || true)
    [ -z "$extra" ] || { log "$(basename "$f") needs $(echo $extra) (not part of Windows)"; return 1; }
  done
}

# Checks a built product tree without running it: the architecture, the DLLs
# it needs, that the library exports every name the program imports from it,
# and where the loopback guard stands. Prints one line; fails on the first
# fault found.
check_product_tree() {
  local tree=$1 arch=$2 guard=$3 f
  local exe="$tree/bin/platora.exe" dll="$tree/bin/ledapi.dll" screen="$tree/ledscreen/ledscreen.exe"
  for f in "$exe" "$dll" "$screen"; do
    [ -f "$f" ] || { log "product check: $f is missing"; return 1; }
    [ "$(pe_arch "$f")" = "$arch" ] || { log "product check: $(basename "$f") is $(pe_arch "$f"), not $arch"; return 1; }
  done
  check_windows_imports "$exe" "$dll" "$screen" || return 1
  pe_dlls "$dll" | grep -qx ledapi.dll && { log "product check: ledapi.dll imports itself"; return 1; }
  local imported exported missing
  imported=$(pe_imports_from "$exe" ledapi.dll | sort -u)
  exported=$(pe_exports "$dll" | sort -u)
  [ -n "$imported" ] || { log "product check: platora.exe imports nothing from ledapi.dll"; return 1; }
  missing=$(comm -23 <(printf '%s\n' "$imported") <(printf '%s\n' "$exported"))
  [ -z "$missing" ] || { log "product check: ledapi.dll does not export $(echo $missing)"; return 1; }
  local cached
  cached=$(sed -n 's/^LEDAPI_LOOPBACK_ONLY:BOOL=//p' "$tree/CMakeCache.txt")
  [ "$cached" = "$guard" ] || { log "product check: $tree has the loopback guard ${cached:-unset}, not $guard"; return 1; }
  echo "$arch product ($(realpath --relative-to="$ROOT" "$tree")): platora.exe, ledapi.dll, ledscreen.exe built for $arch;" \
       "only Windows' own DLLs imported; ledapi.dll exports all $(wc -l <<<"$imported") names platora.exe imports from it;" \
       "record layout checked by the compiler; loopback guard $guard"
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
  ensure_wineprefix
  fetch_benchmark_source
}
