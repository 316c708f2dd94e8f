#!/usr/bin/env bash
# Makes the README's screenshots: the main window in both appearances, the operation panes (the smart service
# pane showing the workstation's running service) and one message dialog.
# Needs a build and the workstation (scripts/open.sh or scripts/test.sh make both).
set -euo pipefail
source "$(dirname "$0")/env.sh"

out=$ZZ_ROOT/docs/screenshots
mkdir -p "$out"
trap 'zz_stop_wine; [[ -n ${ZZ_XVFB_PID:-} ]] && kill "$ZZ_XVFB_PID" 2>/dev/null; true' EXIT
zz_start_xvfb
zz_start_wine
app=$WINEPREFIX/drive_c/Zelto/ZariZovu
cd "$app"

# The desktop is 1024 x 768 and the window (450 x 600) is centred on it.
crop() { convert "$1" -crop 470x630+277+69 +repage "$2"; rm -f "$1"; }

start() {
  rm -f ZariZovuHandle.txt
  wine ZariZovu.exe "$@" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 200); do [[ -s ZariZovuHandle.txt ]] && break; sleep 0.1; done
  sleep 2
}
stop() { wineserver -k 2>/dev/null || true; sleep 1; zz_start_wine; }

# Types an operation code into the code box and presses Enter.
code() { xdotool type --delay 100 "$1" && xdotool key Return; sleep 1.5; }

start
import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/main-standard.png"
code 1
import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/pane-services.png"
code 2
import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/pane-regfiles.png"
# A code that does not exist: the warning dialog.
xdotool type --delay 100 10 && xdotool key Return
sleep 2
import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/message-dialog.png"
stop

start MIS
import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/main-borderless.png"
stop

# Code 9, the status of the smart service (button 1, Alt+1) while it runs.
start
wine net start IntelligentService_SVR </dev/null >/dev/null 2>&1 || true
xdotool type --delay 100 9 && xdotool key Return
sleep 1
xdotool key alt+1
xdotool mousemove 5 5  # no hint over the buttons
sleep 2
import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/smart-service.png"
stop
zz_stop_wine

# The setup panes need the workstation: "(local)" and its SQL Server instance, and a network adapter besides the
# loopback (a virtual one of this namespace) so that the machine has an address to show.
export -f crop
zz_in_workstation bash -c '
  set -euo pipefail
  source "$0"
  out=$1
  ip link add zzv0 type veth peer name zzv1 && ip addr add 192.168.56.10/24 dev zzv0 &&
    ip link set zzv1 up && ip link set zzv0 up || echo "[screenshots] no second network adapter" >&2
  zz_start_wine
  cd "$WINEPREFIX/drive_c/Zelto/ZariZovu"
  rm -f ZariZovuHandle.txt
  wine ZariZovu.exe </dev/null >/dev/null 2>&1 &
  for _ in $(seq 200); do [[ -s ZariZovuHandle.txt ]] && break; sleep 0.1; done
  zz_start_workstation_services
  sleep 2
  # Window positions on the 1024 x 768 desktop, where the 450 x 600 window is centred.
  click() { xdotool mousemove "$1" "$2" click 1; sleep 1; }
  # Code 6 on its network tab: the address box switched on and filled, a client number.
  xdotool type --delay 100 6 && xdotool key Return && sleep 2
  click 655 309
  xdotool type --delay 100 192.168.1.5 && sleep 0.5
  click 452 355
  xdotool type --delay 100 12 && sleep 1
  import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/init-pane.png"
  # Code 4 after both of its buttons.
  click 322 129
  xdotool key ctrl+a && xdotool type --delay 100 4 && xdotool key Return && sleep 2
  click 515 268
  click 515 497
  xdotool mousemove 5 5 && sleep 2  # away from the button, whose hint would cover the pane
  import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/sysinfo-pane.png"
  # Code 3, and a detach of a database the server does not have: the failure with the words of the server.
  click 322 129
  xdotool key ctrl+a && xdotool type --delay 100 3 && xdotool key Return && sleep 2
  import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/pane-dboperations.png"
  xdotool key Tab && xdotool key ctrl+a && xdotool type --delay 50 NoSuchDatabase && sleep 0.5
  xdotool key alt+2 && sleep 2
  xdotool key Tab && xdotool key space && sleep 1  # the expanded text, through its button
  import -window root /tmp/zz-shot.png && crop /tmp/zz-shot.png "$out/dboperations-failure.png"
  xdotool key Return && sleep 0.5
  zz_stop_wine
' "$ZZ_ROOT/scripts/env.sh" "$out"
echo "screenshots in $out"
