# Sourced by the run and test scripts: a Wine session of the build tree's own.
#   wine_session_start BUILD_DIR   prefix, code page 936, Xvfb, wineserver,
#                                  and the desktop keeper when it is built
#   wine_session_stop              ends all of it (also called on exit)
# The prefix lives in BUILD_DIR/wineprefix: the user's own ~/.wine is never used.

wine_session_start() {
  local build_dir=$1
  export WINEPREFIX="$build_dir/wineprefix"
  export LC_ALL=zh_CN.UTF-8
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko prompts

  if [ -z "${KORVALIN_USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    WINE_SESSION_XVFB=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  fi

  # A persistent server of our own, detached from our pipes: one spawned by
  # the first wine process of a test would hold the test runner's pipes until
  # it exits. wineserver puts itself in the background.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: preparing the prefix $WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
  # No window manager runs on the virtual display. Wine is told so: it draws
  # frames and title bars itself (screenshots show whole windows) and does
  # not wait for a manager to withdraw a closing window (two seconds each).
  # On the user's own display the manager does both again.
  local x11='HKCU\Software\Wine\X11 Driver' v
  for v in Decorated Managed; do
    if [ -n "${WINE_SESSION_XVFB:-}" ]; then
      grep -q "\"$v\"=\"N\"" "$WINEPREFIX/user.reg" 2>/dev/null ||
        wine reg add "$x11" /v "$v" /d N /f </dev/null >/dev/null 2>&1 || true
    elif grep -q "\"$v\"=\"N\"" "$WINEPREFIX/user.reg" 2>/dev/null; then
      wine reg delete "$x11" /v "$v" /f </dev/null >/dev/null 2>&1 || true
    fi
  done
  # A program that crashes (an undefined-behaviour trap of the checked build
  # among them) ends at once with its exception code and a backtrace on
  # standard error: no crash dialog waits on the display for a click.
  grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null ||
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 || true
  # Wine draws the title-bar buttons with Marlett (Debian's fonts-wine), but
  # this build does not look in that package's folder: give the prefix a copy.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # The first process of a session starts the prefix's services; let that
  # happen here, where nothing waits on its pipes.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # A hidden window for the whole session keeps the desktop up between GUI
  # programs (see tests/wine_desktop_keeper.cpp); wineserver -k ends it.
  local keeper="$build_dir/tests/wine_desktop_keeper.exe"
  if [ -f "$keeper" ]; then
    local ready="$build_dir/wine-desktop-ready"
    rm -f "$ready"
    wine "$keeper" "$(winepath -w "$ready" 2>/dev/null)" </dev/null >/dev/null 2>&1 &
    disown $! 2>/dev/null || true
    # Wait for its window, and so for the desktop: a desktop that a test's
    # own process started would hold the test runner's pipes.
    local i
    for i in $(seq 1 300); do [ -e "$ready" ] && break; sleep 0.1; done
  fi
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${WINE_SESSION_XVFB:-}" ]; then
    kill "$WINE_SESSION_XVFB" >/dev/null 2>&1 || true
    wait "$WINE_SESSION_XVFB" 2>/dev/null || true
    WINE_SESSION_XVFB=
  fi
}
