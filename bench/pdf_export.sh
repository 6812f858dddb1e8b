#!/usr/bin/env bash
# Text report to PDF, end to end: folvek-print against the usual Unix text-to-PDF tools on the
# same report, in one run. For each tool: wall time, pages, pages per second, peak RSS (of the
# largest process of its pipeline, from GNU time) and whether the PDF's text is extractable.
#
#   bench/pdf_export.sh [SIZE]          SIZE for tools/make-report.py, default 10M
#   FOLVEK_PRINT=path/to/folvek-print   default: build/src/cli/folvek-print
#   PEERS="texttopdf a2ps enscript paps" the peers to run (paps|ps2pdf is slow: minutes)
#
# Peers get the text in an encoding they read: texttopdf and paps UTF-8, a2ps and enscript
# KOI8-R (neither reads UTF-8). Run tools/bench-setup first to install them.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-10M}
bin=${FOLVEK_PRINT:-$top/build/src/cli/folvek-print}
peers=${PEERS:-texttopdf a2ps enscript paps}
[ -x "$bin" ] || { echo "pdf_export: no folvek-print at $bin (set FOLVEK_PRINT)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "pdf_export: GNU time missing (tools/bench-setup)" >&2; exit 1; }

work=$(mktemp -d /tmp/folvek-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

python3 "$top/tools/make-report.py" --size "$size" --encoding cp866 --out "$work/report.prn"
iconv -f cp866 -t utf-8 "$work/report.prn" >"$work/report.utf8.txt"
iconv -f cp866 -t koi8-r "$work/report.prn" >"$work/report.koi8.txt"
bytes=$(stat -c %s "$work/report.prn")
export FOLVEK_HOME="$work/home"  # default settings, whatever the user has configured
mkdir -p "$FOLVEK_HOME"

printf 'report: %s bytes (CP866), %s\n\n' "$bytes" "$(nproc) cores"
printf '%-22s %9s %7s %9s %10s %s\n' tool wall_s pages pages/s peak_MB text
folvek_wall=""

# run NAME PDF COMMAND: times COMMAND (a shell command line) and reports on PDF.
run() {
  local name=$1 pdf=$2 cmd=$3
  if ! /usr/bin/time -v -o "$work/$name.time" bash -c "$cmd" >"$work/$name.log" 2>&1; then
    printf '%-22s failed: %s\n' "$name" "$(tail -1 "$work/$name.log")"
    return
  fi
  local wall rss pages text
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
           n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' \
         "$work/$name.time")
  rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$work/$name.time")
  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
  # Extractable: page 2's text holds Cyrillic words of the report.
  if pdftotext -f 2 -l 2 "$pdf" - 2>/dev/null | grep -q 'Наименование\|Итого\|Склад'; then
    text=yes
  else
    text=no
  fi
  [ "$name" = folvek-print ] && folvek_wall=$wall
  local ratio=""
  [ -n "$folvek_wall" ] && [ "$name" != folvek-print ] &&
    ratio=$(awk -v a="$wall" -v b="$folvek_wall" 'BEGIN { printf "  (%.1fx folvek-print)", a / b }')
  printf '%-22s %9.2f %7s %9.1f %10s %s%s\n' "$name" "$wall" "${pages:-?}" \
    "$(awk -v p="${pages:-0}" -v w="$wall" 'BEGIN { print (w > 0 ? p / w : 0) }')" \
    "$rss" "$text" "$ratio"
}

run folvek-print "$work/folvek.pdf" "'$bin' --dos '$work/report.prn' -o '$work/folvek.pdf'"
for peer in $peers; do
  case $peer in
    texttopdf)
      run "texttopdf" "$work/texttopdf.pdf" \
        "CHARSET=utf-8 /usr/lib/cups/filter/texttopdf 1 bench report 1 '' \
           '$work/report.utf8.txt' >'$work/texttopdf.pdf'" ;;
    a2ps)
      # a2ps has no Cyrillic fonts on Debian; it sets the KOI8-R bytes in Latin-1.
      run "a2ps|ps2pdf" "$work/a2ps.pdf" \
        "a2ps -q -X latin1 -o - '$work/report.koi8.txt' | ps2pdf - '$work/a2ps.pdf'" ;;
    enscript)
      run "enscript|ps2pdf" "$work/enscript.pdf" \
        "enscript -q -X koi8 -o - '$work/report.koi8.txt' | ps2pdf - '$work/enscript.pdf'" ;;
    paps)
      run "paps|ps2pdf" "$work/paps.pdf" \
        "paps '$work/report.utf8.txt' | ps2pdf - '$work/paps.pdf'" ;;
    *) echo "pdf_export: unknown peer $peer" >&2 ;;
  esac
done

limit=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", 1.5 * b / 1048576 + 80 }')
printf '\nmemory goal for folvek-print: peak under %s MB (1.5 x file + 80 MB)\n' "$limit"
