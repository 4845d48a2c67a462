# What the end-to-end tests share: Tavro started in a work folder and driven
# with real keystrokes on the Wine desktop of this prefix. Sourced; needs
# WINEPREFIX and DISPLAY with that desktop.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
wine=$WINE64
key='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
fail() { echo "FAIL: $*" >&2; exit 1; }
# A command that fails under set -e says which, where a test would
# otherwise end without a word.
set -E
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

# Another prefix's desktop may lie on the same display.
desktop() {
  xdotool search --all --pid "$(desktop_pid)" --name 'Wine desktop' | head -n 1
}
keys() { xdotool windowfocus --sync "$(desktop)"; xdotool "$@"; sleep 0.4; }

# The titled windows shown, as window_titles.exe (the script's $titles)
# lists them.
windows_shown() { "$wine" "$titles" 2>/dev/null | wc -l; }

start_tavro() {  # EXE WORK-FOLDER; sets tavro to its process
  local before
  before=$(windows_shown)
  (cd "$2" && "$wine" "$1" </dev/null >/dev/null 2>&1) &
  tavro=$!
  # Until it shows a window: the main one, or the language dialog first.
  for _ in $(seq 100); do
    [ "$(windows_shown)" -gt "$before" ] && return 0
    sleep 0.1
  done
  fail "Tavro showed no window"
}

stop_tavro() {
  keys key alt+F4
  for _ in $(seq 50); do kill -0 "$tavro" 2>/dev/null || return 0; sleep 0.2; done
  fail "Tavro did not close"
}

# At the first start: the language whose name begins with LETTER, taken.
choose_language() {
  keys type "$1"
  keys key Return
}

# Into the open editor: a Title and a Content of two lines, then OK.
type_entry() {  # TITLE LINE1 LINE2
  keys type --delay 30 "$1"
  keys key Tab
  keys type --delay 30 "$2"
  keys key Return
  keys type --delay 30 "$3"
  keys key Tab Return
}

registry() { "$wine" reg query "$key" /s 2>/dev/null | tr -d '\r'; }
