#!/bin/bash
# bendwise-cli's generated manual page and bash completion, checked against the program.
#   cli_docs_test.sh man BENDWISE_CLI PAGE    every word of --help is on the rendered page,
#                                             in order, and man has no warnings
#   cli_docs_test.sh completion SCRIPT        what Tab offers after each typed line
#   cli_docs_test.sh lint PAGE...             mandoc -Tlint finds nothing, down to style,
#                                             and .TH carries a date (skipped, 77, without
#                                             mandoc)
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if [ "$1" = man ]; then
    export LC_ALL=C.UTF-8 MANWIDTH=10000  # no line breaks, so no hyphenated words
    warnings=$(man --warnings -l "$3" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns: $warnings"
    "$2" --help | sed 's/^usage: //' | tr -s ' \t' '\n\n' >"$dir/help"
    man -l "$3" | tr -s ' \t' '\n\n' >"$dir/page"
    lost=$(awk 'NR == FNR { page[++n] = $0; next }
                $0 != "" { while (k < n && page[++k] != $0) {} if (k == n && page[n] != $0) { print FNR ": " $0; exit } }' \
               "$dir/page" "$dir/help")
    [ -z "$lost" ] || fail "word $lost of --help is not on the page (or out of order)"
    exit $((failures > 0))
fi

if [ "$1" = lint ]; then
    command -v mandoc >/dev/null || exit 77
    shift
    for page in "$@"; do
        lint=$(mandoc -Tlint -W style "$page" 2>&1)
        [ -z "$lint" ] || fail "mandoc -Tlint: $lint"
        head -1 "$page" | grep -Eq '^\.TH [^ ]+ 1 "[0-9]{4}-[0-9]{2}-[0-9]{2}" ' ||
            fail "$page: no date in $(head -1 "$page")"
    done
    exit $((failures > 0))
fi

# shellcheck source=/dev/null
source "$2"
cd "$dir" && touch curve.txt plan.svg && mkdir out

# check BREAKS LINE EXPECTED: Tab at the end of LINE offers EXPECTED (sorted, one blank
# apart), with "=" breaking words (BREAKS std, as bash does by default) or not (noeq).
check() {
    COMP_WORDBREAKS=$' \t\n"\'><;|&(:'
    [ "$1" = std ] && COMP_WORDBREAKS+="="
    COMP_LINE=$2
    COMP_POINT=${#2}
    COMPREPLY=()
    _bendwise_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
    [ "${got% }" = "$3" ] || fail "'$2' (breaks '$1') offers '${got% }', expected '$3'"
}
check std "bendwise-cli rad" "radius="
check std "bendwise-cli chord" "chord="  # chord-az is a result: no entry
check std "bendwise-cli de" "degree-arc= degree-chord= delta="
check std "bendwise-cli --fields l" "larc= left= lrr="
check std "bendwise-cli left=" "off on"
check noeq "bendwise-cli packed=of" "packed=off"
check std "bendwise-cli radius=" ""
check std "bendwise-cli --st" "--stakeout --station-offset --stationing"
check std "bendwise-cli --stationing " "arc chord"
check std "bendwise-cli --stationing=c" "chord"
check noeq "bendwise-cli --stationing=c" "--stationing=chord"
check std "bendwise-cli --output c" "curve.txt"
check std "bendwise-cli --svg=p" "plan.svg"
check std "bendwise-cli radius=1000 --batch " "curve.txt out plan.svg"
check std "bendwise-cli --unit " ""
exit $((failures > 0))
