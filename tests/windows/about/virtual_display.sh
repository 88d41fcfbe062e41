#!/usr/bin/env bash
# A virtual display for the About box tests, and the test prefix set for it.
#   virtual_display.sh start STATE_FOLDER   Xvfb at 24 bits on a free display; the prefix at
#                                          96 DPI, frames drawn by Wine, no window manager
#   virtual_display.sh run STATE_FOLDER COMMAND...   COMMAND on that display
#   virtual_display.sh stop STATE_FOLDER    waits for the prefix's programs, ends Xvfb
set -euo pipefail
action=$1 state=$2
shift 2

stop_server() {
  if [ -s "$state/xvfb.pid" ]; then
    local pid
    pid=$(cat "$state/xvfb.pid")
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then kill "$pid"; fi
    rm -f "$state/xvfb.pid"
  fi
}

# Wine programs started without a display leave the prefix's desktop without one: a program
# that wants windows starts on a fresh wineserver, after the others have ended.
quiet_prefix() { timeout 60 wineserver -w || true; }

case $action in
  start)
    mkdir -p "$state"
    stop_server
    rm -f "$state/display"
    # -displayfd: Xvfb picks a free display and writes its number once it listens. Its output
    # goes to a file, so CTest does not wait for it.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" </dev/null \
      >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
      [ -s "$state/display" ] && break
      sleep 0.1
    done
    [ -s "$state/display" ] || { echo "Xvfb did not start:"; cat "$state/xvfb.log"; exit 1; }
    # Without a window manager, Wine draws captions itself only when it is told to, and waits
    # two seconds for every window it hides unless its windows are unmanaged.
    reg_file=$(mktemp --suffix=.reg)
    trap 'rm -f "$reg_file"' EXIT
    printf '%s\r\n' 'REGEDIT4' '' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Decorated"="N"' '"Managed"="N"' '' \
      '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"LogPixels"=dword:00000060' '' >"$reg_file"
    quiet_prefix
    DISPLAY=":$(cat "$state/display")" wine regedit /S "Z:${reg_file//\//\\}"
    echo "display :$(cat "$state/display")"
    ;;
  run)
    quiet_prefix
    DISPLAY=":$(cat "$state/display")" exec "$@"
    ;;
  stop)
    quiet_prefix
    stop_server
    ;;
  *)
    echo "usage: virtual_display.sh start|run|stop STATE_FOLDER [COMMAND...]" >&2
    exit 2
    ;;
esac
