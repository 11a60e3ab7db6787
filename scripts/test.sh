#!/usr/bin/env bash
# The test command. Installs what is missing, checks the layering of includes, then builds and runs every test,
# stage by stage: a warnings-as-errors release build with GCC, the clang checks
# (scripts/test-clang.sh: every test under AddressSanitizer and UndefinedBehaviorSanitizer with
# bounds, every fuzz target for a fixed time, the thread tests under ThreadSanitizer), the 32- and 64-bit Windows
# builds under Wine, and the packages made of the release and Windows builds. Compiles go through ccache, so a
# second run on the same machine, from this clone or a fresh one, builds little. Ends with a table of the stages
# and their wall and CPU times; the first failing stage stops the run with its exit status.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stages.sh
jobs=$(nproc)

release=build/test-release
release_build() {
  cmake -S . -B $release -DCMAKE_BUILD_TYPE=Release -DCYCLOCHORD_WERROR=ON >/dev/null
  cmake --build $release -j"$jobs"
}

# The Windows and packaging tools (Wine is most of the download) install while the release build compiles; the
# stage that waits for them reads the exit status from a file, as stages run in subshells.
tools_log=build/install-tools.log
tools_status=build/install-tools.status
wait_for_tools() {
  while [ ! -s $tools_status ]; do sleep 1; done
  cat $tools_log
  return "$(cat $tools_status)"
}

stage "Install missing packages for the Linux builds" bash scripts/install-deps.sh
mkdir -p build
rm -f $tools_status
(
  start=$SECONDS
  status=0
  bash scripts/install-deps.sh --windows --packages || status=$?
  echo "Windows and packaging tools: exit $status after $((SECONDS - start)) s"
  echo $status >$tools_status
) >$tools_log 2>&1 &
stage "Layering of includes" bash scripts/check-layers.sh
stage "Release build (GCC, warnings as errors)" release_build
stage "Release tests" bash -c "cd $release && ctest --output-on-failure -j$jobs"
stage "Clang sanitizer build and tests" bash scripts/test-clang.sh sanitizers
stage "Fuzzing, ${FUZZ_SECONDS:-30} s per target" bash scripts/test-clang.sh fuzz
stage "ThreadSanitizer build and thread tests" bash scripts/test-clang.sh threads
stage "Wait for the Windows and packaging tools" wait_for_tools
stage "Windows builds and tests under Wine" bash scripts/test-windows.sh
stage "Packages installed, used and removed" bash scripts/test-package.sh
stage_table
