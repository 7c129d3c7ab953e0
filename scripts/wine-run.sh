#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix (used by CTest as
# the cross-compiling emulator).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# The prefix already exists and knows its architecture.
unset WINEARCH
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY="${DISPLAY:-:0}"
# Test programs find the controller library where the build puts it.
dll_dir="Z:$(printf '%s' "$ROOT/build/win32/ledapi" | tr '/' '\\')"
export WINEPATH="${WINEPATH:+$WINEPATH;}$dll_dir"
exec wine "$@"
