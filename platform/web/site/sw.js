// The site kept for playing with the network off: every file of this build
// in a cache named after it (the build writes VERSION and FILES), served
// from there first. A new build's worker fills a new cache and drops the old.
'use strict';
const VERSION = 'dev';
const FILES = [];
const CACHE = `mogumo-${VERSION}`;

self.addEventListener('install', (e) => {
  e.waitUntil(caches.open(CACHE).then((c) => c.addAll(['./', ...FILES])).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (e) => {
  e.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k.startsWith('mogumo-') && k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (e) => {
  if (e.request.method !== 'GET') return;
  e.respondWith(caches.open(CACHE)
    .then((c) => c.match(e.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(e.request)));
});
