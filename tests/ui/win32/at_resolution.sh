#!/usr/bin/env bash
# Runs a test program under Wine with the screen's resolution set to PPI pixels per inch.
# The setting holds for a whole Wine prefix, and other tests run in parallel in the build's
# prefix, so this uses a prefix of its own beside it: a copy of the build's prefix made once
# (hard links, except for the registry files, which Wine rewrites).
#   at_resolution.sh PPI BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
ppi=$1
build=$2
shift 2
source_prefix=$build/wineprefix
prefix=$build/wineprefix-${ppi}ppi
if [ ! -f "$prefix/system.reg" ]; then
  rm -rf "$prefix.tmp"
  cp -al "$source_prefix" "$prefix.tmp"
  for reg in "$source_prefix"/*.reg; do
    cp --remove-destination "$reg" "$prefix.tmp/$(basename "$reg")"
  done
  mv "$prefix.tmp" "$prefix"
fi
# wine-run takes the prefix named here, and the Wine loader that this machine can run.
export WINEPREFIX=$prefix
wine_run=$(dirname "$0")/../../../cmake/wine-run
"$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$ppi" /f >/dev/null 2>&1
TAVOLEX_EXPECT_PIXELS_PER_INCH=$ppi exec "$wine_run" "$@"
