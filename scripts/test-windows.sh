#!/usr/bin/env bash
# Cross-builds the 32- and 64-bit Windows DLLs and .clap files, cyclochord-host and the tests with MinGW-w64 and
# checks them under Wine: the modules' exports and imports, every test program (the editor ones on a virtual
# display), and a render of every example through both modules that must be byte-identical to the Linux render. Installs what is missing; exits non-zero on any
# failure. The Linux build it compares with is CYCLOCHORD_LINUX_BUILD (default build/test-release).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

bash scripts/install-deps.sh --windows

jobs=$(nproc)
failures=()

echo "== libpng for Windows from Debian's sources"
bash scripts/win-deps.sh build/win-deps

echo "== Linux build to compare with"
linux=${CYCLOCHORD_LINUX_BUILD:-build/test-release}
cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=Release -DCYCLOCHORD_WERROR=ON >/dev/null
cmake --build "$linux" -j"$jobs" --target cyclochord-host Cyclochord CyclochordEditorTests >/dev/null
(cd "$linux/out" && ./CyclochordEditorTests --gtest_brief=1 --gtest_filter='EditorRender.*' >/dev/null)
reference=$PWD/$linux/out/editor-render.png

export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wine-prefix"
# No offers to install Mono or Gecko into a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Tests start in parallel: the prefix must exist before the first of them.
wineboot --init >/dev/null 2>&1
wineserver --wait

for arch in i686 x86_64; do
  echo "== Windows $arch: build"
  dir=build/win-$arch
  cmake --no-warn-unused-cli -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" \
    -DCYCLOCHORD_WIN_PREFIX="$PWD/build/win-deps/$arch" -DCMAKE_BUILD_TYPE=Release \
    -DCYCLOCHORD_WERROR=ON -DCYCLOCHORD_BENCH=OFF -DCYCLOCHORD_EDITOR_REFERENCE="$reference" >/dev/null
  cmake --build "$dir" -j"$jobs" >/dev/null

  dll=$dir/out/Cyclochord.dll
  for module in Cyclochord.dll Cyclochord.clap; do
    echo "== Windows $arch: $module"
    dump=$($arch-w64-mingw32-objdump -p "$dir/out/$module")
    imports=$(awk '/DLL Name:/ {print $3}' <<<"$dump" | sort -f | tr '\n' ' ')
    exports=$(awk '/\[Name Pointer\/Ordinal\] Table/ {on=1; next} on && /^\t\[/ && !/\+base/ {print $NF}' <<<"$dump" |
      LC_ALL=C sort | tr '\n' ' ')
    echo "size $(stat -c %s "$dir/out/$module") bytes; imports: $imports; exports: $exports"
    for dllName in $imports; do
      case "${dllName,,}" in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
        *) failures+=("$arch: $module needs $dllName, which Windows does not ship") ;;
      esac
    done
    expected="VSTPluginMain main "
    [ "$module" = Cyclochord.clap ] && expected="clap_entry "
    [ "$exports" = "$expected" ] || failures+=("$arch: $module exports '$exports'")
  done
  dump=$($arch-w64-mingw32-objdump -p "$dll")
  # Resource ids under the type named PNG, from the resource directory: the 1x images, then their 2x twins.
  pngIds=$(awk '/Resource Directory section/ {r = 1}
    r && /^[0-9a-f]+   Entry:/ {png = /: PNG,/; next}
    r && png && /^[0-9a-f]+     Entry: ID:/ {sub(",", "", $4); print $4}' <<<"$dump" |
    while read -r hex; do echo $((hex)); done | tr '\n' ' ')
  echo "PNG resources: $pngIds"
  [ "$pngIds" = "100 101 102 103 104 200 201 202 203 204 " ] || failures+=("$arch: PNG resources are '$pngIds'")

  echo "== Windows $arch: tests under Wine"
  # Wine's first process on a new display sets up the desktop; two tests starting at once then stall each other for
  # half a minute. One process first, on the same display, does it alone.
  (cd "$dir" && xvfb-run -a bash -c "wine cmd /c exit && ctest --output-on-failure -j$jobs") || failures+=("$arch: tests")

  echo "== Windows $arch: example renders against Linux"
  compare=build/win-renders/$arch
  rm -rf "$compare" && mkdir -p "$compare/linux" "$compare/windows"
  passed=0
  failed=0
  while read -r name midi preset; do
    case "$name" in "" | "#"*) continue ;; esac
    "$linux/out/cyclochord-host" render "$linux/out/Cyclochord.so" "examples/$midi" -o "$compare/linux/$name.mid" \
      --load-fxp "presets/$preset" >/dev/null
    for module in Cyclochord.dll Cyclochord.clap; do
      out=$compare/windows/$name-$module.mid
      if wine "$dir/out/cyclochord-host.exe" render "$dir/out/$module" "examples/$midi" -o "$out" \
        --load-fxp "presets/$preset" >/dev/null && cmp -s "$compare/linux/$name.mid" "$out"; then
        echo "  $name through $module: identical ($(stat -c %s "$out") bytes)"
        passed=$((passed + 1))
      else
        echo "  $name through $module: DIFFERS"
        failed=$((failed + 1))
        failures+=("$arch: render of $name through $module")
      fi
    done
  done <examples/renders.list
  echo "renders: $passed passed, $failed failed"
done

echo "== Windows part took $((SECONDS - start)) s"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}"
  exit 1
fi
echo "Windows: all checks passed"
