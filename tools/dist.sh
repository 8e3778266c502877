#!/usr/bin/env bash
# What a host developer downloads: one archive per version, build/dist/tavolex-VERSION.tar.gz,
# made from the x64 and x86 builds (build/mingw, build/mingw-x86, already built):
#   x64/, x86/         Tavolex.plu and Tavolex.tlb of each bitness
#   include/tavolex/   the SDK's headers: the generated boundary.h and the C++ headers
#   idl/tavolex.idl    the boundary's declaration
#   examples/          the C example host's and the C++ example host's sources, and the C
#                      host's connection to the example server (its header, and
#                      TavolexConnection.dll of each bitness)
#   docs/host-sdk.md
#   SHA256SUMS         of every other file
#   tools/dist.sh [--check]
#     --check: then unpack the archive into an empty folder, verify its sums, build the C example
#     host from the archive alone with each bitness's compiler and run it under Wine against that
#     bitness's Tavolex.plu
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tools/setup.sh
x64=$root/build/mingw
x86=$root/build/mingw-x86
for build in "$x64" "$x86"; do
  [ -f "$build/src/module/Tavolex.plu" ] || { echo "dist: $build is not built" >&2; exit 1; }
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x64/CMakeCache.txt")
name=tavolex-$version
out=$root/build/dist
stage=$out/$name
rm -rf "$stage" "$out/$name.tar.gz"
mkdir -p "$stage"/{x64,x86,include/tavolex,idl,examples/c_host,examples/host,docs} \
  "$stage"/examples/connection_library/{x64,x86}

for pair in "x64:$x64" "x86:$x86"; do
  arch=${pair%%:*} build=${pair#*:}
  cp "$build/src/module/Tavolex.plu" "$build/src/module/Tavolex.tlb" "$stage/$arch/"
  cp "$build/examples/connection_library/TavolexConnection.dll" \
    "$stage/examples/connection_library/$arch/"
done
cp "$x64/sdk/include/tavolex/boundary.h" "$stage/include/tavolex/"
cp sdk/include/tavolex/{com_types.h,plugin.h,directory.h,host.h} "$stage/include/tavolex/"
cp sdk/idl/tavolex.idl "$stage/idl/"
cp examples/c_host/*.c examples/c_host/*.h "$stage/examples/c_host/"
cp examples/connection_library/tavolex_connection.h "$stage/examples/connection_library/"
cp examples/host/*.h examples/host/*.cpp "$stage/examples/host/"
cp docs/host-sdk.md "$stage/docs/"
(cd "$stage" && find . -type f ! -name SHA256SUMS | sort | sed 's|^\./||' | xargs sha256sum \
  > SHA256SUMS)
tar -C "$out" --owner=0 --group=0 --sort=name -czf "$out/$name.tar.gz" "$name"
rm -rf "$stage"
echo "dist: $out/$name.tar.gz ($(du -k "$out/$name.tar.gz" | cut -f1) KB)"

[ "${1:-}" = --check ] || exit 0

check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
tar -C "$check" -xzf "$out/$name.tar.gz"
unpacked=$check/$name
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS)
failed=0
for pair in "x64:x86_64-w64-mingw32:$x64" "x86:i686-w64-mingw32:$x86"; do
  IFS=: read -r arch triple build <<<"$pair"
  host=$check/TavolexCHost-$arch.exe
  # From the archive alone: its headers, its sources, the compiler's own system libraries.
  "$triple-gcc-posix" -std=c17 -Wall -Wextra -Werror -municode -static \
    -I"$unpacked/include" -I"$unpacked/examples" "$unpacked"/examples/c_host/*.c \
    -lole32 -loleaut32 -luuid -o "$host"
  if [ "$arch" = x86 ] && ! tavolex_runs_32bit_programs; then
    echo "dist: C host built from the archive for x86; not run: this kernel runs no 32-bit programs"
    continue
  fi
  output=$(TAVOLEX_WINE_ROOT=$build cmake/wine-run "$host" "Z:$unpacked/$arch/Tavolex.plu" 2>&1) ||
    { echo "$output"; echo "dist: the C host failed against the $arch file" >&2; failed=1; continue; }
  if ! grep -q '^references: all released' <<<"$output" || ! grep -q '^commands: 1' <<<"$output"; then
    echo "$output"
    echo "dist: the C host built from the archive did not run the $arch file through" >&2
    failed=1
    continue
  fi
  echo "dist: C host built from the archive, run against $arch/Tavolex.plu: passed"
done
exit $failed
