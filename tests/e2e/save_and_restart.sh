#!/usr/bin/env bash
# End to end, with real keystrokes: add an entry through the editor, save,
# check what the browser and the backup get, then start again and find the
# entry back (deleting it makes its script go, which only a loaded entry can);
# last, a log-off with the About box up.
# Arguments: Tavro.exe, window_titles.exe. Needs WINEPREFIX and DISPLAY with
# a Wine desktop.
set -euo pipefail
exe=$(readlink -f "$1")
titles=$(readlink -f "$2")
source "$(dirname "$0")/drive.sh"
work=$(mktemp -d /tmp/tavro-e2e.XXXXXX)
on_exit '"$wine" taskkill /f /im Tavro.exe >/dev/null 2>&1; rm -rf "$work"'

# A program folder of the test's own, so that the language chosen at the
# first start is written there; the work folder is another.
program=$work/program
mkdir -p "$program"
cp "$exe" "$program/"
cp -r "$(dirname "$exe")/Languages" "$program/"
exe=$program/$(basename "$exe")

"$wine" reg delete "$key" /f >/dev/null 2>&1 || true

start_tavro "$exe" "$work"
# The first start asks for a language.
choose_language E
tr -d '\r' <"$program/Language.ini" | grep -qx 'Language=English' ||
  fail "English was not chosen at the first start"
keys key ctrl+a
type_entry E-mail me@example.org 'Second line'
keys key ctrl+s
stop_tavro

reg=$(registry)
echo "$reg" | grep -q 'MenuExt\\00.E-mail$' || fail "no subkey 00.E-mail: $reg"
echo "$reg" | grep -q 'Contexts.*REG_DWORD.*0x4' || fail "Contexts: $reg"
echo "$reg" | grep -qF 'Tavro    REG_SZ    me@example.org\r\nSecond line' ||
  fail "marker value: $reg"
script="$work/Script/E-mail.htm"
[ -f "$script" ] || fail "no fill script"
content='me@example.org\r\nSecond line'
[ "$(stat -c %s "$script")" -eq $((294 + ${#content})) ] || fail "script size"
grep -qF "  rng.text=\"$content\";" "$script" || fail "script line 7"
backup=$(tr -d '\r' <"$work/BackUp.ifm")
[ "$backup" = $'[User]\n0.Title=E-mail\n0.Content=me@example.org\\r\\nSecond line' ] ||
  fail "backup file: $backup"

start_tavro "$exe" "$work"
# A second copy brings this one to the front and ends.
(cd "$work" && timeout 20 "$wine" "$exe" </dev/null >/dev/null 2>&1) ||
  fail "a second Tavro did not end by itself"
kill -0 "$tavro" 2>/dev/null || fail "the first Tavro ended"
keys key Home Delete
keys key y
keys key ctrl+s
stop_tavro
[ ! -f "$script" ] || fail "the restarted list did not hold E-mail"
"$wine" reg query "$key\\00.E-mail" >/dev/null 2>&1 && fail "subkey left"
[ ! -f "$work/BackUp.ifm" ] || fail "backup of an empty list"

# A log-off while the About box is up: nothing unsaved, it ends Tavro;
# unsaved changes, it waits and says why, and the list is still there.
log_off() { "$wine" "$titles" end-session 2>/dev/null | tr -d '\r'; }
start_tavro "$exe" "$work"
keys key alt+h a
answer=$(log_off)
[ "$answer" = ends ] || fail "a log-off with nothing unsaved: $answer"
for _ in $(seq 50); do kill -0 "$tavro" 2>/dev/null || break; sleep 0.2; done
! kill -0 "$tavro" 2>/dev/null || fail "Tavro did not end with the session"
start_tavro "$exe" "$work"
keys key ctrl+a
type_entry Phone '555 0100' home
keys key alt+h a
answer=$(log_off)
case $answer in
  "waits: "*) echo "log-off with unsaved changes: $answer" ;;
  *) fail "a log-off with unsaved changes: $answer" ;;
esac
kill -0 "$tavro" 2>/dev/null || fail "Tavro ended with unsaved changes"
keys key Return
keys key alt+F4
keys key n
for _ in $(seq 50); do kill -0 "$tavro" 2>/dev/null || break; sleep 0.2; done
echo "1 passed, 0 failed"
