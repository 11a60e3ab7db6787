#!/usr/bin/env bash
# Copies the LV2 bundle of a build (default: build/) into ~/.lv2, where LV2 hosts look for the user's plug-ins.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
bundle="$build/lv2-bundles/Cyclochord.lv2"
for f in manifest.ttl Cyclochord.ttl presets.ttl Cyclochord.so; do
  if [ ! -f "$bundle/$f" ]; then
    echo "No complete bundle at $bundle (build it first: cmake --build $build)" >&2
    exit 1
  fi
done
dest="${LV2_INSTALL_DIR:-$HOME/.lv2}"
mkdir -p "$dest"
# The old bundle goes first: a host must not find a mix of two builds.
rm -rf "$dest/Cyclochord.lv2"
cp -r "$bundle" "$dest/"
echo "Installed $dest/Cyclochord.lv2"
