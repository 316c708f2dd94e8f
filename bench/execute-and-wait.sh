#!/usr/bin/env bash
# Processor time of the toolbox while it waits 5 s for a program it started, with ExecuteAndWait and with a
# busy-polling loop, side by side. Needs a build (scripts/test.sh or scripts/open.sh make one).
#   bench/execute-and-wait.sh [runs]
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; zz_stop_wine; [[ -n ${ZZ_XVFB_PID:-} ]] && kill "$ZZ_XVFB_PID" 2>/dev/null; true' EXIT
cp "$ZZ_BUILD/bin/standin/InternetUpdater.exe" "$work/sleeper.exe"
echo 5000 >"$work/sleeper.exe.wait"
zz_start_xvfb
zz_start_wine
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), Wine $(wine --version)"
echo
# Under Wine each call of a polling loop is also work of the wineserver process: count that too.
server_seconds() {
  local dir pid p
  # The wineserver of this prefix works in a folder named after the prefix's device and inode.
  dir=server-$(printf '%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  pid=
  for p in $(pgrep wineserver); do [[ $(readlink "/proc/$p/cwd") == */"$dir" ]] && pid=$p; done
  [[ -n $pid ]] || { echo 0; return; }
  awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$pid/stat"
}
runs=${1:-3}
echo "| wait | wall s (mean of $runs) | processor s of the toolbox | processor / wall | wineserver processor s |"
echo "|---|---|---|---|---|"
for mode in wait poll; do
  before=$(server_seconds)
  row=$(wine "$ZZ_BUILD/bench/bench_execute_and_wait.exe" "Z:${work//\//\\}\\sleeper.exe" "$runs" "$mode" \
    </dev/null 2>/dev/null | tr -d '\r')
  after=$(server_seconds)
  echo "$row $(awk -v a="$after" -v b="$before" -v n="$runs" 'BEGIN { printf "%.3f |", (a - b) / n }')"
done
