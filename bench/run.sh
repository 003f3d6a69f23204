#!/usr/bin/env bash
# Builds Bendwise in Release mode in its own build directory, runs every benchmark and
# prints one table with the machine's CPU model:
#   - the engine (Google Benchmark): Recalculate for each of the fifteen pairs, FormatLength,
#     FormatDms, ReadAngleText on each accepted angle form, the report block, one entry,
#     the six trigonometric functions;
#   - the engine-bound limit of a batch line (BM_BatchLineEngine: both entries read and
#     solved, the block built) on the batch file below;
#   - bendwise-cli --batch on a generated file of 100,000 lines, report blocks appended
#     (--append), to a new file (--output) and to standard output, with CPU time per line
#     and the ratio to the engine-bound limit;
#   - start-up of the calculator to the acceptance box and to the calculator after
#     "Accept", against a bare Qt dialog measured in the same run, and peak RSS of both;
#   - how soon an open curve diagram is redrawn after an entry, alone and with the other
#     two curve windows open.
#
# usage: bench/run.sh [--smoke] [--build-dir DIR]
#   --smoke   every benchmark once, for a moment, on tiny inputs (CI: under 60 s); the
#             table is printed but its numbers mean nothing.
# Exits non-zero when something fails to build or run. A missed target is shown in the
# table ("MISSED") but is not a failure: timings depend on the machine and its load.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build-bench-release"
SMOKE=0
while [ $# -gt 0 ]; do
    case "$1" in
        --smoke) SMOKE=1 ;;
        --build-dir) BUILD=$(realpath -m "$2"); shift ;;
        -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run.sh: unknown argument '$1'" >&2; exit 2 ;;
    esac
    shift
done

if [ "$SMOKE" = 1 ]; then
    BATCH_LINES=1000; BATCH_RUNS=1; STARTUP_RUNS=1; REDRAW_ENTRIES=20
    ENGINE_ARGS=(--benchmark_min_time=0.01)
else
    BATCH_LINES=100000; BATCH_RUNS=3; STARTUP_RUNS=7; REDRAW_ENTRIES=300
    ENGINE_ARGS=(--benchmark_min_time=0.2 --benchmark_repetitions=7
                 --benchmark_report_aggregates_only=true)
fi

for tool in cmake ninja jq awk; do
    command -v "$tool" >/dev/null || { echo "run.sh: $tool is needed" >&2; exit 2; }
done

echo "== building (Release) in $BUILD" >&2
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBENDWISE_BUILD_BENCH=ON -DBENDWISE_BUILD_TESTS=OFF -DBENDWISE_BUILD_FUZZ=OFF \
    -DBENDWISE_BUILD_GUI=ON >/dev/null
cmake --build "$BUILD" -j2 >/dev/null

WORK="$BUILD/bench/work"
mkdir -p "$WORK"
LAUNCH="$BUILD/bench/bendwise_bench_launch"
ROWS="$WORK/rows.tsv"  # name <TAB> result <TAB> target <TAB> verdict
: >"$ROWS"
row() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >>"$ROWS"; }
# "ok" or "MISSED" for a value against its upper limit; a smoke run judges nothing.
verdict() {
    if [ "$SMOKE" = 1 ]; then echo "(smoke)"; return; fi
    awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit) ? "ok" : "MISSED" }'
}

# The batch file of the throughput runs; the engine-bound benchmark reads it too.
CLI="$BUILD/cli/bendwise-cli"
BATCH="$WORK/batch-$BATCH_LINES.txt"
[ -s "$BATCH" ] || "$ROOT/bench/make_batch.sh" "$BATCH_LINES" >"$BATCH"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- engine ----
echo "== engine benchmarks" >&2
ENGINE_JSON="$WORK/engine.json"
BENDWISE_BENCH_BATCH="$BATCH" "$BUILD/bench/bendwise_bench_engine" "${ENGINE_ARGS[@]}" \
    --benchmark_out="$ENGINE_JSON" --benchmark_out_format=json >/dev/null 2>"$WORK/engine.log"
if jq -e '[.benchmarks[] | select(.error_occurred == true)] | length > 0' "$ENGINE_JSON" \
    >/dev/null; then
    echo "run.sh: an engine benchmark failed:" >&2
    jq -r '.benchmarks[] | select(.error_occurred == true) | "\(.name): \(.error_message)"' \
        "$ENGINE_JSON" >&2
    exit 1
fi
# One row per benchmark: the median of the repetitions (the single run with --smoke),
# wall time per iteration in microseconds, CPU time beside it.
jq -r --argjson smoke "$SMOKE" '
    .benchmarks[]
    | select(($smoke == 1 and .run_type == "iteration")
             or ($smoke == 0 and .aggregate_name == "median"))
    | [(.run_name + (if .label then " (" + .label + ")" else "" end)),
       (if .time_unit == "ns" then .real_time / 1000 else .real_time end),
       (if .time_unit == "ns" then .cpu_time / 1000 else .cpu_time end)]
    | @tsv' "$ENGINE_JSON" |
while IFS=$'\t' read -r name real cpu; do
    result=$(awk -v r="$real" -v c="$cpu" 'BEGIN { printf "%.3f us (cpu %.3f us)", r, c }')
    case "$name" in
        BM_Recalculate/*)
            row "$name" "$result" "median <= 4 us" "$(verdict "$real" 4)" ;;
        "BM_Trig/"*"(sin)" | "BM_Trig/"*"(cos)")
            row "$name" "$result" "median <= 25 ns" "$(verdict "$real" 0.025)" ;;
        BM_Trig/*)
            row "$name" "$result" "median <= 40 ns" "$(verdict "$real" 0.040)" ;;
        *) row "$name" "$result" "-" "-" ;;
    esac
done

# ---- survey field work ----
echo "== survey benchmarks" >&2
SURVEY_JSON="$WORK/survey.json"
"$BUILD/bench/bendwise_bench_survey" "${ENGINE_ARGS[@]}" \
    --benchmark_out="$SURVEY_JSON" --benchmark_out_format=json >/dev/null 2>"$WORK/survey.log"
if jq -e '[.benchmarks[] | select(.error_occurred == true)] | length > 0' "$SURVEY_JSON" \
    >/dev/null; then
    echo "run.sh: a survey benchmark failed" >&2
    exit 1
fi
jq -r --argjson smoke "$SMOKE" '
    .benchmarks[]
    | select(($smoke == 1 and .run_type == "iteration")
             or ($smoke == 0 and .aggregate_name == "median"))
    | [(.run_name + " (" + .label + ")"),
       (if .time_unit == "ns" then .real_time / 1000
        elif .time_unit == "ms" then .real_time * 1000 else .real_time end)]
    | @tsv' "$SURVEY_JSON" |
while IFS=$'\t' read -r name real; do
    result=$(awk -v r="$real" 'BEGIN { printf "%.3f us", r }')
    case "$name" in
        BM_CurveFromPoints/*) row "$name" "$result" "median <= 2 us" "$(verdict "$real" 2)" ;;
        BM_FieldWorkTable/0*)
            row "$name" "$result" "median <= 20 ms" "$(verdict "$real" 20000)" ;;
        BM_SpiralCurve/*) row "$name" "$result" "median <= 2 us" "$(verdict "$real" 2)" ;;
        BM_SpiralTable/0*)
            row "$name" "$result" "median <= 20 ms" "$(verdict "$real" 20000)" ;;
        *) row "$name" "$result" "-" "-" ;;
    esac
done

# ---- batch throughput ----
# Each way of writing, best of BATCH_RUNS by wall time; the CPU time (user + system) of
# that run is what the machine's load disturbs least. Targets: 300,000 lines/s and 3 us of
# CPU a line. The engine-bound limit is BM_BatchLineEngine's CPU time a line: the lines/s
# no front end can beat; the ratio is the run's lines per CPU second over it.
echo "== bendwise-cli --batch, $BATCH_LINES lines" >&2
engine_ns=$(jq -r --argjson smoke "$SMOKE" '
    .benchmarks[] | select(.run_name == "BM_BatchLineEngine")
    | select(($smoke == 1 and .run_type == "iteration") or ($smoke == 0 and .aggregate_name == "median"))
    | .cpu_time' "$ENGINE_JSON" | head -1)
engine_rate=$(awk -v ns="$engine_ns" 'BEGIN { printf "%.0f", 1e9 / ns }')
row "engine-bound limit: 2 entries read and solved + block, a line" \
    "$(awk -v ns="$engine_ns" 'BEGIN { printf "%.2f us CPU", ns / 1000 }'), $engine_rate lines/s" \
    "-" "-"
for mode in append output stdout; do
    best=""
    for _ in $(seq "$BATCH_RUNS"); do
        rm -f "$WORK/batch-out.txt"
        case $mode in
            append) args=(--batch "$BATCH" --append "$WORK/batch-out.txt"); stdout=/dev/null ;;
            output) args=(--batch "$BATCH" --output "$WORK/batch-out.txt"); stdout=/dev/null ;;
            stdout) args=(--batch "$BATCH"); stdout="$WORK/batch-out.txt" ;;
        esac
        if ! "$LAUNCH" --timeout 120 --stdout "$stdout" -- "$CLI" "${args[@]}" \
            >"$WORK/batch-launch.txt" 2>"$WORK/batch-stderr.txt"; then
            echo "run.sh: bendwise-cli --batch ($mode) failed:" >&2
            cat "$WORK/batch-launch.txt" >&2
            tail -5 "$WORK/batch-stderr.txt" >&2
            exit 1
        fi
        us=$(awk '$1 == "exit" { print $2 }' "$WORK/batch-launch.txt")
        if [ -z "$best" ] || [ "$us" -lt "$best" ]; then
            best=$us
            best_user=$(awk '$1 == "user_us" { print $2 }' "$WORK/batch-launch.txt")
            best_sys=$(awk '$1 == "sys_us" { print $2 }' "$WORK/batch-launch.txt")
        fi
    done
    blocks=$(($(wc -l <"$WORK/batch-out.txt") / 11))
    if [ "$blocks" -ne "$BATCH_LINES" ]; then
        echo "run.sh: $blocks report blocks written for $BATCH_LINES lines ($mode)" >&2
        exit 1
    fi
    rate=$(awk -v n="$BATCH_LINES" -v us="$best" 'BEGIN { printf "%.0f", n / (us / 1e6) }')
    cpu_line=$(awk -v n="$BATCH_LINES" -v u="$best_user" -v s="$best_sys" \
        'BEGIN { printf "%.2f", (u + s) / n }')
    ratio=$(awk -v c="$cpu_line" -v ns="$engine_ns" 'BEGIN { printf "%.2f", ns / 1000 / c }')
    ok=$(awk -v r="$rate" -v c="$cpu_line" 'BEGIN { print (r >= 300000 && c <= 3) ? 1 : 0 }')
    row "bendwise-cli --batch, $BATCH_LINES lines, --$mode (best of $BATCH_RUNS)" \
        "$(awk -v us="$best" -v u="$best_user" -v s="$best_sys" \
            'BEGIN { printf "%.3f s (cpu %.3f s = user %.3f + sys %.3f)", us / 1e6, (u + s) / 1e6, u / 1e6, s / 1e6 }'), $rate lines/s, $cpu_line us CPU a line = $ratio x engine-bound" \
        ">= 300000 lines/s, <= 3 us CPU" \
        "$([ "$SMOKE" = 1 ] && echo "(smoke)" || { [ "$ok" = 1 ] && echo ok || echo MISSED; })"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- start-up ----
APP="$BUILD/app/bendwise"
BARE="$BUILD/bench/bendwise_bare_dialog"
if [ -x "$APP" ] && [ -x "$BARE" ]; then
    echo "== start-up, $STARTUP_RUNS runs each, offscreen" >&2
    export QT_QPA_PLATFORM=offscreen
    export QT_PLUGIN_PATH="$BUILD/bench/plugins"
    export QT_QPA_GENERIC_PLUGINS=bendwiseprobe
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$WORK/runtime}"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    : >"$WORK/startup.txt"
    # Runs one program once; appends "<kind> <shown1 us> <shown2 us or -> <maxrss kB>".
    probe() {
        local kind=$1 windows=$2
        shift 2
        if ! BENDWISE_PROBE_WINDOWS=$windows "$LAUNCH" --timeout 30 -- "$@" \
            >"$WORK/probe.txt" 2>"$WORK/probe-stderr.txt"; then
            echo "run.sh: start-up run of $* failed:" >&2
            cat "$WORK/probe.txt" "$WORK/probe-stderr.txt" >&2
            exit 1
        fi
        awk -v kind="$kind" -v want="$windows" '
            $1 == "line" && $3 == "shown" { shown[++n] = $2 }
            $1 == "maxrss_kb" { rss = $2 }
            END {
                if (n < want) exit 1
                print kind, shown[1], (n >= 2 ? shown[2] : "-"), rss
            }' "$WORK/probe.txt" >>"$WORK/startup.txt" || {
            echo "run.sh: $* did not report $windows shown window(s)" >&2
            cat "$WORK/probe.txt" >&2
            exit 1
        }
    }
    # Interleaved, so that a change in the machine's load falls on both alike. The
    # calculator is run twice: ending at the acceptance box (its peak memory there) and
    # ending once the calculator is shown after "Accept".
    for _ in $(seq "$STARTUP_RUNS"); do
        probe bare 1 "$BARE"
        probe about 1 "$APP"
        probe calc 2 "$APP"
    done
    median() {  # median of column $2 for kind $1
        awk -v kind="$1" -v col="$2" '$1 == kind { print $col }' "$WORK/startup.txt" |
            sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
    }
    bare_ms=$(awk -v us="$(median bare 2)" 'BEGIN { printf "%.1f", us / 1000 }')
    about_ms=$(awk -v us="$(median about 2)" 'BEGIN { printf "%.1f", us / 1000 }')
    calc_ms=$(awk -v us="$(median calc 3)" 'BEGIN { printf "%.1f", us / 1000 }')
    bare_rss=$(median bare 4)
    about_rss=$(median about 4)
    calc_rss=$(median calc 4)
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
    row "start-up: bare Qt dialog shown (median of $STARTUP_RUNS)" "$bare_ms ms" "reference" "-"
    row "start-up: acceptance box shown" "$about_ms ms = $(ratio "$about_ms" "$bare_ms") x bare" \
        "<= 1.5 x bare" "$(verdict "$(ratio "$about_ms" "$bare_ms")" 1.5)"
    row "start-up: calculator shown after Accept" \
        "$calc_ms ms = $(ratio "$calc_ms" "$bare_ms") x bare" "-" "-"
    row "peak RSS: bare Qt dialog" "$(ratio "$bare_rss" 1024) MiB" \
        "reference" "-"
    row "peak RSS: up to the acceptance box" \
        "$(ratio "$about_rss" 1024) MiB = $(ratio "$about_rss" "$bare_rss") x bare" \
        "<= 1.2 x bare" "$(verdict "$(ratio "$about_rss" "$bare_rss")" 1.2)"
    row "peak RSS: up to the calculator shown" \
        "$(ratio "$calc_rss" 1024) MiB = $(ratio "$calc_rss" "$bare_rss") x bare" \
        "<= 1.2 x bare" "$(verdict "$(ratio "$calc_rss" "$bare_rss")" 1.2)"
else
    echo "run.sh: the calculator or the bare dialog was not built; no start-up figures" >&2
    exit 1
fi

# ---- diagram redraw ----
echo "== curve diagram redraw, $REDRAW_ENTRIES entries, offscreen" >&2
for windows in diagram all; do
    # Without the start-up probe, which would end the program at its first window.
    line=$(env -u QT_QPA_GENERIC_PLUGINS -u QT_PLUGIN_PATH QT_QPA_PLATFORM=offscreen \
        "$BUILD/bench/bendwise_bench_redraw" "$REDRAW_ENTRIES" "$windows" \
        2>"$WORK/redraw-stderr.txt") || {
        echo "run.sh: bendwise_bench_redraw failed:" >&2
        cat "$WORK/redraw-stderr.txt" >&2
        exit 1
    }
    read -r word _ median _ p95 _ max _ <<<"$line"
    if [ "$word" != redraw_us ]; then
        echo "run.sh: bendwise_bench_redraw printed '$line'" >&2
        exit 1
    fi
    what="open diagram redrawn after an entry"
    [ "$windows" = all ] && what="$what, all three curve windows open"
    row "$what (median / p95 / max)" \
        "$(awk -v a="$median" -v b="$p95" -v c="$max" \
            'BEGIN { printf "%.1f / %.1f / %.1f ms", a / 1000, b / 1000, c / 1000 }')" \
        "p95 <= 16 ms" "$(verdict "$p95" 16000)"
done

# ---- the table ----
cpu=$(awk -F': *' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Bendwise benchmarks$([ "$SMOKE" = 1 ] && echo ' (SMOKE RUN: numbers not meaningful)')"
echo "CPU: ${cpu:-unknown} ($(nproc) cores), $(uname -sr), $(date -u +%Y-%m-%dT%H:%MZ)"
echo "Commit: $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo "Load average (1, 5, 15 min): $load_before before the engine and batch runs, $load_after after"
echo
awk -F'\t' '
    # Width in characters: UTF-8 continuation bytes take no column.
    function width(s,    t) { t = s; return length(s) - gsub(/[\200-\277]/, "", t) }
    function pad(s, w) { while (width(s) < w) s = s " "; return s }
    { name[NR] = $1; result[NR] = $2; target[NR] = $3; verdict[NR] = $4
      if (width($1) > w1) w1 = width($1)
      if (width($2) > w2) w2 = width($2)
      if (width($3) > w3) w3 = width($3) }
    END {
        if (w1 < 9) w1 = 9
        print pad("Benchmark", w1) "  " pad("Result", w2) "  " pad("Target", w3)
        line = ""; for (i = 0; i < w1 + w2 + w3 + 12; ++i) line = line "-"
        print line
        for (i = 1; i <= NR; ++i)
            print pad(name[i], w1) "  " pad(result[i], w2) "  " pad(target[i], w3) "  " verdict[i]
    }' "$ROWS"
