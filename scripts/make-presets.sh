#!/bin/bash
# Writes the shipped presets into presets/ with cyclochord-host's preset command (the .fxp files are committed;
# the golden renders depend on the bytes of the first three). presets/ holds these files and nothing else: the
# install and the LV2 bundle take every .fxp in it.
# Usage: bash scripts/make-presets.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
host="$build/out/cyclochord-host"
plugin="$build/out/Cyclochord.so"

# Every trigger becomes a triad in C major whose shape turns with each note: the trigger as
# root, as third, as fifth, then as the bottom of a first inversion. Snapping moves the
# chromatic intervals onto the scale (+3 becomes the diatonic third above, -4 the one below).
"$host" preset "$plugin" --name "Rotating triads" -o presets/rotating-triads.fxp \
  --set ParMute=on \
  --set v1Chan=2 --set v1Vel=-15 --set v1Int1=3 --set v1Int2=-4 --set v1Int3=-7 --set v1Int4=3 --set v1algo=Up \
  --set v2Chan=3 --set v2Vel=-15 --set v2Int1=7 --set v2Int2=3 --set v2Int3=-4 --set v2Int4=8 --set v2algo=Up \
  --set Snap=on --set Scale=Major --set Tonic=C

# Echoes on the C pentatonic scale: an octave up a dotted eighth later, a zig-zagging voice a
# beat later and a low voice two beats later, each softer than the last.
"$host" preset "$plugin" --name "Pentatonic echo" -o presets/pentatonic-echo.fxp \
  --set ParChan=2 --set ParInt=12 --set pDelay=1/8d --set ParVel=-25 \
  --set v1Chan=3 --set v1Vel=-20 --set v1Delay=1/4 --set v1Int1=7 --set v1Int2=5 --set v1Int3=9 --set v1Int4=2 \
  --set v1algo=ZigZag \
  --set v2Chan=4 --set v2Vel=-30 --set v2Delay=1/2 --set v2Int1=-12 --set v2Int2=-5 --set v2Int3=0 --set v2Int4=-8 \
  --set v2algo=UpDown \
  --set Snap=on --set Scale=Penta --set Tonic=C

# Two instruments from one part: the notes as played on channel 1, and an octave higher and a
# little softer on channel 2.
"$host" preset "$plugin" --name "Two-channel split" -o presets/two-channel-split.fxp \
  --set ParChan=2 --set ParInt=12 --set ParVel=-10 --set v1Mute=on --set v2Mute=on

# One instrument made fuller: every note with its octave above and below, all on channel 1.
"$host" preset "$plugin" --name "Octave doubler" -o presets/octave-doubler.fxp \
  --set ParInt=12 --set ParVel=-12 \
  --set v1Vel=-6 --set v1Int1=-12 --set v1Int2=-12 --set v1Int3=-12 --set v1Int4=-12 \
  --set v2Mute=on

# A strum in G major: the played note first, then the third, fifth and octave above it, each a little
# later and softer, as a guitarist's downstroke. Snapping keeps the third major or minor as the key wants.
"$host" preset "$plugin" --name "Strummed G major" -o presets/strummed-g-major.fxp \
  --set ParInt=4 --set pDelay=1/32 --set ParVel=-5 \
  --set v1Vel=-10 --set v1Delay=1/16 --set v1Int1=7 --set v1Int2=7 --set v1Int3=7 --set v1Int4=7 \
  --set v2Vel=-15 --set v2Delay=1/16d --set v2Int1=12 --set v2Int2=12 --set v2Int3=12 --set v2Int4=12 \
  --set Snap=on --set Scale=Major --set Tonic=G

# Echoes that bounce between two instruments (or two sides of the stereo field): an eighth later on
# channel 2, a beat later back on channel 1, a dotted beat later on channel 2 again, fading out.
"$host" preset "$plugin" --name "Ping-pong echo" -o presets/ping-pong-echo.fxp \
  --set ParChan=2 --set pDelay=1/8 --set ParVel=-10 \
  --set v1Chan=1 --set v1Delay=1/4 --set v1Vel=-20 \
  --set v2Chan=2 --set v2Delay=1/4d --set v2Vel=-30

# An arpeggio in A minor that turns with each note: a triplet-eighth echo that climbs through the
# third, fifth and seventh and back, under a second voice that walks down the same chord a beat later.
"$host" preset "$plugin" --name "A minor arpeggio" -o presets/a-minor-arpeggio.fxp \
  --set ParMute=on \
  --set v1Chan=2 --set v1Vel=-10 --set v1Delay=1/8t --set v1Int1=3 --set v1Int2=7 --set v1Int3=10 --set v1Int4=12 \
  --set v1algo=UpDown \
  --set v2Chan=3 --set v2Vel=-20 --set v2Delay=1/4 --set v2Int1=-5 --set v2Int2=-9 --set v2Int3=-12 --set v2Int4=-2 \
  --set v2algo=Down \
  --set Snap=on --set Scale=Minor --set Tonic=A
