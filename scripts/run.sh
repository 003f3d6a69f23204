#!/usr/bin/env bash
# Installs what is missing, builds Release and runs the calculator window.
# Without a display it says so and shows the command-line program instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBENDWISE_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)"
exec build-release/app/bendwise "$@"
