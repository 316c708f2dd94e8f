# Shared by the client tests: starts and stops the stand-in server under Wine on free loopback ports.
# Needs SERVER_EXE; uses WINEPREFIX from the environment (a prefix in the test folder when unset).
set -euo pipefail

WORK=$(mktemp -d "${TMPDIR:-/tmp}/zz-standin-client.XXXXXX")
export WINEDEBUG=${WINEDEBUG:--all}
OWN_PREFIX=
if [[ -z ${WINEPREFIX:-} ]]; then
  export WINEPREFIX=$WORK/prefix
  OWN_PREFIX=1
fi
SERVER_PID=
failures=0

winpath() { printf 'Z:%s' "${1//\//\\}"; }

cleanup() {
  stop_server
  if [[ -n $OWN_PREFIX ]]; then wineserver -k 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

free_port() {
  local p
  for _ in $(seq 1 50); do
    p=$((20000 + RANDOM % 25000))
    if ! ss -Htan "sport = :$p" | grep -q . && ! ss -Huan "sport = :$((p + 1))" | grep -q .; then
      echo "$p"
      return
    fi
  done
  return 1
}

# start_server PORT [BROWSER_PORT]
start_server() {
  local port=$1 browser=${2:-$(($1 + 1))}
  mkdir -p "$WORK/data"
  printf '[logins]\nsa = 3917264\nzlt = 3917264\n' >"$WORK/standin.ini"
  wine "$SERVER_EXE" ZELTO "$port" "$(winpath "$WORK/data")" "$(winpath "$WORK/standin.ini")" "$browser" \
    >>"$WORK/server.log" 2>&1 </dev/null &
  SERVER_PID=$!
  for _ in $(seq 1 120); do
    if ss -Htln "sport = :$port" | grep -q .; then return 0; fi
    kill -0 "$SERVER_PID" 2>/dev/null || break
    sleep 0.25
  done
  echo "server did not start:"; cat "$WORK/server.log"
  exit 1
}

stop_server() {
  if [[ -n $SERVER_PID ]]; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
    SERVER_PID=
  fi
}

# check NAME OUTPUT PATTERN: the output must contain the fixed string.
check() {
  if grep -qF -- "$3" <<<"$2"; then
    echo "ok   - $1"
  else
    echo "FAIL - $1: expected '$3' in:"; sed 's/^/    /' <<<"$2"
    failures=$((failures + 1))
  fi
}

check_absent() {
  if grep -qF -- "$3" <<<"$2"; then
    echo "FAIL - $1: did not expect '$3' in:"; sed 's/^/    /' <<<"$2"
    failures=$((failures + 1))
  else
    echo "ok   - $1"
  fi
}

finish() {
  if ((failures)); then
    echo "$failures check(s) failed"; echo "server log:"; cat "$WORK/server.log"
    exit 1
  fi
  echo "all checks passed"
}
