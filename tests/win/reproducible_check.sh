#!/usr/bin/env bash
# Builds the program again from a copy of the sources in another folder, makes both packages
# from each build with the same SOURCE_DATE_EPOCH, and compares the three files byte for byte:
# the same source gives the same downloads, wherever and whenever it is built.
#   reproducible_check.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
other=$(mktemp -d /tmp/sb-reproduce-XXXXXX)
trap 'rm -rf "$other"' EXIT
mkdir "$other/source"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$other/source" -xf -
cmake -S "$other/source" -B "$other/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$other/source/cmake/toolchain-mingw-x86_64.cmake" >/dev/null
cmake --build "$other/build" --target serverbrowser >/dev/null
export SOURCE_DATE_EPOCH=1700000000 TZ=UTC
cpack --config "$build_dir/CPackConfig.cmake" -B "$other/first" >/dev/null
cpack --config "$other/build/CPackConfig.cmake" -B "$other/second" >/dev/null
cmp "$build_dir/src/serverbrowser.exe" "$other/build/src/serverbrowser.exe"
for package in "$other"/first/*.zip "$other"/first/*.exe; do
  cmp "$package" "$other/second/$(basename "$package")"
done
echo "the same bytes:" serverbrowser.exe "$(cd "$other/first" && ls ./*.zip ./*.exe)"
