# Sourced by the other scripts: where things are and the environment of the test workstation.
ZZ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ZZ_ROOT
export ZZ_CACHE=${ZZ_CACHE:-$HOME/.cache/zarizovu}
export ZZ_DEPS=$ZZ_CACHE/mingw64
export ZZ_BUILD=${ZZ_BUILD:-$ZZ_ROOT/build}
export ZZ_WORKSTATION=${ZZ_WORKSTATION:-$ZZ_ROOT/workstation}
export WINEPREFIX=$ZZ_WORKSTATION/prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# unixODBC (reached through Wine's odbc32) and FreeTDS read their configuration from the workstation.
export ODBCSYSINI=$ZZ_WORKSTATION/odbc
export ODBCINI=$ZZ_WORKSTATION/odbc/odbc.ini
export FREETDSCONF=$ZZ_WORKSTATION/odbc/freetds.conf

zz_build() {
  cmake -S "$ZZ_ROOT" -B "$ZZ_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ZZ_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DZZ_DEPS="$ZZ_DEPS" -DCMAKE_BUILD_TYPE=Release >"$ZZ_BUILD.configure.log" 2>&1 \
    || { cat "$ZZ_BUILD.configure.log"; return 1; }
  cmake --build "$ZZ_BUILD" -j2 >"$ZZ_BUILD.build.log" 2>&1 || { grep -E 'error|Error' "$ZZ_BUILD.build.log" | head -40; return 1; }
}

# A virtual display of our own; sets DISPLAY and ZZ_XVFB_PID.
zz_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    ZZ_XVFB_PID=$!
    for _ in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && { export DISPLAY=":$n"; return 0; }
      sleep 0.1
    done
    kill "$ZZ_XVFB_PID" 2>/dev/null || true
  done
  echo "no free display for Xvfb" >&2
  return 1
}

# A persistent wineserver, detached from our pipes, and the prefix's own services started once, so that
# later Wine processes start fast and nobody waits on an inherited pipe.
zz_start_wine() {
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  sleep 0.5
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

zz_stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
}

# Runs a command the way the workstation sees the machine, without changing the machine: "(local)" resolves to this
# computer (the hosts file is swapped in a mount namespace of the command's own), and the command has a loopback
# network of its own, so the ports of the workstation's SQL Server (1433, 1434) are free whatever else runs here.
zz_in_workstation() {
  if [[ -f $ZZ_WORKSTATION/hosts ]] && unshare --mount --net --propagation private true 2>/dev/null; then
    unshare --mount --net --propagation private bash -c \
      'ip link set lo up && mount --bind "$0" /etc/hosts && exec "$@"' "$ZZ_WORKSTATION/hosts" "$@"
  else
    echo "warning: cannot give the workstation its hosts file and network (needs root); \"(local)\" will not resolve" >&2
    "$@"
  fi
}

# Starts the workstation's SQL Server instance. Under Wine a service lives while an ordinary Wine process of the
# prefix does: call this while the toolbox (or another program) runs.
zz_start_workstation_services() {
  if wine sc query 'MSSQL$ZELTO' </dev/null 2>/dev/null | grep -q STOPPED; then
    wine net start 'MSSQL$ZELTO' </dev/null >/dev/null 2>&1 || echo "[workstation] could not start MSSQL\$ZELTO" >&2
  fi
  return 0
}
