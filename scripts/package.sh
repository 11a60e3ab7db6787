#!/usr/bin/env bash
# Builds the release packages into build/packages/: cyclochord_VERSION_amd64.deb (checked with lintian), a .tar.gz
# of the same files, and, where the Windows builds exist (scripts/test-windows.sh makes them), a .zip of the 32- and
# 64-bit modules with the presets and the guide as one HTML page. Installs what it needs. The Linux build is
# CYCLOCHORD_BUILD (build/test-release, the test command's, so that it is reused); exits non-zero when a package
# cannot be made or lintian finds errors.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --packages

version=$(sed -n 's/^project(Cyclochord VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog=$(sed -n '1s/^cyclochord (\([^)]*\)).*/\1/p' packaging/changelog)
if [ "$changelog" != "$version" ]; then
  echo "packaging/changelog starts with version '$changelog', the project is $version: add an entry" >&2
  exit 1
fi

build=${CYCLOCHORD_BUILD:-build/test-release}
out=$PWD/build/packages
echo "== Linux build ($build)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCYCLOCHORD_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" \
  --target Cyclochord CyclochordClap CyclochordLv2Bundle cyclochord-host cyclochord-install-files >/dev/null

echo "== .deb and .tar.gz"
rm -rf "$out" && mkdir -p "$out"
(cd "$build" && cpack -B "$out/cpack" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
mv "$out"/cpack/*.deb "$out"/cpack/*.tar.gz "$out/"
rm -rf "$out/cpack" "$out/cpack.log"
deb=$out/cyclochord_${version}_amd64.deb
[ -f "$deb" ] || { echo "no $deb" >&2; exit 1; }
dpkg-deb -f "$deb"

echo "== lintian"
# No warning is overridden; I: lines are notes only.
lintian --fail-on error,warning --display-info "$deb" || { echo "lintian: errors or warnings (above)" >&2; exit 1; }
cat <<'NOTES'
lintian: no errors or warnings. Its notes (I:), where it shows them, are known:
  binary-has-unneeded-section .comment  the compiler's version string, left by CMake's strip
  hardening-no-bindnow, hardening-no-fortify-functions  the release build adds no hardening flags of its own;
                                        the modules and the tool read only files the user names
NOTES

echo "== Windows .zip"
zip=$out/cyclochord-${version}-windows.zip
missing=""
for arch in i686 x86_64; do
  for module in Cyclochord.dll Cyclochord.clap; do
    [ -f "build/win-$arch/out/$module" ] || missing+=" build/win-$arch/out/$module"
  done
done
if [ -n "$missing" ]; then
  echo "skipped: no Windows build (missing$missing); scripts/test-windows.sh makes it"
else
  stage=$out/zip/Cyclochord-$version
  # The CLAP module finds its presets in a "Cyclochord Presets" folder beside it: the guide says to copy both.
  mkdir -p "$stage/32-bit" "$stage/64-bit" "$stage/Cyclochord Presets"
  cp build/win-i686/out/Cyclochord.dll build/win-i686/out/Cyclochord.clap "$stage/32-bit/"
  cp build/win-x86_64/out/Cyclochord.dll build/win-x86_64/out/Cyclochord.clap "$stage/64-bit/"
  cp presets/*.fxp "$stage/Cyclochord Presets/"
  # One file with its pictures inside, which any browser opens.
  pandoc docs/guide.md --from gfm --standalone --self-contained --resource-path=docs \
    --metadata pagetitle="Cyclochord user's guide" -o "$stage/Cyclochord Guide.html"
  # Notepad of older Windows shows a file of bare LF as one line.
  sed "s/@VERSION@/$version/; s/\$/\r/" packaging/README-windows.txt >"$stage/README.txt"
  sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
  (cd "$out/zip" && zip -qrX9 "$zip" "Cyclochord-$version")
  rm -rf "$out/zip"
fi

echo "== packages in build/packages"
(cd "$out" && ls -l)
