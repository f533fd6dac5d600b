// The page works offline once loaded: every file of the site is kept in the
// cache at install, and served from it when the network does not answer.
// A new build changes this file's version, which replaces the cache.
const VERSION = 'varnelcfg-2';
const FILES = ['./', 'index.html', 'page.js', 'serial.js', 'page.css', 'varnelcfg.js', 'varnelcfg.wasm',
  'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(VERSION).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k !== VERSION).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// The site's own files: the network first (a fresh build is seen at once),
// the cache when offline. Anything else (firmware servers) is not cached.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(VERSION).then((cache) => cache.put(event.request, copy));
    }
    return response;
  }).catch(() => caches.match(event.request, { ignoreSearch: true })));
});
