#!/usr/bin/env bash
# The clang checks of the test command, each a step of its own (all three without arguments):
#   sanitizers  every test under AddressSanitizer and UndefinedBehaviorSanitizer (bounds included), in a build that
#               also makes the fuzz targets, whose seeds and kept findings replay as tests;
#   fuzz        each fuzz target for FUZZ_SECONDS (30) on its corpus and kept findings, two at a time;
#   threads     the thread stress test, the framework's and the CLAP wrapper's tests under ThreadSanitizer.
# Exits non-zero on any failure or finding.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
seconds=${FUZZ_SECONDS:-30}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build=build/test-clang

sanitizers() {
  CC=clang CXX=clang++ cmake -S . -B $build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLOCHORD_WERROR=ON \
    -DCYCLOCHORD_SANITIZE=ON -DCYCLOCHORD_FUZZ=ON -DCYCLOCHORD_BENCH=OFF >/dev/null
  cmake --build $build -j"$jobs"
  (cd $build && ctest --output-on-failure -j"$jobs")
}

fuzz() {
  local targets minutes failed=0 running=0 target
  targets=$(sed -n 's/^add_cyclochord_fuzzer(\([A-Za-z]*\) .*/\1/p' fuzz/CMakeLists.txt)
  minutes=$(awk "BEGIN { print $seconds / 60 }")
  echo "== Fuzzing, ${seconds} s per target"
  for target in $targets; do
    FUZZ_REBUILD=0 bash scripts/fuzz.sh "$target" "$minutes" &
    running=$((running + 1))
    if [ $running -ge "$jobs" ]; then
      wait -n || failed=1
      running=$((running - 1))
    fi
  done
  while [ $running -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
  done
  [ $failed -eq 0 ] || { echo "fuzzing found faults (above)"; return 1; }
}

threads() {
  local tsan=build/test-tsan tests='PluginThreadStressTests|FrameworkTests|ClapWrapperTests|ClapEditorX11Tests'
  echo "== Thread tests under ThreadSanitizer"
  CC=clang CXX=clang++ cmake -S . -B $tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLOCHORD_WERROR=ON \
    -DCYCLOCHORD_TSAN=ON -DCYCLOCHORD_BENCH=OFF >/dev/null
  cmake --build $tsan -j"$jobs" --target PluginThreadStressTests FrameworkTests ClapWrapperTests ClapEditorX11Tests
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
    bash -c "cd $tsan && ctest --output-on-failure -j$jobs -R '$tests'"
}

steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(sanitizers fuzz threads)
for step in "${steps[@]}"; do
  case $step in
    sanitizers | fuzz | threads) "$step" ;;
    *) echo "usage: $0 [sanitizers] [fuzz] [threads]" >&2; exit 2 ;;
  esac
done
