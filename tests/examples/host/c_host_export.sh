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
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/../../../tools/lib.sh"

host='' plugin='' server='' wine=''
parse_options "host plugin server wine" "$@"
require_native_server "$server"
make_work_dir
[ -n "${DISPLAY:-}" ] || start_x_display 141 180

test_user=tester
test_password='the tester'"'"'s password'
export_files() { find "$server_data/exports" -maxdepth 1 -name 'export-*.xml' 2>/dev/null | wc -l; }

# run_host LOG PASSWORD: the C host's export; sets host_rc.
host_rc=0
run_host() {
  host_rc=0
  LC_ALL=ru_RU.UTF-8 "$wine" "$host" "Z:$plugin" --export "$server_address" "$test_user" "$2" \
    >"$1" 2>"$1.stderr" || host_rc=$?
  tr -d '\r' <"$1" >"$1.tmp" && mv "$1.tmp" "$1"
  cat "$1"
}

add_server_user "$server" "$tvx_work/c_host" "$test_user" "$test_password" admin
start_server "$server" "$tvx_work/c_host"
before=$(export_files)

# --- 1. the export goes through ------------------------------------------------------------
log=$tvx_work/export.log
run_host "$log" "$test_password"
expect_equal "$host_rc" 0 "the export: the host's exit status"
expect_line "$log" '^executed: status 00000000$' "Execute succeeded"
expect_line "$log" '^box: Экспорт данных завершен!$' "the completion box"
expect_line "$log" '^references: all released$' "every reference came back after the export"
expect_line "$log" '^export: done$' "the host saw the export through"
expect_equal "$(export_files)" "$((before + 1))" "export files after the export"

# --- 2. a login that the server refuses -------------------------------------------------------
log=$tvx_work/refused.log
run_host "$log" "not the password"
expect_equal "$host_rc" 1 "the refused login: the host's exit status"
expect_line "$log" '^executed: status 8' "Execute failed"
expect_line "$log" '^error: Нет связи с сервером приложений \([^)]*\): Неверное имя пользователя или пароль' \
  "the failure's error info names the refusal"
expect_line "$log" '^operator: the export dialog did not open' "no dialog after the refusal"
expect_line "$log" '^references: all released$' "every reference came back after the refusal"
expect_line "$log" '^export: failed$' "the host reports the export failed"
expect_equal "$(export_files)" "$((before + 1))" "export files after the refusal"
stop_server
finish_checks
