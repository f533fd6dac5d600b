// The far end of the page's navigator.serial stand-in: a WebSocket server
// (on Node's own HTTP upgrade, no package) that carries each opened port's
// bytes to and from a pseudo-terminal, one of varnel-emu's.
//   const bridge = await startSerialBridge({ tracker: '/tmp/x/tracker-pty', ... });
//   bridge.url   ws://127.0.0.1:PORT, the stand-in's `bridge`
//   bridge.log   what each port was asked: opens with their speed, signals, closes (with times in ms)
// A WebSocket is one open of a port: ws://.../NAME?baud=N. The line speed is
// set on the pseudo-terminal (stty), where varnel-emu hears it; DTR and RTS
// have no wires on a pseudo-terminal and are only logged.
import http from 'node:http';
import fs from 'node:fs';
import crypto from 'node:crypto';
import { spawnSync } from 'node:child_process';

const WS_GUID = '258EAFA5-E914-47DA-95CA-C5AB0DC85B11';

// One server-side WebSocket over an upgraded socket: text and binary
// messages of one frame each (what browsers send for small messages).
function acceptWebSocket(req, socket) {
  const accept = crypto.createHash('sha1').update(req.headers['sec-websocket-key'] + WS_GUID).digest('base64');
  socket.write('HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n' +
    `Sec-WebSocket-Accept: ${accept}\r\n\r\n`);
  socket.setNoDelay(true);
  const ws = { onmessage: () => {}, onclose: () => {}, closed: false };
  const frame = (opcode, payload) => {
    const n = payload.length;
    const head = n < 126 ? Buffer.from([0x80 | opcode, n])
      : n < 65536 ? Buffer.from([0x80 | opcode, 126, n >> 8, n & 0xff])
        : Buffer.concat([Buffer.from([0x80 | opcode, 127]), (() => { const b = Buffer.alloc(8); b.writeBigUInt64BE(BigInt(n)); return b; })()]);
    return Buffer.concat([head, payload]);
  };
  ws.send = (data) => {
    if (ws.closed) return;
    socket.write(typeof data === 'string' ? frame(1, Buffer.from(data)) : frame(2, Buffer.from(data)));
  };
  const end = () => {
    if (ws.closed) return;
    ws.closed = true;
    ws.onclose();
  };
  ws.close = () => {
    if (!ws.closed) socket.end(frame(8, Buffer.alloc(0)));
    end();
  };
  let pending = Buffer.alloc(0);
  socket.on('data', (chunk) => {
    pending = Buffer.concat([pending, chunk]);
    for (;;) {
      if (pending.length < 2) return;
      const opcode = pending[0] & 0x0f;
      let length = pending[1] & 0x7f;
      let at = 2;
      if (length === 126) { if (pending.length < 4) return; length = pending.readUInt16BE(2); at = 4; }
      else if (length === 127) { if (pending.length < 10) return; length = Number(pending.readBigUInt64BE(2)); at = 10; }
      const masked = (pending[1] & 0x80) !== 0;
      const mask = masked ? pending.subarray(at, at + 4) : null;
      if (masked) at += 4;
      if (pending.length < at + length) return;
      const payload = Buffer.from(pending.subarray(at, at + length));
      pending = pending.subarray(at + length);
      if (mask) for (let i = 0; i < payload.length; i++) payload[i] ^= mask[i & 3];
      if (opcode === 8) { ws.close(); return; }
      if (opcode === 9) { socket.write(frame(10, payload)); continue; }
      if (opcode === 1) ws.onmessage(payload.toString());
      else if (opcode === 2) ws.onmessage(payload);
    }
  });
  socket.on('close', end);
  socket.on('error', end);
  return ws;
}

// Opens the pseudo-terminal for one open of the port and carries bytes both
// ways until the WebSocket closes.
function carry(ws, name, pty, baud, log) {
  const stty = spawnSync('stty', ['-F', pty, String(baud)], { encoding: 'utf8' });
  log.push({ name, op: 'open', baud, sttyStatus: stty.status, at: performance.now() });
  let fd;
  try {
    fd = fs.openSync(pty, fs.constants.O_RDWR | fs.constants.O_NOCTTY | fs.constants.O_NONBLOCK);
  } catch (e) {
    ws.send('error:' + e.message);
    ws.close();
    return;
  }
  const buffer = Buffer.alloc(4096);
  const poll = setInterval(() => {
    for (;;) {
      let n = 0;
      try { n = fs.readSync(fd, buffer, 0, buffer.length, null); } catch (e) { return; }  // EAGAIN: nothing yet
      if (n <= 0) return;
      ws.send(buffer.subarray(0, n));
    }
  }, 1);
  ws.onmessage = (data) => {
    if (typeof data === 'string') {
      if (data.startsWith('signals:')) log.push({ name, op: 'signals', ...JSON.parse(data.slice(8)) });
      return;
    }
    let written = 0;
    while (written < data.length) {
      try { written += fs.writeSync(fd, data, written); } catch (e) { if (e.code !== 'EAGAIN') break; }
    }
    ws.send('wrote:' + written);
  };
  ws.onclose = () => {
    clearInterval(poll);
    fs.closeSync(fd);
    log.push({ name, op: 'close', at: performance.now() });
  };
  ws.send('opened');
}

export async function startSerialBridge(ptys) {
  const log = [];
  const server = http.createServer((req, res) => res.writeHead(426).end());
  const sockets = new Set();
  server.on('upgrade', (req, socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
    const url = new URL(req.url, 'http://localhost');
    const name = url.pathname.slice(1);
    const ws = acceptWebSocket(req, socket);
    if (!ptys[name]) { ws.send('error:no port ' + name); ws.close(); return; }
    carry(ws, name, ptys[name], Number(url.searchParams.get('baud')), log);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `ws://127.0.0.1:${server.address().port}`,
    log,
    close() {
      for (const s of sockets) s.destroy();
      server.close();
    },
  };
}
