#!/usr/bin/env bash
# Text report to PDF, end to end, with the peers in the same run: folvek-print (our writer),
# folvek-print --engine qt (Qt's PDF engine), simple_pdf_writer (the one-core baseline: one
# string per row, one path per page, subset font, level-1 deflate, nothing else) and CUPS'
# texttopdf, run as a CUPS filter with its argv and environment. Rounds alternate the tools;
# each figure is the median of the rounds. Columns: wall s, CPU s (user + sys), CPU/wall,
# pages, pages/s, peak RSS MB (GNU time), output MB, extractable text, and folvek-print's wall
# as a share of this tool's.
#
#   bench/pdf_export.sh [SIZE] [ROUNDS]   SIZE for tools/make-report.py (10M), ROUNDS (3)
#   BUILD=build                            where folvek-print and simple_pdf_writer are
#   PEERS="qt simple texttopdf"            also: a2ps enscript paps (tools/bench-setup)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-10M}
rounds=${2:-3}
build=${BUILD:-$top/build}
bin=$build/src/cli/folvek-print
simple=$build/bench/simple_pdf_writer
peers=${PEERS:-qt simple texttopdf}
[ -x "$bin" ] || { echo "pdf_export: no folvek-print at $bin (set BUILD)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "pdf_export: GNU time missing (tools/bench-setup)" >&2; exit 1; }

work=$(mktemp -d /tmp/folvek-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

python3 "$top/tools/make-report.py" --size "$size" --encoding cp866 --out "$work/report.prn"
iconv -f cp866 -t utf-8 "$work/report.prn" >"$work/report.utf8.txt"
iconv -f cp866 -t koi8-r "$work/report.prn" >"$work/report.koi8.txt"
bytes=$(stat -c %s "$work/report.prn")
export FOLVEK_HOME="$work/home"  # default settings, whatever the user has configured
mkdir -p "$FOLVEK_HOME"

command_for() {
  case $1 in
    folvek-print) echo "'$bin' --dos '$work/report.prn' -o '$work/folvek-print.pdf'" ;;
    qt) echo "'$bin' --engine qt --dos '$work/report.prn' -o '$work/qt.pdf'" ;;
    simple) echo "'$simple' --dos '$work/report.prn' '$work/simple.pdf'" ;;
    # A CUPS filter: job-id user title copies options [file]; the environment says what to
    # make of the input, and the PDF comes out on standard output.
    texttopdf) echo "env -i PATH=/usr/bin:/bin CHARSET=utf-8 CONTENT_TYPE=text/plain \
        FINAL_CONTENT_TYPE=application/pdf PRINTER=bench CUPS_SERVERROOT=/etc/cups \
        CUPS_DATADIR=/usr/share/cups /usr/lib/cups/filter/texttopdf 1 bench report 1 '' \
        '$work/report.utf8.txt' >'$work/texttopdf.pdf'" ;;
    a2ps) echo "a2ps -q -X latin1 -o - '$work/report.koi8.txt' | ps2pdf - '$work/a2ps.pdf'" ;;
    enscript) echo "enscript -q -X koi8 -o - '$work/report.koi8.txt' | ps2pdf - '$work/enscript.pdf'" ;;
    paps) echo "paps '$work/report.utf8.txt' | ps2pdf - '$work/paps.pdf'" ;;
  esac
}

tools="folvek-print $peers"
for r in $(seq 1 "$rounds"); do
  for t in $tools; do
    if ! /usr/bin/time -f '%e %U %S %M' -o "$work/$t.$r.time" bash -c "$(command_for "$t")" \
         >"$work/$t.log" 2>&1; then
      echo "pdf_export: $t failed: $(tail -1 "$work/$t.log")" >&2
      echo "fail" >"$work/$t.$r.time"
    fi
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf 'report: %s bytes (CP866), %s cores, %s rounds, load %s\n\n' "$bytes" "$(nproc)" \
  "$rounds" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-14s %7s %7s %8s %6s %8s %8s %7s %5s %s\n' tool wall_s cpu_s cpu/wall pages pages/s \
  peak_MB out_MB text "folvek/tool"
fwall=""
for t in $tools; do
  if grep -q fail "$work/$t".*.time; then printf '%-14s failed\n' "$t"; continue; fi
  wall=$(cat "$work/$t".*.time | awk '{ print $1 }' | median)
  cpu=$(cat "$work/$t".*.time | awk '{ print $2 + $3 }' | median)
  rss=$(cat "$work/$t".*.time | awk '{ print $4 / 1024 }' | median)
  pdf="$work/$t.pdf"
  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
  out=$(awk -v b="$(stat -c %s "$pdf")" 'BEGIN { printf "%.1f", b / 1048576 }')
  if pdftotext -f 2 -l 2 "$pdf" - 2>/dev/null | grep -q 'Наименование\|Итого\|Склад'; then
    text=yes
  else
    text=no
  fi
  [ "$t" = folvek-print ] && fwall=$wall
  printf '%-14s %7.2f %7.2f %8.2f %6s %8.0f %8.1f %7s %5s %s\n' "$t" "$wall" "$cpu" \
    "$(awk -v c="$cpu" -v w="$wall" 'BEGIN { print (w > 0 ? c / w : 0) }')" "${pages:-?}" \
    "$(awk -v p="${pages:-0}" -v w="$wall" 'BEGIN { print (w > 0 ? p / w : 0) }')" \
    "$rss" "$out" "$text" \
    "$(awk -v f="$fwall" -v w="$wall" 'BEGIN { printf "%.2f", (w > 0 ? f / w : 0) }')"
done

limit=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", 1.2 * b / 1048576 + 60 }')
printf '\nmemory goal for folvek-print: peak under %s MB (1.2 x file + 60 MB)\n' "$limit"
