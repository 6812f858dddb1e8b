#!/usr/bin/env bash
# Time from launch to the first painted page of the viewer on a virtual X server, and the peak
# memory of the whole load. The main window (not the start-up window, which shows text too) is
# dumped every few milliseconds until its page area holds text; then the run waits until the
# program stops using the processor (the rest of the file read and counted) and takes its peak
# resident size. Each binary named runs in turn on the same files in the same session, so that
# the figures compare; the load average is printed before and after.
#
#   bench/first_page.sh DISPLAY BINARY... (default build/src/app/folvek)
#   FIRST_PAGE_SIZES="200K 100M"   the reports (tools/make-report.py), FIRST_PAGE_RUNS=3
#   FIRST_PAGE_OPEN=1   the viewer starts empty and the report is opened later, through the open
#                       dialog (F3, the path typed): the time runs from the Enter that confirms
#                       it to the first painted page
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

# One run: "SECONDS-TO-FIRST-PAGE SECONDS-TO-IDLE PEAK-MIB". One Python process does the polling,
# so that no interpreter starts between two dumps.
run_once() {
    python3 - "$1" "$2" <<'PY'
import os, struct, subprocess, sys, time

binary, report = sys.argv[1], sys.argv[2]
later = os.environ.get("FIRST_PAGE_OPEN") == "1"
start = time.monotonic()
app = subprocess.Popen([binary] + ([] if later else [report]), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

def main_window():
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(app.pid),
                          "--name", "^FolVk"], capture_output=True, text=True).stdout.split()
    return out

def page_painted(win):
    d = subprocess.run(["xwd", "-silent", "-id", win], capture_output=True).stdout
    if len(d) < 100:
        return False
    h = struct.unpack(">25I", d[:100])
    begin, per_line, height = h[0] + h[19] * 12, h[12], h[5]
    if height < 600:
        return False  # the start-up window
    area = d[begin + 80 * per_line:begin + 600 * per_line]
    return sum(1 for v in area[1::4] if v < 64) > 200

def cpu_ticks():
    with open("/proc/%d/stat" % app.pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])

def xdo(*args):
    return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True).stdout.split()

def open_later():
    # The empty window, then the open dialog with the path typed; the clock starts at Enter.
    while time.monotonic() - start < 60:
        wins = [w for w in main_window() if int(xdo("getwindowgeometry", w)[-1].split("x")[1]) >= 600]
        if wins:
            break
        time.sleep(0.05)
    time.sleep(1.0)
    xdo("windowfocus", "--sync", wins[0])
    xdo("key", "F3")
    dialog = []
    while not dialog and time.monotonic() - start < 60:
        time.sleep(0.1)
        dialog = xdo("search", "--all", "--onlyvisible", "--pid", str(app.pid), "--name",
                     "^Открыть$")
    # Below the rows where the page is looked for: its pixels are not taken for the page's.
    xdo("windowmove", "--sync", dialog[0], "0", "620")
    xdo("windowfocus", "--sync", dialog[0])
    xdo("key", "ctrl+a")
    xdo("type", "--delay", "5", report)
    time.sleep(0.3)
    begin = time.monotonic()
    xdo("key", "Return")
    return begin

if later:
    start = open_later()
first = None
while first is None and time.monotonic() - start < 60:
    wins = main_window()
    if later:  # the caption names the report once it is read, before it is painted
        wins = [w for w in wins if xdo("getwindowname", w)[-1:] == [report]]
    if any(page_painted(w) for w in wins):
        first = time.monotonic() - start
        break
    time.sleep(0.005)
# Idle: no processor time used for half a second.
last, still = cpu_ticks(), time.monotonic()
while time.monotonic() - still < 0.5 and time.monotonic() - start < 120:
    time.sleep(0.1)
    now = cpu_ticks()
    if now != last:
        last, still = now, time.monotonic()
idle = still - start
peak = 0
with open("/proc/%d/status" % app.pid) as f:
    for line in f:
        if line.startswith("VmHWM:"):
            peak = int(line.split()[1]) // 1024
app.terminate()
app.wait()
print("%.3f %.2f %d" % (first if first is not None else -1, idle, peak))
PY
}

# The worktree or checkout a binary was built in (its build/src/app/folvek).
label() { basename "$(dirname "$(dirname "$(dirname "$(dirname "$1")")")")"; }
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for size in "${sizes[@]}"; do
    for bin in "${binaries[@]}"; do
        firsts=() idles=() peaks=()
        for _ in $(seq 1 "$runs"); do
            read -r f i p < <(run_once "$bin" "$work/report-$size.txt")
            firsts+=("$f") idles+=("$i") peaks+=("$p")
        done
        echo "$size  $(label "$bin")  first page ${firsts[*]} s; loaded ${idles[*]} s;" \
             "peak ${peaks[*]} MiB"
    done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
