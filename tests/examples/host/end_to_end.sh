#!/usr/bin/env bash
# The example host under Wine with the real Tavolex.plu beside it, played by its scripted
# operator, against the example application server run natively over TCP. One scenario a run
# (each is its own CTest entry, host_e2e_SCENARIO):
#   exports          an export of the changes and a full export each add one history row and
#                    write one file with the range the dialog proposed; the next dialog
#                    proposes the new From date; a cancelled dialog changes nothing;
#   refused_export   an export that the server refuses shows the server's message and the
#                    dialog stays open;
#   killed_server    the server killed during an export: the operator is told there is no
#                    connection, and after the server's restart there is neither a new history
#                    row nor a file, whole or half;
#   users            a login that the server refuses is reported, and an operator's export is
#                    refused;
#   offers           a host that does not offer what the module needs: the refusal or failure
#                    is reported and the host goes on.
# The checks read the host's result lines (--results: one JSON object a line) with jq.
# Malformed and oversized frames, several clients and vanishing clients are the example
# server's own tests (tests/examples/server).
#
# usage: end_to_end.sh --scenario NAME --host TavolexHost.exe --server tavolex_app_server
#                      --wine wine-run --scripts DIR [--plugins DIR]
# Exit 77 (skipped) when the native server is missing or the module beside the host shows no
# windows (the headless variant).
set -uo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/../../../tools/lib.sh"

scenario='' host='' server='' wine='' scripts='' plugins=${TAVOLEX_HOST_PLUGINS:-}
parse_options "scenario host server wine scripts plugins" "$@"
require_native_server "$server"
make_work_dir
[ -n "${DISPLAY:-}" ] || start_x_display 131 170

# Dates as the host shows them: a Russian locale, whatever the machine's.
today=$(date +%d.%m.%Y)
today_iso=$(date +%F)

# The server's user that the host logs in as; the database of each server knows it.
test_user=tester
test_password='the tester'"'"'s password'

# server_for NAME [server options...]: a server of its own data folder, its user added.
server_for() {
  local name=$1
  shift
  add_server_user "$server" "$tvx_work/$name" "$test_user" "$test_password" admin
  start_server "$server" "$tvx_work/$name" "$@"
}

# run_host NAME SCRIPT [host options...]: the host with its scripted operator; its log goes
# to NAME.log, its result lines to NAME.json (the variable results names it).
results=
run_host() {
  local name=$1 script=$2
  shift 2
  local log=$tvx_work/$name.log
  results=$tvx_work/$name.json
  local extra=(--user "$test_user" --password "$test_password" --results "Z:$results")
  [ -n "$plugins" ] && extra+=(--plugins "Z:$plugins")
  # wine-run finds the build's Wine prefix from the working folder (CTest's is in the build).
  LC_ALL=ru_RU.UTF-8 "$wine" --retry-unstarted "$host" "${extra[@]}" \
    --script "Z:$scripts/$script" "$@" >"$log" 2>"$log.stderr"
  local rc=$?
  if grep -q 'failed: HeadlessFailure' "$log"; then
    skip "the Tavolex.plu beside the host is the headless variant: it opened no window" \
      "($(grep -m1 'HeadlessFailure' "$log" | tr -d '\r'))"
  fi
  if [ "$rc" -ne 0 ] || [ "$(result '[.[] | select(.event == "script")][-1].result')" != "done" ]; then
    fail "$name: the host ended with $rc: $(result '.[] | select(.event == "script") | .error // empty')"
    return 1
  fi
}

# result FILTER: jq's answer for the array of the last host's result lines, raw.
result() { jq -rs "$1" "$results"; }
# The history rows that each status line showed, each change once.
history_counts() {
  result '[.[] | select(.event == "status" and .history_rows != null) | .history_rows]
          | reduce .[] as $n ([]; if .[-1] == $n then . else . + [$n] end) | join(" ")'
}
# The texts of the export dialog's Nth showing (1-based): "FIELD1 FIELD2 | PREVIOUS | FROM TO",
# the date fields, the date of the previous export and the range its summary gives.
dialog_texts() {
  result "[.[] | select(.event == \"texts\" and .window == \"Экспорт данных\")][$1 - 1].controls // []
    | ([.[] | select(.class == \"TavolexDateEdit\") | .text] | join(\" \")) + \" | \" +
      ([.[] | select((.class == \"Static\" or .class == \"TavolexLabel\") and
                     (.text | test(\"^[0-9]{2}[.][0-9]{2}[.][0-9]{4}$\"))) | .text][0] // \"\") +
      \" | \" +
      ([.[] | .text | capture(\"Экспортировались данные с (?<from>[0-9.]+) по (?<to>[0-9.]+)\")
        | .from + \" \" + .to][0] // \"\")"
}
boxes() { result "[.[] | select(.event == \"box\") | .title + \": \" + .text] | .[]"; }
dialog_shown_after_box() {
  result '[.[] | select(.event == "box" or (.event == "texts" and .window == "Экспорт данных"))
          | .event] | index(["box", "texts"]) != null'
}
new_exports() { find "$1" -maxdepth 1 -name 'export-*.xml' -printf '%f\n' 2>/dev/null | sort; }
temp_files() { find "$1" -maxdepth 1 -name '*.tmp' -printf '%f\n' 2>/dev/null; }
iso() { echo "$1" | awk -F. '{ print $3 "-" $2 "-" $1 }'; }

scenario_exports() {
  server_for exports
  local exports_before n0 n1 n2 extra first second third proposed previous_to
  exports_before=$(new_exports "$server_data/exports" | wc -l)
  run_host exports exports.script --server "$server_address"
  read -r n0 n1 n2 extra <<<"$(history_counts)"
  expect_equal "${n1:-}" "$((n0 + 1))" "history rows after the export of changes"
  expect_equal "${n2:-}" "$((n0 + 2))" "history rows after the full export (the cancel adds none)"
  expect_equal "${extra:-}" "" "history rows after the cancelled dialog"
  expect_equal "$(boxes | grep -cxF 'Information: Экспорт данных завершен!')" 2 "completion boxes"

  first=$(dialog_texts 1)
  second=$(dialog_texts 2)
  third=$(dialog_texts 3)
  proposed=${first%% |*}
  proposed=${proposed#"$today "}
  proposed=${proposed%" $today"}
  previous_to=${first##* }
  expect_equal "$proposed" "$previous_to" "first dialog: From is the latest export's To ($first)"
  expect_equal "$second" "$today $today | $today | $proposed $today" \
    "second dialog: fields, previous export, its range"
  expect_equal "${third%% |*}" "$today $today" "third dialog: From proposed after the full export"
  expect_equal "${third##* }" "$today" "third dialog: the full export's range ends today"

  local exports_now changes_file full_file
  exports_now=$(new_exports "$server_data/exports")
  expect_equal "$(echo "$exports_now" | wc -l)" "$((exports_before + 2))" "export files written"
  changes_file=$(echo "$exports_now" | tail -2 | head -1)
  full_file=$(echo "$exports_now" | tail -1)
  expect_line "$server_data/exports/$changes_file" \
    "mode=\"changes\" from=\"$(iso "$proposed")\" to=\"$today_iso\"" "the changes' file and range"
  expect_line "$server_data/exports/$full_file" "mode=\"full\" from=\"[0-9-]+\" to=\"$today_iso\"" \
    "the full export's file"
  expect_equal "$(temp_files "$server_data/exports")" "" "temporary files left"
  stop_server
}

scenario_refused_export() {
  server_for refused_export
  # The export folder becomes a plain file: the server can read the history, but not write.
  rm -rf "$server_data/exports" && echo "not a folder" >"$server_data/exports"
  run_host refused_export failed_export.script --server "$server_address"
  local message
  message=$(result '[.[] | select(.event == "exception" and .class == "EOleException")][0].message // ""')
  [ -n "$message" ] || fail "the server's error reached the host as an EOleException"
  # The box adds a full stop to a message that does not end in punctuation.
  boxes | grep -qxF -e "Кадры: $message" -e "Кадры: $message." ||
    fail "the error box shows the server's message ($message)"
  expect_equal "$(dialog_shown_after_box)" true "the dialog stays open after the error"
  expect_equal "$(history_counts | wc -w)" 1 "history rows after the refused export"
  stop_server
}

scenario_killed_server() {
  server_for killed --pause-export before-commit:60000
  local killed_data=$server_data files_before rows_before host_job
  files_before=$(new_exports "$killed_data/exports" | wc -l)
  run_host killed failed_export.script --server "$server_address" &
  host_job=$!
  for _ in $(seq 1200); do
    grep -q 'paused before commit' "$killed_data/server.log" && break
    sleep 0.05
  done
  grep -q 'paused before commit' "$killed_data/server.log" || fail "the export never reached the server"
  kill -9 "$server_pid"
  wait "$host_job" || fail "killed: the host did not finish its script"
  results=$tvx_work/killed.json
  boxes | grep -q '^Кадры: Нет связи с сервером приложений' ||
    fail "the operator is told the connection is gone"
  expect_equal "$(dialog_shown_after_box)" true "the dialog stays open after the lost connection"
  expect_equal "$(new_exports "$killed_data/exports" | wc -l)" "$files_before" "export files after the kill"
  read -r rows_before _ <<<"$(history_counts)"
  # The next start finishes or undoes what the kill interrupted.
  start_server "$server" "$killed_data"
  run_host restarted status.script --server "$server_address"
  expect_equal "$(history_counts)" "$rows_before" "history rows after the restart"
  expect_equal "$(new_exports "$killed_data/exports" | wc -l)" "$files_before" "export files after the restart"
  expect_equal "$(temp_files "$killed_data/exports")" "" "half-written files after the restart"
  stop_server
}

scenario_users() {
  # A guess after a failed login from the same address waits --login-delay: a millisecond here,
  # so that the host's next logins after the refused one are checked.
  server_for users --login-delay 1
  add_server_user "$server" "$server_data" clerk "operator's password" operator
  run_host wrong_password status.script --server "$server_address" --password "not it"
  result '.[] | select(.event == "status") | .connection' |
    grep -qE '^Нет связи с сервером приложений \([^)]*\): Неверное имя пользователя или пароль$' ||
    fail "a refused login is reported in the status"
  expect_equal "$(history_counts)" "" "history shown after a refused login"
  local files_before
  files_before=$(new_exports "$server_data/exports" | wc -l)
  run_host operator_role failed_export.script --server "$server_address" --user clerk \
    --password "operator's password"
  boxes | grep -qE '^Кадры: Роль «operator» не даёт выгружать данные; нужна роль export\.?$' ||
    fail "an operator's export is refused by the server"
  expect_equal "$(new_exports "$server_data/exports" | wc -l)" "$files_before" "export files after the refusal"
  stop_server
}

scenario_offers() {
  # offer | script | a box the host showed | modules loaded
  local offer script expected loaded
  while IFS='|' read -r offer script expected loaded; do
    run_host "offer-$offer" "$script" --offer "$offer" --port 1
    boxes | grep -qE -- "$expected" || fail "--offer $offer: no box matching /$expected/"
    expect_equal "$(result '[.[] | select(.event == "ready")][0].modules')" "$loaded" \
      "--offer $offer: modules loaded"
  done <<'CASES'
no-access|refused.script|^Error: Приложение не поддерживает интерфейс IDirectoryAccess$|0
no-access|refused.script|^Кадры: Модуль «Tavolex.plu» отказался загружаться|0
foreign|failed_initialisation.script|^Кадры: Модуль «Tavolex.plu» не удалось инициализировать: Interface not supported|0
no-directory|no_directory.script|^Error: Нет связи с сервером приложений: приложение не предоставило каталог|1
CASES
}

case "$scenario" in
  exports | refused_export | killed_server | users | offers) "scenario_$scenario" ;;
  *)
    echo "end_to_end.sh: unknown scenario '$scenario'" >&2
    exit 2
    ;;
esac
finish_checks
