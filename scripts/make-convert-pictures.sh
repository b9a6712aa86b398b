#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the README's before and after pictures of korlogo convert, with the
# project's own tools only: a full-colour scene from the demo picture maker,
# turned into a Windows 95 logo by korlogo convert, and the first frame of
# korlogo preview as the boot screen shows it.
#   bash scripts/make-convert-pictures.sh [BUILD-FOLDER]   (default: build)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
build="${1:-build}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake --preset release -B "$build" >/dev/null
fi
cmake --build "$build" --target korlogo >/dev/null
korlogo="$build/korlogo/korlogo"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

python3 scripts/make-demo-pictures.py --photo docs/convert-before.png
"$korlogo" convert --animate-from 236 docs/convert-before.png "$scratch/LOGO.SYS"
"$korlogo" preview --save docs/convert-after.png "$scratch/LOGO.SYS"
echo "make-convert-pictures: wrote docs/convert-before.png and docs/convert-after.png"
