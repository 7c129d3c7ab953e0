#!/usr/bin/env bash
# The library's pixel sender against receivers nobody here wrote, each inside
# a private network namespace made here (loopback, and a veth pair for a
# daemon that wants an interface besides it): nothing sent can leave the
# machine, and the sender sends to 127.0.0.1 only.
#   receivers_test.sh ola-e131|ola-artnet|sacn|tshark SENDER
#   receivers_test.sh platora-sacn|platora-ola PLATORA.EXE
#   receivers_test.sh dll-sacn|dll-bench LEDAPI_PIXEL_FRAMES.EXE [LEDSCREEN]
# SENDER is ledapi_pixel_send; the platora modes run the program itself
# under Wine (`/preview` and `/send` with a ledapi.ini beside its DLL), the
# dll modes the library's own boards (FRAMES of them, 100 by default), each
# with a wineserver of the namespace's own over a copy-on-write view of the
# prefix.
# Exit 77 (skipped) without root or without the receivers
# (scripts/receivers.sh setup installs them).
set -euo pipefail
mode=$1
sender=$(realpath "$2")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
NODE_PATH="$ROOT/build/receivers/node_modules"
export NODE_PATH

if [ -z "${PLATORA_IN_NETNS:-}" ]; then
  [ "$(id -u)" = 0 ] || { echo "SKIP: a private network namespace needs root"; exit 77; }
  "$ROOT/scripts/receivers.sh" check || { echo "SKIP: receivers missing (scripts/receivers.sh setup)"; exit 77; }
  exec env PLATORA_IN_NETNS=1 unshare -n -m -- bash "$0" "$@"
fi

# Inside the namespace: loopback and nothing else, before anything starts.
ip link set lo up
if ip -o link show | grep -v ': lo:' | grep -q .; then
  echo "FAIL: the namespace has interfaces besides loopback"; exit 1
fi
work=$(mktemp -d /tmp/platora-receivers.XXXXXX)
chmod 755 "$work"  # olad, another user, must reach its configuration folder
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if mountpoint -q "$work/prefix"; then WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; fi
  umount "$work/prefix" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

veth() {  # olad will not start on loopback alone
  ip link add plat0 type veth peer name plat1
  ip addr add 10.213.0.1/24 dev plat0
  ip link set plat0 up
  ip link set plat1 up
}

ini() {  # ini PROTOCOL [more lines...]
  { printf '[127.0.0.1]\nprotocol=%s\n' "$1"; shift; printf '%s\n' "$@"; } >"$work/ledapi.ini"
}

# OLA: its own configuration folder with every plugin off but one.
OLA_PLUGINS=(artnet dmx4linux dummy e131 espnet ftdidmx gpio karate kinet milinst nanoleaf opendmx
             openpixelcontrol osc pathport renard sandnet shownet spi stageprofi uartdmx usbdmx usbserial)
start_olad() {  # start_olad PLUGIN [config lines...]
  local plugin=$1 p
  shift
  rm -rf "$work/ola"
  mkdir -p "$work/ola"
  for p in "${OLA_PLUGINS[@]}"; do printf 'enabled = false\n' >"$work/ola/ola-$p.conf"; done
  { printf 'enabled = true\n'; printf '%s\n' "$@"; } >"$work/ola/ola-$plugin.conf"
  ls "$work/ola" >"$work/ola.before"
  chown -R olad "$work/ola"
  runuser -u olad -- olad -c "$work/ola" --no-register-with-dns-sd -l 3 >"$work/olad.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    curl -sf -o /dev/null http://127.0.0.1:9090/ && break
    sleep 0.1
  done
  curl -sf -o /dev/null http://127.0.0.1:9090/ || { echo "FAIL: olad did not come up"; tail -20 "$work/olad.log"; exit 1; }
  # A plugin whose file we did not write would have started enabled.
  local extra
  extra=$(ls "$work/ola" | grep '^ola-.*\.conf$' | grep -vxF -f "$work/ola.before" |
          grep -vE '^ola-(universe|port|server|plugin)' || true)
  [ -z "$extra" ] || { echo "FAIL: olad loaded plugins not switched off: $extra"; exit 1; }
  # An olad that could not read the folder runs every plugin with defaults:
  # exactly one device, the plugin's own, must be there.
  local devices
  devices=$(ola_dev_info 2>/dev/null | grep '^Device' || true)
  if [ "$(grep -c . <<<"$devices")" != 1 ]; then
    echo "FAIL: olad runs other devices than its $plugin plugin's:"; echo "$devices"; exit 1
  fi
}
stop_olad() {

  local p=${pids[-1]} child
  # olad itself, the child of runuser, by its own pid.
  child=$(pgrep -P "$p" -x olad || true)
  [ -n "$child" ] && kill "$child" 2>/dev/null || true
  kill "$p" 2>/dev/null || true
  wait "$p" 2>/dev/null || true
  unset 'pids[-1]'
  for _ in $(seq 50); do
    { [ -z "$child" ] || ! kill -0 "$child" 2>/dev/null; } && return 0
    sleep 0.1
  done
  echo "FAIL: olad did not stop"; exit 1
}
device_of() {  # the device number of the plugin named $1 in ola_dev_info
  ola_dev_info 2>/dev/null | sed -n "s/^Device \([0-9]*\): $1.*/\1/p" | head -1
}
check_universe() {  # check_universe OLA_UNIVERSE BOARD_UNIVERSE_INDEX CHANNELS
  node "$HERE/check_dmx.js" "http://127.0.0.1:9090/get_dmx?u=$1" "$work/expect.rgb" $(($2 * 510)) "$3"
}

# Wine with a server of the namespace's own (the server makes the sockets:
# one started outside would make them outside), over a copy-on-write view of
# the prefix.
wine_alone() {
  command -v wine >/dev/null || { echo "SKIP: no wine"; exit 77; }
  mount --make-rprivate /
  mkdir -p "$work/up" "$work/wk" "$work/prefix" /tmp/.wine-$(id -u)
  mount -t tmpfs tmpfs /tmp/.wine-$(id -u)
  mount -t overlay overlay -o "lowerdir=${WINEPREFIX:-$ROOT/build/wineprefix},upperdir=$work/up,workdir=$work/wk" \
    "$work/prefix"
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset WINEARCH
}

# platora.exe in a scratch folder with its settings on 127.0.0.1, its
# library's settings beside the DLL, and the sample menu.
platora_folder() {
  local exe=$1
  wine_alone
  mkdir -p "$work/run"
  cp "$exe" "$(dirname "$exe")/ledapi.dll" "$work/run/"
  printf '348\r\n195\r\n127.0.0.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' >"$work/run/messbay.ini"
  iconv -f UTF-8 -t CP936 "$ROOT/release/sample.txt" | sed 's/\r*$/\r/' >"$work/run/menu.txt"
  printf '[127.0.0.1]\r\nprotocol=e131\r\nuniverse=1\r\n' >"$work/run/ledapi.ini"
  (cd "$work/run" && wine platora.exe /preview menu.txt board.bmp </dev/null >/dev/null 2>&1) ||
    { echo "FAIL: platora.exe /preview"; exit 1; }
  node "$HERE/compare_bmp.js" "$work/run/board.bmp" "$work/expect.rgb" --write
}
platora_send() {
  local rc=0
  (cd "$work/run" && timeout 60 wine platora.exe /send menu.txt </dev/null >/dev/null 2>&1) || rc=$?
  tail -1 "$work/run/platora.log" | iconv -f CP936 -t UTF-8 || true
  wineserver -k 2>/dev/null || true
  [ $rc = 0 ] || { echo "FAIL: platora.exe /send ended with $rc"; exit 1; }
}

# The sacn receiver for FRAMES whole boards on 5568, ready to receive.
start_sacn() {  # start_sacn FRAMES TIMEOUT_MS
  node "$HERE/sacn_receive.js" 5568 1 290 "$1" 147456 "$work/received.rgb" "$2" "$work/ready" &
  receiver=$!
  pids+=($receiver)
  for _ in $(seq 100); do [ -f "$work/ready" ] && break; sleep 0.1; done
}
# ledapi_pixel_frames under Wine: boards through the library itself.
dll_frames() {  # dll_frames EXE PROTOCOL PORT [more options]
  local exe=$1 protocol=$2 port=$3
  shift 3
  timeout 120 wine "$exe" --protocol "$protocol" --port "$port" --frames "$FRAMES" "$@" </dev/null 2>&1 | tail -1
  return "${PIPESTATUS[0]}"
}
FRAMES=${FRAMES:-100}

case "$mode" in
  platora-sacn)
    platora_folder "$sender"
    start_sacn 1 30000
    platora_send
    wait "$receiver" || { echo "FAIL: the sacn receiver did not get the board"; exit 1; }
    node "$HERE/compare_bmp.js" "$work/run/board.bmp" "$work/received.rgb"
    ;;
  platora-ola)
    platora_folder "$sender"
    veth
    start_olad e131 'input_ports = 3'
    dev=$(device_of E1.31)
    ola_patch -d "$dev" -p 0 -i -u 1
    ola_patch -d "$dev" -p 1 -i -u 145
    ola_patch -d "$dev" -p 2 -i -u 290
    platora_send
    check_universe 1 0 510 && check_universe 145 144 510 && check_universe 290 289 66
    ;;
  dll-sacn)
    # The library under Wine, its boards back to back at the default pacing:
    # every universe of every board, pixel for pixel.
    wine_alone
    start_sacn "$FRAMES" 60000
    dll_frames "$sender" e131 5568 --expect "Z:$work/expect.rgb" || { echo "FAIL: ledapi_pixel_frames"; exit 1; }
    wineserver -k 2>/dev/null || true
    wait "$receiver" || { echo "FAIL: the sacn receiver did not get every board"; exit 1; }
    cmp "$work/expect.rgb" "$work/received.rgb" || { echo "FAIL: boards differ from those sent"; exit 1; }
    echo "dll-sacn: $FRAMES boards through ledapi.dll, every universe, equal pixel for pixel to the boards sent"
    ;;
  dll-bench)
    # The figures of docs/benchmarks.md in one run: through the library under
    # Wine to receivers in other processes (our own protocol and DDP to the
    # native simulated screen, E1.31 to the sacn receiver), then the same
    # kinds to screens inside the sender's own process (ledapi_pixel_latency).
    screen=${3:-$ROOT/build/native/ledscreen/ledscreen}
    [ -x "$screen" ] || { echo "SKIP: no native ledscreen at $screen"; exit 77; }
    wine_alone
    "$screen" --port 6666 >"$work/own.log" 2>&1 &
    pids+=($!)
    "$screen" --protocol ddp >"$work/ddp.log" 2>&1 &
    pids+=($!)
    start_sacn "$FRAMES" 120000
    # The Wine server started apart, with its services, so that none of them
    # holds on to the pipe of a run's output.
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    # What a board costs in CPU: the program's, and its Wine server's (every
    # socket call of the program goes through it).
    server=$(for p in $(pgrep -x 'wineserver(32|64)?'); do
               { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
             done | head -1 || true)
    cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }
    bench_frames() {  # bench_frames PROTOCOL PORT [more options]
      local before after
      [ -x /usr/bin/time ] && [ -n "$server" ] || { dll_frames "$sender" "$@"; return; }
      before=$(cpu_ms "$server")
      /usr/bin/time -f '%U %S' -o "$work/time" timeout 120 wine "$sender" --protocol "$1" --port "$2" \
        --frames "$FRAMES" "${@:3}" </dev/null 2>&1 | tail -1
      after=$(cpu_ms "$server")
      read -r user sys <"$work/time"
      awk -v u="$user" -v s="$sys" -v a="$before" -v b="$after" -v n="$FRAMES" -v p="$1" \
        'BEGIN { printf "  %s, CPU per board: the program %.1f ms, its Wine server %.1f ms\n", p, (u + s) * 1000 / n, (b - a) / n }'
    }
    uptime
    bench_frames own 6666
    bench_frames e131 5568 --expect "Z:$work/expect.rgb"
    bench_frames ddp 4048
    { wait "$receiver" && cmp "$work/expect.rgb" "$work/received.rgb"; } ||
      { echo "FAIL: the sacn receiver did not get every board as sent"; exit 1; }
    echo "sacn: every universe of $FRAMES boards, pixel for pixel"
    uptime
    (cd "$work" && timeout 300 wine "$(dirname "$sender")/ledapi_pixel_latency.exe" "$FRAMES" </dev/null 2>&1)
    uptime
    wineserver -k 2>/dev/null || true
    ;;
  ola-e131)
    veth
    start_olad e131 'input_ports = 3'
    dev=$(device_of E1.31)
    [ -n "$dev" ] || { echo "FAIL: no E1.31 device"; ola_dev_info; exit 1; }
    # The first, a middle and the last universe of the board.
    ola_patch -d "$dev" -p 0 -i -u 1
    ola_patch -d "$dev" -p 1 -i -u 145
    ola_patch -d "$dev" -p 2 -i -u 290
    ini e131 'universe=1'
    "$sender" --ini "$work/ledapi.ini" --frames 1 --expect "$work/expect.rgb" --hold-ms 500
    check_universe 1 0 510 && check_universe 145 144 510 && check_universe 290 289 66
    # Still running after the whole board (it is our child's child).
    pgrep -P "${pids[-1]}" -x olad >/dev/null || { echo "FAIL: olad ended"; tail -20 "$work/olad.log"; exit 1; }
    ;;
  ola-artnet)
    veth
    ini artnet 'universe=0'
    # OLA's Art-Net ports take one sub-net at a time: one run for each of the
    # board's first (0:0:0), middle (0:9:0) and last (1:2:1) port-address.
    for spec in "0 0 0 0" "0 9 0 144" "1 2 1 289"; do
      read -r net sub uni index <<<"$spec"
      start_olad artnet "net = $net" "subnet = $sub" 'input_ports = 1' 'output_ports = 0'
      dev=$(device_of ArtNet)
      [ -n "$dev" ] || { echo "FAIL: no Art-Net device"; ola_dev_info; exit 1; }
      # The port listens to net:sub-net and the low nibble of its OLA universe.
      ola_patch -d "$dev" -p 0 -i -u "$uni"
      "$sender" --ini "$work/ledapi.ini" --frames 1 --expect "$work/expect.rgb" --hold-ms 500
      count=510
      [ "$index" = 289 ] && count=66
      check_universe "$uni" "$index" "$count"
      stop_olad
    done
    ;;
  sacn)
    ini e131 'universe=1'
    node "$HERE/sacn_receive.js" 5568 1 290 100 147456 "$work/received.rgb" 60000 "$work/ready" &
    receiver=$!
    pids+=($receiver)
    for _ in $(seq 100); do [ -f "$work/ready" ] && break; sleep 0.1; done
    "$sender" --ini "$work/ledapi.ini" --frames 100 --expect "$work/expect.rgb" | tail -1
    wait "$receiver" || { echo "FAIL: the sacn receiver did not get every frame"; exit 1; }
    cmp "$work/expect.rgb" "$work/received.rgb" || { echo "FAIL: frames differ from the boards sent"; exit 1; }
    echo "sacn: 100 frames, every universe, equal pixel for pixel to the boards sent"
    ;;
  tshark)
    tshark -i lo -w "$work/cap.pcapng" -q >"$work/tshark.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do grep -q "Capture started" "$work/tshark.log" && break; sleep 0.1; done
    sleep 1
    ini e131 'universe=1' 'sync_universe=1000'
    "$sender" --ini "$work/ledapi.ini" --frames 1
    ini artnet 'universe=0'
    "$sender" --ini "$work/ledapi.ini" --frames 1
    sleep 0.5
    kill -INT "${pids[-1]}"
    wait "${pids[-1]}" 2>/dev/null || true
    unset 'pids[-1]'
    read_cap() { tshark -r "$work/cap.pcapng" --enable-heuristic acn -o acn.dmx_enable:TRUE "$@" 2>/dev/null; }
    # Nothing listens, so each packet also comes back inside an ICMP report:
    # only the packets themselves are counted.
    acn=$(read_cap -Y '!icmp && acn' | wc -l)
    # Wireshark 4.0 does not know the synchronisation packet: it stays UDP.
    sync=$(read_cap -Y '!icmp && !acn && udp.dstport == 5568 && udp.length == 57' | wc -l)
    universes=$(read_cap -Y '!icmp && acn.dmx.universe' -T fields -e acn.dmx.universe | sort -n | uniq | wc -l)
    art=$(read_cap -Y '!icmp && artnet' | wc -l)
    bad=$(read_cap -Y '!icmp && (_ws.malformed || _ws.expert.severity >= warning)' | wc -l)
    echo "tshark: $acn E1.31 data packets ($universes universes), $sync sync, $art ArtDmx packets, $bad malformed or warned"
    read_cap -Y '!icmp && (_ws.malformed || _ws.expert.severity >= warning)' | head -5
    [ "$acn" = 290 ] && [ "$sync" = 1 ] && [ "$universes" = 290 ] && [ "$art" = 290 ] && [ "$bad" = 0 ] || exit 1
    ;;
  *) echo "usage: receivers_test.sh ola-e131|ola-artnet|sacn|tshark SENDER | platora-sacn|platora-ola PLATORA.EXE |" \
          "dll-sacn|dll-bench LEDAPI_PIXEL_FRAMES.EXE [LEDSCREEN]" >&2
     exit 2 ;;
esac
echo "PASS: $mode"
