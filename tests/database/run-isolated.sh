#!/bin/sh
# Runs a command (ctest, a test exe) the way the end-to-end tests need the machine, without changing it:
#  - a private network namespace: its own loopback, so UDP 1434 (the SQL Server Browser) and the stand-in's TCP
#    port are free whatever else runs here;
#  - a private mount namespace in which /etc/hosts also maps "(local)" to 127.0.0.1 (FreeTDS resolves the host
#    part of "(local)\Zelto" with the system resolver);
#  - a wineserver of its own for $WINEPREFIX inside the namespace (Wine creates sockets in the wineserver, so it
#    must live in the same network namespace), started detached so that it holds none of the caller's pipes.
# Needs root (unshare). Usage: WINEPREFIX=... run-isolated.sh ctest --test-dir <build>/tests/database
set -e
[ -n "$WINEPREFIX" ] || { echo "run-isolated.sh: set WINEPREFIX" >&2; exit 2; }
hosts=$(mktemp)
trap 'rm -f "$hosts"' EXIT
cat /etc/hosts > "$hosts"
echo "127.0.0.1 (local)" >> "$hosts"
set +e
unshare -mn sh -c '
  ip link set lo up && mount --bind "$0" /etc/hosts || exit 2
  (setsid wineserver -p </dev/null >/dev/null 2>&1 &)
  sleep 0.5
  wine cmd /c exit </dev/null >/dev/null 2>&1
  "$@"
  rc=$?
  wineserver -k
  exit $rc' "$hosts" "$@"
