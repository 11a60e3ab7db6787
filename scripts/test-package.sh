#!/usr/bin/env bash
# Tests the release packages as a musician gets them: builds them with scripts/package.sh, installs the .deb with
# dpkg, loads every format from its installed path (lv2ls, cyclochord-host --version and info), renders every
# example through each installed format and compares it byte for byte with the build tree's render, removes the
# package and checks that nothing of it is left. Then scripts/install.sh --user and --uninstall into a scratch home,
# and the Windows .zip: each module from it loaded under Wine by the Windows cyclochord-host.exe (skipped, with a
# message, when there is no Windows build). Needs root or sudo for dpkg. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
build=${CYCLOCHORD_BUILD:-build/test-release}
export CYCLOCHORD_BUILD=$build
version=$(sed -n 's/^project(Cyclochord VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor patch <<<"$version"
decimal=$(((major * 100 + minor) * 100 + patch))
uri=https://larkspire.example/plugins/cyclochord
failures=()
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "  ok: $what"; else echo "  FAILED: $what"; failures+=("$what"); fi
}

# The presets a CLAP host's browser finds for a module (cyclochord-host info indexes its discovery) with HOME set
# as given: all of them, in the folder given.
clap_presets_in() {  # home, host, module, folder
  local listing
  listing=$(HOME=$1 XDG_DATA_HOME='' "$2" info "$3" 2>&1) || return 1
  grep -qxF "presets       Factory presets: $4 (factory content), $(ls presets/*.fxp | wc -l) found" <<<"$listing"
}

bash scripts/package.sh
deb=build/packages/cyclochord_${version}_amd64.deb
work=$PWD/build/package-test
rm -rf "$work" && mkdir -p "$work"

echo "== the .deb's control data"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
check "package version is $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "dpkg-shlibdeps found the run-time libraries" grep -q 'libc6 (>=' <<<"$depends"
check "installs under /usr only" bash -c "! dpkg-deb -c '$deb' | awk '{print \$6}' | grep -v '^\./usr/' | grep -v '^\./\$'"
check "copyright file in /usr/share/doc/cyclochord" bash -c "dpkg-deb -c '$deb' | grep -q ' ./usr/share/doc/cyclochord/copyright\$'"
check "no maintainer scripts: the control part holds control and md5sums only" \
  test "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v '^\./$' | LC_ALL=C sort | tr '\n' ' ')" = "./control ./md5sums "
check "nothing but documentation under /usr/share/doc (no scripts, nothing executable)" \
  bash -c "! dpkg-deb -c '$deb' | awk '\$6 ~ /^\\.\\/usr\\/share\\/doc\\// && (\$1 ~ /^-.*x/ || \$6 ~ /\\.sh\$/)' | grep -q ."

echo "== installing with dpkg"
if dpkg-query -W -f='${Status}' cyclochord 2>/dev/null | grep -q "ok installed"; then
  echo "removing an earlier cyclochord package first"
  $sudo dpkg -P cyclochord >/dev/null
fi
# Dependencies first, so that the file lists before and after differ by the package alone.
DEBIAN_FRONTEND=noninteractive $sudo apt-get satisfy -y -qq "$depends" >/dev/null
snapshot() { find /usr /etc -xdev 2>/dev/null | LC_ALL=C sort; }
snapshot >"$work/before.txt"
removed=0
cleanup() { [ $removed = 1 ] || $sudo dpkg -P cyclochord >/dev/null 2>&1 || true; }
trap cleanup EXIT
$sudo dpkg -i "$deb"

host=/usr/bin/cyclochord-host
for f in /usr/lib/vst/Cyclochord.so /usr/lib/clap/Cyclochord.clap /usr/lib/lv2/Cyclochord.lv2/manifest.ttl \
  /usr/lib/lv2/Cyclochord.lv2/Cyclochord.so $host /usr/share/doc/cyclochord/copyright; do
  check "installed $f" test -f "$f"
done
check "presets in /usr/share/cyclochord/presets" bash -c 'ls /usr/share/cyclochord/presets/*.fxp >/dev/null'
# Only the installed folder, whatever a user or another build put elsewhere on LV2_PATH.
export LV2_PATH=/usr/lib/lv2
check "lv2ls lists $uri from /usr/lib/lv2" bash -c "lv2ls | grep -qx '$uri'"
check "cyclochord-host --version says $version" test "$($host --version)" = "cyclochord-host $version"
$host info /usr/lib/vst/Cyclochord.so >"$work/info-vst.txt" || true
check "info loads the installed VST module, version $decimal" \
  grep -q "^version  *$decimal (vendor version $decimal," "$work/info-vst.txt"
$host info /usr/lib/clap/Cyclochord.clap >"$work/info-clap.txt" || true
check "info loads the installed CLAP module, version $version" grep -qx "version  *$version" "$work/info-clap.txt"
check "CLAP preset discovery finds every preset in /usr/share/cyclochord/presets" \
  clap_presets_in "$work/empty-home" $host /usr/lib/clap/Cyclochord.clap /usr/share/cyclochord/presets
ttl=/usr/lib/lv2/Cyclochord.lv2/Cyclochord.ttl
check "the installed Turtle says version $version" bash -c "grep -q 'lv2:minorVersion $((2 * (major * 100 + minor))) ;' $ttl &&
  grep -q 'lv2:microVersion $patch ;' $ttl"
lv2info "$uri" >"$work/info-lv2.txt" 2>&1 || true
check "lv2info loads $uri from /usr/lib/lv2/Cyclochord.lv2" grep -q "Bundle: *file:///usr/lib/lv2/Cyclochord.lv2/" \
  "$work/info-lv2.txt"

echo "== renders through the installed formats against the build tree"
mkdir -p "$work/renders"
while read -r name midi preset; do
  case "$name" in "" | "#"*) continue ;; esac
  ref=$work/renders/$name-build.mid
  "$build/out/cyclochord-host" render "$build/out/Cyclochord.so" "examples/$midi" -o "$ref" \
    --load-fxp "presets/$preset" >/dev/null
  for format in vst clap lv2; do
    out=$work/renders/$name-$format.mid
    case $format in
      vst) target=(/usr/lib/vst/Cyclochord.so) ;;
      clap) target=(/usr/lib/clap/Cyclochord.clap) ;;
      lv2) target=(--lv2 "$uri") ;;
    esac
    $host render "${target[@]}" "examples/$midi" -o "$out" --load-fxp "presets/$preset" >/dev/null 2>&1 || true
    check "$name through the installed $format is identical" cmp -s "$ref" "$out"
  done
done <examples/renders.list

echo "== removing the package as a musician does (apt remove, no purge)"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq cyclochord >/dev/null
removed=1
snapshot >"$work/after.txt"
if diff "$work/before.txt" "$work/after.txt" >"$work/left.txt"; then
  echo "  ok: the file lists before and after are the same"
else
  echo "  FAILED: files differ after removal:"
  sed 's/^/    /' "$work/left.txt" | head -40
  failures+=("files left after apt remove")
fi
check "dpkg no longer knows cyclochord (not even as removed, 'rc')" bash -c '! dpkg-query -W cyclochord >/dev/null 2>&1'

echo "== the .tar.gz unpacked under a prefix"
tgz=build/packages/cyclochord-${version}-linux-$(uname -m).tar.gz
prefix=$work/prefix
mkdir -p "$prefix"
tar -xzf "$tgz" -C "$prefix" --strip-components=1
check "the tarball's README at its top says where to copy what" grep -q "cp lib/clap/Cyclochord.clap ~/.clap/" "$prefix/README"
check "the tarball holds the .deb's files under the prefix" bash -c "cd '$prefix' && test -f lib/vst/Cyclochord.so &&
  test -f lib/lv2/Cyclochord.lv2/manifest.ttl && test -f lib/clap/Cyclochord.clap && ls share/cyclochord/presets/*.fxp >/dev/null"
check "CLAP preset discovery finds every preset in the prefix's share/cyclochord/presets" \
  clap_presets_in "$work/empty-home" "$build/out/cyclochord-host" "$prefix/lib/clap/Cyclochord.clap" \
  "$prefix/share/cyclochord/presets"

echo "== scripts/install.sh --user and --uninstall in a scratch home"
home=$work/home
mkdir -p "$home/.vst"  # one folder that exists already must stay
touch "$home/.vst/other-plugin.so"
(cd "$home" && find . | LC_ALL=C sort) >"$work/home-before.txt"
HOME=$home XDG_DATA_HOME= bash scripts/install.sh --user >"$work/install.log"
for f in .vst/Cyclochord.so .clap/Cyclochord.clap .lv2/Cyclochord.lv2/manifest.ttl .lv2/Cyclochord.lv2/Cyclochord.so \
  .local/bin/cyclochord-host .local/share/cyclochord/installed-files; do
  check "user install has ~/$f" test -f "$home/$f"
done
check "user install's host reports $version" test "$("$home/.local/bin/cyclochord-host" --version)" = "cyclochord-host $version"
check "CLAP preset discovery from ~/.clap finds every preset in ~/.local/share/cyclochord/presets" \
  clap_presets_in "$home" "$home/.local/bin/cyclochord-host" "$home/.clap/Cyclochord.clap" \
  "$home/.local/share/cyclochord/presets"
HOME=$home XDG_DATA_HOME= bash scripts/install.sh --uninstall >/dev/null
(cd "$home" && find . | LC_ALL=C sort) >"$work/home-after.txt"
if diff "$work/home-before.txt" "$work/home-after.txt"; then
  echo "  ok: uninstall left the scratch home as it was"
else
  failures+=("install.sh --uninstall left files")
fi

echo "== the Windows .zip under Wine"
zip=build/packages/cyclochord-${version}-windows.zip
if [ ! -f "$zip" ]; then
  echo "skipped: no Windows build, so no $zip (scripts/test-windows.sh builds it)"
else
  export WINEDEBUG=-all WINEPREFIX="$PWD/build/wine-prefix" WINEDLLOVERRIDES="mscoree,mshtml="
  unzip -q "$zip" -d "$work/zip"
  top=$work/zip/Cyclochord-$version
  check "README.txt has CRLF line ends" grep -q $'\r$' "$top/README.txt"
  check "presets in the zip's Cyclochord Presets folder" bash -c "ls '$top/Cyclochord Presets'/*.fxp >/dev/null"
  check "the guide as one HTML file with its pictures inside" \
    test "$(grep -o 'src="data:image/png' "$top/Cyclochord Guide.html" | wc -l)" -ge 3
  first=$(awk '!/^#/ && NF {print; exit}' examples/renders.list)
  read -r name midi preset <<<"$first"
  for arch in i686 x86_64; do
    bits=64
    [ $arch = i686 ] && bits=32
    exe=build/win-$arch/out/cyclochord-host.exe
    wine "$exe" info "$top/$bits-bit/Cyclochord.dll" >"$work/info-$arch-dll.txt" 2>&1 || true
    check "$bits-bit Cyclochord.dll from the zip loads, version $decimal" \
      grep -q "^version  *$decimal (vendor version $decimal," "$work/info-$arch-dll.txt"
    wine "$exe" info "$top/$bits-bit/Cyclochord.clap" >"$work/info-$arch-clap.txt" 2>&1 || true
    check "$bits-bit Cyclochord.clap from the zip loads, version $version" \
      grep -q "^version  *$version\s*$" "$work/info-$arch-clap.txt"
    # As the guide says: Cyclochord.clap and the Cyclochord Presets folder side by side in the CLAP folder.
    clapdir="$work/win$bits/Common Files/CLAP"
    mkdir -p "$clapdir"
    cp "$top/$bits-bit/Cyclochord.clap" "$clapdir/"
    cp -r "$top/Cyclochord Presets" "$clapdir/"
    wine "$exe" info "$clapdir/Cyclochord.clap" >"$work/info-$arch-clap-installed.txt" 2>&1 || true
    check "$bits-bit CLAP preset discovery finds every preset in Cyclochord Presets beside the .clap" \
      grep -qF "Cyclochord Presets (factory content), $(ls presets/*.fxp | wc -l) found" "$work/info-$arch-clap-installed.txt"
    for module in Cyclochord.dll Cyclochord.clap; do
      out=$work/renders/$name-win$bits-$module.mid
      wine "$exe" render "$top/$bits-bit/$module" "examples/$midi" -o "$out" --load-fxp "presets/$preset" \
        >/dev/null 2>&1 || true
      check "$name through the zip's $bits-bit $module is identical" cmp -s "$work/renders/$name-build.mid" "$out"
    done
  done
fi

if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}"
  echo "packages: ${#failures[@]} failed"
  exit 1
fi
echo "packages: all checks passed"
