// Tavro's extension in a real, headed browser, Debian's chromium or
// firefox-esr, driven by puppeteer-core and used as a user uses it: real
// right-clicks and keys from xdotool, the browser's own permission prompt
// answered with its keys. TavroHost.exe under Wine answers behind it. Each
// case ends with the Content in the page's field (and in the editor's own
// state), or with the notice that the user sees; all run, and a table says
// how each went. Arguments: the scratch folder, which holds the host's
// wrapper; chromium | firefox; the node_modules folder. Needs WINEPREFIX
// and DISPLAY.
'use strict';
const { execFileSync } = require('child_process');
const assert = require('assert/strict');
const fs = require('fs');
const http = require('http');
const path = require('path');
const puppeteer = require('puppeteer-core');

const wine = '/usr/lib/wine/wine64';
const [dir, family, modules] = process.argv.slice(2);
const firefox = family === 'firefox';
const key = 'HKEY_CURRENT_USER\\Software\\TavroBrowserTest\\MenuExt';
const started = Date.now();
// The keys that open Tavro's submenu, with its first item chosen, and that
// allow or deny in the permission prompt.
const keys = firefox ?
  { tavro: ['Up', 'Right'], allow: ['alt+a'], deny: ['alt+d'] } :
  { tavro: ['t', 'Right'], allow: ['Tab', 'Return'], deny: ['Return'] };

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
async function until(what, test, ms = 10000) {
  for (const end = Date.now() + ms; ;) {
    const value = await what();
    if (test(value)) return value;
    if (Date.now() > end) assert.fail(`not in time: ${JSON.stringify(value)?.slice(0, 300)}`);
    await sleep(20);
  }
}
const xdotool = (...args) => execFileSync('xdotool', args.map(String));

// Writes the entries as Tavro's Save does, in one burst: every marked
// subkey removed (or the whole key, as another tool might), then one per
// entry in list order, line breaks encoded.
let saved = null;
function save(entries, { dropKey = false } = {}) {
  const quote = (s) => s.replace(/\\/g, '\\\\').replace(/"/g, '\\"');
  const lines = ['REGEDIT4', ''];
  for (const name of dropKey || !saved ? [null] : saved)
    lines.push(name === null ? `[-${key}]` : `[-${key}\\${name}]`, '');
  saved = entries.map(([title], i) => `${String(i).padStart(2, '0')}.${title}`);
  entries.forEach(([, content], i) => lines.push(
      `[${key}\\${saved[i]}]`, `@="${quote(`file://C:\\Tavro\\${i}.htm`)}"`,
      '"Contexts"=dword:00000004',
      `"Tavro"="${quote(content.replace(/\r\n/g, '\\r\\n'))}"`, ''));
  const file = path.join(dir, 'save.reg');
  fs.writeFileSync(file, lines.join('\r\n'));
  execFileSync(wine, ['regedit', '/S', file], { stdio: 'ignore' });
}

// What the extension shows, as a probe in a copy of it reports: each call
// of the browser's menu, notification and button functions, in order.
const calls = [];  // { seq, what, args }, in the order they were made
const called = (name) => calls.filter(({ what }) => what === name).map(({ args }) => args);
const menu = () => {
  const last = calls.map(({ what }) => what).lastIndexOf('contextMenus.removeAll');
  return calls.slice(last + 1).filter(({ what }) => what === 'contextMenus.create')
      .map(({ args: [item] }) => item.title);
};
const told = () => called('notifications.create').map(([, note]) => note.message);
const badge = () => called('action.setBadgeText').at(-1)?.[0].text ?? '';
const probe = (url) => `
{
  // Ordered across the restarts of an event page.
  let seq = Date.now() * 1000;
  for (const [area, name] of [['contextMenus', 'create'], ['contextMenus', 'removeAll'],
      ['notifications', 'create'], ['action', 'setBadgeText']]) {
    const real = api[area]?.[name];
    if (!real) continue;
    api[area][name] = function (...args) {
      fetch('${url}', { method: 'POST', body: JSON.stringify(
          [++seq, area + '.' + name, ...args.filter((a) => typeof a !== 'function')]) });
      return real.apply(this, args);
    };
  }
}`;

function pageHtml(frames) {
  const imports = Object.fromEntries(['prosemirror-state', 'prosemirror-view',
    'prosemirror-model', 'prosemirror-transform', 'prosemirror-schema-basic',
    'orderedmap'].map((name) => [name, `/npm/${name}/dist/index.js`]));
  return `<!doctype html><meta charset="utf-8"><title>fields</title>
<style>input, textarea, x-card, #editor { display: block; margin: 6px; width: 320px }
  iframe { display: block; width: 340px; height: 40px } .ProseMirror { min-height: 40px; border: 1px solid }</style>
<input id="line"><textarea id="area"></textarea><input id="locked">
<x-card></x-card><div id="editor"></div><textarea id="letter"></textarea>
${frames.map((url, i) => `<iframe id="frame${i}" src="${url}"></iframe>`).join('')}
<script type="importmap">${JSON.stringify({ imports })}</script>
<script>
  window.menus = 0;
  addEventListener('contextmenu', () => { ++menus; }, true);
  window.inputs = [];
  addEventListener('input', (e) => inputs.push(e.composedPath()[0].id + ' ' + e.inputType));
  // A form that locks itself while its menu is open, as one being sent does.
  locked.addEventListener('contextmenu', () => setTimeout(() => { locked.readOnly = true; }, 50));
  // A web component inside another, each with an open shadow root.
  for (const [name, inner] of [['x-field', '<input id="inner">'], ['x-card', '<x-field></x-field>']])
    customElements.define(name, class extends HTMLElement {
      constructor() { super(); this.attachShadow({ mode: 'open' }).innerHTML = inner; }
    });
</script>
<script type="module">
  import { EditorState } from 'prosemirror-state';
  import { EditorView } from 'prosemirror-view';
  import { schema } from 'prosemirror-schema-basic';
  window.view = new EditorView(editor, { state: EditorState.create({ schema }) });
  // Paragraphs and hard breaks alike are lines.
  window.editorText = () => view.state.doc.textBetween(0, view.state.doc.content.size, '\\n', '\\n');
</script>`;
}

function serve(handler, host) {
  const server = http.createServer(handler);
  return new Promise((done) => server.listen(0, host, () => done(server)));
}

// The screen point of an element: `find` runs in the frame of that origin,
// or in the page; a frame adds where its element lies in the page.
async function point(tab, find, origin) {
  const rect = `(() => { const r = (${find})().getBoundingClientRect();
      return [r.left + 8, r.top + r.height / 2]; })()`;
  const frame = origin && tab.frames().find((f) => f.url().startsWith(origin));
  let [x, y] = await (frame ?? tab).evaluate(rect);
  if (frame) {
    const [fx, fy] = await tab.evaluate((origin) => {
      const element = [...document.querySelectorAll('iframe')]
          .find((f) => f.src.startsWith(origin));
      const r = element.getBoundingClientRect();
      return [r.left + element.clientLeft, r.top + element.clientTop];
    }, origin);
    x += fx;
    y += fy;
  }
  const [left, top] = await tab.evaluate(() => globalThis.mozInnerScreenX === undefined ?
      [screenX + outerWidth - innerWidth, screenY + outerHeight - innerHeight] :
      [mozInnerScreenX, mozInnerScreenY]);
  return [Math.round(left + x), Math.round(top + y)];
}

// A click into the field, a right-click, the n-th entry of Tavro's submenu
// chosen with keys once the page has seen the menu asked for; then the
// permission prompt answered, if given.
async function pick(tab, find, n, { origin, answer } = {}) {
  const [x, y] = await point(tab, find, origin);
  const frame = (origin && tab.frames().find((f) => f.url().startsWith(origin))) || tab;
  const menus = () => frame.evaluate(() => globalThis.menus ?? 0);
  const before = await menus();
  xdotool('mousemove', x, y, 'click', 1);
  await sleep(150);
  xdotool('click', 3);
  await until(menus, (count) => count > before, 5000);
  await sleep(400);
  xdotool('key', ...keys.tavro, ...Array(n).fill('Down'), 'Return');
  if (answer) {
    await sleep(1500);
    xdotool('key', ...keys[answer]);
  }
}

// A pick and then what it should bring. Under a heavy load a menu may take
// its keys late and lose them: where nothing at all came, once more.
async function pickAndSee(tab, find, n, how, read, test) {
  await pick(tab, find, n, how);
  try {
    await until(read, test, 5000);
    return undefined;
  } catch (e) {
    const came = await read();
    if (came.length) throw e;
    xdotool('key', 'Escape', 'Escape', 'Escape');
    await sleep(500);
    await pick(tab, find, n, how);
    await until(read, test);
    return 'picked a second time';
  }
}

const value = (tab, find, origin) => async () => {
  const frame = origin ? tab.frames().find((f) => f.url().startsWith(origin)) : tab;
  return frame.evaluate(`(${find})().value ?? ''`);
};

const results = [];
async function check(name, test) {
  const begun = Date.now();
  try {
    const seen = await test();
    results.push(`ok    ${name}${seen ? `: ${seen}` : ''} (${Date.now() - begun} ms)`);
  } catch (e) {
    results.push(`FAIL  ${name}: ${e.message.split('\n')[0]}`);
    xdotool('key', 'Escape', 'Escape');
  }
}

async function main() {
  let entries = [['E-mail', 'me@example.org'], ['Address', '1 Main St\r\nTown']];
  save(entries);
  const hosts = ['127.0.0.1', '127.0.0.2', '127.0.0.3'];
  let html = '';
  const servers = await Promise.all(hosts.map((host) => serve((req, res) => {
    const file = /^\/npm\/([\w/.-]+)$/.exec(req.url);
    if (req.method === 'POST') {
      let body = '';
      req.on('data', (data) => { body += data; });
      req.on('end', () => {
        const [seq, what, ...args] = JSON.parse(body);
        calls.push({ seq, what, args });
        calls.sort((a, b) => a.seq - b.seq);
        res.writeHead(204, { 'Access-Control-Allow-Origin': '*' }).end();
      });
    } else if (file && !file[1].includes('..')) {
      res.writeHead(200, { 'Content-Type': 'text/javascript' })
          .end(fs.readFileSync(path.join(modules, file[1])));
    } else {
      res.writeHead(200, { 'Content-Type': 'text/html' })
          .end(req.url === '/' && host === hosts[0] ? html : '<input id="pay"><script>' +
                   'addEventListener("contextmenu", () => { ' +
                   'globalThis.menus = (globalThis.menus ?? 0) + 1; }, true)</script>');
    }
  }, host)));
  const [page, allowed, denied] = servers.map(
      (server, i) => `http://${hosts[i]}:${server.address().port}`);
  html = pageHtml([`${allowed}/frame`, `${denied}/frame`]);

  // A copy of the extension with the probe; the shipped one asks for no site.
  const extension = path.join(dir, 'extension');
  fs.cpSync(path.join(__dirname, '../../extension'), extension, { recursive: true });
  fs.appendFileSync(path.join(extension, 'background.js'), probe(`${page}/probe`));
  const home = path.join(dir, 'home');
  const hostManifest = firefox ?
    [path.join(home, '.mozilla/native-messaging-hosts'),
     { allowed_extensions: ['tavro@example.org'] }] :
    [path.join(dir, 'profile/NativeMessagingHosts'),
     { allowed_origins: ['chrome-extension://kiebalbnhhnpgcndjiiaajggckkhkeja/'] }];

  // The browser keeps its caches in the test's folder, and gets a TMPDIR
  // of its own, which the host's wrapper must not pass on to Wine.
  const env = { ...process.env, HOME: home, TMPDIR: path.join(dir, 'tmp'),
    XDG_CONFIG_HOME: path.join(dir, 'config'), XDG_CACHE_HOME: path.join(dir, 'cache') };
  for (const folder of [home, env.TMPDIR]) fs.mkdirSync(folder, { recursive: true });
  const browser = await puppeteer.launch(firefox ? {
    browser: 'firefox', executablePath: '/usr/lib/firefox-esr/firefox-esr',
    headless: false, env, defaultViewport: null, args: ['--width=1000', '--height=900'],
    // No notification service runs on the test's display: Firefox then
    // draws its notifications itself, as a desktop's service would.
    extraPrefsFirefox: { 'alerts.useSystemBackend': false },
  } : {
    executablePath: '/usr/lib/chromium/chromium', headless: false, pipe: true, env,
    userDataDir: path.join(dir, 'profile'), enableExtensions: [extension],
    defaultViewport: null,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-component-update', '--disable-background-networking',
           '--disable-sync', '--window-position=0,0', '--window-size=1000,900'],
  });
  try {
    if (firefox) await browser.installExtension(extension);
    console.log(`${await browser.version()}, puppeteer-core ${
      require('puppeteer-core/package.json').version}`);

    await check('no host: said on the button and in the menu, which comes ' +
                'once the bridge is on', async () => {
      await until(badge, (text) => text === '!', 20000);
      await until(() => menu().join('|'),
                  (items) => /^Tavro\|not connected \(.+\)\. In Tavro, choose Tools/.test(items));
      const [folder, allowedIds] = hostManifest;
      fs.mkdirSync(folder, { recursive: true });
      fs.writeFileSync(path.join(folder, 'org.example.tavro.json'), JSON.stringify({
        name: 'org.example.tavro', description: "Tavro's saved entries",
        path: path.join(dir, 'host.sh'), type: 'stdio', ...allowedIds }));
      const on = Date.now();
      await until(menu, (items) => items.join() === 'Tavro,E-mail,Address', 75000);
      await until(badge, (text) => text === '');
      return `the menu came ${Date.now() - on} ms after the bridge went on`;
    });

    await check('each Save reaches the menu, also one that makes the key anew',
                async () => {
      const followed = [];
      for (const [change, dropKey] of [
        [(list) => [...list, ['Phone', '555 0100']]],
        [([email, ...rest]) => [[email[0], 'ann@example.org'], ...rest.slice(0, -1)], true],
        [(list) => [...list, ['Fax', '555 0199']]],
      ]) {
        entries = change(entries);
        const before = Date.now();
        save(entries, { dropKey });
        const after = Date.now();
        await until(menu, (items) => items.join() ===
                    ['Tavro', ...entries.map(([title]) => title)].join());
        followed.push(Date.now() - after);
        assert.ok(Date.now() - before < 3000);
      }
      return `after ${followed.join(', ')} ms`;
    });

    const tab = (await browser.pages())[0];
    await tab.goto(`${page}/`);
    await tab.waitForFunction(() => globalThis.editorText);
    await tab.bringToFront();
    const notices = told().length;
    const picks = [
      ['a text field, its lines joined', '() => line', 1, {}, value(tab, '() => line'),
        '1 Main St Town'],
      ['a text area', '() => area', 1, {}, value(tab, '() => area'), '1 Main St\nTown'],
      ['a field in a web component', "() => document.querySelector('x-card')" +
        ".shadowRoot.querySelector('x-field').shadowRoot.querySelector('input')", 0, {},
        value(tab, "() => document.querySelector('x-card').shadowRoot." +
              "querySelector('x-field').shadowRoot.querySelector('input')"),
        'ann@example.org'],
      ['a rich editor (ProseMirror), into its own document',
        "() => document.querySelector('.ProseMirror')", 1, {},
        () => tab.evaluate(() => editorText()), '1 Main St\nTown'],
      ['a frame from another site, allowed when asked', '() => pay', 0,
        { origin: allowed, answer: 'allow' }, value(tab, '() => pay', allowed), 'ann@example.org'],
    ];
    for (const [name, find, n, how, read, expected] of picks)
      await check(name, () => pickAndSee(tab, find, n, how, read,
                                         (text) => text === expected));
    await check('no notice for the picks that worked', async () => {
      assert.deepEqual(told().slice(notices), []);
      const inputs = await tab.evaluate(() => inputs);
      for (const field of ['line', 'area', 'inner'])
        assert.ok(inputs.includes(`${field} insertText`), field);
    });
    for (const [name, find, how, notice] of [
      ['a frame from another site, denied: told', '() => pay',
        { origin: denied, answer: 'deny' }, /frame from 127\.0\.0\.3.*permission/],
      ['a field locked while the menu was open: told', '() => locked', {},
        /read-only/],
    ])
      await check(name, async () => {
        const before = told().length;
        const retried = await pickAndSee(tab, find, 0, how,
            () => told().slice(before), (list) => list.length);
        const note = told()[before];
        assert.match(note, notice);
        assert.equal(await value(tab, find, how.origin)(), '');
        return `"${note}"${typeof retried === 'string' ? `, ${retried}` : ''}`;
      });

    await check('a list of several megabytes: its Titles, and a pick its Content',
                async () => {
      const letters = Array.from({ length: 300 }, (_, i) => [
        `Letter ${i}`, `${i}: ${'Dear reader, '.repeat(1000)}`]);
      save(letters);
      await until(menu, (items) => items.length === 301, 20000);
      await pickAndSee(tab, '() => letter', 2, {}, value(tab, '() => letter'),
                       (text) => text === letters[2][1]);
      const bytes = letters.reduce((sum, [t, c]) => sum + t.length + c.length, 0);
      return `${(bytes / 1048576).toFixed(1)} MiB saved`;
    });
  } finally {
    await browser.close();
    servers.forEach((server) => server.close());
  }
  console.log(results.join('\n'));
  console.log(`in all ${Date.now() - started} ms`);
  if (results.some((line) => line.startsWith('FAIL'))) process.exit(1);
}

main().then(() => console.log('real browser: all passed'), (e) => {
  console.error(e);
  console.log(results.join('\n'));
  process.exit(1);
});
