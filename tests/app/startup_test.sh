#!/bin/sh
# The program starts on the start screen, titled "Start", with no other
# window shown. Runs the real program on a virtual X display.
# Usage: startup_test.sh PROGRAM
set -u
program=$1
exec xvfb-run -a sh -c '
  QT_QPA_PLATFORM=xcb "$0" & pid=$!
  visible=""
  for attempt in $(seq 100); do
    sleep 0.1
    visible=$(xwininfo -root -tree | grep "(\"valmora\" \"Valmora\")" | while read -r id rest; do
      if xwininfo -id "$id" | grep -q "IsViewable"; then
        xwininfo -id "$id" | sed -n "s/^xwininfo: Window id: [^ ]* \"\(.*\)\"$/\1/p"
      fi
    done)
    [ -n "$visible" ] && break
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [ "$visible" = "Start" ]; then
    echo "shown: Start"
    exit 0
  fi
  echo "expected only a window titled Start, shown: [$visible]"
  exit 1
' "$program"
