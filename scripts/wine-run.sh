#!/usr/bin/env bash
# Runs a Windows program under Wine in Brennick's environment (ctest uses
# this as its emulator for the MinGW build).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
# A display started just for this program goes with it, and so does the Wine
# server that used it.
trap '[ -z "${BRENNICK_XVFB_PID:-}" ] || brennick_wine_stop' EXIT
wine "$@"
