#!/usr/bin/env bash
# Tavro's extension in Debian's chromium or firefox-esr, headed on a display
# of its own, with TavroHost.exe under Wine in a prefix of its own as the
# native-messaging host. Arguments: TavroHost.exe, chromium | firefox.
set -euo pipefail
exe=$(readlink -f "$1")
family=$2
source "$(dirname "$0")/../../scripts/env.sh"
ensure_node_packages
export WINEPREFIX=$BUILD/wineprefix-browser
ensure_prefix
tmp=$(mktemp -d)
# A screen of its own, so that no other window lies over the browser's.
new_display 1280x1024
display=$NEW_DISPLAY
on_exit "kill $NEW_DISPLAY_PID 2>/dev/null; wineserver -k </dev/null >/dev/null 2>&1; rm -rf '$tmp'"
# A warm wineserver, so that the first list measures the host, not Wine.
wineserver -p </dev/null >/dev/null 2>&1 || true

# The browser starts the host with a TMPDIR of its own; Wine keeps its
# server's socket under TMPDIR, so the host gets back the one this
# wineserver runs under. The stamp marks each connect. Wine must write
# nothing but the host's frames to stdout.
cat >"$tmp/host.sh" <<HOST
#!/bin/sh
date +%s%3N >>"$tmp/connects"
export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export TMPDIR='${TMPDIR:-/tmp}'
export TAVRO_HOST_MENU_KEY='\\Software\\TavroBrowserTest\\MenuExt\\'
exec '$WINE64' 'Z:${exe//\//\\}' 2>>"$tmp/host.err"
HOST
chmod +x "$tmp/host.sh"
DISPLAY=$display NODE_PATH=$BUILD/npm/node_modules \
  node "$(dirname "$0")/real_browser.js" "$tmp" "$family" "$BUILD/npm/node_modules"
