#!/usr/bin/env bash
# The real toolbox on the workstation, driven with the keyboard as a technician drives it: code 3, a backup into a
# ZIP archive through the system's save dialog, a change to the data, then a restore of that archive through the
# open dialog (after its safety backup). Runs where the tests run: in the workstation's namespace, on its display.
# A screenshot of every step is kept in <build>/tests/panes/toolbox-steps/.
set -uo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}"
steps=${1:?usage: toolbox_backup_restore_test.sh <folder for screenshots>}
mkdir -p "$steps" && rm -f "$steps"/*.png
app=$WINEPREFIX/drive_c/Zelto/ZariZovu
folder_unix=$WINEPREFIX/drive_c/zz-toolbox-test
folder='C:\zz-toolbox-test'
rm -rf "$folder_unix" && mkdir -p "$folder_unix"
failures=0
n=0
shot() { n=$((n + 1)); import -window root "$steps/$(printf '%02d' $n)-$1.png" 2>/dev/null; }
fail() { echo "FAIL - $* ($(date +%T))"; failures=$((failures + 1)); shot "failure"; }
ok() { echo "ok   - $* ($(date +%T))"; }
sql() { printf '%s\ngo\n' "$1" | timeout 60 tsql -H 127.0.0.1 -p 1433 -U sa -P 3917264 -D Zelto 2>&1; }
wait_for() {  # wait_for <seconds> <test command...>
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
key() { xdotool key --delay 80 "$@"; sleep 0.7; }
# Answers the message dialog with Enter for its one button: it must have come up in front, with the keyboard.
answer() { key Return; }
# The engine shows its message once its waiting program is gone: wait for that program to come (it may have come and
# gone already) and to go.
# (The bracket keeps the pattern from matching a command line that carries the pattern itself.)
waiting_running() { pgrep -f 'Waitting_PRJ[.]exe' >/dev/null; }
waiting_gone() { ! waiting_running; }
waiting_over() {
  wait_for 10 waiting_running || true
  wait_for 60 waiting_gone || fail "the waiting window stayed"
  sleep 1.5
}

cd "$app" || exit 1
rm -f ZariZovuHandle.txt
wine ZariZovu.exe </dev/null >/dev/null 2>&1 &
toolbox=$!
trap 'kill $toolbox 2>/dev/null; wine net stop "MSSQL\$ZELTO" >/dev/null 2>&1; rm -rf "$folder_unix"' EXIT
wait_for 30 test -s ZariZovuHandle.txt || { echo "FAIL - the toolbox did not start"; exit 1; }
wine net start 'MSSQL$ZELTO' </dev/null >/dev/null 2>&1
wait_for 30 bash -c "printf 'select 1\ngo\n' | tsql -H 127.0.0.1 -p 1433 -U sa -P 3917264 >/dev/null 2>&1" ||
  fail "the instance did not come up"
sleep 1
sql "delete from ApplicationInfo where Id = 77" >/dev/null

# Code 3, then button 3 (Alt+3): the save dialog, preset to the database name.
xdotool type --delay 100 3 && key Return
shot code-3
key alt+3
sleep 1
shot save-dialog
key ctrl+a
xdotool type --delay 30 "$folder\\real.zip"
key Return
if wait_for 60 test -f "$folder_unix/real.zip"; then ok "the backup was packed into the chosen archive"; else fail "no archive"; fi
[[ -f $folder_unix/real.bak ]] && ok "its .bak stays beside it" || fail "no .bak beside the archive"
waiting_over
shot backup-message
answer  # the engine's message

# A change after the backup, which the restore must take away again.
sql "insert into ApplicationInfo values (77, N'ZZToolbox', N'after the backup')" >/dev/null
sql "select Value from ApplicationInfo where Id = 77" | grep -q "after the backup" || fail "the change was not made"

# Button 4 (Alt+4): the open dialog, the archive, the safety backup and its message, the restore and its message.
key alt+4
sleep 1
shot open-dialog
xdotool type --delay 30 "$folder\\real.zip"
key Return
if wait_for 60 bash -c "ls '$folder_unix'/Auto*.zip >/dev/null 2>&1"; then
  ok "the safety backup was packed beside the chosen archive: $(cd "$folder_unix" && ls Auto*.zip)"
else
  fail "no safety backup"
fi
waiting_over
shot safety-backup-message
answer  # the safety backup's message
waiting_over
shot restore-message
answer  # the restore's message
if wait_for 30 bash -c "! printf 'select Value from ApplicationInfo where Id = 77\ngo\n' |
    tsql -H 127.0.0.1 -p 1433 -U sa -P 3917264 -D Zelto 2>&1 | grep -q 'after the backup'"; then
  ok "the database holds the backup's rows again"
else
  fail "the change is still there: nothing was restored"
fi
[[ ! -f $folder_unix/real.bak || -f $folder_unix/real.zip ]] && ok "the archive is still there" || fail "archive gone"
shot end

echo "$((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
exit $((failures > 0))
