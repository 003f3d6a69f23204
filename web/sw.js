// The page offline: every file of the page is cached when this worker installs and served
// from that cache first, so the field app keeps computing with no network at all.
'use strict';

// scripts/build-web.sh writes a hash of the page's files here, so that any changed file
// makes a new cache (and a new worker); the placeholder stays only in an unbuilt web/.
const kCache = 'bendwise-@BENDWISE_FILES_HASH@';
// Relative to this worker's folder: the page works from any path on the server. "./" is
// the folder address itself, which servers answer with index.html.
// bendwise-wasm.js is only for a page opened from disk, where no worker runs.
const kFiles = ['./', 'index.html', 'app.js', 'bendwise.js', 'bendwise.wasm', 'bendwise.svg',
                'manifest.webmanifest'];

self.addEventListener('install', (event) => {
    // cache: 'reload' skips the browser's HTTP cache, which may still hold the old files.
    event.waitUntil(caches.open(kCache)
        .then((cache) => cache.addAll(kFiles.map((f) => new Request(f, {cache: 'reload'}))))
        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys()
        .then((names) => Promise.all(names
            .filter((name) => name.startsWith('bendwise-') && name !== kCache)
            .map((name) => caches.delete(name))))
        .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET') return;
    // The address's query plays no part in the page (its state is in the fragment).
    event.respondWith(caches.open(kCache)
        .then((cache) => cache.match(request, {ignoreSearch: true}))
        .then((hit) => hit || fetch(request)));
});
