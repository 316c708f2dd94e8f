#!/usr/bin/env bash
# Sets everything up and opens the toolbox on the test workstation: on $DISPLAY when there is one, otherwise on a
# virtual display, where it saves a screenshot, prints its path and closes the toolbox again.
# Arguments are passed to the toolbox (for example MIS for the borderless appearance).
set -euo pipefail
source "$(dirname "$0")/env.sh"

"$ZZ_ROOT/scripts/setup.sh"
zz_build
"$ZZ_ROOT/scripts/workstation.sh"

virtual=
if [[ -z ${DISPLAY:-} ]]; then
  zz_start_xvfb
  virtual=1
fi
trap 'zz_stop_wine; [[ -n ${ZZ_XVFB_PID:-} ]] && kill "$ZZ_XVFB_PID" 2>/dev/null; true' EXIT
export ZZ_VIRTUAL=$virtual
mkdir -p "$ZZ_ROOT/out"

zz_in_workstation bash -c '
  source "$0"
  zz_start_wine
  app=$WINEPREFIX/drive_c/Zelto/ZariZovu
  cd "$app"
  rm -f ZariZovuHandle.txt
  # The toolbox keeps the prefix alive, and with it the services started after it.
  wine ZariZovu.exe "$@" </dev/null >/dev/null 2>&1 &
  toolbox=$!
  for _ in $(seq 200); do [[ -s ZariZovuHandle.txt ]] && break; sleep 0.1; done
  zz_start_workstation_services
  if [[ -z $ZZ_VIRTUAL ]]; then
    echo "[open] the toolbox is on $DISPLAY; close it to end"
    wait "$toolbox" || true
  else
    sleep 2
    shot=$ZZ_ROOT/out/toolbox.png
    import -window root "$shot"
    echo "[open] the toolbox ran on a virtual display ($DISPLAY); screenshot: $shot"
  fi
' "$ZZ_ROOT/scripts/env.sh" "$@"
