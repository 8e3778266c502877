#!/usr/bin/env bash
# The example host written in C (TavolexCHost.exe) under Wine: it runs the module's export
# against the example application server run natively over TCP, through the connection of
# TavolexConnection.dll, with its operator thread at the dialog.
#   1. the export goes through: the completion box, one new export file, every reference back;
#   2. a login that the server refuses: Execute fails with the connection's message as its
#      error info, the dialog never opens, no file is written, and every reference still comes
#      back.
#
# usage: c_host_export.sh --host TavolexCHost.exe --plugin Tavolex.plu --server tavolex_app_server
#                         --wine wine-run
# Exit 77 (skipped) when the native server is missing.
set -uo pipefail

host= plugin= server= wine=
while [ $# -gt 0 ]; do
  case "$1" in
    --host) host=$2 ;;
    --plugin) plugin=$2 ;;
    --server) server=$2 ;;
    --wine) wine=$2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

if [ ! -x "$server" ]; then
  echo "SKIPPED: no natively built example server at '$server' (./run test builds it first)."
  exit 77
fi

work=$(mktemp -d)
servers=()
failures=0
cleanup() {
  for pid in "${servers[@]}"; do kill -9 "$pid" 2>/dev/null; done
  if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "logs kept in $work"; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  source "$(dirname "$0")/../../tools/x_display.sh"
  start_x_display 141 180
fi

test_user=tester
test_password='the tester'"'"'s password'
source "$(dirname "$0")/example_server.sh"

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
expect_line() {
  grep -qE -- "$2" "$1" || fail "$3 (no line matching /$2/ in $(basename "$1"))"
}
export_files() { ls "$1/exports" 2>/dev/null | grep -cE '^export-[0-9]+\.xml$'; }

# run_host LOG PASSWORD: the C host's export; sets host_rc.
run_host() {
  LC_ALL=ru_RU.UTF-8 "$wine" "$host" "Z:$plugin" --export "$address" "$test_user" "$2" \
    >"$1" 2>"$1.stderr"
  host_rc=$?
  tr -d '\r' <"$1" >"$1.tmp" && mv "$1.tmp" "$1"
  cat "$1"
}

start_server c_host
before=$(export_files "$data")

# --- 1. the export goes through ------------------------------------------------------------
log=$work/export.log
run_host "$log" "$test_password"
[ "$host_rc" -eq 0 ] || fail "the export: the host ended with $host_rc"
expect_line "$log" '^executed: status 00000000$' "Execute succeeded"
expect_line "$log" '^box: Экспорт данных завершен!$' "the completion box"
expect_line "$log" '^references: all released$' "every reference came back after the export"
expect_line "$log" '^export: done$' "the host saw the export through"
[ "$(export_files "$data")" -eq "$((before + 1))" ] || fail "one export file written"

# --- 2. a login that the server refuses -------------------------------------------------------
log=$work/refused.log
run_host "$log" "not the password"
[ "$host_rc" -eq 1 ] || fail "the refused login: the host ended with $host_rc, expected 1"
expect_line "$log" '^executed: status 8' "Execute failed"
expect_line "$log" '^error: Нет связи с сервером приложений \([^)]*\): Неверное имя пользователя или пароль' \
  "the failure's error info names the refusal"
expect_line "$log" '^operator: the export dialog did not open' "no dialog after the refusal"
expect_line "$log" '^references: all released$' "every reference came back after the refusal"
expect_line "$log" '^export: failed$' "the host reports the export failed"
[ "$(export_files "$data")" -eq "$((before + 1))" ] || fail "no file written for the refusal"
stop_server

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
