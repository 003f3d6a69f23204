#!/bin/sh
# Fails when a source file includes from a layer above its own. The layers, lowest first:
#   math < text < solver < entry, report < session < survey < frontend < cli, ui, web < app
# A file includes from its own folder and the folders below it; bendwise/ (the generated
# version header) is open to all; tests, benchmarks and fuzzers may include anything.
#
#   scripts/check-layers.sh            # from anywhere in the tree
set -eu
cd "$(dirname "$0")/.."
core="math text solver entry report session"
allowed() {
    case $1 in
    math) echo "math" ;;
    text) echo "text math" ;;
    solver) echo "solver text math" ;;
    entry) echo "entry solver text math" ;;
    report) echo "report solver text math" ;;
    session) echo "$core" ;;
    survey) echo "survey solver text math" ;;
    frontend) echo "frontend survey $core" ;;
    cli | web) echo "$1 frontend survey $core" ;;
    ui) echo "ui frontend survey $core" ;;
    app) echo "app ui frontend survey $core" ;;
    *) echo "*" ;;
    esac
}
# The files git knows (tracked or new); outside a checkout, every source file below here.
sources() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -co --exclude-standard '*.cpp' '*.h'
    else
        find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||'
    fi
}
bad=0
for file in $(sources); do
    layer=${file%%/*}
    [ "$layer" = "$file" ] && continue
    ok=$(allowed "$layer")
    [ "$ok" = "*" ] && continue
    for used in $(sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' "$file" | sort -u); do
        [ "$used" = bendwise ] && continue
        case " $ok " in
        *" $used "*) ;;
        *)
            echo "$file includes from $used/, above its layer $layer/"
            bad=1
            ;;
        esac
    done
done
exit $bad
