// Reads OLA's channel values for a universe over its HTTP interface and
// compares them with the board the sender meant.
//   node check_dmx.js URL EXPECT_FILE OFFSET COUNT
'use strict';
const fs = require('fs');
const http = require('http');

const [url, expectFile, offset, count] = process.argv.slice(2).map((v, i) => (i < 2 ? v : Number(v)));
const want = fs.readFileSync(expectFile).subarray(offset, offset + count);
http.get(url, (res) => {
  let body = '';
  res.on('data', (c) => { body += c; });
  res.on('end', () => {
    const got = JSON.parse(body).dmx || [];
    let bad = got.length < want.length ? `only ${got.length} channels` : '';
    for (let i = 0; !bad && i < want.length; ++i)
      if (got[i] !== want[i]) bad = `channel ${i + 1} is ${got[i]}, the board has ${want[i]}`;
    const lit = want.filter((v) => v).length;
    console.log(`${url}: ${bad || `all ${want.length} channels equal the board (${lit} lit)`}`);
    process.exit(bad ? 1 : 0);
  });
}).on('error', (e) => { console.log(`${url}: ${e.message}`); process.exit(1); });
