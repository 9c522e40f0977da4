# Sourced, not run: a throwaway Wine prefix and, when there is no display, a
# virtual one. Usage:
#   source scripts/wine-session.sh
#   wine_session_start <prefix-folder> [virtual] [profiles]
#   ... wine commands ...
#   wine_session_stop
# "virtual": always use Xvfb. "profiles": also a copy of the prefix per font
# profile (scripts/wine-profiles/NAME.reg applied, after NAME.sh when there is
# one), at <prefix-folder>-NAME, with a server and desktop of its own, for the
# tests that measure captions.
# The prefixes keep their settings between runs and are made again when
# scripts/wine-prefix.reg or their profile changes; delete a folder to start afresh.

_wine_session_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_wine_session_prefixes=()

# One step of the setup of the prefix $WINEPREFIX, its output added to
# $WINEPREFIX.log. A failed step is named, and the setup ends there: the
# prefix is not marked ready.
_wine_step() { # _wine_step <what it does> <command...>
  "${@:2}" >>"$WINEPREFIX.log" 2>&1 && return
  echo "wine-session.sh: $1 failed for $WINEPREFIX (its output: $WINEPREFIX.log)" >&2
  return 1
}

_wine_prefix_setup() {
  local reg="$_wine_session_root/scripts/wine-prefix.reg" fonts="$WINEPREFIX/drive_c/windows/Fonts"
  echo "Preparing the Wine prefix $WINEPREFIX"
  rm -f "$WINEPREFIX/.belavo-ready" "$WINEPREFIX.log"
  _wine_step "making the prefix (wineboot -i)" wineboot -i || return
  _wine_step "waiting for wineboot" wineserver -w || return
  # Debian's Wine does not load its own fonts: the title-bar buttons need Marlett.
  mkdir -p "$fonts"
  _wine_step "copying Wine's fonts" cp /usr/share/wine/fonts/{marlett,tahoma*}.ttf "$fonts/" || return
  _wine_step "converting wine-prefix.reg" \
    iconv -f UTF-8 -t UTF-16 -o "$WINEPREFIX/drive_c/settings.reg" "$reg" || return
  _wine_step "importing wine-prefix.reg (wine reg import)" wine reg import 'C:\settings.reg' || return
  _wine_step "waiting for the import" wineserver -w || return
  cp "$reg" "$WINEPREFIX/.belavo-ready"
}

# What a font profile's prefix is made from.
_wine_profile_settings() {
  cat "$_wine_session_root/scripts/wine-prefix.reg" "$1"
  [ ! -f "${1%.reg}.sh" ] || cat "${1%.reg}.sh"
}

# A copy of the ready prefix with the settings of one font profile.
_wine_profile_setup() {
  local reg="$1" ready="$WINEPREFIX" WINEPREFIX="$2"
  echo "Preparing the font profile $WINEPREFIX"
  rm -rf "$WINEPREFIX" "$WINEPREFIX.log"
  _wine_step "copying the prefix" cp -a "$ready" "$WINEPREFIX" || return
  [ ! -f "${reg%.reg}.sh" ] || _wine_step "running ${reg%.reg}.sh" bash "${reg%.reg}.sh" || return
  _wine_step "converting ${reg##*/}" \
    iconv -f UTF-8 -t UTF-16 -o "$WINEPREFIX/drive_c/profile.reg" "$reg" || return
  _wine_step "importing ${reg##*/} (wine reg import)" wine reg import 'C:\profile.reg' || return
  _wine_step "waiting for the import" wineserver -w || return
  _wine_profile_settings "$reg" > "$WINEPREFIX/.belavo-profile"
}

# One persistent server for the whole session instead of one per program.
# Wine's services and the shared desktop start now: started by the first test
# instead, they would inherit its output and a test runner would wait for them
# to close it.
_wine_serve() {
  WINEPREFIX="$1" wineserver -p
  WINEPREFIX="$1" wine wineboot </dev/null >/dev/null 2>&1
  WINEPREFIX="$1" wine explorer.exe /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
  for _ in $(seq 50); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
    sleep 0.1
  done
}

wine_session_start() {
  local prefix="$1" mode="${2:-}" reg profile
  # LANG alone decides the locale. Setting LC_ALL would make this shell warn
  # "cannot change locale" when it started before deps.sh made ja_JP.UTF-8: a
  # process that found no locale archive does not look for it again.
  unset "${!LC_@}"
  export LANG=ja_JP.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  _wine_session_prefixes=()
  mkdir -p "$prefix"
  WINEPREFIX="$(cd "$prefix" && pwd)" || return
  export WINEPREFIX

  _wine_session_xvfb=""
  if [ "$mode" = virtual ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _wine_session_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$n" ] ||
      { echo "wine-session.sh: Xvfb :$n did not start" >&2; wine_session_stop; return 1; }
  fi

  # A prefix made with other settings is brought up to date.
  cmp -s "$_wine_session_root/scripts/wine-prefix.reg" "$WINEPREFIX/.belavo-ready" || _wine_prefix_setup ||
    { wine_session_stop; return 1; }
  if [ "${3:-}" = profiles ]; then
    for reg in "$_wine_session_root"/scripts/wine-profiles/*.reg; do
      profile="$WINEPREFIX-$(basename "$reg" .reg)"
      _wine_profile_settings "$reg" | cmp -s - "$profile/.belavo-profile" ||
        _wine_profile_setup "$reg" "$profile" || { wine_session_stop; return 1; }
      _wine_session_prefixes+=("$profile")
    done
  fi
  _wine_session_prefixes+=("$WINEPREFIX")
  for profile in "${_wine_session_prefixes[@]}"; do _wine_serve "$profile"; done
}

wine_session_stop() {
  local prefix
  for prefix in "${_wine_session_prefixes[@]}"; do
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  done
  if [ -n "${_wine_session_xvfb:-}" ]; then
    kill "$_wine_session_xvfb" 2>/dev/null || true
    wait "$_wine_session_xvfb" 2>/dev/null || true
  fi
}
