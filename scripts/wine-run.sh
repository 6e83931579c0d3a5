#!/usr/bin/env bash
# Runs a Windows program under Wine in Brennick's environment (ctest uses
# this as its emulator for the MinGW build).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
trap brennick_wine_stop_display EXIT
wine "$@"
