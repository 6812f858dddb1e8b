#!/usr/bin/env bash
# What the CUPS filter adds to a job: folvektopdf (options parsed, standard input spooled, PDF
# copied to standard output) against folvek-print -o on the same report, in one run, the two
# alternating so that a busy machine slows both alike. Reports the median wall time of each and
# the difference.
#
#   bench/cups_filter.sh [RUNS] [SIZE]   RUNS per tool (default 15); SIZE for tools/make-report.py
#                                        (default: the sample warehouse-866.prn)
#   BUILD=path/to/build                  default: build/
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-15}
size=${2:-}
build=${BUILD:-$top/build}
print=$build/src/cli/folvek-print
filter=$build/src/cli/cups/folvektopdf
for b in "$print" "$filter"; do
  [ -x "$b" ] || { echo "cups_filter: $b missing (build first)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/folvek-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
report=$top/samples/warehouse-866.prn
if [ -n "$size" ]; then
  report=$work/report.prn
  python3 "$top/tools/make-report.py" --size "$size" --encoding cp866 --out "$report"
fi
mkdir -p "$work/home" "$work/etc" "$work/tmp"
export FOLVEK_HOME=$work/home FOLVEK_FILTER_SETTINGS_DIR=$work/etc TMPDIR=$work/tmp

now() { date +%s.%N; }
# The same layout for both: CP866 text, the default settings, A4 portrait.
one_print() { "$print" --dos "$report" -o "$work/print.pdf" 2>/dev/null; }
one_filter() {
  env -i PATH=/usr/bin:/bin TMPDIR="$TMPDIR" FOLVEK_FILTER_SETTINGS_DIR="$FOLVEK_FILTER_SETTINGS_DIR" \
    CONTENT_TYPE=text/x-dos-report "$filter" 1 bench report 1 \
    "folvek-encoding=866 media=A4 job-uuid=urn:uuid:bench" <"$report" >"$work/filter.pdf" 2>/dev/null
}
one_print; one_filter  # warm the page cache and the font cache

: >"$work/print.t"; : >"$work/filter.t"
for _ in $(seq "$runs"); do
  t0=$(now); one_print; t1=$(now); one_filter; t2=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }' >>"$work/print.t"
  awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }' >>"$work/filter.t"
done
median() { sort -n "$1" | awk '{ a[NR] = $1 } END { print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) }'; }
p=$(median "$work/print.t"); f=$(median "$work/filter.t")
pages=$(pdfinfo "$work/filter.pdf" | awk '/^Pages:/ { print $2 }')
same=$([ "$(pdfinfo "$work/print.pdf" | awk '/^Pages:/ { print $2 }')" = "$pages" ] && echo yes || echo no)
printf 'report: %s bytes, %s pages (same page count: %s), %s runs each, %s cores\n' \
  "$(stat -c %s "$report")" "$pages" "$same" "$runs" "$(nproc)"
ms() { awk -v x="$1" 'BEGIN { print x * 1000 }'; }
printf '%-32s %8.1f ms\n' "folvek-print -o (baseline)" "$(ms "$p")"
printf '%-32s %8.1f ms\n' "folvektopdf < report > pdf" "$(ms "$f")"
printf '%-32s %+8.1f ms\n' "filter overhead" "$(ms "$(awk -v a="$f" -v b="$p" 'BEGIN { print a - b }')")"
