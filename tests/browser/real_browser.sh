#!/usr/bin/env bash
# Tavro's extension in Debian's chromium, headless, with TavroHost.exe under
# Wine in a prefix of its own as the native-messaging host.
# Arguments: TavroHost.exe.
set -euo pipefail
exe=$(readlink -f "$1")
source "$(dirname "$0")/../../scripts/env.sh"
ensure_puppeteer
export WINEPREFIX=$BUILD/wineprefix-browser
ensure_prefix
tmp=$(mktemp -d)
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
# A warm wineserver, so that the first list measures the host, not Wine.
wineserver -p </dev/null >/dev/null 2>&1

# The browser starts the host with its own arguments; the stamp marks the
# connect. Wine must write nothing but the host's frames to stdout.
cat >"$tmp/host.sh" <<HOST
#!/bin/sh
date +%s%3N >>"$tmp/connects"
export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export TAVRO_HOST_MENU_KEY='\\Software\\TavroBrowserTest\\MenuExt\\'
exec '$WINE64' 'Z:${exe//\//\\}' 2>>"$tmp/host.err"
HOST
chmod +x "$tmp/host.sh"
# Chromium reads the manifests of a custom profile from inside it.
mkdir -p "$tmp/profile/NativeMessagingHosts"
cat >"$tmp/profile/NativeMessagingHosts/org.example.tavro.json" <<JSON
{
  "name": "org.example.tavro",
  "description": "Tavro's saved entries",
  "path": "$tmp/host.sh",
  "type": "stdio",
  "allowed_origins": ["chrome-extension://kiebalbnhhnpgcndjiiaajggckkhkeja/"]
}
JSON
NODE_PATH=$BUILD/npm/node_modules node "$(dirname "$0")/real_browser.js" "$tmp"
