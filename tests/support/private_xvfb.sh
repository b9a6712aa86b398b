# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that run a built program in a private X server. Gives
# them a work folder, an Xvfb on a free display, and the clean-up of both and
# of the program under test whatever way the test ends.
#
#   require_tools TOOL...  fails when a tool is missing
#   start_xvfb WxHxD       starts Xvfb on a free display and exports DISPLAY
#   fail TEXT              reports, then what the program wrote to $program_log
#
# Sets work and xvfb_pid; the test sets program_pid when it starts the program
# in the background, and program_name and program_log for the report.

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
program_name="the program"
program_log="$work/program.log"

finish() {
    [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -s "$program_log" ]]; then
        echo "$program_name said:" >&2
        sed 's/^/    /' "$program_log" >&2
    fi
    exit 1
}

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null ||
            fail "$tool is missing (scripts/install-deps.sh installs it)"
    done
}

start_xvfb() {
    # Xvfb picks a free display itself and writes its number to descriptor 3.
    # Without -noreset it starts afresh each time its last client leaves, and
    # refuses connections in that moment.
    Xvfb -displayfd 3 -noreset -screen 0 "$1" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s "$work/display" ]] && break
        sleep 0.1
    done
    [[ -s "$work/display" ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
}
