#!/usr/bin/env bash
# Installs Cyclochord for the current user where hosts look: ~/.vst, ~/.lv2, ~/.clap, cyclochord-host in
# ~/.local/bin, the presets, docs and manual page under ~/.local/share. Builds first where the build lacks them.
#   bash scripts/install.sh --user        install (an earlier install by this script is removed first)
#   bash scripts/install.sh --uninstall   remove exactly what the last install put there
# Every file and every folder it made is listed in ~/.local/share/cyclochord/installed-files, which --uninstall
# reads; folders go only when empty. CYCLOCHORD_BUILD names the build folder (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."

data=${XDG_DATA_HOME:-$HOME/.local/share}
manifest=$data/cyclochord/installed-files

uninstall() {
  [ -f "$manifest" ] || { echo "Nothing to uninstall ($manifest not found)"; return 0; }
  local kind path dirs=()
  while read -r kind path; do
    case "$kind" in
      file) rm -f "$path" ;;
      dir) dirs+=("$path") ;;
    esac
  done <"$manifest"
  rm -f "$manifest"
  # Deepest first, in the reverse of the order they were made; a folder holding anything else stays.
  local i
  for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do rmdir "${dirs[$i]}" 2>/dev/null || true; done
  echo "Uninstalled Cyclochord"
}

case "${1:-}" in
  --uninstall) uninstall; exit 0 ;;
  --user) ;;
  *) echo "usage: $0 --user | --uninstall" >&2; exit 2 ;;
esac

build=${CYCLOCHORD_BUILD:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  bash scripts/install-deps.sh
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
echo "== building what is installed ($build)"
cmake --build "$build" -j"$(nproc)" \
  --target Cyclochord CyclochordClap CyclochordLv2Bundle cyclochord-host cyclochord-install-files >/dev/null

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage" --strip >/dev/null

uninstall >/dev/null
made=()   # folders this install creates, parents first
files=()
mkdir_p() {  # creates a folder and its missing parents, noting each one made
  local dir=$1 missing=()
  while [ ! -d "$dir" ]; do missing=("$dir" "${missing[@]}"); dir=$(dirname "$dir"); done
  local d
  for d in "${missing[@]}"; do mkdir "$d" && made+=("$d"); done
}
place() {  # everything under a staged folder into a destination folder
  local from=$1 to=$2 f rel
  [ -d "$from" ] || return 0
  while IFS= read -r -d '' f; do
    rel=${f#"$from"/}
    mkdir_p "$(dirname "$to/$rel")"
    cp -p "$f" "$to/$rel"
    files+=("$to/$rel")
  done < <(find "$from" -type f -print0 | sort -z)
}

# An LV2 host must never find a mix of an old and a new bundle.
rm -rf "$HOME/.lv2/Cyclochord.lv2"
place "$stage/lib/vst" "$HOME/.vst"
place "$stage/lib/lv2" "$HOME/.lv2"
place "$stage/lib/clap" "$HOME/.clap"
place "$stage/bin" "$HOME/.local/bin"
place "$stage/share" "$data"

mkdir_p "$(dirname "$manifest")"
{
  for d in "${made[@]}"; do echo "dir $d"; done
  for f in "${files[@]}"; do echo "file $f"; done
} >"$manifest"
echo "Installed Cyclochord $(sed -n 's/^project(Cyclochord VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt):"
printf '  %s\n' "${files[@]}"
case ":$PATH:" in
  *":$HOME/.local/bin:"*) ;;
  *) echo "Note: $HOME/.local/bin is not on your PATH; add it to run cyclochord-host by name." ;;
esac
