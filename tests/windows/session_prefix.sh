#!/usr/bin/env bash
# The session prefix: a second Wine prefix for the suites that need the Wine session to
# themselves, run there one at a time. Every program in it starts on one virtual display (a
# program started without one leaves the session's desktop without any, for all the others),
# and nothing else changes its regional settings meanwhile (every Wine program that starts
# writes its locale's into the prefix's registry, where programs already running read them).
# Its copy of the DLL has a Logs folder of its own, so the component's own log there holds only
# what these suites wrote.
#   session_prefix.sh start STATE DLL COPY_FOLDER [OTHER_DLL...]   Xvfb at 24 bits on a free
#       display; the prefix (made when missing) at 96 DPI, frames drawn by Wine, no window
#       manager; DLL copied into COPY_FOLDER, registered there with the others
#   session_prefix.sh run STATE COMMAND...   COMMAND on that display
#   session_prefix.sh stop STATE             waits for the prefix's programs, ends Xvfb
# WINEPREFIX names the prefix.
set -euo pipefail
action=$1 state=$2
shift 2
here=$(dirname "$0")
wine=${ORVACCT_WINE:-wine}

stop_server() {
  if [ -s "$state/xvfb.pid" ]; then
    local pid
    pid=$(cat "$state/xvfb.pid")
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then kill "$pid"; fi
    rm -f "$state/xvfb.pid"
  fi
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

case $action in
  start)
    dll=$1 copy_folder=$2
    shift 2
    mkdir -p "$state"
    stop_server
    rm -f "$state/display"
    # -displayfd: Xvfb picks a free display and writes its number once it listens. Its output
    # goes to a file, so CTest does not wait for it.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" </dev/null \
      >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 600); do
      [ -s "$state/display" ] && break
      sleep 0.1
    done
    [ -s "$state/display" ] || { echo "Xvfb did not start:"; cat "$state/xvfb.log"; exit 1; }
    export DISPLAY=":$(cat "$state/display")"
    # A session left from an earlier run may still have another display.
    timeout 60 wineserver -k 2>/dev/null || true
    bash "$here/make_wine_prefix.sh" "$WINEPREFIX"
    # Without a window manager, Wine draws captions itself only when it is told to, and waits
    # two seconds for every window it hides unless its windows are unmanaged.
    reg_file=$(mktemp --suffix=.reg)
    trap 'rm -f "$reg_file"' EXIT
    printf '%s\r\n' 'REGEDIT4' '' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Decorated"="N"' '"Managed"="N"' '' \
      '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"LogPixels"=dword:00000060' '' >"$reg_file"
    wine regedit /S "$(windows_path "$reg_file")"
    mkdir -p "$copy_folder"
    cp "$dll" "$copy_folder/"
    for registered in "$copy_folder/$(basename "$dll")" "$@"; do
      "$wine" regsvr32 /s "$(windows_path "$registered")" || { echo "regsvr32 $registered failed: $?"; exit 1; }
    done
    echo "display $DISPLAY"
    ;;
  run)
    DISPLAY=":$(cat "$state/display")" exec "$@"
    ;;
  stop)
    timeout 60 wineserver -w || true
    stop_server
    ;;
  *)
    echo "usage: session_prefix.sh start|run|stop STATE_FOLDER [...]" >&2
    exit 2
    ;;
esac
