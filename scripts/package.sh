#!/usr/bin/env bash
# Builds the release an operator unpacks and runs: out/platora-win32.zip with
# one folder "platora" holding platora.exe, ledapi.dll, the simulated screen
# ledscreen.exe, try-without-screen.bat, send.bat (for schedulers), a default
# messbay.ini pointing at 127.0.0.1, sample.txt and GUIDE.txt (Chinese and
# English).
# Usage: scripts/package.sh [--arch i686|x86_64] [--tree DIR] [--out FILE.zip] [--no-build]
#   --arch     the Windows architecture (default i686, the product); the
#              release tree is build/release (i686) or build/release-ARCH
#   --tree     package an existing Windows tree instead (its architecture is
#              the tree's own); the tests package the tree they run, since a
#              machine without 32-bit support cannot run the i686 release
#   --out      where the zip goes (default out/platora-win32.zip)
#   --no-build package what the tree already holds
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

arch=i686 tree="" zipfile="$ROOT/out/platora-win32.zip" build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2; shift ;;
    --tree) tree=$2; shift ;;
    --out) zipfile=$2; shift ;;
    --no-build) build=0 ;;
    *) log "usage: scripts/package.sh [--arch i686|x86_64] [--tree DIR] [--out FILE.zip] [--no-build]"; exit 2 ;;
  esac
  shift
done
zipfile=$(realpath -m "$zipfile")
given_tree=$tree
if [ -n "$tree" ]; then
  tree=$(realpath -m "$tree")
  arch=$(sed -n 's/^PLATORA_WIN_ARCH:STRING=//p' "$tree/CMakeCache.txt" 2>/dev/null || true)
  [ -n "$arch" ] || { log "package.sh: $tree is not a configured Windows tree"; exit 1; }
else
  case "$arch" in
    i686) tree="$BUILD/release" ;;
    x86_64) tree="$BUILD/release-x86_64" ;;
    *) log "package.sh: --arch is i686 or x86_64"; exit 2 ;;
  esac
fi

if [ "$build" = 1 ]; then
  PACKAGES+=("g++-mingw-w64-${arch//_/-}")
  install_packages
  if [ -n "$given_tree" ]; then
    # A tree of someone else's keeps its own settings, guard included.
    out=$(cmake --build "$tree" -j "$JOBS" --target platora ledapi ledscreen 2>&1) ||
      { printf '%s\n' "$out" | grep -v -E '^\[ *[0-9]+%\]' | tail -60 >&2; log "build of $tree failed"; exit 1; }
  else
    build_product_tree "$arch" "$tree"
  fi
fi

stage=$(mktemp -d)
remove_stage() { rm -rf "$stage"; }
at_exit remove_stage
dir="$stage/platora"
mkdir -p "$dir"
for f in "$tree/bin/platora.exe" "$tree/bin/ledapi.dll" "$tree/ledscreen/ledscreen.exe"; do
  [ -f "$f" ] || { log "package.sh: $f is missing (build the tree first)"; exit 1; }
  cp "$f" "$dir/"
done
# Text files for Windows: CR LF; the program's own files in code page 936,
# the guide in UTF-8 with a byte-order mark so that any Notepad shows it.
crlf() { sed 's/\r*$/\r/'; }
crlf <"$ROOT/release/try-without-screen.bat" >"$dir/try-without-screen.bat"
crlf <"$ROOT/release/send.bat" >"$dir/send.bat"
{ printf '\357\273\277'; crlf <"$ROOT/release/GUIDE.txt"; } >"$dir/GUIDE.txt"
# The library's own settings, every section commented out: our own protocol.
{ printf '\357\273\277'; crlf <"$ROOT/release/ledapi.ini"; } >"$dir/ledapi.ini"
iconv -f UTF-8 -t CP936 "$ROOT/release/sample.txt" | crlf >"$dir/sample.txt"
# The settings file as the program writes it, with the screen on this computer.
printf '%s    ----窗口左上角\n%s    ----窗口左顶点\n127.0.0.1\n0    ----垂直偏移量\n0    ----间距\n0    ----金额偏移量\n0    ----为1:显示标题,0不显示\n0    ----为1:保存到卡,0仅显示\n' 348 195 |
  iconv -f UTF-8 -t CP936 | crlf >"$dir/messbay.ini"

check_windows_imports "$dir"/*.exe "$dir"/*.dll || { log "package.sh: not packed"; exit 1; }

mkdir -p "$(dirname "$zipfile")"
rm -f "$zipfile"
(cd "$stage" && TZ=UTC touch -t 202601010000 platora platora/* && zip -q -X -r "$zipfile" platora)
log "$zipfile ($arch): $(unzip -Z1 "$zipfile" | grep -v '/$' | tr '\n' ' ')"
