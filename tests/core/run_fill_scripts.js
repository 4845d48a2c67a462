// Runs generated fill scripts the way the browser would and reports every
// case whose typed text differs from the expected one.
//
// Usage: node run_fill_scripts.js <folder> [encoding]
// <folder>/manifest.txt holds one case per line, tab-separated:
//   file name, element type ("-" for none), expected typed text as
//   "=" + hex bytes, or "-" when nothing may be typed.
// Exit status 0 when every case passes, 1 otherwise.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const OPEN_TAG = '<SCRIPT LANGUAGE="JavaScript" defer>';

// A page without a charset is read in the system's code page: "shift_jis"
// or "gbk" for double-byte ones. Latin1 keeps every other byte one
// character, so comparisons stay exact.
const encoding = process.argv[3] || 'latin1';
function decode(bytes) {
  return encoding === 'latin1' ? bytes.toString('latin1')
                               : new TextDecoder(encoding).decode(bytes);
}

function fromHex(hex) {
  return decode(Buffer.from(hex, 'hex'));
}

function show(text) {
  return JSON.stringify(text);
}

// The script element's text as an HTML parser sees it: line breaks are
// normalised before tokenising, NUL becomes U+FFFD, and the element ends at
// the first "</script" in any case.
function scriptBody(html) {
  const input = html.replace(/\r\n?/g, '\n');
  const start = input.indexOf(OPEN_TAG);
  if (start !== 0) throw new Error('the file does not start with ' + OPEN_TAG);
  const from = start + OPEN_TAG.length;
  const end = input.toLowerCase().indexOf('</script', from);
  if (end < 0) throw new Error('the script element is never closed');
  const body = input.slice(from, end);
  // "<!--" in script data switches the tokenizer into its escaped states,
  // where "<script" changes which end tag closes the element.
  if (body.includes('<!--')) throw new Error('"<!--" inside the script');
  return body.replace(/\0/g, '\uFFFD');
}

function run(body, type) {
  const typed = [];
  const range = {
    set text(value) {
      typed.push(String(value));
    },
    get text() {
      return '';
    },
  };
  const activeElement = type === undefined ? {} : {type};
  const document = {
    selection: {createRange: () => range},
    activeElement,
  };
  vm.runInNewContext(body, {external: {menuArguments: {document}}},
                     {timeout: 2000});
  return typed;
}

function check(folder, file, type, expected) {
  const html = decode(fs.readFileSync(path.join(folder, file)));
  const typed = run(scriptBody(html), type);
  const want = expected === undefined ? [] : [expected];
  if (typed.length !== want.length || typed.some((t, i) => t !== want[i])) {
    return 'typed ' + show(typed) + ', want ' + show(want);
  }
  return null;
}

function main() {
  const folder = process.argv[2];
  if (!folder) {
    console.error('usage: node run_fill_scripts.js <folder>');
    return 2;
  }
  const lines = fs.readFileSync(path.join(folder, 'manifest.txt'), 'latin1')
                    .split('\n')
                    .filter((line) => line !== '');
  let failed = 0;
  for (const line of lines) {
    const [file, typeField, expectedField] = line.split('\t');
    const type = typeField === '-' ? undefined : typeField;
    const expected =
        expectedField === '-' ? undefined : fromHex(expectedField.slice(1));
    let problem;
    try {
      problem = check(folder, file, type, expected);
    } catch (e) {
      problem = (e && e.name ? e.name + ': ' : '') + (e && e.message);
    }
    if (problem) {
      ++failed;
      console.log('FAIL ' + file + ' (type ' + typeField + '): ' + problem);
    }
  }
  console.log(lines.length + ' cases, ' + failed + ' failed');
  return failed === 0 && lines.length > 0 ? 0 : 1;
}

process.exitCode = main();
