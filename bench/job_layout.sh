#!/usr/bin/env bash
# Printer jobs laid out by themselves, with their baselines in the same run:
#
#  1. plain reports keep their speed: the 10 MB report (tools/make-report.py, CP866) to PDF with
#     this build and with BASE's (a build of the code before the job layout), rounds
#     alternating; this build's median wall time must stay within 5 % of BASE's;
#  2. a 100-page job written by Ghostscript's epson driver (9-pin ESC/P bit images) from pages
#     of our own, every page different, to PDF on the cores given (2): at least 50 pages/s, a
#     PDF no larger than the job file, peak memory under 200 MB. Ghostscript's own time to
#     write the job is shown beside it.
#
#   bench/job_layout.sh [ROUNDS]        ROUNDS per tool (5)
#   BUILD=build BASE=/path/to/base/build CORES="0,1"
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
build=${BUILD:-$top/build}
base=${BASE:-}
cores=${CORES:-0,1}
bin=$build/src/cli/folvek-print
[ -x "$bin" ] || { echo "job_layout: no folvek-print at $bin (set BUILD)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "job_layout: GNU time missing (tools/bench-setup)" >&2; exit 1; }
command -v gs >/dev/null || { echo "job_layout: ghostscript missing" >&2; exit 1; }

work=$(mktemp -d /tmp/folvek-jobbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export FOLVEK_HOME="$work/home"
mkdir -p "$FOLVEK_HOME"
run() { taskset -c "$cores" /usr/bin/time -f '%e %U %S %M' -o "$1" "${@:2}" >/dev/null 2>&1; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf 'cores %s, %s rounds, load %s\n\n' "$cores" "$rounds" "$(cut -d' ' -f1-3 /proc/loadavg)"

# 1. The plain report, this build against the base build.
if [ -n "$base" ]; then
  [ -x "$base/src/cli/folvek-print" ] || { echo "job_layout: no folvek-print in $base" >&2; exit 1; }
  python3 "$top/tools/make-report.py" --size 10M --encoding cp866 --out "$work/report.prn"
  for r in $(seq 1 "$rounds"); do
    run "$work/t-base.$r" "$base/src/cli/folvek-print" --dos "$work/report.prn" -o "$work/base.pdf"
    run "$work/t-ours.$r" "$bin" --dos "$work/report.prn" -o "$work/ours.pdf"
  done
  bw=$(cat "$work"/t-base.* | awk '{ print $1 }' | median)
  ow=$(cat "$work"/t-ours.* | awk '{ print $1 }' | median)
  bc=$(cat "$work"/t-base.* | awk '{ print $2 + $3 }' | median)
  oc=$(cat "$work"/t-ours.* | awk '{ print $2 + $3 }' | median)
  printf '10 MB report to PDF, wall: base %.2f s, this build %.2f s, ratio %.3f (goal <= 1.05)\n' \
    "$bw" "$ow" "$(awk -v o="$ow" -v b="$bw" 'BEGIN { print o / b }')"
  printf '                    CPU:  base %.2f s, this build %.2f s, ratio %.3f\n' \
    "$bc" "$oc" "$(awk -v o="$oc" -v b="$bc" 'BEGIN { print o / b }')"
  cmp -s <(pdftotext "$work/base.pdf" - | md5sum) <(pdftotext "$work/ours.pdf" - | md5sum) &&
    echo "  the same text in both PDFs" || echo "  THE TEXT DIFFERS"
  echo
else
  echo "(no BASE build given: the plain-report comparison is skipped)"
fi

# 2. A 100-page epson job: pages of our own, each with its own number and bars.
python3 - "$work/job.ps" <<'PY'
import sys
out = ['%!PS']
for i in range(100):
    out.append('/Courier findfont 12 scalefont setfont')
    out.append('72 760 moveto (INVOICE No. %d   9 Dec 2026) show' % (1000 + i))
    out.append('72 744 moveto (Item              Qty     Price) show')
    out.append('1.5 setlinewidth 60 420 moveto 540 420 lineto 540 720 lineto 60 720 lineto closepath stroke')
    out.append('60 700 moveto 540 700 lineto stroke 300 720 moveto 300 420 lineto stroke')
    for row in range(18):
        y = 685 - row * 14
        out.append('/Times-Roman findfont 10 scalefont setfont 72 %d moveto (Goods item %d-%d) show' % (y, i, row))
        out.append('320 %d moveto (%d.%02d) show' % (y, (i * 7 + row * 13) % 1000, row))
        out.append('380 %d %d 8 rectfill' % (y, 10 + (i * 31 + row * 17) % 150))
    out.append('newpath %d 300 %d 0 360 arc fill' % (150 + 3 * i, 20 + i % 30))
    out.append('/Helvetica-Bold findfont 30 scalefont setfont 100 200 moveto (LOGO %d) show' % i)
    out.append('showpage')
open(sys.argv[1], 'w').write('\n'.join(out) + '\n')
PY
run "$work/gs.time" gs -q -dNOPAUSE -dBATCH -sDEVICE=epson -sPAPERSIZE=a4 -o "$work/job.prn" "$work/job.ps"
for r in $(seq 1 "$rounds"); do run "$work/t-job.$r" "$bin" "$work/job.prn" -o "$work/job.pdf"; done
pages=$(pdfinfo "$work/job.pdf" | awk '/^Pages:/ { print $2 }')
wall=$(cat "$work"/t-job.* | awk '{ print $1 }' | median)
cpu=$(cat "$work"/t-job.* | awk '{ print $2 + $3 }' | median)
rss=$(cat "$work"/t-job.* | awk '{ print $4 / 1024 }' | median)
jb=$(stat -c %s "$work/job.prn")
pb=$(stat -c %s "$work/job.pdf")
printf 'epson job: %s pages, %d bytes; ghostscript wrote it in %s s\n' "$pages" "$jb" \
  "$(awk '{ print $1 }' "$work/gs.time")"
printf '  to PDF: %.2f s wall, %.2f s CPU, %.0f pages/s (goal >= 50), peak %.0f MB (goal < 200)\n' \
  "$wall" "$cpu" "$(awk -v p="$pages" -v w="$wall" 'BEGIN { print (w > 0 ? p / w : 0) }')" "$rss"
printf '  PDF %d bytes, %.1f %% of the job (goal <= 100 %%); images: %s 1-bit\n' "$pb" \
  "$(awk -v p="$pb" -v j="$jb" 'BEGIN { print 100 * p / j }')" \
  "$(pdfimages -list "$work/job.pdf" | awk 'NR > 2 && $3 == "stencil" && $8 == 1' | wc -l)"
