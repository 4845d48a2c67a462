// Tavro's entries in the right-click menu of editable fields. The Titles
// come from TavroHost.exe over native messaging, at start and again after
// each Save in Tavro, and a pick asks it for that one entry's Content. The
// extension reaches no network and reads no page: it only inserts into the
// field that has the focus in the frame that was right-clicked, and says
// so when it could not.
'use strict';

const HOST = 'org.example.tavro';
const PARENT = 'tavro';
const RECONNECT = 'tavro-connect';
// While no host answers it is looked for this often, the shortest period
// the browsers allow an alarm: turning the bridge on in Tavro shows the
// menu within about half a minute, with no restart.
const RECONNECT_MINUTES = 0.5;
const ANSWER_MS = 5000;
const BRIDGE_OFF = 'In Tavro, choose Tools > Use in other browsers.';
const api = globalThis.browser ?? globalThis.chrome;

let entries = [];  // [{ title }], in Tavro's order
let omitted = 0;  // entries whose Titles did not fit in the host's message
let port = null;
let problem = null;  // why there is no host, while there is none
const waiting = new Map();  // entry index -> settles of its Content

// Runs inside the page's frame: inserts at the caret of the focused field,
// replacing the selection, as typing would (input events, undo). Returns
// 'inserted', or why not.
function insertIntoFocusedField(text) {
  let field = document.activeElement;
  // In a web component the focus sits inside its (open) shadow root.
  while (field?.shadowRoot?.activeElement) field = field.shadowRoot.activeElement;
  if (!field || field === document.body || field === document.documentElement)
    return 'no-field';
  const textTypes = ['text', 'search', 'email', 'url', 'tel', 'password', ''];
  const isLine = field.tagName === 'INPUT' &&
      textTypes.includes((field.getAttribute('type') ?? '').toLowerCase());
  const isTextBox = isLine || field.tagName === 'TEXTAREA';
  if (isTextBox) {
    if (field.disabled || field.readOnly) return 'read-only';
  } else if (!field.isContentEditable) {
    return field.tagName === 'INPUT' ? 'not-text' : 'no-field';
  }
  // A field of one line would drop the line breaks and run the lines
  // together: there they become spaces.
  text = text.replace(/\r\n?/g, '\n');
  if (isLine) text = text.replace(/\n/g, ' ');
  if (!isTextBox) {
    // Rich editors keep a document of their own, which the page's text
    // only mirrors; each of them takes a paste into it. Firefox gives a
    // paste made by a script no data: there the text goes in as typed,
    // which the editors read back from the page.
    const data = new DataTransfer();
    data.setData('text/plain', text);
    const paste = new ClipboardEvent('paste', {
      clipboardData: data, bubbles: true, cancelable: true, composed: true });
    if (paste.clipboardData?.getData('text/plain') === text &&
        !field.dispatchEvent(paste))
      return 'inserted';
  }
  if (document.execCommand('insertText', false, text)) return 'inserted';
  if (!isTextBox) return 'refused';
  // Where the command is not had: the same change, and its event, by hand.
  field.setRangeText(text, field.selectionStart, field.selectionEnd, 'end');
  field.dispatchEvent(new InputEvent('input', {
    bubbles: true, inputType: 'insertText', data: text }));
  return 'inserted';
}

const whyNot = {
  'no-field': 'Nothing was inserted: no text field had the focus. Click ' +
      'into the field first, then pick the entry again.',
  'read-only': 'Nothing was inserted: this field is read-only or disabled.',
  'not-text': 'Nothing was inserted: this field does not take text.',
  'refused': 'Nothing was inserted: this editor did not take the text ' +
      '(it may draw its text itself). Type or paste it there instead.',
};

function tell(message) {
  api.notifications.create('tavro', {
    type: 'basic', iconUrl: api.runtime.getURL('icon48.png'), title: 'Tavro',
    message });
}

// The badge and title of the extension's button say while Tavro cannot be
// reached, and the menu says it where the entries would be. Set each time:
// the browser keeps them when it restarts an idle extension, which starts
// knowing nothing.
function setProblem(text) {
  problem = text;
  api.action.setBadgeText({ text: text ? '!' : '' });
  api.action.setTitle({ title: text ? `Tavro: ${text}` : 'Tavro' });
}

let rebuilds = 0;

function rebuildMenu(list, omittedCount = 0) {
  entries = list;
  omitted = omittedCount;
  const rebuild = ++rebuilds;
  api.contextMenus.removeAll(() => {
    // A later list, whose own emptying is still to come, builds the menu.
    if (rebuild !== rebuilds) return;
    const items = entries.map((entry, i) => ({
      id: `${PARENT}-${i}`, title: entry.title }));
    if (omitted)
      items.push({ id: `${PARENT}-more`, enabled: false,
        title: `${omitted} more entries are too many for the browser's menu` });
    if (!entries.length && problem)
      items.push({ id: `${PARENT}-off`, title: problem, enabled: false });
    if (!items.length) return;
    // An item the browser refuses leaves the others; its error is read, so
    // that the browser does not log it as unchecked.
    const made = () => void api.runtime.lastError;
    api.contextMenus.create(
        { id: PARENT, title: 'Tavro', contexts: ['editable'] }, made);
    for (const item of items)
      api.contextMenus.create(
          { ...item, parentId: PARENT, contexts: ['editable'] }, made);
  });
}

function settle(index, message) {
  const settles = waiting.get(index) ?? [];
  waiting.delete(index);
  for (const done of settles) done(message);
}

function connect() {
  if (port) return;
  const opened = port = api.runtime.connectNative(HOST);
  opened.onMessage.addListener((message) => {
    if (port !== opened || !message) return;
    if (message.type === 'list' && Array.isArray(message.entries)) {
      api.alarms.clear(RECONNECT);
      setProblem(null);
      rebuildMenu(message.entries, message.omitted);
    } else if (Number.isInteger(message.index)) {
      settle(message.index, message);
    }
  });
  opened.onDisconnect.addListener(() => {
    // Read, or the browser logs it as unchecked; Firefox has it on the port.
    const error = api.runtime.lastError?.message ?? opened.error?.message;
    if (port !== opened) return;
    port = null;
    for (const index of [...waiting.keys()])
      settle(index, { error: 'Tavro stopped answering.' });
    setProblem(`not connected (${error || 'the host ended'}). ${BRIDGE_OFF}`);
    rebuildMenu([]);
    api.alarms.create(RECONNECT, { periodInMinutes: RECONNECT_MINUTES });
  });
  opened.postMessage({ type: 'list' });
}

function contentOf(index, title) {
  connect();
  return new Promise((resolve, reject) => {
    const timer = setTimeout(
        () => settle(index, { error: 'Tavro did not answer in time.' }), ANSWER_MS);
    const done = (message) => {
      clearTimeout(timer);
      if (message.type === 'content') resolve(message.content);
      else reject(new Error(message.error ?? 'Tavro could not give the entry.'));
    };
    waiting.set(index, [...(waiting.get(index) ?? []), done]);
    port?.postMessage({ type: 'content', index, title });
  });
}

// The host pattern a frame needs beyond what the click grants: the click
// reaches the page's own origin only.
function otherOrigin(info) {
  try {
    const frame = new URL(info.frameUrl);
    if (!/^https?:$/.test(frame.protocol) ||
        frame.origin === new URL(info.pageUrl).origin)
      return null;
    return `${frame.protocol}//${frame.hostname}/*`;
  } catch {
    return null;  // the page's frame, or one of no site of its own
  }
}

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

async function insert(tabId, frameId, text) {
  for (let attempt = 1; ; ++attempt) {
    try {
      const [done] = await api.scripting.executeScript({
        target: { tabId, frameIds: [frameId] },
        func: insertIntoFocusedField, args: [text] });
      return done?.result ?? 'refused';
    } catch (e) {
      // Chromium now and then refuses just after the click that allowed it.
      if (attempt < 3 && /Cannot access/.test(e.message)) {
        await sleep(25 * attempt);
        continue;
      }
      throw new Error('The browser did not let Tavro into this ' +
                      `${frameId ? 'frame' : 'page'}: ${e.message}`);
    }
  }
}

// Named so that a test can run what a pick runs; returns when it is done.
function onMenuClicked(info, tab) {
  const match = /^tavro-(\d+)$/.exec(String(info.menuItemId));
  const index = match ? Number(match[1]) : -1;
  const entry = entries[index];
  if (!entry || !tab) return Promise.resolve();
  // Asked at once, while the click still counts as the user's.
  const origin = otherOrigin(info);
  const allowed = origin ?
      api.permissions.request({ origins: [origin] }) : Promise.resolve(true);
  return Promise.all([allowed, contentOf(index, entry.title)])
      .then(async ([granted, content]) => {
        if (!granted)
          return tell('Nothing was inserted: this field is in a frame from ' +
                      `${new URL(info.frameUrl).hostname}, which Tavro may ` +
                      'only reach with your permission.');
        const result = await insert(tab.id, info.frameId ?? 0, content);
        if (result !== 'inserted') tell(whyNot[result] ?? whyNot.refused);
      })
      .catch((e) => tell(e.message));
}

api.contextMenus.onClicked.addListener(onMenuClicked);
api.alarms.onAlarm.addListener((alarm) => {
  if (alarm.name === RECONNECT) connect();
});
// Listened for so that the browser wakes the extension as it starts.
api.runtime.onStartup.addListener(connect);

connect();

if (typeof module !== 'undefined')
  module.exports = { insertIntoFocusedField, rebuildMenu, onMenuClicked };
