#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if any are missing, in one apt-get run.
# --windows adds the MinGW-w64 compilers and Wine (scripts/test-windows.sh), --packages the tools that make and
# check the packages (scripts/package.sh); the test command asks for all of them at once.
set -euo pipefail

packages=(
  cmake g++ make pkg-config ccache
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-liberation
  libxcb1-dev libxcb-shm0-dev libxcb-xtest0-dev xvfb xauth
  dpf-plugins-vst
  lv2-dev sordi liblilv-dev lilv-utils
)
windows=0
for arg in "$@"; do
  case $arg in
    --windows)
      windows=1
      packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
        binutils-mingw-w64-x86-64 libz-mingw-w64-dev googletest wine wine64 wine32:i386 fonts-wine)
      ;;
    --packages) packages+=(dpkg-dev lintian zip unzip file pandoc) ;;
    *) echo "usage: $0 [--windows] [--packages]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
# 32-bit Wine comes from the i386 architecture.
if [ $windows = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
