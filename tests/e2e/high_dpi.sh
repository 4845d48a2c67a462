#!/usr/bin/env bash
# The windows made on a screen of 144 DPI, as Wine sets it from LogPixels,
# are their 96-DPI layout scaled. Argument: main_form_tests.exe. Needs
# DISPLAY.
set -euo pipefail
exe=$(readlink -f "$1")
source "$(dirname "$0")/../../scripts/env.sh"
export WINEPREFIX=$BUILD/wineprefix-144dpi
ensure_prefix
if [ ! -f "$WINEPREFIX/.tavro-144dpi" ]; then
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d 144 /f </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.tavro-144dpi"
fi
ensure_display
# This prefix's desktop must not stay on the display: other tests send
# their keys to the desktop of theirs.
on_exit 'wineserver -k </dev/null >/dev/null 2>&1'
TAVRO_SCREEN_DPI=144 "$WINE64" "$exe" --gtest_filter='*NinetySixDpi*' </dev/null
