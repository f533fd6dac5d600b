// The serial ports the user has granted this page, over Web Serial. C++
// (web_serial_port.cpp) opens, reads and writes them and awaits the promises
// here; this script only keeps what the ports deliver and settles those
// promises. It never calls C++.
//
// A port is known by a number the page gives it when it first sees it (the
// browser names none); "serial:N" is that port's path in the connect window.
'use strict';

(() => {
  // Read errors after which the port goes on (the stream is replaced);
  // anything else means the device is gone.
  const LINE_ERRORS = ['BreakError', 'FramingError', 'ParityError', 'BufferOverrunError'];

  const serial = {
    granted: new Map(),  // number -> SerialPort
    numbers: new Map(),  // SerialPort -> number
    nextNumber: 1,
    open: new Map(),     // number -> connection
    openErrors: new Map(),  // number -> the browser's error at its last failed open
    ready: Promise.resolve(),

    available() { return typeof navigator !== 'undefined' && 'serial' in navigator; },

    // The ports granted before and the browser's plug events: a port plugged
    // in joins the list (the connect window's port watch then tries it), one
    // pulled out leaves it and its connection fails its next read.
    start() {
      if (!this.available()) return;
      navigator.serial.addEventListener('connect', (e) => this.add(e.target));
      navigator.serial.addEventListener('disconnect', (e) => this.remove(e.target));
      this.ready = navigator.serial.getPorts().then((ports) => ports.forEach((p) => this.add(p)), () => {});
    },
    add(port) {
      if (!this.numbers.has(port)) this.numbers.set(port, this.nextNumber++);
      const n = this.numbers.get(port);
      this.granted.set(n, port);
      return n;
    },
    remove(port) {
      const n = this.numbers.get(port);
      if (n === undefined) return;
      this.granted.delete(n);
      const c = this.open.get(n);
      if (c) { c.lost = true; c.wake(); }
    },
    // "number \x1f USB vendor \x1f USB product" for each port, \x1e apart
    // (the USB numbers empty when the browser gives none).
    list() {
      return [...this.granted].map(([n, port]) => {
        const info = port.getInfo ? port.getInfo() : {};
        return [n, info.usbVendorId ?? '', info.usbProductId ?? ''].join('\x1f');
      }).join('\x1e');
    },
    has(n) { return this.granted.has(n); },
    // What the connection doctor reads of port n (0: of none): "Web Serial
    // there, secure address, origin, granted, plugged in, error name, error
    // message", \x1f apart, the flags as 1 or 0.
    doctorView(n) {
      const port = this.granted.get(n);
      const seen = [...this.numbers.values()].includes(n);
      const error = this.openErrors.get(n);
      return [this.available() ? 1 : 0, window.isSecureContext ? 1 : 0, location.origin, seen ? 1 : 0,
        port && port.connected !== false ? 1 : 0, error ? error.name : '', error ? error.message : ''].join('\x1f');
    },
    // The browser's chooser; it needs the user's click, which C++ is still
    // handling when it asks. The port's number, 0 when none was picked.
    async request() {
      try { return this.add(await navigator.serial.requestPort()); } catch (e) { return 0; }
    },

    // 1 open, -1 the port cannot be opened (gone, or held by another page
    // or program), -2 the browser refused the line settings.
    async openPort(n, baud) {
      const port = this.granted.get(n);
      if (!port || this.open.has(n)) return -1;
      try {
        await port.open({ baudRate: baud, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none',
          bufferSize: 4096 });
      } catch (e) {
        this.openErrors.set(n, e);
        return e instanceof TypeError ? -2 : -1;
      }
      this.openErrors.delete(n);
      // The trackers reset on DTR: drop it, and keep RTS asserted. A port
      // without modem lines refuses, which is harmless.
      try { await port.setSignals({ dataTerminalReady: false, requestToSend: true }); } catch (e) { /* no lines */ }
      const c = {
        port, chunks: [], lineErrors: 0, lost: false, closing: false, reader: null, waiter: null,
        writer: port.writable.getWriter(), writing: null, writeState: 1,
        wake() { if (this.waiter) this.waiter(); },
      };
      c.reading = this.readAll(c);
      this.open.set(n, c);
      return 1;
    },
    // Reads for as long as the port is open. A line error ends the stream
    // but not the port: it is counted, and a reader on the new stream goes on.
    async readAll(c) {
      while (!c.closing && !c.lost && c.port.readable) {
        const reader = c.port.readable.getReader();
        c.reader = reader;
        try {
          for (;;) {
            const { value, done } = await reader.read();
            if (done) { if (!c.closing) c.lost = true; break; }
            if (value && value.length) { c.chunks.push(value); c.wake(); }
          }
        } catch (e) {
          if (LINE_ERRORS.includes(e && e.name)) c.lineErrors++;
          else c.lost = true;
          c.wake();
        } finally {
          reader.releaseLock();
          c.reader = null;
        }
      }
      if (!c.closing) c.lost = true;
      c.wake();
    },
    // What has arrived, at most max bytes; null once the port is gone and
    // nothing is left.
    take(n, max) {
      const c = this.open.get(n);
      if (!c) return null;
      if (!c.chunks.length) return c.lost ? null : new Uint8Array(0);
      const out = new Uint8Array(Math.min(max, c.chunks.reduce((sum, b) => sum + b.length, 0)));
      let got = 0;
      while (got < out.length) {
        const chunk = c.chunks[0];
        const part = Math.min(chunk.length, out.length - got);
        out.set(chunk.subarray(0, part), got);
        got += part;
        if (part === chunk.length) c.chunks.shift();
        else c.chunks[0] = chunk.subarray(part);
      }
      return out;
    },
    // Resolves when bytes are there, the port is gone, or after ms.
    waitData(n, ms) {
      const c = this.open.get(n);
      if (!c || c.chunks.length || c.lost || ms <= 0) return Promise.resolve();
      return new Promise((resolve) => {
        const done = () => { clearTimeout(timer); c.waiter = null; resolve(); };
        const timer = setTimeout(done, ms);
        c.waiter = done;
      });
    },
    purge(n) {
      const c = this.open.get(n);
      if (c) c.chunks = [];
    },
    takeLineErrors(n) {
      const c = this.open.get(n);
      if (!c) return 0;
      const count = c.lineErrors;
      c.lineErrors = 0;
      return count;
    },
    // A write is started, then awaited in slices: writeState 1 done,
    // 0 pending, -1 failed.
    startWrite(n, bytes) {
      const c = this.open.get(n);
      if (!c || c.lost || c.writeState === 0) return -1;
      c.writeState = 0;
      c.writing = c.writer.write(bytes).then(() => { c.writeState = 1; }, () => { c.writeState = -1; })
        .finally(() => { if (c.writeWaiter) c.writeWaiter(); });
      return 1;
    },
    waitWrite(n, ms) {
      const c = this.open.get(n);
      if (!c) return Promise.resolve(-1);
      if (c.writeState !== 0 || ms <= 0) return Promise.resolve(c.writeState);
      return new Promise((resolve) => {
        const done = () => { clearTimeout(timer); c.writeWaiter = null; resolve(c.writeState); };
        const timer = setTimeout(done, ms);
        c.writeWaiter = done;
      });
    },
    // Both streams are let go before the port closes, as the browser asks;
    // a write still under way gets the write time-out to finish. 0 closed,
    // -1 the browser did not close it.
    async closePort(n, writeMs) {
      const c = this.open.get(n);
      if (!c) return -1;
      this.open.delete(n);
      c.closing = true;
      try {
        if (c.writeState === 0) await Promise.race([c.writing, new Promise((r) => setTimeout(r, writeMs))]);
        c.writer.releaseLock();
        if (c.reader) await c.reader.cancel().catch(() => {});
        await c.reading;
        await c.port.close();
        return 0;
      } catch (e) {
        return -1;
      }
    },
  };

  window.varnel.serial = serial;
  serial.start();
})();
