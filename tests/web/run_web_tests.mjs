// The page in headless Chromium: served from a loopback server as any static
// host would serve it, driven as a user would drive it. Its Web Serial is a
// stand-in (serial_stand_in.js) whose bytes reach varnel-emu through
// serial_bridge.mjs.
//   node run_web_tests.mjs SITE_DIR SHOTS_DIR --emu VARNEL_EMU --cli VARNELCFG_CLI
// Ends with one line "N passed, N failed".
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import os from 'node:os';
import zlib from 'node:zlib';
import { createRequire } from 'node:module';
import { spawn, spawnSync } from 'node:child_process';
import puppeteer from 'puppeteer-core';
import { startSerialBridge } from './serial_bridge.mjs';

const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

const site = path.resolve(process.argv[2] || '../../build-web/site');
const shots = path.resolve(process.argv[3] || path.join(site, '..', 'screenshots'));
fs.mkdirSync(shots, { recursive: true });
const option = (name) => { const i = process.argv.indexOf(name); return i > 0 ? path.resolve(process.argv[i + 1]) : null; };
const emuProgram = option('--emu');
const cliProgram = option('--cli');
if (!emuProgram || !cliProgram) throw new Error('give --emu VARNEL_EMU and --cli VARNELCFG_CLI');

// Emulated trackers on pseudo-terminals, as a user's tracker would be on a
// USB port: each saves its flash when told to stop.
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-web-serial-'));
async function startEmulator(name, args = []) {
  const link = path.join(work, name + '-port');
  const flash = path.join(work, name + '.bin');
  const proc = spawn(emuProgram, ['--link', link, '--save-flash', flash, '--log', path.join(work, name + '.log'), ...args],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  const ended = new Promise((resolve) => proc.once('exit', resolve));
  await Promise.race([new Promise((resolve) => proc.stdout.once('data', resolve)),
    ended.then(() => { throw new Error(name + ': varnel-emu ended'); })]);
  return {
    pty: link,
    async stop() {
      if (proc.exitCode === null && proc.signalCode === null) proc.kill('SIGTERM');
      await ended;
      return fs.readFileSync(flash);
    },
  };
}
const emulators = {
  tracker: await startEmulator('tracker'),
  linux: await startEmulator('linux'),
  factory: await startEmulator('factory'),
  // A board on its own USB port, as one plugged in is: the port watch tries
  // it at 115200 only, which such a board hears whatever it runs at.
  weather: await startEmulator('weather', ['--weather', '--chip', 'JM60', '--usb']),
  silent: await startEmulator('silent', ['--silent']),
  // A JM128 written after every window is OKed without an edit, and one
  // left alone beside it.
  unedited: await startEmulator('unedited', ['--chip', 'JM128', '--usb']),
  untouched: await startEmulator('untouched', ['--chip', 'JM128', '--usb']),
  // A JM60 whose first three answers to 'W' come back garbled, so that the
  // first block fails every try after its erase; and one left alone.
  faulty: await startEmulator('faulty', ['--chip', 'JM60', '--usb', '--fault', 'corrupt:W:1:0:0xFF',
    '--fault', 'corrupt:W:2:0:0xFF', '--fault', 'corrupt:W:3:0:0xFF']),
  pristine: await startEmulator('pristine', ['--chip', 'JM60', '--usb']),
  // A JM60 loaded with firmware from the network in the page, and one loaded
  // with the same file by the Linux command line.
  network: await startEmulator('network', ['--chip', 'JM60', '--usb']),
  networkLinux: await startEmulator('networkLinux', ['--chip', 'JM60', '--usb']),
};
const bridge = await startSerialBridge({ tracker: emulators.tracker.pty, weather: emulators.weather.pty,
  silent: emulators.silent.pty, unedited: emulators.unedited.pty, faulty: emulators.faulty.pty,
  network: emulators.network.pty });
const standInSource = fs.readFileSync(new URL('./serial_stand_in.js', import.meta.url), 'utf8') +
  `\ninstallSerialStandIn(${JSON.stringify({ bridge: bridge.url, ports: [
    { name: 'tracker', usbVendorId: 0x0403, usbProductId: 0x6001 },
    { name: 'weather', usbVendorId: 0x10c4, usbProductId: 0xea60, plugged: false },
    { name: 'silent' }, { name: 'unedited', plugged: false }, { name: 'faulty', plugged: false },
    { name: 'network', plugged: false }] })});`;

const types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json' };
// A firmware release for JM60, as the firmware and mirror servers give it:
// code where test firmware goes (the programmable area's start + 0x200) and
// a reset vector, in S1 records; the page is told to use this server.
function srecord(address, bytes) {
  const body = [bytes.length + 3, address >> 8, address & 0xff, ...bytes];
  const sum = body.reduce((a, b) => a + b, 0);
  return 'S1' + [...body, ~sum & 0xff].map((b) => b.toString(16).toUpperCase().padStart(2, '0')).join('');
}
const releaseCode = Array.from({ length: 96 }, (_, i) => (i * 29 + 7) & 0xff);
const releaseFile = [srecord(0x12b0, releaseCode.slice(0, 48)), srecord(0x12e0, releaseCode.slice(48)),
  srecord(0xfbfe, [0x80, 0x00]), 'S9030000FC', ''].join('\r\n');
const served = { '/support/firmware/JM60/list.txt': '/fw/jm60-test.s19\tTest release\t2026-12-08\r\n',
  '/fw/jm60-test.s19': releaseFile };
const server = http.createServer((req, res) => {
  const url = new URL(req.url, 'http://localhost');
  // AP64's release list comes from a server that cannot be reached (the
  // front-end scenario's).
  if (url.pathname === '/support/firmware/AP64/list.txt') {
    req.socket.destroy();
    return;
  }
  if (served[url.pathname] !== undefined) {
    res.writeHead(200, { 'Content-Type': 'text/plain' }).end(served[url.pathname]);
    return;
  }
  const file = path.join(site, url.pathname === '/' ? 'index.html' : decodeURIComponent(url.pathname));
  if (!file.startsWith(site) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
    res.writeHead(404).end();
    return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}/`;

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
});

let passed = 0, failed = 0;
async function test(name, body) {
  try {
    await body();
    passed++;
    console.log(`ok - ${name}`);
  } catch (e) {
    failed++;
    console.log(`not ok - ${name}\n  ${String(e && e.stack || e).split('\n').slice(0, 3).join('\n  ')}`);
    await page.screenshot({ path: path.join(shots, 'failed-' + passed + '-' + failed + '.png') }).catch(() => {});
  }
}
function check(condition, what) { if (!condition) throw new Error(what); }

const page = await browser.newPage();
await page.setViewport({ width: 1024, height: 768 });
await page.evaluateOnNewDocument(standInSource);
await page.evaluateOnNewDocument((host) => {
  localStorage.setItem('varnelcfg.Settings.FirmwareServer', host);
  localStorage.setItem('varnelcfg.Settings.MirrorServer', host);
}, `127.0.0.1:${server.address().port}`);
const errors = [];
page.on('pageerror', (e) => errors.push(String(e)));
if (process.env.VARNEL_WEB_DEBUG) page.on('console', (m) => console.log('  console: ' + m.text()));

const top = '.layer:last-child .window';
async function topWindow() { return page.$eval(top, (w) => w.dataset.window || 'message'); }
async function waitWindow(name, timeout = 15000) {
  await page.waitForFunction((n) => {
    const layers = document.querySelectorAll('#desktop .layer');
    const last = layers[layers.length - 1];
    return last && last.querySelector('.window').dataset.window === n;
  }, { timeout }, name);
}
async function waitMessage(timeout = 15000) {
  await page.waitForSelector('#desktop .layer:last-child .message', { timeout });
  return page.$eval('#desktop .layer:last-child .message p', (p) => p.textContent);
}
async function answer(label) {
  await page.$$eval('#desktop .layer:last-child .message button', (bs, l) => bs.find((b) => b.textContent === l).click(), label);
}
async function click(id) { await page.click('#' + id.replace('.', '\\.')); }
// The screen as the user sees it at 1024x768, and the top window whole,
// however far it reaches below the screen.
// Each window photographed is also checked by axe-core for what a screen
// reader needs (names, roles, labels); the last test reports them.
const accessibility = new Map();
const overflowing = new Map();
async function shot(name) {
  await page.screenshot({ path: path.join(shots, name + '.png') });
  if (!(await page.evaluate(() => typeof window.axe !== 'undefined'))) await page.evaluate(axeSource);
  const found = await page.evaluate(async () => {
    const r = await window.axe.run('#desktop .layer:last-child .window', { resultTypes: ['violations'] });
    return r.violations.map((v) => `${v.id} (${v.nodes.length}): ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')}`);
  });
  accessibility.set(name, found);
  // At 1024, 800 and 390 px nothing may stand past the window's right
  // edge, nor the window past the screen's: a narrower screen wraps the
  // window's columns (each width photographed too).
  const outside = () => page.$eval('#desktop .layer:last-child .window', (w) => {
    const right = Math.min(w.getBoundingClientRect().right, window.innerWidth);
    return [...w.querySelectorAll('*')].filter((e) => e.getClientRects().length && e.getBoundingClientRect().right > right + 0.5)
      .slice(0, 3).map((e) => e.id || e.tagName.toLowerCase());
  });
  const past = (await outside()).map((e) => '1024: ' + e);
  for (const [width, height] of [[800, 600], [390, 844]]) {
    await page.setViewport({ width, height });
    await page.screenshot({ path: path.join(shots, `${name}-${width}.png`) });
    past.push(...(await outside()).map((e) => `${width}: ${e}`));
  }
  await page.setViewport({ width: 1024, height: 768 });
  overflowing.set(name, past);
  const height = await page.$eval('#desktop .layer:last-child .window', (w) => w.scrollHeight + 60);
  if (height <= 768) return;
  await page.setViewport({ width: 1024, height });
  await page.screenshot({ path: path.join(shots, name + '-whole.png') });
  await page.setViewport({ width: 1024, height: 768 });
}
// Follows one or more writes: each message box is answered as `answerFor`
// its text says, and each write window is closed with OK once it has ended,
// its status noted, until `finished(statuses)` (at most 90 s).
async function followWrites(answerFor, finished) {
  const statuses = [], asked = [];
  for (let i = 0; i < 900 && !(await finished(statuses)); i++) {
    if (await page.$('#desktop .layer:last-child .message')) {
      const text = await waitMessage();
      asked.push(text);
      await answer(answerFor(text));
    } else if (await page.$('#desktop .layer:last-child [data-window=WriteProgressDialog] #WriteProgressDialog-okButton:not([disabled])')) {
      statuses.push(await page.$eval('#WriteProgressDialog-statusLabel', (e) => e.textContent));
      await click('WriteProgressDialog-okButton');
    }
    await new Promise((r) => setTimeout(r, 100));
  }
  return { statuses, asked };
}
// Answers message boxes (Yes to a question, else OK) until `name` is on top.
async function answerUntil(name, timeout = 30000) {
  for (let i = 0; i < 6; i++) {
    await page.waitForFunction((n) => {
      const l = document.querySelector('#desktop .layer:last-child .window');
      return l && (l.classList.contains('message') || l.dataset.window === n);
    }, { timeout }, name);
    if ((await topWindow()) === name) return;
    const labels = await page.$$eval('#desktop .layer:last-child .message button', (bs) => bs.map((b) => b.textContent));
    console.log('  asked: ' + (await waitMessage()).replace(/\n/g, ' / '));
    await answer(labels.includes('Yes') ? 'Yes' : 'OK');
  }
  throw new Error('never reached ' + name);
}
async function pickSlot(label) {
  await page.$$eval('#ConnectDialog-portGroup .slots label', (ls, l) =>
    ls.find((x) => x.textContent === l).querySelector('input').click(), label);
}

// The time to the connect window is measured and shown (the budget is 1 s
// from a local server); a timing is no pass or fail on a shared machine,
// only a page that never shows its window is.
await test('the connect window comes up when the page opens', async () => {
  const start = Date.now();
  await page.goto(origin);
  await waitWindow('ConnectDialog', 10000);
  const shown = await page.evaluate(() => Math.round(window.varnel.firstWindowAt));
  console.log(`  connect window ${shown} ms after the page began to load (${Date.now() - start} ms here)`);
  await shot('connect');
});

await test('the site keeps its size budget: 2 MB, 700 KB compressed', async () => {
  let total = 0, compressed = 0;
  for (const f of fs.readdirSync(site)) {
    const bytes = fs.readFileSync(path.join(site, f));
    total += bytes.length;
    compressed += zlib.gzipSync(bytes, { level: 9 }).length;
  }
  console.log(`  ${total} bytes, ${compressed} gzipped`);
  check(total <= 2 * 1024 * 1024 && compressed <= 700 * 1024, 'over budget');
});

await test('the connect window offers the emulated trackers', async () => {
  const labels = await page.$$eval('#ConnectDialog-portGroup .slots label', (ls) => ls.map((l) => l.textContent));
  check(labels.includes('Emulated tracker (AP64)'), 'no AP64: ' + labels.join(', '));
  check(labels.some((l) => l.startsWith('Emulated weather station')), 'no weather station');
});

await test('every generated window has its table controls with kind and typing limit', async () => {
  const windows = await page.$$eval('#windows template', (ts) => ts.map((t) => ({
    name: t.id.slice(3),
    controls: [...t.content.querySelectorAll('[data-kind]')].map((e) => ({
      kind: e.dataset.kind, tag: e.tagName, type: e.type || '', limit: e.maxLength })),
  })));
  check(windows.length === 16, `${windows.length} windows`);
  const tag = { edit: 'INPUT', digits: 'INPUT', check: 'INPUT', threestate: 'INPUT', radio: 'INPUT', button: 'BUTTON',
    list: 'SELECT', listbox: 'SELECT', slider: 'INPUT', group: 'FIELDSET', tab: 'DIV' };
  let edits = 0, limited = 0;
  for (const w of windows)
    for (const c of w.controls) {
      if (tag[c.kind]) check(c.tag === tag[c.kind], `${w.name}: a ${c.kind} drawn as ${c.tag}`);
      if (c.kind === 'edit' || c.kind === 'digits') { edits++; if (c.limit > 0) limited++; }
    }
  check(edits > 50 && limited > 50, `${edits} edits, ${limited} with a typing limit`);
});

await test('connect to the emulated tracker, edit the callsign, Write, read it back', async () => {
  await pickSlot('Emulated tracker (AP64)');
  await click('ConnectDialog-connectButton');
  await waitWindow('TrackerConfigDialog', 30000);
  await shot('tracker');
  const call = await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value).catch(() => null);
  check(call !== null, 'no callsign edit');
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', 'N0CALL');
  await click('TrackerConfigDialog-writeButton');
  // The write window, perhaps after a question.
  await answerUntil('WriteProgressDialog');
  await page.waitForSelector('#WriteProgressDialog-okButton:not([disabled])', { timeout: 60000 });
  await shot('write-progress');
  const status = await page.$eval('#WriteProgressDialog-statusLabel', (e) => e.textContent);
  console.log('  write status: ' + status.replace(/\n/g, ' / '));
  await click('WriteProgressDialog-okButton');
  await waitWindow('TrackerConfigDialog', 30000);
  const after = await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value);
  check(after.startsWith('N0CALL'), 'callsign after the write: ' + after);
  // The backup the write names is kept in the browser's storage, where the
  // next visit finds it.
  const backup = (status.match(/\/backups\/\S+\.cfg/) || [])[0];
  check(backup, 'the write names no backup');
  let kept = false;
  for (let i = 0; i < 50 && !kept; i++) {
    // (Emscripten names the database after the folder or after the page,
    // by version: every database of the page is looked in.)
    kept = await page.evaluate(async (key) => {
      for (const { name } of await indexedDB.databases()) {
        const db = await new Promise((ok, fail) => {
          const r = indexedDB.open(name);
          r.onsuccess = () => ok(r.result);
          r.onerror = fail;
        });
        const keys = !db.objectStoreNames.contains('FILE_DATA') ? [] : await new Promise((ok) => {
          const r = db.transaction('FILE_DATA').objectStore('FILE_DATA').getAllKeys();
          r.onsuccess = () => ok(r.result);
        });
        db.close();
        if (keys.includes(key)) return true;
      }
      return false;
    }, backup);
    if (!kept) await new Promise((r) => setTimeout(r, 100));
  }
  check(kept, backup + ' is not in the browser\'s storage');
});

await test('Save to file downloads the settings, Load from file reads them back', async () => {
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-downloads-'));
  const cdp = await browser.target().createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.$eval('#TrackerConfigDialog-saveButton', (b) => b.click());
  let saved = [];
  for (let i = 0; i < 50 && !saved.some((f) => f.endsWith('.cfg')); i++) {
    await new Promise((r) => setTimeout(r, 100));
    saved = fs.readdirSync(downloads);
  }
  const file = saved.find((f) => f.endsWith('.cfg'));
  check(file, 'no .cfg downloaded: ' + saved.join(', '));
  const bytes = fs.readFileSync(path.join(downloads, file));
  check(bytes.length > 100 && bytes.includes(Buffer.from('N0CALL')), `${bytes.length} bytes without the callsign`);
  // Change the callsign on screen, then load the file: it comes back.
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', 'W1AW');
  const [chooser] = await Promise.all([page.waitForFileChooser(),
    page.$eval('#TrackerConfigDialog-loadButton', (b) => b.click())]);
  await chooser.accept([path.join(downloads, file)]);
  await page.waitForFunction(() => document.getElementById('TrackerConfigDialog-callsign').value.startsWith('N0CALL'),
    { timeout: 10000 });
  fs.rmSync(downloads, { recursive: true, force: true });
});

// Another write, so the newest backup holds N0CALL; the Backups window lists
// it (read from the browser's storage), downloads a copy under its own name,
// and Write back puts N0CALL on the tracker again after backing up what it
// holds: the tracker read afresh shows it.
await test('the Backups window lists the backups, downloads one, and Write back puts the earlier settings back', async () => {
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', 'KB2BAK');
  await click('TrackerConfigDialog-writeButton');
  await followWrites(() => 'OK', (done) => done.length === 1);
  await waitWindow('TrackerConfigDialog', 30000);
  await page.$eval('#TrackerConfigDialog-backupsButton', (b) => b.click());
  await waitWindow('BackupsDialog');
  const rows = () => page.$$eval('#BackupsDialog-backupList option', (os) => os.map((o) => o.textContent));
  const before = await rows();
  check(before.length >= 2 && /^AP64, \d{4}-\d\d-\d\d \d\d:\d\d:\d\d/.test(before[0]), 'the list: ' + before.join(' | '));
  check((await page.$eval('#BackupsDialog-backupList', (e) => e.selectedIndex)) === 0, 'the newest is not chosen');
  await shot('BackupsDialog');

  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'varnel-downloads-'));
  const cdp = await browser.target().createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await click('BackupsDialog-saveCopyButton');
  let saved = [];
  for (let i = 0; i < 50 && !saved.some((f) => f.endsWith('.cfg')); i++) {
    await new Promise((r) => setTimeout(r, 100));
    saved = fs.readdirSync(downloads);
  }
  const copy = saved.find((f) => f.endsWith('.cfg'));
  check(copy && /^AP64_\d{4}-\d\d-\d\d_\d{6}(-\d+)?\.cfg$/.test(copy), 'downloaded: ' + saved.join(', '));
  check(fs.readFileSync(path.join(downloads, copy)).includes(Buffer.from('N0CALL')), 'the copy does not hold N0CALL');
  fs.rmSync(downloads, { recursive: true, force: true });

  await click('BackupsDialog-writeBackButton');
  const { statuses, asked } = await followWrites((text) => (text.startsWith('Write the backup ') ? 'Yes' : 'OK'),
    (done) => done.length === 1);
  check(asked[0]?.startsWith('Write the backup AP64_'), 'asked: ' + asked.join(' | '));
  check(statuses[0]?.startsWith('Finished!'), 'write status: ' + statuses.join(' | '));
  await waitWindow('BackupsDialog');
  check((await rows()).length === before.length + 1, 'the tracker was not backed up before the write back');
  await click('BackupsDialog-closeButton');
  await waitWindow('TrackerConfigDialog');
  check((await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value)).startsWith('N0CALL'), 'the window does not show the backup');
  await click('TrackerConfigDialog-exitButton');
  await answerUntil('ConnectDialog');
  await pickSlot('Emulated tracker (AP64)');
  await click('ConnectDialog-connectButton');
  await waitWindow('TrackerConfigDialog', 30000);
  const read = await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value);
  check(read.startsWith('N0CALL'), 'the tracker holds ' + read);
});

await test('the satellite windows open from the main window', async () => {
  for (const [button, window] of [['smartBeaconingButton', 'SmartBeaconDialog'], ['freqButton', 'FrequencyDialog'],
    ['moreTextsButton', 'StatusTextDialog'], ['accessListButton', 'AccessListDialog'],
    ['digipeaterButton', 'DigipeaterDialog'], ['profileSwitchButton', 'ProfileSwitchDialog']]) {
    const shown = await page.$eval('#TrackerConfigDialog-' + button, (b) => b.offsetParent !== null);
    if (!shown) continue;
    await page.$eval('#TrackerConfigDialog-' + button, (b) => b.click());
    await waitWindow(window);
    await shot(window);
    await page.keyboard.press('Escape');
    await waitWindow('TrackerConfigDialog');
  }
});

await test('diagnostics, the script editor and its listing open from the main window', async () => {
  await page.$eval('#TrackerConfigDialog-diagnosticsButton', (b) => b.click());
  await waitWindow('DiagnosticsDialog');
  await page.waitForFunction(() => /\d/.test(document.getElementById('DiagnosticsDialog-voltageValue')?.textContent || '0'),
    { timeout: 5000 }).catch(() => {});
  await shot('DiagnosticsDialog');
  await click('DiagnosticsDialog-okButton');
  await waitWindow('TrackerConfigDialog');
  await page.$eval('#TrackerConfigDialog-scriptButton', (b) => b.click());
  await waitWindow('ScriptEditorDialog');
  await shot('ScriptEditorDialog');
  // The statement list keeps the spaces that nest its blocks, as the code
  // listing does, and is taller than a list box's default eight lines.
  const rows = await page.$eval('#ScriptEditorDialog-lineList', (l) => ({
    shown: [...l.options].map((o) => o.text), height: l.getBoundingClientRect().height,
    line: parseFloat(getComputedStyle(l).fontSize) * 1.35 }));
  check(rows.shown.some((t) => t.startsWith('\u00a0\u00a0')), 'no nested line: ' + rows.shown.join(' | '));
  check(rows.height > 12 * rows.line, `the list is ${rows.height} px high`);
  await click('ScriptEditorDialog-codeListButton');
  await waitWindow('ListingDialog');
  const listing = await page.$eval('#ListingDialog-listingText', (e) => e.value);
  check(listing.length > 0, 'an empty code listing');
  await shot('ListingDialog');
  await click('ListingDialog-okButton');
  await waitWindow('ScriptEditorDialog');
  await click('ScriptEditorDialog-cancelButton');
  await waitWindow('TrackerConfigDialog');
});

await test('the weather station: exit the tracker, connect to it, its window', async () => {
  if (process.env.VARNEL_WEB_DEBUG)
    await page.evaluate(() => {
      const post = window.varnel.post.bind(window.varnel);
      window.varnel.post = (...a) => { if (a[1] !== 'timer') console.log('post ' + a.join(' ')); post(...a); };
    });
  await click('TrackerConfigDialog-exitButton');
  await answerUntil('ConnectDialog');
  await pickSlot('Emulated weather station (AP64)');
  await click('ConnectDialog-connectButton');
  await answerUntil('WeatherConfigDialog');
  await shot('WeatherConfigDialog');
  await click('WeatherConfigDialog-exitButton');
  await answerUntil('ConnectDialog');
});

// --- One behaviour: tests/shell/front_end_scenario.txt, as every front end plays it ---

function readScenario() {
  const windows = [];
  const text = fs.readFileSync(new URL('../shell/front_end_scenario.txt', import.meta.url), 'utf8');
  text.split('\n').forEach((line, n) => {
    const [word, ...words] = line.trim().split(' ');
    const rest = words.join(' ').replace(/\\n/g, '\n');
    if (!word || word.startsWith('#')) return;
    if (word === 'window') windows.push({ kind: rest, steps: [] });
    else if (['click', 'type', 'slide'].includes(word))
      windows.at(-1).steps.push({ line: n + 1, action: word, control: words[0], value: words.slice(1).join(' '), brings: [], shows: [] });
    else if (word === 'shows') windows.at(-1).steps.at(-1).shows.push([words[0], words.slice(1).join(' ')]);
    else windows.at(-1).steps.at(-1).brings.push(word + ' ' + rest);
  });
  return windows;
}
const matches = (seen, expected) => (expected.endsWith('*') ? seen.startsWith(expected.slice(0, -1)) : seen === expected);

// What an action brought: each message box read and answered with its last
// button (OK, Cancel), each window opened over `win` noted and closed; once
// `expected` many came, a moment more for any that should not.
async function broughtBy(win, expected) {
  const seen = [];
  let quietSince = Date.now();
  for (const start = Date.now(); Date.now() - start < 20000;) {
    const top = await topWindow().catch(() => win);
    if (top === 'message') {
      const text = await waitMessage();
      const buttons = await page.$$eval('#desktop .layer:last-child .message button', (bs) => bs.map((b) => b.textContent));
      seen.push((buttons.length > 1 ? 'asks ' : 'says ') + text);
      await answer(buttons.at(-1));
      quietSince = Date.now();
    } else if (top !== win) {
      seen.push('opens ' + top);
      await page.click('#desktop .layer:last-child .titlebar .close');
      await waitWindow(win);
      quietSince = Date.now();
    } else if (seen.length >= expected && Date.now() - quietSince > 500) {
      break;
    }
    await new Promise((r) => setTimeout(r, 50));
  }
  return seen.sort();
}

async function playScenario(win, steps) {
  for (const step of steps) {
    const where = `front_end_scenario.txt:${step.line} ${step.action} ${step.control}`;
    const selector = '#' + win + '-' + step.control;
    check(await page.$(selector), where + ': no such control');
    if (step.action === 'click') {
      // A user cannot click a button that is not there.
      if (await page.$eval(selector, (e) => (e.closest('label.choice') || e).offsetParent !== null)) await page.click(selector);
    } else if (step.action === 'type') {
      await page.$eval(selector, (e) => { e.value = ''; });
      await page.type(selector, step.value);
    } else {
      // Dragged and held: the slider's moves, not its release.
      await page.$eval(selector, (e, v) => { e.value = v; e.dispatchEvent(new Event('input', { bubbles: true })); }, step.value);
    }
    const seen = await broughtBy(win, step.brings.length);
    const expected = [...step.brings].sort();
    check(seen.length === expected.length && seen.every((s, i) => matches(s, expected[i])),
      `${where}: brought ${JSON.stringify(seen)}, expected ${JSON.stringify(expected)}`);
    for (const [control, text] of step.shows) {
      const read = () => page.$eval('#' + win + '-' + control, (e) => (e.tagName === 'INPUT' ? e.value : e.textContent));
      for (let i = 0; i < 50 && (await read()) !== text; i++) await new Promise((r) => setTimeout(r, 100));
      const shown = await read();
      check(shown === text, `${where}: ${control} shows ${JSON.stringify(shown)}, expected ${JSON.stringify(text)}`);
    }
  }
}

await test('the front-end scenario: what the same actions do here is what they do in Qt, Windows and the shell', async () => {
  const windows = { Tracker: ['TrackerConfigDialog', 'Emulated tracker (AP64)'],
    Weather: ['WeatherConfigDialog', 'Emulated weather station (AP64)'] };
  const leave = async (win) => {
    await click(win + '-exitButton');
    for (let i = 0; i < 50 && (await topWindow()) !== 'ConnectDialog'; i++) {
      if ((await topWindow()) === 'message') await answer('Discard');
      await new Promise((r) => setTimeout(r, 100));
    }
    await waitWindow('ConnectDialog');
  };
  const scenario = readScenario();
  check(scenario.length === 2, `${scenario.length} windows in the scenario`);
  await waitWindow('ConnectDialog');
  for (const { kind, steps } of scenario) {
    const [win, slot] = windows[kind];
    await pickSlot(slot);
    await click('ConnectDialog-connectButton');
    await answerUntil(win);
    await playScenario(win, steps);
    await leave(win);
  }
});

// --- Web Serial: the stand-in's ports, bridged to varnel-emu ---------------

const standIn = (body, ...args) => page.evaluate(body, ...args);
async function slotLabels() {
  return page.$$eval('#ConnectDialog-portGroup .slots label', (ls) => ls.map((l) => ({
    text: l.textContent, title: l.title, checked: l.querySelector('input').checked })));
}

await test('"Add port..." opens the browser\'s chooser and the port granted becomes the chosen slot', async () => {
  await waitWindow('ConnectDialog');
  check(await page.$eval('#ConnectDialog-addPortButton', (b) => b.offsetParent !== null), 'no Add port button');
  check(!(await slotLabels()).some((l) => l.text.startsWith('Serial port')), 'a serial port before any was granted');
  await standIn(() => window.serialStandIn.pick('tracker'));
  await page.click('#ConnectDialog-addPortButton');  // a real click: the chooser needs one
  await page.waitForFunction(() => [...document.querySelectorAll('#ConnectDialog-portGroup .slots label')]
    .some((l) => l.textContent.startsWith('Serial port')), { timeout: 5000 });
  const slots = await slotLabels();
  check(slots[0].text === 'Serial port 1 (USB 0403:6001)' && slots[0].checked, JSON.stringify(slots[0]));
  check(slots[0].title.includes('vendor 0403, product 6001'), 'tooltip: ' + slots[0].title);
  check(slots.some((l) => l.text === 'Emulated tracker (AP64)'), 'the emulated trackers went');
  await shot('connect-granted');
  // On a phone the button row wraps instead of running off the screen.
  await page.setViewport({ width: 375, height: 667 });
  await page.screenshot({ path: path.join(shots, 'connect-phone.png') });
  const overflow = await page.$eval('#desktop .layer:last-child .window', (w) => [w.scrollWidth, w.clientWidth,
    ...[...w.querySelectorAll('button')].map((b) => b.getBoundingClientRect().right)]);
  await page.setViewport({ width: 1024, height: 768 });
  check(overflow[0] <= overflow[1] && overflow.slice(2).every((r) => r <= 375), 'wider than the phone: ' + overflow);
});

await test('connect over Web Serial, edit, Write: the flash holds what the Linux CLI leaves', async () => {
  // One reply of the settings read comes as a framing error: the link must
  // see it and read again.
  await standIn(() => window.serialStandIn.lineErrorOnReply('R'.charCodeAt(0), 3));
  // The page's turns while the link waits: a timer every 5 ms notes how
  // long it was kept waiting, and whether the link was waiting then (the
  // connect window up, the settings read between windows, the write window
  // writing), not a window opening.
  await page.evaluate(() => {
    window.turnGaps = [];
    let last = performance.now();
    window.turnWatch = setInterval(() => {
      const t = performance.now();
      const top = [...document.querySelectorAll('#desktop .layer .window')].pop()?.dataset.window;
      const writing = top === 'WriteProgressDialog' && document.getElementById('WriteProgressDialog-okButton').disabled;
      if (top === 'ConnectDialog' || top === undefined || writing) window.turnGaps.push(t - last);
      last = t;
    }, 5);
  });
  await click('ConnectDialog-connectButton');
  await answerUntil('TrackerConfigDialog', 60000);
  check(await standIn(() => window.serialStandIn.lineErrorsRaised) === 1, 'no line error was raised');
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', 'VA3XYZ-7');
  await page.$eval('#TrackerConfigDialog-digipeaterButton', (b) => b.click());
  await waitWindow('DigipeaterDialog');
  await page.$eval('#DigipeaterDialog-dupeTime', (e) => { e.value = ''; });
  await page.type('#DigipeaterDialog-dupeTime', '17');
  await page.click('#DigipeaterDialog-buttonBox\\.ok');
  await waitWindow('TrackerConfigDialog');
  // What the write window shows while it writes, looked at every few ms.
  await page.evaluate(() => {
    window.progressSeen = [];
    window.progressWatch = setInterval(() => {
      const bar = document.getElementById('WriteProgressDialog-progressBar');
      const ok = document.getElementById('WriteProgressDialog-okButton');
      if (bar) window.progressSeen.push({ value: bar.value, max: bar.max, ok: !ok.disabled,
        status: document.getElementById('WriteProgressDialog-statusLabel').textContent });
    }, 2);
  });
  await click('TrackerConfigDialog-writeButton');
  await answerUntil('WriteProgressDialog');
  await page.waitForSelector('#WriteProgressDialog-okButton:not([disabled])', { timeout: 60000 });
  const seen = await page.evaluate(() => { clearInterval(window.progressWatch); return window.progressSeen; });
  const gaps = await page.evaluate(() => { clearInterval(window.turnWatch); return window.turnGaps; });
  const longest = Math.max(...gaps);
  console.log(`  the page turned ${gaps.length} times while the link waited; longest wait ${longest.toFixed(1)} ms`);
  check(gaps.length > 20 && longest < 50, 'the link kept the page waiting');
  const status = await page.$eval('#WriteProgressDialog-statusLabel', (e) => e.textContent);
  check(status.startsWith('Finished!'), 'write status: ' + status);
  check(seen.some((p) => !p.ok && p.status.startsWith('Stand by, writing data...')),
    'the window was never seen writing: ' + JSON.stringify(seen.slice(0, 3)));
  check(seen.some((p) => !p.ok && p.value > 0 && p.value < p.max), 'the bar never moved before the end');
  await click('WriteProgressDialog-okButton');
  await waitWindow('TrackerConfigDialog', 30000);
  check((await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value)) === 'VA3XYZ-7', 'callsign after the write');
  await click('TrackerConfigDialog-exitButton');
  await answerUntil('ConnectDialog');

  // The same edits with the Linux command line on a second tracker.
  const env = { ...process.env, XDG_DATA_HOME: path.join(work, 'data') };
  const cfg = path.join(work, 'linux.cfg');
  for (const args of [['read', '--port', emulators.linux.pty, '--output', cfg],
    ['set', cfg, 'callsign=VA3XYZ-7', 'digipeater.dupeTime=17'], ['write', '--port', emulators.linux.pty, cfg]]) {
    const r = spawnSync(cliProgram, args, { env, encoding: 'utf8', timeout: 60000 });
    check(r.status === 0, `varnelcfg-cli ${args[0]}: ${r.stderr}`);
  }
  const [web, linux, factory] = [await emulators.tracker.stop(), await emulators.linux.stop(),
    await emulators.factory.stop()];
  check(!web.equals(factory), 'the page wrote nothing');
  const first = [...web].findIndex((b, i) => b !== linux[i]);
  check(first === -1, `the flashes differ first at 0x${first.toString(16)}`);

  const opens = bridge.log.filter((e) => e.name === 'tracker' && e.op === 'open').map((e) => e.baud);
  const signals = bridge.log.filter((e) => e.name === 'tracker' && e.op === 'signals');
  console.log(`  opened at ${[...new Set(opens)].join(', ')} baud, ${opens.length} opens`);
  check(opens.includes(19200) && opens.includes(115200), 'no bootloader speed or no fast link: ' + opens.join(','));
  check(signals.length === opens.length && signals.every((s) => s.dataTerminalReady === false && s.requestToSend === true),
    'DTR not dropped at every open');
});

await test('a weather station plugged in is found by the port watch and read', async () => {
  await waitWindow('ConnectDialog');
  await standIn(() => { window.serialStandIn.grant('weather'); window.serialStandIn.plug('weather'); });
  await answerUntil('WeatherConfigDialog', 30000);
  const call = await page.$eval('#WeatherConfigDialog-callsign', (e) => e.value);
  check(call.length > 0, 'no callsign read from the station');
  const opens = bridge.log.filter((e) => e.name === 'weather' && e.op === 'open').map((e) => e.baud);
  check(opens.length > 0 && opens.every((b) => b === 115200), 'the watch opened at ' + opens.join(','));
  await click('WeatherConfigDialog-exitButton');
  await answerUntil('ConnectDialog');
  // Pulled out: the port leaves the page's list.
  await standIn(() => window.serialStandIn.unplug('weather'));
  const listed = await page.evaluate(() => window.varnel.serial.list());
  check(listed.split('\x1e').length === 1, 'still listed: ' + listed);
});

// Pulled out while its window is open: the Write says it failed, and the
// page does not hang on the port.
await test('a station unplugged before Write: the write fails and says so', async () => {
  // Plugged back in after the port watch has seen it gone (it looks every
  // 500 ms, as on the desktop).
  await new Promise((r) => setTimeout(r, 1200));
  await standIn(() => window.serialStandIn.plug('weather'));
  await answerUntil('WeatherConfigDialog', 30000);
  await standIn(() => window.serialStandIn.unplug('weather'));
  await page.$eval('#WeatherConfigDialog-comment', (e) => { e.value = 'Rooftop'; });
  await click('WeatherConfigDialog-writeButton');
  // The failure's messages come over the write window, each with OK.
  const asked = [];
  for (let i = 0; i < 600; i++) {
    if (await page.$('#desktop .layer:last-child .message')) {
      asked.push(await waitMessage());
      await answer('OK');
    } else if (await page.$('#WriteProgressDialog-okButton:not([disabled])')) break;
    await new Promise((r) => setTimeout(r, 100));
  }
  const status = await page.$eval('#WriteProgressDialog-statusLabel', (e) => e.textContent);
  console.log('  asked: ' + asked.join(' | ').replace(/\n/g, ' / ') + '\n  write status: ' + status.replace(/\n/g, ' / '));
  check(asked.includes('Configuration write failed'), 'no "Configuration write failed"');
  check(status.startsWith('Write failed!'), 'write status: ' + status);
  check(status.startsWith('Write failed!'), 'write status: ' + status);
  await click('WriteProgressDialog-okButton');
  await waitWindow('WeatherConfigDialog');
  await click('WeatherConfigDialog-exitButton');
  // The edit was never written: leave without it.
  check((await waitMessage()).includes('before leaving?'), 'no question about the unwritten edit');
  await answer('Discard');
  await answerUntil('ConnectDialog');
});

// A silent tracker: every announce wait is one-byte reads that end at their
// total time-out (500 + 2 ms), between a close and reopen at each probe
// speed; the first Cancel stops the attempt and leaves the window open.
await test('a silent port: reads keep their time-out, Cancel stops the attempt', async () => {
  await standIn(() => window.serialStandIn.pick('silent'));
  await page.click('#ConnectDialog-addPortButton');
  await page.waitForFunction(() => [...document.querySelectorAll('#ConnectDialog-portGroup .slots label')]
    .some((l) => l.textContent === 'Serial port 3' && l.querySelector('input').checked), { timeout: 5000 });
  await click('ConnectDialog-connectButton');
  const announceWaits = () => {
    const log = bridge.log.filter((e) => e.name === 'silent' && e.op !== 'signals');
    const waits = [];
    log.forEach((e, i) => {
      if (e.op === 'open' && e.baud === 19200 && log[i + 1]?.op === 'close') waits.push(log[i + 1].at - e.at);
    });
    return waits;
  };
  for (let i = 0; i < 100 && announceWaits().length < 2; i++) await new Promise((r) => setTimeout(r, 50));
  await click('ConnectDialog-cancelButton');
  await page.waitForSelector('#ConnectDialog-connectButton:not([disabled])', { timeout: 5000 });
  check((await topWindow()) === 'ConnectDialog', 'the first Cancel closed the window');
  const waits = announceWaits();
  console.log('  announce waits at 19200: ' + waits.map((w) => w.toFixed(0) + ' ms').join(', '));
  check(waits.length >= 2 && waits.every((w) => w >= 502 && w < 1500), 'announce waits ' + waits.join(', '));
});

// Every window's OK without an edit, then Write: each window keeps the
// bytes it was given, in the page as in the desktop programs.
await test('OK in every window without an edit, then Write: the flash is as it was, byte for byte', async () => {
  await waitWindow('ConnectDialog');
  await standIn(() => { window.serialStandIn.grant('unedited'); window.serialStandIn.plug('unedited'); });
  await answerUntil('TrackerConfigDialog', 30000);
  const oked = [];
  for (const [button, window] of [['smartBeaconingButton', 'SmartBeaconDialog'], ['moreTextsButton', 'StatusTextDialog'],
    ['accessListButton', 'AccessListDialog'], ['digipeaterButton', 'DigipeaterDialog'],
    ['profileSwitchButton', 'ProfileSwitchDialog']]) {
    const shown = await page.$eval('#TrackerConfigDialog-' + button, (b) => b.offsetParent !== null && !b.disabled);
    if (!shown) continue;
    await page.$eval('#TrackerConfigDialog-' + button, (b) => b.click());
    await waitWindow(window);
    await click(window + '-buttonBox.ok');
    await waitWindow('TrackerConfigDialog');
    oked.push(window);
  }
  check(oked.length >= 4, 'only ' + oked.join(', ') + ' opened');
  await click('TrackerConfigDialog-writeButton');
  await answerUntil('WriteProgressDialog');
  await page.waitForSelector('#WriteProgressDialog-okButton:not([disabled])', { timeout: 60000 });
  const status = await page.$eval('#WriteProgressDialog-statusLabel', (e) => e.textContent);
  check(status.startsWith('Finished!'), 'write status: ' + status);
  await click('WriteProgressDialog-okButton');
  await waitWindow('TrackerConfigDialog', 30000);
  await click('TrackerConfigDialog-exitButton');
  await answerUntil('ConnectDialog');
  await standIn(() => window.serialStandIn.unplug('unedited'));
  const [written, untouched] = [await emulators.unedited.stop(), await emulators.untouched.stop()];
  const first = [...written].findIndex((b, i) => b !== untouched[i]);
  check(first === -1, `the written flash differs first at 0x${first.toString(16)}`);
  const log = fs.readFileSync(path.join(work, 'unedited.log'), 'utf8');
  check(/'W'|'V'/.test(log), 'nothing was written');
});

// A write that fails after its first erase offers the backup back; Yes
// writes it in a second write window, and the tracker holds what it held.
await test('a failed write offers its backup back, and Yes puts the tracker back as it was', async () => {
  await waitWindow('ConnectDialog');
  await standIn(() => { window.serialStandIn.grant('faulty'); window.serialStandIn.plug('faulty'); });
  await answerUntil('TrackerConfigDialog', 30000);
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', 'KB1TWO');
  await click('TrackerConfigDialog-writeButton');
  const { statuses, asked } = await followWrites((text) => (text.startsWith('The write failed. Write the settings') ? 'Yes' : 'OK'),
    (done) => done.length === 2);
  console.log('  write statuses: ' + statuses.join(' | ').replace(/\n/g, ' / '));
  check(statuses.length === 2 && statuses[0].startsWith('Write failed!') && statuses[1].startsWith('Finished!'),
    'the write windows ended: ' + statuses.join(' | '));
  check(asked.some((t) => t.startsWith('The write failed. Write the settings the tracker held before (the backup)')),
    'the backup was not offered: ' + asked.join(' | '));
  await waitWindow('TrackerConfigDialog', 30000);
  check((await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value)) === 'KB1TWO', 'the edit left the window');
  await click('TrackerConfigDialog-exitButton');
  check((await waitMessage()).includes('before leaving?'), 'no question about the unwritten edit');
  await answer('Discard');
  await answerUntil('ConnectDialog');
  await standIn(() => window.serialStandIn.unplug('faulty'));
  const [written, pristine] = [await emulators.faulty.stop(), await emulators.pristine.stop()];
  const first = [...written].findIndex((b, i) => b !== pristine[i]);
  check(first === -1, `the tracker differs from before first at 0x${first.toString(16)}`);
});

// Load firmware from network: the list from the firmware server, the file
// from the mirror (both this loopback server), written over Web Serial; the
// program reads the tracker again and shows its window, and the flash is
// what the Linux command line's load of the same file leaves.
await test('firmware from the network is written and the tracker read again, as the Linux CLI loads it', async () => {
  await waitWindow('ConnectDialog');
  await standIn(() => { window.serialStandIn.grant('network'); window.serialStandIn.plug('network'); });
  await answerUntil('TrackerConfigDialog', 30000);
  await click('TrackerConfigDialog-firmwareNetworkButton');
  await waitWindow('FirmwareDownloadDialog', 30000);
  await page.waitForFunction(() => document.querySelectorAll('#FirmwareDownloadDialog-releaseList tbody tr').length > 0,
    { timeout: 15000 });
  const rows = await page.$$eval('#FirmwareDownloadDialog-releaseList tbody tr', (r) => r.map((x) => x.textContent));
  check(rows.length === 1 && rows[0].includes('Test release'), 'the list shows: ' + rows.join(' | '));
  await page.$eval('#FirmwareDownloadDialog-releaseList tbody tr', (r) => r.click());
  await click('FirmwareDownloadDialog-okButton');
  const { statuses, asked } = await followWrites((text) => (text.includes('erase the current configuration') ? 'No' : 'OK'),
    async (done) => done.length > 0 && (await topWindow()) === 'TrackerConfigDialog');
  console.log('  asked: ' + asked.join(' | ').replace(/\n/g, ' / ') + '\n  write status: ' + statuses.join(' | ').replace(/\n/g, ' / '));
  check(statuses.length === 1 && statuses[0].startsWith('Finished!'), 'the load ended: ' + statuses.join(' | '));
  await waitWindow('TrackerConfigDialog', 30000);
  await click('TrackerConfigDialog-exitButton');
  await answerUntil('ConnectDialog');
  await standIn(() => window.serialStandIn.unplug('network'));

  const file = path.join(work, 'jm60-test.s19');
  fs.writeFileSync(file, releaseFile);
  const r = spawnSync(cliProgram, ['flash', '--keep-settings', '--port', emulators.networkLinux.pty, file],
    { env: { ...process.env, XDG_DATA_HOME: path.join(work, 'data') }, encoding: 'utf8', timeout: 60000 });
  check(r.status === 0, 'varnelcfg-cli flash: ' + r.stderr);
  const [web, linux] = [await emulators.network.stop(), await emulators.networkLinux.stop()];
  check(releaseCode.every((b, i) => web[0x12b0 + i] === b), 'the release\'s code is not in the flash');
  const first = [...web].findIndex((b, i) => b !== linux[i]);
  check(first === -1, `the flashes differ first at 0x${first.toString(16)}`);
});

await test('offline once loaded (service worker)', async () => {
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.setOfflineMode(true);
  await page.reload();
  await waitWindow('ConnectDialog', 10000);
  await page.setOfflineMode(false);
});

await test('the keyboard alone: focus where it belongs, Enter, Alt+letter, nothing behind a modal window', async () => {
  await page.reload();
  await waitWindow('ConnectDialog', 10000);
  const focused = () => page.evaluate(() => {
    const top = [...document.querySelectorAll('#desktop .layer')].pop();
    const a = document.activeElement;
    return { inTop: top.contains(a), id: a.id, type: a.type || '' };
  });
  await page.waitForFunction(() => [...document.querySelectorAll('#desktop .layer')].pop().contains(document.activeElement));
  check((await focused()).type === 'radio', 'after a reload the focus is not on a port: ' + JSON.stringify(await focused()));
  await pickSlot('Emulated tracker (AP64)');
  await page.keyboard.press('Enter');  // on the port's radio button: Connect
  await waitWindow('TrackerConfigDialog', 30000);
  check((await focused()).inTop, 'the tracker window opened without the focus');
  await page.keyboard.down('Alt');
  await page.keyboard.press('KeyC');
  await page.keyboard.up('Alt');
  check((await focused()).id === 'TrackerConfigDialog-callsign', 'Alt+C went to ' + (await focused()).id);
  const callsign = await page.$eval('#TrackerConfigDialog-callsign', (e) => e.value);
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', 'W1AW/M');
  await page.keyboard.press('Enter');  // Write, the default button
  const text = await waitMessage();
  check(text.startsWith('Invalid callsign'), 'Enter gave ' + text);
  check(await page.evaluate(() => [...document.querySelectorAll('#desktop .layer')].slice(0, -1).every((l) => l.inert)),
    'a window behind the message still takes keys');
  await page.keyboard.press('Escape');  // closes the message, and nothing behind it
  await waitWindow('TrackerConfigDialog');
  await new Promise((r) => setTimeout(r, 300));
  check(!(await page.$('#desktop .layer:last-child .message')), 'Escape reached the window behind the message');
  const back = await focused();
  check(back.inTop && back.id === 'TrackerConfigDialog-callsign', 'the focus did not come back: ' + JSON.stringify(back));
  await page.$eval('#TrackerConfigDialog-callsign', (e) => { e.value = ''; });
  await page.type('#TrackerConfigDialog-callsign', callsign);
});

await test('every window named for a screen reader (axe-core finds no violation)', async () => {
  const problems = [...accessibility].filter(([, v]) => v.length).map(([w, v]) => `${w}: ${v.join('; ')}`);
  check(accessibility.size >= 11, `only ${accessibility.size} windows checked`);
  check(problems.length === 0, problems.join('\n'));
});

await test('every window fits its frame at 1024, 800 and 390 px', async () => {
  const problems = [...overflowing].filter(([, v]) => v.length).map(([w, v]) => `${w}: ${v.join(', ')}`);
  check(problems.length === 0, problems.join('\n'));
});

// Pages of their own, with navigator.serial as the browser would have it:
// none at all on an address that is not secure, and one whose port refuses
// to open (another program or tab holds it, or the system refuses it).
async function pageWith(stub) {
  const p = await browser.newPage();
  await p.setViewport({ width: 1024, height: 768 });
  p.on('pageerror', (e) => errors.push(String(e)));
  await p.evaluateOnNewDocument(stub);
  await p.goto(origin);
  await p.waitForSelector('#desktop .layer:last-child .window[data-window="ConnectDialog"]', { timeout: 10000 });
  return p;
}
const statusOf = (p) => p.$eval('#ConnectDialog-statusLabel', (l) => l.textContent);

await test('no Web Serial: the connect window says why and where it works, the emulated trackers still connect', async () => {
  const p = await pageWith(() => {
    delete Navigator.prototype.serial;
    Object.defineProperty(window, 'isSecureContext', { get: () => false });
  });
  try {
    const status = await statusOf(p);
    check(status.includes('This page has no serial ports: it was opened from http://127.0.0.1:') &&
      status.includes('which is not a secure address'), status);
    check(status.includes('Chrome, Edge and Opera on a desktop computer') && status.includes('http://localhost') &&
      status.includes('The emulated trackers work here all the same.'), status);
    check(!(await p.$eval('#ConnectDialog-addPortButton', (b) => b.offsetParent !== null)), 'Add port... shown');
    await p.screenshot({ path: path.join(shots, 'connect-no-web-serial.png') });
    await p.$$eval('#ConnectDialog-portGroup .slots label', (ls) =>
      ls.find((x) => x.textContent === 'Emulated tracker (AP64)').querySelector('input').click());
    await p.click('#ConnectDialog-connectButton');
    await p.waitForSelector('#desktop .layer:last-child .window[data-window="TrackerConfigDialog"]', { timeout: 20000 });
  } finally { await p.close(); }
});

await test('a port whose open() rejects: the message and Connection help say who may hold it', async () => {
  const p = await pageWith(() => {
    const port = new EventTarget();
    port.getInfo = () => ({ usbVendorId: 0x0403, usbProductId: 0x6001 });
    port.open = async () => { throw new DOMException('Failed to open serial port.', 'NetworkError'); };
    const serial = new EventTarget();
    serial.getPorts = async () => [port];
    serial.requestPort = async () => port;
    Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });
  });
  try {
    check(!(await statusOf(p)).includes('no serial ports'), await statusOf(p));
    await p.$$eval('#ConnectDialog-portGroup .slots label', (ls) =>
      ls.find((x) => x.textContent.startsWith('Serial port 1')).querySelector('input').click());
    await p.click('#ConnectDialog-connectButton');
    await p.waitForSelector('#desktop .layer:last-child .message', { timeout: 10000 });
    const text = await p.$eval('#desktop .layer:last-child .message p', (m) => m.textContent);
    check(text.startsWith("Can't open serial port") &&
      text.includes('serial:1 would not open (the browser said "Failed to open serial port.")') &&
      text.includes('another tab') && text.includes('dialout'), text);
    await p.screenshot({ path: path.join(shots, 'connect-open-refused.png') });
    await p.$$eval('#desktop .layer:last-child .message button', (bs) => bs.find((b) => b.textContent === 'OK').click());
    await p.waitForFunction(() => !document.querySelector('#desktop .layer:last-child .message'));
    await p.click('#ConnectDialog-helpButton');
    await p.waitForSelector('#desktop .layer:last-child .window[data-window="ListingDialog"]', { timeout: 10000 });
    const report = await p.$eval('#desktop .layer:last-child .window', (w) => w.querySelector('textarea').value);
    check(report.includes('[ok]      Web Serial: This browser gives the page serial ports.') &&
      report.includes('[problem] port: serial:1 would not open') && report.includes('One problem stands in the way'),
      report);
    await p.screenshot({ path: path.join(shots, 'connection-help-page.png') });
  } finally { await p.close(); }
});

await test('no script errors', async () => { check(errors.length === 0, errors.join('\n')); });

await browser.close();
server.close();
bridge.close();
for (const e of Object.values(emulators)) await e.stop().catch(() => {});
fs.rmSync(work, { recursive: true, force: true });
fs.rmSync(profile, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
