#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs after a window test whose drives were images exported through QEMU
# into the folder of exports under $1 (its XDG_RUNTIME_DIR): once the test
# program has ended, its exports must go with it, so no qemu-storage-daemon,
# mount or exported file of that folder may stay. The guardian stops the
# daemon when the program is gone, so a few seconds are allowed for that.
set -u
exports="$1/kor-$(id -u)"
for _ in $(seq 100); do
    left="$(pgrep -af "qemu-storage-daemon .*$exports/")"
    left+="$(grep -F " $exports/" /proc/self/mountinfo)"
    [[ -d "$exports" ]] && left+="$(find "$exports" -type f)"
    [[ -z "$left" ]] && exit 0
    sleep 0.05
done
echo "left behind: $left" >&2
exit 1
