#!/usr/bin/env bash
# The server as a Windows service under Wine: installed, started and stopped with net.exe, refusing clients
# while it is stopped. Uses a throw-away instance name so that the workstation's own service is not touched.
SERVER_EXE=$1
source "$(dirname "$0")/harness.sh"

# Services end with the last ordinary process of the prefix: keep one alive for the test.
touch "$WORK/alive"
wine "$SERVER_EXE" --idle "$(winpath "$WORK/alive")" </dev/null >/dev/null 2>&1 &
KEEPER=$!
PORT=$(free_port)
printf '[logins]\nsa = 3917264\n' >"$WORK/standin.ini"
NAME=ZZT$((RANDOM % 90000 + 10000))
SERVICE="MSSQL\$$NAME"
mkdir -p "$WORK/svcdata"

uninstall() { wine "$SERVER_EXE" --uninstall "$NAME" >/dev/null 2>&1 || true; }
trap 'uninstall; rm -f "$WORK/alive"; wait "$KEEPER" 2>/dev/null || true; cleanup' EXIT

listening() { ss -Htln "sport = :$PORT" | grep -q .; }
wait_for() {  # wait_for up|down
  for _ in $(seq 1 80); do
    if [[ $1 == up ]] && listening; then return 0; fi
    if [[ $1 == down ]] && ! listening; then return 0; fi
    sleep 0.25
  done
  return 1
}
login() { printf 'select 1 as alive\ngo\n' | timeout 30 tsql -H 127.0.0.1 -p "$PORT" -U sa -P 3917264 2>&1 || true; }

out=$(wine "$SERVER_EXE" --install "$NAME" "$PORT" "$(winpath "$WORK/svcdata")" "$(winpath "$WORK/standin.ini")" 0 demand 2>&1)
check "the service installs" "$out" "installed"
out=$(wine sc query "$SERVICE" 2>&1)
check "and stays stopped until started" "$out" "STOPPED"

wine net start "$SERVICE" >/dev/null 2>&1 || true
wait_for up || true
out=$(wine sc query "$SERVICE" 2>&1)
check "net start brings it to RUNNING" "$out" "RUNNING"
check "a client logs in to the service" "$(login)" "alive"

wine net stop "$SERVICE" >/dev/null 2>&1 || true
wait_for down || true
out=$(wine sc query "$SERVICE" 2>&1)
check "net stop brings it to STOPPED" "$out" "STOPPED"
check "a stopped service refuses clients" "$(login)" "There was a problem connecting to the server"

wine net start "$SERVICE" >/dev/null 2>&1 || true
wait_for up || true
check "it starts again" "$(login)" "alive"
wine net stop "$SERVICE" >/dev/null 2>&1 || true
wait_for down || true

finish
