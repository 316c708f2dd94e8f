#!/usr/bin/env bash
# Installs the stand-in smart service into a Wine prefix as the service "IntelligentService_SVR" (automatic start),
# in a folder whose path has blanks, the way the suite's installer does. Safe to run again: the program is replaced
# and the service pointed at it.
#
#   WINEPREFIX=... install-workstation.sh <build-folder>
set -euo pipefail

build=${1:?usage: install-workstation.sh <build-folder>}
: "${WINEPREFIX:?set WINEPREFIX to the workstation prefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}

exe=$build/bin/standin/IntelligentService.exe
[[ -f $exe ]] || { echo "install-workstation: $exe is missing; build the IntelligentService target first" >&2; exit 1; }

folder="$WINEPREFIX/drive_c/Program Files/Zelto/Smart Service"
mkdir -p "$folder"
# The service may be running from the old copy (an automatic service starts with the prefix): a new file under the
# same name leaves the running program its own.
cp "$exe" "$folder/IntelligentService.exe.new"
mv -f "$folder/IntelligentService.exe.new" "$folder/IntelligentService.exe"
rm -f "$folder/behaviour.ini"

if ! wine 'C:\Program Files\Zelto\Smart Service\IntelligentService.exe' /install </dev/null >/dev/null 2>&1; then
  echo "install-workstation: the smart service could not be installed:" >&2
  tail -n 3 "$folder/log.txt" >&2 || true
  exit 1
fi
