#!/usr/bin/env bash
# clang-tidy (the checks of .clang-tidy) on the C++ sources that a change touches: those that
# differ from REV (default HEAD~1, the last commit's parent), committed or not. A header that
# changed is checked through the sources of the native build that include it; sources of the
# Windows build alone are not in the native build's compile database and are left to their
# compiler's warnings.
#   tools/tidy.sh [REV]
set -euo pipefail
cd "$(dirname "$0")/.."
rev=${1:-HEAD~1}
build=build/debug
if [ ! -f "$build/compile_commands.json" ]; then
  cmake --preset debug >/dev/null
fi
# The build's generated sources (embedded descriptions) must be there for the files to parse.
cmake --build --preset debug -j "${JOBS:-2}" >/dev/null

if git rev-parse --verify --quiet "$rev^{commit}" >/dev/null; then
  mapfile -t changed < <(git diff --name-only --diff-filter=d "$rev" -- '*.cpp' '*.h')
else
  # A clone without REV (a shallow one): the files of the last commit, as far as it shows them.
  echo "tidy: no commit $rev here; checking the files of HEAD's commit"
  mapfile -t changed < <(git show --pretty= --name-only --diff-filter=d HEAD -- '*.cpp' '*.h')
fi
mapfile -t known < <(jq -r '.[].file' "$build/compile_commands.json" | sed "s|^$PWD/||" | sort -u)
sources=()
for file in "${changed[@]}"; do
  case "$file" in
    *.cpp)
      printf '%s\n' "${known[@]}" | grep -qxF "$file" && sources+=("$file")
      ;;
    *.h)
      # The native sources that include the header by its path from src/, tests/ or examples/.
      header=${file#*/}
      while IFS= read -r source; do sources+=("$source"); done < <(
        printf '%s\n' "${known[@]}" | xargs grep -lF "\"$header\"" 2>/dev/null | head -3)
      ;;
  esac
done
mapfile -t sources < <(printf '%s\n' "${sources[@]}" | sed '/^$/d' | sort -u)
if [ "${#sources[@]}" -eq 0 ]; then
  echo "tidy: no C++ source of the native build changed since $rev"
  exit 0
fi
echo "tidy: ${#sources[@]} file(s) changed since $rev"
printf '%s\n' "${sources[@]}" | xargs -P "${JOBS:-2}" -n 1 clang-tidy -p "$build" --quiet
echo "tidy: clean"
