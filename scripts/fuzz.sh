#!/usr/bin/env bash
# Runs one fuzz target for a while: bash scripts/fuzz.sh TARGET MINUTES (TARGET as in fuzz/CMakeLists.txt, such as
# SessionFuzzer; without arguments, lists them). Builds build/test-clang with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer if needed. New coverage is kept in build/test-clang/fuzz-work/TARGET; a finding is
# written there as crash-*, timeout-* or oom-*, with the command that replays it. Exit status 1 on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/test-clang
targets=$(sed -n 's/^add_cyclochord_fuzzer(\([A-Za-z]*\) .*/\1/p' fuzz/CMakeLists.txt)
if [ $# -lt 1 ]; then
  echo "usage: bash scripts/fuzz.sh TARGET [MINUTES] [-- libFuzzer options]; targets:" $targets >&2
  exit 2
fi
target=$1
minutes=${2:-10}
shift $(( $# >= 2 ? 2 : 1 ))
[ "${1:-}" = "--" ] && shift
echo "$targets" | grep -qx "$target" || { echo "unknown target $target; targets:" $targets >&2; exit 2; }

if [ ! -x "$build/out/$target" ] || [ "${FUZZ_REBUILD:-1}" = 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLOCHORD_WERROR=ON \
    -DCYCLOCHORD_SANITIZE=ON -DCYCLOCHORD_FUZZ=ON -DCYCLOCHORD_BENCH=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
work=$build/fuzz-work/$target
mkdir -p "$work/corpus"
binary=$(realpath "$build/out/$target")
seconds=$(awk "BEGIN { print int($minutes * 60 + 0.5) }")
log=$work/run.log
regressions=""
[ -d "fuzz/regressions/$target" ] && regressions="fuzz/regressions/$target"
# Inputs that take over a second, or more than 1 GiB, count as findings too.
if "$binary" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$(realpath "$work")/" "$@" "$work/corpus" "fuzz/corpus/$target" $regressions \
    >"$log" 2>&1; then
  echo "$target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions in ${seconds}s, no finding"
  exit 0
fi
grep -E "ERROR|SUMMARY|^invariant broken: " "$log" | head -5 >&2 || true
artifact=$(sed -n "s/.*Test unit written to \(.*\)/\1/p" "$log" | tail -1)
echo "$target: FINDING (log: $log)" >&2
if [ -n "$artifact" ]; then
  echo "  reproduce: $binary $artifact" >&2
  echo "  keep it:   cp $artifact fuzz/regressions/$target/" >&2
fi
exit 1
