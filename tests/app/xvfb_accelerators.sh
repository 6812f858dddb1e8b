#!/usr/bin/env bash
# Drives the real viewer under its own virtual X server with keystrokes sent through XTEST
# (xdotool key, after giving the window the focus) and checks the effect of every entry of the
# accelerator table: the settings file written, the page changed, a dialog opened, the help or
# a web page handed to xdg-open, the program ended. The main keyboard's + and - must do nothing.
# Usage: xvfb_accelerators.sh PATH-TO-folvek
set -uo pipefail
program=${1:?usage: xvfb_accelerators.sh PATH-TO-folvek}
. "$(dirname "$0")/xvfb_display.sh"
begin_xvfb_test 1280x1024x24 xwd md5sum

# Stand-ins for the desktop: xdg-open and xdg-email note what they were asked to open.
mkdir -p "$work/bin" "$work/home"
for tool in xdg-open xdg-email; do
    printf '#!/bin/sh\necho "%s $*" >> "%s/opened"\n' "$tool" "$work" > "$work/bin/$tool"
    chmod +x "$work/bin/$tool"
done
export PATH="$work/bin:$PATH"
export FOLVEK_HOME="$work/home"
export XDG_DATA_HOME="$work/data"  # the desktop's recent list of this run
# No print system: the printing keys must still answer with a dialog, never hang.
export CUPS_SERVER="$work/no-cups.sock"
ini="$work/home/FOLVK95.INI"
{
    for page in 1 2 3 4 5; do
        printf 'Page %s line one\nPage %s line two\n' "$page" "$page"
        [ "$page" -lt 5 ] && printf '\f\n'
    done
} > "$work/report.txt"

start_viewer /w "$work/report.txt"

setting_is() { grep -qE "^$1=$2"$'\r'"?\$" "$ini" 2>/dev/null; }
expect_setting() {  # expect_setting KEY NAME VALUE
    press "$1"
    wait_for 5 setting_is "$2" "$3" || fail "$1: $2 is not $3 ($(grep "^$2=" "$ini" 2>/dev/null))"
}
opened_has() { grep -q -- "$1" "$work/opened" 2>/dev/null; }
expect_opened() {  # expect_opened KEY TEXT
    press "$1"
    wait_for 5 opened_has "$2" || fail "$1: nothing opened $2 ($(cat "$work/opened" 2>/dev/null))"
}
base=$(windows)
more_windows() { [ "$(windows)" != "$base" ]; }
only_main() { [ "$(windows)" = "$base" ]; }
# Escapes every window the key opened, newest first, until the frame is alone again.
close_dialogs() {
    for _ in $(seq 1 10); do
        only_main && return 0
        local w
        w=$(comm -13 <(echo "$base") <(windows) | tail -n1)
        [ -n "$w" ] || break
        xdotool windowfocus "$w" 2>/dev/null
        sleep 0.2
        xdotool key Escape
        wait_for 2 only_main && return 0
    done
    only_main
}
expect_dialog() {  # expect_dialog KEY WHAT
    press "$1"
    if wait_for 5 more_windows; then
        local w
        w=$(comm -13 <(echo "$base") <(windows) | tail -n1)
        echo "$1: $(xdotool getwindowname "$w" 2>/dev/null)"
        close_dialogs || fail "$1: the $2 did not close"
    else
        fail "$1: no $2 opened"
    fi
}
shot() { xwd -silent -id "$main" | md5sum; }

# The main keyboard's plus and minus are not accelerators, with or without Ctrl.
press plus minus ctrl+plus ctrl+minus
sleep 0.5
[ -e "$ini" ] && fail "main keyboard +/- wrote the settings: $(grep -E '^(Zoom|FontSize)=' "$ini")"

expect_setting KP_Add Zoom 4
expect_setting KP_Subtract Zoom 3
expect_setting ctrl+KP_Add FontSize -15
expect_setting ctrl+KP_Subtract FontSize -13
# The fit to the sheet's width, on and off again.
expect_setting ctrl+w FitWidth YES
expect_setting ctrl+w FitWidth NO

# The orientation keys (the letters without Shift) lay out again (the page changes) and take effect with the next write.
before=$(shot)
press l
sleep 0.5
[ "$(shot)" != "$before" ] || fail "l: the page did not change"
expect_setting KP_Add Orient 1
press p
expect_setting KP_Subtract Orient 0

# The page keys: Ctrl+End shows another page, Ctrl+Home the first one again.
first=$(shot)
press ctrl+End
sleep 0.3
[ "$(shot)" != "$first" ] || fail "Ctrl+End: the page did not change"
press ctrl+Home
sleep 0.3
[ "$(shot)" = "$first" ] || fail "Ctrl+Home: not back on the first page"

# Ctrl+R reads the report again: a change on disk is only offered until the key is pressed.
printf 'Changed page one\n\f\nChanged page two\n' > "$work/report.txt"
sleep 1.5
offered=$(shot)
[ "$offered" != "$first" ] || fail "a change on disk was not offered in the status bar"
press ctrl+r
sleep 0.5
[ "$(shot)" != "$offered" ] || fail "Ctrl+R: the page did not change"

expect_dialog F3 "open dialog"
expect_dialog ctrl+F3 "settings open dialog"
expect_dialog F4 editor
expect_dialog F5 "parameters dialog"
expect_dialog F6 "font dialog"
expect_dialog F9 "print dialog"
expect_dialog ctrl+p "print dialog"
expect_dialog ctrl+F9 "print message or dialog"
expect_dialog ctrl+shift+p "go-to-page dialog"
expect_opened F1 "help/index.html"
expect_opened ctrl+v "xdg-open http"
expect_opened F8 "xdg-email --subject report.txt --attach"

press Escape
if wait_for 5 bash -c "! kill -0 $app_pid 2>/dev/null"; then
    app_pid=
else
    fail "Esc: the program did not end"
fi

report_failures "every accelerator had its effect"
