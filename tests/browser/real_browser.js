// Tavro's extension in Debian's chromium, headless, driven by puppeteer-core:
// the worker's menu holds the saved Titles from TavroHost.exe and follows a
// Save, and a pick inserts the Content into the focused field of a page.
// Argument: the folder of the profile, the host's wrapper and its stamps.
// Needs WINEPREFIX.
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

// Writes the entries as Tavro's Save does: every marked subkey removed,
// then one per entry in list order, line breaks encoded.
// The first starts from no key at all.
let saved = null;
function save(entries) {
  const quote = (s) => s.replace(/\\/g, '\\\\').replace(/"/g, '\\"');
  const lines = ['REGEDIT4', ''];
  for (const name of saved ?? ['']) lines.push(`[-${key}\\${name}]`, '');
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
    if (Date.now() > end) assert.fail(`in time: ${JSON.stringify(value)}`);
    await sleep(5);
  }
}

const page = `<!doctype html><title>fields</title>
<input id="line"><textarea id="area"></textarea><input id="locked" readonly>
<script>
  window.inputs = [];
  addEventListener('input', (e) => inputs.push([e.target.id, e.inputType]));
</script>`;

async function main() {
  let entries = [['E-mail', 'me@example.org'], ['Address', '1 Main St\r\nTown']];
  save(entries);
  const server = http.createServer((_, res) => res.end(page));
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  const browser = await puppeteer.launch({
    executablePath: '/usr/lib/chromium/chromium', headless: true, pipe: true,
    userDataDir: path.join(dir, 'profile'), enableExtensions: [path.join(__dirname, "../../extension")],
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic',
           '--disable-component-update'],
  });
  try {
    const target = await browser.waitForTarget(
        (t) => t.type() === 'service_worker' && t.url().includes(id));
    const worker = await target.worker();
    const listed = () => worker.evaluate(() => entries);
    const first = await until(listed, (list) => list.length > 0);
    const connects = fs.readFileSync(path.join(dir, 'connects'), 'utf8').split('\n');
    console.log(`first list: ${Date.now() - Number(connects[0])} ms after the connect`);
    assert.deepEqual(first.map((e) => [e.title, e.content]), entries);
  } finally {
    await browser.close();
    server.close();
  }
}

main().then(() => console.log('real browser: all passed'), (e) => {
  console.error(e);
  process.exit(1);
});
