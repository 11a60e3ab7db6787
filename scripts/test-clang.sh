#!/usr/bin/env bash
# The clang checks of the test command: every test under clang's AddressSanitizer and UndefinedBehaviorSanitizer
# (bounds included) in a build that also makes the fuzz targets; each fuzz target for a short fixed time after
# replaying its seeds and kept findings (the replay is one of the tests); and the thread stress test under
# ThreadSanitizer, with the framework's and the CLAP wrapper's tests (values crossing to the audio thread). FUZZ_SECONDS sets
# the time per target (30). Exits non-zero on any failure or finding.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
seconds=${FUZZ_SECONDS:-30}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build=build/test-clang
CC=clang CXX=clang++ cmake -S . -B $build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLOCHORD_WERROR=ON \
  -DCYCLOCHORD_SANITIZE=ON -DCYCLOCHORD_FUZZ=ON -DCYCLOCHORD_BENCH=OFF >/dev/null
cmake --build $build -j"$jobs"
(cd $build && ctest --output-on-failure -j"$jobs")

echo "== Fuzzing, ${seconds} s per target =="
targets=$(sed -n 's/^add_cyclochord_fuzzer(\([A-Za-z]*\) .*/\1/p' fuzz/CMakeLists.txt)
minutes=$(awk "BEGIN { print $seconds / 60 }")
failed=0
running=0
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
[ $failed -eq 0 ] || { echo "fuzzing found faults (above)"; exit 1; }

echo "== Thread stress test under ThreadSanitizer =="
tsan=build/test-tsan
CC=clang CXX=clang++ cmake -S . -B $tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLOCHORD_WERROR=ON \
  -DCYCLOCHORD_TSAN=ON -DCYCLOCHORD_BENCH=OFF >/dev/null
cmake --build $tsan -j"$jobs" --target PluginThreadStressTests FrameworkTests ClapWrapperTests ClapEditorX11Tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
  bash -c "cd $tsan && ctest --output-on-failure -R 'PluginThreadStressTests|FrameworkTests|ClapWrapperTests|ClapEditorX11Tests'"
