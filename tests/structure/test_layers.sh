#!/usr/bin/env bash
# The layers hold by themselves: core (no window, GL or sound device) under gl and audio, under app, which nothing
# includes. Checks the includes by folder, the core's headers for mutable globals, and with nm that the core links
# no GL, GLEW, GLFW, OpenAL or ALSA symbol nor anything a layer above defines.
# Usage: test_layers.sh SOURCE_DIR CORE_ARCHIVE GL_ARCHIVE AUDIO_ARCHIVE
set -euo pipefail
source_dir="$1"
core="$2"
gl="$3"
audio="$4"
failed=0
complain() { echo "FAIL: $*"; failed=1; }

# Each layer and the folders it may include from.
declare -A allowed=([core]="core" [gl]="core gl" [audio]="core audio" [app]="core gl audio app")
for layer in core gl audio app; do
    [ -d "$source_dir/$layer" ] || { complain "no $layer/ folder"; continue; }
    while IFS=: read -r file line included; do
        folder="${included%%/*}"
        [ "$folder" = "$included" ] && continue # a file beside it, or a library header
        [ -d "$source_dir/$folder" ] || continue # a library's own folder, such as glm/ or GL/
        case " ${allowed[$layer]} " in
            *" $folder "*) ;;
            *) complain "${file#"$source_dir"/}:$line includes $included, above the $layer layer" ;;
        esac
    done < <(grep -HnoE '^#include "[^"]+"' "$source_dir/$layer"/*.h "$source_dir/$layer"/*.cpp |
             sed -E 's/:#include "([^"]+)"$/:\1/')
done
# Only the programs on top (the tools, benchmarks and tests) may reach into the app; no layer does.
for layer in core gl audio; do
    if grep -lE '^#include "app/' "$source_dir/$layer"/*.h "$source_dir/$layer"/*.cpp 2>/dev/null; then
        complain "the $layer layer includes the app"
    fi
done
for tool in "$source_dir"/tools/*/; do
    if grep -rlE '^#include "(gl|audio|app)/' "$tool"; then complain "${tool#"$source_dir"/} reaches above the core"; fi
done

# A global the core could change behind a race's back: any extern that is not const.
mutable="$(grep -nE '^\s*extern\s' "$source_dir"/core/*.h | grep -vE 'extern\s+(const|constexpr)\s|extern "C"' || true)"
[ -z "$mutable" ] || complain "mutable globals declared in the core:"$'\n'"$mutable"

undefined="$(nm --undefined-only --format=posix "$core" | awk 'NF >= 2 && $2 == "U" { print $1 }' | sort -u)"
[ -n "$undefined" ] || complain "no undefined symbols read from $core"
bad="$(grep -E '^(gl[A-Z]|glfw|glew|__glew|al[A-Z]|alc[A-Z]|snd_)' <<<"$undefined" || true)"
above="$(cat <(nm --defined-only --format=posix "$gl") <(nm --defined-only --format=posix "$audio") |
         awk 'NF >= 2 && $2 ~ /^[TDBRVW]$/ { print $1 }' | sort -u | comm -12 - <(echo "$undefined"))"
if [ -n "$bad$above" ]; then
    complain "the core references a layer above it or a GL, window or sound library:"
    printf '%s\n' $bad $above | c++filt | sed 's/^/  /'
fi
[ "$failed" -eq 0 ] || exit 1
echo "ok: includes follow the layers, no mutable global in the core's headers, $(wc -l <<<"$undefined") undefined symbols in the core, none from above"
