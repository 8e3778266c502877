# The example application server for the tests that run hosts against it, sourced by them.
# The caller sets: server (the native server's path), work (a scratch folder), test_user and
# test_password (the user that each new server's database knows), and an array servers, of
# the processes to kill on exit.

# start_server NAME [server options...]: a server on its own data folder and a free port;
# sets server_pid, address and data.
start_server() {
  local name=$1
  shift
  data=$work/$name
  mkdir -p "$data"
  printf '%s\n' "$test_password" |
    "$server" user add "$test_user" --role admin --data "$data" >>"$data/server.log" 2>&1 ||
    { echo "the user could not be added:"; cat "$data/server.log"; exit 1; }
  # A restart on the same data: the old address must be gone before the new server writes its
  # own (the background start may truncate the file only after the loop below first reads it).
  rm -f "$data/server.out"
  "$server" --data "$data" --port 0 "$@" >"$data/server.out" 2>>"$data/server.log" &
  server_pid=$!
  servers+=("$server_pid")
  address=
  for _ in $(seq 200); do
    address=$(sed -n 's/^listening on //p' "$data/server.out" 2>/dev/null)
    [ -n "$address" ] && return 0
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "the server did not start:"
  cat "$data/server.log"
  exit 1
}
stop_server() {
  kill "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
}
