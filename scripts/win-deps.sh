#!/usr/bin/env bash
# Builds zlib-backed libpng for both MinGW targets from Debian's own libpng1.6 source package.
# Usage: scripts/win-deps.sh OUTDIR   (installs into OUTDIR/i686 and OUTDIR/x86_64)
set -euo pipefail
out=$(realpath -m "${1:-build/win-deps}")
mkdir -p "$out"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# apt needs a deb-src twin of the main archive entry to download sources.
srclist=/etc/apt/sources.list.d/cyclochord-src.sources
if [ ! -f "$srclist" ]; then
  $sudo tee "$srclist" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $sudo apt-get update -qq
fi

src="$out/src"
if [ ! -d "$src/libpng" ]; then
  rm -rf "$src" && mkdir -p "$src" && cd "$src"
  # The security archive's newest version may not download; try the listed versions in turn.
  for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}'); do
    apt-get source --download-only "libpng1.6=$v" >/dev/null 2>&1 && break
  done
  orig=$(ls libpng1.6_*.orig.tar.* | head -n 1)
  mkdir libpng && tar -xf "$orig" -C libpng --strip-components=1
  cd - >/dev/null
fi

for arch in i686 x86_64; do
  prefix="$out/$arch"
  [ -f "$prefix/lib/libpng16.a" ] && continue
  triple=$arch-w64-mingw32
  cmake -S "$src/libpng" -B "$out/build-$arch" -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER="$triple-gcc-posix" -DCMAKE_RC_COMPILER="$triple-windres" \
    -DCMAKE_FIND_ROOT_PATH="/usr/$triple" -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_BUILD_TYPE=Release \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$out/build-$arch" -j"$(nproc)" >/dev/null
  cmake --install "$out/build-$arch" >/dev/null
done
echo "libpng for Windows in $out"
