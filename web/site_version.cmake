# Writes the page's service worker, OUTPUT, from SOURCE with @SITE_VERSION@
# replaced by a hash of the files FILES (the site and its module), so that a
# build that changes any of them gives the browser a new service worker, which
# keeps a copy of its own and drops the one before.
# cmake -DSOURCE=... -DOUTPUT=... -DFILES=a;b;... -P site_version.cmake
set(hashes "")
foreach(file IN LISTS FILES)
  file(SHA256 ${file} hash)
  string(APPEND hashes ${hash})
endforeach()
string(SHA256 SITE_VERSION "${hashes}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
configure_file(${SOURCE} ${OUTPUT} @ONLY)
