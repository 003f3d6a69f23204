#!/usr/bin/env bash
# Builds the web edition into build-web/ with Debian's emscripten:
#   build-web/index.html (with style.css inside), app.js   the calculator page (static)
#   build-web/bendwise.js, bendwise.wasm                   its engine: glue and module
#   build-web/bendwise-wasm.js                             the module for the page from disk
#   build-web/sw.js, manifest.webmanifest, bendwise.svg    the page installable, offline
#   build-web/*.gz                                         the served files, gzipped
#   build-web/bendwise-cli.mjs (+ bendwise-cli-engine.*)   bendwise-cli on Node
# Serve the page with any static server (python3 -m http.server -d build-web; one that
# sends the .gz files with Content-Encoding: gzip sends about a third of the bytes), or
# open build-web/index.html from disk. Installs emscripten and nodejs when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --web
# Debian's em++ runs its JavaScript optimiser under Node and finds acorn only here.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBENDWISE_BUILD_GUI=OFF -DBENDWISE_BUILD_TESTS=OFF -DBENDWISE_WERROR=ON >/dev/null
cmake --build build-web/cmake -j"$(nproc)" --target bendwise-cli bendwise-web
cp build-web/cmake/cli/bendwise-cli-engine.js build-web/cmake/cli/bendwise-cli-engine.wasm \
  build-web/cmake/web/bendwise.js build-web/cmake/web/bendwise.wasm build-web/
# file:// lets a page run classic scripts but not fetch, so a page opened from disk reads
# the module from a script; over http it is never asked for.
{ printf 'self.bendwiseWasmBase64 = "'; base64 -w0 build-web/bendwise.wasm; printf '";\n'; } \
  >build-web/bendwise-wasm.js
rm -f build-web/style.css build-web/style.css.gz  # inside index.html now
cp web/index.html web/app.js web/bendwise-cli.mjs web/manifest.webmanifest \
  build-web/
cp data/bendwise.svg build-web/
# The calculator, its start curve and the stylesheet into index.html, so that it shows
# before the engine.
node web/prerender.mjs build-web
# The service worker's cache is named by a hash of every file it caches (and of sw.js):
# a changed file makes a new cache, and the old one is deleted when the new worker starts.
files_hash=$(cd build-web && cat index.html app.js bendwise.js bendwise.wasm \
  bendwise.svg manifest.webmanifest ../web/sw.js | sha256sum | cut -c1-16)
sed "s/@BENDWISE_FILES_HASH@/$files_hash/" web/sw.js >build-web/sw.js
# Precompressed copies for servers that send them (-n: the same bytes on every build).
for served in index.html app.js bendwise.js bendwise.wasm bendwise.svg \
  manifest.webmanifest sw.js; do
  gzip -9 -n -c "build-web/$served" >"build-web/$served.gz"
done
echo "build-web/ is ready: node build-web/bendwise-cli.mjs --help; open build-web/index.html"
