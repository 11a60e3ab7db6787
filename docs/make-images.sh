#!/bin/bash
# Draws the user's guide's pictures into docs/images/ from a build tree; the PNG files are committed.
# Needs the targets cyclochord-host, Cyclochord and CyclochordEditorTests of that build.
# Usage: bash docs/make-images.sh [BUILD_FOLDER]   (default: build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
out="$build/out"
images=docs/images

# optipng makes the files small without changing a pixel; Liberation Sans is the piano roll's font.
missing=()
for p in optipng fonts-liberation; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

for f in "$out/cyclochord-host" "$out/Cyclochord.so" "$out/CyclochordEditorTests"; do
  [ -x "$f" ] || { echo "make-images: $f is missing; build it first" >&2; exit 1; }
done
mkdir -p "$images"

# The editor with every control at its default, as the editor tests draw it (no X server needed), at 100 % and
# at 200 %.
rm -f "$out/editor-render.png" "$out/editor-render-200.png"
(cd "$out" && ./CyclochordEditorTests --gtest_filter='EditorRender.*:ScaledEditorRender.*' >/dev/null)
cp "$out/editor-render.png" "$images/editor.png"
cp "$out/editor-render-200.png" "$images/editor-200.png"

# Piano rolls of an example before and after: input notes grey with a dark frame, each output channel
# in its own colour. The host exits non-zero if a note was left hanging, and then so does this script.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
plot() {  # picture name, MIDI file in examples/, preset in presets/
  "$out/cyclochord-host" render "$out/Cyclochord.so" "examples/$2" -o "$tmp/$1.mid" \
    --load-fxp "presets/$3" --tail 1 --plot "$images/$1.png" >/dev/null
}
plot melody-triads melody.mid rotating-triads.fxp
plot melody-echo melody.mid pentatonic-echo.fxp

optipng -quiet -o5 -strip all "$images"/*.png
ls -l "$images"
