#!/usr/bin/env bash
# The shipped Windows files come out the same bytes from the same sources in another folder at
# another time: copies the working tree's files (tracked and new, not the ignored ones) into a
# folder of another path, builds there only the shipped targets of each bitness (Tavolex.plu
# with its debug file and type library, TavolexConnection.dll; no tests) and compares their
# SHA-256 with those of build/mingw and build/mingw-x86, which must be built already.
#   tools/check_reproducible.sh [FOLDER]
#     FOLDER: where the second tree goes (default build/second-folder/tree, kept, so that a
#     second run compiles only what changed there)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
second=${1:-$root/build/second-folder/tree}
files=(src/module_boundary/Tavolex.plu src/module_boundary/Tavolex.plu.debug src/module_boundary/Tavolex.tlb
       examples/connection_library/TavolexConnection.dll)

for preset in mingw mingw-x86; do
  for file in "${files[@]}"; do
    [ -f "build/$preset/$file" ] || { echo "check_reproducible: build/$preset is not built ($file)" >&2; exit 1; }
  done
done

# The same sources at another path: every file that git does not ignore, as it is now (the
# second tree's own build folders kept).
mkdir -p "$second"
find "$second" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf - | tar -C "$second" -xf -

different=0
for preset in mingw mingw-x86; do
  echo "== $preset: the shipped targets in $second/build/$preset"
  # Compiled anew, not taken from the compiler cache, which would hand back the first build's
  # objects.
  (cd "$second" && export CCACHE_DISABLE=1 &&
    cmake --preset "$preset" -DBUILD_TESTING=OFF >/dev/null &&
    cmake --build --preset "$preset" -j "${JOBS:-2}" \
      --target tavolex_plu tavolex_connection_library >/dev/null)
  for file in "${files[@]}"; do
    first_sum=$(sha256sum <"build/$preset/$file" | cut -d' ' -f1)
    second_sum=$(sha256sum <"$second/build/$preset/$file" | cut -d' ' -f1)
    if [ "$first_sum" = "$second_sum" ]; then
      echo "same       $first_sum  $preset/$(basename "$file")"
    else
      echo "DIFFERENT  $first_sum  build/$preset/$file"
      echo "           $second_sum  $second/build/$preset/$file"
      different=1
    fi
  done
done
if [ $different = 0 ]; then
  echo "check_reproducible: every shipped file is the same from both folders"
else
  echo "check_reproducible: the shipped files differ between the two folders" >&2
fi
exit $different
