#!/usr/bin/env python3
"""The extension's packages for the stores, made by tools/pack_extension.py
and checked offline against what the stores ask of a manifest; the ids the
host manifests admit checked against the extension's own.

python3 store_packages_test.py VERSION   (the project's major.minor)
"""
import base64
import hashlib
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
SOURCE = os.path.join(ROOT, 'extension')
VERSION = sys.argv.pop(1) if len(sys.argv) > 1 else ''
# What a package must hold: the folder's files, no dotfiles.
SHIPPED = {name for name in os.listdir(SOURCE) if not name.startswith('.')}

# The package, the background its browser runs, the one it must not carry,
# and what else its manifest leaves out.
PACKAGES = [
    ('chrome.zip', 'service_worker', 'scripts', ['key', 'browser_specific_settings']),
    ('firefox.xpi', 'scripts', 'service_worker', ['key']),
]


def pack(out, version=VERSION, source=SOURCE):
    return subprocess.run(
        [sys.executable, os.path.join(ROOT, 'tools', 'pack_extension.py'),
         out, version, source], capture_output=True, text=True)


def read(name):
    with open(os.path.join(ROOT, name), encoding='utf-8') as f:
        return f.read()


def named_files(value):
    """The files a manifest names, wherever it names them."""
    if isinstance(value, dict):
        return {f for v in value.values() for f in named_files(v)}
    if isinstance(value, list):
        return {f for v in value for f in named_files(v)}
    path = isinstance(value, str) and re.fullmatch(r'[\w/.-]+\.(js|png|html|css|json)', value)
    return {value} if path else set()


class StorePackages(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        self.source = json.loads(read('extension/manifest.json'))

    def test_each_package_is_what_its_store_takes(self):
        self.assertEqual(pack(self.dir).returncode, 0)
        for suffix, runs, other, left_out in PACKAGES:
            with self.subTest(suffix), zipfile.ZipFile(
                    os.path.join(self.dir, f'Tavro-{VERSION}-{suffix}')) as z:
                self.assertIsNone(z.testzip())
                names = set(z.namelist())
                self.assertEqual(names, SHIPPED)
                for name in names - {'manifest.json'}:
                    with open(os.path.join(SOURCE, name), 'rb') as f:
                        self.assertEqual(z.read(name), f.read(), name)
                m = json.loads(z.read('manifest.json'))
                self.assertEqual(m['manifest_version'], 3)
                self.assertEqual(m['version'], VERSION)
                self.assertRegex(m['version'], r'^(0|[1-9]\d*)(\.(0|[1-9]\d*)){0,3}$')
                self.assertTrue(0 < len(m['name']) <= 75)
                self.assertTrue(0 < len(m['description']) <= 132)
                self.assertLessEqual(named_files(m), names)
                # The stores' icon, and each icon the size its key says.
                self.assertIn('128', m['icons'])
                for size, icon in m['icons'].items():
                    header = z.read(icon)[:24]
                    self.assertEqual(header[:8], b'\x89PNG\r\n\x1a\n', icon)
                    self.assertEqual(struct.unpack('>II', header[16:24]),
                                     (int(size), int(size)), icon)
                self.assertIn(runs, m['background'])
                self.assertNotIn(other, m['background'])
                self.assertFalse(m.keys() & set(left_out))
                for key in self.source.keys() - set(left_out) - {'background'}:
                    self.assertEqual(m[key], self.source[key], key)

    def test_firefox_keeps_the_id_its_host_manifest_admits(self):
        self.assertEqual(pack(self.dir).returncode, 0)
        with zipfile.ZipFile(os.path.join(self.dir, f'Tavro-{VERSION}-firefox.xpi')) as z:
            manifest = json.loads(z.read('manifest.json'))
        gecko = manifest['browser_specific_settings']['gecko']
        self.assertIn(f'[\\"{gecko["id"]}\\"]', read('src/core/BrowserRegistration.cpp'))
        self.assertGreaterEqual(float(gecko['strict_min_version']), 128)
        self.assertTrue(gecko['data_collection_permissions']['required'])

    def test_the_unpacked_key_gives_the_id_the_host_manifest_admits(self):
        digest = hashlib.sha256(base64.b64decode(self.source['key'])).hexdigest()[:32]
        unpacked = ''.join('abcdefghijklmnop'[int(c, 16)] for c in digest)
        self.assertIn(f'chrome-extension://{unpacked}/',
                      read('src/core/BrowserRegistration.cpp'))

    def test_what_is_not_packed(self):
        copy = os.path.join(self.dir, 'extension')
        shutil.copytree(SOURCE, copy)
        for name in ('.DS_Store', '.vscode/settings.json'):
            os.makedirs(os.path.dirname(os.path.join(copy, name)), exist_ok=True)
            open(os.path.join(copy, name), 'w').close()
        cases = [
            # version, packed
            (VERSION, True),
            ('0.1', False),  # not the manifest's
        ]
        for version, packed in cases:
            with self.subTest(version):
                out = os.path.join(self.dir, version)
                self.assertEqual(pack(out, version, copy).returncode == 0, packed)
                made = os.listdir(out) if os.path.isdir(out) else []
                self.assertEqual(len(made), 2 if packed else 0)
                for name in made:
                    with zipfile.ZipFile(os.path.join(out, name)) as z:
                        self.assertEqual(set(z.namelist()), SHIPPED)


if __name__ == '__main__':
    if not VERSION:
        sys.exit('usage: store_packages_test.py VERSION')
    unittest.main()
