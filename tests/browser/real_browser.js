// Tavro's extension in Debian's chromium, headless, driven by puppeteer-core:
// the worker's menu holds the saved Titles from TavroHost.exe under Wine and
// follows each Save, and a pick inserts the Content into the focused field
// of a page. Argument: the folder of the profile, which holds the host's
// manifest, and of the host's wrapper and its stamps. Needs WINEPREFIX.
'use strict';
const { execFileSync } = require('child_process');
const assert = require('assert/strict');
const fs = require('fs');
const http = require('http');
const path = require('path');
const puppeteer = require('puppeteer-core');

const wine = '/usr/lib/wine/wine64';
const [dir] = process.argv.slice(2);
const id = 'kiebalbnhhnpgcndjiiaajggckkhkeja';
const key = 'HKEY_CURRENT_USER\\Software\\TavroBrowserTest\\MenuExt';
const started = Date.now();

// Writes the entries as Tavro's Save does, in one burst: every marked
// subkey removed, then one per entry in list order, line breaks encoded.
// The first starts from no key at all.
let saved = null;
function save(entries) {
  const quote = (s) => s.replace(/\\/g, '\\\\').replace(/"/g, '\\"');
  const lines = ['REGEDIT4', ''];
  for (const name of saved ?? [null])
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

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
async function until(what, test, ms = 10000) {
  for (const end = Date.now() + ms; ;) {
    const value = await what();
    if (test(value)) return value;
    if (Date.now() > end) assert.fail(`not in time: ${JSON.stringify(value)}`);
    await sleep(5);
  }
}

const page = `<!doctype html><title>fields</title>
<input id="line"><textarea id="area"></textarea><input id="locked" readonly>
<script>
  window.inputs = [];
  addEventListener('input', (e) => inputs.push(e.target.id + ' ' + e.inputType));
</script>`;

async function main() {
  let entries = [['E-mail', 'me@example.org'], ['Address', '1 Main St\r\nTown']];
  save(entries);
  const server = http.createServer((_, res) => res.end(page));
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  // A click on the real menu grants activeTab; a pick run from here needs
  // the page's host granted instead, in a copy with the same key.
  const extension = path.join(dir, 'extension');
  fs.cpSync(path.join(__dirname, '../../extension'), extension, { recursive: true });
  const manifest = JSON.parse(fs.readFileSync(path.join(extension, 'manifest.json')));
  manifest.host_permissions = ['http://127.0.0.1/*'];
  fs.writeFileSync(path.join(extension, 'manifest.json'), JSON.stringify(manifest));

  const browser = await puppeteer.launch({
    executablePath: '/usr/lib/chromium/chromium', headless: true, pipe: true,
    userDataDir: path.join(dir, 'profile'), enableExtensions: [extension],
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic',
           '--disable-component-update'],
  });
  try {
    console.log(`${await browser.version()}, puppeteer-core ${
      require('puppeteer-core/package.json').version}`);
    const target = await browser.waitForTarget(
        (t) => t.type() === 'service_worker' &&
               t.url().startsWith(`chrome-extension://${id}/`));
    const worker = await target.worker();
    const listed = () => worker.evaluate(() => entries);
    // Already there at the first look, it came sooner than measured.
    const atOnce = (await listed()).length > 0;
    const first = await until(listed, (list) => list.length > 0);
    const connected = Number(fs.readFileSync(path.join(dir, 'connects'), 'utf8'));
    console.log(`first list: in the worker ${atOnce ? 'at most ' : ''}` +
                `${Date.now() - connected} ms after the connect`);
    assert.deepEqual(first.map((e) => [e.title, e.content]), entries);

    // The menu the first list built came before a test could look; from
    // here on each one built is kept, with its errors.
    await worker.evaluate(() => {
      const { create, removeAll } = api.contextMenus;
      globalThis.built = [];
      api.contextMenus.removeAll = (done) => removeAll.call(api.contextMenus, () => {
        built = [];
        done();
      });
      api.contextMenus.create = (item) => create.call(api.contextMenus, item, () =>
        built.push(`${item.title}: ${chrome.runtime.lastError?.message ?? 'made'}`));
    });
    for (const change of [
      (list) => [...list, ['Phone', '555 0100']],
      ([email, ...rest]) => [[email[0], 'ann@example.org'], ...rest.slice(0, -1)],
      (list) => [...list, ['Fax', '555 0199']],
    ]) {
      entries = change(entries);
      const menu = ['Tavro', ...entries.map(([title]) => title)]
          .map((title) => `${title}: made`);
      const before = Date.now();
      save(entries);
      const after = Date.now();
      await until(() => worker.evaluate(() => built),
                  (built) => built.join() === menu.join());
      const followed = Date.now();
      console.log(`the menu followed a save ${followed - after} ms after it ` +
                  `(${followed - before} ms after its start)`);
      assert.ok(followed - after < 1000);
      assert.deepEqual((await listed()).map((e) => [e.title, e.content]), entries);
    }
    assert.equal(fs.readFileSync(path.join(dir, 'connects'), 'utf8').trim(),
                 String(connected), 'the worker connected again');

    // Picks as a click runs them, each into the field focused then.
    const tab = await browser.newPage();
    await tab.goto(`http://127.0.0.1:${server.address().port}/`);
    const tabId = await worker.evaluate(
        async () => (await chrome.tabs.query({ url: 'http://127.0.0.1/*' }))[0].id);
    assert.ok(await worker.evaluate(
        () => api.contextMenus.onClicked.hasListener(onMenuClicked)));
    const fields = () => tab.evaluate(
        () => [line.value, area.value, locked.value, inputs]);
    const pick = async (field, n) => {
      await tab.focus(field);
      await worker.evaluate((n, tabId) => onMenuClicked(
          { menuItemId: `tavro-${n}`, editable: true, frameId: 0 }, { id: tabId }),
      n, tabId);
    };
    await pick('#line', 0);
    assert.deepEqual(await until(fields, ([value]) => value),
                     ['ann@example.org', '', '', ['line insertText']]);
    await pick('#area', 1);
    const [, area, , inputs] = await until(fields, ([, value]) => value);
    assert.equal(area, '1 Main St\nTown');
    assert.deepEqual([...new Set(inputs)], ['line insertText', 'area insertText']);
    // A read-only field takes nothing; a later script in the same frame
    // shows that the pick has had its turn.
    await pick('#locked', 2);
    await worker.evaluate((tabId) => api.scripting.executeScript(
        { target: { tabId, frameIds: [0] }, func: () => 0 }), tabId);
    assert.deepEqual(await fields(), ['ann@example.org', area, '', inputs]);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`in all ${Date.now() - started} ms`);
}

main().then(() => console.log('real browser: all passed'), (e) => {
  console.error(e);
  process.exit(1);
});
