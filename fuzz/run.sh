#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each one in turn for a bounded
# time from the committed seed corpus with the dictionary. Fails on any crash, sanitizer
# report or invariant failure; the input that did it is left in build-fuzz/artifacts/.
#
#   fuzz/run.sh 30                 # CI: 30 s per target, one target at a time
#   fuzz/run.sh 30 fuzz_session    # one target only
#
# Long run (hours; corpus kept between runs in build-fuzz/corpus/<target>):
#   BENDWISE_FUZZ_KEEP=1 fuzz/run.sh 3600
# or by hand, e.g. for the session target:
#   build-fuzz/fuzz/fuzz_session -dict=fuzz/bendwise.dict -max_len=64 \
#     -max_total_time=3600 build-fuzz/corpus/fuzz_session fuzz/corpus/session
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_angle fuzz_number fuzz_batch_line fuzz_session fuzz_survey)

build=${BENDWISE_FUZZ_BUILD:-build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBENDWISE_BUILD_FUZZ=ON -DBENDWISE_BUILD_GUI=OFF -DBENDWISE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target bendwise_fuzz -j"${BENDWISE_FUZZ_BUILD_JOBS:-2}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts"

# Seed corpus directory of each target, and its longest useful input.
declare -A seeds=([fuzz_angle]=angle [fuzz_number]=number [fuzz_batch_line]=batch_line
                  [fuzz_session]=session [fuzz_survey]=survey)
declare -A maxlen=([fuzz_angle]=256 [fuzz_number]=512 [fuzz_batch_line]=512 [fuzz_session]=64
                   [fuzz_survey]=160)

status=0
for target in "${targets[@]}"; do
  seed=fuzz/corpus/${seeds[$target]}
  # The working corpus grows in a scratch directory; the committed seeds stay as they are.
  work=$build/corpus/$target
  [ "${BENDWISE_FUZZ_KEEP:-0}" = 1 ] || rm -rf "$work"
  mkdir -p "$work"
  log=$build/artifacts/$target.log
  echo "== $target: ${seconds} s"
  if "$build/fuzz/$target" -dict=fuzz/bendwise.dict -max_len="${maxlen[$target]}" \
      -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" "$work" "$seed" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/   /"
  else
    echo "FAILED: $target (see $log)"
    grep -E 'ERROR|invariant|SUMMARY|Test unit written' "$log" | head -20 || true
    status=1
  fi
done
exit $status
