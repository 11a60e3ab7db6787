#!/bin/bash
# The demo: installs what is missing, builds, and plays every example through Cyclochord into
# out/ (MIDI, piano-roll picture, and audio through Debian's Kars instrument).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== building (Release, build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target cyclochord-host Cyclochord >/dev/null

host=build/out/cyclochord-host
plugin=build/out/Cyclochord.so
synth=/usr/lib/vst/Kars-vst.so
mkdir -p out

status=0
render() {  # name, MIDI file, preset
  echo
  echo "== $1: examples/$2 through Cyclochord with presets/$3"
  "$host" render "$plugin" "examples/$2" -o "out/$1.mid" --load-fxp "presets/$3" \
    --plot "out/$1.png" --synth "$synth" --wav "out/$1.wav" --normalize || status=1
}
while read -r name midi preset; do
  case "$name" in "" | "#"*) continue ;; esac
  render "$name" "$midi" "$preset"
done <examples/renders.list

echo
echo "== done: out/*.mid (Cyclochord's output), out/*.png (piano rolls), out/*.wav (listen to them)"
exit $status
