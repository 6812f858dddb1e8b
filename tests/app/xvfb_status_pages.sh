#!/usr/bin/env bash
# The status bar, "Перейти на страницу..." and F1 in the real viewer under its own virtual X
# server, driven only by XTEST keys: a find message gives way to the page field at the next page
# turn and by itself after a few seconds, with the field showing the page then shown; digits
# typed into the page dialog past the end go to the last page and 0 to the first; F1 in that
# dialog hands its help page to xdg-open with the anchor of its topic.
# Usage: xvfb_status_pages.sh PATH-TO-folvek
set -uo pipefail
program=${1:?usage: xvfb_status_pages.sh PATH-TO-folvek}
. "$(dirname "$0")/xvfb_display.sh"
begin_xvfb_test 1280x1024x24 xwd python3
mkdir -p "$work/home" "$work/bin"
export FOLVEK_HOME="$work/home"
export CUPS_SERVER="$work/no-cups.sock"
# A stand-in xdg-open that notes what it is given.
printf '#!/bin/sh\necho "$1" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

python3 - "$work/report.txt" <<'PY'
import sys
pages = ["Page %d\r\n" % n + "".join("line %d of page %d\r\n" % (k, n) for k in range(1, 6))
         for n in range(1, 33)]
open(sys.argv[1], "wb").write("\f".join(pages).encode("ascii"))
PY

start_viewer "$work/report.txt"
base=$(windows)
only_main() { [ "$(windows)" = "$base" ]; }
dialog=
dialog_named() { dialog=$(xdotool search --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | tail -n1); [ -n "$dialog" ]; }
shot() { xwd -silent -id "$main" > "$work/$1.xwd"; }
# Two dumps are the same in rows FROM..TO of the window (negative: counted from the bottom).
same_rows() {
    python3 - "$work/$1.xwd" "$work/$2.xwd" "$3" "$4" <<'PY'
import struct, sys
def rows(path, a, b):
    data = open(path, "rb").read()
    h = struct.unpack(">25I", data[:100])
    start, per_line, height = h[0] + h[19] * 12, h[12], h[5]
    a, b = (a + height if a < 0 else a), (b + height if b < 0 else b)
    return data[start + a * per_line:start + b * per_line]
a, b = int(sys.argv[3]), int(sys.argv[4])
sys.exit(0 if rows(sys.argv[1], a, b) == rows(sys.argv[2], a, b) else 1)
PY
}
same_status() { same_rows "$1" "$2" -30 -1; }
same_page() { same_rows "$1" "$2" 80 900; }

# The fields as they read on pages 1, 2 and 32.
press ctrl+Next
shot page2
press ctrl+End
shot page32
press ctrl+Home
shot page1
same_status page1 page2 && fail "the page field does not change with the page"

# A find message covers the fields; the next page turn brings them back with the new page.
press ctrl+f
xdotool type --delay 40 "page 3"
press Return
sleep 0.3
press Escape
shot found3
same_status found3 page1 && fail "find: no message in the status bar"
same_status found3 page2 && fail "find: no message in the status bar"
press ctrl+Prior
shot back2
same_status back2 page2 || fail "after a page turn the status bar does not show 'Стр. 2 из 32'"

# Left alone, the message leaves by itself.
press ctrl+f
press ctrl+a
xdotool type --delay 40 "page 2"
press Return
sleep 0.3
press Escape
shot found2
same_status found2 page2 && fail "find: no message for page 2"
sleep 6
shot waited
same_status waited page2 || fail "the message stayed after six seconds"

# "Перейти на страницу...": 40 typed in 32 pages goes to the last page, 0 to the first.
goto() {
    press ctrl+shift+p
    if wait_for 5 dialog_named 'Перейти на страницу'; then
        focus "$dialog"
        xdotool key ctrl+a
        xdotool type --delay 60 "$1"
        xdotool key Return
        wait_for 5 only_main || fail "page $1: the dialog stayed open"
        sleep 0.3
    else
        fail "page $1: no dialog"
    fi
}
goto 40
shot went40
same_page went40 page32 || fail "40 typed in 32 pages did not go to the last page"
same_status went40 page32 || fail "40: the page field does not read 'Стр. 32 из 32'"
goto 0
shot went0
same_page went0 page1 || fail "0 typed did not go to the first page"
goto 2
shot went2
same_page went2 page2 || fail "2 typed did not go to page 2"

# F1 in the page dialog: the help page with its anchor reaches xdg-open.
press ctrl+shift+p
if wait_for 5 dialog_named 'Перейти на страницу'; then
    focus "$dialog"
    xdotool key F1
    if wait_for 5 test -s "$work/opened"; then
        opened=$(head -n1 "$work/opened")
        case "$opened" in
            file://*.html\#?*) ;;
            *) fail "F1: xdg-open was given '$opened', not a page with its anchor" ;;
        esac
    else
        fail "F1: xdg-open was not run"
    fi
    focus "$dialog"
    xdotool key Escape
    wait_for 5 only_main || fail "Esc did not close the page dialog"
else
    fail "F1: no page dialog"
fi

press Escape
if wait_for 5 bash -c "! kill -0 $app_pid 2>/dev/null"; then
    app_pid=
else
    fail "Esc: the program did not end"
fi
report_failures "status bar, page dialog and help: all as expected"
