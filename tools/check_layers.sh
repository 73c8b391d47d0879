#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The build
# refuses most such includes already (each library sees only the folders it
# links); this also covers headers that no source includes, tests and tools.
# usage: tools/check_layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}

# The libraries, low to high, as the build reads them: one line a level,
# the libraries of a level side by side. A file includes its own folder and
# the folders of lower levels only.
layers_file=$(cd "$(dirname "$0")/.." && pwd)/layers.txt
layers=$(grep -E '^[a-z]' "$layers_file")

# Folders of tests and tools, and the highest library each may include (that
# library and all below it). The longest matching folder counts.
ceilings='
tests/base base
tests/host framework
tests/io io
tests/graphics graphics
tests/audio audio
tests/midi midi
tests/resources audio
tests/songfile song
tests/player player
tests/export export
tests/support audio
tests/support/midi midi
tests/support/gl graphics
tests/support/songs song
tests app
tools app
'

cd "$root"
folders=()
for folder in $layers tests tools; do
    [ -d "$folder" ] && folders+=("$folder")
done
status=0
find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
  { xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' /dev/null || true; } |
  awk -v layers="$layers" -v ceilings="$ceilings" '
    BEGIN {
        n = split(layers, lines, "\n")
        for (i = 1; i <= n; i++) { k = split(lines[i], f, " "); for (j = 1; j <= k; j++) level[f[j]] = i }
        n = split(ceilings, lines, "\n")
        for (i = 1; i <= n; i++) if (split(lines[i], f, " ") == 2) ceiling[f[1]] = f[2]
        bad = 0
    }
    {
        file = $0; sub(/:.*/, "", file)
        line = $0; sub(/^[^:]*:/, "", line); number = line; sub(/:.*/, "", number)
        included = line; sub(/^[^"]*"/, "", included); sub(/\/.*/, "", included)
        if (included == "tests") {
            if (file !~ /^tests\//) report(file, number, "tests/ is for tests only")
            next
        }
        if (!(included in level)) next
        folder = file; sub(/\/[^\/]*$/, "", folder)
        own = file; sub(/\/.*/, "", own)
        if (own in level) {
            if (included != own && level[included] >= level[own])
                report(file, number, included "/ is not below " own "/")
            next
        }
        top = ""
        for (prefix = folder; prefix != ""; ) {
            if (prefix in ceiling) { top = ceiling[prefix]; break }
            if (prefix !~ /\//) break
            sub(/\/[^\/]*$/, "", prefix)
        }
        if (top == "") next
        if (included != top && level[included] >= level[top])
            report(file, number, included "/ is above " top "/, the highest layer " folder "/ may include")
    }
    function report(file, number, why) {
        printf "%s:%s: upward include: %s\n", file, number, why
        bad = 1
    }
    END { exit bad }
  ' || status=1

# A library with folders (an indented line under it in layers.txt): every
# file is at its top or in one of them, and no file in them includes the top.
library=""
while IFS= read -r line; do
    case "$line" in
        '#'*|'') continue ;;
        ' '*) ;;
        *) library=$line; continue ;;
    esac
    [ -d "$library" ] || continue
    read -r -a parts <<< "$line"
    while IFS= read -r file; do
        inner=${file#"$library"/}
        [ "$inner" = "${inner#*/}" ] && continue
        folder=${inner%%/*}
        if [[ " ${parts[*]} " != *" $folder "* ]]; then
            echo "$file: $library/$folder/ is not a folder layers.txt names for $library/"
            status=1
        fi
    done < <(find "$library" -type f \( -name '*.cpp' -o -name '*.h' \))
    while IFS= read -r hit; do
        echo "${hit%%:#*}: a part includes the wiring at the top of $library/"
        status=1
    done < <(grep -rHnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$library/[a-z_]+\.h\"" \
                 "${parts[@]/#/$library/}" --include='*.cpp' --include='*.h' 2>/dev/null || true)
done < "$layers_file"

# The windowing and MIDI libraries are each called from the one library that
# wraps them; tests and tools may use them directly.
for rule in 'GLFW/ host' 'RtMidi.h midi'; do
    header=${rule% *} owner=${rule#* }
    for folder in $layers; do
        [ "$folder" != "$owner" ] && [ -d "$folder" ] || continue
        while IFS= read -r hit; do
            echo "${hit%%:#*}: platform include: only $owner/ includes <$header>"
            status=1
        done < <(grep -rHnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<$header" "$folder" --include='*.cpp' --include='*.h' || true)
    done
done
exit $status
