#!/usr/bin/env bash
# A big report in the real viewer under its own virtual X server: the first page is painted
# while the rest is still read, with the page field reading "Стр. 1 из …" and the width field
# empty; once the rest is read the count fills in ("Стр. 1 из N", a longer text), the width
# field appears, and the page shown is the same. Ctrl+R and Esc while the rest is read stop it
# cleanly: the reload shows the whole, and Esc ends the program with success.
# The status bar is read from its pixels: its fields are the runs of dark columns of its row,
# compared between two dumps of the same run, so no font's measures are assumed.
# Usage: xvfb_first_page.sh PATH-TO-folvek
set -uo pipefail
program=${1:?usage: xvfb_first_page.sh PATH-TO-folvek}
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/xvfb_display.sh"
begin_xvfb_test 1280x1024x24 xwd python3
mkdir -p "$work/home"
export FOLVEK_HOME="$work/home"
export CUPS_SERVER="$work/no-cups.sock"

# A report of some 200 MB, long enough to read that its first page shows well before its end
# even on a busy machine: a generated part, over and over.
# It lies in a folder of a short name: the file field shows the path, and a path too long for
# it is shortened with a "…" that may read as a gap between two fields.
reports=/tmp/fp$$
mkdir -p "$reports"
trap 'rm -rf "$reports"; end_xvfb_test' EXIT
python3 "$top/tools/make-report.py" --size 2M --out "$work/part.txt" >/dev/null
for _ in $(seq 1 100); do cat "$work/part.txt"; done > "$reports/big.txt"
rm -f "$work/part.txt"

shot() { xwd -silent -id "$main" > "$work/$1.xwd" 2>/dev/null; }
# What a dump shows: "painted" when its page area holds text; "fields" prints the status bar's
# field count and the page field's width.
look() { python3 "$(dirname "$0")/xwd_window.py" "$2" "$work/$1.xwd"; }
same_page() { python3 "$(dirname "$0")/xwd_window.py" same "$work/$1.xwd" "$work/$2.xwd"; }
# The main window once its first page is painted; its dump is $work/$1.xwd. On a busy machine
# a dump may catch the window between two of its updates (the page drawn, the status bar not
# yet), so the dump kept is the first that the next one repeats. The pointer goes over the page,
# where no hint replaces the status bar's fields.
first_paint() {
    main=
    for _ in $(seq 1 600); do
        for w in $(xdotool search --onlyvisible --pid "$app_pid" --name '^FolVk' 2>/dev/null); do
            main=$w
            shot "$1"
            if look "$1" painted; then
                xdotool mousemove --window "$main" 600 500 2>/dev/null
                steady "$1"
                return 0
            fi
        done
        sleep 0.02
    done
    return 1
}
steady() {
    for _ in $(seq 1 50); do
        sleep 0.03
        shot "$1.next"
        if same_page "$1" "$1.next" && [ "$(look "$1" fields)" = "$(look "$1.next" fields)" ]; then
            return 0
        fi
        mv "$work/$1.next.xwd" "$work/$1.xwd"
    done
}
# Waits until the program has used no processor time for a second.
settled() {
    local last now still=0
    last=$(awk '{print $14 + $15}' "/proc/$app_pid/stat" 2>/dev/null) || return 1
    for _ in $(seq 1 300); do
        sleep 0.2
        now=$(awk '{print $14 + $15}' "/proc/$app_pid/stat" 2>/dev/null) || return 1
        if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
        last=$now
        [ "$still" -ge 5 ] && return 0
    done
    return 1
}

# The first page while the rest is read, then the count.
"$program" "$reports/big.txt" >"$work/out.log" 2>&1 &
app_pid=$!
first_paint early || { echo "FAIL: no first page painted"; cat "$work/out.log"; exit 1; }
read -r early_fields early_page < <(look early fields)
settled || fail "the program did not settle after loading"
shot whole
read -r whole_fields whole_page < <(look whole fields)
# FOLVEK_KEEP_DUMPS names a folder that keeps the window dumps, to look at a failure.
[ -n "${FOLVEK_KEEP_DUMPS:-}" ] && cp "$work/early.xwd" "$work/whole.xwd" "$FOLVEK_KEEP_DUMPS/"
[ "$early_fields" = 3 ] || fail "while loading the status bar showed $early_fields fields, not file, page and encoding"
[ "$whole_fields" = 4 ] || fail "once loaded the status bar showed $whole_fields fields, not four with the width"
[ "$whole_page" -gt "$early_page" ] || fail "the page count did not fill in ($early_page -> $whole_page px)"
same_page early whole || fail "the first page changed when the rest was read"

# Ctrl+End after the load goes to the last page.
xdotool windowfocus "$main" 2>/dev/null
xdotool key ctrl+End
sleep 0.5
shot last
same_page whole last && fail "Ctrl+End did not go to the last page"
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null

# Ctrl+R while the rest is read: the whole file, read again.
"$program" "$reports/big.txt" >"$work/out.log" 2>&1 &
app_pid=$!
first_paint early2 || { echo "FAIL: no first page painted (reload)"; exit 1; }
xdotool windowfocus "$main" 2>/dev/null
xdotool key ctrl+r
settled || fail "the program did not settle after the reload"
shot reloaded
read -r fields page < <(look reloaded fields)
[ "$fields" = 4 ] && [ "$page" = "$whole_page" ] || fail "after Ctrl+R while loading the status bar reads otherwise than after the load ($fields fields, $page px)"
same_page early2 reloaded || fail "Ctrl+R while loading did not show the first page again"
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null

# Esc while the rest is read ends the program, with success.
"$program" "$reports/big.txt" >"$work/out.log" 2>&1 &
app_pid=$!
first_paint early3 || { echo "FAIL: no first page painted (Esc)"; exit 1; }
xdotool windowfocus "$main" 2>/dev/null
xdotool key Escape
if wait_for 20 bash -c "! kill -0 $app_pid 2>/dev/null"; then
    wait "$app_pid"
    status=$?
    app_pid=
    [ "$status" = 0 ] || fail "Esc while loading: the program ended with status $status"
else
    fail "Esc while loading: the program did not end"
fi
report_failures "first page while loading, the count filled in, reload and Esc while loading: all as expected"
