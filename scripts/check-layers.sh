#!/usr/bin/env bash
# Checks that includes follow the layers (README, "Layout"): a file includes only headers of its own folder and
# of the folders its layer may use, and a platform folder (x11/, linux/, win/) neither includes another
# platform's files nor another platform's system headers. Prints each offending include; exits 1 if any.
set -euo pipefail
cd "$(dirname "$0")/.."

# Folder -> the folders it may include from (its own always). Deeper folders are listed before their parents.
declare -A may=(
  [framework]=""
  [raster]=""
  [engine]=""
  [editor/x11]="editor framework raster"
  [editor/win]="editor framework raster"
  [editor]="framework raster"
  [plugin]="framework engine editor"
  [plugin-lv2]="framework engine editor plugin"
  [tools/host/platform/linux]="tools/host/platform"
  [tools/host/platform/win]="tools/host/platform"
  [tools/host/platform]=""
  [tools/host/formats]="tools/host/platform"
  [tools/host/core]="tools/host/formats tools/host/platform"
  [tools/host/commands]="tools/host/core tools/host/formats tools/host/platform"
  [tools/host]="tools/host/commands"
)
# Of the framework, the host tool sees only the binary interfaces' declarations.
host_framework_headers="VstAbi.h ClapAbi.h"
folders=$(printf '%s\n' "${!may[@]}" | awk '{print length, $0}' | sort -rn | cut -d' ' -f2-)

layer_of() {
  local f
  for f in $folders; do
    case "$1" in "$f"/*) echo "$f"; return ;; esac
  done
}

platform_of() {
  case "/$1/" in */x11/* | */linux/*) echo unix ;; */win/*) echo win ;; esac
}

# Which folder holds each header; names must be unique, since includes name files without their folder.
declare -A home
failures=0
while read -r header; do
  name=${header##*/}
  # The format header exists once per format folder; a product target puts exactly one on its include path.
  if [ -n "${home[$name]:-}" ] && ! [[ $name == PluginFormat.h && $header == framework/format-*/* && ${home[$name]} == framework/format-* ]]; then
    echo "$header: a second header named $name (first in ${home[$name]})"
    failures=$((failures + 1))
  fi
  home[$name]=$(dirname "$header")
done < <(find framework raster engine editor plugin plugin-lv2 tools -name '*.h' | sort)

while read -r file; do
  layer=$(layer_of "$file")
  [ -n "$layer" ] || continue
  platform=$(platform_of "$(dirname "$file")")
  while IFS=: read -r line text; do
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      name=${BASH_REMATCH[1]##*/}
      dir=${home[$name]:-}
      [ -n "$dir" ] || continue  # a generated or test-only header
      target=$(layer_of "$dir/$name")
      ok=0
      [ "$target" = "$layer" ] && ok=1
      for allowed in ${may[$layer]}; do [ "$target" = "$allowed" ] && ok=1; done
      if [[ $layer == tools/host* && $target == framework && " $host_framework_headers " == *" $name "* ]]; then ok=1; fi
      other=$(platform_of "$dir")
      if [ -n "$other" ] && [ "$other" != "$platform" ]; then ok=0; fi
      if [ $ok = 0 ]; then
        echo "$file:$line: includes $name from $target, which $layer may not use"
        failures=$((failures + 1))
      fi
    elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      sys=${BASH_REMATCH[1]}
      case "$platform:$sys" in
        unix:windows.h | unix:windowsx.h | win:xcb/* | win:X11/* | win:dlfcn.h | win:unistd.h | win:pthread.h)
          echo "$file:$line: includes <$sys>, another platform's header"
          failures=$((failures + 1)) ;;
      esac
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(find framework raster engine editor plugin plugin-lv2 tools -name '*.h' -o -name '*.cpp' | sort)

if [ $failures -gt 0 ]; then
  echo "layering: $failures include(s) against the layers"
  exit 1
fi
echo "layering: every include follows the layers"
