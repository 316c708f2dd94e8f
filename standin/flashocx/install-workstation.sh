#!/usr/bin/env bash
# Puts the component file "Flash.ocx" where its bare name resolves for every program of the workstation: the system
# folder. It is not registered: registering it is the toolbox's job (code 2).
#
#   WINEPREFIX=... install-workstation.sh <build-folder>
set -euo pipefail
build=${1:?usage: install-workstation.sh <build-folder>}
: "${WINEPREFIX:?set WINEPREFIX to the workstation prefix}"
ocx=$build/bin/standin/Flash.ocx
[[ -f $ocx ]] || { echo "install-workstation: $ocx is missing; build the FlashOcx target first" >&2; exit 1; }
cp "$ocx" "$WINEPREFIX/drive_c/windows/system32/Flash.ocx"
