#!/usr/bin/env bash
# Starts the real viewer under a virtual X server, waits for its window, takes a screenshot of
# the screen and checks that it is not empty. Usage: xvfb_start.sh PATH-TO-folvek
set -euo pipefail
program=${1:?usage: xvfb_start.sh PATH-TO-folvek}
for tool in xvfb-run xwininfo xwd; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FOLVEK_HOME="$work/home"
mkdir -p "$FOLVEK_HOME"
printf 'Report line one\nReport line two\n\fPage two\n' > "$work/report.txt"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  "$1" "$2" >"$3/out.log" 2>&1 &
  pid=$!
  found=
  for _ in $(seq 1 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q "FolVk"; then found=1; break; fi
    sleep 0.1
  done
  if [ -z "$found" ]; then
    echo "no FolVk window appeared"; cat "$3/out.log"; kill "$pid" 2>/dev/null; exit 1
  fi
  sleep 1
  xwd -root -silent > "$3/screen.xwd"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
' _ "$program" "$work/report.txt" "$work"

size=$(stat -c %s "$work/screen.xwd")
if [ "$size" -le 0 ]; then
  echo "screenshot is empty"
  exit 1
fi
echo "window found, screenshot of $size bytes"
