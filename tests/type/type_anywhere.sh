#!/usr/bin/env bash
# TavroType under Wine, driven by real keys from X: the hotkey opens the
# menu at the caret of a form of the test's own, Enter, Down, a digit and
# Esc pick, and the exact text arrives in a one-line and a multi-line
# field (a line break only in the latter, and no press of the form's
# default button). A
# Save is followed, also after the menu key was deleted and made again;
# the clipboard is left alone; a second copy ends at once; a hotkey taken
# by another program is named and none offered. With zh_CN, all
# of it in a Chinese prefix (code page 936) with GBK texts whose second
# byte is 0x5C.
# Arguments: TavroType.exe, type_target.exe, [zh_CN]. Needs DISPLAY.
set -euo pipefail
exe=$(readlink -f "$1")
target=$(readlink -f "$2")
locale=${3:-}
source "$(dirname "$0")/../e2e/drive.sh"
if [ -n "$locale" ]; then
  export WINEPREFIX=$BUILD/wineprefix-$locale
  ensure_cjk_prefix "$WINEPREFIX" "$locale"
  export LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8
  ensure_display
  line1='錦繡路1號' line2='運河' second='運@example.org'
else
  line1='1 Main St' line2='Springfield' second='ann@example.org'
fi
menu='HKCU\Software\TavroTypeTest\MenuExt'
export TAVRO_TYPE_MENU_KEY='\Software\TavroTypeTest\MenuExt\'
work=$(mktemp -d /tmp/tavro-type.XXXXXX)
state=$work/state
cleanup() {
  "$wine" "$target" quit >/dev/null 2>&1 || true
  [ -n "${form:-}" ] && kill "$form" 2>/dev/null
  "$wine" reg delete 'HKCU\Software\TavroTypeTest' /f >/dev/null 2>&1 || true
  # A Chinese prefix's desktop must not stay on the display.
  [ -z "$locale" ] || wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

entry() { "$wine" reg add "$menu\\$1" /v Tavro /d "$2" /f >/dev/null 2>&1; }
count() { "$wine" "$target" count 2>/dev/null | tr -d '\r'; }
field() { sed -n "s/^$1=//p" "$state" 2>/dev/null; }
# Waits until the form's FIELD holds TEXT.
expect() {  # FIELD TEXT WHAT
  for _ in $(seq 50); do
    [ "$(field "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  fail "$3: $1 holds '$(field "$1")', not '$2'"
}
# The hotkey as a user presses it, then the menu's keys once it is up.
pick() {
  xdotool key --clearmodifiers ctrl+alt+space
  for _ in $(seq 50); do
    [ "$(field menu)" != none ] && break
    sleep 0.1
  done
  shownAt=$(field menu)
  [ "$shownAt" != none ] || fail "no menu after the hotkey (then: $*);" \
    "X focus on $(xdotool getwindowfocus getwindowname); $(cat "$state")"
  xdotool key "$@"
}

"$wine" reg delete 'HKCU\Software\TavroTypeTest' /f >/dev/null 2>&1 || true
entry 00.Address "$line1\\r\\n$line2"
entry 01.E-mail "$second"
"$wine" "$target" clip-set 'kept on the clipboard' >/dev/null 2>&1
mkdir -p "$work/program"
cp "$exe" "$(dirname "$exe")/TavroType.ini" "$work/program/"
"$wine" "$target" window "Z:${state//\//\\}" >/dev/null 2>&1 &
form=$!
expect menu none "the form did not start"
"$wine" "$work/program/TavroType.exe" >/dev/null 2>&1 &
for _ in $(seq 50); do [ "$(count)" = 1 ] && break; sleep 0.1; done
[ "$(count)" = 1 ] || fail "TavroType did not start"
sleep 0.5

# Real keys go to the focused X window, and Wine hands them to the window
# in front. The desktop's is focused once: focusing it again leaves Wine
# without a window in front for a while, and closes a menu that is up.
xdotool windowfocus --sync "$(desktop)"
caret=$(field caret)
pick Return
# Just below the caret's top left corner, the height of a line.
IFS=, read -r cx cy <<<"$caret"
IFS=, read -r mx my <<<"$shownAt"
[ "$mx" -eq "$cx" ] && [ "$my" -gt "$cy" ] && [ "$my" -le $((cy + 30)) ] ||
  fail "the menu at $shownAt, the caret at $caret"
expect single "$line1 $line2" "Enter into the one-line field"
expect submitted 0 "Enter into the one-line field"

# A Save: the new entry is in the menu half a second later.
entry 02.Phone 555-0100
sleep 0.5
pick End Return
expect single "$line1 ${line2}555-0100" "the entry saved half a second before"
pick 1  # the access key of 01.E-mail
expect single "$line1 ${line2}555-0100$second" "the access key 1"

xdotool key Tab
pick Return
expect multi "$line1\\r\\n$line2" "Enter into the multi-line field"
pick Down Return
expect multi "$line1\\r\\n$line2$second" "Down, Enter"
pick Escape
sleep 1
expect multi "$line1\\r\\n$line2$second" "Esc"
expect submitted 0 "a line break into the multi-line field"

# The key deleted and made again, as after Uninstall and a new Save.
"$wine" reg delete "$menu" /f >/dev/null 2>&1
entry 00.Again again
sleep 1
pick Return
expect multi "$line1\\r\\n$line2${second}again" "the key made again"

[ "$("$wine" "$target" clip-get 2>/dev/null | tr -d '\r')" = 'kept on the clipboard' ] ||
  fail "the clipboard changed"
timeout 20 "$wine" "$work/program/TavroType.exe" >/dev/null 2>&1 ||
  fail "a second TavroType did not end by itself with 0"
[ "$(count)" = 1 ] || fail "$(count) TavroType running"
"$wine" "$target" quit
for _ in $(seq 50); do [ "$(count)" = 0 ] && break; sleep 0.1; done
[ "$(count)" = 0 ] || fail "TavroType did not end when asked"

# A hotkey another program holds is named once, and none is offered.
coproc holder { exec "$wine" "$target" hold 2>/dev/null; }
read -r -t 20 held <&"${holder[0]}" || fail "the hotkey could not be taken"
"$wine" "$work/program/TavroType.exe" >/dev/null 2>&1 &
box=$("$wine" "$target" box 2>/dev/null | tr -d '\r') || fail "no message box"
case $box in
  *"Ctrl+Alt+Space is taken by another program"*TavroType.ini*) ;;
  *) fail "the box said: $box" ;;
esac
kill "$holder_PID"
[ "$(count)" = 1 ] || fail "TavroType did not run on without a hotkey"
"$wine" "$target" quit
echo "1 passed, 0 failed"
