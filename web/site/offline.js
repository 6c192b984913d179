// The page's service worker: it keeps a copy of the site so that the page
// loads and works offline once it has been loaded. Each request goes to the
// network first and refreshes the copy, so a new build is seen as soon as it
// is served; the copy answers only when the network does not.
'use strict';

const COPY = 'screen-viewer-site';
const SITE = ['./', 'index.html', 'page.css', 'page.js', 'png.js', 'worker.js', 'krt.wasm', 'favicon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(COPY).then((copy) => copy.addAll(SITE)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith(fetch(request).then((answer) => {
    if (answer.ok) {
      const kept = answer.clone();
      event.waitUntil(caches.open(COPY).then((copy) => copy.put(request, kept)));
    }
    return answer;
  }, async () => (await caches.match(request, {ignoreSearch: true})) ?? Response.error()));
});
