# Sourced by the Xvfb tests. begin_xvfb_test GEOMETRY TOOL... skips the test (status 77) unless
# Xvfb, xdotool and the tools named are installed, makes the scratch directory $work, removed
# with the program ($app_pid) and the server at exit, and starts the server for the Qt xcb
# platform. start_xvfb GEOMETRY starts a virtual X server on a display of its
# own and exports DISPLAY; sets xvfb_pid. The numbers start per process in 200..599, away from
# the low ones that people and other tools take, and a number counts only once its server
# answers; -noreset keeps it from restarting (and refusing connections) whenever its last
# client leaves. FOLVEK_XVFB_DISPLAY names the number to try first (a machine shared by people
# who each keep to their own numbers). Needs $work (a scratch directory) and xdotool.
start_xvfb() {
    local geometry=$1 n=${FOLVEK_XVFB_DISPLAY:-$((200 + $$ % 400))}
    for _ in $(seq 1 20); do
        if [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp -noreset 2>"$work/xvfb.log" &
            xvfb_pid=$!
            for _ in $(seq 1 50); do
                if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
                    export DISPLAY=":$n"
                    return 0
                fi
                kill -0 "$xvfb_pid" 2>/dev/null || break
                sleep 0.1
            done
            kill "$xvfb_pid" 2>/dev/null
            xvfb_pid=
        fi
        n=$((n + 1))
    done
    return 1
}

begin_xvfb_test() {
    local geometry=$1 tool
    shift
    for tool in Xvfb xdotool "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    work=$(mktemp -d)
    xvfb_pid=
    app_pid=
    trap end_xvfb_test EXIT
    start_xvfb "$geometry" || { echo "SKIP: no Xvfb display could be started"; cat "$work/xvfb.log"; exit 77; }
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
}

end_xvfb_test() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}

# What the tests that drive the viewer share. fail counts a failure and goes on;
# wait_for SECONDS COMMAND... is true once COMMAND succeeds; start_viewer ARGS... runs $program
# with its output in $work/out.log and sets app_pid and main (its window), or ends the test;
# press KEYS... types into the main window; report_failures ends the test with the program's
# output when anything failed, or says MESSAGE.
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

wait_for() {
    local tries=$(($1 * 10))
    shift
    for _ in $(seq 1 "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

start_viewer() {
    "$program" "$@" >"$work/out.log" 2>&1 &
    app_pid=$!
    main=
    for _ in $(seq 1 100); do
        main=$(xdotool search --onlyvisible --name '^FolVk' 2>/dev/null | head -n1)
        [ -n "$main" ] && break
        sleep 0.1
    done
    [ -n "$main" ] || { echo "FAIL: no FolVk window appeared"; cat "$work/out.log"; exit 1; }
    sleep 0.5
}

windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | sort; }
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.1; }
press() {
    focus "$main"
    xdotool key "$@"
    sleep 0.3
}

report_failures() {
    if [ "$failures" -ne 0 ]; then
        echo "--- program output"
        cat "$work/out.log"
        exit 1
    fi
    echo "$1"
}
