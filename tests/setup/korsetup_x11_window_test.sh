#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built korsetup in a private Xvfb, on a temporary copy of the demo
# machine with LZH archives, and checks with the X server's own view of it
# that the window "KOR SETUP" appears at its fixed size (440 pixels wide; the
# 387-pixel inner area under the menu bar) and that a resize snaps back. There
# is no window manager, so the X server carries out the resize itself and only
# the program can undo it. Then, as a user would, it opens the logo browser,
# lists an archive, views its first member and closes the view again, and
# keeps screenshots of the browser and of the picture in ARTIFACTS. Last, a
# message opens over the main window and gives the keyboard back when closed.
#
#   korsetup_x11_window_test.sh PATH-TO-KORSETUP DEMO-MACHINE-ARCHIVES ARTIFACTS
set -euo pipefail

program="$1"
demo="$2"
artifacts="$3"
source "$(dirname "${BASH_SOURCE[0]}")/../support/private_xvfb.sh"
program_name=korsetup
program_log="$work/korsetup.log"
require_tools Xvfb xwininfo xdotool import
start_xvfb 1024x768x24

mkdir -p "$work/root" "$work/runtime" "$artifacts"
chmod 700 "$work/runtime"
cp -R "$demo/." "$work/root"
chmod -R u+w "$work/root"
# The browser opens on C:\LOGOS, where OPENING.LZH is the first archive.
printf '[SaveDir]\r\nDir=C:\\LOGOS\r\nFileName=OPENING.LZH\r\n' >"$work/root/c/WINDOWS/KOR.INI"
env -u WAYLAND_DISPLAY -u BROWSER -u DEFAULT_BROWSER QT_QPA_PLATFORM=xcb KOR_ROOT="$work/root" XDG_RUNTIME_DIR="$work/runtime" \
    "$program" >"$work/korsetup.log" 2>&1 &
program_pid=$!

# geometry: prints "WIDTHxHEIGHT" of the viewable window "KOR SETUP", or fails.
geometry() {
    local info
    info="$(xwininfo -name "KOR SETUP" 2>/dev/null)" || return 1
    grep -q "Map State: IsViewable" <<<"$info" || return 1
    awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h }' <<<"$info"
}

shown=""
for _ in $(seq 200); do
    kill -0 "$program_pid" 2>/dev/null || fail "korsetup ended before its window appeared"
    if shown="$(geometry)"; then
        break
    fi
    shown=""
    sleep 0.1
done
[[ -n "$shown" ]] || fail "no window titled \"KOR SETUP\" appeared"

width="${shown%x*}"
height="${shown#*x}"
[[ "$width" == 440 ]] || fail "the window is $shown, not 440 pixels wide"
# The inner area is 387 pixels high; the menu bar above it is the font's.
((height > 387 && height <= 387 + 40)) ||
    fail "the window is $shown: not 387 pixels plus a menu bar high"
echo "korsetup's window appeared at $shown"

window="$(xdotool search --name '^KOR SETUP$' | head -1)"
[[ -n "$window" ]] || fail "xdotool does not find the window"
for size in "600 500" "300 200" "440 600"; do
    # shellcheck disable=SC2086 # the two numbers go as two arguments
    xdotool windowsize "$window" $size
    back=""
    for _ in $(seq 50); do
        sleep 0.1
        if [[ "$(geometry)" == "$shown" ]]; then
            back=yes
            break
        fi
    done
    [[ -n "$back" ]] || fail "resized to ${size/ /x}, the window stays $(geometry)"
    echo "resized to ${size/ /x}, the window snapped back to $shown"
done

kill -0 "$program_pid" 2>/dev/null || fail "korsetup ended"

# The child windows lie in the inner area under the menu bar; positions in
# pixels are the designed twips / 15.
menu_bar=$((height - 387))
click() {
    xdotool mousemove --window "$window" "$1" $((menu_bar + $2)) click 1
    sleep 0.5
}
# extracted: the copy of CLOUDS.BMP in a temporary folder of the Windows
# directory, if there is one.
extracted() {
    find "$work/root/c/WINDOWS" -maxdepth 2 -path "*/~KOR*" -iname clouds.bmp | head -1
}

# "ＬＯＧＯファイルの変更" by its shortcut.
xdotool windowfocus --sync "$window"
xdotool key ctrl+l
sleep 0.5
# The first archive in the file list, then the first member in the member
# list, below its header.
click 200 12
click 40 170
import -window "$window" "$artifacts/korsetup-browser.png" ||
    fail "cannot take the browser's screenshot"
echo "kept $artifacts/korsetup-browser.png"

# "画像表示" extracts the member clicked into the Windows directory and shows it.
click 378 101
[[ -n "$(extracted)" ]] || fail "viewing the first member of OPENING.LZH extracted nothing"
import -window "$window" "$artifacts/korsetup-display.png" ||
    fail "cannot take the display window's screenshot"
echo "kept $artifacts/korsetup-display.png"

# Enter presses "終了", which has the focus; the copy that was only looked at
# goes with the window.
xdotool key Return
sleep 0.5
[[ -z "$(extracted)" ]] || fail "closing the display window left $(extracted)"
echo "viewed CLOUDS.BMP from OPENING.LZH; closing the view deleted its copy"

# place: prints "X Y WIDTH HEIGHT" of window $1 on the screen.
place() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print x, y, w, h }'
}

# "オープン" by its shortcut finds no file manager here: its message opens over
# the main window, not in the middle of the screen, and once it is closed the
# keyboard is the main window's again, which without a window manager only
# the program can see to.
if command -v xdg-open >/dev/null; then
    echo "xdg-open is installed: the message of \"オープン\" is not checked"
else
    xdotool key ctrl+f
    box=""
    for _ in $(seq 50); do
        box="$(xdotool search --onlyvisible --name '^korsetup$' | head -1)" || true
        [[ -n "$box" ]] && break
        sleep 0.1
    done
    [[ -n "$box" ]] || fail "\"オープン\" without a file manager showed no message"
    read -r box_x box_y box_width box_height < <(place "$box")
    read -r main_x main_y main_width main_height < <(place "$window")
    middle_x=$((box_x + box_width / 2))
    middle_y=$((box_y + box_height / 2))
    ((middle_x >= main_x && middle_x < main_x + main_width && middle_y >= main_y &&
        middle_y < main_y + main_height)) ||
        fail "the message's middle $middle_x,$middle_y lies outside the main window"
    echo "the message opened over the main window, its middle at $middle_x,$middle_y"
    xdotool key Escape
    sleep 0.5
    [[ "$(xdotool getwindowfocus)" == "$window" ]] ||
        fail "the keyboard focus did not come back to the main window"
    echo "closing the message gave the keyboard back to the main window"
fi

kill -0 "$program_pid" 2>/dev/null || fail "korsetup ended"
echo "PASS"
