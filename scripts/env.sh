# Shared settings for the build and run scripts; sourced, not run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TAVRO_BUILD:-$ROOT/build}
WINE64=/usr/lib/wine/wine64
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko downloads: the machine has no network for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Unset: each run takes a free display of its own.
TAVRO_DISPLAY_NUM=${TAVRO_DISPLAY_NUM:-}

log() { printf '== %s\n' "$*" >&2; }

# Runs the command when the script exits, after those given before: the
# scripts chain their clean-ups here instead of replacing each other's trap.
TAVRO_ON_EXIT=()
on_exit() {  # COMMAND
  TAVRO_ON_EXIT=("$1" "${TAVRO_ON_EXIT[@]}")
  trap 'for tavro_exit in "${TAVRO_ON_EXIT[@]}"; do eval "$tavro_exit" || true; done' EXIT
}

# What building and running Tavro needs: the cross compiler, Wine and a
# virtual display. GoogleTest too: the build's CMake files name it.
RUN_PACKAGES=(cmake make g++-mingw-w64-x86-64 googletest wine wine64 xvfb
  xauth x11-utils)
ensure_run_packages() { ensure_debs "${RUN_PACKAGES[@]}"; }

# What the tests need besides: the native build, real keys, pictures, node,
# the formatter and the browsers.
ensure_packages() {
  ensure_debs "${RUN_PACKAGES[@]}" g++ libgtest-dev libgmock-dev \
    libbenchmark-dev xdotool x11-xserver-utils imagemagick nodejs \
    clang-format chromium firefox-esr
}

# The browser tests' node packages, pinned, in $BUILD/npm: puppeteer-core
# (the last line that runs on node 18 and 20), which drives Debian's
# browsers and downloads none, and the rich editor the extension is tried
# on. One install, since npm drops from the folder what it was not given.
NODE_PACKAGES=(puppeteer-core@24.43.1 prosemirror-view@1.44.0
  prosemirror-state@1.4.4 prosemirror-model@1.25.13
  prosemirror-schema-basic@1.2.5)
ensure_node_packages() {
  local dir=$BUILD/npm package missing=
  for package in "${NODE_PACKAGES[@]}"; do
    grep -qs "\"version\": \"${package##*@}\"" \
      "$dir/node_modules/${package%@*}/package.json" || missing=1
  done
  [ -z "$missing" ] && return 0
  command -v npm >/dev/null || ensure_debs npm
  log "installing ${NODE_PACKAGES[*]}"
  mkdir -p "$dir"
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-save --no-audit --no-fund \
    --loglevel=error --prefix "$dir" "${NODE_PACKAGES[@]}" >/dev/null
}

# Configures the build native or win once, then builds the targets named
# after it, or all.
configure_build() {  # native | win [TARGET...]
  local dir=$BUILD/$1
  local extra=() targets=()
  [ $# -gt 1 ] && targets=(--target "${@:2}")
  if [ "$1" = win ]; then
    extra=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake")
  else
    extra=(-DTAVRO_SANITIZE=ON)
  fi
  # Every time: a changed option reaches a folder configured before, and
  # an unchanged one costs a second. Warnings go to stderr, and show.
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${extra[@]}" >/dev/null
  cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}

# Packs the portable zip of the Windows build DIR, from the programs built
# there, into the folder OUT (DIR unless given) and prints its path.
make_zip() {  # DIR [OUT]
  local dir=$1 out=${2:-$1} name
  name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' \
    "$dir/CPackConfig.cmake")
  (cd "$dir" && cpack --config CPackConfig.cmake -B "$out" >/dev/null)
  rm -rf "$out/_CPack_Packages"
  echo "$out/$name.zip"
}

# Packs the extension for the Chrome Web Store and Edge Add-ons (a zip) and
# for addons.mozilla.org (an xpi), of the version of the build DIR, into the
# folder OUT (DIR unless given) and prints their paths.
make_extension_packages() {  # DIR [OUT]
  local dir=$1 out=${2:-$1} version
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=\([0-9]*\.[0-9]*\).*/\1/p' \
    "$dir/CMakeCache.txt")
  python3 "$ROOT/tools/pack_extension.py" "$out" "$version"
}

# A ready Wine prefix: no crash dialogs, a virtual desktop so hidden and
# closed windows do not wait for a window manager, and title-bar glyphs.
ensure_prefix() {
  [ -f "$WINEPREFIX/.tavro-ready" ] && return 0
  log "creating the Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE64" wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1
  local reg=$BUILD/prefix-settings.reg
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
"Auto"="1"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
  "$WINE64" regedit "$reg" </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  touch "$WINEPREFIX/.tavro-ready"
}

# The process of this prefix's (other prefixes may have theirs) wineserver
# or Wine desktop; fails when there is none.
prefix_process() {  # PATTERN
  local pid
  for pid in $(pgrep -f "$1"); do
    # A process may end between the listing and the look.
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null |
      grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}
desktop_pid() { prefix_process 'explorer.exe /desktop'; }
desktop_running() { desktop_pid >/dev/null; }
prefix_running() { prefix_process 'wineserver' >/dev/null; }
# How many Wine desktops the display shows.
desktop_windows() { xwininfo -root -children 2>/dev/null | grep -c 'Wine desktop"'; }

# Starts a virtual X display of GEOMETRY on a free number: sets NEW_DISPLAY
# (":N") and NEW_DISPLAY_PID. Xvfb writes the number once it listens.
new_display() {  # GEOMETRY
  local out
  out=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$out" >/dev/null 2>&1 &
  NEW_DISPLAY_PID=$!
  for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.05; done
  NEW_DISPLAY=:$(head -n 1 "$out")
  rm -f "$out"
  [ "$NEW_DISPLAY" != : ] || { log "Xvfb did not start"; return 1; }
}

# A virtual X display with Wine's desktop on it, unless one is given. What
# it starts (the display, this prefix's desktop and wineserver) it stops
# when the script exits, and nothing else.
ensure_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    if [ -n "$TAVRO_DISPLAY_NUM" ]; then
      export DISPLAY=:$TAVRO_DISPLAY_NUM
      rm -f "/tmp/.X$TAVRO_DISPLAY_NUM-lock"
      Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      NEW_DISPLAY_PID=$!
      for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    else
      new_display 1024x768
      export DISPLAY=$NEW_DISPLAY
    fi
    on_exit "kill $NEW_DISPLAY_PID 2>/dev/null"
    # A wineserver of this prefix left from an earlier run keeps its
    # desktop on that run's display, now gone.
    wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
  # A warm wineserver keeps every later Wine process fast. One this call
  # starts, it stops at the end, with the desktop that comes with it.
  prefix_running ||
    on_exit "WINEPREFIX='$WINEPREFIX' wineserver -k </dev/null >/dev/null 2>&1"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
  if ! desktop_running; then
    local desktops
    desktops=$(desktop_windows)
    "$WINE64" explorer /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
    # Until its window is on the display.
    for _ in $(seq 100); do
      [ "$(desktop_windows)" -gt "$desktops" ] && break
      sleep 0.05
    done
  fi
}

# Installs the given Debian packages that are missing.
ensure_debs() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  # Another run installing at the same time holds dpkg's lock: wait for it.
  local wait=(-o DPkg::Lock::Timeout=600)
  $sudo apt-get "${wait[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait[@]}" install -y -qq \
    "${missing[@]}" >/dev/null
}

# Generates the UTF-8 locale NAME (zh_CN, ja_JP, de_DE, ...) unless it is
# there: Wine takes the ANSI code page from the Unix locale, and ignores a
# LANG that names a locale not generated.
ensure_locale() {
  local name=$1
  locale -a 2>/dev/null | grep -qix "$name\.utf-\?8" && return 0
  ensure_debs locales
  log "generating the locale $name.UTF-8"
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  # localedef exits 1 after mere warnings; the list below is what counts.
  $sudo localedef -i "$name" -f UTF-8 "$name.UTF-8" >/dev/null 2>&1 || true
  locale -a 2>/dev/null | grep -qix "$name\.utf-\?8" || {
    log "could not generate the locale $name.UTF-8"
    return 1
  }
}

# Prints the ANSI code page Wine gives in the prefix DIR under the current
# locale, through a two-line program built once into $BUILD/acp.exe.
wine_acp() {
  local exe=$BUILD/acp.exe
  if [ ! -f "$exe" ]; then
    mkdir -p "$BUILD"
    printf '%s\n' '#include <windows.h>' '#include <stdio.h>' \
      'int main(void) { printf("%u\n", GetACP()); return 0; }' >"$BUILD/acp.c"
    x86_64-w64-mingw32-gcc-posix -O2 -s -o "$exe" "$BUILD/acp.c"
  fi
  WINEPREFIX=$1 "$WINE64" "$exe" </dev/null 2>/dev/null | tr -d '\r'
}

# Has Wine draw the faces named, in the prefix DIR, with WenQuanYi Micro Hei
# (fonts-wqy-microhei). In a Western prefix SimSun gives the fonts that link
# to it the CJK and full-width characters they lack.
replace_fonts() {
  local dir=$1 face
  shift
  local reg=$dir/font-replacements.reg
  # regedit imports non-ASCII names only from UTF-16LE with a BOM and CRLF
  # line ends, and only under a plain UTF-8 locale.
  {
    printf '\xff\xfe'
    {
      printf 'Windows Registry Editor Version 5.00\r\n\r\n'
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
      for face in "$@"; do
        printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
      done
    } | iconv -f UTF-8 -t UTF-16LE
  } >"$reg"
  WINEPREFIX=$dir env -u LC_ALL LANG=C.UTF-8 "$WINE64" regedit /S "$reg" \
    </dev/null >/dev/null 2>&1
  WINEPREFIX=$dir wineserver -w </dev/null >/dev/null 2>&1
}

# A ready Wine prefix in DIR for a double-byte code page: made and run
# under the locale LOCALE (zh_CN for 936, the default, or ja_JP for 932),
# with the settings of ensure_prefix and a CJK font in place of the fonts
# Wine's dialogs and menus ask for under that code page. Wine remembers
# every font it has seen, so the replacement goes in before any window.
# Run every Wine program in it with LANG and LC_ALL set to LOCALE.UTF-8.
ensure_cjk_prefix() {
  local dir=$1 name=${2:-zh_CN}
  [ -f "$dir/.tavro-cjk-ready" ] && return 0
  ensure_debs fonts-wqy-microhei
  ensure_locale "$name"
  rm -rf "$dir"
  (
    export WINEPREFIX=$dir LANG=$name.UTF-8 LC_ALL=$name.UTF-8
    ensure_prefix
    local faces=()
    case $name in
      zh_*) faces=(SimSun 宋体) ;;
      ja_*) faces=("MS UI Gothic" "MS Gothic" "MS PGothic" "ＭＳ ゴシック" "ＭＳ Ｐゴシック") ;;
    esac
    replace_fonts "$dir" "${faces[@]}"
    wineserver -w </dev/null >/dev/null 2>&1
  )
  touch "$dir/.tavro-cjk-ready"
}
