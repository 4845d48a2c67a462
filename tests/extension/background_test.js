// The extension's background worker in node, with a stand-in for the
// browser's extension API: the menu follows each list from the host, the
// worker connects again while there is none, a pick fetches its Content and
// runs in the right frame, text goes only into a focused field that takes
// it, and the user is told when a pick lands nowhere.
'use strict';
const assert = require('assert/strict');
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const source = fs.readFileSync(
    path.join(__dirname, '../../extension/background.js'), 'utf8');

// The worker, and the port of its latest connect.
function loadWorker() {
  const calls = { menus: [], scripts: [], posted: [], told: [], asked: [],
                  connects: 0, alarms: new Set(),
                  badge: '!' };  // the browser keeps it when it restarts the worker
  const listeners = {};
  const chrome = {
    runtime: {
      connectNative: (name) => {
        calls.host = name;
        ++calls.connects;
        const port = calls.port = {
          onMessage: { addListener: (f) => { port.message = f; } },
          onDisconnect: { addListener: (f) => { port.disconnect = f; } },
          postMessage: (m) => calls.posted.push(m),
        };
        return port;
      },
      getURL: (file) => `chrome-extension://id/${file}`,
      onStartup: { addListener: (f) => { listeners.startup = f; } },
    },
    contextMenus: {
      removeAll: (done) => { calls.menus = []; done(); },
      create: (item) => calls.menus.push(item),
      onClicked: { addListener: (f) => { listeners.click = f; } },
    },
    scripting: { executeScript: async (what) => {
      calls.scripts.push(what);
      return calls.inject(what);
    } },
    permissions: { request: async (what) => {
      calls.asked.push(...what.origins);
      return calls.grant;
    } },
    notifications: { create: (id, options) => calls.told.push(options.message) },
    action: { setBadgeText: ({ text }) => { calls.badge = text; },
              setTitle: ({ title }) => { calls.title = title; } },
    alarms: {
      create: (name) => calls.alarms.add(name),
      clear: (name) => calls.alarms.delete(name),
      onAlarm: { addListener: (f) => { listeners.alarm = f; } },
    },
  };
  calls.inject = async () => [{ frameId: 0, result: 'inserted' }];
  const context = { chrome, module: { exports: {} }, URL, setTimeout, clearTimeout };
  vm.runInNewContext(source, context);
  return { calls, listeners, context, exports: context.module.exports };
}

// What the worker made, as plain data of this realm.
const plain = (value) => JSON.parse(JSON.stringify(value));
const titles = (calls) => calls.menus.map((m) => m.title);

// The menu follows each list; without a host it says why, on the menu and
// the button, and the worker looks again until one answers.
{
  const { calls, listeners } = loadWorker();
  assert.equal(calls.host, 'org.example.tavro');
  assert.deepEqual(plain(calls.posted), [{ type: 'list' }]);
  calls.port.message({ type: 'list', entries: [{ title: 'E-mail' }, { title: 'Address' }] });
  assert.deepEqual(calls.menus.map((m) => [m.id, m.parentId, m.title]), [
    ['tavro', undefined, 'Tavro'], ['tavro-0', 'tavro', 'E-mail'],
    ['tavro-1', 'tavro', 'Address']]);
  assert.ok(calls.menus.every((m) => m.contexts.join() === 'editable'));
  calls.port.message({ type: 'list', entries: [{ title: 'Phone' }], omitted: 7 });
  assert.deepEqual(titles(calls), ['Tavro', 'Phone',
    "7 more entries are too many for the browser's menu"]);
  calls.port.message({ type: 'error', error: 'x' });  // keeps the menu
  assert.equal(calls.menus.length, 3);
  assert.equal(calls.badge, '');

  calls.port.error = { message: 'Specified native messaging host not found.' };
  calls.port.disconnect();
  assert.equal(calls.badge, '!');
  assert.match(calls.title, /host not found.*Tools > Use in other browsers/);
  assert.deepEqual(titles(calls), ['Tavro', calls.title.replace('Tavro: ', '')]);
  assert.equal(calls.menus[1].enabled, false);
  assert.ok(calls.alarms.has('tavro-connect'));
  listeners.alarm({ name: 'tavro-connect' });
  assert.equal(calls.connects, 2);
  listeners.alarm({ name: 'tavro-connect' });  // still waiting: not twice
  assert.equal(calls.connects, 2);
  calls.port.message({ type: 'list', entries: [{ title: 'Back' }] });
  assert.deepEqual([calls.badge, calls.alarms.size, titles(calls)],
                   ['', 0, ['Tavro', 'Back']]);
}

// Two lists before the browser has emptied the menu: the later builds it,
// once, with no item twice.
{
  const { calls, context } = loadWorker();
  const emptied = [];
  context.chrome.contextMenus.removeAll = (done) => {
    calls.menus = [];
    emptied.push(done);
  };
  calls.port.message({ type: 'list', entries: [{ title: 'A' }] });
  calls.port.message({ type: 'list', entries: [{ title: 'B' }] });
  emptied.forEach((done) => done());
  assert.deepEqual(titles(calls), ['Tavro', 'B']);
}

// A pick asks the host for its Content and inserts it into the clicked
// frame; a frame of another site is asked for first; anything that lands
// nowhere is told, and nothing is told for a pick that worked.
(async () => {
  const cases = [
    { name: 'into the page', reply: 'inserted', told: null },
    { name: 'into a frame of the same site', frameUrl: 'https://a.example/f',
      reply: 'inserted', told: null },
    { name: 'into a frame of another site', frameUrl: 'https://pay.example:8443/x',
      asked: 'https://pay.example/*', reply: 'inserted', told: null },
    { name: 'refused by the user', frameUrl: 'https://pay.example/x',
      grant: false, told: /frame from pay.example.*permission/ },
    { name: 'no focused field', reply: 'no-field', told: /no text field had the focus/ },
    { name: 'a read-only field', reply: 'read-only', told: /read-only/ },
    { name: 'refused by the browser', inject: 'Cannot access contents of the page',
      told: /did not let Tavro into this page: Cannot access/, tries: 3 },
    { name: 'gone from the list', host: { type: 'error', index: 1, error: 'No longer there.' },
      told: /No longer there/ },
  ];
  for (const c of cases) {
    const { calls, listeners } = loadWorker();
    calls.port.message({ type: 'list', entries: [{ title: 'E-mail' }, { title: 'Address' }] });
    calls.grant = c.grant ?? true;
    calls.inject = async () => {
      if (c.inject) throw new Error(c.inject);
      return [{ frameId: 0, result: c.reply }];
    };
    const frameId = c.frameUrl ? 3 : 0;
    const picked = listeners.click({ menuItemId: 'tavro-1', editable: true, frameId,
      frameUrl: c.frameUrl, pageUrl: 'https://a.example/' }, { id: 7 });
    assert.deepEqual(plain(calls.posted.at(-1)),
                     { type: 'content', index: 1, title: 'Address' }, c.name);
    calls.port.message(c.host ?? { type: 'content', index: 1, content: '1 Main St\r\nTown' });
    await picked;
    assert.deepEqual(calls.asked, c.asked ? [c.asked] : c.grant === false ?
                     ['https://pay.example/*'] : [], c.name);
    assert.equal(calls.scripts.length, c.tries ?? (c.told && !c.reply ? 0 : 1), c.name);
    if (calls.scripts.length) {
      assert.deepEqual(plain(calls.scripts[0].target), { tabId: 7, frameIds: [frameId] });
      assert.deepEqual(plain(calls.scripts[0].args), ['1 Main St\r\nTown']);
    }
    if (c.told) assert.match(calls.told.join(), c.told, c.name);
    else assert.deepEqual(calls.told, [], c.name);
  }

  // Without a host a pick says why at once.
  const { calls, listeners } = loadWorker();
  calls.port.message({ type: 'list', entries: [{ title: 'E-mail' }] });
  const picked = listeners.click({ menuItemId: 'tavro-0', frameId: 0 }, { id: 7 });
  calls.port.disconnect();
  await picked;
  assert.match(calls.told.join(), /stopped answering/);
  for (const item of ['tavro', 'tavro-9', 'tavro-more'])
    await listeners.click({ menuItemId: item }, { id: 7 });
  assert.equal(calls.scripts.length, 0);
})().then(insertion).then(() => console.log('extension background: all passed'),
                          (e) => { console.error(e); process.exit(1); });

// Insertion: only the focused field, however deep in web components, and
// only one that takes text; lines joined where the field has one line; a
// rich editor takes a paste into its own document.
function insertion() {
  const { exports, context } = loadWorker();
  const inserted = [];
  const field = (tagName, props = {}) => ({
    tagName, disabled: false, readOnly: false, isContentEditable: false,
    getAttribute: (name) => props[name] ?? null, dispatchEvent: () => true,
    ...props });
  const document = context.document = {
    body: field('BODY'),
    execCommand: (command, _, text) => {
      inserted.push(text);
      return true;
    },
  };
  context.DataTransfer = class {
    setData(type, data) { this[type] = data; }
    getData(type) { return this[type]; }
  };
  let keepsData = true;  // as Chromium does; Firefox empties it
  context.ClipboardEvent = class {
    constructor(type, init) {
      Object.assign(this, init, { type });
      if (!keepsData) this.clipboardData = new context.DataTransfer();
    }
  };
  const tryWith = (element, text = 'Ann\r\nLee') => {
    document.activeElement = element;
    return exports.insertIntoFocusedField(text);
  };
  const shadowed = (inner) => field('X-FIELD', { shadowRoot: { activeElement: inner } });
  const rows = [
    [field('INPUT', { type: 'text' }), 'inserted', 'Ann Lee'],
    [field('INPUT', { type: 'Password' }), 'inserted', 'Ann Lee'],
    [field('TEXTAREA'), 'inserted', 'Ann\nLee'],
    [field('DIV', { isContentEditable: true }), 'inserted', 'Ann\nLee'],
    [shadowed(shadowed(field('INPUT'))), 'inserted', 'Ann Lee'],
    [shadowed(field('TEXTAREA', { readOnly: true })), 'read-only'],
    [field('INPUT', { type: 'text', readOnly: true }), 'read-only'],
    [field('TEXTAREA', { disabled: true }), 'read-only'],
    [field('INPUT', { type: 'checkbox' }), 'not-text'],
    [null, 'no-field'], [document.body, 'no-field'], [field('DIV'), 'no-field'],
    [shadowed(null), 'no-field'],
  ];
  for (const [element, result, text] of rows) {
    inserted.length = 0;
    assert.equal(tryWith(element), result, element?.tagName);
    assert.deepEqual(inserted, text ? [text] : [], element?.tagName);
  }

  // A rich editor takes the paste and cancels it: no second insert.
  const pasted = [];
  inserted.length = 0;
  const editor = field('DIV', { isContentEditable: true, dispatchEvent: (e) => {
    pasted.push([e.type, e.clipboardData['text/plain']]);
    return false;
  } });
  assert.equal(tryWith(editor), 'inserted');
  assert.deepEqual([pasted, inserted], [[['paste', 'Ann\nLee']], []]);
  // Where a script's paste carries no data, the text goes in as typed.
  keepsData = false;
  pasted.length = 0;
  assert.equal(tryWith(editor), 'inserted');
  assert.deepEqual([pasted, inserted], [[], ['Ann\nLee']]);

  // Without the command: the selection replaced by hand, and an input event;
  // an editable region that takes neither is told as such.
  document.execCommand = () => false;
  const events = [];
  context.InputEvent = class { constructor(type, init) { Object.assign(this, init, { type }); } };
  const box = field('INPUT', { type: 'text', selectionStart: 1, selectionEnd: 3,
    setRangeText: (...args) => events.push(['range', ...args]),
    dispatchEvent: (e) => events.push(['event', e.type, e.data]) });
  assert.equal(tryWith(box, 'Ann'), 'inserted');
  assert.deepEqual(events, [['range', 'Ann', 1, 3, 'end'], ['event', 'input', 'Ann']]);
  assert.equal(tryWith(field('DIV', { isContentEditable: true })), 'refused');
}
