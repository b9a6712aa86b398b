#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drags an archive from the logo browser onto the location window's middle
# value with the mouse, as a user does, in the built korsetup in a private
# Xvfb, without a window manager or under openbox, at a scale factor of the
# screen (QT_SCALE_FACTOR, 1 or more). The location window is
# opened first and the browser after it, which then covers it whole: the drop
# lands on the value only if the window comes in front for the drag. Checks
# that KOR.INI records the archive, and that the browser is in front again
# afterwards, the screen as it was before the drag. A screenshot taken during
# the drag is kept in ARTIFACTS. Skipped (77) when openbox is asked for and
# not installed.
#
#   korsetup_x11_drag_test.sh PATH-TO-KORSETUP DEMO-MACHINE-ARCHIVES ARTIFACTS none|openbox SCALE
set -euo pipefail

program="$1"
demo="$2"
artifacts="$3"
manager="$4"
scale="$5"
if [[ "$manager" == openbox ]] && ! command -v openbox >/dev/null; then
    echo "korsetup_x11_drag_test: openbox is missing; nothing was checked" >&2
    exit 77
fi
source "$(dirname "${BASH_SOURCE[0]}")/../support/private_xvfb.sh"
program_name=korsetup
program_log="$work/korsetup.log"
require_tools Xvfb xwininfo xdotool xprop import compare
start_xvfb 1024x768x24

if [[ "$manager" == openbox ]]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    # Ends with the X server, which the clean-up stops.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" ||
        fail "openbox did not start: $(cat "$work/openbox.log")"
fi

mkdir -p "$work/root" "$work/runtime" "$artifacts"
chmod 700 "$work/runtime"
cp -R "$demo/." "$work/root"
chmod -R u+w "$work/root"
# Archive mode; the browser opens on C:\LOGOS, where OPENING.LZH is the first
# archive, and no middle logo is set yet.
kor_ini="$work/root/c/WINDOWS/KOR.INI"
printf '[SaveDir]\r\nDir=C:\\LOGOS\r\nFileName=OPENING.LZH\r\n' >"$kor_ini"
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" KOR_ROOT="$work/root" XDG_RUNTIME_DIR="$work/runtime" \
    "$program" >"$program_log" 2>&1 &
program_pid=$!

window=""
for _ in $(seq 200); do
    kill -0 "$program_pid" 2>/dev/null || fail "korsetup ended before its window appeared"
    window="$(xdotool search --onlyvisible --name '^KOR SETUP$' 2>/dev/null | head -1)" || true
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || fail "no window titled \"KOR SETUP\" appeared"
sleep 0.5

# The child windows lie in the inner area under the menu bar, 387 pixels
# high; positions in pixels are the designed twips / 15, times the scale.
scaled() {
    awk -v pixels="$1" -v scale="$scale" 'BEGIN { printf "%d", pixels * scale + 0.5 }'
}
height="$(xwininfo -id "$window" | awk '/^ *Height:/ { print $2 }')"
menu_bar=$((height - $(scaled 387)))
at() {
    xdotool mousemove --window "$window" "$(scaled "$1")" $((menu_bar + $(scaled "$2")))
}

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
# ＬＯＧＯ変更ファイル位置設定, then ＬＯＧＯファイルの変更 over it.
xdotool key ctrl+i
sleep 0.5
xdotool key ctrl+l
sleep 0.5
# OPENING.LZH, the first archive in the file list, picked.
at 200 12
xdotool click 1
sleep 0.5
import -window "$window" "$work/before.png" || fail "cannot take a screenshot"

# Dragged down onto the middle value, which lies at (40-400, 190-210) of the
# inner area, under the browser's member list.
xdotool mousedown 1
for step in $(seq 10); do
    at $((200 + step * 2)) $((12 + step * 19))
    sleep 0.05
done
sleep 0.5
import -window "$window" "$artifacts/korsetup-drag-$manager-$scale.png" ||
    fail "cannot take the screenshot during the drag"
echo "kept $artifacts/korsetup-drag-$manager-$scale.png"
xdotool mouseup 1
sleep 0.5

kill -0 "$program_pid" 2>/dev/null || fail "korsetup ended"
if ! grep -q $'^MFileName=OPENING.LZH\r$' "$kor_ini" ||
    ! grep -q $'^MDir=C:\\\\LOGOS\r$' "$kor_ini"; then
    fail "the drop was not recorded; KOR.INI holds: $(tr -d '\r' <"$kor_ini")"
fi
echo "dropped OPENING.LZH on the middle value; KOR.INI records it"

import -window "$window" "$work/after.png" || fail "cannot take a screenshot"
changed="$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1)" || true
[[ "$changed" == 0 ]] ||
    fail "after the drag the screen is not as before it: $changed pixels differ"
echo "after the drag the browser is in front again, as before"
echo "PASS ($manager, scale $scale)"
