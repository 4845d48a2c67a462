#!/usr/bin/env python3
"""Pack the browsers' extension for the stores.

python3 tools/pack_extension.py OUTDIR VERSION [SOURCE]

writes OUTDIR/Tavro-VERSION-chrome.zip, for the Chrome Web Store and Edge
Add-ons, and OUTDIR/Tavro-VERSION-firefox.xpi, for addons.mozilla.org, from
the folder SOURCE (extension/ by default), and prints their paths. VERSION
is the project's major.minor; a manifest of another version is refused:
the stores read the version from it, not from the file's name.
"""
import json
import os
import sys
import zipfile

# What each store's manifest leaves out of the folder's. The key only fixes
# the id of the unpacked folder: the Chrome Web Store and Edge Add-ons
# refuse it and give ids of their own, and Firefox takes its id from
# gecko.id. Chrome and Edge read no browser_specific_settings and flag it as
# unknown. Each keeps only the background its browser runs: Chrome and Edge
# flag scripts as a Manifest V2 key, and Firefox runs no service worker for
# an extension.
DROPPED = {
    'chrome': ['key', 'browser_specific_settings', 'background.scripts'],
    'firefox': ['key', 'background.service_worker'],
}
PACKAGES = {'chrome': 'zip', 'firefox': 'xpi'}

# The same folder packs to the same bytes.
STAMP = (2000, 1, 1, 0, 0, 0)


def files_of(source):
    """The folder's files, relative and sorted; dotfiles and dot folders
    (an editor's or the system's) stay out."""
    found = []
    for top, dirs, files in os.walk(source):
        dirs[:] = [d for d in dirs if not d.startswith('.')]
        for name in files:
            if not name.startswith('.'):
                path = os.path.join(top, name)
                found.append(os.path.relpath(path, source).replace(os.sep, '/'))
    return sorted(found)


def store_manifest(manifest, browser):
    manifest = json.loads(json.dumps(manifest))
    for dotted in DROPPED[browser]:
        *parents, last = dotted.split('.')
        node = manifest
        for part in parents:
            node = node.get(part, {})
        node.pop(last, None)
    return manifest


def add(archive, name, data):
    info = zipfile.ZipInfo(name, STAMP)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def pack(out, version, source):
    with open(os.path.join(source, 'manifest.json'), encoding='utf-8') as f:
        manifest = json.load(f)
    if manifest.get('version') != version:
        sys.exit(f"{source}/manifest.json has version "
                 f"{manifest.get('version')}, but the project is {version}")
    os.makedirs(out, exist_ok=True)
    paths = []
    for browser, suffix in PACKAGES.items():
        path = os.path.join(out, f'Tavro-{version}-{browser}.{suffix}')
        text = json.dumps(store_manifest(manifest, browser), indent=2,
                          ensure_ascii=False) + '\n'
        with zipfile.ZipFile(path + '.part', 'w') as archive:
            add(archive, 'manifest.json', text.encode('utf-8'))
            for name in files_of(source):
                if name != 'manifest.json':
                    with open(os.path.join(source, name), 'rb') as f:
                        add(archive, name, f.read())
        os.replace(path + '.part', path)
        paths.append(path)
    return paths


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit('usage: pack_extension.py OUTDIR VERSION [SOURCE]')
    source = sys.argv[3] if len(sys.argv) > 3 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'extension')
    for path in pack(sys.argv[1], sys.argv[2], os.path.normpath(source)):
        print(path)


if __name__ == '__main__':
    main()
