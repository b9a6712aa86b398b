#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the built KOR on a desktop (a private Xvfb) with a KOR.INI that names a
# folder that does not exist: KOR loads its desktop message face, shows the
# failure in a box titled "KOR", waits for OK, and then ends with status 1.
# Also checks that a run with nothing to report on the same desktop ends by
# itself with status 0, never waiting on a window.
#
#   kor_x11_message_test.sh PATH-TO-KOR
set -euo pipefail

program="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/private_xvfb.sh"
program_name=KOR
program_log="$work/kor.log"
require_tools Xvfb xdotool
start_xvfb 800x600x24

mkdir -p "$work/root/c/WINDOWS" "$work/runtime"
chmod 700 "$work/runtime"
run_kor() {
    env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb KOR_ROOT="$work/root" WINDIR='C:\WINDOWS' \
        XDG_RUNTIME_DIR="$work/runtime" "$program" >"$work/kor.log" 2>&1
}

# Nothing configured: nothing to say, so no window and no wait.
if ! timeout 20 bash -c "$(declare -f run_kor); work='$work'; program='$program'; run_kor"; then
    fail "a run with nothing to report did not end by itself with status 0"
fi

printf '[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\GONE\r\n' >"$work/root/c/WINDOWS/KOR.INI"
run_kor &
program_pid=$!
box=""
for _ in $(seq 200); do
    kill -0 "$program_pid" 2>/dev/null || fail "KOR ended before showing its message"
    box="$(xdotool search --onlyvisible --name '^KOR$' 2>/dev/null | head -1 || true)"
    [[ -n "$box" ]] && break
    sleep 0.1
done
[[ -n "$box" ]] || fail "no message box titled KOR appeared"
sleep 0.5
kill -0 "$program_pid" 2>/dev/null || fail "KOR did not wait for the message to be read"

# OK is the box's only button; Return presses it.
xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
status=0
for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
wait "$program_pid" || status=$?
program_pid=""
[[ "$status" == 1 ]] || fail "KOR ended with status $status after its message, not 1"
echo "PASS: KOR showed its failure in a box titled KOR on the desktop and ended with status 1"
