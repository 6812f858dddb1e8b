#!/usr/bin/env bash
# Plain reports must look exactly as they did before the job layout: every sample, every frames
# fixture and a report whose only printer codes set styles, pitch and spacing, each exported to
# PDF by this build and by BASE's with both engines, rasterised by poppler and compared pixel
# for pixel. Exit status 1 when any page differs.
#
#   BASE=/path/to/base/build [BUILD=build] [DPI=100] bench/report_pixels.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$top/build}
base=${BASE:?give BASE, a build of the code to compare with}
dpi=${DPI:-100}
work=$(mktemp -d /tmp/folvek-pixels.XXXXXX)
trap 'rm -rf "$work"' EXIT
export FOLVEK_HOME="$work/home"
mkdir -p "$FOLVEK_HOME"
# Styles, pitch and spacing only: bold, condensed, elite, 1/8-inch lines, underline.
printf '\033E\320\236\321\202\321\207\321\221\321\202\033F\r\n\017condensed +--+ |  |\022\r\n\033M\0330elite line\r\n\033-1under\033-0\r\n' \
  >"$work/styles.prn"
fail=0
for f in "$top"/samples/* "$top"/tests/data/frames/*.txt "$work/styles.prn"; do
  n=$(basename "$f")
  for engine in direct qt; do
    rm -rf "$work/b" "$work/o"
    mkdir -p "$work/b" "$work/o"
    "$base/src/cli/folvek-print" --engine "$engine" "$f" -o "$work/b.pdf" 2>/dev/null
    "$build/src/cli/folvek-print" --engine "$engine" "$f" -o "$work/o.pdf" 2>/dev/null
    pdftoppm -r "$dpi" -gray "$work/b.pdf" "$work/b/p"
    pdftoppm -r "$dpi" -gray "$work/o.pdf" "$work/o/p"
    verdict=same
    [ "$(ls "$work/b" | wc -l)" = "$(ls "$work/o" | wc -l)" ] || verdict="page count differs"
    if [ "$verdict" = same ]; then
      for p in "$work"/b/*; do
        cmp -s "$p" "$work/o/$(basename "$p")" || { verdict="differs on $(basename "$p")"; break; }
      done
    fi
    [ "$verdict" = same ] || fail=1
    printf '%-28s %-6s %3d pages  %s\n' "$n" "$engine" "$(ls "$work/b" | wc -l)" "$verdict"
  done
done
exit $fail
