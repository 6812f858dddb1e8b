#!/usr/bin/env bash
# Find, export to PDF and copy in the real viewer under its own virtual X server, driven only
# by XTEST input (xdotool key and mouse): Ctrl+F, a word and Enter go to the word's page; the
# file menu opened with Alt and the arrow keys exports from that page on, its dialogs answered
# with keys, and the PDF must hold those pages; a mouse drag over a table and Ctrl+C put the
# table on the X clipboard in Unicode (read through Python's tkinter when it is there), and a
# click without a drag removes the selection's tint.
# Usage: xvfb_find_export_copy.sh PATH-TO-folvek
set -uo pipefail
program=${1:?usage: xvfb_find_export_copy.sh PATH-TO-folvek}
. "$(dirname "$0")/xvfb_display.sh"
begin_xvfb_test 1280x1024x24 xwd cmp pdfinfo pdftotext python3
mkdir -p "$work/home"
export FOLVEK_HOME="$work/home"
export XDG_DATA_HOME="$work/data"  # the desktop's recent list of this run
export CUPS_SERVER="$work/no-cups.sock"

# Five pages in code page 866: a framed table on the first, the word "Zebra" on the third.
python3 - "$work/report.txt" <<'PY'
import sys
table = ["╔══════╤═════╗", "║Товар │Сумма║", "╟──────┼─────╢", "║Хлеб  │   12║",
         "║Молоко│  345║", "╚══════╧═════╝"]
pages = ["\r\n".join(table) + "\r\n"] + ["Page %d %s\r\n" % (n, "Zebra here" if n == 3 else "line")
                                        for n in range(2, 6)]
open(sys.argv[1], "wb").write("\f".join(pages).encode("cp866"))
PY

start_viewer /d "$work/report.txt"

base=$(windows)
# The newest window of the program whose title matches, once it is there.
dialog=
dialog_named() { dialog=$(xdotool search --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | tail -n1); [ -n "$dialog" ]; }
only_main() { [ "$(windows)" = "$base" ]; }
shot() { xwd -silent -id "$main" > "$1"; }
# The page area of two dumps (rows 80..900 of the window, below the tool bar and above the
# status bar) is the same.
same_page() {
    python3 - "$1" "$2" <<'PY'
import struct, sys
def area(path):
    data = open(path, "rb").read()
    h = struct.unpack(">25I", data[:100])
    start, per_line = h[0] + h[19] * 12, h[12]
    return data[start + 80 * per_line:start + 900 * per_line]
sys.exit(0 if area(sys.argv[1]) == area(sys.argv[2]) else 1)
PY
}

# Copy: a drag from the page's top-left corner to past its last row and column selects the
# whole table, tinted; Ctrl+C copies it.
shot "$work/plain.xwd"
focus "$main"
xdotool mousemove --window "$main" 5 62 mousedown 1 \
    mousemove --window "$main" 300 400 sleep 0.2 mousemove --window "$main" 1000 900 sleep 0.2 mouseup 1
sleep 0.3
shot "$work/selected.xwd"
same_page "$work/plain.xwd" "$work/selected.xwd" && fail "drag: the selection is not shown"
press ctrl+c
if python3 -c "import tkinter" 2>/dev/null; then
    expected=$'╔══════╤═════╗\n║Товар │Сумма║\n╟──────┼─────╢\n║Хлеб  │   12║\n║Молоко│  345║\n╚══════╧═════╝'
    copied=$(timeout 10 python3 -c "
import tkinter
root = tkinter.Tk()
root.withdraw()
print(root.clipboard_get(type='UTF8_STRING'), end='')
" 2>"$work/tk.log")
    [ "$copied" = "$expected" ] || fail "Ctrl+C: the clipboard holds '$copied' ($(cat "$work/tk.log"))"
else
    echo "note: no tkinter, the clipboard's text is not read"
fi
focus "$main"
xdotool mousemove --window "$main" 600 500 click 1
sleep 0.3
shot "$work/cleared.xwd"
same_page "$work/plain.xwd" "$work/cleared.xwd" || fail "click: the selection's tint stayed"

# Find: Ctrl+F, the word in lower case, Enter: another page is shown; that it is the third
# one the export's range tells below.
press ctrl+f
xdotool type --delay 50 zebra
sleep 0.3
shot "$work/typed.xwd"
press Return
sleep 0.5
shot "$work/found.xwd"
same_page "$work/typed.xwd" "$work/found.xwd" && fail "find: the page did not change"
press Escape  # the find bar gives the focus back

# Export: Alt opens the menu bar, Down the file menu at "Открыть"; four more to "Сохранить в
# PDF...". In the page dialog Down picks the range, which starts at the page shown (3).
press alt
press Down
press Down Down Down Down Return
if wait_for 5 dialog_named 'Сохранить в PDF'; then
    focus "$dialog"
    xdotool key Down Return
    sleep 0.5
    if wait_for 5 dialog_named 'Сохранить как'; then
        focus "$dialog"
        xdotool key Return  # the name proposed: report.pdf next to the report
    else
        fail "export: no save dialog"
    fi
else
    fail "export: no page dialog ($(windows | xargs -r -n1 xdotool getwindowname))"
fi
pdf="$work/report.pdf"
if wait_for 10 test -s "$pdf" && wait_for 5 only_main; then
    pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
    [ "$pages" = 3 ] || fail "export: $pages pages in the PDF, not pages 3 to 5"
    pdftotext -f 1 -l 1 "$pdf" - 2>/dev/null | grep -q Zebra || fail "export: the PDF does not start at the found page"
else
    fail "export: no PDF was written"
fi

press Escape
if wait_for 5 bash -c "! kill -0 $app_pid 2>/dev/null"; then
    app_pid=
else
    fail "Esc: the program did not end"
fi

report_failures "find, export and copy had their effects"
