#!/usr/bin/env bash
# A big report opened after the start, as a person does: F3 (Open), its path typed into the real
# file dialog, Enter. Its first page is painted while the rest is read, with the page field
# reading "Стр. 1 из …" and no width field; once the rest is read the count fills in (a longer
# page field, the width field) on the same page (a report of 200 MB). Then the same from the recent files menu.
# The status bar is read from its pixels as runs of dark columns (file, page, encoding, width),
# compared between dumps of the same run, so no font's measures are assumed.
# Usage: xvfb_open_progressive.sh PATH-TO-folvek
set -uo pipefail
program=${1:?usage: xvfb_open_progressive.sh PATH-TO-folvek}
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/xvfb_display.sh"
begin_xvfb_test 1280x1024x24 xwd python3
mkdir -p "$work/home"
export FOLVEK_HOME="$work/home"
export CUPS_SERVER="$work/no-cups.sock"

# Some 200 MB, long enough that its first page shows well before its end on a busy machine,
# with time for a few dumps between.
# The reports lie in a folder of a short name: the file field shows the path, and a path too
# long for it is shortened with a "…" that may read as a gap between two fields.
reports=/tmp/fv$$
mkdir -p "$reports"
trap 'rm -rf "$reports"; end_xvfb_test' EXIT
python3 "$top/tools/make-report.py" --size 200K --out "$reports/small.txt" >/dev/null
python3 "$top/tools/make-report.py" --size 2M --out "$work/part.txt" >/dev/null
for _ in $(seq 1 100); do cat "$work/part.txt"; done > "$reports/big.txt"
rm -f "$work/part.txt"

shot() { xwd -silent -id "$main" > "$work/$1.xwd" 2>/dev/null; }
# "N WIDTH-OF-SECOND": the status bar's runs of dark columns and the page field's width.
fields() { python3 "$(dirname "$0")/xwd_window.py" fields "$work/$1.xwd"; }
same_page() { python3 "$(dirname "$0")/xwd_window.py" same "$work/$1.xwd" "$work/$2.xwd"; }
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
# Dumps the window as $1 once its caption names the big report and the status bar shows the
# three fields of a load in progress. The caption changes before the window is painted again,
# and a menu's hint may hold the status bar a moment longer; the rest of 200 MB takes longer
# than either.
big_shown() {
    for _ in $(seq 1 500); do
        case "$(xdotool getwindowname "$main" 2>/dev/null)" in
            *big.txt) break ;;
        esac
        sleep 0.01
    done
    for _ in $(seq 1 40); do
        shot "$1"
        read -r n _ < <(fields "$1")
        [ "$n" = 3 ] && return 0
        sleep 0.02
    done
    case "$(xdotool getwindowname "$main" 2>/dev/null)" in *big.txt) return 0 ;; esac
    return 1
}
# Checks a load of the big report from its first dump ($1) to its end ($2).
check_load() {
    local early_fields early_page whole_fields whole_page
    read -r early_fields early_page < <(fields "$1")
    settled || fail "$3: the program did not settle after loading"
    shot "$2"
    read -r whole_fields whole_page < <(fields "$2")
    # FOLVEK_KEEP_DUMPS names a folder that keeps the window dumps, to look at a failure.
    [ -n "${FOLVEK_KEEP_DUMPS:-}" ] && cp "$work/$1.xwd" "$work/$2.xwd" "$FOLVEK_KEEP_DUMPS/"
    [ "$early_fields" = 3 ] || fail "$3: while loading the status bar showed $early_fields fields, not file, page and encoding"
    # The width field's text ("Строк шире листа: N — …") may itself read as more than one.
    [ "$whole_fields" -ge 4 ] || fail "$3: once loaded the status bar showed $whole_fields fields, not the width besides"
    [ "$whole_page" -gt "$early_page" ] || fail "$3: the page count did not fill in ($early_page -> $whole_page px)"
    same_page "$1" "$2" || fail "$3: the first page changed when the rest was read"
}

start_viewer "$reports/small.txt"
settled || fail "the program did not settle after the start"

# F3 (Open), the path typed into the dialog's file name, Enter.
open_typed() {
    local dialog=
    # The pointer over the page, where no hint replaces the status bar's fields.
    xdotool mousemove --window "$main" 600 500
    press F3
    for _ in $(seq 1 100); do
        dialog=$(xdotool search --onlyvisible --name '^Открыть$' 2>/dev/null | head -n1)
        [ -n "$dialog" ] && break
        sleep 0.1
    done
    [ -n "$dialog" ] || return 1
    focus "$dialog"
    xdotool key ctrl+a
    xdotool type --delay 5 "$1"
    xdotool key Return
}
open_typed "$reports/big.txt" || fail "F3 showed no open dialog"
big_shown open || fail "the report chosen in the dialog was not shown"
check_load open opened "F3"

# The small report again, then the big one from "Последние файлы": the File menu clicked open,
# its second entry (after Open), then the submenu's second entry (the first is the small one).
open_typed "$reports/small.txt" || fail "F3 showed no open dialog the second time"
settled
case "$(xdotool getwindowname "$main")" in *small.txt) ;; *) fail "the small report did not open again" ;; esac
xdotool mousemove --window "$main" 20 10 click 1
sleep 0.5
xdotool key Down Down Right
sleep 0.5
xdotool key Down Return
xdotool mousemove --window "$main" 600 500
if big_shown recent; then
    check_load recent reopened "the recent files"
else
    fail "the big report could not be opened from the recent files"
fi
report_failures "a big report opened through the dialog and from the recent files: first page at once, the count filled in"
