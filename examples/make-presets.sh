#!/bin/bash
# Writes the example presets with cyclochord-host's preset command (the .fxp files are committed).
# Usage: bash examples/make-presets.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
host="$build/out/cyclochord-host"
plugin="$build/out/Cyclochord.so"

# Every trigger becomes a triad in C major whose shape turns with each note: the trigger as
# root, as third, as fifth, then as the bottom of a first inversion. Snapping moves the
# chromatic intervals onto the scale (+3 becomes the diatonic third above, -4 the one below).
"$host" preset "$plugin" --name "Rotating triads" -o examples/rotating-triads.fxp \
  --set ParMute=on \
  --set v1Chan=2 --set v1Vel=-15 --set v1Int1=3 --set v1Int2=-4 --set v1Int3=-7 --set v1Int4=3 --set v1algo=Up \
  --set v2Chan=3 --set v2Vel=-15 --set v2Int1=7 --set v2Int2=3 --set v2Int3=-4 --set v2Int4=8 --set v2algo=Up \
  --set Snap=on --set Scale=Major --set Tonic=C

# Echoes on the C pentatonic scale: an octave up a dotted eighth later, a zig-zagging voice a
# beat later and a low voice two beats later, each softer than the last.
"$host" preset "$plugin" --name "Pentatonic echo" -o examples/pentatonic-echo.fxp \
  --set ParChan=2 --set ParInt=12 --set pDelay=1/8d --set ParVel=-25 \
  --set v1Chan=3 --set v1Vel=-20 --set v1Delay=1/4 --set v1Int1=7 --set v1Int2=5 --set v1Int3=9 --set v1Int4=2 \
  --set v1algo=ZigZag \
  --set v2Chan=4 --set v2Vel=-30 --set v2Delay=1/2 --set v2Int1=-12 --set v2Int2=-5 --set v2Int3=0 --set v2Int4=-8 \
  --set v2algo=UpDown \
  --set Snap=on --set Scale=Penta --set Tonic=C

# Two instruments from one part: the notes as played on channel 1, and an octave higher and a
# little softer on channel 2.
"$host" preset "$plugin" --name "Two-channel split" -o examples/two-channel-split.fxp \
  --set ParChan=2 --set ParInt=12 --set ParVel=-10 --set v1Mute=on --set v2Mute=on
