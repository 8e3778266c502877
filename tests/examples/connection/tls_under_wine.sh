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
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/../../../tools/lib.sh"

client='' server='' wine=''
parse_options "client server wine" "$@"
require_native_server "$server"
make_work_dir

user=tester
password='TLS check password'

made=$("$server" tls make-cert --out "$tvx_work/tls" --name localhost) || {
  fail "tls make-cert"
  exit 1
}
echo "$made"
pin=$(sed -nE 's/^SHA-256 fingerprint: ([0-9a-f]{64})$/\1/p' <<<"$made")
[ -n "$pin" ] || { fail "no fingerprint printed"; exit 1; }

add_server_user "$server" "$tvx_work/secure" "$user" "$password" admin
start_server "$server" "$tvx_work/secure" \
  --tls-cert "$tvx_work/tls/server.crt" --tls-key "$tvx_work/tls/server.key"
secure_port=$server_port
add_server_user "$server" "$tvx_work/plain" "$user" "$password" admin
start_server "$server" "$tvx_work/plain"
plain_port=$server_port

# The client tells the server of a refused certificate with a bad_certificate alert, which
# Windows' Schannel makes; Wine 8's makes none (the server logs a plain disconnection), so the
# server's log is not searched for it here.
if ! "$wine" "$client" --port "$secure_port" --plain-port "$plain_port" --user "$user" \
  --password "$password" --pin "$pin"; then
  fail "the Windows client's checks"
  echo "--- the TLS server's log"
  cat "$tvx_work/secure/server.log"
fi
finish_checks
