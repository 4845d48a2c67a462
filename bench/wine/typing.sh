#!/usr/bin/env bash
# TavroType's typing of 20,000 characters into a form taking 1 ms for each
# (tests/type/TypeTarget.cpp's "slow" form), against the form's own time
# for them, and the same characters sent as one burst, the old way, as the
# baseline of the same run. Sourced by scripts/bench, in the bench's prefix
# on its display.
tavrotype=$BUILD/win/src/ui/TavroType.exe
target=$BUILD/win/tests/type_target.exe
work=$(mktemp -d /tmp/tavro-typing-bench.XXXXXX)
export TAVRO_TYPE_MENU_KEY='\Software\TavroTypeBench\MenuExt\'
menu='HKCU\Software\TavroTypeBench\MenuExt'
state=$work/state
field() { sed -n "s/^$1=//p" "$state" 2>/dev/null; }
now() { date +%s%N; }
# Waits up to LIMIT seconds for the form to hold all the characters; prints
# how long it took and the form's own time, or how far it got.
arrival() {  # BEGAN LIMIT
  local n=0
  for _ in $(seq $(($2 * 10))); do
    n=$(field single | wc -m)
    [ "$n" -gt 20000 ] && break
    sleep 0.1
  done
  if [ "$n" -gt 20000 ]; then
    local ms=$((($(now) - $1) / 1000000)) busy
    busy=$(field busy)
    awk -v ms="$ms" -v busy="$busy" 'BEGIN {
      printf "%d ms, the form'"'"'s own time %d ms: %.2fx\n", ms, busy, ms / busy }'
  else
    printf 'not whole after %d s: %d characters\n' "$2" "$((n - 1))"
  fi
}

"$WINE64" reg add "$menu\\00.Whole" /v Tavro \
  /d "$(printf 'abcdefghi %.0s' $(seq 2000))" /f >/dev/null 2>&1
cp "$tavrotype" "$work/"
printf '[Hotkey]\r\nKey=Ctrl+Alt+Space\r\n' >"$work/TavroType.ini"
"$WINE64" "$target" window "Z:${state//\//\\}" slow >/dev/null 2>&1 &
form=$!
"$WINE64" "$work/TavroType.exe" >/dev/null 2>&1 &
sleep 3
xdotool windowfocus --sync "$(xdotool search --all --pid "$(desktop_pid)" \
  --name 'Wine desktop' | head -n 1)"
began=$(now)
xdotool key --clearmodifiers ctrl+alt+space
sleep 1
xdotool key Return
printf 'TavroType, in pieces at the form'"'"'s pace: '
arrival "$began" 300
"$WINE64" "$target" quit >/dev/null 2>&1
kill "$form" 2>/dev/null
wait "$form" 2>/dev/null

"$WINE64" "$target" window "Z:${state//\//\\}" slow >/dev/null 2>&1 &
form=$!
sleep 2
began=$(now)
"$WINE64" "$target" burst 20000 >/dev/null 2>&1
printf 'One burst of the same characters (the baseline): '
arrival "$began" 150
kill "$form" 2>/dev/null
"$WINE64" reg delete 'HKCU\Software\TavroTypeBench' /f >/dev/null 2>&1
rm -rf "$work"
