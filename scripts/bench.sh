#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the programs and the benchmarks in Release (in build/) and runs every
# benchmark program bench_* in turn. Arguments are passed to each benchmark
# (for example --runs 10).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

bash scripts/install-deps.sh
cmake --preset release -DKOR_BUILD_BENCH=ON >/dev/null
cmake --build build

found=0
for program in build/bench/bench_*; do
    [[ -f "$program" && -x "$program" ]] || continue
    found=1
    printf '\n== %s\n' "$(basename "$program")"
    "$program" "$@"
done
if ((found == 0)); then
    echo "bench: no benchmark programs in build/bench" >&2
    exit 1
fi
