#!/usr/bin/env bash
# The export dialog's opening under Wine, against the example server over TCP, with a history
# of 40 and of 100,000 rows (bench/dialog_open). Run by ./run bench, on its display.
#   tools/bench_dialog_open.sh NATIVE_BUILD WINDOWS_BUILD [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
native=$(cd "$1" && pwd) windows=$(cd "$2" && pwd) runs=${3:-30}
server=$native/examples/server/tavolex_app_server
fill=$native/bench/dialog_open/fill_history
bench=$windows/bench/dialog_open/dialog_open_bench.exe
plugin=$windows/src/module/Tavolex.plu

work=$(mktemp -d)
servers=()
trap 'for pid in "${servers[@]}"; do kill -9 "$pid" 2>/dev/null; done; rm -rf "$work"' EXIT
test_user=bench
test_password='the bench password'
source tests/host/example_server.sh

for rows in 40 100000; do
  # The first start makes the database; the history is then set while no server runs.
  start_server "history-$rows" --quiet
  stop_server
  "$fill" "$data" "$rows"
  start_server "history-$rows" --quiet
  echo "== opening the export dialog, history of $rows rows"
  TAVOLEX_WINE_ROOT=$windows cmake/wine-run "$bench" "Z:$plugin" "$address" "$test_user" \
    "$test_password" "$runs"
  stop_server
done
