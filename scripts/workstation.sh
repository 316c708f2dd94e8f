#!/usr/bin/env bash
# Makes the test workstation: a Wine prefix that plays a customer's machine, with Persian fonts, the ODBC driver
# entry "SQL Server", the toolbox and the stand-ins of the suite's programs. Run after a build; safe to run again.
set -euo pipefail
source "$(dirname "$0")/env.sh"

log() { printf '[workstation] %s\n' "$*"; }
mkdir -p "$ZZ_WORKSTATION" "$ODBCSYSINI"

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  log "creating the Wine prefix"
  wineboot --init </dev/null >/dev/null 2>&1
  wineserver -w
fi

# Tahoma (the toolbox's font) and the waiting window's font come from a Persian face with Tahoma-like widths;
# the system's own texts (captions, message boxes, task dialogs) from a face with both Latin and Arabic glyphs.
for face in Tahoma Zeltok; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'FreeFarsi' /f </dev/null >/dev/null 2>&1
done
python3 "$ZZ_ROOT/scripts/window-metrics.py" 'DejaVu Sans' >"$ZZ_WORKSTATION/window-metrics.reg"
wine regedit /S "$ZZ_WORKSTATION/window-metrics.reg" </dev/null >/dev/null 2>&1
# Text files open in Notepad, as on Windows (the smart service pane opens the service's log.txt).
wine reg add 'HKCR\.txt' /ve /d txtfile /f </dev/null >/dev/null 2>&1
# Windows windows in a desktop of Wine's own: frames and captions as on Windows, without a window manager.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1

# The driver entry that the toolbox names ("SQL Server") is FreeTDS.
tds=$(ls /usr/lib/*/odbc/libtdsodbc.so 2>/dev/null | head -n1)
cat >"$ODBCSYSINI/odbcinst.ini" <<INI
[SQL Server]
Description = SQL Server (FreeTDS)
Driver = $tds
INI
: >"$ODBCINI"
# "(local)" names this machine, as on Windows; programs of the workstation see this hosts file (env.sh).
{ cat /etc/hosts; printf '127.0.0.1\t(local)\n'; } >"$ZZ_WORKSTATION/hosts"
[[ -f $FREETDSCONF ]] || cat >"$FREETDSCONF" <<'INI'
[global]
	tds version = auto
	client charset = UTF-8
INI

# The toolbox and the programs of the suite it starts.
app=$WINEPREFIX/drive_c/Zelto/ZariZovu
mkdir -p "$app/Tools" "$app/Remote Support"
bin=$ZZ_BUILD/bin
cp "$bin/ZariZovu.exe" "$app/"
# The toolbox writes out its waiting program only where none is; a copy from an earlier build would stay.
rm -f "$app/Waitting_PRJ.exe"
[[ -f $bin/standin/InternetUpdater.exe ]] && cp "$bin/standin/InternetUpdater.exe" "$app/Tools/"
[[ -f $bin/standin/NetViewer.exe ]] && cp "$bin/standin/NetViewer.exe" "$app/Remote Support/"
for installer in "$ZZ_ROOT"/standin/*/install-workstation.sh; do
  [[ -f $installer ]] && bash "$installer" "$ZZ_BUILD"
done
wineserver -w
log "ready: $WINEPREFIX"
