#!/usr/bin/env bash
# Peak memory (RSS, from GNU time) of folvek-print on large inputs, against a baseline run on a
# one-line document in the same session, so the figures are what the document costs:
#
#  1. load and paginate a report of SIZE (default 100M, tools/make-report.py):
#     peak - baseline must stay within 1.3 x file size + 16 bytes per line;
#  2. export to PDF a document of 100k and of 1M short pages (form feeds): what the export costs
#     above loading and paginating the same file (--info) must not grow with the page count
#     (1M pages within the 100k figure plus 16 MB). The document's own lines are step 1's matter.
#
#   bench/memory.sh [SIZE]           FOLVEK_PRINT=path/to/folvek-print (default build/src/cli/)
#   MEMORY_PAGES="100000 1000000"    the page counts of step 2
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-100M}
bin=${FOLVEK_PRINT:-$top/build/src/cli/folvek-print}
read -r -a pages <<<"${MEMORY_PAGES:-100000 1000000}"
[ -x "$bin" ] || { echo "memory: no folvek-print at $bin (set FOLVEK_PRINT)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "memory: GNU time missing (tools/bench-setup)" >&2; exit 1; }

work=$(mktemp -d /tmp/folvek-memory.XXXXXX)
trap 'rm -rf "$work"' EXIT
export FOLVEK_HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$FOLVEK_HOME"

# Peak RSS in KiB and wall seconds of one run: "kib seconds".
measure() {
  /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" ||
    { echo "memory: failed: $*" >&2; cat "$work/stderr.txt" >&2; exit 1; }
  local kib wall
  kib=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$work/time.txt")
  wall=$(awk '/Elapsed \(wall clock\)/ {print $NF}' "$work/time.txt")
  echo "$kib $wall"
}

status=0
printf 'one line\r\n' >"$work/tiny.prn"
read -r base_info _ < <(measure "$bin" --info "$work/tiny.prn")
read -r base_pdf _ < <(measure "$bin" -o "$work/tiny.pdf" "$work/tiny.prn")
echo "baseline (one-line document): --info ${base_info} KiB, PDF ${base_pdf} KiB"

python3 "$top/tools/make-report.py" --size "$size" --encoding cp866 --out "$work/report.prn"
bytes=$(stat -c %s "$work/report.prn")
lines=$(wc -l <"$work/report.prn")
read -r peak wall < <(measure "$bin" --info --dos "$work/report.prn")
rm -f "$work/report.prn"
cost=$(( (peak - base_info) * 1024 ))
budget=$(( bytes * 13 / 10 + 16 * lines ))
echo "load+paginate $size: file $bytes bytes, $lines lines, peak ${peak} KiB ($wall), document" \
     "$(( cost / 1048576 )) MiB = $(awk "BEGIN {printf \"%.3f\", $cost / $bytes}") x file;" \
     "budget $(( budget / 1048576 )) MiB"
[ "$cost" -le "$budget" ] || { echo "memory: over budget" >&2; status=1; }

declare -A peaks
for n in "${pages[@]}"; do
  python3 - "$n" "$work/pages.prn" <<'PY'
import sys
n, out = int(sys.argv[1]), sys.argv[2]
with open(out, "wb") as f:
    for i in range(1, n + 1):
        f.write(b"page %d\r\n" % i + (b"\x0c" if i < n else b""))
PY
  read -r held _ < <(measure "$bin" --info "$work/pages.prn")
  read -r peak wall < <(measure "$bin" -o "$work/pages.pdf" "$work/pages.prn")
  peaks[$n]=$(( peak - held ))
  echo "PDF of $n pages: peak ${peak} KiB ($wall); loaded and paginated only ${held} KiB;" \
       "export costs ${peaks[$n]} KiB; PDF $(( $(stat -c %s "$work/pages.pdf") / 1048576 )) MiB"
  rm -f "$work/pages.pdf" "$work/pages.prn"
done
if [ "${#pages[@]}" -ge 2 ]; then
  small=${peaks[${pages[0]}]} large=${peaks[${pages[-1]}]}
  limit=$(( small + 16384 ))
  echo "export cost ${pages[-1]} vs ${pages[0]} pages: ${large} vs ${small} KiB (limit ${limit} KiB)"
  [ "$large" -le "$limit" ] || { echo "memory: PDF export grows with the page count" >&2; status=1; }
fi
exit $status
