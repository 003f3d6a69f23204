#!/usr/bin/env bash
# Builds the web edition into build-web/ with Debian's emscripten:
#   build-web/index.html, app.js, style.css, bendwise.js   the calculator page (static)
#   build-web/sw.js, manifest.webmanifest, bendwise.svg    the page installable, offline
#   build-web/bendwise-cli.mjs (+ bendwise-cli-engine.*)   bendwise-cli on Node
# Serve the page with any static server (python3 -m http.server -d build-web) or open
# build-web/index.html from disk. Installs emscripten and nodejs when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --web
# Debian's em++ runs its JavaScript optimiser under Node and finds acorn only here.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBENDWISE_BUILD_GUI=OFF -DBENDWISE_BUILD_TESTS=OFF -DBENDWISE_WERROR=ON >/dev/null
cmake --build build-web/cmake -j"$(nproc)" --target bendwise-cli bendwise-web
cp build-web/cmake/cli/bendwise-cli-engine.js build-web/cmake/cli/bendwise-cli-engine.wasm \
  build-web/cmake/web/bendwise.js build-web/
cp web/index.html web/app.js web/style.css web/bendwise-cli.mjs web/manifest.webmanifest \
  build-web/
cp data/bendwise.svg build-web/
# The service worker's cache is named by a hash of every file it caches (and of sw.js):
# a changed file makes a new cache, and the old one is deleted when the new worker starts.
files_hash=$(cd build-web && cat index.html app.js style.css bendwise.js bendwise.svg \
  manifest.webmanifest ../web/sw.js | sha256sum | cut -c1-16)
sed "s/@BENDWISE_FILES_HASH@/$files_hash/" web/sw.js >build-web/sw.js
echo "build-web/ is ready: node build-web/bendwise-cli.mjs --help; open build-web/index.html"
