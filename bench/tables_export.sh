#!/usr/bin/env bash
# The report's tables to XLSX, ODS and CSV against its PDF, in the same run: folvek-print -o
# (the PDF as it is made today) and folvek-print --tables for each format, on one generated
# report (tools/make-report.py, CP866 frames). Rounds alternate the jobs; each figure is the
# median of the rounds. Columns: wall s, CPU s (user + sys), peak RSS MB, output MB, and the
# job's wall as a share of the PDF's, and with BASE of the older build's PDF (the goal: at most
# 1.00 against the PDF as it was when the export began).
#
#   bench/tables_export.sh [SIZE] [ROUNDS]   SIZE for tools/make-report.py (10M), ROUNDS (3)
#   BUILD=build                               where folvek-print is
#   TMPDIR=/tmp                               where the report and the outputs go
#   BASE=/path/to/old/build                   adds "pdf-base": the PDF as an older build made
#                                             it (the time "its PDF takes" when the export began)
# Each round writes into a folder of its own, removed only at the end: a file system may
# spend long on creating files among thousands it has just freed (ext4 without a journal
# skips inodes freed in the last seconds), which is no cost of the export.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-10M}
rounds=${2:-3}
build=${BUILD:-$top/build}
bin=$build/src/cli/folvek-print
[ -x "$bin" ] || { echo "tables_export: no folvek-print at $bin (set BUILD)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "tables_export: GNU time missing (tools/bench-setup)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/folvek-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 "$top/tools/make-report.py" --size "$size" --encoding cp866 --out "$work/report.prn"
export FOLVEK_HOME="$work/home"
mkdir -p "$FOLVEK_HOME"

command_for() {
  case $1 in
    pdf) echo "'$bin' --dos '$work/report.prn' -o '$2/out.pdf'" ;;
    pdf-base) echo "'$BASE/src/cli/folvek-print' --dos '$work/report.prn' -o '$2/out-base.pdf'" ;;
    xlsx | ods | csv) echo "'$bin' --dos '$work/report.prn' --tables '$2/out.$1'" ;;
  esac
}

jobs="pdf xlsx ods csv"
[ -z "${BASE:-}" ] || jobs="pdf pdf-base xlsx ods csv"
for r in $(seq 1 "$rounds"); do
  mkdir "$work/round$r"
  for j in $jobs; do
    /usr/bin/time -f '%e %U %S %M' -o "$work/$j.$r.time" bash -c "$(command_for "$j" "$work/round$r")" \
      >"$work/$j.log" 2>&1 || { echo "tables_export: $j failed: $(tail -1 "$work/$j.log")" >&2; exit 1; }
    case $j in
      pdf) out=("$work/round$r/out.pdf") ;;
      pdf-base) out=("$work/round$r/out-base.pdf") ;;
      *) out=("$work/round$r"/out*."$j") ;;
    esac
    du -cb "${out[@]}" | tail -1 | cut -f1 >"$work/$j.size"
  done
done

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
pdf_wall=$(cat "$work"/pdf.*.time | awk '{print $1}' | median)
base_wall=
[ -z "${BASE:-}" ] || base_wall=$(cat "$work"/pdf-base.*.time | awk '{print $1}' | median)
echo "report: $(stat -c %s "$work/report.prn") bytes, $(grep -c "" "$work/report.prn") lines, $rounds rounds, in $work, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-8s %8s %8s %8s %9s %9s%s\n' job wall_s cpu_s rss_MB out_MB "vs_pdf" \
  "${base_wall:+ vs_pdf-base}"
for j in $jobs; do
  wall=$(cat "$work"/$j.*.time | awk '{print $1}' | median)
  cpu=$(cat "$work"/$j.*.time | awk '{print $2 + $3}' | median)
  rss=$(cat "$work"/$j.*.time | awk '{print $4 / 1024}' | median)
  out=$(awk '{printf "%.1f", $1 / 1048576}' "$work/$j.size")
  printf '%-8s %8.2f %8.2f %8.0f %9s %9.2f' "$j" "$wall" "$cpu" "$rss" "$out" \
    "$(awk -v a="$wall" -v b="$pdf_wall" 'BEGIN {print a / b}')"
  [ -z "$base_wall" ] || printf ' %12.2f' "$(awk -v a="$wall" -v b="$base_wall" 'BEGIN {print a / b}')"
  printf '\n'
done
grep -h "table(s)" "$work"/xlsx.log || true
