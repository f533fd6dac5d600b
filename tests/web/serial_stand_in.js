// A navigator.serial stand-in that the tests put into the page before its
// own scripts run. Each port's bytes travel over a WebSocket to
// serial_bridge.mjs, which passes them to an emulated tracker's
// pseudo-terminal. It keeps the rules of the browser's Web Serial that the
// page relies on: the chooser needs a click, a port opens once, a line error
// ends the read stream (a fresh one follows), a port closes only with both
// streams unlocked, an unplugged port fails its reads and leaves the list.
//
// installSerialStandIn({ bridge, ports: [{ name, usbVendorId, usbProductId, plugged }] })
// (plugged: false for a port not plugged in yet). Then window.serialStandIn:
// grant(name), pick(name) (what the chooser will pick), plug(name), unplug(name),
// lineErrorOnReply(command, n) (the reply to the nth write starting with the
// command byte comes as a framing error), and the counters below.
function installSerialStandIn({ bridge, ports }) {
  const error = (name, text) => new DOMException(text, name);

  class StandInPort extends EventTarget {
    constructor(desc) {
      super();
      this.desc = desc;
      this.state = 'closed';
      this.socket = null;
      this.readController = null;
      this.readableStream = null;
      this.writableStream = null;
      this.acks = [];
    }
    getInfo() { return { usbVendorId: this.desc.usbVendorId, usbProductId: this.desc.usbProductId }; }
    get readable() {
      if (this.state !== 'open') return null;
      if (!this.readableStream) {
        this.readableStream = new ReadableStream({
          start: (c) => { this.readController = c; },
          cancel: () => { this.readController = null; this.readableStream = null; },
        });
      }
      return this.readableStream;
    }
    get writable() {
      if (this.state !== 'open') return null;
      if (!this.writableStream) {
        this.writableStream = new WritableStream({
          write: (chunk) => new Promise((resolve, reject) => {
            if (!(chunk instanceof Uint8Array)) { reject(new TypeError('not a Uint8Array')); return; }
            if (this.state !== 'open') { reject(error('NetworkError', 'The device has been lost.')); return; }
            standIn.noteWrite(this, chunk);
            this.acks.push({ resolve, reject });
            this.socket.send(chunk);
          }),
        });
      }
      return this.writableStream;
    }
    async open(options) {
      if (this.state !== 'closed') throw error('InvalidStateError', 'The port is already open.');
      if (!options || !(options.baudRate > 0)) throw new TypeError('A baudRate is required');
      if (!standIn.plugged.has(this.desc.name)) throw error('NetworkError', 'Failed to open serial port.');
      this.state = 'opening';
      const socket = new WebSocket(`${bridge}/${this.desc.name}?baud=${options.baudRate}`);
      socket.binaryType = 'arraybuffer';
      await new Promise((resolve, reject) => {
        socket.onmessage = (m) => (m.data === 'opened' ? resolve() : reject(error('NetworkError', String(m.data))));
        socket.onerror = () => reject(error('NetworkError', 'Failed to open serial port.'));
      }).catch((e) => { this.state = 'closed'; socket.close(); throw e; });
      this.socket = socket;
      this.state = 'open';
      standIn.opens.push({ name: this.desc.name, baudRate: options.baudRate });
      socket.onmessage = (m) => {
        if (typeof m.data === 'string') {
          if (m.data.startsWith('wrote:')) this.acks.shift()?.resolve();
          return;
        }
        const bytes = new Uint8Array(m.data);
        if (!this.readController) return;  // nobody reading: the driver's buffer overflows
        if (standIn.takeLineError(this)) {
          // The chunk was garbled on the line; the stream that saw it ends.
          this.readController.error(error('FramingError', 'A framing error was detected.'));
          this.readController = null;
          this.readableStream = null;
          standIn.lineErrorsRaised++;
          return;
        }
        this.readController.enqueue(bytes);
      };
      socket.onclose = () => { if (this.state === 'open') this.lose(); };
    }
    async setSignals(signals) {
      if (this.state !== 'open') throw error('InvalidStateError', 'The port is closed.');
      standIn.signals.push({ name: this.desc.name, ...signals });
      this.socket.send('signals:' + JSON.stringify(signals));
    }
    async close() {
      if (this.state !== 'open') throw error('InvalidStateError', 'The port is already closed.');
      if ((this.readableStream && this.readableStream.locked) || (this.writableStream && this.writableStream.locked))
        throw new TypeError('Cannot cancel a locked stream');
      if (this.readableStream) await this.readableStream.cancel();
      if (this.writableStream) await this.writableStream.close();
      this.state = 'closed';
      this.readableStream = this.writableStream = this.readController = null;
      this.socket.close();
      this.socket = null;
      standIn.closes++;
    }
    // Unplugged: reads and writes fail, the port is closed.
    lose() {
      this.state = 'closed';
      if (this.readController) this.readController.error(error('NetworkError', 'The device has been lost.'));
      for (const a of this.acks.splice(0)) a.reject(error('NetworkError', 'The device has been lost.'));
      this.readableStream = this.writableStream = this.readController = null;
      if (this.socket) this.socket.close();
      this.socket = null;
    }
  }

  class StandInSerial extends EventTarget {
    async getPorts() { return [...standIn.granted].filter((p) => standIn.plugged.has(p.desc.name)); }
    async requestPort() {
      if (!navigator.userActivation.isActive)
        throw error('SecurityError', 'Must be handling a user gesture to show a permission request.');
      const name = standIn.picks.shift();
      if (!name) throw error('NotFoundError', 'No port selected by the user.');
      const port = standIn.ports.get(name);
      standIn.granted.add(port);
      return port;
    }
  }

  const serial = new StandInSerial();
  const standIn = {
    ports: new Map(ports.map((p) => [p.name, new StandInPort(p)])),
    granted: new Set(),
    plugged: new Set(ports.filter((p) => p.plugged !== false).map((p) => p.name)),
    picks: [],
    opens: [],
    signals: [],
    closes: 0,
    lineErrorsRaised: 0,
    lineErrorPlan: null,
    grant(name) { this.granted.add(this.ports.get(name)); },
    pick(name) { this.picks.push(name); },
    fire(type, port) {
      const e = new Event(type);
      Object.defineProperty(e, 'target', { value: port });
      serial.dispatchEvent(e);
    },
    plug(name) {
      this.plugged.add(name);
      const port = this.ports.get(name);
      if (this.granted.has(port)) this.fire('connect', port);
    },
    unplug(name) {
      this.plugged.delete(name);
      const port = this.ports.get(name);
      if (port.state === 'open') port.lose();
      if (this.granted.has(port)) this.fire('disconnect', port);
    },
    lineErrorOnReply(command, n) { this.lineErrorPlan = { command, n, armed: false }; },
    noteWrite(port, chunk) {
      const plan = this.lineErrorPlan;
      if (plan && chunk[0] === plan.command && --plan.n === 0) plan.armed = port;
    },
    takeLineError(port) {
      const plan = this.lineErrorPlan;
      if (!plan || plan.armed !== port) return false;
      this.lineErrorPlan = null;
      return true;
    },
  };
  Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });
  window.serialStandIn = standIn;
}
