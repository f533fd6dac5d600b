// The page side of varnelcfg in the browser. The program itself is C++
// (varnelcfg.wasm) and runs the windows; this script only does what C++
// cannot: it shows the generated windows, turns the user's clicks, typing and
// the timers into events in one queue, and settles the promises C++ awaits.
// Nothing here calls into C++: C++ asks for the next event when it is ready
// for one, so it is never entered while it is suspended in a wait.
'use strict';

const varnel = {
  queue: [],
  waiter: null,
  windows: new Map(),  // token -> { layer, name, timers }
  nextToken: 1,
  started: performance.now(),

  post(token, kind, name = '', value = '') {
    this.queue.push(`${token}\t${kind}\t${name}\t${value}`);
    if (this.waiter) { const w = this.waiter; this.waiter = null; w(); }
  },
  // The next event, waiting for one when the queue is empty. C++ waits for
  // the user only once the top window is filled in: that is when it gets
  // the keyboard's focus, if nothing in it has it yet.
  nextEvent() {
    if (this.queue.length) return Promise.resolve(this.queue.shift());
    this.ensureFocus();
    return new Promise((resolve) => { this.waiter = () => resolve(this.queue.shift()); });
  },
  takeEvent() { return this.queue.length ? this.queue.shift() : ''; },
  // A turn for the browser: input, timers and the serial port's promises run.
  yieldTurn() { return new Promise((resolve) => setTimeout(resolve, 0)); },

  // --- windows -----------------------------------------------------------
  // Only the top layer takes keys, clicks and focus: a window behind a modal
  // one (the main window behind the write window, a window behind a
  // message) is inert until it is on top again, its access keys with it.
  layersChanged() {
    const layers = [...document.querySelectorAll('#desktop .layer')];
    layers.forEach((layer, i) => { layer.inert = i !== layers.length - 1; });
    const top = layers[layers.length - 1];
    // Back on a window: the control that had the focus gets it again.
    if (top && top.lastFocus && top.lastFocus.isConnected && !top.contains(document.activeElement)) {
      top.lastFocus.focus();
    }
  },
  // The top window's first control that can take the focus (a checked
  // radio button before its group's others), else its default button, else
  // the window itself: the keyboard is never left with nothing.
  ensureFocus() {
    const layers = document.querySelectorAll('#desktop .layer');
    const top = layers[layers.length - 1];
    if (!top || top.contains(document.activeElement)) return;
    const usable = (e) => !e.disabled && e.getClientRects().length > 0 && !e.closest('[hidden]');
    const controls = [...top.querySelectorAll('.body input, .body select, .body textarea, .body button, .buttons button')]
      .filter(usable).filter((e) => !(e.type === 'radio' && !e.checked &&
        [...top.querySelectorAll(`input[type=radio][name="${e.name}"]`)].some((r) => r.checked && usable(r))));
    const target = controls[0] || top.querySelector('.window');
    target.focus();
  },
  openWindow(uiName) {
    const template = document.getElementById('ui-' + uiName);
    if (!template) throw new Error('no window ' + uiName);
    const token = this.nextToken++;
    const layer = document.createElement('div');
    layer.className = 'layer';
    const dialog = document.createElement('div');
    dialog.className = 'window';
    dialog.setAttribute('role', 'dialog');
    dialog.setAttribute('aria-modal', 'true');
    dialog.tabIndex = -1;
    dialog.dataset.window = uiName;
    const bar = document.createElement('div');
    bar.className = 'titlebar';
    const title = document.createElement('h1');
    title.id = uiName + '--title';
    title.textContent = template.dataset.title || '';
    dialog.setAttribute('aria-labelledby', title.id);
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.setAttribute('aria-label', 'Close');
    close.textContent = '\u00d7';
    close.addEventListener('click', () => this.post(token, 'close'));
    bar.append(title, close);
    const body = document.createElement('div');
    body.className = 'body';
    body.append(template.content.cloneNode(true));
    dialog.append(bar, body);
    layer.append(dialog);
    document.getElementById('desktop').append(layer);
    this.windows.set(token, { layer, name: uiName, timers: new Map() });
    // When the first window came up, from the start of the page's loading.
    if (this.firstWindowAt === undefined) this.firstWindowAt = performance.now();
    this.wire(token, body);
    dialog.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') { e.preventDefault(); this.post(token, 'close'); }
      // Enter presses the default button, as in a desktop dialog; a button,
      // a text box of lines or a list that Enter opens keep Enter for
      // themselves.
      const own = e.target.tagName === 'BUTTON' || e.target.tagName === 'TEXTAREA' ||
        (e.target.tagName === 'SELECT' && e.target.size > 1) || e.target.closest('.table');
      if (e.key === 'Enter' && !own && !e.altKey && !e.ctrlKey) {
        const button = body.querySelector('button.default:not([disabled])');
        if (button && !button.closest('[hidden]')) { e.preventDefault(); button.click(); }
      }
      // Alt and a caption's underlined letter, as on the desktop: a caption
      // focuses its control, a button is pressed, a box is checked.
      if (e.altKey && !e.ctrlKey && !e.metaKey && e.key.length === 1) {
        const shown = [...body.querySelectorAll(`[data-mnemonic="${CSS.escape(e.key.toLowerCase())}"]`)]
          .find((el) => el.getClientRects().length && !el.closest('[hidden]'));
        if (!shown) return;
        e.preventDefault();
        const target = shown.tagName === 'LABEL' ? document.getElementById(shown.htmlFor) : shown;
        if (!target || target.disabled) return;
        target.focus();
        if (target.tagName === 'BUTTON' || target.type === 'checkbox' || target.type === 'radio') target.click();
      }
    });
    layer.addEventListener('focusin', (e) => { layer.lastFocus = e.target; });
    this.layersChanged();
    return token;
  },
  closeWindow(token) {
    const w = this.windows.get(token);
    if (!w) return;
    for (const t of w.timers.values()) clearInterval(t);
    w.layer.remove();
    this.windows.delete(token);
    this.layersChanged();
  },
  setTitle(token, text) {
    const w = this.windows.get(token);
    if (w) w.layer.querySelector('h1').textContent = text;
  },
  // Each control reports what the user did; C++ decides what it means.
  wire(token, body) {
    for (const el of body.querySelectorAll('[data-name]')) {
      const name = el.dataset.name;
      if (el.tagName === 'BUTTON') {
        el.addEventListener('click', () => this.post(token, 'click', name));
      } else if (el.type === 'checkbox' || el.type === 'radio') {
        el.addEventListener('click', () => this.post(token, 'click', name));
      } else if (el.type === 'range') {
        const label = el.dataset.valueLabel && document.getElementById(el.dataset.valueLabel);
        // Moved (as it moves, by mouse or key), then let go.
        el.addEventListener('input', () => {
          if (label) label.textContent = el.value;
          this.post(token, 'slide', name);
        });
        el.addEventListener('change', () => this.post(token, 'change', name));
      } else if (el.tagName === 'SELECT' || el.tagName === 'INPUT' || el.tagName === 'TEXTAREA') {
        el.addEventListener(el.tagName === 'SELECT' ? 'change' : 'input', () => {
          if (el.dataset.kind === 'digits') el.value = el.value.replace(/[^0-9]/g, '');
          if (el.dataset.upper !== undefined) el.value = el.value.toUpperCase();
          this.post(token, 'change', name);
        });
        if (el.tagName === 'SELECT' && el.size > 1)
          el.addEventListener('dblclick', () => this.post(token, 'activate', name));
      }
    }
  },
  element(token, name) {
    const w = this.windows.get(token);
    return w ? document.getElementById(w.name + '-' + name) : null;
  },
  startTimer(token, id, ms) {
    const w = this.windows.get(token);
    if (!w) return;
    if (w.timers.has(id)) clearInterval(w.timers.get(id));
    w.timers.set(id, setInterval(() => {
      // One tick waiting is enough: a busy window does not pile them up.
      const tick = `${token}\ttimer\t\t${id}`;
      if (!this.queue.includes(tick)) this.post(token, 'timer', '', id);
    }, ms));
  },
  stopTimer(token, id) {
    const w = this.windows.get(token);
    if (w && w.timers.has(id)) { clearInterval(w.timers.get(id)); w.timers.delete(id); }
  },

  // --- controls ----------------------------------------------------------
  setControl(token, name, kind, text, checked, selected, position, enabled, visible, entries) {
    const el = this.element(token, name);
    if (!el) return false;
    const wrapper = el.closest('label.choice') || el;
    wrapper.hidden = !visible;
    if ('disabled' in el) el.disabled = !enabled;
    if (el.type === 'checkbox' || el.type === 'radio') {
      el.checked = kind === 'threestate' ? position === 1 : checked;
      if (kind === 'threestate') el.indeterminate = position === 2;
      // (A caption that stays the same keeps its underlined mnemonic.)
      const span = wrapper.querySelector('span');
      if (text && span.textContent !== text) span.textContent = text;
    } else if (el.tagName === 'SELECT') {
      const rows = entries ? entries.split('\x1e') : [];
      // An option's text loses its leading spaces, which nest the script
      // editor's blocks: they are shown as no-break spaces, and the row as
      // given is kept as the option's value.
      const same = el.options.length === rows.length && rows.every((r, i) => el.options[i].value === r);
      if (!same) {
        el.replaceChildren(...rows.map((r) => new Option(r.replace(/^ +/, (m) => '\u00a0'.repeat(m.length)), r)));
      }
      el.selectedIndex = selected;
    } else if (el.type === 'range') {
      el.value = position;
      const label = el.dataset.valueLabel && document.getElementById(el.dataset.valueLabel);
      if (label) label.textContent = el.value;
    } else if (kind === 'tab') {
      const rows = entries ? entries.split('\x1e') : [];
      if (el.children.length !== rows.length || rows.some((r, i) => el.children[i].textContent !== r)) {
        el.replaceChildren(...rows.map((r, i) => {
          const b = document.createElement('button');
          b.type = 'button';
          b.setAttribute('role', 'tab');
          b.textContent = r;
          b.addEventListener('click', () => this.post(token, 'tab', name, i));
          return b;
        }));
      }
      [...el.children].forEach((b, i) => b.setAttribute('aria-selected', i === position ? 'true' : 'false'));
    } else if (el.tagName === 'INPUT' || el.tagName === 'TEXTAREA') {
      if (el.value !== text) el.value = text;
    } else if (el.tagName === 'FIELDSET') {
      if (text) el.querySelector('legend').textContent = text;
    } else if ((text || kind === 'label') && el.textContent !== text) {
      el.textContent = text;
    }
    return true;
  },
  // What the user can change, as "text \x1f checked \x1f selected \x1f position".
  getControl(token, name, kind) {
    const el = this.element(token, name);
    if (!el) return '';
    let text = '', checked = 0, selected = -1, position = 0;
    if (el.type === 'checkbox' || el.type === 'radio') {
      checked = el.checked ? 1 : 0;
      position = el.indeterminate ? 2 : checked;
    } else if (el.tagName === 'SELECT') selected = el.selectedIndex;
    else if (el.type === 'range') position = Number(el.value);
    else if (kind === 'tab') position = [...el.children].findIndex((b) => b.getAttribute('aria-selected') === 'true');
    else if (el.tagName === 'INPUT' || el.tagName === 'TEXTAREA') text = el.value;
    else text = el.textContent;
    return [text, checked, selected, position].join('\x1f');
  },
  // A caption the layout gives a control whose form leaves it empty.
  caption(token, name) {
    const el = this.element(token, name);
    if (!el) return '';
    const label = el.closest('label.choice');
    if (label) return label.querySelector('span').textContent;
    if (el.tagName === 'FIELDSET') return el.querySelector('legend')?.textContent || '';
    if (el.tagName === 'INPUT' || el.tagName === 'SELECT' || el.tagName === 'TEXTAREA') return '';
    return el.textContent;
  },
  setControlFlags(token, name, flags) {
    const el = this.element(token, name);
    if (!el) return;
    if (flags.includes('upper')) { el.dataset.upper = ''; el.style.textTransform = 'uppercase'; }
    if (flags.includes('digits')) { el.dataset.kind = 'digits'; el.inputMode = 'numeric'; }
  },
  setTooltip(token, name, text) {
    const el = this.element(token, name);
    if (el && text) (el.closest('label.choice') || el).title = text;
  },

  // --- message boxes -----------------------------------------------------
  // Buttons given as "OK" or "Yes|No" or "First|Second|Cancel"; the answer
  // comes back as an event with the button's index. The default button
  // (index byDefault) has the focus, so Enter presses it.
  showMessage(text, buttons, byDefault = 0) {
    const token = this.nextToken++;
    const layer = document.createElement('div');
    layer.className = 'layer';
    const box = document.createElement('div');
    box.className = 'window message';
    box.setAttribute('role', 'alertdialog');
    box.setAttribute('aria-modal', 'true');
    const p = document.createElement('p');
    p.id = 'message-' + token;
    p.textContent = text;
    box.setAttribute('aria-describedby', p.id);
    box.setAttribute('aria-label', 'varnelcfg');
    const row = document.createElement('div');
    row.className = 'buttons';
    const names = buttons.split('|');
    const done = (i) => { layer.remove(); this.layersChanged(); this.post(token, 'answer', '', i); };
    names.forEach((label, i) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = label;
      b.addEventListener('click', () => done(i));
      row.append(b);
    });
    box.addEventListener('keydown', (e) => {
      // Escape is the last button: OK, No or Cancel.
      if (e.key === 'Escape') { e.preventDefault(); done(names.length - 1); }
    });
    box.append(p, row);
    layer.append(box);
    document.getElementById('desktop').append(layer);
    this.layersChanged();
    (row.children[byDefault] || row.firstChild).focus();
    return token;
  },
};
window.varnel = varnel;

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('sw.js').catch(() => {});
}

// --- elements outside the control tables ---------------------------------
Object.assign(varnel, {
  setText(token, name, text) {
    const el = this.element(token, name);
    if (el) el.textContent = text;
  },
  setEnabled(token, name, on) {
    const el = this.element(token, name);
    if (el) el.disabled = !on;
  },
  setShown(token, name, on) {
    const el = this.element(token, name);
    if (el) (el.closest('label.choice') || el).hidden = !on;
  },
  setProgress(token, name, low, high, position) {
    const el = this.element(token, name);
    if (!el) return;
    el.max = Math.max(1, high - low);
    el.value = Math.max(0, position - low);
  },
  focus(token, name) {
    const el = this.element(token, name);
    if (el) el.focus();
  },
  // The connect window's port slots: one radio button each, in the port
  // group, reported as clicks on "slot".
  setSlots(token, groupName, labels, tooltips) {
    const group = this.element(token, groupName);
    if (!group) return;
    for (const old of group.querySelectorAll('.slots')) old.remove();
    const box = document.createElement('div');
    box.className = 'slots';
    const names = labels ? labels.split('\x1e') : [];
    const tips = tooltips.split('\x1e');
    names.forEach((label, i) => {
      const choice = document.createElement('label');
      choice.className = 'choice';
      const input = document.createElement('input');
      input.type = 'radio';
      input.name = 'slots-' + token;
      input.id = this.windows.get(token).name + '-slot' + (i + 1);
      input.addEventListener('click', () => this.post(token, 'click', 'slot'));
      const span = document.createElement('span');
      span.textContent = label;
      if (tips[i]) choice.title = tips[i];
      choice.append(input, span);
      box.append(choice);
    });
    group.append(box);
  },
  checkedSlot(token, groupName) {
    const group = this.element(token, groupName);
    if (!group) return 0;
    const inputs = [...group.querySelectorAll('.slots input')];
    return inputs.findIndex((i) => i.checked) + 1;
  },
  checkSlot(token, groupName, slot) {
    const group = this.element(token, groupName);
    if (!group) return;
    [...group.querySelectorAll('.slots input')].forEach((i, n) => { i.checked = n + 1 === slot; });
  },
});

// --- tables (the firmware release list) ----------------------------------
Object.assign(varnel, {
  setTableRows(token, name, rows) {
    const table = this.element(token, name);
    if (!table) return;
    const body = table.tBodies[0];
    body.replaceChildren(...(rows ? rows.split('\x1e') : []).map((row) => {
      const tr = document.createElement('tr');
      tr.tabIndex = 0;
      for (const cell of row.split('\x1f')) tr.append(Object.assign(document.createElement('td'), { textContent: cell }));
      const pick = () => {
        for (const other of body.rows) other.removeAttribute('aria-selected');
        tr.setAttribute('aria-selected', 'true');
      };
      tr.addEventListener('click', pick);
      tr.addEventListener('focus', pick);
      tr.addEventListener('dblclick', () => this.post(token, 'activate', name));
      tr.addEventListener('keydown', (e) => { if (e.key === 'Enter') this.post(token, 'activate', name); });
      return tr;
    }));
  },
  selectedTableRow(token, name) {
    const table = this.element(token, name);
    return table ? [...table.tBodies[0].rows].findIndex((r) => r.getAttribute('aria-selected') === 'true') : -1;
  },
});
