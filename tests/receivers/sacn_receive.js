// Collects whole boards with the `sacn` package's receiver: universes
// FIRST..FIRST+COUNT-1, a frame being every universe with one sequence
// number. Writes each complete frame's first BYTES channel bytes to OUT, in
// the order the frames were completed, and ends when FRAMES frames are in,
// or after TIMEOUT ms saying which frames and universes are missing.
//   node sacn_receive.js PORT FIRST COUNT FRAMES BYTES OUT TIMEOUT_MS READY_FILE
'use strict';
const fs = require('fs');
const { Receiver } = require('sacn');

const [port, first, count, frames, bytes, out, timeoutMs] = process.argv.slice(2, 9).map((v, i) => (i === 5 ? v : Number(v)));
const ready = process.argv[9];
const universes = Array.from({ length: count }, (_, i) => first + i);
const receiver = new Receiver({ universes, port });
const pending = new Map();  // sequence -> { got: Set, data: Buffer }
const done = [];
let packets = 0, corrupt = 0;
fs.writeFileSync(out, Buffer.alloc(0));

// Joining the multicast groups fails where there is no multicast route; the
// board is sent to us directly.
receiver.on('error', () => {});
receiver.on('PacketCorruption', () => { corrupt += 1; });
receiver.on('PacketOutOfOrder', () => {});
receiver.on('packet', (p) => {
  packets += 1;
  const seq = p.sequence;
  let f = pending.get(seq);
  if (!f) {
    f = { got: new Set(), data: Buffer.alloc(count * 510) };
    pending.set(seq, f);
  }
  const slots = p.payloadAsBuffer;
  slots.copy(f.data, (p.universe - first) * 510, 0, Math.min(slots.length, 510));
  f.got.add(p.universe);
  if (f.got.size === count) {
    pending.delete(seq);
    done.push(seq);
    fs.appendFileSync(out, f.data.subarray(0, bytes));
    if (done.length === frames) finish(0);
  }
});

function finish(code) {
  const missing = [...pending.entries()].map(([s, f]) => `sequence ${s}: ${count - f.got.size} universes missing`);
  console.log(`sacn receiver: ${done.length} of ${frames} frames complete, ${packets} packets, ${corrupt} corrupt` +
              (missing.length ? `; ${missing.join('; ')}` : ''));
  receiver.close();
  process.exit(corrupt ? 1 : code);
}
setTimeout(() => finish(1), timeoutMs);
receiver.socket.on('listening', () => {
  // A receive buffer of a few frames, as a controller's network stack has,
  // so that a pause of the script (garbage collection) loses nothing.
  try { receiver.socket.setRecvBufferSize(4 << 20); } catch (e) { /* the system's limit stays */ }
  fs.writeFileSync(ready, 'ready');
});
