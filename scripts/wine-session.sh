# Sourced, not run: a throwaway Wine prefix and, when there is no display, a
# virtual one. Usage:
#   source scripts/wine-session.sh
#   wine_session_start <prefix-folder> [virtual]   # "virtual": always use Xvfb
#   ... wine commands ...
#   wine_session_stop
# The prefix keeps its settings between runs (it takes scripts/wine-prefix.reg
# again when that changes); delete the folder to start afresh.

_wine_session_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

_wine_prefix_setup() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  echo "Preparing the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Debian's Wine does not load its own fonts: the title-bar buttons need Marlett.
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf "$fonts/" 2>/dev/null || true
  iconv -f UTF-8 -t UTF-16 "$_wine_session_root/scripts/wine-prefix.reg" > "$WINEPREFIX/drive_c/settings.reg"
  wine reg import 'C:\settings.reg' >/dev/null 2>&1
  wineserver -w
  cp "$_wine_session_root/scripts/wine-prefix.reg" "$WINEPREFIX/.belavo-ready"
}

wine_session_start() {
  local prefix="$1" mode="${2:-}"
  # LANG alone decides the locale. Setting LC_ALL would make this shell warn
  # "cannot change locale" when it started before deps.sh made ja_JP.UTF-8: a
  # process that found no locale archive does not look for it again.
  unset "${!LC_@}"
  export LANG=ja_JP.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  mkdir -p "$prefix"
  export WINEPREFIX="$(cd "$prefix" && pwd)"

  _wine_session_xvfb=""
  if [ "$mode" = virtual ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _wine_session_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi

  # A prefix made with other settings is brought up to date.
  cmp -s "$_wine_session_root/scripts/wine-prefix.reg" "$WINEPREFIX/.belavo-ready" || _wine_prefix_setup
  # One persistent server for the whole session instead of one per program.
  wineserver -p
  # Start Wine's services and the shared desktop now: started by the first
  # test instead, they would inherit its output and a test runner would wait
  # for them to close it.
  wine wineboot </dev/null >/dev/null 2>&1
  wine explorer.exe /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
  for _ in $(seq 50); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
    sleep 0.1
  done
}

wine_session_stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "${_wine_session_xvfb:-}" ]; then
    kill "$_wine_session_xvfb" 2>/dev/null || true
    wait "$_wine_session_xvfb" 2>/dev/null || true
  fi
}
