#!/usr/bin/env bash
# Cross-builds the 32- and 64-bit Windows DLLs and test programs with MinGW-w64 and runs the
# tests under Wine. Installs the cross compilers and Wine when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
need=()
for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev googletest wine wine64 wine32:i386 xvfb; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  dpkg --print-foreign-architectures | grep -q i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

bash scripts/win-deps.sh build/win-deps
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wine-prefix"
jobs=$(nproc)

for arch in i686 x86_64; do
  echo "== Windows $arch build and tests =="
  dir=build/win-$arch
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" \
    -DCYCLOCHORD_WIN_PREFIX="$PWD/build/win-deps/$arch" -DCMAKE_BUILD_TYPE=Release \
    -DCYCLOCHORD_WERROR=ON -DCYCLOCHORD_BENCH=OFF >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure)
done
