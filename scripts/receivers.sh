#!/usr/bin/env bash
# The receivers that the library's open-protocol tests send to, none of them
# ours: OLA (olad), the `sacn` npm package and Wireshark's dissectors (tshark).
#   scripts/receivers.sh setup    installs what is missing (as root), quietly
#   scripts/receivers.sh check    exit 0 when everything is there, else 77
#   scripts/receivers.sh setup-if-root   setup as root; 77 (skipped) otherwise
# The npm package goes into build/receivers from the committed lock file,
# which names no registry. olad must never run outside a test's own network
# namespace: its package is installed inside a namespace of its own with
# service starts refused, and its boot-time start is switched off.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NODE_DIR="$ROOT/build/receivers"
DEBS=(ola tshark nodejs npm iproute2 curl util-linux)

log() { printf 'receivers: %s\n' "$*" >&2; }

# The packages still missing; node and npm from another source count as there.
missing_debs() {
  local p
  for p in "${DEBS[@]}"; do
    case "$p" in
      nodejs) command -v node >/dev/null && continue ;;
      npm) command -v npm >/dev/null && continue ;;
    esac
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || echo "$p"
  done
}
have_debs() { [ -z "$(missing_debs)" ]; }
have_node() { [ -f "$NODE_DIR/node_modules/sacn/package.json" ] && cmp -s "$ROOT/tests/receivers/package-lock.json" "$NODE_DIR/package-lock.json"; }

install_debs() {
  local missing
  mapfile -t missing < <(missing_debs)
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" = 0 ] || { log "missing packages: ${missing[*]} (run as root)"; return 1; }
  log "installing: ${missing[*]}"
  # No daemon may start on the host's network during the install.
  local policy=/usr/sbin/policy-rc.d made=0
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy"
    chmod +x "$policy"
    made=1
  fi
  local rc=0
  # A mirror in the middle of a sync fails the update; the lists already
  # there usually still serve.
  apt-get update -qq >/dev/null 2>&1 || log "apt-get update failed; installing from the lists there are"
  # Downloaded on the host's network, unpacked and configured in a network
  # namespace of their own: a maintainer script that starts olad despite the
  # refusal starts it where it cannot reach any network, and it is stopped.
  local opts=(-o DPkg::Lock::Timeout=300 -y -qq --no-install-recommends)
  { DEBIAN_FRONTEND=noninteractive apt-get install "${opts[@]}" --download-only "${missing[@]}" >/dev/null &&
      DEBIAN_FRONTEND=noninteractive unshare -n --fork bash -c \
        'apt-get install "$@" >/dev/null; rc=$?; pkill -x --ns $$ --nslist net olad || true; exit $rc' \
        install "${opts[@]}" --no-download "${missing[@]}" || rc=$?; }
  [ $made = 1 ] && rm -f "$policy"
  [ $rc -eq 0 ] || { log "apt-get failed ($rc)"; return 1; }
  if command -v systemctl >/dev/null; then systemctl disable olad >/dev/null 2>&1 || true; fi
  if command -v update-rc.d >/dev/null; then update-rc.d olad disable >/dev/null 2>&1 || true; fi
  # An olad that a service manager started anyway is stopped at once.
  if [ -f /run/olad.pid ]; then kill "$(cat /run/olad.pid)" 2>/dev/null || true; fi
}

install_node() {
  have_node && return 0
  mkdir -p "$NODE_DIR"
  cp "$ROOT/tests/receivers/package.json" "$ROOT/tests/receivers/package-lock.json" "$ROOT/tests/receivers/.npmrc" "$NODE_DIR/"
  (cd "$NODE_DIR" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
}

case "${1:-}" in
  setup) install_debs && install_node ;;
  check) have_debs && have_node || exit 77 ;;
  setup-if-root) [ "$(id -u)" = 0 ] || { echo "SKIP: installing the receivers needs root"; exit 77; }
                 install_debs && install_node ;;
  *) echo "usage: scripts/receivers.sh setup|check|setup-if-root" >&2; exit 2 ;;
esac
