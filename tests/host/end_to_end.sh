#!/usr/bin/env bash
# The example host under Wine with the real Tavolex.plu beside it, played by its scripted
# operator, against the example application server run natively over TCP:
#   1. an export of the changes and a full export each add one history row and write one file
#      with the range the dialog proposed; the next dialog proposes the new From date; a
#      cancelled dialog changes nothing;
#   2. an export that the server refuses shows the server's message and the dialog stays open;
#   3. the server killed during an export: the operator is told there is no connection, and
#      after the server's restart there is neither a new history row nor a file, whole or half;
#   4. a login that the server refuses is reported, and an operator's export is refused;
#   5. a host that does not offer what the module needs: the refusal or failure is reported and
#      the host goes on.
# Malformed and oversized frames, several clients and vanishing clients are the example
# server's own tests (tests/examples_server).
#
# usage: end_to_end.sh --host TavolexHost.exe --server tavolex_app_server --wine wine-run
#                      --scripts DIR [--plugins DIR]
# Exit 77 (skipped) when the native server is missing or the module beside the host shows no
# windows (the headless variant).
set -uo pipefail

host= server= wine= scripts= plugins=${TAVOLEX_HOST_PLUGINS:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --host) host=$2 ;;
    --server) server=$2 ;;
    --wine) wine=$2 ;;
    --scripts) scripts=$2 ;;
    --plugins) plugins=$2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

if [ ! -x "$server" ]; then
  echo "SKIPPED: no natively built example server at '$server'. Build it first" \
       "(cmake --build build/debug --target tavolex_app_server; ./run test does) or configure" \
       "this build with -DTAVOLEX_NATIVE_SERVER=PATH."
  exit 77
fi

work=$(mktemp -d)
servers=()
xvfb_pid=
failures=0
cleanup() {
  for pid in "${servers[@]}"; do kill -9 "$pid" 2>/dev/null; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "logs kept in $work"; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  source "$(dirname "$0")/../../tools/x_display.sh"
  start_x_display 131 170
fi

# Dates as the host shows them: a Russian locale, whatever the machine's.
wine_locale=ru_RU.UTF-8
today=$(date +%d.%m.%Y)
today_iso=$(date +%F)

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# expect_line LOG REGEX WHAT: some line of LOG matches the extended regular expression.
expect_line() {
  grep -qE -- "$2" "$1" || fail "$3 (no line matching /$2/ in $(basename "$1"))"
}
expect_equal() {
  [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"
}

# The server's user that the host logs in as; the database of each server knows it.
test_user=tester
test_password='the tester'"'"'s password'

source "$(dirname "$0")/example_server.sh"

# run_host LOG SCRIPT [host options...]: the host with its scripted operator; sets host_rc.
run_host() {
  local log=$1 script=$2
  shift 2
  local extra=(--user "$test_user" --password "$test_password")
  [ -n "$plugins" ] && extra+=(--plugins "Z:$plugins")
  # wine-run finds the build's Wine prefix from the working folder (CTest's is in the build).
  local attempt
  for attempt in 1 2; do
    LC_ALL=$wine_locale "$wine" "$host" "${extra[@]}" --script "Z:$scripts/$script" "$@" \
      >"$log" 2>"$log.stderr"
    host_rc=$?
    # Wine now and then fails to start a program at all (it ends at once without a line of
    # output, the host's first line never printed): such a start is tried once more. A host
    # that started has done its part, right or wrong, and is judged as it is.
    [ "$host_rc" -ne 0 ] && [ ! -s "$log" ] && [ "$attempt" -eq 1 ] || break
    echo "note: $(basename "$log"): Wine did not start the host (status $host_rc); once more"
  done
  tr -d '\r' <"$log" >"$log.tmp" && mv "$log.tmp" "$log"
  if grep -q 'failed: HeadlessFailure' "$log"; then
    echo "SKIPPED: the Tavolex.plu beside the host is the headless variant: it opened no" \
         "window ($(grep -m1 'HeadlessFailure' "$log"))"
    exit 77
  fi
  if [ "$host_rc" -ne 0 ] || ! grep -q '^script: done' "$log"; then
    fail "$(basename "$log"): the host ended with $host_rc: $(grep -m1 '^script failed' "$log")"
    return 1
  fi
}

# History counts that the host's status lines showed, each change once.
history_counts() {
  sed -n 's/^status: .*Выгрузок в 1С: \([0-9][0-9]*\).*/\1/p; s/^status: .*Выгрузок в 1С не было.*/0/p' \
    "$1" | uniq | tr '\n' ' ' | sed 's/ $//'
}
# The dates shown by the date fields and the summary of dialog N (1-based) of a log:
# "FIELD1 FIELD2 | PREVIOUS | FROM TO" (the summary's range).
dialog_texts() {
  awk -v want="$2" '
    /^texts of "Экспорт данных":/ { n++; next }
    /^[^ ]/ { if (n == want) inside = 0 }
    n == want && /^  TavolexDateEdit: / { fields = fields " " $2 }
    n == want && /^  (Static|TavolexLabel): [0-9][0-9]\.[0-9][0-9]\.[0-9][0-9][0-9][0-9]$/ { previous = $2 }
    n == want && /Экспортировались данные с / { from = $(NF-2); to = $NF }
    END { sub(/^ /, "", fields); print fields " | " previous " | " from " " to }' "$1"
}
new_exports() { ls "$1" 2>/dev/null | grep -E '^export-[0-9]+\.xml$' | sort; }
temp_files() { ls -A "$1" 2>/dev/null | grep -E '\.tmp$'; }
iso() { echo "$1" | awk -F. '{ print $3 "-" $2 "-" $1 }'; }

# --- 1. exports ------------------------------------------------------------------------------
start_server exports
exports_before=$(new_exports "$data/exports" | wc -l)
run_host "$work/exports.log" exports.script --server "$address"
log=$work/exports.log
read -r n0 n1 n2 extra <<<"$(history_counts "$log")"
expect_equal "${n1:-}" "$((n0 + 1))" "history rows after the export of changes"
expect_equal "${n2:-}" "$((n0 + 2))" "history rows after the full export (the cancel adds none)"
expect_equal "${extra:-}" "" "history rows after the cancelled dialog"
expect_equal "$(grep -c '^box: Information: Экспорт данных завершен!$' "$log")" 2 "completion boxes"

first=$(dialog_texts "$log" 1)
second=$(dialog_texts "$log" 2)
third=$(dialog_texts "$log" 3)
proposed=${first%% |*}
proposed=${proposed#$today }
proposed=${proposed% $today}
previous_to=${first##* }
expect_equal "$proposed" "$previous_to" "first dialog: From is the latest export's To ($first)"
expect_equal "$second" "$today $today | $today | $proposed $today" \
  "second dialog: fields, previous export, its range"
expect_equal "${third%% |*}" "$today $today" "third dialog: From proposed after the full export"
expect_equal "${third##* }" "$today" "third dialog: the full export's range ends today"

exports_now=$(new_exports "$data/exports")
expect_equal "$(echo "$exports_now" | wc -l)" "$((exports_before + 2))" "export files written"
changes_file=$(echo "$exports_now" | tail -2 | head -1)
full_file=$(echo "$exports_now" | tail -1)
expect_line "$data/exports/$changes_file" \
  "mode=\"changes\" from=\"$(iso "$proposed")\" to=\"$today_iso\"" "the changes' file and range"
expect_line "$data/exports/$full_file" "mode=\"full\" from=\"[0-9-]+\" to=\"$today_iso\"" \
  "the full export's file"
expect_equal "$(temp_files "$data/exports")" "" "temporary files left"
stop_server

# --- 2. an export that the server refuses ------------------------------------------------------
start_server refused_export
# The export folder becomes a plain file: the server can read the history, but not write.
rm -rf "$data/exports" && echo "not a folder" >"$data/exports"
run_host "$work/refused_export.log" failed_export.script --server "$address"
log=$work/refused_export.log
expect_line "$log" '^exception from a module: EOleException: .+' "the server's error reached the host"
message=$(sed -n 's/^exception from a module: EOleException: //p' "$log" | head -1)
# The box adds a full stop to a message that does not end in punctuation.
grep -qxF -e "box: Кадры: $message" -e "box: Кадры: $message." "$log" ||
  fail "the error box shows the server's message ($message)"
expect_line "$log" '^texts of "Экспорт данных":' "the dialog stays open after the error"
expect_equal "$(history_counts "$log" | wc -w)" 1 "history rows after the refused export"
stop_server

# --- 3. the server killed during an export -----------------------------------------------------
start_server killed --pause-export before-commit:60000
killed_data=$data
files_before=$(new_exports "$killed_data/exports" | wc -l)
run_host "$work/killed.log" failed_export.script --server "$address" &
host_job=$!
for _ in $(seq 1200); do
  grep -q 'paused before commit' "$killed_data/server.log" && break
  sleep 0.05
done
grep -q 'paused before commit' "$killed_data/server.log" || fail "the export never reached the server"
kill -9 "$server_pid"
wait "$host_job" || fail "killed.log: the host did not finish its script"
log=$work/killed.log
expect_line "$log" '^box: Кадры: Нет связи с сервером приложений' "the operator is told the connection is gone"
expect_line "$log" '^texts of "Экспорт данных":' "the dialog stays open after the lost connection"
expect_equal "$(new_exports "$killed_data/exports" | wc -l)" "$files_before" "export files after the kill"
read -r rows_before _ <<<"$(history_counts "$log")"
# The next start finishes or undoes what the kill interrupted.
start_server killed
run_host "$work/restarted.log" status.script --server "$address"
expect_equal "$(history_counts "$work/restarted.log")" "$rows_before" "history rows after the restart"
expect_equal "$(new_exports "$killed_data/exports" | wc -l)" "$files_before" "export files after the restart"
expect_equal "$(temp_files "$killed_data/exports")" "" "half-written files after the restart"
stop_server

# --- 4. users: a login the server refuses, and a role that may not export ---------------------
# A guess after a failed login from the same address waits --login-delay: a millisecond here,
# so that the host's next logins after the refused one are checked.
start_server users --login-delay 1
printf '%s\n' "operator's password" |
  "$server" user add clerk --role operator --data "$data" >>"$data/server.log" 2>&1
run_host "$work/wrong_password.log" status.script --server "$address" --password "not it"
expect_line "$work/wrong_password.log" \
  "^status: Нет связи с сервером приложений \([^)]*\): Неверное имя пользователя или пароль \|" \
  "a refused login is reported in the status"
expect_equal "$(history_counts "$work/wrong_password.log")" "" "history shown after a refused login"
rows_before=$(new_exports "$data/exports" | wc -l)
run_host "$work/operator_role.log" failed_export.script --server "$address" --user clerk \
  --password "operator's password"
expect_line "$work/operator_role.log" \
  '^box: Кадры: Роль «operator» не даёт выгружать данные; нужна роль export\.?$' \
  "an operator's export is refused by the server"
expect_equal "$(new_exports "$data/exports" | wc -l)" "$rows_before" "export files after the refusal"
stop_server

# --- 5. hosts that do not offer what the module needs -------------------------------------------
# offer | script | a line the log must hold | modules loaded
while IFS='|' read -r offer script expected loaded; do
  log=$work/offer-$offer.log
  run_host "$log" "$script" --offer "$offer" --port 1
  expect_line "$log" "$expected" "--offer $offer"
  expect_line "$log" "^ready: $loaded module" "--offer $offer: modules loaded"
done <<'CASES'
no-access|refused.script|^box: Error: Приложение не поддерживает интерфейс IDirectoryAccess$|0
no-access|refused.script|^box: Кадры: Модуль «Tavolex.plu» отказался загружаться|0
foreign|failed_initialisation.script|^box: Кадры: Модуль «Tavolex.plu» не удалось инициализировать: Interface not supported|0
no-directory|no_directory.script|^box: Error: Нет связи с сервером приложений: приложение не предоставило каталог|1
CASES

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
