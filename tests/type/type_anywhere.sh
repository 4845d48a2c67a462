#!/usr/bin/env bash
# TavroType under Wine, driven by real keys from X: the hotkey opens the
# popup at the caret of a form of the test's own, Enter, Down, a digit and
# Esc pick, and the exact text arrives in a one-line and a multi-line
# field (a line break only in the latter, and no press of the form's
# default button). A Save is followed, also after the menu key was deleted
# and made again; the clipboard is left alone; a second copy ends at once;
# a hotkey taken by another program is named and none offered. Then what a
# user relies on: control characters arrive as nothing, a pick types the
# entry as it stands at Enter, the hotkey again closes the popup, a field
# UI Automation calls a Document takes line breaks, the form closed while
# the popup is open or another window in front mid-typing gets nothing
# typed elsewhere, Esc stops a long typing, 20,000 characters arrive whole
# in a slow form, Tavro's own window takes keys after a pick, and a hotkey
# Windows needs or a long value is refused readably. With zh_CN, the first
# part in a Chinese prefix (code page 936) with GBK texts whose second byte
# is 0x5C.
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
  pkill -f "$work/program/TavroType.exe" 2>/dev/null || true
  for pid in ${form:-} ${behindForm:-} ${tavro:-}; do kill "$pid" 2>/dev/null || true; done
  "$wine" reg delete 'HKCU\Software\TavroTypeTest' /f >/dev/null 2>&1 || true
  for code in ${mapped:-}; do xmodmap -e "keycode $code =" 2>/dev/null || true; done
  # A Chinese prefix's desktop must not stay on the display.
  [ -z "$locale" ] || wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$work"
}
on_exit cleanup

entry() { "$wine" reg add "$menu\\$1" /v Tavro /d "$2" /f >/dev/null 2>&1; }
count() { "$wine" "$target" count 2>/dev/null | tr -d '\r'; }
field() { sed -n "s/^$1=//p" "${2:-$state}" 2>/dev/null; }
# Waits until the form's FIELD holds TEXT.
expect() {  # FIELD TEXT WHAT [STATE-FILE] [TENTHS]
  for _ in $(seq "${5:-50}"); do
    [ "$(field "$1" "${4:-}")" = "$2" ] && return 0
    sleep 0.1
  done
  fail "$3: $1 holds '$(field "$1" "${4:-}" | head -c 200)', not '${2:0:200}'"
}
# The hotkey as a user presses it; waits for the popup.
open_popup() {
  xdotool key --clearmodifiers ctrl+alt+space
  for _ in $(seq 50); do
    [ "$(field menu)" != none ] && break
    sleep 0.1
  done
  shownAt=$(field menu)
  [ "$shownAt" != none ] || fail "no popup after the hotkey (then: $*);" \
    "X focus on $(xdotool getwindowfocus getwindowname); $(cat "$state")"
}
# Then the popup's keys.
pick() { open_popup "$@"; xdotool key "$@"; }
# TavroType's message box says PATTERN; it is closed.
box_says() {  # PATTERN WHAT
  box=$("$wine" "$target" box 2>/dev/null | tr -d '\r') || fail "$2: no box"
  case $box in *$1*) ;; *) fail "$2: the box said: $box" ;; esac
}
start_form() {  # STATE-FILE OPTION...; sets form
  "$wine" "$target" window "Z:${1//\//\\}" "${@:2}" >/dev/null 2>&1 &
  form=$!
  expect menu none "the form did not start" "$1"
}

"$wine" reg delete 'HKCU\Software\TavroTypeTest' /f >/dev/null 2>&1 || true
entry 00.Address "$line1\\r\\n$line2"
entry 01.E-mail "$second"
"$wine" "$target" clip-set 'kept on the clipboard' >/dev/null 2>&1
mkdir -p "$work/program"
cp "$exe" "$(dirname "$exe")/TavroType.ini" "$work/program/"
behind=$work/behind
if [ -z "$locale" ]; then
  # The window behind the form, which must never get a character.
  "$wine" "$target" window "Z:${behind//\//\\}" title=Behind at=260,210 \
    >/dev/null 2>&1 &
  behindForm=$!
  expect menu none "the window behind did not start" "$behind"
fi
start_form "$state"
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

# Forty entries: typing finds one. Word starts first, then anywhere, in
# list order; Backspace widens; a digit typed first picks; Esc clears
# what was typed, and again closes.
"$wine" reg delete "$menu" /f >/dev/null 2>&1
titles=("Home address" "Work address" E-mail Phone "Zebra crossing"
  Signature "$line2" Account "Reply: thanks" "Reply: later")
for i in $(seq 0 39); do
  title=${titles[$((i % 10))]}
  [ "$i" -lt 10 ] || title="$title $i"
  entry "$(printf %02d "$i").$title" "<$i>"
done
sleep 0.5
found() {  # WHAT EXPECTED KEYS...
  "$wine" "$target" clear "Type target"
  open_popup
  local typed=
  for keys in "${@:3}"; do
    case $keys in
      type:*)
        xdotool type "${keys#type:}"
        typed+=${keys#type:}
        # Until the popup shows it: keys after it go by what it found.
        expect search "$typed" "$1: typing"
        ;;
      *) xdotool key $keys ;;
    esac
    case $keys in
      BackSpace*) typed=${typed%?} ;;
      Escape*) typed= ;;
    esac
  done
  # Nothing to wait for when nothing may come.
  [ -n "$2" ] || sleep 0.5
  expect multi "$2" "$1"
}
if [ -z "$locale" ]; then
  found "zeb" "<4>" type:zeb Return
  found "addr, the second" "<1>" type:addr Down Return
  found "Backspace" "<11>" type:wox BackSpace "Down Return"
  found "a digit first" "<3>" 3
  found "Esc clears" "<2>" type:zzz Escape type:e-m Return
  found "nothing found" "" type:qq Return Escape Escape
  expect menu none "the second Esc"
else
  # The Title's characters, never half of one: 運 ends in 0x5C. Each gets
  # a key of its own first: xdotool would otherwise map one for each
  # character as it types, and Wine, reading the new map late, drops keys.
  free=($(xmodmap -pke | awk 'NF == 3 { print $2 }'))
  for i in $(seq 0 $((${#line2} - 1))); do
    xmodmap -e "keycode ${free[$i]} = $(printf 'U%X' "'${line2:$i:1}")"
    mapped+=" ${free[$i]}"
  done
  sleep 1
  found "運" "<6>" type:$line2 Return
fi
"$wine" reg delete "$menu" /f >/dev/null 2>&1
entry 00.Again again
sleep 0.5
"$wine" "$target" clear "Type target"

if [ -z "$locale" ]; then
  # Text, never commands: 0x16 would paste the clipboard, 0x08 delete the
  # character before, 0x1A undo.
  entry 00.Again $'p\x16q\x08r\x1ast'
  sleep 0.5
  "$wine" "$target" clear "Type target"
  pick Return
  expect multi 'pqrst' "control characters"

  # A Save while the popup is open: the entry as it stands at Enter, and
  # one deleted meanwhile types nothing.
  entry 01.Next next
  sleep 0.5
  open_popup
  entry 00.Again changed
  sleep 0.5
  xdotool key Return
  expect multi pqrstchanged "the entry as it stands at Enter"
  open_popup
  "$wine" reg delete "$menu\\01.Next" /f >/dev/null 2>&1
  sleep 0.5
  xdotool key Down Return
  box_says '"Next" was deleted or renamed' "an entry deleted meanwhile"
  expect multi pqrstchanged "an entry deleted meanwhile"

  # The hotkey again closes the popup.
  open_popup
  xdotool key --clearmodifiers ctrl+alt+space
  expect menu none "the hotkey pressed again"

  # After a pick Tavro's own window takes keys: raised, clicked, Ctrl+A.
  cp "$(dirname "$exe")/Tavro.exe" "$work/program/"
  cp -r "$(dirname "$exe")/Languages" "$work/program/"
  printf '[Language]\r\nLanguage=English\r\n' >"$work/program/Language.ini"
  (cd "$work/program" && exec "$wine" ./Tavro.exe >/dev/null 2>&1) &
  tavro=$!
  for _ in $(seq 50); do "$wine" "$target" exists Tavro && break; sleep 0.1; done
  read -r left top right _ < <("$wine" "$target" rect Tavro | tr -d '\r')
  xdotool mousemove $(((left + right) / 2)) $((top + 8)) click 1
  sleep 0.5
  xdotool key ctrl+a
  for _ in $(seq 30); do
    "$wine" "$target" exists "Add Entry" && break
    sleep 0.1
  done
  "$wine" "$target" exists "Add Entry" || fail "Tavro took no Ctrl+A after a pick"
  kill "$tavro"
  "$wine" "$target" front "Type target"
  sleep 0.5

  # The form closed while the popup is open: nothing reaches the window
  # behind, and the user is told.
  open_popup
  kill "$form"
  sleep 1
  xdotool key Return
  box_says "its window closed" "the form closed while the popup was open"
  expect single "" "the window behind" "$behind"
  expect multi "" "the window behind" "$behind"

  # A field UI Automation calls a Document takes line breaks, and Tab.
  start_form "$state" document
  entry 01.Lines $'line 1\\r\\n\tline 2'
  sleep 0.5
  xdotool key Tab
  pick Down Return
  expect multi $'line 1\\r\\n\tline 2' "a Document field"
  kill "$form"

  # A slow form: Esc stops a long typing, another window in front mid-
  # typing stops it with nothing typed there, and 20,000 characters arrive
  # whole.
  start_form "$state" slow
  entry 02.Long "$(printf 'abcdefghi %.0s' $(seq 300))"
  sleep 0.5
  stopped() {  # KEY-OR-COMMAND REASON
    "$wine" "$target" clear "Type target"
    pick End Return
    sleep 0.5
    $1
    box_says "$2" "a long typing stopped"
    typed=$(sed -n 's/.* after \([0-9]*\) of 3000 .*/\1/p' <<<"$box")
    # Whatever was on its way has arrived.
    until [ "$(field single)" = "$(sleep 0.3; field single)" ]; do :; done
    [ "${#typed}" -gt 0 ] && [ "$typed" -lt 3000 ] &&
      [ "$(field single | wc -m)" -eq $((typed + 1)) ] ||
      fail "stopped after '$typed' of 3000, the field holds $(field single | wc -m)"
  }
  stopped "xdotool key Escape" "you pressed Esc"
  stopped "$wine $target front Behind" "another window is in front"
  expect single "" "the window behind" "$behind"
  "$wine" "$target" front "Type target"
  sleep 0.5

  whole=$(printf 'abcdefghi %.0s' $(seq 2000))
  entry 03.Whole "$whole"
  sleep 0.5
  "$wine" "$target" clear "Type target"
  began=$(date +%s%N)
  pick End Return
  expect single "$whole" "20,000 characters into a slow form" "" 3000
  echo "20,000 characters into a form taking 1 ms each: $(( ($(date +%s%N) - began) / 1000000 )) ms;" \
    "the form's own time $(field busy) ms"
fi

[ "$("$wine" "$target" clip-get 2>/dev/null | tr -d '\r')" = 'kept on the clipboard' ] ||
  fail "the clipboard changed"
timeout 20 "$wine" "$work/program/TavroType.exe" >/dev/null 2>&1 ||
  fail "a second TavroType did not end by itself with 0"
[ "$(count)" = 1 ] || fail "$(count) TavroType running"
# Turned off with the popup open, it ends at once, not when Tavro's wait
# of 3 s runs out.
open_popup
"$wine" "$target" quit
sleep 0.5
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

# A hotkey Windows needs is refused, and a long value is quoted readably.
for key in Alt+F4 "$(head -c 10000 /dev/zero | tr '\0' x)"; do
  for _ in $(seq 50); do [ "$(count)" = 0 ] && break; sleep 0.1; done
  printf '[Hotkey]\r\nKey=%s\r\n' "$key" >"$work/program/TavroType.ini"
  "$wine" "$work/program/TavroType.exe" >/dev/null 2>&1 &
  box_says "${key:0:20}" "Key=${key:0:20}"
  case $box in *"is not one TavroType can use"*) ;; *) fail "the box said: $box" ;; esac
  width=$(sed -n 's/^width=//p' <<<"$box")
  [ "${#box}" -lt 600 ] && [ "$width" -lt 1024 ] ||
    fail "a box of ${#box} characters, $width pixels wide"
  "$wine" "$target" quit
done
echo "1 passed, 0 failed"
