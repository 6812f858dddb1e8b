#!/usr/bin/env bash
# Time from launch to the first painted page of the viewer on a virtual X server: the window
# is dumped every few milliseconds until a dark pixel shows in its page area. Each binary named
# runs in turn on the same files in the same session, so that the figures compare.
#
#   bench/first_page.sh DISPLAY BINARY... (default build/src/app/folvek)
#   FIRST_PAGE_SIZES="200K 100M"   the reports (tools/make-report.py), FIRST_PAGE_RUNS=3
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
display=${1:?usage: first_page.sh DISPLAY [BINARY...]}
shift
binaries=("$@")
[ ${#binaries[@]} -gt 0 ] || binaries=("$top/build/src/app/folvek")
read -r -a sizes <<<"${FIRST_PAGE_SIZES:-200K 100M}"
runs=${FIRST_PAGE_RUNS:-3}
work=$(mktemp -d /tmp/folvek-first-page.XXXXXX)
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb FOLVEK_HOME="$work/home" CUPS_SERVER="$work/none"
mkdir -p "$FOLVEK_HOME"
for size in "${sizes[@]}"; do
    python3 "$top/tools/make-report.py" --size "$size" --out "$work/report-$size.txt" >/dev/null
done

# Seconds from launch until the window's page area (rows 80..600) holds a dark pixel.
first_page() {
    local bin=$1 file=$2 start win now
    start=$(date +%s.%N)
    "$bin" "$file" >/dev/null 2>&1 &
    local pid=$!
    while :; do
        win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1) || true
        if [ -n "$win" ] && xwd -silent -id "$win" 2>/dev/null | python3 -c '
import struct, sys
d = sys.stdin.buffer.read()
h = struct.unpack(">25I", d[:100])
start, per_line = h[0] + h[19] * 12, h[12]
area = d[start + 80 * per_line:start + 600 * per_line]
sys.exit(0 if area and min(area[1::4]) < 64 else 1)'; then
            now=$(date +%s.%N)
            break
        fi
        sleep 0.01
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    echo "$now - $start" | bc
}

for size in "${sizes[@]}"; do
    for bin in "${binaries[@]}"; do
        times=()
        for _ in $(seq 1 "$runs"); do times+=("$(first_page "$bin" "$work/report-$size.txt")"); done
        echo "first page  $size  $(basename "$(dirname "$(dirname "$(dirname "$bin")")")")/$(basename "$bin")  ${times[*]} s"
    done
done
