#!/usr/bin/env bash
# Installs what is missing, checks the layering of includes, then builds and runs every test: a warnings-as-errors
# release build, a build under AddressSanitizer and UndefinedBehaviorSanitizer, the clang checks (scripts/test-clang.sh:
# sanitizers with bounds, a short run of every fuzz target, ThreadSanitizer), the 32- and 64-bit Windows builds
# under Wine, and the packages made of the release build and the Windows builds (installed, loaded and removed).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCYCLOCHORD_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -j"$jobs")
}

echo "== Layering of includes =="
bash scripts/check-layers.sh

echo "== Release build and tests =="
run_suite build/test-release -DCMAKE_BUILD_TYPE=Release

echo "== Sanitizer build and tests =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/test-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLOCHORD_SANITIZE=ON -DCYCLOCHORD_BENCH=OFF

echo "== Clang sanitizer build and tests, fuzzing, thread stress =="
bash scripts/test-clang.sh

echo "== Windows builds and tests under Wine =="
bash scripts/test-windows.sh

echo "== Packages: the .deb installed and removed, the user install, the Windows .zip =="
bash scripts/test-package.sh
