#!/usr/bin/env bash
# The portable zip as a user gets it: packed from the Windows build, its
# files checked, unpacked into a folder of a new Wine prefix and started
# there for the first time: the language dialog, German chosen and shown,
# an entry saved into the registry and beside the program, and the zip's
# TavroHost.exe sending the saved list; then the bridge to the other
# browsers turned on and taken by Uninstall.
# Arguments: the Windows build folder, Tavro.exe, window_titles.exe.
# Needs DISPLAY.
set -euo pipefail
build=$(readlink -f "$1")
built=$(readlink -f "$2")
titles=$(readlink -f "$3")
export WINEPREFIX=$build/wineprefix-zip
source "$(dirname "$0")/drive.sh"
scratch=$(mktemp -d /tmp/tavro-zip.XXXXXX)
# This prefix's desktop must not stay on the display: other tests send
# their keys to the desktop of theirs. The prefix is made anew every time.
on_exit 'wineserver -k </dev/null >/dev/null 2>&1
      wineserver -w </dev/null >/dev/null 2>&1
      rm -rf "$scratch" "$WINEPREFIX"'

# The name and the top folder carry major.minor of the project's version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=\([0-9]*\.[0-9]*\).*/\1/p' \
  "$build/CMakeCache.txt")
top=Tavro-$version
zip=$(make_zip "$build" "$scratch")
[ "$(basename "$zip")" = "$top-win64.zip" ] || fail "zip name: $zip"

rm -rf "$WINEPREFIX"
ensure_prefix
ensure_display
folder=$WINEPREFIX/drive_c/Portable
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip")
program=$folder/$top

expected=$(cd "$ROOT" && find Languages Helps extension -type f &&
  printf '%s\n' Tavro.exe TavroHost.exe TavroType.exe TavroType.ini README.txt LICENSE.txt)
got=$(cd "$folder" && find . -type f | sed "s|^\./$top/||")
[ "$(sort <<<"$got")" = "$(sort <<<"$expected")" ] ||
  fail "the zip holds, below $top/: $got"
cmp -s "$program/Tavro.exe" "$built" || fail "Tavro.exe is not the one built"
cmp -s "$program/LICENSE.txt" <(sed 's/$/\r/' "$ROOT/LICENSE") ||
  fail "LICENSE.txt is not LICENSE with CRLF line ends"
! grep -qv $'\r$' "$program/README.txt" || fail "README.txt has LF line ends"
grep -q "^Tavro $version for Windows" "$program/README.txt" ||
  fail "README.txt does not name Tavro $version"

# The value of KEY in the language file FILE, in its own code page.
text() { tr -d '\r' <"$1" | LC_ALL=C sed -n "s/^$2=//p"; }
shown() {  # TITLE: waits until a window shows it
  for _ in $(seq 40); do
    "$wine" "$titles" 2>/dev/null | tr -d '\r' | LC_ALL=C grep -qxF -- "$1" &&
      return 0
    sleep 0.25
  done
  fail "no window titled $1; there are: $("$wine" "$titles" 2>/dev/null)"
}

# The zip's host, connected as a browser connects, asks once; every later
# list is one it sent because Tavro saved. Each line: when, and the list.
lists=$scratch/lists
node -e '
  const host = require("child_process").spawn(process.argv[1],
      [process.argv[2]], { stdio: ["pipe", "pipe", "ignore"] });
  let bytes = Buffer.alloc(0);
  host.stdout.on("data", (data) => {
    for (bytes = Buffer.concat([bytes, data]);
         bytes.length >= 4 && bytes.length >= 4 + bytes.readUInt32LE(0);
         bytes = bytes.subarray(4 + bytes.readUInt32LE(0)))
      console.log(Date.now(), String(bytes.subarray(4, 4 + bytes.readUInt32LE(0))));
  });
  const ask = Buffer.from("{\"type\":\"list\"}");
  host.stdin.write(Buffer.concat([Buffer.from([ask.length, 0, 0, 0]), ask]));
' "$wine" "$program/TavroHost.exe" >"$lists" &
listener=$!

# Double-clicked in Explorer, Tavro starts in its own folder.
start_tavro "$program/Tavro.exe" "$program"
shown Options
choose_language D
tr -d '\r' <"$program/Language.ini" | grep -qx 'Language=Deutsch' ||
  fail "Deutsch was not chosen at the first start"
german=$program/Languages/Deutsch.ini
shown "$(text "$german" MainForm.Caption)"
keys key ctrl+a
shown "$(text "$german" AddCaption)"
type_entry Telefon '030 1234567' privat
saved=$(date +%s%3N)
keys key ctrl+s
stop_tavro
pushed=
for _ in $(seq 40); do
  pushed=$(grep -F '{"title":"Telefon"}' \
    "$lists" | head -n 1 | cut -d' ' -f1) && [ -n "$pushed" ] && break
  sleep 0.25
done
[ -n "$pushed" ] || fail "the host sent no list after the save: $(cat "$lists")"
head -n 1 "$lists" | grep -qF '"entries":[]' ||
  fail "the list asked for before the save was not empty: $(cat "$lists")"
echo "the host pushed the saved list $((pushed - saved)) ms after Ctrl+S"
kill "$listener" 2>/dev/null || true

reg=$(registry)
path='C:\Portable\'"$top"'\Script\Telefon.htm'
echo "$reg" | grep -qF "MenuExt\\00.Telefon" || fail "no subkey 00.Telefon: $reg"
echo "$reg" | grep -qF "(Default)    REG_SZ    file://$path" ||
  fail "the menu item does not run $path: $reg"
echo "$reg" | grep -qF 'Tavro    REG_SZ    030 1234567\r\nprivat' ||
  fail "marker value: $reg"
[ -f "$program/Script/Telefon.htm" ] || fail "no fill script beside Tavro.exe"
grep -qx '0.Title=Telefon' <(tr -d '\r' <"$program/BackUp.ifm") ||
  fail "no backup beside Tavro.exe"

# Extras > In anderen Browsern verwenden turns the bridge on, from this
# folder; Extras > Deinstallieren takes it with the menu items.
bridge='HKCU\Software\Google\Chrome\NativeMessagingHosts\org.example.tavro'
start_tavro "$program/Tavro.exe" "$program"
keys key alt+x b
keys key Return
"$wine" reg query "$bridge" 2>/dev/null | tr -d '\r' |
  grep -qF "REG_SZ    C:\Portable\\$top\TavroHost.chromium.json" ||
  fail "the bridge is not on: $("$wine" reg query "$bridge" 2>&1)"
grep -q '"path": "TavroHost.exe"' "$program/TavroHost.chromium.json" ||
  fail "no host manifest beside Tavro.exe"
keys key alt+x d
keys key Return
stop_tavro
! "$wine" reg query "$bridge" >/dev/null 2>&1 || fail "the bridge stayed on"
[ ! -e "$program/TavroHost.firefox.json" ] || fail "a host manifest stayed"
! registry | grep -qF 'MenuExt\00.Telefon' || fail "Uninstall left the item"
echo "1 passed, 0 failed"
