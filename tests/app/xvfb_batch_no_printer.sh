#!/usr/bin/env bash
# Batch printing (/m1) with the print system out of reach (CUPS_SERVER pointing at nothing):
# no file dialog may open and wait; the viewer shows "Print error!" (caption "error"), stays
# open, and Esc then ends it. Runs the real viewer under its own virtual X server.
# Usage: xvfb_batch_no_printer.sh PATH-TO-folvek
set -uo pipefail
program=${1:?usage: xvfb_batch_no_printer.sh PATH-TO-folvek}
. "$(dirname "$0")/xvfb_display.sh"
begin_xvfb_test 1024x768x24
mkdir -p "$work/home"
export FOLVEK_HOME="$work/home"
export XDG_DATA_HOME="$work/data"  # the desktop's recent list of this run
printf 'Report line one\nReport line two\n' > "$work/report.txt"

named() { xdotool search --all --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | head -n1; }
has_window() { [ -n "$(named "$1")" ]; }

failures=0
# A socket that does not exist, and a port where nobody listens.
for server in "$work/no-cups.sock" "127.0.0.1:1"; do
    CUPS_SERVER="$server" "$program" /m1 "$work/report.txt" >>"$work/out.log" 2>&1 &
    app_pid=$!
    if wait_for 8 has_window '^error$'; then
        for title in 'Save' 'Сохран' 'Print$' 'Печать$'; do
            if has_window "$title"; then
                echo "FAIL ($server): a dialog \"$(xdotool getwindowname "$(named "$title")")\" opened"
                failures=$((failures + 1))
            fi
        done
        # On a loaded machine focus can arrive after the key: press again until the box is gone.
        for _ in 1 2 3 4 5; do
            box=$(named '^error$')
            [ -z "$box" ] && break
            xdotool windowfocus "$box" 2>/dev/null
            sleep 0.3
            xdotool key Return
            wait_for 2 bash -c "[ -z \"\$(xdotool search --all --onlyvisible --pid $app_pid --name '^error\$' 2>/dev/null)\" ]" && break
        done
        main=
        wait_for 6 has_window '^FolVk' && main=$(named '^FolVk')
        if [ -z "$main" ]; then
            echo "FAIL ($server): the program did not stay open after the message"
            failures=$((failures + 1))
        else
            for _ in 1 2 3 4 5; do
                kill -0 "$app_pid" 2>/dev/null || break
                xdotool windowfocus "$main" 2>/dev/null
                sleep 0.3
                xdotool key Escape
                wait_for 2 bash -c "! kill -0 $app_pid 2>/dev/null" && break
            done
        fi
    else
        echo "FAIL ($server): no \"Print error!\" box; windows:"
        for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
            echo "  $(xdotool getwindowname "$w")"
        done
        failures=$((failures + 1))
    fi
    if ! wait_for 3 bash -c "! kill -0 $app_pid 2>/dev/null"; then
        echo "FAIL ($server): the program did not end"
        failures=$((failures + 1))
        kill "$app_pid" 2>/dev/null
    fi
    wait "$app_pid" 2>/dev/null
    app_pid=
done

if [ "$failures" -ne 0 ]; then
    cat "$work/out.log"
    exit 1
fi
echo "batch printing without a print system ends with \"Print error!\" and no dialog"
