#!/bin/sh
# The start screen's window carries the program's icon (_NET_WM_ICON, the
# icon a window manager shows). Runs the real program on a virtual X display.
# Usage: window_icon_test.sh PROGRAM
set -u
program=$1
exec xvfb-run -a sh -c '
  QT_QPA_PLATFORM=xcb "$0" & pid=$!
  icon=""
  for attempt in $(seq 100); do
    sleep 0.1
    for id in $(xwininfo -root -tree | grep "\"Start\": (\"valmora\" \"Valmora\")" | awk "{print \$1}"); do
      icon=$(xprop -id "$id" _NET_WM_ICON | head -c 200)
    done
    [ -n "$icon" ] && break
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  case "$icon" in
    *"_NET_WM_ICON(CARDINAL) = "*) echo "icon set"; exit 0 ;;
  esac
  echo "the Start window carries no icon: [$icon]"
  exit 1
' "$program"
