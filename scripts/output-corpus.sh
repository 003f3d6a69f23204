#!/bin/sh
# Runs one bendwise-cli on a fixed corpus and keeps every byte it writes, so that two
# builds (before and after a restructure, native and WebAssembly) can be compared with
# `diff -r`.
#
#   scripts/output-corpus.sh CLI OUTDIR [LINES]
#   scripts/output-corpus.sh build-before/cli/bendwise-cli /tmp/before
#   scripts/output-corpus.sh build/cli/bendwise-cli /tmp/after && diff -r /tmp/before /tmp/after
#
# CLI may be a command with arguments ("node build-web/bendwise-cli.mjs"). LINES (100000
# by default) is the length of the two generated batches:
#   pairs.txt   bench/make_batch.sh: every solvable pair, angles in all typed forms
#   mixed.txt   random entries into random fields (refusals, garbage, extreme values,
#               bearings, check boxes), one session, so every state follows every other
# Each run keeps standard output, standard error and the exit status; report files,
# drawings, exchange files (PNEZD points, DXF) and JSON are kept as written.
set -eu
cli=${1:?usage: output-corpus.sh CLI OUTDIR [LINES]}
out=${2:?usage: output-corpus.sh CLI OUTDIR [LINES]}
lines=${3:-100000}
here=$(cd "$(dirname "$0")/.." && pwd)
# The runs happen in another folder: every word of CLI that names an existing file by a
# relative path is made absolute ("node build-web/bendwise-cli.mjs" too).
words=
for word in $cli; do
    case $word in
    /*) ;;
    *) [ -e "$word" ] && word="$PWD/$word" ;;
    esac
    words="$words${words:+ }$word"
done
cli=$words
export LC_ALL=C TZ=UTC

rm -rf "$out"
mkdir -p "$out/files"
"$here/bench/make_batch.sh" "$lines" >"$out/pairs.txt"
awk -v n="$lines" -v seed=7 '
BEGIN {
    srand(seed)
    split("radius degree-arc degree-chord larc lrr chord tangent delta half-delta inbound-az", f, " ")
    split("0|-5|abc||1e13|2e13|1e-30|50|49.9|100|100.4|99|158|0.001|12ABC|1e400|  7|-0", odd, "|")
    split("12.3456|12.345|N 45 30 15 E|S12.3456W|--12|---12|-12-30|n 45 30 0e|359.5959|180|0|.3456|-12.3456", ang, "|")
    for (i = 0; i < n; ++i) {
        line = ""
        k = 1 + int(rand() * 3)
        for (j = 0; j < k; ++j) {
            r = rand()
            if (r < 0.06) {
                split("left acres packed", s, " ")
                line = line sprintf("%s=%s ", s[1 + int(rand() * 3)], rand() < 0.5 ? "on" : "off")
                continue
            }
            name = f[1 + int(rand() * 10)]
            r = rand()
            if (r < 0.15) v = odd[1 + int(rand() * 18)]
            else if (r < 0.3) v = ang[1 + int(rand() * 13)]
            else if (r < 0.65) v = sprintf("%.3f", exp(rand() * 14 - 3))
            else v = sprintf("%d.%02d%02d", int(rand() * 200), int(rand() * 60), int(rand() * 60))
            line = line sprintf("\"%s=%s\" ", name, v)
        }
        print line
    }
}' >"$out/mixed.txt"

# run NAME ARGS...: one run in $out/files, its streams and status kept under NAME.
run() {
    name=$1
    shift
    status=0
    (cd "$out/files" && exec $cli "$@" >"../$name.out" 2>"../$name.err") || status=$?
    echo "$status" >"$out/$name.status"
}

for batch in pairs mixed; do
    b=../$batch.txt
    run "$batch-blocks" --batch "$b"
    run "$batch-fields" --batch "$b" --fields
    run "$batch-json" --batch "$b" --json --describe --pi-station 25+50 --stakeout 1000
    run "$batch-stations" --batch "$b" --describe --pi-station 25+50 --stationing chord \
        --stakeout 2000
    run "$batch-output" --batch "$b" --output "$batch-new.txt"
    # A build without file locks (the WebAssembly one on Node) refuses --append: with
    # BENDWISE_CLI_WITHOUT_APPEND set, no corpus has that run.
    if [ -z "${BENDWISE_CLI_WITHOUT_APPEND:-}" ]; then
        run "$batch-append" --batch "$b" --append "$batch-new.txt"
    fi
done
# Drawings: one file a line, so a shorter batch of each kind.
head -n 1500 "$out/pairs.txt" >"$out/pairs-short.txt"
head -n 1500 "$out/mixed.txt" >"$out/mixed-short.txt"
run pairs-svg --batch ../pairs-short.txt --svg pairs.svg
run mixed-svg --batch ../mixed-short.txt --svg mixed.svg --fields
# Placed curves: the exchange files of every line (LandXML only where the build writes it).
run pairs-placed --batch ../pairs-short.txt --pc 5000.125,2000.5 --points pairs.csv \
    --dxf pairs.dxf --pi-station 25+50 --stakeout 100 --json
run mixed-placed --batch ../mixed-short.txt --pi 5000.125,2000.5 --points mixed.csv \
    --dxf mixed.dxf --first-point 100

# Single runs: the worked examples, usage errors and what they print.
run worked radius=1000 delta=30 inbound-az=45 --output worked.txt --svg worked.svg --describe
run railroad degree-chord=2 delta=18 --pi-station 25+50 --stationing chord --stakeout 100 --json
run highway degree-arc=4 delta=40 --pi-station 23+25 --describe --unit metres
run left200 left=on packed=off delta=200 radius=500 --svg left200.svg --describe
run start
run help --help
run version --version
run bad-field radius=1 nosuch=2
run bad-switch left=maybe
run too-long 'radius=12345678901234567'
run bad-option --frobnicate
run stakeout-alone --stakeout 50
run bad-station --pi-station 12+3x
run no-batch --batch does-not-exist.txt
run result-field chord-az=10
run refused chord=100 larc=99
run placed-dxf packed=off radius=1811.5 delta=135.0726 inbound-az=228.3874 --pc 5000.125,2000.5 \
    --dxf placed.dxf --points placed.csv
