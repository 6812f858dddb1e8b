#!/usr/bin/env bash
# Starts the real viewer under a virtual X server, waits for its window, takes a screenshot of
# the screen and checks its pixels: the page frame and the report's box must be drawn where they
# belong. Usage: xvfb_start.sh PATH-TO-folvek
set -euo pipefail
program=${1:?usage: xvfb_start.sh PATH-TO-folvek}
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool xwininfo xwd python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FOLVEK_HOME="$work/home"
export XDG_DATA_HOME="$work/data"  # the desktop's recent list of this run
mkdir -p "$FOLVEK_HOME"
# Zoom 1 shows the whole page, so its frame is on the screen.
printf '[Folvk]\r\nZoom=1\r\n' > "$FOLVEK_HOME/FOLVK95.INI"
printf '+%s+\n| %-40s |\n+%s+\n' "$(printf -- '-%.0s' $(seq 42))" "Report line one" \
  "$(printf -- '-%.0s' $(seq 42))" > "$work/report.txt"

. "$here/xvfb_display.sh"
xvfb_pid=
start_xvfb 1024x768x24 || { echo "SKIP: no Xvfb display could be started"; cat "$work/xvfb.log"; exit 77; }
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
"$program" "$work/report.txt" >"$work/out.log" 2>&1 &
pid=$!
trap 'kill "$pid" "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
found=
for _ in $(seq 1 300); do
  if xwininfo -root -tree 2>/dev/null | grep -q "FolVk"; then found=1; break; fi
  sleep 0.1
done
if [ -z "$found" ]; then
  echo "no FolVk window appeared"; cat "$work/out.log"; exit 1
fi
# A loaded machine may paint late: look again for up to 20 s before giving up.
status=1
for _ in $(seq 1 20); do
  sleep 1
  xwd -root -silent > "$work/screen.xwd"
  if python3 "$here/screen_pixels.py" "$work/screen.xwd" 2>"$work/check.log"; then status=0; break; fi
done
[ $status -eq 0 ] || cat "$work/check.log"

status=${status:-0}
# On failure the screen is kept as a PNG for a look.
if [ "$status" -ne 0 ]; then
  keep="${TMPDIR:-/tmp}/folvek-xvfb-start-$$.png"
  [ -f "$work/screen.xwd" ] && python3 "$here/screen_pixels.py" "$work/screen.xwd" --png "$keep" \
    >/dev/null 2>&1 && echo "the screen is in $keep"
  exit 1
fi
