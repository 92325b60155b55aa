#!/usr/bin/env python3
"""Finishes the built site: names the build after its files in the service
worker (so that a new build replaces the cached one) and writes .gz copies,
and .br ones when a brotli command is given, of its text and WebAssembly
files for servers that send them as they are.

    finish_site.py SITE_DIR SW_TEMPLATE [BROTLI]
"""
import gzip
import hashlib
import json
import os
import subprocess
import sys

COMPRESSED = ('.html', '.js', '.css', '.wasm', '.webmanifest', '.json', '.txt', '.svg')


def site_files(site):
    for base, _, names in os.walk(site):
        for name in names:
            path = os.path.relpath(os.path.join(base, name), site).replace(os.sep, '/')
            if not path.endswith(('.gz', '.br')) and path != 'sw.js':
                yield path


def write_if_changed(path, data):
    try:
        with open(path, 'rb') as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, 'wb') as f:
        f.write(data)


def main():
    site, template = sys.argv[1], sys.argv[2]
    brotli = sys.argv[3] if len(sys.argv) > 3 else ''
    files = sorted(site_files(site))
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b'\0')
        with open(os.path.join(site, name), 'rb') as f:
            digest.update(hashlib.sha256(f.read()).digest())
    with open(template, encoding='utf-8') as f:
        worker = f.read()
    worker = worker.replace("const VERSION = 'dev';", f"const VERSION = '{digest.hexdigest()[:16]}';")
    worker = worker.replace('const FILES = [];', f'const FILES = {json.dumps(files)};')
    write_if_changed(os.path.join(site, 'sw.js'), worker.encode())

    for name in files + ['sw.js']:
        if not name.endswith(COMPRESSED):
            continue
        path = os.path.join(site, name)
        with open(path, 'rb') as f:
            data = f.read()
        write_if_changed(path + '.gz', gzip.compress(data, compresslevel=9, mtime=0))
        if brotli:
            subprocess.run([brotli, '-f', '-q', '11', '-o', path + '.br', path], check=True)


if __name__ == '__main__':
    main()
