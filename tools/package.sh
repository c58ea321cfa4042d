#!/usr/bin/env bash
# A release for Windows users, built here from stripped Release builds: for the
# 32-bit product (i686) and for x64 (what the tests here run), a per-user MSI
# and a portable zip, in dist/:
#
#   bash tools/package.sh
#
#   dist/Quorvel-<version>-x86.msi  dist/Quorvel-<version>-win32.zip
#   dist/Quorvel-<version>-x64.msi  dist/Quorvel-<version>-x64.zip
#
# The version is the project's (CMakeLists.txt, project(VERSION)).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
bash tools/setup.sh >/dev/null

# An MSI of the exe at the given version: wixl -a ARCH, the same upgrade code
# for every version, and the range [VERSION, next patch) replaced as well, so
# that the same version installed twice leaves one entry.
make_msi() {  # ARCH EXE VERSION OUT
  local next log
  next=$(awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }' <<<"$3")
  # wixl finds files only by paths relative to the working folder (the root).
  log=$(wixl -a "$1" -D Version="$3" -D NextVersion="$next" -D Exe="$(realpath --relative-to=. "$2")" \
          -D Icon=res/art/128_app.ico -o "$4" tools/package/Quorvel.wxs 2>&1) || { echo "$log" >&2; return 1; }
  # wixl drops an attribute it does not know with only a warning.
  if grep -q "has no property named" <<<"$log"; then echo "$log" >&2; return 1; fi
}

if [ "${1:-}" = "--msi" ]; then  # one MSI only (the end-to-end tests make a newer one)
  make_msi "$2" "$3" "$4" "$5"
  exit
fi

mkdir -p dist
for target in i686 x86_64; do
  cmake -S . -B "build/win-$target" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$target-w64-mingw32.cmake" >/dev/null
  cmake --build "build/win-$target" -j"$(nproc)" --target Quorvel >/dev/null
done
version=$(sed -n 's/^#define QUORVEL_VERSION_TEXT "\(.*\)"$/\1/p' build/win-x86_64/res/QuorvelVersion.h)
[ -n "$version" ] || { echo "package: no version in build/win-x86_64/res/QuorvelVersion.h" >&2; exit 1; }
stage=build/package
rm -rf "$stage" && mkdir -p "$stage"
# The short text for the zip, as Notepad shows it: UTF-8 with a byte-order mark, CRLF lines.
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/" -e 's/$/\r/' tools/package/说明.txt; } >"$stage/说明.txt"

for pair in i686:x86:win32 x86_64:x64:x64; do
  IFS=: read -r target arch zipname <<<"$pair"
  exe=$stage/$target/Quorvel.exe
  mkdir -p "$stage/$target"
  "$target-w64-mingw32-strip" -o "$exe" "build/win-$target/app/Quorvel.exe"
  make_msi "$arch" "$exe" "$version" "dist/Quorvel-$version-$arch.msi"
  # Python's zipfile marks the Chinese file name as UTF-8, which Windows reads;
  # Info-ZIP's zip 3.0 leaves the mark off.
  python3 - "dist/Quorvel-$version-$zipname.zip" "Quorvel-$version" "$exe" "$stage/说明.txt" <<'PY'
import os, sys, zipfile
out, top, files = sys.argv[1], sys.argv[2], sys.argv[3:]
with zipfile.ZipFile(out + ".tmp", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for f in files:
        z.write(f, top + "/" + os.path.basename(f))
os.replace(out + ".tmp", out)
PY
done
ls -l dist/Quorvel-"$version"-*
