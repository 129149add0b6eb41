#!/usr/bin/env bash
# The core library must not reach for OpenGL, GLEW, GLFW, OpenAL, ALSA or anything the layer above defines: the
# simulator, the generator and the unit tests link the core alone. Usage: test_core_has_no_gl.sh CORE_ARCHIVE GL_ARCHIVE
set -euo pipefail
core="$1"
gl="$2"

undefined="$(nm --undefined-only --format=posix "$core" | awk 'NF >= 2 && $2 == "U" { print $1 }' | sort -u)"
[ -n "$undefined" ] || { echo "FAIL: no undefined symbols read from $core"; exit 1; }

bad="$(grep -E '^(gl[A-Z]|glfw|glew|__glew|al[A-Z]|alc[A-Z]|snd_)' <<<"$undefined" || true)"
layer="$(nm --defined-only --format=posix "$gl" | awk 'NF >= 2 && $2 ~ /^[TDBRVW]$/ { print $1 }' | sort -u |
         comm -12 - <(echo "$undefined"))"
if [ -n "$bad$layer" ]; then
    echo "FAIL: the core references the layer above it or a GL, window or sound library:"
    printf '%s\n' $bad $layer | c++filt | sed 's/^/  /'
    exit 1
fi
echo "ok: $(wc -l <<<"$undefined") undefined symbols in the core, none from GL, GLEW, GLFW, OpenAL, ALSA or the layer above"
