#!/usr/bin/env bash
# The host's protocol under Wine, in the test prefix or, with zh_CN, in a
# Chinese prefix where the entries are double-byte text.
# Arguments: TavroHost.exe [zh_CN].
set -euo pipefail
exe=$(readlink -f "$1")
source "$(dirname "$0")/../../scripts/env.sh"
mode=
if [ "${2:-}" = zh_CN ]; then
  export WINEPREFIX=$BUILD/wineprefix-zh_CN
  ensure_cjk_prefix "$WINEPREFIX" zh_CN
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  on_exit 'wineserver -k </dev/null >/dev/null 2>&1'
  mode=double-byte
fi
node "$(dirname "$0")/host_protocol.js" "Z:${exe//\//\\}" $mode
