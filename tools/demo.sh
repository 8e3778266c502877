#!/usr/bin/env bash
# The demo: the example application server on a sample database, and the example host with
# Tavolex.plu under Wine.
#   tools/demo.sh              on your display: the host opens, you run "Сервис > Экспорт
#                              данных в 1С" yourself (with no DISPLAY: as --headless)
#   tools/demo.sh --play       on your display, with the scripted operator at a watchable pace
#   tools/demo.sh --headless   the scripted operator under Xvfb: a screenshot of every step
#                              and the export files it produced go to out/demo/
# Options: --port N (the server's port; default: a free one), --plugins DIR (modules to load
# instead of those beside the host). The database is kept in data/ between runs; delete the
# folder to start again from the sample data. The first run adds the demo's user of the server
# and prints its name and password (kept in data/demo-login); on your display the host asks
# for them in its login dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

mode=window
port=0
plugins=
while [ $# -gt 0 ]; do
  case "$1" in
    --headless) mode=headless ;;
    --play) mode=play ;;
    --port) port=$2; shift ;;
    --plugins) plugins=$2; shift ;;
    -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
[ "$mode" != headless ] && [ -z "${DISPLAY:-}" ] && mode=headless

log() { printf '\n== %s\n' "$*"; }

# --- what a fresh Debian machine lacks: installed, or the demo stops with what is missing ------
# shellcheck source=tools/setup.sh
source tools/setup.sh
# shellcheck source=tools/lib.sh
source tools/lib.sh
tavolex_setup

jobs=${JOBS:-2}
# The build folders of ./run test, unless told otherwise.
native_build=${TAVOLEX_NATIVE_BUILD:-$root/build/debug}
mingw_build=${TAVOLEX_MINGW_BUILD:-$root/build/mingw}
server_exe=$native_build/examples/server/tavolex_app_server
host_dir=$mingw_build/examples/host
# build PRESET FOLDER TARGET: configures the folder once and brings the target up to date.
build() {
  local output
  if [ ! -f "$2/CMakeCache.txt" ] && ! output=$(cmake --preset "$1" -B "$2" 2>&1); then
    printf '%s\n' "$output" | tail -30 >&2
    exit 1
  fi
  if ! output=$(cmake --build "$2" --target "$3" -j "$jobs" 2>&1); then
    printf '%s\n' "$output" | tail -30 >&2
    echo "demo: building $3 failed" >&2
    exit 1
  fi
}
log "build: the server (native) and the host with Tavolex.plu (MinGW)"
build debug "$native_build" tavolex_app_server
build mingw "$mingw_build" tavolex_host
[ -x "$server_exe" ] || { echo "demo: the server was not built ($server_exe)" >&2; exit 1; }
[ -f "$host_dir/TavolexHost.exe" ] || { echo "demo: the host was not built" >&2; exit 1; }

# --- Wine: the build's prefix, as the tests use it ------------------------------------------
export TAVOLEX_WINE_ROOT=$mingw_build
wine_run=$root/cmake/wine-run
env -u DISPLAY "$wine_run" --init
# The host is a Russian application: Russian dates and number formats.
wine_locale=${TAVOLEX_LOCALE:-ru_RU.UTF-8}

# --- what this script starts, it stops (the library's clean-up on exit) ---------------------
make_work_dir
work=$tvx_work
trap 'exit 130' INT TERM

# --- the server -----------------------------------------------------------------------------
data=$root/data
mkdir -p "$data"
# The first run makes the demo's user of the server (role admin: the host shows pay too) and
# keeps its password beside the database, for the owner alone.
login=$data/demo-login
if [ ! -f "$login" ]; then
  demo_password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=' | cut -c1-16)
  printf '%s\n' "$demo_password" | "$server_exe" user add demo --role admin --data "$data" >/dev/null
  (umask 077 && printf 'demo\n%s\n' "$demo_password" >"$login")
  log "the demo's user of the server: demo, password $demo_password (kept in $login)"
fi
demo_user=$(sed -n 1p "$login")
demo_password=$(sed -n 2p "$login")
log "server: database $data/tavolex.db"
start_server "$server_exe" "$data" --port "$port"
address=$server_address
echo "listening on $address"

echo "user $demo_user, password $demo_password"
host_args=(--server "$address" --user "$demo_user")
[ -n "$plugins" ] && host_args+=(--plugins "Z:$(realpath "$plugins")")

if [ "$mode" = window ] || [ "$mode" = play ]; then
  # On the display the host asks for the password in its login dialog; the scripted operator
  # is given it in the environment.
  password_env=()
  [ "$mode" = play ] && host_args+=(--script demo --pace 700) &&
    password_env=(TAVOLEX_PASSWORD="$demo_password")
  log "host: close its window to end the demo"
  env LC_ALL="$wine_locale" "${password_env[@]}" "$wine_run" "$host_dir/TavolexHost.exe" \
    "${host_args[@]}" || true
  exit 0
fi

# --- headless: the scripted operator under Xvfb, a screenshot of every step -----------------
out=$root/out/demo
rm -rf "$out"
mkdir -p "$out/exports"
ls "$data/exports" 2>/dev/null | sort >"$work/exports.before" || true

start_x_display 91 130 1024x768x24

log "host: the scripted operator plays the demo on display $DISPLAY"
# A Wine desktop draws the windows' frames and title bars; the host prints "@@shot NAME" when
# a step is to be pictured and goes on once NAME.png is there.
set +e
env LC_ALL="$wine_locale" TAVOLEX_PASSWORD="$demo_password" "$wine_run" \
    explorer /desktop=Tavolex,1024x768 "$host_dir/TavolexHost.exe" \
    "${host_args[@]}" --script demo --shots "Z:$out" --pace 200 2>"$out/wine.log" |
  while IFS= read -r line; do
    line=${line%$'\r'}
    printf '%s\n' "$line" >>"$out/host.log"
    case "$line" in
      "@@shot "*)
        name=${line#@@shot }
        import -window root "png:$out/.$name.part" && mv "$out/.$name.part" "$out/$name.png"
        echo "  screenshot $name.png" ;;
      "step "*|"box: "*|"status: "*|"script "*|"  "*|"texts of "*) echo "  $line" ;;
    esac
  done
set -e
cp "$data/server.log" "$out/server.log"

ls "$data/exports" 2>/dev/null | sort >"$work/exports.after" || true
comm -13 "$work/exports.before" "$work/exports.after" | while read -r file; do
  cp "$data/exports/$file" "$out/exports/"
done

if grep -q '^script: done' "$out/host.log"; then
  log "done"
else
  log "the scripted operator did not finish: see $out/host.log"
  status=1
fi
echo "screenshots:  $(ls "$out"/*.png 2>/dev/null | wc -l) in $out/"
echo "export files: $(ls "$out/exports" | wc -l) in $out/exports/"
echo "logs:         $out/host.log, $out/server.log"
exit "${status:-0}"
