#!/usr/bin/env bash
# End to end, with real keystrokes: add an entry through the editor, save,
# check what the browser and the backup get, then start again and find the
# entry back (deleting it makes its script go, which only a loaded entry can).
# Arguments: Tavro.exe. Needs WINEPREFIX and DISPLAY with a Wine desktop.
set -euo pipefail
exe=$(readlink -f "$1")
source "$(dirname "$0")/drive.sh"
work=$(mktemp -d /tmp/tavro-e2e.XXXXXX)
trap '"$wine" taskkill /f /im Tavro.exe >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

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
echo "1 passed, 0 failed"
