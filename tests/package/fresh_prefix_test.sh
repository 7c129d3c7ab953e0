#!/usr/bin/env bash
# The release as an operator gets it: scripts/package.sh's zip, made from the
# tree under test (its own architecture, so that it runs here), unpacked into
# an empty folder and run in a Wine prefix created for this test alone. The
# start file must bring up the simulated screen and the program's window, a
# send from the window must complete, and so must an unattended send from
# the folder, which then holds everything the runs wrote.
# Usage: fresh_prefix_test.sh WINDOWS-TREE
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
TREE=$(realpath "$1")
WORK="$TREE/tests/fresh_prefix"
ARCH=$(sed -n 's/^PLATORA_WIN_ARCH:STRING=//p' "$TREE/CMakeCache.txt")
export LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$WORK/prefix"
if [ "$ARCH" = i686 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi

fail() { echo "FAIL: $*" >&2; exit 1; }
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
rm -rf "$WORK"
mkdir -p "$WORK/unpacked"
trap cleanup EXIT

"$ROOT/scripts/package.sh" --tree "$TREE" --out "$WORK/platora.zip" --no-build 2>/dev/null ||
  fail "package.sh did not make the zip"
unzip -q "$WORK/platora.zip" -d "$WORK/unpacked"
APP="$WORK/unpacked/platora"
for f in platora.exe ledapi.dll ledscreen.exe try-without-screen.bat send.bat messbay.ini GUIDE.txt sample.txt; do
  [ -f "$APP/$f" ] || fail "$f is not in the zip"
done
sed -n 3p "$APP/messbay.ini" | grep -qx $'127.0.0.1\r' || fail "the default settings do not point at 127.0.0.1"
before=$(cd "$APP" && ls | sort | tr '\n' ' ')

t0=$(date +%s)
wineboot -i </dev/null >/dev/null 2>&1 || true
timeout 300 wineserver -w </dev/null >/dev/null 2>&1 || true
echo "fresh $WINEARCH prefix in $(( $(date +%s) - t0 )) s"
wineserver -p </dev/null >/dev/null 2>&1 || true

# The start file, as a double-click runs it.
(cd "$APP" && wine cmd /c try-without-screen.bat </dev/null >/dev/null 2>&1) || fail "the start file failed"
for _ in $(seq 100); do [ -s "$APP/screen.png" ] && break; sleep 0.2; done
[ -s "$APP/screen.png" ] || fail "the simulated screen did not start"
# The window appears and its own send completes.
timeout 120 wine "$TREE/bin/platora_drive.exe" click "发送" "发送完成" </dev/null >/dev/null 2>"$WORK/drive.txt" ||
  fail "the window did not appear or its send did not complete: $(tr -d '\r' <"$WORK/drive.txt")"
echo "the window appeared and sent"

# The unattended send from the unpacked folder, while the window is open.
rc=0
(cd "$APP" && timeout 60 wine platora.exe /send sample.txt </dev/null >"$WORK/printed.txt" 2>/dev/null) || rc=$?
[ "$rc" = 0 ] || fail "/send ended with $rc: $(cat "$APP/platora.log" 2>/dev/null)"
line=$(iconv -f CP936 -t UTF-8 "$APP/platora.log" | tr -d '\r')
printf '%s\n' "$line"
grep -q $'\tsample.txt\t0\t发送完成$' <<<"$line" || fail "platora.log: $line"
[ "$(iconv -f CP936 -t UTF-8 "$WORK/printed.txt" | tr -d '\r')" = "$line" ] || fail "the console did not get the log line"

# Everything the runs wrote is in the folder: the log and the screen's files.
after=$(cd "$APP" && ls | sort | tr '\n' ' ')
echo "folder before: $before"
echo "folder after:  $after"
for f in platora.log screen.png; do
  grep -qw "$f" <<<"$after" || fail "$f missing from the folder"
done
echo "PASS"
