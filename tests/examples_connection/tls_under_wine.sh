#!/usr/bin/env bash
# The Windows client's TLS through Schannel under Wine, against the example server run
# natively: the server's admin verb makes a self-signed certificate, a server speaks TLS with
# it and another one speaks plain, and tls_client_check.exe connects pinned to the printed
# fingerprint, with another pin, without TLS, and to the plain server.
#
# usage: tls_under_wine.sh --client tls_client_check.exe --server tavolex_app_server
#                          --wine wine-run
# Exit 77 (skipped) when the native server is missing.
set -uo pipefail

client= server= wine=
while [ $# -gt 0 ]; do
  case "$1" in
    --client) client=$2 ;;
    --server) server=$2 ;;
    --wine) wine=$2 ;;
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
pids=()
status=1
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "logs kept in $work"; fi
}
trap cleanup EXIT

user=tester
password='TLS check password'

# start_server NAME [options...]: a server on its own data folder and a free port; sets port.
start_server() {
  local name=$1
  shift
  printf '%s\n' "$password" |
    "$server" user add "$user" --role admin --data "$work/$name" >/dev/null || return 1
  "$server" --data "$work/$name" --port 0 "$@" >"$work/$name.out" 2>"$work/$name.log" &
  pids+=($!)
  for _ in $(seq 300); do
    port=$(sed -nE 's/^listening on .*:([0-9]+)$/\1/p' "$work/$name.out")
    [ -n "$port" ] && return 0
    sleep 0.1
  done
  echo "FAILED: the $name server did not start"
  cat "$work/$name.log"
  return 1
}

made=$("$server" tls make-cert --out "$work/tls" --name localhost) || {
  echo "FAILED: tls make-cert"
  exit 1
}
echo "$made"
pin=$(sed -nE 's/^SHA-256 fingerprint: ([0-9a-f]{64})$/\1/p' <<<"$made")
[ -n "$pin" ] || { echo "FAILED: no fingerprint printed"; exit 1; }

start_server secure --tls-cert "$work/tls/server.crt" --tls-key "$work/tls/server.key" || exit 1
secure_port=$port
start_server plain || exit 1
plain_port=$port

"$wine" "$client" --port "$secure_port" --plain-port "$plain_port" --user "$user" \
  --password "$password" --pin "$pin"
status=$?
# The client tells the server of a refused certificate with a bad_certificate alert, which
# Windows' Schannel makes; Wine 8's makes none (the server logs a plain disconnection), so the
# server's log is not searched for it here.
if [ "$status" -ne 0 ]; then
  echo "--- the TLS server's log"
  cat "$work/secure.log"
fi
exit "$status"
