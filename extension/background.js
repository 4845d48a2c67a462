// Tavro's entries in the right-click menu of editable fields. The list
// comes from TavroHost.exe over native messaging, at start and again after
// each Save in Tavro; the extension itself reaches no network and reads no
// page, only inserts into the field that was right-clicked.
'use strict';

const HOST = 'org.example.tavro';
const PARENT = 'tavro';
const api = globalThis.browser ?? globalThis.chrome;

let entries = [];

// Runs inside the page's frame: inserts at the caret of the focused field,
// replacing the selection, as typing would (input events, undo).
function insertIntoFocusedField(text) {
  const field = document.activeElement;
  if (!field) return false;
  const textTypes = ['text', 'search', 'email', 'url', 'tel', 'password', ''];
  const isTextBox =
      (field.tagName === 'INPUT' &&
       textTypes.includes((field.getAttribute('type') ?? '').toLowerCase())) ||
      field.tagName === 'TEXTAREA';
  if (isTextBox) {
    if (field.disabled || field.readOnly) return false;
  } else if (!field.isContentEditable) {
    return false;
  }
  if (document.execCommand('insertText', false, text)) return true;
  if (!isTextBox) return false;
  // Where the command is not had: the same change, and its event, by hand.
  field.setRangeText(text, field.selectionStart, field.selectionEnd, 'end');
  field.dispatchEvent(new InputEvent('input', {
    bubbles: true, inputType: 'insertText', data: text }));
  return true;
}

let rebuilds = 0;

function rebuildMenu(list) {
  entries = list;
  const rebuild = ++rebuilds;
  api.contextMenus.removeAll(() => {
    // A later list, whose own emptying is still to come, builds the menu.
    if (rebuild !== rebuilds || !entries.length) return;
    api.contextMenus.create(
        { id: PARENT, title: 'Tavro', contexts: ['editable'] });
    entries.forEach((entry, i) => api.contextMenus.create({
      id: `${PARENT}-${i}`, parentId: PARENT, title: entry.title,
      contexts: ['editable'] }));
  });
}

function connect() {
  const port = api.runtime.connectNative(HOST);
  port.onMessage.addListener((message) => {
    if (message && message.type === 'list' && Array.isArray(message.entries))
      rebuildMenu(message.entries);
  });
  // The host is gone (Tavro's bridge turned off, or never on): no menu.
  port.onDisconnect.addListener(() => rebuildMenu([]));
  port.postMessage({ type: 'list' });
}

// Named so that a test in a real browser can run what a pick runs.
function onMenuClicked(info, tab) {
  const match = /^tavro-(\d+)$/.exec(String(info.menuItemId));
  const entry = match && entries[Number(match[1])];
  if (!entry || !tab || !info.editable) return;
  api.scripting.executeScript({
    target: { tabId: tab.id, frameIds: [info.frameId ?? 0] },
    func: insertIntoFocusedField,
    args: [entry.content],
  });
}
api.contextMenus.onClicked.addListener(onMenuClicked);

connect();

if (typeof module !== 'undefined')
  module.exports = { insertIntoFocusedField, rebuildMenu };
