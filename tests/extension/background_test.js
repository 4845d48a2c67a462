// The extension's background worker in node, with a stand-in for the
// browser's extension API: the menu follows each list from the host, a
// pick runs in the right frame, and text goes only into a focused field
// that takes it.
'use strict';
const assert = require('assert/strict');
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const source = fs.readFileSync(
    path.join(__dirname, '../../extension/background.js'), 'utf8');

function loadWorker() {
  const calls = { menus: [], scripts: [], posted: [] };
  const listeners = {};
  const port = {
    onMessage: { addListener: (f) => { listeners.message = f; } },
    onDisconnect: { addListener: (f) => { listeners.disconnect = f; } },
    postMessage: (m) => calls.posted.push(m),
  };
  const chrome = {
    runtime: { connectNative: (name) => { calls.host = name; return port; } },
    contextMenus: {
      removeAll: (done) => { calls.menus = []; done(); },
      create: (item) => calls.menus.push(item),
      onClicked: { addListener: (f) => { listeners.click = f; } },
    },
    scripting: { executeScript: (what) => calls.scripts.push(what) },
  };
  const context = { chrome, module: { exports: {} } };
  vm.runInNewContext(source, context);
  return { calls, listeners, context, exports: context.module.exports };
}

// What the worker made, as plain data of this realm.
const plain = (value) => JSON.parse(JSON.stringify(value));

// The worker connects, asks, and builds the menu from each list in order.
{
  const { calls, listeners } = loadWorker();
  assert.equal(calls.host, 'org.example.tavro');
  assert.deepEqual(plain(calls.posted), [{ type: 'list' }]);
  listeners.message({ type: 'list', entries: [
    { title: 'E-mail', content: 'me@example.org' },
    { title: 'Address', content: '1 Main St\r\nTown' }] });
  assert.deepEqual(calls.menus.map((m) => [m.id, m.parentId, m.title]), [
    ['tavro', undefined, 'Tavro'], ['tavro-0', 'tavro', 'E-mail'],
    ['tavro-1', 'tavro', 'Address']]);
  assert.ok(calls.menus.every((m) => m.contexts.join() === 'editable'));

  listeners.message({ type: 'list', entries: [{ title: 'Phone', content: '1' }] });
  assert.deepEqual(calls.menus.map((m) => m.title), ['Tavro', 'Phone']);
  listeners.message({ type: 'error', error: 'x' });  // keeps the menu
  assert.equal(calls.menus.length, 2);

  listeners.click({ menuItemId: 'tavro-0', editable: true, frameId: 3 },
                  { id: 7 });
  assert.equal(calls.scripts.length, 1);
  assert.deepEqual(plain(calls.scripts[0].target), { tabId: 7, frameIds: [3] });
  assert.deepEqual(plain(calls.scripts[0].args), ['1']);
  listeners.click({ menuItemId: 'tavro-0', editable: false }, { id: 7 });
  listeners.click({ menuItemId: 'tavro-9', editable: true }, { id: 7 });
  listeners.click({ menuItemId: 'tavro', editable: true }, { id: 7 });
  assert.equal(calls.scripts.length, 1);

  listeners.disconnect();
  assert.equal(calls.menus.length, 0);
}

// Two lists before the browser has emptied the menu: the later builds it,
// once, with no item twice.
{
  const { calls, listeners, context } = loadWorker();
  const emptied = [];
  context.chrome.contextMenus.removeAll = (done) => {
    calls.menus = [];
    emptied.push(done);
  };
  listeners.message({ type: 'list', entries: [{ title: 'A', content: 'a' }] });
  listeners.message({ type: 'list', entries: [{ title: 'B', content: 'b' }] });
  emptied.forEach((done) => done());
  assert.deepEqual(calls.menus.map((m) => m.title), ['Tavro', 'B']);
}

// Insertion: only the focused field, and only one that takes text.
{
  const { exports, context } = loadWorker();
  const inserted = [];
  const field = (tagName, props = {}) => ({
    tagName, disabled: false, readOnly: false, isContentEditable: false,
    getAttribute: (name) => props[name] ?? null, ...props });
  const document = context.document = {
    activeElement: null,
    execCommand: (command, _, text) => {
      inserted.push([command, text]);
      return true;
    },
  };
  const tryWith = (element) => {
    document.activeElement = element;
    return exports.insertIntoFocusedField('Ann');
  };
  assert.equal(tryWith(field('INPUT', { type: 'text' })), true);
  assert.equal(tryWith(field('INPUT')), true);
  assert.equal(tryWith(field('INPUT', { type: 'Password' })), true);
  assert.equal(tryWith(field('TEXTAREA')), true);
  assert.equal(tryWith(field('DIV', { isContentEditable: true })), true);
  assert.equal(inserted.length, 5);
  for (const refused of [null, field('BODY'), field('INPUT', { type: 'checkbox' }),
                         field('INPUT', { type: 'text', readOnly: true }),
                         field('TEXTAREA', { disabled: true }), field('DIV')])
    assert.equal(tryWith(refused), false);
  assert.deepEqual(inserted.at(-1), ['insertText', 'Ann']);
  assert.equal(inserted.length, 5);

  // Without the command: the selection replaced by hand, and an input event.
  document.execCommand = () => false;
  const events = [];
  context.InputEvent = class { constructor(type, init) { Object.assign(this, init, { type }); } };
  const box = field('INPUT', { type: 'text', selectionStart: 1, selectionEnd: 3,
    setRangeText: (...args) => events.push(['range', ...args]),
    dispatchEvent: (e) => events.push(['event', e.type, e.data]) });
  assert.equal(tryWith(box), true);
  assert.deepEqual(events, [['range', 'Ann', 1, 3, 'end'], ['event', 'input', 'Ann']]);
}
console.log('extension background: all passed');
