#!/usr/bin/env bash
# Builds the web edition and tests it against the native build:
#   1. the CLI's end-to-end tests, run against node build-web/bendwise-cli.mjs;
#   2. both programs on the same generated corpus (20,000 lines here; LINES=100000 for the
#      full one), every value and text compared;
#   3. the calculator page in headless Chromium, axe-core (npm, into ~/.cache/bendwise-axe)
#      checking its accessibility.
# Installs what is missing (emscripten, Node, npm, Chromium and its driver, python3-selenium).
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${LINES:-20000}
scripts/install-deps.sh
scripts/build-web.sh
export LC_ALL=C TZ=UTC

echo "== native bendwise-cli and its end-to-end tests =="
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DBENDWISE_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)" --target bendwise-cli cli_end_to_end_test cli_survey_test
web_cli="node $PWD/build-web/bendwise-cli.mjs"
# Node has no file locks: the WebAssembly build refuses --append, and the tests (and both
# corpora) expect that.
export BENDWISE_CLI_WITHOUT_APPEND=1

echo "== the end-to-end tests against $web_cli =="
BENDWISE_CLI_COMMAND=$web_cli build/tests/cli_end_to_end_test
BENDWISE_CLI_COMMAND=$web_cli build/tests/cli_survey_test

echo "== native and web outputs on a $lines-line corpus =="
scratch=$(mktemp -d /tmp/bendwise-corpus-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
scripts/output-corpus.sh build/cli/bendwise-cli "$scratch/native" "$lines"
scripts/output-corpus.sh "$web_cli" "$scratch/web" "$lines"
python3 tests/web/corpus_diff.py "$scratch/native" "$scratch/web"

echo "== axe-core for the page's accessibility check, kept in ~/.cache/bendwise-axe =="
axe_dir="$HOME/.cache/bendwise-axe"
export BENDWISE_AXE="$axe_dir/node_modules/axe-core/axe.min.js"
if [ ! -f "$BENDWISE_AXE" ]; then
  npm install --prefix "$axe_dir" --no-audit --no-fund --no-save --no-update-notifier axe-core@4 >/dev/null || {
    [ -n "${CI:-}" ] && exit 1
    echo "npm could not fetch axe-core: the page's accessibility check will be skipped"; }
fi

echo "== the page in headless Chromium, its survey texts against build/cli/bendwise-cli =="
/usr/bin/python3 tests/web/page_test.py build-web --cli build/cli/bendwise-cli
