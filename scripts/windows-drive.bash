# Sourced by scripts/windows-smoke and scripts/windows-install-test: runs Windows programs
# under Wine on a virtual X display and works their windows from the keyboard with xdotool.
# No window manager runs there: a window gets the keyboard by XSetInputFocus.

started=$SECONDS
step() { echo "== $* (at $((SECONDS - started)) s)"; }

fail() {
    echo "FAILED: $*" >&2
    echo "Windows shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null |
        sort -u | paste -sd '|')" >&2
    exit 1
}

# Runs the calling script again on a display of its own, unless it has one already.
on_display() {
    [ -n "${KALVEX_DRIVE_DISPLAY:-}" ] && return 0
    exec env KALVEX_DRIVE_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
}

# Z:\... for a path of this machine.
windows_path() { echo "Z:${1//\//\\}"; }

# Starts a program of ours; program holds its process id.
program=""
start_program() {
    wine "$@" >/dev/null 2>&1 &
    program=$!
}

end_program() {
    if [ -n "$program" ] && kill "$program" 2>/dev/null; then
        wait "$program" 2>/dev/null || true
    fi
    program=""
}

# Waits for the program started last to end by itself.
wait_program_end() {
    local _
    for _ in $(seq 1 150); do
        kill -0 "$program" 2>/dev/null || {
            program=""
            return 0
        }
        sleep 0.2
    done
    fail "kalvex.exe did not end: $1"
}

# Prints the id of the shown window whose whole title matches the pattern, waiting up to
# 60 s for it; of several, the newest (X gives Wine's windows rising ids), as the joining
# window is titled Complete too under its message box.
window_titled() {
    local _ id
    for _ in $(seq 1 300); do
        id=$(xdotool search --onlyvisible --name "^($1)\$" 2>/dev/null | sort -n | tail -n 1) || true
        [ -n "$id" ] && echo "$id" && return 0
        [ -n "$program" ] && ! kill -0 "$program" 2>/dev/null && fail "kalvex.exe ended before showing '$1'"
        sleep 0.2
    done
    fail "no window titled '$1' within 60 s"
}

# Keys (xdotool names) to a window, which is given the keyboard first.
press() {
    local window=$1
    shift
    timeout 10 xdotool windowfocus --sync "$window" key --delay 60 "$@"
}

type_text() { xdotool type --delay 20 "$1"; }

# Presses Return on the message box that ends a job and fails when it tells of a failure.
answer_job_message() {
    local box title
    box=$(window_titled "Complete|$1 failed")
    title=$(xdotool getwindowname "$box")
    [ "$title" = Complete ] || fail "kalvex.exe showed '$title'"
    press "$box" Return
}

# File > Exit, and the program ends.
exit_program() {
    press "$1" alt+f Return
    wait_program_end "after File > Exit"
}
