#!/usr/bin/env bash
# Runs COMMAND with Wine's null display driver in the test prefix: real windows, nothing drawn,
# no X server, so a message box is shown and can be answered. Wine picks the driver when a
# server session starts its desktop, and other suites of this prefix use a display of their
# own; so the setting goes into user.reg while the prefix is quiet, and out again afterwards.
# (Through reg.exe it costs two more Wine starts: reg.exe's own session would not see it.)
# usage: with_null_display.sh COMMAND...
set -uo pipefail
registry=$WINEPREFIX/user.reg
value='"Graphics"="null"'
remove_value() { sed -i "/^${value//\"/\\\"}\$/d" "$registry"; }

restore() {
  timeout 60 wineserver -w
  remove_value
}

timeout 60 wineserver -w
remove_value
printf '\n[Software\\\\Wine\\\\Drivers]\n%s\n' "$value" >>"$registry"
trap restore EXIT
"$@"
