#!/usr/bin/env bash
# A save of double-byte Titles and Contents in a Wine prefix of that code
# page, then its fill scripts run in node as the browser reads them.
# Arguments: double_byte_tests.exe, locale (ja_JP or zh_CN), the browser's
# name of the code page (shift_jis or gbk). Needs DISPLAY.
set -euo pipefail
exe=$(readlink -f "$1")
locale=$2
encoding=$3
source "$(dirname "$0")/../../scripts/env.sh"
export WINEPREFIX=$BUILD/wineprefix-$locale
ensure_cjk_prefix "$WINEPREFIX" "$locale"
export LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8
ensure_display
scripts=$(mktemp -d /tmp/tavro-double-byte.XXXXXX)
# This prefix's desktop must not stay on the display: other tests send
# their keys to the desktop of theirs.
on_exit 'wineserver -k </dev/null >/dev/null 2>&1; rm -rf "$scripts"'
TAVRO_EXPORT_DIR="Z:${scripts//\//\\}" "$WINE64" "$exe" </dev/null
node "$ROOT/tests/core/run_fill_scripts.js" "$scripts" "$encoding"
