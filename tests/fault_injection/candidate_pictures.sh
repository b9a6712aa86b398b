# SPDX-License-Identifier: GPL-3.0-or-later
# What a logo may hold after a run that was killed, for the fault-injection
# checks, which source this file: its old bytes, or one of the pictures the
# machine offers (a .BMP file, or a member of an .LZH archive).

hash_of() { sha256sum "$1" | cut -c1-64; }

declare -A candidates=() # sha256 -> a picture a logo may hold
declare -A old_logo=()   # logo (a path below FOLDER) -> sha256 of the logo before

# Fills $old_logo for the logos named in $logos and $candidates from the
# machine's drive folder $1; unpacks the archives into $work/unpacked.
learn_pictures() { # folder
    local folder="$1" picture member logo
    candidates=()
    for logo in "${logos[@]}"; do
        old_logo[$logo]="$(hash_of "$folder/$logo")"
    done
    while IFS= read -r -d '' picture; do
        candidates[$(hash_of "$picture")]=1
    done < <(find "$folder" -type f -iname '*.bmp' -print0)
    local unpacked="$work/unpacked"
    rm -rf "$unpacked"
    while IFS= read -r -d '' picture; do
        mkdir -p "$unpacked/$(hash_of "$picture")"
        (cd "$unpacked/$(hash_of "$picture")" && lha xq "$picture" >/dev/null 2>&1)
    done < <(find "$folder" -type f -iname '*.lzh' -print0)
    if [[ -d "$unpacked" ]]; then
        while IFS= read -r -d '' member; do
            candidates[$(hash_of "$member")]=1
        done < <(find "$unpacked" -type f -print0)
    fi
}
