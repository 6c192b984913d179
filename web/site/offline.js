// The page's service worker: it keeps a copy of the site so that the page
// loads and works offline once it has been loaded. The build stamps its
// version into this file, so each build's site is kept apart from the one
// before: the browser sees this file change, installs the new copy beside
// the old, and the old is dropped once the new one takes over. Requests are
// answered from the copy of the build that is in control, so the page and
// its module always come from one build.
'use strict';

const VERSION = '@SITE_VERSION@';
const PREFIX = 'screen-viewer-site';
const COPY = `${PREFIX}-${VERSION}`;
const SITE = ['./', 'index.html', 'page.css', 'page.js', 'png.js', 'worker.js', 'krt.wasm', 'favicon.svg'];

self.addEventListener('install', (event) => {
  // Fresh from the server, not from the browser's HTTP cache.
  const fresh = SITE.map((path) => new Request(path, {cache: 'reload'}));
  event.waitUntil(caches.open(COPY).then((copy) => copy.addAll(fresh)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith(PREFIX) && n !== COPY).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith(caches.open(COPY)
    .then((copy) => copy.match(request, {ignoreSearch: true}))
    .then((kept) => kept ?? fetch(request)));
});
