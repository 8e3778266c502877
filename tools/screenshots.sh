#!/usr/bin/env bash
# Photographs the module's windows into docs/screenshots/*.png.
#
#   tools/screenshots.sh [build folder]      (default: build/mingw, already built)
#
# Runs the Windows program ui_screenshots.exe under Wine inside a Wine desktop (which draws
# the windows' frames and title bars) on an X display of its own, and answers its requests:
# for each window it names, the desktop is photographed with ImageMagick and cropped to that
# window's rectangle.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(cd "${1:-build/mingw}" && pwd)
program=$build/tools/screenshots/ui_screenshots.exe
out=$root/docs/screenshots
desktop_name=shot
desktop_size=1024x768

[ -f "$program" ] || { echo "screenshots: $program is missing; build the mingw preset first" >&2; exit 1; }
mkdir -p "$out"

# shellcheck source=tools/lib.sh
source tools/lib.sh
exchange=$(mktemp -d /tmp/tavolex-screenshots.XXXXXX)
wine_pid=
cleanup() {
  if [ -n "$wine_pid" ]; then kill "$wine_pid" 2>/dev/null || true; fi
  stop_x_display
  rm -rf "$exchange"
}
trap cleanup EXIT

# An X display of our own.
start_x_display 140 180

# The build's Wine prefix (created once, with Wine's Tahoma and Marlett), English message
# boxes, 96 pixels per inch.
export TAVOLEX_WINE_ROOT=$build
export LC_ALL=C.UTF-8
"$root/cmake/wine-run" --init
# Runs the program (with its arguments after the exchange folder) and takes the pictures it
# asks for, until it ends.
taken=0
# shellcheck disable=SC2120  # arguments are optional: extra options for the program
photograph() {
  "$root/cmake/wine-run" explorer "/desktop=$desktop_name,$desktop_size" "$program" \
    "Z:${exchange//\//\\}" "$@" &
  wine_pid=$!
  while kill -0 "$wine_pid" 2>/dev/null; do
    if [ -f "$exchange/request.txt" ]; then
      read -r name left top width height <"$exchange/request.txt"
      rm -f "$exchange/request.txt"
      import -window "$desktop_name - Wine desktop" -crop "${width}x${height}+${left}+${top}" \
        +repage "$out/$name.png"
      echo "screenshots: $out/$name.png (${width}x${height})"
      taken=$((taken + 1))
      touch "$exchange/done.txt"
    fi
    sleep 0.1
  done
  wait "$wine_pid" || true
  wine_pid=
}

photograph          # every window and box at 96 pixels per inch
# Once more with the screen at 144 pixels per inch, in a copy of the prefix set to it: the
# module's windows as the backend scales them, the system's boxes as the system draws them.
prefix=$build/wineprefix
export WINEPREFIX=$build/wineprefix-screenshots-144ppi
WINEPREFIX=$prefix wineserver -w
rm -rf "$WINEPREFIX" && cp -a "$prefix" "$WINEPREFIX"
"$root/cmake/wine-run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  >/dev/null 2>&1
photograph
echo "screenshots: $taken pictures in $out"
[ "$taken" -ge 24 ]
