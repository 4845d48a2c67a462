// TavroHost.exe under Wine, driven as a browser drives it: framed JSON on
// its standard input, framed JSON back. Arguments: TavroHost.exe, and
// "double-byte" in a Chinese prefix. Needs WINEPREFIX.
'use strict';
const { spawn, execFileSync } = require('child_process');
const assert = require('assert/strict');

const wine = '/usr/lib/wine/wine64';
const [exe, mode] = process.argv.slice(2);
const key = 'HKCU\\Software\\TavroHostTest\\MenuExt';
const env = { ...process.env,
  TAVRO_HOST_MENU_KEY: '\\Software\\TavroHostTest\\MenuExt\\' };

// Wine's reg.exe now and then fails under a heavy load: once more, and then
// its own words.
function reg(...args) {
  for (let attempt = 1; ; ++attempt) {
    try {
      return execFileSync(wine, ['reg', ...args, '/f'],
                          { stdio: ['ignore', 'ignore', 'pipe'], env });
    } catch (e) {
      if (attempt === 2 || args[0] === 'delete')
        throw new Error(`reg ${args.join(' ')}: ${e.stderr}`);
    }
  }
}
function regDelete(path) {
  try { reg('delete', path); } catch { /* not there */ }
}
const addEntry = (name, content) =>
  reg('add', `${key}\\${name}`, '/v', 'Tavro', '/d', content);
function keyExists() {
  try {
    execFileSync(wine, ['reg', 'query', key], { stdio: 'ignore', env });
    return true;
  } catch { return false; }
}

function frame(body) {
  const bytes = Buffer.isBuffer(body) ? body : Buffer.from(JSON.stringify(body));
  const header = Buffer.alloc(4);
  header.writeUInt32LE(bytes.length);
  return Buffer.concat([header, bytes]);
}

class Host {
  constructor() {
    this.process = spawn(wine, [exe], { env, stdio: ['pipe', 'pipe', 'ignore'] });
    this.bytes = Buffer.alloc(0);
    this.messages = [];
    this.waiting = null;
    this.process.stdout.on('data', (data) => {
      this.bytes = Buffer.concat([this.bytes, data]);
      while (this.bytes.length >= 4 &&
             this.bytes.length >= 4 + this.bytes.readUInt32LE(0)) {
        const length = this.bytes.readUInt32LE(0);
        this.messages.push(JSON.parse(this.bytes.subarray(4, 4 + length)));
        this.bytes = this.bytes.subarray(4 + length);
      }
      if (this.waiting && this.messages.length) this.waiting();
    });
    this.exit = new Promise((done) => this.process.on('exit', done));
  }
  send(body) { this.process.stdin.write(Buffer.isBuffer(body) ? body : frame(body)); }
  async next(ms = 10000) {
    if (!this.messages.length) {
      await new Promise((done, fail) => {
        const timer = setTimeout(() => fail(new Error('no message in time')), ms);
        this.waiting = () => { clearTimeout(timer); done(); };
      });
      this.waiting = null;
    }
    return this.messages.shift();
  }
  close() { this.process.stdin.end(); return this.exit; }
}

async function main() {
  regDelete(key);
  {
    const host = new Host();
    host.send({ type: 'list' });
    assert.deepEqual(await host.next(), { type: 'list', entries: [] });
    assert.equal(keyExists(), false, 'the host created the menu key');
    // The key a first Save makes is found, and its list sent unasked.
    addEntry('00.First', 'x');
    assert.deepEqual((await host.next()).entries.map((e) => e.title), ['First']);
    assert.equal(await host.close(), 0);
    regDelete(key);
  }

  const title = mode === 'double-byte' ? '林浩' : 'E-mail';
  addEntry(`00.${title}`, mode === 'double-byte' ? '作者\\r\\n地址' : 'me@example.org');
  addEntry('01.Address', '1 Main St\\r\\nTown');
  reg('add', `${key}\\Foreign`, '/ve', '/d', 'res://other.htm');
  const host = new Host();
  host.send({ type: 'list', id: 1 });
  const listed = await host.next();
  assert.deepEqual(listed.entries, [{ title }, { title: 'Address' }]);
  // A pick asks for its Content, which the list does not carry.
  host.send({ type: 'content', index: 0, title });
  assert.deepEqual(await host.next(), { type: 'content', index: 0,
    content: mode === 'double-byte' ? '作者\r\n地址' : 'me@example.org' });
  host.send({ type: 'content', index: 1, title: 'Address' });
  assert.equal((await host.next()).content, '1 Main St\r\nTown');
  if (mode === 'double-byte') return host.close();

  // A change arrives without being asked for.
  for (const [name, titles] of [['02.Phone', 3], ['03.Fax', 4]]) {
    addEntry(name, '555 0100');
    const changed = Date.now();
    const pushed = await host.next();
    console.log(`${name}: the list came ${Date.now() - changed} ms after`);
    assert.equal(pushed.entries.length, titles);
    assert.equal(pushed.entries.at(-1).title, name.slice(3));
  }
  // The key deleted and made again, as another tool might: the host finds
  // it again and goes on sending.
  regDelete(key);
  assert.deepEqual((await host.next()).entries, []);
  addEntry('00.Again', 'x');
  assert.deepEqual((await host.next()).entries, [{ title: 'Again' }]);
  addEntry('01.Later', 'y');
  assert.deepEqual((await host.next()).entries.map((e) => e.title),
                   ['Again', 'Later']);

  host.send(Buffer.concat([frame(Buffer.from('{"type":')),
                           frame({ type: 'save' })]));
  assert.equal((await host.next()).type, 'error');
  assert.match((await host.next()).error, /Unknown request type "save"/);
  // A request near 1 MiB, and bytes that are not UTF-8, are not echoed.
  host.send(frame(Buffer.from(`{"type":"${'x'.repeat(1024 * 1024 - 20)}"}`)));
  assert.ok(JSON.stringify(await host.next()).length < 200);
  host.send(frame(Buffer.from([...Buffer.from('{"type":"'), 0xff, ...Buffer.from('"}')])));
  assert.match((await host.next()).error, /"\ufffd"/);
  host.send({ type: 'list' });
  assert.equal((await host.next()).entries.length, 2);
  assert.equal(await host.close(), 0);

  const oversized = new Host();
  oversized.send(Buffer.from([1, 0, 16, 0]));  // 1 MiB and one byte
  assert.match((await oversized.next()).error, /at most 1 MiB/);
  assert.equal(await oversized.exit, 1);

  const cut = new Host();
  cut.send(Buffer.from([9, 0, 0, 0, 123]));
  assert.equal(await cut.close(), 0);
  assert.equal(cut.messages.length, 0);
  regDelete('HKCU\\Software\\TavroHostTest');
}

main().then(() => console.log('host protocol: all passed'), (e) => {
  console.error(e);
  process.exit(1);
});
