#!/usr/bin/env bash
# The export dialog's opening under Wine, against the example server over TCP, with a history
# of 40 and of 100,000 rows (bench/dialog_open). Run by ./run bench, on its display.
#   tools/bench_dialog_open.sh NATIVE_BUILD WINDOWS_BUILD [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
source tools/lib.sh
native=$(cd "$1" && pwd) windows=$(cd "$2" && pwd) runs=${3:-30}
server=$native/examples/server/tavolex_app_server
fill=$native/bench/dialog_open/fill_history
bench=$windows/bench/dialog_open/dialog_open_bench.exe
plugin=$windows/src/module_boundary/Tavolex.plu

make_work_dir
user=bench
password='the bench password'

for rows in 40 100000; do
  data=$tvx_work/history-$rows
  # The first start makes the database; the history is then set while no server runs.
  add_server_user "$server" "$data" "$user" "$password" admin
  start_server "$server" "$data" --quiet
  stop_server
  "$fill" "$data" "$rows"
  start_server "$server" "$data" --quiet
  echo "== opening the export dialog, history of $rows rows"
  TAVOLEX_WINE_ROOT=$windows cmake/wine-run "$bench" "Z:$plugin" "$server_address" "$user" \
    "$password" "$runs"
  stop_server
done
