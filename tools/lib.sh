# shellcheck shell=bash
# shellcheck disable=SC2034  # the globals below are read by the scripts that source this file
# The shell library of the project's scripts and tests, sourced by each of them:
#   source "$(dirname "$0")/../../tools/lib.sh"   (or the path from the script's folder)
# It keeps what the scripts share: their options, skipping with a reason, a scratch folder and
# what to stop on exit, checks that count their failures, an X display of their own, and the
# example application server started on a data folder and stopped again.
#
# Every global it sets is named here and set to its empty value when it is sourced.
tvx_work=          # the scratch folder of make_work_dir
tvx_failures=0     # checks failed so far (fail, expect_*)
tvx_pids=()        # processes killed on exit
tvx_xvfb_pid=      # the Xvfb of start_x_display
server_pid=        # the example server of start_server
server_address=    # its HOST:PORT
server_port=       # its port
server_data=       # its data folder

# --- options ---------------------------------------------------------------------------------
# parse_options "NAME..." "$@": every --NAME VALUE of the names given sets the variable NAME
# (dashes become underscores); any other argument ends the script with status 2.
parse_options() {
  local names=" $1 " name
  shift
  while [ $# -gt 0 ]; do
    name=${1#--}
    name=${name//-/_}
    if [[ $1 != --* || $names != *" $name "* ]]; then
      echo "$(basename "$0"): unknown argument $1" >&2
      exit 2
    fi
    if [ $# -lt 2 ]; then
      echo "$(basename "$0"): $1 needs a value" >&2
      exit 2
    fi
    printf -v "$name" '%s' "$2"
    shift 2
  done
}

# skip REASON...: ends the script as skipped, the status CTest is told to read so (77).
skip() {
  echo "SKIPPED: $*"
  exit 77
}

# require_native_server PATH: skips unless the natively built example server is there.
require_native_server() {
  [ -x "$1" ] && return 0
  skip "no natively built example server at '$1'. Build it first" \
    "(cmake --build --preset debug --target tavolex_app_server; ./run test does) or configure" \
    "this build with -DTAVOLEX_NATIVE_SERVER=PATH."
}

# --- scratch folder and clean-up ---------------------------------------------------------------
# make_work_dir: a scratch folder in tvx_work. On exit every process of tvx_pids is killed and
# the Xvfb stopped; the folder is removed when no check failed and kept (and named) otherwise.
make_work_dir() {
  tvx_work=$(mktemp -d)
  trap tvx_cleanup EXIT
}
tvx_cleanup() {
  local pid
  for pid in "${tvx_pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  if [ -n "$tvx_xvfb_pid" ]; then kill "$tvx_xvfb_pid" 2>/dev/null; fi
  if [ -n "$tvx_work" ]; then
    if [ "$tvx_failures" -eq 0 ]; then rm -rf "$tvx_work"; else echo "logs kept in $tvx_work"; fi
  fi
}

# --- checks --------------------------------------------------------------------------------------
fail() {
  echo "FAILED: $*"
  tvx_failures=$((tvx_failures + 1))
}
# expect_line FILE REGEX WHAT: some line of FILE matches the extended regular expression.
expect_line() {
  grep -qE -- "$2" "$1" || fail "$3 (no line matching /$2/ in $(basename "$1"))"
}
# expect_equal GOT EXPECTED WHAT
expect_equal() {
  [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"
}
# finish_checks: the script's end: status 1 when a check failed.
finish_checks() {
  if [ "$tvx_failures" -ne 0 ]; then
    echo "$tvx_failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}

# --- an X display of one's own -----------------------------------------------------------------
# start_x_display FIRST LAST [SCREEN]: an Xvfb on the first free display number from FIRST to
# LAST (each script has its own range, so that they can run side by side); exports DISPLAY,
# stops it on exit (with make_work_dir's clean-up, or stop_x_display), and returns once the
# display takes connections.
start_x_display() {
  local first=$1 last=$2 screen=${3:-1280x1024x24} n
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
  tvx_xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
}
stop_x_display() {
  if [ -n "$tvx_xvfb_pid" ]; then kill "$tvx_xvfb_pid" 2>/dev/null || true; fi
  tvx_xvfb_pid=
}

# --- the example application server ----------------------------------------------------------
# add_server_user SERVER DATA USER PASSWORD ROLE: a user in the database of the data folder
# (made on first use), the password given on standard input as the admin verb asks for it.
add_server_user() {
  mkdir -p "$2"
  printf '%s\n' "$4" | "$1" user add "$3" --role "$5" --data "$2" >>"$2/server.log" 2>&1 && return 0
  echo "the user $3 could not be added:"
  cat "$2/server.log"
  exit 1
}

# start_server SERVER DATA [server options...]: the server on the data folder and a free port
# of loopback (options given override it), in the background; returns once it listens, with
# server_pid, server_address,
# server_port and server_data set. Its standard output goes to DATA/server.out, its log to
# DATA/server.log. A server that does not start ends the script with its log.
start_server() {
  local program=$1
  server_data=$2
  shift 2
  mkdir -p "$server_data"
  # A restart on the same data: the old address must be gone before the new server writes its
  # own (the background start may truncate the file only after the loop below first reads it).
  rm -f "$server_data/server.out"
  "$program" --data "$server_data" --port 0 "$@" >"$server_data/server.out" \
    2>>"$server_data/server.log" &
  server_pid=$!
  tvx_pids+=("$server_pid")
  server_address=
  for _ in $(seq 300); do
    server_address=$(sed -n 's/^listening on //p' "$server_data/server.out" 2>/dev/null)
    if [ -n "$server_address" ]; then
      server_port=${server_address##*:}
      return 0
    fi
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "the server did not start:"
  cat "$server_data/server.log"
  exit 1
}
# stop_server: stops the server of start_server and waits for it.
stop_server() {
  kill "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
}
