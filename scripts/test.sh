#!/usr/bin/env bash
# Sets everything up and runs all tests.
set -euo pipefail
source "$(dirname "$0")/env.sh"

"$ZZ_ROOT/scripts/setup.sh"
zz_build
"$ZZ_ROOT/scripts/workstation.sh"

trap 'zz_stop_wine; [[ -n ${ZZ_XVFB_PID:-} ]] && kill "$ZZ_XVFB_PID" 2>/dev/null; true' EXIT
zz_start_xvfb
zz_in_workstation bash -c 'source "$0"; zz_start_wine; ctest --test-dir "$ZZ_BUILD" --output-on-failure "$@"' \
  "$ZZ_ROOT/scripts/env.sh" "$@"
