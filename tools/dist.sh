#!/usr/bin/env bash
# What a host developer downloads, made from the x64 and x86 builds (build/mingw,
# build/mingw-x86, already built): build/dist/tavolex-VERSION-windows.zip and the same files as
# build/dist/tavolex-VERSION.tar.gz, each holding one folder tavolex-VERSION/ with
#   x64/, x86/         Tavolex.plu, its debug information Tavolex.plu.debug, Tavolex.tlb and
#                      the example connection TavolexConnection.dll, of each bitness
#   include/tavolex/   the SDK's headers: the generated boundary.h and the C++ headers
#   idl/tavolex.idl    the boundary's declaration
#   cmake/             the CMake package: find_package(Tavolex 1.0 REQUIRED), Tavolex::sdk
#   examples/          the example hosts' sources: C (c_host), C++ (cpp_host, with its
#                      CMakeLists.txt), C# (csharp_host), and the connection's header
#   docs/host-sdk.md
#   LICENSE, CHANGELOG.md (its top entry is this version)
#   SHA256SUMS         of every other file
# build/dist/SHA256SUMS holds the two archives' sums. The version is the project's
# (CMakeLists.txt). Every file carries the time of the last commit, so that the archives of one
# commit are the same bytes too.
#   tools/dist.sh [--check]
#     --check: then unpack the zip into an empty folder, verify its sums, and from the archive
#     alone build, with each bitness's compiler, the C example host and the C++ example host
#     (through find_package), and run both under Wine against that bitness's Tavolex.plu
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tools/setup.sh
x64=$root/build/mingw
x86=$root/build/mingw-x86
for build in "$x64" "$x86"; do
  for file in src/module_boundary/Tavolex.plu examples/connection_library/TavolexConnection.dll; do
    [ -f "$build/$file" ] || { echo "dist: $build is not built ($file)" >&2; exit 1; }
  done
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x64/CMakeCache.txt")
top=$(sed -n 's/^## \([^ ]*\).*/\1/p' CHANGELOG.md | head -1)
if [ "$top" != "$version" ]; then
  echo "dist: CHANGELOG.md's top entry is '$top', the project's version $version" >&2
  exit 1
fi
name=tavolex-$version
out=$root/build/dist
stage=$out/$name
rm -rf "$stage" "$out/$name.tar.gz" "$out/$name-windows.zip" "$out/SHA256SUMS"
mkdir -p "$stage"/{x64,x86,include/tavolex,idl,cmake,docs} \
  "$stage"/examples/{c_host,cpp_host,csharp_host,connection_library}

for pair in "x64:$x64" "x86:$x86"; do
  arch=${pair%%:*} build=${pair#*:}
  cp "$build"/src/module_boundary/{Tavolex.plu,Tavolex.plu.debug,Tavolex.tlb} \
    "$build/examples/connection_library/TavolexConnection.dll" "$stage/$arch/"
done
cp "$x64/sdk/include/tavolex/boundary.h" "$stage/include/tavolex/"
cp sdk/include/tavolex/{com_types.h,interface_id.h,plugin.h,directory.h,host.h,ref.h,unknown_impl.h} \
  "$stage/include/tavolex/"
cp sdk/idl/tavolex.idl "$stage/idl/"
cp sdk/cmake/TavolexConfig.cmake "$x64/sdk/cmake/TavolexConfigVersion.cmake" "$stage/cmake/"
cp examples/c_host/*.c examples/c_host/*.h "$stage/examples/c_host/"
cp examples/cpp_host/{CMakeLists.txt,main.cpp} "$stage/examples/cpp_host/"
cp examples/csharp_host/*.cs "$stage/examples/csharp_host/"
cp examples/connection_library/tavolex_connection.h "$stage/examples/connection_library/"
cp docs/host-sdk.md "$stage/docs/"
cp LICENSE CHANGELOG.md "$stage/"
(cd "$stage" && find . -type f ! -name SHA256SUMS | LC_ALL=C sort | sed 's|^\./||' |
  xargs sha256sum > SHA256SUMS)

# Fixed modes and times, names in one order: the same files give the same archives.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 0)
find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@$stamp" {} +
(cd "$out" && find "$name" | LC_ALL=C sort |
  TZ=UTC zip -q -X -D -@ "$name-windows.zip")
tar -C "$out" --owner=0 --group=0 --numeric-owner --sort=name --mtime="@$stamp" -cf - "$name" |
  gzip -n > "$out/$name.tar.gz"
rm -rf "$stage"
(cd "$out" && sha256sum "$name-windows.zip" "$name.tar.gz" > SHA256SUMS)
for archive in "$name-windows.zip" "$name.tar.gz"; do
  echo "dist: $out/$archive ($(du -k "$out/$archive" | cut -f1) KB)"
done

[ "${1:-}" = --check ] || exit 0

check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
unzip -q "$out/$name-windows.zip" -d "$check"
unpacked=$check/$name
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS)

# Runs a host built from the archive under Wine against the archive's file of its bitness;
# fails unless it saw the command and got every reference back.
run_host() {
  local label=$1 arch=$2 build=$3 host=$4 output
  if [ "$arch" = x86 ] && ! tavolex_runs_32bit_programs; then
    echo "dist: $label built from the archive for x86; not run: this kernel runs no 32-bit programs"
    return 0
  fi
  output=$(TAVOLEX_WINE_ROOT=$build cmake/wine-run "$host" "Z:$unpacked/$arch/Tavolex.plu" 2>&1) ||
    { echo "$output"; echo "dist: the $label failed against the $arch file" >&2; return 1; }
  if ! grep -q '^references: all released' <<<"$output" || ! grep -q '^commands: 1' <<<"$output"; then
    echo "$output"
    echo "dist: the $label built from the archive did not run the $arch file through" >&2
    return 1
  fi
  echo "dist: $label built from the archive, run against $arch/Tavolex.plu: passed"
}

failed=0
for pair in "x64:x86_64-w64-mingw32:$x64" "x86:i686-w64-mingw32:$x86"; do
  IFS=: read -r arch triple build <<<"$pair"
  # The C host from the archive alone: its headers, its sources, the compiler's own libraries.
  c_host=$check/TavolexCHost-$arch.exe
  "$triple-gcc-posix" -std=c17 -Wall -Wextra -Werror -municode -static \
    -I"$unpacked/include" -I"$unpacked/examples" "$unpacked"/examples/c_host/*.c \
    -lole32 -loleaut32 -luuid -o "$c_host"
  run_host "C host" "$arch" "$build" "$c_host" || failed=1
  # The C++ host through the package alone: its CMakeLists.txt finds Tavolex in the archive's
  # folder. The toolchain file only names the cross compiler.
  cpp_build=$check/cpp_host-$arch
  cmake -S "$unpacked/examples/cpp_host" -B "$cpp_build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DTAVOLEX_MINGW_TARGET="$triple" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" \
    -DCMAKE_PREFIX_PATH="$unpacked" >"$check/cpp_host-$arch.log" ||
    { cat "$check/cpp_host-$arch.log"; echo "dist: the C++ host's configure failed ($arch)" >&2; exit 1; }
  cmake --build "$cpp_build" -j "${JOBS:-2}" >>"$check/cpp_host-$arch.log" ||
    { cat "$check/cpp_host-$arch.log"; echo "dist: the C++ host's build failed ($arch)" >&2; exit 1; }
  echo "dist: the C++ host ($arch) found $(sed -n 's/^Tavolex_DIR:PATH=//p' "$cpp_build/CMakeCache.txt" |
    sed "s|^$check/||") $(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")/\1/p' \
    "$unpacked/cmake/TavolexConfigVersion.cmake")"
  run_host "C++ host (find_package)" "$arch" "$build" "$cpp_build/TavolexCppHost.exe" || failed=1
done
exit $failed
