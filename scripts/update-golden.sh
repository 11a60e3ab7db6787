#!/usr/bin/env bash
# Regenerates the reviewed renders in tests/golden/: every example of examples/renders.list through Cyclochord
# with its preset, as the golden-render test plays it. Run it when a change of behaviour is intended, read the
# diff of the .mid files, and commit them with the change, saying so in the commit message.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${CYCLOCHORD_BUILD:-build/golden}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCYCLOCHORD_TESTS=OFF -DCYCLOCHORD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target cyclochord-host Cyclochord >/dev/null

rm -f tests/golden/*.mid
while read -r name midi preset; do
  case "$name" in "" | "#"*) continue ;; esac
  "$build/out/cyclochord-host" render "$build/out/Cyclochord.so" "examples/$midi" -o "tests/golden/$name.mid" \
    --load-fxp "presets/$preset" >/dev/null
  echo "tests/golden/$name.mid: $(stat -c %s "tests/golden/$name.mid") bytes"
done <examples/renders.list
git status --short tests/golden 2>/dev/null || true
