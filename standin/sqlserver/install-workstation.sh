#!/usr/bin/env bash
# Installs the stand-in SQL Server into a Wine prefix as the service "MSSQL$ZELTO" and gives it the sample
# database "Zelto". Safe to run again: the program and its configuration are refreshed, the service is pointed at
# them, and an existing sample database is kept.
#
#   WINEPREFIX=... install-workstation.sh <build-folder> [--start]
#
# Environment: STANDIN_PORT (1433), STANDIN_BROWSER_PORT (1434), STANDIN_START_TYPE (demand | auto; demand),
# STANDIN_PASSWORD (the suite's password for sa and zlt).
set -euo pipefail

build=${1:?usage: install-workstation.sh <build-folder> [--start]}
start=${2:-}
: "${WINEPREFIX:?set WINEPREFIX to the workstation prefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
here=$(cd "$(dirname "$0")" && pwd)
port=${STANDIN_PORT:-1433}
browser=${STANDIN_BROWSER_PORT:-1434}
start_type=${STANDIN_START_TYPE:-demand}
password=${STANDIN_PASSWORD:-3917264}
instance=ZELTO

exe=$build/standin/sqlserver/sqlstandin.exe
[[ -f $exe ]] || { echo "install-workstation: $exe is missing; build the sqlstandin target first" >&2; exit 1; }

# Keep one ordinary Wine process alive for the whole script, so that the prefix (and its service manager) does not
# shut down and boot again between the short commands below.
# (A file, not a pipe: every Wine process started below would inherit the pipe and hold it open.)
keep=$(mktemp -d)
touch "$keep/alive"
wine "$exe" --idle "Z:${keep//\//\\}\\alive" </dev/null >/dev/null 2>&1 &
keeper=$!
trap 'rm -f "$keep/alive"; wait "$keeper" 2>/dev/null || true; rm -rf "$keep"' EXIT

root_unix="$WINEPREFIX/drive_c/Program Files/Microsoft SQL Server/MSSQL11.$instance/MSSQL"
root_win="C:\\Program Files\\Microsoft SQL Server\\MSSQL11.$instance\\MSSQL"
mkdir -p "$root_unix/Binn" "$root_unix/DATA" "$root_unix/Backup"

# A running service holds the program and the data folder: stop it before replacing the one or seeding the other.
# (Any Wine process may start an auto-start service as the prefix boots, so wait for STOPPED, not just RUNNING.)
service_state() { wine sc query "MSSQL\$$instance" 2>/dev/null | grep -oE 'STOPPED|START_PENDING|RUNNING|STOP_PENDING' || true; }
state=$(service_state)
if [[ -n $state && $state != STOPPED ]]; then
  for _ in $(seq 1 40); do
    [[ $(service_state) == RUNNING ]] && break
    sleep 0.25
  done
  wine net stop "MSSQL\$$instance" >/dev/null 2>&1 || true
  for _ in $(seq 1 80); do
    [[ $(service_state) == STOPPED ]] && break
    sleep 0.25
  done
fi

cp "$exe" "$root_unix/Binn/sqlstandin.exe"
printf '; Logins of the stand-in SQL Server: name = password\r\n[logins]\r\nsa = %s\r\nzlt = %s\r\n' \
  "$password" "$password" >"$root_unix/Binn/sqlstandin.ini"

if ! grep -qP '^db\t\d+\tZelto\t' "$root_unix/DATA/catalogue.txt" 2>/dev/null; then
  sed "s|@DATA@|${root_win//\\/\\\\}\\\\DATA|g" "$here/sample-zelto.sql" >"$root_unix/Binn/sample-zelto.sql"
  if ! log=$(wine "$root_unix/Binn/sqlstandin.exe" --exec "$instance" "$root_win\\DATA" "$root_win\\Binn\\sqlstandin.ini" \
    "$root_win\\Binn\\sample-zelto.sql" 2>&1); then
    echo "install-workstation: the sample database could not be made:" >&2
    echo "$log" >&2
    exit 1
  fi
  rm -f "$root_unix/Binn/sample-zelto.sql"
fi

wine "$root_unix/Binn/sqlstandin.exe" --install "$instance" "$port" "$root_win\\DATA" "$root_win\\Binn\\sqlstandin.ini" \
  "$browser" "$start_type"

if [[ $start == --start ]]; then
  wine net start "MSSQL\$$instance" >/dev/null 2>&1 || true
fi
